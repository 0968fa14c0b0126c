// Error messages, fatal errors and the Mova link. Outside socket mode the
// messages are printed lines on unit 6; in socket mode they are sent as Mova
// print commands. A send that fails is itself an error (fatal unless
// interactive); the run flags keep that from going round in circles.
#include "core/messages.h"

#include <string>

#include "core/frame.h"
#include "core/strings.h"
#include "core/units.h"

namespace zv {
namespace {

constexpr std::size_t kSocketMessageLen = 128;  // socket messages are cut here
constexpr std::size_t kMovaTextLen = 1024;      // text a print command carries

std::string cut(std::string s, std::size_t n) {
  if (s.size() > n) s.resize(n);
  return s;
}

// The last resort when the link to Mova is gone: the text goes to standard
// error, the only stream still read.
void plain_to_stderr(std::string_view text) {
  (void)unit_write_line(0, text);
  (void)unit_flush(0);
}

}  // namespace

void ERRMSG(std::string_view text) {
  const std::string_view t = rtrim(text);
  if (ISSOCK()) {
    if (t.empty())
      MOVAPRINT(kUnitStdout, "***UNKNOWN ERROR***");
    else
      MOVAPRINT(kUnitStdout, cut(" ERROR --- " + std::string(t), kSocketMessageLen));
    return;
  }
  (void)unit_write_line(kUnitStdout,
                        " ERROR --- " + std::string(t.empty() ? "***UNKNOWN ERROR***" : t));
}

void ERRFAT(std::string_view text) {
  RunFlags& flags = run_flags();
  set_fatal_exit();
  const std::string_view t = rtrim(text);
  const std::string printed = " FATAL ERROR --- " +
                              std::string(t.empty() ? "***UNKNOWN FATAL ERROR***" : t) +
                              " - execution aborted !";
  if (ISSOCK()) {
    const bool again = flags.reporting_fatal;
    flags.reporting_fatal = true;
    if (!again && !flags.link_broken)
      MOVAPRINT(kUnitStdout, t.empty() ? std::string("***UNKNOWN FATAL ERROR***")
                                       : cut(printed, kSocketMessageLen));
    // The link is gone (before or by this send): the message goes out as
    // plain text and the stop sends nothing more.
    if (flags.link_broken) plain_to_stderr(printed);
  } else {
    (void)unit_write_line(kUnitStdout, printed);
  }
  ZVSTOP();
}

void ERRBAT(std::string_view text) {
  if (ISINTR())
    ERRMSG(text);
  else
    ERRFAT(text);
}

void MOVAPRINT(int unit, std::string_view text) {
  if (unit <= 0 || LENSTR(text) == 0) return;
  std::string t(text.substr(0, std::min(text.size(), kMovaTextLen)));
  ONEBLANK(t);
  RunFlags& flags = run_flags();
  const bool link = unit == kUnitStdout;
  int rc = 0;
  if (link && flags.link_broken) {
    rc = -1;
  } else {
    std::string line = "PRINT \"";
    line.append(rtrim(t));
    line += '"';
    rc = unit_write_line(unit, line);
    if (rc == 0) rc = unit_flush(unit);
  }
  if (rc == 0) return;
  if (link) flags.link_broken = true;
  // While a fatal error is reported (its own send, or the stop after it) a
  // failed send is not reported again: ERRFAT prints its message as plain
  // text and the stop ends the program.
  if (flags.reporting_fatal) return;
  ERRBAT("MOVAPRINT - could not send text to Mova");
}

void MOVACLOSE(int unit) {
  if (!ISSOCK()) return;
  RunFlags& flags = run_flags();
  const bool link = unit == kUnitStdout;
  int rc = -1;
  if (!(link && flags.link_broken)) {
    rc = unit_write_line(unit, "CLS");
    if (rc == 0) rc = unit_flush(unit);
  }
  if (rc == 0) return;
  if (link) flags.link_broken = true;
  ERRBAT("MOVACLOSE - could not send CLOSE signal to Mova");
}

}  // namespace zv
