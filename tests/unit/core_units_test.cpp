// The unit table: files read whole (plain and gzip), line reading with CRLF,
// step back, rewind, writing and appending, and units 5 and 6 on streams.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/units.h"
#include "core_session.h"

namespace fs = std::filesystem;

namespace {

class UnitFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("zv_units_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    for (int u : {10, 11, 12}) (void)zv::unit_close(u);
    fs::remove_all(dir_);
  }
  std::string path(const char* name) const { return (dir_ / name).string(); }
  std::string write_file(const char* name, const std::string& bytes) const {
    std::ofstream(path(name), std::ios::binary) << bytes;
    return path(name);
  }
  std::string write_gz(const char* name, const std::string& bytes) const {
    gzFile gz = gzopen(path(name).c_str(), "wb");
    gzwrite(gz, bytes.data(), static_cast<unsigned>(bytes.size()));
    gzclose(gz);
    return path(name);
  }
  // One gzip member holding bytes; with a name and a header check when asked.
  static std::string gzip_member(const std::string& bytes, bool header_check = false) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, 6, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY), Z_OK);
    gz_header h{};
    char name[] = "entry.pdb";
    if (header_check) {
      h.name = reinterpret_cast<Bytef*>(name);
      h.hcrc = 1;
      EXPECT_EQ(deflateSetHeader(&z, &h), Z_OK);
    }
    std::string out(deflateBound(&z, static_cast<uLong>(bytes.size())) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
  }
  // All lines of a unit up to end of file, then the status that ended it.
  static std::vector<std::string> read_all(int unit, int* end = nullptr) {
    std::vector<std::string> v;
    std::string line;
    int rc;
    while ((rc = zv::unit_read_line(unit, line)) == 0) v.push_back(line);
    if (end) *end = rc;
    return v;
  }
  fs::path dir_;
};

using Lines = std::vector<std::string>;

TEST_F(UnitFiles, LineEnds) {
  struct Case {
    const char* what;
    std::string bytes;
    Lines lines;
  };
  const Case cases[] = {
      {"LF", "a\nb\nc\n", {"a", "b", "c"}},
      {"last line without LF", "a\nb", {"a", "b"}},
      {"CRLF", "a\r\nb\r\n", {"a", "b"}},
      {"CR only before LF is dropped", "a\rb\r\n\r\n", {"a\rb", ""}},
      {"empty file", "", {}},
      {"empty lines", "\n\n", {"", ""}},
      {"blanks kept", "  x  \n", {"  x  "}},
      {"binary bytes", std::string("a\0b\n\xff\n", 6), {std::string("a\0b", 3), "\xff"}},
  };
  for (const Case& c : cases) {
    const std::string p = write_file("lines.txt", c.bytes);
    ASSERT_EQ(zv::unit_open(10, p, zv::UnitMode::Read), 0);
    int end = 0;
    EXPECT_EQ(read_all(10, &end), c.lines) << c.what;
    EXPECT_EQ(end, -1) << c.what;
    EXPECT_TRUE(zv::unit_at_eof(10)) << c.what;
    std::string line = "kept";
    EXPECT_EQ(zv::unit_read_line(10, line), -1) << c.what;  // stays at end
  }
}

