#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "app/calc/navigation.h"
#include "core/fileio.h"
#include "core/number.h"

namespace vaultra {
namespace {

// Records the calculation steps of the page switch (FormShow and the
// enable states are checked separately).
class RecordingOps : public NavigationOps {
 public:
  void CommitInputs(Page p) override { log.push_back(Format("commit%d", static_cast<int>(p))); }
  void OtherChecksPrepare() override { log.push_back("prepare"); }
  void OtherChecksInput() override { log.push_back("input"); }
  void OtherChecksResultRefresh() override { log.push_back("refresh"); }
  void BuildModels() override { log.push_back("build"); }
  void RunAnalysis(bool internal) override {
    log.push_back(internal ? "analyse-internal" : "analyse-sdk");
  }
  void SaveResumeFile() override { log.push_back("resume"); }
  bool ShearCheckAt2d() const override { return at_2d; }
  void ShowCoverMessage(bool visible) override {
    log.push_back(visible ? "cover-on" : "cover-off");
  }
  void FormShow(Page p, int selector) override { shown[p] = selector; }
  void RepaintMemberForce() override { log.push_back("repaint-force"); }
  void RefreshRcCheckPage() override { log.push_back("refresh-rc"); }
  void RunSectionChecks(const CheckOverrideValues& v) override {
    log.push_back("checks");
    checked_with.push_back(v);
  }
  void ShowPreview() override { log.push_back("preview"); }

  std::vector<std::string> Take() { return std::exchange(log, {}); }

