// Formatted output against the gfortran golden vectors, plus the layouts the
// dialogue and the programs rely on.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "text/format.h"
#include "text/format_program.h"
#include "text/read.h"
#include "text_tsv.h"

// Counts heap allocations, to check that a line written again and again
// allocates nothing once the buffers have grown.
namespace {
long g_allocations = 0;
}
void* operator new(std::size_t n) {
  ++g_allocations;
  if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using zv::FmtItem;
namespace tsv = zv::testing_tsv;

// Items of an oracle command line ("i:42", "r:1.5", "a:text", ...). Text
// items point into `store`, which must outlive the items.
FmtItem parse_item(const std::string& f) {
  std::string v = f.substr(2);
  switch (f[0]) {
    case 'i':
      return FmtItem(std::strtoll(v.c_str(), nullptr, 10));
    case 'r':
      return FmtItem(std::strtof(tsv::c_literal(v).c_str(), nullptr));
    case 'd':
      return FmtItem(std::strtod(tsv::c_literal(v).c_str(), nullptr));
    case 'l':
      return FmtItem::logical(v == "T" || v == "t" || v == ".true.");
    default:
      return FmtItem(std::string_view(f).substr(2));
  }
}

struct Write {
  std::string format;
  std::vector<FmtItem> items;
};

std::vector<Write> parse_writes(const tsv::Table& t, const std::vector<std::string>& row) {
  std::vector<Write> w(1);
  w[0].format = t.get(row, "format");
  for (std::size_t i = static_cast<std::size_t>(t.col("items")); i < row.size(); ++i) {
    if (row[i] == "--next" && i + 1 < row.size()) {
      w.push_back(Write{row[++i], {}});
    } else if (row[i].size() >= 2 && row[i][1] == ':') {
      w.back().items.push_back(parse_item(row[i]));
    }
  }
  return w;
}

TEST(TextFormatGolden, EveryRowMatchesGfortran) {
  tsv::Table t;
  ASSERT_TRUE(tsv::load(tsv::golden_path("golden-format.tsv"), t)) << "cannot read golden-format.tsv";
  int checked = 0;
  int failed = 0;
  for (const auto& row : t.rows) {
    const std::string id = t.get(row, "id");
    const std::string mode = t.get(row, "mode");
    const int want_iostat = std::atoi(t.get(row, "iostat").c_str());
    const std::string want = tsv::decode(t.get(row, "output"));
    std::vector<Write> writes = parse_writes(t, row);
    std::string got;
    int iostat = 0;
    if (mode == "stdout") {
      for (const Write& w : writes) {
        iostat = zv::format_append(got, w.format, w.items);
        if (iostat != 0) break;
      }
    } else if (mode.rfind("internal:", 0) == 0) {
      int width = std::atoi(mode.c_str() + 9);
      std::size_t x = mode.find('x');
      int nrec = x == std::string::npos ? 1 : std::atoi(mode.c_str() + x + 1);
      std::vector<std::string> recs(static_cast<std::size_t>(nrec),
                                    std::string(static_cast<std::size_t>(width), '#'));
      if (x == std::string::npos) {
        iostat = zv::format_internal(recs[0], width, writes[0].format, writes[0].items);
      } else {
        iostat = zv::format_internal(recs, width, writes[0].format, writes[0].items);
      }
      for (std::size_t i = 0; i < recs.size(); ++i) {
        if (i > 0) got.push_back('\n');
        got += recs[i];
      }
    } else {
      ADD_FAILURE() << id << ": unknown mode " << mode;
      continue;
    }
    ++checked;
    if (got != want || iostat != want_iostat) {
      ++failed;
      ADD_FAILURE() << id << " " << t.get(row, "format") << " (" << t.get(row, "note") << ")\n"
                    << "  expected " << tsv::show(want) << " iostat " << want_iostat << "\n"
                    << "  actual   " << tsv::show(got) << " iostat " << iostat;
    }
  }
  std::printf("golden-format.tsv: %d rows checked, %d failed\n", checked, failed);
  EXPECT_GT(checked, 200);
}

struct Case {
  const char* format;
  std::vector<FmtItem> items;
  const char* want;
};

void check_cases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    std::string out;
    int rc = zv::format_append(out, c.format, c.items);
    EXPECT_EQ(rc, 0) << c.format;
    EXPECT_EQ(out, c.want) << c.format;
  }
}

