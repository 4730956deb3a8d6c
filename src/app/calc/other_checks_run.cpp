#include "app/calc/other_checks_run.h"

#include <algorithm>
#include <cmath>

#include "app/calc/check_inputs.h"
#include "app/calc/run_analysis.h"
#include "core/cp932.h"
#include "core/number.h"
#include "model/geometry.h"

namespace vaultra {

namespace {

const char* const kEndWallsOff = "縦方向の照査を行わないため、端壁は照査していません";
const char* const kEndWallsNoResults = "縦方向の計算ができないため、端壁は照査していません";
const char* const kEndWallsNotChecked = "端壁の照査：未照査";

}  // namespace

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

UpliftInput UpliftInputOf(const ProjectState& state, const CalcWorkspace& ws) {
  const StructureModel& tm = state.transverse;
  const LoadsRecord& lr = state.records.loads;
  UpliftInput in;
  in.structure_weight = ws.pressure.weights.total;
  in.width = tm.extents[8];  // the block outlines' overall width
  in.top_depth = tm.cover_depth;
  in.bottom_depth = tm.depth_of_bottom;
  in.groundwater = state.records.model.ground_water;
  in.water_depth = state.records.model.ground_water_depth;
  in.gamma_t = lr.gamma_t;
  in.gamma_sub = lr.gamma_sub;
  in.gamma_w = lr.gamma_w;
  return in;
}

void RunOtherChecks(const ProjectState& state, const MasterData& md, const CalcWorkspace& ws,
                    CalcRun& run) {
  run.uplift = CheckUplift(UpliftInputOf(state, ws));
  RunTransverseJoint(state, run);
  RunLongitudinalJoint(state, ws, run);
  RunEndWalls(state, md, run);
}

}  // namespace vaultra
