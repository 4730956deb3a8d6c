// The dimensions page: visible fields, clamps, propagation, picking.
#include <gtest/gtest.h>

#include "app/pages/dims_page.h"
#include "app/pages/other_checks_page.h"
#include "sample_builder.h"

namespace vaultra {
namespace {

using testing::ShippedMaster;

struct Dims {
  MasterData md = ShippedMaster();
  ProjectState s = DefaultProjectState();
  DimsPageState page;
  explicit Dims(const char* sample) {
    InputPageLogic logic(md);
    EXPECT_TRUE(
        LoadProjectFile(s, std::string(VAULTRA_SOURCE_DIR) + "/samples/" + sample, logic).loaded);
    EnterDimsPage(s, page);
  }
  DimsFieldView& Field(const char* name) {
    for (DimsFieldView& f : page.fields)
      if (f.name == name) return f;
    throw std::out_of_range(name);
  }
  bool Edit(int block, const char* field, const char* text) {
    page.selected = block;
    ShowSelectedBlock(s, page);
    Field(field).text = text;
    return CommitDims(s, md, page, field);
  }
  const DimensionSet& Set(int k) const { return s.block_row.At(k).working_set; }
};

TEST(DimsPage, VisibleFieldsByLayoutAndKind) {
  Dims d("stand_two_slabs.vt1");
  EXPECT_EQ(d.page.selected, 1);
  EXPECT_EQ(d.page.highlight.at(1), 1);
  EXPECT_FALSE(d.Field("Ed_Bi").visible);  // stand blocks hide B
  EXPECT_TRUE(d.Field("Ed_b").visible);
  EXPECT_FALSE(d.Field("Ed_h").visible);
  EXPECT_EQ(d.Field("Ed_Hi").text, "  1500");
  d.page.selected = 3;  // intermediate stand: no b
  ShowSelectedBlock(d.s, d.page);
  EXPECT_FALSE(d.Field("Ed_b").visible);
  d.page.selected = 2;  // slab: B, L, b, d
  ShowSelectedBlock(d.s, d.page);
  EXPECT_TRUE(d.Field("Ed_Bi").visible);
  EXPECT_TRUE(d.Field("Ed_d").visible);
  EXPECT_FALSE(d.Field("Ed_c").visible);
  EXPECT_EQ(DimsVisiblePattern(1, 1), "BHLa.c.efg.");
  EXPECT_EQ(DimsVisiblePattern(1, 6), "B.L.b.d...");
}

TEST(DimsPage, ClampsInMillimetres) {
  Dims d("stand_two_slabs.vt1");
  EXPECT_TRUE(d.Edit(1, "Ed_a", "50"));
  EXPECT_DOUBLE_EQ(d.Set(1).a(), 0.1);
  EXPECT_TRUE(d.Field("Ed_a").red);  // differs from the product
  Dims b("box_three_boxes.vt1");
  EXPECT_TRUE(b.Edit(1, "Ed_Bi", "20000"));
  EXPECT_DOUBLE_EQ(b.Set(1).B(), 15.0);
  EXPECT_EQ(b.s.transverse.member_count, 28);  // regenerated
}

TEST(DimsPage, SlabWidthIsEvenAndPropagatesToEqualSlabs) {
  Dims d("stand_two_slabs.vt1");
  // 3501 mm becomes 3500; c = B - 2d = 3.5 - 0.2.
  EXPECT_TRUE(d.Edit(2, "Ed_Bi", "3501"));
  EXPECT_EQ(d.Field("Ed_Bi").text, "  3500");
  EXPECT_DOUBLE_EQ(d.Set(2).B(), 3.5);
  EXPECT_NEAR(d.Set(2).c(), 3.3, 1e-12);
  EXPECT_DOUBLE_EQ(d.Set(4).B(), 4.0);  // all slabs were equal: only this one
  // Now slab 4 still has the product set; editing it changes every slab
  // that equals it, which is slab 4 alone here.
  EXPECT_TRUE(d.Edit(4, "Ed_Bi", "3000"));
  EXPECT_DOUBLE_EQ(d.Set(4).B(), 3.0);
  EXPECT_DOUBLE_EQ(d.Set(2).B(), 3.5);
  // Same value again: nothing changes.
  EXPECT_FALSE(d.Edit(4, "Ed_Bi", "3000"));
}

TEST(DimsPage, IntermediateWallEditKeepsTheEndBlocks) {
  Dims d("mini_gate.vt1");  // blocks 1, 3, 5, 7 are boxes; a = 0.2
  EXPECT_TRUE(d.Edit(3, "Ed_a", "300"));
  EXPECT_DOUBLE_EQ(d.Set(3).a(), 0.3);
  EXPECT_DOUBLE_EQ(d.Set(5).a(), 0.3);
  EXPECT_DOUBLE_EQ(d.Set(5).b(), 0.3);  // intermediate b = a
  EXPECT_DOUBLE_EQ(d.Set(1).a(), 0.2);
  EXPECT_DOUBLE_EQ(d.Set(7).a(), 0.2);
  EXPECT_EQ(d.Set(7).kind, 3);
  EXPECT_EQ(d.s.transverse.member_count, 40);
  // Box: h follows e.
  EXPECT_TRUE(d.Edit(1, "Ed_e", "200"));
  EXPECT_DOUBLE_EQ(d.Set(1).h(), 0.2);
}

TEST(DimsPage, ThinnerSlabRefreshesTheJointsEffectiveArea) {
  Dims d("box_three_boxes.vt1");
  ASSERT_EQ(d.Set(2).kind, kBlockSlab);
  d.s.other_checks.SetText("p3Ed_Ac", "2000");
  EXPECT_TRUE(d.Edit(2, "Ed_b", "120"));
  ASSERT_DOUBLE_EQ(d.Set(2).b(), 0.12);
  // Ac = 10000 × the smallest of 1000, b of the slabs before the last block and f of block 1.
  const double expected = 10000 * std::min({0.12, d.Set(1).f(), 1000.0});
  EXPECT_NEAR(ReadReal(d.s.other_checks.Text("p3Ed_Ac")), expected, 0.5);
}

TEST(DimsPage, EditThatCannotFormAFrameIsRefused) {
  Dims d("box_three_boxes.vt1");
  // Slabs of 1000 mm: seats of (d + h)/2 = 0.125 each side leave 0.75 m of slab.
  ASSERT_TRUE(d.Edit(2, "Ed_Bi", "1000"));
  ASSERT_TRUE(d.Edit(4, "Ed_Bi", "1000"));
  ASSERT_EQ(d.s.transverse.member_count, 28);
  const BlockRow before = d.s.block_row;
  const std::vector<ModelNode> nodes = d.s.transverse.nodes;
  // e = 1000 mm makes h = 1.0 in every box: seats of 0.55 m each side of a
  // 1.0 m slab overlap, so no frame can be formed.
  EXPECT_FALSE(d.Edit(1, "Ed_e", "1000"));
  EXPECT_FALSE(d.page.error.empty());
  EXPECT_EQ(d.s.block_row, before);
  EXPECT_EQ(d.s.transverse.nodes, nodes);
  EXPECT_EQ(d.s.transverse.member_count, 28);
}

TEST(DimsPage, PickingAndDragging) {
  Dims d("box_three_boxes.vt1");
  // Box 3 of ﾎﾞｯｸｽ2500x2000 between slabs of 4.0: x3 = 1.375 + 1.25 + 0.25 + 2.0
  // + 0.25 + 1.25 = 8.375.
  EXPECT_NEAR(d.s.block_row.At(3).x, 8.375, 1e-9);
  EXPECT_EQ(PickBlock(d.s, 8.375, 1.0), 3);
  EXPECT_EQ(PickBlock(d.s, 100, 1.0), 0);
  ClickDrawing(d.s, d.md, d.page, 8.375, 1.0, 6);  // dragged: no new selection
  EXPECT_EQ(d.page.selected, 1);
  ClickDrawing(d.s, d.md, d.page, 8.375, 1.0, 5);
  EXPECT_EQ(d.page.selected, 3);
  EXPECT_EQ(d.page.highlight.at(3), 1);
  EXPECT_EQ(d.page.highlight.at(1), 0);
  LeaveDimsPage(d.page);
  EXPECT_EQ(d.page.selected, 0);
}

}  // namespace
}  // namespace vaultra
