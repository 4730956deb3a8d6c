// Loads on a member of the internal frame solver: a load item decomposed
// into member axes, its equivalent end loads, and its moment, axial and
// shear force and deflection at the member's output points. A distributed
// normal load acts as strips of 0.01 m: strip by strip on the reference
// path, as power sums against the unit cubics on the fast path.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <vector>

#include "analysis/beam_element.h"
#include "model/frame_model.h"

namespace vaultra::solver {

// Loaded part of a linearly varying load: resultant and centroid (from the
// i-end) of q1..q2 over [h0, h1].
void Resultant(double q1, double q2, double h0, double h1, double* R, double* xbar);

// Parts of a load item in member axes.
struct ItemParts {
  int kind = 0;           // 0 none, 1 distributed, 2 concentrated, 3 moment, 4 temperature
  double a1 = 0, a2 = 0;  // axial part (start, end)
  double n1 = 0, n2 = 0;  // normal part (start, end)
  double h0 = 0, h1 = 0;  // loaded extent (distributed) or position (h0)
  double dt = 0;
};

ItemParts Decompose(const FrameLoadItem& it, const MemberData& m);

// Equivalent member-end loads [Ni, Si, Mi, Nj, Sj, Mj] of one item part.
void AddEquivalent(const ItemParts& p, const MemberData& m, Vec6& f);

// The tenth (0 .. 9) of a member that a relative position r lies in; a
// position that is no number lies in the first.
int TenthIndex(double r);

// Strips of 0.01 m over a loaded length l > 0; members of a kilometre and
// more (no frame of this system) get wider strips instead of an overflow.
int StripCount(double l);

// Strips of a distributed normal load: centres and forces, ascending. The
// strips are 0.01 m wide at most; the load acts at each strip's centre.
struct Strips {
  std::vector<double> h, F;
};

Strips MakeStrips(double q1, double q2, double h0, double h1);

// Sum over the strips of F_k * g(h_k), g chosen by the branch of each strip
// (strip by strip: the reference path).
template <class Fn>
double StripSum(const Strips& st, double x, Fn&& unit) {
  double v = 0;
  for (std::size_t k = 0; k < st.h.size(); ++k) {
    bool left = st.h[k] <= x;
    v += st.F[k] * unit(st.h[k], left);
  }
  return v;
}

// The same strips as power sums: a unit formula is a cubic g in the load
// position on either side of x, so the strip sum is the left cubic's
// coefficients times the sums of F_k h_k^p over the strips at or left of x
// plus the right cubic's times the rest. One pass over the strips serves
// every evaluation point.
struct StripSums {
  int n = 0;                                // strips
  std::vector<int> split;                   // strips at or left of each point
  std::vector<std::array<double, 4>> left;  // power sums of those strips
  std::array<double, 4> total{};            // power sums of all strips
};

// Fills sums for the ascending points xs[0..nx).
void SumStrips(double q1, double q2, double h0, double h1, const double* xs, int nx,
               StripSums& sums);

// The strip sum at point i with the cubics left and right of it.
inline double StripValue(const StripSums& sums, int i, const Poly& left, const Poly& right) {
  if (sums.n == 0) return 0;
  std::size_t k = static_cast<std::size_t>(i);
  int split = sums.split[k];
  const auto& below = sums.left[k];
  double v = 0;
  if (split > 0)
    for (int p = 0; p < 4; ++p) v += left.c[p] * below[p];
  if (split < sums.n)
    for (int p = 0; p < 4; ++p) v += right.c[p] * (sums.total[p] - below[p]);
  return v;
}

// A member's values at its output points while the loads of a case are
// summed: moment, axial force, deflection (mm) and the shear of the loads.
struct PointValues {
  std::vector<double> M, N, D, sload;
};

// Adds what one load item does at the member's output points. The unit
// cubics at the points are asked for only when the item needs them.
// Without deflections the deflections are left as they are.
void AddItemEffects(const FrameLoadItem& it, const MemberData& m, bool reference,
                    const std::function<const std::vector<PointCubics>&()>& cubics, StripSums& sums,
                    PointValues& values, bool deflections = true);

}  // namespace vaultra::solver
