#include "checks/member_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>
#include <vector>

#include "app/calc/check_inputs.h"
#include "app/document/project_state.h"
#include "core/number.h"

namespace vaultra {
namespace {

// A one-member transverse model (type 4, stand layout, 2 m long) with five
// output points and the three combinations after one load case.
struct Fixture {
  StructureModel model;
  BlockRow row;
  MasterData md;
  AnalysisResults res;
  MemberCheckInput in;

  explicit Fixture(int type = 4, int mirrored = 0) {
    model.member_count = 1;
    ModelMember& m = model.Member(1);
    m.number = 1;
    m.block = 1;
    m.type = type;
    m.length = 2.0;
    m.mirrored = mirrored;
    m.points = {0, 0, 0, 0.2503, 0, 0, 0, 0.2504};  // h/2 from each end
    MemberSection& s = model.Section(1);
    s.Current(1) = s.Current(2) = 500;
    s.Current(4) = 1000;
    s.Current(10) = s.Current(18) = 50;
    s.Current(14) = 20;  // inner layer 1: 4 bars of 5.00 cm2
    s.Current(15) = 4;
    md.area_by_diameter[20] = 5.0;
    res.Allocate(2, 1);
    res.max_load_case = 1;
    res.load_case_count = 1;
    res.combination_count = 3;
    const double xs[5] = {0, 0.25, 1.0, 1.75, 2.0};
    for (int c = 2; c <= 4; ++c) {
      MemberCaseResult& v = res.At(c, 1);
      v.count = 5;
      for (int p = 1; p <= 5; ++p) v.points[p] = {xs[p - 1], 10.0 * p, 20.0 * p, 0, 0};
      v.max_index = 6;
      v.refined = {1.0, 200, 100, 0, 0, 0};
    }
    res.At(2, 1).points[3] = {1.0, 200, 100, 0, 0};
    CheckMaterial mat;
    mat.sigma_ck = 24;
    mat.normal = {14, 0.55, 160};
    mat.seismic = {21, 0.825, 240};
    mat.fck = 24;
    mat.fyk = 345;
    mat.fwyk = 240;
    mat.Ec = 25000;
    mat.Es = 200000;
    in.materials = {mat, mat, mat, mat};
    in.factors[2].f = {1.3, 1.0, 1.1, 1.3, 1.1, 1, 1, 1, 1, 1, 1, 1, 1.2};
  }
  MemberCheckTables Run() {
    MemberCheckTables t;
    const std::string msg = CheckMembers(res, model, row, md, in, t);
    EXPECT_EQ(msg, "");
    return t;
  }
};

// Singly reinforced b = 1000, d = 450, As = 2000, n = 15 under M = 200 kN·m:
// k = 0.5155, j = 1 − k/3 = 0.898494 (textbook k-j method).
constexpr double kSigmaS = 247.33;  // M / (As j d), rounded to 0.01
constexpr double kSigmaC = 7.2195;  // 2M / (k j b d²)
constexpr double kJ = 0.898494;

TEST(MemberChecks, RowStressesMatchTheTextbookSection) {
  Fixture f;
  MemberCheckTables t = f.Run();
  const MemberCheckTable& tb = t.At(0, 1);
  EXPECT_EQ(tb.count, 5);
  EXPECT_DOUBLE_EQ(f.model.Section(1).Current(20), 2000);  // 4 × 5.00 cm2
  const CheckPointRecord& r = tb.Row(3);
  EXPECT_EQ(r.check_bits, kCheckBending | kCheckShear);
  EXPECT_DOUBLE_EQ(r.x, 1.0);
  EXPECT_DOUBLE_EQ(r.sigma_s_inner, kSigmaS);
  EXPECT_NEAR(r.sigma_c, kSigmaC, 1e-3);
  EXPECT_DOUBLE_EQ(r.tau, RoundTo3(100e3 / (1000 * kJ * 450)));  // 0.247
  EXPECT_DOUBLE_EQ(r.ratio_flexure, kSigmaS / 160);
  EXPECT_TRUE(r.ng);
  // The maximum row takes the refined maximum and is checked for bending only.
  const CheckPointRecord& mx = tb.Row(6);
  EXPECT_DOUBLE_EQ(mx.M, 200);
  EXPECT_EQ(mx.check_bits, kCheckBending);
  EXPECT_DOUBLE_EQ(mx.sigma_s_inner, kSigmaS);
  // Level 1 uses the seismic allowables on the same forces.
  EXPECT_DOUBLE_EQ(t.At(1, 1).Row(6).ratio_flexure, kSigmaS / 240);
}

TEST(MemberChecks, PointsOfInterestAreFoundOnTheRoundedGrid) {
  Fixture f;
  // 0.2503 lies 0.0003 m from the printed position 0.250, 1.7496 likewise
  // from 1.750: both are output points on the 0.001 m grid.
  MemberCheckTables t = f.Run();
  EXPECT_EQ(t.At(0, 1).s[3], 2);
  EXPECT_EQ(t.At(0, 1).s[7], 4);
  // Rows by type 4 without the 2d-option: ends bending only, h/2 rows shear only.
  EXPECT_EQ(t.At(0, 1).Row(1).check_bits, kCheckBending);
  EXPECT_EQ(t.At(0, 1).Row(2).check_bits, kCheckShear);
  EXPECT_EQ(t.At(0, 1).Row(4).check_bits, kCheckShear);
  EXPECT_EQ(t.At(0, 1).Row(5).check_bits, kCheckBending);
  EXPECT_TRUE(t.At(0, 1).Row(2).shear_correction);

  MemberCaseResult v;
  v.count = 5;
  const double xs[5] = {0, 0.25, 1.0, 1.75, 2.0};
  for (int p = 1; p <= 5; ++p) v.points[p][0] = xs[p - 1];
  struct Case {
    double x;
    bool reversed;
    int want;
  } cases[] = {{0.2503, false, 2}, {0.2496, false, 2}, {0.2507, false, 0}, {1.0, true, 3},
               {0.25, true, 4},    {0.0, false, 0},    {2.0, false, 0}};  // ends are not points
  for (const Case& c : cases) EXPECT_EQ(FindPointAt(v, 5, c.x, c.reversed), c.want) << c.x;
}

TEST(MemberChecks, MirroredMemberReadsFromTheFarEnd) {
  Fixture f(4, 1);
  MemberCheckTables t = f.Run();
  const CheckPointRecord& r1 = t.At(0, 1).Row(1);
  EXPECT_DOUBLE_EQ(r1.x, 2.0 - 2.0);  // point 5 at 2.0, from the j-end
  EXPECT_DOUBLE_EQ(r1.M, 50);
  EXPECT_DOUBLE_EQ(t.At(0, 1).Row(2).M, 40);
  EXPECT_DOUBLE_EQ(t.At(0, 1).Row(2).x, 0.25);
  // s3 from L − 0.2504 counted reversed: point 4 → row 2.
  EXPECT_EQ(t.At(0, 1).s[3], 2);
}

TEST(MemberChecks, NonZeroOverridesReplaceTheComputedValues) {
  Fixture f;
  f.in.overrides.sigma_s = 100;
  f.in.overrides.tau_c = 1.0;
  f.in.overrides.Mud = 500;
  MemberCheckTables t = f.Run();
  const CheckPointRecord& r = t.At(0, 1).Row(3);
  EXPECT_DOUBLE_EQ(r.sigma_s_inner, 100);
  EXPECT_DOUBLE_EQ(r.ratio_flexure, 100.0 / 160);
  EXPECT_FALSE(r.ng_sigma_s);
  EXPECT_DOUBLE_EQ(r.tau, 1.0);
  EXPECT_TRUE(r.ng_shear);  // no stirrups: τa2 = τa1′ = 0.55
  EXPECT_DOUBLE_EQ(r.ratio_shear, 1.0 / 0.55);
  // Level 2: Mrd = 500 / 1.1, ratio = 1.2 · 200 / Mrd.
  const CheckPointRecord& l2 = t.At(2, 1).Row(6);
  EXPECT_DOUBLE_EQ(l2.Mud, 500);
  EXPECT_NEAR(l2.ratio_flexure, 1.2 * 200 / (500 / 1.1), 1e-12);
  EXPECT_FALSE(l2.ng_flexure);
  // Level 2 shear with Vcd = 300 kN at row 3 (S = 60 kN): 1.2 · 60 / 300.
  f.in.overrides = {};
  f.in.overrides.Vcd = 300;
  MemberCheckTables t2 = f.Run();
  EXPECT_DOUBLE_EQ(t2.At(2, 1).Row(3).Vcd, 300);
  EXPECT_NEAR(t2.At(2, 1).Row(3).ratio_shear, 1.2 * 60 / 300, 1e-12);
  // Zero overrides leave the rows as computed.
  f.in.overrides = {};
  EXPECT_DOUBLE_EQ(f.Run().At(0, 1).Row(3).sigma_s_inner, kSigmaS);
}

TEST(MemberChecks, HaunchThicknessByHand) {
  ThicknessProfile p{2.0, 0.3, 0.3, 0.3, 0.3, 0.25, 0.25, 0.1};
  EXPECT_NEAR(SectionHeightAt(p, 0.0), 0.333, 1e-12);  // 0.3 + 0.1/3
  EXPECT_NEAR(SectionHeightAt(p, 0.2), 0.317, 1e-12);  // 0.3 + 0.05/3
  EXPECT_NEAR(SectionHeightAt(p, 1.0), 0.300, 1e-12);
  EXPECT_NEAR(SectionHeightAt(p, 1.9), 0.333, 1e-12);  // min(0.15, eh) = 0.1
  EXPECT_NEAR(SectionHeightAt(p, 1.8), 0.317, 1e-12);  // (0.25 − 0.2)/3
  ThicknessProfile zero{};
  EXPECT_TRUE(std::isfinite(SectionHeightAt(zero, 0.5)));
}

TEST(MemberChecks, EndWallRowsTakeTheHaunchThickness) {
  // Stand side wall (type 1), a = b = 0.3, c = 0.3, e = 0.1, f = 0.3, g = 0:
  // h at x = 0 is 333 mm, inner cover grows by 33 mm.
  Fixture f(1);
  DimensionSet& s = f.row.At(1).working_set;
  s.a() = s.b() = 0.3;
  s.c() = 0.3;
  s.e() = 0.1;
  s.f() = 0.3;
  f.model.Section(1).Current(1) = f.model.Section(1).Current(2) = 300;
  MemberCheckTables t = f.Run();
  const CheckPointRecord& r1 = t.At(0, 1).Row(1);
  EXPECT_DOUBLE_EQ(r1.k[1], 333);
  EXPECT_DOUBLE_EQ(r1.k[18], 83);
  EXPECT_DOUBLE_EQ(r1.k[19], 250);
  EXPECT_DOUBLE_EQ(t.At(0, 1).Row(3).k[1], 300);
}

TEST(MemberChecks, DegenerateInputsGiveFiniteNumbersOrAMessage) {
  Fixture f;
  f.model.Section(1).Current(15) = 0;  // no reinforcement
  for (int c = 2; c <= 4; ++c) {
    for (auto& p : f.res.At(c, 1).points) p[1] = p[2] = p[3] = 0;
    f.res.At(c, 1).refined = {};
  }
  MemberCheckTables t = f.Run();
  for (int k = 0; k < 3; ++k)
    for (int p = 1; p <= 6; ++p) {
      const CheckPointRecord& r = t.At(k, 1).Row(p);
      for (double v : {r.sigma_c, r.sigma_s_inner, r.sigma_s_outer, r.tau, r.ratio, r.Mud, r.Vcd})
        EXPECT_TRUE(std::isfinite(v)) << k << " " << p;
    }
  // A model with more members than the results record is refused.
  f.model.member_count = 2;
  MemberCheckTables t2;
  EXPECT_NE(CheckMembers(f.res, f.model, f.row, f.md, f.in, t2), "");
  EXPECT_EQ(t2.member_count, 0);
  EXPECT_THROW(t2.At(3, 1), std::out_of_range);
  EXPECT_THROW(t2.At(0, 0), std::out_of_range);
}

TEST(CheckInputs, MaterialColumnsAndFactorsComeFromTheMaterialPage) {
  FormState f = DefaultMaterialForm();
  f.At("Kjn3").SetItems({" 24.00", " 30.00"});
  f.At("Kjn3").SetIndex(1);
  f.SetText("nSsa3", "180.00");
  f.SetText("Gi2", "1.15");
  const auto mats = CheckMaterialsFromForm(f);
  EXPECT_DOUBLE_EQ(mats[2].sigma_ck, 30);
  EXPECT_DOUBLE_EQ(mats[2].normal.sigma_sa, 180);
  EXPECT_DOUBLE_EQ(mats[0].seismic.tau_a1, 0.825);
  EXPECT_DOUBLE_EQ(mats[0].Es, 200000);
  EXPECT_DOUBLE_EQ(SafetyFactorsFromForm(f)[1].gamma_i(), 1.15);
}

}  // namespace
}  // namespace vaultra

