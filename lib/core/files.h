// Opening files on units: the XOPEN family. Every member closes what the unit
// had open, normalises the open parameters (status OLD/NEW/SCRATCH/UNKNOWN,
// form FORMATTED/UNFORMATTED, access SEQUENTIAL/DIRECT/KEYED/APPEND), opens
// the file and returns ierr:
//    0  opened
//    1  unit not positive
//    2  open failed, status OLD or UNKNOWN, file name given
//    3  open failed, status OLD or UNKNOWN, no file name
//    4  open failed, status NEW or SCRATCH, file name given
//    5  open failed, status NEW or SCRATCH, no file name
//   10  negative record length
//   11  DIRECT or KEYED access asked for a formatted file
//   -1  XOPXOA only: blank file name or unit not positive
// A failure is reported with the operating system's error text; when `ask`
// is true (callers pass ISINTR()) the user may retry under another name or,
// for a new file that already exists, open it as an old one. `file` receives
// the name finally used.
//
// How the units are used: a file opened with status OLD is opened for
// reading. NEW, UNKNOWN and SCRATCH open it for writing from the start (NEW
// fails with EEXIST when the file exists, UNKNOWN creates or truncates,
// SCRATCH makes an anonymous temporary file that disappears when the unit is
// closed). APPEND access opens for writing at the end (OLD: the file must
// exist; UNKNOWN/NEW: created when missing). A file the caller first asked to
// open NEW or UNKNOWN and that the user then agrees to open as OLD is opened
// for writing, as the caller intends to write it. UNFORMATTED files are
// opened as text like formatted ones; DIRECT and KEYED access are accepted
// for unformatted files and opened as sequential files. A name that is blank
// opens the unit's default file "fort.<unit>". The run-time open status shown
// after "error #" (and returned in XOPENX's iostat) is the errno.
#pragma once

#include <string>
#include <string_view>

namespace zv {

// Status, form, access and carriage control are taken up to this length.
inline constexpr int kOpenParamLen = 30;
// Joined search-path names longer than this are not tried by XOPXOA.
inline constexpr int kMaxJoinedName = 500;

// Sequential access with the caller's status and form.
[[nodiscard]] int XOPEN(int unit, std::string& file, std::string_view status,
                        std::string_view form, bool ask);
// Existing formatted file.
[[nodiscard]] int XOLASC(int unit, std::string& file, bool ask);
// Existing formatted file, quiet: no message and no question on failure.
[[nodiscard]] int XEXIST(int unit, std::string& file, bool ask);
// New formatted file / formatted file, created or overwritten.
[[nodiscard]] int XOPXNA(int unit, std::string& file, bool ask);
[[nodiscard]] int XOPXUA(int unit, std::string& file, bool ask);
// The unformatted counterparts: old, new, unknown.
[[nodiscard]] int XOPXOB(int unit, std::string& file, bool ask);
[[nodiscard]] int XOPXNB(int unit, std::string& file, bool ask);
[[nodiscard]] int XOPXUB(int unit, std::string& file, bool ask);
// With a record length (0 for none).
[[nodiscard]] int XOPENL(int unit, std::string& file, std::string_view status,
                         std::string_view form, int recl, bool ask);
// With an access.
[[nodiscard]] int XOPENA(int unit, std::string& file, std::string_view status,
                         std::string_view form, std::string_view access, bool ask);
// With a carriage control, which is only shown in messages; first reports
// "CARRIAGECONTROL no longer supported (XOPENC)".
[[nodiscard]] int XOPENC(int unit, std::string& file, std::string_view status,
                         std::string_view form, std::string_view carctl, bool ask);
// With a read-only flag, which has no effect; first reports "READONLY no
// longer supported (XOPENR)".
[[nodiscard]] int XOPENR(int unit, std::string& file, std::string_view status,
                         std::string_view form, bool readonly, bool ask);
// Everything; reports both "no longer supported" lines and returns the
// run-time open status (errno, 0 on success) in iostat.
[[nodiscard]] int XOPENX(int unit, std::string& file, std::string_view status,
                         std::string_view form, std::string_view access,
                         std::string_view carctl, int recl, bool readonly, bool ask,
                         int& iostat);
// Existing formatted file, looked for in the current directory and then
// along ZVPATH when the name holds no "/". A file found in a path directory
// is reported with " ==> Found file in ZVPATH :" and the full name; the
// caller's `file` keeps the name it gave.
[[nodiscard]] int XOPXOA(int unit, std::string& file, bool ask);

// Closes a file that the program wrote on unit and checks that every byte
// reached it (every write, the final flush and the close; see
// unit_close_checked). Returns 0, or the first error number. A failure is
// reported with ERRMSG "While writing file " and the name, then " Error :"
// with the system's text; a regular file is then removed, so that a cut file
// is never taken for a complete one (" Incomplete file removed"); any other
// file (a device) is left and said to be incomplete.
[[nodiscard]] int close_written_file(int unit, const std::string& file);
// The same for a writer that names its failure in its own words: the failure
// is reported with ERRMSG(failure) instead of the file's name. write_error is
// an error the caller met on a write of its own (0 when none); it counts as
// the failure even when the unit itself recorded none. A unit that was not
// open has no file to remove or to call incomplete.
[[nodiscard]] int close_written_unit(int unit, std::string_view failure, int write_error = 0);

}  // namespace zv
