// Scoring of one solution: the statistics, the XYSTAT terms and the
// centroid RMSD term.
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/dialogue.h"
#include "core/strings.h"
#include "num/lsq.h"
#include "num/stats.h"
#include "output.h"
#include "search.h"

namespace kelvor {

bool label_number(std::string_view label, long& number) {
  long v = 0;
  int digits = 0;
  for (char c : label) {
    if (!std::isdigit(static_cast<unsigned char>(c))) continue;
    if (digits < 9) v = v * 10 + (c - '0');  // labels hold at most 6 characters
    ++digits;
  }
  number = v;
  return digits > 0;
}

namespace {

// Loop-length difference between the consecutive query elements q1, q2 and
// the entry elements e1, e2 matched to them.
int loop_mismatch(const Element& q1, const Element& q2, const Element& e1, const Element& e2) {
  long qt = 0, qf = 0, et = 0, ef = 0;
  if (!label_number(q1.to.view(), qt) || !label_number(q2.from.view(), qf) ||
      !label_number(e1.to.view(), et) || !label_number(e2.from.view(), ef)) {
    return kBadGapMismatch;
  }
  if (qf <= qt || ef <= et) return kBadGapMismatch;
  // Labels hold at most 6 characters: the difference fits an int.
  return static_cast<int>(std::labs((qf - qt) - (ef - et)));
}

// One XYSTAT term: weight * ((r + 1) * (2 - c) - 1), where c is XYSTAT's
// linear correlation coefficient (the CC of the plotting statistics).
float xy_term(const char* label, const std::vector<float>& x, const std::vector<float>& y,
              float weight, bool report) {
  float rmsd = 0, shapecc = 0, lincc = 0, r1 = 0, r2 = 0, r3 = 0, r4 = 0, kx = 0, ky = 0;
  zv::XYSTAT(x, y, static_cast<int>(x.size()), rmsd, shapecc, lincc, r1, r2, r3, r4, kx, ky);
  if (report) out_fmt("(1X,A,' ... rmsd = ',F10.3,' ... corr = ',F10.3)", {label, rmsd, lincc});
  return weight * ((rmsd + 1.0f) * (2.0f - lincc) - 1.0f);
}

void report_solution(const SearchWork& work, const Query& query, const Database& db,
                     const Entry& entry, const std::int16_t* a) {
  const SearchSetup& s = work.setup();
  std::vector<std::string> qn, en;
  std::vector<int> qres, eres;
  std::vector<float> qlen, elen;
  for (int p = 0; p < s.n(); ++p) {
    const Element& q = query.elements[s.qlist[p]];
    qn.push_back(q.name.str());
    qres.push_back(q.nres);
    qlen.push_back(q.length);
    if (a[p] == 0) {
      en.push_back("-X-");
      eres.push_back(0);
      elen.push_back(0.0f);
    } else {
      const Element& e = db.element(entry, a[p] - 1);
      en.push_back(e.name.str());
      eres.push_back(e.nres);
      elen.push_back(e.length);
    }
  }
  (void)zv::asciuo(" QUERY    :", qn, kElementTextLen);
  (void)zv::asciuo(" MATCH    :", en, kElementTextLen);
  (void)zv::fvaluo(" Lengths  :", qlen);
  (void)zv::fvaluo(" Lengths  :", elen);
  (void)zv::ivaluo(" Residues :", qres);
  (void)zv::ivaluo(" Residues :", eres);
}

}  // namespace

int centroid_fit(const SearchWork& work, const Query& query, const Database& db,
                 const Entry& entry, int s, float& rms, std::array<float, 12>& rt, bool& ok) {
  const SearchSetup& setup = work.setup();
  const std::int16_t* a = work.solution(s);
  std::vector<float> xyz_entry, xyz_query;
  xyz_entry.reserve(3 * static_cast<std::size_t>(setup.n()));
  xyz_query.reserve(3 * static_cast<std::size_t>(setup.n()));
  int n = 0;
  for (int p = 0; p < setup.n(); ++p) {
    if (a[p] == 0) continue;
    const Element& q = query.elements[setup.qlist[p]];
    const Element& e = db.element(entry, a[p] - 1);
    xyz_entry.insert(xyz_entry.end(), e.centre.begin(), e.centre.end());
    xyz_query.insert(xyz_query.end(), q.centre.begin(), q.centre.end());
    ++n;
  }
  // The query's centres are superimposed onto the entry's: LSQZQV moves its
  // second set onto its first, so the operator maps the query onto the hit.
  float r = 0.0f;
  const int ierr = zv::LSQZQV(xyz_entry.data(), xyz_query.data(), n, r, rt.data());
  ok = ierr == 0;
  if (!ok) {
    // After a failure LSQZQV leaves the previous fit's operator: show none.
    rms = kFailedRmsd;
    rt = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
  } else {
    rms = r;
  }
  return n;
}

SolutionScore score_solution(const SearchWork& work, const Query& query, const Database& db,
                             const Entry& entry, int s, bool report) {
  const SearchSetup& setup = work.setup();
  const std::int16_t* a = work.solution(s);
  SolutionScore sc;
  if (report) report_solution(work, query, db, entry, a);

  std::vector<float> qres, eres, qlen, elen, qdis, edis, qcos, ecos;
  int prev = -1;  // last matched position
  for (int p = 0; p < setup.n(); ++p) {
    if (a[p] == 0) continue;
    const int qi = setup.qlist[p];
    const Element& q = query.elements[qi];
    const int ei = a[p] - 1;
    const Element& e = db.element(entry, ei);
    ++sc.matched;
    sc.mismatched_residues += std::abs(q.nres - e.nres);
    qres.push_back(static_cast<float>(q.nres));
    eres.push_back(static_cast<float>(e.nres));
    qlen.push_back(q.length);
    elen.push_back(e.length);
    if (p > 0 && a[p - 1] != 0 && setup.qlist[p - 1] + 1 == qi) {
      sc.gaps_mismatch += loop_mismatch(query.elements[setup.qlist[p - 1]], q,
                                        db.element(entry, a[p - 1] - 1), e);
    }
    // The pairs the solver compared: every earlier matched position with
    // absolute motif on, the previous matched one with it off.
    if (prev >= 0) {
      for (int j = setup.absolute ? 0 : prev; j <= prev; ++j) {
        if (a[j] == 0) continue;
        qdis.push_back(work.query_distance(j, p));
        edis.push_back(work.entry_distance(a[j] - 1, ei));
        qcos.push_back(work.query_cosine(j, p));
        ecos.push_back(work.entry_cosine(a[j] - 1, ei));
      }
    }
    prev = p;
  }
  if (report) {
    zv::jvaluo(" Nr of common SSEs :", sc.matched);
    zv::jvaluo(" Total mismatched residues :", sc.mismatched_residues);
    if (setup.kind == SearchKind::Incremental) zv::jvaluo(" Total gaps mismatch :", sc.gaps_mismatch);
  }

  if (setup.symbolic) {
    sc.score = static_cast<float>(sc.mismatched_residues);
    sc.rmsd = static_cast<float>(sc.gaps_mismatch);
    if (report) zv::fvaluo(" SCORE :", sc.score);
    return sc;
  }

  const auto& w = setup.weights;
  double total = 0.0;
  if (w[0] > kMinTermWeight) total += xy_term("Residues", qres, eres, w[0], report);
  if (w[1] > kMinTermWeight) total += xy_term("Length  ", qlen, elen, w[1], report);
  if (sc.matched >= 2) {
    if (w[2] > kMinTermWeight) total += xy_term("Distance", qdis, edis, w[2], report);
    if (w[3] > kMinTermWeight) total += xy_term("Cosines ", qcos, ecos, w[3], report);
  }
  {
    // The RMSD is the solution's figure for the ranking even when its term
    // is left out of the score.
    std::array<float, 12> rt{};
    float rms = kFailedRmsd;
    bool ok = false;
    const int ncentres = centroid_fit(work, query, db, entry, s, rms, rt, ok);
    sc.rmsd = rms;
    if (ok && w[4] > kMinTermWeight) total += static_cast<double>(w[4] * rms);
    if (report) {
      std::string line;
      (void)zv::format_append(line, "(1x,a,i3,a,f8.3,a)",
                              {"The ", ncentres, " centroids have an RMS distance of ", rms, " A"});
      if (!line.empty() && line.back() == '\n') line.pop_back();
      zv::ONEBLANK(line);
      out_list(line);
    }
  }
  sc.score = static_cast<float>(total);
  if (report) zv::fvaluo(" SCORE :", sc.score);
  return sc;
}

}  // namespace kelvor
