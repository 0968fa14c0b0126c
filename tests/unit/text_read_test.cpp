// Formatted reading against the gfortran golden vectors, plus the record
// layouts the programs read.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "text/format.h"
#include "text/read.h"
#include "text_tsv.h"
#include "text_values.h"

namespace {

namespace tsv = zv::testing_tsv;

std::vector<std::string> split_records(const std::string& s) {
  std::vector<std::string> recs;
  std::size_t start = 0;
  while (start < s.size()) {
    std::size_t nl = s.find('\n', start);
    if (nl == std::string::npos) nl = s.size();
    recs.push_back(s.substr(start, nl - start));
    start = nl + 1;
  }
  return recs;
}

TEST(TextReadGolden, EveryRowMatchesGfortran) {
  tsv::Table t;
  ASSERT_TRUE(tsv::load(tsv::golden_path("golden-read.tsv"), t)) << "cannot read golden-read.tsv";
  int checked = 0;
  int failed = 0;
  const int first_value = t.col("values");
  for (const auto& row : t.rows) {
    const std::string id = t.get(row, "id");
    const std::string mode = t.get(row, "mode");
    const std::string options = "," + t.get(row, "options") + ",";
    const std::string records = tsv::decode(t.get(row, "records"));
    tsv::Vars vars(t.get(row, "type"), std::atoi(t.get(row, "n").c_str()),
                   std::atoi(t.get(row, "len").c_str()), t.get(row, "init"));
    zv::ReadOptions opt;
    opt.blank_zero = options.find(",blank=zero,") != std::string::npos;
    opt.blank_given = options.find(",blank=") != std::string::npos;
    opt.pad = options.find(",pad=no,") == std::string::npos;
    const std::string format = t.get(row, "format");
    int ios = 0;
    std::string next = "";
    if (mode == "external" || mode == "unit5") {
      zv::TextRecordSource src(records);
      ios = zv::format_read(format, src, vars.items, opt);
      std::string_view rec;
      next = src.next(rec) ? tsv::show(rec) : "EOF";
    } else if (mode.rfind("internal", 0) == 0) {
      std::vector<std::string> recs = split_records(records);
      std::size_t width = 0;
      for (const auto& r : recs) width = std::max(width, r.size());
      if (mode.size() > 9) width = static_cast<std::size_t>(std::atoi(mode.c_str() + 9));
      for (auto& r : recs) r.resize(width, ' ');
      if (recs.size() == 1) {
        ios = zv::format_read_line(format, recs[0], vars.items, opt);
      } else {
        std::vector<std::string_view> views(recs.begin(), recs.end());
        zv::ArrayRecordSource src(views);
        opt.internal = true;
        ios = zv::format_read(format, src, vars.items, opt);
      }
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
    const std::string& want_next = t.get(row, "next");
    if (!want_next.empty() && ios == 0 && want_next != next) {
      problems += "  next record expected " + want_next + ", actual " + next + "\n";
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
      ADD_FAILURE() << id << " " << format << " " << tsv::show(records) << " ("
                    << t.get(row, "note") << ")\n"
                    << problems;
    }
  }
  std::printf("golden-read.tsv: %d rows checked, %d failed\n", checked, failed);
  EXPECT_GT(checked, 200);
}

// Implied decimals must be m / 10^d rounded once, never m * 0.1f^d.
TEST(TextRead, ImpliedDecimalsAreExact) {
  for (int m = 1; m <= 20000; m += 7) {
    for (int d = 1; d <= 3; ++d) {
      char field[16];
      std::snprintf(field, sizeof field, "%10d", m);
      float v = -1.0f;
      std::string fmt = "(F10." + std::to_string(d) + ")";
      ASSERT_EQ(zv::format_read_line(fmt, field, {v}), 0);
      char dec[32];
      std::snprintf(dec, sizeof dec, "%de-%d", m, d);
      ASSERT_EQ(v, std::strtof(dec, nullptr)) << field << " " << fmt;
    }
  }
}

// A record read into a fixed buffer, then decoded field by field: the
// programs' column layouts (a PDB ATOM line, a plot data line).
TEST(TextRead, ColumnLayouts) {
  const std::string atom =
      "ATOM      1  CA  MET A   1      27.340  24.430   2.614  1.00  9.67           C";
  int serial = 0, resno = 0;
  std::string name, resname, chain;
  float x = 0, y = 0, z = 0;
  EXPECT_EQ(zv::format_read_line("(6x,i5,1x,a4,1x,a3,1x,a1,i4,4x,3f8.3)", atom,
                                 {serial, zv::ReadItem(name, 4), zv::ReadItem(resname, 3),
                                  zv::ReadItem(chain, 1), resno, x, y, z}),
            0);
  EXPECT_EQ(serial, 1);
  EXPECT_EQ(name, " CA ");
  EXPECT_EQ(resname, "MET");
  EXPECT_EQ(chain, "A");
  EXPECT_EQ(resno, 1);
  EXPECT_EQ(x, 27.34f);
  EXPECT_EQ(y, 24.43f);
  EXPECT_EQ(z, 2.614f);

  // An internal record: a comma is not a field end but an error.
  float a = 7, b = 7;
  EXPECT_EQ(zv::format_read_line("(2f8.2)", "1.5,2.5", {a, b}), zv::kIostatBadValue);
  EXPECT_EQ(a, 7.0f);
  // On a file it ends the field.
  zv::TextRecordSource src("1.5,2.5\n");
  std::vector<zv::ReadItem> items{a, b};
  EXPECT_EQ(zv::format_read("(2f8.2)", src, items), 0);
  EXPECT_EQ(a, 1.5f);
  EXPECT_EQ(b, 2.5f);
}

TEST(TextRead, ErrorsKeepTheVariable) {
  struct C {
    const char* fmt;
    const char* line;
    int ios;
  };
  const C cases[] = {
      {"(i6)", "   12a", zv::kIostatBadValue},   {"(i12)", " 99999999999", zv::kIostatOverflow},
      {"(f8.2)", "  1.2.3 ", zv::kIostatBadValue}, {"(f8.2)", "\t1.5", zv::kIostatBadValue},
      {"(i4)", "  - ", zv::kIostatBadValue},      {"(i4,'x')", "   1", zv::kIostatBadFormat},
      {"(f8)", "1", zv::kIostatBadFormat},        {"(i4/i4)", "   1", zv::kIostatEnd},
  };
  for (const C& c : cases) {
    int i = 7;
    float f = 7;
    int ios;
    if (c.fmt[1] == 'i') {
      int j = 7;
      ios = zv::format_read_line(c.fmt, c.line, {i, j});
    } else {
      ios = zv::format_read_line(c.fmt, c.line, {f});
    }
    EXPECT_EQ(ios, c.ios) << c.fmt << " " << c.line;
    if (c.ios != zv::kIostatEnd && c.ios != zv::kIostatBadFormat) {
      EXPECT_EQ(i, 7) << c.fmt;
      EXPECT_EQ(f, 7.0f) << c.fmt;
    }
  }
}

// Numbers read the same whatever locale the program has set.
TEST(TextRead, LocaleDoesNotMatter) {
  const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "C.UTF-8"};
  const char* set = nullptr;
  for (const char* n : names) {
    if ((set = std::setlocale(LC_NUMERIC, n)) != nullptr) break;
  }
  float f = 0;
  double d = 0;
  int ios1 = zv::format_read_line("(F8.3)", "   1.250", {f});
  int ios2 = zv::list_read("2.5e-1", {d});
  std::string out;
  (void)zv::format_append(out, "(F6.2,1X,E10.3)", {0.5f, 1.5});
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(ios1, 0);
  EXPECT_EQ(ios2, 0);
  EXPECT_EQ(f, 1.25f);
  EXPECT_EQ(d, 0.25);
  EXPECT_EQ(out, "  0.50  0.150E+01\n");
  if (set == nullptr) std::printf("no other locale installed: checked in the C locale only\n");
}

TEST(TextRead, RecordSourceLineEnds) {
  zv::TextRecordSource src("a\r\nb\rc\n\nd");
  std::vector<std::string> got;
  std::string_view rec;
  while (src.next(rec)) got.emplace_back(rec);
  EXPECT_EQ(got, (std::vector<std::string>{"a", "b", "c", "", "d"}));
}

}  // namespace
