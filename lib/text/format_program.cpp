#include "text/format_program.h"

#include <cctype>
#include <climits>
#include <string>
#include <unordered_map>

namespace zv::text {
namespace {

constexpr int kBadFormat = 5006;

class Parser {
 public:
  Parser(std::string_view s, Program& p) : s_(s), p_(p) {}

  void run() {
    skip_blanks();
    if (i_ < s_.size() && s_[i_] == '*') {
      ++i_;
      skip_blanks();
      if (i_ == s_.size()) {
        p_.list_directed = true;
        p_.toks.push_back(Tok{});
        return;
      }
      i_ = 0;
    }
    skip_blanks();
    if (i_ >= s_.size() || s_[i_] != '(') return fail("Missing initial left parenthesis in format");
    ++i_;
    if (!parse_list(1)) return;
    // Text after the closing parenthesis is ignored, as the runtime does.
    Tok end;
    end.op = Op::End;
    p_.toks.push_back(end);
    p_.reversion = last_top_group_;
  }

 private:
  std::string_view s_;
  Program& p_;
  std::size_t i_ = 0;
  int last_top_group_ = 0;

  void fail(const char* msg) {
    if (p_.error == 0) {
      p_.error = kBadFormat;
      p_.message = msg;
    }
  }
  bool failed() const { return p_.error != 0; }

  void skip_blanks() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t')) ++i_;
  }
  int peek() {
    skip_blanks();
    return i_ < s_.size() ? std::toupper(static_cast<unsigned char>(s_[i_])) : -1;
  }
  static bool digit(int c) { return c >= '0' && c <= '9'; }

  // Reads an unsigned number (blanks inside are insignificant); -1 if none.
  long long number() {
    skip_blanks();
    if (i_ >= s_.size() || !digit(static_cast<unsigned char>(s_[i_]))) return -1;
    long long v = 0;
    while (true) {
      skip_blanks();
      if (i_ >= s_.size() || !digit(static_cast<unsigned char>(s_[i_]))) break;
      v = v * 10 + (s_[i_] - '0');
      if (v > INT_MAX / 4) v = INT_MAX / 4;  // absurd widths are clamped, then rejected
      ++i_;
    }
    return v;
  }

  Tok& push(Op op, int rep = 1) {
    Tok t;
    t.op = op;
    t.rep = rep;
    p_.toks.push_back(t);
    return p_.toks.back();
  }

  // After "kP" a comma may be left out only before F, E, EN, ES, D or G (with
  // an optional repeat count), or before ')', '/' and ':'.
  bool check_after_p() {
    std::size_t save = i_;
    int c = peek();
    bool ok = c == ',' || c == ')' || c == '/' || c == ':' || c == -1;
    if (!ok) {
      number();
      int d = peek();
      ok = d == 'F' || d == 'E' || d == 'D' || d == 'G';
    }
    i_ = save;
    if (!ok) fail("Comma required after P descriptor");
    return ok;
  }

  void literal(char q) {
    ++i_;
    Tok& t = push(Op::Lit);
    t.lit = static_cast<int>(p_.text.size());
    while (true) {
      if (i_ >= s_.size()) return fail("Unterminated character constant in format");
      char c = s_[i_++];
      if (c == q) {
        if (i_ < s_.size() && s_[i_] == q) {
          p_.text.push_back(q);
          ++i_;
          continue;
        }
        break;
      }
      p_.text.push_back(c);
    }
    p_.toks.back().lit_len = static_cast<int>(p_.text.size()) - p_.toks.back().lit;
  }

  // Width and decimals of a data descriptor whose letter(s) were consumed.
  void data_descriptor(Op op, int rep) {
    Tok t;
    t.op = op;
    t.rep = rep;
    long long w = number();
    switch (op) {
      case Op::A:
        if (w < 0) {
          t.has_w = false;
        } else if (w == 0) {
          return fail("Positive width required in format");
        }
        t.w = static_cast<int>(w < 0 ? 0 : w);
        break;
      case Op::L:
        if (w <= 0) return fail("Positive width required in format");
        t.w = static_cast<int>(w);
        break;
      case Op::I: case Op::B: case Op::O: case Op::Z:
        if (w < 0) return fail("Nonnegative width required in format");
        t.w = static_cast<int>(w);
        if (peek() == '.') {
          ++i_;
          long long m = number();
          if (m < 0) return fail("Nonnegative width required in format");
          if (w > 0 && m > w) return fail("Minimum digits exceeds field width");
          t.has_m = true;
          t.d = static_cast<int>(m);
        }
        break;
      case Op::G:
        if (w < 0) return fail("Nonnegative width required in format");
        t.w = static_cast<int>(w);
        if (peek() != '.') {
          if (w == 0) {  // G0: the minimal form
            t.d = -1;
            break;
          }
          return fail("Period required in format");
        }
        ++i_;
        t.d = static_cast<int>(number());
        if (t.d < 0) return fail("Nonnegative width required in format");
        if (peek() == 'E') {
          ++i_;
          long long e = number();
          if (e <= 0) return fail("Positive exponent width required in format");
          t.has_e = true;
          t.e = static_cast<int>(e);
        }
        break;
      default: {  // F, E, EN, ES, D
        if (w < 0) return fail("Nonnegative width required in format");
        t.w = static_cast<int>(w);
        if (peek() != '.') return fail("Period required in format");
        ++i_;
        long long d = number();
        if (d < 0) return fail("Nonnegative width required in format");
        t.d = static_cast<int>(d);
        if ((op == Op::E || op == Op::EN || op == Op::ES) && peek() == 'E') {
          ++i_;
          long long e = number();
          if (e < 0) return fail("Positive exponent width required in format");
          t.has_e = e > 0;
          t.e = static_cast<int>(e);
        }
      }
    }
    p_.toks.push_back(t);
  }

