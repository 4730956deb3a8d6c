// The page switch driven over the real calculation: which switches rebuild
// the frame models, which analyse them, and that the inputs committed on
// the way reach the frame texts and the results.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/calc/calculation_ops.h"
#include "inputs/master_data.h"
#include "app/pages/page_logic_impl.h"
#include "core/fileio.h"
#include "core/number.h"
#include "core/ui.h"

namespace vaultra {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

struct Switching : ::testing::Test {
  Switching() {
    dir = fs::temp_directory_path() /
          ("vaultra_nav_" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    md = LoadMasterData(std::string(VAULTRA_SOURCE_DIR) + "/Master/材料/", ui);
    const LoadResult r = LoadProjectFile(
        state, std::string(VAULTRA_SOURCE_DIR) + "/samples/box_three_boxes.vt1", logic);
    EXPECT_TRUE(r.loaded);
    folders.work_dir = dir.string() + "/work/";
    folders.resume_file = folders.work_dir + "#vaultra.ini";
    folders.demo_mode = true;  // no frame library here: the internal solver
    folders.print_master_dir = std::string(VAULTRA_SOURCE_DIR) + "/Master/印刷/";
  }
  ~Switching() override { fs::remove_all(dir); }

  fs::path Yoko() const { return fs::path(folders.work_dir) / "Yoko0.$O1"; }
  fs::path Tate() const { return fs::path(folders.work_dir) / "Tate0.$O1"; }

  fs::path dir;
  RecordingUi ui;
  MasterData md;
  ProjectState state = DefaultProjectState();
  InputPageLogic logic{md};
  AppFolders folders;
};

TEST_F(Switching, InputPagesRebuildOnlyOnTheLoadsPageAndAnalyseOnlyOnResultPages) {
  CalculationOps ops(state, md, logic, folders, ui);
  Navigator nav(ops, ui, folders.demo_mode);

  nav.PageSelectClick(Page::kGround);
  nav.PageSelectClick(Page::kDimensions);
  EXPECT_EQ(ops.build_count(), 0);
  EXPECT_FALSE(fs::exists(Yoko()));

  nav.PageSelectClick(Page::kLoads);  // the loads page always rebuilds
  EXPECT_EQ(ops.build_count(), 1);
  EXPECT_TRUE(ops.models_built()) << ops.build_error();
  EXPECT_TRUE(fs::exists(Yoko()));
  EXPECT_TRUE(fs::exists(Tate()));
  EXPECT_EQ(ops.run_count(), 0);

  nav.PageSelectClick(Page::kConditions);  // leaving the inputs rebuilds, no analysis
  EXPECT_EQ(ops.build_count(), 2);
  EXPECT_EQ(ops.run_count(), 0);

  nav.PageSelectClick(Page::kMemberForce);  // entering the results analyses
  EXPECT_EQ(ops.build_count(), 2);
  EXPECT_EQ(ops.run_count(), 1);
  ASSERT_TRUE(ops.analysed());
  EXPECT_TRUE(ops.run().transverse_ok);
  EXPECT_TRUE(ops.run().use_internal);
  EXPECT_TRUE(ops.run().members_checked);
  EXPECT_TRUE(fs::exists(folders.resume_file));  // saved before the run
  // The run ends with the silent report pass: headings numbered and listed.
  EXPECT_TRUE(ops.run().report_prepared);
  ASSERT_FALSE(ops.report_engine().text.contents.empty());
  EXPECT_EQ(ops.report_engine().text.contents.front().text, "1. 設計条件");
  EXPECT_GT(ops.report_build().body_pages, 10);
  EXPECT_EQ(ops.report_build().first_error, "");

  nav.PageSelectClick(Page::kRcCheck);  // between result pages: nothing
  nav.PageSelectClick(Page::kOtherChecks);
  EXPECT_EQ(ops.build_count(), 2);
  EXPECT_EQ(ops.run_count(), 1);

  nav.SetRebarEdited();  // an edited rebar input rebuilds and reanalyses
  nav.PageSelectClick(Page::kRcCheck);
  EXPECT_EQ(ops.build_count(), 3);
  EXPECT_EQ(ops.run_count(), 2);
  EXPECT_FALSE(nav.rebar_edited());

  nav.PageSelectClick(Page::kModel);  // back to the inputs: nothing yet
  EXPECT_EQ(ops.build_count(), 3);
  EXPECT_EQ(ops.run_count(), 2);
  nav.PageSelectClick(Page::kResultFiles);  // straight into the results: both
  EXPECT_EQ(ops.build_count(), 4);
  EXPECT_EQ(ops.run_count(), 3);
}

TEST_F(Switching, AnEditCommittedOnTheWayReachesTheFrameTextAndTheResults) {
  CalculationOps ops(state, md, logic, folders, ui);
  Navigator nav(ops, ui, folders.demo_mode);
  nav.PageSelectClick(Page::kMemberForce);
  ASSERT_TRUE(ops.analysed());
  const std::string before = Slurp(Yoko());
  const double earth_before = ops.run().transverse.cases[2].envelope[0];
  const double surcharge_before = ops.run().transverse.cases[3].envelope[0];
  const double q = ReadReal(state.Form(FormId::kLoads).At("Ed_q").text);

  nav.PageSelectClick(Page::kLoads);
  state.Form(FormId::kLoads).SetText("Ed_q", Format("%8.2f", q + 20.0));
  nav.PageSelectClick(Page::kMemberForce);
  ASSERT_TRUE(ops.analysed());
  EXPECT_NE(Slurp(Yoko()), before);
  EXPECT_EQ(ops.run().transverse_ok, true);
  // Case 3 is the surcharge: its moments grow with it; case 2 (static earth
  // pressure) does not change.
  EXPECT_GT(ops.run().transverse.cases[3].envelope[0], surcharge_before * 1.05);
  EXPECT_DOUBLE_EQ(ops.run().transverse.cases[2].envelope[0], earth_before);
}

TEST_F(Switching, RecomputeSimulatesLeavingTheInputsOrReanalyses) {
  CalculationOps ops(state, md, logic, folders, ui);
  Navigator nav(ops, ui, folders.demo_mode);
  nav.PageSelectClick(Page::kGround);
  nav.DemoModeClick();  // an input page stays among the inputs: nothing
  EXPECT_EQ(nav.current(), Page::kGround);
  EXPECT_EQ(ops.build_count(), 0);
  nav.PageSelectClick(Page::kConditions);
  EXPECT_EQ(ops.build_count(), 1);
  nav.DemoModeClick();  // the condition-file view gets rebuilt models
  EXPECT_EQ(nav.current(), Page::kConditions);
  EXPECT_EQ(ops.build_count(), 2);
  EXPECT_EQ(ops.run_count(), 0);
  nav.PageSelectClick(Page::kRcCheck);
  EXPECT_EQ(ops.run_count(), 1);
  nav.DemoModeClick();  // on a result page: rebuild and reanalyse
  EXPECT_EQ(ops.build_count(), 3);
  EXPECT_EQ(ops.run_count(), 2);
}

TEST_F(Switching, ARefusedBuildLeavesNoResultsOfOtherInputs) {
  CalculationOps ops(state, md, logic, folders, ui);
  Navigator nav(ops, ui, folders.demo_mode);
  nav.PageSelectClick(Page::kMemberForce);
  ASSERT_TRUE(ops.analysed());

  // A working folder that cannot be created: the build is refused, said so,
  // and the next run does not present the old results as current.
  const fs::path blocker = dir / "file";
  std::ofstream(blocker) << "x";
  AppFolders bad = folders;
  bad.work_dir = (blocker / "work").string() + "/";
  CalculationOps ops2(state, md, logic, bad, ui);
  Navigator nav2(ops2, ui, true);
  ui.messages.clear();
  nav2.PageSelectClick(Page::kMemberForce);
  EXPECT_FALSE(ops2.models_built());
  EXPECT_FALSE(ops2.build_error().empty());
  EXPECT_FALSE(ops2.analysed());
  EXPECT_EQ(ops2.run_count(), 0);
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ(ui.messages.front().kind, MsgKind::kError);
}

}  // namespace
}  // namespace vaultra