  std::vector<std::string> log;
  std::map<Page, int> shown;
  std::vector<CheckOverrideValues> checked_with;  // the overrides of each check run
  bool at_2d = false;
};

using Steps = std::vector<std::string>;
const Steps kRebuild = {"commit1", "commit2", "commit2", "commit5", "commit6", "prepare", "build"};

Steps Concat(Steps a, const Steps& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(PageTable, ClassIsTheThirdCharacterOfTheButtonName) {
  EXPECT_EQ(PageClassOf("Pg11MDL"), 1);
  EXPECT_EQ(PageClassOf("Pg20vO1"), 2);
  EXPECT_EQ(PageClassOf("Pg33OR2"), 3);
  EXPECT_EQ(PageClassOf("Pg34PrV"), 3);
  int classes[4] = {};
  for (const PageInfo& info : PageTable()) ++classes[PageClassOf(info.page)];
  EXPECT_EQ(classes[1], 6);  // six input pages
  EXPECT_EQ(classes[2], 1);  // the condition-file view
  EXPECT_EQ(classes[3], 5);  // four result pages and the preview
  EXPECT_STREQ(InfoOf(Page::kRcCheck).caption, "応力照査･鉄筋");
}

TEST(Navigation, SwitchesRecomputeOnlyWhenLeavingInputsOrEnteringResults) {
  RecordingOps ops;
  RecordingUi ui;
  Navigator nav(ops, ui, /*demo_mode=*/false);
  struct Step {
    Page to;
    Steps expected;
  };
  const Step steps[] = {
      {Page::kGround, {}},       // input to input: nothing
      {Page::kLoads, kRebuild},  // entering the loads page rebuilds
      {Page::kLoads, kRebuild},  // ... every time
      {Page::kMaterial, {}},
      {Page::kMemberForce,  // leaving the inputs for a result page
       Concat(kRebuild, {"input", "resume", "analyse-sdk", "cover-off", "refresh"})},
      {Page::kRcCheck, {"prepare"}},  // between result pages: no rebuild, no analysis
      {Page::kResultFiles, {"prepare"}},
      {Page::kConditions, {}},  // result to condition view
      {Page::kOtherChecks, {"prepare", "input", "resume", "analyse-sdk", "cover-off", "refresh"}},
      {Page::kModel, {}},
      {Page::kConditions, kRebuild},  // leaving the inputs for the condition view
  };
  for (const Step& s : steps) {
    nav.PageSelectClick(s.to);
    EXPECT_EQ(ops.Take(), s.expected) << InfoOf(s.to).button;
    EXPECT_EQ(nav.current(), s.to);
    EXPECT_EQ(nav.open_enabled(), PageClassOf(s.to) == 1);
    EXPECT_EQ(nav.preview_enabled(), PageClassOf(s.to) == 3);
    ASSERT_EQ(ops.shown.size(), 11u);
    for (const auto& [page, selector] : ops.shown) EXPECT_EQ(selector, page == s.to ? 2 : 1);
  }
}

// The window's navigator: the steps go to the calculation, the window only
// hears of each step just before and just after it runs.
class WatchingWindow : public NavigationOps {
 public:
  explicit WatchingWindow(std::vector<std::string>& log) : log_(log) {}
  void StepStarting(CalcStep s) override { log_.push_back(Format("start%d", static_cast<int>(s))); }
  void StepDone(CalcStep s) override { log_.push_back(Format("done%d", static_cast<int>(s))); }
  void CommitInputs(Page) override { log_.push_back("window-commit"); }
  void BuildModels() override { log_.push_back("window-build"); }

 private:
  std::vector<std::string>& log_;
};

TEST(Navigation, StepsRunInTheCalculationBracketedByTheWindowsNotes) {
  RecordingOps calc;
  WatchingWindow window(calc.log);  // one log: the order across both
  RecordingUi ui;
  Navigator nav(calc, window, ui, /*demo_mode=*/true);
  nav.PageSelectClick(Page::kMemberForce);  // leaving the inputs for a result page
  const int commit = static_cast<int>(CalcStep::kCommitInputs);
  const int build = static_cast<int>(CalcStep::kBuildModels);
  const int run = static_cast<int>(CalcStep::kRunAnalysis);
  const int resume = static_cast<int>(CalcStep::kSaveResumeFile);
  const std::vector<std::string> log = calc.Take();
  // Every step is bracketed by its own start and done, and nothing reaches
  // the window's own step overrides.
  std::vector<std::string> steps;
  for (std::size_t i = 0; i < log.size(); ++i) {
    if (log[i].rfind("start", 0) != 0) continue;
    ASSERT_LT(i + 2, log.size()) << log[i];
    const std::string number = log[i].substr(5);
    ASSERT_EQ(log[i + 2], "done" + number) << "step " << number << " ends out of turn";
    steps.push_back(log[i + 1]);
  }
  EXPECT_EQ(steps, Concat(kRebuild, {"input", "resume", "analyse-internal", "refresh"}));
  EXPECT_EQ(log.size(), 3 * steps.size());
  EXPECT_EQ(log.front(), Format("start%d", commit));
  EXPECT_NE(std::find(log.begin(), log.end(), Format("done%d", build)), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), Format("start%d", resume)), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), Format("done%d", run)), log.end());
  EXPECT_EQ(std::count(log.begin(), log.end(), "window-commit"), 0);
  EXPECT_EQ(std::count(log.begin(), log.end(), "window-build"), 0);
  // The cover note is the window's, not the calculation's.
  EXPECT_EQ(std::count(log.begin(), log.end(), "cover-off"), 0);
}

TEST(Navigation, EditedRebarRebuildsAndAnalysesBetweenResultPages) {
  RecordingOps ops;
  ops.at_2d = true;
  RecordingUi ui;
  Navigator nav(ops, ui, false);
  nav.PageSelectClick(Page::kRcCheck);
  ops.Take();
  nav.SetRebarEdited();
  nav.PageSelectClick(Page::kOtherChecks);
  EXPECT_EQ(ops.Take(),
            Concat(kRebuild, {"input", "resume", "analyse-sdk", "cover-on", "refresh"}));
  EXPECT_FALSE(nav.rebar_edited());
  nav.PageSelectClick(Page::kRcCheck);
  EXPECT_EQ(ops.Take(), (Steps{"prepare"}));
}

