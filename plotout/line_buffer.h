// Output lines of the plot writers, composed field by field in one reused
// buffer. A compacting buffer gives directly what writing the line with its
// fixed format and then applying ONEBLANK gives: no leading blanks, every run
// of blanks reduced to one, nothing after the last non-blank. A plain buffer
// keeps the fields at their full width.
//
// Number fields follow the Fortran edit descriptors Fw.d and Iw digit for
// digit (rounding of the exact binary value to nearest, ties to even; a minus
// sign for negative values that round to zero; the leading zero dropped when
// the field is one column short). Two cases differ on purpose, because the
// files are read by other programs: a value too wide for its field is
// written in full instead of as asterisks, and a value that is not finite
// is written as 0, so that no line ever holds "****", "NaN" or "Infinity".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zv::plotout {

// Writes the significant characters of Fw.d for v (d at most 17) into out,
// which must hold 64 characters, and returns their count. A count above w
// means Fortran would fill the field with asterisks. v must be finite.
int render_f(char* out, float v, int w, int d);
// The same for Iw.
int render_i(char* out, long long v, int w);

class LineBuffer {
 public:
  explicit LineBuffer(bool compact) : compact_(compact) { buf_.reserve(256); }

  void clear() { buf_.clear(); }
  // Literal text.
  LineBuffer& text(std::string_view s);
  // Text inside a PostScript string: "\" and every parenthesis without a
  // partner get a backslash, and line ends become blanks, so that no text can
  // end the string early. Balanced parentheses are legal inside a string and
  // are written as they are, so "f(x)" stays "f(x)".
  LineBuffer& ps_string(std::string_view s);
  // Text of a comment: line ends become blanks, so the comment stays one line.
  LineBuffer& comment(std::string_view s);
  // Text inside a double-quoted VRML string: '"' and '\' get a backslash.
  LineBuffer& vrml_string(std::string_view s);
  // n blanks (nX).
  LineBuffer& blanks(int n);
  LineBuffer& f(float v, int w, int d);
  LineBuffer& i(long long v, int w);

  // The line, up to its last non-blank character.
  std::string_view view() const;

 private:
  void put(char c) {
    if (compact_ && c == ' ' && (buf_.empty() || buf_.back() == ' ')) return;
    buf_.push_back(c);
  }
  void field(const char* s, int n, int w);

  bool compact_;
  std::string buf_;
  std::string unmatched_;  // per character of a string: 1 for a "(" without partner
};

}  // namespace zv::plotout
