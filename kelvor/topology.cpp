#include "topology.h"

#include <cstdlib>

#include "text/format.h"

namespace kelvor {

void compute_relations(const Query& q, float cos_cutoff, float dist_cutoff, Topology& t) {
  const int n = q.size();
  t = Topology{};
  t.n = n;
  t.code.assign(static_cast<std::size_t>(n) * n, kUnrelated);
  t.abs_sum.assign(n, 0);
  t.neighbours.assign(n, 0);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      int c = kUnrelated;
      const float cosine = q.cos(i, j);
      if (cosine >= cos_cutoff) {
        c = kParallel;
        if (q.distance(DistanceMode::C, i, j) <= dist_cutoff ||
            q.distance(DistanceMode::T, i, j) <= dist_cutoff) {
          c = kParallelNeighbours;
        }
      } else if (cosine <= -cos_cutoff) {
        c = kAntiparallel;
        if (q.distance(DistanceMode::C, i, j) <= dist_cutoff ||
            q.distance(DistanceMode::H, i, j) <= dist_cutoff) {
          c = kAntiparallelNeighbours;
        }
      }
      // The element's own pair counts neither in its sums nor as a neighbour.
      if (i == j) {
        c = kSelf;
      } else {
        t.abs_sum[i] += std::abs(c);
        if (c == kParallelNeighbours || c == kAntiparallelNeighbours) ++t.neighbours[i];
      }
      t.code[static_cast<std::size_t>(i) * n + j] = c;
    }
  }
}

namespace {

// One layout pass: chains start at unplaced elements with exactly `required`
// neighbours and grow from their end through the first unplaced neighbour.
void layout_pass(Topology& t, int required, std::vector<bool>& placed) {
  for (int k = 0; k < t.n; ++k) {
    if (placed[k] || t.neighbours[k] != required) continue;
    placed[k] = true;
    t.order.push_back(k);
    int end = k;
    for (;;) {
      int next = -1;
      for (int m = 0; m < t.n; ++m) {
        if (!placed[m] && m != end && t.neighbour(end, m)) {
          next = m;
          break;
        }
      }
      if (next < 0) break;
      placed[next] = true;
      t.order.push_back(next);
      end = next;
    }
  }
}

}  // namespace

bool layout_topology(Topology& t) {
  t.order.clear();
  std::vector<bool> placed(t.n, false);
  layout_pass(t, 1, placed);
  if (t.order.empty()) layout_pass(t, 2, placed);
  if (t.order.empty()) return false;

  const std::size_t np = t.order.size();
  t.x.assign(np, 0);
  t.up.assign(np, true);
  for (std::size_t i = 1; i < np; ++i) {
    t.x[i] = t.x[i - 1] + (t.neighbour(t.order[i - 1], t.order[i]) ? 1 : 2);
    // The nearest earlier element with a relation decides; none: up.
    for (std::size_t j = i; j-- > 0;) {
      const int c = t.at(t.order[j], t.order[i]);
      if (c != kUnrelated) {
        t.up[i] = c > 0 ? t.up[j] : !t.up[j];
        break;
      }
    }
  }
  return true;
}

std::string topology_file_text(const Query& q, const Topology& t) {
  std::string out;
  const float xmax = static_cast<float>(t.x.empty() ? 0 : t.x.back()) + 1.0f;
  zv::format_append(out, "(a,4f10.2)", {"XYVIEW ", -1.0f, xmax, -0.5f, 1.5f});
  for (std::size_t i = 0; i < t.order.size(); ++i) {
    const Element& e = q.elements[t.order[i]];
    const float x = static_cast<float>(t.x[i]);
    const float y1 = t.up[i] ? 0.0f : 1.0f;
    const float y2 = t.up[i] ? 1.0f : 0.0f;
    zv::format_append(out, "(a6,1x,5f6.2,1x,a1,a6,a1)",
                      {type_keyword(e.type), x, y1, x, y2, 0.8f, "'", e.name.padded(), "'"});
  }
  return out;
}

}  // namespace kelvor
