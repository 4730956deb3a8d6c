#include "app/other_checks_page.h"

#include <algorithm>
#include <cmath>

#include "app/check_inputs.h"
#include "app/run_analysis.h"
#include "core/cp932.h"
#include "core/number.h"
#include "model/geometry.h"

namespace vaultra {

const std::array<const char*, 6> kEndWallBarLists = {"Cb_ViD",  "Cb_VoD",  "Cb_HiDu",
                                                     "Cb_HoDu", "Cb_HiDb", "Cb_HoDb"};

namespace {

const char* const kEndWallsOff = "縦方向の照査を行わないため、端壁は照査していません";
const char* const kEndWallsNoResults = "縦方向の計算ができないため、端壁は照査していません";
const char* const kEndWallsNotChecked = "端壁の照査：未照査";

double Real(const FormState& f, std::string_view name, double fallback) {
  const Control* c = f.Find(name);
  if (!c) return fallback;
  const std::optional<double> v = TryReadReal(c->text);
  return v ? *v : fallback;
}

std::string Choice(const FormState& f, std::string_view name) {
  const Control* c = f.Find(name);
  return c ? Trim(c->SelectedText()) : std::string();
}

// The selected item of a list when it is one of `size` items, else -1.
int Selected(const FormState& f, std::string_view name, std::size_t size) {
  const Control* c = f.Find(name);
  if (!c || c->index < 0 || c->index >= static_cast<int>(size)) return -1;
  return c->index;
}

bool IsBoxLayout(const ProjectState& state) {
  return state.records.model.facility_type != 0;
}

EndWallBar BarOf(const FormState& f, const char* list, const char* count) {
  const Control* c = f.Find(list);
  return {c ? BarDiameterOfItem(c->SelectedText()) : 0.0, Real(f, count, 0)};
}

void SetIndexOf(FormState& f, std::string_view name, int index) {
  if (index >= 0) f.At(name).SetIndex(index);
}

}  // namespace

void BuildOtherChecksLists(FormState& f, const MasterData& md) {
  if (!f.At("TBoltS").items.empty()) return;  // built once
  const JointLists l = BuildJointLists(md);
  f.At("TBoltS").SetItems(l.bolt_types);
  f.At("TBoltK").SetItems(l.bolt_sizes);
  f.At("RBoltK").SetItems(l.bolt_sizes);
  f.At("TMoltl").SetItems(l.mortar);
  f.At("PcS").SetItems(l.pc_kinds);
  f.At("p5Cb_PcNam").SetItems(l.pc_sizes);
  f.At("p8Cb_Nam").SetItems(l.rebar_sizes);
  for (const char* name : kEndWallBarLists) f.At(name).SetItems(l.rebar_sizes);
  f.At("RBoltS").SetItems({" F8T"});
}

std::vector<BlockShape> BlockShapesOf(const ProjectState& state) {
  const int layout = IsBoxLayout(state) ? kLayoutBox : kLayoutStand;
  std::vector<BlockShape> out;
  for (int k = 1; k <= state.transverse.real_block_count && k <= kMaxBlocks; ++k) {
    const BlockRecord& b = state.block_row.At(k);
    const DimensionSet& s = b.working_set;
    if (s.kind < kBlockLeftEnd || s.kind > kBlockRightEnd) continue;
    std::array<OutlinePoint, 12> pts{};
    const int n = BlockOutline(layout, b, pts.data(), static_cast<int>(pts.size()));
    BlockShape shape;
    shape.kind = s.kind;
    for (int i = 0; i < n; ++i) shape.outer.emplace_back(pts[i].x, pts[i].y);
    if (layout == kLayoutBox) {
      // The cell inside the box: inner width B, inner height H above the bottom slab c.
      const double x0 = b.x - s.B() / 2, x1 = b.x + s.B() / 2;
      const double y0 = b.z + s.c(), y1 = b.z + s.c() + s.H();
      shape.opening = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    }
    out.push_back(std::move(shape));
  }
  return out;
}

namespace {

double LargestBlockWeightOf(const ProjectState& state) {
  return LargestBlockWeight(BlockShapesOf(state), IsBoxLayout(state),
                            state.records.materials.Column(1).gamma_c,
                            state.block_row.At(1).working_set.L());
}

}  // namespace

void PrepareOtherChecks(ProjectState& state) {
  FormState& f = state.other_checks;
  const double weight = LargestBlockWeightOf(state);
  SetNumberByTag(f, "Ed_BlkWt", weight);
  SetNumberByTag(f, "p5Ed_Po", InitialTensileStress(weight, Real(f, "p5Ed_Ap", 0)));
}

void CommitOtherChecksInputs(const FormState& f, JointDesignRecord& r) {
  r.bolt_type = Choice(f, "TBoltS");
  r.Ps = Real(f, "p1Ed_Ps", 0);
  r.sigma_by = Real(f, "p1Ed_Sby", 0);
  r.bolt_size = Choice(f, "TBoltK");
  r.AB = Real(f, "p2Ed_AB", 0);
  r.nB = Real(f, "p2Ed_nB", 0);
  r.mortar = Choice(f, "TMoltl");
  r.sigma_ga = Real(f, "p3Ed_Sga", 0);
  r.Ac = Real(f, "p3Ed_Ac", 0);
  r.Ua1 = Real(f, "p6Ed_Ua1", 0);
  r.Ua2 = Real(f, "p6Ed_Ua2", 0);
  r.pc_kind = Choice(f, "PcS");
  r.Ppu = Real(f, "p4Ed_Ppu", 0);
  r.Ppy = Real(f, "p4Ed_Ppy", 0);
  r.Po = Real(f, "p5Ed_Po", 0);
  r.block_weight = Real(f, "Ed_BlkWt", 0);
  r.pc_size = Choice(f, "p5Cb_PcNam");
  r.Ap = Real(f, "p5Ed_Ap", 0);
  r.np = Real(f, "p5Ed_Np", 0);
  r.dist_bar = Choice(f, "p8Cb_Nam");
  r.As = Real(f, "p8Ed_As", 0);
  r.ns = Real(f, "p8Ed_Ns", 0);

  EndWallBars& w = r.end_wall;
  w.method =
      f.Index("RHari12") == kEndWallMethodTwoWay ? kEndWallMethodTwoWay : kEndWallMethodSimpleBeam;
  w.vertical_outside = f.Checked("CkYokoUti");
  w.cover_inner = Real(f, "Ed_ViK", 0);
  w.cover_outer = Real(f, "Ed_VoK", 0);
  w.vertical_inner = BarOf(f, "Cb_ViD", "Ed_ViN");
  w.vertical_outer = BarOf(f, "Cb_VoD", "Ed_VoN");
  w.horizontal_inner[0] = BarOf(f, "Cb_HiDu", "Ed_HiNu");
  w.horizontal_outer[0] = BarOf(f, "Cb_HoDu", "Ed_HoNu");
  w.horizontal_inner[2] = BarOf(f, "Cb_HiDb", "Ed_HiNb");
  w.horizontal_outer[2] = BarOf(f, "Cb_HoDb", "Ed_HoNb");
  // The middle part has no inputs of its own: it takes the upper bars.
  w.horizontal_inner[1] = w.horizontal_inner[0];
  w.horizontal_outer[1] = w.horizontal_outer[0];

  r.connecting_bolt_type = Choice(f, "RBoltS");
  r.connecting_bolt_size = Choice(f, "RBoltK");
  r.connecting_bolt_count = std::max(f.Index("RBoltSu"), 0) + 4;
  r.Pr = Real(f, "p9Ed_Pr", 0);
  r.anchor_bar = Choice(f, "AncK");
  r.anchor_count = Real(f, "AncH", 0);
  r.anchor_length = Real(f, "AncL", 0);
  r.anchor_perimeter = Real(f, "AncU", 0);
  r.sigma_sa = Real(f, "p9Ed_Ssa", 0);
  r.tau_oa = Real(f, "p9Ed_Toa", 0);
}

void CommitOtherChecksInputs(ProjectState& state) {
  CommitOtherChecksInputs(state.other_checks, state.records.joints);
}

bool OtherChecksListChanged(ProjectState& state, const MasterData& md, std::string_view name) {
  FormState& f = state.other_checks;
  auto items = [&](std::string_view list) { return f.At(list).items.size(); };
  if (name == "TBoltS") {
    if (int k = Selected(f, name, items(name)); k >= 0)
      SetNumberByTag(f, "p1Ed_Ps", BoltShearStress(md, k));
  } else if (name == "TBoltK") {
    if (int k = Selected(f, name, items(name)); k >= 0)
      SetNumberByTag(f, "p2Ed_AB", BoltArea(md, k));
  } else if (name == "TMoltl") {
    if (const auto s = MortarStress(md, f.At(name).SelectedText()))
      SetNumberByTag(f, "p3Ed_Sga", *s);
  } else if (name == "PcS") {
    if (int k = Selected(f, name, items(name)); k >= 0) {
      const auto [ppu, ppy] = PcStrengths(md, k);
      SetNumberByTag(f, "p4Ed_Ppu", ppu);
      SetNumberByTag(f, "p4Ed_Ppy", ppy);
    }
  } else if (name == "p5Cb_PcNam") {
    if (int k = Selected(f, name, items(name)); k >= 0) {
      SetNumberByTag(f, "p5Ed_Ap", PcBarArea(md, k));
      SetNumberByTag(f, "p5Ed_Np", PcBarCount(IsBoxLayout(state)));
    }
  } else if (name == "p8Cb_Nam" || name == "CkYokoUti" ||
             std::find(kEndWallBarLists.begin(), kEndWallBarLists.end(), name) !=
                 kEndWallBarLists.end()) {
    if (int k = Selected(f, "p8Cb_Nam", items("p8Cb_Nam")); k >= 0)
      SetNumberByTag(f, "p8Ed_As", DistributionBarArea(md, k));
  } else if (name == "RBoltK" || name == "RBoltSu") {
    if (int k = Selected(f, "RBoltK", items("RBoltK")); k >= 0)
      SetNumberByTag(f, "p9Ed_Pr", ConnectingBoltForce(md, k));
  } else if (name == "AncK") {
    SetNumberByTag(f, "AncU", AnchorPerimeter(f.At(name).SelectedText()));
  } else {
    return false;
  }
  return true;
}

EndWallMethodView ApplyEndWallMethod(FormState& f) {
  EndWallMethodView v;
  const bool two_way = f.Index("RHari12") == kEndWallMethodTwoWay;
  v.horizontal_bars_enabled = two_way;
  v.yoko_uti_enabled = two_way;
  if (!two_way) f.At("CkYokoUti").checked = true;
  return v;
}

void ResetJointDefaults(ProjectState& state, const MasterData& md) {
  FormState& f = state.other_checks;
  BuildOtherChecksLists(f, md);
  const JointLists lists = BuildJointLists(md);
  JointDefaults d;
  d.bolt_type = f.Index("TBoltS");
  d.bolt_size = f.Index("TBoltK");
  d.mortar = f.Index("TMoltl");
  d.pc_kind = Selected(f, "PcS", lists.pc_kinds.size());
  d.pc_size = f.Index("p5Cb_PcNam");
  d.dist_bar = f.Index("p8Cb_Nam");
  d.Ps = Real(f, "p1Ed_Ps", d.Ps);
  d.AB = Real(f, "p2Ed_AB", d.AB);
  d.sigma_ga = Real(f, "p3Ed_Sga", d.sigma_ga);
  d.Ppu = Real(f, "p4Ed_Ppu", d.Ppu);
  d.Ppy = Real(f, "p4Ed_Ppy", d.Ppy);
  d.Ap = Real(f, "p5Ed_Ap", d.Ap);
  d.np = Real(f, "p5Ed_Np", d.np);
  d.As = Real(f, "p8Ed_As", d.As);
  const StructureModel& tm = state.transverse;
  ResetJointDefaults(d, md, lists, IsBoxLayout(state), state.block_row.At(1).working_set.L(),
                     JointEffectiveArea(state.block_row, tm.real_block_count));
  SetIndexOf(f, "TBoltS", d.bolt_type);
  SetIndexOf(f, "TBoltK", d.bolt_size);
  SetIndexOf(f, "TMoltl", d.mortar);
  SetIndexOf(f, "p5Cb_PcNam", d.pc_size);
  SetIndexOf(f, "p8Cb_Nam", d.dist_bar);
  SetNumberByTag(f, "p1Ed_Ps", d.Ps);
  SetNumberByTag(f, "p2Ed_AB", d.AB);
  SetNumberByTag(f, "p2Ed_nB", d.nB);
  SetNumberByTag(f, "p3Ed_Sga", d.sigma_ga);
  SetNumberByTag(f, "p3Ed_Ac", d.Ac);
  SetNumberByTag(f, "p4Ed_Ppu", d.Ppu);
  SetNumberByTag(f, "p4Ed_Ppy", d.Ppy);
  SetNumberByTag(f, "p5Ed_Ap", d.Ap);
  SetNumberByTag(f, "p5Ed_Np", d.np);
  SetNumberByTag(f, "p8Ed_As", d.As);
}

void ResetEndWallDefaults(ProjectState& state, const EndWallRecord& rec, double upper_thickness) {
  FormState& f = state.other_checks;
  // The bars as the page holds them: a bar the record leaves empty keeps its value.
  JointDesignRecord current;
  CommitOtherChecksInputs(f, current);
  EndWallBars bars = current.end_wall;
  std::array<int, 6> selection{};
  for (std::size_t i = 0; i < kEndWallBarLists.size(); ++i)
    selection[i] = f.Index(kEndWallBarLists[i]);
  ResetEndWallDefaults(bars, selection, rec, IsBoxLayout(state), upper_thickness,
                       f.At("Cb_ViD").items);
  f.At("RHari12").SetIndex(bars.method);
  f.At("CkYokoUti").checked = bars.vertical_outside;
  SetNumberByTag(f, "Ed_ViK", bars.cover_inner);
  SetNumberByTag(f, "Ed_VoK", bars.cover_outer);
  for (std::size_t i = 0; i < kEndWallBarLists.size(); ++i)
    SetIndexOf(f, kEndWallBarLists[i], selection[i]);
  SetNumberByTag(f, "Ed_ViN", bars.vertical_inner.count);
  SetNumberByTag(f, "Ed_VoN", bars.vertical_outer.count);
  SetNumberByTag(f, "Ed_HiNu", bars.horizontal_inner[0].count);
  SetNumberByTag(f, "Ed_HoNu", bars.horizontal_outer[0].count);
  SetNumberByTag(f, "Ed_HiNb", bars.horizontal_inner[2].count);
  SetNumberByTag(f, "Ed_HoNb", bars.horizontal_outer[2].count);
}

void UpdateJointEffectiveArea(ProjectState& state) {
  SetNumberByTag(state.other_checks, "p3Ed_Ac",
                 JointEffectiveArea(state.block_row, state.transverse.real_block_count));
}

void UpdateDistributionBarCount(ProjectState& state) {
  const StructureModel& tm = state.transverse;
  if (const auto ns = DistributionBarCount(state.block_row, tm.first_zone, tm.last_zone))
    SetNumberByTag(state.other_checks, "p8Ed_Ns", *ns);
}

void OtherChecksResultRefresh(ProjectState& state) {
  // The two bolt-size lists are enabled again by the window; the weight is
  // the only value that changes here.
  SetNumberByTag(state.other_checks, "Ed_BlkWt", LargestBlockWeightOf(state));
}

// ---- the end-wall and joint checks ----

std::vector<int> EndWallCases(const AnalysisResults& results, int combination) {
  // The longitudinal model's seismic combinations hold the seismic cases
  // alone (11..13, 15 and 20..22, 24); a wall carries them on top of the
  // static pressures of its level, as the transverse combinations do.
  constexpr int kLevelCases[2][2] = {{8, 15}, {17, 24}};
  if (combination >= 1 && combination <= 2 && results.max_load_case >= 24) {
    std::vector<int> cases;
    for (int c = kLevelCases[combination - 1][0]; c <= kLevelCases[combination - 1][1]; ++c)
      cases.push_back(c);
    return cases;
  }
  return {results.max_load_case + combination + 1};
}

EndWallLoad EndWallLoadOf(const AnalysisResults& results, const StructureModel& lm, int member,
                          const std::vector<int>& cases) {
  if (!results.HasMember(member) || member > lm.member_count) return {};
  const ModelMember& m = lm.Member(member);
  const ModelNode& ni = lm.Node(m.node_i);
  const ModelNode& nj = lm.Node(m.node_j);
  const double length = std::hypot(nj.x - ni.x, nj.y - ni.y);
  const bool i_at_top = ni.y > nj.y;
  double r_top = 0, r_bottom = 0;
  for (int c : cases) {
    if (!results.HasCase(c)) continue;
    const MemberCaseResult& v = results.At(c, member);
    const int n = std::clamp(v.count, 0, kResultMaxPoints + 1);
    if (n < 2) continue;
    // The points nearest the two ends (a refined maximum may sit between).
    int first = 1, last = 1;
    for (int p = 2; p <= n; ++p) {
      if (v.points[p][kCompX] < v.points[first][kCompX]) first = p;
      if (v.points[p][kCompX] > v.points[last][kCompX]) last = p;
    }
    // S = dM/dx along the member, and an inward pressure gives a positive M
    // on either wall; with y measured down from the top, V = dM/dy, so the
    // top reaction is V at the top and the bottom reaction −V at the bottom.
    const double s_first = v.points[first][kCompS];
    const double s_last = v.points[last][kCompS];
    r_top += i_at_top ? s_first : -s_last;
    r_bottom += i_at_top ? -s_last : s_first;
  }
  return LoadFromReactions(r_top, r_bottom, length);
}

namespace {

// Members of type 1 and 2 of the longitudinal model: the two end walls.
std::array<int, 2> EndWallMembers(const StructureModel& lm) {
  std::array<int, 2> out{};
  for (int k = 1; k <= lm.member_count; ++k) {
    const int t = lm.Member(k).type;
    if (t == 1 && out[0] == 0) out[0] = k;
    if (t == 2 && out[1] == 0) out[1] = k;
  }
  return out;
}

double EndWallHeight(const StructureModel& lm) {
  for (int k : EndWallMembers(lm)) {
    if (k == 0) continue;
    const ModelMember& m = lm.Member(k);
    return std::fabs(lm.Node(m.node_j).y - lm.Node(m.node_i).y);
  }
  return 0;
}

}  // namespace

EndWallLoad GoverningEndWallLoad(const AnalysisResults& results, const StructureModel& lm,
                                 int combination) {
  const double height = EndWallHeight(lm);
  EndWallLoad best;
  double best_moment = -1;
  for (int k : EndWallMembers(lm)) {
    if (k == 0) continue;
    const EndWallLoad q = EndWallLoadOf(results, lm, k, EndWallCases(results, combination));
    const double m = std::fabs(SimpleBeamAt(height, q, SimpleBeamMaxAt(height, q)).M);
    if (m > best_moment) {
      best_moment = m;
      best = q;
    }
  }
  return best;
}

EndWallInput EndWallInputOf(const ProjectState& state, const AnalysisResults* longitudinal) {
  EndWallInput in;
  const JointDesignRecord& jr = state.records.joints;
  const ModelRecord& rec = state.records.model;
  in.bars = jr.end_wall;
  in.thickness_top = rec.wall_upper;
  in.thickness_bottom = rec.wall_lower;
  in.height = EndWallHeight(state.longitudinal);
  // The distinct inner widths of the cells along the row, with the side
  // wall beside each: a box's own wall, or the block before a slab.
  const bool box = IsBoxLayout(state);
  int walls = 0;
  for (int k = 1; k <= state.transverse.real_block_count && k <= kMaxBlocks && walls < kEndWallMax;
       ++k) {
    const DimensionSet& s = state.block_row.At(k).working_set;
    const bool cell =
        s.kind == kBlockSlab || (box && s.kind >= kBlockLeftEnd && s.kind <= kBlockRightEnd);
    if (!cell || !(s.B() >= 0.001)) continue;
    bool seen = false;
    for (int w = 0; w < walls; ++w) seen = seen || std::fabs(in.inner_width[w] - s.B()) < 0.001;
    if (seen) continue;
    const double side =
        s.kind == kBlockSlab && k > 1 ? state.block_row.At(k - 1).working_set.a() : s.a();
    in.inner_width[walls] = s.B();
    in.span[walls] = s.B() + side;
    ++walls;
  }
  if (longitudinal)
    for (int c = 0; c < 3; ++c)
      in.loads[c] = GoverningEndWallLoad(*longitudinal, state.longitudinal, c);
  const MaterialsRecord& mat = state.records.materials;
  in.context.material = CheckMaterialOf(mat.Column(4));
  in.context.factors = SafetyFactorsOf(mat);
  in.context.seismic_coefficient_method = state.records.loads.method == kMethodSeismicCoefficient;
  in.context.Cs = state.records.loads.cs;
  in.context.two_d_option = rec.shear_at_2d;
  return in;
}

namespace {

void RunTransverseJoint(const ProjectState& state, CalcRun& run) {
  const JointDesignRecord& jr = state.records.joints;
  TransverseJointInput in;
  in.Ps = jr.Ps;
  in.nB = jr.nB;
  in.AB = jr.AB;
  in.sigma_ga = jr.sigma_ga;
  in.Ac = jr.Ac;
  // Level 1 and level 2 are the second and third combination.
  for (int lv = 0; lv < 2; ++lv)
    in.members[static_cast<std::size_t>(lv)] =
        MemberEndAxials(run.transverse, state.transverse, run.transverse.max_load_case + lv + 2);
  run.transverse_joint = CheckTransverseJoints(in);
  run.transverse_joint_checked = true;
}

void RunLongitudinalJoint(const ProjectState& state, const CalcWorkspace& ws, CalcRun& run) {
  const JointDesignRecord& jr = state.records.joints;
  LongitudinalJointInput in;
  in.longitudinal_analysis_on = run.longitudinal_on;
  in.results = &run.longitudinal;
  in.first_top = state.longitudinal.first_top_member;
  in.last_top = state.longitudinal.last_top_member;
  in.last_bottom = state.longitudinal.last_bottom_member;
  in.Ppy = jr.Ppy;
  in.Ap = jr.Ap;
  in.np = jr.np;
  in.As = jr.As;
  in.ns = jr.ns;
  in.Ua1 = jr.Ua1;
  in.Ua2 = jr.Ua2;
  // Rebar yield strength of the bottom slab, Young's modulus of the block part.
  in.fyd = state.records.materials.Column(3).fyk;
  in.Es = state.records.materials.Column(1).es;
  in.Wl = ws.ground.wl;
  in.L = state.block_row.At(1).working_set.L();
  run.longitudinal_joint = CheckLongitudinalJoints(in);
  run.longitudinal_joint_checked = run.longitudinal_on && run.longitudinal_ok;
}

void RunEndWalls(const ProjectState& state, const MasterData& md, CalcRun& run) {
  run.end_walls = EndWallResult{};
  run.end_walls_checked = false;
  run.end_wall_message.clear();
  if (!run.longitudinal_on) {
    // The walls' pressures come from the longitudinal analysis only.
    run.end_wall_message = kEndWallsOff;
  } else if (!run.longitudinal_ok) {
    run.end_wall_message = kEndWallsNoResults;
  } else {
    const EndWallInput in = EndWallInputOf(state, &run.longitudinal);
    run.end_walls = CheckEndWalls(in, md, run.plate_cache);
    run.end_walls_checked = true;
  }
  if (run.end_walls_checked) {
    run.end_wall_verdict = EndWallVerdictOf(run.end_walls);
  } else {
    run.end_wall_verdict = EndWallVerdict{};
    run.end_wall_verdict.ok = false;
    run.end_wall_verdict.text = kEndWallsNotChecked;
    run.end_wall_verdict.colour = kColourRed;
  }
}

}  // namespace

void RunOtherChecks(const ProjectState& state, const MasterData& md, const CalcWorkspace& ws,
                    CalcRun& run) {
  RunTransverseJoint(state, run);
  RunLongitudinalJoint(state, ws, run);
  RunEndWalls(state, md, run);
}

OtherChecksLabels OtherChecksLabelsOf(const CalcRun& run) {
  OtherChecksLabels l;
  l.joint = run.transverse_joint.labels;
  l.joint_colours = run.transverse_joint.colours;
  const JointErrorTexts e =
      JointErrors(run.longitudinal_joint.capacity_ok, run.longitudinal_joint.opening_ok);
  l.err_pc = e.err_pc;
  l.err_bosui = e.err_bosui;
  l.err_bolt = e.err_bolt;
  l.end_wall = run.end_wall_verdict.text;
  l.end_wall_colour = run.end_wall_verdict.colour;
  return l;
}

}  // namespace vaultra
