// Transcripts of the file-opening family: what the user sees on unit 6 for
// failed and retried opens, the search along ZVPATH, and the refusals.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/files.h"
#include "core/frame.h"
#include "core/units.h"

namespace zv {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void spit(const fs::path& p, const std::string& text) {
  std::ofstream(p, std::ios::binary) << text;
}

std::string enoent() { return std::strerror(ENOENT); }

// Runs the family in-process: a scratch folder as the current directory,
// units 5 and 6 on temporary files, the frame started in the chosen mode.
class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_cwd_ = fs::current_path();
    // A short folder name keeps the found-file lines on one line.
    static int serial = 0;
    dir_ = fs::temp_directory_path() /
           ("zvf" + std::to_string(::getpid()) + "_" + std::to_string(++serial));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::current_path(dir_);
    ::unsetenv("ZVPATH");
  }

  void TearDown() override {
    for (int u = 10; u <= 20; ++u) (void)unit_close(u);
    unit_reset_stdio();
    frame_reset_for_test();
    if (in_) std::fclose(in_);
    if (out_) std::fclose(out_);
    ::unsetenv("ZVPATH");
    fs::current_path(old_cwd_);
    fs::remove_all(dir_);
  }

  // Starts the frame with the mode flag ("-B" or "-I") and the answers to be
  // read from unit 5, then forgets the banner.
  void start(const char* mode, const std::string& answers = "") {
    in_ = std::tmpfile();
    ASSERT_NE(in_, nullptr);
    std::fputs(answers.c_str(), in_);
    std::rewind(in_);
    unit_bind_stream(kUnitStdin, in_);
    new_output();
    frame_reset_for_test();
    char a0[] = "x";
    std::string flag = mode;
    char* argv[] = {a0, flag.data(), nullptr};
    ZVSTART("FILETEST", "1.0", 2, argv);
    new_output();
  }

  void new_output() {
    std::FILE* fresh = std::tmpfile();
    ASSERT_NE(fresh, nullptr);
    unit_bind_stream(kUnitStdout, fresh);
    if (out_) std::fclose(out_);
    out_ = fresh;
  }

  // Everything written to unit 6 since the last call.
  std::string output() {
    (void)unit_flush(kUnitStdout);
    std::fflush(out_);
    std::rewind(out_);
    std::string s;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, out_)) > 0) s.append(buf, n);
    new_output();
    return s;
  }

  std::string read_line(int unit) {
    std::string line;
    EXPECT_EQ(unit_read_line(unit, line), 0);
    return line;
  }

  fs::path old_cwd_;
  fs::path dir_;
  std::FILE* in_ = nullptr;
  std::FILE* out_ = nullptr;
};

// The description line is longer than 75 characters: the dialogue wraps its
// closing blank onto a second, indented line.
const char* const kOldDesc =
    " OPEN : (UNIT= 10 STATUS=OLD CAR_CONTROL= FORM=FORMATTED ACCESS=SEQUENTIAL)\n   \n";

TEST_F(FilesTest, MissingInputInBatchReportsWithoutQuestion) {
  start("-B", "other.dat\n");
  spit("other.dat", "x\n");
  std::string file = "missing.dat";
  EXPECT_EQ(XOLASC(10, file, ISINTR()), 2);
  EXPECT_EQ(output(), " ERROR --- XOLASC - error #   2 while opening OLD file : missing.dat\n" +
                          std::string(kOldDesc) + " Error : (" + enoent() + ") \n");
  EXPECT_EQ(file, "missing.dat");
  EXPECT_FALSE(unit_is_open(10));
  // The answer line was not consumed.
  std::string line;
  EXPECT_EQ(unit_read_line(kUnitStdin, line), 0);
  EXPECT_EQ(line, "other.dat");
}

TEST_F(FilesTest, InteractiveRetryUnderAnotherName) {
  start("-I", "y\nfound.dat\n");
  spit("found.dat", "first line\n");
  std::string file = "missing.dat";
  EXPECT_EQ(XOLASC(10, file, ISINTR()), 0);
  // Prompts keep the cursor on their line in interactive mode.
  EXPECT_EQ(output(), " ERROR --- XOLASC - error #   2 while opening OLD file : missing.dat\n" +
                          std::string(kOldDesc) + " Error : (" + enoent() + ") \n" +
                          " Open with other name (Y/N) ? (N)  File ? (missing.dat) ");
  EXPECT_EQ(file, "found.dat");
  EXPECT_EQ(read_line(10), "first line");
}

