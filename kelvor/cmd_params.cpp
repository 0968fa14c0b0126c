// PA: the parameters of the searches.
#include <string>

#include "commands.h"
#include "core/dialogue.h"
#include "core/strings.h"
#include "output.h"

namespace kelvor {

namespace {

// Asks a yes/no question whose answer text is kept as the next default;
// returns true exactly for the answer Y.
bool ask_yes_no(std::string_view prompt, std::string& answer) {
  zv::textii(prompt, answer, 1);
  zv::UPCSTR(answer);
  return answer == "Y";
}

}  // namespace

void cmd_params(KelvorState& st) {
  SearchParams& p = st.params;
  out_fmt("(99(/1x,a,:))", {"Possible distance criteria:",
                            " C  => centre-to-centre",
                            " H  => MIN head-tail and tail-head (anti-parallel)",
                            " T  => MIN head-head and tail-tail (parallel)",
                            " I  => MIN of all these distances",
                            " A  => MAX of all these distances"});
  if (st.skeldo_mode) out_list("SKELDO suggested value: C !!!");

  std::string letter = p.distance_letter;
  zv::textii(" Which distances (C/H/T/I/A) ?", letter, 1);
  zv::UPCSTR(letter);
  DistanceMode mode;
  if (letter.size() != 1 || !distance_mode_from_letter(letter[0], mode)) return;
  p.distance_letter = letter;
  p.distance_mode = mode;

  out_empty();
  p.extensive = ask_yes_no(" Extensive output            ?", p.extensive_answer);

  out_empty();
  out_list("The VOBRIL macro may contain instructions");
  out_list("to save the hits superimposed onto your");
  out_list("query structure (useful for non-Mova users).");
  p.vobril_save = ask_yes_no(" VOBRIL to save aligned hits ?", p.vobril_save_answer);

  out_empty();
  p.avoid_multichain = ask_yes_no(" Attempt to avoid multi-chain hits   ?", p.avoid_multichain_answer);

  out_empty();
  out_line(" The following is unnecessary for post-1994 databases.");
  p.avoid_identical = ask_yes_no(" Attempt to avoid identical proteins ?", p.avoid_identical_answer);
}

}  // namespace kelvor