// The value layouts of the prompt builders and report lines.
TEST(TextFormat, DialogueLayouts) {
  check_cases({
      {"(I8,' ')", {10}, "      10 \n"},
      {"(I8,' ')", {-1234567}, "-1234567 \n"},
      {"(I8,' ')", {123456789}, "******** \n"},
      {"(I11,' ')", {2147483647}, " 2147483647 \n"},
      {"(I11,' ')", {-2147483647 - 1}, "-2147483648 \n"},
      {"(F8.3,' ')", {1.5f}, "   1.500 \n"},
      {"(F8.3,' ')", {-0.0005f}, "  -0.001 \n"},
      {"(F8.3,' ')", {99999.0f}, "******** \n"},
      {"(F8.3,' ')", {-999.9994f}, "-999.999 \n"},
      {"(1P,E11.3,' ')", {0.0f}, "  0.000E+00 \n"},
      {"(1P,E11.3,' ')", {1234567.0f}, "  1.235E+06 \n"},
      {"(1P,E11.3,' ')", {-1.0e-30f}, " -1.000E-30 \n"},
      {"(0P,F11.3,' ')", {999999.9f}, " 999999.875 \n"},
      {"(0P,F11.3,' ')", {0.1f}, "      0.100 \n"},
      {"(3(1x,a,f8.1))", {"x", 1.25f, "y", -2.35f, "z", 1e7f}, " x     1.2 y    -2.3 z********\n"},
      {"(3(1x,a,f8.1))", {"x", 1.0f, "y", 2.0f, "z", 3.0f, "w", 4.0f},
       " x     1.0 y     2.0 z     3.0\n w     4.0\n"},
      {"(A,$)", {" Value ? (      10) "}, " Value ? (      10) "},
      {"(2X,A,$)", {"rest of a wrapped prompt) "}, "  rest of a wrapped prompt) "},
      {"(2X,A)", {"tail"}, "  tail\n"},
      {"(A)", {""}, "\n"},
  });
}

// Several WRITEs into one string: '$' leaves the record open for the next.
TEST(TextFormat, DollarContinuesTheRecord) {
  std::string out;
  ASSERT_EQ(zv::format_append(out, "(A,$)", {"Name ? "}), 0);
  ASSERT_EQ(zv::format_append(out, "(A)", {"abc"}), 0);
  ASSERT_EQ(zv::format_append(out, "(1X,A,A1,$)", {"Continue", " "}), 0);
  EXPECT_EQ(out, "Name ? abc\n Continue ");
}

// Rounding is that of the float's exact binary value, ties to even.
TEST(TextFormat, RealRoundingTable) {
  check_cases({
      {"(F6.1)", {0.05f}, "   0.1\n"},   // 0.0500000007
      {"(F6.1)", {0.25f}, "   0.2\n"},   // exact tie
      {"(F6.1)", {0.35f}, "   0.3\n"},   // 0.349999994
      {"(F6.1)", {0.45f}, "   0.4\n"},   // 0.449999988
      {"(F6.0)", {-0.5f}, "   -0.\n"},
      {"(F10.4)", {1.00005f}, "    1.0000\n"},  // 1.00004995
      {"(F10.4)", {1.00005}, "    1.0001\n"},   // as a double 1.0000500000000001
      {"(E10.3)", {0.0625f}, " 0.625E-01\n"},
      {"(E10.2)", {0.0625f}, "  0.62E-01\n"},
      {"(F15.2)", {16777217.0}, "    16777217.00\n"},
      {"(F15.2)", {16777217.0f}, "    16777216.00\n"},
      {"(F0.3)", {1234.5678}, "1234.568\n"},
      {"(E12.4E3)", {1e-200}, " 0.1000E-199\n"},
      {"(ES10.2)", {-0.0f}, " -0.00E+00\n"},
      {"(EN10.1)", {12345.0f}, "  12.3E+03\n"},
  });
}

// A bad format is iostat 5006 and writes nothing; it never throws.
TEST(TextFormat, BadFormatsAreRejected) {
  const char* bad[] = {"I4", "(I4", "(F5)", "(I)", "((((", "(3'x')", "(0(I3))", "(T0,I3)",
                       "(1PI3)", "(P,F5.1)", "(A0)", "(I3,,I3)", "(E10.3E)", "(5H)", "(i5.7)",
                       "", "(Q)", "(-3X)"};
  for (const char* f : bad) {
    std::string out = "keep";
    EXPECT_EQ(zv::format_append(out, f, {1}), zv::kIostatBadFormat) << f;
    EXPECT_EQ(out, "keep") << f;
  }
  std::string deep(100, '(');
  deep += "I3";
  deep += std::string(100, ')');
  std::string out;
  EXPECT_EQ(zv::format_append(out, deep, {1}), zv::kIostatBadFormat);
  EXPECT_FALSE(zv::format_last_message().empty());
}

