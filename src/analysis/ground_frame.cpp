#include "analysis/ground_frame.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "analysis/banded_factor.h"
#include "analysis/beam_element.h"
#include "analysis/frame_solver.h"
#include "analysis/member_loads.h"
#include "analysis/stiffness_system.h"
#include "core/number.h"

namespace vaultra {

int GroundElementCount(double L, double EI, double EA, double kn, double kt) {
  constexpr int kMinElements = 8, kMaxElements = 400;
  double n = kMinElements;
  if (kn > 0 && EI > 0) n = std::max(n, 5 * L * std::pow(kn / (4 * EI), 0.25));
  if (kt > 0 && EA > 0) n = std::max(n, 5 * L * std::sqrt(kt / EA));
  return static_cast<int>(std::ceil(std::min(n, static_cast<double>(kMaxElements))));
}

namespace {

using namespace solver;  // NOLINT: the solver's own parts

// Consistent stiffness of distributed springs on an element of length l in
// its own axes: kn normal (cubic Hermite deflection), kt along the element
// (linear axial displacement). K = integral of N^T k N over the element.
Mat6 WinklerStiffness(double l, double kn, double kt) {
  Mat6 k{};
  const double a = kt * l / 6;
  k[0 * 6 + 0] = k[3 * 6 + 3] = 2 * a;
  k[0 * 6 + 3] = k[3 * 6 + 0] = a;
  const double b = kn * l / 420, l2 = l * l;
  const int dof[4] = {1, 2, 4, 5};
  const double m[4][4] = {{156, 22 * l, 54, -13 * l},
                          {22 * l, 4 * l2, 13 * l, -3 * l2},
                          {54, 13 * l, 156, -22 * l},
                          {-13 * l, -3 * l2, -22 * l, 4 * l2}};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) k[dof[i] * 6 + dof[j]] = b * m[i][j];
  return k;
}

Vec6 Mul(const Mat6& a, const Vec6& v) {
  Vec6 r{};
  for (int i = 0; i < 6; ++i)
    for (int k = 0; k < 6; ++k) r[i] += a[i * 6 + k] * v[k];
  return r;
}

// One element of the analysis: a whole member without springs, with its
// own end codes and the demo solver's arithmetic, or a piece of a member on
// springs, with rigid ends; a pinned end of a cut member releases the
// rotation of its end piece, condensed out in that piece so that the
// springs' stiffness takes part in the condensation.
struct ElementInfo {
  int member = 0;  // original member index
  double x0 = 0;   // position of the i-end on the member
  bool pin_i = false, pin_j = false;
  bool cut = false;  // a piece of a member on springs
};

// A member on springs as its elements: mesh positions, element indexes, and
// per output point the mesh node it lies on.
struct MemberMesh {
  std::vector<double> x;      // mesh positions, 0 .. L
  std::vector<int> elements;  // element index per interval
  std::vector<int> point_at;  // mesh node of each output point
};

// Condenses the released rotations of an element out of K and Q, keeping
// the stages for the recovery: stage[0] the full matrix, stage[1] after the
// first release (when there are two).
struct Released {
  int dofs[2] = {-1, -1};
  int count = 0;
};
void Condense(Mat6& k, Vec6& q, int r) {
  const double p = k[r * 6 + r];
  if (std::fabs(p) < 1e-300) return;
  Mat6 out = k;
  Vec6 qo = q;
  for (int i = 0; i < 6; ++i) {
    if (i == r) continue;
    for (int j = 0; j < 6; ++j)
      if (j != r) out[i * 6 + j] -= k[i * 6 + r] * k[r * 6 + j] / p;
    qo[i] -= k[i * 6 + r] * q[r] / p;
  }
  for (int i = 0; i < 6; ++i) out[i * 6 + r] = out[r * 6 + i] = 0;
  qo[r] = 0;
  k = out;
  q = qo;
}
// The released displacement r from row r of k: (q_r - sum k_rj d_j) / k_rr.
void Recover(const Mat6& k, const Vec6& q, int r, Vec6& d) {
  const double p = k[r * 6 + r];
  double v = q[r];
  for (int j = 0; j < 6; ++j)
    if (j != r) v -= k[r * 6 + j] * d[j];
  d[r] = std::fabs(p) < 1e-300 ? 0 : v / p;
}

struct GroundSolver {
  GroundSolver(FrameModel& m, AnalysisResults& r, GroundFrameDetails* d)
      : model(m), res(r), details(d) {}
  FrameModel& model;
  AnalysisResults& res;
  GroundFrameDetails* details;