TEST_F(FilesTest, InteractiveRetriesRepeatUntilNo) {
  start("-I", "y\nstill-missing.dat\ny\n\nn\n");
  std::string file = "missing.dat";
  EXPECT_EQ(XOLASC(10, file, true), 2);
  const std::string out = output();
  // Three failures: the first name, the typed name, the same name kept by an
  // empty answer; the last "no" ends the retries.
  std::size_t errors = 0;
  for (std::size_t p = 0; (p = out.find(" ERROR --- ", p)) != std::string::npos; ++p) ++errors;
  EXPECT_EQ(errors, 3u) << out;
  EXPECT_NE(out.find("file : still-missing.dat\n"), std::string::npos) << out;
  EXPECT_EQ(file, "still-missing.dat");
}

TEST_F(FilesTest, NewFileThatExistsOpenedAsOld) {
  start("-I", "y\n");
  spit("exists.dat", "old contents\n");
  std::string file = "exists.dat";
  EXPECT_EQ(XOPXNA(11, file, ISINTR()), 0);
  EXPECT_EQ(output(),
            " ERROR --- XOPXNA - error #  17 while opening NEW file : exists.dat\n"
            " OPEN : (UNIT= 11 STATUS=NEW CAR_CONTROL= FORM=FORMATTED ACCESS=SEQUENTIAL)\n   \n"
            " Error : (" + std::string(std::strerror(EEXIST)) + ") \n"
            " Open file as OLD (Y/N) ? (N) ");
  EXPECT_EQ(file, "exists.dat");
  // The caller meant to write a new file: the unit writes it.
  EXPECT_EQ(unit_write_line(11, "new contents"), 0);
  EXPECT_EQ(unit_close(11), 0);
  EXPECT_EQ(slurp("exists.dat"), "new contents\n");
}

TEST_F(FilesTest, NewFileThatExistsRenamedAfterNo) {
  start("-I", "n\ny\nfresh.dat\n");
  spit("exists.dat", "keep me\n");
  std::string file = "exists.dat";
  EXPECT_EQ(XOPXNA(11, file, true), 0);
  const std::string out = output();
  EXPECT_NE(out.find(" Open file as OLD (Y/N) ? (N)  Open with other name (Y/N) ? (N)  File ? "
                     "(exists.dat) "),
            std::string::npos)
      << out;
  EXPECT_EQ(file, "fresh.dat");
  EXPECT_EQ(unit_write_line(11, "written"), 0);
  EXPECT_EQ(unit_close(11), 0);
  EXPECT_EQ(slurp("fresh.dat"), "written\n");
  EXPECT_EQ(slurp("exists.dat"), "keep me\n");
}

TEST_F(FilesTest, NewFileThatExistsInBatchIsLeftAlone) {
  start("-B");
  spit("exists.dat", "keep me\n");
  std::string file = "exists.dat";
  EXPECT_EQ(XOPXNA(11, file, ISINTR()), 4);
  EXPECT_EQ(slurp("exists.dat"), "keep me\n");
  EXPECT_FALSE(unit_is_open(11));
}

TEST_F(FilesTest, UnknownStatusCreatesOrOverwritesAndAppendAppends) {
  start("-B");
  std::string file = "out.dat";
  ASSERT_EQ(XOPXUA(12, file, false), 0);
  ASSERT_EQ(unit_write_line(12, "one"), 0);
  ASSERT_EQ(unit_close(12), 0);
  ASSERT_EQ(XOPXUA(12, file, false), 0);
  ASSERT_EQ(unit_write_line(12, "two"), 0);
  ASSERT_EQ(unit_close(12), 0);
  EXPECT_EQ(slurp("out.dat"), "two\n");
  ASSERT_EQ(XOPENA(12, file, "old", "formatted", "append", false), 0);
  ASSERT_EQ(unit_write_line(12, "three"), 0);
  ASSERT_EQ(unit_close(12), 0);
  EXPECT_EQ(slurp("out.dat"), "two\nthree\n");
  EXPECT_EQ(output(), "");
  // An old file for appending must exist.
  file = "none.dat";
  EXPECT_EQ(XOPENA(12, file, "OLD", "F", "APPEND", false), 2);
  EXPECT_FALSE(fs::exists("none.dat"));
}

