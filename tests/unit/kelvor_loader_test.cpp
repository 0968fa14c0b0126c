// kelvor's database loader and SSE file writer, run in-process on files in
// a scratch folder: slot reuse, skip mode, limits, and files written by EX
// read back unchanged.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "capacities.h"
#include "core/frame.h"
#include "core/units.h"
#include "core_session.h"
#include "loader.h"
#include "model.h"
#include "sse_writer.h"

namespace {

namespace fs = std::filesystem;

class LoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kelvor_loader_test_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string write(const std::string& name, const std::string& text) {
    const fs::path p = dir_ / name;
    std::ofstream(p) << text;
    return p.string();
  }

  // Loads the text as a database; returns the terminal output.
  std::string load(const std::string& text, kelvor::Database& db, bool skip = false) {
    zvtest::Session session("");
    EXPECT_EQ(zv::unit_open(kelvor::kUnitLibrary, write("db.lib", text), zv::UnitMode::Read), 0);
    kelvor::load_database(db, kelvor::LoadOptions{false, skip});
    return session.out();
  }

  fs::path dir_;
};

std::string element(const char* kw, const char* name, int nres = 5) {
  return std::string(kw) + " '" + name + "' 'A1' 'A9' " + std::to_string(nres) +
         " 1.5 -2.25 3.125 10.0 20.0 -30.0\n";
}

TEST_F(LoaderTest, EmptyEntriesAreOverwrittenAndTheLastDropped) {
  auto db = std::make_unique<kelvor::Database>();
  const std::string out = load(
      "MOL    1one\n" + element("ALPHA ", "A1") + "ENDMOL\n"
      "MOL    2empty\nNOTE   nothing here\nENDMOL\n"
      "MOL    3three\n" + element("BETA  ", "B1") + element("BETA  ", "B2") + "ENDMOL\n"
      "MOL    4empty\nENDMOL\n",
      *db);
  ASSERT_EQ(db->nentries, 2);
  EXPECT_EQ(db->entries[0].name.view(), "1one");
  EXPECT_EQ(db->entries[1].name.view(), "3three");
  // The note of the overwritten entry does not carry over.
  EXPECT_EQ(db->entries[1].note.view(), "");
  EXPECT_EQ(db->entries[1].first, 1);
  EXPECT_EQ(db->entries[1].count, 2);
  EXPECT_EQ(db->entries[1].type_count[1], 2);
  EXPECT_EQ(db->total_elements(), 3);
  EXPECT_EQ(db->nselected, 2);
  EXPECT_FALSE(db->incomplete);
  EXPECT_NE(out.find(" Nr of entries    : (          2) "), std::string::npos) << out;
}

// The dropped entry's elements were read: they stay counted in the total
// and in the summary, and the next entry's elements follow them.
TEST_F(LoaderTest, SkipModeReplacesEntriesWithoutPdbFile) {
  const std::string present = write("present.pdb", "ATOM\n");
  auto db = std::make_unique<kelvor::Database>();
  const std::string out = load(
      "MOL    1has\nPDB    " + present + "\n" + element("ALPHA ", "A1") + "ENDMOL\n"
      "MOL    2gone\nPDB    " + (dir_ / "absent.pdb").string() + "\n" + element("ALPHA ", "A1") +
          element("ALPHA ", "A2") + "ENDMOL\n"
      "MOL    3next\n" + element("BETA  ", "B1") + "ENDMOL\n",
      *db, true);
  ASSERT_EQ(db->nentries, 2);
  EXPECT_EQ(db->entries[1].name.view(), "3next");
  EXPECT_EQ(db->entries[1].pdb.view(), "???");
  EXPECT_EQ(db->entries[1].first, 3);
  EXPECT_EQ(db->entries[1].count, 1);
  EXPECT_EQ(db->total_elements(), 4);
  EXPECT_EQ(db->element(db->entries[1], 0).name.view(), "B1");
  EXPECT_NE(out.find("PDB file does not exist; SKIP"), std::string::npos) << out;
  EXPECT_NE(out.find(" Nr of entries    : (          2) "), std::string::npos) << out;
  EXPECT_NE(out.find(" Nr of SSEs read  : (          4) "), std::string::npos) << out;
}

