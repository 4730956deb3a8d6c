#include "analysis/frame_solver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "analysis/banded_factor.h"
#include "analysis/beam_element.h"
#include "analysis/member_loads.h"
#include "analysis/stiffness_system.h"
#include "core/number.h"

namespace vaultra {

namespace solver {

// The first value of the model that is not a finite number (or a
// coordinate too large to square), named; empty when every value is usable. The solver's arithmetic
// and the indexes it derives from positions rely on finite inputs.
std::string NonFiniteInput(const FrameModel& m) {
  auto bad = [](double v) { return !std::isfinite(v); };
  // Lengths are squared: coordinates beyond this overflow into infinities.
  constexpr double kMaxCoordinate = 1e6;
  for (int i = 1; i <= m.nodes.Count(); ++i)
    if (bad(m.nodes[i].x) || bad(m.nodes[i].y) || std::fabs(m.nodes[i].x) > kMaxCoordinate ||
        std::fabs(m.nodes[i].y) > kMaxCoordinate)
      return Format("格点 %d の座標 (%g, %g) が数値でないか大きすぎます", m.nodes[i].number,
                    m.nodes[i].x, m.nodes[i].y);
  for (int i = 1; i <= m.materials.Count(); ++i)
    if (bad(m.materials[i].e) || bad(m.materials[i].alpha))
      return Format("材質 %d の値が数値ではありません", m.materials[i].number);
  for (int i = 1; i <= m.sections.Count(); ++i)
    if (bad(m.sections[i].area) || bad(m.sections[i].inertia))
      return Format("断面 %d の値が数値ではありません", m.sections[i].number);
  for (int c = 1; c <= m.load_cases.Count(); ++c)
    for (int i = 1; i <= m.load_cases[c].items.Count(); ++i) {
      const FrameLoadItem& it = m.load_cases[c].items[i];
      if (bad(it.d1) || bad(it.d2) || bad(it.d3) || bad(it.d4))
        return Format("荷重ケース %d の荷重 %d の値が数値ではありません", m.load_cases[c].number,
                      i);
    }
  for (int c = 1; c <= m.spring_cases.Count(); ++c)
    for (int i = 1; i <= m.spring_cases[c].springs.Count(); ++i) {
      const FrameSpring& sp = m.spring_cases[c].springs[i];
      if (bad(sp.k_normal) || bad(sp.k_tangent))
        return Format("バネケース %d のバネ %d の値が数値ではありません", m.spring_cases[c].number,
                      i);
    }
  for (int c = 1; c <= m.support_cases.Count(); ++c)
    for (int i = 1; i <= m.support_cases[c].supports.Count(); ++i)
      for (double v : m.support_cases[c].supports[i].values)
        if (bad(v))
          return Format("支点ケース %d の支点 %d の値が数値ではありません",
                        m.support_cases[c].number, i);
  for (int e = 1; e <= m.specified.Count(); ++e)
    for (int i = 1; i <= m.specified[e].positions.Count(); ++i)
      if (bad(m.specified[e].positions[i].x))
        return Format("部材 %d の着目位置が数値ではありません", m.specified[e].member);
  return {};
}

}  // namespace solver

namespace {

using namespace solver;  // NOLINT: the solver's own parts

// What the load-case solutions depend on, byte for byte: everything of the
// model but its output points, names and combinations.
std::string SolutionKey(const FrameModel& m) {
  std::string key;
  auto put = [&key](const auto& v) { key.append(reinterpret_cast<const char*>(&v), sizeof v); };
  put(m.solver_mode);
  put(m.nodes.Count());
  for (const auto& n : m.nodes) put(n.number), put(n.x), put(n.y);
  put(m.materials.Count());
  for (const auto& x : m.materials) put(x.number), put(x.e), put(x.alpha);
  put(m.sections.Count());
  for (const auto& x : m.sections) put(x.number), put(x.area), put(x.inertia);
  put(m.members.Count());
  for (const auto& e : m.members)
    put(e.number), put(e.node_i), put(e.node_j), put(e.section), put(e.material), put(e.end_i),
        put(e.end_j);
  put(m.spring_cases.Count());
  for (const auto& c : m.spring_cases) {
    put(c.number), put(c.springs.Count());
    for (const auto& sp : c.springs) put(sp.member), put(sp.k_normal), put(sp.k_tangent);
  }
  put(m.support_cases.Count());
  for (const auto& c : m.support_cases) {
    put(c.number), put(c.supports.Count());
    for (const auto& su : c.supports) put(su.node), put(su.values), put(su.type);
  }
  put(m.load_cases.Count());
  for (const auto& lc : m.load_cases) {
    put(lc.number), put(lc.spring_case), put(lc.support_case), put(lc.items.Count());
    for (const auto& it : lc.items)
      put(it.type), put(it.first_member), put(it.last_member), put(it.d1), put(it.d2), put(it.d3),
          put(it.d4);
  }
  return key;
}

}  // namespace

namespace solver {

// The output points of every member: its ends, equal divisions and
// specified positions, sorted, points closer than 0.1 mm taken once.
void StartResults(const FrameModel& model, const std::vector<MemberData>& mem, int nlc, int nco,
                  AnalysisResults& res) {
  const int nn = model.nodes.Count(), nm = model.members.Count();
  res.Allocate(nn, nm);
  res.failed = false;
  res.load_case_count = nlc;
  res.combination_count = nco;
  res.max_load_case = nlc;
  for (int p = 1; p <= nn; ++p) {
    res.nodes[p] = {model.nodes[p].x, model.nodes[p].y};
    res.max_x = p == 1 ? model.nodes[p].x : std::max(res.max_x, model.nodes[p].x);
    res.max_y = p == 1 ? model.nodes[p].y : std::max(res.max_y, model.nodes[p].y);
  }
  for (int e = 1; e <= nm; ++e) {
    const FrameMember& fm = model.members[e];
    ResultMember& rm = res.members[e];
    rm.node_i = fm.node_i;
    rm.node_j = fm.node_j;
    rm.end_i = fm.end_i;
    rm.end_j = fm.end_j;
    rm.count = static_cast<int>(mem[e].points.size());
    for (int k = 0; k < rm.count; ++k) rm.positions[k + 1] = mem[e].points[k];
    rm.length = rm.count > 0 ? mem[e].points.back() : 0;
  }
}

void SetOutputPoints(const FrameModel& model, std::vector<MemberData>& mem) {
  const int nm = model.members.Count();
  for (const auto& d : model.equal_divisions) {
    int last = d.last_member == 0 ? d.first_member : d.last_member;
    int p = std::clamp(d.parts, 1, 20);
    for (int num = d.first_member; num <= last; ++num) {
      int e = FindByNumber(model.members, num);
      if (e == 0 || p <= 1) continue;
      auto& pts = mem[e].points;
      pts.clear();
      for (int k = 0; k < p; ++k) pts.push_back(RoundTo3(k * mem[e].L / p));
      pts.push_back(mem[e].L);
    }
  }
  for (const auto& sp : model.specified) {
    int e = FindByNumber(model.members, sp.member);
    if (e == 0) continue;
    for (const auto& pos : sp.positions)
      if (static_cast<int>(mem[e].points.size()) < kResultMaxPoints)
        mem[e].points.push_back(RoundTo3(pos.x));
  }
  for (int e = 1; e <= nm; ++e) {
    auto& pts = mem[e].points;
    std::sort(pts.begin(), pts.end());
    std::vector<double> kept;
    for (double x : pts)
      if (kept.empty() || std::fabs(x - kept.back()) > 0.0001) kept.push_back(x);
    pts = kept;
  }
}

}  // namespace solver

namespace {

using namespace solver;  // NOLINT: the solver's own parts

struct Solver {
  Solver(FrameModel& m, AnalysisResults& r, const FrameSolveOptions& o)
      : model(m),
        res(r),
        reference(o.dense_reference),
        cache(reference ? nullptr : o.cache),
        only(o.members),
        only_combinations(o.combinations),
        deflections(o.deflections) {}
  FrameModel& model;
  AnalysisResults& res;
  bool reference;
  FrameSolveCache* cache;                      // null: nothing kept
  bool cache_hit = false;                      // the cache holds this model's solutions
  const std::vector<bool>* only;               // null: every member's values
  const std::vector<bool>* only_combinations;  // null: every case's values
  std::vector<bool> case_values;               // per case: member values computed
  const bool deflections;                      // false: deflections stay 0