  // Parses descriptors up to and including the ')' that closes this level.
  bool parse_list(int depth) {
    if (depth > kMaxFormatDepth) {
      fail("Format nesting too deep");
      return false;
    }
    if (depth > p_.max_depth) p_.max_depth = depth;
    bool after_comma = false;
    bool first = true;
    while (!failed()) {
      int c = peek();
      if (c == -1) {
        fail("Missing right parenthesis in format");
        return false;
      }
      if (c == ',') {
        if (after_comma || first) {
          fail("Unexpected element ',' in format");
          return false;
        }
        ++i_;
        after_comma = true;
        continue;
      }
      if (c == ')') {
        if (after_comma) {
          fail("Unexpected element ')' in format");
          return false;
        }
        ++i_;
        return true;
      }
      after_comma = false;
      first = false;
      if (!element(depth)) return false;
    }
    return false;
  }

  bool element(int depth) {
    int c = peek();
    int sign = 0;
    if (c == '+' || c == '-') {
      sign = c == '-' ? -1 : 1;
      ++i_;
    }
    long long n = number();
    if (sign != 0 && n < 0) {
      fail("Expected P edit descriptor in format");
      return false;
    }
    c = peek();
    if (n >= 0) {
      if (c == 'P') {
        ++i_;
        Tok& t = push(Op::Scale);
        t.w = static_cast<int>(sign < 0 ? -n : n);
        return check_after_p();
      }
      if (sign != 0) {
        fail("Expected P edit descriptor in format");
        return false;
      }
      if (c == 'X') {
        ++i_;
        if (n == 0) {
          fail("Positive width required in format");
          return false;
        }
        push(Op::X).w = static_cast<int>(n);
        return true;
      }
      if (c == 'H') {
        ++i_;
        if (n == 0 || i_ + static_cast<std::size_t>(n) > s_.size()) {
          fail("Hollerith constant extends past the end of the format");
          return false;
        }
        Tok& t = push(Op::Lit);
        t.lit = static_cast<int>(p_.text.size());
        t.lit_len = static_cast<int>(n);
        p_.text.append(s_.substr(i_, static_cast<std::size_t>(n)));
        i_ += static_cast<std::size_t>(n);
        return true;
      }
      if (n == 0) {
        fail("Expected P edit descriptor in format");
        return false;
      }
      if (c == '(') return group(static_cast<int>(n), depth);
      if (c == '/') {
        ++i_;
        push(Op::Slash, static_cast<int>(n));
        p_.has_slash = true;
        return true;
      }
      return letter(static_cast<int>(n), true);
    }
    switch (c) {
      case '(':
        return group(1, depth);
      case '/':
        ++i_;
        push(Op::Slash);
        p_.has_slash = true;
        return true;
      case ':':
        ++i_;
        push(Op::Colon);
        return true;
      case '$':
        ++i_;
        push(Op::Dollar);
        return true;
      case '\'':
      case '"':
        literal(static_cast<char>(c));
        return !failed();
      default:
        return letter(1, false);
    }
  }

  bool group(int rep, int depth) {
    ++i_;
    int at = static_cast<int>(p_.toks.size());
    if (depth == 1) last_top_group_ = at;
    push(Op::Group, rep);
    if (!parse_list(depth + 1)) return false;
    int end = static_cast<int>(p_.toks.size());
    push(Op::GroupEnd).jump = at;
    p_.toks[static_cast<std::size_t>(at)].jump = end;
    return true;
  }

