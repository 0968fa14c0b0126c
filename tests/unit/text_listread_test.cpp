// List-directed reading against the gfortran golden vectors, plus the answer
// forms the dialogue relies on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/read.h"
#include "text_tsv.h"
#include "text_values.h"

namespace {

namespace tsv = zv::testing_tsv;

TEST(TextListReadGolden, EveryRowMatchesGfortran) {
  tsv::Table t;
  ASSERT_TRUE(tsv::load(tsv::golden_path("golden-listread.tsv"), t)) << "cannot read golden-listread.tsv";
  int checked = 0;
  int failed = 0;
  const int first_value = t.col("values");
  for (const auto& row : t.rows) {
    const std::string id = t.get(row, "id");
    const std::string types = t.get(row, "types");
    const std::string mode = t.get(row, "mode");
    const std::string line = tsv::decode(t.get(row, "line"));
    tsv::Vars vars(types, static_cast<int>(types.size()), std::atoi(t.get(row, "len").c_str()),
                   t.get(row, "init"));
    int ios = 0;
    if (mode == "internal") {
      ios = zv::list_read(line, vars.items);
    } else if (mode.rfind("internal:", 0) == 0) {
      std::string buf = line;
      buf.resize(static_cast<std::size_t>(std::atoi(mode.c_str() + 9)), ' ');
      ios = zv::list_read(buf, vars.items);
    } else if (mode == "external") {
      zv::TextRecordSource src(line);
      ios = zv::list_read(src, vars.items);
    } else {
      ADD_FAILURE() << id << ": unknown mode " << mode;
      continue;
    }
    ++checked;
    std::string problems;
    if (std::string(tsv::ios_class(ios)) != t.get(row, "class")) {
      problems += "  class expected " + t.get(row, "class") + " (" + t.get(row, "ios") + "), actual " +
                  tsv::ios_class(ios) + " (" + std::to_string(ios) + ")\n";
    }
    for (std::size_t k = 0; k < vars.items.size(); ++k) {
      std::size_t col = static_cast<std::size_t>(first_value) + k;
      const std::string want = col < row.size() ? row[col] : "";
      std::string got = vars.compare(k, want);
      if (!got.empty()) {
        problems += "  v" + std::to_string(k + 1) + " expected " + want + ", actual " + got + "\n";
      }
    }
    if (!problems.empty()) {
      ++failed;
      ADD_FAILURE() << id << " " << tsv::show(line) << " (" << t.get(row, "note") << ")\n" << problems;
    }
  }
  std::printf("golden-listread.tsv: %d rows checked, %d failed\n", checked, failed);
  EXPECT_GT(checked, 100);
}

struct Case {
  const char* line;
  int ios;
  std::vector<int> want;  // from the initial values 1, 2, 3
};

// The answer forms of the dialogue (three integers that start as 1, 2, 3).
// An empty answer and a short answer are -1 here; the dialogue layer turns
// them into a success that keeps the remaining values.
TEST(TextListRead, DialogueAnswers) {
  const Case cases[] = {
      {"5,,7", 0, {5, 2, 7}},   {"5 /", 0, {5, 2, 3}},     {"2*4", -1, {4, 4, 3}},
      {"2*", -1, {1, 2, 3}},    {"", -1, {1, 2, 3}},       {"   ", -1, {1, 2, 3}},
      {"5", -1, {5, 2, 3}},     {"5,", -1, {5, 2, 3}},     {",5", -1, {1, 5, 3}},
      {"1 2 3 4", 0, {1, 2, 3}}, {"3*9", 0, {9, 9, 9}},    {"1,2*,4", 0, {1, 2, 3}},
      {"2* 4", 0, {1, 2, 4}},   {"7,x,8", 5010, {7, 2, 3}}, {"0*4", 5010, {1, 2, 3}},
      {"-1\t+2;3", 0, {-1, 2, 3}}, {"/", 0, {1, 2, 3}},   {"1 2 3/junk", 0, {1, 2, 3}},
  };
  for (const Case& c : cases) {
    int a = 1, b = 2, d = 3;
    int ios = zv::list_read(c.line, {a, b, d});
    EXPECT_EQ(ios, c.ios) << '"' << c.line << '"';
    EXPECT_EQ((std::vector<int>{a, b, d}), c.want) << '"' << c.line << '"';
  }
}

TEST(TextListRead, RealsAreRoundedOnceToSinglePrecision) {
  struct R {
    const char* line;
    float want;
  };
  const R cases[] = {
      {"1.00000005960464477550", 1.00000012f},  // (float)strtod would give 1.0
      {"16777217", 16777216.0f},
      {"0.1", 0.1f},
      {"1.5D-3", 1.5e-3f},
      {"-.5", -0.5f},
      {"1+3", 1000.0f},
      {"3.4028235e38", 3.4028235e38f},
  };
  for (const R& c : cases) {
    float v = -1.0f;
    EXPECT_EQ(zv::list_read(c.line, {v}), 0) << c.line;
    EXPECT_EQ(v, c.want) << c.line;
  }
  double d = 0.0;
  EXPECT_EQ(zv::list_read("0.1", {d}), 0);
  EXPECT_EQ(d, 0.1);
}

TEST(TextListRead, TextItems) {
  std::string a, b;
  EXPECT_EQ(zv::list_read("'it''s' two", {zv::ReadItem(a, 6), zv::ReadItem(b, 2)}), 0);
  EXPECT_EQ(a, "it's  ");
  EXPECT_EQ(b, "tw");
}

TEST(TextListRead, ExternalRecords) {
  int a = 0, b = 0;
  zv::TextRecordSource src("\n 5\r\n\n6 7\nnext\n");
  std::vector<zv::ReadItem> items{a, b};
  EXPECT_EQ(zv::list_read(src, items), 0);
  EXPECT_EQ(a, 5);
  EXPECT_EQ(b, 6);
  EXPECT_EQ(src.rest(), "next\n");
}

}  // namespace
