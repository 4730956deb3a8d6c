// A check whose inputs or results are no finite numbers is N.G.: a
// comparison with NaN is false, so "greater than the allowable" would
// otherwise pass it.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "app/calc/run_analysis.h"
#include "checks/check_point.h"
#include "checks/joint_check.h"

namespace vaultra {
namespace {

// H = 500, b = 1000, covers 50 mm, 2000 mm2 inner steel; a small moment the
// section carries with room to spare.
CheckPointRecord Row() {
  CheckPointRecord r;
  r.k[1] = r.k[2] = 500;
  r.k[4] = 1000;
  r.k[10] = r.k[18] = 50;
  r.k[20] = 2000;
  r.M = 20;
  r.S = 10;
  r.check_bits = kCheckBending | kCheckShear;
  return r;
}

CheckPointContext Context() {
  CheckPointContext c;
  c.material.sigma_ck = 24;
  c.material.normal = {14, 0.55, 160};
  c.material.seismic = {21, 0.825, 240};
  c.material.fck = 24;
  c.material.fyk = 345;
  c.material.fwyk = 240;
  c.material.Ec = 25000;
  c.material.Es = 200000;
  c.factors[0].f[1] = 0.833;
  c.factors[2].f = {1.3, 1.0, 1.1, 1.3, 1.1, 1, 1, 1, 1, 1, 1, 1, 1.2};
  c.Cs = 0.45;
  return c;
}

TEST(RobustChecks, ARowOfNumbersThatAreNoneIsNg) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* what;
    std::function<void(CheckPointRecord&, CheckPointContext&)> spoil;
  } cases[] = {
      {"NaN moment", [](CheckPointRecord& r, CheckPointContext&) { r.M = kNaN; }},
      {"infinite shear", [](CheckPointRecord& r, CheckPointContext&) { r.S = kInf; }},
      {"NaN steel area", [](CheckPointRecord& r, CheckPointContext&) { r.k[20] = kNaN; }},
      {"infinite height", [](CheckPointRecord& r, CheckPointContext&) { r.k[1] = kInf; }},
      {"NaN allowable stress",
       [](CheckPointRecord&, CheckPointContext& c) {
         c.material.normal = c.material.seismic = {kNaN, kNaN, kNaN};
         c.material.fck = kNaN;
       }},
      {"infinite modulus", [](CheckPointRecord&, CheckPointContext& c) { c.material.Es = kInf; }},
  };
  for (int kind : {kKindNormal, kKindLevel1, kKindLevel2}) {
    {
      CheckPointRecord r = Row();
      CheckPoint(r, kind, Context());
      EXPECT_FALSE(r.ng || r.ng_flexure) << "the sound row, kind " << kind;
      EXPECT_FALSE(r.not_finite);
    }
    for (const Case& c : cases) {
      CheckPointRecord r = Row();
      CheckPointContext ctx = Context();
      c.spoil(r, ctx);
      CheckPoint(r, kind, ctx);
      EXPECT_TRUE(r.not_finite) << c.what << ", kind " << kind;
      EXPECT_TRUE(r.ng) << c.what << ", kind " << kind;
      EXPECT_TRUE(r.ng_flexure) << c.what << ", kind " << kind;
      EXPECT_TRUE(std::isnan(r.ratio)) << c.what << ", kind " << kind;
      EXPECT_TRUE(RowFailed(r)) << c.what << ", kind " << kind;
    }
  }
}

TEST(RobustChecks, AMemberWithARatioThatIsNoNumberIsNotOk) {
  StructureModel model;
  model.member_count = 1;
  model.Member(1).type = 3;
  CalcRun run;
  run.transverse_ok = true;
  run.members_checked = true;
  run.checks.Reset(1);
  for (int k = 0; k < kCheckCombinations; ++k) {
    MemberCheckTable& tb = run.checks.At(k, 1);
    tb.count = 2;
    tb.Row(1).ratio = 0.5;
    tb.Row(2).ratio = k == 1 ? std::numeric_limits<double>::quiet_NaN() : 0.25;
  }
  const std::vector<MemberVerdict> v = MemberVerdicts(run, model);
  ASSERT_EQ(v.size(), 3u);
  EXPECT_TRUE(v[0].ok && v[0].finite);
  EXPECT_DOUBLE_EQ(v[0].ratio, 0.5);
  EXPECT_FALSE(v[1].ok);
  EXPECT_FALSE(v[1].finite);
  EXPECT_EQ(v[1].row, 2);
  EXPECT_TRUE(std::isnan(v[1].ratio));
  EXPECT_TRUE(v[2].ok);
}

TEST(RobustChecks, AJointWhoseForcesOrCapacityAreNoNumbersIsNg) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  // Na = (160 * 1.33 * 3.53 + 9 * 2000 * 100) / 1000 = 1800.75 kN in
  // compression, 0.75 kN in tension.
  struct Case {
    const char* what;
    double first, last, ps;
    bool ng_compression, ng_tension;
  } cases[] = {
      {"sound", -100, 0.5, 160, false, false},
      {"tension beyond", -100, 0.8, 160, false, true},
      {"NaN force", kNaN, 0.5, 160, true, true},
      {"NaN force last", -100, kNaN, 160, true, true},
      {"NaN bolt stress", -100, 0.5, kNaN, true, true},
  };
  for (const Case& c : cases) {
    TransverseJointInput in;
    in.Ps = c.ps;
    for (auto& level : in.members) level = {{19, c.first, c.last}, {3, kNaN, kNaN}};
    const TransverseJointResult r = CheckTransverseJoints(in);
    for (const TransverseJointLevel& l : r.level) {
      EXPECT_EQ(l.ng_compression, c.ng_compression) << c.what;
      EXPECT_EQ(l.ng_tension, c.ng_tension) << c.what;
    }
    EXPECT_EQ(r.ok(), !c.ng_compression && !c.ng_tension) << c.what;
  }
}

}  // namespace
}  // namespace vaultra