TEST_F(LoaderTest, TooManyElementsInOneEntry) {
  std::string text = "MOL    1big\n";
  for (int k = 0; k < kelvor::kMaxElementsPerEntry + 2; ++k) text += element("ALPHA ", "A1");
  text += "ENDMOL\nMOL    2next\n" + element("BETA  ", "B1") + "ENDMOL\n";
  auto db = std::make_unique<kelvor::Database>();
  const std::string out = load(text, *db);
  ASSERT_EQ(db->nentries, 2);
  EXPECT_EQ(db->entries[0].count, kelvor::kMaxElementsPerEntry);
  EXPECT_EQ(db->entries[1].first, kelvor::kMaxElementsPerEntry);
  EXPECT_TRUE(db->incomplete);
  std::size_t n = 0;
  for (std::size_t p = out.find("Too many elements"); p != std::string::npos;
       p = out.find("Too many elements", p + 1)) {
    ++n;
  }
  EXPECT_EQ(n, 2u);
}

// At the entry limit a MOL that reuses the current slot (its entry has no
// elements) still fits; only a MOL that needs a new slot is refused.
TEST_F(LoaderTest, EntryLimitCountsSlots) {
  std::string text;
  for (int i = 1; i < kelvor::kMaxEntries; ++i) {
    text += "MOL    e" + std::to_string(i) + "\n" + element("ALPHA ", "A1");
  }
  text += "MOL    empty\nMOL    last\n" + element("BETA  ", "B1") + "MOL    over\n" +
          element("BETA  ", "B1");
  auto db = std::make_unique<kelvor::Database>();
  const std::string out = load(text, *db);
  ASSERT_EQ(db->nentries, kelvor::kMaxEntries);
  EXPECT_EQ(db->entries[kelvor::kMaxEntries - 1].name.view(), "last");
  EXPECT_TRUE(db->incomplete);
  const std::size_t p = out.find("Too many entries; rest skipped");
  ASSERT_NE(p, std::string::npos) << out;
  EXPECT_EQ(out.find("Too many entries", p + 1), std::string::npos);
  EXPECT_NE(out.find(" Last structure read : (last) "), std::string::npos);
  EXPECT_NE(out.find(" Nr of SSEs read  : (      20000) "), std::string::npos);
}

TEST_F(LoaderTest, NineItemsAreFatal) {
  auto db = std::make_unique<kelvor::Database>();
  zvtest::Session session("");
  ASSERT_EQ(zv::unit_open(kelvor::kUnitLibrary,
                          write("bad.lib", "MOL    1bad\nALPHA 'A1' 'A1' 'A9' 9 0 0 0 0 0\n"),
                          zv::UnitMode::Read),
            0);
  EXPECT_THROW(kelvor::load_database(*db, kelvor::LoadOptions{}), zv::Stop);
  EXPECT_NE(session.out().find("While reading database file"), std::string::npos);
}

// A record that does not hold all ten items is unreadable however they are
// missing: too few, a null value, or a slash before the tenth.
TEST_F(LoaderTest, RecordsWithoutAllTenItemsAreFatal) {
  const char* cases[] = {
      "ALPHA 'A1' 'A1' 'A9' 9 0 0 0 0 0",
      "ALPHA 'A1' 'A1' 'A9' 9 1,,3 4 5 6",
      "ALPHA 'A1' 'A1' 'A9' 9 1 2 3 4 5 /",
      "ALPHA 'A1' 'A1' 'A9' 9 1 2 3 / 5 6",
      "ALPHA 'A1',,'A9' 9 1 2 3 4 5 6",
      "ALPHA 'A1' 'A1' 'A9' , 1 2 3 4 5 6",
  };
  for (const char* rec : cases) {
    auto db = std::make_unique<kelvor::Database>();
    zvtest::Session session("");
    // A complete element first, whose values a null item would take.
    ASSERT_EQ(zv::unit_open(kelvor::kUnitLibrary,
                            write("bad.lib", "MOL    1bad\n" + element("ALPHA ", "A0") + rec + "\n"),
                            zv::UnitMode::Read),
              0);
    EXPECT_THROW(kelvor::load_database(*db, kelvor::LoadOptions{}), zv::Stop) << rec;
    EXPECT_NE(session.out().find("While reading database file"), std::string::npos) << rec;
  }
  // Commas and a slash after all ten items are fine.
  auto db = std::make_unique<kelvor::Database>();
  load("MOL    1ok\nALPHA 'A1','A1','A9',9,1,2,3,4,5,6 /\nALPHA 'A2' 'A1' 'A9' 9 1 2 3 4 5 NaN\n",
       *db);
  ASSERT_EQ(db->total_elements(), 2);
}

// Every record rule of the readers: LF, CR LF and a lone CR end a line, so a
// library written with CR line ends loads.
TEST_F(LoaderTest, LineEndsOfEveryKind) {
  for (const char* eol : {"\n", "\r\n", "\r"}) {
    std::string text;
    for (std::string line : {std::string("MOL    1cr"), std::string("NOTE   line ends"),
                             element("ALPHA ", "A1"), element("BETA  ", "B1"),
                             std::string("ENDMOL")}) {
      if (line.back() == '\n') line.pop_back();
      text += line;
      text += eol;
    }
    auto db = std::make_unique<kelvor::Database>();
    load(text, *db);
    ASSERT_EQ(db->nentries, 1) << int(eol[0]) << eol[1];
    EXPECT_EQ(db->entries[0].note.view(), "line ends");
    EXPECT_EQ(db->total_elements(), 2);
  }
}

