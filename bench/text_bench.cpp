// The text engine against the C library in the same run: a report line
// "(1x,a,3f10.1)" through format_append and through snprintf, a record
// decoded with "(30x,3f8.3)" against sscanf, and a list-directed answer
// against strtol. BM_*Ratio report engine time / C library time.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <string>

#include "text/format.h"
#include "text/read.h"

namespace {

const float kValues[3] = {12.3456f, -0.05f, 1234567.0f};

void format_line(std::string& out) {
  out.clear();
  (void)zv::format_append(out, "(1x,a,3f10.1)", {"CPU time", kValues[0], kValues[1], kValues[2]});
}

void printf_line(char* buf, std::size_t n) {
  std::snprintf(buf, n, " %s%10.1f%10.1f%10.1f\n", "CPU time", static_cast<double>(kValues[0]),
                static_cast<double>(kValues[1]), static_cast<double>(kValues[2]));
}

void BM_FormatAppend(benchmark::State& state) {
  std::string out;
  for (auto _ : state) {
    format_line(out);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_FormatAppend);

void BM_Snprintf(benchmark::State& state) {
  char buf[128];
  for (auto _ : state) {
    printf_line(buf, sizeof buf);
    benchmark::DoNotOptimize(buf);
  }
}
BENCHMARK(BM_Snprintf);

// CPU seconds of n calls (process CPU time: other load on the machine
// does not count).
template <class F>
double seconds(int n, F&& f) {
  timespec a{}, b{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &a);
  for (int i = 0; i < n; ++i) f();
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &b);
  return static_cast<double>(b.tv_sec - a.tv_sec) + 1e-9 * static_cast<double>(b.tv_nsec - a.tv_nsec);
}

// The smaller of the two ratios' spread: each side is timed several times
// and the fastest run counts.
template <class F, class G>
double ratio(F&& engine, G&& baseline) {
  double e = 1e9, b = 1e9;
  for (int r = 0; r < 5; ++r) {
    e = std::min(e, seconds(20000, engine));
    b = std::min(b, seconds(20000, baseline));
  }
  return e / b;
}

void BM_FormatRatio(benchmark::State& state) {
  std::string out;
  char buf[128];
  double r = 0;
  for (auto _ : state) {
    r = ratio([&] { format_line(out); benchmark::DoNotOptimize(out.data()); },
              [&] { printf_line(buf, sizeof buf); benchmark::DoNotOptimize(buf); });
  }
  state.counters["engine/snprintf"] = r;
}
BENCHMARK(BM_FormatRatio)->Iterations(3);

const char kAtom[] =
    "ATOM      1  CA  MET A   1      27.340  24.430   2.614  1.00  9.67           C";

void read_engine() {
  float x, y, z;
  (void)zv::format_read_line("(30x,3f8.3)", kAtom, {x, y, z});
  benchmark::DoNotOptimize(x);
  benchmark::DoNotOptimize(y);
  benchmark::DoNotOptimize(z);
}

void read_sscanf() {
  float x, y, z;
  std::sscanf(kAtom + 30, "%8f%8f%8f", &x, &y, &z);
  benchmark::DoNotOptimize(x);
  benchmark::DoNotOptimize(y);
  benchmark::DoNotOptimize(z);
}

void BM_ReadRatio(benchmark::State& state) {
  double r = 0;
  for (auto _ : state) r = ratio(read_engine, read_sscanf);
  state.counters["engine/sscanf"] = r;
}
BENCHMARK(BM_ReadRatio)->Iterations(3);

void list_engine() {
  int a = 0, b = 0, c = 0;
  (void)zv::list_read("  12, 345  -6789", {a, b, c});
  benchmark::DoNotOptimize(a + b + c);
}

void list_strtol() {
  const char* p = "  12, 345  -6789";
  char* end;
  long a = std::strtol(p, &end, 10);
  while (*end == ',' || *end == ' ') ++end;
  long b = std::strtol(end, &end, 10);
  long c = std::strtol(end, &end, 10);
  benchmark::DoNotOptimize(a + b + c);
}

void BM_ListReadRatio(benchmark::State& state) {
  double r = 0;
  for (auto _ : state) r = ratio(list_engine, list_strtol);
  state.counters["engine/strtol"] = r;
}
BENCHMARK(BM_ListReadRatio)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
