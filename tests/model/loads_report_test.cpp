// The report breakdowns of the static tables and the rear-wheel zones,
// worked out by hand on a box of three boxes and on small soil columns.
#include <gtest/gtest.h>

#include <cmath>

#include "model/dimension_sets.h"
#include "model/geometry.h"
#include "model/pressure.h"

namespace vaultra {
namespace {

// Box of three boxes under 1.0 m of cover: B 2.0, H 1.5, a 0.2, c 0.25,
// f 0.2, g 0.15, h 0.1; slabs W 1.0, b 0.15, d 0.1.
// Top members and their x ranges (Y = 1.5 + (0.2 + 0.25)/2 = 1.725):
//   box 1 top 0 .. 2.2, seat 2.2 .. 2.4 (a/2 + (d + h)/2), slab 2.4 .. 3.2
//   (W − (d + h)), seat 3.2 .. 3.4, box 3 top 3.4 .. 5.6, seat 5.6 .. 5.8,
//   slab 5.8 .. 6.6, seat 6.6 .. 6.8, box 5 top 6.8 .. 9.0; W = 9.0.
struct ThreeBoxes {
  BlockRow row;
  StructureModel tm, lm;
  LoadsRecord lr;

  ThreeBoxes() {
    const FacilityInput in = testing::BoxFacility(1);
    EXPECT_TRUE(RebuildBlockRow(in, row, tm));
    EXPECT_TRUE(BuildBoxMembers(row, tm));
    ComputeMemberGeometry(in.layout, in, row, tm, lm);
    lr.kav = 0.5;
    lr.gamma_t = 18;
    lr.ps = lr.pb = 100;
  }
  int First(int type) const {
    for (int k = 1; k <= tm.member_count; ++k)
      if (tm.Member(k).type == type) return k;
    return 0;
  }
};

TEST(CoverGroups, BoxTopsAndSlabsByTheirTopFaceDepth) {
  ThreeBoxes b;
  ASSERT_NEAR(b.tm.frame_width, 9.0, 1e-9);
  std::vector<CoverGroup> groups;
  GroupCoverDepths(b.row, b.tm, groups);
  // Bottom axis 1.0 + 0.2/2 + 1.725 = 2.825 deep, ceiling 0.125 + 1.5 above
  // it: the top faces lie 1.2 − f = 1.0 m (box tops) and 1.2 − b = 1.05 m
  // (seats and slabs) deep. One box top per box, three members per slab span.
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0].depth_mm, 1000);
  EXPECT_EQ(groups[0].members, 3);
  EXPECT_EQ(groups[1].depth_mm, 1050);
  EXPECT_EQ(groups[1].members, 6);
  EXPECT_EQ(b.tm.Member(b.First(19)).cover_group, 2);
  EXPECT_EQ(b.tm.Member(b.First(8)).cover_group, 2);
  EXPECT_EQ(b.tm.Member(b.First(5)).cover_group, 0);  // shoulder drops carry no cover

  // Cover load per category from the backfill records (dry: one row each).
  std::vector<CoverRecord> cover;
  for (const CoverGroup& g : groups)
    cover.push_back(CoverPressureBackfill(b.lr, g.depth_mm, 99000));
  const double p1 = 0.5 * 18 * 1.0, p2 = 0.5 * 18 * 1.05;
  ASSERT_NEAR(cover[1].pv, p2, 1e-9);
  CoverLoadTable t = CoverLoadPerCategory(b.tm, cover);
  ASSERT_EQ(t.entries.size(), 3u);
  EXPECT_EQ(t.entries[0].name, "ブロック頂版");
  EXPECT_EQ(t.entries[0].count, 3);
  EXPECT_NEAR(t.entries[0].len, 2.2, 1e-9);
  EXPECT_NEAR(t.entries[0].force, 3 * p1 * 2.2, 1e-9);
  EXPECT_EQ(t.entries[1].name, "スラブ掛部");
  EXPECT_EQ(t.entries[1].count, 4);
  EXPECT_NEAR(t.entries[1].force, 4 * p2 * 0.2, 1e-9);
  EXPECT_EQ(t.entries[2].name, "頂版スラブ");
  EXPECT_EQ(t.entries[2].count, 2);
  const double total = 3 * p1 * 2.2 + 4 * p2 * 0.2 + 2 * p2 * 0.8;
  EXPECT_NEAR(t.total, total, 1e-9);
  EXPECT_NEAR(t.per_width, total / 9.0, 1e-9);
}

