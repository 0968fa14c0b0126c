// kelvor's run state for fuzz targets, reset between inputs, and a whole
// run of the program on given answers.
#pragma once

#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string>

#include "capacities.h"
#include "commands.h"
#include "core/frame.h"
#include "fuzz_session.h"
#include "state.h"

namespace zvfuzz {

// The run state as main makes it. Making one takes tens of megabytes of
// tables, so one is kept and its contents reset: every slot a load takes is
// filled afresh, and the query tables are built for the elements read.
inline kelvor::KelvorState* fresh_kelvor_state() {
  static const std::unique_ptr<kelvor::KelvorState> st = std::make_unique<kelvor::KelvorState>();
  kelvor::Database& db = st->db;
  db.elements.clear();
  db.nentries = 0;
  db.nselected = 0;
  db.incomplete = false;
  st->query.clear();
  st->files = {};
  st->params = {};
  st->incremental = {};
  st->find.reset();
  st->topology = {};
  st->stats = {};
  st->max_hits = kelvor::kDefaultMaxHits;
  st->list_library = false;
  st->skip_missing_pdb = false;
  st->skeldo_mode = false;
  st->last_option = "READ";
  st->select_option = 1;
  st->select_code = "1cbs";
  st->mol_name = "1cbs";
  st->list_field = "N";
  st->list_elements = "N";
  return st.get();
}

// Runs kelvor's start-up and command loop on the answers (units: the file
// units to close after; mode: the run-mode argument) and aborts unless the
// run ended through ZVSTOP with the selection within the database and the
// query within its capacity.
inline void run_kelvor(std::string answers, std::initializer_list<int> units,
                       const char* mode = "-B") {
  kelvor::KelvorState* st = fresh_kelvor_state();
  bool stopped = false;
  {
    Session session(std::move(answers), units, mode);
    try {
      kelvor::startup(*st);
      kelvor::command_loop(*st);
    } catch (const zv::Stop&) {
      stopped = true;
    }
  }
  if (!stopped || st->db.nselected < 0 || st->db.nselected > st->db.nentries ||
      st->query.size() > kelvor::kMaxElementsPerEntry)
    std::abort();
}

}  // namespace zvfuzz
