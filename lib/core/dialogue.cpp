// The question-and-answer dialogue. A prompt line is built as
//   prompt text, " (", the values, ") "
// and written in pieces of at most 75 columns; an ii routine then reads one
// answer line from unit 5. The answer rules are the dialogue's own and differ
// from a plain list-directed READ in a few places, marked below.
#include "core/dialogue.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <vector>

#include "core/frame.h"
#include "core/messages.h"
#include "core/strings.h"
#include "core/units.h"
#include "text/format.h"
#include "text/read.h"

namespace zv {
namespace {

constexpr int kPromptRoom = 2044;          // prompt text and values
constexpr std::size_t kAnswerMax = 2048;   // longest answer line
constexpr std::size_t kAnswerBuffer = 2049;
constexpr std::size_t kWrap = 75;          // columns of one written piece
constexpr std::size_t kBreakFrom = 40;     // a break is looked for from A+40 on

constexpr int kOk = 0;
constexpr int kBufferOverflow = -2;
constexpr int kNoVariables = -3;
constexpr int kFormatOverflow = -4;
constexpr int kOutputOverflow = -5;

struct DialogueState {
  bool hold = false;     // the last piece of the prompt stays without line feed
  std::string line;      // the prompt line being built
  std::string out;       // the bytes of one written prompt
  std::string answer;    // the answer line
  std::string scratch;   // one formatted value
};

DialogueState& state() {
  static DialogueState s;
  return s;
}

// ---------------------------------------------------------------- reports

void report(std::string_view name, int status) {
  std::string s(name);
  switch (status) {
    case kBufferOverflow: s += " buffer overflow"; break;
    case kNoVariables: s += " no variables"; break;
    case kFormatOverflow: s += " format overflow"; break;
    case kOutputOverflow: s += " output buffer overflow"; break;
    default: format_append(s, "(' = ',I8,' (unknown)')", {status}); s.pop_back(); break;
  }
  (void)unit_write_line(kUnitStdout, s);
}

// ---------------------------------------------------------- prompt building

bool is_break(char c) {
  switch (c) {
    case ' ': case ')': case '-': case ']': case '}': case ';': case ':': case ',':
      return true;
    default:
      return false;
  }
}

// The prompt text (at least one character) and " (".
int begin_line(std::string_view prompt) {
  DialogueState& d = state();
  const int len = LENST1(prompt);
  d.line = fit(prompt, static_cast<std::size_t>(len));
  d.line += " (";
  return len;
}

// Cuts the line after its last non-blank character and closes it with ") ".
void end_line() {
  DialogueState& d = state();
  d.line.resize(static_cast<std::size_t>(LENSTR(d.line)));
  d.line += ") ";
}

enum class Layout { I8, I11, F8, E11, G11 };

int field_width(Layout l) { return l == Layout::I8 || l == Layout::F8 ? 9 : 12; }

// Appends one value in its layout; false when the field overflowed (only F8.3
// is checked: the fvalii/fvaluo fallback needs it).
bool append_value(Layout l, float f, int i) {
  DialogueState& d = state();
  std::string& s = d.scratch;
  s.clear();
  switch (l) {
    case Layout::I8: format_append(s, "(I8,' ')", {i}); break;
    case Layout::I11: format_append(s, "(I11,' ')", {i}); break;
    case Layout::F8: format_append(s, "(F8.3,' ')", {f}); break;
    case Layout::E11: format_append(s, "(1P,E11.3,' ')", {f}); break;
    case Layout::G11:
      if (std::fabs(f) > 1000000.0f || std::fabs(f) < 0.1f)
        format_append(s, "(1P,E11.3,' ')", {f});
      else
        format_append(s, "(0P,F11.3,' ')", {f});
      break;
  }
  if (!s.empty() && s.back() == '\n') s.pop_back();
  d.line += s;
  return !(l == Layout::F8 && s.find('*') != std::string::npos);
}

template <typename T>
int build_values(std::string_view prompt, std::span<const T> vals, Layout layout) {
  if (vals.empty()) return kNoVariables;
  const int len = begin_line(prompt);
  const long need = static_cast<long>(vals.size()) * field_width(layout);
  if (need > kPromptRoom - len) return kBufferOverflow;
  for (const T& v : vals) {
    bool ok;
    if constexpr (std::is_same_v<T, float>)
      ok = append_value(layout, v, 0);
    else
      ok = append_value(layout, 0.0f, v);
    if (!ok) return kFormatOverflow;
  }
  end_line();
  return kOk;
}

// Reals in F8.3; a value that does not fit makes the whole line G layout.
int build_fvalues(std::string_view prompt, std::span<const float> vals) {
  int st = build_values(prompt, vals, Layout::F8);
  if (st == kFormatOverflow) st = build_values(prompt, vals, Layout::G11);
  return st;
}

int build_text(std::string_view text1, std::string_view text2) {
  const int len = begin_line(text1);
  const int len2 = LENST1(text2);
  if (len2 > kPromptRoom - len) return kBufferOverflow;
  state().line += fit(text2, static_cast<std::size_t>(len2));
  end_line();
  return kOk;
}

int build_items(std::string_view prompt, std::span<const std::string> items, int len) {
  if (items.empty()) return kNoVariables;
  const int plen = begin_line(prompt);
  std::string& line = state().line;
  const std::size_t w = static_cast<std::size_t>(std::max(len, 0));
  for (const std::string& item : items) {
    const int cur = LENSTR(line);
    // In 64 bits: a declared length near the integer limit is refused, not
    // wrapped round.
    if (static_cast<long long>(cur) + static_cast<long long>(w) + 2 > kPromptRoom - plen)
      return kBufferOverflow;
    line.resize(static_cast<std::size_t>(cur));
    line += ' ';
    line += rtrim(std::string_view(item).substr(0, std::min(item.size(), w)));
  }
  end_line();
  return kOk;
}

// ----------------------------------------------------------- prompt writing

// Writes the built line: in one piece up to 75 columns, otherwise in pieces
// that end at a break character among their last 35 columns (or hard at 75),
// every later piece indented by two blanks.
int write_line() {
  DialogueState& d = state();
  const std::string& line = d.line;
  const std::size_t c = std::min(line.size(), static_cast<std::size_t>(LENSTR(line)) + 1);
  std::string& out = d.out;
  out.clear();
  if (c <= kWrap) {
    out.append(line, 0, c);
    if (!d.hold) out += '\n';
  } else {
    std::size_t a = 0;  // 0-based start of the piece
    bool first = true;
    while (a < c) {
      std::size_t e = std::min(a + kWrap, c) - 1;  // 0-based last character
      if (c - a > kBreakFrom) {
        for (std::size_t p = e + 1; p-- > a + kBreakFrom;) {
          if (is_break(line[p])) {
            e = p;
            break;
          }
        }
      }
      const bool last = e + 1 >= c;
      if (!first) out += "  ";
      out.append(line, a, e + 1 - a);
      if (!(last && d.hold)) out += '\n';
      first = false;
      a = e + 1;
    }
  }
  if (unit_write(kUnitStdout, out) != 0) return kOutputOverflow;
  return kOk;
}

// Writes the line just built (when building gave status 0) with the given
// prompt-hold flag; a failure of either step is reported under the uo name.
int show(std::string_view uo, bool hold, int built) {
  state().hold = hold;
  int st = built == kOk ? write_line() : built;
  if (st != kOk) report(uo, st);
  return st;
}

// ---------------------------------------------------------- answer reading

// Reads one answer line. End of input is an empty answer (and unit 5 keeps
// its end-of-input state for input_exhausted()); a line longer than the
// answer buffer (trailing blanks aside) is refused. Only the buffer's worth of
// the line is held: the rest is read past.
int read_answer(std::string& answer) {
  (void)unit_flush(kUnitStdout);
  LineCut cut;
  int rc = unit_read_line(kUnitStdin, answer, kAnswerMax, &cut);
  if (rc == -1) {
    answer.clear();
    return kOk;
  }
  if (rc != 0) {
    answer.clear();
    return rc;
  }
  if (!cut.blank) {
    answer.clear();
    return kBufferOverflow;
  }
  return kOk;
}

// Reads the answer as a list-directed line into the values.
template <typename T>
int read_values(std::string_view answer, std::span<T> vals) {
  std::vector<ReadItem> items;
  items.reserve(vals.size());
  for (T& v : vals) items.emplace_back(v);
  int rc = list_read(answer, items);
  // Dialogue rule, not the runtime's: a line that ends before all n values
  // are read (fewer items, or a trailing comma) keeps the remaining values
  // with status 0, where the READ reports end of file.
  if (rc < 0) rc = kOk;
  return rc;
}

template <typename T>
int ask_values(std::string_view prompt, std::span<T> vals, Layout layout, std::string_view uo,
               std::string_view ii) {
  std::span<const T> cvals(vals.data(), vals.size());
  int built;
  if constexpr (std::is_same_v<T, float>)
    built = build_fvalues(prompt, cvals);
  else
    built = build_values(prompt, cvals, layout);
  if (int st = show(uo, ISINTR(), built); st != kOk) return st;
  std::string& answer = state().answer;
  int st = read_answer(answer);
  // Dialogue rule: an empty answer (end of input included) keeps the values
  // with status 0; a READ of a blank line would go on to the next record.
  if (st == kOk && LENSTR(answer) > 0) st = read_values(answer, vals);
  if (st != kOk) report(ii, st);
  return st;
}

// True when a list-directed line holds a value for its first item (not an
// empty item, a slash, or a null r*).
bool has_value(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i == text.size() || text[i] == ',' || text[i] == '/') return false;
  std::size_t j = i;
  while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
  if (j > i && j < text.size() && text[j] == '*') {
    const std::size_t k = j + 1;
    if (k == text.size() || text[k] == ' ' || text[k] == '\t' || text[k] == ',' || text[k] == '/')
      return false;
  }
  return true;
}

template <typename T>
int read_one(std::string_view text, T& value, std::string_view message) {
  T v = value;
  ReadItem item(v);
  if (!has_value(text) || list_read(text, std::span<ReadItem>(&item, 1)) != 0) {
    ERRMSG(message);
    return -1;
  }
  value = v;
  return 0;
}

}  // namespace

