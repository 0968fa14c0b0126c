// The program frame: start-up banner, run mode, command-line arguments,
// search path, environment settings, CPU times, references and the stop.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

// Thrown by ZVSTOP after its banner; each main() catches it and returns code.
struct Stop {
  int code;
};

inline constexpr int kMaxArgs = 64;
inline constexpr int kArgLen = 128;
inline constexpr int kMaxPath = 50;
inline constexpr int kPathLen = 100;

// Start-up: stores arguments (argc/argv of main), search path, run mode, and
// prints the banner (or sends the socket message).
void ZVSTART(std::string_view prognm, std::string_view version, int argc, char** argv);
// Shut-down banner, "STOP ... Toodle pip ... statement executed" on stderr,
// then throws Stop{0} (Stop{1} after a fatal error).
[[noreturn]] void ZVSTOP();
// Marks the run as failed, so that ZVSTOP ends with exit status 1 (ERRFAT).
void set_fatal_exit();

void CPUTIM(float& total, float& user, float& sys);
void CPUDIF(float& total, float& user, float& sys);
std::string RUNMODE();
bool ISINTR();
bool ISSOCK();
std::string USERNM();
std::string HOSTNM();
bool TTYNM(int unit, std::string& name);
int PROCID();
std::string DATETM();

// Frame values (program name, version and user without trailing blanks).
std::string_view program_name();
std::string_view program_version();
std::string_view program_user();

// Stores the command-line arguments (called by ZVSTART): at most kMaxArgs,
// each cut to kArgLen characters; more give an error message.
void ZVARGS(int argc, char** argv);
int ARGNUM();
// ierr 0, -1 when i is greater than the count, -2 when there are no arguments.
[[nodiscard]] int ARGGET(int i, std::string& text);
// ierr 0 when set and not blank, -2 when unset or blank, -1 for a blank name.
[[nodiscard]] int ENVGET(std::string_view name, std::string& value);
void ENVINT(std::string_view name, int& ival);
void LIBFILE(std::string& file);
// As LIBFILE for a file variable of `len` characters: the name is only
// prefixed when directory and name together fit in len.
void LIBFILE(std::string& file, int len);

// The search path read from ZVPATH, every entry ending in "/".
const std::vector<std::string>& zvpath();
// The entries of a ZVPATH value: at most kMaxPath; elements longer than
// kPathLen are skipped; blanks removed; each ends in "/".
std::vector<std::string> parse_zvpath(std::string_view value);

void PROGREFS(std::string_view prognm, int& nref);
void PRTREF(int& nref, std::string_view line1, std::string_view line2, std::string_view line3,
            std::string_view line4, std::string_view line5, std::string_view link);

// The stars line of the banners: " *** " and the program name repeated.
std::string stars_line(std::string_view prognm);

// Run state shared by the frame and the message routines.
struct RunFlags {
  bool fatal = false;            // ERRFAT was called: exit status 1
  bool stopping = false;         // ZVSTOP is running
  bool reporting_fatal = false;  // ERRFAT is reporting its message
  bool link_broken = false;      // a send to Mova on unit 6 failed
};
RunFlags& run_flags();

// Tests only: forget everything ZVSTART stored, as at program load.
void frame_reset_for_test();

}  // namespace zv