  bool letter(int rep, bool counted) {
    int c = peek();
    auto bad = [&]() {
      std::string msg = "Unexpected element '";
      if (i_ < s_.size()) msg.push_back(s_[i_]);
      msg += "' in format";
      if (p_.error == 0) {
        p_.error = kBadFormat;
        p_.message = msg;
      }
      return false;
    };
    if (c == -1) return bad();
    ++i_;
    switch (c) {
      case 'A': data_descriptor(Op::A, rep); break;
      case 'I': data_descriptor(Op::I, rep); break;
      case 'O': data_descriptor(Op::O, rep); break;
      case 'Z': data_descriptor(Op::Z, rep); break;
      case 'F': data_descriptor(Op::F, rep); break;
      case 'D': data_descriptor(Op::D, rep); break;
      case 'G': data_descriptor(Op::G, rep); break;
      case 'L': data_descriptor(Op::L, rep); break;
      case 'E': {
        int n = peek();
        if (n == 'N') {
          ++i_;
          data_descriptor(Op::EN, rep);
        } else if (n == 'S') {
          ++i_;
          data_descriptor(Op::ES, rep);
        } else {
          data_descriptor(Op::E, rep);
        }
        break;
      }
      case 'B': {
        int n = peek();
        if (n == 'N' || n == 'Z') {
          if (counted) return bad();
          ++i_;
          push(n == 'N' ? Op::BlankNull : Op::BlankZero);
          if (n == 'Z') p_.has_bz = true;
        } else {
          data_descriptor(Op::B, rep);
        }
        break;
      }
      case 'S': {
        if (counted) return bad();
        int n = peek();
        if (n == 'P' || n == 'S') {
          ++i_;
          push(n == 'P' ? Op::SignPlus : Op::SignSuppress);
        } else {
          push(Op::SignDefault);
        }
        break;
      }
      case 'T': {
        if (counted) return bad();
        Op op = Op::T;
        int n = peek();
        if (n == 'L' || n == 'R') {
          ++i_;
          op = n == 'L' ? Op::TL : Op::TR;
        }
        long long v = number();
        if (v <= 0) {
          fail("Positive integer required in format");
          return false;
        }
        push(op).w = static_cast<int>(v);
        break;
      }
      case 'X':
        if (counted) return bad();
        push(Op::X).w = 1;
        break;
      case 'P':
        fail("P descriptor requires leading scale factor");
        return false;
      default:
        --i_;
        return bad();
    }
    return !failed();
  }
};

struct Hash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

constexpr std::size_t kMaxCachedFormats = 4096;

std::unordered_map<std::string, Program, Hash, std::equal_to<>>& cache() {
  static std::unordered_map<std::string, Program, Hash, std::equal_to<>> c;
  return c;
}

}  // namespace

void parse_format(std::string_view fmt, Program& prog) {
  prog = Program{};
  Parser(fmt, prog).run();
  if (prog.error != 0) {
    prog.toks.clear();
    Tok end;
    prog.toks.push_back(end);
    prog.reversion = 0;
  }
}

namespace {

// The most recent format is checked first: callers usually write the same
// line again and again.
const std::pair<const std::string, Program>* g_last = nullptr;

}  // namespace

const Program& cached_format(std::string_view fmt) {
  auto& c = cache();
  if (g_last != nullptr && g_last->first == fmt) return g_last->second;
  auto it = c.find(fmt);
  if (it == c.end()) {
    if (c.size() >= kMaxCachedFormats) {
      g_last = nullptr;
      c.clear();
    }
    Program p;
    parse_format(fmt, p);
    it = c.emplace(std::string(fmt), std::move(p)).first;
  }
  g_last = &*it;
  return it->second;
}

std::size_t format_cache_size() { return cache().size(); }

const Tok& FormatCursor::next() {
  static const Tok kEnd;
  const auto& toks = prog_->toks;
  while (true) {
    if (++steps_ > kMaxStepsWithoutData) return kEnd;
    if (data_left_ > 0) {
      --data_left_;
      return toks[static_cast<std::size_t>(pc_ - 1)];
    }
    const Tok& t = toks[static_cast<std::size_t>(pc_)];
    switch (t.op) {
      case Op::End:
        return t;
      case Op::Group:
        count_[depth_++] = t.rep;
        ++pc_;
        continue;
      case Op::GroupEnd:
        if (--count_[depth_ - 1] > 0) {
          pc_ = t.jump + 1;
        } else {
          --depth_;
          ++pc_;
        }
        continue;
      default:
        ++pc_;
        if (t.rep > 1 && (is_data(t.op) || t.op == Op::Slash)) data_left_ = t.rep - 1;
        return t;
    }
  }
}

void FormatCursor::revert() {
  pc_ = prog_->reversion;
  data_left_ = 0;
  depth_ = 0;
}

}  // namespace zv::text
