#include "app/pages/other_checks_page.h"

#include <algorithm>
#include <cmath>

#include "app/calc/check_inputs.h"
#include "app/calc/run_analysis.h"
#include "core/cp932.h"
#include "core/number.h"
#include "model/geometry.h"

namespace vaultra {

const std::array<const char*, 6> kEndWallBarLists = {"Cb_ViD",  "Cb_VoD",  "Cb_HiDu",
                                                     "Cb_HoDu", "Cb_HiDb", "Cb_HoDb"};

namespace {

const char* const kJointNotChecked = "未照査（横方向の計算ができません）";

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

OtherChecksLabels OtherChecksLabelsOf(const CalcRun& run) {
  OtherChecksLabels l;
  if (run.transverse_ok && run.transverse_joint_checked) {
    l.joint = run.transverse_joint.labels;
    l.joint_colours = run.transverse_joint.colours;
  } else {
    // Without transverse forces the zero forces would read as a pass.
    static constexpr const char* kHeads[4] = {"Lv1.圧縮", "Lv1.引張", "Lv2.圧縮", "Lv2.引張"};
    for (std::size_t i = 0; i < 4; ++i) {
      l.joint[i] = std::string(kHeads[i]) + "  " + kJointNotChecked;
      l.joint_colours[i] = kColourRed;
    }
  }
  const JointErrorTexts e =
      JointErrors(run.longitudinal_joint.capacity_ok, run.longitudinal_joint.opening_ok);
  l.err_pc = e.err_pc;
  l.err_bosui = e.err_bosui;
  l.err_bolt = e.err_bolt;
  l.end_wall = run.end_wall_verdict.text;
  l.end_wall_colour = run.end_wall_verdict.colour;
  l.uplift = UpliftLabel(run.uplift);
  l.uplift_colour = run.uplift.ok ? 0 : kColourRed;
  return l;
}

std::string UpliftLabel(const UpliftResult& u) {
  if (!u.checked) return "浮上り：未照査（" + u.reason + "）";
  if (!u.reason.empty()) return "浮上り：" + u.reason;
  return Format("浮上り：Fs = %.2f %s %.2f  %s", u.fs, u.ok ? "≧" : "＜", u.required,
                u.ok ? "ＯＫ" : "ＮＧ");
}

}  // namespace vaultra
