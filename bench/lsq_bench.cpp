// Time per call of LSQZQV against a Kabsch fit through Eigen's 3x3 SVD, both
// on the same point sets in the same run, at n = 5, 50 and 500. After the
// Google Benchmark table the ratios LSQZQV / baseline are printed as
// "ratio n=5: 0.xx".
#include <benchmark/benchmark.h>

#include <Eigen/Dense>
#include <Eigen/SVD>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench_report.h"
#include "num/lsq.h"

namespace {

// Pairs of n points: a random cloud in a 40 A box and a rotated, shifted and
// slightly perturbed copy. Enough different pairs that the branch predictor
// cannot learn the eigen solvers' paths by heart (at most 20000 points).
int set_count(int n) { return n >= 500 ? 40 : 4096 > 20000 / n ? 20000 / n : 4096; }

struct PointSets {
  int n = 0;
  int count = 0;
  std::vector<float> xyz1;  // count * 3n
  std::vector<float> xyz2;
};

const PointSets& sets_for(int n) {
  static std::map<int, PointSets> cache;
  auto& ps = cache[n];
  if (ps.n == n) return ps;
  ps.n = n;
  ps.count = set_count(n);
  std::mt19937 rng(12345u + n);
  std::uniform_real_distribution<double> box(-20.0, 20.0);
  std::normal_distribution<double> noise(0.0, 0.5);
  for (int s = 0; s < ps.count; ++s) {
    Eigen::Quaterniond q(Eigen::Vector4d::Random().normalized());
    Eigen::Matrix3d r = q.toRotationMatrix();
    Eigen::Vector3d shift(box(rng), box(rng), box(rng));
    for (int i = 0; i < n; ++i) {
      Eigen::Vector3d p(box(rng), box(rng), box(rng));
      Eigen::Vector3d p2 = r * p + shift + Eigen::Vector3d(noise(rng), noise(rng), noise(rng));
      for (int k = 0; k < 3; ++k) {
        ps.xyz1.push_back(float(p[k]));
        ps.xyz2.push_back(float(p2[k]));
      }
    }
  }
  return ps;
}

// The baseline: Kabsch fit of moving onto target with fixed-size Eigen types
// in double precision; the RMSD comes from the singular values.
float kabsch_fit(const float* target, const float* moving, int n, float* rt) {
  Eigen::Vector3d ct = Eigen::Vector3d::Zero();
  Eigen::Vector3d cm = Eigen::Vector3d::Zero();
  for (int i = 0; i < n; ++i) {
    ct += Eigen::Map<const Eigen::Vector3f>(target + 3 * i).cast<double>();
    cm += Eigen::Map<const Eigen::Vector3f>(moving + 3 * i).cast<double>();
  }
  ct /= n;
  cm /= n;
  Eigen::Matrix3d h = Eigen::Matrix3d::Zero();
  double ss = 0.0;
  for (int i = 0; i < n; ++i) {
    const Eigen::Vector3d pt = Eigen::Map<const Eigen::Vector3f>(target + 3 * i).cast<double>() - ct;
    const Eigen::Vector3d pm = Eigen::Map<const Eigen::Vector3f>(moving + 3 * i).cast<double>() - cm;
    h.noalias() += pm * pt.transpose();
    ss += pt.squaredNorm() + pm.squaredNorm();
  }
  Eigen::JacobiSVD<Eigen::Matrix3d> svd(h, Eigen::ComputeFullU | Eigen::ComputeFullV);
  const double sign = (svd.matrixV() * svd.matrixU().transpose()).determinant() < 0 ? -1.0 : 1.0;
  Eigen::Matrix3d fix = Eigen::Matrix3d::Identity();
  fix(2, 2) = sign;
  const Eigen::Matrix3d r = svd.matrixV() * fix * svd.matrixU().transpose();
  const Eigen::Vector3d t = ct - r * cm;
  const Eigen::Vector3d sv = svd.singularValues();
  const double e = ss - 2.0 * (sv[0] + sv[1] + sign * sv[2]);
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 3; ++i) rt[i + 3 * j] = float(r(i, j));
  for (int i = 0; i < 3; ++i) rt[9 + i] = float(t[i]);
  return float(std::sqrt(e > 0 ? e / n : 0.0));
}

void BM_LSQZQV(benchmark::State& state) {
  const int n = int(state.range(0));
  const PointSets& ps = sets_for(n);
  float rt[12];
  float rms = 0;
  int s = 0;
  for (auto _ : state) {
    const int ierr = zv::LSQZQV(&ps.xyz1[3 * n * s], &ps.xyz2[3 * n * s], n, rms, rt);
    benchmark::DoNotOptimize(ierr);
    benchmark::DoNotOptimize(rms);
    benchmark::DoNotOptimize(rt);
    s = s + 1 == ps.count ? 0 : s + 1;
  }
}

void BM_KabschEigenSVD(benchmark::State& state) {
  const int n = int(state.range(0));
  const PointSets& ps = sets_for(n);
  float rt[12];
  int s = 0;
  for (auto _ : state) {
    float rms = kabsch_fit(&ps.xyz1[3 * n * s], &ps.xyz2[3 * n * s], n, rt);
    benchmark::DoNotOptimize(rms);
    benchmark::DoNotOptimize(rt);
    s = s + 1 == ps.count ? 0 : s + 1;
  }
}

BENCHMARK(BM_LSQZQV)->Arg(5)->Arg(50)->Arg(500)->Repetitions(3);
BENCHMARK(BM_KabschEigenSVD)->Arg(5)->Arg(50)->Arg(500)->Repetitions(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // CPU time per call in ns ("BM_LSQZQV/5"), without colours when piped.
  zvbench::BestTimeReporter reporter(
      isatty(fileno(stdout)) ? benchmark::ConsoleReporter::OO_Defaults
                             : benchmark::ConsoleReporter::OO_None,
      zvbench::BestTimeReporter::Clock::Cpu, 1e9);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  for (int n : {5, 50, 500}) {
    const std::string suffix = "/" + std::to_string(n);
    const auto lsq = reporter.best.find("BM_LSQZQV" + suffix);
    const auto base = reporter.best.find("BM_KabschEigenSVD" + suffix);
    if (lsq == reporter.best.end() || base == reporter.best.end()) continue;
    std::printf("LSQZQV n=%d: %.1f ns, Eigen SVD baseline: %.1f ns\n", n, lsq->second,
                base->second);
    std::printf("ratio n=%d: %.2f\n", n, lsq->second / base->second);
  }
  return 0;
}