// Type mismatches are found when the item is reached; what was written
// before stays, without a record end.
TEST(TextFormat, ItemTypeMismatch) {
  std::string out;
  EXPECT_EQ(zv::format_append(out, "('abc',I4)", {1.5f}), zv::kIostatBadFormat);
  EXPECT_EQ(out, "abc");
  out.clear();
  EXPECT_EQ(zv::format_append(out, "(A)", {3}), zv::kIostatBadFormat);
  out.clear();
  EXPECT_EQ(zv::format_append(out, "(F8.2)", {"x"}), zv::kIostatBadFormat);
  out.clear();
  // A format without data descriptors cannot take items.
  EXPECT_EQ(zv::format_append(out, "('ab')", {1}), zv::kIostatBadFormat);
  EXPECT_EQ(out, "abab");
}

// Reversion starts the new record at once: X and literals before the next
// data item belong to it.
TEST(TextFormat, ReversionStartsTheRecordBeforeLiterals) {
  check_cases({
      {"(2('ab',1x,I2))", {1, 2, 3}, "ab  1ab  2\nab  3ab\n"},
      {"(2(T5,I2))", {1, 2, 3}, "     2\n     3\n"},
      {"(I3,$)", {1, 2, 3}, "  1  2  3"},
  });
}

TEST(TextFormat, FormatsAreParsedOnce) {
  std::string out;
  const std::string f = "(1x,'cache probe',i7)";
  ASSERT_EQ(zv::format_append(out, f, {1}), 0);
  std::size_t n = zv::text::format_cache_size();
  for (int i = 0; i < 100; ++i) ASSERT_EQ(zv::format_append(out, f, {i}), 0);
  EXPECT_EQ(zv::text::format_cache_size(), n);
}

TEST(TextFormat, SteadyStateAllocatesNothing) {
  std::string out;
  std::string rec;
  const float v[3] = {1.25f, -3.5e-7f, 123456.7f};
  auto write_all = [&] {
    out.clear();
    (void)zv::format_append(out, "(1x,a,3f10.1)", {"label", v[0], v[1], v[2]});
    (void)zv::format_append(out, "(1P,E11.3,' ',G12.4,I8)", {v[1], v[2], 42});
    zv::list_write_append(out, {7, v[0], 2.5, "text"});
    (void)zv::format_internal(rec, 40, "(A,T20,F8.3)", {"x", v[0]});
    int i = 0;
    float f = 0;
    (void)zv::format_read_line("(I5,F8.2)", "   12  1234.5", {i, f});
    (void)zv::list_read(" 5, 2*3.5e1 ", {i, f, f});
  };
  write_all();
  long before = g_allocations;
  for (int k = 0; k < 100; ++k) write_all();
  EXPECT_EQ(g_allocations - before, 0);
}

// Absurd formats end quickly with an error instead of exhausting memory or
// time; a huge but valid exponent width still works.
TEST(TextFormat, LimitsOnAbsurdFormats) {
  auto t0 = std::chrono::steady_clock::now();
  std::string out;
  EXPECT_EQ(zv::format_append(out, "(999999999(999999999(/)))", {1}), zv::kIostatBadFormat);
  EXPECT_EQ(zv::format_append(out, "(999999999(999999999()))", {}), zv::kIostatBadFormat);
  out.clear();
  EXPECT_EQ(zv::format_append(out, "(A100000000)", {"x"}), zv::kIostatEndOfRecord);
  EXPECT_EQ(zv::format_append(out, "(F10.500000000)", {1.5f}), 0);
  EXPECT_EQ(zv::format_append(out, "(500000000X,A)", {"x"}), zv::kIostatEndOfRecord);
  EXPECT_EQ(zv::format_append(out, "(G6.4(22222222222221P,F0.3))", {1, 1.5f}), zv::kIostatEndOfRecord);
  EXPECT_EQ(zv::format_append(out, "(-2222222222P,F0.3)", {1.5f}), zv::kIostatEndOfRecord);
  int i = 0;
  EXPECT_EQ(zv::format_read_line("(999999999(999999999(1X)),I3)", "  5", {i}), zv::kIostatBadFormat);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(20));
  check_cases({
      {"(E50.4E40)", {1.5f}, "  0.1500E+0000000000000000000000000000000000000001\n"},
      {"(E12.4E40)", {1.5f}, "************\n"},
  });
  out.clear();
  ASSERT_EQ(zv::format_append(out, "(T5,A,T1000,A)", {"x", "y"}), 0);
  EXPECT_EQ(out.size(), 1001u);
}

TEST(TextFormat, ListDirectedOutput) {
  std::string out;
  zv::list_write_append(out, {7, 0.25f, "ab", "cd", 1e-3});
  EXPECT_EQ(out, "           7  0.250000000     abcd   1.0000000000000000E-003\n");
}

}  // namespace