// ------------------------------------------------------------ write-only

int textuo(std::string_view text1, std::string_view text2) {
  return show(" textuo -- i/o error", false, build_text(text1, text2));
}

int ivaluo(std::string_view text, std::span<const int> vals) {
  return show(" ivaluo -- i/o error", false, build_values(text, vals, Layout::I8));
}

int jvaluo(std::string_view text, std::span<const int> vals) {
  return show(" jvaluo -- i/o error", false, build_values(text, vals, Layout::I11));
}

int fvaluo(std::string_view text, std::span<const float> vals) {
  return show(" fvaluo -- i/o error", false, build_fvalues(text, vals));
}

int rvaluo(std::string_view text, std::span<const float> vals) {
  return show(" rvaluo -- i/o error", false, build_values(text, vals, Layout::E11));
}

int gvaluo(std::string_view text, std::span<const float> vals) {
  return show(" gvaluo -- i/o error", false, build_values(text, vals, Layout::G11));
}

int asciuo(std::string_view text, std::span<const std::string> items, int len) {
  return show(" asciuo -- i/o error", false, build_items(text, items, len));
}

// --------------------------------------------------------- ask and read

int textii(std::string_view prompt, std::string& text, int len) {
  const std::size_t w = static_cast<std::size_t>(std::max(len, 0));
  // The text is a field of len characters: the question shows, and an empty
  // answer keeps, no more than that.
  if (text.size() > w) text = rtrim(std::string_view(text).substr(0, w));
  if (int st = show(" textuo -- i/o error", ISINTR(), build_text(prompt, text)); st != kOk)
    return st;
  std::string& answer = state().answer;
  int st = read_answer(answer);
  if (st != kOk) {
    report(" textii -- i/o error", st);
    return st;
  }
  // An empty answer keeps the text; so does one that begins with a comma.
  // Otherwise the whole line counts, leading blanks included.
  if (LENSTR(answer) > 0 && answer[0] != ',')
    text = rtrim(std::string_view(answer).substr(0, std::min(answer.size(), w)));
  return kOk;
}

