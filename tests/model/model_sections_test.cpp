// Member section records: arrangement code, bars by member type, covers,
// widths and the joint record.
#include <gtest/gtest.h>

#include "dimension_sets.h"
#include "model/geometry.h"
#include "model/section_records.h"

namespace vaultra {
namespace {

using testing::Set;

struct Fixture {
  FacilityInput in;
  BlockRow row;
  StructureModel model;
  StructureModel lon;
  MasterData md;
  SectionInput sin;
  double previous = 0;
};

// A stand facility with two slabs (15 members; member 15 the intermediate
// stand with an opening r12 = 0.9 m) and one arrangement named "1530N20".
Fixture StandFixture() {
  Fixture f;
  f.in.layout = kLayoutStand;
  f.in.top_slabs = 2;
  f.in.end_set = Set(1, {1.0, 1.5, 2.0, 0.2, 0.2, 0.3, 0.4, 0.1, 0.2, 0.15, 0});
  f.in.mid_set = f.in.end_set;
  f.in.mid_set.kind = 2;
  f.in.mid_set.r(12) = 0.9;
  f.in.slab_set = Set(6, {3.0, 0, 2.0, 0, 0.2, 2.2, 0.1, 0, 0, 0, 0});
  EXPECT_TRUE(RebuildBlockRow(f.in, f.row, f.model));
  EXPECT_TRUE(BuildStandMembers(f.row, f.model));
  RebarArrangement other;
  other.type = 'S';
  other.name = "0000N00";
  f.md.rebar.Add(other);
  RebarArrangement arr;
  arr.type = 'S';
  arr.name = "1530N20";
  arr.rows[0][1] = {16, 4.0, 13, 5.0};  // walls: inner D16 x 4, outer D13 x 5
  arr.rows[1][1] = {0, 0, 10, 2.0};
  arr.rows[0][5] = {19, 5.0, 16, 5.0};  // top slabs
  arr.rows[0][7] = {13, 2.0, 16, 4.0};  // joint inserts
  arr.rows[1][7] = {200, 1.0, 0, 0};    // a size beyond the area table
  f.md.rebar.Add(arr);
  f.md.area_by_bolt_size[13] = 1.267;
  f.md.area_by_bolt_size[16] = 1.986;
  f.sin.layout = 0;
  f.sin.end_set = f.in.end_set;
  f.sin.slab_width = 3.0;
  f.sin.precast_cover = 30;
  f.sin.cast_cover = 50;
  return f;
}

TEST(ArrangementCode, FormatsOfBothLayouts) {
  SectionInput in;
  double previous = 0;
  in.end_set = Set(1, {2.0, 1.5, 2.0});
  in.layout = 0;
  in.slab_width = 3.0;  // s = trunc(3.9999) = 3
  EXPECT_EQ(ArrangementCode(in, previous), "1530N20");
  in.layout = 1;
  in.water = true;
  in.slab_width = 4.5;  // s clamped to 4
  EXPECT_EQ(ArrangementCode(in, previous), "201540W");
  in.slab_width = 0;  // not positive: the previous width 4.5
  EXPECT_EQ(ArrangementCode(in, previous), "201540W");
  in.slab_width = 1.0;  // s = 1 clamped to 2
  EXPECT_EQ(ArrangementCode(in, previous), "201520W");
}

TEST(ArrangementCode, LastMatchingRecordElseRecordOne) {
  MasterData md;
  RebarArrangement a;
  a.name = "X";
  md.rebar.Add(a);
  a.name = "Y";
  md.rebar.Add(a);
  md.rebar.Add(a);
  EXPECT_EQ(FindArrangement(md, "Y"), 3);
  EXPECT_EQ(FindArrangement(md, "Z"), 1);
}

TEST(SectionRecords, BarsCoversAndWidthsByMemberType) {
  Fixture f = StandFixture();
  EXPECT_EQ(
      RebuildSectionRecords(f.model, f.row, f.md, f.sin, kRebuildBars | kRebuildCovers, f.previous),
      16);
  const MemberSection& wall = f.model.Section(1);
  // Type 1: t = (a + b)/2 = 0.2; row 1/2 entry 1; outer from the second halves.
  EXPECT_DOUBLE_EQ(wall.Current(1), 200);
  EXPECT_DOUBLE_EQ(wall.Current(6), 13);
  EXPECT_DOUBLE_EQ(wall.Current(7), 5);
  EXPECT_DOUBLE_EQ(wall.Current(8), 10);
  EXPECT_DOUBLE_EQ(wall.Current(14), 16);
  EXPECT_DOUBLE_EQ(wall.Current(16), 0);
  // 30 + RoundTo0((13 + 0.01)/2) = 37; inner 30 + RoundTo0(8.005) = 38.
  EXPECT_DOUBLE_EQ(wall.Current(10), 37);
  EXPECT_DOUBLE_EQ(wall.Current(18), 38);
  EXPECT_DOUBLE_EQ(wall.Current(11), 163);
  EXPECT_DOUBLE_EQ(wall.Current(0), 2000);
  EXPECT_DOUBLE_EQ(wall.Current(4), 1000);
  // The default half is a copy when both parts are rebuilt.
  for (int k = 0; k < kSectionHalf; ++k) EXPECT_DOUBLE_EQ(wall.Default(k), wall.Current(k)) << k;
  // Member 3, type 19: thickness b of the slab = 0.2, entry 5.
  EXPECT_DOUBLE_EQ(f.model.Section(3).Current(1), 200);
  EXPECT_DOUBLE_EQ(f.model.Section(3).Current(6), 16);
  EXPECT_DOUBLE_EQ(f.model.Section(3).Current(14), 19);
  // Member 15, type 12 with r12 = 0.9 in a 2.0 m block: 1000 mm wide, 500 per metre.
  EXPECT_EQ(f.model.Member(15).type, 12);
  EXPECT_DOUBLE_EQ(f.model.Section(15).Current(0), 1000);
  EXPECT_DOUBLE_EQ(f.model.Section(15).Current(4), 500);
  EXPECT_DOUBLE_EQ(f.model.Section(15).Current(3), 2000);
  // Cast-in-place member 10 (type 21): cover Kg.
  EXPECT_DOUBLE_EQ(f.model.Section(10).Current(10), 50);
  EXPECT_DOUBLE_EQ(f.model.Section(10).Current(18), 50);
}

TEST(SectionRecords, JointRecordAreasStayInsideTheAreaTable) {
  Fixture f = StandFixture();
  RebuildSectionRecords(f.model, f.row, f.md, f.sin, kRebuildBars | kRebuildCovers, f.previous);
  const ModelMember& joint = f.model.Member(16);
  EXPECT_EQ(joint.type, kJointRecordType);
  EXPECT_DOUBLE_EQ(joint.length, 1.0);
  EXPECT_EQ(f.model.last_member_of_type[kJointRecordType], 16);
  const MemberSection& s = f.model.Section(16);
  // Outer: D16 (198.6 mm2) x 4 in row 1; row 2 has none.
  EXPECT_NEAR(s.Current(12), 794.4, 1e-9);
  // Inner: D13 (126.7) x 2; the size 200 of row 2 reads no area.
  EXPECT_NEAR(s.Current(20), 253.4, 1e-9);
}

TEST(SectionRecords, ZeroCastCoverPutsBarsAtMidThickness) {
  Fixture f = StandFixture();
  f.sin.cast_cover = 0;
  RebuildSectionRecords(f.model, f.row, f.md, f.sin, kRebuildBars | kRebuildCovers, f.previous);
  // Zone b = c of the right neighbour = 0.3 m: cover 150 mm.
  EXPECT_DOUBLE_EQ(f.model.Section(10).Current(10), 150);
  EXPECT_DOUBLE_EQ(f.model.Section(10).Current(18), 150);
  EXPECT_DOUBLE_EQ(f.model.Section(10).Current(11), 150);
}

TEST(SectionRecords, CoverPartAloneKeepsEditedBars) {
  Fixture f = StandFixture();
  RebuildSectionRecords(f.model, f.row, f.md, f.sin, kRebuildBars | kRebuildCovers, f.previous);
  f.model.Section(1).Current(6) = 22;  // an edited outer bar
  f.sin.precast_cover = 40;
  RebuildSectionRecords(f.model, f.row, f.md, f.sin, kRebuildCovers, f.previous);
  EXPECT_DOUBLE_EQ(f.model.Section(1).Current(6), 22);
  EXPECT_DOUBLE_EQ(f.model.Section(1).Current(10), 40 + 11);
  EXPECT_DOUBLE_EQ(f.model.Section(1).Default(10), 51);
  EXPECT_DOUBLE_EQ(f.model.Section(1).Default(6), 13);  // the default half keeps the catalogue bar
}

TEST(SectionRecords, InvalidMemberTableIsLeftAlone) {
  Fixture f = StandFixture();
  f.model.member_count = 0;
  EXPECT_EQ(RebuildSectionRecords(f.model, f.row, f.md, f.sin, kRebuildBars, f.previous), 0);
}

}  // namespace
}  // namespace vaultra