TEST_F(FilesTest, SearchPathFindsFileInSecondDirectory) {
  fs::create_directories("p1");
  fs::create_directories("p2");
  spit("p2/data.txt", "from p2\n");
  const std::string p1 = (dir_ / "p1").string(), p2 = (dir_ / "p2").string();
  ::setenv("ZVPATH", (p1 + ":" + p2).c_str(), 1);
  start("-B");
  std::string file = "data.txt";
  EXPECT_EQ(XOPXOA(10, file, ISINTR()), 0);
  EXPECT_EQ(output(), " ==> Found file in ZVPATH : (" + p2 + "/data.txt) \n");
  EXPECT_EQ(file, "data.txt");
  EXPECT_EQ(read_line(10), "from p2");
}

TEST_F(FilesTest, SearchPathPrefersCurrentDirectory) {
  fs::create_directories("p1");
  spit("p1/data.txt", "from p1\n");
  spit("data.txt", "from here\n");
  ::setenv("ZVPATH", (dir_ / "p1").c_str(), 1);
  start("-B");
  std::string file = "data.txt";
  EXPECT_EQ(XOPXOA(10, file, false), 0);
  EXPECT_EQ(output(), "");
  EXPECT_EQ(read_line(10), "from here");
}

TEST_F(FilesTest, SearchPathNotUsedForNamesWithSlash) {
  fs::create_directories("p1/sub");
  spit("p1/sub/data.txt", "hidden\n");
  ::setenv("ZVPATH", (dir_ / "p1").c_str(), 1);
  start("-B");
  std::string file = "sub/data.txt";
  EXPECT_EQ(XOPXOA(10, file, false), 2);
  EXPECT_EQ(output(), " ERROR --- XOLASC - error #   2 while opening OLD file : sub/data.txt\n" +
                          std::string(kOldDesc) + " Error : (" + enoent() + ") \n");
}

TEST_F(FilesTest, SearchPathMissReportsThenOpensInDetail) {
  fs::create_directories("p1");
  // A directory of the file's name in a path entry is not the file.
  fs::create_directories("p1/data.txt");
  ::setenv("ZVPATH", (dir_ / "p1").c_str(), 1);
  start("-B");
  std::string file = "data.txt";
  EXPECT_EQ(XOPXOA(10, file, false), 2);
  EXPECT_EQ(output(), " ERROR --- XOPXOA - File not found in ZVPATH\n"
                      " ERROR --- XOLASC - error #   2 while opening OLD file : data.txt\n" +
                          std::string(kOldDesc) + " Error : (" + enoent() + ") \n");
  EXPECT_EQ(file, "data.txt");
}

TEST_F(FilesTest, SearchPathRefusals) {
  start("-B");
  spit("data.txt", "x\n");
  struct Case {
    int unit;
    std::string file;
    const char* out;
  };
  const Case cases[] = {
      {10, "", " ERROR --- XOPXOA - No file name provided\n"},
      {10, "    ", " ERROR --- XOPXOA - No file name provided\n"},
      {0, "data.txt", " ERROR --- XOPXOA - Zero or negative unit number\n"},
      {-3, "data.txt", " ERROR --- XOPXOA - Zero or negative unit number\n"},
  };
  for (const Case& c : cases) {
    std::string file = c.file;
    EXPECT_EQ(XOPXOA(c.unit, file, true), -1);
    EXPECT_EQ(output(), c.out);
    EXPECT_FALSE(unit_is_open(10));
  }
}

