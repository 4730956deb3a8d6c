// The RC check and rebar page: diameters rounded to the tables, edits that
// reach the whole check group, the rebar edited flag, failure colours and
// the never-passing display of a failed run, the stress table's columns,
// the member stepping and the values for the section-detail window.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "app/calc/build_models.h"
#include "app/document/project_file.h"
#include "app/pages/other_checks_page.h"
#include "app/pages/rc_page.h"
#include "sample_builder.h"

namespace vaultra {
namespace {

const MasterData& Md() {
  static const MasterData md = testing::ShippedMaster();
  return md;
}

TEST(RcPage, DiametersRoundUpToTheTables) {
  struct Case {
    double typed;
    bool joint;
    int stored;
  } cases[] = {{14, false, 16}, {60, false, 51}, {0, false, 0},     {-5, false, 0},
               {10, false, 10}, {51, false, 51}, {16.5, false, 19}, {14, true, 16},
               {40, true, 39},  {12, true, 12},  {0, true, 0},      {NAN, false, 0}};
  for (const Case& c : cases)
    EXPECT_EQ(RoundDiameter(c.typed, c.joint), c.stored) << c.typed << " joint " << c.joint;
}

// ---- a small model with hand-made check rows ----------------------------------------------

struct Synthetic {
  StructureModel model;
  BlockRow row;
  CalcRun run;

