// martuk's reading of the old macro: records split at LF, CR LF and lone CR
// with their byte offsets, the first 256 bytes of each, and the copying of a
// byte range as trimmed lines, across buffer boundaries of every size.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "macro_file.h"
#include "martuk_temp_file.h"

namespace {

using martuk::MacroFile;
using martuk::Record;

using martuktest::TempFile;

struct Split {
  std::string rec;
  std::uint64_t start;
};

// Every record of the file read with a buffer of the given size.
std::vector<Split> read_all(const std::string& bytes, std::size_t buffer) {
  TempFile f(bytes);
  MacroFile m(buffer);
  EXPECT_EQ(m.open(f.path()), 0);
  std::vector<Split> out;
  Record r;
  int rc;
  while ((rc = m.next(r)) == 0) {
    EXPECT_EQ(r.head.size(), r.length);  // all short lines here
    out.push_back({std::string(r.head), r.start});
  }
  EXPECT_EQ(rc, -1);
  EXPECT_EQ(m.offset(), bytes.size());
  return out;
}

struct SplitCase {
  std::string bytes;
  std::vector<Split> want;
};

TEST(MartukMacroFile, SplitsRecordsAtEveryLineEnd) {
  const std::vector<SplitCase> cases = {
      {"", {}},
      {"a", {{"a", 0}}},
      {"a\n", {{"a", 0}}},
      {"a\nb", {{"a", 0}, {"b", 2}}},
      {"a\r\nb\r\n", {{"a", 0}, {"b", 3}}},
      {"a\rb\r", {{"a", 0}, {"b", 2}}},
      {"a\r\rb", {{"a", 0}, {"", 2}, {"b", 3}}},
      {"a\n\r\nb\n\n", {{"a", 0}, {"", 2}, {"b", 4}, {"", 6}}},
      {"\r\n", {{"", 0}}},
      {"\n\r", {{"", 0}, {"", 1}}},
      {std::string("x\0y\tz\n", 6), {{std::string("x\0y\tz", 5), 0}}},
      {"one\r\ntwo\rthree\nfour", {{"one", 0}, {"two", 5}, {"three", 9}, {"four", 15}}},
  };
  // Buffers of 1 to 7 bytes put every line end at a buffer boundary.
  for (std::size_t buffer : {1, 2, 3, 4, 5, 7, 4096}) {
    for (const SplitCase& c : cases) {
      const std::vector<Split> got = read_all(c.bytes, buffer);
      ASSERT_EQ(got.size(), c.want.size()) << "buffer " << buffer << " input " << c.bytes;
      for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].rec, c.want[i].rec) << "buffer " << buffer << " record " << i;
        EXPECT_EQ(got[i].start, c.want[i].start) << "buffer " << buffer << " record " << i;
      }
    }
  }
}

TEST(MartukMacroFile, LongLineKeepsItsFirst256BytesAndItsLength) {
  std::string line(10 * 1024 * 1024, 'x');  // one 10 MB line
  line.replace(0, 5, "start");
  const std::string bytes = "head\n" + line + "\r\ntail";
  TempFile f(bytes);
  MacroFile m(4096);
  ASSERT_EQ(m.open(f.path()), 0);
  Record r;
  ASSERT_EQ(m.next(r), 0);
  EXPECT_EQ(r.head, "head");
  ASSERT_EQ(m.next(r), 0);
  EXPECT_EQ(r.start, 5u);
  EXPECT_EQ(r.length, line.size());
  EXPECT_EQ(r.head, line.substr(0, 256));
  ASSERT_EQ(m.next(r), 0);
  EXPECT_EQ(r.head, "tail");
  EXPECT_EQ(r.start, 5 + line.size() + 2);
  EXPECT_EQ(m.next(r), -1);
}

TEST(MartukMacroFile, StepBackGivesTheSameRecordAgain) {
  TempFile f("first\nsecond\nthird\n");
  MacroFile m(3);
  ASSERT_EQ(m.open(f.path()), 0);
  Record r;
  ASSERT_EQ(m.next(r), 0);
  ASSERT_EQ(m.next(r), 0);
  m.step_back(r);
  ASSERT_EQ(m.next(r), 0);
  EXPECT_EQ(r.head, "second");
  EXPECT_EQ(r.start, 6u);
  ASSERT_EQ(m.next(r), 0);
  EXPECT_EQ(r.head, "third");
  EXPECT_EQ(m.next(r), -1);
}

TEST(MartukMacroFile, ADirectoryCannotBeRead) {
  MacroFile m;
  ASSERT_EQ(m.open("/tmp"), 0);  // opening works, reading fails
  Record r;
  EXPECT_GT(m.next(r), 0);
  EXPECT_EQ(m.next(r), -1);  // the error is reported once
  EXPECT_NE(m.open("/nonexistent/martuk/macro"), 0);
}

class StringOut : public martuk::ByteOut {
 public:
  void write(std::string_view bytes) override { s.append(bytes); }
  std::string s;
};

struct CopyCase {
  std::string bytes;
  std::string want;
};

TEST(MartukMacroFile, CopiesLinesUpToTheirLastBlank) {
  const std::vector<CopyCase> cases = {
      {"", ""},
      {"a \n", "a\n"},
      {"\n", " \n"},
      {"   \n", " \n"},
      {"a  b   \r\n", "a  b\n"},
      {"a\t \rb", "a\t\nb\n"},                    // a tab is no blank; no last line end
      {"x\r\r\ny\r", "x\n \ny\n"},
      {std::string("\0 \n", 3), std::string("\0\n", 2)},
      {"  lead\n", "  lead\n"},
  };
  for (std::size_t chunk : {1, 2, 3, 5, 4096}) {
    for (const CopyCase& c : cases) {
      TempFile f(c.bytes);
      MacroFile m;
      ASSERT_EQ(m.open(f.path()), 0);
      StringOut out;
      martuk::TrimmedLines lines(out);
      std::vector<char> buffer(chunk);
      ASSERT_EQ(martuk::copy_records(m.fd(), 0, c.bytes.size(), lines, buffer), 0);
      EXPECT_EQ(out.s, c.want) << "chunk " << chunk << " input " << c.bytes;
    }
  }
}

TEST(MartukMacroFile, CopiesARangeAndLongLinesWhole) {
  std::string big(3 * 1024 * 1024, 'y');
  big += "   ";
  const std::string bytes = "pre\nblock " + big + "\nnext\n";
  TempFile f(bytes);
  MacroFile m;
  ASSERT_EQ(m.open(f.path()), 0);
  StringOut out;
  martuk::TrimmedLines lines(out);
  std::vector<char> buffer(1000);
  const std::uint64_t from = 4, to = bytes.size() - 5;  // just the block line
  ASSERT_EQ(martuk::copy_records(m.fd(), from, to, lines, buffer), 0);
  EXPECT_EQ(out.s, "block " + big.substr(0, big.size() - 3) + "\n");
  // A range past the end of the file: the file is shorter than when read.
  EXPECT_EQ(martuk::copy_records(m.fd(), 0, bytes.size() + 10, lines, buffer), -1);
}

}  // namespace
