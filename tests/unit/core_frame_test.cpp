// The program frame in-process: run mode, arguments, search path, settings,
// banners and the stop, with units 5, 6 and 0 on memory streams.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "core/dialogue.h"
#include "core/frame.h"
#include "core_session.h"

using zvtest::Session;

namespace {

// Sets an environment variable for the lifetime of the object.
class EnvVar {
 public:
  EnvVar(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, had_ = true;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~EnvVar() {
    if (had_)
      setenv(name_.c_str(), old_.c_str(), 1);
    else
      unsetenv(name_.c_str());
  }

 private:
  std::string name_, old_;
  bool had_ = false;
};

std::vector<std::string> split_lines(const std::string& s) {
  std::vector<std::string> v;
  std::size_t a = 0;
  while (a < s.size()) {
    const std::size_t nl = s.find('\n', a);
    v.push_back(s.substr(a, nl - a));
    if (nl == std::string::npos) break;
    a = nl + 1;
  }
  return v;
}

TEST(FrameRunMode, FirstMatchingArgumentDecides) {
  struct Case {
    std::vector<std::string> args;
    const char* mode;
  };
  const Case cases[] = {
      {{}, "interactive"},
      {{"-B"}, "batch"},
      {{"-s", "-i"}, "socket"},
      {{"-I", "-S"}, "interactive"},
      {{" - b"}, "batch"},
      {{"-batch"}, "batch"},
      {{"file", "-Bxyz"}, "batch"},
      {{"-", "-x", "b"}, "interactive"},
      {{"ZVBUFFER", "100", "-S", "-B"}, "socket"},
      {{"--B"}, "interactive"},
  };
  for (const Case& c : cases) {
    Session s("", c.args);
    EXPECT_EQ(zv::RUNMODE(), c.mode) << (c.args.empty() ? "" : c.args[0]);
    const std::string m = c.mode;
    EXPECT_EQ(zv::ISINTR(), m == "interactive");
    EXPECT_EQ(zv::ISSOCK(), m == "socket");
  }
}

TEST(FrameStars, RepetitionsByNameLength) {
  const std::pair<const char*, int> cases[] = {
      // 75 / (L + 5) with L at least 1: a blank name counts as one letter.
      {"a", 12}, {"ab", 10}, {"zev", 9}, {"abcd", 8}, {"kelvor", 6}, {"", 12}, {" ", 12},
      {"averyveryverylongname", 3}  // cut to 20 characters: 75 / 25
  };
  for (const auto& [name, n] : cases) {
    const std::string line = zv::stars_line(name);
    int count = 0;
    for (std::size_t p = line.find("***"); p != std::string::npos; p = line.find("***", p + 3))
      ++count;
    EXPECT_EQ(count, n + 1) << name;
    EXPECT_EQ(line.substr(0, 5), " *** ") << name;
    EXPECT_EQ(line.substr(line.size() - 4), " ***") << name;
  }
  EXPECT_EQ(zv::stars_line("zev"),
            " *** zev *** zev *** zev *** zev *** zev *** zev *** zev *** zev *** zev ***");
}

TEST(FrameZvpath, Parsing) {
  struct Case {
    std::string value;
    std::vector<std::string> entries;
  };
  const Case cases[] = {
      {":/a/b::/c:", {"/a/b/", "/", "/c/"}},
      {"", {}},
      {"    ", {}},
      {"/x/", {"/x/"}},
      {"a b:c", {"ab/", "c/"}},
      {"::", {"/"}},
      {"/a:" + std::string(101, 'd') + ":/b", {"/a/", "/b/"}},
      {std::string(100, 'e'), {std::string(100, 'e') + "/"}},
  };
  for (const Case& c : cases) EXPECT_EQ(zv::parse_zvpath(c.value), c.entries) << c.value;

  std::string sixty;
  for (int i = 1; i <= 60; ++i) sixty += "/d" + std::to_string(i) + (i < 60 ? ":" : "");
  const auto p = zv::parse_zvpath(sixty);
  ASSERT_EQ(p.size(), 50u);
  EXPECT_EQ(p.front(), "/d1/");
  EXPECT_EQ(p.back(), "/d50/");
}

TEST(FrameZvpath, ReadAtStart) {
  EnvVar v("ZVPATH", ":/a/b::/c:");
  Session s("", {"-B"});
  zv::ZVSTART("zvtest", "1.0", s.argc(), s.argv());
  EXPECT_EQ(zv::zvpath(), (std::vector<std::string>{"/a/b/", "/", "/c/"}));
}

TEST(FrameArgs, StoredArguments) {
  Session s("", {});
  std::string a = "unchanged";
  EXPECT_EQ(zv::ARGNUM(), 0);
  EXPECT_EQ(zv::ARGGET(1, a), -2);

  s.set_args({"-B", std::string(200, 'L'), "x  "});
  EXPECT_EQ(zv::ARGNUM(), 3);
  EXPECT_EQ(zv::ARGGET(2, a), 0);
  EXPECT_EQ(a, std::string(128, 'L'));
  EXPECT_EQ(zv::ARGGET(3, a), 0);
  EXPECT_EQ(a, "x");
  EXPECT_EQ(zv::ARGGET(4, a), -1);
  EXPECT_EQ(s.out(), "");

  std::vector<std::string> many;
  for (int i = 1; i <= 65; ++i) many.push_back("a" + std::to_string(i));
  s.set_args(many);
  EXPECT_EQ(zv::ARGNUM(), 64);
  EXPECT_EQ(zv::ARGGET(64, a), 0);
  EXPECT_EQ(a, "a64");
  EXPECT_EQ(s.out(), " ERROR --- ZVARGS - too many command line arguments\n");
}

TEST(FrameEnv, Envget) {
  EnvVar set("ZVTEST_SET", "  value  ");
  EnvVar blank("ZVTEST_BLANK", "   ");
  EnvVar unset("ZVTEST_UNSET", nullptr);
  std::string v = "x";
  EXPECT_EQ(zv::ENVGET("ZVTEST_SET", v), 0);
  EXPECT_EQ(v, "  value");
  EXPECT_EQ(zv::ENVGET("ZVTEST_SET and more", v), 0);  // name ends at its first blank
  EXPECT_EQ(zv::ENVGET("ZVTEST_BLANK", v), -2);
  EXPECT_EQ(zv::ENVGET("ZVTEST_UNSET", v), -2);
  EXPECT_EQ(zv::ENVGET("   ", v), -1);
  EXPECT_EQ(zv::ENVGET("", v), -1);
}

TEST(FrameEnv, EnvintEnvironmentThenCommandLine) {
  struct Case {
    const char* env;  // nullptr: unset
    std::vector<std::string> args;
    int expected;
    bool message;  // the STRINT message is printed
  };
  const Case cases[] = {
      {nullptr, {}, 500000, false},
      {"800000", {}, 800000, false},
      {"800000", {"ZVBUFFER", "1000000"}, 1000000, false},
      {nullptr, {"-B", "zvbuffer", "7"}, 7, false},       // arguments are upper-cased
      {nullptr, {"ZVBUFFERX", "9"}, 9, false},            // any argument beginning with the name
      {"abc", {}, 500000, true},                           // bad environment value
      {"800000", {"ZVBUFFER", "x", "ZVBUFFER", "9"}, 800000, true},  // only the first match
      {"800000", {"-B", "ZVBUFFER"}, 800000, false},      // the name as last argument
      {"   ", {}, 500000, false},
  };
  for (const Case& c : cases) {
    EnvVar v("ZVBUFFER", c.env);
    Session s("", c.args);
    int ival = 500000;
    zv::ENVINT("ZVBUFFER", ival);
    EXPECT_EQ(ival, c.expected) << (c.env ? c.env : "unset");
    EXPECT_EQ(s.out().find("While reading integer") != std::string::npos, c.message)
        << (c.env ? c.env : "unset");
  }
  Session s("", {"", "5"});
  int ival = 3;
  zv::ENVINT("  ", ival);  // a blank name does nothing
  EXPECT_EQ(ival, 3);
}

TEST(FrameEnv, Libfile) {
  struct Case {
    const char* zvlib;
    int len;
    const char* expected;
  };
  const Case cases[] = {
      {nullptr, 256, "db.sse"},     {"  ", 256, "db.sse"},        {"/lib", 256, "/lib/db.sse"},
      {"/lib/", 256, "/lib/db.sse"}, {"/lib", 11, "/lib/db.sse"},  {"/lib", 10, "db.sse"},
  };
  for (const Case& c : cases) {
    EnvVar v("ZVLIB", c.zvlib);
    std::string f = "db.sse";
    zv::LIBFILE(f, c.len);
    EXPECT_EQ(f, c.expected) << (c.zvlib ? c.zvlib : "unset") << " " << c.len;
  }
  EnvVar full("ZVLIB", std::string(256, 'd').c_str());
  std::string f = "db.sse";
  zv::LIBFILE(f);
  EXPECT_EQ(f, "db.sse");  // no room for the "/"
}

TEST(FrameQueries, SystemTexts) {
  const std::string d = zv::DATETM();
  EXPECT_EQ(d.size(), 24u);
  EXPECT_TRUE(std::regex_match(d, std::regex(R"([A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9]\d \d\d:\d\d:\d\d \d{4})")))
      << d;
  const std::string h = zv::HOSTNM();
  EXPECT_EQ(h.substr(h.size() - 13), " (Linux/i386)");
  EXPECT_GT(zv::PROCID(), 0);

  Session s("");
  std::string name;
  EXPECT_FALSE(zv::TTYNM(zv::kUnitStdin, name));  // a memory stream
  EXPECT_EQ(name, "Not a tty");
  EXPECT_FALSE(zv::TTYNM(77, name));
}

TEST(FrameQueries, CpuTimes) {
  float t = 0, u = 0, sy = 0;
  volatile double x = 0;
  for (int i = 0; i < 20000000; ++i) x = x + i * 1e-9;
  zv::CPUTIM(t, u, sy);
  EXPECT_GT(t, 0.0f);
  EXPECT_FLOAT_EQ(t, u + sy);
  zv::CPUDIF(t, u, sy);
  zv::CPUDIF(t, u, sy);
  EXPECT_GE(t, 0.0f);
  EXPECT_LT(t, 0.05f);
}

// ------------------------------------------------------------- banners

// The banner with its volatile fields replaced by "#".
std::string masked(std::string out) {
  out = std::regex_replace(out, std::regex(R"((Started  - |Started - |Stopped - |User     - |ProcID   - ).*)"),
                           "$1#");
  out = std::regex_replace(out, std::regex(R"(((?:User|Sys|Total) +- ) *[0-9]+\.[0-9])"), "$1#");
  return out;
}

const char* const kStarsZvtest =
    " *** zvtest *** zvtest *** zvtest *** zvtest *** zvtest *** zvtest ***";

TEST(FrameBanner, BatchStartAndStop) {
  Session s("", {"-B"});
  zv::ZVSTART("zvtest", "1.0", s.argc(), s.argv());
  const std::string stars = kStarsZvtest;
  EXPECT_EQ(masked(s.out()), "\n" + stars + "\n\n" +
                                 " Version  - 1.0\n"
                                 " Part of the zv suite of programs for structural biology\n"
                                 " Questions are answered on standard input; an empty answer keeps the default\n"
                                 "\n"
                                 " Started  - #\n"
                                 " User     - #\n"
                                 " Mode     - batch\n"
                                 " Host     - localhost (Linux/i386)\n"
                                 " ProcID   - #\n"
                                 " Not using a tty as input device\n"
                                 "\n" + stars + "\n\n");
  // The start time has single blanks between its parts.
  const auto lines = split_lines(s.out());
  EXPECT_TRUE(std::regex_match(lines[7], std::regex(R"( Started  - \S+ \S+ \d+ \d\d:\d\d:\d\d \d{4})")))
      << lines[7];
  EXPECT_EQ(zv::program_name(), "zvtest");
  EXPECT_EQ(zv::program_version(), "1.0");
  EXPECT_FALSE(zv::program_user().empty());

  const std::size_t before = s.out().size();
  try {
    zv::ZVSTOP();
    FAIL() << "ZVSTOP returned";
  } catch (const zv::Stop& stop) {
    EXPECT_EQ(stop.code, 0);
  }
  EXPECT_EQ(masked(s.out().substr(before)), "\n\n" + stars + "\n\n" +
                                                " Version - 1.0\n"
                                                " Started - #\n"
                                                " Stopped - #\n"
                                                "\n"
                                                " CPU-time taken :\n"
                                                " User    - # Sys    - # Total   - #\n"
                                                "\n" + stars + "\n\n" +
                                                " Thank you for using the zv suite of programs for structural biology\n"
                                                "\n" + stars + "\n\n");
  const auto stop_lines = split_lines(s.out().substr(before));
  EXPECT_TRUE(std::regex_match(stop_lines[9], std::regex(R"( User    - +\d+\.\d Sys    - +\d+\.\d Total   - +\d+\.\d)")))
      << stop_lines[9];
  EXPECT_EQ(stop_lines[9].size(), 19u + 18u + 19u);
  EXPECT_EQ(s.err(), "STOP ... Toodle pip ... statement executed\n");
}

TEST(FrameBanner, InteractiveWithReferences) {
  Session s("", {});
  zv::ZVSTART("KELVOR", "2.3", s.argc(), s.argv());
  const std::string out = s.out();
  EXPECT_NE(out.find(" Mode     - interactive\n"), std::string::npos);
  const std::string stars = zv::stars_line("KELVOR");
  // The reference block follows the second stars line and is closed by an
  // empty line, the stars line and an empty line.
  const std::size_t refs = out.find(stars + "\n\n Reference(s) for this program:\n\n *  1 * ");
  ASSERT_NE(refs, std::string::npos) << out;
  EXPECT_EQ(out.substr(out.size() - stars.size() - 4), "\n\n" + stars + "\n\n");
  EXPECT_NE(out.find("\n        https://doi.org/10.1107/S0108767388010128\n"), std::string::npos);
}

TEST(FrameBanner, SocketSendsOnlyMovaCommands) {
  Session s("", {"-S"});
  zv::ZVSTART("zvtest", "1.0", s.argc(), s.argv());
  EXPECT_EQ(s.out(), "PRINT \"Opened socket zvtest V-1.0\"\n");
  try {
    zv::ZVSTOP();
  } catch (const zv::Stop& stop) {
    EXPECT_EQ(stop.code, 0);
  }
  const auto lines = split_lines(s.out());
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_TRUE(std::regex_match(
      lines[1], std::regex(R"(PRINT "CPU time \(sec\) : User - \d+\.\d Sys - \d+\.\d Total - \d+\.\d")")))
      << lines[1];
  EXPECT_EQ(lines[2], "PRINT \"Closed socket zvtest V-1.0\"");
  EXPECT_EQ(lines[3], "CLS");
  EXPECT_EQ(s.err(), "STOP ... Toodle pip ... statement executed\n");
}

TEST(FrameBanner, BlankProgramName) {
  Session s("", {"-B"});
  zv::ZVSTART("", "", s.argc(), s.argv());
  const auto lines = split_lines(s.out());
  EXPECT_EQ(lines[1], zv::stars_line(" "));
  EXPECT_EQ(lines[3], " Version  - ");
}

// ----------------------------------------------------------- references

TEST(FrameRefs, ProgramLists) {
  struct Case {
    const char* prog;
    bool any;
  };
  // The names as the programs pass them to ZVSTART; the key is matched as it
  // stands, so other spellings and parts of a name find nothing.
  const Case cases[] = {{"KELVOR", true},   {"PRYNOL", true}, {"ZEV", true},
                        {"MARTUK", true},   {"kelvor", false}, {"unknown", false},
                        {"", false},        {"KEL", false},    {"|", false}};
  for (const Case& c : cases) {
    Session s("");
    int nref = 5;
    zv::PROGREFS(c.prog, nref);
    EXPECT_EQ(nref > 0, c.any) << c.prog;
    if (!c.any) {
      EXPECT_EQ(nref, 0) << c.prog;
      EXPECT_EQ(s.out(), "") << c.prog;
    } else {
      const std::string out = s.out();
      EXPECT_EQ(out.rfind(" Reference(s) for this program:\n", 0), 0u) << c.prog;
      EXPECT_NE(out.find("\n * " + std::string(nref < 10 ? " " : "") + std::to_string(nref) + " * "),
                std::string::npos);
    }
  }
}

TEST(FrameRefs, Prtref) {
  {
    // A blank first line prints the header only.
    Session s("");
    int nref = -3;
    zv::PRTREF(nref, "   ", "x", "", "", "", "");
    EXPECT_EQ(nref, 0);
    EXPECT_EQ(s.out(), " Reference(s) for this program:\n");
  }
  Session s("");
  int nref = 0;
  zv::PRTREF(nref, "First line", "second", "", "  ", "fifth", "https://doi.org/1");
  EXPECT_EQ(nref, 1);
  zv::PRTREF(nref, "Another", "", "", "", "", "");
  EXPECT_EQ(nref, 2);
  EXPECT_EQ(s.out(),
            " Reference(s) for this program:\n"
            "\n *  1 * First line\n"
            "        second\n"
            "        fifth\n"
            "        https://doi.org/1\n"
            "\n *  2 * Another\n");
}

}  // namespace