TEST_F(UnitFiles, GzipFiles) {
  std::string big;
  for (int i = 0; i < 200000; ++i) big += "line " + std::to_string(i) + "\r\n";
  const std::string p = write_gz("data.sse.gz", big);
  ASSERT_EQ(zv::unit_open(10, p, zv::UnitMode::Read), 0);
  const Lines lines = read_all(10);
  ASSERT_EQ(lines.size(), 200000u);
  EXPECT_EQ(lines.front(), "line 0");
  EXPECT_EQ(lines.back(), "line 199999");

  // A ".gz" name holding plain text is read as it is.
  const std::string plain = write_file("plain.gz", "x\ny\n");
  ASSERT_EQ(zv::unit_open(11, plain, zv::UnitMode::Read), 0);
  EXPECT_EQ(read_all(11), (Lines{"x", "y"}));

  // A truncated compressed file is an error, not a short file: the lines
  // before the cut are read, then the read fails.
  std::string bytes;
  {
    std::ifstream in(p, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  const std::string cut = write_file("cut.gz", bytes.substr(0, bytes.size() / 2));
  ASSERT_EQ(zv::unit_open(12, cut, zv::UnitMode::Read), 0);
  int end = 0;
  const Lines part = read_all(12, &end);
  EXPECT_GT(end, 0);
  EXPECT_GT(part.size(), 1000u);
  EXPECT_LT(part.size(), 200000u);
  EXPECT_EQ(part.front(), "line 0");
}

// A gzip file is decompressed whole when it is of moderate size and clean,
// else streamed from its start: either way a reader gets the same lines and
// the same end (end of file, or an error after the lines before the fault).
TEST_F(UnitFiles, GzipFilesWholeOrStreamed) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "ATOM   " + std::to_string(i) + "  CA\n";
  const std::string one = gzip_member(text);
  auto with_size = [](std::string gz, std::uint32_t size) {
    for (int k = 0; k < 4; ++k) gz[gz.size() - 4 + k] = static_cast<char>(size >> (8 * k));
    return gz;
  };
  auto flip = [](std::string gz, std::size_t at) {
    gz[at] = static_cast<char>(gz[at] ^ 0x55);
    return gz;
  };
  struct Case {
    const char* what;
    std::string bytes;
    bool fails;
  };
  const Case cases[] = {
      {"one member", one, false},
      {"an empty member, then the data", gzip_member("") + one, false},
      {"two members with data", gzip_member(text.substr(0, 700)) + gzip_member(text.substr(700)),
       false},
      {"trailing garbage after the member (ignored)", one + "garbage", false},
      {"trailing zero bytes (ignored)", one + std::string(512, '\0'), false},
      {"name and header check", gzip_member(text, true), false},
      {"gzip of nothing", gzip_member(""), false},
      {"plain text under a .gz name", text, false},
      {"cut in the compressed data", one.substr(0, one.size() / 2), true},
      {"cut in the trailer", one.substr(0, one.size() - 3), true},
      {"wrong checksum", flip(one, one.size() - 6), true},
      {"declared size too small", with_size(one, static_cast<std::uint32_t>(text.size() - 1)), true},
      {"declared size too large", with_size(one, static_cast<std::uint32_t>(text.size() + 1)), true},
      {"corrupt data", flip(one, one.size() / 2), true},
  };
  Lines all;
  for (std::size_t at = 0, nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1)
    all.push_back(text.substr(at, nl - at));
  for (const Case& c : cases) {
    const std::string p = write_file("case.gz", c.bytes);
    ASSERT_EQ(zv::unit_open(10, p, zv::UnitMode::Read), 0) << c.what;
    int end = 0;
    const Lines got = read_all(10, &end);
    if (c.fails) {
      EXPECT_GT(end, 0) << c.what;
      ASSERT_LE(got.size(), all.size()) << c.what;
      // What was read before the fault is the beginning of the text; the
      // line where the data broke off may be cut.
      for (std::size_t i = 0; i + 1 < got.size(); ++i) ASSERT_EQ(got[i], all[i]) << c.what;
    } else {
      EXPECT_EQ(end, -1) << c.what;
      EXPECT_EQ(got, c.bytes == gzip_member("") ? Lines{} : all) << c.what;
    }
    (void)zv::unit_close(10);
  }
  // A file cut by someone else after it was opened: its compressed bytes are
  // read through a mapping of the file, whose lost pages raise SIGBUS; the
  // read goes on as the stream's, which finds the file cut.
  {
    std::string big_text;
    while (big_text.size() < 400000) big_text += text;
    const std::string gz = gzip_member(big_text);
    const std::string p = write_file("shrinking.gz", gz);
    ASSERT_EQ(zv::unit_open(10, p, zv::UnitMode::Read), 0);
    fs::resize_file(p, gz.size() / 3);
    int end = 0;
    const Lines got = read_all(10, &end);
    EXPECT_GT(end, 0);
    EXPECT_LT(got.size(), all.size() * (big_text.size() / text.size()));
    (void)zv::unit_close(10);
  }
  // Larger than the whole decompression takes: streamed.
  std::string big;
  while (big.size() <= (std::size_t{17} << 20)) big += text;
  const std::string p = write_gz("big.gz", big);
  ASSERT_EQ(zv::unit_open(10, p, zv::UnitMode::Read), 0);
  int end = 0;
  EXPECT_EQ(read_all(10, &end).size(), all.size() * (big.size() / text.size()));
  EXPECT_EQ(end, -1);
}

// Bounded reads: the characters kept, what was read past, and where the
// next read starts; lines (LF ends them) and records (a lone CR among the
// kept characters ends them too).
TEST_F(UnitFiles, BoundedReads) {
  struct Case {
    const char* what;
    std::string bytes;
    std::size_t max;
    bool record;
    Lines lines;
    std::vector<std::size_t> dropped;
    std::vector<bool> blank;
  };
  const std::string big(300000, 'z');  // longer than the read buffer
  const Case cases[] = {
      {"short lines", "ab\ncd\n", 4, false, {"ab", "cd"}, {0, 0}, {true, true}},
      {"cut line", "abcdef\nxy\n", 4, false, {"abcd", "xy"}, {2, 0}, {false, true}},
      {"exactly max with CRLF", "abcd\r\nx", 4, false, {"abcd", "x"}, {0, 0}, {true, true}},
      {"CR as the last kept character", "abc\r\nx", 4, false, {"abc", "x"}, {0, 0}, {true, true}},
      {"blanks past the end", "ab    \n", 2, false, {"ab"}, {4}, {true}},
      {"lone CR kept in a line", "a\rb\n", 4, false, {"a\rb"}, {0}, {true}},
      {"lone CR ends a record", "a\rb\n", 4, true, {"a", "b"}, {0, 0}, {true, true}},
      {"CR CR LF: an empty record", "a\r\r\nb", 4, true, {"a", "", "b"}, {0, 0, 0}, {true, true, true}},
      {"CR past the kept columns is skipped", "abcd\ref\ng\n", 4, true, {"abcd", "g"}, {3, 0},
       {false, true}},
      {"CR as the last kept column", "abc\rd\n", 4, true, {"abc", "d"}, {0, 0}, {true, true}},
      {"last record ends in CR", "ab\r", 4, true, {"ab"}, {0}, {true}},
      {"line longer than the buffer", big + "\nnext\n", 10, false, {big.substr(0, 10), "next"},
       {big.size() - 10, 0}, {false, true}},
      {"long line kept whole", big + "\n", big.size(), true, {big}, {0}, {true}},
  };
  for (const Case& c : cases) {
    for (const bool gz : {false, true}) {
      const std::string p = gz ? write_gz("b.gz", c.bytes) : write_file("b.txt", c.bytes);
      ASSERT_EQ(zv::unit_open(10, p, zv::UnitMode::Read), 0);
      Lines got;
      std::vector<std::size_t> dropped;
      std::vector<bool> blank;
      std::string line;
      zv::LineCut cut;
      int rc;
      while ((rc = c.record ? zv::unit_read_record(10, line, c.max, &cut)
                            : zv::unit_read_line(10, line, c.max, &cut)) == 0) {
        got.push_back(line);
        dropped.push_back(cut.dropped);
        blank.push_back(cut.blank);
      }
      EXPECT_EQ(rc, -1) << c.what;
      EXPECT_EQ(got, c.lines) << c.what << (gz ? " (gz)" : "");
      EXPECT_EQ(dropped, c.dropped) << c.what;
      EXPECT_EQ(blank, c.blank) << c.what;
      if (!c.record) continue;
      // Records as views: the same records, cuts and end.
      ASSERT_EQ(zv::unit_rewind(10), 0);
      Lines viewed;
      std::vector<std::size_t> view_dropped;
      std::string_view view;
      while ((rc = zv::unit_read_record_view(10, view, c.max, &cut)) == 0) {
        viewed.emplace_back(view);
        view_dropped.push_back(cut.dropped);
      }
      EXPECT_EQ(rc, -1) << c.what;
      EXPECT_EQ(viewed, c.lines) << c.what << (gz ? " (gz, views)" : " (views)");
      EXPECT_EQ(view_dropped, c.dropped) << c.what;
    }
  }
}

// A record viewed on one unit stays as it was while another unit is read,
// whether it lay whole in the buffer or had to be copied (a CR ends it).
TEST_F(UnitFiles, ViewsOfTwoUnits) {
  ASSERT_EQ(zv::unit_open(10, write_file("a.txt", "a1\ra1 rest\na2\n"), zv::UnitMode::Read), 0);
  ASSERT_EQ(zv::unit_open(11, write_gz("b.gz", "b1\rb1 rest\nb2\n"), zv::UnitMode::Read), 0);
  std::string_view a, b;
  for (const char* want : {"1", "1 rest", "2"}) {
    ASSERT_EQ(zv::unit_read_record_view(10, a, 80), 0);
    ASSERT_EQ(zv::unit_read_record_view(11, b, 80), 0);
    EXPECT_EQ(a, std::string("a") + want);
    EXPECT_EQ(b, std::string("b") + want);
  }
  EXPECT_EQ(zv::unit_read_record_view(10, a, 80), -1);
  EXPECT_EQ(zv::unit_read_record_view(12, a, 80), EBADF);
}

// Stepping back and rewinding on files much larger than the read buffer,
// plain and compressed: lines far behind the buffer are found again.
TEST_F(UnitFiles, BackspaceAcrossTheBuffer) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "record number " + std::to_string(i) + "\n";
  // Plain, gzip (decompressed whole) and gzip in two members (streamed).
  for (const int kind : {0, 1, 2}) {
    const std::string p =
        kind == 0   ? write_file("many.txt", text)
        : kind == 1 ? write_gz("many.gz", text)
                    : write_file("many2.gz", gzip_member(text.substr(0, 5000)) +
                                                 gzip_member(text.substr(5000)));
    ASSERT_EQ(zv::unit_open(10, p, zv::UnitMode::Read), 0);
    std::string line;
    for (int i = 0; i < 60000; ++i) ASSERT_EQ(zv::unit_read_line(10, line), 0);
    ASSERT_EQ(line, "record number 59999");
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(zv::unit_backspace(10), 0) << i;
    ASSERT_EQ(zv::unit_read_line(10, line), 0);
    EXPECT_EQ(line, "record number 59000");
    // Back to the oldest line remembered; further back is refused and the
    // position kept.
    for (int i = 0; i < zv::kMaxBackspace; ++i) (void)zv::unit_backspace(10);
    EXPECT_EQ(zv::unit_backspace(10), ESPIPE);
    ASSERT_EQ(zv::unit_read_line(10, line), 0);
    EXPECT_EQ(line, "record number " + std::to_string(60000 - zv::kMaxBackspace));
    EXPECT_EQ(zv::unit_rewind(10), 0);
    ASSERT_EQ(zv::unit_read_line(10, line), 0);
    EXPECT_EQ(line, "record number 0");
    // Long lines read past do not spoil the step back.
    const std::string q = write_file("long.txt", "first\n" + std::string(1 << 20, 'x') + "\nlast\n");
    ASSERT_EQ(zv::unit_open(11, q, zv::UnitMode::Read), 0);
    ASSERT_EQ(zv::unit_read_line(11, line, 8), 0);
    ASSERT_EQ(zv::unit_read_line(11, line, 8), 0);
    ASSERT_EQ(zv::unit_read_line(11, line, 8), 0);
    EXPECT_EQ(line, "last");
    ASSERT_EQ(zv::unit_backspace(11), 0);
    ASSERT_EQ(zv::unit_backspace(11), 0);
    ASSERT_EQ(zv::unit_read_line(11, line, 8), 0);
    EXPECT_EQ(line, "xxxxxxxx");
  }
}