  explicit Synthetic(int members) {
    model.member_count = members;
    for (int m = 1; m <= members; ++m) {
      model.Member(m).number = m;
      model.Member(m).type = 1;
      model.Member(m).length = 2.0;
    }
    run.transverse_ok = true;
    run.members_checked = true;
    run.checks.Reset(members);
    for (auto& v : run.summaries.req_stirrup) v.assign(static_cast<std::size_t>(members + 1), 0.0);
  }
  CheckPointRecord& Row(int m, int p, int k = 0) {
    MemberCheckTable& tb = run.checks.At(k, m);
    tb.type_code = model.Member(m).type;
    tb.count = std::max(tb.count, p);
    CheckPointRecord& r = tb.Row(p);
    r.member = m;
    r.type_code = tb.type_code;
    r.k[12] = r.k[20] = 1000;
    return r;
  }
  RcSources Src() { return {&model, &row, &Md(), 0, &run}; }
};

TEST(RcPage, FailingShearWithoutStirrupsShowsRedStarsAndInnerRatioDashWithoutInnerTension) {
  Synthetic s(2);
  // Member 1: negative moments only (outer face in tension), shear fails, no stirrups.
  CheckPointRecord& r = s.Row(1, 1);
  r.label = "下端部";
  r.M = -10;
  r.ratio_flexure = 0.5;
  r.ratio_shear = 1.2;
  r.ng_shear = true;
  // Member 2: satisfied everywhere.
  CheckPointRecord& q = s.Row(2, 1);
  q.label = "下端部";
  q.M = 5;
  q.ratio_flexure = 0.25;
  q.ratio_shear = 0.5;

  const RebarList list = BuildRebarList(s.Src(), 0);
  ASSERT_EQ(list.table.rows, 2 * 3 + 2);  // two members and the joint inserts
  const RcTable& t = list.table;
  // Member 1 (rows 2 inner, 3 outer).
  for (int col : {10, 11, 12, 13}) {
    EXPECT_EQ(t.At(col, 2).shown, "***") << col;
    EXPECT_EQ(t.At(col, 2).fg, kRcRed) << col;
  }
  EXPECT_EQ(t.At(15, 2).shown, "1.200");
  EXPECT_EQ(t.At(15, 2).fg, kRcRed);
  EXPECT_EQ(t.At(8, 2).shown, "－");  // no row puts the inner face in tension
  EXPECT_EQ(t.At(8, 2).fg, kRcNavy);
  EXPECT_EQ(t.At(8, 3).shown, "0.500");
  EXPECT_EQ(t.At(8, 3).fg, kRcNavy);
  EXPECT_TRUE(t.At(10, 3).shown.empty());  // stirrup columns of the outer row stay empty
  // Member 2 (rows 4, 5): navy everywhere, stirrup columns "－".
  for (int col = 2; col < kRebarCols; ++col) {
    EXPECT_NE(t.At(col, 4).fg, kRcRed) << col;
    EXPECT_NE(t.At(col, 5).fg, kRcRed) << col;
  }
  EXPECT_EQ(t.At(10, 4).shown, "－");
  EXPECT_EQ(t.At(8, 4).shown, "0.250");
  EXPECT_EQ(list.error_summary, "常時 で NG");

  // Without the failing row the summary is empty.
  r.ng_shear = false;
  r.ratio_shear = 0.9;
  EXPECT_EQ(BuildRebarList(s.Src(), 0).error_summary, "");
}

TEST(RcPage, RatiosCountLabelledRowsAndTheShoulderRowsForTheShoulder) {
  Synthetic s(2);
  s.model.Member(1).type = 11;  // wall
  s.model.Member(2).type = 5;   // shoulder
  CheckPointRecord& own = s.Row(1, 1);
  own.label = "下端部";
  own.M = 3;
  own.ratio_flexure = 0.4;
  CheckPointRecord& unlabelled = s.Row(1, 2);
  unlabelled.M = 3;
  unlabelled.ratio_flexure = 0.95;  // not a printed check row of the member
  CheckPointRecord& appended = s.Row(1, 3);
  appended.label = "上端部";
  appended.M = 3;
  appended.ratio_flexure = 0.8;
  MemberCheckTable& wall = s.run.checks.At(0, 1);
  wall.partner = 2;
  wall.former_count = 2;
  CheckPointRecord& shoulder = s.Row(2, 1);
  shoulder.label = "上端部";
  shoulder.M = 3;
  shoulder.ratio_flexure = 0.8;
  s.run.checks.At(0, 2).partner = 1;
  // A row with steel on the outer face only counts there, whatever M says.
  CheckPointRecord& one_face = s.Row(2, 2);
  one_face.label = "下端部";
  one_face.M = 4;
  one_face.k[20] = 0;
  one_face.ratio_flexure = 0.6;

  const RcMemberRatios w = MemberRatiosOf(s.run.checks, 0, 1);
  EXPECT_DOUBLE_EQ(w.flexure_inner, 0.4);
  const RcMemberRatios sh = MemberRatiosOf(s.run.checks, 0, 2);
  EXPECT_DOUBLE_EQ(sh.flexure_inner, 0.8);
  EXPECT_DOUBLE_EQ(sh.flexure_outer, 0.6);
}

TEST(RcPage, AFailedOrMissingRunNeverReadsAsAPass) {
  for (int variant = 0; variant < 3; ++variant) {
    SCOPED_TRACE(variant);
    Synthetic s(1);
    s.Row(1, 1).label = "下端部";
    RcSources src = s.Src();
    if (variant == 0) src.run = nullptr;
    if (variant == 1) s.run.transverse_ok = false;  // zero forces left behind
    if (variant == 2) s.run.members_checked = false;
    const RebarList list = BuildRebarList(src, 0);
    EXPECT_TRUE(list.failed);
    EXPECT_FALSE(list.error_summary.empty());
    for (int col : {8, 14, 15, 16}) {
      EXPECT_EQ(list.table.At(col, 2).shown, "***") << col;
      EXPECT_EQ(list.table.At(col, 2).fg, kRcRed) << col;
    }
    if (variant == 1) {
      EXPECT_EQ(list.error_summary, kTransverseFailedMessage);
    }
    const StressTable st = BuildStressTable(src, 1, 0);
    EXPECT_FALSE(st.failure.empty());
    EXPECT_EQ(st.table.cols, kStressCaptionCols);
  }
}

TEST(RcPage, MemberSteppingWrapsSkipsShortMembersAndEndsWithinOneCycle) {
  StructureModel model;
  model.member_count = 4;
  const double lengths[] = {1.0, 0.05, 2.0, 0.0999};
  for (int m = 1; m <= 4; ++m) model.Member(m).length = lengths[m - 1];
  struct Step {
    int from, dir, to;
  } steps[] = {{1, 1, 3}, {3, 1, 1}, {1, -1, 3}, {3, -1, 1}, {2, 1, 3}, {4, 1, 1}};
  for (const Step& s : steps) EXPECT_EQ(StepMember(model, s.from, s.dir), s.to) << s.from;
  // After a failed run no member is long enough: the search stops.
  for (int m = 1; m <= 4; ++m) model.Member(m).length = 0;
  EXPECT_EQ(StepMember(model, 1, 1), 0);
  EXPECT_EQ(StepMember(model, 1, -1), 0);
  RcPage page;
  page.Enter();
  EXPECT_FALSE(page.Step(model, 1));
  EXPECT_EQ(page.selected_member(), 1);
}

TEST(RcPage, StressTableShowsLabelledSummaryRowsByPosition) {
  Synthetic s(1);
  s.model.Member(1).type = 16;  // descending positions
  const double xs[] = {0.0, 0.5, 1.0, 1.5};
  for (int p = 1; p <= 4; ++p) {
    CheckPointRecord& r = s.Row(1, p);
    r.x = xs[p - 1];
    r.label = p == 3 ? "" : "端部";
    r.k[6] = 16;
    r.k[7] = 8;
  }
  s.Row(1, 4).ng_sigma_s = true;
  s.Row(1, 4).sigma_s_inner = 170.5;
  GroupRowSummary& g = s.run.summaries.row_summary[0][static_cast<std::size_t>(CheckGroupOf(16))];
  g.present = true;
  g.a1 = 2;
  g.a2 = 3;
  g.max_row = 4;
  const StressTable st = BuildStressTable(s.Src(), 1, 0);
  ASSERT_EQ(st.rows, (std::vector<int>{4, 2, 1}));  // row 3 has no label
  EXPECT_EQ(st.table.cols, 3 + 3);
  EXPECT_EQ(st.table.At(3, 1).shown, "1.500");
  EXPECT_EQ(st.table.At(3, 5).shown, "D16ｘ8.00");
  EXPECT_EQ(st.table.At(3, 20).shown, "170.50");  // "*" removed, drawn red
  EXPECT_EQ(st.table.At(3, 20).fg, kRcRed);
  EXPECT_EQ(st.table.At(4, 20).shown, " 0.00");  // the blank of a satisfied value
  EXPECT_EQ(LayerText(true, 20, 2), "M20ｘ2.00");
  EXPECT_EQ(LayerText(false, 16, 0), "");
}

TEST(RcPage, DetailValuesTakeTheTensionFaceOrderAndTheForcesMagnitudes) {
  CheckPointRecord r;
  r.M = -120.5;
  r.S = -40;
  r.N = 12;
  r.k[1] = 400;
  r.k[4] = 1000;
  r.k[10] = 50;
  r.k[12] = 1589;
  r.k[18] = 60;
  r.k[20] = 2292;
  r.k[28] = 24;
  const SectionDetailInputs base = SectionDetailInputs::Initial();
  SectionDetailInputs in = DetailInputsOf(r, true, base);
  EXPECT_DOUBLE_EQ(in.Value(kSdDd1), 60);  // inner face first: M < 0 and inner steel
  EXPECT_DOUBLE_EQ(in.Value(kSdAs1), 2292);
  EXPECT_DOUBLE_EQ(in.Value(kSdAs2), 1589);
  EXPECT_DOUBLE_EQ(in.Value(kSdM), 120.5);
  EXPECT_DOUBLE_EQ(in.Value(kSdS), 40);
  EXPECT_DOUBLE_EQ(in.Value(kSdN), -12);
  EXPECT_DOUBLE_EQ(in.Value(kSdFdck), 24);
  EXPECT_TRUE(in.ck_ta_h2);
  r.M = 1;
  in = DetailInputsOf(r, false, base);
  EXPECT_DOUBLE_EQ(in.Value(kSdDd1), 50);
  EXPECT_DOUBLE_EQ(in.Value(kSdAs1), 1589);
  EXPECT_EQ(in.text[kSdEc], base.text[kSdEc]);  // untouched fields stay
}

// ---- edits on a sample --------------------------------------------------------------------

struct SampleRun : ::testing::Test {
  ProjectState state = DefaultProjectState();
  CalcWorkspace ws;
  CalcRun run;
  std::filesystem::path dir;

