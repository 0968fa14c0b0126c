// martuk's reading of hits: the rules a-j on single lines with their column
// ranges, the number fields, the hit limit, the block index with duplicate
// identifiers, and a macro built in the layout kelvor's search writes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core_session.h"
#include "capacities.h"
#include "hits.h"
#include "martuk_temp_file.h"
#include "state.h"

namespace {

using martuk::LineEffect;

struct RuleCase {
  const char* line;
  bool mode_a, mode_b;
  LineEffect effect;
  int matches;  // after the line, starting from 4
  float rmsd;   // after the line, starting from 3.5
  bool count_note, rmsd_note;
};

TEST(MartukRules, EachRuleReadsItsColumns) {
  const std::vector<RuleCase> cases = {
      // a: columns 35-45; below 1 drops the hit
      {"print ... Nr of matched residues :         87", false, false, LineEffect::None, 87, 3.5f, true, false},
      {"print ... Nr of matched residues :          0", false, false, LineEffect::Drop, 0, 3.5f, false, false},
      {"print ... Nr of matched residues :         -3", false, false, LineEffect::Drop, -3, 3.5f, false, false},
      {"print ... Nr of matched residues :    12 345678", false, false, LineEffect::None, 12, 3.5f, true, false},
      {"print ... Nr of matched residues :", false, false, LineEffect::Unreadable, 4, 3.5f, false, false},
      {"print ... Nr of matched residues :      *****", false, false, LineEffect::Unreadable, 4, 3.5f, false, false},
      {"print ... Nr of matched residues : 99999999999", false, false, LineEffect::Unreadable, 4, 3.5f, false, false},
      // a number past column 45 is not in the field
      {"print ... Nr of matched residues :                 7", false, false, LineEffect::Unreadable, 4, 3.5f, false, false},
      // b: columns 35-45, c: columns 40-50
      {"print ... RMS distance of CA atoms      1.234", false, false, LineEffect::None, 4, 1.234f, false, true},
      {"print ... RMS distance of CA atoms      1.2.3", false, false, LineEffect::Unreadable, 4, 3.5f, false, false},
      {"print ... RMS distance (A) after fit :      2.25", false, false, LineEffect::None, 4, 2.25f, false, true},
      {"print ... RMS distance of CA atoms 1.20000001", false, false, LineEffect::None, 4, 1.2f, false, true},
      // d: count in columns 20-23, RMSD in 52-60
      {"print ...  1abc ...  12 centroids with RMS distance    1.500 A", false, false, LineEffect::None, 12, 1.5f, true, true},
      {"print ...  1abc ... *** centroids with RMS distance    1.500 A", false, false, LineEffect::Unreadable, 4, 3.5f, false, false},
      // e, f, g, h only in mode A
      {"! RMSD (A)  1.250", true, false, LineEffect::None, 4, 1.25f, false, true},
      {"! RMSD (A)  9.250", true, false, LineEffect::None, 4, 3.5f, false, true},  // not smaller
      {"! RMSD (A)  1.250", false, false, LineEffect::None, 4, 3.5f, false, false},
      {"! RMSD  0.750", true, false, LineEffect::None, 4, 0.75f, false, true},
      {"! RMSD", true, false, LineEffect::Unreadable, 4, 3.5f, false, false},  // blank from the padding
      {"!   A1 <---> B3", true, false, LineEffect::None, 5, 3.5f, false, false},
      {"!   A1 <---> B3", false, true, LineEffect::None, 4, 3.5f, false, false},
      {"! Hit nr 2", true, false, LineEffect::None, 0, 3.5f, false, false},
      // i, j only in mode B; in both modes e comes before i
      {"! RMSD (A) :  0.875", false, true, LineEffect::None, 4, 0.875f, false, true},
      {"! RMSD (A) :  0.875", true, true, LineEffect::Unreadable, 4, 3.5f, false, false},
      {"! Nr of matched pairs :    55", false, true, LineEffect::None, 55, 3.5f, true, false},
      {"! Nr of matched pairs :    55", true, false, LineEffect::None, 4, 3.5f, false, false},
      // the first rule that applies is used
      {"print ... Nr of matched residues :          5 print ... RMS distance of", false, false, LineEffect::None, 5, 3.5f, true, false},
      {"nothing to see here", true, true, LineEffect::None, 4, 3.5f, false, false},
  };
  for (const RuleCase& c : cases) {
    martuk::Line line;
    line.set(c.line);
    martuk::OpenHit open;
    open.hit.matches = 4;
    open.hit.rmsd = 3.5f;
    const LineEffect e = martuk::apply_rules(line, c.mode_a, c.mode_b, open);
    EXPECT_EQ(e, c.effect) << c.line;
    if (e == LineEffect::Unreadable) continue;  // the hit is dropped anyway
    EXPECT_EQ(open.hit.matches, c.matches) << c.line;
    EXPECT_EQ(open.hit.rmsd, c.rmsd) << c.line;
    EXPECT_EQ(open.count_note, c.count_note) << c.line;
    EXPECT_EQ(open.rmsd_note, c.rmsd_note) << c.line;
  }
}

TEST(MartukRules, MarkersAreLookedForInTheFirst256Columns) {
  martuk::Line line;
  line.set(std::string(250, 'x') + "print ... Comparing 1abc");
  EXPECT_FALSE(martuk::has_comparing(line));
  line.set(std::string(237, 'x') + "print ... Comparing");  // ends in column 256
  EXPECT_TRUE(martuk::has_comparing(line));
  line.set("! HIT");  // the sixth column is padding
  EXPECT_TRUE(martuk::has_hit_marker(line));
  line.set("!\tHIT ");
  EXPECT_FALSE(martuk::has_hit_marker(line));
  line.set("! FOSKAL");
  EXPECT_TRUE(martuk::has_foska_marker(line));
  line.set(std::string(249, ' ') + "! RMSD");  // its blank is the padding
  EXPECT_TRUE(line.contains("! RMSD "));
}

// ------------------------------------------------------------ whole macros

class MacroRun {
 public:
  explicit MacroRun(const std::string& text) : session_(""), file_(text) {
    EXPECT_EQ(st.old.open(file_.path()), 0);
    martuk::read_hits(st);
    martuk::index_blocks(st);
    text_ = text;
  }
  std::string out() { return session_.out(); }
  // The bytes of a hit's block.
  std::string block(std::size_t i) const {
    const martuk::Hit& h = st.hits.at(i);
    return text_.substr(h.block_start, h.block_end - h.block_start);
  }

