// The loads record and the rules that couple its buttons.
#include <gtest/gtest.h>

#include "app/pages/loads_page.h"
#include "app/document/project_file.h"
#include "core/number.h"
#include "sample_builder.h"

namespace vaultra {
namespace {

TEST(LoadsCommit, DesignedDefaults) {
  ProjectState s = DefaultProjectState();
  CommitLoadsInputs(s);
  const LoadsRecord& r = s.records.loads;
  EXPECT_DOUBLE_EQ(r.kah, 0.5);
  EXPECT_DOUBLE_EQ(r.gamma_w, 9.8);
  EXPECT_EQ(r.method, 0);
  EXPECT_EQ(r.sv1_standard, 1);
  EXPECT_EQ(r.spring_formula, 1);
  EXPECT_EQ(r.region, 4);
  EXPECT_EQ(r.eo_method, 2);
  EXPECT_DOUBLE_EQ(r.cs, 1.0);  // Cs applies to the seismic coefficient method only
  EXPECT_DOUBLE_EQ(r.typed[1].ksb[2], 123456);
  EXPECT_DOUBLE_EQ(r.tau[2][1], 2.0);
  EXPECT_FALSE(r.cap_10m);
}

TEST(LoadsCommit, CouplingRules) {
  struct Case {
    const char* what;
    void (*edit)(FormState&);
    bool (*check)(const LoadsRecord&);
  };
  const Case cases[] = {
      {"Cs 0.45 under the seismic coefficient method",
       [](FormState& f) {
         f.CheckRadio("RbCalcSindo");
         f.At("RgCs").SetIndex(1);
       },
       [](const LoadsRecord& r) { return r.cs == 0.45 && r.method == 1; }},
      {"strata only with the response displacement method",
       [](FormState& f) {
         f.At("PhSo").checked = true;
         f.CheckRadio("RbCalcSindo");
       },
       [](const LoadsRecord& r) { return !r.strata; }},
      {"strata taken", [](FormState& f) { f.At("PhSo").checked = true; },
       [](const LoadsRecord& r) { return r.strata; }},
      {"parking guideline with 地中式 stores 道路橋式",
       [](FormState& f) {
         f.At("GBoxSisin").SetIndex(0);
         f.At("GBoxBaneSiki").SetIndex(0);
       },
       [](const LoadsRecord& r) { return r.spring_formula == 1; }},
      {"sewer guideline keeps 地中式", [](FormState& f) { f.At("GBoxBaneSiki").SetIndex(0); },
       [](const LoadsRecord& r) { return r.spring_formula == 0; }},
      {"typed springs below 1 become 1", [](FormState& f) { f.SetText("Ed_YokoKv1", "0.2"); },
       [](const LoadsRecord& r) { return r.typed[0].kv[1] == 1.0; }},
      {"last checked Eo button wins",
       [](FormState& f) {
         f.At("RbEo3").checked = true;
         f.At("RbEo4").checked = true;
       },
       [](const LoadsRecord& r) { return r.eo_method == 4; }},
      {"unreadable text reads 0", [](FormState& f) { f.SetText("Ed_q", "abc"); },
       [](const LoadsRecord& r) { return r.q == 0; }},
  };
  for (const Case& c : cases) {
    ProjectState s = DefaultProjectState();
    c.edit(s.loads);
    CommitLoadsInputs(s);
    EXPECT_TRUE(c.check(s.records.loads)) << c.what;
  }
}

TEST(LoadsButtons, MethodSv1AndStrata) {
  FormState f = DefaultLoadsForm();
  f.At("GBoxSisin").SetIndex(0);
  f.At("PhSo").checked = true;
  f.CheckRadio("RbCalcSindo");
  MethodChanged(f);
  EXPECT_TRUE(f.Checked("PhUm"));
  EXPECT_FALSE(f.Checked("PhSo"));
  EXPECT_EQ(f.Index("GBoxSisin"), 1);
  f.At("GBoxSisin").SetIndex(0);
  f.At("GBoxBaneSiki").SetIndex(0);
  Sv1StandardChanged(f);
  EXPECT_EQ(f.Index("GBoxBaneSiki"), 1);
  f.At("PhUm").checked = false;
  KeepStrataButtons(f, "PhUm");
  EXPECT_TRUE(f.Checked("PhSo"));
  f.At("PhSo").checked = false;
  KeepStrataButtons(f, "");
  EXPECT_TRUE(f.Checked("PhUm"));
  // An earth-pressure option click shows the first earth-pressure case.
  f.At("RgKajyuType").SetIndex(0);
  KeepStrataButtons(f, "RgKea3");
  EXPECT_EQ(ShownLoadCase(f), 11);
}

TEST(LoadsDisplay, ShownCaseAndDirection) {
  FormState f = DefaultLoadsForm();
  EXPECT_EQ(ShownLoadCase(f), 2);   // "2) 静止土圧"
  f.At("RgKajyuType").SetIndex(7);  // "*)  ---"
  EXPECT_EQ(ShownLoadCase(f), 1);
  f.At("RgKajyuType").SetIndex(19);
  EXPECT_EQ(ShownLoadCase(f), 21);
  f.At("RgKajyuType").index = -1;
  EXPECT_EQ(ShownLoadCase(f), 1);
  EXPECT_TRUE(ShownTransverse(f));
  f.CheckRadio("RbTate");
  EXPECT_FALSE(ShownTransverse(f));
  EXPECT_FALSE(TypedSpringsEnabled(f));
  f.At("GBoxBaneSiki").SetIndex(2);
  EXPECT_TRUE(TypedSpringsEnabled(f));
}

}  // namespace
}  // namespace vaultra