  // Which cases get member values: every case, or the combinations asked
  // for and the load cases they take.
  void SelectCases(int nlc, int nco) {
    case_values.assign(static_cast<std::size_t>(nlc + nco) + 1, only_combinations == nullptr);
    if (!only_combinations) return;
    for (int k = 1; k <= nco; ++k) {
      if (k >= static_cast<int>(only_combinations->size()) ||
          !(*only_combinations)[static_cast<std::size_t>(k)])
        continue;
      case_values[static_cast<std::size_t>(nlc + k)] = true;
      for (const auto& en : model.combinations[k].entries) {
        int li = FindByNumber(model.load_cases, en.load_case);
        if (li > 0) case_values[static_cast<std::size_t>(li)] = true;
      }
    }
  }

  // Whether member e gets values at its output points.
  bool Wanted(int e) const {
    return !only || (e < static_cast<int>(only->size()) && (*only)[static_cast<std::size_t>(e)]);
  }
  int nn = 0, nm = 0;
  std::vector<MemberData> mem;  // 1-based
  std::vector<int> node_order;
  std::map<std::pair<int, int>, std::pair<System, Factor>> systems;
  // Unit cubics per member at its output points and at the tenth points of
  // the spring feedback, made when a member first needs them.
  struct SpringPoints {
    std::array<double, 9> x{};
    std::vector<PointCubics> cubics;
  };
  std::vector<std::vector<PointCubics>> point_cubics;
  std::vector<SpringPoints> spring_points;
  std::vector<int> spring_slot;  // see SpringEntry
  // Scratch of the member results.
  PointValues scratch;
  StripSums sums;

