// Reading the hits of the old macro: header lines, marker modes, the value
// lines of each hit, and the index of header lines that the writing uses.
#pragma once

#include <array>
#include <string_view>

#include "capacities.h"
#include "macro_file.h"
#include "state.h"

namespace martuk {

// A line as the 256-character buffer holds it: its first kLineLen bytes,
// blank padded, so that a marker's trailing blank may come from the padding.
class Line {
 public:
  void set(std::string_view head);
  // Columns a to b, 1-based and inclusive.
  std::string_view cols(int a, int b) const {
    return std::string_view(buf_.data() + a - 1, static_cast<std::size_t>(b - a + 1));
  }
  // True when the text occurs anywhere in the buffer.
  bool contains(std::string_view text) const;

 private:
  std::array<char, kLineLen> buf_ = blanks();
  std::size_t len_ = 0;  // bytes that came from the line

  static std::array<char, kLineLen> blanks() {
    std::array<char, kLineLen> b;
    b.fill(' ');
    return b;
  }
};

// The three header tests, in their order.
bool has_comparing(const Line& line);
bool has_hit_marker(const Line& line);
bool has_foska_marker(const Line& line);

// Numbers read list-directed from a column field, first item only; false
// when the field cannot be read (all blank, malformed, out of range). The
// value is the one the field gives, or unchanged for an empty item.
bool read_int_field(std::string_view field, int& value);
bool read_real_field(std::string_view field, float& value);

// What a hit's line did to it.
enum class LineEffect {
  None,        // no rule applied, or the hit was updated
  Drop,        // a count below 1: the hit is dropped without a message
  Unreadable,  // a number of the line cannot be read
};

// Values of a hit being read and its two notes.
struct OpenHit {
  Hit hit;
  bool count_note = false;
  bool rmsd_note = false;
};

// Lists a hit on the terminal under its number (its place in the table
// while reading, in the order after sorting).
void list_hit(int number, const Hit& hit);

// Applies the first of the rules a-j that the line matches.
LineEffect apply_rules(const Line& line, bool mode_a, bool mode_b, OpenHit& open);

// Reads every hit of the old macro open in st.old, listing each kept hit,
// and indexes the header lines. Fatal on a read error between hits.
void read_hits(MartukState& st);

// Finds each hit's block among the header lines that the writing
// recognises (with the final marker modes).
void index_blocks(MartukState& st);

}  // namespace martuk