// A line of 100 MB (a compressed file of zeros) read with a bound: memory
// does not grow with the line.
TEST_F(UnitFiles, LongLineIsNotHeld) {
  const std::string p = path("zeros.gz");
  {
    gzFile gz = gzopen(p.c_str(), "wb9");
    const std::string chunk(1 << 20, '\0');
    for (int i = 0; i < 100; ++i) gzwrite(gz, chunk.data(), static_cast<unsigned>(chunk.size()));
    gzwrite(gz, "\nend\n", 5);
    gzclose(gz);
  }
  rusage before{};
  ::getrusage(RUSAGE_SELF, &before);
  ASSERT_EQ(zv::unit_open(10, p, zv::UnitMode::Read), 0);
  std::string line;
  zv::LineCut cut;
  ASSERT_EQ(zv::unit_read_record(10, line, 256, &cut), 0);
  EXPECT_EQ(line, std::string(256, '\0'));
  EXPECT_EQ(cut.dropped, (100u << 20) - 256u);
  EXPECT_FALSE(cut.blank);
  ASSERT_EQ(zv::unit_read_record(10, line, 256, &cut), 0);
  EXPECT_EQ(line, "end");
  rusage after{};
  ::getrusage(RUSAGE_SELF, &after);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 20 * 1024) << "peak KB grew";
}