// A file written by EX reads back as the same elements, bit for bit.
TEST_F(LoaderTest, ExtractedFileReadsBackUnchanged) {
  auto db = std::make_unique<kelvor::Database>();
  load("MOL    1rt\nNOTE   Round  Trip\nPDB    /data/rt.pdb\n" +
           std::string("ALPHA 'A1' 'A5' 'A16' 12 1.23 -4.56 7.89 10.11 12.13 14.15\n") +
           "BETA  ' b 2' 'A20' 'A24' 5 -999.999 9999.999 0 0.001 -0.001 123.4\n" +
           "BETA  'B3' 'A20A' 'B124' 125 1 2 3 4 5 6\n" +
           "ALPHA 'H4' 'A1' 'A2' 1234 -12345.678 123456.5 -1e30 3e38 -100 1000\n" +
           "BETA  'q''5' 'A''1' '''B2' 3 1 2 3 4 5 6\n" +
           // Runs of blanks inside labels are part of them.
           "ALPHA 'H6' 'A  1' ' B   ' 4 1 2 3 4 5 6\n" + "ENDMOL\n",
       *db);
  ASSERT_EQ(db->nentries, 1);
  {
    zvtest::Session session("");
    ASSERT_EQ(zv::unit_open(kelvor::kUnitLibrary, (dir_ / "out.sse").string(), zv::UnitMode::Write), 0);
    kelvor::write_sse_file(*db, db->entries[0], "out.sse");
    zv::unit_close(kelvor::kUnitLibrary);
  }
  kelvor::Query q;
  {
    zvtest::Session session("");
    ASSERT_EQ(zv::unit_open(kelvor::kUnitLibrary, (dir_ / "out.sse").string(), zv::UnitMode::Read), 0);
    kelvor::read_query_file(q);
  }
  const kelvor::Entry& e = db->entries[0];
  EXPECT_EQ(q.name.view(), "1rt");
  EXPECT_EQ(q.note.view(), "round trip");
  EXPECT_EQ(q.pdb.view(), "/data/rt.pdb");
  ASSERT_EQ(q.size(), e.count);
  for (int k = 0; k < e.count; ++k) {
    const kelvor::Element& a = db->element(e, k);
    const kelvor::Element& b = q.elements[k];
    EXPECT_EQ(a.type, b.type);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.from, b.from);
    EXPECT_EQ(a.to, b.to);
    EXPECT_EQ(a.nres, b.nres);
    EXPECT_EQ(a.head, b.head);
    EXPECT_EQ(a.tail, b.tail);
  }
}

TEST(SseWriter, ElementLineLayout) {
  kelvor::ElementFields f;
  f.name = "B2    ";
  f.from = "A20   ";
  f.to = "A24   ";
  f.nres = 5;
  const float xyz[6] = {1.0f, -2.5f, 3.0f, 100.25f, -0.001f, 0.0f};
  std::copy(xyz, xyz + 6, f.xyz);
  kelvor::Element e;
  kelvor::make_element(2, f, e);
  EXPECT_EQ(kelvor::element_record_line(e), "BETA  'B2' 'A20' 'A24' 5 1.000 -2.500 3.000 100.250 -0.001 0.000");
  kelvor::make_element(1, f, e);
  EXPECT_EQ(kelvor::element_record_line(e).substr(0, 11), "ALPHA 'B2' ");
  // Blanks are collapsed between the items, not inside the quoted labels.
  f.from = "A  1  ";
  f.to = " B  2 ";
  kelvor::make_element(2, f, e);
  EXPECT_EQ(kelvor::element_record_line(e),
            "BETA  'B2' 'A  1' ' B  2' 5 1.000 -2.500 3.000 100.250 -0.001 0.000");
  f.from = "A20   ";
  f.to = "A24   ";
  // Numbers too wide for the classic fields are written in full.
  const float wide[6] = {-100.0f, -1000.5f, 123456.5f, -99999.0f, 1.0e7f, 0.5f};
  std::copy(wide, wide + 6, f.xyz);
  f.nres = 1234;
  kelvor::make_element(1, f, e);
  EXPECT_EQ(kelvor::element_record_line(e),
            "ALPHA 'B2' 'A20' 'A24' 1234 -100.000 -1000.500 123456.500 -99999.000 10000000.000 0.500");
}

}  // namespace
