// kelvor's run state for fuzz targets, reset between inputs.
#pragma once

#include <memory>

#include "capacities.h"
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

}  // namespace zvfuzz
