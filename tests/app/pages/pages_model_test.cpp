// The model page's commit: clamps, invalidation rules, mini-gate, lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "sample_builder.h"

namespace vaultra {
namespace {

using testing::ShippedMaster;

bool Has(const std::vector<std::string>& v, const std::string& s) {
  return std::find(v.begin(), v.end(), s) != v.end();
}

struct Page {
  MasterData md = ShippedMaster();
  ProjectState s = DefaultProjectState();
  InputPageLogic logic{md};

  explicit Page(int type, int block = 0) {
    s.model.At("CoBox0").index = type;
    TypeChanged(s, md);
    s.model.At("CoBox1").index = block;
    BlockChanged(s, md);
    Commit();
    logic.UpdateModelFromModelPage(s);
    Commit();
  }
  ModelCommit Commit() { return CommitModelInputs(s, md); }
};

TEST(ModelCommit, ClampsEveryRangeAndNamesTheClampedFields) {
  struct Case {
    const char* field;
    const char* text;
    double stored;
    bool clamped;
  };
  const Case cases[] = {
      {"Ed_blkB", "12", 10, true},    {"Ed_blkB", "10", 10, false}, {"Ed_blkH", "0.3", 0.5, true},
      {"Ed_slbSu", "1", 2, true},     {"Ed_slbSu", "51", 50, true}, {"Ed_blkSu", "0", 1, true},
      {"Ed_blkSu", "25", 24, true},   {"Ed_Kp", "20", 30, true},    {"Ed_Kg", "0", 0, false},
      {"Ed_Kg", "120", 110, true},    {"Ed_slbH", "3", 2, true},    {"Ed_invH", "0", 0.01, true},
      {"Ed_narH", "0.2", 0.1, true},  {"Ed_wl_b", "6", 5, true},    {"Ed_tateSu", "1", 2, true},
      {"Ed_slbW", "１２", 10, true},   // full-width digits are read
      {"Ed_blkSu", "2.95", 3, false},  // 2.95 + 0.1 truncated
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.field) + "=" + c.text);
    Page p(1);
    p.s.model.SetText(c.field, c.text);
    const ModelCommit out = p.Commit();
    EXPECT_EQ(Has(out.clamped, c.field), c.clamped);
    const ModelRecord& r = p.s.records.model;
    const std::map<std::string, double> stored = {{"Ed_blkB", r.B},
                                                  {"Ed_blkH", r.H},
                                                  {"Ed_slbSu", r.top_slabs},
                                                  {"Ed_blkSu", r.centre_blocks},
                                                  {"Ed_Kp", r.precast_cover},
                                                  {"Ed_Kg", r.cast_cover},
                                                  {"Ed_slbH", r.bottom_slab},
                                                  {"Ed_invH", r.invert},
                                                  {"Ed_narH", r.mortar},
                                                  {"Ed_wl_b", r.wall_lower},
                                                  {"Ed_tateSu", r.longitudinal_blocks},
                                                  {"Ed_slbW", r.W}};
    EXPECT_DOUBLE_EQ(stored.at(c.field), c.stored);
  }
}

TEST(ModelCommit, MiniGateKeepsDimensionAndRebarEdits) {
  Page p(2);
  EXPECT_EQ(p.s.records.model.facility_type, 1);  // generated as a box facility
  ASSERT_EQ(p.s.transverse.member_count, 28);
  // A dimensions-page edit and a rebar edit survive the next commits.
  p.s.block_row.At(3).working_set.a() = 0.25;
  p.s.transverse.member_count = 0;
  p.logic.UpdateModelFromDimensionsPage(p.s);
  p.s.transverse.Section(1).Current(6) = 22;
  for (int i = 0; i < 3; ++i) {
    const ModelCommit out = p.Commit();
    EXPECT_FALSE(out.block_row_invalidated);
    p.logic.UpdateModelFromModelPage(p.s);
  }
  EXPECT_DOUBLE_EQ(p.s.block_row.At(3).working_set.a(), 0.25);
  EXPECT_DOUBLE_EQ(p.s.transverse.Section(1).Current(6), 22);
}