TEST(Navigation, CtrlHeldOrDemoModeUsesTheInternalSolver) {
  struct Case {
    bool demo;
    bool ctrl;
    const char* expected;
  };
  for (const Case& c : {Case{false, false, "analyse-sdk"}, Case{false, true, "analyse-internal"},
                        Case{true, false, "analyse-internal"}}) {
    RecordingOps ops;
    RecordingUi ui;
    ui.keys.ctrl = c.ctrl;
    Navigator nav(ops, ui, c.demo);
    nav.PageSelectClick(Page::kMemberForce);
    const Steps log = ops.Take();
    EXPECT_NE(std::find(log.begin(), log.end(), c.expected), log.end()) << c.demo << c.ctrl;
    EXPECT_EQ(nav.internal_solver(), std::string(c.expected) == "analyse-internal");
  }
}

TEST(Navigation, PreviewButtonIsNeverTheCurrentPage) {
  RecordingOps ops;
  RecordingUi ui;
  Navigator nav(ops, ui, false);
  nav.PageSelectClick(Page::kPreview);
  EXPECT_EQ(nav.current(), Page::kModel);
  EXPECT_TRUE(ops.log.empty());
  EXPECT_TRUE(ops.shown.empty());
}

TEST(Navigation, RecomputeCurrentPage) {
  RecordingOps ops;
  RecordingUi ui;
  Navigator nav(ops, ui, false);
  nav.PageSelectClick(Page::kGround);
  ops.Take();
  nav.DemoModeClick();  // an input page: as if entered from the model page
  EXPECT_EQ(ops.Take(), Steps{});
  EXPECT_EQ(nav.current(), Page::kGround);

  nav.PageSelectClick(Page::kConditions);
  ops.Take();
  nav.DemoModeClick();  // the condition view gets rebuilt models
  EXPECT_EQ(ops.Take(), kRebuild);

  nav.PageSelectClick(Page::kMemberForce);
  ops.Take();
  nav.DemoModeClick();
  EXPECT_EQ(ops.Take(), (Steps{"build", "analyse-sdk", "repaint-force"}));
  nav.PageSelectClick(Page::kRcCheck);
  ops.Take();
  nav.DemoModeClick();
  EXPECT_EQ(ops.Take(), (Steps{"build", "analyse-sdk", "refresh-rc"}));
}

TEST(Navigation, PrintOptionsOpenThePreviewOnlyWithCtrl) {
  RecordingOps ops;
  RecordingUi ui;
  Navigator nav(ops, ui, false);
  nav.PreviewClick(PreviewSender::kPrintSwK);
  nav.PreviewClick(PreviewSender::kPrintSwT);
  EXPECT_TRUE(ops.Take().empty());
  ui.keys.ctrl = true;
  nav.PreviewClick(PreviewSender::kPrintSwK);
  EXPECT_EQ(ops.Take(), (Steps{"checks", "preview"}));
  ui.keys.ctrl = false;
  nav.PreviewClick(PreviewSender::kButton);
  EXPECT_EQ(ops.Take(), (Steps{"checks", "preview"}));
}

TEST(Navigation, PreviewAfterARebarEditRecalculatesFirst) {
  RecordingOps ops;
  RecordingUi ui;
  Navigator nav(ops, ui, true);
  nav.SetRebarEdited();
  nav.PreviewClick(PreviewSender::kButton);
  EXPECT_EQ(ops.Take(),
            (Steps{"build", "analyse-internal", "cover-off", "refresh-rc", "checks", "preview"}));
  EXPECT_FALSE(nav.rebar_edited());
}

