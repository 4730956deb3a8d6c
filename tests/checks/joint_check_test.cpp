// The transverse joint check and the derived joint values by hand numbers.
#include "checks/joint_check.h"

#include <gtest/gtest.h>

#include "inputs/master_data.h"
#include "checks/end_wall.h"

namespace vaultra {
namespace {

TEST(JointCheckTest, TransverseJointByHand) {
  // Na(compression) = (160·2·353 + 9·2000·100)·0.001 = 1912.96 kN,
  // Na(tension) = 112.96 kN.
  TransverseJointInput in;
  in.Ps = 160;
  in.nB = 2;
  in.AB = 353;
  in.sigma_ga = 9;
  in.Ac = 2000;
  // L1: top slabs −120 … 30 (a block top member of type 3 does not count).
  in.members[0] = {{19, -50, 30}, {20, -120, 10}, {3, -5000, 9000}};
  // L2: −2000 and 150 exceed both allowables.
  in.members[1] = {{19, -2000, 150}, {20, 5, 8}, {12, -9000, 9000}};
  const TransverseJointResult r = CheckTransverseJoints(in);
  EXPECT_NEAR(r.na_compression, 1912.96, 1e-9);
  EXPECT_NEAR(r.na_tension, 112.96, 1e-9);
  EXPECT_EQ(r.level[0].nmax_compression, 120);
  EXPECT_EQ(r.level[0].nmax_tension, 30);
  EXPECT_FALSE(r.level[0].ng_compression);
  EXPECT_FALSE(r.level[0].ng_tension);
  EXPECT_TRUE(r.level[1].ng_compression);
  EXPECT_TRUE(r.level[1].ng_tension);
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.labels[0], "Lv1.圧縮     1913.0      120.0   O.K.");
  EXPECT_EQ(r.labels[1], "Lv1.引張      113.0       30.0   O.K.");
  EXPECT_EQ(r.labels[2], "Lv2.圧縮     1913.0     2000.0   N.G.");
  EXPECT_EQ(r.labels[3], "Lv2.引張      113.0      150.0   N.G.");
  EXPECT_EQ(r.colours[0], 0xFF0000);
  EXPECT_EQ(r.colours[2], 255);
  EXPECT_EQ(r.colours[3], 255);
}

TEST(JointCheckTest, OneSignedForcesGiveZeroOfTheOtherKind) {
  TransverseJointInput in;
  in.members[0] = {{19, 40, 60}};    // all tension: no compression
  in.members[1] = {{20, -40, -60}};  // all compression: no tension
  const TransverseJointResult r = CheckTransverseJoints(in);
  EXPECT_EQ(r.level[0].nmax_compression, 0);
  EXPECT_EQ(r.level[0].nmax_tension, 60);
  EXPECT_EQ(r.level[1].nmax_compression, 60);
  EXPECT_EQ(r.level[1].nmax_tension, 0);
  // Equal to the allowable is satisfied (fails only when Na < N-max).
  in.Ps = 100;
  in.nB = 1;
  in.AB = 600;  // Na(tension) = 60
  EXPECT_FALSE(CheckTransverseJoints(in).level[0].ng_tension);
  // No top-slab member at all: nothing acts.
  EXPECT_TRUE(CheckTransverseJoints(TransverseJointInput{}).ok());
}

TEST(JointCheckTest, LongitudinalErrorTexts) {
  EXPECT_EQ(JointErrors({true, true}, {true, true}).err_pc, "");
  EXPECT_EQ(JointErrors({false, true}, {true, true}).err_pc, "縦方向耐力エラー");
  EXPECT_EQ(JointErrors({false, false}, {true, false}).err_pc, "縦方向耐力エラー縦方向耐力エラー");
  EXPECT_EQ(JointErrors({false, false}, {true, false}).err_bosui, "防水性能エラー");
  EXPECT_EQ(JointErrors({false, false}, {false, false}).err_bolt, "");
}

TEST(JointCheckTest, PreparationStep) {
  // Box block 2.0 × 1.5 outside with a 1.2 × 0.9 opening: 3.0 − 1.08 = 1.92
  // m²; a slab block (kind 6) is ignored. γc 24.5, L = 2: 94.08 kN.
  BlockShape box{
      1, {{0, 0}, {2, 0}, {2, 1.5}, {0, 1.5}}, {{0.4, 0.3}, {1.6, 0.3}, {1.6, 1.2}, {0.4, 1.2}}};
  BlockShape slab{6, {{0, 0}, {9, 0}, {9, 9}, {0, 9}}, {}};
  BlockShape small{2, {{0, 0}, {1, 0}, {1, 1}}, {}};
  EXPECT_NEAR(LargestBlockWeight({box, slab, small}, true, 24.5, 2), 1.92 * 24.5 * 2, 1e-9);
  // Stand blocks have no opening to subtract: a T-shaped outline (clockwise).
  BlockShape stand{
      1, {{0, 0}, {0, 2}, {-0.5, 2}, {-0.5, 2.3}, {1.0, 2.3}, {1.0, 2}, {0.3, 2}, {0.3, 0}}, {}};
  EXPECT_NEAR(LargestBlockWeight({stand}, false, 24.5, 1), (0.6 + 0.45) * 24.5, 1e-9);
  // Po = 94.08·1000/(2·132.7); Ap = 0 divides by 0.1.
  EXPECT_NEAR(InitialTensileStress(94.08, 132.7), 94080 / 265.4, 1e-9);
  EXPECT_NEAR(InitialTensileStress(94.08, 0), 940800, 1e-6);
  EXPECT_NEAR(InitialTensileStress(94.08, 0.04), 940800, 1e-6);
}

MasterData Catalogue() {
  MasterData md;
  md.bolt_types.Add({"SS330", 120, 0});
  md.bolt_types.Add({"SS400", 140, 0});
  md.bolt_types.Add({"", 0, 0});
  md.bolt_types.Add({"SUS", 150, 0});  // behind the terminator
  md.bolt_sizes.Add({"M20", 2.448, 40});
  md.bolt_sizes.Add({"M24", 3.525, 60});
  MaterialClass mortar18{5, 18, "", {}};
  mortar18.values[5] = 8.0;  // column 9
  MaterialClass concrete{1, 24, "SD345", {}};
  MaterialClass mortar20{5, 20, "", {}};
  mortar20.values[5] = 9.5;
  md.materials.Add(mortar18);
  md.materials.Add(concrete);
  md.materials.Add(mortar20);
  md.pc_strengths.Add({"SBPR930/1080", 930, 1080});
  md.pc_strengths.Add({"SBPR1080/1230", 1080, 1230});
  md.pc_sizes.Add({9.2, 66.48});
  md.pc_sizes.Add({13.0, 132.7});
  md.pc_sizes.Add({0, 0});
  md.pc_sizes.Add({17.0, 227.0});
  md.rebar_sizes.Add({"D10", 0.7133, 0});
  md.rebar_sizes.Add({"D13", 1.267, 0});
  md.rebar_sizes.Add({"D16", 1.986, 0});
  md.rebar_sizes.Add({"M12", 0.843, 0});
  md.rebar_sizes.Add({"D19", 2.865, 0});
  return md;
}

TEST(JointCheckTest, ListsFromTheMaster) {
  const MasterData md = Catalogue();
  const JointLists l = BuildJointLists(md);
  EXPECT_EQ(l.bolt_types, (std::vector<std::string>{" SS330", " SS400"}));
  EXPECT_EQ(l.bolt_sizes, (std::vector<std::string>{" M20", " M24"}));
  EXPECT_EQ(l.mortar, (std::vector<std::string>{"   18.00", "   20.00"}));
  EXPECT_EQ(l.pc_sizes, (std::vector<std::string>{"  9.2 mm", " 13.0 mm"}));
  EXPECT_EQ(l.rebar_sizes, (std::vector<std::string>{" D10", " D13", " D16"}));
  // List changes.
  EXPECT_EQ(BoltShearStress(md, 1), 140);
  EXPECT_NEAR(BoltArea(md, 1), 352.5, 1e-9);
  EXPECT_EQ(MortarStress(md, l.mortar[1]), 9.5);
  EXPECT_FALSE(MortarStress(md, "  21.00").has_value());
  EXPECT_EQ(PcStrengths(md, 1), (std::pair<double, double>{1080, 1230}));
  EXPECT_NEAR(DistributionBarArea(md, 1), 126.7, 1e-9);
  EXPECT_EQ(ConnectingBoltForce(md, 0), 40);
  EXPECT_EQ(AnchorPerimeter(" D16"), 50);  // 10·RoundTo0(4.8016)
  EXPECT_EQ(AnchorPerimeter(" D13"), 40);  // 10·RoundTo0(3.9013)
  // Out of range reads as an empty record.
  EXPECT_EQ(BoltShearStress(md, 40), 0);
}

TEST(JointCheckTest, JointDefaultsFollowTheLayout) {
  const MasterData md = Catalogue();
  const JointLists l = BuildJointLists(md);
  for (bool box : {true, false}) {
    JointDefaults f;
    f.pc_kind = 1;
    ResetJointDefaults(f, md, l, box, 2.0, 1800);
    EXPECT_EQ(f.bolt_type, 1);
    EXPECT_EQ(f.Ps, 140);
    EXPECT_EQ(f.bolt_size, 1);
    EXPECT_NEAR(f.AB, 352.5, 1e-9);
    EXPECT_EQ(f.nB, 2.0);
    EXPECT_EQ(f.mortar, 1);
    EXPECT_EQ(f.sigma_ga, 9.5);
    EXPECT_EQ(f.Ac, 1800);
    EXPECT_EQ(f.Ppu, 1080);
    EXPECT_EQ(f.Ppy, 1230);
    EXPECT_EQ(f.pc_size, 1);  // "13.0 mm"
    EXPECT_EQ(f.Ap, 132.7);
    EXPECT_EQ(f.np, box ? 4 : 3);
    EXPECT_EQ(f.dist_bar, 1);
    EXPECT_NEAR(f.As, 126.7, 1e-9);
  }
  JointDefaults f;
  ResetJointDefaults(f, md, l, true, 1.5, 1800);
  EXPECT_EQ(f.nB, 1.33);
  // A catalogue without the wanted items keeps the previous values.
  JointDefaults g;
  g.Ps = 123;
  ResetJointDefaults(g, MasterData{}, BuildJointLists(MasterData{}), true, 2, 1000);
  EXPECT_EQ(g.Ps, 123);
  EXPECT_EQ(g.bolt_type, -1);
}

TEST(JointCheckTest, EffectiveAreaAndDistributionBars) {
  BlockRow row;
  row.At(1).working_set.kind = 1;
  row.At(1).working_set.f() = 0.25;
  row.At(2).working_set.kind = 6;
  row.At(2).working_set.b() = 0.18;
  row.At(3).working_set.kind = 3;
  row.At(3).working_set.b() = 0.01;  // not a slab
  EXPECT_NEAR(JointEffectiveArea(row, 3), 1800, 1e-9);
  row.At(2).working_set.b() = 0.4;
  EXPECT_NEAR(JointEffectiveArea(row, 3), 2500, 1e-9);
  // Zones 4, 5: B = 1.2 → 2·RoundTo0(3.4999) = 6; B = 2.1 → 2·RoundTo0(6.4999) = 12.
  row.At(4).working_set.kind = 7;
  row.At(4).working_set.B() = 1.2;
  row.At(5).working_set.kind = 7;
  row.At(5).working_set.B() = 2.1;
  EXPECT_EQ(DistributionBarCount(row, 4, 5), 12);
  EXPECT_EQ(DistributionBarCount(row, 4, 4), 6);
  row.At(4).working_set.B() = 0.2;  // 2·RoundTo0(0.1666) = 0 → at least 1
  EXPECT_EQ(DistributionBarCount(row, 4, 4), 1);
  EXPECT_FALSE(DistributionBarCount(row, 4, 3).has_value());
}

TEST(JointCheckTest, EndWallDefaultsOfAProductChange) {
  EndWallRecord rec;
  rec.thickness_upper = 0.3;
  rec.entries[0] = {16, 5, 13, 5};
  rec.entries[1] = {13, 4, 13, 4};
  rec.entries[3] = {19, 5, 0, 0};  // outer lower bar empty: kept
  const std::vector<std::string> items{" D10", " D13", " D16", " D19"};
  EndWallBars bars;
  bars.horizontal_outer[2] = {10, 8};
  std::array<int, 6> sel{-1, -1, -1, -1, -1, 0};
  // A stand facility with a 0.3 m upper end wall: two-way slab, covers 60.
  ResetEndWallDefaults(bars, sel, rec, false, rec.thickness_upper, items);
  EXPECT_EQ(bars.method, kEndWallMethodTwoWay);
  EXPECT_FALSE(bars.vertical_outside);
  EXPECT_EQ(bars.cover_inner, 60);
  EXPECT_EQ(bars.cover_outer, 60);
  EXPECT_EQ(sel, (std::array<int, 6>{2, 1, 1, 1, 3, 0}));
  EXPECT_EQ(bars.vertical_inner.diameter, 16);
  EXPECT_EQ(bars.vertical_outer.count, 5);
  EXPECT_EQ(bars.horizontal_inner[1].diameter, 13);  // middle follows upper
  EXPECT_EQ(bars.horizontal_inner[2].diameter, 19);
  EXPECT_EQ(bars.horizontal_outer[2].diameter, 10);
  EXPECT_EQ(bars.horizontal_outer[2].count, 8);
  // Just below 0.2995 m, and any box facility: simple beam, covers 50.
  ResetEndWallDefaults(bars, sel, rec, false, 0.2994, items);
  EXPECT_EQ(bars.method, kEndWallMethodSimpleBeam);
  EXPECT_TRUE(bars.vertical_outside);
  EXPECT_EQ(bars.cover_inner, 50);
  ResetEndWallDefaults(bars, sel, rec, true, 0.6, items);
  EXPECT_EQ(bars.method, kEndWallMethodSimpleBeam);
  EXPECT_EQ(bars.cover_outer, 50);
}

}  // namespace
}  // namespace vaultra
