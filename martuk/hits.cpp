#include "hits.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>

#include "core/dialogue.h"
#include "core/messages.h"
#include "core/strings.h"
#include "core/units.h"
#include "text/read.h"

namespace martuk {
namespace {

enum class Need { Any, ModeA, ModeB };
enum class Act {
  CountOrDrop,  // matches := integer; below 1 drops the hit
  Count,        // matches := integer
  Rmsd,         // RMSD := real
  Centroid,     // matches := integer, RMSD := real
  MinRmsd,      // RMSD := the real when it is smaller
  AddMatch,     // matches := matches + 1
  ResetMatches  // matches := 0
};

struct Rule {
  std::string_view marker;
  Need need;
  Act act;
  int a1, b1;  // columns of the (first) number
  int a2, b2;  // columns of the RMSD of a centroid line
};

// Rules a to j, tested in this order; the first that matches is used.
constexpr Rule kRules[] = {
    {"print ... Nr of matched residues", Need::Any, Act::CountOrDrop, 35, 45, 0, 0},
    {"print ... RMS distance of", Need::Any, Act::Rmsd, 35, 45, 0, 0},
    {"print ... RMS distance (A)", Need::Any, Act::Rmsd, 40, 50, 0, 0},
    {"centroids with RMS distance", Need::Any, Act::Centroid, 20, 23, 52, 60},
    {"! RMSD (A)", Need::ModeA, Act::MinRmsd, 11, 17, 0, 0},
    {"! RMSD ", Need::ModeA, Act::MinRmsd, 7, 13, 0, 0},
    {" <---> ", Need::ModeA, Act::AddMatch, 0, 0, 0, 0},
    {"! Hit nr ", Need::ModeA, Act::ResetMatches, 0, 0, 0, 0},
    {"! RMSD (A)", Need::ModeB, Act::MinRmsd, 13, 19, 0, 0},
    {"! Nr of matched", Need::ModeB, Act::Count, 24, 29, 0, 0},
};

// The identifier of a hit from its header line.
std::string hit_identifier(const Line& line, bool mode_a, bool mode_b) {
  if (mode_a) return zv::fit(line.cols(7, 10), kIdLen);
  if (mode_b) return std::string(line.cols(14, 19));
  return zv::fit(line.cols(21, 24), kIdLen);
}

// A hit whose lines cannot be read is reported and dropped.
void skip_hit(const Hit& hit) {
  zv::ERRMSG("While reading file");
  (void)zv::textuo(" Skipping :", hit.id);
}

// Adds a completed hit to the table and lists it. Past the limit the hit is
// skipped; the first one skipped is reported with the limit.
void keep_hit(MartukState& st, const Hit& hit) {
  if (st.hits.size() >= static_cast<std::size_t>(kMaxHits)) {
    if (!st.limit_reported) {
      zv::ERRMSG("More than " + std::to_string(kMaxHits) +
                 " hits in the Mova macro - further hits are skipped");
      st.limit_reported = true;
    }
    return;
  }
  st.hits.push_back(hit);
  list_hit(static_cast<int>(st.hits.size()), st.hits.back());
}

// The three header tests of a line.
struct HeaderTests {
  bool comparing = false;
  bool hit = false;
  bool foska = false;
};

// Remembers a line on which a header test holds (once, even when the line
// is read again after a step back).
void note_header(MartukState& st, const Record& rec, const Line& line, HeaderTests& t) {
  t.comparing = has_comparing(line);
  t.hit = has_hit_marker(line);
  t.foska = has_foska_marker(line);
  if (!t.comparing && !t.hit && !t.foska) return;
  if (!st.headers.empty() && st.headers.back().start == rec.start) return;
  HeaderLine h;
  h.start = rec.start;
  h.comparing = t.comparing;
  h.hit_marker = t.hit;
  h.foska_marker = t.foska;
  std::memcpy(h.cols21, line.cols(21, 24).data(), sizeof h.cols21);
  std::memcpy(h.cols7, line.cols(7, 10).data(), sizeof h.cols7);
  std::memcpy(h.cols14, line.cols(14, 19).data(), sizeof h.cols14);
  st.headers.push_back(h);
}

// Reads the next line, keeping its header tests; 0, -1 or an error number.
int next_line(MartukState& st, Record& rec, Line& line, HeaderTests& tests) {
  const int rc = st.old.next(rec);
  if (rc != 0) return rc;
  line.set(rec.head);
  note_header(st, rec, line, tests);
  return 0;
}

// Copies n bytes through the library's memcpy. Kept out of line on purpose:
// inlined where n is known to be at most 256, the copy becomes a string
// instruction that is several times slower than the library call on short
// lines, and this copy is made for every line of the macro.
[[gnu::noinline]] void copy_bytes(char* dst, const char* src, std::size_t n) {
  if (n > 0) std::memcpy(dst, src, n);  // an empty line may have no bytes at all
}

}  // namespace

void list_hit(int number, const Hit& hit) {
  (void)zv::unit_write_fmt(zv::kUnitStdout,
                           "(' # ',I5,' ID ',A6,' Nmatch ',I5,' RMSD ',F6.2,' A')",
                           {number, hit.id, hit.matches, hit.rmsd});
}

void Line::set(std::string_view head) {
  // Everything past len_ is blank already: only the part the old line
  // covered beyond the new one needs blanking.
  const std::size_t n = std::min(head.size(), kLineLen);
  copy_bytes(buf_.data(), head.data(), n);
  if (n < len_) std::memset(buf_.data() + n, ' ', len_ - n);
  len_ = n;
}

bool Line::contains(std::string_view text) const {
  // Only the padding blanks a text can end in need to be looked at.
  std::size_t trailing = 0;
  while (trailing < text.size() && text[text.size() - 1 - trailing] == ' ') ++trailing;
  const std::size_t n = std::min(kLineLen, len_ + trailing);
  return std::string_view(buf_.data(), n).find(text) != std::string_view::npos;
}

bool has_comparing(const Line& line) { return line.contains("print ... Comparing"); }
bool has_hit_marker(const Line& line) { return line.cols(1, 6) == "! HIT "; }
bool has_foska_marker(const Line& line) { return line.cols(1, 7) == "! FOSKA"; }

bool read_int_field(std::string_view field, int& value) {
  return zv::list_read(field, {value}) == 0;
}

bool read_real_field(std::string_view field, float& value) {
  return zv::list_read(field, {value}) == 0;
}

LineEffect apply_rules(const Line& line, bool mode_a, bool mode_b, OpenHit& open) {
  Hit& hit = open.hit;
  for (const Rule& r : kRules) {
    if ((r.need == Need::ModeA && !mode_a) || (r.need == Need::ModeB && !mode_b)) continue;
    if (!line.contains(r.marker)) continue;
    switch (r.act) {
      case Act::CountOrDrop:
        if (!read_int_field(line.cols(r.a1, r.b1), hit.matches)) return LineEffect::Unreadable;
        if (hit.matches < 1) return LineEffect::Drop;
        open.count_note = true;
        break;
      case Act::Count:
        if (!read_int_field(line.cols(r.a1, r.b1), hit.matches)) return LineEffect::Unreadable;
        open.count_note = true;
        break;
      case Act::Rmsd:
        if (!read_real_field(line.cols(r.a1, r.b1), hit.rmsd)) return LineEffect::Unreadable;
        open.rmsd_note = true;
        break;
      case Act::Centroid:
        if (!read_int_field(line.cols(r.a1, r.b1), hit.matches) ||
            !read_real_field(line.cols(r.a2, r.b2), hit.rmsd))
          return LineEffect::Unreadable;
        open.count_note = true;
        open.rmsd_note = true;
        break;
      case Act::MinRmsd: {
        float v = hit.rmsd;
        if (!read_real_field(line.cols(r.a1, r.b1), v)) return LineEffect::Unreadable;
        if (v < hit.rmsd) hit.rmsd = v;
        open.rmsd_note = true;
        break;
      }
      case Act::AddMatch:
        // Wraps instead of overflowing on absurd numbers of pair lines.
        hit.matches = static_cast<int>(static_cast<unsigned>(hit.matches) + 1u);
        break;
      case Act::ResetMatches:
        hit.matches = 0;
        break;
    }
    return LineEffect::None;
  }
  return LineEffect::None;
}

void read_hits(MartukState& st) {
  Record rec;
  Line line;
  HeaderTests tests;
  for (;;) {
    // Header search: the first test that holds decides.
    for (;;) {
      const int rc = next_line(st, rec, line, tests);
      if (rc == -1) {
        st.file_size = st.old.offset();
        return;
      }
      if (rc != 0) zv::ERRFAT("While reading file");
      if (tests.comparing) break;
      if (tests.hit) {
        st.mode_a = true;
        break;
      }
      if (tests.foska) {
        st.mode_b = true;
        break;
      }
    }

    OpenHit open;
    open.hit.id = hit_identifier(line, st.mode_a, st.mode_b);
    open.hit.matches = 0;
    open.hit.rmsd = kNoRmsd;

    for (;;) {
      const int rc = next_line(st, rec, line, tests);
      if (rc == -1 && (st.mode_a || st.mode_b)) {
        keep_hit(st, open.hit);
        st.file_size = st.old.offset();
        return;
      }
      if (rc != 0) {  // cut off by the end of the file, or a read error
        skip_hit(open.hit);
        break;
      }
      const LineEffect effect = apply_rules(line, st.mode_a, st.mode_b, open);
      if (effect == LineEffect::Drop) break;
      if (effect == LineEffect::Unreadable) {
        skip_hit(open.hit);
        break;
      }
      if (open.count_note && open.rmsd_note && !st.mode_a && !st.mode_b) {
        keep_hit(st, open.hit);
        break;
      }
      if ((st.mode_a && tests.hit) || (st.mode_b && tests.foska)) {
        st.old.step_back(rec);  // the next hit's header
        keep_hit(st, open.hit);
        break;
      }
    }
  }
}

void index_blocks(MartukState& st) {
  // The header lines the writing recognises, in file order.
  std::vector<const HeaderLine*> heads;
  for (const HeaderLine& h : st.headers) {
    if (h.comparing || (st.mode_a && h.hit_marker) || (st.mode_b && h.foska_marker))
      heads.push_back(&h);
  }
  st.have_preamble = !heads.empty();
  st.preamble_end = heads.empty() ? 0 : heads.front()->start;

  // For every identifier, the first header line on which one of the enabled
  // comparisons holds: columns 21-24, then 7-10 (mode A), then 14-19 (mode
  // B), each compared as blank-padded text with the six characters.
  std::unordered_map<std::string, std::size_t> first;
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  for (const Hit& hit : st.hits) first.emplace(hit.id, kNone);
  auto claim = [&](std::string key, std::size_t i) {
    auto it = first.find(key);
    if (it != first.end() && it->second == kNone) it->second = i;
  };
  for (std::size_t i = 0; i < heads.size(); ++i) {
    const HeaderLine& h = *heads[i];
    claim(zv::fit(std::string_view(h.cols21, sizeof h.cols21), kIdLen), i);
    if (st.mode_a) claim(zv::fit(std::string_view(h.cols7, sizeof h.cols7), kIdLen), i);
    if (st.mode_b) claim(std::string(h.cols14, sizeof h.cols14), i);
  }
  for (Hit& hit : st.hits) {
    const std::size_t i = first[hit.id];
    hit.block_found = i != kNone;
    if (!hit.block_found) continue;
    hit.block_start = heads[i]->start;
    hit.block_end = i + 1 < heads.size() ? heads[i + 1]->start : st.file_size;
  }
}

}  // namespace martuk
