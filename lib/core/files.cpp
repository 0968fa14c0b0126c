#include "core/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "core/dialogue.h"
#include "core/frame.h"
#include "core/messages.h"
#include "core/strings.h"
#include "core/units.h"
#include "text/format.h"

namespace zv {
namespace {

constexpr int kDescriptionLen = 250;
constexpr int kSystemTextLen = 132;
// Longest answer the dialogue takes: a name typed in a retry is never cut.
constexpr int kTypedNameLen = 2048;

// The text of a one-record WRITE without its line end.
std::string line_of(std::string_view fmt, std::initializer_list<FmtItem> items) {
  std::string s = format(fmt, items);
  while (!s.empty() && s.back() == '\n') s.pop_back();
  return s;
}

// The parameter cut to its field and upper-cased; its first letter decides.
char first_letter(std::string_view param) {
  std::string p = upper(param.substr(0, kOpenParamLen));
  return p.empty() ? ' ' : p[0];
}

std::string_view normal_status(std::string_view s) {
  switch (first_letter(s)) {
    case 'O': return "OLD";
    case 'N': return "NEW";
    case 'S': return "SCRATCH";
    default: return "UNKNOWN";
  }
}

std::string_view normal_form(std::string_view s) {
  return first_letter(s) == 'U' ? "UNFORMATTED" : "FORMATTED";
}

std::string_view normal_access(std::string_view s) {
  switch (first_letter(s)) {
    case 'D': return "DIRECT";
    case 'K': return "KEYED";
    case 'A': return "APPEND";
    default: return "SEQUENTIAL";
  }
}

std::string description(int unit, std::string_view status, std::string_view carctl,
                        std::string_view form, std::string_view access, int recl) {
  std::string desc;
  const FmtItem items[] = {unit, status, carctl, form, access};
  (void)format_internal(desc, kDescriptionLen,
                        "(' UNIT=',I6,' STATUS=',A,' CAR_CONTROL=',A,' FORM=',A,' ACCESS=',A)",
                        items);
  if (recl > 0) {
    const std::string head = std::string(rtrim(desc)) + " RECL=";
    const FmtItem more[] = {std::string_view(head), recl};
    (void)format_internal(desc, kDescriptionLen, "(a,i10)", more);
  }
  ONEBLANK(desc);
  return std::string(rtrim(desc));
}

bool is_directory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Creates path, failing with EEXIST when it exists already. Returns 0 or errno.
int create_new(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return errno ? errno : EIO;
  ::close(fd);
  return 0;
}

// Opens one file on the unit. `name` is blank for the unit's default file.
// `writing` tells whether the caller opens the file to write it (its first
// status was not OLD). Returns 0 or errno.
int open_on_unit(int unit, const std::string& name, std::string_view status,
                 std::string_view access, bool writing) {
  // The system would take a name with a NUL byte (typed or read from a file)
  // as its part before the NUL: another file than the one named.
  if (name.find('\0') != std::string::npos) return EINVAL;
  const bool append = access == "APPEND";
  const UnitMode out_mode = append ? UnitMode::Append : UnitMode::Write;

  if (status == "SCRATCH") {
    // A file nobody else sees: created new and unlinked while open, so it
    // disappears when the unit is closed.
    std::string path = name;
    if (path.empty()) {
      const char* tmp = std::getenv("TMPDIR");
      path = std::string(tmp && *tmp ? tmp : "/tmp") + "/zvscratch.XXXXXX";
      const int fd = ::mkstemp(path.data());
      if (fd < 0) return errno ? errno : EIO;
      ::close(fd);
    } else if (int err = create_new(path)) {
      return err;
    }
    const int err = unit_open(unit, path, UnitMode::Write);
    ::unlink(path.c_str());
    return err;
  }

  const std::string path = name.empty() ? "fort." + std::to_string(unit) : name;
  if (status == "NEW") {
    if (int err = create_new(path)) return err;
    const int err = unit_open(unit, path, out_mode);
    if (err != 0) ::unlink(path.c_str());
    return err;
  }
  if (status == "OLD") {
    if (!writing && !append) return unit_open(unit, path, UnitMode::Read);
    // An existing file that is to be written: it must be there.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno ? errno : ENOENT;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    return unit_open(unit, path, out_mode);
  }
  // UNKNOWN: created when missing, overwritten (or appended to) when present.
  if (is_directory(path)) return EISDIR;
  return unit_open(unit, path, out_mode);
}

// The common open procedure of the family. `routine` is the six-character
// name used in messages; `messages` false makes a quiet test-open.
int open_file(int unit, std::string& file, std::string_view routine, std::string_view status_in,
              std::string_view form_in, std::string_view access_in, std::string_view carctl_in,
              int recl, bool messages, bool ask, int& iostat) {
  iostat = 0;
  if (unit <= 0) {
    ERRMSG(line_of("(A,' - invalid unit number : ',I3)", {routine, unit}));
    return 1;
  }
  if (recl < 0) {
    ERRMSG(line_of("(A,' - invalid record length : ',I3)", {routine, recl}));
    return 10;
  }
  std::string_view status = normal_status(status_in);
  const std::string_view form = normal_form(form_in);
  const std::string_view access = normal_access(access_in);
  const std::string carctl(rtrim(carctl_in.substr(0, kOpenParamLen)));
  if ((access == "DIRECT" || access == "KEYED") && form == "FORMATTED") {
    ERRMSG(line_of("(A,' - ',A,' access only with unformatted files')", {routine, access}));
    return 11;
  }
  unit_close(unit);

  const bool writing = status != "OLD";
  std::string name(rtrim(file));
  for (;;) {
    const std::string desc = description(unit, status, carctl, form, access, recl);
    const int err = open_on_unit(unit, name, status, access, writing);
    iostat = err;
    if (err == 0) {
      file = name;
      return 0;
    }
    const bool old_or_unknown = status == "OLD" || status == "UNKNOWN";
    const int ierr = old_or_unknown ? (name.empty() ? 3 : 2) : (name.empty() ? 5 : 4);
    file = name;
    if (!messages) return ierr;

    if (name.empty())
      ERRMSG(line_of("(A,' - error # ',I3,' while opening ',A,' unit : ',I3)",
                     {routine, err, status, unit}));
    else
      ERRMSG(line_of("(A,' - error # ',I3,' while opening ',A,' file : ',A)",
                     {routine, err, status, std::string_view(name)}));
    (void)textuo(" OPEN :", desc);
    std::string text = std::strerror(err);
    if (text.size() > static_cast<std::size_t>(kSystemTextLen)) text.resize(kSystemTextLen);
    (void)textuo(" Error :", text);

    if (!ask) return ierr;
    bool again = false;
    switch (ierr) {
      case 2:
        if (YESNO("Open with other name")) {
          (void)textii(" File ?", name, kTypedNameLen);
          again = true;
        }
        break;
      case 4:
        if (YESNO("Open file as OLD")) {
          status = "OLD";
          again = true;
        } else if (YESNO("Open with other name")) {
          (void)textii(" File ?", name, kTypedNameLen);
          again = true;
        }
        break;
      case 5:
        if (YESNO("Open file as OLD")) {
          status = "OLD";
          again = true;
        }
        break;
      default:
        break;
    }
    if (!again) return ierr;
    name = std::string(rtrim(name));
  }
}

int open_simple(int unit, std::string& file, std::string_view routine, std::string_view status,
                std::string_view form, bool messages, bool ask) {
  int iostat = 0;
  return open_file(unit, file, routine, status, form, "SEQUENTIAL", "", 0, messages, ask, iostat);
}

}  // namespace

int XOPEN(int unit, std::string& file, std::string_view status, std::string_view form,
          bool ask) {
  return open_simple(unit, file, " XOPEN", status, form, true, ask);
}

int XOLASC(int unit, std::string& file, bool ask) {
  return open_simple(unit, file, "XOLASC", "OLD", "FORMATTED", true, ask);
}

int XEXIST(int unit, std::string& file, bool ask) {
  return open_simple(unit, file, "XEXIST", "OLD", "FORMATTED", false, ask);
}

int XOPXNA(int unit, std::string& file, bool ask) {
  return open_simple(unit, file, "XOPXNA", "NEW", "FORMATTED", true, ask);
}

int XOPXUA(int unit, std::string& file, bool ask) {
  return open_simple(unit, file, "XOPXUA", "UNKNOWN", "FORMATTED", true, ask);
}

int XOPXOB(int unit, std::string& file, bool ask) {
  return open_simple(unit, file, "XOPXOB", "OLD", "UNFORMATTED", true, ask);
}

int XOPXNB(int unit, std::string& file, bool ask) {
  return open_simple(unit, file, "XOPXNB", "NEW", "UNFORMATTED", true, ask);
}

int XOPXUB(int unit, std::string& file, bool ask) {
  return open_simple(unit, file, "XOPXUB", "UNKNOWN", "UNFORMATTED", true, ask);
}

int XOPENL(int unit, std::string& file, std::string_view status, std::string_view form, int recl,
           bool ask) {
  int iostat = 0;
  return open_file(unit, file, "XOPENL", status, form, "SEQUENTIAL", "", recl, true, ask, iostat);
}

int XOPENA(int unit, std::string& file, std::string_view status, std::string_view form,
           std::string_view access, bool ask) {
  int iostat = 0;
  return open_file(unit, file, "XOPENA", status, form, access, "", 0, true, ask, iostat);
}

int XOPENC(int unit, std::string& file, std::string_view status, std::string_view form,
           std::string_view carctl, bool ask) {
  ERRMSG("CARRIAGECONTROL no longer supported (XOPENC)");
  int iostat = 0;
  return open_file(unit, file, "XOPENC", status, form, "SEQUENTIAL", carctl, 0, true, ask, iostat);
}

int XOPENR(int unit, std::string& file, std::string_view status, std::string_view form,
           bool readonly, bool ask) {
  ERRMSG("READONLY no longer supported (XOPENR)");
  int iostat = 0;
  return open_file(unit, file, "XOPENR", status, form, "SEQUENTIAL", "", 0, true, ask, iostat);
}

int XOPENX(int unit, std::string& file, std::string_view status, std::string_view form,
           std::string_view access, std::string_view carctl, int recl, bool readonly, bool ask,
           int& iostat) {
  ERRMSG("READONLY no longer supported (XOPENR)");
  ERRMSG("CARRIAGECONTROL no longer supported (XOPENX)");
  return open_file(unit, file, "XOPENX", status, form, access, carctl, recl, true, ask, iostat);
}

int XOPXOA(int unit, std::string& file, bool ask) {
  const std::string name(rtrim(file));
  if (name.empty()) {
    ERRMSG("XOPXOA - No file name provided");
    return -1;
  }
  if (unit <= 0) {
    ERRMSG("XOPXOA - Zero or negative unit number");
    return -1;
  }
  const std::vector<std::string>& path = zvpath();
  if (name.find('/') != std::string::npos || path.empty()) return XOLASC(unit, file, ask);

  std::string here = name;
  if (XEXIST(unit, here, ask) == 0) return 0;
  for (const std::string& entry : path) {
    const std::string_view dir = rtrim(entry);
    if (dir.size() + name.size() > static_cast<std::size_t>(kMaxJoinedName)) continue;
    std::string full = std::string(dir) + name;
    if (XEXIST(unit, full, ask) == 0) {
      (void)textuo(" ==> Found file in ZVPATH :", full);
      return 0;
    }
  }
  ERRMSG("XOPXOA - File not found in ZVPATH");
  return XOLASC(unit, file, ask);
}

int close_written_unit(int unit, std::string_view failure, int write_error) {
  const bool was_open = unit_is_open(unit);
  const std::string path = unit_name(unit);  // the file actually open
  const int closed = unit_close_checked(unit);
  const int err = write_error != 0 ? write_error : closed;
  if (err == 0) return 0;
  ERRMSG(failure);
  std::string text = std::strerror(err);
  if (text.size() > static_cast<std::size_t>(kSystemTextLen)) text.resize(kSystemTextLen);
  (void)textuo(" Error :", text);
  if (!was_open) return err;  // nothing was opened, so nothing was cut
  struct stat st {};
  if (!path.empty() && ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
      ::unlink(path.c_str()) == 0) {
    TXTOUT(" Incomplete file removed");
  } else {
    TXTOUT(" The file is incomplete");
  }
  return err;
}

int close_written_file(int unit, const std::string& file) {
  return close_written_unit(unit, "While writing file " + (file.empty() ? unit_name(unit) : file));
}

}  // namespace zv