// Opening a file reads nothing of it: a compressed file whose data are
// corrupt opens, and fails when it is read.
TEST_F(UnitFiles, OpeningReadsNothing) {
  const std::string p = write_file("bad.gz", std::string("\x1f\x8b\x08\x00garbage", 12));
  ASSERT_EQ(zv::unit_open(10, p, zv::UnitMode::Read), 0);
  std::string line;
  EXPECT_GT(zv::unit_read_line(10, line), 0);
}

// Write errors are remembered by the unit, so a writer may test them once,
// at the close.
TEST_F(UnitFiles, WriteErrorsAtTheClose) {
  ASSERT_EQ(zv::unit_open(11, "/dev/full", zv::UnitMode::Write), 0);
  std::string big(100000, 'q');  // past the unit's buffer: written at once
  (void)zv::unit_write_line(11, big);
  EXPECT_EQ(zv::unit_write_error(11), ENOSPC);
  (void)zv::unit_write_line(11, "small");
  EXPECT_EQ(zv::unit_close_checked(11), ENOSPC);
  // Only the close sees it: the error comes from the final flush.
  ASSERT_EQ(zv::unit_open(11, "/dev/full", zv::UnitMode::Write), 0);
  EXPECT_EQ(zv::unit_write_line(11, "small"), 0);
  EXPECT_EQ(zv::unit_close_checked(11), ENOSPC);
  ASSERT_EQ(zv::unit_open(11, path("ok.txt"), zv::UnitMode::Write), 0);
  EXPECT_EQ(zv::unit_write_line(11, "fine"), 0);
  EXPECT_EQ(zv::unit_write_error(11), 0);
  EXPECT_EQ(zv::unit_close_checked(11), 0);
}

