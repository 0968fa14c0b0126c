// The query's pair tables and the topological analysis: relation codes,
// the chain layout, positions, directions, and the topology plot file read
// back as zev reads it.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "model.h"
#include "text/read.h"
#include "topology.h"

namespace {

using kelvor::Element;
using kelvor::Query;

struct Sse {
  int type;  // 1 helix, 2 strand
  const char* name;
  float head[3];
  float tail[3];
};

Query make_query(const std::vector<Sse>& sses) {
  Query q;
  for (const Sse& s : sses) {
    kelvor::ElementFields f;
    f.name = s.name;
    f.from = "A1";
    f.to = "A9";
    f.nres = 5;
    for (int k = 0; k < 3; ++k) {
      f.xyz[k] = s.head[k];
      f.xyz[3 + k] = s.tail[k];
    }
    q.elements.emplace_back();
    kelvor::make_element(s.type, f, q.elements.back());
  }
  q.build_pair_tables();
  return q;
}

// A strand along y at x, pointing up (+y) or down.
Sse strand(const char* name, float x, bool up, float z = 0.0f) {
  return up ? Sse{2, name, {x, 0, z}, {x, 10, z}} : Sse{2, name, {x, 10, z}, {x, 0, z}};
}

TEST(QueryTables, PairValues) {
  // Two antiparallel strands 4.8 apart, and a helix across them.
  Query q = make_query({strand("A", 0, true), strand("B", 4.8f, false),
                        {1, "H", {0, 5, 10}, {10, 5, 10}}});
  using kelvor::DistanceMode;
  EXPECT_FLOAT_EQ(q.distance(DistanceMode::C, 0, 1), 4.8f);
  EXPECT_FLOAT_EQ(q.distance(DistanceMode::H, 0, 1), 4.8f);  // head A - tail B
  EXPECT_FLOAT_EQ(q.distance(DistanceMode::T, 0, 1), std::sqrt(4.8f * 4.8f + 100.0f));
  EXPECT_FLOAT_EQ(q.distance(DistanceMode::I, 0, 1), 4.8f);
  EXPECT_FLOAT_EQ(q.distance(DistanceMode::A, 0, 1), std::sqrt(4.8f * 4.8f + 100.0f));
  EXPECT_FLOAT_EQ(q.cos(0, 1), -1.0f);
  EXPECT_FLOAT_EQ(q.cos(0, 2), 0.0f);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(q.cos(i, i), 1.0f);
    EXPECT_EQ(q.distance(DistanceMode::C, i, i), 0.0f);
    for (int j = 0; j < 3; ++j) EXPECT_EQ(q.cos(i, j), q.cos(j, i));
  }
}

TEST(QueryTables, ElementWithoutDirectionHasNoCosine) {
  Query q = make_query({{2, "A", {1, 1, 1}, {1, 1, 1}}, strand("B", 0, true)});
  EXPECT_EQ(q.cos(0, 1), 0.0f);
}

struct LayoutCase {
  const char* what;
  std::vector<Sse> sses;
  std::vector<std::string> order;
  std::vector<int> x;
  std::vector<bool> up;
};

std::vector<LayoutCase> layout_cases() {
  std::vector<LayoutCase> cases;
  cases.push_back({"four-stranded antiparallel sheet",
                   {strand("A", 0, true), strand("B", 4.8f, false), strand("C", 9.6f, true),
                    strand("D", 14.4f, false)},
                   {"A", "B", "C", "D"}, {0, 1, 2, 3}, {true, false, true, false}});
  cases.push_back({"sheet given out of order, parallel pair at the edge",
                   {strand("B", 4.8f, false), strand("D", 14.4f, false), strand("A", 0, true),
                    strand("C", 9.6f, false)},
                   {"D", "C", "B", "A"}, {0, 1, 2, 3}, {true, true, true, false}});
  // Six strands on a circle of radius 5, alternating: every strand has two
  // neighbours (5 A apart), so only the second pass finds a start.
  std::vector<Sse> barrel;
  static const char* names[] = {"S1", "S2", "S3", "S4", "S5", "S6"};
  for (int k = 0; k < 6; ++k) {
    const float a = static_cast<float>(k) * 3.14159265f / 3.0f;
    const float x = 5.0f * std::cos(a), y = 5.0f * std::sin(a);
    barrel.push_back(k % 2 == 0 ? Sse{2, names[k], {x, y, 0}, {x, y, 10}}
                                : Sse{2, names[k], {x, y, 10}, {x, y, 0}});
  }
  cases.push_back({"closed barrel", barrel, {"S1", "S2", "S3", "S4", "S5", "S6"},
                   {0, 1, 2, 3, 4, 5}, {true, false, true, false, true, false}});
  cases.push_back({"isolated helix is not drawn",
                   {{1, "H1", {50, 50, 50}, {50, 50, 65}}, strand("A", 0, true),
                    strand("B", 4.8f, false), strand("C", 9.6f, true)},
                   {"A", "B", "C"}, {0, 1, 2}, {true, false, true}});
  cases.push_back({"two separate sheets",
                   {strand("A", 0, true), strand("B", 4.8f, false), strand("C", 0, true, 30),
                    strand("D", 4.8f, false, 30)},
                   {"A", "B", "C", "D"}, {0, 1, 3, 4}, {true, false, true, false}});
  cases.push_back({"element without relation to earlier ones points up",
                   {strand("A", 0, true), strand("B", 4.8f, false),
                    {2, "C", {0, 40, 0}, {10, 40, 0}}, {2, "D", {0, 44.8f, 0}, {10, 44.8f, 0}}},
                   {"A", "B", "C", "D"}, {0, 1, 3, 4}, {true, false, true, true}});
  return cases;
}

