// Least-squares superposition of two point sets by the quaternion method.
//
// A point set is n consecutive (x, y, z) triples of single-precision reals.
// An operator is 12 reals: the 3x3 rotation U column by column (U11, U21, U31,
// U12, ...), then the translation T; it maps a point x to U x + T.
//
// No call allocates: the 4x4 matrix, the eigen work vectors and the stored
// operator are fixed storage. The routines are meant for hot loops.
#pragma once

#include <cstddef>
#include <span>

namespace zv {

// Largest matrix order JACOBI accepts.
inline constexpr int kJacobiMaxOrder = 1000;

// Fits the n points of xyz2 onto the n points of xyz1. rt receives the operator
// that, applied to xyz2, superimposes it on xyz1; rms is the RMSD of that fit.
// Returns 0, -1 (fewer than 3 points, or fewer coordinates than 3n) or -2 (the
// eigen decomposition failed). On failure rms is 10000000.0 and rt holds the
// operator of the last successful fit in this process (identity and zero
// translation if there was none): callers must test the status.
[[nodiscard]] int LSQZQV(const float* xyz1, const float* xyz2, int n, float& rms, float* rt);
[[nodiscard]] int LSQZQV(std::span<const float> xyz1, std::span<const float> xyz2, int n,
                         float& rms, std::span<float, 12> rt);

// Builds the quaternion matrix of the centred sets and turns the eigenvector
// of its smallest eigenvalue into the rotation u (9 reals, column by column)
// and translation t (3 reals) that map the n points of x onto those of y;
// e is the residual sum of squared distances. mode must be 1. Returns 0, -1
// for another mode, or the status of JACOBI; on failure u, t and e are left
// unchanged.
[[nodiscard]] int U3QION(const float* x, const float* y, int n, int mode, float& e, float* u,
                         float* t);

// Cyclic Jacobi eigen decomposition of the real symmetric n x n matrix a,
// stored column by column with leading dimension np (element (i, j), 0-based,
// at a[i + j * np]). d receives the n eigenvalues (unsorted), the columns of v
// (same layout as a) the eigenvectors, nrot the number of rotations. The
// elements of a above the diagonal are destroyed. Returns 0 when converged,
// -1 when not converged within 100 sweeps, when n exceeds kJacobiMaxOrder or
// when np is smaller than n.
[[nodiscard]] int JACOBI(float* a, int n, int np, float* d, float* v, int& nrot);

// Resets the operator kept from the last successful LSQZQV fit to the
// identity and a zero translation, as at process start.
void lsq_reset_operator();

}  // namespace zv
