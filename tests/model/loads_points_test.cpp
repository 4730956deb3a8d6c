// Points of interest of a stand frame worked out by hand.
#include <gtest/gtest.h>

#include "model/points_of_interest.h"

namespace vaultra {
namespace {

TEST(StandPoints, HalfDepthAndTwoDAtTheWallEnds) {
  BlockRow row;
  DimensionSet& lb = row.At(1).working_set;  // e 0.15, a 0.2, c 0.3, b 0.25, g 0.1
  lb.kind = kBlockLeftEnd;
  lb.e() = 0.15;
  lb.a() = 0.2;
  lb.c() = 0.3;
  lb.b() = 0.25;
  lb.g() = 0.1;
  DimensionSet& sl = row.At(2).working_set;
  sl.kind = kBlockSlab;
  sl.b() = 0.2;
  StructureModel tm;
  tm.left_end_block = 1;
  tm.first_slab_block = 2;
  tm.member_count = 3;
  auto member = [&](int k, int type, int block, double len) {
    ModelMember& m = tm.Member(k);
    m.number = k;
    m.type = type;
    m.block = block;
    m.length = len;
    tm.Section(k).Current(10) = 50;
    tm.Section(k).Current(18) = 70;
  };
  member(1, 1, 1, 1.7);
  member(2, 16, 1, 0.2);
  member(3, 19, 2, 3.0);

  SetStandPointsOfInterest(row, tm, false);
  const auto& p1 = tm.Member(1).points;
  EXPECT_DOUBLE_EQ(p1[kPoiHaunchI], 0.15);
  EXPECT_NEAR(p1[kPoiHalfI], (0.15 + 0.3 + 0.25) / 2, 1e-12);       // (E + C + Bw)/2
  EXPECT_NEAR(p1[kPoiHalfJ], 0.1 + (0.15 + 0.2 + 0.2) / 2, 1e-12);  // G + (E + Bs + A)/2
  EXPECT_EQ(p1[kPoiOuterI], 0);
  // The short overhang caps h/2 = (E + C + Di)/2 = 0.325 at its length.
  EXPECT_NEAR(tm.Member(2).points[kPoiHalfI], 0.2, 1e-12);
  EXPECT_NEAR(tm.Member(3).points[kPoiHalfJ], 0.1, 1e-12);
  EXPECT_EQ(tm.Member(1).poi_flag, 1);

  SetStandPointsOfInterest(row, tm, true);
  EXPECT_NEAR(p1[kPoiOuterI], 2 * (0.25 - 0.05), 1e-12);
  EXPECT_NEAR(p1[kPoiInnerI], 2 * (0.25 - 0.07), 1e-12);
  EXPECT_NEAR(p1[kPoiOuterJ], 2 * (0.2 - 0.05), 1e-12);
  EXPECT_EQ(p1[kPoiHalfI], 0);
}

}  // namespace
}  // namespace vaultra
