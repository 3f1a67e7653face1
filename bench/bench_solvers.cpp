// Solver costs per sample record: the fixed-wavelength run solves one square system per record
// (restoring the spillover matrix each time), the synchronous run decomposes one 5n x n fit
// matrix per record and back substitutes once. Sizes 13 and 30 are a typical and the largest
// colour count.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <utility>

#include "numeric/gauss.h"
#include "numeric/svd.h"

namespace kolvane {
namespace {

using Square = double[kSolveDim][kSolveDim];

// A spillover-like matrix: dominant diagonal, small random spill elsewhere, rows shuffled a
// little so that the pivot search makes exchanges as real matrices sometimes do.
void MakeSpillMatrix(Square& a, int n, std::mt19937_64& rng) {
  std::uniform_real_distribution<double> spill(0.0, 0.2);
  for (int i = 0; i < kSolveDim; ++i)
    for (int j = 0; j < kSolveDim; ++j) a[i][j] = 0.0;
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) a[i][j] = i == j ? 1.0 : spill(rng);
  for (int i = 1; i + 1 <= n; i += 4)
    for (int j = 1; j <= n; ++j) std::swap(a[i][j], a[i + 1][j]);
}

void MakeRhs(double (&b)[kSolveDim], int n, std::mt19937_64& rng) {
  std::uniform_real_distribution<double> counts(100.0, 5000.0);
  for (int i = 0; i < kSolveDim; ++i) b[i] = i >= 1 && i <= n ? counts(rng) : 0.0;
}

void BM_GaussSolve(benchmark::State& state) {
  const auto n = static_cast<std::int16_t>(state.range(0));
  std::mt19937_64 rng(1);
  Square spill;
  MakeSpillMatrix(spill, n, rng);
  double rhs[kSolveDim];
  MakeRhs(rhs, n, rng);
  GaussSystem s;
  std::int16_t code = 0;
  for (auto _ : state) {
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) s.SolveMatrix[i][j] = spill[i][j];
      s.SolveRhs[i] = rhs[i];
    }
    GaussSolve(s, n, code);
    benchmark::DoNotOptimize(s.SolveX);
    benchmark::ClobberMemory();
  }
  if (code != 0) state.SkipWithError("the benchmark matrix is singular");
}
BENCHMARK(BM_GaussSolve)->Arg(13)->Arg(30);

void BM_GaussFactor(benchmark::State& state) {
  const auto n = static_cast<std::int16_t>(state.range(0));
  std::mt19937_64 rng(1);
  Square spill;
  MakeSpillMatrix(spill, n, rng);
  GaussFactors f;
  for (auto _ : state) {
    GaussFactor(spill, n, f);
    benchmark::DoNotOptimize(f);
  }
}
BENCHMARK(BM_GaussFactor)->Arg(13)->Arg(30);

// The eliminate-once path: the cost per right-hand side once the matrix is factored.
void BM_GaussSolveFactored(benchmark::State& state) {
  const auto n = static_cast<std::int16_t>(state.range(0));
  std::mt19937_64 rng(1);
  Square spill;
  MakeSpillMatrix(spill, n, rng);
  double rhs[kSolveDim];
  MakeRhs(rhs, n, rng);
  GaussFactors f;
  GaussFactor(spill, n, f);
  double x[kSolveDim] = {};
  std::int16_t code = 0;
  for (auto _ : state) {
    GaussSolveFactored(f, rhs, x, code);
    benchmark::DoNotOptimize(x);
    benchmark::ClobberMemory();
  }
  if (code != 0) state.SkipWithError("the benchmark matrix is singular");
}
BENCHMARK(BM_GaussSolveFactored)->Arg(13)->Arg(30);

// A fit matrix as the synchronous run builds it: each pure's spectrum at 5n points, scaled
// to its peak.
Matrix MakeFitMatrix(int m, int n, std::mt19937_64& rng) {
  std::uniform_real_distribution<double> level(0.0, 1.0);
  Matrix a(m, n);
  for (int r = 1; r <= m; ++r)
    for (int k = 1; k <= n; ++k)
      a(r, k) = (r - 1) / 5 + 1 == k ? 1.0 - 0.1 * level(rng) : 0.3 * level(rng);
  return a;
}

void BM_DecomposeSvd(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const int m = 5 * n;
  std::mt19937_64 rng(2);
  const Matrix fit = MakeFitMatrix(m, n, rng);
  Matrix work(m, n);
  Vector w(n + 1, 0.0);
  Matrix v(n, n);
  SvdStatus status = SvdStatus::Decomposed;
  for (auto _ : state) {
    for (int r = 1; r <= m; ++r)
      for (int k = 1; k <= n; ++k) work(r, k) = fit(r, k);
    status = DecomposeSvd(work, static_cast<std::int16_t>(m), static_cast<std::int16_t>(n), w, v);
    benchmark::DoNotOptimize(w.data());
    benchmark::ClobberMemory();
  }
  if (status != SvdStatus::Decomposed) state.SkipWithError(SvdMessage(status));
  state.SetLabel(std::to_string(m) + "x" + std::to_string(n));
}
BENCHMARK(BM_DecomposeSvd)->Arg(13)->Arg(30);

void BM_SvdBackSubstitute(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const int m = 5 * n;
  std::mt19937_64 rng(3);
  Matrix u = MakeFitMatrix(m, n, rng);
  Vector w;
  Matrix v;
  if (DecomposeSvd(u, static_cast<std::int16_t>(m), static_cast<std::int16_t>(n), w, v) !=
      SvdStatus::Decomposed) {
    state.SkipWithError("no decomposition");
    return;
  }
  Vector b(m + 1, 0.0);
  std::uniform_real_distribution<double> counts(100.0, 5000.0);
  for (int r = 1; r <= m; ++r) b[r] = counts(rng);
  Vector x(n + 1, 0.0);
  for (auto _ : state) {
    SvdBackSubstitute(u, w, v, static_cast<std::int16_t>(m), static_cast<std::int16_t>(n), b, x);
    benchmark::DoNotOptimize(x.data());
    benchmark::ClobberMemory();
  }
  state.SetLabel(std::to_string(m) + "x" + std::to_string(n));
}
BENCHMARK(BM_SvdBackSubstitute)->Arg(13);

}  // namespace
}  // namespace kolvane
