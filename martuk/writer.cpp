#include "writer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/dialogue.h"
#include "core/files.h"
#include "core/frame.h"
#include "core/messages.h"
#include "core/strings.h"
#include "core/units.h"
#include "macro_file.h"
#include "output.h"

namespace martuk {
namespace {

// Length of a file name typed after a failed open, as the open routines take it.
constexpr int kRetryNameLen = 2048;

// The new macro's bytes go to its unit; a failed write is fatal.
class NewMacro : public ByteOut {
 public:
  explicit NewMacro(std::string path) : path_(std::move(path)) {
    const int fd = zv::unit_fd(kUnitNew);
    struct stat sb {};
    plain_ = fd >= 0 && ::fstat(fd, &sb) == 0 && S_ISREG(sb.st_mode);
  }
  // The lines come in small pieces: they are collected here and handed to
  // the unit in large writes.
  void write(std::string_view bytes) override {
    pending_.append(bytes);
    if (pending_.size() >= kHandOver) hand_over();
  }
  void close() {
    hand_over();
    // Any write of the unit that failed, or the final flush and close.
    if (zv::unit_close_checked(kUnitNew) != 0) fail();
  }
  // A full disk or another write failure.
  [[noreturn]] void fail() { abandon(" While writing new Mova macro"); }
  // Ends the run with the fatal message; the half-written macro is removed
  // (only a plain file: a device or pipe is left alone), so that no
  // incomplete macro remains to be run.
  [[noreturn]] void abandon(std::string_view message) {
    (void)zv::unit_close(kUnitNew);
    if (plain_ && ::unlink(path_.c_str()) == 0) (void)zv::textuo(" Removed incomplete file :", path_);
    zv::ERRFAT(message);
  }

 private:
  static constexpr std::size_t kHandOver = 1 << 16;

  void hand_over() {
    const int rc = zv::unit_write(kUnitNew, pending_);
    pending_.clear();
    if (rc != 0) fail();
  }

  std::string path_;
  bool plain_ = false;
  std::string pending_;
};

// Opens the new macro on its unit. A name that is the old macro is refused,
// since opening it would empty the macro still being copied from; as after a
// failed open, an interactive user may give another name.
void open_new_macro(MartukState& st) {
  std::string& name = st.new_name;
  for (;;) {
    int ierr = 0;
    if (is_same_file(std::string(zv::rtrim(name)), st.old.fd())) {
      zv::ERRMSG("New Mova macro would overwrite the old one : " + std::string(zv::rtrim(name)));
      ierr = 2;
    } else {
      // Asked here rather than inside the open routine, so that a name typed
      // after a failure is checked against the old macro too.
      ierr = zv::XOPXUA(kUnitNew, name, false);
      if (ierr == 0) return;
    }
    if (ierr != 2 || !zv::ISINTR() || !zv::YESNO("Open with other name"))
      zv::ERRFAT("While opening file");
    (void)zv::textii(" File ?", name, kRetryNameLen);
  }
}

// Copies the byte range of the old macro into the new one.
void copy_range(MartukState& st, std::uint64_t from, std::uint64_t to, NewMacro& out,
                std::vector<char>& buffer) {
  TrimmedLines lines(out);
  if (copy_records(st.old.fd(), from, to, lines, buffer) != 0)
    out.abandon(" While reading old Mova macro");
}

}  // namespace

bool is_same_file(const std::string& name, int fd) {
  struct stat a {}, b {};
  if (name.empty() || fd < 0) return false;
  if (::stat(name.c_str(), &a) != 0 || ::fstat(fd, &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

void write_new_macro(MartukState& st) {
  (void)zv::textii(" New Mova macro file ?", st.new_name, kFileNameLen);
  open_new_macro(st);
  write_hits(st);
}

void write_hits(MartukState& st) {
  NewMacro out(std::string(zv::rtrim(st.new_name)));

  out_empty();
  out_line(" Writing hits ...");
  out_empty();

  std::vector<char> buffer;
  if (!st.have_preamble) out.abandon(" While reading old Mova macro");
  copy_range(st, 0, st.preamble_end, out, buffer);
  for (int i : st.order) {
    const Hit& hit = st.hits[static_cast<std::size_t>(i)];
    (void)zv::textuo(" Processing PDB code :", hit.id);
    if (!hit.block_found) out.abandon(" Protein not found in old Mova macro");
    copy_range(st, hit.block_start, hit.block_end, out, buffer);
  }
  out.close();
  st.old.close();

  out_empty();
  out_line(" New Mova macro written ...");
}

}  // namespace martuk