namespace vaultra {
namespace {

// The loads page on the box sample: regenerated models, the load table of
// the shown case, the selected item.
class LoadsTable : public ::testing::Test {
 protected:
  void SetUp() override {
    InputPageLogic logic(md_);
    ASSERT_TRUE(LoadProjectFile(
                    state_, std::string(VAULTRA_SOURCE_DIR) + "/samples/box_three_boxes.vt1", logic)
                    .loaded);
    EnterLoadsPage(state_, md_, page_);
    ASSERT_EQ(page_.error, "");
  }
  void Show(int list_index) {
    state_.loads.At("RgKajyuType").SetIndex(list_index);
    ChangeLoadDisplay(state_, md_, page_);
  }
  const FrameLoadCase& Case(int n) const { return page_.models.transverse_frame.load_cases.At(n); }
  // The table row of the first item on member m.
  int RowOf(int member) const {
    for (int r = 1; r < page_.table.row_count(); ++r)
      if (page_.table.Cell(2, r) == Format("%d", member)) return r;
    return 0;
  }

  MasterData md_ = testing::ShippedMaster();
  ProjectState state_ = DefaultProjectState();
  LoadsPageState page_;
};

TEST_F(LoadsTable, RowsOfTheShownCase) {
  // Entry shows "2) 静止土圧" of the transverse model with item 1 selected.
  const FrameLoadCase& c2 = Case(2);
  ASSERT_GT(c2.items.Count(), 2);
  EXPECT_EQ(page_.selected_item, 1);
  const GridData& g = page_.table;
  ASSERT_EQ(g.row_count(), c2.items.Count() + 2);
  ASSERT_EQ(g.col_count(), kLoadTableCols);
  EXPECT_EQ(g.Cell(1, 0), "荷重,ﾀｲﾌﾟ");
  EXPECT_EQ(g.col_widths[9], 158);
  EXPECT_EQ(page_.table_width, 1 + (32 + 42 + 36 + 36 + 58 + 68 * 4 + 158) + 10 + 32);
  // The first items press on the left wall (member 1, type 1): x loads.
  const StructureModel& tm = state_.transverse;
  EXPECT_EQ(g.Cell(0, 1), "1");
  EXPECT_EQ(g.Cell(1, 1), "13=X");
  EXPECT_EQ(g.Cell(2, 1), "1");
  EXPECT_EQ(g.Cell(3, 1), "0");
  EXPECT_EQ(g.Cell(4, 1), Format("%5.3f", tm.Member(1).length));
  EXPECT_EQ(g.Cell(5, 1), Format("%7.3f", c2.items.At(1).d1));
  EXPECT_EQ(g.Cell(8, 1), Format("%6.3f", c2.items.At(1).d4));
  EXPECT_EQ(g.Cell(9, 1), "左端ﾌﾞﾛｯｸ側壁");
  // The cover load on a slab is vertical; the last item, the ground
  // reaction over the bottom members, names the bottom slab.
  const int slab_row = RowOf(tm.first_top_slab_member);
  ASSERT_GT(slab_row, 0);
  EXPECT_EQ(g.Cell(1, slab_row), "14=Y");
  EXPECT_EQ(g.Cell(9, slab_row), "頂版ｽﾗﾌﾞ");
  const int last = c2.items.Count();
  EXPECT_GT(c2.items.At(last).last_member, 0);
  EXPECT_EQ(g.Cell(9, last), "(底 版 部 材)");
  // The spare row stays empty.
  EXPECT_EQ(g.Cell(2, last + 1), "");

  // Case 7 has no items: header, an empty row 1 and the spare row.
  Show(6);
  EXPECT_EQ(page_.table.row_count(), 3);
  EXPECT_EQ(page_.table.Cell(2, 1), "");
  EXPECT_EQ(page_.selected_item, 0);
  // The longitudinal direction shows the longitudinal frame model.
  state_.loads.CheckRadio("RbTate");
  Show(1);
  EXPECT_EQ(page_.table.row_count(),
            page_.models.longitudinal_frame.load_cases.At(2).items.Count() + 2);
}

TEST_F(LoadsTable, TableFollowsTheRecomputedTables) {
  // The cover pressure on the slab comes from the cover records: a new Kav
  // must show at once, not after the next recomputation.
  const int row = RowOf(state_.transverse.first_top_slab_member);
  ASSERT_GT(row, 0);
  const double before = ReadReal(page_.table.Cell(5, row));
  ASSERT_LT(before, 0);
  state_.loads.SetText("Ed_Kav", "1.00");
  RecomputeLoadsPage(state_, md_, page_, "");
  const double after =
      ReadReal(page_.table.Cell(5, RowOf(state_.transverse.first_top_slab_member)));
  EXPECT_NEAR(after, 2 * before, 0.002);
  // Clicks during start-up change nothing.
  state_.loads.SetText("Ed_Kav", "0.50");
  RecomputeLoadsPage(state_, md_, page_, "", false);
  EXPECT_EQ(ReadReal(page_.table.Cell(5, row)), after);
  // Without a model the table empties instead of keeping older loads.
  state_.transverse.member_count = 0;
  RecomputeLoadsPage(state_, md_, page_, "");
  EXPECT_NE(page_.error, "");
  EXPECT_EQ(page_.table.row_count(), 3);
  EXPECT_EQ(page_.table.Cell(2, 1), "");
  EXPECT_EQ(page_.selected_item, 0);
}

TEST_F(LoadsTable, SelectedItemStaysWithinTheShownCase) {
  const int n2 = Case(2).items.Count();
  ASSERT_TRUE(ClickLoadTable(state_, page_, n2));
  EXPECT_EQ(page_.selected_item, n2);
  EXPECT_FALSE(ClickLoadTable(state_, page_, n2 + 1));  // the spare row
  EXPECT_EQ(page_.selected_item, n2);
  // Case 4 (rear wheel) has fewer items than case 2 and far fewer than the
  // model has members: the selection moves to its last item.
  const int n4 = Case(4).items.Count();
  ASSERT_LT(n4, n2);
  Show(3);
  EXPECT_EQ(page_.selected_item, n4);
  MemberHighlight flags;
  HighlightSelectedItem(state_, page_, flags);
  const FrameLoadItem& it = Case(4).items.At(n4);
  EXPECT_TRUE(flags.IsSet(it.first_member));
  EXPECT_TRUE(flags.IsSet(std::max(it.first_member, it.last_member)));
  EXPECT_FALSE(flags.IsSet(1));
  LeaveLoadsPage(state_, page_);
  EXPECT_EQ(page_.selected_item, 0);
}

TEST_F(LoadsTable, ClickOnTheDrawingPicksTheFirstItemOfTheMember) {
  // Show case 2; the right wall (type 2) is loaded after the left wall.
  const StructureModel& tm = state_.transverse;
  const int wall = tm.right_wall_member;
  const ModelNode& top = tm.Node(tm.Member(wall).node_i);
  int first = 0;
  for (int k = Case(2).items.Count(); k >= 1; --k)
    if (Case(2).items.At(k).first_member == wall) first = k;
  ASSERT_GT(first, 0);
  // 0.2 m beside the wall, half-way down.
  EXPECT_TRUE(ClickLoadDrawing(state_, page_, top.x + 0.2, top.y / 2, 0));
  EXPECT_EQ(page_.selected_item, first);
  // A drag, or a point 0.3 m or more from every member, keeps the selection.
  EXPECT_FALSE(ClickLoadDrawing(state_, page_, 0.1, top.y / 2, 6));
  EXPECT_FALSE(ClickLoadDrawing(state_, page_, top.x + 0.35, top.y / 2, 0));
  EXPECT_EQ(page_.selected_item, first);
  // The reaction item spans the bottom members: a bottom member picks it
  // in case 1 only when no item of its own comes first.
  Show(0);
  const FrameLoadCase& c1 = Case(1);
  const ModelNode& b = tm.Node(tm.Member(tm.first_bottom_member).node_i);
  const ModelNode& e = tm.Node(tm.Member(tm.first_bottom_member).node_j);
  ASSERT_TRUE(ClickLoadDrawing(state_, page_, (b.x + e.x) / 2, 0.05, 0));
  const FrameLoadItem& picked = c1.items.At(page_.selected_item);
  EXPECT_LE(picked.first_member, tm.first_bottom_member);
  EXPECT_GE(std::max(picked.first_member, picked.last_member), tm.first_bottom_member);
}

}  // namespace
}  // namespace vaultra
