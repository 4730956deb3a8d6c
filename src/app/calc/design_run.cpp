#include "app/calc/design_run.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "app/pages/model_page.h"
#include "app/pages/rc_page.h"
#include "checks/member_checks.h"
#include "checks/summaries.h"
#include "core/number.h"
#include "model/geometry.h"

namespace vaultra {

namespace {

// Steel density 7850 kg/m³: kg per metre of facility length of a bar area
// in mm² per metre of width laid over a member length in m.
constexpr double kSteelKgPerMm2M = 7850e-6;

bool IsCastInPlace(int type) {
  return type >= 21 && type <= 23;
}

int LayoutOf(const ProjectState& state) {
  return IsBoxLayout(state) ? kLayoutBox : kLayoutStand;
}

// The rebar list's rows as the edit reads them: the listed members and the
// joint-insert pair after them.
RebarList EditList(const StructureModel& model) {
  RebarList list;
  list.pair_member = RcListedMembers(model);
  list.pair_member.push_back(model.member_count + 1);
  list.table.rows = 2 * static_cast<int>(list.pair_member.size()) + kRebarHeaderRows;
  list.table.cols = kRebarCols;
  return list;
}

int GridRowOf(const RebarList& list, int member, bool inner) {
  for (std::size_t i = 0; i < list.pair_member.size(); ++i)
    if (list.pair_member[i] == member)
      return kRebarHeaderRows + 2 * static_cast<int>(i) + (inner ? 0 : 1);
  return -1;
}

// Keys of a face's layers: diameter 1, count 1, diameter 2, count 2.
std::array<int, 4> FaceKeys(bool inner) {
  return inner ? std::array<int, 4>{14, 15, 16, 17} : std::array<int, 4>{6, 7, 8, 9};
}

BarChoice StirrupsOf(const MemberSection& s) {
  return {static_cast<int>(std::lround(s.Current(22))), s.Current(24), 0, 0, s.Current(23)};
}

BarChoice ChoiceOf(const MemberSection& s, bool inner) {
  const auto k = FaceKeys(inner);
  return {static_cast<int>(std::lround(s.Current(k[0]))), s.Current(k[1]),
          static_cast<int>(std::lround(s.Current(k[2]))), s.Current(k[3])};
}

std::string NumberText(double v) {
  return Format("%.17g", v);
}

// The RC page's edits of the four bar columns of one face of member m.
void EditFace(StructureModel& model, const BlockRow& row, const MasterData& md, int layout,
              const RebarList& list, int m, bool inner, const BarChoice& c) {
  const int grid_row = GridRowOf(list, m, inner);
  if (grid_row < 0) return;
  ApplyRebarEdit(model, row, md, layout, list, 3, grid_row, NumberText(c.diameter));
  ApplyRebarEdit(model, row, md, layout, list, 4, grid_row, NumberText(c.count));
  ApplyRebarEdit(model, row, md, layout, list, 5, grid_row, NumberText(c.diameter2));
  ApplyRebarEdit(model, row, md, layout, list, 6, grid_row, NumberText(c.count2));
}

// The RC page's edits of the stirrup columns of member m.
void EditStirrups(StructureModel& model, const BlockRow& row, const MasterData& md, int layout,
                  const RebarList& list, int m, const BarChoice& c) {
  const int grid_row = GridRowOf(list, m, true);
  if (grid_row < 0) return;
  ApplyRebarEdit(model, row, md, layout, list, 10, grid_row, NumberText(c.diameter));
  ApplyRebarEdit(model, row, md, layout, list, 11, grid_row, NumberText(c.count));
  ApplyRebarEdit(model, row, md, layout, list, 12, grid_row, NumberText(c.pitch));
}

// Which face is in tension at a row, as the section check takes it: the
// outer face for M < 0, the other face when that one has no steel.
bool OuterInTension(const CheckPointRecord& r) {
  const bool outer = r.M < 0;
  const double As = outer ? r.k[12] : r.k[20];
  return As < 1 ? !outer : outer;
}

bool FailsOtherThanCapacityDesign(const CheckPointRecord& r) {
  return r.ng || r.not_finite || !std::isfinite(r.ratio) || !std::isfinite(r.ratio_vmu) ||
         r.ng_sigma_c || r.ng_sigma_s || r.ng_shear || r.ng_flexure || r.ng_shear_vcd ||
         r.ng_shear_l2;
}

bool ShearFailed(const CheckPointRecord& r) {
  return r.not_finite || !std::isfinite(r.ratio) || !std::isfinite(r.ratio_vmu) || r.ng_shear ||
         r.ng_shear_vcd || r.ng_shear_l2 || r.ng_capacity_design;
}

// The name of a failing row's first failed check (cp932).
std::string FailedCheckName(const CheckPointRecord& r) {
  if (r.not_finite || !std::isfinite(r.ratio) || !std::isfinite(r.ratio_vmu))
    return "照査値が数値にならない";
  if (r.ng_sigma_s) return "σs";
  if (r.ng_sigma_c) return "σc";
  if (r.ng_shear) return "τ";
  if (r.ng_flexure) return "曲げ耐力 Mud";
  if (r.ng_shear_vcd || r.ng_shear_l2) return "せん断耐力 Vyd";
  if (r.ng_capacity_design) return "破壊モード (耐力設計)";
  return "照査";
}

std::string FailureText(int member, int k, const CheckPointRecord& r) {
  return Format("部材 %d %s x=%.3f m: %s", member, CombinationName(k), r.x,
                FailedCheckName(r).c_str());
}

// One design unit: the members whose face takes one arrangement, and the
// members an edit is made on (one per check group it spans).
struct Unit {
  DesignFace face;
  std::vector<int> reps;
  std::set<int> member_set;
};

// What a check pass says about the rows a unit carries.
struct UnitEval {
  bool under = false;  // a row fails a check more steel could meet
  bool over = false;   // a row fails only the capacity design (less steel helps)
  double ratio = 0;
  std::string failure;
  bool Pass() const { return !under && !over; }
};

class Designer {
 public:
  Designer(const ProjectState& state, const MasterData& md, const CalcRun& run,
           const DetailingLimits& lim)
      : state_(state),
        md_(md),
        run_(run),
        lim_(lim),
        model_(state.transverse),
        layout_(LayoutOf(state)),
        list_(EditList(state.transverse)),
        in_(CheckInputOf(state)) {}

