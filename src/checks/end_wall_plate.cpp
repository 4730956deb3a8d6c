#include "checks/end_wall_plate.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace vaultra {

namespace {

constexpr double kPi = std::numbers::pi;

// Values and derivatives (order 0..3, with respect to y) of the four
// homogeneous solutions e^{-s}, s·e^{-s}, e^{-t}, t·e^{-t} of
// (d²/dy² - α²)² Y = 0, s = αy, t = α(1 - y): f[d][k].
std::array<std::array<double, 4>, 4> LevyBasis(double alpha, double y) {
  const double s = alpha * y, t = alpha * (1 - y);
  const double es = std::exp(-s), et = std::exp(-t);
  const double a1 = alpha, a2 = alpha * alpha, a3 = a2 * alpha;
  std::array<std::array<double, 4>, 4> f{};
  f[0] = {es, s * es, et, t * et};
  f[1] = {-a1 * es, a1 * (1 - s) * es, a1 * et, -a1 * (1 - t) * et};
  f[2] = {a2 * es, a2 * (s - 2) * es, a2 * et, a2 * (t - 2) * et};
  f[3] = {-a3 * es, a3 * (3 - s) * es, a3 * et, -a3 * (3 - t) * et};
  return f;
}

// Solves a 4×4 system by Gaussian elimination with partial pivoting.
std::array<double, 4> Solve4(std::array<std::array<double, 4>, 4> m, std::array<double, 4> r) {
  for (int c = 0; c < 4; ++c) {
    int p = c;
    for (int i = c + 1; i < 4; ++i)
      if (std::fabs(m[i][c]) > std::fabs(m[p][c])) p = i;
    std::swap(m[c], m[p]);
    std::swap(r[c], r[p]);
    if (m[c][c] == 0) throw std::runtime_error("singular plate edge system");
    for (int i = c + 1; i < 4; ++i) {
      const double f = m[i][c] / m[c][c];
      for (int k = c; k < 4; ++k) m[i][k] -= f * m[c][k];
      r[i] -= f * r[c];
    }
  }
  std::array<double, 4> x{};
  for (int c = 3; c >= 0; --c) {
    double s = r[c];
    for (int k = c + 1; k < 4; ++k) s -= m[c][k] * x[k];
    x[c] = s / m[c][c];
  }
  return x;
}

// Symmetric positive definite band matrix (lower band of half-width bw),
// factorised in place by Cholesky.
class BandMatrix {
 public:
  BandMatrix(int n, int bw) : n_(n), bw_(bw), a_(static_cast<std::size_t>(n) * (bw + 1), 0.0) {}
  // Adds to A(row, col) for col ≤ row; entries above the diagonal are ignored
  // (the matrix is symmetric and the mirror entry is added with its own row).
  void Add(int row, int col, double v) {
    if (col > row) return;
    if (row - col > bw_) throw std::logic_error("band overflow");
    At(row, row - col) += v;
  }
  void Factor() {
    for (int i = 0; i < n_; ++i) {
      const int j0 = std::max(0, i - bw_);
      for (int j = j0; j <= i; ++j) {
        double s = At(i, i - j);
        const int p0 = std::max(j0, j - bw_);
        for (int p = p0; p < j; ++p) s -= At(i, i - p) * At(j, j - p);
        if (j == i) {
          if (s <= 0) throw std::runtime_error("plate matrix not positive definite");
          At(i, 0) = std::sqrt(s);
        } else {
          At(i, i - j) = s / At(j, 0);
        }
      }
    }
  }
  void SolveInPlace(std::vector<double>& b) const {
    for (int i = 0; i < n_; ++i) {
      double s = b[i];
      for (int p = std::max(0, i - bw_); p < i; ++p) s -= At(i, i - p) * b[p];
      b[i] = s / At(i, 0);
    }
    for (int i = n_ - 1; i >= 0; --i) {
      double s = b[i];
      for (int r = i + 1; r <= std::min(n_ - 1, i + bw_); ++r) s -= At(r, r - i) * b[r];
      b[i] = s / At(i, 0);
    }
  }

 private:
  double& At(int row, int off) { return a_[static_cast<std::size_t>(row) * (bw_ + 1) + off]; }
  double At(int row, int off) const { return a_[static_cast<std::size_t>(row) * (bw_ + 1) + off]; }
  int n_, bw_;
  std::vector<double> a_;
};

double Sign(PlateEdge e) {
  return e == PlateEdge::kClamped ? 1.0 : -1.0;
}

}  // namespace

