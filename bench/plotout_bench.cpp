// Plot output writers against plain printf: one million XPS_DRAW lines, and
// a 1000 x 1000 grid written as a VRML face set, each next to a baseline
// that writes the same lines with fprintf to a buffered file. After the
// table the ratios writer speed / printf speed are printed as
// "ratio draw: x.xx" and "ratio grid: x.xx" (goal: at least 0.5).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench_files.h"
#include "bench_report.h"
#include "core/files.h"
#include "core/units.h"
#include "plotout/xps.h"
#include "plotout/xvrml.h"

namespace {

namespace fs = std::filesystem;

constexpr int kDraws = 1000000;
constexpr int kGrid = 1000;

std::string scratch(const char* name) { return zvbench::scratch_path("zv_plotout_bench", name); }

struct Points {
  std::vector<float> x, y;
  Points() : x(kDraws), y(kDraws) {
    for (int i = 0; i < kDraws; ++i) {
      x[static_cast<std::size_t>(i)] = static_cast<float>(i) * 0.001f;
      y[static_cast<std::size_t>(i)] = 500.0f + 400.0f * std::sin(static_cast<float>(i) * 0.01f);
    }
  }
};

const Points& points() {
  static const Points p;
  return p;
}

std::vector<float> make_grid() {
  std::vector<float> g(static_cast<std::size_t>(kGrid) * kGrid);
  for (int j = 0; j < kGrid; ++j)
    for (int i = 0; i < kGrid; ++i)
      g[static_cast<std::size_t>(i + j * kGrid)] =
          std::sin(static_cast<float>(i) * 0.01f) * std::cos(static_cast<float>(j) * 0.02f);
  return g;
}

const std::vector<float>& grid() {
  static const std::vector<float> g = make_grid();
  return g;
}

using zvbench::QuietTerminal;

void BM_XpsDraw(benchmark::State& state) {
  const Points& p = points();
  const std::string file = scratch("draw.eps");
  QuietTerminal quiet;
  zv::XPS_INIT();
  for (auto _ : state) {
    zv::XPS_OPEN(41, file, "BENCH");
    zv::XPS_WINDOW(0.0f, 1000.0f, 0.0f, 1000.0f);
    zv::XPS_MOVE(p.x[0], p.y[0]);
    for (int i = 0; i < kDraws; ++i)
      zv::XPS_DRAW(p.x[static_cast<std::size_t>(i)], p.y[static_cast<std::size_t>(i)]);
    zv::XPS_CLOSE();
  }
  state.SetItemsProcessed(state.iterations() * kDraws);
  state.counters["bytes"] = static_cast<double>(fs::file_size(file));
  fs::remove(file);
}

// The same draw lines, mapped the same way, with fprintf.
void BM_PrintfDraw(benchmark::State& state) {
  const Points& p = points();
  const std::string file = scratch("draw.txt");
  const float xmin = 0.0f, ymin = 0.0f, xs = 450.0f / 1000.0f, ys = 450.0f / 1000.0f;
  for (auto _ : state) {
    std::FILE* fp = std::fopen(file.c_str(), "w");
    std::fprintf(fp, "S %.2f %.2f M\n", (p.x[0] - xmin) * xs + 50.0f, (p.y[0] - ymin) * ys + 250.0f);
    int segments = 0;
    for (int i = 0; i < kDraws; ++i) {
      const double px = (p.x[static_cast<std::size_t>(i)] - xmin) * xs + 50.0f;
      const double py = (p.y[static_cast<std::size_t>(i)] - ymin) * ys + 250.0f;
      std::fprintf(fp, "%.2f %.2f L\n", px, py);
      if (++segments >= 100) {
        std::fprintf(fp, "S\n%.2f %.2f M\n", px, py);
        segments = 0;
      }
    }
    std::fclose(fp);
  }
  state.SetItemsProcessed(state.iterations() * kDraws);
  state.counters["bytes"] = static_cast<double>(fs::file_size(file));
  fs::remove(file);
}

void BM_VrmlGrid(benchmark::State& state) {
  const std::vector<float>& g = grid();
  const std::string path = scratch("grid.wrl");
  QuietTerminal quiet;
  for (auto _ : state) {
    std::string file = path;
    if (zv::XOPXUA(42, file, false) != 0) {
      state.SkipWithError("cannot open the scratch file");
      break;
    }
    zv::XVRML_HEADER(42, 1.0f, 1.0f, 1.0f);
    zv::XVRML_MATERIAL(0.0f, 0.0f, 1.0f);
    zv::XVRML_FACES(kGrid, kGrid, g, 0.0f, 10.0f, 0.0f, 10.0f);
    zv::XVRML_CLOSE();
  }
  state.SetItemsProcessed(state.iterations() * kGrid * kGrid);
  state.counters["bytes"] = static_cast<double>(fs::file_size(path));
  fs::remove(path);
}

// The same point and index lines with fprintf.
void BM_PrintfVrmlGrid(benchmark::State& state) {
  const std::vector<float>& g = grid();
  const std::string file = scratch("grid.txt");
  for (auto _ : state) {
    std::FILE* fp = std::fopen(file.c_str(), "w");
    const float dx = 10.0f / static_cast<float>(kGrid - 1);
    for (int i = 1; i <= kGrid; ++i)
      for (int j = 1; j <= kGrid; ++j)
        std::fprintf(fp, "%.3f %.3f %.3f ,\n", static_cast<double>(static_cast<float>(i - 1) * dx),
                     static_cast<double>(static_cast<float>(j - 1) * dx),
                     static_cast<double>(g[static_cast<std::size_t>(i - 1 + (j - 1) * kGrid)]));
    for (int j = 1; j < kGrid; ++j)
      for (int i = 1; i < kGrid; ++i) {
        const long a = (i - 1L) * kGrid + (j - 1), b = a + 1, c = a + kGrid, d = c + 1;
        std::fprintf(fp, "%ld, %ld, %ld, %ld, -1,\n%ld, %ld, %ld, %ld, -1,\n", a, b, c, a, c, b,
                     d, c);
      }
    std::fclose(fp);
  }
  state.SetItemsProcessed(state.iterations() * kGrid * kGrid);
  state.counters["bytes"] = static_cast<double>(fs::file_size(file));
  fs::remove(file);
}

BENCHMARK(BM_XpsDraw)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);
BENCHMARK(BM_PrintfDraw)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);
BENCHMARK(BM_VrmlGrid)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);
BENCHMARK(BM_PrintfVrmlGrid)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  zvbench::BestTimeReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const struct {
    const char* label;
    const char* ours;
    const char* base;
    double items;
  } pairs[] = {{"draw", "BM_XpsDraw", "BM_PrintfDraw", kDraws},
               {"grid", "BM_VrmlGrid", "BM_PrintfVrmlGrid", double(kGrid) * kGrid}};
  for (const auto& p : pairs) {
    const auto ours = reporter.best.find(p.ours);
    const auto base = reporter.best.find(p.base);
    if (ours == reporter.best.end() || base == reporter.best.end()) continue;
    std::printf("%s: writer %.2f M/s, printf baseline %.2f M/s\n", p.label,
                p.items / ours->second / 1e6, p.items / base->second / 1e6);
    std::printf("ratio %s: %.2f\n", p.label, base->second / ours->second);
  }
  return 0;
}