  int nn = 0, nm = 0, total_nodes = 0;
  std::vector<MemberData> mem;                 // original members, 1-based
  std::vector<MemberData> el;                  // elements, 1-based
  std::vector<ElementInfo> info;               // per element
  std::vector<MemberMesh> mesh;                // per original member; empty x: not cut
  std::vector<int> whole;                      // element of a member that is not cut
  std::vector<std::array<double, 2>> node_xy;  // every node, 0-based
  std::vector<int> node_order;
  // Per spring case (index 0: none): per original member the summed
  // normal and tangential springs.
  std::vector<std::vector<std::array<double, 2>>> springs;

  struct CaseSystem {
    System sys;
    Factor factor;
    std::vector<Mat6> full;  // per element: stiffness with springs, before condensation
  };
  std::map<std::pair<int, int>, CaseSystem> systems;
  PointValues scratch;
  StripSums sums;
  std::vector<std::vector<PointCubics>> cubics;  // per element, at its points

  static Mat6 ToGlobal(const MemberData& m, const Mat6& k) {
    Mat6 t = Transform(m.c, m.s);
    return MulClamped(t, MulClamped(k, t, false), true);
  }

  // Member data of an element of length l with rigid ends, on member m.
  static MemberData RigidElement(const MemberData& m, double l, int ni, int nj) {
    MemberData e = m;
    e.ni = ni;
    e.nj = nj;
    e.L = l;
    e.Lc = std::max(l, kMinLength);
    e.ei = e.ej = kEndRigid;
    e.k = LocalStiffness(e);
    e.kg = ToGlobal(e, e.k);
    e.points = {0.0, l};
    e.ends = UnitFixedEnd(kEndRigid, kEndRigid, e.Lc, Poly::Var());
    return e;
  }

  std::array<double, 2> SpringsOf(int spring_idx, int e) const {
    if (spring_idx <= 0) return {0, 0};
    return springs[static_cast<std::size_t>(spring_idx)][static_cast<std::size_t>(e)];
  }