TEST(RearWheel, ZonesAndTheirReportTotals) {
  ThreeBoxes b;
  const std::vector<WheelZone> zones = RearWheelZones(kLayoutBox, b.row, b.tm, b.lr, 1.0);
  ASSERT_EQ(zones.size(), 5u);
  // Box tops: cover 1.0, w = 2.2, B = 2 < 4 so β = 0.9:
  // 2·100·1.3·0.9 / (2.75·2.2). Slabs: cover 1.0 − (0.15 − 0.2) = 1.05, w = 2.3.
  const double pb = 2 * 100 * 1.3 * 0.9 / (2.75 * 2.2);
  const double ps = 2 * 100 * 1.3 * 0.9 / (2.75 * 2.3);
  const double centre[] = {1.1, 2.8, 4.5, 6.2, 7.9};
  for (std::size_t i = 0; i < zones.size(); ++i) {
    const bool slab = i % 2 == 1;
    EXPECT_NEAR(zones[i].pw, slab ? ps : pb, 1e-9) << i;
    EXPECT_NEAR((zones[i].left + zones[i].right) / 2, centre[i], 1e-9) << i;
    EXPECT_NEAR(zones[i].right - zones[i].left, slab ? 2.3 : 2.2, 1e-9) << i;
  }
  RearWheelReport r = SummariseWheelZones(zones, b.tm.frame_width);
  ASSERT_EQ(r.entries.size(), 2u);
  EXPECT_EQ(r.entries[0].count, 3);
  EXPECT_EQ(r.entries[1].count, 2);
  const double total = 3 * pb * 2.2 + 2 * ps * 2.3;
  EXPECT_NEAR(r.total, total, 1e-9);
  EXPECT_NEAR(r.per_width, total / 9.0, 1e-9);

  // A zone reaching past the frame edge counts only its part inside, and
  // a wheel load other than 100 kN takes β = 1.
  b.lr.pb = 50;
  std::vector<WheelZone> wide = RearWheelZones(kLayoutBox, b.row, b.tm, b.lr, 2.0);
  const double p = 2 * 50 * 1.3 / (2.75 * 4.2);
  EXPECT_NEAR(wide[0].pw, p, 1e-9);
  RearWheelReport clipped = SummariseWheelZones({wide[0]}, 9.0);
  ASSERT_EQ(clipped.entries.size(), 1u);
  EXPECT_NEAR(clipped.entries[0].width, 1.1 + 2.1, 1e-9);  // [−1.0, 3.2] within [0, 9]
}

