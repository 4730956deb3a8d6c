// Edited slabs and boxes with a different thickness each: every distinct
// cover depth keeps its own group, and every top member its cover load, up
// to the largest facilities the model page allows.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "app/calc/build_models.h"
#include "app/pages/page_logic_impl.h"
#include "app/document/project_file.h"
#include "core/format_by_tag.h"
#include "core/ui.h"
#include "model/geometry.h"

namespace vaultra {
namespace {

namespace fs = std::filesystem;

class CoverGroupLimit : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    RecordingUi ui;
    master_ = new MasterData(LoadMasterData(std::string(VAULTRA_BINARY_DIR) + "/Master/材料/", ui));
  }
  static void TearDownTestSuite() { delete master_; }
  static MasterData* master_;

  // Opens a sample, sets the slab or box count to the largest the page
  // allows and gives every slab (and box) its own top thickness.
  void BuildEdited(const char* sample, const char* count_field, int count) {
    InputPageLogic logic(*master_);
    ASSERT_TRUE(
        LoadProjectFile(state_, std::string(VAULTRA_SOURCE_DIR) + "/samples/" + sample, logic)
            .loaded);
    Control& c = state_.model.At(count_field);
    c.text = NumberTextByTag(count, c.tag);
    logic.CommitInputs(state_, FormId::kModel);
    logic.UpdateModelFromModelPage(state_);
    ASSERT_EQ(
        state_.records.model.top_slabs == count || state_.records.model.centre_blocks == count,
        true);
    // Slabs 0.102, 0.104, ... m, centre boxes 0.203, 0.205, ... m, end
    // boxes 0.3 m: no two alike, even after rounding to the millimetre.
    int slabs = 0, boxes = 0;
    for (int b = 1; b <= state_.transverse.real_block_count; ++b) {
      DimensionSet& s = state_.block_row.At(b).working_set;
      if (s.kind == kBlockSlab) s.b() = 0.100 + 0.002 * ++slabs;
      if (s.kind == kBlockIntermediate) s.f() = 0.201 + 0.002 * ++boxes;
      if (s.kind == kBlockLeftEnd || s.kind == kBlockRightEnd) s.f() = 0.3;
    }
    state_.transverse.member_count = 0;
    logic.UpdateModelFromDimensionsPage(state_);
    ASSERT_TRUE(logic.TakeMessages().empty());
    ASSERT_GT(state_.transverse.member_count, 0);
    const std::string work = (fs::path(testing::TempDir()) / "cover_groups").string();
    ASSERT_EQ(BuildModels(state_, *master_, work, ws_), "");
  }

  // Every top member has a group, every group its own depth and the
  // members it counts, and case 2 loads each top member with its group's
  // cover pressure.
  void ExpectEveryTopMemberLoaded(std::size_t expected_groups) {
    const PressureTables& p = ws_.pressure;
    ASSERT_EQ(p.groups.size(), expected_groups);
    ASSERT_EQ(p.cover[0].size(), expected_groups);
    ASSERT_EQ(p.cover[1].size(), expected_groups);
    std::set<int> depths;
    for (const CoverGroup& g : p.groups) depths.insert(g.depth_mm);
    EXPECT_EQ(depths.size(), expected_groups);

    const StructureModel& tm = state_.transverse;
    const FrameLoadCase& c2 = ws_.transverse_frame.load_cases.At(2);
    std::vector<int> counted(expected_groups + 1, 0);
    int top_members = 0;
    for (int k = 1; k <= tm.member_count; ++k) {
      const int t = tm.Member(k).type;
      if (!(t == 3 || t == 4 || t == 7 || t == 8 || t == 19 || t == 20)) continue;
      ++top_members;
      const int g = tm.Member(k).cover_group;
      ASSERT_GE(g, 1) << "member " << k;
      ASSERT_LE(g, static_cast<int>(expected_groups));
      ++counted[static_cast<std::size_t>(g)];
      const double pv = p.cover[0][static_cast<std::size_t>(g - 1)].pv;
      bool loaded = false;
      for (const FrameLoadItem& it : c2.items)
        loaded = loaded || (it.first_member == k && it.type == kLoadDistGlobalY && it.d1 == -pv);
      EXPECT_TRUE(loaded) << "member " << k << " lacks its cover load " << pv;
    }
    for (std::size_t g = 1; g <= expected_groups; ++g)
      EXPECT_EQ(counted[g], p.groups[g - 1].members) << "group " << g;
    // The report breakdown keeps one entry per distinct pressure and length.
    int entries = 0;
    for (const CoverLoadEntry& e : p.report.cover_load[0].entries) entries += e.count;
    EXPECT_EQ(entries, top_members);
  }

  ProjectState state_ = DefaultProjectState();
  CalcWorkspace ws_;
};
MasterData* CoverGroupLimit::master_ = nullptr;

TEST_F(CoverGroupLimit, FiftySlabsOfFiftyThicknesses) {
  BuildEdited("stand_two_slabs.vt1", "Ed_slbSu", kMaxTopSlabs);
  // Seats and slab of a span share the slab's thickness: one group each.
  ExpectEveryTopMemberLoaded(kMaxTopSlabs);
}

TEST_F(CoverGroupLimit, TwentyFourCentreBoxesAllDifferent) {
  BuildEdited("box_three_boxes.vt1", "Ed_blkSu", kMaxCentreBlocks);
  // 24 centre boxes of their own f, the two end boxes of the product's f
  // and 25 slabs of their own b.
  ExpectEveryTopMemberLoaded(kMaxCentreBlocks + 1 + (kMaxCentreBlocks + 1));
}

}  // namespace
}  // namespace vaultra