PlateSolution PlateSolution::Levy(double ratio, PlateSupports sup, int terms) {
  if (sup.sides != PlateEdge::kHinged) throw std::invalid_argument("Levy needs hinged sides");
  if (!(ratio > 0)) throw std::invalid_argument("plate ratio must be positive");
  PlateSolution s;
  s.method_ = PlateMethod::kLevy;
  s.ratio_ = ratio;
  s.sup_ = sup;
  s.levy_.resize(static_cast<std::size_t>(std::max(terms, 1)));
  for (std::size_t k = 0; k < s.levy_.size(); ++k) {
    const double m = 2.0 * k + 1;
    const double alpha = m * kPi / ratio;
    const double a4 = std::pow(alpha, 4);
    const auto f0 = LevyBasis(alpha, 0), f1 = LevyBasis(alpha, 1);
    std::array<std::array<double, 4>, 4> mat{};
    // Rows: Y(0), edge condition at 0, Y(1), edge condition at 1; derivative
    // rows scaled by 1/α^d for conditioning.
    const int d0 = sup.top == PlateEdge::kClamped ? 1 : 2;
    const int d1 = sup.bottom == PlateEdge::kClamped ? 1 : 2;
    for (int c = 0; c < 4; ++c) {
      mat[0][c] = f0[0][c];
      mat[1][c] = f0[d0][c] / std::pow(alpha, d0);
      mat[2][c] = f1[0][c];
      mat[3][c] = f1[d1][c] / std::pow(alpha, d1);
    }
    for (int load = 0; load < 2; ++load) {
      // Particular part q_m(y)/α⁴ with q_m = 4 q(y) / (mπ): linear in y.
      const double c = 4.0 / (m * kPi * a4);
      const double yp0 = load == 0 ? c : 0.0;
      const double yp1 = c;
      const double slope = load == 0 ? 0.0 : c;
      std::array<double, 4> rhs{};
      rhs[0] = -yp0;
      rhs[1] = d0 == 1 ? -slope / alpha : 0.0;
      rhs[2] = -yp1;
      rhs[3] = d1 == 1 ? -slope / alpha : 0.0;
      s.levy_[k][load] = Solve4(mat, rhs);
    }
  }
  return s;
}

std::array<PlateForces, 2> PlateSolution::LevyAt(double x, double y, double nu) const {
  const double a = ratio_;
  std::array<double, 2> w{}, wxx{}, wyy{}, qx{}, qy{};
  for (int load = 0; load < 2; ++load) {
    const double q = load == 0 ? 1.0 : y, dq = load == 0 ? 0.0 : 1.0;
    // The strip (beam along x) carrying q(y): the particular solution.
    w[load] = q * x * (a * a * a - 2 * a * x * x + x * x * x) / 24;
    wxx[load] = -q * x * (a - x) / 2;
    qx[load] = q * (a / 2 - x);
    qy[load] = dq * x * (a - x) / 2;
  }
  // The homogeneous terms decay like e^{-α·d}, d the distance to the nearer
  // of the top and bottom edges; once α·d > 40 the rest is below 1e-16.
  const double dmin = std::min(y, 1 - y);
  for (std::size_t k = 0; k < levy_.size(); ++k) {
    const double alpha = (2.0 * k + 1) * kPi / a;
    if (alpha * dmin > 40) break;
    const auto f = LevyBasis(alpha, y);
    const double sn = std::sin(alpha * x), cs = std::cos(alpha * x);
    const double a2 = alpha * alpha;
    for (int load = 0; load < 2; ++load) {
      const auto& c = levy_[k][load];
      double Y[4] = {0, 0, 0, 0};
      for (int d = 0; d < 4; ++d)
        for (int i = 0; i < 4; ++i) Y[d] += c[i] * f[d][i];
      w[load] += Y[0] * sn;
      wxx[load] += -a2 * Y[0] * sn;
      wyy[load] += Y[2] * sn;
      qx[load] += -alpha * (Y[2] - a2 * Y[0]) * cs;
      qy[load] += -(Y[3] - a2 * Y[1]) * sn;
    }
  }
  std::array<PlateForces, 2> out{};
  for (int load = 0; load < 2; ++load) {
    out[load].w = w[load];
    out[load].Mx = -(wxx[load] + nu * wyy[load]);
    out[load].My = -(wyy[load] + nu * wxx[load]);
    out[load].Qx = qx[load];
    out[load].Qy = qy[load];
  }
  return out;
}

