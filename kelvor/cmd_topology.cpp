// TO: topological analysis of the query and its topology plot file.
#include <string>
#include <vector>

#include "commands.h"
#include "core/dialogue.h"
#include "core/files.h"
#include "core/frame.h"
#include "core/messages.h"
#include "core/units.h"
#include "output.h"
#include "topology.h"

namespace kelvor {

namespace {

void print_relations(const Query& q, const Topology& t) {
  std::vector<zv::FmtItem> items;
  std::string line;
  for (int i = 0; i < t.n; ++i) {
    const std::string name = q.elements[i].name.padded();
    items.clear();
    items.emplace_back(name);
    items.emplace_back(t.abs_sum[i]);
    items.emplace_back(t.neighbours[i]);
    for (int j = 0; j < t.n; ++j) items.emplace_back(t.at(i, j));
    line.clear();
    (void)zv::format_append(line, "(1x,a6,2(1x,i3),3x,30i3)", items);
    (void)zv::unit_write(zv::kUnitStdout, line);
  }
}

}  // namespace

void cmd_topology(KelvorState& st) {
  TopologyParams& p = st.topology;
  out_empty();
  zv::fvalii(" COSine   cut-off  ?", p.cos_cutoff);
  zv::fvalii(" DIStance cut-off  ?", p.dist_cutoff);
  const bool refused =
      zv::fileii(" ZEV topology file ?", st.files.topology, kFileNameLen) == zv::kNameTooLong;

  Topology t;
  compute_relations(st.query, p.cos_cutoff, p.dist_cutoff, t);
  print_relations(st.query, t);
  if (!layout_topology(t)) {
    zv::ERRMSG("Sorry - could not find suitable SSEs");
    return;
  }

  if (refused) return;  // said; no file of another name is opened
  std::string file = st.files.topology;
  if (zv::XOPXNA(kUnitTopology, file, zv::ISINTR()) != 0) {
    zv::ERRMSG("Could not open ZEV topology file " + file);
    return;
  }
  (void)zv::unit_write(kUnitTopology, topology_file_text(st.query, t));
  (void)zv::close_written_file(kUnitTopology, file);
}

}  // namespace kelvor