  void Prepare() {
    nn = model.nodes.Count();
    nm = model.members.Count();
    mem.assign(static_cast<std::size_t>(nm) + 1, {});
    for (int e = 1; e <= nm; ++e) mem[e] = PrepareMember(model, model.members[e]);
    SetOutputPoints(model, mem);
    const int nsc = model.spring_cases.Count();
    springs.assign(static_cast<std::size_t>(nsc) + 1, {});
    std::vector<std::array<double, 2>> largest(static_cast<std::size_t>(nm) + 1, {0, 0});
    for (int c = 1; c <= nsc; ++c) {
      auto& per = springs[static_cast<std::size_t>(c)];
      per.assign(static_cast<std::size_t>(nm) + 1, {0, 0});
      for (const auto& sp : model.spring_cases[c].springs) {
        int e = FindByNumber(model.members, sp.member);
        if (e == 0 || !mem[e].valid) continue;
        per[e][0] += sp.k_normal;
        per[e][1] += sp.k_tangent;
      }
      // Only the spring cases a load case uses decide which members are cut.
      bool used = false;
      for (const auto& lc : model.load_cases)
        used |= lc.spring_case > 0 && FindByNumber(model.spring_cases, lc.spring_case) == c;
      if (!used) continue;
      for (int e = 1; e <= nm; ++e)
        for (int d = 0; d < 2; ++d) largest[e][d] = std::max(largest[e][d], std::fabs(per[e][d]));
    }
    node_xy.clear();
    for (int p = 1; p <= nn; ++p) node_xy.push_back({model.nodes[p].x, model.nodes[p].y});
    el.assign(1, {});
    info.assign(1, {});
    mesh.assign(static_cast<std::size_t>(nm) + 1, {});
    whole.assign(static_cast<std::size_t>(nm) + 1, 0);
    for (int e = 1; e <= nm; ++e) {
      const MemberData& m = mem[e];
      const bool on_springs =
          m.valid && m.L >= kMinLength && (largest[e][0] > 0 || largest[e][1] > 0);
      if (!on_springs) {
        // A member without springs is one element with its own end codes:
        // the demo solver's member, worked out as it does.
        el.push_back(m);
        info.push_back({e, 0, false, false, false});
        whole[e] = static_cast<int>(el.size()) - 1;
        continue;
      }
      // Mesh: the output points, and a uniform division whose points keep
      // clear of them by 0.3 of a division.
      const int n = GroundElementCount(m.L, m.E * m.I, m.E * m.A, largest[e][0], largest[e][1]);
      const double h = m.L / n;
      std::vector<std::pair<double, bool>> pos;  // position, output point
      for (double x : m.points) pos.push_back({std::clamp(x, 0.0, m.L), true});
      pos.push_back({0.0, true});
      pos.push_back({m.L, true});
      for (int k = 1; k < n; ++k) {
        double x = k * h;
        bool clear = std::all_of(m.points.begin(), m.points.end(),
                                 [&](double p) { return std::fabs(p - x) > 0.3 * h; });
        if (clear) pos.push_back({x, false});
      }
      std::sort(pos.begin(), pos.end());
      MemberMesh& mm = mesh[e];
      for (const auto& [x, out] : pos)
        if (mm.x.empty() || x - mm.x.back() > 0.0001) mm.x.push_back(x);
      mm.x.back() = m.L;
      // Nodes: the member's own at its ends, new ones between.
      std::vector<int> nodes;
      nodes.push_back(m.ni);
      const std::array<double, 2> a = node_xy[static_cast<std::size_t>(m.ni - 1)];
      const std::array<double, 2> b = node_xy[static_cast<std::size_t>(m.nj - 1)];
      for (std::size_t k = 1; k + 1 < mm.x.size(); ++k) {
        double r = mm.x[k] / m.L;
        node_xy.push_back({a[0] + (b[0] - a[0]) * r, a[1] + (b[1] - a[1]) * r});
        nodes.push_back(static_cast<int>(node_xy.size()));
      }
      nodes.push_back(m.nj);
      for (std::size_t k = 0; k + 1 < mm.x.size(); ++k) {
        el.push_back(RigidElement(m, mm.x[k + 1] - mm.x[k], nodes[k], nodes[k + 1]));
        info.push_back(
            {e, mm.x[k], k == 0 && m.ei == kEndPin, k + 2 == mm.x.size() && m.ej == kEndPin, true});
        mm.elements.push_back(static_cast<int>(el.size()) - 1);
      }
      for (double x : m.points) {
        auto at = std::min_element(mm.x.begin(), mm.x.end(), [&](double p, double q) {
          return std::fabs(p - x) < std::fabs(q - x);
        });
        mm.point_at.push_back(static_cast<int>(at - mm.x.begin()));
      }
    }
    total_nodes = static_cast<int>(node_xy.size());
    cubics.assign(el.size(), {});
    if (details) details->elements = static_cast<int>(el.size()) - 1;
  }

  Released ReleasedOf(int k) const {
    Released r;
    if (info[k].pin_i) r.dofs[r.count++] = 2;
    if (info[k].pin_j) r.dofs[r.count++] = 5;
    return r;
  }

  Mat6 FullStiffness(int k, int spring_idx) const {
    const MemberData& m = el[k];
    Mat6 full = m.k;
    if (info[k].cut) {
      auto [kn, kt] = SpringsOf(spring_idx, info[k].member);
      if (kn != 0 || kt != 0) {
        Mat6 w = WinklerStiffness(m.L, kn, kt);
        for (int i = 0; i < 36; ++i) full[i] += w[i];
      }
    }
    return full;
  }

