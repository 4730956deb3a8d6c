#include "analysis/beam_element.h"

#include <algorithm>
#include <cmath>

#include "core/number.h"

namespace vaultra::solver {

namespace {

// A value limited to +-1e88, and below 1e-88 in size taken as 0.
double Clamp88(double v) {
  if (v > 1e88) return 1e88;
  if (v < -1e88) return -1e88;
  if (std::fabs(v) < 1e-88) return 0;
  return v;
}

}  // namespace

PointCubics CubicsAt(const MemberData& m, double x, bool deflection) {
  PointCubics c;
  for (int b = 0; b < 2; ++b) {
    c.moment[b] = MomentAt(m, Poly::Var(), x, b == 0);
    if (deflection) c.deflection[b] = DeflectionAt(m, Poly::Var(), x, b == 0);
  }
  return c;
}

Mat6 LocalStiffness(const MemberData& m) {
  Mat6 k{};
  auto set = [&](int r, int c, double v) {
    k[r * 6 + c] = v;
    k[c * 6 + r] = v;
  };
  double L = m.Lc;
  double ea = m.E * m.A / L, ei = m.E * m.I;
  set(0, 0, ea);
  set(3, 3, ea);
  set(0, 3, -ea);
  if (m.ei == kEndRigid && m.ej == kEndRigid) {
    double a = 12 * ei / (L * L * L), b = 6 * ei / (L * L), c4 = 4 * ei / L, c2 = 2 * ei / L;
    set(1, 1, a), set(1, 2, b), set(1, 4, -a), set(1, 5, b);
    set(2, 2, c4), set(2, 4, -b), set(2, 5, c2);
    set(4, 4, a), set(4, 5, -b), set(5, 5, c4);
  } else if (m.ei == kEndPin && m.ej == kEndRigid) {
    double a = 3 * ei / (L * L * L), b = 3 * ei / (L * L), c3 = 3 * ei / L;
    set(1, 1, a), set(1, 4, -a), set(1, 5, b);
    set(4, 4, a), set(4, 5, -b), set(5, 5, c3);
  } else if (m.ei == kEndRigid && m.ej == kEndPin) {
    double a = 3 * ei / (L * L * L), b = 3 * ei / (L * L), c3 = 3 * ei / L;
    set(1, 1, a), set(1, 2, b), set(1, 4, -a);
    set(2, 2, c3), set(2, 4, -b), set(4, 4, a);
  }
  return k;
}

Mat6 Transform(double c, double s) {
  Mat6 t{};
  for (int e = 0; e < 2; ++e) {
    int o = 3 * e;
    t[(o + 0) * 6 + o + 0] = c;
    t[(o + 0) * 6 + o + 1] = s;
    t[(o + 1) * 6 + o + 0] = -s;
    t[(o + 1) * 6 + o + 1] = c;
    t[(o + 2) * 6 + o + 2] = 1;
  }
  return t;
}

Mat6 MulClamped(const Mat6& a, const Mat6& b, bool transpose_a) {
  Mat6 r{};
  for (int i = 0; i < 6; ++i)
    for (int j = 0; j < 6; ++j) {
      double v = 0;
      for (int k = 0; k < 6; ++k) v += (transpose_a ? a[k * 6 + i] : a[i * 6 + k]) * b[k * 6 + j];
      r[i * 6 + j] = Clamp88(v);
    }
  return r;
}

MemberData PrepareMember(const FrameModel& model, FrameMember& fm) {
  MemberData m;
  m.ni = FindByNumber(model.nodes, fm.node_i);
  m.nj = FindByNumber(model.nodes, fm.node_j);
  m.ei = fm.end_i == kEndPin ? kEndPin : kEndRigid;
  m.ej = fm.end_j == kEndPin ? kEndPin : kEndRigid;
  double dx = 0, dy = 0;
  if (m.ni > 0 && m.nj > 0) {
    dx = model.nodes[m.nj].x - model.nodes[m.ni].x;
    dy = model.nodes[m.nj].y - model.nodes[m.ni].y;
    m.valid = true;
  }
  double r = dx * dx + dy * dy;
  m.L = r > 0 ? std::sqrt(r) : 0;
  double th = (dx == 0 && dy == 0) ? 0 : std::atan2(dy, dx);
  fm.length = m.L;
  fm.angle = th;
  m.Lc = std::max(m.L, kMinLength);
  m.c = RoundTo9(std::cos(th));
  m.s = RoundTo9(std::sin(th));
  int si = FindByNumber(model.sections, fm.section);
  int mi = FindByNumber(model.materials, fm.material);
  m.A = si ? model.sections[si].area : 1;
  m.I = si ? model.sections[si].inertia : 1;
  m.E = mi ? model.materials[mi].e : 1;
  m.alpha = mi ? model.materials[mi].alpha : 0;
  m.k = LocalStiffness(m);
  Mat6 t = Transform(m.c, m.s);
  m.kg = MulClamped(t, MulClamped(m.k, t, false), true);
  m.points = {0.0, m.L};
  m.ends = UnitFixedEnd(m.ei, m.ej, m.Lc, Poly::Var());
  return m;
}

}  // namespace vaultra::solver