  const std::vector<PointCubics>& PointCubicsOf(int e) {
    auto& c = point_cubics[static_cast<std::size_t>(e)];
    const MemberData& m = mem[e];
    if (c.size() != m.points.size()) {
      c.clear();
      for (double x : m.points) c.push_back(CubicsAt(m, x, deflections));
    }
    return c;
  }
  const SpringPoints& SpringPointsOf(int e) {
    SpringPoints& sp = spring_points[static_cast<std::size_t>(e)];
    if (sp.cubics.empty()) {
      const MemberData& m = mem[e];
      for (int k = 1; k <= 9; ++k) {
        double x = k * m.L / 10;
        sp.x[static_cast<std::size_t>(k - 1)] = x;
        sp.cubics.push_back(CubicsAt(m, x));
      }
    }
    return sp;
  }

  // Node index of a node number (0: none).
  int NodeIndex(int number) const { return FindByNumber(model.nodes, number); }

  void Prepare() {
    nn = model.nodes.Count();
    nm = model.members.Count();
    point_cubics.assign(nm + 1, {});
    spring_points.assign(nm + 1, {});
    spring_slot.assign(nm + 1, -1);
    const std::size_t count = static_cast<std::size_t>(nm) + 1;
    if (cache_hit && cache->members.size() == count && cache->angles.size() == count) {
      // The same nodes, members, sections and materials: the same member
      // data, and the same lengths and angles on the model's members.
      mem = cache->members;
      for (int e = 1; e <= nm; ++e) {
        model.members[e].length = mem[e].L;
        model.members[e].angle = cache->angles[static_cast<std::size_t>(e)];
      }
    } else {
      mem.assign(count, {});
      for (int e = 1; e <= nm; ++e) mem[e] = PrepareMember(model, model.members[e]);
      if (cache) {
        cache->members = mem;
        cache->angles.assign(count, 0.0);
        for (int e = 1; e <= nm; ++e)
          cache->angles[static_cast<std::size_t>(e)] = model.members[e].angle;
      }
    }
    SetOutputPoints(model, mem);
  }