TEST_F(UnitFiles, OpenFailures) {
  EXPECT_EQ(zv::unit_open(10, path("missing"), zv::UnitMode::Read), ENOENT);
  EXPECT_EQ(zv::unit_open(10, path("missing.gz"), zv::UnitMode::Read), ENOENT);
  EXPECT_EQ(zv::unit_open(10, dir_.string(), zv::UnitMode::Read), EISDIR);
  EXPECT_EQ(zv::unit_open(10, path("no/such/dir/f"), zv::UnitMode::Write), ENOENT);
  EXPECT_FALSE(zv::unit_is_open(10));
  std::string line;
  EXPECT_EQ(zv::unit_read_line(10, line), EBADF);
  EXPECT_EQ(zv::unit_write_line(10, "x"), EBADF);
  EXPECT_EQ(zv::unit_close(10), 0);  // closing a unit that is not open
  EXPECT_EQ(zv::unit_open(-1, path("x"), zv::UnitMode::Write), EBADF);
}

TEST_F(UnitFiles, BackspaceAndRewind) {
  const std::string p = write_file("f.txt", "one\ntwo\nthree");
  ASSERT_EQ(zv::unit_open(10, p, zv::UnitMode::Read), 0);
  EXPECT_EQ(zv::unit_name(10), p);
  std::string line;
  EXPECT_EQ(zv::unit_backspace(10), 0);  // at the start: nothing happens
  ASSERT_EQ(zv::unit_read_line(10, line), 0);
  EXPECT_EQ(line, "one");
  ASSERT_EQ(zv::unit_read_line(10, line), 0);
  EXPECT_EQ(zv::unit_backspace(10), 0);
  ASSERT_EQ(zv::unit_read_line(10, line), 0);
  EXPECT_EQ(line, "two");
  ASSERT_EQ(zv::unit_read_line(10, line), 0);
  EXPECT_EQ(line, "three");
  EXPECT_EQ(zv::unit_backspace(10), 0);  // back over a last line without LF
  ASSERT_EQ(zv::unit_read_line(10, line), 0);
  EXPECT_EQ(line, "three");
  EXPECT_EQ(zv::unit_read_line(10, line), -1);
  // After end of file one step back lands after the last line, a second one
  // before it.
  EXPECT_EQ(zv::unit_backspace(10), 0);
  EXPECT_FALSE(zv::unit_at_eof(10));
  EXPECT_EQ(zv::unit_read_line(10, line), -1);
  EXPECT_EQ(zv::unit_backspace(10), 0);
  EXPECT_EQ(zv::unit_backspace(10), 0);
  ASSERT_EQ(zv::unit_read_line(10, line), 0);
  EXPECT_EQ(line, "three");
  EXPECT_EQ(zv::unit_rewind(10), 0);
  EXPECT_EQ(read_all(10), (Lines{"one", "two", "three"}));

  // Empty lines step back one at a time too.
  const std::string q = write_file("g.txt", "a\n\n\nb\n");
  ASSERT_EQ(zv::unit_open(10, q, zv::UnitMode::Read), 0);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(zv::unit_read_line(10, line), 0);
  EXPECT_EQ(zv::unit_backspace(10), 0);
  EXPECT_EQ(zv::unit_backspace(10), 0);
  EXPECT_EQ(read_all(10), (Lines{"", "", "b"}));
}