  CaseSystem& SystemOf(int spring_idx, int support_idx) {
    auto key = std::make_pair(spring_idx, support_idx);
    auto it = systems.find(key);
    if (it != systems.end()) return it->second;
    CaseSystem cs;
    // Supports and their springs on the frame's own nodes; the members'
    // stiffness is added element by element below.
    std::vector<MemberData> none(static_cast<std::size_t>(nm) + 1);
    cs.sys = AssembleSystem(model, none, 0, support_idx);
    cs.sys.n = 3 * total_nodes;
    cs.sys.blocks.resize(static_cast<std::size_t>(total_nodes));
    for (int p = nn; p < total_nodes; ++p) cs.sys.blocks[static_cast<std::size_t>(p)][p];
    cs.sys.restrained.resize(static_cast<std::size_t>(cs.sys.n), false);
    cs.full.assign(el.size(), Mat6{});
    for (std::size_t k = 1; k < el.size(); ++k) {
      const MemberData& m = el[k];
      if (!m.valid) continue;
      Mat6 full = FullStiffness(static_cast<int>(k), spring_idx);
      cs.full[k] = full;
      Released rel = ReleasedOf(static_cast<int>(k));
      Vec6 q{};
      for (int r = 0; r < rel.count; ++r) Condense(full, q, rel.dofs[r]);
      Mat6 kg = ToGlobal(m, full);
      int nodes[2] = {m.ni - 1, m.nj - 1};
      for (int a = 0; a < 2; ++a)
        for (int b = 0; b < 2; ++b) {
          auto& blk = cs.sys.blocks[static_cast<std::size_t>(nodes[a])][nodes[b]];
          for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) blk[i * 3 + j] += kg[(3 * a + i) * 6 + 3 * b + j];
        }
    }
    SetRowMax(cs.sys);
    if (node_order.empty()) node_order = MemberNodeOrder(total_nodes, el);
    cs.factor = FactorSystem(cs.sys, node_order);
    return systems.emplace(key, std::move(cs)).first->second;
  }

  // The items of a load case per element: a member's items as they are on
  // an element that is the whole member; on a cut member each item's part
  // on each element, positions from the element's i-end. A concentrated
  // item at a mesh node goes to the element ending there (the first for the
  // member's i-end), so that the value read there follows the member's
  // rule for a point on a load.
  std::vector<std::vector<FrameLoadItem>> ItemsPerElement(const FrameLoadCase& lc) const {
    std::vector<std::vector<FrameLoadItem>> per(el.size());
    for (const auto& it : lc.items) {
      int last = it.last_member == 0 ? it.first_member : it.last_member;
      for (int num = it.first_member; num <= last; ++num) {
        int e = FindByNumber(model.members, num);
        if (e == 0 || !mem[e].valid) continue;
        if (whole[e] > 0) {
          per[static_cast<std::size_t>(whole[e])].push_back(it);
          continue;
        }
        const MemberMesh& mm = mesh[e];
        const int ne = static_cast<int>(mm.elements.size());
        const MemberData& m = mem[e];
        ItemParts p = Decompose(it, m);
        if (p.kind == 1) {
          double l = p.h1 - p.h0;
          if (!(l > 0)) continue;
          for (int k = 0; k < ne; ++k) {
            double a = mm.x[k], b = mm.x[k + 1];
            double lo = std::max(a, p.h0), hi = std::min(b, p.h1);
            if (!(hi > lo)) continue;
            FrameLoadItem part = it;
            part.first_member = part.last_member = 0;
            part.d1 = it.d1 + (it.d2 - it.d1) * (lo - p.h0) / l;
            part.d2 = it.d1 + (it.d2 - it.d1) * (hi - p.h0) / l;
            part.d3 = lo - a;
            part.d4 = b - hi;
            per[static_cast<std::size_t>(mm.elements[k])].push_back(part);
          }
        } else if (p.kind == 2 || p.kind == 3) {
          int k = 0;
          while (k + 1 < ne && !(p.h0 <= mm.x[k + 1])) ++k;
          FrameLoadItem part = it;
          part.d3 = p.h0 - mm.x[k];
          per[static_cast<std::size_t>(mm.elements[k])].push_back(part);
        } else if (p.kind == 4) {
          for (int k = 0; k < ne; ++k) per[static_cast<std::size_t>(mm.elements[k])].push_back(it);
        }
      }
    }
    return per;
  }