PlateSolution PlateSolution::FiniteDifference(double ratio, PlateSupports sup, int intervals) {
  if (!(ratio > 0)) throw std::invalid_argument("plate ratio must be positive");
  // About `intervals` cells over the shorter side, fewer for elongated
  // plates so that the longer side stays near 120 cells (the cost grows with
  // the cells times the square of the band width).
  const double elong = std::max(ratio, 1 / ratio);
  const int N = std::max(8, std::min(intervals, std::max(16, static_cast<int>(120 / elong))));
  PlateSolution s;
  s.method_ = PlateMethod::kFiniteDifference;
  s.ratio_ = ratio;
  s.sup_ = sup;
  // Nearly square cells; nx even so that the centre line is a grid line.
  int nx, ny;
  if (ratio >= 1) {
    ny = N;
    nx = 2 * std::max(2, static_cast<int>(std::lround(ratio * N / 2)));
  } else {
    nx = 2 * std::max(2, (N + 1) / 2);
    ny = std::max(4, static_cast<int>(std::lround(N / ratio)));
  }
  const double hx = ratio / nx, hy = 1.0 / ny;
  const int cx = nx / 2, ry = ny - 1;
  // Symmetry about x = a/2: unknowns i = 1..cx, j = 1..ny-1; the centre-line
  // row is halved to keep the matrix symmetric.
  const bool i_fast = cx <= ry;
  const int n = cx * ry;
  const int bw = i_fast ? 2 * cx : 2 * ry;
  auto index = [&](int i, int j) {
    return i_fast ? (j - 1) * cx + (i - 1) : (i - 1) * ry + (j - 1);
  };

  BandMatrix A(n, bw);
  std::array<std::vector<double>, 2> rhs{std::vector<double>(n), std::vector<double>(n)};
  const double sx = Sign(sup.sides), st = Sign(sup.top), sb = Sign(sup.bottom);
  const double cx4 = 1 / std::pow(hx, 4), cy4 = 1 / std::pow(hy, 4);
  const double cxy = 2 / (hx * hx * hy * hy);
  for (int j = 1; j <= ry; ++j) {
    for (int i = 1; i <= cx; ++i) {
      const int row = index(i, j);
      const double scale = i == cx ? 0.5 : 1.0;
      auto add = [&](int di, int dj, double c) {
        int ii = i + di, jj = j + dj;
        if (jj == 0 || jj == ny || ii == 0) return;
        if (jj < 0) {
          jj = -jj;
          c *= st;
        } else if (jj > ny) {
          jj = 2 * ny - jj;
          c *= sb;
        }
        if (ii < 0) {
          ii = -ii;
          c *= sx;
        } else if (ii > cx) {
          ii = nx - ii;
        }
        A.Add(row, index(ii, jj), c * scale);
      };
      const double w5[5] = {1, -4, 6, -4, 1};
      for (int d = -2; d <= 2; ++d) {
        add(d, 0, w5[d + 2] * cx4);
        add(0, d, w5[d + 2] * cy4);
      }
      add(0, 0, 4 * cxy);
      add(1, 0, -2 * cxy);
      add(-1, 0, -2 * cxy);
      add(0, 1, -2 * cxy);
      add(0, -1, -2 * cxy);
      add(1, 1, cxy);
      add(1, -1, cxy);
      add(-1, 1, cxy);
      add(-1, -1, cxy);
      rhs[0][row] = scale;
      rhs[1][row] = scale * j * hy;
    }
  }
  A.Factor();

  s.nx_ = nx;
  s.ny_ = ny;
  const int nodes = (nx + 1) * (ny + 1);
  auto at = [&](int i, int j) { return static_cast<std::size_t>(j * (nx + 1) + i); };
  for (int load = 0; load < 2; ++load) {
    A.SolveInPlace(rhs[load]);
    auto& g = s.grid_[load];
    for (auto& f : g) f.assign(nodes, 0.0);
    auto& w = g[0];
    for (int j = 1; j <= ry; ++j)
      for (int i = 1; i < nx; ++i) w[at(i, j)] = rhs[load][index(i <= cx ? i : nx - i, j)];
    // Second derivatives by central differences inside. On an edge the
    // along-edge one vanishes; the normal one is 0 on a hinged edge and, on a
    // clamped edge, extrapolated quadratically from the three nearest inner
    // nodes (the one-sided difference of w there converges only to first
    // order, the inner values to second order).
    auto& wxx = g[1];
    auto& wyy = g[2];
    for (int j = 1; j < ny; ++j) {
      for (int i = 1; i < nx; ++i) {
        wxx[at(i, j)] = (w[at(i - 1, j)] - 2 * w[at(i, j)] + w[at(i + 1, j)]) / (hx * hx);
        wyy[at(i, j)] = (w[at(i, j - 1)] - 2 * w[at(i, j)] + w[at(i, j + 1)]) / (hy * hy);
      }
    }
    auto extrap_i = [&](std::vector<double>& f, int i, int step, int j) {
      f[at(i, j)] = 3 * f[at(i + step, j)] - 3 * f[at(i + 2 * step, j)] + f[at(i + 3 * step, j)];
    };
    auto extrap_j = [&](std::vector<double>& f, int i, int j, int step) {
      f[at(i, j)] = 3 * f[at(i, j + step)] - 3 * f[at(i, j + 2 * step)] + f[at(i, j + 3 * step)];
    };
    if (sup.sides == PlateEdge::kClamped) {
      for (int j = 1; j < ny; ++j) {
        extrap_i(wxx, 0, 1, j);
        extrap_i(wxx, nx, -1, j);
      }
    }
    for (int i = 1; i < nx; ++i) {
      if (sup.top == PlateEdge::kClamped) extrap_j(wyy, i, 0, 1);
      if (sup.bottom == PlateEdge::kClamped) extrap_j(wyy, i, ny, -1);
    }
    // Shears Q = -∂(∇²w): central differences inside; on the edges
    // extrapolated from the inner nodes.
    std::vector<double> lap(nodes);
    for (int k = 0; k < nodes; ++k) lap[k] = wxx[k] + wyy[k];
    auto& qx = g[3];
    auto& qy = g[4];
    for (int j = 0; j <= ny; ++j) {
      for (int i = 0; i <= nx; ++i) {
        if (i > 0 && i < nx) qx[at(i, j)] = -(lap[at(i + 1, j)] - lap[at(i - 1, j)]) / (2 * hx);
        if (j > 0 && j < ny) qy[at(i, j)] = -(lap[at(i, j + 1)] - lap[at(i, j - 1)]) / (2 * hy);
      }
    }
    for (int j = 0; j <= ny; ++j) {
      extrap_i(qx, 0, 1, j);
      extrap_i(qx, nx, -1, j);
    }
    for (int i = 0; i <= nx; ++i) {
      extrap_j(qy, i, 0, 1);
      extrap_j(qy, i, ny, -1);
    }
  }
  return s;
}

