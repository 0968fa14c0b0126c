// zev's drawing against baselines measured in the same run:
// - contouring a 1000 x 1000 grid (a sum of Gaussians, like a density map)
//   at 10 levels into an EPS file, next to gnuplot contouring the same grid
//   (read from a binary file) at the same levels into an EPS file;
// - 100000 scatter-plot markers into an EPS file through the PostScript
//   writer, next to writing the same marker lines with fprintf.
// After the table: "contour: zev X s, gnuplot Y s" and "ratio contour:"
// gnuplot time / zev time (goal: zev under 1 s and faster, ratio above 1),
// and "ratio scatter:" printf time / writer time.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench_files.h"
#include "bench_report.h"
#include "contour.h"
#include "core/units.h"
#include "plotout/xps.h"

namespace {

namespace fs = std::filesystem;

constexpr int kGrid = 1000;
constexpr int kLevels = 10;
constexpr int kMarkers = 100000;

std::string scratch(const std::string& name) { return zvbench::scratch_path("zv_zev_bench", name); }

// Twelve Gaussian "atoms" of different heights and widths on 0..1000.
std::vector<float> make_grid() {
  std::vector<float> g(static_cast<std::size_t>(kGrid) * kGrid);
  const float cx[] = {150, 300, 420, 610, 800, 880, 220, 500, 700, 350, 560, 900};
  const float cy[] = {200, 720, 400, 150, 300, 800, 500, 880, 600, 90, 350, 520};
  const float h[] = {1.0f, 0.8f, 1.2f, 0.6f, 1.0f, 0.9f, 0.7f, 1.1f, 0.5f, 0.8f, 1.3f, 0.6f};
  const float s[] = {60, 90, 45, 70, 110, 50, 80, 65, 120, 40, 55, 75};
  for (int j = 0; j < kGrid; ++j)
    for (int i = 0; i < kGrid; ++i) {
      float v = 0.0f;
      for (int k = 0; k < 12; ++k) {
        const float dx = static_cast<float>(i) - cx[k], dy = static_cast<float>(j) - cy[k];
        v += h[k] * std::exp(-(dx * dx + dy * dy) / (2.0f * s[k] * s[k]));
      }
      g[static_cast<std::size_t>(j) * kGrid + static_cast<std::size_t>(i)] = v;
    }
  return g;
}

const std::vector<float>& grid() {
  static const std::vector<float> g = make_grid();
  return g;
}

float level(int k) { return 0.1f * static_cast<float>(k + 1); }

using zvbench::QuietTerminal;

void BM_ZevContour(benchmark::State& state) {
  const std::vector<float>& g = grid();
  const std::string file = scratch("contour.eps");
  std::vector<char> marks(static_cast<std::size_t>(zv::contour_marks_size(kGrid, kGrid)));
  std::vector<float> levels;
  std::vector<int> colours;
  for (int k = 0; k < kLevels; ++k) {
    levels.push_back(level(k));
    colours.push_back(k % 7 + 1);
  }
  QuietTerminal quiet;
  zv::XPS_INIT();
  for (auto _ : state) {
    zv::XPS_OPEN(41, file, "ZEV");
    zv::XPS_WINDOW(0.0f, 999.0f, 0.0f, 999.0f);
    zv::XPS_COMMENT("Here come the contours");
    zv::PsContourOutput out(0.0f, 1.0f, 0.0f, 1.0f);
    zv::CONTOUR(g, marks, kGrid, kGrid, levels, colours, kLevels, out);
    zv::XPS_CLOSE();
  }
  state.counters["bytes"] = static_cast<double>(fs::file_size(file));
  fs::remove(file);
}

// gnuplot from the distribution: the grid as a binary float matrix, contours
// at the same levels, no surface, seen from above, into an EPS file.
void BM_GnuplotContour(benchmark::State& state) {
  if (std::system("gnuplot --version > /dev/null 2>&1") != 0) {
    state.SkipWithError("gnuplot is not installed (scripts/install-deps.sh)");
    return;
  }
  const std::vector<float>& g = grid();
  const std::string data = scratch("grid.bin");
  const std::string out = scratch("gnuplot.eps");
  const std::string script = scratch("contour.gp");
  {
    std::FILE* fp = std::fopen(data.c_str(), "wb");
    std::fwrite(g.data(), sizeof(float), g.size(), fp);
    std::fclose(fp);
    fp = std::fopen(script.c_str(), "w");
    std::fprintf(fp, "set terminal postscript eps color\nset output '%s'\n", out.c_str());
    std::fprintf(fp, "set contour base\nunset surface\nset view map\nset cntrparam levels discrete ");
    for (int k = 0; k < kLevels; ++k) std::fprintf(fp, "%s%.1f", k ? "," : "", level(k));
    std::fprintf(fp, "\nsplot '%s' binary array=(%d,%d) format='%%float' with lines notitle\n",
                 data.c_str(), kGrid, kGrid);
    std::fclose(fp);
  }
  const std::string cmd = "gnuplot '" + script + "' > /dev/null 2>&1";
  for (auto _ : state) {
    if (std::system(cmd.c_str()) != 0) {
      state.SkipWithError("gnuplot failed");
      break;
    }
  }
  if (fs::exists(out)) state.counters["bytes"] = static_cast<double>(fs::file_size(out));
  fs::remove(out);
  fs::remove(data);
  fs::remove(script);
}

struct Scatter {
  std::vector<float> x, y;
  Scatter() : x(kMarkers), y(kMarkers) {
    for (int i = 0; i < kMarkers; ++i) {
      x[static_cast<std::size_t>(i)] = static_cast<float>(i) * 0.01f;
      y[static_cast<std::size_t>(i)] = 50.0f + 40.0f * std::sin(static_cast<float>(i) * 0.37f);
    }
  }
};

const Scatter& scatter() {
  static const Scatter s;
  return s;
}

// Cross markers of half-size 1 % of the ranges, as a scatter plot draws them.
void BM_ZevScatter(benchmark::State& state) {
  const Scatter& s = scatter();
  const std::string file = scratch("scatter.eps");
  QuietTerminal quiet;
  zv::XPS_INIT();
  const float dx = 0.01f * 1000.0f, dy = 0.01f * 80.0f;
  for (auto _ : state) {
    zv::XPS_OPEN(41, file, "ZEV");
    zv::XPS_WINDOW(0.0f, 1000.0f, 10.0f, 90.0f);
    zv::XPS_COMMENT("Here comes the scatter plot");
    for (int i = 0; i < kMarkers; ++i) {
      const float x = s.x[static_cast<std::size_t>(i)], y = s.y[static_cast<std::size_t>(i)];
      zv::XPS_MARKER(2, x - dx, x + dx, y - dy, y + dy);
    }
    zv::XPS_CLOSE();
  }
  state.counters["bytes"] = static_cast<double>(fs::file_size(file));
  fs::remove(file);
}

// The same marker lines (two strokes of a cross per point) with fprintf.
void BM_PrintfScatter(benchmark::State& state) {
  const Scatter& s = scatter();
  const std::string file = scratch("scatter.txt");
  const float dx = 0.01f * 1000.0f, dy = 0.01f * 80.0f;
  const float xs = 450.0f / 1000.0f, ys = 450.0f / 80.0f;
  auto px = [&](float x) { return static_cast<double>((x - 0.0f) * xs + 50.0f); };
  auto py = [&](float y) { return static_cast<double>((y - 10.0f) * ys + 250.0f); };
  for (auto _ : state) {
    std::FILE* fp = std::fopen(file.c_str(), "w");
    for (int i = 0; i < kMarkers; ++i) {
      const float x = s.x[static_cast<std::size_t>(i)], y = s.y[static_cast<std::size_t>(i)];
      std::fprintf(fp, "S %.2f %.2f M\n%.2f %.2f L\nS %.2f %.2f M\n%.2f %.2f L\nS\n", px(x - dx),
                   py(y - dy), px(x + dx), py(y + dy), px(x + dx), py(y - dy), px(x - dx),
                   py(y + dy));
    }
    std::fclose(fp);
  }
  state.counters["bytes"] = static_cast<double>(fs::file_size(file));
  fs::remove(file);
}

BENCHMARK(BM_ZevContour)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);
BENCHMARK(BM_GnuplotContour)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);
BENCHMARK(BM_ZevScatter)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);
BENCHMARK(BM_PrintfScatter)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  zvbench::BestTimeReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const auto& t = reporter.best;
  if (t.count("BM_ZevContour") && t.count("BM_GnuplotContour")) {
    std::printf("contour: zev %.3f s, gnuplot %.3f s\n", t.at("BM_ZevContour"),
                t.at("BM_GnuplotContour"));
    std::printf("ratio contour: %.2f\n", t.at("BM_GnuplotContour") / t.at("BM_ZevContour"));
  }
  if (t.count("BM_ZevScatter") && t.count("BM_PrintfScatter")) {
    std::printf("scatter: writer %.3f s, printf %.3f s\n", t.at("BM_ZevScatter"),
                t.at("BM_PrintfScatter"));
    std::printf("ratio scatter: %.2f\n", t.at("BM_PrintfScatter") / t.at("BM_ZevScatter"));
  }
  return 0;
}