namespace vaultra {
namespace {

TEST(MemberChecks, TwoDOptionCopiesThePositiveInnerRowIntoTheOuterRow) {
  Fixture f;
  f.in.two_d_option = true;
  f.model.Member(1).points = {0, 0.25, 1.0, 0, 0, 0, 0, 0};  // s1 → row 2, s2 → row 3
  MemberCheckTables t = f.Run();
  const CheckPointRecord& r2 = t.At(0, 1).Row(2);
  EXPECT_DOUBLE_EQ(r2.x, 1.0);
  EXPECT_DOUBLE_EQ(r2.M, 200);
  EXPECT_DOUBLE_EQ(r2.S, 100);
  EXPECT_EQ(r2.check_bits, kCheckShear);
  // Level 1 has M = 30 > 0 at row 3 too: the copy is made there as well.
  EXPECT_DOUBLE_EQ(t.At(1, 1).Row(2).M, 30);
}

TEST(MemberChecks, WallMaximumRowWithNegativeMomentIsNotCheckedForBending) {
  Fixture f(1);
  DimensionSet& s = f.row.At(1).working_set;
  s.a() = s.b() = 0.5;  // profile thickness equals H: no end change
  for (int c = 2; c <= 4; ++c) f.res.At(c, 1).refined = {1.0, -80, 10, 0, 0, 0};
  MemberCheckTables t = f.Run();
  EXPECT_EQ(t.At(0, 1).Row(6).check_bits, 0);
  EXPECT_DOUBLE_EQ(t.At(0, 1).Row(6).ratio, 0);
  // A positive maximum stays a bending row.
  f.res.At(2, 1).refined = {1.0, 80, 10, 0, 0, 0};
  EXPECT_EQ(f.Run().At(0, 1).Row(6).check_bits, kCheckBending);
}

TEST(MemberChecks, BoxShoulderRowsFollowTheWallOfTheSameRank) {
  Fixture f(11);
  f.in.layout = 1;
  f.row.At(1).working_set.a() = 0.5;
  f.model.member_count = 2;
  ModelMember& sh = f.model.Member(2);
  sh.number = 2;
  sh.block = 1;
  sh.type = 5;
  sh.length = 0.5;
  sh.points = {0, 0, 0, 0, 0, 0, 0, 0.25};  // j-end h/2 at 0.25 → point 2
  f.model.Section(2) = f.model.Section(1);
  AnalysisResults res;
  res.Allocate(2, 2);
  res.max_load_case = 1;
  for (int c = 2; c <= 4; ++c) {
    res.At(c, 1) = std::as_const(f.res).At(c, 1);
    MemberCaseResult& v = res.At(c, 2);
    v.count = 3;
    for (int p = 1; p <= 3; ++p) v.points[p] = {0.25 * (p - 1), -5.0 * p, 1, 0, 0};
    v.max_index = 4;
  }
  f.res = res;
  MemberCheckTables t = f.Run();
  const MemberCheckTable& w = t.At(0, 1);
  EXPECT_EQ(w.count, 8);
  EXPECT_DOUBLE_EQ(w.length, 2.5);
  EXPECT_DOUBLE_EQ(w.Row(7).x, 2.25);  // shoulder point 2 after the 2 m wall
  EXPECT_DOUBLE_EQ(w.Row(7).M, -10);
  EXPECT_EQ(w.Row(7).type_code, 11);
  EXPECT_EQ(w.s[7], 7);  // shoulder row 2 + former count 5
  EXPECT_EQ(w.max_index, 9);
  EXPECT_DOUBLE_EQ(w.Row(9).M, 200);  // the wall's refined maximum
  EXPECT_EQ(w.partner, 2);
  EXPECT_EQ(t.At(0, 2).partner, 1);
}

}  // namespace
}  // namespace vaultra

