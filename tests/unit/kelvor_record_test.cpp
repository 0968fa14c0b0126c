// kelvor's SSE records: the fast element-record reader must give exactly
// what the general list-directed reader gives, and keywords and values are
// classified and stored as the file format defines.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "element_record.h"
#include "model.h"
#include "sse_record.h"

namespace {

using kelvor::ElementFields;

bool same_bits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Reads value with the general reader and with the dispatching reader (fast
// path first) and checks that status and every field agree bit for bit.
void expect_same_as_general(const std::string& value) {
  SCOPED_TRACE("value: [" + value + "]");
  ElementFields general, dispatched;
  const int rc_general = kelvor::read_element_record_general(value, general);
  const int rc = kelvor::read_element_record(value, dispatched);
  ASSERT_EQ(rc == 0, rc_general == 0);
  if (rc_general == 0) {
    EXPECT_EQ(dispatched.name, general.name);
    EXPECT_EQ(dispatched.from, general.from);
    EXPECT_EQ(dispatched.to, general.to);
    EXPECT_EQ(dispatched.nres, general.nres);
    for (int k = 0; k < 6; ++k) EXPECT_TRUE(same_bits(dispatched.xyz[k], general.xyz[k])) << k;
  } else {
    EXPECT_EQ(rc, rc_general);
  }
}

TEST(ElementRecord, FastPathMatchesGeneralReader) {
  const char* cases[] = {
      "'A1' 'A5' 'A16' 12 1.23 -4.56 7.89 10.11 12.13 14.15",
      " 'A1' 'A5' 'A16' 12 1.230 -4.560 7.890 10.110 12.130 14.150",
      "'B1'   'A20'  'A24'    5   1.00 2.00 3.00 4.00 5.00 6.00   ",
      "' a 1' 'A5' 'A16' 12 1 2 3 4 5 6",
      "A1 A5 A16 12 1.0 2.0 3.0 4.0 5.0 6.0",
      "'A1','A5','A16',12,1,2,3,4,5,6",
      "'A1' 'A5' 'A16' 12 1.5e2 1.5E-1 +3.0 -0.0 .5 5.",
      "'A1' 'A5' 'A16' 12 1.5d2 1.5D-1 3 4 5 6",
      "'ABCDEFGH' 'A5' 'A16' 12 1 2 3 4 5 6",
      "'it''s' 'A5' 'A16' 12 1 2 3 4 5 6",
      "'' 'A5' 'A16' 12 1 2 3 4 5 6",
      "\t'A1'\t'A5'\t'A16'\t12\t1\t2\t3\t4\t5\t6",
      "'A1' 'A5' 'A16' 12 1 2 3 4 5 6 and more text",
      "'A1' 'A5' 'A16' 12 1 2 3 4 5 6/",
      "'A1' 'A5' 'A16' -7 -999.999 9999.999 0.001 -0.001 123456.789 1e30",
      "'A1' 'A5' 'A16' +12 1 2 3 4 5 6",
      "'A1' 'A5' 'A16' 0012 0.1 0.2 0.3 0.7 0.9 3.14159265358979",
      // Records the reader refuses: too few items, malformed numbers.
      "'A1' 'A5' 'A16' 12 1.23 -4.56 7.89 10.11 12.13",
      "'A1' 'A5' 'A16' 12",
      "",
      "'A1' 'A5' 'A16' 12.5 1 2 3 4 5 6",
      "'A1' 'A5' 'A16' twelve 1 2 3 4 5 6",
      "'A1' 'A5' 'A16' 12 1.2.3 2 3 4 5 6",
      "'A1' 'A5' 'A16' 99999999999 1 2 3 4 5 6",
      "'A1' 'A5' 'A16' 12 1 2 3 4 5 x6",
      "'A1 'A5' 'A16' 12 1 2 3 4 5 6",
  };
  for (const char* value : cases) expect_same_as_general(value);
}

TEST(ElementRecord, FastPathTakesTheUsualLayout) {
  ElementFields f;
  ASSERT_TRUE(kelvor::read_element_record_fast("'A1' 'A5' 'A16' 12 1.23 -4.56 7.89 10.11 12.13 14.15", f));
  EXPECT_EQ(f.name, "A1    ");
  EXPECT_EQ(f.to, "A16   ");
  EXPECT_EQ(f.nres, 12);
  EXPECT_FLOAT_EQ(f.xyz[1], -4.56f);
  // Anything unusual is left to the general reader.
  EXPECT_FALSE(kelvor::read_element_record_fast("'A1','A5','A16',12,1,2,3,4,5,6", f));
  EXPECT_FALSE(kelvor::read_element_record_fast("'A1' 'A5' 'A16' 12 1.5d2 1 2 3 4 5", f));
}

// Many records as prynol and EX write them, with numbers of every size.
TEST(ElementRecord, RandomRecordsMatchGeneralReader) {
  std::mt19937 rng(12345);
  std::uniform_real_distribution<float> coord(-999.999f, 9999.999f);
  std::uniform_int_distribution<int> decimals(0, 6), nres(-5, 400), len(0, 8), ch(0, 35);
  char buf[256];
  for (int n = 0; n < 20000; ++n) {
    std::string labels[3];
    for (auto& l : labels) {
      const int k = len(rng);
      for (int i = 0; i < k; ++i) {
        const int c = ch(rng);
        l += static_cast<char>(c < 26 ? 'A' + c : '0' + (c - 26));
      }
    }
    std::string value = "'" + labels[0] + "' '" + labels[1] + "' '" + labels[2] + "' " +
                        std::to_string(nres(rng));
    for (int k = 0; k < 6; ++k) {
      std::snprintf(buf, sizeof buf, " %.*f", decimals(rng), static_cast<double>(coord(rng)));
      value += buf;
    }
    expect_same_as_general(value);
    if (HasFailure()) break;
  }
}

struct RecordCase {
  const char* line;
  kelvor::RecordKind kind;
  const char* key;
  const char* value;
  int type;
};

TEST(SseRecord, KeywordsAreClassified) {
  using K = kelvor::RecordKind;
  const RecordCase cases[] = {
      {"! comment", K::Comment, "! comm", "ent", 0},
      {"REMARK some text", K::Remark, "REMARK", " some text", 0},
      {"remark lower case", K::Remark, "REMARK", " lower case", 0},
      {"CHAIN next.lib", K::Chain, "CHAIN ", "next.lib", 0},
      {"TYPMOL anything", K::TypeMol, "TYPMOL", " anything", 0},
      {"MOL    1abc", K::Mol, "MOL   ", " 1abc", 0},
      {"molecu 1abc", K::Mol, "MOLECU", " 1abc", 0},
      {"NOTE   text", K::Note, "NOTE  ", " text", 0},
      {"PDB    /x/y.pdb", K::Pdb, "PDB   ", " /x/y.pdb", 0},
      {"ENDMOL", K::End, "ENDMOL", "", 0},
      {"END", K::End, "END   ", "", 0},
      {"ALPHA 'A1'", K::Element, "ALPHA ", "'A1'", 1},
      {"alpha 'A1'", K::Element, "ALPHA ", "'A1'", 1},
      {"BETA  'B1'", K::Element, "BETA  ", "'B1'", 2},
      {"beta  'B1'", K::Element, "BETA  ", "'B1'", 2},
      // Element keywords must fill all six columns.
      {"BETA 'B1'", K::Other, "BETA '", "B1'", 0},
      {"ALPHAX 'A1'", K::Other, "ALPHAX", " 'A1'", 0},
      {"", K::Other, "      ", "", 0},
      {"XYZ", K::Other, "XYZ   ", "", 0},
  };
  kelvor::SseRecord rec;
  for (const RecordCase& c : cases) {
    SCOPED_TRACE(c.line);
    kelvor::parse_sse_record(c.line, rec);
    EXPECT_EQ(rec.kind, c.kind);
    if (c.kind != K::Comment) {
      EXPECT_EQ(rec.key, c.key);
    }
    EXPECT_EQ(rec.value, c.value);
    EXPECT_EQ(rec.type, c.type);
  }
}

TEST(SseRecord, ValueIsCutAt1024Characters) {
  kelvor::SseRecord rec;
  const std::string line = "REMARK" + std::string(2000, 'x');
  kelvor::parse_sse_record(line, rec);
  EXPECT_EQ(rec.value.size(), 1024u);
}

TEST(SseRecord, StoredForms) {
  EXPECT_EQ(kelvor::mol_name_from_value(" 1ABC"), "1abc");
  EXPECT_EQ(kelvor::mol_name_from_value(" a b c"), "abc");
  // The name field is 10 characters: the value is cut before blanks go.
  EXPECT_EQ(kelvor::mol_name_from_value("    abcdefghij"), "abcdef");
  EXPECT_EQ(kelvor::note_from_value("  Some   NOTE  text "), "some note text");
  EXPECT_EQ(kelvor::note_from_value(std::string(80, 'N')), std::string(70, 'n'));
  EXPECT_EQ(kelvor::pdb_name_from_value(" /Data/ X.pdb"), "/Data/X.pdb");
}

TEST(Element, GeometryAndNameAreDerivedOnReading) {
  ElementFields f;
  f.name = " a 1  ";
  f.from = "A12   ";
  f.to = "A20   ";
  f.nres = 9;
  const float xyz[6] = {1, 2, 3, 4, 6, 15};
  std::copy(xyz, xyz + 6, f.xyz);
  kelvor::Element e;
  kelvor::make_element(2, f, e);
  EXPECT_EQ(e.name.view(), "A1");
  EXPECT_EQ(e.from.view(), "A12");
  EXPECT_EQ(e.type, 2);
  EXPECT_FLOAT_EQ(e.centre[0], 2.5f);
  EXPECT_FLOAT_EQ(e.centre[2], 9.0f);
  EXPECT_FLOAT_EQ(e.dir[1], 4.0f);
  EXPECT_FLOAT_EQ(e.length, 13.0f);
}

}  // namespace