int fileii(std::string_view prompt, std::string& file, int len) {
  for (;;) {
    // Asked with room for the longest answer, so that a longer name is seen
    // whole rather than cut.
    std::string answer = file;
    if (int st = textii(prompt, answer, static_cast<int>(kAnswerMax)); st != kOk) return st;
    if (LENSTR(answer) <= len) {
      file = answer;
      return kOk;
    }
    ERRMSG("File name longer than " + std::to_string(len) + " characters");
    if (!ISINTR() || input_exhausted()) return kNameTooLong;
  }
}

int ivalii(std::string_view prompt, std::span<int> vals) {
  return ask_values(prompt, vals, Layout::I8, " ivaluo -- i/o error", " ivalii -- i/o error");
}

int jvalii(std::string_view prompt, std::span<int> vals) {
  return ask_values(prompt, vals, Layout::I11, " jvaluo -- i/o error", " jvalii -- i/o error");
}

int fvalii(std::string_view prompt, std::span<float> vals) {
  return ask_values(prompt, vals, Layout::F8, " fvaluo -- i/o error", " fvalii -- i/o error");
}

int asciii(std::string_view prompt, std::span<std::string> items, int len) {
  std::span<const std::string> citems(items.data(), items.size());
  if (int st = show(" asciuo -- i/o error", ISINTR(), build_items(prompt, citems, len)); st != kOk)
    return st;
  std::string& answer = state().answer;
  int st = read_answer(answer);
  if (st != kOk) {
    report(" asciii -- i/o error", st);
    return st;
  }
  // Fixed fields of len+1 columns; a blank field or one that begins with a
  // comma keeps its item.
  const std::size_t w = static_cast<std::size_t>(std::max(len, 0));
  const std::string_view a(answer);
  for (std::size_t k = 0; k < items.size(); ++k) {
    const std::size_t start = k * (w + 1);
    if (start >= kAnswerBuffer || start >= a.size()) break;  // past the line: blank fields
    const std::string_view f = a.substr(start, w);
    if (LENSTR(f) == 0 || f[0] == ',') continue;
    items[k] = rtrim(f);
  }
  return kOk;
}