namespace vaultra {
namespace {

TEST(MemberChecks, CastInPlaceEndRowsTakeTheSmallerJointBars) {
  Fixture f(21);
  f.model.Section(1).Current(6) = 20;  // outer 4 × 5.00 cm2 = 2000 mm2
  f.model.Section(1).Current(7) = 4;
  // The joint record behind the last member, as the section records write
  // it: bolts like bars (k6/k7 outer, k14/k15 inner), areas in k12 and k20.
  MemberSection& js = f.model.Section(2);
  js.Current(6) = 16;  // three M16 outside: 600 mm2, less than the bars
  js.Current(7) = 3;
  js.Current(12) = 600;
  js.Current(14) = 16;  // twenty inside: 4000 mm2, more than the bars, not taken
  js.Current(15) = 20;
  js.Current(20) = 4000;
  MemberCheckTables t = f.Run();
  // Rows 1 and n take the joint bars; rows 2, 3, n − 2, n − 1 (here 2, 3, 3, 4)
  // take row 1's section values.
  for (int p = 1; p <= 5; ++p) {
    const CheckPointRecord& r = t.At(0, 1).Row(p);
    EXPECT_DOUBLE_EQ(r.k[12], 600) << p;
    EXPECT_DOUBLE_EQ(r.k[6], 16) << p;
    EXPECT_DOUBLE_EQ(r.k[7], 3) << p;
    EXPECT_EQ(r.outer_joint_bars, p == 1 || p == 5) << p;
    EXPECT_FALSE(r.inner_joint_bars) << p;
    EXPECT_DOUBLE_EQ(r.k[20], 2000) << p;
  }
  EXPECT_DOUBLE_EQ(t.At(0, 1).Row(6).k[12], 2000);  // the maximum row keeps the member's bars

  // Fewer inner bolts than bars: the inner face takes the bolts' area, not
  // nothing (the ends of a cast-in-place slab are not unreinforced).
  js.Current(15) = 2;
  js.Current(20) = 400;
  t = f.Run();
  for (int p : {1, 5}) {
    const CheckPointRecord& r = t.At(0, 1).Row(p);
    EXPECT_TRUE(r.inner_joint_bars) << p;
    EXPECT_DOUBLE_EQ(r.k[20], 400) << p;
    EXPECT_DOUBLE_EQ(r.k[14], 16) << p;
    EXPECT_DOUBLE_EQ(r.k[15], 2) << p;
  }
}

TEST(MemberCheckTables, SizedForTheModelWithTheCapacityAsLimit) {
  struct Case {
    int members;
    bool accepted;
    std::size_t tables;  // 3 combinations × (members + 1)
  } cases[] = {
      {0, true, 3},
      {28, true, 87},
      {kCheckTableMembers - 1, true, 3 * kCheckTableMembers},
      {kCheckTableMembers, false, 0},
      {-1, false, 0},
  };
  for (const Case& c : cases) {
    MemberCheckTables t;
    EXPECT_EQ(t.Reset(c.members), c.accepted) << c.members;
    EXPECT_EQ(t.tables.size(), c.tables) << c.members;
    EXPECT_EQ(t.member_count, c.accepted ? c.members : 0) << c.members;
    if (!c.accepted || c.members == 0) {
      EXPECT_THROW(t.At(0, 1), std::out_of_range) << c.members;
      continue;
    }
    // Every table of the model is there, none past it.
    EXPECT_NO_THROW(t.At(2, c.members)) << c.members;
    EXPECT_THROW(t.At(0, c.members + 1), std::out_of_range) << c.members;
    EXPECT_THROW(t.At(3, 1), std::out_of_range) << c.members;
    EXPECT_THROW(t.At(0, 0), std::out_of_range) << c.members;
  }
}

TEST(MemberCheckTables, ResetEmptiesTablesFilledBefore) {
  MemberCheckTables t;
  ASSERT_TRUE(t.Reset(3));
  t.At(1, 2).count = 5;
  t.At(1, 2).Row(4).ratio = 0.8;
  ASSERT_TRUE(t.Reset(2));
  EXPECT_EQ(t.At(1, 2).count, 0);
  EXPECT_EQ(t.At(1, 2).Row(4).ratio, 0.0);
  EXPECT_THROW(t.At(1, 3), std::out_of_range);
}

TEST(MemberCheckTables, RowsNotWrittenReadEmptyAndRowReferencesStayValid) {
  MemberCheckTable tb;
  const MemberCheckTable& view = tb;
  EXPECT_EQ(view.Row(kCheckTableRows).ratio, 0.0);  // nothing written: an empty record
  EXPECT_EQ(view.Row(5).check_bits, kCheckBending | kCheckShear);
  EXPECT_THROW(view.Row(kCheckTableRows + 1), std::out_of_range);
  EXPECT_THROW(tb.Row(-1), std::out_of_range);
  // A reference taken before a later row is made still names its row.
  CheckPointRecord& first = tb.Row(1);
  first.ratio = 0.25;
  first.label = "first";
  tb.Row(kCheckTableRows).ratio = 0.75;
  EXPECT_EQ(&first, &tb.Row(1));
  EXPECT_EQ(first.ratio, 0.25);
  EXPECT_EQ(view.Row(10).ratio, 0.0);  // made between, never written
  // A copy has its own rows, with the same values, and keeps the promise.
  MemberCheckTable copy = tb;
  CheckPointRecord& copied = copy.Row(1);
  copy.Row(kCheckTableRows).ratio = 0.5;
  EXPECT_EQ(&copied, &copy.Row(1));
  EXPECT_EQ(copied.label, "first");
  EXPECT_EQ(tb.Row(kCheckTableRows).ratio, 0.75);
  MemberCheckTable small;
  small.Row(2).ratio = 1.5;
  copy = small;  // fewer rows than before: the rest read empty again
  EXPECT_EQ(std::as_const(copy).Row(kCheckTableRows).ratio, 0.0);
  EXPECT_EQ(copy.Row(2).ratio, 1.5);
}

}  // namespace
}  // namespace vaultra