  // Element end displacements in its own axes, released rotations
  // recovered from the element's equations.
  Vec6 ElementDisplacements(int k, const std::vector<double>& u, const Mat6& full,
                            const Vec6& q) const {
    const MemberData& m = el[k];
    Vec6 ug{}, d{};
    for (int i = 0; i < 3; ++i) {
      ug[i] = u[3 * (m.ni - 1) + i];
      ug[3 + i] = u[3 * (m.nj - 1) + i];
    }
    Released rel = ReleasedOf(k);
    for (int r = 0; r < rel.count; ++r) ug[rel.dofs[r]] = 0;
    if (m.ei == kEndPin) ug[2] = 0;  // a whole member's pinned ends (condensed in m.k)
    if (m.ej == kEndPin) ug[5] = 0;
    d = Mul(Transform(m.c, m.s), ug);
    if (rel.count == 1) {
      Recover(full, q, rel.dofs[0], d);
    } else if (rel.count == 2) {
      Mat6 k1 = full;
      Vec6 q1 = q;
      Condense(k1, q1, rel.dofs[0]);
      Recover(k1, q1, rel.dofs[1], d);
      Recover(full, q, rel.dofs[0], d);
    }
    return d;
  }

  // Moment, shear, axial force and deflection (mm, from the original
  // member's chord) at the element's points, the spring pressure included.
  void ElementValues(int k, const Vec6& d, const Mat6& full, const Vec6& chord,
                     const std::vector<FrameLoadItem>& items,
                     std::array<double, 2> node_rot = {0, 0}) {
    const MemberData& m = el[k];
    const int np = static_cast<int>(m.points.size());
    const double L = m.Lc;
    Vec6 fb = Mul(m.k, d);
    Mat6 w{};
    for (int i = 0; i < 36; ++i) w[i] = full[i] - m.k[i];
    Vec6 fw = Mul(w, d);  // the springs' share of the end forces
    Vec6 f{};
    for (int i = 0; i < 6; ++i) f[i] = fb[i] + fw[i];
    auto& [M, N, D, sload] = scratch;
    M.assign(np, 0.0);
    N.assign(np, 0.0);
    D.assign(np, 0.0);
    sload.assign(np, 0.0);
    for (int p = 0; p < np; ++p) {
      double x = m.points[p];
      M[p] = m.L < 1e-6 ? (-f[2] + f[5]) / 2 : -f[2] * (1 - x / L) + f[5] * x / L;
      N[p] = f[3];
    }
    auto cubics_of = [this, k]() -> const std::vector<PointCubics>& {
      auto& c = cubics[static_cast<std::size_t>(k)];
      if (c.size() != el[k].points.size()) {
        c.clear();
        for (double x : el[k].points) c.push_back(CubicsAt(el[k], x, true));
      }
      return c;
    };
    for (const FrameLoadItem& it : items)
      AddItemEffects(it, m, false, cubics_of, sums, scratch, true);
    const double shear = np > 0 ? (M[np - 1] - M[0]) / L : 0;
    // The spring pressure varies along the element: its share of the end
    // shears and axial forces differs between the ends.
    const double mean = (fw[2] + fw[5]) / L;
    values.assign(static_cast<std::size_t>(np), {});
    for (int p = 0; p < np; ++p) {
      double x = m.points[p];
      auto& v = values[static_cast<std::size_t>(p)];
      v[kCompX] = x;
      v[kCompM] = M[p];
      v[kCompS] = shear - sload[p];
      v[kCompN] = N[p];
      if (info[k].cut && p == 0) {
        v[kCompS] += fw[1] - mean;
        v[kCompN] += -fw[0] - fw[3];
      } else if (info[k].cut && p == np - 1) {
        v[kCompS] += -fw[4] - mean;
      }
      if (!info[k].cut) {
        // A whole member: the demo solver's deflection, from the end
        // rotations (a pinned end's taken from the other end).
        double chord_rot = (d[4] - d[1]) / L;
        double ti = node_rot[0], tj = node_rot[1];
        if (m.ei == kEndPin && m.ej == kEndPin) {
          ti = tj = chord_rot;
        } else if (m.ei == kEndPin) {
          ti = 1.5 * chord_rot - 0.5 * tj;
        } else if (m.ej == kEndPin) {
          tj = 1.5 * chord_rot - 0.5 * ti;
        }
        v[kCompDefl] = D[p] - 1000 * (tj - ti) * x * (x - L) / (2 * L);
        continue;
      }
      // Deflection from the chord of the member's ends: the element's cubic
      // (Hermite) line of its end displacements, plus the items' deflection
      // with the element's ends held.
      double xi = L > 0 ? x / L : 0;
      double x2 = xi * xi, x3 = x2 * xi;
      double line = (1 - 3 * x2 + 2 * x3) * d[1] + (xi - 2 * x2 + x3) * L * d[2] +
                    (3 * x2 - 2 * x3) * d[4] + (x3 - x2) * L * d[5];
      const double Lm = std::max(mem[info[k].member].Lc, kMinLength);
      double r = (info[k].x0 + x) / Lm;
      double c = chord[1] + (chord[4] - chord[1]) * r;
      v[kCompDefl] = D[p] - 1000 * (line - c);
    }
  }
  std::vector<std::array<double, 5>> values;