TEST_F(UnitFiles, WriteAppendAndFormats) {
  const std::string p = path("out.txt");
  ASSERT_EQ(zv::unit_open(11, p, zv::UnitMode::Write), 0);
  EXPECT_EQ(zv::unit_write_line(11, "first"), 0);
  EXPECT_EQ(zv::unit_write(11, "par"), 0);
  EXPECT_EQ(zv::unit_write(11, "tial\n"), 0);
  EXPECT_EQ(zv::unit_write_fmt(11, "(1x,a,i4,f6.2)", {"n", 42, 1.5f}), 0);
  EXPECT_EQ(zv::unit_close(11), 0);
  ASSERT_EQ(zv::unit_open(11, p, zv::UnitMode::Append), 0);
  EXPECT_EQ(zv::unit_write_line(11, "appended"), 0);
  EXPECT_EQ(zv::unit_close(11), 0);
  ASSERT_EQ(zv::unit_open(10, p, zv::UnitMode::Read), 0);
  EXPECT_EQ(read_all(10), (Lines{"first", "partial", " n  42  1.50", "appended"}));
  // Reading a unit open for writing, writing one open for reading: refused.
  std::string line;
  ASSERT_EQ(zv::unit_open(11, path("w.txt"), zv::UnitMode::Write), 0);
  EXPECT_EQ(zv::unit_read_line(11, line), EBADF);
  EXPECT_EQ(zv::unit_write_line(10, "x"), EBADF);
  // Opening a unit again closes (and flushes) what it had open.
  EXPECT_EQ(zv::unit_write_line(11, "flushed"), 0);
  ASSERT_EQ(zv::unit_open(11, path("w2.txt"), zv::UnitMode::Write), 0);
  ASSERT_EQ(zv::unit_open(12, path("w.txt"), zv::UnitMode::Read), 0);
  EXPECT_EQ(read_all(12), (Lines{"flushed"}));
  // A large file written through the buffer arrives whole.
  std::string big(100, 'q');
  for (int i = 0; i < 5000; ++i) ASSERT_EQ(zv::unit_write_line(11, big), 0);
  EXPECT_EQ(zv::unit_close(11), 0);
  EXPECT_EQ(fs::file_size(path("w2.txt")), 5000u * 101u);
}

TEST(UnitStreams, StandardUnits) {
  zvtest::Session s("answer one\r\nanswer two\n");
  std::string line;
  // Unit 6 keeps its bytes until a read of unit 5 (or a flush) needs them out.
  EXPECT_EQ(zv::unit_write(zv::kUnitStdout, " Question ? "), 0);
  ASSERT_EQ(zv::unit_read_line(zv::kUnitStdin, line), 0);
  EXPECT_EQ(line, "answer one");
  EXPECT_EQ(s.out(), " Question ? ");
  // One step back on a stream gives the last line again.
  EXPECT_EQ(zv::unit_backspace(zv::kUnitStdin), 0);
  ASSERT_EQ(zv::unit_read_line(zv::kUnitStdin, line), 0);
  EXPECT_EQ(line, "answer one");
  ASSERT_EQ(zv::unit_read_line(zv::kUnitStdin, line), 0);
  EXPECT_EQ(line, "answer two");
  EXPECT_FALSE(zv::unit_at_eof(zv::kUnitStdin));
  EXPECT_EQ(zv::unit_read_line(zv::kUnitStdin, line), -1);
  EXPECT_TRUE(zv::unit_at_eof(zv::kUnitStdin));
  EXPECT_EQ(zv::unit_read_line(zv::kUnitStdin, line), -1);
  // Closing a standard unit leaves it usable.
  EXPECT_EQ(zv::unit_close(zv::kUnitStdout), 0);
  EXPECT_EQ(zv::unit_write_line(zv::kUnitStdout, "still here"), 0);
  EXPECT_EQ(s.out(), " Question ? still here\n");
  EXPECT_EQ(zv::unit_fd(zv::kUnitStdin), -1);  // memory stream
}