  bool Solve(int spring_idx, int support_idx, const std::vector<double>& load,
             std::vector<double>& u) {
    if (reference) {
      System sys = AssembleSystem(model, mem, spring_idx, support_idx);
      return SolveDense(sys, load, u);
    }
    auto key = std::make_pair(spring_idx, support_idx);
    auto it = systems.find(key);
    if (it == systems.end()) {
      // Node order for the banded solver: members couple their end nodes.
      if (node_order.empty()) node_order = MemberNodeOrder(nn, mem);
      System sys = AssembleSystem(model, mem, spring_idx, support_idx);
      Factor f = FactorSystem(sys, node_order);
      it = systems.emplace(key, std::make_pair(std::move(sys), std::move(f))).first;
    }
    const auto& [sys, f] = it->second;
    if (f.usable && SolveFactor(f, sys.n, load, u)) return true;
    // (Nearly) singular or a load on an empty row: the dense rule decides.
    return SolveDense(sys, load, u);
  }

  // What the supports of a case exert on the frame after the last pass: at
  // a restrained direction the force the frame's stiffness needs beyond the
  // nodal loads, at a support spring the spring's force.
  std::vector<SupportReaction> Reactions(int spring_idx, int support_idx,
                                         const std::vector<double>& load,
                                         const std::vector<double>& u) {
    if (support_idx == 0) return {};
    System built;
    const System* sys = nullptr;
    if (reference) {
      built = AssembleSystem(model, mem, spring_idx, support_idx);
      sys = &built;
    } else {
      sys = &systems.at({spring_idx, support_idx}).first;
    }
    return SupportReactions(model, *sys, support_idx, load, u);
  }

  // Member results at the output points for one case (after the last pass).
  void MemberResults(int ci, const std::vector<double>& u,
                     const std::vector<std::vector<FrameLoadItem>>& member_items) {
    if (!case_values[static_cast<std::size_t>(ci)]) return;  // counts stay 0
    for (int e = 1; e <= nm; ++e) {
      if (!Wanted(e)) continue;  // count stays 0
      const MemberData& m = mem[e];
      MemberCaseResult& out = res.At(ci, e);
      int np = static_cast<int>(m.points.size());
      out.count = np;
      double L = m.Lc;
      Vec6 ug{}, d{}, f{};
      if (m.valid) {
        for (int k = 0; k < 3; ++k) {
          ug[k] = u[3 * (m.ni - 1) + k];
          ug[3 + k] = u[3 * (m.nj - 1) + k];
        }
      }
      if (m.ei == kEndPin) ug[2] = 0;
      if (m.ej == kEndPin) ug[5] = 0;
      Mat6 t = Transform(m.c, m.s);
      for (int i = 0; i < 6; ++i)
        for (int k = 0; k < 6; ++k) d[i] += t[i * 6 + k] * ug[k];
      for (int i = 0; i < 6; ++i)
        for (int k = 0; k < 6; ++k) f[i] += m.k[i * 6 + k] * d[k];
      auto& [M, N, D, sload] = scratch;
      auto cubics_of = [this, e]() -> const std::vector<PointCubics>& { return PointCubicsOf(e); };
      M.assign(np, 0.0);
      N.assign(np, 0.0);
      D.assign(np, 0.0);
      sload.assign(np, 0.0);
      for (int k = 0; k < np; ++k) {
        double x = m.points[k];
        M[k] = m.L < 1e-6 ? (-f[2] + f[5]) / 2 : -f[2] * (1 - x / L) + f[5] * x / L;
        N[k] = f[3];
      }
      for (const FrameLoadItem& it : member_items[e])
        AddItemEffects(it, m, reference, cubics_of, sums, scratch, deflections);
      double shear = np > 0 ? (M[np - 1] - M[0]) / L : 0;
      // End rotations of the member: the node's at a rigid end; at a pinned
      // end the one the condensed member takes from the other end.
      double chord = (d[4] - d[1]) / L;
      double ti = u.empty() || !m.valid ? 0 : u[3 * (m.ni - 1) + 2];
      double tj = u.empty() || !m.valid ? 0 : u[3 * (m.nj - 1) + 2];
      if (m.ei == kEndPin && m.ej == kEndPin) {
        ti = tj = chord;
      } else if (m.ei == kEndPin) {
        ti = 1.5 * chord - 0.5 * tj;
      } else if (m.ej == kEndPin) {
        tj = 1.5 * chord - 0.5 * ti;
      }
      for (int k = 0; k < np && k <= kResultMaxPoints; ++k) {
        double x = m.points[k];
        if (deflections) D[k] -= 1000 * (tj - ti) * x * (x - L) / (2 * L);
        auto& pt = out.points[static_cast<std::size_t>(k + 1)];
        pt[kCompX] = x;
        pt[kCompM] = M[k];
        pt[kCompS] = shear - sload[k];
        pt[kCompN] = N[k];
        pt[kCompDefl] = D[k];
      }
    }
  }