TEST(ReportRows, CoverSoilAndStaticEarthPressure) {
  LoadsRecord lr;
  lr.kav = 0.6;
  lr.kah = 0.5;
  lr.gamma_t = 18;
  lr.gamma_sub = 8;
  // Cover 1.2 m with water at 0.8 m: 0.6·0.8·18 above and 0.6·0.4·8 below.
  CoverSoilRows c = CoverSoil(lr, 1.2, 0.8);
  ASSERT_EQ(c.rows.size(), 2u);
  EXPECT_NEAR(c.rows[0].value, 8.64, 1e-9);
  EXPECT_NEAR(c.rows[1].value, 1.92, 1e-9);
  EXPECT_NEAR(c.total, 10.56, 1e-9);
  // Water below the cover: the submerged row has no thickness and is dropped.
  CoverSoilRows dry = CoverSoil(lr, 1.2, 3.0);
  ASSERT_EQ(dry.rows.size(), 1u);
  EXPECT_EQ(dry.rows[0].name, "埋戻土");
  EXPECT_NEAR(dry.total, 0.6 * 1.2 * 18, 1e-9);

  // Sides 1.5 .. 4.0 m deep. Water at 1.0 m, above the top: the rows run
  // to the water (γt), then to the top and to the bottom (γ′).
  StaticEarthRows above = StaticEarthPressure(lr, 1.5, 4.0, 1.0);
  EXPECT_EQ(above.case_mark, 2);
  ASSERT_EQ(above.rows.size(), 3u);
  EXPECT_EQ(above.rows[0].name, "地下水位");
  EXPECT_NEAR(above.rows[1].t, 0.5, 1e-12);
  EXPECT_NEAR(above.rows[2].sum, 0.5 * (18 * 1.0 + 8 * 0.5 + 8 * 2.5), 1e-9);
  // Water at 2.0 m, between top and bottom.
  StaticEarthRows between = StaticEarthPressure(lr, 1.5, 4.0, 2.0);
  EXPECT_EQ(between.case_mark, 3);
  EXPECT_EQ(between.rows[1].name, "地下水位");
  EXPECT_NEAR(between.rows[2].sum, 0.5 * (18 * 2.0 + 8 * 2.0), 1e-9);
  // Water below the structure: two dry rows.
  StaticEarthRows dry_sides = StaticEarthPressure(lr, 1.5, 4.0, 6.0);
  EXPECT_EQ(dry_sides.case_mark, 1);
  ASSERT_EQ(dry_sides.rows.size(), 2u);
  EXPECT_NEAR(dry_sides.rows[1].value, 0.5 * 18 * 2.5, 1e-9);
}

TEST(ReportRows, CoverShearAndInternalWater) {
  LoadsRecord lr;
  lr.kav = 1.0;
  lr.gamma_t = 18;
  lr.cohesion = 10;
  lr.friction = 30;
  // 1.5 m dry cover: σv = 27, s = 10 + 27·tan 30°.
  CoverRecord r = CoverPressureBackfill(lr, 1500, 99000);
  const double s = 10 + 27 * std::tan(3.14159265358979323846 / 6);
  EXPECT_NEAR(r.s, s, 1e-9);
  GroundQuantities g;
  g.cz = 0.7;
  g.cg = 0.8;
  g.k = {0.5, 0.6, 0.25};
  g.kh1 = 0.2 * 0.7 * 0.8 * 1.1;  // 0.1232
  g.kh2 = 0.3;                    // the floor of kh2 (Cs < 1), not KE2 = 0.25
  SetCoverShear(r, g);
  // The coefficients the frame's top-slab shear takes: kh1 and kh2 at the
  // cover's mid-depth, kh = (1 − 0.015·1.5/2)·k; τ = kh·27 < s.
  const double kh1 = (1 - 0.01125) * 0.1232;
  EXPECT_DOUBLE_EQ(r.shear[0].k, 0.1232);
  EXPECT_NEAR(r.shear[0].kh, kh1, 1e-12);
  EXPECT_NEAR(r.shear[0].governing, kh1 * 27, 1e-9);
  EXPECT_DOUBLE_EQ(r.shear[1].k, 0.3);
  EXPECT_NEAR(r.shear[1].tau, (1 - 0.01125) * 0.3 * 27, 1e-9);
  // A cohesionless, frictionless cover is limited by its strength 0.
  lr.cohesion = lr.friction = 0;
  CoverRecord weak = CoverPressureBackfill(lr, 1500, 99000);
  SetCoverShear(weak, g);
  EXPECT_EQ(weak.shear[1].governing, 0);

  ModelRecord model;
  model.water_level[0] = 1.2;
  model.water_level[2] = 0.5;
  StructureModel tm;
  tm.span_count = 3;
  tm.mean_span = 2.0;
  tm.frame_width = 7.5;
  const auto w = InternalWaterSummary(model, tm, 9.8);
  EXPECT_NEAR(w[0].floor, 1.2 * 9.8, 1e-12);
  EXPECT_NEAR(w[0].reaction, 3 * 2.0 * 1.2 * 9.8 / 7.5, 1e-12);
  EXPECT_EQ(w[1].floor, 0);
  EXPECT_NEAR(w[2].floor, 4.9, 1e-12);
}

}  // namespace
}  // namespace vaultra