TEST(UnitStreams, BoundedReadsOfAStream) {
  zvtest::Session s("abcdefgh\nab  \r\nx\ry\r\nlast\r");
  std::string line;
  zv::LineCut cut;
  ASSERT_EQ(zv::unit_read_line(zv::kUnitStdin, line, 4, &cut), 0);
  EXPECT_EQ(line, "abcd");
  EXPECT_EQ(cut.dropped, 4u);
  EXPECT_FALSE(cut.blank);
  ASSERT_EQ(zv::unit_read_line(zv::kUnitStdin, line, 2, &cut), 0);
  EXPECT_EQ(line, "ab");
  EXPECT_EQ(cut.dropped, 2u);  // the blanks; the CR of the line end is not counted
  EXPECT_TRUE(cut.blank);
  ASSERT_EQ(zv::unit_read_record(zv::kUnitStdin, line, 10, &cut), 0);
  EXPECT_EQ(line, "x");
  ASSERT_EQ(zv::unit_read_record(zv::kUnitStdin, line, 10, &cut), 0);
  EXPECT_EQ(line, "y");
  ASSERT_EQ(zv::unit_read_line(zv::kUnitStdin, line, 10, &cut), 0);
  EXPECT_EQ(line, "last");
  EXPECT_EQ(cut.dropped, 0u);
  EXPECT_EQ(zv::unit_read_line(zv::kUnitStdin, line, 10, &cut), -1);
}

TEST(UnitStreams, TerminalGetsEveryLineAtOnce) {
  // Unit 6 on a terminal: each line is on the terminal when the write
  // returns, without waiting for a question or the stop.
  int master = -1, slave = -1;
  if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
    GTEST_SKIP() << "no pseudo-terminal available";
  termios tio{};
  ASSERT_EQ(::tcgetattr(slave, &tio), 0);
  ::cfmakeraw(&tio);
  ASSERT_EQ(::tcsetattr(slave, TCSANOW, &tio), 0);
  std::FILE* tty = ::fdopen(slave, "w");
  ASSERT_NE(tty, nullptr);
  {
    zvtest::Session s("");
    zv::unit_bind_stream(zv::kUnitStdout, tty);
    EXPECT_EQ(zv::unit_write_line(zv::kUnitStdout, " Working ..."), 0);
    EXPECT_EQ(zv::unit_write(zv::kUnitStdout, " more"), 0);
    pollfd pfd{master, POLLIN, 0};
    ASSERT_EQ(::poll(&pfd, 1, 1000), 1);
    char buf[64] = {};
    ssize_t got = 0;
    while (got < 17 && ::poll(&pfd, 1, 1000) == 1) {
      const ssize_t n = ::read(master, buf + got, sizeof buf - 1 - static_cast<std::size_t>(got));
      if (n <= 0) break;
      got += n;
    }
    EXPECT_EQ(std::string(buf, static_cast<std::size_t>(got)), " Working ...\n more");
  }
  std::fclose(tty);
  ::close(master);
}

TEST(UnitStreams, FileOnUnitFiveGivesItBackOnClose) {
  zvtest::Session s("from stdin\n");
  const std::string p = (fs::temp_directory_path() / ("zv_u5_" + std::to_string(::getpid()))).string();
  std::ofstream(p) << "from file\n";
  ASSERT_EQ(zv::unit_open(zv::kUnitStdin, p, zv::UnitMode::Read), 0);
  std::string line;
  ASSERT_EQ(zv::unit_read_line(zv::kUnitStdin, line), 0);
  EXPECT_EQ(line, "from file");
  EXPECT_EQ(zv::unit_close(zv::kUnitStdin), 0);
  // The process's own standard input again (not the session's stream).
  EXPECT_TRUE(zv::unit_is_open(zv::kUnitStdin));
  fs::remove(p);
}

}  // namespace
