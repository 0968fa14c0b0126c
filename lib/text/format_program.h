// A parsed Fortran format: the edit descriptors of a format text as a flat
// token list with group markers, parsed once and cached by the text.
//
// The parser follows the gfortran runtime's rules for what it accepts and
// rejects (a bad format is iostat 5006 with gfortran's message), so that a
// format that works there works here and the other way round.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv::text {

enum class Op : std::uint8_t {
  // data edit descriptors (each consumes one item)
  A, I, B, O, Z, F, E, EN, ES, D, G, L,
  // control edit descriptors
  X, T, TL, TR, Slash, Colon, Dollar, Lit, Scale, SignPlus, SignSuppress, SignDefault,
  BlankNull, BlankZero,
  Group, GroupEnd, End
};

inline bool is_data(Op op) { return op <= Op::L; }

struct Tok {
  Op op = Op::End;
  bool has_w = true;   // A without a width takes the item's length
  bool has_m = false;  // Iw.m
  bool has_e = false;  // Ew.dEe
  int rep = 1;         // repeat count (data descriptors, groups, slashes)
  int w = 0;           // width; X, T, TL, TR: the count; Scale: k
  int d = 0;           // decimals (F, E, D, G, EN, ES); minimum digits (I.m)
  int e = 0;           // exponent digits
  int lit = 0;         // Lit: offset of the text in Program::text
  int lit_len = 0;
  int jump = 0;        // Group: index of its GroupEnd; GroupEnd: index of its Group
};

struct Program {
  std::vector<Tok> toks;   // ends with an End token
  std::string text;        // characters of all literals
  int reversion = 0;       // token where format reversion restarts
  int max_depth = 0;       // deepest group nesting
  bool list_directed = false;  // the format "*"
  bool has_slash = false;      // a '/' anywhere
  bool has_bz = false;         // a BZ anywhere
  int error = 0;               // 0, or 5006 for a format the runtime rejects
  std::string message;         // gfortran's message for the error
};

// Limits that keep absurd formats from exhausting memory or time (the
// runtime would try, and fail much later): a record longer than this is an
// end-of-record error, and a format that goes this many steps without
// reaching a data item is rejected (e.g. "(999999999(999999999(/)))").
inline constexpr long long kMaxRecordLength = 1LL << 20;
inline constexpr long kMaxStepsWithoutData = 1L << 20;

// Deepest group nesting an engine supports (deeper formats are rejected with
// iostat 5006 instead of overrunning a fixed cursor stack).
inline constexpr int kMaxFormatDepth = 64;

// Parses a format text (uncached).
void parse_format(std::string_view fmt, Program& prog);

// The cached program of a format text: parsed on first use, then looked up.
// The reference stays valid until the cache is cleared (it never is while
// programs are in use: the cache is bounded by dropping all entries only
// when it exceeds a few thousand distinct formats).
const Program& cached_format(std::string_view fmt);

// Number of distinct formats cached so far (for tests and diagnostics).
std::size_t format_cache_size();

// Walks a program's tokens the way the runtime does: repeat counts, groups,
// and format reversion. next() returns the next descriptor to process;
// Op::End means the format is exhausted (the caller then stops or calls
// revert()). A data descriptor with a repeat count comes back rep times.
class FormatCursor {
 public:
  explicit FormatCursor(const Program& p) : prog_(&p) {}
  // The next descriptor; Op::End also when the step limit was passed (then
  // overrun() is true).
  const Tok& next();
  // Restarts at the reversion point (the last top-level group, or the start).
  void revert();
  // Restarts at the very start of the format.
  void restart() {
    revert();
    pc_ = 0;
  }
  // A data item was transferred: the step budget starts again.
  void item_done() { steps_ = 0; }
  bool overrun() const { return steps_ > kMaxStepsWithoutData; }

 private:
  const Program* prog_;
  long steps_ = 0;
  int pc_ = 0;
  int data_left_ = 0;   // remaining repeats of the data descriptor at pc_-1
  int depth_ = 0;
  int count_[kMaxFormatDepth] = {};  // repeats left of each open group
};

}  // namespace zv::text