TEST_F(FilesTest, ReadOnlyReportedOnEveryCall) {
  start("-B");
  spit("data.txt", "x\n");
  for (int call = 0; call < 2; ++call) {
    std::string file = "data.txt";
    EXPECT_EQ(XOPENR(12, file, "OLD", "FORMATTED", true, false), 0);
    EXPECT_EQ(output(), " ERROR --- READONLY no longer supported (XOPENR)\n");
    EXPECT_EQ(read_line(12), "x");
    EXPECT_EQ(unit_close(12), 0);
  }
  std::string file = "none.dat";
  EXPECT_EQ(XOPENR(12, file, "OLD", "FORMATTED", true, false), 2);
  EXPECT_EQ(output(), " ERROR --- READONLY no longer supported (XOPENR)\n"
                      " ERROR --- XOPENR - error #   2 while opening OLD file : none.dat\n"
                      " OPEN : (UNIT= 12 STATUS=OLD CAR_CONTROL= FORM=FORMATTED ACCESS=SEQUENTIAL)\n   \n"
                      " Error : (" + enoent() + ") \n");
}

TEST_F(FilesTest, RefusalsBeforeOpening) {
  start("-I", "y\ny\ny\n");
  spit("data.txt", "x\n");
  struct Case {
    int (*call)(std::string&);
    int ierr;
    const char* out;
  };
  const Case cases[] = {
      {[](std::string& f) { return XOLASC(0, f, true); }, 1,
       " ERROR --- XOLASC - invalid unit number :   0\n"},
      {[](std::string& f) { return XOPEN(-5, f, "OLD", "FORMATTED", true); }, 1,
       " ERROR ---  XOPEN - invalid unit number :  -5\n"},
      {[](std::string& f) { return XOPENL(10, f, "OLD", "UNFORMATTED", -1, true); }, 10,
       " ERROR --- XOPENL - invalid record length :  -1\n"},
      {[](std::string& f) { return XOPENA(10, f, "OLD", "FORMATTED", "direct", true); }, 11,
       " ERROR --- XOPENA - DIRECT access only with unformatted files\n"},
      {[](std::string& f) { return XOPENA(10, f, "OLD", "", "Keyed", true); }, 11,
       " ERROR --- XOPENA - KEYED access only with unformatted files\n"},
      {[](std::string& f) {
         int iostat = -9;
         return XOPENX(10, f, "OLD", "FORMATTED", "DIRECT", "LIST", 0, true, true, iostat);
       },
       11,
       " ERROR --- READONLY no longer supported (XOPENR)\n"
       " ERROR --- CARRIAGECONTROL no longer supported (XOPENX)\n"
       " ERROR --- XOPENX - DIRECT access only with unformatted files\n"},
  };
  for (const Case& c : cases) {
    std::string file = "data.txt";
    EXPECT_EQ(c.call(file), c.ierr);
    EXPECT_EQ(output(), c.out);
    EXPECT_FALSE(unit_is_open(10));
  }
  // Direct access of an unformatted file is accepted and read sequentially.
  std::string file = "data.txt";
  EXPECT_EQ(XOPENA(10, file, "OLD", "UNFORMATTED", "DIRECT", true), 0);
  EXPECT_EQ(read_line(10), "x");
}

TEST_F(FilesTest, NameWithNulByteIsNotCutAtIt) {
  // "a" exists; the name "a<NUL>b" is another file, which is missing, and
  // nothing may be created under the part before the NUL.
  start("-B");
  spit("a", "x\n");
  const std::string nul("a\0b", 3);
  std::string file = nul;
  EXPECT_EQ(XOLASC(10, file, false), 2);
  EXPECT_FALSE(unit_is_open(10));
  EXPECT_NE(output().find(" ERROR --- XOLASC - error #  22 while opening OLD file : "),
            std::string::npos);
  file = std::string("n\0x", 3);
  EXPECT_EQ(XOPXNA(11, file, false), 4);
  EXPECT_EQ(XOPXUA(12, file, false), 2);
  EXPECT_FALSE(fs::exists("n"));
  EXPECT_EQ(unit_open(13, nul, UnitMode::Read), EINVAL);
  (void)output();
}

