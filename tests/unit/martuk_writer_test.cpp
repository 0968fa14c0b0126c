// martuk's writing of the new macro: the guard against writing over the old
// macro under any of its names, and fatal errors while writing (the new
// macro is then not left half-written).
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "capacities.h"
#include "core/frame.h"
#include "core/units.h"
#include "core_session.h"
#include "hits.h"
#include "ranking.h"
#include "state.h"
#include "writer.h"

namespace {

namespace fs = std::filesystem;

class Folder {
 public:
  Folder() {
    char name[] = "/tmp/martuk_writer_XXXXXX";
    EXPECT_NE(::mkdtemp(name), nullptr);
    path_ = name;
  }
  ~Folder() { fs::remove_all(path_); }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void write_text(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST(MartukWriter, TheOldMacroIsRecognisedUnderEveryName) {
  Folder dir;
  const std::string old = dir.file("old.movamac");
  write_text(old, "x\n");
  write_text(dir.file("other.movamac"), "x\n");
  fs::create_hard_link(old, dir.file("hard.movamac"));
  fs::create_symlink(old, dir.file("soft.movamac"));
  const int fd = ::open(old.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  struct Case {
    std::string name;
    bool same;
  };
  const Case cases[] = {
      {old, true},
      {dir.file("./old.movamac"), true},
      {dir.file("hard.movamac"), true},
      {dir.file("soft.movamac"), true},
      {dir.file("other.movamac"), false},
      {dir.file("missing.movamac"), false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(martuk::is_same_file(c.name, fd), c.same) << c.name;
  ::close(fd);
}

// A fatal error while the new macro is written ends the run without a
// half-written macro: the old macro cut short after it was read, or a hit
// whose block is no longer found.
TEST(MartukWriter, AFatalErrorWhileWritingLeavesNoNewMacro) {
  struct Case {
    bool truncate;      // cut the old macro to half after reading
    int lose_block;     // hit (in file order) whose block is gone, or -1
    const char* fatal;
  };
  const Case cases[] = {
      {true, -1, " FATAL ERROR ---  While reading old Mova macro - execution aborted !"},
      {false, 7, " FATAL ERROR ---  Protein not found in old Mova macro - execution aborted !"},
  };
  for (const Case& c : cases) {
    Folder dir;
    const std::string old = dir.file("old.movamac");
    std::string text = "! preamble\n";
    for (int i = 0; i < 50; ++i) {
      text += "print ... Comparing h" + std::to_string(100 + i) +
              "\nprint ... Nr of matched residues :          5\n"
              "print ... RMS distance of CA atoms      1.000\nca ; end\n";
    }
    write_text(old, text);

    zvtest::Session session("");
    martuk::MartukState st;
    ASSERT_EQ(st.old.open(old), 0);
    martuk::read_hits(st);
    martuk::index_blocks(st);
    ASSERT_EQ(st.hits.size(), 50u);
    st.order = martuk::order_hits(st.hits, martuk::select_hits(st.hits, 1, 999.99f), 1);
    if (c.truncate) fs::resize_file(old, text.size() / 2);  // changed by someone else
    if (c.lose_block >= 0) st.hits[static_cast<std::size_t>(c.lose_block)].block_found = false;

    st.new_name = dir.file("new.movamac");
    ASSERT_EQ(zv::unit_open(martuk::kUnitNew, st.new_name, zv::UnitMode::Write), 0);
    int code = -1;
    try {
      martuk::write_hits(st);
    } catch (const zv::Stop& stop) {
      code = stop.code;
    }
    EXPECT_EQ(code, 1) << c.fatal;
    const std::string out = session.out();
    EXPECT_NE(out.find(c.fatal), std::string::npos) << out;
    EXPECT_NE(out.find(" Removed incomplete file : (" + st.new_name + ")"), std::string::npos);
    EXPECT_EQ(out.find("New Mova macro written"), std::string::npos);
    EXPECT_FALSE(fs::exists(st.new_name));
  }
}

}  // namespace
