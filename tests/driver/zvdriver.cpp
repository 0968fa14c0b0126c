// zvdriver: a small program that runs the frame, dialogue and message routines
// from a command loop, so that the golden transcripts can show them as a real
// program uses them (batch, interactive and socket mode, end of input, fatal
// errors). The program name shown in the banners is "zvdriver", or the value
// of ZVDRIVER_PROG (to show a program's reference list).
#include <array>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/dialogue.h"
#include "core/frame.h"
#include "core/messages.h"
#include "core/strings.h"

namespace {

using zv::ivaluo;
using zv::textii;
using zv::textuo;

void cmd_help();

void cmd_ivalii() {
  std::array<int, 3> v{1, 2, 3};
  (void)zv::ivalii(" Three integers ?", v);
  (void)ivaluo(" Integers :", v);
}

void cmd_jvalii() {
  int v = -1234567890;
  (void)zv::jvalii(" Big integer ?", v);
  (void)zv::jvaluo(" Big integer :", v);
}

void cmd_fvalii() {
  std::array<float, 2> v{1.5f, -0.25f};
  (void)zv::fvalii(" Two reals ?", v);
  (void)zv::fvaluo(" Reals :", v);
}

void cmd_gvaluo() {
  std::array<float, 4> v{0.05f, 0.1f, 1000000.0f, 2000000.0f};
  (void)zv::fvalii(" Four reals ?", v);
  (void)zv::gvaluo(" G layout :", v);
  (void)zv::rvaluo(" E layout :", v);
}

void cmd_long() {
  std::array<int, 12> v{};
  for (std::size_t i = 0; i < v.size(); ++i) v[i] = static_cast<int>(i * i * 1000);
  (void)zv::ivalii(" A question with many values, to show how a long prompt is wrapped ?", v);
  (void)ivaluo(" Values :", v);
}

void cmd_textii() {
  std::string t = "default text";
  (void)textii(" Text ?", t, 40);
  (void)textuo(" Text :", t);
}

void cmd_asciii() {
  std::array<std::string, 3> items{"ALA", "GLY", "SER"};
  (void)zv::asciii(" Three residue codes ?", items, 4);
  (void)zv::asciuo(" Codes :", items, 4);
}

void cmd_yesno() {
  const bool yes = zv::YESNO("Do you agree");
  zv::TXTOUT(yes ? " Answer taken as YES" : " Answer taken as NO");
}

void cmd_extrop() {
  std::string line;
  (void)textii(" Line to split ?", line, 200);
  std::array<std::string, 4> items;
  int n = 0, ierr = 0;
  zv::EXTROP(line, n, static_cast<int>(items.size()), items, 20, ierr);
  (void)ivaluo(" Nr of items :", n);
  for (int i = 0; i < n; ++i) (void)textuo(" Item :", "[" + items[static_cast<std::size_t>(i)] + "]");
}

void cmd_envint() {
  std::string name = "ZVBUFFER";
  (void)textii(" Variable ?", name, 20);
  zv::UPCSTR(name);
  int v = 500000;
  zv::ENVINT(name, v);
  (void)ivaluo(" Value :", v);
}

void cmd_strint() {
  std::string t;
  (void)textii(" Text with an integer ?", t, 80);
  int v = -1;
  const int ierr = zv::STRINT(t, v);
  const std::array<int, 2> out{v, ierr};
  (void)ivaluo(" Value and ierr :", out);
  float r = -1.0f;
  const int rerr = zv::STRREAL(t, r);
  (void)zv::fvaluo(" As a real :", r);
  (void)ivaluo(" ierr :", rerr);
}

void cmd_path() {
  const auto& path = zv::zvpath();
  (void)ivaluo(" Nr of ZVPATH entries :", static_cast<int>(path.size()));
  for (const std::string& p : path) (void)textuo(" Entry :", p);
}

void cmd_args() {
  const int n = zv::ARGNUM();
  (void)ivaluo(" Nr of arguments :", n);
  std::string a;
  for (int i = 1; i <= n; ++i)
    if (zv::ARGGET(i, a) == 0) (void)textuo(" Argument :", a);
}

void cmd_libfile() {
  std::string f = "database.sse";
  zv::LIBFILE(f);
  (void)textuo(" Library file :", f);
}

void cmd_refs() {
  std::string name;
  (void)textii(" Program ?", name, 20);
  int nref = 0;
  zv::PROGREFS(name, nref);
  (void)ivaluo(" Nr of references :", nref);
}

void cmd_txtout() {
  std::string t;
  (void)textii(" Line for TXTOUT ?", t, 80);
  zv::TXTOUT(t);
}

std::string ask_message() {
  std::string t;
  (void)textii(" Message ?", t, 120);
  return t;
}

void cmd_errmsg() { zv::ERRMSG(ask_message()); }
void cmd_errfat() { zv::ERRFAT(ask_message()); }
void cmd_errbat() { zv::ERRBAT(ask_message()); }
void cmd_mova() { zv::MOVAPRINT(6, ask_message()); }
[[noreturn]] void cmd_quit() { zv::ZVSTOP(); }

struct Command {
  std::string_view name;
  std::size_t min_chars;
  void (*run)();
  std::string_view help;
};

constexpr Command kCommands[] = {
    {"HELP", 2, cmd_help, "this list"},
    {"IVALII", 2, cmd_ivalii, "ask three integers"},
    {"JVALII", 2, cmd_jvalii, "ask one wide integer"},
    {"FVALII", 2, cmd_fvalii, "ask two reals"},
    {"GVALUO", 2, cmd_gvaluo, "ask four reals, show them in G and E layout"},
    {"LONG", 2, cmd_long, "ask twelve integers with a long prompt"},
    {"TEXTII", 2, cmd_textii, "ask a text"},
    {"ASCIII", 2, cmd_asciii, "ask three codes"},
    {"YESNO", 2, cmd_yesno, "ask a yes/no question"},
    {"EXTROP", 2, cmd_extrop, "split a line into at most four items"},
    {"ENVINT", 2, cmd_envint, "read an integer setting"},
    {"STRINT", 2, cmd_strint, "read a number from a text"},
    {"PATH", 2, cmd_path, "list the ZVPATH entries"},
    {"ARGS", 2, cmd_args, "list the command-line arguments"},
    {"LIBFILE", 2, cmd_libfile, "prefix a file name with ZVLIB"},
    {"REFS", 2, cmd_refs, "print the references of a program"},
    {"TXTOUT", 2, cmd_txtout, "write a line with TXTOUT"},
    {"ERRMSG", 2, cmd_errmsg, "report an error"},
    {"FATAL", 2, cmd_errfat, "report a fatal error"},
    {"BATCH", 2, cmd_errbat, "report an error, fatal unless interactive"},
    {"MOVA", 2, cmd_mova, "send a text as a Mova print command"},
    {"QUIT", 2, cmd_quit, "stop"},
};

void cmd_help() {
  zv::TXTOUT(" Commands:");
  for (const Command& c : kCommands) (void)textuo(std::string(" ") + std::string(c.name), c.help);
}

// Commands are known by their first two characters.
const Command* find_command(std::string_view word) {
  const std::string w = zv::upper(word);
  for (const Command& c : kCommands)
    if (w.size() >= c.min_chars && w.compare(0, c.min_chars, c.name.substr(0, c.min_chars)) == 0)
      return &c;
  return nullptr;
}

void command_loop() {
  std::string last = "HELP";
  for (;;) {
    std::string answer = last;
    (void)textii(" Command ?", answer, 80);
    // End of input keeps the default (the last command) as every question
    // does; the loop ends the run normally instead of repeating it for ever.
    if (zv::input_exhausted()) zv::ZVSTOP();
    const std::size_t start = std::min(answer.find_first_not_of(' '), answer.size());
    const std::string word = answer.substr(start, answer.find(' ', start) - start);
    const Command* c = find_command(word);
    if (!c) {
      zv::ERRMSG("Unknown command : " + word);
      continue;
    }
    last = std::string(c->name);
    c->run();
  }
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const char* name = std::getenv("ZVDRIVER_PROG");
    zv::ZVSTART(name && *name ? name : "zvdriver", "1.0", argc, argv);
    command_loop();
  } catch (const zv::Stop& stop) {
    return stop.code;
  }
  return 0;
}