TEST_F(FilesTest, DescriptionShowsEveryParameter) {
  start("-B");
  struct Case {
    int (*call)(std::string&);
    int ierr;
    const char* out;
  };
  const Case cases[] = {
      {[](std::string& f) { return XOPENL(10, f, "old", "unf", 80, false); }, 2,
       " ERROR --- XOPENL - error #   2 while opening OLD file : nodir/f.dat\n"
       " OPEN : (UNIT= 10 STATUS=OLD CAR_CONTROL= FORM=UNFORMATTED \n  ACCESS=SEQUENTIAL RECL= 80) \n"},
      {[](std::string& f) { return XOPENC(10, f, "new", "f", "list", false); }, 4,
       " ERROR --- CARRIAGECONTROL no longer supported (XOPENC)\n"
       " ERROR --- XOPENC - error #   2 while opening NEW file : nodir/f.dat\n"
       " OPEN : (UNIT= 10 STATUS=NEW CAR_CONTROL=list FORM=FORMATTED \n  ACCESS=SEQUENTIAL) \n"},
      {[](std::string& f) { return XOPEN(10, f, "scr", "form", false); }, 4,
       " ERROR ---  XOPEN - error #   2 while opening SCRATCH file : nodir/f.dat\n"
       " OPEN : (UNIT= 10 STATUS=SCRATCH CAR_CONTROL= FORM=FORMATTED \n  ACCESS=SEQUENTIAL) \n"},
      {[](std::string& f) { return XOPEN(10, f, "whatever", "x", false); }, 2,
       " ERROR ---  XOPEN - error #   2 while opening UNKNOWN file : nodir/f.dat\n"
       " OPEN : (UNIT= 10 STATUS=UNKNOWN CAR_CONTROL= FORM=FORMATTED \n  ACCESS=SEQUENTIAL) \n"},
      {[](std::string& f) { return XOPXUB(10, f, false); }, 2,
       " ERROR --- XOPXUB - error #   2 while opening UNKNOWN file : nodir/f.dat\n"
       " OPEN : (UNIT= 10 STATUS=UNKNOWN CAR_CONTROL= FORM=UNFORMATTED \n  ACCESS=SEQUENTIAL) \n"},
      {[](std::string& f) { return XOPXNB(10, f, false); }, 4,
       " ERROR --- XOPXNB - error #   2 while opening NEW file : nodir/f.dat\n"
       " OPEN : (UNIT= 10 STATUS=NEW CAR_CONTROL= FORM=UNFORMATTED \n  ACCESS=SEQUENTIAL) \n"},
      {[](std::string& f) { return XOPXOB(10, f, false); }, 2,
       " ERROR --- XOPXOB - error #   2 while opening OLD file : nodir/f.dat\n"
       " OPEN : (UNIT= 10 STATUS=OLD CAR_CONTROL= FORM=UNFORMATTED \n  ACCESS=SEQUENTIAL) \n"},
      {[](std::string& f) {
         int iostat = -9;
         const int ierr = XOPENX(10, f, "O", "U", "K", "FORTRAN", 512, false, false, iostat);
         return iostat == ENOENT ? ierr : -100;
       },
       2,
       " ERROR --- READONLY no longer supported (XOPENR)\n"
       " ERROR --- CARRIAGECONTROL no longer supported (XOPENX)\n"
       " ERROR --- XOPENX - error #   2 while opening OLD file : nodir/f.dat\n"
       " OPEN : (UNIT= 10 STATUS=OLD CAR_CONTROL=FORTRAN FORM=UNFORMATTED \n"
       "  ACCESS=KEYED RECL= 512) \n"},
  };
  for (const Case& c : cases) {
    std::string file = "nodir/f.dat";
    EXPECT_EQ(c.call(file), c.ierr);
    EXPECT_EQ(output(), c.out + (" Error : (" + enoent() + ") \n"));
  }
  // XEXIST is quiet.
  std::string file = "nodir/f.dat";
  EXPECT_EQ(XEXIST(10, file, true), 2);
  EXPECT_EQ(output(), "");
}

