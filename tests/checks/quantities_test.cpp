// The quantities of one box block worked out by hand: the concrete from the
// dimension set, the bars of one member with their development lengths.
#include "checks/quantities.h"

#include <gtest/gtest.h>

#include "core/ui.h"
#include "model/geometry.h"

namespace vaultra {
namespace {

TEST(Quantities, OneBoxBlockByHand) {
  RecordingUi ui;
  const MasterData md = LoadMasterData(std::string(VAULTRA_SOURCE_DIR) + "/Master/材料/", ui);
  ASSERT_NEAR(md.BarAreaMm2(13), 126.7, 1e-9);
  ASSERT_NEAR(md.BarAreaMm2(16), 198.6, 1e-9);

  // A left end block: B 2.0, H 1.5, L 2.0, walls a 0.2, bottom c 0.25, top f 0.2.
  BlockRow row;
  DimensionSet& s = row.At(1).working_set;
  s.kind = kBlockLeftEnd;
  s.B() = 2.0;
  s.H() = 1.5;
  s.L() = 2.0;
  s.a() = 0.2;
  s.b() = 0.2;
  s.c() = 0.25;
  s.f() = 0.2;
  StructureModel model;
  model.block_count = 1;
  model.member_count = 1;
  ModelMember& m = model.Member(1);
  m.block = 1;
  m.type = 3;
  m.length = 2.0;
  MemberSection& sec = model.Section(1);
  sec.Current(0) = 2000;  // frame width 2 m
  sec.Current(1) = 200;
  sec.Current(6) = 13;  // outer D13 × 8 per metre
  sec.Current(7) = 8;
  sec.Current(14) = 16;  // inner D16 × 5 per metre
  sec.Current(15) = 5;
  QuantityInput in;
  in.layout = kLayoutBox;
  in.materials[0].sigma_ck = 24;
  in.materials[0].fyk = 345;

  const Quantities q = ComputeQuantities(model, row, md, in);
  ASSERT_EQ(q.blocks.size(), 1u);
  // Concrete: (B + 2a)(c + H + f) − B·H = 2.4 · 1.95 − 3.0 = 1.68 m²,
  // times L = 2.0: 3.36 m³.
  EXPECT_NEAR(q.blocks[0].area_m2, 1.68, 1e-9);
  EXPECT_NEAR(q.concrete_m3, 3.36, 1e-9);
  // Development length: fbod = 0.28 · 24^(2/3) / 1.3 = 0.28 · 8.3203 / 1.3
  // = 1.79206; ℓd = 345 / (4 · 1.79206) · φ = 48.129 φ: D13 625.7 mm,
  // D16 770.1 mm.
  EXPECT_NEAR(DevelopmentLength(13, 24, 345), 625.7, 0.1);
  EXPECT_NEAR(DevelopmentLength(16, 24, 345), 770.1, 0.1);
  // D13: 8 / m · 2 m = 16 bars of 2.0 + 0.6257 m = 42.011 m;
  //      42.011 · 126.7 mm² · 7850e-6 = 41.784 kg.
  // D16: 5 · 2 = 10 bars of 2.7701 m = 27.701 m; · 198.6 · 7850e-6 = 43.186 kg.
  ASSERT_EQ(q.facility.bars.count(13), 1u);
  EXPECT_NEAR(q.facility.bars.at(13).length_m, 42.011, 0.002);
  EXPECT_NEAR(q.facility.bars.at(13).mass_kg, 41.784, 0.003);
  EXPECT_NEAR(q.facility.bars.at(16).length_m, 27.701, 0.002);
  EXPECT_NEAR(q.facility.bars.at(16).mass_kg, 43.186, 0.003);
  EXPECT_NEAR(q.steel_kg, 84.970, 0.005);
  // The per-kind sum is the block's; the CSV names both sizes.
  EXPECT_NEAR(q.by_kind.at(kBlockLeftEnd).steel_kg, q.steel_kg, 1e-9);
  const std::string csv = QuantitiesCsv(q);
  EXPECT_NE(csv.find("D13_kg"), std::string::npos);
  EXPECT_NE(csv.find("facility,,,1.6800,2.000,3.3600,84.97"), std::string::npos) << csv;

  // Never shorter than 20 φ: σck 200 caps fbod at 3.2, and fyk 200 gives
  // 200 / 12.8 = 15.6 φ.
  EXPECT_NEAR(DevelopmentLength(13, 200, 200), 20 * 13, 1e-9);
}

}  // namespace
}  // namespace vaultra
