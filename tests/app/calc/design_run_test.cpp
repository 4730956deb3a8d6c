// The reinforcement proposal: on every sample under both seismic methods it
// passes every member check, also after a save and a fresh calculation of
// the saved project; it is locally minimal (one bar fewer or the next
// smaller size breaks a check or a detailing limit); one face against the
// steel a hand calculation asks for; the detailing limits and the
// quantities of one block by hand.
#include "app/calc/design_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "app/pages/loads_page.h"
#include "app/pages/rc_page.h"
#include "checks/member_checks.h"
#include "checks/quantities.h"
#include "core/number.h"
#include "report/sample_run.h"

namespace vaultra {
namespace {

const char* const kSamples[] = {"box_groundwater_stored.vt1", "box_three_boxes.vt1",
                                "mini_gate.vt1", "stand_two_slabs.vt1"};

auto Method(bool coefficient) {
  return [coefficient](ProjectState& state) {
    state.loads.At("RbCalcHenni").checked = !coefficient;
    state.loads.At("RbCalcSindo").checked = coefficient;
    MethodChanged(state.loads);
    CommitLoadsInputs(state);
  };
}

// Every member verdict of a run is O.K.
bool AllMembersPass(const CalcRun& run, const StructureModel& model) {
  if (!run.members_checked) return false;
  for (const MemberVerdict& v : MemberVerdicts(run, model))
    if (!v.ok || !v.finite) return false;
  return true;
}

// With `capacity_design_may_remain`, a sample whose proposal still fails may
// fail only the level-2 capacity design (shear failure before flexure, which
// no bar arrangement within the limits removes there), and the run names it;
// the others must pass in full; `passed` counts the samples that did.
void ExpectEverySamplePasses(bool coefficient, bool capacity_design_may_remain = false,
                             int* passed = nullptr) {
  for (const char* sample : kSamples) {
    SCOPED_TRACE(std::string(sample) + (coefficient ? " coefficient" : " displacement"));
    SampleRun s(sample, true, Method(coefficient));
    ASSERT_TRUE(s.built);
    ASSERT_TRUE(s.run.members_checked);
    const DesignProposal p = ProposeReinforcement(s.state, s.md, s.run);
    EXPECT_TRUE(p.usable);
    if (!p.usable) continue;
    ProjectState proposed = s.state;
    ApplyProposal(proposed, s.md, p);
    std::string why;
    const bool pass = MemberChecksPass(proposed, s.md, s.run, &why);
    if (!pass && capacity_design_may_remain) {
      EXPECT_NE(why.find("耐力設計"), std::string::npos) << why;
      continue;
    }
    for (const DesignFace& f : p.faces) EXPECT_TRUE(f.feasible) << f.member << " " << f.failure;
    EXPECT_TRUE(pass) << why;
    // No arrangement of the proposal breaks a detailing limit.
    for (const DesignFace& f : p.faces) {
      if (f.stirrups || !f.Changed()) continue;
      const FaceLimits l = FaceLimitsOf(proposed, f);
      EXPECT_TRUE(ChoiceAllowed(f.after, s.md, f.joint, l.thickness, l.centre_cover,
                                l.min_clear_cover, l.sigma_ck, l.fyk, {}))
          << f.member;
    }

    // Saved, opened again and calculated from the start.
    const std::string file = (s.dir / "proposed.vt1").string();
    InputPageLogic logic(s.md);
    ASSERT_TRUE(SaveProjectFile(proposed, file, logic));
    ProjectState again = DefaultProjectState();
    ASSERT_TRUE(LoadProjectFile(again, file, logic).loaded);
    PrepareOtherChecks(again);
    CommitOtherChecksInputs(again);
    CalcWorkspace ws;
    ASSERT_EQ(BuildModels(again, s.md, (s.dir / "again").string(), ws), "");
    CalcRun run;
    RunAnalysis(again, s.md, ws, RunAnalysisOptions{}, run);
    EXPECT_TRUE(AllMembersPass(run, again.transverse));
    for (int m = 1; m <= proposed.transverse.member_count + 1; ++m)
      for (int k : {6, 7, 14, 15, 22, 23, 24})
        EXPECT_EQ(again.transverse.Section(m).Current(k), proposed.transverse.Section(m).Current(k))
            << m << " k" << k;
    if (passed) ++*passed;
  }
}

TEST(Design, EverySamplePassesUnderTheResponseDisplacementMethod) {
  ExpectEverySamplePasses(false);
}

// Under the seismic coefficient method the level-2 capacity design of the
// end-block walls of mini_gate and box_groundwater_stored fails for every
// arrangement tried: such a sample may end with the capacity design named as
// what fails; the others pass in full.
TEST(Design, EverySamplePassesUnderTheSeismicCoefficientMethodButTheNamedCapacityDesign) {
  int passed = 0;
  ExpectEverySamplePasses(true, true, &passed);
  EXPECT_GE(passed, 2);
}

// For every changed face: one bar fewer, and the next smaller size with the
// same count, either leave the detailing limits or fail some member check.
// For the stirrups: none at all fails some check.
TEST(Design, TheProposalIsLocallyMinimal) {
  for (const char* sample : kSamples) {
    SCOPED_TRACE(sample);
    SampleRun s(sample);
    ASSERT_TRUE(s.run.members_checked);
    const DesignProposal p = ProposeReinforcement(s.state, s.md, s.run);
    ProjectState proposed = s.state;
    ApplyProposal(proposed, s.md, p);
    ASSERT_TRUE(MemberChecksPass(proposed, s.md, s.run));
    int tried = 0;
    for (const DesignFace& f : p.faces) {
      if (!f.Changed() || !f.feasible) continue;
      std::vector<BarChoice> lighter;
      if (f.stirrups) {
        if (f.after.count > 0) lighter.push_back({});
      } else {
        lighter.push_back({f.after.diameter, f.after.count - 1, 0, 0, 0});
        const auto& sizes = f.joint
                                ? std::vector<int>(kJointDiameters.begin(), kJointDiameters.end())
                                : std::vector<int>(kBarDiameters.begin(), kBarDiameters.end());
        const auto at = std::find(sizes.begin(), sizes.end(), f.after.diameter);
        ASSERT_NE(at, sizes.end());
        if (at != sizes.begin()) lighter.push_back({*(at - 1), f.after.count, 0, 0, 0});
      }
      const FaceLimits l = FaceLimitsOf(proposed, f);
      for (const BarChoice& c : lighter) {
        SCOPED_TRACE(Format("member %d face %d stirrups %d: %d x %g", f.member, f.inner, f.stirrups,
                            c.diameter, c.count));
        const bool allowed =
            f.stirrups || ChoiceAllowed(c, s.md, f.joint, l.thickness, l.centre_cover,
                                        l.min_clear_cover, l.sigma_ck, l.fyk, {});
        if (!allowed) continue;
        ProjectState trial = proposed;
        ApplyFaceChoice(trial, s.md, f, c);
        EXPECT_FALSE(MemberChecksPass(trial, s.md, s.run));
        ++tried;
      }
    }
    EXPECT_GT(tried, 0);
  }
}

// The stand's top slab (member 3), inner face, by hand. At its governing
// row of the normal combination (the row with the inner face in tension and
// the largest σs) the steel a cracked section without axial force and
// without compression steel needs for σs = σsa:
//   ρ = As / (b·d), k = √(2nρ + (nρ)²) − nρ, j = 1 − k/3 (n = 15),
//   σs = M / (As · j · d)  →  the As with σs = σsa, found by bisection.
// The proposal's area must reach it and one bar fewer must not (within 4 %
// for the axial force and the compression steel the check includes).
TEST(Design, TheStandTopSlabAgainstTheAllowableStressByHand) {
  SampleRun s("stand_two_slabs.vt1");
  ASSERT_TRUE(s.run.members_checked);
  const DesignProposal p = ProposeReinforcement(s.state, s.md, s.run);
  const DesignFace* face = nullptr;
  for (const DesignFace& f : p.faces)
    if (!f.stirrups && !f.joint && f.inner &&
        std::find(f.members.begin(), f.members.end(), 3) != f.members.end())
      face = &f;
  ASSERT_NE(face, nullptr);
  ProjectState proposed = s.state;
  ApplyProposal(proposed, s.md, p);
  CalcRun run = s.run;
  RecheckMembers(proposed, s.md, run);
  const CheckPointRecord* gov = nullptr;
  for (int m : face->members) {
    const MemberCheckTable& tb = run.checks.At(0, m);
    for (int r = 1; r <= LastCheckedRow(tb); ++r) {
      const CheckPointRecord& row = tb.Row(r);
      if ((row.check_bits & kCheckBending) && row.M >= 0 &&
          (!gov || row.sigma_s_inner > gov->sigma_s_inner))
        gov = &row;
    }
  }
  ASSERT_NE(gov, nullptr);
  const double b = gov->k[4], d = gov->k[19], M = std::fabs(gov->M) * 1e6, sa = gov->sigma_sa;
  ASSERT_GT(d, 0);
  auto sigma_s = [&](double As) {
    const double np = 15 * As / (b * d);
    const double k = std::sqrt(2 * np + np * np) - np;
    return M / (As * (1 - k / 3) * d);
  };
  double lo = 1, hi = 1e5;
  for (int i = 0; i < 200; ++i) (sigma_s((lo + hi) / 2) > sa ? lo : hi) = (lo + hi) / 2;
  const double required = hi;
  const double proposed_as = face->as_after;
  const BarChoice fewer{face->after.diameter, face->after.count - 1, 0, 0, 0};
  const double fewer_as = ChoiceArea(fewer, s.md, false);
  std::printf(
      "member 3 inner: M %.2f kNm, N %.2f kN, b %.0f, d %.0f, σsa %.0f: required "
      "%.0f mm2, proposed %s = %.0f, one fewer %.0f\n",
      gov->M, gov->N, b, d, sa, required, face->after.diameter ? "" : "-", proposed_as, fewer_as);
  EXPECT_GE(proposed_as, 0.96 * required);
  // Unless a detailing limit, not the stress, set the area.
  const FaceLimits l = FaceLimitsOf(proposed, *face);
  if (ChoiceAllowed(fewer, s.md, false, l.thickness, l.centre_cover, l.min_clear_cover, l.sigma_ck,
                    l.fyk, {})) {
    EXPECT_LT(fewer_as, 1.04 * required);
  }
}

// The detailing limits of a face 200 mm thick, cover to the bar centre
// 37 mm (Kp 30 + 7 for a D13), effective depth 163 mm, σck 24, fyk 345:
// - D13 fits: clear cover 37 − 6.5 = 30.5 ≥ max(30, 13); D16 does not:
//   37 − 8 = 29 < 30.
// - spacing: clear spacing ≥ max(20, 13, 4/3·20 = 26.7) → 1000/n − 13 ≥
//   26.7 → n ≤ 25; centre spacing ≤ min(300, 2·200) → n ≥ 4 (250 mm).
// - least ratio 0.2 %: As ≥ 0.002·1000·163 = 326 mm² → D13 × 3 = 380 would
//   do, but n ≥ 4 already; D10 × 5 = 357 ≥ 326, D10 × 4 = 285 < 326.
// - largest: 0.75 ρb, ρb = 0.68·(24/1.3)/345·700/1045 = 0.02437 →
//   As ≤ 0.75·0.02437·163000 = 2979 mm²: D13 × 23 = 2914 passes, × 24 =
//   3041 does not (and the spacing allows 25).
TEST(Design, DetailingLimitsByHand) {
  SampleRun s("stand_two_slabs.vt1", false, [](ProjectState&) {});
  const DetailingLimits lim;
  struct Case {
    int d;
    double n;
    bool allowed;
  } cases[] = {{13, 4, true},  {13, 3, false}, {16, 8, false},  {10, 5, true},
               {10, 4, false}, {13, 23, true}, {13, 24, false}, {13, 25, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(Format("D%d x %g", c.d, c.n));
    EXPECT_EQ(ChoiceAllowed({c.d, c.n, 0, 0, 0}, s.md, false, 200, 37, 30, 24, 345, lim),
              c.allowed);
  }
  // The list: lightest first, all allowed, the first the least area allowed.
  const std::vector<BarChoice> all = AllowedChoices(s.md, false, 200, 37, 30, 24, 345, lim);
  ASSERT_FALSE(all.empty());
  EXPECT_EQ(all.front(), (BarChoice{10, 5, 0, 0, 0}));  // 357 mm², the least above 326
  for (std::size_t i = 1; i < all.size(); ++i)
    EXPECT_LE(ChoiceArea(all[i - 1], s.md, false), ChoiceArea(all[i], s.md, false));
}

}  // namespace
}  // namespace vaultra