TEST_F(FilesTest, UnitWithoutNameUsesItsDefaultFile) {
  start("-I", "y\n");
  std::string file;
  // No default file yet: OLD without a name fails with ierr 3 and no question.
  EXPECT_EQ(XOPEN(13, file, "OLD", "FORMATTED", true), 3);
  EXPECT_EQ(output(), " ERROR ---  XOPEN - error #   2 while opening OLD unit :  13\n"
                      " OPEN : (UNIT= 13 STATUS=OLD CAR_CONTROL= FORM=FORMATTED ACCESS=SEQUENTIAL)\n   \n"
                      " Error : (" + enoent() + ") \n");
  EXPECT_EQ(XOPEN(13, file, "NEW", "FORMATTED", true), 0);
  EXPECT_EQ(unit_write_line(13, "default"), 0);
  EXPECT_EQ(unit_close(13), 0);
  EXPECT_EQ(slurp("fort.13"), "default\n");
  // A second NEW open of the same default file fails (ierr 5); answering yes
  // to "Open file as OLD" opens it.
  EXPECT_EQ(XOPEN(13, file, "NEW", "FORMATTED", true), 0);
  EXPECT_EQ(output(), " ERROR ---  XOPEN - error #  17 while opening NEW unit :  13\n"
                      " OPEN : (UNIT= 13 STATUS=NEW CAR_CONTROL= FORM=FORMATTED ACCESS=SEQUENTIAL)\n   \n"
                      " Error : (" + std::string(std::strerror(EEXIST)) + ") \n"
                      " Open file as OLD (Y/N) ? (N) ");
  EXPECT_EQ(file, "");
}

TEST_F(FilesTest, ScratchFilesLeaveNothingBehind) {
  ::setenv("TMPDIR", dir_.c_str(), 1);
  start("-B");
  std::string file;
  ASSERT_EQ(XOPEN(14, file, "SCRATCH", "UNFORMATTED", false), 0);
  EXPECT_EQ(unit_write_line(14, "temporary"), 0);
  EXPECT_EQ(unit_close(14), 0);
  file = "named.tmp";
  ASSERT_EQ(XOPEN(14, file, "SCRATCH", "FORMATTED", false), 0);
  EXPECT_EQ(unit_close(14), 0);
  ::unsetenv("TMPDIR");
  EXPECT_EQ(fs::directory_iterator(dir_), fs::directory_iterator());
  // An existing file is never taken as a scratch file.
  spit("named.tmp", "keep\n");
  EXPECT_EQ(XOPEN(14, file, "SCRATCH", "FORMATTED", false), 4);
  EXPECT_EQ(slurp("named.tmp"), "keep\n");
}

TEST_F(FilesTest, OpeningClosesWhatTheUnitHadOpen) {
  start("-B");
  spit("a.dat", "a\n");
  std::string file = "a.dat";
  ASSERT_EQ(XOLASC(15, file, false), 0);
  file = "b.dat";
  EXPECT_EQ(XOLASC(15, file, false), 2);
  EXPECT_FALSE(unit_is_open(15));
}

TEST_F(FilesTest, CompressedInputIsReadThroughTheSearchPath) {
  fs::create_directories("p1");
  gzFile gz = gzopen("p1/model.pdb.gz", "wb");
  ASSERT_NE(gz, nullptr);
  gzputs(gz, "ATOM line\n");
  gzclose(gz);
  ::setenv("ZVPATH", (dir_ / "p1").c_str(), 1);
  start("-B");
  std::string file = "model.pdb.gz";
  EXPECT_EQ(XOPXOA(15, file, false), 0);
  EXPECT_EQ(read_line(15), "ATOM line");
  EXPECT_EQ(file, "model.pdb.gz");
}

// A written file checked at its close: complete, cut and removed, or a device
// that is left in place and said to be incomplete.
TEST_F(FilesTest, WrittenFileCheckedAtItsClose) {
  start("-I", "y\n");
  std::string file = "good.dat";
  ASSERT_EQ(XOPXNA(11, file, false), 0);
  EXPECT_EQ(unit_write_line(11, "all of it"), 0);
  EXPECT_EQ(close_written_file(11, file), 0);
  EXPECT_EQ(slurp("good.dat"), "all of it\n");
  EXPECT_EQ(output(), "");

  // /dev/full, opened as OLD after the NEW open failed: ENOSPC at the close,
  // and the device is not removed.
  file = "/dev/full";
  ASSERT_EQ(XOPXNA(11, file, ISINTR()), 0);
  (void)output();
  EXPECT_EQ(unit_write_line(11, "lost"), 0);  // buffered
  EXPECT_EQ(close_written_file(11, file), ENOSPC);
  EXPECT_EQ(output(), " ERROR --- While writing file /dev/full\n"
                      " Error : (" + std::string(std::strerror(ENOSPC)) + ") \n"
                      " The file is incomplete\n");
  EXPECT_TRUE(fs::exists("/dev/full"));
}

}  // namespace
}  // namespace zv
