// Speed of kelvor's incremental search on a database at the full limits:
// 20000 entries and about 650000 elements, made by replicating the bundled
// real database (data/db/kelvor.lib) with coordinates moved by up to 0.3 A
// and new names. Three real queries, entries of the bundled database as
// prynol wrote them from the PDB entries of ../shared/data/pdb: a small
// all-alpha protein (1ymb, myoglobin, 8 helices), a mixed alpha/beta one
// (1ubq, ubiquitin, 9 elements) and a large one (1ank, 36 elements). IN runs
// with the default parameters, writing no files; the terminal output goes to
// /dev/null.
//
// Printed per query: CPU seconds, microseconds per entry, and the ratio to the
// baseline measured in the same run, the plain solver without the look-ahead
// (for the large query on the first 2000 entries only: the plain solver
// takes minutes there). The goal is under 1 second per query for the small
// and the mixed query.
//
// Usage: kelvor_search_bench [entries]   (default 20000)
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "capacities.h"
#include "core/units.h"
#include "loader.h"
#include "model.h"
#include "search.h"
#include "search_run.h"

namespace {

using namespace kelvor;

const Entry* find_entry(const Database& db, const char* name) {
  for (int i = 0; i < db.nentries; ++i) {
    if (db.entries[i].name.view() == name) return &db.entries[i];
  }
  return nullptr;
}

// Copies of the bundled entries, in turn, until `want` entries; an entry
// that would take the elements past an even share of the limit is passed
// over, so that the copies end near kMaxElements.
void replicate(const Database& src, Database& dst, int want) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<float> jitter(-0.3f, 0.3f);
  const double share = static_cast<double>(kMaxElements) / want;
  long long k = 0;
  while (dst.nentries < want && k < 100LL * want) {
    const Entry& s = src.entries[static_cast<std::size_t>(k % src.nentries)];
    const int copy = static_cast<int>(k / src.nentries);
    ++k;
    const double room = share * (dst.nentries + 1) - dst.total_elements();
    if (s.count > room + 60 || dst.total_elements() + s.count > kMaxElements) continue;
    Entry& d = dst.entries[static_cast<std::size_t>(dst.nentries++)];
    d = s;
    d.name.assign(s.name.str() + "_" + std::to_string(copy));
    d.first = dst.total_elements();
    for (int e = 0; e < s.count; ++e) {
      const Element& se = src.element(s, e);
      ElementFields f;
      f.name = se.name.str();
      f.from = se.from.str();
      f.to = se.to.str();
      f.nres = se.nres;
      for (int c = 0; c < 3; ++c) {
        f.xyz[c] = se.head[c] + jitter(rng);
        f.xyz[3 + c] = se.tail[c] + jitter(rng);
      }
      make_element(se.type, f, dst.elements.emplace_back());
    }
  }
  dst.recount_selected();
}

Query make_query(const Database& db, const Entry& en) {
  Query q;
  q.name = en.name;
  q.note = en.note;
  q.pdb = en.pdb;
  for (int e = 0; e < en.count; ++e) q.elements.push_back(db.element(en, e));
  q.build_pair_tables();
  return q;
}

SearchSetup default_setup(const Query& q) {
  SearchSetup s;
  s.kind = SearchKind::Incremental;
  for (int i = 0; i < q.size(); ++i) {
    if (q.elements[i].nres >= 3) s.qlist.push_back(i);
  }
  s.min_residues = 3;
  s.min_match = 4;
  // The default weights 0.001 0.001 0.1 0.1 0.5, clamped and normalised.
  const float w[5] = {0.01f, 0.01f, 0.1f, 0.1f, 0.5f};
  for (int i = 0; i < 5; ++i) s.weights[i] = w[i] / 0.72f;
  return s;
}

double seconds(const SearchSetup& s, const Query& q, const Database& db, bool lookahead,
               SearchResult& res, int max_hits = kDefaultMaxHits) {
  // CPU time of the process: the machine may be shared.
  timespec a{}, b{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &a);
  res = run_search(s, q, db, max_hits, nullptr, nullptr, lookahead);
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &b);
  return static_cast<double>(b.tv_sec - a.tv_sec) + 1e-9 * static_cast<double>(b.tv_nsec - a.tv_nsec);
}

}  // namespace

int main(int argc, char** argv) {
  const int want = argc > 1 ? std::atoi(argv[1]) : kMaxEntries;
  std::FILE* devnull = std::fopen("/dev/null", "w");
  zv::unit_bind_stream(zv::kUnitStdout, devnull);

  static Database small;
  if (zv::unit_open(kUnitLibrary, std::string(ZV_SOURCE_DIR) + "/data/db/kelvor.lib", zv::UnitMode::Read) != 0) {
    std::fprintf(stderr, "cannot open data/db/kelvor.lib\n");
    return 1;
  }
  load_database(small, LoadOptions{});
  static Database big;
  replicate(small, big, want);
  std::printf("database: %d entries, %d elements (from %d entries, %d elements)\n", big.nentries,
              big.total_elements(), small.nentries, small.total_elements());

  struct Q {
    const char* name;
    const char* what;
    int baseline_entries;  // entries the plain solver runs on
  };
  const Q queries[] = {{"1ymb", "small all-alpha", 0}, {"1ubq", "mixed alpha/beta", 0}, {"1ank", "large", 100}};
  std::printf("IN with MAXHITS %d (the default; the search stops at that many matching entries)\n"
              "and without that stop (every entry searched):\n",
              kDefaultMaxHits);
  std::printf("%-5s %-17s %4s %6s %9s %8s %8s | %6s %9s %8s %8s | %8s %7s\n", "query", "kind", "SSEs",
              "hits", "solutions", "seconds", "us/entr", "hits", "solutions", "seconds", "us/entr",
              "plain s", "ratio");
  for (const Q& qq : queries) {
    const Entry* en = find_entry(small, qq.name);
    if (en == nullptr) {
      std::printf("%-5s not in the bundled database\n", qq.name);
      continue;
    }
    const Query q = make_query(small, *en);
    const SearchSetup s = default_setup(q);
    SearchResult stop, fast, plain;
    const double t0 = seconds(s, q, big, true, stop);
    // Entries searched before the stop: up to the last hit's entry.
    const int walked = stop.aborted && !stop.hits.empty() ? stop.hits.back().entry + 1 : big.nentries;
    const double t = seconds(s, q, big, true, fast, kMaxEntries);
    // Baseline: the plain solver, on all entries or on the first ones.
    const int nbase = qq.baseline_entries > 0 ? std::min(qq.baseline_entries, big.nentries) : big.nentries;
    for (int i = nbase; i < big.nentries; ++i) big.entries[i].selected = false;
    SearchResult part;
    const double tp = seconds(s, q, big, false, plain, kMaxEntries);
    const double tf = nbase < big.nentries ? seconds(s, q, big, true, part, kMaxEntries) : t;
    for (int i = 0; i < big.nentries; ++i) big.entries[i].selected = true;
    std::printf("%-5s %-17s %4d %6d %9lld %8.3f %8.2f | %6d %9lld %8.3f %8.2f | %8.3f %6.1fx%s\n", qq.name,
                qq.what, s.n(), stop.matching, stop.total_solutions, t0, 1e6 * t0 / walked, fast.matching,
                fast.total_solutions, t, 1e6 * t / big.nentries, tp, tp / tf,
                nbase < big.nentries ? " (plain: first entries)" : "");
  }
  std::printf("goal: under 1 s per query for the small and the mixed query\n");
  zv::unit_reset_stdio();
  std::fclose(devnull);
  return 0;
}