  void Load(const char* sample, bool analyse) {
    InputPageLogic logic(Md());
    ASSERT_TRUE(
        LoadProjectFile(state, std::string(VAULTRA_SOURCE_DIR) + "/samples/" + sample, logic)
            .loaded);
    if (!analyse) return;
    dir = std::filesystem::temp_directory_path() / ("vaultra_rc_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    PrepareOtherChecks(state);
    CommitOtherChecksInputs(state);
    ASSERT_EQ(BuildModels(state, Md(), dir.string(), ws), "");
    RunAnalysis(state, Md(), ws, RunAnalysisOptions{}, run);
    ASSERT_TRUE(run.transverse_ok);
    ASSERT_TRUE(run.members_checked);
  }
  ~SampleRun() override {
    if (!dir.empty()) std::filesystem::remove_all(dir);
  }
  RebarList List() {
    return BuildRebarList(
        {&state.transverse, &state.block_row, &Md(), IsBoxLayout(state) ? 1 : 0, &run}, 0);
  }
  // The grid row of member m (inner row; +1 for the outer row).
  static int RowOf(const RebarList& l, int m) {
    for (std::size_t i = 0; i < l.pair_member.size(); ++i)
      if (l.pair_member[i] == m) return 2 + 2 * static_cast<int>(i);
    return -1;
  }
  int MemberOfType(std::initializer_list<int> types) const {
    for (int m = 1; m <= state.transverse.member_count; ++m)
      for (int t : types)
        if (state.transverse.Member(m).type == t) return m;
    return 0;
  }
};

TEST_F(SampleRun, DiameterCountAndLayerEditsReachTheGroupWithHandAreas) {
  Load("box_three_boxes.vt1", false);
  const int m = MemberOfType({1, 2});
  ASSERT_NE(m, 0);
  const RebarList list = List();
  const int r = RowOf(list, m);
  StructureModel& model = state.transverse;
  auto edit = [&](int col, int row, const char* text) {
    return ApplyRebarEdit(model, state.block_row, Md(), 1, list, col, row, text);
  };
  ASSERT_TRUE(edit(3, r, "14").applied);  // inner layer 1: D16
  ASSERT_TRUE(edit(4, r, "5").applied);
  ASSERT_TRUE(edit(5, r, "60").applied);  // inner layer 2: D51
  ASSERT_TRUE(edit(6, r, "2").applied);
  for (int o = 1; o <= model.member_count; ++o) {
    if (CheckGroupOf(model.Member(o).type) != 1) continue;
    const MemberSection& s = model.Section(o);
    EXPECT_EQ(s.Current(14), 16) << o;
    EXPECT_EQ(s.Current(16), 51) << o;
    EXPECT_NEAR(s.Current(20), 198.6 * 5 + 2027 * 2, 1e-6) << o;
  }
  ASSERT_TRUE(edit(5, r, "0").applied);  // the second layer goes
  EXPECT_EQ(model.Section(m).Current(16), 0);
  EXPECT_NEAR(model.Section(m).Current(20), 198.6 * 5, 1e-6);
  const RebarEditOutcome bad = edit(4, r, "abc");
  EXPECT_FALSE(bad.applied);
  EXPECT_FALSE(bad.error.empty());
  EXPECT_EQ(model.Section(m).Current(15), 5);
  EXPECT_FALSE(edit(8, r, "3").applied);        // a ratio is not editable
  EXPECT_FALSE(edit(10, r + 1, "13").applied);  // stirrups only in the inner row

  // The joint inserts: the bolt table.
  const int jr = RowOf(list, model.member_count + 1);
  ASSERT_GT(jr, 0);
  ASSERT_TRUE(edit(3, jr, "14").applied);
  EXPECT_EQ(model.Section(model.member_count + 1).Current(14), 16);
  ASSERT_TRUE(edit(3, jr + 1, "40").applied);
  EXPECT_EQ(model.Section(model.member_count + 1).Current(6), 39);
}

TEST_F(SampleRun, StandMiddleWallTakesBothFacesAndBoxShouldersGoWithTheirWalls) {
  Load("stand_two_slabs.vt1", false);
  const int mid = MemberOfType({12});
  ASSERT_NE(mid, 0);
  RebarList list = List();
  ASSERT_TRUE(
      ApplyRebarEdit(state.transverse, state.block_row, Md(), 0, list, 3, RowOf(list, mid), "19")
          .applied);
  EXPECT_EQ(state.transverse.Section(mid).Current(14), 19);
  EXPECT_EQ(state.transverse.Section(mid).Current(6), 19);

  state = DefaultProjectState();
  Load("box_three_boxes.vt1", false);
  StructureModel& model = state.transverse;
  // A shoulder of an end block: its cover goes to the inner walls of end
  // blocks, not to the intermediate walls or the shoulders of intermediate blocks.
  int end_shoulder = 0, mid_shoulder = 0;
  for (int m = 1; m <= model.member_count; ++m) {
    const int t = model.Member(m).type;
    const int kind = state.block_row.At(model.Member(m).block).working_set.kind;
    if ((t == 5 || t == 6) && kind != kBlockIntermediate && !end_shoulder) end_shoulder = m;
    if ((t == 5 || t == 6) && kind == kBlockIntermediate && !mid_shoulder) mid_shoulder = m;
  }
  ASSERT_NE(end_shoulder, 0);
  const int inner_wall = MemberOfType({11});
  const int mid_wall = MemberOfType({12});
  ASSERT_NE(inner_wall, 0);
  ASSERT_NE(mid_wall, 0);
  const double mid_wall_cover = model.Section(mid_wall).Current(10);
  const double mid_wall_count = model.Section(mid_wall).Current(7);
  const double inner_wall_count = model.Section(inner_wall).Current(7);
  list = List();
  const int r = RowOf(list, end_shoulder) + 1;
  ASSERT_TRUE(ApplyRebarEdit(model, state.block_row, Md(), 1, list, 2, r, "71").applied);
  EXPECT_EQ(model.Section(inner_wall).Current(10), 71);
  EXPECT_EQ(model.Section(mid_wall).Current(10), mid_wall_cover);
  ASSERT_NE(mid_shoulder, 0);
  EXPECT_NE(model.Section(mid_shoulder).Current(10), 71);
  // A count is not copied to the walls.
  ASSERT_TRUE(ApplyRebarEdit(model, state.block_row, Md(), 1, list, 4, r, "3").applied);
  EXPECT_EQ(model.Section(end_shoulder).Current(7), 3);
  EXPECT_EQ(model.Section(inner_wall).Current(7), inner_wall_count);
  EXPECT_EQ(model.Section(mid_wall).Current(7), mid_wall_count);
}

TEST_F(SampleRun, OuterCoverOfAnEndBlockSideWallChangesItsWholeGroupOnly) {
  Load("box_three_boxes.vt1", false);
  const int m = MemberOfType({1, 2});
  const int other = MemberOfType({3, 4});
  ASSERT_NE(other, 0);
  const double other_cover = state.transverse.Section(other).Current(10);
  const RebarList list = List();
  const RebarEditOutcome out =
      ApplyRebarEdit(state.transverse, state.block_row, Md(), 1, list, 2, RowOf(list, m) + 1, "55");
  ASSERT_TRUE(out.applied);
  EXPECT_TRUE(out.cover_changed);
  int walls = 0;
  for (int o = 1; o <= state.transverse.member_count; ++o)
    if (CheckGroupOf(state.transverse.Member(o).type) == 1) {
      EXPECT_EQ(state.transverse.Section(o).Current(10), 55) << o;
      ++walls;
    }
  EXPECT_GE(walls, 2);
  EXPECT_EQ(state.transverse.Section(other).Current(10), other_cover);
  // The list marks the changed cover.
  const RebarList after = List();
  EXPECT_EQ(after.table.At(2, RowOf(after, m) + 1).text, "+55");
  EXPECT_TRUE(after.table.At(2, RowOf(after, m) + 1).bold);
}

TEST_F(SampleRun, CoverEditSetsTheRebarFlagOnlyWithTheShearCheckAt2d) {
  Load("stand_two_slabs.vt1", true);
  const int m = MemberOfType({1, 2});
  for (const bool two_d : {false, true}) {
    SCOPED_TRACE(two_d);
    state.records.model.shear_at_2d = two_d;
    RcPage page;
    const RebarList list = List();
    const double cover = state.transverse.Section(m).Current(18);
    page.CommitEdit(state, Md(), &run, list, 2, RowOf(list, m), std::to_string(cover + 7));
    EXPECT_EQ(page.rebar_edited(), two_d);
    // The same cover again changes nothing, so no flag.
    RcPage again;
    again.CommitEdit(state, Md(), &run, List(), 2, RowOf(list, m), std::to_string(cover + 7));
    EXPECT_FALSE(again.rebar_edited());
  }
}

TEST_F(SampleRun, FewerBarsRaiseTheShownRatioAtOnce) {
  Load("stand_two_slabs.vt1", true);
  const int m = MemberOfType({1, 2});
  const RebarList before = List();
  const int r = RowOf(before, m) + 1;  // outer face
  const double ratio = ReadReal(before.table.At(8, r).shown);
  ASSERT_GT(ratio, 0);
  const double count = state.transverse.Section(m).Current(7);
  RcPage page;
  page.CommitEdit(state, Md(), &run, before, 4, r, Format("%g", count / 2));
  const RebarList after = List();
  const double raised = ReadReal(after.table.At(8, r).shown);
  // Half the steel: the steel stress rises by well over a third.
  EXPECT_GT(raised, ratio * 1.3);
  EXPECT_EQ(after.table.At(4, r).text, "+" + Format("%0.2f", count / 2));
  EXPECT_FALSE(page.rebar_edited());
}

// The red marks read the ratios the list shows: a failing flag on a row the
// ratios leave out (no point name) does not mark a member whose shown shear
// ratio is 0.506, and a shown ratio above 1.0 is red without any flag.
TEST(RcPage, RedMarksFollowTheShownRatios) {
  Synthetic s(2);
  CheckPointRecord& named = s.Row(1, 1);
  named.label = "中央部";
  named.M = 5;
  named.ratio_flexure = 0.3;
  named.ratio_shear = 0.506;
  CheckPointRecord& unnamed = s.Row(1, 2);  // a point without a name: not in the ratios
  unnamed.M = 5;
  unnamed.ratio_shear = 1.4;
  unnamed.ng_shear = true;
  CheckPointRecord& over = s.Row(2, 1);
  over.label = "下端部";
  over.M = 5;
  over.ratio_flexure = 1.05;  // no flag set: the ratio alone decides
  over.ratio_shear = 0.2;
  const RcTable& t = BuildRebarList(s.Src(), 0).table;
  EXPECT_EQ(t.At(15, 2).shown, "0.506");
  for (int col = 2; col < kRebarCols; ++col) EXPECT_NE(t.At(col, 2).fg, kRcRed) << col;
  EXPECT_EQ(t.At(8, 4).shown, "1.050");
  EXPECT_EQ(t.At(8, 4).fg, kRcRed);
  EXPECT_EQ(t.At(7, 4).fg, kRcRed);  // the steel of the failing face
  EXPECT_NE(t.At(15, 4).fg, kRcRed);
}

// Widths, heights and effective depths are printed in mm ("%0.0f" of the
// section values k4, k1, k11, k19), Mud in kN·m, fwyd in N/mm2.
TEST(RcPage, StressTableCaptionsCarryTheUnitsOfTheValues) {
  Synthetic s(1);
  s.Row(1, 1).label = "下端部";
  for (int k : {0, kKindLevel2}) {
    const RcTable& t = BuildStressTable(s.Src(), 1, k).table;
    EXPECT_EQ(t.At(2, 1).text, "(m)");  // distance from the end
    for (int row : {2, 3, 4, 8}) EXPECT_EQ(t.At(2, row).text, "(mm)") << row;
    if (k == kKindLevel2) {
      EXPECT_EQ(t.At(2, 18).text, "(kN･m)");
      EXPECT_EQ(t.At(2, 19).text, "(N/mm2)");
    }
  }
}

// On the samples, every ratio cell is red exactly when it shows more than
// 1.0 or no number, in all three combinations.
TEST_F(SampleRun, RedRatioCellsAreTheRatiosAboveOne) {
  for (const char* sample : {"stand_two_slabs.vt1", "box_three_boxes.vt1"}) {
    state = DefaultProjectState();
    Load(sample, true);
    for (int k = 0; k < kCheckCombinations; ++k) {
      const RebarList l = BuildRebarList(
          {&state.transverse, &state.block_row, &Md(), IsBoxLayout(state) ? 1 : 0, &run}, k);
      int ratios = 0;
      for (int r = 2; r < l.table.rows; ++r)
        for (int col : {8, 15, 16}) {
          const RcCell& c = l.table.At(col, r);
          if (c.shown.empty() || c.shown == "－") continue;
          ++ratios;
          const bool fails = c.shown == "***" || std::stod(c.shown) > 1.0;
          EXPECT_EQ(c.fg == kRcRed, fails)
              << sample << " k" << k << " row " << r << " col " << col << " " << c.shown;
        }
      EXPECT_GT(ratios, 10) << sample << " k" << k;
    }
  }
}

}  // namespace
}  // namespace vaultra