  // Items of a case per member, the spring items of pass 2 included.
  std::vector<std::vector<FrameLoadItem>> ItemsPerMember(
      const FrameLoadCase& lc, const std::vector<std::pair<int, FrameLoadItem>>& extra) {
    std::vector<std::vector<FrameLoadItem>> per(nm + 1);
    for (const auto& it : lc.items) {
      int last = it.last_member == 0 ? it.first_member : it.last_member;
      for (int num = it.first_member; num <= last; ++num) {
        int e = FindByNumber(model.members, num);
        if (e == 0 || !mem[e].valid) continue;
        per[e].push_back(it);
      }
    }
    for (const auto& [e, it] : extra) per[e].push_back(it);
    return per;
  }

  // Spring reactions of pass 1 as member loads (items) and end loads, and
  // the pressures they stand for. Without feedback (a single pass) only the
  // pressures, from the displacements alone: no deflection correction.
  void SpringFeedback(int spring_idx, const std::vector<double>& u, bool feedback,
                      std::vector<std::pair<int, FrameLoadItem>>& extra,
                      std::vector<Vec6>& end_loads, std::vector<SpringPressure>& pressures) {
    for (const auto& sp : model.spring_cases[spring_idx].springs) {
      int e = FindByNumber(model.members, sp.member);
      if (e == 0 || !mem[e].valid) continue;
      const MemberData& m = mem[e];
      double L = m.Lc;
      const double* ui = &u[3 * (m.ni - 1)];
      const double* uj = &u[3 * (m.nj - 1)];
      double ai = m.c * ui[0] + m.s * ui[1], aj = m.c * uj[0] + m.s * uj[1];
      double vi = -m.s * ui[0] + m.c * ui[1], vj = -m.s * uj[0] + m.c * uj[1];
      // Deflection of the member under its spring load at the tenth points.
      std::array<double, 11> w{};
      double e_sum = 0;
      if (feedback && reference) {
        Strips st = MakeStrips(vi * sp.k_normal, vj * sp.k_normal, 0, m.L);
        for (int k = 1; k <= 9; ++k) {
          double x = k * m.L / 10;
          w[k] = StripSum(st, x, [&](double h, bool left) { return DeflectionAt(m, h, x, left); });
          e_sum += w[k];
        }
      } else if (feedback) {
        const SpringPoints& sp_points = SpringPointsOf(e);
        SumStrips(vi * sp.k_normal, vj * sp.k_normal, 0, m.L, sp_points.x.data(), 9, sums);
        for (int k = 1; k <= 9; ++k) {
          const PointCubics& c = sp_points.cubics[static_cast<std::size_t>(k - 1)];
          w[k] = StripValue(sums, k - 1, c.deflection[0], c.deflection[1]);
          e_sum += w[k];
        }
      }
      double e_mean = e_sum / 10;
      double vbar = (vi + vj) / 2;
      double phi = std::fabs(vbar) <= 1e-9 ? 0 : 0.2 * (1 - e_mean / vbar);
      for (auto& v : w) v *= phi;
      e_mean *= phi;
      SpringPressure& pr = pressures.emplace_back();
      pr.member = e;
      pr.axial = {-ai * sp.k_tangent, -aj * sp.k_tangent};
      auto line = [&](double x) { return vi + (vj - vi) * x / std::max(m.L, kMinLength); };
      for (int t = 0; t <= 10; ++t) pr.normal[t] = -sp.k_normal * (line(t * m.L / 10) - w[t]);
      if (!feedback) continue;
      FrameLoadItem ax;
      ax.type = kLoadDistAxial;
      ax.first_member = ax.last_member = model.members[e].number;
      ax.d1 = pr.axial[0];
      ax.d2 = pr.axial[1];
      extra.push_back({e, ax});
      for (int t = 0; t < 10; ++t) {
        double x0 = t * m.L / 10, x1 = (t + 1) * m.L / 10;
        FrameLoadItem it;
        it.type = kLoadDistNormal;
        it.first_member = it.last_member = model.members[e].number;
        it.d1 = pr.normal[t];
        it.d2 = pr.normal[t + 1];
        it.d3 = x0;
        it.d4 = m.L - x1;
        extra.push_back({e, it});
      }
      double Ra, xa, Rn, xn;
      Resultant(ai * sp.k_tangent, aj * sp.k_tangent, 0, m.L, &Ra, &xa);
      Resultant((vi + e_mean / 3) * sp.k_normal, (vj + e_mean / 3) * sp.k_normal, 0, m.L, &Rn, &xn);
      Vec6& f = end_loads[e];
      f[0] += (L - xa) * Ra / L;
      f[3] += xa * Ra / L;
      f[1] += (L - xn) * Rn / L;
      f[4] += xn * Rn / L;
    }
  }

