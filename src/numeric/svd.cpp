// In this file: the singular value decomposition behind the synchronous-scan fit, and the
// least-squares solution from its factors.
//
// The negligibility test |x| + anorm == anorm is the method's only tolerance and must be
// evaluated in plain 64-bit arithmetic: a compiler allowed to fold it into x == 0 would let
// the QR iteration run on values that are far below rounding and fail to converge.
#include "numeric/svd.h"

#include <cmath>

#ifdef __FAST_MATH__
#error "The SVD's negligibility test needs IEEE arithmetic; do not build it with -ffast-math"
#endif

namespace kolvane {

namespace {

constexpr int kMaxPasses = 30;

// |a| carrying the sign of b; a zero b (of either sign) counts as positive.
double Sign(double a, double b) {
  return b >= 0.0 ? std::fabs(a) : -std::fabs(a);
}

bool Negligible(double x, double anorm) {
  const double sum = std::fabs(x) + anorm;
  return sum == anorm;
}

}  // namespace

const char* SvdMessage(SvdStatus status) {
  switch (status) {
    case SvdStatus::NeedsMoreRows:
      return "You must augment a with extra zero rows.";
    case SvdStatus::NoConvergence:
      return "No convergence in 30 iterations";
    case SvdStatus::Decomposed:
      break;
  }
  return "";
}

SvdStatus DecomposeSvd(Matrix& a, std::int16_t m, std::int16_t n, Vector& w, Matrix& v) {
  if (m < n) return SvdStatus::NeedsMoreRows;
  if (n < 1) return SvdStatus::Decomposed;
  if (w.size() < static_cast<std::size_t>(n) + 1) w.resize(static_cast<std::size_t>(n) + 1, 0.0);
  if (v.Rows() < n || v.Cols() < n) v.Resize(n, n);
  Vector rv1(static_cast<std::size_t>(n) + 1, 0.0);

  double g = 0.0;
  double scale = 0.0;
  double anorm = 0.0;
  double s = 0.0;
  double f = 0.0;
  double h = 0.0;
  int l = 0;

  // Householder reduction to bidiagonal form: the diagonal goes to w, the superdiagonal to rv1.
  for (int i = 1; i <= n; ++i) {
    l = i + 1;
    rv1[i] = scale * g;
    g = s = scale = 0.0;
    if (i <= m) {
      for (int k = i; k <= m; ++k) scale += std::fabs(a(k, i));
      if (scale != 0.0) {
        for (int k = i; k <= m; ++k) {
          a(k, i) /= scale;
          s += a(k, i) * a(k, i);
        }
        f = a(i, i);
        g = -Sign(std::sqrt(s), f);
        h = f * g - s;
        a(i, i) = f - g;
        for (int j = l; j <= n; ++j) {
          s = 0.0;
          for (int k = i; k <= m; ++k) s += a(k, i) * a(k, j);
          f = s / h;
          for (int k = i; k <= m; ++k) a(k, j) += f * a(k, i);
        }
        for (int k = i; k <= m; ++k) a(k, i) *= scale;
      }
    }
    w[i] = scale * g;
    g = s = scale = 0.0;
    if (i <= m && i != n) {
      for (int k = l; k <= n; ++k) scale += std::fabs(a(i, k));
      if (scale != 0.0) {
        for (int k = l; k <= n; ++k) {
          a(i, k) /= scale;
          s += a(i, k) * a(i, k);
        }
        f = a(i, l);
        g = -Sign(std::sqrt(s), f);
        h = f * g - s;
        a(i, l) = f - g;
        for (int k = l; k <= n; ++k) rv1[k] = a(i, k) / h;
        for (int j = l; j <= m; ++j) {
          s = 0.0;
          for (int k = l; k <= n; ++k) s += a(j, k) * a(i, k);
          for (int k = l; k <= n; ++k) a(j, k) += s * rv1[k];
        }
        for (int k = l; k <= n; ++k) a(i, k) *= scale;
      }
    }
    const double size = std::fabs(w[i]) + std::fabs(rv1[i]);
    if (size > anorm) anorm = size;
  }

  // Accumulation of the right-hand transformations into v.
  for (int i = n; i >= 1; --i) {
    if (i < n) {
      if (g != 0.0) {
        // Divided twice so that a tiny a(i,l) * g cannot underflow.
        for (int j = l; j <= n; ++j) v(j, i) = (a(i, j) / a(i, l)) / g;
        for (int j = l; j <= n; ++j) {
          s = 0.0;
          for (int k = l; k <= n; ++k) s += a(i, k) * v(k, j);
          for (int k = l; k <= n; ++k) v(k, j) += s * v(k, i);
        }
      }
      for (int j = l; j <= n; ++j) v(i, j) = v(j, i) = 0.0;
    }
    v(i, i) = 1.0;
    g = rv1[i];
    l = i;
  }

  // Accumulation of the left-hand transformations: a becomes U.
  for (int i = n; i >= 1; --i) {
    l = i + 1;
    g = w[i];
    for (int j = l; j <= n; ++j) a(i, j) = 0.0;
    if (g != 0.0) {
      g = 1.0 / g;
      if (i != n) {
        for (int j = l; j <= n; ++j) {
          s = 0.0;
          for (int k = l; k <= m; ++k) s += a(k, i) * a(k, j);
          f = (s / a(i, i)) * g;
          for (int k = i; k <= m; ++k) a(k, j) += f * a(k, i);
        }
      }
      for (int j = i; j <= m; ++j) a(j, i) *= g;
    } else {
      for (int j = i; j <= m; ++j) a(j, i) = 0.0;
    }
    a(i, i) += 1.0;
  }

  // Diagonalisation of the bidiagonal form by implicit-shift QR steps.
  for (int k = n; k >= 1; --k) {
    for (int its = 1; its <= kMaxPasses; ++its) {
      bool cancel = true;
      int nm = 0;
      for (l = k; l >= 1; --l) {
        nm = l - 1;
        // rv1(1) is zero by construction, so the split is found at l = 1 at the latest; testing
        // l == 1 itself keeps the search inside the arrays whatever the arithmetic produced.
        if (l == 1 || Negligible(rv1[l], anorm)) {
          cancel = false;
          break;
        }
        if (Negligible(w[nm], anorm)) break;
      }
      double c = 0.0;
      double x = 0.0;
      double y = 0.0;
      double z = 0.0;
      if (cancel) {
        c = 0.0;
        s = 1.0;
        for (int i = l; i <= k; ++i) {
          f = s * rv1[i];
          rv1[i] = c * rv1[i];
          if (Negligible(f, anorm)) break;
          g = w[i];
          h = std::sqrt(f * f + g * g);
          w[i] = h;
          h = 1.0 / h;
          c = g * h;
          s = -f * h;
          for (int j = 1; j <= m; ++j) {
            y = a(j, nm);
            z = a(j, i);
            a(j, nm) = y * c + z * s;
            a(j, i) = -y * s + z * c;
          }
        }
      }
      z = w[k];
      if (l == k) {
        if (z < 0.0) {
          w[k] = -z;
          for (int j = 1; j <= n; ++j) v(j, k) = -v(j, k);
        }
        break;
      }
      if (its == kMaxPasses) return SvdStatus::NoConvergence;
      x = w[l];
      nm = k - 1;
      y = w[nm];
      g = rv1[nm];
      h = rv1[k];
      f = ((y - z) * (y + z) + (g - h) * (g + h)) / (2.0 * h * y);
      g = std::sqrt(f * f + 1.0);
      f = ((x - z) * (x + z) + h * ((y / (f + Sign(g, f))) - h)) / x;
      c = s = 1.0;
      for (int j = l; j <= nm; ++j) {
        const int i = j + 1;
        g = rv1[i];
        y = w[i];
        h = s * g;
        g = c * g;
        z = std::sqrt(f * f + h * h);
        rv1[j] = z;
        c = f / z;
        s = h / z;
        f = x * c + g * s;
        g = -x * s + g * c;
        h = y * s;
        y = y * c;
        for (int jj = 1; jj <= n; ++jj) {
          x = v(jj, j);
          z = v(jj, i);
          v(jj, j) = x * c + z * s;
          v(jj, i) = -x * s + z * c;
        }
        z = std::sqrt(f * f + h * h);
        w[j] = z;
        if (z != 0.0) {
          z = 1.0 / z;
          c = f * z;
          s = h * z;
        }
        f = c * g + s * y;
        x = -s * g + c * y;
        for (int jj = 1; jj <= m; ++jj) {
          y = a(jj, j);
          z = a(jj, i);
          a(jj, j) = y * c + z * s;
          a(jj, i) = -y * s + z * c;
        }
      }
      rv1[l] = 0.0;
      rv1[k] = f;
      w[k] = x;
    }
  }
  return SvdStatus::Decomposed;
}

void SvdBackSubstitute(const Matrix& u, const Vector& w, const Matrix& v, std::int16_t m,
                       std::int16_t n, const Vector& b, Vector& x) {
  if (n < 1) return;
  const std::size_t size = static_cast<std::size_t>(n) + 1;
  if (x.size() < size) x.resize(size, 0.0);
  Vector t(size, 0.0);
  // Only an exactly zero singular value is dropped; the fit sets no rank threshold.
  for (int j = 1; j <= n; ++j) {
    double s = 0.0;
    if (w[j] != 0.0) {
      for (int i = 1; i <= m; ++i) s += u(i, j) * b[i];
      s /= w[j];
    }
    t[j] = s;
  }
  for (int j = 1; j <= n; ++j) {
    double s = 0.0;
    for (int jj = 1; jj <= n; ++jj) s += v(j, jj) * t[jj];
    x[j] = s;
  }
}

}  // namespace kolvane
