#include "model.h"

#include <algorithm>
#include <cmath>

#include "core/strings.h"

namespace kelvor {

const std::vector<SseType>& sse_types() {
  static const std::vector<SseType> types = {
      {"ALPHA ", "alpha helix"},
      {"BETA  ", "beta strand"},
  };
  return types;
}

int find_sse_type(std::string_view key6) {
  const auto& types = sse_types();
  for (std::size_t t = 0; t < types.size(); ++t) {
    if (key6 == types[t].keyword) return static_cast<int>(t) + 1;
  }
  return 0;
}

std::string_view type_keyword(int type) {
  const auto& types = sse_types();
  if (type < 1 || type > static_cast<int>(types.size())) return "      ";
  return types[type - 1].keyword;
}

namespace {

float dist3(const Vec3& a, const Vec3& b) {
  const float dx = a[0] - b[0];
  const float dy = a[1] - b[1];
  const float dz = a[2] - b[2];
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

}  // namespace

void make_element(int type, const ElementFields& f, Element& e) {
  e.type = static_cast<std::uint8_t>(type);
  std::string name = f.name;
  zv::NOBLANKS(name);
  zv::UPCSTR(name);
  e.name.assign(name);
  e.from.assign(f.from);
  e.to.assign(f.to);
  e.nres = f.nres;
  for (int k = 0; k < 3; ++k) {
    e.head[k] = f.xyz[k];
    e.tail[k] = f.xyz[3 + k];
    e.centre[k] = (e.head[k] + e.tail[k]) / 2.0f;
    e.dir[k] = e.tail[k] - e.head[k];
  }
  e.length = dist3(e.head, e.tail);
}

Database::Database() : entries(kMaxEntries), elements(kMaxElements) {}

void Database::recount_selected() {
  nselected = 0;
  for (int i = 0; i < nentries; ++i) {
    if (entries[i].selected) ++nselected;
  }
}

bool distance_mode_from_letter(char c, DistanceMode& mode) {
  switch (c) {
    case 'C': mode = DistanceMode::C; return true;
    case 'H': mode = DistanceMode::H; return true;
    case 'T': mode = DistanceMode::T; return true;
    case 'I': mode = DistanceMode::I; return true;
    case 'A': mode = DistanceMode::A; return true;
    default: return false;
  }
}

float pair_distance(const Element& a, const Element& b, DistanceMode mode) {
  const float c = dist3(a.centre, b.centre);
  if (mode == DistanceMode::C) return c;
  const float h = std::min(dist3(a.head, b.tail), dist3(a.tail, b.head));
  if (mode == DistanceMode::H) return h;
  const float t = std::min(dist3(a.head, b.head), dist3(a.tail, b.tail));
  if (mode == DistanceMode::T) return t;
  if (mode == DistanceMode::I) return std::min({c, h, t});
  return std::max({c, h, t});
}

float pair_cosine(const Element& a, const Element& b) {
  const float dot = a.dir[0] * b.dir[0] + a.dir[1] * b.dir[1] + a.dir[2] * b.dir[2];
  const float aa = a.dir[0] * a.dir[0] + a.dir[1] * a.dir[1] + a.dir[2] * a.dir[2];
  const float bb = b.dir[0] * b.dir[0] + b.dir[1] * b.dir[1] + b.dir[2] * b.dir[2];
  const float norm = std::sqrt(aa * bb);
  // An element whose head and tail coincide has no direction: no angle to it.
  if (!(norm > 0.0f)) return 0.0f;
  return dot / norm;
}

Query::Query() {
  const std::size_t n = static_cast<std::size_t>(kMaxElementsPerEntry) * kMaxElementsPerEntry;
  for (auto& t : dist) t.assign(n, 0.0f);
  cosine.assign(n, 0.0f);
  elements.reserve(kMaxElementsPerEntry);
}

void Query::clear() {
  name.clear();
  note.clear();
  pdb.clear();
  elements.clear();
}

void Query::build_pair_tables() {
  const int n = size();
  for (int i = 0; i < n; ++i) {
    for (int j = i; j < n; ++j) {
      const std::size_t ij = static_cast<std::size_t>(i) * kMaxElementsPerEntry + j;
      const std::size_t ji = static_cast<std::size_t>(j) * kMaxElementsPerEntry + i;
      if (i == j) {
        for (auto& t : dist) t[ij] = 0.0f;
        cosine[ij] = 1.0f;
        continue;
      }
      const Element& a = elements[i];
      const Element& b = elements[j];
      for (int m = 0; m < kNumDistanceModes; ++m) {
        const float d = pair_distance(a, b, static_cast<DistanceMode>(m));
        dist[m][ij] = d;
        dist[m][ji] = d;
      }
      const float c = pair_cosine(a, b);
      cosine[ij] = c;
      cosine[ji] = c;
    }
  }
}

}  // namespace kelvor
