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
  FacilityInput in = testing::BoxFacility(1);
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

namespace vaultra {
namespace {

// A box of one centre box with haunches, every member's eight points by
// hand. Dimensions: end boxes e 0.05 (haunch E), a 0.2 (A), b 0.25 (Bw),
// c 0.25 (C), f 0.2 (F), g 0.15 (G); the centre box a 0.22 (A3); slabs
// b 0.15. Every section is 250 mm thick with covers 50 (outer) and 70
// (inner): 2d = 0.002·200 = 0.4 outer, 0.002·180 = 0.36 inner.
// The right shoulder drop of box 1 (member 3) falls (F + G)/2: ℓ3 = 0.175.
//   I = (E + C + Bw)/2 = 0.275  R = (E + F + A)/2 = 0.225
//   T = (E + F + A3)/2 = 0.235  box tops (E + F + Bw)/2 = 0.25
//   left shoulder drops (E + G + A3)/2 = 0.21, right ones T: both not below
//   ℓ = 0.175 and dropped, as are the 2d values; the haunch stays.
//   seats: A3/2 = 0.11 (never next to a wall: shoulder drops lie between).
//   inner walls, seat end (top): E − ℓ3 < 0 dropped, T − ℓ3 = 0.06,
//   2d − ℓ3 = 0.225 / 0.185; bottom end: E, (E + A3 + C)/2 = 0.26, 2d.
//   bottoms of the boxes: E and I at both ends; overhangs none; slabs b/2;
//   cast-in-place slabs 0.004 / 0.002 from both ends.
struct BoxMember {
  int type;
  Points half, two_d;
};

const BoxMember kOneCentreBox[] = {
    {1, {0.05, 0, 0, 0.275, 0.05, 0, 0, 0.225}, {0.05, 0.4, 0.36, 0, 0.05, 0.4, 0.36, 0}},
    {3, {0.05, 0, 0, 0.25, 0.05, 0, 0, 0.25}, {0.05, 0.4, 0.36, 0, 0.05, 0.4, 0.36, 0}},
    {6, {0.05, 0, 0, 0, 0, 0, 0, 0}, {0.05, 0, 0, 0, 0, 0, 0, 0}},
    {8, {0.11, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0.002, 0, 0, 0, 0, 0}},
    {19, {0, 0, 0, 0.075, 0, 0, 0, 0.075}, {0, 0, 0, 0.075, 0, 0, 0, 0.075}},
    {7, {0, 0, 0, 0, 0.11, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0.002, 0}},
    {5, {0, 0, 0, 0, 0.05, 0, 0, 0}, {0, 0, 0, 0, 0.05, 0, 0, 0}},
    {4, {0.05, 0, 0, 0.25, 0.05, 0, 0, 0.25}, {0.05, 0.4, 0.36, 0, 0.05, 0.4, 0.36, 0}},
    {6, {0.05, 0, 0, 0, 0, 0, 0, 0}, {0.05, 0, 0, 0, 0, 0, 0, 0}},
    {8, {0.11, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0.002, 0, 0, 0, 0, 0}},
    {19, {0, 0, 0, 0.075, 0, 0, 0, 0.075}, {0, 0, 0, 0.075, 0, 0, 0, 0.075}},
    {7, {0, 0, 0, 0, 0.11, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0.002, 0}},
    {5, {0, 0, 0, 0, 0.05, 0, 0, 0}, {0, 0, 0, 0, 0.05, 0, 0, 0}},
    {3, {0.05, 0, 0, 0.25, 0.05, 0, 0, 0.25}, {0.05, 0.4, 0.36, 0, 0.05, 0.4, 0.36, 0}},
    {2, {0.05, 0, 0, 0.225, 0.05, 0, 0, 0.275}, {0.05, 0.4, 0.36, 0, 0.05, 0.4, 0.36, 0}},
    {13, {0.05, 0, 0, 0.275, 0.05, 0, 0, 0.275}, {0.05, 0.4, 0.36, 0, 0.05, 0.4, 0.36, 0}},
    {18, {}, {}},
    {21, {0, 0.004, 0.002, 0, 0, 0.004, 0.002, 0}, {0, 0.004, 0.002, 0, 0, 0.004, 0.002, 0}},
    {17, {}, {}},
    {14, {0.05, 0, 0, 0.275, 0.05, 0, 0, 0.275}, {0.05, 0.4, 0.36, 0, 0.05, 0.4, 0.36, 0}},
    {16, {}, {}},
    {21, {0, 0.004, 0.002, 0, 0, 0.004, 0.002, 0}, {0, 0.004, 0.002, 0, 0, 0.004, 0.002, 0}},
    {15, {}, {}},
    {13, {0.05, 0, 0, 0.275, 0.05, 0, 0, 0.275}, {0.05, 0.4, 0.36, 0, 0.05, 0.4, 0.36, 0}},
    // Inner walls: odd ones run down from the seat (i-end on top), even ones up.
    {11, {0, 0, 0, 0.06, 0.05, 0, 0, 0.26}, {0, 0.225, 0.185, 0, 0.05, 0.4, 0.36, 0}},
    {12, {0.05, 0, 0, 0.26, 0, 0, 0, 0.06}, {0.05, 0.4, 0.36, 0, 0, 0.225, 0.185, 0}},
    {12, {0, 0, 0, 0.06, 0.05, 0, 0, 0.26}, {0, 0.225, 0.185, 0, 0.05, 0.4, 0.36, 0}},
    {11, {0.05, 0, 0, 0.26, 0, 0, 0, 0.06}, {0.05, 0.4, 0.36, 0, 0, 0.225, 0.185, 0}},
};

Built BuildHaunchedBox(bool two_d) {
  FacilityInput in = Box(two_d);
  in.end_set = Set(1, {2.0, 1.5, 2.0, 0.2, 0.25, 0.25, 0, 0.05, 0.2, 0.15, 0.1});
  in.mid_set = in.end_set;
  in.mid_set.kind = 2;
  in.mid_set.a() = 0.22;
  Built b;
  EXPECT_TRUE(RebuildBlockRow(in, b.row, b.m));
  EXPECT_TRUE(BuildBoxMembers(b.row, b.m));
  for (int k = 1; k <= b.m.member_count; ++k) {
    b.m.Section(k).Current(1) = 250;
    b.m.Section(k).Current(10) = 50;
    b.m.Section(k).Current(18) = 70;
  }
  ComputeMemberGeometry(in.layout, in, b.row, b.m, b.lon);
  return b;
}

TEST(BoxPoints, EveryMemberOfOneCentreBox) {
  for (bool two_d : {false, true}) {
    SCOPED_TRACE(two_d ? "2d" : "h/2");
    Built b = BuildHaunchedBox(two_d);
    ASSERT_EQ(b.m.member_count, 28);
    EXPECT_NEAR(b.m.Member(3).length, 0.175, 1e-9);
    for (int k = 1; k <= 28; ++k) {
      SCOPED_TRACE(::testing::Message() << "member " << k);
      const BoxMember& e = kOneCentreBox[k - 1];
      const ModelMember& mb = b.m.Member(k);
      ASSERT_EQ(mb.type, e.type);
      ExpectPoints(mb, two_d ? e.two_d : e.half);
      const int t = e.type;
      const bool flagged = (t >= 1 && t <= 4) || t == 13 || t == 14 || (t >= 19 && t <= 23);
      EXPECT_EQ(mb.poi_flag, flagged ? 1 : 0);
    }
  }
}

}  // namespace
}  // namespace vaultra
