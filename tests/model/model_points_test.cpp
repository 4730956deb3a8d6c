// Points of interest of both layouts, worked out by hand from the block
// dimensions of the test rows.
#include <gtest/gtest.h>

#include "dimension_sets.h"
#include "model/geometry.h"

namespace vaultra {
namespace {

using testing::Set;

struct Built {
  BlockRow row;
  StructureModel m;
  StructureModel lon;
};

Built Build(FacilityInput in) {
  Built b;
  EXPECT_TRUE(RebuildBlockRow(in, b.row, b.m));
  EXPECT_TRUE(in.layout == kLayoutBox ? BuildBoxMembers(b.row, b.m)
                                      : BuildStandMembers(b.row, b.m));
  ComputeMemberGeometry(in.layout, in, b.row, b.m, b.lon);
  return b;
}

FacilityInput Stand(bool two_d) {
  // e 0.1 (haunch), a 0.2, b 0.2, c 0.3, g 0.15; slab b 0.2.
  FacilityInput in;
  in.layout = kLayoutStand;
  in.top_slabs = 2;
  in.end_set = Set(1, {1.0, 1.5, 2.0, 0.2, 0.2, 0.3, 0.4, 0.1, 0.2, 0.15, 0});
  in.mid_set = in.end_set;
  in.mid_set.kind = 2;
  in.slab_set = Set(6, {3.0, 0, 2.0, 0, 0.2, 2.2, 0.1, 0, 0, 0, 0});
  in.shear_at_2d = two_d;
  return in;
}

FacilityInput Box(bool two_d) {
  // e 0, a 0.2, b 0.2, c 0.25, f 0.2, g 0.15.
  FacilityInput in;
  in.layout = kLayoutBox;
  in.centre_blocks = 1;
  in.end_set = Set(1, {2.0, 1.5, 2.0, 0.2, 0.2, 0.25, 0, 0, 0.2, 0.15, 0.1});
  in.mid_set = in.end_set;
  in.mid_set.kind = 2;
  in.slab_set = Set(6, {1.0, 0, 2.0, 0, 0.15, 0.8, 0.1, 0, 0, 0, 0});
  in.shear_at_2d = two_d;
  return in;
}

using Points = std::array<double, kMemberPoints>;

void ExpectPoints(const ModelMember& mb, const Points& expected) {
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_NEAR(mb.points[i], expected[i], 1e-9) << i;
}

TEST(StandPoints, HalfDepthOption) {
  Built b = Build(Stand(false));
  // Wall: i haunch E, h/2 (E + C + Bw)/2 = 0.3; j haunch E, h/2 G + (E + Bs + A)/2 = 0.4.
  ExpectPoints(b.m.Member(1), {0.1, 0, 0, 0.3, 0.1, 0, 0, 0.4});
  EXPECT_EQ(b.m.Member(1).poi_flag, 1);
  // Seat after the left wall: A/2; seat before an intermediate stand: Di/2.
  ExpectPoints(b.m.Member(2), {0.1, 0, 0, 0, 0, 0, 0, 0});
  ExpectPoints(b.m.Member(4), {0, 0, 0, 0, 0.1, 0, 0, 0});
  EXPECT_EQ(b.m.Member(2).poi_flag, 0);
  // Slab: b/2 at both ends.
  ExpectPoints(b.m.Member(3), {0, 0, 0, 0.1, 0, 0, 0, 0.1});
  // Right overhang (type 18) from its i-end: (E + C + Bw)/2 = 0.3.
  ExpectPoints(b.m.Member(9), {0.1, 0, 0, 0.3, 0, 0, 0, 0});
  // Intermediate stand: E + (C + Di)/2 = 0.35 and E + G + (Bs + Di)/2 = 0.45.
  ExpectPoints(b.m.Member(15), {0.1, 0, 0, 0.35, 0.1, 0, 0, 0.45});
  // Cast-in-place slab.
  ExpectPoints(b.m.Member(10), {0, 0.004, 0.002, 0, 0, 0.004, 0.002, 0});
}

TEST(StandPoints, TwoDOptionCapsOverhangsAtTheirLength) {
  Built b = Build(Stand(true));
  // No covers in the records: 2d(C) = 2 * 0.3 = 0.6, capped at the 0.5 m overhang.
  EXPECT_NEAR(b.m.Member(9).length, 0.5, 1e-9);
  ExpectPoints(b.m.Member(9), {0.1, 0.5, 0.5, 0, 0, 0, 0, 0});
  // Seats: inner 2d = 0.002.
  ExpectPoints(b.m.Member(2), {0, 0, 0.002, 0, 0, 0, 0, 0});
}

TEST(BoxPoints, HalfDepthOption) {
  Built b = Build(Box(false));
  // I = (E + C + Bw)/2 = 0.225, R = (E + F + A)/2 = 0.2, T = 0.2, l3 = 0.175.
  ExpectPoints(b.m.Member(1), {0, 0, 0, 0.225, 0, 0, 0, 0.2});
  // Shoulder drop of 0.175 m: h/2 = T = 0.2 is not below the length and is dropped.
  ExpectPoints(b.m.Member(3), Points{});
  // Inner wall 25 (mirrored, seat at the i-end): T - l3 = 0.025; bottom (E + A3 + C)/2.
  ExpectPoints(b.m.Member(25), {0, 0, 0, 0.025, 0, 0, 0, 0.225});
  ExpectPoints(b.m.Member(26), {0, 0, 0, 0.225, 0, 0, 0, 0.025});
  ExpectPoints(b.m.Member(16), {0, 0, 0, 0.225, 0, 0, 0, 0.225});
  ExpectPoints(b.m.Member(17), Points{});  // overhangs have none
  EXPECT_EQ(b.m.Member(16).poi_flag, 1);
  EXPECT_EQ(b.m.Member(17).poi_flag, 0);
  EXPECT_EQ(b.m.Member(25).poi_flag, 0);
}

}  // namespace
}  // namespace vaultra