  // Member e's entry in a list of spring reactions, appended when it has
  // none. The list is built one at a time: spring_slot remembers where each
  // member went, and a slot left from another list fails the member check.
  MemberSpringReaction& SpringEntry(std::vector<MemberSpringReaction>& list, int e) {
    int& slot = spring_slot[static_cast<std::size_t>(e)];
    if (slot < 0 || slot >= static_cast<int>(list.size()) ||
        list[static_cast<std::size_t>(slot)].member != e) {
      slot = static_cast<int>(list.size());
      MemberSpringReaction& added = list.emplace_back();
      added.member = e;
      added.count = std::min(static_cast<int>(mem[e].points.size()), kResultMaxPoints);
    }
    return list[static_cast<std::size_t>(slot)];
  }

  // The spring reactions of a case at its members' output points: each
  // spring's pressure taken at the points, springs on one member summed.
  void SpringReactions(int ci, const std::vector<SpringPressure>& pressures) {
    auto& out = res.cases[static_cast<std::size_t>(ci)].springs;
    out.clear();
    out.reserve(pressures.size());
    for (const SpringPressure& pr : pressures) {
      const MemberData& m = mem[pr.member];
      MemberSpringReaction& at = SpringEntry(out, pr.member);
      double tenth = m.L / 10;
      for (int k = 1; k <= at.count; ++k) {
        double x = m.points[static_cast<std::size_t>(k - 1)];
        double r = m.L > 0 ? std::clamp(x / m.L, 0.0, 1.0) : 0;
        const int t = TenthIndex(r);
        double f = tenth > 0 ? std::clamp((x - t * tenth) / tenth, 0.0, 1.0) : 0;
        auto& v = at.points[static_cast<std::size_t>(k)];
        v[0] += pr.normal[t] + (pr.normal[t + 1] - pr.normal[t]) * f;
        v[1] += pr.axial[0] + (pr.axial[1] - pr.axial[0]) * r;
      }
    }
  }