  DesignProposal Run();

 private:
  bool Check() {
    return CheckMembers(run_.transverse, model_, state_.block_row, md_, in_, tables_).empty();
  }
  std::vector<Unit> FindUnits();
  UnitEval Evaluate(const Unit& u);
  bool RowCarried(const Unit& u, const CheckPointRecord& r) const;
  void Apply(const Unit& u, const BarChoice& c) {
    for (int m : u.reps) {
      if (u.face.stirrups)
        EditStirrups(model_, state_.block_row, md_, layout_, list_, m, c);
      else
        EditFace(model_, state_.block_row, md_, layout_, list_, m, u.face.inner, c);
    }
  }
  void Restore(const Unit& u) {
    for (int m : u.reps) {
      if (u.face.stirrups)
        EditStirrups(model_, state_.block_row, md_, layout_, list_, m, stirrups_before_.at(m));
      else
        EditFace(model_, state_.block_row, md_, layout_, list_, m, u.face.inner,
                 before_.at({m, u.face.inner}));
    }
  }
  std::vector<BarChoice> Choices(const Unit& u) const;
  double Mass(const Unit& u) const;
  // Designs one unit with the other units as they stand; false when no
  // allowed arrangement passes (the unit's bars are restored then).
  bool Design(Unit& u);

  const ProjectState& state_;
  const MasterData& md_;
  const CalcRun& run_;
  DetailingLimits lim_;
  StructureModel model_;
  int layout_;
  RebarList list_;
  MemberCheckInput in_;
  MemberCheckTables tables_;
  std::map<std::pair<int, bool>, BarChoice> before_;
  std::map<int, BarChoice> stirrups_before_;
};

std::vector<Unit> Designer::FindUnits() {
  std::vector<Unit> units;
  const int joint = model_.member_count + 1;
  std::set<std::pair<int, bool>> taken;
  const std::vector<int> listed = RcListedMembers(model_);
  // The members one edit of column col on member m writes.
  auto written = [&](int m, bool inner, int col) {
    StructureModel scratch = model_;
    const int grid_row = GridRowOf(list_, m, inner);
    const double v = model_.Section(m).Current(col == 10 ? 22 : FaceKeys(inner)[col == 3 ? 0 : 1]);
    return ApplyRebarEdit(scratch, state_.block_row, md_, layout_, list_, col, grid_row,
                          NumberText(v))
        .changed_members;
  };
  for (int m : listed) {
    const int type = model_.Member(m).type;
    const bool both = layout_ == kLayoutStand && type == 12;
    for (bool inner : {false, true}) {
      if (both && !inner) continue;
      if (taken.count({m, inner})) continue;
      Unit u;
      u.face.inner = inner;
      u.face.both_faces = both;
      u.face.member = m;
      u.face.group = CheckGroupOf(type);
      // The closure of the count copies (check groups) and the diameter
      // copies (the box layout's shoulders with their walls).
      std::vector<int> queue{m};
      std::set<int> reps_seen;
      while (!queue.empty()) {
        const int x = queue.back();
        queue.pop_back();
        if (u.member_set.count(x)) continue;
        const std::vector<int> group = written(x, inner, 4);
        bool rep_new = true;
        for (int g : group)
          if (reps_seen.count(g)) rep_new = false;
        if (rep_new) u.reps.push_back(x);
        for (int g : group) {
          reps_seen.insert(g);
          u.member_set.insert(g);
          queue.push_back(g);
        }
        u.member_set.insert(x);
        for (int g : written(x, inner, 3)) queue.push_back(g);
      }
      u.face.members.assign(u.member_set.begin(), u.member_set.end());
      for (int x : u.face.members) taken.insert({x, inner});
      units.push_back(std::move(u));
    }
  }
  // The stirrups of each check group (copied by the edit as a whole).
  std::set<int> stirrups_taken;
  for (int m : listed) {
    if (stirrups_taken.count(m)) continue;
    Unit u;
    u.face.stirrups = true;
    u.face.inner = true;
    u.face.member = m;
    u.face.group = CheckGroupOf(model_.Member(m).type);
    u.reps = {m};
    for (int g : written(m, true, 10)) u.member_set.insert(g);
    u.member_set.insert(m);
    u.face.members.assign(u.member_set.begin(), u.member_set.end());
    for (int x : u.face.members) stirrups_taken.insert(x);
    units.push_back(std::move(u));
  }
  for (bool inner : {false, true}) {
    Unit u;
    u.face.inner = inner;
    u.face.joint = true;
    u.face.member = joint;
    u.face.members = {joint};
    u.reps = {joint};
    u.member_set = {joint};
    units.push_back(std::move(u));
  }
  return units;
}

bool Designer::RowCarried(const Unit& u, const CheckPointRecord& r) const {
  if (u.face.stirrups) return u.member_set.count(r.member) != 0;
  const bool outer = OuterInTension(r);
  if (!u.face.both_faces && outer == u.face.inner) return false;
  const bool joint_bars = outer ? r.outer_joint_bars : r.inner_joint_bars;
  if (u.face.joint) return joint_bars;
  return !joint_bars && u.member_set.count(r.member) != 0;
}

UnitEval Designer::Evaluate(const Unit& u) {
  UnitEval e;
  if (!Check()) {
    e.under = true;
    e.failure = "照査できません";
    return e;
  }
  for (int k = 0; k < kCheckCombinations; ++k)
    for (int m = 1; m <= tables_.member_count; ++m) {
      const MemberCheckTable& tb = tables_.At(k, m);
      const int last = LastCheckedRow(tb);
      for (int p = 1; p <= last; ++p) {
        const CheckPointRecord& r = tb.Row(p);
        if (!RowCarried(u, r)) continue;
        e.ratio = std::max(e.ratio, std::max(r.ratio, r.ratio_vmu));
        // Stirrups are kept only when they carry what the row asks of them.
        const bool short_stirrups = u.face.stirrups && r.k[25] >= 0.1 && r.req_stirrup > r.k[25];
        // Stirrups answer for the shear checks (and the capacity design,
        // whose shear capacity they raise), the bars for every check.
        const bool failed = u.face.stirrups ? ShearFailed(r) || short_stirrups : RowFailed(r);
        if (!failed) continue;
        const bool under = u.face.stirrups || short_stirrups || FailsOtherThanCapacityDesign(r);
        if (e.failure.empty() || (under && !e.under))
          e.failure =
              short_stirrups && !RowFailed(r)
                  ? Format("部材 %d %s x=%.3f m: 必要せん断補強筋量", m, CombinationName(k), r.x)
                  : FailureText(m, k, r);
        if (under)
          e.under = true;
        else
          e.over = true;
      }
    }
  return e;
}

std::vector<BarChoice> Designer::Choices(const Unit& u) const {
  if (u.face.stirrups) {
    double depth = 1e9;
    for (int m : u.face.members) {
      const MemberSection& s = model_.Section(m);
      depth = std::min({depth, s.Current(1) - s.Current(10), s.Current(1) - s.Current(18)});
    }
    return AllowedStirrups(md_, depth, lim_);
  }
  DesignFace f = u.face;
  std::vector<BarChoice> out;
  bool first = true;
  for (int m : u.reps) {
    f.member = m;
    const FaceLimits fl = FaceLimitsOf(state_, f);
    std::vector<BarChoice> mine = AllowedChoices(md_, f.joint, fl.thickness, fl.centre_cover,
                                                 fl.min_clear_cover, fl.sigma_ck, fl.fyk, lim_);
    if (f.both_faces) {
      DesignFace o = f;
      o.inner = !f.inner;
      const FaceLimits ol = FaceLimitsOf(state_, o);
      std::erase_if(mine, [&](const BarChoice& c) {
        return !ChoiceAllowed(c, md_, false, ol.thickness, ol.centre_cover, ol.min_clear_cover,
                              ol.sigma_ck, ol.fyk, lim_);
      });
    }
    if (first) {
      out = std::move(mine);
      first = false;
    } else {
      std::erase_if(out, [&](const BarChoice& c) {
        return std::find(mine.begin(), mine.end(), c) == mine.end();
      });
    }
  }
  return out;
}

double Designer::Mass(const Unit& u) const {
  if (u.face.joint) return 0;  // inserts, not rebar
  double kg = 0;
  if (u.face.stirrups) {
    // Legs per metre of width, one row per pitch, each leg the thickness.
    for (int m : u.face.members) {
      const MemberSection& s = model_.Section(m);
      if (s.Current(23) <= 0) continue;
      kg += s.Current(25) * 1000 / s.Current(23) * model_.Member(m).length * s.Current(1) / 1000 *
            kSteelKgPerMm2M;
    }
    return kg;
  }
  for (int m : u.face.members) {
    if (m > model_.member_count) continue;
    const MemberSection& s = model_.Section(m);
    const double As = u.face.inner || u.face.both_faces ? s.Current(20) : s.Current(12);
    kg += As * model_.Member(m).length * kSteelKgPerMm2M;
    if (u.face.both_faces) kg += s.Current(12) * model_.Member(m).length * kSteelKgPerMm2M;
  }
  return kg;
}

bool Designer::Design(Unit& u) {
  const std::vector<BarChoice> cands = Choices(u);
  if (cands.empty()) {
    u.face.feasible = false;
    u.face.failure = Format("部材 %d: 配筋の制限を満たす鉄筋がありません", u.face.member);
    Restore(u);
    return false;
  }
  std::map<std::size_t, UnitEval> memo;
  auto eval = [&](std::size_t i) -> const UnitEval& {
    auto it = memo.find(i);
    if (it != memo.end()) return it->second;
    Apply(u, cands[i]);
    return memo.emplace(i, Evaluate(u)).first->second;
  };
  const std::size_t n = cands.size();
  if (eval(n - 1).under) {
    u.face.feasible = false;
    u.face.failure = eval(n - 1).failure;
    Restore(u);
    return false;
  }
  // The least steel that meets the checks more steel helps (they fail
  // below some area and pass above it), then upward to the first that
  // also keeps the capacity design.
  std::size_t lo = 0, hi = n - 1;
  while (lo < hi) {
    const std::size_t mid = (lo + hi) / 2;
    if (eval(mid).under)
      lo = mid + 1;
    else
      hi = mid;
  }
  std::size_t j = lo;
  while (j < n && !eval(j).Pass()) ++j;
  if (j == n) {
    u.face.feasible = false;
    u.face.failure = eval(lo).failure;
    Restore(u);
    return false;
  }
  // Local minimality: neither one bar fewer nor the next smaller size passes.
  for (bool moved = true; moved;) {
    moved = false;
    const BarChoice& c = cands[j];
    std::vector<BarChoice> lighter{{c.diameter, c.count - 1, 0, 0, c.pitch}};
    const auto& sizes = u.face.joint
                            ? std::vector<int>(kJointDiameters.begin(), kJointDiameters.end())
                            : std::vector<int>(kBarDiameters.begin(), kBarDiameters.end());
    const auto at = std::find(sizes.begin(), sizes.end(), c.diameter);
    if (at != sizes.end() && at != sizes.begin())
      lighter.push_back({*(at - 1), c.count, 0, 0, c.pitch});
    if (u.face.stirrups) lighter.push_back({});  // none at all
    for (const BarChoice& l : lighter) {
      const auto it = std::find(cands.begin(), cands.end(), l);
      if (it == cands.end()) continue;
      const std::size_t i = static_cast<std::size_t>(it - cands.begin());
      if (i < j && eval(i).Pass()) {
        j = i;
        moved = true;
        break;
      }
    }
  }
  Apply(u, cands[j]);
  u.face.feasible = true;
  u.face.failure.clear();
  u.face.after = cands[j];
  return true;
}

DesignProposal Designer::Run() {
  DesignProposal p;
  if (!run_.transverse_ok || !run_.members_checked) {
    p.refusal = "横方向の照査結果がありません.";
    return p;
  }
  for (int m = 1; m <= model_.member_count + 1; ++m) {
    for (bool inner : {false, true}) before_[{m, inner}] = ChoiceOf(model_.Section(m), inner);
    stirrups_before_[m] = StirrupsOf(model_.Section(m));
  }
  std::vector<Unit> units = FindUnits();
  if (!Check()) {
    p.refusal = "照査できません.";
    return p;
  }
  auto current = [&](const Unit& u) {
    const MemberSection& s = model_.Section(u.face.member);
    return u.face.stirrups ? StirrupsOf(s) : ChoiceOf(s, u.face.inner);
  };
  auto area = [&](const Unit& u, const BarChoice& c) {
    return u.face.stirrups ? md_.BarAreaMm2(c.diameter) * c.count
                           : ChoiceArea(c, md_, u.face.joint);
  };
  for (Unit& u : units) {
    u.face.before = current(u);
    u.face.after = u.face.before;
    u.face.as_before = area(u, u.face.before);
    u.face.ratio_before = Evaluate(u).ratio;
    u.face.mass_before = Mass(u);
  }
  // Each unit with the others as they stand, until a sweep changes nothing.
  for (int sweep = 0; sweep < 6; ++sweep) {
    bool changed = false;
    for (Unit& u : units) {
      const BarChoice was = u.face.after;
      const bool was_feasible = u.face.feasible;
      Design(u);
      if (!u.face.feasible) u.face.after = u.face.before;
      changed = changed || !(was == u.face.after) || was_feasible != u.face.feasible;
    }
    if (!changed) break;
  }
  // A row that still fails (a unit that found nothing and was restored
  // while its neighbours changed): the changed units of its member go back
  // to their bars, one member at a time, while that helps.
  for (int guard = 0; guard < static_cast<int>(units.size()); ++guard) {
    Check();
    int failing = 0;
    for (int k = 0; k < kCheckCombinations && !failing; ++k)
      for (int m = 1; m <= tables_.member_count && !failing; ++m) {
        const MemberCheckTable& tb = tables_.At(k, m);
        for (int r = 1; r <= LastCheckedRow(tb) && !failing; ++r)
          if (RowFailed(tb.Row(r))) failing = tb.Row(r).member;
      }
    if (!failing) break;
    bool restored = false;
    for (Unit& u : units)
      if (u.member_set.count(failing) && !(current(u) == u.face.before)) {
        Restore(u);
        restored = true;
      }
    if (!restored) break;
  }
  Check();
  for (Unit& u : units) {
    u.face.after = current(u);
    u.face.as_after = area(u, u.face.after);
    u.face.ratio_after = Evaluate(u).ratio;
    u.face.mass_after = Mass(u);
    p.mass_before += u.face.mass_before;
    p.mass_after += u.face.mass_after;
    p.faces.push_back(u.face);
  }
  p.usable = true;
  return p;
}

}  // namespace

double ChoiceArea(const BarChoice& c, const MasterData& md, bool joint) {
  auto area = [&](int d) { return joint ? md.BoltAreaMm2(d) : md.BarAreaMm2(d); };
  return area(c.diameter) * c.count + area(c.diameter2) * c.count2;
}

std::string ChoiceText(const BarChoice& c, bool joint) {
  if (c.diameter * c.count == 0) return "－";
  std::string s = LayerText(joint, c.diameter, c.count);
  if (c.pitch > 0) s += Format("@%.0f", c.pitch);
  if (c.diameter2 * c.count2 != 0) s += "+" + LayerText(joint, c.diameter2, c.count2);
  return s;
}

bool ChoiceAllowed(const BarChoice& c, const MasterData& md, bool joint, double thickness,
                   double centre_cover, double min_clear_cover, double sigma_ck, double fyk,
                   const DetailingLimits& lim) {
  const double d = c.diameter;
  if (d <= 0 || c.count <= 0 || c.diameter2 != 0 || c.count2 != 0) return false;
  if ((joint ? md.BoltAreaMm2(c.diameter) : md.BarAreaMm2(c.diameter)) <= 0) return false;
  // The bar fits the cover: the clear cover is at least the bar diameter
  // and the least clear cover of the product.
  if (centre_cover - d / 2 < std::max(d, min_clear_cover) - 1e-9) return false;
  // Spacing: clear spacing at least 20 mm, the diameter and 4/3 Gmax; the
  // centre spacing at most 300 mm and twice the thickness.
  const double spacing = 1000.0 / c.count;
  const double clear_min = std::max({lim.clear_spacing_min, d, 4.0 / 3.0 * lim.aggregate_max});
  if (spacing - d < clear_min - 1e-9) return false;
  if (spacing > std::min(lim.spacing_max, 2 * thickness) + 1e-9) return false;
  if (joint) return true;
  // Steel ratio of the face over its effective depth.
  const double depth = thickness - centre_cover;
  if (depth <= 0) return false;
  const double rho = ChoiceArea(c, md, false) / (1000.0 * depth);
  if (rho < lim.ratio_min - 1e-12) return false;
  if (sigma_ck > 0 && fyk > 0) {
    const double fcd = sigma_ck / 1.3, fyd = fyk;
    const double balanced = 0.68 * fcd / fyd * 700.0 / (700.0 + fyd);
    if (rho > lim.balanced_share_max * balanced + 1e-12) return false;
  }
  return true;
}

std::vector<BarChoice> AllowedChoices(const MasterData& md, bool joint, double thickness,
                                      double centre_cover, double min_clear_cover, double sigma_ck,
                                      double fyk, const DetailingLimits& lim) {
  std::vector<BarChoice> out;
  auto add = [&](int d) {
    for (int n = 1; n <= 100; ++n) {
      const BarChoice c{d, static_cast<double>(n), 0, 0};
      if (ChoiceAllowed(c, md, joint, thickness, centre_cover, min_clear_cover, sigma_ck, fyk, lim))
        out.push_back(c);
    }
  };
  if (joint)
    for (int d : kJointDiameters) add(d);
  else
    for (int d : kBarDiameters) add(d);
  std::stable_sort(out.begin(), out.end(), [&](const BarChoice& a, const BarChoice& b) {
    const double aa = ChoiceArea(a, md, joint), ab = ChoiceArea(b, md, joint);
    if (aa != ab) return aa < ab;
    return a.count < b.count;
  });
  return out;
}

std::vector<BarChoice> AllowedStirrups(const MasterData& md, double depth,
                                       const DetailingLimits& lim) {
  std::vector<BarChoice> out{BarChoice{}};
  const double pitch_max = std::min(lim.stirrup_pitch_max, depth / 2);
  for (int d : {10, 13, 16})
    for (int n = 2; n <= 10; ++n)
      for (double s : {100.0, 125.0, 150.0, 200.0, 250.0, 300.0})
        if (s <= pitch_max + 1e-9 && md.BarAreaMm2(d) > 0)
          out.push_back({d, static_cast<double>(n), 0, 0, s});
  std::stable_sort(out.begin() + 1, out.end(), [&](const BarChoice& a, const BarChoice& b) {
    const double wa = md.BarAreaMm2(a.diameter) * a.count / a.pitch;
    const double wb = md.BarAreaMm2(b.diameter) * b.count / b.pitch;
    if (wa != wb) return wa < wb;
    return a.count < b.count;
  });
  return out;
}

FaceLimits FaceLimitsOf(const ProjectState& state, const DesignFace& f) {
  FaceLimits l;
  const StructureModel& model = state.transverse;
  const MemberSection& s = model.Section(f.member);
  l.thickness = s.Current(1);
  l.centre_cover = s.Current(f.inner ? 18 : 10);
  const int type = f.joint ? 30 : model.Member(f.member).type;
  const bool cast = f.joint || IsCastInPlace(type);
  // Precast covers are clear covers (the record's centre cover adds half
  // the bar); cast-in-place covers are to the bar centre.
  l.min_clear_cover = cast ? 0 : state.records.model.precast_cover;
  const MemberCheckInput in = CheckInputOf(state);
  const CheckMaterial& mat =
      in.materials[static_cast<std::size_t>(std::clamp(MaterialColumnOf(type), 1, 4) - 1)];
  l.sigma_ck = mat.sigma_ck;
  l.fyk = mat.fyk;
  return l;
}

DesignProposal ProposeReinforcement(const ProjectState& state, const MasterData& md,
                                    const CalcRun& run, const DetailingLimits& lim) {
  Designer d(state, md, run, lim);
  return d.Run();
}

void ApplyFaceChoice(ProjectState& state, const MasterData& md, const DesignFace& f,
                     const BarChoice& c) {
  const RebarList list = EditList(state.transverse);
  if (f.stirrups)
    EditStirrups(state.transverse, state.block_row, md, LayoutOf(state), list, f.member, c);
  else
    EditFace(state.transverse, state.block_row, md, LayoutOf(state), list, f.member, f.inner, c);
}

void ApplyProposal(ProjectState& state, const MasterData& md, const DesignProposal& p) {
  const RebarList list = EditList(state.transverse);
  const int layout = LayoutOf(state);
  // Every member that carries a face, from its own unit's representative:
  // a diameter copied across groups is written by the unit that owns it.
  for (const DesignFace& f : p.faces) {
    if (!f.feasible || !f.Changed()) continue;
    if (f.stirrups)
      EditStirrups(state.transverse, state.block_row, md, layout, list, f.member, f.after);
    else
      EditFace(state.transverse, state.block_row, md, layout, list, f.member, f.inner, f.after);
  }
  ComputeProjectGeometry(state);
}

bool MemberChecksPass(const ProjectState& state, const MasterData& md, const CalcRun& run,
                      std::string* failure) {
  if (!run.transverse_ok) {
    if (failure) *failure = "横方向の計算結果がありません";
    return false;
  }
  StructureModel model = state.transverse;
  MemberCheckTables tables;
  const std::string msg =
      CheckMembers(run.transverse, model, state.block_row, md, CheckInputOf(state), tables);
  if (!msg.empty()) {
    if (failure) *failure = msg;
    return false;
  }
  for (int k = 0; k < kCheckCombinations; ++k)
    for (int m = 1; m <= tables.member_count; ++m) {
      const MemberCheckTable& tb = tables.At(k, m);
      const int last = LastCheckedRow(tb);
      for (int p = 1; p <= last; ++p)
        if (RowFailed(tb.Row(p))) {
          if (failure) *failure = FailureText(m, k, tb.Row(p));
          return false;
        }
    }
  return true;
}

Quantities QuantitiesOf(const ProjectState& state, const MasterData& md) {
  QuantityInput in;
  in.layout = LayoutOf(state);
  in.materials = CheckInputOf(state).materials;
  return ComputeQuantities(state.transverse, state.block_row, md, in);
}

std::vector<std::string> ProposalTable(const DesignProposal& p) {
  std::vector<std::string> out;
  out.push_back(
      "部材群                    部材  面  現状 → 提案 (As mm2/m)                      "
      "照査比 現状→提案   鋼材 kg/m 現状→提案");
  for (const DesignFace& f : p.faces) {
    const char* gname = f.joint ? "底版インサート" : CheckGroupName(f.group);
    std::string name = (gname && *gname) ? gname : Format("type %d", f.group);
    if (name.size() < 24) name.resize(24, ' ');
    const char* face = f.stirrups ? "補" : f.both_faces ? "両" : f.inner ? "内" : "外";
    std::string bars = Format("%s (%.0f) → %s (%.0f)", ChoiceText(f.before, f.joint).c_str(),
                              f.as_before, ChoiceText(f.after, f.joint).c_str(), f.as_after);
    if (bars.size() < 42) bars.resize(42, ' ');
    std::string line =
        Format("%s  %4d  %s  %s  %6.3f → %6.3f   %7.1f → %7.1f", name.c_str(), f.member, face,
               bars.c_str(), f.ratio_before, f.ratio_after, f.mass_before, f.mass_after);
    if (!f.feasible) line += "  N.G.: " + f.failure;
    out.push_back(line);
  }
  out.push_back(Format("合計 (kg/m)%*s%7.1f → %7.1f", 78, "", p.mass_before, p.mass_after));
  return out;
}

}  // namespace vaultra
