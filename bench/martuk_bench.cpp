// martuk on a macro of 25000 hits in the layout of kelvor's search, each
// block extended with result lines (about a million lines, 30 MB): reading
// the hits, both sorts with their listings, and writing the new macro with
// every hit, in one process. Baseline measured in the same run: reading the
// same file line by line through the unit table and writing it out again.
// The ratios are printed at the end; the goal is the whole run under one
// second and within three times the baseline.
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
#include "hits.h"
#include "run.h"
#include "state.h"
#include "writer.h"

namespace {

namespace fs = std::filesystem;

// Writes the macro once: kelvor's preamble and 25000 hit blocks, each with
// the lines of a superposition program's results after the entry note.
const std::string& macro_path() {
  static const std::string path = zvbench::cached_input("martuk_hits_v1.movamac", [](std::ofstream& out) {
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> count(1, 300);
    std::uniform_real_distribution<float> rms(0.3f, 6.0f);
    out << "! Mova macro lsq.movamac \n! Created by KELVOR V. 050113/5.9.1 for bench \n! \n"
           "! mova_setup off off on \n! \nprint ... analysing mymodel \nprint ... incremental search \n"
           "s_a_i /models/mymodel.pdb mymodel \nmol mymodel obj cmymodel \nca ; end \n! \n";
    char line[256];
    for (int i = 0; i < martuk::kMaxHits; ++i) {
      char name[8];
      std::snprintf(name, sizeof name, "%d%c%c%c", 1 + i % 9, 'a' + i / 676 % 26, 'a' + i / 26 % 26,
                    'a' + i % 26);
      const int nsse = 3 + i % 9;
      out << "! \nprint ... Comparing " << name << " \nprint " << name << " a protein of the database \n";
      std::snprintf(line, sizeof line, "print ... Nr of matched residues :%11d \n", count(rng));
      out << line;
      std::snprintf(line, sizeof line, "print ... RMS distance of CA atoms%11.3f \n", rms(rng));
      out << line;
      out << "print ... score = 12.34567 for " << name << " \nprint ... nr of matched SSEs = " << nsse
          << " for " << name << " \n! \ns_a_i /data/pdb/" << name << ".pdb " << name << " pdb \n! \n"
          << "db_create .lsq_rt_" << name << " 12 R \n! \n";
      std::snprintf(line, sizeof line, "print ...  %-4s ... %3d centroids with RMS distance %8.3f A \n",
                    name, nsse, rms(rng));
      out << line;
      for (int k = 1; k <= 12; ++k)
        out << "db_set_data .lsq_rt_" << name << ' ' << k << ' ' << k << ' ' << 0.123f * k << " \n";
      out << "! lsq_impr mymodel " << name << " A5 A16 CA A3 ; " << name << "_to_mymodel \n"
          << "lsq_impr .lsq_rt_" << name << " \n! \nlsq_mol " << name << "_to_mymodel " << name
          << " ; \n! \nmol " << name << " obj c" << name << " \npai_zo " << name << " ; blue \n";
      for (int k = 0; k < nsse / 3; ++k) out << "pai_zo " << name << " A" << 10 * k << " A" << 10 * k + 8 << " red \n";
      out << "ca ; end_obj \n! \n! lsq_paired " << name << "_to_mymodel on \n! del_obj c" << name
          << " ; \n! db_kill .lsq_rt_" << name << " \n! \n";
    }
  });
  return path;
}

std::string new_macro_path() { return (fs::path(ZV_BINARY_DIR) / "bench" / "martuk_new.movamac").string(); }

// The listings go nowhere.
void quiet_stdout() {
  static std::FILE* devnull = std::fopen("/dev/null", "w");
  zv::unit_bind_stream(zv::kUnitStdout, devnull);
}

std::uint64_t file_bytes() { return fs::file_size(macro_path()); }

void read_macro(martuk::MartukState& st) {
  if (st.old.open(macro_path()) != 0) std::abort();
  martuk::read_hits(st);
  martuk::index_blocks(st);
}

void sort_both(martuk::MartukState& st) {
  for (int imode : {0, 1}) {
    st.imode = imode;
    martuk::sort_block(st);
  }
}

void write_macro(martuk::MartukState& st) {
  st.new_name = new_macro_path();
  if (zv::unit_open(martuk::kUnitNew, st.new_name, zv::UnitMode::Write) != 0) std::abort();
  martuk::write_hits(st);
}

// Baseline: the file read line by line and written out again.
void BM_CopyLinesBaseline(benchmark::State& state) {
  quiet_stdout();
  const std::string in = macro_path();
  std::string line;
  for (auto _ : state) {
    if (zv::unit_open(martuk::kUnitOld, in, zv::UnitMode::Read) != 0 ||
        zv::unit_open(martuk::kUnitNew, new_macro_path(), zv::UnitMode::Write) != 0) {
      state.SkipWithError("cannot open the macros");
      return;
    }
    while (zv::unit_read_line(martuk::kUnitOld, line) == 0) (void)zv::unit_write_line(martuk::kUnitNew, line);
    (void)zv::unit_close(martuk::kUnitOld);
    (void)zv::unit_close(martuk::kUnitNew);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file_bytes()));
}

void BM_ReadHits(benchmark::State& state) {
  quiet_stdout();
  std::size_t hits = 0;
  for (auto _ : state) {
    auto st = std::make_unique<martuk::MartukState>();
    read_macro(*st);
    hits = st->hits.size();
  }
  state.counters["hits"] = static_cast<double>(hits);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file_bytes()));
}

void BM_SortBothModes(benchmark::State& state) {
  quiet_stdout();
  martuk::MartukState st;
  read_macro(st);
  st.min_matches = 1;
  st.max_rmsd = martuk::kDefaultMaxRmsd;
  for (auto _ : state) sort_both(st);
}

void BM_WriteAllHits(benchmark::State& state) {
  quiet_stdout();
  martuk::MartukState st;
  read_macro(st);
  sort_both(st);
  for (auto _ : state) {
    if (st.old.open(macro_path()) != 0) std::abort();
    write_macro(st);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file_bytes()));
}

// The whole run: read, sort in both modes, write every hit.
void BM_WholeRun(benchmark::State& state) {
  quiet_stdout();
  for (auto _ : state) {
    auto st = std::make_unique<martuk::MartukState>();
    read_macro(*st);
    sort_both(*st);
    write_macro(*st);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file_bytes()));
}

BENCHMARK(BM_CopyLinesBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadHits)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SortBothModes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteAllHits)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WholeRun)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  // Wall times in ms, for the ratio against the baseline.
  zvbench::BestTimeReporter reporter(benchmark::ConsoleReporter::OO_Defaults,
                                     zvbench::BestTimeReporter::Clock::Real, 1e3);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double* base = reporter.find("BM_CopyLinesBaseline");
  const double* whole = reporter.find("BM_WholeRun");
  if (base && whole && *base > 0) {
    std::printf("macro: %s, %.1f MB\n", macro_path().c_str(), static_cast<double>(file_bytes()) / 1e6);
    std::printf("ratio %-46s %8.2f   (goal: 3 or less)\n", "whole run / copying the lines",
                *whole / *base);
    std::printf("whole run %.0f ms                                     (goal: under 1000 ms)\n",
                *whole);
  }
  benchmark::Shutdown();
  std::error_code ec;
  fs::remove(new_macro_path(), ec);
  return 0;
}
