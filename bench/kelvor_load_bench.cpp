// Loading speed of kelvor's database: the bundled database and a synthetic
// one at the full limits (20000 entries, 650000 elements), in MB/s of SSE
// text and entries/s. Baselines measured in the same run: reading the same
// lines without parsing them, and the general list-directed reader against
// the fast element-record path. The ratios are printed at the end. Rates
// of the loads are per wall-clock second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench_files.h"
#include "bench_report.h"
#include "capacities.h"
#include "core/units.h"
#include "element_record.h"
#include "loader.h"
#include "model.h"

namespace {

namespace fs = std::filesystem;

// Writes the synthetic database once: 20000 entries holding 650000 elements
// in all, in the layout prynol writes.
const std::string& synthetic_database() {
  static const std::string path = zvbench::cached_input("kelvor_synthetic_v1.lib", [](std::ofstream& out) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> coord(-99.0f, 99.0f);
    char line[160];
    int written = 0;
    for (int i = 0; i < kelvor::kMaxEntries; ++i) {
      const int left = kelvor::kMaxElements - written;
      const int n = left / (kelvor::kMaxEntries - i);
      out << "MOL    s" << i << "\nNOTE   synthetic entry " << i << "\nPDB    /data/s" << i
          << ".pdb\n";
      for (int k = 0; k < n; ++k) {
        const bool helix = k % 3 != 0;
        const int from = 10 * k + 1;
        const int nres = helix ? 12 : 6;
        std::snprintf(line, sizeof line,
                      "%s '%c%d' 'A%d' 'A%d' %d %.3f %.3f %.3f %.3f %.3f %.3f\n",
                      helix ? "ALPHA " : "BETA  ", helix ? 'A' : 'B', k + 1, from,
                      from + nres - 1, nres, coord(rng), coord(rng), coord(rng), coord(rng),
                      coord(rng), coord(rng));
        out << line;
      }
      out << "ENDMOL\n";
      written += n;
    }
  });
  return path;
}

std::string bundled_database() {
  for (const char* name : {"data/db/kelvor.lib.gz", "data/db/kelvor.lib"}) {
    const fs::path p = fs::path(ZV_SOURCE_DIR) / name;
    if (fs::exists(p)) return p.string();
  }
  return {};
}

// The text size of a database (uncompressed).
std::size_t text_bytes(const std::string& path) {
  if (zv::unit_open(kelvor::kUnitLibrary, path, zv::UnitMode::Read) != 0) return 0;
  std::size_t bytes = 0;
  std::string line;
  while (zv::unit_read_line(kelvor::kUnitLibrary, line) == 0) bytes += line.size() + 1;
  zv::unit_close(kelvor::kUnitLibrary);
  return bytes;
}

// The loader's summary lines go nowhere.
void quiet_stdout() {
  static std::FILE* devnull = std::fopen("/dev/null", "w");
  zv::unit_bind_stream(zv::kUnitStdout, devnull);
}

void run_load(benchmark::State& state, const std::string& path) {
  if (path.empty()) {
    state.SkipWithError("no bundled database in data/db");
    return;
  }
  quiet_stdout();
  const std::size_t bytes = text_bytes(path);
  int entries = 0;
  for (auto _ : state) {
    auto db = std::make_unique<kelvor::Database>();
    if (zv::unit_open(kelvor::kUnitLibrary, path, zv::UnitMode::Read) != 0) {
      state.SkipWithError("cannot open the database");
      return;
    }
    kelvor::load_database(*db, kelvor::LoadOptions{});
    entries = db->nentries;
    benchmark::DoNotOptimize(db->elements.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.counters["entries/s"] =
      benchmark::Counter(static_cast<double>(entries), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["entries"] = entries;
}

void BM_LoadSynthetic(benchmark::State& state) { run_load(state, synthetic_database()); }
void BM_LoadBundled(benchmark::State& state) { run_load(state, bundled_database()); }

// Baseline: the same file read line by line through the unit table, unparsed.
void BM_ReadLinesSynthetic(benchmark::State& state) {
  const std::string& path = synthetic_database();
  const std::size_t bytes = text_bytes(path);
  std::string line;
  for (auto _ : state) {
    if (zv::unit_open(kelvor::kUnitLibrary, path, zv::UnitMode::Read) != 0) {
      state.SkipWithError("cannot open the database");
      return;
    }
    std::size_t n = 0;
    while (zv::unit_read_line(kelvor::kUnitLibrary, line) == 0) n += line.size();
    zv::unit_close(kelvor::kUnitLibrary);
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

const std::vector<std::string>& record_values() {
  static const std::vector<std::string> values = [] {
    std::vector<std::string> v;
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> coord(-99.0f, 99.0f);
    char buf[160];
    for (int i = 0; i < 10000; ++i) {
      std::snprintf(buf, sizeof buf, "'A%d' 'A%d' 'A%d' %d %.3f %.3f %.3f %.3f %.3f %.3f", i % 300,
                    i, i + 11, 12, coord(rng), coord(rng), coord(rng), coord(rng), coord(rng),
                    coord(rng));
      v.emplace_back(buf);
    }
    return v;
  }();
  return values;
}

void parse_records(benchmark::State& state, int (*reader)(std::string_view, kelvor::ElementFields&)) {
  const auto& values = record_values();
  kelvor::ElementFields f;
  std::size_t bytes = 0;
  for (const auto& v : values) bytes += v.size();
  for (auto _ : state) {
    for (const auto& v : values) benchmark::DoNotOptimize(reader(v, f));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * values.size()));
}

void BM_ElementRecordFast(benchmark::State& state) { parse_records(state, kelvor::read_element_record); }
void BM_ElementRecordGeneral(benchmark::State& state) {
  parse_records(state, kelvor::read_element_record_general);
}

BENCHMARK(BM_ReadLinesSynthetic)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadSynthetic)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadBundled)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ElementRecordGeneral)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ElementRecordFast)->Unit(benchmark::kMicrosecond);

// Prints "ratio <what>" as the wall time of a over that of b.
void print_ratio(const zvbench::BestTimeReporter& reporter, const char* a, const char* b,
                 const char* what) {
  const double* ta = reporter.find(a);
  const double* tb = reporter.find(b);
  if (!ta || !tb || *tb <= 0) return;
  std::printf("ratio %-46s %8.2f\n", what, *ta / *tb);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  zvbench::BestTimeReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  print_ratio(reporter, "BM_LoadSynthetic", "BM_ReadLinesSynthetic", "load / reading the lines alone");
  print_ratio(reporter, "BM_ElementRecordGeneral", "BM_ElementRecordFast",
              "general reader / fast path (element records)");
  benchmark::Shutdown();
  return 0;
}