  std::string Run() {
    nn = model.nodes.Count();
    nm = model.members.Count();
    const int nlc = model.load_cases.Count(), nco = model.combinations.Count();
    const bool fits =
        nn <= kResultMaxNodes && nm <= kResultMaxMembers && nlc + nco <= kResultMaxCases;
    if (fits)
      res.ClearForAllocate();
    else
      res.Clear();
    res.failed = true;
    if (nn > kResultMaxNodes || nm > kResultMaxMembers)
      return Format("格点数 %d または部材数 %d が解析結果の上限 %d を超えています", nn, nm,
                    kResultMaxNodes);
    if (nlc + nco > kResultMaxCases)
      return Format("荷重ケースと組合せの数 %d が解析結果の上限 %d を超えています", nlc + nco,
                    kResultMaxCases);
    if (std::string bad = NonFiniteInput(model); !bad.empty()) return bad;
    Prepare();
    StartResults(model, mem, nlc, nco, res);
    if (details) details->spring_resultants.assign(static_cast<std::size_t>(nlc + nco) + 1, {});
    for (int ci = 1; ci <= nlc; ++ci)
      if (std::string msg = SolveCase(ci); !msg.empty()) {
        res.Clear();
        res.failed = true;
        return msg;
      }
    for (int k = 1; k <= nco; ++k) Combine(k, nlc);
    return {};
  }

