// The option loop: one prompt per cycle, dispatched on the first two
// characters of the upper-cased answer.
#include <array>
#include <string>

#include "commands.h"
#include "core/dialogue.h"
#include "core/frame.h"
#include "core/messages.h"
#include "core/strings.h"
#include "output.h"

namespace kelvor {

namespace {

struct Command {
  const char* name;
  int min_chars;           // characters of the answer that must match the name
  bool needs_query;        // refused until a user file has been read
  void (*handler)(KelvorState&);
};

void cmd_quit(KelvorState&) { zv::ZVSTOP(); }

// In the order in which the options are tested.
constexpr std::array<Command, 11> kCommands = {{
    {"RE", 2, false, cmd_read},
    {"QU", 2, false, cmd_quit},
    {"FI", 2, true, cmd_find},
    {"IN", 2, true, cmd_incremental},
    {"LI", 2, false, cmd_list},
    {"EX", 2, false, cmd_extract},
    {"CH", 2, false, cmd_check},
    {"ST", 2, false, cmd_stats},
    {"SE", 2, false, cmd_select},
    {"PA", 2, false, cmd_params},
    {"TO", 2, true, cmd_topology},
}};

const Command* find_command(const std::string& option) {
  for (const Command& c : kCommands) {
    const std::size_t n = static_cast<std::size_t>(c.min_chars);
    if (option.size() >= n && option.compare(0, n, c.name, n) == 0) return &c;
  }
  return nullptr;
}

}  // namespace

void command_loop(KelvorState& st) {
  for (;;) {
    out_empty();
    print_cpu_line(" 2 CPU total/user/sys :");
    out_empty();

    zv::textii(" ===> Option ?", st.last_option, kOptionLen);
    if (zv::input_exhausted()) zv::ZVSTOP();

    std::string option = st.last_option;
    if (zv::LENSTR(option) == 0) continue;
    zv::NOBLANKS(option);
    st.last_option = option;
    if (option[0] == '!') continue;
    if (option[0] == '?') {
      print_menu(st);
      continue;
    }
    zv::UPCSTR(option);
    st.last_option = option;

    const Command* cmd = find_command(option);
    if (cmd == nullptr) {
      zv::ERRMSG("Invalid option : " + option);
      continue;
    }
    if (cmd->needs_query && st.query.size() == 0) {
      zv::ERRMSG("No user KELVOR file read yet");
      print_menu(st);
      continue;
    }
    cmd->handler(st);
  }
}

}  // namespace kelvor
