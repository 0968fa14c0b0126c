// The walk of a search over the database: per-entry preparation, the
// solver, the best solution, the outputs, the summary and the hit table.
#include "search_run.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/dialogue.h"
#include "core/messages.h"
#include "core/units.h"
#include "output.h"
#include "search.h"
#include "search_files.h"

namespace kelvor {

namespace {

void entry_header(const Entry& en, int number) {
  out_fmt("(/,1X,10('*'),1X,A,1X,10('*'),1X,I6,1X,10('*'))", {en.name.view(), number});
}

void entry_bracket(std::string_view text) { out_fmt("(1X,'[',A,']')", {text}); }

// "(1X,A6,' > ',A,1X,A)" with "FAILED" and the reason; the element name,
// when there is one, is the third item. Without it the format stops before
// the last 1X, so the line ends with the reason.
void failed(std::string_view why) { out_fmt("(1X,A6,' > ',A,1X,A)", {"FAILED", why}); }
void failed(std::string_view why, std::string_view what) {
  out_fmt("(1X,A6,' > ',A,1X,A)", {"FAILED", why, what});
}

// Characters 2 to 4 of a name, blank padded.
std::string identity_key(const Entry& en) {
  std::string s = en.name.padded();
  return s.substr(1, 3);
}

// FI: the query list holds more elements of some type than the entry has.
int short_type(const SearchSetup& setup, const Query& query, const Entry& en) {
  std::array<int, kMaxTypes> need{};
  for (int qi : setup.qlist) ++need[query.elements[qi].type - 1];
  for (int t = 0; t < kMaxTypes; ++t) {
    if (need[t] > en.type_count[t]) return t + 1;
  }
  return 0;
}

// The best solution of an entry. IN: a strictly lower score, or an equal
// score and a strictly lower RMSD (symbolic: gaps mismatch). FI: the first
// of the lowest scores.
struct Best {
  int index = -1;
  SolutionScore sc;
  float score = kInitialBestScore;
  float rmsd = kInitialRmsd;
};

void print_table(const Database& db, const std::vector<SearchHit>& ranked, bool symbolic) {
  out_fmt("('     ',A4,1X,A5,1X,A4,1X,A4,1X,A5,1X,A5,1X,A)",
          {"  Nr", "Entry", " PDB", " SSE", symbolic ? " GAPS" : " RMSD", "SCORE", "Compound"});
  out_fmt("('     ',A4,1X,A5,1X,A4,1X,A4,1X,A5,1X,A5,1X,A)",
          {"====", "=====", "====", "====", "=====", "=====", "========"});
  int rank = 0;
  for (const SearchHit& h : ranked) {
    const Entry& en = db.entries[h.entry];
    ++rank;
    const std::string code = en.name.padded().substr(0, 4);
    if (symbolic) {
      out_fmt("(' HIT ',I4,1X,I5,1X,A4,1X,I4,1X,I5,1X,I5,1X,A)",
              {rank, h.entry + 1, code, h.matched, static_cast<int>(h.rmsd),
               static_cast<int>(h.score), en.note.view()});
    } else {
      out_fmt("(' HIT ',I4,1X,I5,1X,A4,1X,I4,1X,F5.2,1X,F5.2,1X,A)",
              {rank, h.entry + 1, code, h.matched, h.rmsd, h.score, en.note.view()});
    }
  }
}

}  // namespace

std::vector<SearchHit> rank_hits(std::vector<SearchHit> hits) {
  // What picking the best remaining hit again and again gives: most matched
  // SSEs, then lower RMSD (symbolic: gaps mismatch), then lower score, ties
  // in entry order.
  std::stable_sort(hits.begin(), hits.end(), [](const SearchHit& a, const SearchHit& b) {
    if (a.matched != b.matched) return a.matched > b.matched;
    if (a.rmsd != b.rmsd) return a.rmsd < b.rmsd;
    return a.score < b.score;
  });
  return hits;
}

SearchResult run_search(const SearchSetup& setup, const Query& query, const Database& db,
                        int max_hits, SearchOutputs* outputs, SolutionLists* collect,
                        bool lookahead) {
  SearchResult res;
  SearchWork work(setup, query);
  work.set_lookahead(lookahead);
  const bool find = setup.kind == SearchKind::Find;
  std::vector<std::string> matched_keys;
  if (collect != nullptr) {
    collect->solutions.assign(static_cast<std::size_t>(db.nentries), {});
    collect->dropped.assign(static_cast<std::size_t>(db.nentries), 0);
  }

  for (int i = 0; i < db.nentries; ++i) {
    const Entry& en = db.entries[i];
    if (!en.selected) continue;
    if (setup.avoid_identical && !matched_keys.empty()) {
      const std::string key = identity_key(en);
      if (std::find(matched_keys.begin(), matched_keys.end(), key) != matched_keys.end()) continue;
    }
    if (setup.extensive) {
      entry_header(en, i + 1);
      entry_bracket(en.note.view());
    }
    const int count = work.effective_count(db, en);
    if (count < (find ? setup.n() : setup.min_match)) {
      if (setup.extensive) failed("Not enough secondary structure elements");
      continue;
    }
    if (find) {
      if (const int t = short_type(setup, query, en); t != 0) {
        if (setup.extensive) failed("Not enough secondary structure elements of type");
        continue;
      }
    }
    const bool all_have = work.make_candidates(db, en, count);
    if (setup.extensive) {
      for (int p = 0; p < setup.n(); ++p) {
        std::vector<zv::FmtItem> items;
        std::vector<std::string> names;
        names.reserve(static_cast<std::size_t>(work.ncandidates(p)) + 1);
        names.push_back(query.elements[setup.qlist[p]].name.padded());
        for (int k = 0; k < work.ncandidates(p); ++k) {
          names.push_back(db.element(en, work.candidate(p, k)).name.padded());
        }
        items.emplace_back(names[0]);
        items.emplace_back(work.ncandidates(p));
        for (std::size_t k = 1; k < names.size(); ++k) items.emplace_back(names[k]);
        std::string out;
        (void)zv::format_append(out, "(1X,A6,' Matches ',I3,' elements in database structure :',/,99(8X,'|',10(A6,'|'),:,/))", items);
        (void)zv::unit_write(zv::kUnitStdout, out);
      }
    }
    if (find && !all_have) {
      if (setup.extensive) {
        failed("No matches for element", query.elements[setup.qlist[work.failed_position()]].name.view());
      }
      continue;
    }
    work.make_pair_values(db, en);
    work.solve();

    const int nsol = work.nsolutions();
    if (collect != nullptr) {
      auto& v = collect->solutions[static_cast<std::size_t>(i)];
      for (int s = 0; s < nsol; ++s) v.emplace_back(work.solution(s), work.solution(s) + setup.n());
      collect->dropped[static_cast<std::size_t>(i)] = work.dropped();
    }
    if (nsol > 0 && !setup.extensive) {
      entry_header(en, i + 1);
      entry_bracket(en.note.view());
      entry_bracket(en.pdb.view());
    }
    if (setup.extensive || (find && nsol > 0)) zv::jvaluo(" Nr of hits :", nsol);
    if (nsol == 0) {
      if (setup.extensive) failed("No motif matches");
      continue;
    }
    ++res.matching;
    res.total_solutions += nsol;
    matched_keys.push_back(identity_key(en));

    Best best;
    for (int s = 0; s < nsol; ++s) {
      const SolutionScore sc = score_solution(work, query, db, en, s, setup.extensive);
      const bool better = find ? sc.score < best.score
                               : (sc.score < best.score || (sc.score == best.score && sc.rmsd < best.rmsd));
      if (better) {
        best.index = s;
        best.sc = sc;
        best.score = sc.score;
        best.rmsd = sc.rmsd;
      }
    }
    if (best.index < 0) best.index = 0;  // every score was not a number
    if (find) {
      zv::jvaluo(" Nr of hits       :", nsol);
      zv::jvaluo(" Nr of best match :", best.index + 1);
      zv::fvaluo(" Best score       :", best.sc.score);
    } else {
      zv::jvaluo(" Nr of hits        :", nsol);
      zv::jvaluo(" Nr of common SSEs :", best.sc.matched);
      zv::jvaluo(" Nr of best match  :", best.index + 1);
      zv::fvaluo(" Best score        :", best.sc.score);
      if (setup.symbolic) {
        zv::jvaluo(" Best gap mismatch :", best.sc.gaps_mismatch);
      } else {
        zv::fvaluo(" Best RMSD         :", best.sc.rmsd);
      }
    }
    res.hits.push_back({i, work.solution_matched(best.index), best.sc.rmsd, best.sc.score});
    if (outputs != nullptr) {
      outputs->write_hit(work, {&en, best.index, best.sc.score, best.sc.matched});
    }

    if (res.matching >= max_hits) {
      zv::ERRMSG("Too many matching entries - ABORTING SEARCH !");
      zv::jvaluo(" Nr of hits  :", static_cast<int>(std::min<long long>(res.total_solutions, 2147483647)));
      zv::jvaluo(" Max allowed :", max_hits);
      res.aborted = true;
      break;
    }
  }
  return res;
}

void print_summary(const Database& db, const SearchResult& res, bool symbolic) {
  out_empty();
  zv::jvaluo(" Nr of database entries :", db.nentries);
  zv::jvaluo(" Nr of selected entries :", db.nselected);
  zv::jvaluo(" Nr of matching entries :", res.matching);
  zv::jvaluo(" Nr of hits (total)     :", static_cast<int>(std::min<long long>(res.total_solutions, 2147483647)));
  std::vector<SearchHit> ranked;
  if (res.matching > 0) {
    out_line(" Sorting hits ...");
    ranked = rank_hits(res.hits);
  }
  print_table(db, ranked, symbolic);
}

}  // namespace kelvor
