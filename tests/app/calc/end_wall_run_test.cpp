// The end walls in the calculation run: their pressures recovered from a
// solved frame by hand numbers, the seismic case sets, the verdict without
// longitudinal results, and the report pass hook at the end of a run.
#include <gtest/gtest.h>

#include <filesystem>

#include "analysis/frame_builders.h"
#include "analysis/frame_solver.h"
#include "app/calc/build_models.h"
#include "app/calc/other_checks_run.h"
#include "app/pages/other_checks_page.h"
#include "app/pages/page_logic_impl.h"
#include "app/document/project_file.h"
#include "app/calc/run_analysis.h"
#include "core/ui.h"

namespace vaultra {
namespace {

using testing::FrameBuilder;
using testing::Pin;
using testing::Roller;

// A closed longitudinal frame 6 m long and e = 3 m high: end walls pinned at
// both ends (members 1 and 4), top and bottom beams and a rigid interior
// vertical that keeps it from swaying. The structure model mirrors it with
// the wall types 1 and 2.
struct WallFrame {
  static constexpr double e = 3, W = 6;
  FrameBuilder b;
  StructureModel lm;
  AnalysisResults results;

  WallFrame() {
    const int n1 = b.Node(0, 0), n2 = b.Node(0, e), n3 = b.Node(W, e), n4 = b.Node(W, 0);
    const int n5 = b.Node(W / 2, e), n6 = b.Node(W / 2, 0);
    const double A = 0.4, I = 0.4 * 0.4 * 0.4 / 12;
    b.Member(n1, n2, A, I, 1, 1);  // left wall, bottom to top
    b.Member(n2, n5, A, I);
    b.Member(n5, n3, A, I);
    b.Member(n3, n4, A, I, 1, 1);  // right wall, top to bottom
    b.Member(n4, n6, A, I);
    b.Member(n6, n1, A, I);
    b.Member(n5, n6, A, I);
    const int sup = b.SupportCase({Pin(n1), Roller(n4), Roller(n6)});
    // Case 1: earth pressure 20 kN/m² at the top, 50 at the bottom, inward on
    // both walls (global X: +x on the left wall, −x on the right one).
    FrameLoadCase& c1 = b.LoadCase(0, sup);
    c1.items.Add(FrameBuilder::Item(13, 1, 50, 20));
    c1.items.Add(FrameBuilder::Item(13, 4, -20, -50));
    // Case 2: a uniform 5 kN/m² toward +x on both walls, like an inertia
    // force: inward on the left wall, outward on the right one.
    FrameLoadCase& c2 = b.LoadCase(0, sup);
    c2.items.Add(FrameBuilder::Item(13, 1, 5, 5));
    c2.items.Add(FrameBuilder::Item(13, 4, 5, 5));
    b.Combination({1, 2});

    lm.node_count = b.model.nodes.Count();
    for (int k = 1; k <= lm.node_count; ++k) {
      lm.Node(k).number = k;
      lm.Node(k).x = b.model.nodes[k].x;
      lm.Node(k).y = b.model.nodes[k].y;
    }
    lm.member_count = b.model.members.Count();
    const int types[] = {1, 19, 19, 2, 21, 21, 12};
    for (int k = 1; k <= lm.member_count; ++k) {
      lm.Member(k).number = k;
      lm.Member(k).node_i = b.model.members[k].node_i;
      lm.Member(k).node_j = b.model.members[k].node_j;
      lm.Member(k).type = types[k - 1];
    }
  }
};

TEST(EndWallLoads, RecoveredFromTheWallReactionsOfASolvedFrame) {
  WallFrame f;
  ASSERT_EQ(SolveFrame(f.b.model, f.results), "");
  // Hand numbers: R_top = e(2·20 + 50)/6 = 45 kN/m, R_bottom = e(20 + 2·50)/6
  // = 60 kN/m; the pressure of the same resultant and centroid is 20 / 50.
  for (int wall : {1, 4}) {
    SCOPED_TRACE(wall);
    const EndWallLoad q = EndWallLoadOf(f.results, f.lm, wall, {1});
    EXPECT_NEAR(q.top, 20, 0.02);
    EXPECT_NEAR(q.bottom, 50, 0.02);
  }
  // Case 2 pushes the left wall in and the right wall out.
  EXPECT_NEAR(EndWallLoadOf(f.results, f.lm, 1, {2}).top, 5, 0.01);
  EXPECT_NEAR(EndWallLoadOf(f.results, f.lm, 4, {2}).bottom, -5, 0.01);
  // Both cases together: the left wall carries more and governs.
  const EndWallLoad both = EndWallLoadOf(f.results, f.lm, 1, {1, 2});
  EXPECT_NEAR(both.top, 25, 0.03);
  EXPECT_NEAR(both.bottom, 55, 0.03);
  const EndWallLoad gov = GoverningEndWallLoad(f.results, f.lm, 0);  // the combination
  EXPECT_NEAR(gov.top, 25, 0.03);
  EXPECT_NEAR(gov.bottom, 55, 0.03);
}

TEST(EndWallLoads, SeismicStatesAddTheStaticCasesOfTheirLevel) {
  AnalysisResults r;
  ASSERT_TRUE(r.Allocate(28, 4));
  r.max_load_case = 25;
  r.combination_count = 3;
  EXPECT_EQ(EndWallCases(r, 0), std::vector<int>{26});
  EXPECT_EQ(EndWallCases(r, 1), (std::vector<int>{8, 9, 10, 11, 12, 13, 14, 15}));
  EXPECT_EQ(EndWallCases(r, 2), (std::vector<int>{17, 18, 19, 20, 21, 22, 23, 24}));
  // A model without the full case list falls back to its combinations.
  r.max_load_case = 2;
  EXPECT_EQ(EndWallCases(r, 2), std::vector<int>{5});
}

TEST(EndWallLoads, NoLongitudinalResultsIsNeverOk) {
  ProjectState state = DefaultProjectState();
  CalcWorkspace ws;
  for (const bool on : {false, true}) {
    SCOPED_TRACE(on);
    CalcRun run;
    run.longitudinal_on = on;
    run.longitudinal_ok = false;  // off, or the analysis failed
    RunOtherChecks(state, MasterData{}, ws, run);
    EXPECT_FALSE(run.end_walls_checked);
    EXPECT_FALSE(run.end_wall_verdict.ok);
    EXPECT_FALSE(run.end_wall_message.empty());
    const OtherChecksLabels l = OtherChecksLabelsOf(run);
    EXPECT_EQ(l.end_wall, "端壁の照査：未照査");
    EXPECT_EQ(l.end_wall_colour, kColourRed);
  }
}

TEST(RunAnalysis, ReportPassRunsLastOverTheFinishedChecks) {
  namespace fs = std::filesystem;
  RecordingUi ui;
  const MasterData md = LoadMasterData(std::string(VAULTRA_SOURCE_DIR) + "/Master/材料/", ui);
  InputPageLogic logic(md);
  ProjectState state = DefaultProjectState();
  ASSERT_TRUE(
      LoadProjectFile(state, std::string(VAULTRA_SOURCE_DIR) + "/samples/mini_gate.vt1", logic)
          .loaded);
  PrepareOtherChecks(state);
  CommitOtherChecksInputs(state);
  const fs::path dir =
      fs::temp_directory_path() / ("vaultra_report_hook_" + std::to_string(getpid()));
  CalcWorkspace ws;
  ASSERT_EQ(BuildModels(state, md, dir.string(), ws), "");
  RunAnalysisOptions opt;
  CalcRun run;
  // Without a report pass nothing claims to be prepared.
  RunAnalysis(state, md, ws, opt, run);
  EXPECT_FALSE(run.report_prepared);
  int calls = 0;
  bool saw_walls = false, saw_envelopes = false;
  opt.report_pass = [&](CalcRun& r) {
    ++calls;
    saw_walls = r.end_walls_checked && !r.end_wall_verdict.text.empty();
    saw_envelopes = r.transverse.HasCase(1) && r.transverse.cases[1].envelope[0] > 0;
  };
  RunAnalysis(state, md, ws, opt, run);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(saw_walls);
  EXPECT_TRUE(saw_envelopes);
  EXPECT_TRUE(run.report_prepared);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace vaultra
