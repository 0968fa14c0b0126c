// Topological analysis of the query: which elements are parallel or
// antiparallel neighbours, and a left-to-right layout of the chains of
// neighbouring elements for the topology plot.
#pragma once

#include <string>
#include <vector>

#include "model.h"

namespace kelvor {

// Relation codes between two elements.
inline constexpr int kParallelNeighbours = 2;
inline constexpr int kParallel = 1;
inline constexpr int kUnrelated = 0;
inline constexpr int kAntiparallel = -1;
inline constexpr int kAntiparallelNeighbours = -2;
inline constexpr int kSelf = 11;

struct Topology {
  int n = 0;
  std::vector<int> code;        // n x n, row-major, symmetric; kSelf on the diagonal
  std::vector<int> abs_sum;     // sum of |code| with the other elements
  std::vector<int> neighbours;  // number of other elements with code +-2
  // The layout: placed elements (0-based query indices) in order, their x
  // positions and whether each points up.
  std::vector<int> order;
  std::vector<int> x;
  std::vector<bool> up;

  int at(int i, int j) const { return code[static_cast<std::size_t>(i) * n + j]; }
  bool neighbour(int i, int j) const {
    const int c = at(i, j);
    return c == kParallelNeighbours || c == kAntiparallelNeighbours;
  }
};

// The relation codes, sums and neighbour counts from the query's tables.
void compute_relations(const Query& q, float cos_cutoff, float dist_cutoff, Topology& t);

// Places the elements: a pass that starts chains at elements with one
// neighbour, then, only if it placed nothing, a pass that starts them at
// elements with two (a closed barrel). Then the positions and directions.
// Returns false when neither pass placed anything.
bool layout_topology(Topology& t);

// The lines of the topology plot file (each ending in '\n').
std::string topology_file_text(const Query& q, const Topology& t);

}  // namespace kelvor
