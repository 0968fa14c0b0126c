// prynol: speed of the VARSTO assignment loop (residues per second) and of
// the PDB reader (lines per second), on the largest entry of the shared corpus
// (or, without the corpus, on a constructed chain of the same size). The bare
// superposition of one window on one template is the baseline: the loop costs
// two of them per residue, so its ratio to the baseline shows the overhead.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "core/units.h"
#include "elements.h"
#include "num/lsq.h"
#include "pdb_reader.h"
#include "varsto.h"

namespace {

const std::string kEntry = std::string(ZV_SHARED_DIR) + "/data/pdb/2ex3.pdb.gz";

prynol::Molecule load_molecule() {
  prynol::Molecule mol;
  if (std::filesystem::exists(kEntry) &&
      zv::unit_open(prynol::kUnit, kEntry, zv::UnitMode::Read) == 0) {
    (void)prynol::read_pdb(prynol::kUnit, mol);
    (void)zv::unit_close(prynol::kUnit);
  }
  if (mol.size() == 0) {
    for (int i = 0; i < 4596; ++i) {
      const float p[3] = {2.3f * std::cos(1.745f * i), 2.3f * std::sin(1.745f * i),
                          1.5f * static_cast<float>(i % 100)};
      mol.add("A1", p);
    }
  }
  return mol;
}

const prynol::Molecule& molecule() {
  static const prynol::Molecule mol = load_molecule();
  return mol;
}

void BM_Baseline_OneFit(benchmark::State& state) {
  const prynol::Molecule& mol = molecule();
  float rms = 0.0f, rt[12];
  std::size_t c = 0;
  const std::size_t windows = static_cast<std::size_t>(mol.size() - 4);
  for (auto _ : state) {
    (void)zv::LSQZQV(prynol::kAlphaTemplate.data(), mol.xyz.data() + 3 * c, 5, rms, rt);
    benchmark::DoNotOptimize(rms);
    if (++c == windows) c = 0;
  }
  state.SetItemsProcessed(state.iterations());
  state.SetLabel("superpositions");
}
BENCHMARK(BM_Baseline_OneFit);

// Baseline: the assignment done literally, LSQZQV on both templates for every
// window, then the types and the elements.
void BM_Baseline_LsqzqvLoop(benchmark::State& state) {
  prynol::Molecule mol = molecule();
  std::vector<prynol::Element> elements;
  elements.reserve(static_cast<std::size_t>(mol.size()));
  float rt[12];
  for (auto _ : state) {
    for (int c = 2; c < mol.size() - 2; ++c) {
      const float* w = mol.xyz.data() + 3 * (c - 2);
      (void)zv::LSQZQV(prynol::kAlphaTemplate.data(), w, 5, mol.rms_alpha[c], rt);
      (void)zv::LSQZQV(prynol::kBetaTemplate.data(), w, 5, mol.rms_beta[c], rt);
    }
    std::fill(mol.type.begin(), mol.type.end(), prynol::kUnassigned);
    prynol::assign_types(mol.rms_alpha, mol.rms_beta, mol.type);
    elements.clear();
    prynol::form_elements(mol.type, elements);
    benchmark::DoNotOptimize(elements.data());
  }
  state.SetItemsProcessed(state.iterations() * mol.size());
  state.SetLabel("residues, both LSQZQV fits of every window");
}
BENCHMARK(BM_Baseline_LsqzqvLoop)->Unit(benchmark::kMillisecond);

// The whole assignment as prynol runs it: double-precision distances, LSQZQV
// near the thresholds, the types, the elements.
void BM_VarstoLoop(benchmark::State& state) {
  prynol::Molecule mol = molecule();
  std::vector<prynol::Element> elements;
  elements.reserve(static_cast<std::size_t>(mol.size()));
  for (auto _ : state) {
    std::fill(mol.type.begin(), mol.type.end(), prynol::kUnassigned);
    elements.clear();
    prynol::varsto(mol);
    prynol::form_elements(mol.type, elements);
    benchmark::DoNotOptimize(elements.data());
  }
  state.SetItemsProcessed(state.iterations() * mol.size());
  state.SetLabel("residues, " + std::to_string(mol.size()) + " per entry");
}
BENCHMARK(BM_VarstoLoop)->Unit(benchmark::kMillisecond);

void BM_ReadPdb(benchmark::State& state) {
  if (!std::filesystem::exists(kEntry)) {
    state.SkipWithError("corpus entry not found");
    return;
  }
  int residues = 0;
  for (auto _ : state) {
    prynol::Molecule mol;
    if (zv::unit_open(prynol::kUnit, kEntry, zv::UnitMode::Read) != 0) {
      state.SkipWithError("cannot open the corpus entry");
      return;
    }
    (void)prynol::read_pdb(prynol::kUnit, mol);
    (void)zv::unit_close(prynol::kUnit);
    residues = mol.size();
  }
  state.SetItemsProcessed(state.iterations() * residues);
  state.SetLabel("CA residues read (gzipped entry, decompression included)");
}
BENCHMARK(BM_ReadPdb)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
