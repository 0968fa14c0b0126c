// The program frame: start-up and stop banners, run mode, the argument table,
// the search path, environment settings, CPU times and the small system
// queries. All of the process's frame state lives in one object.
#include "core/frame.h"

#include <pwd.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <ctime>

#include "core/dialogue.h"
#include "core/messages.h"
#include "core/strings.h"
#include "core/units.h"
#include "text/format.h"

namespace zv {
namespace {

constexpr std::size_t kFieldLen = 20;     // program name, version, user, mode
constexpr std::size_t kZvpathLen = 1000;  // characters of ZVPATH looked at
constexpr std::size_t kZvlibLen = 256;    // characters of ZVLIB looked at
constexpr int kDefaultFileLen = 256;      // file variable length of LIBFILE(file)

constexpr const char* kStartAttribution[] = {
    " Part of the zv suite of programs for structural biology",
    " Questions are answered on standard input; an empty answer keeps the default",
};
constexpr const char* kStopAttribution[] = {
    " Thank you for using the zv suite of programs for structural biology",
};

struct FrameState {
  std::string prog = "???";
  std::string version = "???";
  std::string user;
  std::string time;  // start time, replaced by the stop time at ZVSTOP
  std::string mode;
  bool interactive = false;
  bool batch = false;
  bool socket = false;
  float cpu_user = 0.0f;
  float cpu_sys = 0.0f;
  bool tty = false;
  std::string tty_name;
  std::string host;
  int pid = 0;
  std::string pid_text;
  std::vector<std::string> args;
  std::vector<std::string> path;
  RunFlags flags;
};

FrameState& frame() {
  static FrameState s;
  return s;
}

void line(std::string_view text) { (void)unit_write_line(kUnitStdout, text); }

// Cuts to the field width and drops trailing blanks.
std::string field(std::string_view s, std::size_t w) {
  return std::string(rtrim(s.substr(0, std::min(s.size(), w))));
}

void read_cpu(float& user, float& sys) {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  user = static_cast<float>(ru.ru_utime.tv_sec) + static_cast<float>(ru.ru_utime.tv_usec) * 1.0e-6f;
  sys = static_cast<float>(ru.ru_stime.tv_sec) + static_cast<float>(ru.ru_stime.tv_usec) * 1.0e-6f;
}

std::string collapsed_time() {
  std::string t = DATETM();
  ONEBLANK(t);
  return t;
}

// "(3(1x,a,f8.1))" with three labels and the CPU times.
std::string cpu_line(const char* l1, const char* l2, const char* l3, float user, float sys,
                     float total) {
  std::string out;
  format_append(out, "(3(1x,a,f8.1))", {l1, user, l2, sys, l3, total});
  if (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

void print_banner(const FrameState& f, std::string_view stars) {
  line("");
  line(stars);
  line("");
  line(" Version  - " + f.version);
  for (const char* a : kStartAttribution) line(a);
  line("");
  line(" Started  - " + f.time);
  line(" User     - " + f.user);
  line(" Mode     - " + f.mode);
  if (LENSTR(f.host) > 0) line(" Host     - " + f.host);
  if (f.pid > 0) line(" ProcID   - " + f.pid_text);
  if (f.tty)
    line(" Tty      - " + f.tty_name);
  else
    line(" Not using a tty as input device");
  line("");
  line(stars);
  line("");
  int nref = 0;
  PROGREFS(f.prog, nref);
  if (nref > 0) {
    line("");
    line(stars);
    line("");
  }
}

void print_stop_banner(FrameState& f, std::string_view stars, float user, float sys, float total) {
  line("");
  line("");
  line(stars);
  line("");
  line(" Version - " + f.version);
  line(" Started - " + f.time);
  f.time = collapsed_time();
  line(" Stopped - " + f.time);
  line("");
  line(" CPU-time taken :");
  line(cpu_line("User    - ", "Sys    - ", "Total   - ", user, sys, total));
  line("");
  line(stars);
  line("");
  for (const char* a : kStopAttribution) line(a);
  line("");
  line(stars);
  line("");
}

}  // namespace

RunFlags& run_flags() { return frame().flags; }

std::string stars_line(std::string_view prognm) {
  const std::string name = fit(prognm, kFieldLen);
  const int len = LENST1(name);
  // 75 / (L + 5) copies: nine for a three-letter name, six for six letters.
  const int n = 75 / (len + 5);
  std::string s = " *** ";
  for (int i = 0; i < n; ++i) {
    s.append(name, 0, static_cast<std::size_t>(len));
    s += " *** ";
  }
  return std::string(rtrim(s));
}

void ZVSTART(std::string_view prognm, std::string_view version, int argc, char** argv) {
  FrameState& f = frame();
  float total = 0, user = 0, sys = 0;
  CPUDIF(total, user, sys);
  f.time = collapsed_time();
  f.prog = field(prognm, kFieldLen);
  f.version = field(version, kFieldLen);
  f.user = field(USERNM(), kFieldLen);
  if (f.user.empty()) f.user = "A. Nonymous";
  f.tty = TTYNM(kUnitStdin, f.tty_name);
  ZVARGS(argc, argv);
  std::string value;
  f.path.clear();
  if (ENVGET("ZVPATH", value) == 0) f.path = parse_zvpath(value);
  f.mode = RUNMODE();
  f.host = HOSTNM();
  f.pid = PROCID();
  f.pid_text = std::to_string(f.pid);

  const std::string stars = stars_line(f.prog);
  if (f.socket) {
    // A link closed by Mova must show as a failed send, not kill the process.
    std::signal(SIGPIPE, SIG_IGN);
    MOVAPRINT(kUnitStdout, "Opened socket " + std::string(program_name()) + " V-" + f.version);
    return;
  }
  print_banner(f, stars);
}

void set_fatal_exit() { frame().flags.fatal = true; }

void ZVSTOP() {
  FrameState& f = frame();
  if (!f.flags.stopping) {
    // A failed send below may lead through ERRFAT back here; the second
    // entry only ends the process.
    f.flags.stopping = true;
    float total = 0, user = 0, sys = 0;
    CPUTIM(total, user, sys);
    const std::string stars = stars_line(f.prog);
    if (f.socket) {
      // Each send is skipped once the link has failed.
      if (!f.flags.link_broken)
        MOVAPRINT(kUnitStdout,
                  "CPU time (sec) : " + cpu_line("User - ", "Sys - ", "Total - ", user, sys, total));
      if (!f.flags.link_broken)
        MOVAPRINT(kUnitStdout, "Closed socket " + std::string(program_name()) + " V-" + f.version);
      if (!f.flags.link_broken) MOVACLOSE(kUnitStdout);
    } else {
      print_stop_banner(f, stars, user, sys, total);
    }
  }
  unit_flush_all();
  (void)unit_write_line(0, "STOP ... Toodle pip ... statement executed");
  (void)unit_flush(0);
  throw Stop{f.flags.fatal ? 1 : 0};
}

void CPUTIM(float& total, float& user, float& sys) {
  read_cpu(user, sys);
  total = user + sys;
}

void CPUDIF(float& total, float& user, float& sys) {
  FrameState& f = frame();
  float u = 0, s = 0;
  read_cpu(u, s);
  user = u - f.cpu_user;
  sys = s - f.cpu_sys;
  total = user + sys;
  f.cpu_user = u;
  f.cpu_sys = s;
}

std::string RUNMODE() {
  FrameState& f = frame();
  f.interactive = true;
  f.batch = false;
  f.socket = false;
  for (const std::string& a : f.args) {
    std::string s = a;
    NOBLANKS(s);
    UPCSTR(s);
    if (s.size() < 2 || s[0] != '-') continue;
    if (s[1] == 'I') break;
    if (s[1] == 'B') {
      f.interactive = false;
      f.batch = true;
      break;
    }
    if (s[1] == 'S') {
      f.interactive = false;
      f.socket = true;
      break;
    }
  }
  return f.socket ? "socket" : f.batch ? "batch" : "interactive";
}

bool ISINTR() { return frame().interactive; }
bool ISSOCK() { return frame().socket; }

std::string USERNM() {
  // The account of the effective user; getlogin() knows nobody without a
  // controlling terminal.
  passwd pw{};
  passwd* res = nullptr;
  char buf[1024];
  if (getpwuid_r(geteuid(), &pw, buf, sizeof buf, &res) == 0 && res && res->pw_name)
    return res->pw_name;
  return std::string();
}

std::string HOSTNM() { return "localhost (Linux/i386)"; }

bool TTYNM(int unit, std::string& name) {
  const int fd = unit_fd(unit);
  char buf[256];
  if (fd >= 0 && isatty(fd) && ttyname_r(fd, buf, sizeof buf) == 0) {
    name = buf;
    return true;
  }
  name = "Not a tty";
  return false;
}

int PROCID() { return static_cast<int>(getpid()); }

std::string DATETM() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char buf[64];
  // The 24 characters of ctime(): "Wed Jun  3 09:05:01 1998".
  if (std::strftime(buf, sizeof buf, "%a %b %e %H:%M:%S %Y", &tm) == 0) return std::string(24, ' ');
  return buf;
}

std::string_view program_name() { return frame().prog; }
std::string_view program_version() { return frame().version; }
std::string_view program_user() { return frame().user; }

void ZVARGS(int argc, char** argv) {
  FrameState& f = frame();
  f.args.clear();
  int n = argc - 1;
  if (n <= 0 || !argv) return;
  if (n > kMaxArgs) {
    ERRMSG("ZVARGS - too many command line arguments");
    n = kMaxArgs;
  }
  for (int i = 1; i <= n; ++i)
    f.args.push_back(field(argv[i] ? argv[i] : "", static_cast<std::size_t>(kArgLen)));
}

int ARGNUM() { return static_cast<int>(frame().args.size()); }

int ARGGET(int i, std::string& text) {
  const auto& args = frame().args;
  if (args.empty()) return -2;
  if (i < 1 || i > static_cast<int>(args.size())) return -1;
  text = args[static_cast<std::size_t>(i - 1)];
  return 0;
}

int ENVGET(std::string_view name, std::string& value) {
  value.clear();
  const std::size_t start = name.find_first_not_of(' ');
  if (start != 0 || name.empty()) return -1;  // blank, or begins with a blank
  const std::string var(name.substr(0, name.find(' ')));
  const char* v = std::getenv(var.c_str());
  if (!v || LENSTR(v) == 0) return -2;
  value = rtrim(v);
  return 0;
}

void ENVINT(std::string_view name, int& ival) {
  const int len = LENSTR(name);
  if (len == 0) return;
  const std::string_view key = name.substr(0, static_cast<std::size_t>(len));
  std::string value;
  int v = 0;
  if (ENVGET(name, value) == 0 && STRINT(value, v) == 0) ival = v;
  const auto& args = frame().args;
  if (args.size() < 2) return;
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    if (fit(upper(args[i]), static_cast<std::size_t>(len)) != key) continue;
    // Only the first matching argument counts, whether its value reads or not.
    if (STRINT(args[i + 1], v) == 0) ival = v;
    return;
  }
}

void LIBFILE(std::string& file) { LIBFILE(file, kDefaultFileLen); }

void LIBFILE(std::string& file, int len) {
  std::string dir;
  if (ENVGET("ZVLIB", dir) != 0) return;
  if (dir.size() > kZvlibLen) dir.resize(kZvlibLen);
  if (dir.back() != '/') {
    if (dir.size() >= kZvlibLen) return;
    dir += '/';
  }
  const std::string_view name = rtrim(file);
  if (dir.size() + name.size() > static_cast<std::size_t>(std::max(len, 0))) return;
  file = dir + std::string(name);
}

std::vector<std::string> parse_zvpath(std::string_view value) {
  std::vector<std::string> out;
  std::string_view rest = rtrim(value.substr(0, std::min(value.size(), kZvpathLen)));
  if (LENSTR(rest) == 0) return out;
  if (!rest.empty() && rest.front() == ':') rest.remove_prefix(1);
  if (!rest.empty() && rest.back() == ':') rest.remove_suffix(1);
  while (static_cast<int>(out.size()) < kMaxPath) {
    const std::size_t colon = rest.find(':');
    const std::string_view elem = rest.substr(0, colon);
    if (elem.size() <= static_cast<std::size_t>(kPathLen)) {
      std::string e(elem);
      NOBLANKS(e);
      // An entry of the full length keeps its "/" too: a cut slash would
      // join directory and file name into a wrong path.
      if (e.empty() || e.back() != '/') e += '/';
      out.push_back(std::move(e));
    }
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  return out;
}

const std::vector<std::string>& zvpath() { return frame().path; }

void frame_reset_for_test() { frame() = FrameState{}; }

}  // namespace zv
