#include "varsto.h"

#include <algorithm>

#include "num/lsq.h"
#include "window_rms.h"

namespace prynol {

namespace {

const CentredTemplate& alpha_template() {
  static const CentredTemplate t(kAlphaTemplate);
  return t;
}
const CentredTemplate& beta_template() {
  static const CentredTemplate t(kBetaTemplate);
  return t;
}

// The RMS distance of the window on one template, as the assignment uses it:
// the double-precision value, or LSQZQV's own where the value lies within
// kExactMargin of the threshold, so that every decision is the one LSQZQV's
// value gives. Near-perfect fits (below kNearExactRms) also go through
// LSQZQV: its single-precision residual can come out negative there, and its
// reset warning must then appear exactly as a direct call prints it. So do
// windows that window_rms leaves alone (non-finite coordinates, points far
// apart), where LSQZQV's fit can fail with its error lines. A failed LSQZQV
// fit leaves 10000000, which matches nothing.
float fit_rms(const float* window, const std::array<float, 3 * kWindow>& tmpl,
              const CentredTemplate& centred, float threshold) {
  // Past the threshold by more than the margin, the exact value does not
  // matter: only that it is past.
  const double rms = window_rms(window, centred, threshold + 2 * kExactMargin);
  if (rms >= kNearExactRms &&
      (rms <= threshold - kExactMargin || rms > threshold + kExactMargin)) {
    return static_cast<float>(rms);
  }
  float exact = 0.0f;
  float rt[12];
  (void)zv::LSQZQV(tmpl.data(), window, kWindow, exact, rt);
  return exact;
}

}  // namespace

int window_type(float rms_alpha, float rms_beta) {
  if (rms_alpha <= kAlphaMaxRms) return kAlpha;
  if (rms_beta <= kBetaMaxRms) return kBeta;
  return kUnassigned;
}

void fit_windows(std::span<const float> xyz, std::span<float> rms_alpha,
                 std::span<float> rms_beta) {
  const int n = static_cast<int>(xyz.size() / 3);
  const int half = kWindow / 2;
  const CentredTemplate& alpha = alpha_template();
  const CentredTemplate& beta = beta_template();
  for (int c = half; c < n - half; ++c) {
    // The window's five CA atoms are stored one after the other.
    const float* window = xyz.data() + 3 * (c - half);
    const auto at = static_cast<std::size_t>(c);
    rms_alpha[at] = fit_rms(window, kAlphaTemplate, alpha, kAlphaMaxRms);
    // A window this close to the helix lies far from the strand (the two
    // templates are more than 2 A apart), and its type is helix whatever
    // the strand fit gives: that fit is left undone.
    if (window_type(rms_alpha[at], kRmsNotDone) == kAlpha) continue;
    rms_beta[at] = fit_rms(window, kBetaTemplate, beta, kBetaMaxRms);
  }
}

void assign_types(std::span<const float> rms_alpha, std::span<const float> rms_beta,
                  std::span<int> type) {
  const int n = static_cast<int>(type.size());
  const int half = kWindow / 2;
  for (int c = half; c < n - half; ++c) {
    const int t = window_type(rms_alpha[static_cast<std::size_t>(c)],
                              rms_beta[static_cast<std::size_t>(c)]);
    if (t != kUnassigned) std::fill_n(type.begin() + (c - 1), 3, t);
  }
}

void varsto(Molecule& mol) {
  fit_windows(mol.xyz, mol.rms_alpha, mol.rms_beta);
  assign_types(mol.rms_alpha, mol.rms_beta, mol.type);
}

int count_type(std::span<const int> type, int kind) {
  return static_cast<int>(std::count(type.begin(), type.end(), kind));
}

}  // namespace prynol
