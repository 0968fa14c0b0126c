// The reporter the benchmarks share for their ratios: the usual console
// table, and the fastest time per iteration of each benchmark kept by name
// (the least disturbed repetition by other processes on the machine).
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace zvbench {

class BestTimeReporter : public benchmark::ConsoleReporter {
 public:
  enum class Clock { Real, Cpu };

  // Times are kept in seconds of the given clock times scale (1e9 for ns).
  explicit BestTimeReporter(OutputOptions options = OO_Defaults, Clock clock = Clock::Real,
                            double scale = 1.0)
      : ConsoleReporter(options), clock_(clock), scale_(scale) {}

  // By function name, with "/<args>" added for a benchmark that takes
  // arguments. Runs that failed or ran no iteration are left out.
  std::map<std::string, double> best;

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.iterations == 0 || run.error_occurred) continue;
      const double total =
          clock_ == Clock::Real ? run.real_accumulated_time : run.cpu_accumulated_time;
      const double t = total * scale_ / static_cast<double>(run.iterations);
      std::string name = run.run_name.function_name;
      if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
      auto [it, inserted] = best.emplace(name, t);
      if (!inserted && t < it->second) it->second = t;
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // The kept time of a benchmark, or nullptr where it did not run.
  const double* find(const std::string& name) const {
    const auto it = best.find(name);
    return it == best.end() ? nullptr : &it->second;
  }

 private:
  Clock clock_;
  double scale_;
};

}  // namespace zvbench