namespace vaultra {
namespace {

// The governing row: the first row of the largest ratio over the output
// points and the refined maximum after them; the check named is the one
// whose ratio is that row's ratio; a failing row below the largest ratio
// still makes the member fail; a ratio that is no number governs.
TEST(GoverningRow, TakesTheFirstLargestRatioAndNamesItsCheck) {
  struct Row {
    double flexure, shear, vmu;
    bool ng_sigma_c;
  };
  struct Case {
    const char* what;
    std::vector<Row> rows;  // rows 1.. (the last is the refined maximum)
    int row;
    GoverningCheck governs;
    bool failed;
    int largest_shear_row;
  } const cases[] = {
      {"shear at an unlabelled row",
       {{0.448, 0, 0, false}, {0.2, 0.909, 0, false}, {0.1, 0.3, 0, false}},
       2,
       GoverningCheck::kShear,
       false,
       2},
      {"a tie keeps the first",
       {{0.5, 0.1, 0, false}, {0.5, 0.2, 0, false}, {0.1, 0.1, 0, false}},
       1,
       GoverningCheck::kFlexure,
       false,
       2},
      {"capacity design",
       {{0.3, 0.8, 0.95, false}, {0.9, 0.1, 0, false}, {0, 0, 0, false}},
       1,
       GoverningCheck::kCapacityDesign,
       false,
       1},
      {"σc fails below a ratio of 1",
       {{0.4, 0, 0, true}, {0.6, 0.1, 0, false}, {0, 0, 0, false}},
       2,
       GoverningCheck::kFlexure,
       true,
       2},
      {"the refined maximum governs",
       {{0.4, 0, 0, false}, {0.1, 0.1, 0, false}, {1.2, 0, 0, false}},
       3,
       GoverningCheck::kFlexure,
       true,
       2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemberCheckTable tb;
    tb.count = static_cast<int>(c.rows.size()) - 1;
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
      CheckPointRecord& r = tb.Row(static_cast<int>(i) + 1);
      r.ratio_flexure = c.rows[i].flexure;
      r.ratio_shear = c.rows[i].shear;
      r.ratio_vmu = c.rows[i].vmu;
      r.ratio = std::max(r.ratio_flexure, r.ratio_shear);
      r.ng_sigma_c = c.rows[i].ng_sigma_c;
      r.ng = r.ng_sigma_c || r.ratio_flexure > 1;
    }
    const GoverningRow g = GoverningRowOf(tb);
    EXPECT_EQ(g.row, c.row);
    EXPECT_EQ(g.governs, c.governs);
    EXPECT_EQ(g.failed, c.failed);
    EXPECT_TRUE(g.finite);
    EXPECT_EQ(LargestRatioRow(tb, GoverningCheck::kShear), c.largest_shear_row);
  }
  MemberCheckTable tb;
  tb.count = 2;
  tb.Row(1).ratio = tb.Row(1).ratio_flexure = 2;
  tb.Row(2).ratio = NAN;
  const GoverningRow g = GoverningRowOf(tb);
  EXPECT_EQ(g.row, 2);
  EXPECT_FALSE(g.finite);
  EXPECT_TRUE(std::isnan(g.ratio));
}

}  // namespace
}  // namespace vaultra