TEST(Navigation, AltOverridesReachOnlyThePreviewBuildAndAreClearedAfterIt) {
  RecordingOps ops;
  RecordingUi ui;
  Navigator nav(ops, ui, false);
  ui.keys.alt = true;
  ui.input = "120.5, 0.35,,１２";  // full-width digits read too; missing items are 0
  nav.PreviewClick(PreviewSender::kButton);
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(ui.questions[0], "応力度/耐力　σs, τc, Mud, Vcd, Vsd");
  // The checks before the report see the overrides; after the preview has
  // its pages they run again without them, and none stay in force.
  EXPECT_EQ(ops.Take(), (Steps{"checks", "preview", "checks"}));
  ASSERT_EQ(ops.checked_with.size(), 2u);
  EXPECT_EQ(ops.checked_with[0], (CheckOverrideValues{120.5, 0.35, 0, 12, 0}));
  EXPECT_EQ(ops.checked_with[1], CheckOverrideValues{});
  EXPECT_EQ(nav.overrides(), CheckOverrideValues{});
  // A page switch afterwards runs the analysis without any override.
  nav.PageSelectClick(Page::kResultFiles);
  EXPECT_EQ(nav.overrides(), CheckOverrideValues{});
  ops.checked_with.clear();
  ops.Take();

  // Without Alt nothing is asked and the checks run once, plain.
  ui.keys.alt = false;
  nav.PreviewClick(PreviewSender::kButton);
  EXPECT_EQ(ops.Take(), (Steps{"checks", "preview"}));
  EXPECT_EQ(ops.checked_with, (std::vector<CheckOverrideValues>{CheckOverrideValues{}}));
  // A cancelled box leaves them cleared; the previous answer is offered.
  ui.keys.alt = true;
  ui.input.reset();
  ops.checked_with.clear();
  nav.PreviewClick(PreviewSender::kButton);
  EXPECT_EQ(ops.checked_with, (std::vector<CheckOverrideValues>{CheckOverrideValues{}}));
  EXPECT_EQ(nav.overrides(), CheckOverrideValues{});
}

TEST(Navigation, DroppedFileIsTheFirstOneWithAProjectExtension) {
  const std::set<std::string> existing = {"/p/a.VT1", "/p/b.vt1", "/p/c.txt"};
  auto exists = [&](const std::string& p) { return existing.count(p) != 0; };
  EXPECT_EQ(DroppedProjectFile({"/p/a.VT1", "/p/b.vt1"}, exists), "/p/a.VT1");
  EXPECT_EQ(DroppedProjectFile({"/p/c.txt", "/p/b.vt1"}, exists), std::nullopt);
  EXPECT_EQ(DroppedProjectFile({"/p/gone.vt1"}, exists), std::nullopt);
  EXPECT_EQ(DroppedProjectFile({"/p.vt1/noext"}, exists), std::nullopt);
  EXPECT_EQ(DroppedProjectFile({}, exists), std::nullopt);
}

FolderEnvironment FakeEnv(std::set<std::string> dirs, std::optional<std::string> list_file) {
  FolderEnvironment env;
  env.exe_path = "/opt/vaultra/bin/vaultra";
  env.home = "/home/eng";
  env.dir_exists = [dirs](const std::string& p) { return dirs.count(p) != 0; };
  env.read = [list_file](const std::string& p) -> std::optional<std::string> {
    if (p == "/opt/vaultra/bin/PlaneFrame.txt") return list_file;
    return std::nullopt;
  };
  return env;
}