TEST(ModelCommit, InvalidationRules) {
  Page p(0, 1);
  ASSERT_TRUE(p.s.transverse.member_table_valid());
  // Nothing changed: nothing invalidated.
  ModelCommit out = p.Commit();
  EXPECT_FALSE(out.block_row_invalidated);
  EXPECT_FALSE(out.member_table_invalidated);
  // H goes into every stand block and invalidates the members only.
  p.s.model.SetText("Ed_blkH", "1.8");
  out = p.Commit();
  EXPECT_FALSE(out.block_row_invalidated);
  EXPECT_TRUE(out.member_table_invalidated);
  EXPECT_DOUBLE_EQ(p.s.block_row.At(1).working_set.H(), 1.8);
  EXPECT_DOUBLE_EQ(p.s.block_row.At(3).working_set.H(), 1.8);
  EXPECT_DOUBLE_EQ(p.s.block_row.At(2).working_set.H(), 0);  // slabs keep theirs
  // The slab width goes into the slabs.
  p.logic.UpdateModelFromModelPage(p.s);
  p.s.model.SetText("Ed_slbW", "3.0");
  out = p.Commit();
  EXPECT_TRUE(out.member_table_invalidated);
  EXPECT_DOUBLE_EQ(p.s.block_row.At(4).working_set.B(), 3.0);
  // A new slab count invalidates the block row.
  p.logic.UpdateModelFromModelPage(p.s);
  p.s.model.SetText("Ed_slbSu", "3");
  out = p.Commit();
  EXPECT_TRUE(out.block_row_invalidated);
  p.logic.UpdateModelFromModelPage(p.s);
  EXPECT_EQ(p.s.transverse.member_count, 22);
  // Kg from non-zero to 0 rebuilds bars and covers.
  p.s.model.SetText("Ed_Kg", "0");
  out = p.Commit();
  EXPECT_EQ(out.section_flags, kRebuildBars | kRebuildCovers);
  p.s.model.SetText("Ed_Kp", "40");
  out = p.Commit();
  EXPECT_EQ(out.section_flags, kRebuildCovers);
}

TEST(ModelCommit, WaterSettings) {
  Page p(1);
  EXPECT_DOUBLE_EQ(p.s.records.model.ground_water_depth, 999);  // no ground water
  p.s.model.CheckRadio("RbWaterDepthON");
  p.s.model.SetText("EdWaterDepth", "2.0");
  // Stored water above the inner height (ﾎﾞｯｸｽ2000x1500: 1.5) or below 0.
  p.s.model.SetText("EdWaterH0", "3.0");
  p.s.model.SetText("EdWaterH1", "-1");
  p.s.model.SetText("EdWaterH2", "1.2");
  p.Commit();
  const ModelRecord& r = p.s.records.model;
  EXPECT_DOUBLE_EQ(r.ground_water_depth, 2.0);
  EXPECT_NEAR(r.water_level[0], 1.5, 1e-9);
  EXPECT_DOUBLE_EQ(r.water_level[1], 0);
  EXPECT_DOUBLE_EQ(r.water_level[2], 1.2);
}

TEST(ModelLists, ItemsAndTheProductChoice) {
  const MasterData md = ShippedMaster();
  const std::vector<ProductRecord> box = BlockTableRows(md, 1);
  ASSERT_EQ(box.size(), 8u);
  EXPECT_EQ(BlockListItem(1, 1, box[0]), " 01  2.0 × 1.5    なし");
  EXPECT_EQ(BlockListItem(8, 1, box[7]), " 08  2.5 × 2.5    有り");
  // The mini-gate lists the box rows.
  EXPECT_EQ(BlockTableRows(md, 2).size(), 8u);
  const std::vector<ProductRecord> stand = BlockTableRows(md, 0);
  ASSERT_EQ(stand.size(), 8u);
  EXPECT_EQ(BlockListItem(2, 0, stand[1]), " 02  1.5 × 2.0    なし");
  const std::vector<ProductRecord> slabs = SlabTableRows(md, 0, 2.0);
  ASSERT_EQ(slabs.size(), 6u);
  EXPECT_EQ(SlabListItem(1, slabs[0]), " 01  1.5 × 2.0 (m)");
  EXPECT_EQ(SlabTableRows(md, 1, 2.0).size(), 7u);  // B-W1000 .. B-W4000
  EXPECT_TRUE(SlabTableRows(md, 1, 2.5).empty());

  // Choosing a product resets the covers and the longitudinal block count
  // and picks the last slab narrower than 4.1 m (stand: 4.0).
  Page p(0, 0);
  p.s.model.SetText("Ed_Kp", "45");
  p.s.model.SetText("Ed_tateSu", "3");
  p.s.model.At("CoBox1").index = 2;
  BlockChanged(p.s, p.md);
  EXPECT_EQ(ReadInt(p.s.model.Text("Ed_Kp")), 30);
  EXPECT_EQ(ReadInt(p.s.model.Text("Ed_Kg")), 60);
  EXPECT_EQ(ReadInt(p.s.model.Text("Ed_tateSu")), 10);
  EXPECT_EQ(p.s.model.Index("CoBox2"), 5);
  EXPECT_DOUBLE_EQ(ReadReal(p.s.model.Text("Ed_slbW")), 4.0);
  EXPECT_FALSE(p.s.transverse.block_row_valid());
}