  std::string SolveCase(int ci) {
    const FrameLoadCase& lc = model.load_cases[ci];
    int spring_idx = lc.spring_case > 0 ? FindByNumber(model.spring_cases, lc.spring_case) : 0;
    int support_idx = model.support_cases.InRange(lc.support_case) ? lc.support_case : 0;
    CaseSystem& cs = SystemOf(spring_idx, support_idx);
    std::vector<std::vector<FrameLoadItem>> per = ItemsPerElement(lc);
    std::vector<Vec6> q(el.size(), Vec6{});
    std::vector<double> load(static_cast<std::size_t>(cs.sys.n), 0.0);
    for (std::size_t k = 1; k < el.size(); ++k) {
      const MemberData& m = el[k];
      if (!m.valid) continue;
      for (const auto& it : per[k]) AddEquivalent(Decompose(it, m), m, q[k]);
      Mat6 full = cs.full[k];
      Vec6 qc = q[k];
      Released rel = ReleasedOf(static_cast<int>(k));
      for (int r = 0; r < rel.count; ++r) Condense(full, qc, rel.dofs[r]);
      Mat6 t = Transform(m.c, m.s);
      for (int i = 0; i < 6; ++i) {
        double v = 0;
        for (int j = 0; j < 6; ++j) v += t[j * 6 + i] * qc[j];
        int node = i < 3 ? m.ni : m.nj;
        load[static_cast<std::size_t>(3 * (node - 1) + i % 3)] += v;
      }
    }
    std::vector<double> u;
    bool solved = cs.factor.usable && SolveFactor(cs.factor, cs.sys.n, load, u);
    if (!solved) solved = SolveDense(cs.sys, load, u);
    if (!solved)
      return Format("荷重ケース %d の剛性方程式が解けません（不安定な構造です）", lc.number);
    for (int p = 1; p <= nn; ++p)
      res.Disp(ci, p) = {u[3 * (p - 1)], u[3 * (p - 1) + 1], u[3 * (p - 1) + 2]};
    auto& out_case = res.cases[static_cast<std::size_t>(ci)];
    out_case.reactions = SupportReactions(model, cs.sys, support_idx, load, u);
    // Member values.
    std::array<double, 3> resultant{};
    for (int e = 1; e <= nm; ++e) {
      const MemberData& m = mem[e];
      MemberCaseResult& out = res.At(ci, e);
      const int np = static_cast<int>(m.points.size());
      out.count = np;
      Vec6 chord{};
      if (m.valid) {
        Vec6 ug{};
        for (int i = 0; i < 3; ++i) {
          ug[i] = u[3 * (m.ni - 1) + i];
          ug[3 + i] = u[3 * (m.nj - 1) + i];
        }
        chord = Mul(Transform(m.c, m.s), ug);
      }
      auto put = [&](int p, const std::array<double, 5>& v) {
        if (p > kResultMaxPoints) return;
        auto& pt = out.points[static_cast<std::size_t>(p + 1)];
        pt = v;
        pt[kCompX] = m.points[static_cast<std::size_t>(p)];
      };
      if (whole[e] > 0) {
        const int k = whole[e];
        Vec6 d = m.valid ? ElementDisplacements(k, u, cs.full[k], q[k]) : Vec6{};
        std::array<double, 2> rot{0, 0};
        if (m.valid) rot = {u[3 * (m.ni - 1) + 2], u[3 * (m.nj - 1) + 2]};
        ElementValues(k, d, cs.full[k], chord, per[static_cast<std::size_t>(k)], rot);
        for (int p = 0; p < np; ++p) put(p, values[static_cast<std::size_t>(p)]);
        continue;
      }
      const MemberMesh& mm = mesh[e];
      std::vector<std::array<double, 5>> at_node(mm.x.size());
      for (std::size_t s = 0; s < mm.elements.size(); ++s) {
        const int k = mm.elements[s];
        Vec6 d = ElementDisplacements(k, u, cs.full[k], q[k]);
        ElementValues(k, d, cs.full[k], chord, per[static_cast<std::size_t>(k)]);
        if (s == 0) at_node[0] = values.front();
        at_node[s + 1] = values.back();
        // What the springs exert on the frame: minus the springs' share of
        // the element's end forces, in global axes, moments about the origin.
        Mat6 w{};
        for (int i = 0; i < 36; ++i) w[i] = cs.full[k][i] - el[k].k[i];
        Vec6 fw = Mul(w, d);
        Mat6 t = Transform(el[k].c, el[k].s);
        for (int end = 0; end < 2; ++end) {
          const int node = end == 0 ? el[k].ni : el[k].nj;
          const auto& xy = node_xy[static_cast<std::size_t>(node - 1)];
          double g[3] = {0, 0, 0};
          for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 6; ++j) g[i] += t[j * 6 + 3 * end + i] * fw[j];
          resultant[0] -= g[0];
          resultant[1] -= g[1];
          resultant[2] -= xy[0] * g[1] - xy[1] * g[0] + g[2];
        }
      }
      for (int p = 0; p < np; ++p)
        put(p, at_node[static_cast<std::size_t>(mm.point_at[static_cast<std::size_t>(p)])]);
    }
    if (details) details->spring_resultants[static_cast<std::size_t>(ci)] = resultant;
    // Spring reactions at the output points, member by member in the order
    // the springs name them, springs on one member summed.
    auto& sr = out_case.springs;
    sr.clear();
    if (spring_idx > 0) {
      for (const auto& sp : model.spring_cases[spring_idx].springs) {
        int e = FindByNumber(model.members, sp.member);
        if (e == 0 || !mem[e].valid) continue;
        if (std::any_of(sr.begin(), sr.end(), [&](const auto& x) { return x.member == e; }))
          continue;
        auto [kn, kt] = SpringsOf(spring_idx, e);
        const MemberData& m = mem[e];
        MemberSpringReaction& r = sr.emplace_back();
        r.member = e;
        r.count = std::min(static_cast<int>(m.points.size()), kResultMaxPoints);
        const MemberMesh& mm = mesh[e];
        for (int p = 0; p < r.count; ++p) {
          int node = 0;
          if (mm.x.empty()) {
            node = m.points[static_cast<std::size_t>(p)] < m.L / 2 ? m.ni : m.nj;
          } else {
            int at = mm.point_at[static_cast<std::size_t>(p)];
            node = at == 0 ? m.ni
                   : at + 1 == static_cast<int>(mm.x.size())
                       ? m.nj
                       : el[mm.elements[static_cast<std::size_t>(at)]].ni;
          }
          const double* un = &u[static_cast<std::size_t>(3 * (node - 1))];
          double axial = m.c * un[0] + m.s * un[1], normal = -m.s * un[0] + m.c * un[1];
          auto& v = r.points[static_cast<std::size_t>(p + 1)];
          v[0] = -kn * normal;
          v[1] = -kt * axial;
        }
      }
    }
    return {};
  }

  // A combination: its entries' cases times the entries' factors, all times
  // the combination's own factor.
  void Combine(int k, int nlc) {
    const FrameCombination& co = model.combinations[k];
    const int ci = nlc + k;
    std::vector<std::pair<int, double>> terms;
    for (const auto& en : co.entries)
      terms.emplace_back(FindByNumber(model.load_cases, en.load_case), en.factor * co.factor);
    for (int e = 1; e <= nm; ++e) {
      auto& out = res.At(ci, e);
      out.count = static_cast<int>(mem[e].points.size());
      for (int p = 1; p <= out.count && p <= kResultMaxPoints; ++p)
        out.points[p][kCompX] = mem[e].points[static_cast<std::size_t>(p - 1)];
      for (const auto& [li, factor] : terms) {
        if (li == 0) continue;
        const auto& src = std::as_const(res).At(li, e);
        for (int p = 1; p <= out.count && p <= kResultMaxPoints; ++p)
          for (int c = kCompM; c <= kCompDefl; ++c) out.points[p][c] += factor * src.points[p][c];
      }
    }
    auto& dst = res.cases[static_cast<std::size_t>(ci)];
    for (const auto& [li, factor] : terms) {
      if (li == 0) continue;
      const auto& src = res.cases[static_cast<std::size_t>(li)];
      for (const SupportReaction& r : src.reactions) {
        auto at = std::find_if(dst.reactions.begin(), dst.reactions.end(),
                               [&](const SupportReaction& x) { return x.node == r.node; });
        if (at == dst.reactions.end()) at = dst.reactions.insert(dst.reactions.end(), {r.node, {}});
        for (int d = 0; d < 3; ++d) at->values[d] += factor * r.values[d];
      }
      for (const MemberSpringReaction& s : src.springs) {
        auto at = std::find_if(dst.springs.begin(), dst.springs.end(),
                               [&](const MemberSpringReaction& x) { return x.member == s.member; });
        if (at == dst.springs.end()) {
          at = dst.springs.insert(dst.springs.end(), MemberSpringReaction{});
          at->member = s.member;
          at->count = s.count;
        }
        for (int p = 1; p <= at->count; ++p)
          for (int d = 0; d < 2; ++d) at->points[p][d] += factor * s.points[p][d];
      }
      for (int p = 1; p <= nn; ++p) {
        auto& d = res.Disp(ci, p);
        const auto& s = res.Disp(li, p);
        d.dx += factor * s.dx, d.dy += factor * s.dy, d.rot += factor * s.rot;
      }
      if (details)
        for (int d = 0; d < 3; ++d)
          details->spring_resultants[static_cast<std::size_t>(ci)][d] +=
              factor * details->spring_resultants[static_cast<std::size_t>(li)][d];
    }
  }
};

}  // namespace

std::string SolveFrameOnGround(FrameModel& model, AnalysisResults& results,
                               GroundFrameDetails* details) {
  GroundSolver s(model, results, details);
  return s.Run();
}

}  // namespace vaultra