TEST(Folders, FollowTheLinuxMapping) {
  FolderEnvironment env = FakeEnv({}, std::nullopt);
  AppFolders f = ResolveAppFolders(env);
  EXPECT_EQ(f.program_dir, "/opt/vaultra/bin/");
  EXPECT_EQ(f.exe_path, "/opt/vaultra/bin/vaultra");
  EXPECT_EQ(f.material_master_dir, "/opt/vaultra/bin/Master/材料/");
  EXPECT_EQ(f.print_master_dir, "/opt/vaultra/bin/Master/印刷/");
  EXPECT_EQ(f.work_dir, "/home/eng/.local/share/Vaultra/$O1/");
  EXPECT_EQ(f.resume_file, "/home/eng/.local/share/Vaultra/$O1/#vaultra.ini");
  EXPECT_EQ(f.default_resume_file, "/opt/vaultra/bin/vaultra.ini");
  EXPECT_EQ(f.folder_list_file, "/opt/vaultra/bin/PlaneFrame.txt");
  EXPECT_TRUE(f.demo_mode);

  env.xdg_data_home = "/data";
  EXPECT_EQ(ResolveAppFolders(env).work_dir, "/data/Vaultra/$O1/");
  env.xdg_data_home = "relative/path";  // not absolute: ignored
  EXPECT_EQ(ResolveAppFolders(env).work_dir, "/home/eng/.local/share/Vaultra/$O1/");
  env.work_dir = "/tmp/run";
  f = ResolveAppFolders(env);
  EXPECT_EQ(f.work_dir, "/tmp/run/");
  EXPECT_EQ(f.resume_file, "/tmp/run/#vaultra.ini");
}

TEST(Folders, FolderListFileAndFallbacksDecideDemoMode) {
  struct Case {
    std::set<std::string> dirs;
    std::optional<std::string> list;
    std::string app, sdk;
    bool demo;
  };
  const Case cases[] = {
      {{"/srv/pf/", "/srv/sdk/"}, "  /srv/pf  \r\n/srv/sdk\r\n", "/srv/pf/", "/srv/sdk/", false},
      {{"/srv/pf/"}, "/srv/pf\r\n/srv/sdk\r\n", "/srv/pf/", "/srv/sdk/", true},
      // listed folders missing: the fallbacks that exist are taken
      {{"/opt/PlaneFrame/", "/opt/PlaneFrameSDK/"},
       "/gone\r\n/gone2\r\n",
       "/opt/PlaneFrame/",
       "/opt/PlaneFrameSDK/",
       false},
      // no list file
      {{"/opt/PlaneFrame/"}, std::nullopt, "/opt/PlaneFrame/", "", true},
      // a blank line names no folder, never the root
      {{"/", "/opt/PlaneFrameSDK/"}, "   \r\n", "", "/opt/PlaneFrameSDK/", true},
      // relative folders lie in the program folder (the installed layout)
      {{"/opt/vaultra/bin/PlaneFrame/", "/opt/vaultra/bin/PlaneFrameSDK/"},
       "PlaneFrame\r\nPlaneFrameSDK\r\n",
       "/opt/vaultra/bin/PlaneFrame/",
       "/opt/vaultra/bin/PlaneFrameSDK/",
       false},
  };
  for (const Case& c : cases) {
    AppFolders f = ResolveAppFolders(FakeEnv(c.dirs, c.list));
    EXPECT_EQ(f.frame_app_dir, c.app);
    EXPECT_EQ(f.frame_sdk_dir, c.sdk);
    EXPECT_EQ(f.demo_mode, c.demo) << c.app << " " << c.sdk;
  }
}

TEST(VersionDate, IsTheNewestDateOfTheHistory) {
  const std::string history =
      std::string("History\r\n----\r\n") + "2019.09.27" + std::string(75, ' ') +
      "\r\n  fixed 2018 things\r\n----\r\n2018.01.05" + std::string(75, ' ') + "\r\n";
  EXPECT_EQ(VersionDate(history), "2019.09.27");
  EXPECT_EQ(VersionDate("no date here"), "");
  EXPECT_EQ(VersionDate(ChangeHistoryText()), "2026.12.09");
  EXPECT_EQ(AppCaption(), "Vaultra Ver.2026.12.09 ()");
}

