// Block row, stand and box frames, derived quantities. Expected numbers are
// worked out by hand from the layout rules (see the comments).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "dimension_sets.h"
#include "model/geometry.h"

namespace vaultra {
namespace {

using testing::Set;

// Stand: B 1.0, H 1.5, L 2.0, a 0.2, b 0.2, c 0.3, d 0.4, e 0.1, f 0.2, g 0.15.
FacilityInput StandInput(int slabs) {
  FacilityInput in;
  in.layout = kLayoutStand;
  in.top_slabs = slabs;
  in.end_set = Set(1, {1.0, 1.5, 2.0, 0.2, 0.2, 0.3, 0.4, 0.1, 0.2, 0.15, 0});
  in.mid_set = in.end_set;
  in.mid_set.kind = 2;
  in.slab_set = Set(6, {3.0, 0, 2.0, 0, 0.2, 2.2, 0.1, 0, 0, 0, 0});
  in.cover_depth = 0.5;
  return in;
}

FacilityInput BoxInput(int centre) {
  return testing::BoxFacility(centre);
}

struct Built {
  BlockRow row;
  StructureModel model;
  StructureModel longitudinal;
  std::string error;
  bool ok = false;
};

Built Build(const FacilityInput& in) {
  Built b;
  EXPECT_TRUE(RebuildBlockRow(in, b.row, b.model));
  ClampSlabWidths(in, b.row, b.model);
  b.ok = in.layout == kLayoutBox ? BuildBoxMembers(b.row, b.model, &b.error)
                                 : BuildStandMembers(b.row, b.model, &b.error);
  if (b.ok) ComputeMemberGeometry(in.layout, in, b.row, b.model, b.longitudinal);
  return b;
}

struct Expect {
  int type, block;
  double xi, yi, xj, yj;
  int code_i, code_j, mirrored;
};

void CheckMembers(const StructureModel& m, const std::vector<Expect>& expected) {
  ASSERT_EQ(m.member_count, static_cast<int>(expected.size()));
  for (std::size_t k = 0; k < expected.size(); ++k) {
    const Expect& e = expected[k];
    const ModelMember& mb = m.Member(static_cast<int>(k) + 1);
    SCOPED_TRACE(::testing::Message() << "member " << k + 1);
    EXPECT_EQ(mb.type, e.type);
    EXPECT_EQ(mb.block, e.block);
    EXPECT_NEAR(m.Node(mb.node_i).x, e.xi, 1e-9);
    EXPECT_NEAR(m.Node(mb.node_i).y, e.yi, 1e-9);
    EXPECT_NEAR(m.Node(mb.node_j).x, e.xj, 1e-9);
    EXPECT_NEAR(m.Node(mb.node_j).y, e.yj, 1e-9);
    EXPECT_EQ(mb.code_i, e.code_i);
    EXPECT_EQ(mb.code_j, e.code_j);
    EXPECT_EQ(mb.mirrored, e.mirrored);
  }
}

// No member end hangs free: every end node meets another member or a support.
void CheckConnected(const StructureModel& m) {
  std::map<int, int> ends;
  for (int k = 1; k <= m.member_count; ++k) {
    ++ends[m.Member(k).node_i];
    ++ends[m.Member(k).node_j];
  }
  for (const auto& [node, count] : ends)
    EXPECT_TRUE(count >= 2 || m.Node(node).support() != 0) << "node " << node << " dangles";
  // No two nodes at the same point.
  for (int a = 1; a <= m.node_count; ++a)
    for (int b = a + 1; b <= m.node_count; ++b)
      EXPECT_FALSE(std::fabs(m.Node(a).x - m.Node(b).x) < 1e-5 &&
                   std::fabs(m.Node(a).y - m.Node(b).y) < 1e-5);
}

// A symmetric block row gives a frame whose nodes mirror about W / 2.
void CheckMirrored(const StructureModel& m) {
  std::set<std::pair<long, long>> points;
  auto key = [](double x, double y) {
    return std::make_pair(std::lround(x * 1e4), std::lround(y * 1e4));
  };
  for (int k = 1; k <= m.node_count; ++k) points.insert(key(m.Node(k).x, m.Node(k).y));
  for (int k = 1; k <= m.node_count; ++k)
    EXPECT_TRUE(points.count(key(m.frame_width - m.Node(k).x, m.Node(k).y)))
        << "node " << k << " has no mirror image";
}

TEST(StandLayout, TwoSlabsGiveTheFifteenMembersInCreationOrder) {
  Built b = Build(StandInput(2));
  ASSERT_TRUE(b.ok) << b.error;
  // Y = H1 + (c1 + b2)/2 = 1.5 + 0.25 = 1.75; v = w = 0.1; a span is
  // 0.2 seat, 2.8 slab, 0.2 seat; bottom overhang a/2 + d = 0.5, zone 3.0 - 0.8 = 2.2.
  const double Y = 1.75;
  CheckMembers(b.model, {
                            {1, 1, 0, 0, 0, Y, 0, 0, 0},
                            {8, 1, 0, Y, 0.2, Y, 0, 1, 0},
                            {19, 2, 0.2, Y, 3.0, Y, 1, 1, 0},
                            {7, 3, 3.0, Y, 3.2, Y, 1, 0, 1},
                            {8, 3, 3.2, Y, 3.4, Y, 0, 1, 0},
                            {19, 4, 3.4, Y, 6.2, Y, 1, 1, 0},
                            {7, 5, 6.2, Y, 6.4, Y, 1, 0, 1},
                            {2, 5, 6.4, Y, 6.4, 0, 0, 0, 1},
                            {18, 5, 6.4, 0, 5.9, 0, 0, 0, 0},
                            {21, 6, 5.9, 0, 3.7, 0, 0, 0, 1},
                            {17, 3, 3.7, 0, 3.2, 0, 0, 0, 1},
                            {16, 3, 3.2, 0, 2.7, 0, 0, 0, 0},
                            {21, 7, 2.7, 0, 0.5, 0, 0, 0, 1},
                            {15, 1, 0.5, 0, 0, 0, 0, 0, 1},
                            {12, 3, 3.2, 0, 3.2, Y, 0, 0, 0},
                        });
  const StructureModel& m = b.model;
  EXPECT_EQ(m.node_count, 14);
  EXPECT_EQ(m.Node(1).support(), kSupportPinned);
  EXPECT_EQ(m.Node(m.Member(8).node_j).support(), kSupportRoller);
  EXPECT_EQ(m.Node(m.Member(15).node_i).support(), kSupportRoller);
  // Blocks: x1 = 0, x2 = 0.1 + 1.5, x3 = 1.6 + 1.5 + 0.1; z1 = -c/2, z2 = c + H + z1.
  const double xs[] = {0, 0, 1.6, 3.2, 4.8, 6.4};
  for (int k = 1; k <= 5; ++k) EXPECT_NEAR(b.row.At(k).x, xs[k], 1e-9) << k;
  EXPECT_NEAR(b.row.At(1).z, -0.15, 1e-9);
  EXPECT_NEAR(b.row.At(2).z, 1.65, 1e-9);
  // Zones: 6 under the right slab, 7 under the left one, width B - 2d = 2.2.
  EXPECT_EQ(m.block_count, 7);
  EXPECT_EQ(b.row.At(6).working_set.kind, kBlockCastInPlace);
  EXPECT_NEAR(b.row.At(6).x, 4.8, 1e-9);
  EXPECT_NEAR(b.row.At(7).x, 1.6, 1e-9);
  EXPECT_NEAR(b.row.At(6).working_set.B(), 2.2, 1e-9);
  EXPECT_NEAR(b.row.At(6).working_set.a(), 0.3, 1e-9);
  EXPECT_NEAR(b.row.At(6).working_set.b(), 0.3, 1e-9);
  EXPECT_NEAR(b.row.At(6).z, -0.15, 1e-9);
}

TEST(StandLayout, DerivedQuantitiesOfTwoSlabs) {
  Built b = Build(StandInput(2));
  ASSERT_TRUE(b.ok);
  const StructureModel& m = b.model;
  EXPECT_NEAR(m.frame_width, 6.4, 1e-9);
  EXPECT_NEAR(m.frame_height, 1.75, 1e-9);
  EXPECT_NEAR(m.Member(3).length, 2.8, 1e-9);
  EXPECT_NEAR(m.Member(15).length, 1.75, 1e-9);
  // D + b/2 of the slab = 0.5 + 0.1; + frame height; + c/2 of the left end.
  EXPECT_NEAR(m.depth_of_top_axis, 0.6, 1e-9);
  EXPECT_NEAR(m.depth_of_bottom_axis, 2.35, 1e-9);
  EXPECT_NEAR(m.depth_of_bottom, 2.5, 1e-9);
  EXPECT_NEAR(m.extents[4], 0.1, 1e-9);
  EXPECT_NEAR(m.extents[5], 0.15, 1e-9);
  EXPECT_NEAR(m.extents[6], 6.3, 1e-9);
  EXPECT_NEAR(m.extents[7], 1.65, 1e-9);
  EXPECT_EQ(m.span_count, 2);
  EXPECT_NEAR(m.mean_span, 3.0, 1e-9);
  EXPECT_EQ(m.bottom_right_node, m.Member(8).node_j);
  EXPECT_EQ(m.left_wall_member, 1);
  EXPECT_EQ(m.right_wall_member, 8);
  EXPECT_EQ(m.first_top_member, 2);
  EXPECT_EQ(m.last_top_member, 7);
  EXPECT_EQ(m.first_bottom_member, 9);
  EXPECT_EQ(m.last_bottom_member, 14);
  EXPECT_EQ(m.first_top_slab_member, 3);
  EXPECT_EQ(m.last_top_slab_member, 6);
  EXPECT_EQ(m.last_member_of_type[21], 13);
  ASSERT_EQ(m.wall_count, 3);
  EXPECT_NEAR(m.walls[1].x, 0, 1e-9);
  EXPECT_NEAR(m.walls[2].x, 3.2, 1e-9);
  EXPECT_NEAR(m.walls[3].x, 6.4, 1e-9);
  // The joint record behind the last member copies the last cast-in-place slab.
  EXPECT_EQ(m.Member(16).type, 30);
  EXPECT_EQ(m.Member(16).block, 7);
  EXPECT_EQ(m.last_member_of_type[30], 16);
  // The extents enclose every outline: the stand footing b + 2d = 1.0 wide.
  EXPECT_LE(m.extents[0], -0.5 + 1e-9);
  EXPECT_GE(m.extents[2], 6.9 - 1e-9);
  EXPECT_LE(m.extents[1], -0.15 + 1e-9);
}

TEST(StandLayout, EverySlabCountHasSevenMembersAndSixNodesPerSlab) {
  for (int slabs = kMinTopSlabs; slabs <= kMaxTopSlabs; ++slabs) {
    SCOPED_TRACE(slabs);
    Built b = Build(StandInput(slabs));
    ASSERT_TRUE(b.ok) << b.error;
    EXPECT_EQ(b.model.real_block_count, 2 * slabs + 1);
    EXPECT_EQ(b.model.block_count, 3 * slabs + 1);
    EXPECT_EQ(b.model.member_count, 7 * slabs + 1);
    EXPECT_EQ(b.model.node_count, 6 * slabs + 2);
    EXPECT_NEAR(b.model.frame_width, 3.2 * slabs, 1e-9);
    CheckConnected(b.model);
    CheckMirrored(b.model);
  }
}

TEST(BoxLayout, OneIntermediateBoxGivesTwentyEightMembers) {
  Built b = Build(BoxInput(1));
  ASSERT_TRUE(b.ok) << b.error;
  // Y = H + (f + c)/2 = 1.5 + 0.225 = 1.725; seat t = Y - (f + g)/2 = 1.55.
  // Box top B + a = 2.2; seat a/2 + (d + h)/2 = 0.2; slab 1.0 - 0.2 = 0.8.
  const double Y = 1.725;
  const double t = 1.55;
  CheckMembers(b.model, {
                            {1, 1, 0, 0, 0, Y, 0, 0, 0},      {3, 1, 0, Y, 2.2, Y, 0, 0, 0},
                            {6, 1, 2.2, Y, 2.2, t, 0, 0, 1},  {8, 1, 2.2, t, 2.4, t, 0, 1, 0},
                            {19, 2, 2.4, t, 3.2, t, 1, 1, 0}, {7, 3, 3.2, t, 3.4, t, 1, 0, 1},
                            {5, 3, 3.4, t, 3.4, Y, 0, 0, 0},  {4, 3, 3.4, Y, 5.6, Y, 0, 0, 0},
                            {6, 3, 5.6, Y, 5.6, t, 0, 0, 1},  {8, 3, 5.6, t, 5.8, t, 0, 1, 0},
                            {19, 4, 5.8, t, 6.6, t, 1, 1, 0}, {7, 5, 6.6, t, 6.8, t, 1, 0, 1},
                            {5, 5, 6.8, t, 6.8, Y, 0, 0, 0},  {3, 5, 6.8, Y, 9.0, Y, 0, 0, 1},
                            {2, 5, 9.0, Y, 9.0, 0, 0, 0, 1},  {13, 5, 9.0, 0, 6.8, 0, 0, 0, 0},
                            {18, 5, 6.8, 0, 6.6, 0, 0, 0, 0}, {21, 6, 6.6, 0, 5.8, 0, 0, 0, 1},
                            {17, 3, 5.8, 0, 5.6, 0, 0, 0, 1}, {14, 3, 5.6, 0, 3.4, 0, 0, 0, 1},
                            {16, 3, 3.4, 0, 3.2, 0, 0, 0, 0}, {21, 7, 3.2, 0, 2.4, 0, 0, 0, 1},
                            {15, 1, 2.4, 0, 2.2, 0, 0, 0, 1}, {13, 1, 2.2, 0, 0, 0, 0, 0, 1},
                            {11, 1, 2.2, t, 2.2, 0, 0, 0, 1}, {12, 3, 3.4, 0, 3.4, t, 0, 0, 0},
                            {12, 3, 5.6, t, 5.6, 0, 0, 0, 1}, {11, 5, 6.8, 0, 6.8, t, 0, 0, 0},
                        });
  EXPECT_EQ(b.model.node_count, 24);
  // x1 = (a + B)/2 = 1.1; x2 = 1.1 + 1.0 + 0.2 + 0.5; x3 = 2.8 + 0.5 + 0.2 + 1.0.
  const double xs[] = {0, 1.1, 2.8, 4.5, 6.2, 7.9};
  for (int k = 1; k <= 5; ++k) EXPECT_NEAR(b.row.At(k).x, xs[k], 1e-9) << k;
  // Zone under slab 4: from 4.5 + 1.0 + 0.2 + 0.1 to 7.9 - 1.3, B - 2h wide.
  EXPECT_NEAR(b.row.At(6).x, 6.2, 1e-9);
  EXPECT_NEAR(b.row.At(6).working_set.B(), 0.8, 1e-9);
  const StructureModel& m = b.model;
  // D + f/2 = 1.0 + 0.1; span count 2N + 3; mean B over all real blocks.
  EXPECT_NEAR(m.depth_of_top_axis, 1.1, 1e-9);
  EXPECT_NEAR(m.depth_of_bottom, 1.1 + 1.725 + 0.125, 1e-9);
  EXPECT_EQ(m.span_count, 5);
  EXPECT_NEAR(m.mean_span, (3 * 2.0 + 2 * 1.0) / 5, 1e-9);
  EXPECT_EQ(m.Member(29).type, 30);
  ASSERT_EQ(m.wall_count, 6);
  const double walls[] = {0, 0, 2.2, 3.4, 5.6, 6.8, 9.0};
  for (int k = 1; k <= 6; ++k) EXPECT_NEAR(m.walls[static_cast<std::size_t>(k)].x, walls[k], 1e-9);
}

TEST(BoxLayout, EveryBoxCountHasTwelveMembersAndTenNodesPerBox) {
  for (int centre = kMinCentreBlocks; centre <= kMaxCentreBlocks; ++centre) {
    SCOPED_TRACE(centre);
    Built b = Build(BoxInput(centre));
    ASSERT_TRUE(b.ok) << b.error;
    EXPECT_EQ(b.model.real_block_count, 2 * centre + 3);
    EXPECT_EQ(b.model.member_count, 12 * centre + 16);
    EXPECT_EQ(b.model.node_count, 10 * centre + 14);
    // Each box 2.2 + one slab span 0.1 + 1.0 + 0.1 between boxes.
    EXPECT_NEAR(b.model.frame_width, 2.2 * (centre + 2) + 1.2 * (centre + 1), 1e-9);
    CheckConnected(b.model);
    CheckMirrored(b.model);
  }
}

TEST(BoxLayout, InnerWallsTakeTheBlockThatOwnsTheWall) {
  FacilityInput in = BoxInput(2);
  in.mid_set.a() = 0.3;  // intermediate boxes have thicker walls
  Built b = Build(in);
  ASSERT_TRUE(b.ok) << b.error;
  // Blocks 1 (end), 3, 5 (intermediate), 7 (end); inner walls right of box 1,
  // left and right of boxes 3 and 5, left of box 7.
  const int expected_blocks[] = {1, 3, 3, 5, 5, 7};
  int l = 0;
  for (int k = 1; k <= b.model.member_count; ++k) {
    const ModelMember& mb = b.model.Member(k);
    if (mb.type != 11 && mb.type != 12) continue;
    ASSERT_LT(l, 6);
    EXPECT_EQ(mb.block, expected_blocks[l]) << "inner wall " << l + 1;
    // The wall axis lies at the wall's own block face: box 3's left wall
    // axis is x3 - B/2 - a/2 with a = 0.3.
    ++l;
  }
  EXPECT_EQ(l, 6);
  CheckConnected(b.model);
  // Box 3: x3 = x2 + W/2 + a3 + B3/2 with x2 = 1.1 + 1.0 + 0.2 + 0.5 = 2.8.
  EXPECT_NEAR(b.row.At(3).x, 2.8 + 0.5 + 0.3 + 1.0, 1e-9);
}

TEST(BoxLayout, InnerWallsMeetTheSeatsOfThickerIntermediateBoxes) {
  FacilityInput in = BoxInput(1);
  in.mid_set.f() = 0.3;  // seat of box 3 at Y - (0.3 + 0.15)/2 = 1.5
  Built b = Build(in);
  ASSERT_TRUE(b.ok) << b.error;
  CheckConnected(b.model);
  std::vector<double> tops;
  for (int k = 1; k <= b.model.member_count; ++k) {
    const ModelMember& mb = b.model.Member(k);
    if (mb.type == 11 || mb.type == 12)
      tops.push_back(std::max(b.model.Node(mb.node_i).y, b.model.Node(mb.node_j).y));
  }
  ASSERT_EQ(tops.size(), 4u);
  // Walls of box 1 and the left wall of box 3 at 1.55; the right of box 3
  // and the left of box 5 at the seat of box 3, 1.5.
  EXPECT_NEAR(tops[0], 1.55, 1e-9);
  EXPECT_NEAR(tops[1], 1.55, 1e-9);
  EXPECT_NEAR(tops[2], 1.5, 1e-9);
  EXPECT_NEAR(tops[3], 1.5, 1e-9);
}

TEST(Generation, RefusesRowsThatCannotFormAFrameAndKeepsThePreviousModel) {
  struct Case {
    const char* what;
    FacilityInput in;
  };
  std::vector<Case> cases;
  {
    FacilityInput in = BoxInput(1);
    in.end_set.g() = 4.0;  // seat below the bottom
    cases.push_back({"seat below bottom", in});
  }
  {
    FacilityInput in = BoxInput(1);
    in.slab_set.d() = 2.0;  // seats longer than the slab
    cases.push_back({"box seats overlap", in});
  }
  {
    FacilityInput in = StandInput(2);
    in.slab_set.B() = 0.5;  // seats of 0.35 each side leave no slab
    in.slab_set.d() = 0.5;
    cases.push_back({"stand seats overlap", in});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Built good = Build(c.in.layout == kLayoutBox ? BoxInput(1) : StandInput(2));
    ASSERT_TRUE(good.ok);
    const StructureModel before = good.model;
    BlockRow row;
    StructureModel m = good.model;
    ASSERT_TRUE(RebuildBlockRow(c.in, row, m));
    m.node_count = before.node_count;
    std::string error;
    const bool ok = c.in.layout == kLayoutBox ? BuildBoxMembers(row, m, &error)
                                              : BuildStandMembers(row, m, &error);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(m.node_count, before.node_count);
    EXPECT_EQ(m.nodes, before.nodes);
  }
}

TEST(Generation, SlabWidthClampOfEachLayout) {
  // Stand: 2d + 0.1 = 0.9; box: 0.1.
  FacilityInput stand = StandInput(2);
  stand.slab_set.B() = 0.3;
  Built s = Build(stand);
  EXPECT_NEAR(s.row.At(2).working_set.B(), 0.9, 1e-9);
  FacilityInput box = BoxInput(1);
  box.slab_set.B() = 0.05;
  BlockRow row;
  StructureModel m;
  ASSERT_TRUE(RebuildBlockRow(box, row, m));
  ClampSlabWidths(box, row, m);
  EXPECT_NEAR(row.At(2).working_set.B(), 0.1, 1e-9);
}

TEST(FindOrAddNode, MergesWithinTheToleranceAndKeepsSupports) {
  StructureModel m;
  EXPECT_EQ(FindOrAddNode(m, 0, 0, 1), 1);
  EXPECT_EQ(FindOrAddNode(m, 1.0, 2.0, 0), 2);
  EXPECT_EQ(FindOrAddNode(m, 1.0 + 0.000009, 2.0 - 0.000009, 0), 2);  // same node
  EXPECT_EQ(FindOrAddNode(m, 1.0 + 0.00002, 2.0, 0), 3);              // beyond 0.00001
  EXPECT_EQ(FindOrAddNode(m, 0, 0, 0), 1);
  EXPECT_EQ(m.Node(1).support(), 1);  // a later code 0 never clears
  EXPECT_EQ(FindOrAddNode(m, 0, 0, 2), 1);
  EXPECT_EQ(m.Node(1).support(), 2);  // a later non-zero code replaces
  EXPECT_EQ(m.node_count, 3);
}

TEST(FindOrAddNode, RefusesBeyondTheCapacity) {
  StructureModel m;
  for (int k = 1; k <= kMaxNodes; ++k) ASSERT_EQ(FindOrAddNode(m, k, 0, 0), k);
  EXPECT_EQ(FindOrAddNode(m, -1, 0, 0), 0);
  EXPECT_EQ(m.node_count, kMaxNodes);
  EXPECT_EQ(FindOrAddNode(m, 5, 0, 0), 5);  // existing nodes are still found
}

TEST(MemberGeometry, LengthsRoundToTheMillimetreAndCoincidentEndsGiveZero) {
  StructureModel m;
  StructureModel lon;
  m.member_count = 2;
  FindOrAddNode(m, 0, 0, 1);
  FindOrAddNode(m, 0.0003, 0.0004, 0);  // 0.0005 rounds toward zero
  FindOrAddNode(m, 3, 4, 0);
  m.Member(1) = {};
  m.Member(1).node_i = 1;
  m.Member(1).node_j = 2;
  m.Member(2).node_i = 3;
  m.Member(2).node_j = 3;
  m.Section(1).Current(1) = 300;
  m.Section(1).Current(10) = 40;
  m.Section(1).Current(18) = 55;
  ComputeMemberGeometry(kLayoutBox, FacilityInput{}, BlockRow{}, m, lon);
  EXPECT_DOUBLE_EQ(m.Member(1).length, 0.0);
  EXPECT_DOUBLE_EQ(m.Member(2).length, 0.0);
  EXPECT_DOUBLE_EQ(m.Section(1).Current(11), 260);
  EXPECT_DOUBLE_EQ(m.Section(1).Current(19), 245);
  EXPECT_DOUBLE_EQ(m.frame_width, 3);
  EXPECT_DOUBLE_EQ(m.frame_height, 4);
}

TEST(UpdateModel, RebuildsOnlyWhatIsInvalid) {
  FacilityInput in = BoxInput(1);
  BlockRow row;
  StructureModel m;
  UpdateResult u = UpdateModelGeometry(in, row, m);
  EXPECT_TRUE(u.block_row_rebuilt);
  EXPECT_TRUE(u.members_rebuilt);
  EXPECT_EQ(m.member_count, 28);
  // A dimension edit with the member table invalidated keeps the row.
  row.At(3).working_set.a() = 0.3;
  m.member_count = 0;
  u = UpdateModelGeometry(in, row, m);
  EXPECT_FALSE(u.block_row_rebuilt);
  EXPECT_TRUE(u.members_rebuilt);
  EXPECT_NEAR(row.At(3).working_set.a(), 0.3, 1e-12);
  // Nothing invalid: nothing done.
  u = UpdateModelGeometry(in, row, m);
  EXPECT_FALSE(u.members_rebuilt);
}

TEST(Outline, PointInPolygonPicksTheBlock) {
  Built b = Build(BoxInput(1));
  OutlinePoint p[12];
  const int n = BlockOutline(kLayoutBox, b.row.At(3), p, 12);
  ASSERT_EQ(n, 4);
  EXPECT_TRUE(PointInPolygon(p, n, 4.5, 0.5));
  EXPECT_FALSE(PointInPolygon(p, n, 1.1, 0.5));
  EXPECT_FALSE(PointInPolygon(p, n, 4.5, 5.0));
}

}  // namespace
}  // namespace vaultra