// ---------------------------------------------------------------- others

bool YESNO(std::string_view question) {
  const int q = LENSTR(question);
  std::string prompt;
  if (q > 0) {
    prompt = " ";
    prompt += question.substr(0, static_cast<std::size_t>(std::min(q, 70)));
    prompt += " (Y/N) ?";
  } else {
    prompt = " Are you sure (Y/N) ?";
  }
  std::string answer = "N";
  (void)textii(prompt, answer, 1);
  return !answer.empty() && (answer[0] == 'Y' || answer[0] == 'y');
}

void TXTOUT(std::string_view text) {
  const int len = LENSTR(text);
  if (len == 0) return;
  const std::string_view rest = text.substr(1, static_cast<std::size_t>(len - 1));
  std::string s;
  switch (text[0]) {
    case '0': s = "\n "; s += rest; s += '\n'; break;
    case '1': s = "\n\n "; s += rest; s += '\n'; break;
    case '$': s = " "; s += rest; s += ' '; break;
    default: s.assign(text.substr(0, static_cast<std::size_t>(len))); s += '\n'; break;
  }
  (void)unit_write(kUnitStdout, s);
}

void EXTROP(std::string_view line, int& nitems, int maxitems, std::span<std::string> items,
            int len, int& ierr) {
  ierr = 0;
  nitems = 0;
  // Never more items than the caller's array holds.
  const int room = std::max(0, std::min(maxitems, static_cast<int>(items.size())));
  const std::size_t w = static_cast<std::size_t>(std::max(len, 0));
  const std::size_t n = static_cast<std::size_t>(LENSTR(line));
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  std::size_t i = 0;
  while (i < n) {
    if (blank(line[i])) {
      ++i;
      continue;
    }
    std::size_t begin, end, next;
    if (line[i] == '"') {
      begin = i + 1;
      const std::size_t close = line.find('"', begin);
      end = close == std::string_view::npos || close > n ? n : close;
      next = end + 1;
    } else {
      begin = i;
      end = i;
      while (end < n && !blank(line[end])) ++end;
      next = end;
    }
    if (nitems == room) {
      ERRMSG("EXTROP - too many items on input line");
      (void)jvaluo(" Maximum allowed :", maxitems);
      TXTOUT(" Rest of line not parsed !!!");
      return;
    }
    const std::string_view item = line.substr(begin, std::min(end - begin, w));
    items[static_cast<std::size_t>(nitems)] = rtrim(item);
    ++nitems;
    i = next;
  }
}

int STRINT(std::string_view text, int& ival) {
  return read_one(text, ival, "While reading integer from input string");
}

int STRREAL(std::string_view text, float& val) {
  return read_one(text, val, "While reading real from input string");
}

bool input_exhausted() { return unit_at_eof(kUnitStdin); }

}  // namespace zv