TEST(ModelCommit, NameIsCutWithoutSplittingACharacter) {
  Page p(1);
  // 63 one-byte characters and a two-byte one: 65 bytes, cut to the 63.
  const std::string name = std::string(63, 'A') + "設";
  p.s.model.SetText("EdModelName", name);
  p.Commit();
  EXPECT_EQ(p.s.records.model.name, std::string(63, 'A'));
  p.s.model.SetText("EdModelName", "設計");
  p.Commit();
  EXPECT_EQ(p.s.records.model.name, "設計");
}

TEST(ModelUpdate, EndWallThicknessFollowsTheProduct) {
  // ｽﾀﾝﾄﾞH1500 with 4.0 m slabs: code "1540N20", end wall 0.3 / 0.4 m.
  Page p(0, 1);
  EXPECT_DOUBLE_EQ(ReadReal(p.s.model.Text("Ed_wl_a")), 0.3);
  EXPECT_DOUBLE_EQ(ReadReal(p.s.model.Text("Ed_wl_b")), 0.4);
  // A later user value stays while nothing is regenerated.
  p.s.model.SetText("Ed_wl_a", "0.5");
  p.Commit();
  p.logic.UpdateModelFromModelPage(p.s);
  EXPECT_DOUBLE_EQ(ReadReal(p.s.model.Text("Ed_wl_a")), 0.5);
  EXPECT_DOUBLE_EQ(p.s.records.model.wall_upper, 0.5);
}

TEST(ModelPageView, LayoutAndLock) {
  FormState f = DefaultModelForm();
  ModelPageView v = ModelPageState(f);
  EXPECT_FALSE(v.show_blkB);
  EXPECT_TRUE(v.show_blkL);
  EXPECT_TRUE(v.show_slbSu);
  EXPECT_EQ(v.depth_note, "(左端頂版の土被りとする)");
  EXPECT_EQ(v.lock_caption_colour, 12632256);
  f.At("CoBox0").index = 2;  // the mini-gate is shown as a box
  f.At("CbxLock").checked = true;
  v = ModelPageState(f);
  EXPECT_TRUE(v.show_blkB);
  EXPECT_TRUE(v.show_blkSu);
  EXPECT_FALSE(v.show_slbSu);
  EXPECT_EQ(v.label_first, "ﾌﾞﾛｯｸの内幅  (B)");
  EXPECT_EQ(v.block_list_header, "寸法(B×H)");
  EXPECT_FALSE(v.product_groups_enabled);
  EXPECT_EQ(v.lock_caption_colour, 255);
}

TEST(ModelCommit, SlabSetTakesTheWidthAndTheZoneWidth) {
  Page p(1);
  const ModelRecord& r = p.s.records.model;
  // The last box slab narrower than 4.1 m, B-W4000: d 0.1, so c = W - 2d = 3.8.
  EXPECT_DOUBLE_EQ(r.working_slab.B(), 4.0);
  EXPECT_NEAR(r.working_slab.c(), 3.8, 1e-12);
  EXPECT_DOUBLE_EQ(r.working_end.B(), 2.0);
  EXPECT_EQ(r.working_end.kind, 1);
  EXPECT_EQ(r.working_mid.kind, 2);
}

}  // namespace
}  // namespace vaultra