std::array<PlateForces, 2> PlateSolution::GridAt(double x, double y, double nu) const {
  const double hx = ratio_ / nx_, hy = 1.0 / ny_;
  const double fx = std::clamp(x / hx, 0.0, static_cast<double>(nx_));
  const double fy = std::clamp(y / hy, 0.0, static_cast<double>(ny_));
  const int i = std::min(static_cast<int>(fx), nx_ - 1),
            j = std::min(static_cast<int>(fy), ny_ - 1);
  const double u = fx - i, v = fy - j;
  auto lerp2 = [&](const std::vector<double>& f) {
    auto at = [&](int a, int b) { return f[static_cast<std::size_t>(b * (nx_ + 1) + a)]; };
    return (1 - u) * (1 - v) * at(i, j) + u * (1 - v) * at(i + 1, j) + (1 - u) * v * at(i, j + 1) +
           u * v * at(i + 1, j + 1);
  };
  std::array<PlateForces, 2> out{};
  for (int load = 0; load < 2; ++load) {
    const auto& g = grid_[load];
    const double wxx = lerp2(g[1]), wyy = lerp2(g[2]);
    out[load].w = lerp2(g[0]);
    out[load].Mx = -(wxx + nu * wyy);
    out[load].My = -(wyy + nu * wxx);
    out[load].Qx = lerp2(g[3]);
    out[load].Qy = lerp2(g[4]);
  }
  return out;
}

std::array<PlateForces, 2> PlateSolution::At(double x, double y, double nu) const {
  x = std::clamp(x, 0.0, ratio_);
  y = std::clamp(y, 0.0, 1.0);
  return method_ == PlateMethod::kLevy ? LevyAt(x, y, nu) : GridAt(x, y, nu);
}

const PlateSolution& PlateCache::Get(double ratio, PlateSupports sup) {
  const long key = std::lround(ratio * 1e4);
  for (const Item& it : items_)
    if (it.key == key && it.sup == sup) return it.sol;
  const double r = key * 1e-4;
  PlateSolution sol = sup.sides == PlateEdge::kHinged ? PlateSolution::Levy(r, sup)
                                                      : PlateSolution::FiniteDifference(r, sup);
  items_.push_back(Item{key, sup, std::move(sol)});
  return items_.back().sol;
}

PlateForces PlateForcesAt(const PlateSolution& sol, double b, double qu, double qt, double x,
                          double y, double nu) {
  const auto f = sol.At(x / b, y / b, nu);
  PlateForces r;
  const double b2 = b * b;
  r.w = (qu * f[0].w + qt * f[1].w) * b2 * b2;
  r.Mx = (qu * f[0].Mx + qt * f[1].Mx) * b2;
  r.My = (qu * f[0].My + qt * f[1].My) * b2;
  r.Qx = (qu * f[0].Qx + qt * f[1].Qx) * b;
  r.Qy = (qu * f[0].Qy + qt * f[1].Qy) * b;
  return r;
}

}  // namespace vaultra
