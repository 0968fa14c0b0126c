// IN and FI: the search dialogues. Each answer becomes the next default;
// an abort answer ends the command quietly and returns to the option prompt.
#include <algorithm>
#include <string>
#include <vector>

#include "commands.h"
#include "core/dialogue.h"
#include "core/messages.h"
#include "core/strings.h"
#include "output.h"
#include "search.h"
#include "search_files.h"
#include "search_run.h"

namespace kelvor {

namespace {

// A yes/no question: the upper-cased answer is kept as the next default and
// the flag is true exactly for "Y".
bool ask_yes_no(std::string_view prompt, std::string& answer) {
  zv::textii(prompt, answer, 1);
  zv::UPCSTR(answer);
  return answer == "Y";
}

std::vector<std::string> element_names(const Query& q, const std::vector<int>& list) {
  std::vector<std::string> names;
  names.reserve(list.size());
  for (int i : list) names.push_back(q.elements[i].name.str());
  return names;
}

std::vector<int> all_elements(const Query& q) {
  std::vector<int> v(static_cast<std::size_t>(q.size()));
  for (int i = 0; i < q.size(); ++i) v[i] = i;
  return v;
}

// The opening of both dialogues: the banner (which ends SKELDO mode), the
// query's element names after `label` and their number.
void new_query(KelvorState& st, std::string_view label) {
  out_empty();
  out_list("********** NEW QUERY **********");
  out_empty();
  st.skeldo_mode = false;
  const Query& q = st.query;
  (void)zv::asciuo(label, element_names(q, all_elements(q)), kElementTextLen);
  zv::jvaluo(" Nr of SSEs :", q.size());
}

// What the shared part of the dialogue decided about the output files.
struct FileChoice {
  bool macro = false;
  bool vobril = false;
};

// Weights are clamped to 0.01..100 and divided by their sum.
void normalise_weights(std::array<float, 5>& w) {
  double sum = 0.0;
  for (float& x : w) {
    x = std::clamp(x, 0.01f, 100.0f);
    sum += x;
  }
  for (float& x : w) x = static_cast<float>(x / sum);
}

// The dialogue from the superposition mode on (shared by IN and FI).
// nquery is the number of query elements taking part. Returns false when an
// answer ends the command.
bool ask_criteria(KelvorState& st, SearchSetup& s, int nquery, FileChoice& files) {
  IncrementalDefaults& d = st.incremental;
  if (nquery <= 2) {
    s.explicit_lsq = true;
    out_line(" # SSEs < 3 ; do lsq_explicit inside Mova");
  } else if (s.skeldo) {
    s.explicit_lsq = false;
    out_line(" SKELDO search; will do lsq_centroid");
  } else if (s.symbolic) {
    s.explicit_lsq = false;
    out_line(" SYMBOLIC search; no LSQ done");
  } else {
    s.explicit_lsq = ask_yes_no(" Do lsq_explicit inside Mova ?", d.explicit_lsq);
  }

  out_empty();
  out_line(" Define how much the nr of residues in SSEs may differ");
  out_line(" by defining how many residues shorter or longer SSEs in");
  out_line(" the database may be compared to those in your protein.");
  if (s.skeldo) out_line(" SKELDO suggested value: 1 or 2");
  zv::ivalii(" Max nr of residues \"too short\" ?", d.too_short);
  if (d.too_short < 0) return false;
  if (s.skeldo) out_line(" SKELDO suggested value: 4 to 6");
  zv::ivalii(" Max nr of residues \"too long\"  ?", d.too_long);
  if (d.too_long < 0) return false;
  s.too_short = d.too_short;
  s.too_long = d.too_long;

  if (!s.symbolic) {
    out_empty();
    if (s.skeldo) out_line(" SKELDO suggested value: ~10");
    zv::fvalii(" Mismatch element length        ?", d.mismatch_length);
    if (d.mismatch_length < 0.0f) return false;
    if (s.skeldo) out_line(" SKELDO suggested value: ~6");
    zv::fvalii(" Mismatch distances             ?", d.mismatch_distance);
    if (d.mismatch_distance < 0.0f) return false;
    if (s.skeldo) out_line(" SKELDO suggested value: 0.2 to 0.4");
    zv::fvalii(" Mismatch cosines               ?", d.mismatch_cosine);
    if (d.mismatch_cosine < 0.0f || d.mismatch_cosine > 2.0f) return false;
    out_empty();
    out_list("Weights for nr res, length, dist, cos, rmsd");
    if (s.skeldo) out_list("SKELDO suggested values: 0 0 1 1 5");
    zv::fvalii(" Weights for scoring     ?", d.weights);
    normalise_weights(d.weights);
    zv::fvaluo(" Normalised weights      :", d.weights);
  }
  s.mis_length = d.mismatch_length;
  s.mis_distance = d.mismatch_distance;
  s.mis_cosine = d.mismatch_cosine;
  s.weights = d.weights;

  if (s.symbolic) {
    s.directionality = true;
    s.absolute = false;
    s.neighbours = true;
  } else {
    out_empty();
    if (s.skeldo) out_list("SKELDO suggested value: NO !!!");
    s.directionality = ask_yes_no(" Conserve directionality ?", d.directionality);
    out_empty();
    if (s.skeldo) out_list("SKELDO suggested value: Y");
    s.absolute = ask_yes_no(" Conserve absolute motif ?", d.absolute_motif);
    out_empty();
    if (s.skeldo) out_list("SKELDO suggested value: NO !!!");
    s.neighbours = ask_yes_no(" Conserve neighbours     ?", d.neighbours);
  }

  files = FileChoice{};
  if (!s.symbolic) {
    out_empty();
    if (ask_yes_no(" Create Mova macro file      ?", d.create_macro)) {
      // A name longer than its field is refused (fileii says so), not cut:
      // the search then runs without a macro, as after a failed open.
      files.macro = zv::fileii(" Mova macro file             ?", st.files.macro, kFileNameLen) !=
                    zv::kNameTooLong;
    }
  }
  if (s.skeldo) {
    out_line(" SKELDO search; cannot use VOBRIL");
  } else if (!s.symbolic) {
    out_empty();
    if (ask_yes_no(" Create VOBRIL input file ?", d.create_vobril)) {
      files.vobril = zv::fileii(" VOBRIL input file        ?", st.files.vobril, kFileNameLen) !=
                     zv::kNameTooLong;
    }
  }
  return true;
}

// Shows how many query elements the search will use. An empty query is an
// error and the dialogue starts over (again = true), except at the end of the
// input: there every answer keeps its default, so the dialogue would come
// back here for ever, and the command ends instead.
bool query_recognised(const SearchSetup& s, bool& again) {
  out_empty();
  zv::jvaluo(" Nr of elements recognised in query :", s.n());
  if (s.n() > 0) return true;
  zv::ERRMSG("Empty query");
  again = !zv::input_exhausted();
  return false;
}

void copy_params(const KelvorState& st, SearchSetup& s) {
  s.mode = st.params.distance_mode;
  s.extensive = st.params.extensive;
  s.avoid_multichain = st.params.avoid_multichain;
  s.avoid_identical = st.params.avoid_identical;
  s.vobril_save = st.params.vobril_save;
}

// Steps shared after the query list is fixed: the counts, the files, the
// search and its summary.
void run(KelvorState& st, SearchSetup& s, const FileChoice& files) {
  std::array<int, kMaxTypes> per_type{};
  for (int qi : s.qlist) ++per_type[st.query.elements[qi].type - 1];
  zv::jvaluo(" Nr of elements of each type :", per_type);
  if (s.extensive) {
    std::vector<float> row(s.qlist.size());
    for (std::size_t p = 0; p < s.qlist.size(); ++p) {
      for (std::size_t j = 0; j < s.qlist.size(); ++j) row[j] = st.query.distance(s.mode, s.qlist[p], s.qlist[j]);
      zv::fvaluo(" DIS :", row);
      for (std::size_t j = 0; j < s.qlist.size(); ++j) row[j] = st.query.cos(s.qlist[p], s.qlist[j]);
      zv::fvaluo(" COS :", row);
    }
  }
  SearchOutputs outputs(s, st.query, st.db, s.vobril_save);
  outputs.start(files.macro, st.files.macro, files.vobril, st.files.vobril);
  const SearchResult res = run_search(s, st.query, st.db, st.max_hits, &outputs);
  print_summary(st.db, res, s.symbolic);
  outputs.finish();
}

}  // namespace

void cmd_incremental(KelvorState& st) {
  IncrementalDefaults& d = st.incremental;
  for (;;) {
    new_query(st, " Elements :");
    const Query& q = st.query;

    SearchSetup s;
    s.kind = SearchKind::Incremental;
    copy_params(st, s);
    zv::ivalii(" Min nr of residues for SSEs             ?", d.min_residues);
    s.min_residues = d.min_residues;
    for (int i = 0; i < q.size(); ++i) {
      if (q.elements[i].nres >= d.min_residues) s.qlist.push_back(i);
    }
    zv::jvaluo(" Nr of SSEs :", s.n());
    (void)zv::asciuo(" Remaining SSEs :", element_names(q, s.qlist), kElementTextLen);

    zv::ivalii(" Min nr of SSEs to match (>2; 0 = abort) ?", d.min_match);
    if (d.min_match <= 0) return;
    if (d.min_match < 3) {
      zv::ERRMSG(" Number reset to minimum value of 3");
      d.min_match = 3;
    }
    s.min_match = d.min_match;
    if (s.n() < s.min_match) {
      zv::ERRMSG("Not enough sufficiently long SSEs");
      return;
    }

    out_empty();
    s.skeldo = ask_yes_no(" Is this a SKELDO search ?", d.skeldo);
    if (s.skeldo) {
      st.skeldo_mode = true;
      out_list("SKELDO search mode");
      if (s.n() <= 2) {
        zv::ERRMSG("Need at least 3 SSEs for centroid LSQ");
        return;
      }
    }
    out_empty();
    s.symbolic = ask_yes_no(" Is this a SYMBOLIC search ?", d.symbolic);

    FileChoice files;
    if (!ask_criteria(st, s, s.n(), files)) return;

    bool again = false;
    if (!query_recognised(s, again)) {
      if (again) continue;
      return;
    }
    // The list is in query order already: it was taken from the query in order.
    run(st, s, files);
    return;
  }
}

void cmd_find(KelvorState& st) {
  FindSettings& f = st.find;
  for (;;) {
    new_query(st, " Elements   :");
    const Query& q = st.query;

    zv::ivalii(" Nr of elements to match (0 = abort) ?", f.nmatch);
    if (f.nmatch <= 0) return;
    if (f.nmatch > kMaxElementsPerEntry) {
      // The names are kept in a table of this size.
      zv::ERRMSG("Number reset to maximum value of 325");
      f.nmatch = kMaxElementsPerEntry;
    }
    std::vector<std::string> typed;
    for (int i = 0; i < f.nmatch; ++i) {
      const std::string ask = zv::format("(a,i3,a)", {" Query element ", i + 1, " ?"});
      const std::string echo = zv::format("(a,i3,a)", {" Query element ", i + 1, " :"});
      std::string& name = f.names[i];
      zv::textii(std::string_view(ask).substr(0, ask.size() - 1), name, kElementTextLen);
      zv::NOBLANKS(name);
      zv::UPCSTR(name);
      (void)zv::textuo(std::string_view(echo).substr(0, echo.size() - 1), name);
      typed.push_back(name);
    }
    (void)zv::asciuo(" Remaining SSEs :", typed, kElementTextLen);
    out_empty();

    SearchSetup s;
    s.kind = SearchKind::Find;
    copy_params(st, s);
    s.find_names = typed;
    FileChoice files;
    if (!ask_criteria(st, s, f.nmatch, files)) return;

    // Each name takes the first query element of that name not taken yet;
    // names that match none are dropped.
    std::vector<char> taken(static_cast<std::size_t>(q.size()), 0);
    for (const std::string& name : typed) {
      for (int i = 0; i < q.size(); ++i) {
        if (!taken[i] && q.elements[i].name.view() == name) {
          taken[i] = 1;
          s.qlist.push_back(i);
          break;
        }
      }
    }
    bool again = false;
    if (!query_recognised(s, again)) {
      if (again) continue;
      return;
    }
    if (s.directionality) std::sort(s.qlist.begin(), s.qlist.end());
    run(st, s, files);
    return;
  }
}

}  // namespace kelvor
