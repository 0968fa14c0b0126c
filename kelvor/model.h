// The data model of kelvor: the SSE type table, database entries and their
// elements, and the query with its pair tables.
//
// Memory: the database holds at most kMaxEntries entries and kMaxElements
// elements. The entry table is allocated once at its full size; elements
// live in one flat array whose full capacity is reserved once, stored
// consecutively per entry, so loading allocates nothing per element.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fixed_text.h"
#include "capacities.h"
#include "fixed_array.h"

namespace kelvor {

// One SSE type: its 6-column keyword ("ALPHA ", "BETA  ") and description.
struct SseType {
  std::string keyword;      // exactly kKeywordLen characters
  std::string description;  // up to kTypeDescLen characters
};

// The type table, defined at start-up in this order (type number = position).
const std::vector<SseType>& sse_types();
// Type number (1-based) whose keyword equals the 6-column key, or 0.
int find_sse_type(std::string_view key6);
// The keyword of a type number (blank-padded to 6 columns).
std::string_view type_keyword(int type);

using Vec3 = std::array<float, 3>;

// One secondary structure element, as read from an element record, with its
// geometry computed once on reading.
struct Element {
  std::uint8_t type = 0;                  // 1-based index into sse_types()
  FixedText<kElementTextLen> name;        // upper case, no blanks
  FixedText<kElementTextLen> from;        // first residue label, as read
  FixedText<kElementTextLen> to;          // last residue label, as read
  int nres = 0;
  Vec3 head{};                            // CA of the first residue
  Vec3 tail{};                            // CA of the last residue
  Vec3 centre{};                          // (head + tail) / 2
  Vec3 dir{};                             // tail - head
  float length = 0.0f;                    // |tail - head|
};

// The items of an element record before they are stored.
struct ElementFields {
  std::string name, from, to;  // each blank padded to kElementTextLen
  int nres = 0;
  float xyz[6] = {0, 0, 0, 0, 0, 0};
};

// Fills an element from the record items: type, name (blanks removed and
// upper-cased), labels, residue count, head, tail and the derived geometry.
void make_element(int type, const ElementFields& f, Element& e);

struct Entry {
  FixedText<kMolNameLen> name;    // lower case, no blanks
  FixedText<kNoteLen> note;       // lower case, runs of blanks reduced to one
  FixedText<kPdbNameLen> pdb;     // no blanks; "???" until a PDB line is seen
  int first = 0;                  // index of the first element (0-based)
  int count = 0;                  // number of elements
  std::array<int, kMaxTypes> type_count{};
  bool selected = true;
  bool pdb_exists = true;         // skip mode: false when the PDB file is missing
};

struct Database {
  std::vector<Entry> entries;      // kMaxEntries slots; the first nentries are used
  FixedArray<Element> elements;    // capacity kMaxElements
  int nentries = 0;
  int nselected = 0;
  bool incomplete = false;         // a limit made the loader skip data

  Database();
  int total_elements() const { return static_cast<int>(elements.size()); }
  const Element& element(const Entry& e, int k) const { return elements[e.first + k]; }
  void recount_selected();
};

// Distance modes of the searches.
enum class DistanceMode : int { C = 0, H, T, I, A };
inline constexpr int kNumDistanceModes = 5;
// Mode for a letter C/H/T/I/A (upper case); false for any other letter.
bool distance_mode_from_letter(char c, DistanceMode& mode);

// Pair values between two elements, as the query tables hold them.
float pair_distance(const Element& a, const Element& b, DistanceMode mode);
float pair_cosine(const Element& a, const Element& b);

// The query: the last user SSE file read, with its pair tables.
struct Query {
  FixedText<kMolNameLen> name;
  FixedText<kNoteLen> note;
  FixedText<kPdbNameLen> pdb;
  std::vector<Element> elements;  // at most kMaxElementsPerEntry
  // Symmetric kMaxElementsPerEntry x kMaxElementsPerEntry tables, row-major:
  // the five distance modes and the cosines.
  std::array<std::vector<float>, kNumDistanceModes> dist;
  std::vector<float> cosine;

  Query();
  int size() const { return static_cast<int>(elements.size()); }
  void clear();
  // Fills the six tables for the current elements.
  void build_pair_tables();
  float distance(DistanceMode mode, int i, int j) const {
    return dist[static_cast<int>(mode)][static_cast<std::size_t>(i) * kMaxElementsPerEntry + j];
  }
  float cos(int i, int j) const {
    return cosine[static_cast<std::size_t>(i) * kMaxElementsPerEntry + j];
  }
};

}  // namespace kelvor