  martuk::MartukState st;

 private:
  zvtest::Session session_;
  martuktest::TempFile file_;
  std::string text_;
};

std::string plain_hit(const std::string& code, int n, const char* rmsd) {
  char a[64], b[64];
  std::snprintf(a, sizeof a, "print ... Nr of matched residues :%11d\n", n);
  std::snprintf(b, sizeof b, "print ... RMS distance of CA atoms%11s\n", rmsd);
  return "!\nprint ... Comparing " + code + "\n" + a + b + "ca ; end\n";
}

TEST(MartukReading, HitsPastTheLimitAreSkippedWithOneMessage) {
  std::string text = "! many hits\n";
  const int n = martuk::kMaxHits + 3;
  text.reserve(static_cast<std::size_t>(n) * 120);
  for (int i = 0; i < n; ++i) {
    char code[8];
    std::snprintf(code, sizeof code, "%04d", i % 10000);
    text += plain_hit(code, 1 + i % 50, "1.5");
  }
  MacroRun run(text);
  EXPECT_EQ(run.st.hits.size(), static_cast<std::size_t>(martuk::kMaxHits));
  const std::string out = run.out();
  std::size_t messages = 0;
  for (std::size_t p = out.find("ERROR ---"); p != std::string::npos; p = out.find("ERROR ---", p + 1))
    ++messages;
  EXPECT_EQ(messages, 1u);
  EXPECT_NE(out.find(" ERROR --- More than 25000 hits in the Mova macro - further hits are skipped"),
            std::string::npos);
  EXPECT_NE(out.find(" # 25000 ID 4999   Nmatch    50 RMSD   1.50 A\n"), std::string::npos);
  EXPECT_EQ(out.find(" # 25001"), std::string::npos);
}

TEST(MartukReading, DuplicateIdentifiersShareTheirFirstBlock) {
  const std::string first = plain_hit("1dup", 3, "2.0");
  const std::string other = plain_hit("2one", 4, "1.0");
  const std::string second = plain_hit("1dup", 5, "0.5") + "trailing line\n";
  MacroRun run("preamble\n" + first + other + second);
  ASSERT_EQ(run.st.hits.size(), 3u);
  EXPECT_TRUE(run.st.have_preamble);
  EXPECT_EQ(run.st.preamble_end, std::string("preamble\n!\n").size());
  // The header line starts each block; the "!" before the next header
  // belongs to the block before it.
  EXPECT_EQ(run.block(0), first.substr(2) + "!\n");
  EXPECT_EQ(run.block(1), other.substr(2) + "!\n");
  EXPECT_EQ(run.block(2), run.block(0));
}

TEST(MartukReading, StepBackStartsTheNextMarkerHit) {
  const std::string text =
      "! HIT 1abc\n!  a <---> b\n!  c <---> d\n! RMSD (A)  2.000\n! RMSD (A)  1.500\n"
      "! HIT 2def\n!  a <---> b\n";
  MacroRun run(text);
  ASSERT_EQ(run.st.hits.size(), 2u);
  EXPECT_TRUE(run.st.mode_a);
  EXPECT_FALSE(run.st.mode_b);
  EXPECT_EQ(run.st.hits[0].id, "1abc  ");
  EXPECT_EQ(run.st.hits[0].matches, 2);
  EXPECT_EQ(run.st.hits[0].rmsd, 1.5f);
  EXPECT_EQ(run.st.hits[1].id, "2def  ");
  EXPECT_EQ(run.st.hits[1].matches, 1);
  EXPECT_EQ(run.st.hits[1].rmsd, martuk::kNoRmsd);  // the end of the file completes it
  EXPECT_EQ(run.block(1), "! HIT 2def\n!  a <---> b\n");
  EXPECT_EQ(run.st.headers.size(), 2u);  // the line read twice is indexed once
}

TEST(MartukReading, PlainHeaderBeforeBothValuesIsNoNewHit) {
  MacroRun run(
      "print ... Comparing 1one\nprint ... Nr of matched residues :          7\n"
      "print ... Comparing 2two\nprint ... RMS distance of CA atoms      0.500\n"
      "print ... Nr of matched residues :          9\n");
  ASSERT_EQ(run.st.hits.size(), 1u);
  EXPECT_EQ(run.st.hits[0].id, "1one  ");
  EXPECT_EQ(run.st.hits[0].matches, 7);
  EXPECT_EQ(run.st.hits[0].rmsd, 0.5f);
  // Writing recognises the second header: the block ends there.
  EXPECT_EQ(run.block(0), "print ... Comparing 1one\nprint ... Nr of matched residues :          7\n");
}

// A macro in the layout of kelvor's search (each line ending in a blank,
// the entry name from column 21 of the header, the centroid line's count
// in columns 21-23 and its RMSD in 53-60), read back with the column
// ranges martuk uses.
TEST(MartukReading, ReadsTheCentroidLinesOfKelvorsLayout) {
  auto block = [](const char* name, int n, float rms) {
    char centroid[128];
    std::snprintf(centroid, sizeof centroid, "print ...  %-4s ... %3d centroids with RMS distance %8.3f A ",
                  name, n, rms);
    const std::string s(name);
    return "! \nprint ... Comparing " + s + " \nprint " + s + " note \nprint ... score = 1.5 for " + s +
           " \nprint ... nr of matched SSEs = 4 for " + s + " \n! \ns_a_i /p/" + s + ".pdb " + s +
           " pdb \n! \ndb_create .lsq_rt_" + s + " 12 R \n! \n" + centroid + "\ndb_set_data .lsq_rt_" + s +
           " 1 1 0.5 \n";
  };
  const std::string text = "! Mova macro lsq.movamac \n! \nprint ... incremental search \n" +
                           block("1cbs", 12, 1.5f) + block("2rbp", 7, 0.25f) + block("9xyz", 123, 99.999f);
  MacroRun run(text);
  ASSERT_EQ(run.st.hits.size(), 3u);
  EXPECT_EQ(run.st.hits[0].id, "1cbs  ");
  EXPECT_EQ(run.st.hits[0].matches, 12);
  EXPECT_EQ(run.st.hits[0].rmsd, 1.5f);
  EXPECT_EQ(run.st.hits[1].matches, 7);
  EXPECT_EQ(run.st.hits[1].rmsd, 0.25f);
  EXPECT_EQ(run.st.hits[2].id, "9xyz  ");
  EXPECT_EQ(run.st.hits[2].matches, 123);
  EXPECT_EQ(run.st.hits[2].rmsd, 99.999f);
  EXPECT_EQ(run.block(1), block("2rbp", 7, 0.25f).substr(3) + "! \n");
}

}  // namespace
