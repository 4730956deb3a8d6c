// The points-of-interest tables, the highlight flags and picking.
#include <gtest/gtest.h>

#include "app/pages/points_page.h"
#include "model/geometry.h"

namespace vaultra {
namespace {

// Three members: a wall (type 1), a right wall (type 2, shown reversed) and
// a member 1 mm long.
StructureModel Model() {
  StructureModel m;
  FindOrAddNode(m, 0, 0, 1);
  FindOrAddNode(m, 0, 2.5, 0);
  FindOrAddNode(m, 4, 2.5, 0);
  FindOrAddNode(m, 4, 0, 2);
  FindOrAddNode(m, 4.001, 0, 0);
  m.member_count = 3;
  m.Member(1).node_i = 1;
  m.Member(1).node_j = 2;
  m.Member(1).type = 1;
  m.Member(2).node_i = 3;
  m.Member(2).node_j = 4;
  m.Member(2).type = 2;
  m.Member(3).node_i = 4;
  m.Member(3).node_j = 5;
  m.Member(3).type = 13;
  StructureModel lon;
  ComputeMemberGeometry(kLayoutBox, FacilityInput{}, BlockRow{}, m, lon);
  // Points of interest as the geometry would leave them.
  m.Member(1).points = {0.3, 0.1, 0.2, 0, 0.05, 0, 0.4, 0.2};
  m.Member(1).poi_flag = 1;
  m.Member(2).points = {0.3, 0.1, 0, 0, 0.25, 0.15, 0, 0};
  m.Member(2).poi_flag = 0;
  return m;
}

TEST(PointsTables, NodeRows) {
  GridData g = DefaultPointsForm().At("Grid_Pos").grid;
  FillNodeTable(Model(), g);
  ASSERT_EQ(g.row_count(), 6);
  EXPECT_EQ(g.Cell(1, 2), "0.0000");
  EXPECT_EQ(g.Cell(2, 2), "2.5000");
  EXPECT_EQ(g.Cell(3, 1), "1");
  EXPECT_EQ(g.Cell(3, 4), "2");
}

TEST(PointsTables, MemberRowsSortedFromTheShownEnds) {
  GridData g = DefaultPointsForm().At("Grid_Bzi").grid;
  FillMemberTable(Model(), g);
  ASSERT_EQ(g.row_count(), 3);  // the 1 mm member is left out
  // Member 1: i-end points 0.3, 0.1, 0.2 ascending from I'; j-end 0.05, 0.4, 0.2
  // descending so that the smallest lands in the last column.
  const std::vector<std::string> row1 = {"0001",  "1",     "2",     " 2.500", "1",
                                         "0.100", "0.200", "0.300", "---",    "max",
                                         "---",   "0.400", "0.200", "0.050"};
  for (int c = 0; c < 14; ++c) EXPECT_EQ(g.Cell(c, 1), row1[static_cast<std::size_t>(c)]) << c;
  EXPECT_EQ(g.Cell(8, 1), "---");
  EXPECT_EQ(g.Cell(12, 1), "0.200");
  EXPECT_EQ(g.Cell(13, 1), "0.050");
  // Member 2 (type 2): its j-end is I'. j-end points 0.25, 0.15 ascending
  // from column 5; i-end 0.3, 0.1 descending into columns 12, 13.
  EXPECT_EQ(g.Cell(5, 2), "0.150");
  EXPECT_EQ(g.Cell(6, 2), "0.250");
  EXPECT_EQ(g.Cell(7, 2), "---");
  EXPECT_EQ(g.Cell(12, 2), "0.300");
  EXPECT_EQ(g.Cell(13, 2), "0.100");
  EXPECT_EQ(g.Cell(9, 2), "---");
  EXPECT_EQ(RowOfMember(g, 2), 2);
  EXPECT_EQ(RowOfMember(g, 3), 0);
}

TEST(PointsPicking, NearestCentreLineWithinTheLimit) {
  const StructureModel m = Model();
  EXPECT_EQ(PickMember(m, 0.2, 1.0), 1);   // perpendicular 0.2 from the left wall
  EXPECT_EQ(PickMember(m, 3.7, 1.0), 2);   // 0.3 from the right wall
  EXPECT_EQ(PickMember(m, 4.5, -0.1), 3);  // beyond the ends: distance to the nearer end
  EXPECT_EQ(PickMember(m, 1000, 1000), 0);
}

TEST(MemberHighlight, CoversEveryMemberAndTheJointRecordAndNoMore) {
  MemberHighlight h;
  EXPECT_TRUE(h.Set(kMaxMembers));
  EXPECT_TRUE(h.Set(kMaxMembers + 1));
  EXPECT_FALSE(h.Set(kMaxMembers + 2));
  EXPECT_FALSE(h.Set(0));
  EXPECT_TRUE(h.IsSet(kMaxMembers));
  EXPECT_FALSE(h.IsSet(-5));
  h.Clear();
  EXPECT_FALSE(h.IsSet(kMaxMembers));
}

}  // namespace
}  // namespace vaultra