TEST(StatusBar, ShowsTypeNameSpringCountsAndEndWallMethod) {
  ProjectState s = DefaultProjectState();
  s.model.SetText("EdModelName", "試設計");
  s.transverse.real_block_count = 5;
  s.transverse.block_count = 7;
  s.transverse.member_count = 15;
  s.other_checks.At("RHari12").SetIndex(1);
  StatusTexts t = MakeStatusTexts(s);
  EXPECT_EQ(t.type, "スタンド型");
  EXPECT_EQ(t.name, "試設計");
  EXPECT_EQ(t.spring, "道路橋式");
  EXPECT_EQ(t.block_count, "ﾌﾞﾛｯｸ数 5/7 　部材数 15");
  EXPECT_EQ(t.calc, "<< 1 >>");
  const std::pair<int, const char*> springs[] = {
      {0, "地中式"}, {2, "FEMで算出"}, {3, "任意値入力"}, {-1, "任意値入力"}};
  for (const auto& [index, text] : springs) {
    s.loads.At("GBoxBaneSiki").SetIndex(index);
    EXPECT_EQ(MakeStatusTexts(s).spring, text);
  }
}

TEST(StatusBar, ResetFlashesThirteenTicksAfterTheQuietStart) {
  ResetIndicators r;
  r.Flash(ResetIndicator::kCover);
  for (int tick = 1; tick <= 19; ++tick) {
    r.Tick();
    EXPECT_FALSE(r.Active(ResetIndicator::kCover)) << tick;
    if (tick == 10) r.Flash(ResetIndicator::kCover);
  }
  r.Flash(ResetIndicator::kRebar);
  EXPECT_EQ(r.Colour(ResetIndicator::kRebar), 255);
  EXPECT_EQ(r.Colour(ResetIndicator::kSize), 0xB100);
  for (int tick = 1; tick <= 12; ++tick) {
    r.Tick();
    EXPECT_TRUE(r.Active(ResetIndicator::kRebar)) << tick;
  }
  r.Tick();
  EXPECT_FALSE(r.Active(ResetIndicator::kRebar));
  r.Tick();
  EXPECT_EQ(r.Countdown(ResetIndicator::kRebar), 0);  // never below zero
}

}  // namespace
}  // namespace vaultra

namespace vaultra {
namespace {

TEST(StartUp, ReadsTheDefaultResumeFileFirstAndTheResumeFileAfterAClose) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(testing::TempDir()) / "startup";
  fs::remove_all(dir);
  fs::create_directories(dir / "bin");
  ProjectState defaults = DefaultProjectState();
  defaults.model.SetText("EdModelName", "from the default file");
  PageLogic logic;
  ASSERT_TRUE(SaveProjectFile(defaults, (dir / "bin/vaultra.ini").string(), logic));

  FolderEnvironment env;
  env.exe_path = (dir / "bin/vaultra").string();
  env.work_dir = (dir / "work/deeper").string();
  env.dir_exists = [](const std::string&) { return false; };
  RecordingUi ui;
  ProjectState s = DefaultProjectState();
  bool master_loaded = false;
  StartUpResult started = StartUp(s, env, logic, ui, [&] { master_loaded = true; });
  EXPECT_TRUE(started.complete);
  EXPECT_TRUE(master_loaded);
  EXPECT_TRUE(fs::is_directory(dir / "work/deeper"));
  EXPECT_EQ(s.model.Text("EdModelName"), "from the default file");
  ASSERT_EQ(ui.messages.size(), 1u);  // the demo-mode notice only
  EXPECT_EQ(ui.messages[0].text, std::string("Vaultra") + kDemoModeMessage);

  s.model.SetText("EdModelName", "edited");
  CloseDown(s, started, logic, ui);
  ProjectState next = DefaultProjectState();
  StartUp(next, env, logic, ui, nullptr);
  EXPECT_EQ(next.model.Text("EdModelName"), "edited");

  // A start-up that did not complete writes nothing on close.
  StartUpResult failed = started;
  failed.complete = false;
  s.model.SetText("EdModelName", "lost");
  CloseDown(s, failed, logic, ui);
  ProjectState again = DefaultProjectState();
  StartUp(again, env, logic, ui, nullptr);
  EXPECT_EQ(again.model.Text("EdModelName"), "edited");
}

}  // namespace
}  // namespace vaultra
