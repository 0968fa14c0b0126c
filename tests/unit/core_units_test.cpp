// The unit table: files read whole (plain and gzip), line reading with CRLF,
// step back, rewind, writing and appending, and units 5 and 6 on streams.
#include <gtest/gtest.h>
#include <poll.h>
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

  // A truncated compressed file is an error, not a short file.
  std::string bytes;
  {
    std::ifstream in(p, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  const std::string cut = write_file("cut.gz", bytes.substr(0, bytes.size() / 2));
  EXPECT_GT(zv::unit_open(12, cut, zv::UnitMode::Read), 0);
  EXPECT_FALSE(zv::unit_is_open(12));
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
