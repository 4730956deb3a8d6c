#include "analysis/banded_factor.h"

#include <algorithm>
#include <cmath>

namespace vaultra::solver {

std::vector<int> ReverseCuthillMcKee(const System& sys) {
  int nn = sys.n / 3;
  std::vector<std::vector<int>> adj(nn);
  for (int p = 0; p < nn; ++p)
    for (const auto& kv : sys.blocks[p])
      if (kv.first != p) adj[p].push_back(kv.first);
  std::vector<int> order;
  std::vector<bool> seen(nn, false);
  order.reserve(nn);
  while (static_cast<int>(order.size()) < nn) {
    int start = -1;
    for (int p = 0; p < nn; ++p)
      if (!seen[p] && (start < 0 || adj[p].size() < adj[start].size())) start = p;
    std::size_t head = order.size();
    order.push_back(start);
    seen[start] = true;
    while (head < order.size()) {
      int p = order[head++];
      std::vector<int> next;
      for (int q : adj[p])
        if (!seen[q]) next.push_back(q), seen[q] = true;
      std::sort(next.begin(), next.end(), [&](int x, int y) {
        return adj[x].size() != adj[y].size() ? adj[x].size() < adj[y].size() : x < y;
      });
      order.insert(order.end(), next.begin(), next.end());
    }
  }
  std::reverse(order.begin(), order.end());
  return order;
}

Factor FactorSystem(const System& sys, const std::vector<int>& node_order) {
  Factor f;
  int n = sys.n;
  std::vector<int> red(n, -1);
  for (int p : node_order)
    for (int i = 0; i < 3; ++i) {
      int d = 3 * p + i;
      if (sys.restrained[d]) continue;
      if (sys.row_max[d] <= kZeroRow) {
        f.zero_rows.push_back(d);
        continue;
      }
      red[d] = static_cast<int>(f.dof_of.size());
      f.dof_of.push_back(d);
    }
  int m = static_cast<int>(f.dof_of.size());
  f.first.assign(m, 0);
  for (int r = 0; r < m; ++r) f.first[r] = r;
  for (int p = 0; p < n / 3; ++p)
    for (const auto& kv : sys.blocks[p])
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
          int ri = red[3 * p + i], cj = red[3 * kv.first + j];
          if (ri >= 0 && cj >= 0 && cj < ri) f.first[ri] = std::min(f.first[ri], cj);
        }
  f.start.assign(m + 1, 0);
  for (int r = 0; r < m; ++r)
    f.start[r + 1] = f.start[r] + static_cast<std::size_t>(r - f.first[r]);
  f.lower.assign(f.start[m], 0.0);
  f.diag.assign(m, 0.0);
  for (int p = 0; p < n / 3; ++p)
    for (const auto& kv : sys.blocks[p])
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
          int ri = red[3 * p + i], cj = red[3 * kv.first + j];
          if (ri < 0 || cj < 0) continue;
          double v = kv.second[i * 3 + j];
          if (cj == ri)
            f.diag[ri] += v;
          else if (cj < ri)
            f.lower[f.start[ri] + static_cast<std::size_t>(cj - f.first[ri])] += v;
        }
  double maxdiag = 0;
  for (double d : f.diag) maxdiag = std::max(maxdiag, std::fabs(d));
  double tol = std::max(kZeroRow, kSingularRatio * maxdiag);
  for (int i = 0; i < m; ++i) {
    int fi = f.first[i];
    double* ri = f.lower.data() + f.start[i] - fi;  // ri[j] for j in [fi, i)
    for (int j = fi; j < i; ++j) {
      int fj = f.first[j];
      const double* rj = f.lower.data() + f.start[j] - fj;
      int k0 = std::max(fi, fj);
      double s = ri[j];
      for (int k = k0; k < j; ++k) s -= ri[k] * rj[k];
      ri[j] = s;
    }
    double d = f.diag[i];
    for (int j = fi; j < i; ++j) {
      double l = ri[j] / f.diag[j];
      d -= l * ri[j];
      ri[j] = l;
    }
    if (!(std::fabs(d) >= tol)) return f;  // not usable
    f.diag[i] = d;
  }
  f.usable = true;
  return f;
}

bool SolveFactor(const Factor& f, int n, const std::vector<double>& load, std::vector<double>& u) {
  for (int d : f.zero_rows)
    if (std::fabs(load[d]) >= kZeroRow) return false;
  int m = static_cast<int>(f.dof_of.size());
  std::vector<double> y(m);
  for (int r = 0; r < m; ++r) y[r] = load[f.dof_of[r]];
  for (int i = 0; i < m; ++i) {
    const double* ri = f.lower.data() + f.start[i] - f.first[i];
    double s = y[i];
    for (int j = f.first[i]; j < i; ++j) s -= ri[j] * y[j];
    y[i] = s;
  }
  for (int i = 0; i < m; ++i) y[i] /= f.diag[i];
  for (int i = m - 1; i >= 0; --i) {
    const double* ri = f.lower.data() + f.start[i] - f.first[i];
    double xi = y[i];
    for (int j = f.first[i]; j < i; ++j) y[j] -= ri[j] * xi;
  }
  u.assign(n, 0.0);
  for (int r = 0; r < m; ++r) u[f.dof_of[r]] = y[r];
  return true;
}

std::vector<int> MemberNodeOrder(int node_count, const std::vector<MemberData>& mem) {
  System graph;
  graph.n = 3 * node_count;
  graph.blocks.assign(node_count, {});
  for (std::size_t e = 1; e < mem.size(); ++e) {
    if (!mem[e].valid) continue;
    int p = mem[e].ni - 1, q = mem[e].nj - 1;
    graph.blocks[p][q];
    graph.blocks[q][p];
    graph.blocks[p][p];
    graph.blocks[q][q];
  }
  return ReverseCuthillMcKee(graph);
}

}  // namespace vaultra::solver
