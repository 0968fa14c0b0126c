// The searches on a small constructed database whose answers are worked out
// by hand: moved copies of the query, a reversed strand, neighbours,
// multi-chain and identical-protein avoidance, MAXHITS, the solution cap, ties
// decided by RMSD; the gap mismatch, the ranking and the macro's columns.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include <array>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/units.h"
#include "core_session.h"
#include "loader.h"
#include "model.h"
#include "search.h"
#include "search_files.h"
#include "search_run.h"

namespace {

using namespace kelvor;

struct Sse {
  int type;  // 1 helix, 2 strand
  const char* name;
  const char* from;
  const char* to;
  int nres;
  Vec3 head;
  Vec3 tail;
};

Element make(const Sse& s) {
  ElementFields f;
  f.name = s.name;
  f.from = s.from;
  f.to = s.to;
  f.nres = s.nres;
  for (int k = 0; k < 3; ++k) {
    f.xyz[k] = s.head[k];
    f.xyz[3 + k] = s.tail[k];
  }
  Element e;
  make_element(s.type, f, e);
  return e;
}

// The query: three helices and a strand, centres not in one plane.
const std::vector<Sse> kQuery = {
    {1, "A1", "A1", "A10", 10, {20, 0, 0}, {35, 0, 0}},
    {1, "A2", "A15", "A22", 8, {20, 10, 0}, {32, 12, 0}},
    {1, "A3", "A30", "A41", 12, {22, 0, 10}, {24, 16, 10}},
    {2, "B1", "A50", "A55", 6, {30, 10, 12}, {42, 12, 14}},
};

Sse moved(Sse s, float angle, Vec3 shift) {
  const float c = std::cos(angle), sn = std::sin(angle);
  for (Vec3* p : {&s.head, &s.tail}) {
    const Vec3 v = *p;
    *p = {c * v[0] - sn * v[1] + shift[0], sn * v[0] + c * v[1] + shift[1], v[2] + shift[2]};
  }
  return s;
}

Sse mirrored(Sse s) {
  s.head[0] = -s.head[0];
  s.tail[0] = -s.tail[0];
  return s;
}

class Db {
 public:
  Db() : db(std::make_unique<Database>()) {}
  void add(const char* name, const std::vector<Sse>& sses) {
    Entry& en = db->entries[db->nentries++];
    en.name.assign(name);
    en.note.assign(std::string("note of ") + name);
    en.pdb.assign(std::string("/pdb/") + name + ".pdb");
    en.first = db->total_elements();
    en.count = 0;
    en.type_count = {};
    for (const Sse& s : sses) {
      db->elements.emplace_back() = make(s);
      ++en.count;
      ++en.type_count[s.type - 1];
    }
    db->recount_selected();
  }
  std::unique_ptr<Database> db;
};

Query make_query(const std::vector<Sse>& sses) {
  Query q;
  q.name.assign("quer");
  q.pdb.assign("/pdb/quer.pdb");
  for (const Sse& s : sses) q.elements.push_back(make(s));
  q.build_pair_tables();
  return q;
}

SearchSetup incremental(int n) {
  SearchSetup s;
  s.kind = SearchKind::Incremental;
  for (int i = 0; i < n; ++i) s.qlist.push_back(i);
  s.min_match = 3;
  s.weights = {0.0138889f, 0.0138889f, 0.138889f, 0.138889f, 0.694444f};
  return s;
}

std::vector<Sse> query_moved(float angle, Vec3 shift) {
  std::vector<Sse> v;
  for (const Sse& s : kQuery) v.push_back(moved(s, angle, shift));
  return v;
}

struct Outcome {
  SearchResult res;
  SolutionLists lists;
  std::string out;
};

Outcome run(const SearchSetup& s, const Query& q, const Database& db, int max_hits = 1000,
        bool lookahead = true) {
  zvtest::Session session("");
  Outcome r;
  r.res = run_search(s, q, db, max_hits, nullptr, &r.lists, lookahead);
  r.out = session.out();
  return r;
}

const SearchHit* hit_of(const SearchResult& res, int entry) {
  for (const SearchHit& h : res.hits) {
    if (h.entry == entry) return &h;
  }
  return nullptr;
}

std::vector<std::int16_t> sol(std::initializer_list<int> v) { return {v.begin(), v.end()}; }

TEST(Search, MovedCopiesReversedStrandNeighboursChains) {
  Db d;
  // 0: the query turned by 90 degrees and shifted: every element, RMSD 0.
  d.add("1rot", query_moved(1.5707964f, {5, -7, 3}));
  // 1: the strand runs the other way.
  auto rev = query_moved(0.0f, {0, 0, 0});
  std::swap(rev[3].head, rev[3].tail);
  d.add("2rev", rev);
  // 2: a far helix inserted between the query's second and third element.
  auto ins = query_moved(0.0f, {0, 0, 0});
  ins.insert(ins.begin() + 2, Sse{1, "X", "A25", "A28", 9, {200, 0, 0}, {200, 30, 0}});
  d.add("3ins", ins);
  // 3: the query split over chains A and B.
  auto chains = query_moved(0.0f, {0, 0, 0});
  chains[2].from = "B30";
  chains[2].to = "B41";
  chains[3].from = "B50";
  chains[3].to = "B55";
  d.add("4chn", chains);
  const Query q = make_query(kQuery);

  struct Case {
    const char* what;
    bool directionality, neighbours, multichain;
    std::vector<std::vector<std::vector<std::int16_t>>> expected;  // per entry
  };
  const std::vector<Case> cases = {
      // The reversed strand is a gap with directionality (cosine 2|c| apart),
      // matched without it (absolute cosines). With neighbours the inserted
      // element breaks the run: either the second or the third query element
      // stays a gap. The chain-A run alone is too short.
      {"defaults", true, false, true,
       {{sol({1, 2, 3, 4})}, {sol({1, 2, 3, 0})}, {sol({1, 2, 4, 5})}, {}}},
      {"no directionality", false, false, true,
       {{sol({1, 2, 3, 4})}, {sol({1, 2, 3, 4})}, {sol({1, 2, 4, 5})}, {}}},
      {"neighbours", true, true, true,
       {{sol({1, 2, 3, 4})}, {sol({1, 2, 3, 0})}, {sol({1, 2, 0, 5}), sol({1, 0, 4, 5})}, {}}},
      {"multi-chain allowed", true, false, false,
       {{sol({1, 2, 3, 4})}, {sol({1, 2, 3, 0})}, {sol({1, 2, 4, 5})}, {sol({1, 2, 3, 4})}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SearchSetup s = incremental(4);
    // Element lengths 15.0, 12.2, 16.1 and 12.5: each query element has its
    // own copy as the only candidate of its type and length.
    s.mis_length = 1.0f;
    s.directionality = c.directionality;
    s.neighbours = c.neighbours;
    s.avoid_multichain = c.multichain;
    const Outcome r = run(s, q, *d.db);
    for (int e = 0; e < 4; ++e) {
      SCOPED_TRACE(e);
      EXPECT_EQ(r.lists.solutions[e], c.expected[e]);
    }
    const SearchHit* h = hit_of(r.res, 0);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->matched, 4);
    EXPECT_NEAR(h->rmsd, 0.0f, 2e-3f);
    // Every list equal: each XYSTAT term is w((0 + 1)(2 - 1) - 1) = 0.
    EXPECT_NEAR(h->score, 0.0f, 2e-3f);
  }
}

// The centroid fit superimposes the query's centres onto the hit's: the
// operator applied to the query's centres gives the entry's. The entry is
// the query turned by 90 degrees about z and shifted by (5, -7, 3), so the
// operator is that turn and shift.
TEST(Search, CentroidOperatorMapsQueryOntoHit) {
  Db d;
  d.add("1rot", query_moved(1.5707964f, {5, -7, 3}));
  const Query q = make_query(kQuery);
  const SearchSetup s = incremental(4);
  zvtest::Session session("");
  SearchWork work(s, q);
  const Entry& en = d.db->entries[0];
  ASSERT_TRUE(work.make_candidates(*d.db, en, work.effective_count(*d.db, en)));
  work.make_pair_values(*d.db, en);
  work.solve();
  ASSERT_EQ(work.nsolutions(), 1);
  float rms = -1.0f;
  std::array<float, 12> rt{};
  bool ok = false;
  ASSERT_EQ(centroid_fit(work, q, *d.db, en, 0, rms, rt, ok), 4);
  ASSERT_TRUE(ok);
  EXPECT_NEAR(rms, 0.0f, 2e-3f);
  // Column by column: x -> (-y), y -> x turned, z kept; then the shift.
  const std::array<float, 12> expected = {0, 1, 0, -1, 0, 0, 0, 0, 1, 5, -7, 3};
  for (int k = 0; k < 12; ++k) EXPECT_NEAR(rt[k], expected[k], 2e-3f) << k;
  for (int i = 0; i < 4; ++i) {
    const Vec3& c = q.elements[i].centre;
    const Vec3& e = d.db->element(en, i).centre;
    for (int r = 0; r < 3; ++r) {
      const float y = rt[r] * c[0] + rt[3 + r] * c[1] + rt[6 + r] * c[2] + rt[9 + r];
      EXPECT_NEAR(y, e[r], 2e-3f) << i << " " << r;
    }
  }
}

// With extensive output each failing entry says why; a reason without an
// element name ends the line (no blank after it).
TEST(Search, FailedLines) {
  Db d;
  d.add("1few", {kQuery[0], kQuery[1]});                      // two elements only
  d.add("2far", {kQuery[0], kQuery[1],                        // the last two far away
                 Sse{1, "A3", "A30", "A41", 12, {222, 0, 10}, {224, 16, 10}},
                 Sse{2, "B1", "A50", "A55", 6, {230, 10, 12}, {242, 12, 14}}});
  d.add("3hel", {kQuery[0], kQuery[1], kQuery[2], kQuery[2]});  // no strand
  std::vector<Sse> longer = query_moved(0.0f, {0, 0, 0});
  longer[3].nres = 30;                                        // too long for B1
  d.add("4lng", longer);
  const Query q = make_query(kQuery);
  struct Case {
    const char* what;
    SearchKind kind;
    int entry;
    const char* line;
  } cases[] = {
      {"IN too few", SearchKind::Incremental, 0, " FAILED > Not enough secondary structure elements\n"},
      {"IN no motif", SearchKind::Incremental, 1, " FAILED > No motif matches\n"},
      {"FI too few", SearchKind::Find, 0, " FAILED > Not enough secondary structure elements\n"},
      {"FI type", SearchKind::Find, 2, " FAILED > Not enough secondary structure elements of type\n"},
      {"FI no candidate", SearchKind::Find, 3, " FAILED > No matches for element B1\n"},
      {"FI no motif", SearchKind::Find, 1, " FAILED > No motif matches\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SearchSetup s = incremental(4);
    s.kind = c.kind;
    s.extensive = true;
    const Outcome r = run(s, q, *d.db);
    // The block of the entry: from its header to the empty line before the next.
    const std::string name(d.db->entries[c.entry].name.view());
    const std::size_t at = r.out.find("********** " + name);
    ASSERT_NE(at, std::string::npos);
    const std::size_t next = r.out.find("\n\n", at);
    const std::string block = r.out.substr(at, next == std::string::npos ? std::string::npos : next - at + 1);
    EXPECT_NE(block.find(c.line), std::string::npos) << block;
  }
}

TEST(Search, ResidueTermAndGapMismatchByHand) {
  Db d;
  // Every element one residue longer, loops one residue shorter than the query's
  // (labels shifted): 3 consecutive pairs, each loop 1 shorter.
  std::vector<Sse> v = query_moved(0.0f, {0, 0, 0});
  const char* from[] = {"A1", "A13", "A27", "A46"};
  const char* to[] = {"A11", "A21", "A39", "A52"};
  for (int i = 0; i < 4; ++i) {
    v[i].nres += 1;
    v[i].from = from[i];
    v[i].to = to[i];
  }
  d.add("1res", v);
  // Labels without digits: each pair of them counts 999.
  std::vector<Sse> w = query_moved(0.0f, {0, 0, 0});
  w[1].from = "AX";
  d.add("2lab", w);
  const Query q = make_query(kQuery);

  // Weights 100 for residues only: clamped to 0.01 the others normalise to
  // 0.01 / 100.04, below the cut, and residues to 100 / 100.04. Residue
  // lists differ by 1 everywhere: r = 1, c = 1, term = w (2 * 1 - 1) = w.
  SearchSetup s = incremental(4);
  s.weights = {100.0f / 100.04f, 0.01f / 100.04f, 0.01f / 100.04f, 0.01f / 100.04f, 0.01f / 100.04f};
  Outcome r = run(s, q, *d.db);
  ASSERT_EQ(r.res.hits.size(), 2u);
  EXPECT_NEAR(r.res.hits[0].score, 100.0f / 100.04f, 1e-5f);

  // Symbolic: score = mismatched residues (4), tie value = gaps mismatch.
  // Query loops 15-10, 30-22, 50-41 = 5, 8, 9; entry 13-11, 27-21, 46-39 =
  // 2, 6, 7: 3 + 2 + 2 = 7. Entry 2: "AX" spoils the pair A1-A2 only,
  // the pair A2-A3 reads A22 to A30: 999 + 0 + 0.
  s.symbolic = true;
  r = run(s, q, *d.db);
  ASSERT_EQ(r.res.hits.size(), 2u);
  EXPECT_EQ(r.res.hits[0].score, 4.0f);
  EXPECT_EQ(r.res.hits[0].rmsd, 7.0f);
  EXPECT_EQ(r.res.hits[1].score, 0.0f);
  EXPECT_EQ(r.res.hits[1].rmsd, 999.0f);
}

TEST(Search, LabelNumbers) {
  struct {
    const char* label;
    bool ok;
    long number;
  } cases[] = {{"A12", true, 12}, {"12", true, 12}, {"A12B", true, 12}, {"-5", true, 5},
               {"AB", false, 0},  {"", false, 0},   {"B1002", true, 1002}};
  for (const auto& c : cases) {
    long n = -1;
    EXPECT_EQ(label_number(c.label, n), c.ok) << c.label;
    if (c.ok) {
      EXPECT_EQ(n, c.number) << c.label;
    }
  }
}

TEST(Search, IdenticalProteinsAndMaxHits) {
  Db d;
  d.add("1abc", query_moved(0.3f, {1, 2, 3}));
  d.add("2abc", query_moved(0.6f, {1, 2, 3}));   // characters 2-4 as the first hit
  d.add("1xyz", query_moved(0.9f, {1, 2, 3}));
  d.add("ab", query_moved(1.2f, {1, 2, 3}));      // a name shorter than 4 characters
  const Query q = make_query(kQuery);
  SearchSetup s = incremental(4);
  Outcome r = run(s, q, *d.db);
  EXPECT_EQ(r.res.matching, 4);
  s.avoid_identical = true;
  r = run(s, q, *d.db);
  EXPECT_EQ(r.res.matching, 3);
  EXPECT_EQ(hit_of(r.res, 1), nullptr);
  s.avoid_identical = false;
  r = run(s, q, *d.db, 2);
  EXPECT_TRUE(r.res.aborted);
  EXPECT_EQ(r.res.matching, 2);
  EXPECT_NE(r.out.find("Too many matching entries - ABORTING SEARCH !"), std::string::npos);
}

// Twenty copies of one helix against three parallel query helices: every
// ordered triple fits, C(20,3) = 1140 of them.
TEST(Search, SolutionCap) {
  std::vector<Sse> copies(20, Sse{1, "H", "A1", "A10", 10, {0, 0, 0}, {15, 0, 0}});
  Db d;
  d.add("1cap", copies);
  const Query q = make_query({{1, "A1", "A1", "A10", 10, {0, 0, 0}, {15, 0, 0}},
                              {1, "A2", "A15", "A24", 10, {0, 3, 0}, {15, 3, 0}},
                              {1, "A3", "A30", "A39", 10, {0, 0, 3}, {15, 0, 3}}});
  SearchSetup s = incremental(3);
  Outcome r = run(s, q, *d.db);
  ASSERT_EQ(r.lists.solutions[0].size(), 1000u);
  EXPECT_EQ(r.lists.dropped[0], 140);
  EXPECT_EQ(r.res.total_solutions, 1000);
  EXPECT_EQ(r.lists.solutions[0][0], sol({1, 2, 3}));
  // Triples from 1 to 9 first: 171 + 153 + ... + 55 = 975; then 10-11-x (9),
  // 10-12-x (8), 10-13-x (7) and 10-14-15, the 1000th.
  EXPECT_EQ(r.lists.solutions[0][999], sol({10, 14, 15}));

  s.kind = SearchKind::Find;
  r = run(s, q, *d.db);
  ASSERT_EQ(r.lists.solutions[0].size(), 1000u);
  EXPECT_EQ(r.lists.dropped[0], 1);  // the 1001st ends the entry
  EXPECT_EQ(r.res.hits.size(), 1u);
}

// A mirror image has the same distances, cosines, lengths and sizes, so the
// same score, but its centres cannot be turned onto the query's.
TEST(Search, EqualScoresDecidedByRmsd) {
  std::vector<Sse> both;
  for (const Sse& s : kQuery) both.push_back(mirrored(s));
  for (const Sse& s : kQuery) both.push_back(s);
  for (int i = 4; i < 8; ++i) {
    both[i].from = "A100";
    both[i].to = "A110";
  }
  Db d;
  d.add("1mir", both);
  const Query q = make_query(kQuery);
  SearchSetup s = incremental(4);
  s.mis_distance = 0.5f;
  s.mis_cosine = 0.1f;
  s.weights = {0.25f, 0.25f, 0.25f, 0.25f, 0.0f};  // the RMSD term left out
  Outcome r = run(s, q, *d.db);
  ASSERT_EQ(r.lists.solutions[0], (std::vector<std::vector<std::int16_t>>{sol({1, 2, 3, 4}), sol({5, 6, 7, 8})}));
  ASSERT_EQ(r.res.hits.size(), 1u);
  EXPECT_NEAR(r.res.hits[0].rmsd, 0.0f, 2e-3f);  // IN: the later one, lower RMSD

  s.kind = SearchKind::Find;
  r = run(s, q, *d.db);
  ASSERT_EQ(r.res.hits.size(), 1u);
  EXPECT_GT(r.res.hits[0].rmsd, 1.0f);  // FI: the first of the equal scores
}

TEST(Search, Ranking) {
  const std::vector<SearchHit> hits = {
      {0, 4, 1.0f, 2.0f}, {1, 5, 3.0f, 1.0f}, {2, 4, 1.0f, 1.5f}, {3, 4, 0.5f, 9.0f}, {4, 4, 1.0f, 1.5f}};
  const std::vector<SearchHit> r = rank_hits(hits);
  std::vector<int> order;
  for (const auto& h : r) order.push_back(h.entry);
  EXPECT_EQ(order, (std::vector<int>{1, 3, 2, 4, 0}));
}

TEST(SearchFiles, CentroidLineColumns) {
  struct {
    const char* name;
    int n;
    float rms;
    const char* centres;  // columns 21-23 of the macro line
    const char* rmsd;     // columns 53-60
  } cases[] = {{"1abcde", 12, 1.5f, " 12", "   1.500"},
               {"ab", 3, 0.0f, "  3", "   0.000"},
               {"2xyz", 2, kFailedRmsd, "  2", " 999.990"}};
  for (const auto& c : cases) {
    const std::string macro_line = "print ... " + centroid_line(c.name, c.n, c.rms) + " ";
    EXPECT_EQ(macro_line.substr(20, 3), c.centres);
    EXPECT_EQ(macro_line.substr(52, 8), c.rmsd);
  }
  EXPECT_EQ(pair_name("1abc", "query"), "1abc_to_query");
  EXPECT_EQ(pair_name("abcdefghij", "klmnopqrst").size(), 24u);
}

// The look-ahead of the IN solver cuts only branches whose leaves the plain
// solver rejects: on real queries against the bundled database both give
// every entry the same solutions in the same order, and drop as many.
namespace equivalence {

const Database& bundled() {
  static std::unique_ptr<Database> db = [] {
    auto d = std::make_unique<Database>();
    zvtest::Session session("");
    const std::string path = std::string(ZV_SOURCE_DIR) + "/data/db/kelvor.lib";
    if (zv::unit_open(kUnitLibrary, path, zv::UnitMode::Read) == 0) load_database(*d, LoadOptions{});
    return d;
  }();
  return *db;
}

Query query_of(const Database& db, const char* name) {
  Query q;
  for (int i = 0; i < db.nentries; ++i) {
    const Entry& en = db.entries[i];
    if (en.name.view() != name) continue;
    q.name = en.name;
    for (int e = 0; e < en.count; ++e) q.elements.push_back(db.element(en, e));
  }
  q.build_pair_tables();
  return q;
}

TEST(SearchEquivalence, PlainAndLookAheadSolversAgree) {
  const Database& db = bundled();
  ASSERT_GT(db.nentries, 100);
  struct Case {
    const char* query;
    bool directionality, absolute, neighbours, symbolic;
    DistanceMode mode;
    int min_match;
  };
  const Case cases[] = {
      {"1ubq", true, true, false, false, DistanceMode::C, 4},
      {"1ymb", true, true, false, false, DistanceMode::I, 4},
      {"1aki", true, true, true, false, DistanceMode::C, 4},
      {"1ubq", true, false, false, false, DistanceMode::H, 4},
      {"2fj9", false, true, false, false, DistanceMode::A, 3},
      {"1ubq", true, false, true, true, DistanceMode::C, 5},
  };
  // Every third entry keeps the plain solver's time in bounds.
  auto& entries = const_cast<Database&>(db).entries;
  for (int i = 0; i < db.nentries; ++i) entries[i].selected = i % 3 == 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    const Query q = query_of(db, c.query);
    ASSERT_GT(q.size(), 0);
    SearchSetup s = incremental(q.size());
    s.directionality = c.directionality;
    s.absolute = c.absolute;
    s.neighbours = c.neighbours;
    s.symbolic = c.symbolic;
    s.mode = c.mode;
    s.min_match = c.min_match;
    const Outcome plain = run(s, q, db, kMaxEntries, false);
    const Outcome ahead = run(s, q, db, kMaxEntries, true);
    EXPECT_GT(plain.res.matching, 0);
    EXPECT_EQ(plain.lists.solutions, ahead.lists.solutions);
    EXPECT_EQ(plain.lists.dropped, ahead.lists.dropped);
    EXPECT_EQ(plain.out, ahead.out);
  }
  for (int i = 0; i < db.nentries; ++i) entries[i].selected = true;
}

}  // namespace equivalence

}  // namespace

namespace {

// A command file whose writes fail (a file-size limit, a full disk): the
// failure is reported with the file's name, and a regular file is removed
// rather than left cut; a device is left alone. The files are opened as new
// files, so /dev/full is opened as an interactive user does it, by answering
// yes to "Open file as OLD"; a file left by an earlier search is replaced.
TEST(SearchFiles, WriteFailures) {
  struct Case {
    std::string name;
    bool fill;          // write past a 1-byte file-size limit
    const char* says;
    bool exists_after;
    bool interactive = false;  // answer Y to "Open file as OLD"
  };
  const std::string dir = testing::TempDir();
  const std::string cut = dir + "/kelvor_search_cut.mac";
  const Case cases[] = {
      {"/dev/full", false, "While writing Mova macro file /dev/full - file incomplete", true, true},
      {cut, true, "", false},
      {dir + "/kelvor_search_ok.mac", false, "", true},
  };
  const std::string cut_says = "While writing Mova macro file " + cut + " - incomplete file removed";
  for (const Case& c : cases) {
    zvtest::Session session(c.interactive ? "Y\n" : "",
                            {c.interactive ? "-I" : "-B"});
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    if (c.fill) {
      std::signal(SIGXFSZ, SIG_IGN);
      rlimit lim = old;
      lim.rlim_cur = 4096;
      setrlimit(RLIMIT_FSIZE, &lim);
    }
    CommandFile f(kUnitMacro, "Mova macro file ");
    ASSERT_TRUE(f.open(c.name));
    for (int i = 0; i < 20000; ++i) f.line({"print", "... a line of the macro"});
    f.close();
    setrlimit(RLIMIT_FSIZE, &old);
    const std::string out = session.out();
    if (c.fill) {
      EXPECT_NE(out.find(cut_says), std::string::npos) << out;
    } else if (*c.says) {
      EXPECT_NE(out.find(c.says), std::string::npos) << out;
    } else {
      EXPECT_EQ(out.find("ERROR"), std::string::npos) << out;
    }
    EXPECT_EQ(std::ifstream(c.name).good(), c.exists_after) << c.name;
  }
}

// The VOBRIL file named as the macro (under its own name or another path):
// refused, and the macro is written whole; distinct names give both files.
TEST(SearchFiles, VobrilFileThatIsTheMacro) {
  const std::string dir = testing::TempDir();
  const std::string macro = dir + "/kelvor_same.mac";
  const struct {
    std::string vobril;
    bool refused;
  } cases[] = {{macro, true}, {dir + "/./kelvor_same.mac", true}, {dir + "/kelvor_other.inp", false}};
  const Query q = make_query(kQuery);
  Db db;
  const SearchSetup s = incremental(4);
  for (const auto& c : cases) {
    std::remove(c.vobril.c_str());
    zvtest::Session session("");
    {
      SearchOutputs outputs(s, q, *db.db, false);
      outputs.start(true, macro, true, c.vobril);
      outputs.finish();
    }
    const std::string out = session.out();
    const bool refused =
        out.find("VOBRIL input file would overwrite the Mova macro file : " + c.vobril) != std::string::npos;
    EXPECT_EQ(refused, c.refused) << out;
    std::ifstream m(macro);
    std::string first;
    std::getline(m, first);
    EXPECT_EQ(first.rfind("! Mova macro", 0), 0u) << first;
    std::string all((std::istreambuf_iterator<char>(m)), std::istreambuf_iterator<char>());
    EXPECT_EQ(all.find("movamacro"), std::string::npos) << c.vobril;
    EXPECT_EQ(std::ifstream(c.vobril).good(), true);
  }
}

}  // namespace