  std::string Run() {
    nn = model.nodes.Count();
    nm = model.members.Count();
    int nlc = model.load_cases.Count(), nco = model.combinations.Count();
    bool fits = nn <= kResultMaxNodes && nm <= kResultMaxMembers && nlc + nco <= kResultMaxCases;
    if (fits)
      res.ClearForAllocate();  // allocated below
    else
      res.Clear();
    res.failed = true;  // until every case is solved
    if (nn > kResultMaxNodes || nm > kResultMaxMembers)
      return Format("格点数 %d または部材数 %d が解析結果の上限 %d を超えています", nn, nm,
                    kResultMaxNodes);
    if (nlc + nco > kResultMaxCases)
      return Format("荷重ケースと組合せの数 %d が解析結果の上限 %d を超えています", nlc + nco,
                    kResultMaxCases);
    if (std::string bad = NonFiniteInput(model); !bad.empty()) return bad;
    if (cache) {
      std::string key = SolutionKey(model);
      cache_hit = cache->key == key && static_cast<int>(cache->cases.size()) == nlc + 1;
      if (!cache_hit) {
        *cache = {};
        cache->key = std::move(key);
        cache->cases.assign(static_cast<std::size_t>(nlc) + 1, {});
      }
    }
    Prepare();
    StartResults(model, mem, nlc, nco, res);
    int mode = std::clamp(model.solver_mode, 1, 2);
    SelectCases(nlc, nco);
    for (int ci = 1; ci <= nlc; ++ci) {
      const FrameLoadCase& lc = model.load_cases[ci];
      if (cache_hit) {
        const FrameSolveCache::Case& kept = cache->cases[static_cast<std::size_t>(ci)];
        for (int p = 1; p <= nn; ++p)
          res.Disp(ci, p) = {kept.u[3 * (p - 1)], kept.u[3 * (p - 1) + 1], kept.u[3 * (p - 1) + 2]};
        MemberResults(ci, kept.u, kept.items);
        res.cases[static_cast<std::size_t>(ci)].reactions = kept.reactions;
        SpringReactions(ci, kept.pressures);
        continue;
      }
      int spring_idx = lc.spring_case > 0 ? FindByNumber(model.spring_cases, lc.spring_case) : 0;
      int support_idx = model.support_cases.InRange(lc.support_case) ? lc.support_case : 0;
      int passes = spring_idx > 0 ? mode : 1;
      std::vector<std::pair<int, FrameLoadItem>> extra;
      std::vector<Vec6> end_extra(nm + 1, Vec6{});
      std::vector<double> u;
      std::vector<std::vector<FrameLoadItem>> per;
      std::vector<double> load;
      std::vector<SpringPressure> pressures;
      for (int pass = 1; pass <= passes; ++pass) {
        per = ItemsPerMember(lc, extra);
        load.assign(3 * nn, 0.0);
        for (int e = 1; e <= nm; ++e) {
          const MemberData& m = mem[e];
          if (!m.valid) continue;
          Vec6 f = end_extra[e];
          for (const auto& it : per[e]) AddEquivalent(Decompose(it, m), m, f);
          Mat6 t = Transform(m.c, m.s);
          for (int i = 0; i < 6; ++i) {
            double v = 0;
            for (int k = 0; k < 6; ++k) v += t[k * 6 + i] * f[k];
            int node = i < 3 ? m.ni : m.nj;
            load[3 * (node - 1) + i % 3] += v;
          }
        }
        if (!Solve(spring_idx, support_idx, load, u)) {
          std::string msg =
              Format("荷重ケース %d の剛性方程式が解けません（不安定な構造です）", lc.number);
          res.Clear();
          res.failed = true;
          if (cache) *cache = {};
          return msg;
        }
        if (pass < passes) {
          extra.clear();
          end_extra.assign(nm + 1, Vec6{});
          SpringFeedback(spring_idx, u, true, extra, end_extra, pressures);
        } else if (passes == 1 && spring_idx > 0) {
          SpringFeedback(spring_idx, u, false, extra, end_extra, pressures);
        }
      }
      for (int p = 1; p <= nn; ++p)
        res.Disp(ci, p) = {u[3 * (p - 1)], u[3 * (p - 1) + 1], u[3 * (p - 1) + 2]};
      auto& reactions = res.cases[static_cast<std::size_t>(ci)].reactions;
      reactions = Reactions(spring_idx, support_idx, load, u);
      if (cache) {
        cache->cases[static_cast<std::size_t>(ci)].u = u;
        cache->cases[static_cast<std::size_t>(ci)].items = per;
        cache->cases[static_cast<std::size_t>(ci)].reactions = reactions;
        cache->cases[static_cast<std::size_t>(ci)].pressures = pressures;
      }
      MemberResults(ci, u, per);
      SpringReactions(ci, pressures);
    }
    for (int k = 1; k <= nco; ++k) {
      const FrameCombination& co = model.combinations[k];
      int ci = nlc + k;
      if (!case_values[static_cast<std::size_t>(ci)]) continue;  // counts stay 0
      // The load cases of the entries (0: none), in entry order.
      std::vector<std::pair<int, double>> terms;
      for (const auto& en : co.entries)
        terms.emplace_back(FindByNumber(model.load_cases, en.load_case), en.factor);
      // Member values member by member, each summed over the entries in
      // their order: one member's record stays at hand while the cases'
      // records are read. Members not wanted keep count 0 (the record is
      // all zero).
      for (int e = 1; e <= nm; ++e) {
        if (!Wanted(e)) continue;
        auto& out = res.At(ci, e);
        out.count = static_cast<int>(mem[e].points.size());
        for (int p = 1; p <= out.count; ++p) out.points[p][kCompX] = mem[e].points[p - 1];
        for (const auto& [li, factor] : terms) {
          if (li == 0) continue;
          const auto& src = std::as_const(res).At(li, e);
          for (int p = 1; p <= out.count; ++p)
            for (int c = kCompM; c <= kCompDefl; ++c) out.points[p][c] += factor * src.points[p][c];
        }
      }
      for (const auto& [li, factor] : terms) {
        if (li == 0) continue;
        // Reactions summed node by node, in the order the nodes appear.
        auto& sum = res.cases[static_cast<std::size_t>(ci)].reactions;
        for (const SupportReaction& r : res.cases[static_cast<std::size_t>(li)].reactions) {
          auto at = std::find_if(sum.begin(), sum.end(),
                                 [&](const SupportReaction& x) { return x.node == r.node; });
          if (at == sum.end()) at = sum.insert(sum.end(), SupportReaction{r.node, {}});
          for (int d = 0; d < 3; ++d) at->values[d] += factor * r.values[d];
        }
        // Spring reactions likewise member by member, point by point.
        auto& springs = res.cases[static_cast<std::size_t>(ci)].springs;
        for (const MemberSpringReaction& sr : res.cases[static_cast<std::size_t>(li)].springs) {
          MemberSpringReaction& at = SpringEntry(springs, sr.member);
          for (int p = 1; p <= at.count; ++p)
            for (int d = 0; d < 2; ++d) at.points[p][d] += factor * sr.points[p][d];
        }
        for (int p = 1; p <= nn; ++p) {
          auto& d = res.Disp(ci, p);
          const auto& s = res.Disp(li, p);
          d.dx += factor * s.dx, d.dy += factor * s.dy, d.rot += factor * s.rot;
        }
      }
    }
    return {};
  }
};

}  // namespace

std::string SolveFrame(FrameModel& model, AnalysisResults& results,
                       const FrameSolveOptions& options) {
  Solver s(model, results, options);
  return s.Run();
}

}  // namespace vaultra