TEST(Topology, Layouts) {
  for (const LayoutCase& c : layout_cases()) {
    SCOPED_TRACE(c.what);
    const Query q = make_query(c.sses);
    kelvor::Topology t;
    kelvor::compute_relations(q, 0.8f, 6.0f, t);
    ASSERT_TRUE(kelvor::layout_topology(t));
    std::vector<std::string> order;
    for (int i : t.order) order.push_back(q.elements[i].name.str());
    EXPECT_EQ(order, c.order);
    EXPECT_EQ(t.x, c.x);
    EXPECT_EQ(t.up, c.up);
  }
}

TEST(Topology, RelationCodes) {
  const Query q = make_query({strand("A", 0, true), strand("B", 4.8f, false),
                              strand("C", 9.6f, true), {1, "H", {0, 5, 10}, {10, 5, 10}}});
  kelvor::Topology t;
  kelvor::compute_relations(q, 0.8f, 6.0f, t);
  const std::vector<int> want = {11, -2, 1, 0,   //
                                 -2, 11, -2, 0,  //
                                 1, -2, 11, 0,   //
                                 0, 0, 0, 11};
  EXPECT_EQ(t.code, want);
  EXPECT_EQ(t.abs_sum, (std::vector<int>{3, 4, 3, 0}));
  EXPECT_EQ(t.neighbours, (std::vector<int>{1, 2, 1, 0}));
  // A cut-off above 1 relates nothing, not even an element to itself.
  kelvor::compute_relations(q, 1.5f, 6.0f, t);
  EXPECT_EQ(t.abs_sum, (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(t.neighbours, (std::vector<int>{0, 0, 0, 0}));
  EXPECT_FALSE(kelvor::layout_topology(t));
}

TEST(Topology, NothingToPlace) {
  const Query q = make_query({{1, "H1", {0, 0, 0}, {0, 0, 15}}, {1, "H2", {30, 0, 0}, {30, 0, 15}}});
  kelvor::Topology t;
  kelvor::compute_relations(q, 0.8f, 6.0f, t);
  EXPECT_FALSE(kelvor::layout_topology(t));
}

// Reads a topology plot file as zev does: "(a6,1x,a)" lines, the values
// list-directed.
struct PlotElement {
  std::string key;
  float v[5];
  std::string name;
};

void read_topology_file(const std::string& text, float view[4], std::vector<PlotElement>& elems) {
  std::istringstream in(text);
  std::string line;
  int nview = 0;
  while (std::getline(in, line)) {
    std::string key = line.substr(0, 6);
    key.resize(6, ' ');
    const std::string value = line.size() > 7 ? line.substr(7) : "";
    if (key == "XYVIEW") {
      zv::ReadItem items[] = {zv::ReadItem(view[0]), zv::ReadItem(view[1]), zv::ReadItem(view[2]),
                              zv::ReadItem(view[3])};
      ASSERT_EQ(zv::list_read(value, items), 0) << line;
      ++nview;
    } else {
      PlotElement e;
      e.key = key;
      zv::ReadItem items[] = {zv::ReadItem(e.v[0]), zv::ReadItem(e.v[1]), zv::ReadItem(e.v[2]),
                              zv::ReadItem(e.v[3]), zv::ReadItem(e.v[4]), zv::ReadItem(e.name, 6)};
      ASSERT_EQ(zv::list_read(value, items), 0) << line;
      elems.push_back(e);
    }
  }
  EXPECT_EQ(nview, 1);
}

TEST(Topology, PlotFileReadsBack) {
  for (const LayoutCase& c : layout_cases()) {
    SCOPED_TRACE(c.what);
    const Query q = make_query(c.sses);
    kelvor::Topology t;
    kelvor::compute_relations(q, 0.8f, 6.0f, t);
    ASSERT_TRUE(kelvor::layout_topology(t));
    const std::string text = kelvor::topology_file_text(q, t);
    float view[4] = {};
    std::vector<PlotElement> elems;
    read_topology_file(text, view, elems);
    EXPECT_EQ(view[0], -1.0f);
    EXPECT_EQ(view[1], static_cast<float>(c.x.back() + 1));
    EXPECT_EQ(view[2], -0.5f);
    EXPECT_EQ(view[3], 1.5f);
    ASSERT_EQ(elems.size(), c.order.size());
    for (std::size_t i = 0; i < elems.size(); ++i) {
      const Element& e = q.elements[t.order[i]];
      EXPECT_EQ(elems[i].key, kelvor::type_keyword(e.type));
      EXPECT_EQ(elems[i].name, e.name.padded());
      EXPECT_EQ(elems[i].v[0], static_cast<float>(c.x[i]));
      EXPECT_EQ(elems[i].v[2], static_cast<float>(c.x[i]));
      EXPECT_EQ(elems[i].v[1], c.up[i] ? 0.0f : 1.0f);
      EXPECT_EQ(elems[i].v[3], c.up[i] ? 1.0f : 0.0f);
      EXPECT_FLOAT_EQ(elems[i].v[4], 0.8f);
    }
  }
}

TEST(Topology, PlotFileLayout) {
  const Query q = make_query({strand("A1", 0, true), strand("B22", 4.8f, false)});
  kelvor::Topology t;
  kelvor::compute_relations(q, 0.8f, 6.0f, t);
  ASSERT_TRUE(kelvor::layout_topology(t));
  EXPECT_EQ(kelvor::topology_file_text(q, t),
            "XYVIEW      -1.00      2.00     -0.50      1.50\n"
            "BETA     0.00  0.00  0.00  1.00  0.80 'A1    '\n"
            "BETA     1.00  1.00  1.00  0.00  0.80 'B22   '\n");
}

}  // namespace
