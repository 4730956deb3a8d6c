#include "analysis/stiffness_system.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace vaultra::solver {

bool SolveDense(const System& sys, const std::vector<double>& load, std::vector<double>& u) {
  int n = sys.n;
  std::vector<int> map(n, -1);
  std::vector<int> free;
  for (int d = 0; d < n; ++d) {
    if (sys.restrained[d]) continue;
    if (sys.row_max[d] <= kZeroRow && std::fabs(load[d]) < kZeroRow) continue;
    map[d] = static_cast<int>(free.size());
    free.push_back(d);
  }
  int m = static_cast<int>(free.size());
  u.assign(n, 0.0);
  if (m == 0) return true;
  std::vector<double> a(static_cast<std::size_t>(m) * m, 0.0), b(m);
  for (int r = 0; r < m; ++r) b[r] = load[free[r]];
  for (int p = 0; p < n / 3; ++p)
    for (const auto& [q, blk] : sys.blocks[p])
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
          int ri = map[3 * p + i], cj = map[3 * q + j];
          if (ri >= 0 && cj >= 0) a[static_cast<std::size_t>(ri) * m + cj] += blk[i * 3 + j];
        }
  double maxdiag = 0;
  for (int i = 0; i < m; ++i)
    maxdiag = std::max(maxdiag, std::fabs(a[static_cast<std::size_t>(i) * m + i]));
  double tol = std::max(kZeroRow, kSingularRatio * maxdiag);
  auto A = [&](int i, int j) -> double& { return a[static_cast<std::size_t>(i) * m + j]; };
  for (int i = 0; i < m; ++i) {
    if (std::fabs(A(i, i)) < kZeroRow) {
      for (int r = i + 1; r < m && std::fabs(A(i, i)) <= kZeroRow; ++r) {
        for (int j = i; j < m; ++j) A(i, j) += A(r, j);
        b[i] += b[r];
      }
      if (std::fabs(A(i, i)) <= kZeroRow) return false;
    }
    double piv = A(i, i);
    if (std::fabs(piv) < tol) return false;
    for (int j = i; j < m; ++j) A(i, j) /= piv;
    b[i] /= piv;
    for (int r = i + 1; r < m; ++r) {
      double f = A(r, i);
      for (int j = i; j < m; ++j) A(r, j) -= f * A(i, j);
      b[r] -= f * b[i];
    }
  }
  for (int i = m - 1; i >= 0; --i) {
    double v = b[i];
    for (int j = i + 1; j < m; ++j) v -= A(i, j) * b[j];
    b[i] = v;
  }
  for (int r = 0; r < m; ++r) u[free[r]] = b[r];
  return true;
}

System AssembleSystem(const FrameModel& model, const std::vector<MemberData>& mem, int spring_idx,
                      int support_idx) {
  const int nn = model.nodes.Count(), nm = model.members.Count();
  auto NodeIndex = [&model](int number) { return FindByNumber(model.nodes, number); };
  System sys;
  sys.n = 3 * nn;
  sys.blocks.assign(nn, {});
  sys.restrained.assign(sys.n, false);
  for (int p = 0; p < nn; ++p) sys.blocks[p][p];
  auto add_diag = [&](int node, int dir, double v) {
    sys.blocks[node - 1][node - 1][dir * 3 + dir] += v;
  };
  if (support_idx > 0) {
    for (const auto& su : model.support_cases[support_idx].supports) {
      int node = NodeIndex(su.node);
      if (node == 0) continue;
      if (su.type == 5)
        for (int d = 0; d < 3; ++d) add_diag(node, d, su.values[d]);
    }
  }
  if (spring_idx > 0) {
    for (const auto& sp : model.spring_cases[spring_idx].springs) {
      int e = FindByNumber(model.members, sp.member);
      if (e == 0 || !mem[e].valid) continue;
      const MemberData& m = mem[e];
      double kn = sp.k_normal * m.L / 2, kt = sp.k_tangent * m.L / 2;
      double kx = std::fabs(m.c * kt - m.s * kn), ky = std::fabs(m.s * kt + m.c * kn);
      for (int node : {m.ni, m.nj}) {
        add_diag(node, 0, kx);
        add_diag(node, 1, ky);
      }
    }
  }
  for (int e = 1; e <= nm; ++e) {
    const MemberData& m = mem[e];
    if (!m.valid) continue;
    int nodes[2] = {m.ni - 1, m.nj - 1};
    for (int a = 0; a < 2; ++a)
      for (int b = 0; b < 2; ++b) {
        auto& blk = sys.blocks[nodes[a]][nodes[b]];
        for (int i = 0; i < 3; ++i)
          for (int j = 0; j < 3; ++j) blk[i * 3 + j] += m.kg[(3 * a + i) * 6 + 3 * b + j];
      }
  }
  if (support_idx > 0) {
    for (const auto& su : model.support_cases[support_idx].supports) {
      int node = NodeIndex(su.node);
      if (node == 0) continue;
      int base = 3 * (node - 1);
      bool rx = su.type == 1 || su.type == 3 || su.type == 4;
      bool ry = su.type == 1 || su.type == 2 || su.type == 4;
      bool rr = su.type == 4;
      if (rx) sys.restrained[base] = true;
      if (ry) sys.restrained[base + 1] = true;
      if (rr) sys.restrained[base + 2] = true;
    }
  }
  SetRowMax(sys);
  return sys;
}

void SetRowMax(System& sys) {
  const int nn = static_cast<int>(sys.blocks.size());
  sys.row_max.assign(sys.n, 0.0);
  for (int p = 0; p < nn; ++p)
    for (const auto& kv : sys.blocks[p])
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
          sys.row_max[3 * p + i] =
              std::max(sys.row_max[3 * p + i], std::fabs(kv.second[i * 3 + j]));
}

std::vector<SupportReaction> SupportReactions(const FrameModel& model, const System& sys,
                                              int support_idx, const std::vector<double>& load,
                                              const std::vector<double>& u) {
  std::vector<SupportReaction> out;
  if (support_idx == 0) return out;
  auto NodeIndex = [&model](int number) { return FindByNumber(model.nodes, number); };
  // One entry per node, in the order the nodes first appear: a node may
  // carry a restraint and springs in separate entries.
  const auto& supports = model.support_cases[support_idx].supports;
  for (int k = 1; k <= supports.Count(); ++k) {
    int node = NodeIndex(supports[k].node);
    bool seen = false;
    for (int j = 1; j < k && !seen; ++j) seen = NodeIndex(supports[j].node) == node;
    if (node == 0 || seen) continue;
    SupportReaction r;
    r.node = supports[k].node;
    int base = 3 * (node - 1);
    for (int d = 0; d < 3; ++d) {
      if (sys.restrained[base + d]) {
        double v = -load[base + d];
        for (const auto& [q, blk] : sys.blocks[node - 1])
          for (int j = 0; j < 3; ++j) v += blk[d * 3 + j] * u[3 * q + j];
        r.values[d] = v;
        continue;
      }
      for (int j = k; j <= supports.Count(); ++j)
        if (supports[j].type == 5 && NodeIndex(supports[j].node) == node)
          r.values[d] -= supports[j].values[d] * u[base + d];
    }
    out.push_back(r);
  }
  return out;
}

}  // namespace vaultra::solver
