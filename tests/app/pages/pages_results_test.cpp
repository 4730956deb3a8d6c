// The result-file view and the member-force page without their window:
// the lines of the result files, the case, component and magnification of
// the radio groups, the reference values and the notes over a run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "app/calc/run_analysis.h"
#include "app/document/project_state.h"
#include "app/pages/force_page.h"
#include "app/pages/result_file_page.h"
#include "core/fileio.h"

namespace vaultra {
namespace {

TEST(ForcePage, CaseOfAnItem) {
  const struct {
    const char* item;
    int expected;
  } rows[] = {
      {"1) 自重", 1},
      {"19) L2･外水圧", 19},
      {"28) 組合せＬ２", 28},
      {"*)  ---", 1},
      {" 26) 組合せ常時", 26},  // a leading blank is trimmed
      {"", 1},
      {"0) none", 1},
      {"-3) none", 1},
      {"7 no bracket", 1},
      {"12x) half", 1},
  };
  for (const auto& r : rows) EXPECT_EQ(ShownForceCase(r.item), r.expected) << r.item;
}

TEST(ForcePage, MagnificationAndComponent) {
  const struct {
    const char* item;
    double expected;
  } rows[] = {{"標準", 1},  {"x 2", 2}, {"x 5", 5},   {"x 10", 10}, {"x 20", 20},
              {"x 30", 30}, {"", 1},    {"x 0.5", 1}, {"x", 1}};
  for (const auto& r : rows) EXPECT_DOUBLE_EQ(ForceMagnification(r.item), r.expected) << r.item;
  // Every designed scale item reads as its own number.
  const FormState form = DefaultMemberForceForm();
  const Control& scale = form.At("RgScale");
  const double designed[] = {1, 2, 5, 10, 20, 30};
  for (std::size_t i = 0; i < scale.items.size(); ++i)
    EXPECT_DOUBLE_EQ(ForceMagnification(scale.items[i]), designed[i]) << scale.items[i];

  EXPECT_EQ(ForceComponent(0), 1);
  EXPECT_EQ(ForceComponent(1), 2);
  EXPECT_EQ(ForceComponent(2), 3);
  EXPECT_EQ(ForceComponent(-1), 1);  // no selection
  EXPECT_EQ(ForceComponent(3), 1);
}

// Results with 25 load cases and 3 combinations; each case's envelope
// (M, S, N) is set by hand.
AnalysisResults Results() {
  AnalysisResults r;
  r.Allocate(2, 1);
  r.max_load_case = 25;
  r.load_case_count = 25;
  r.combination_count = 3;
  auto set = [&](int c, double m, double s, double n) {
    r.cases[static_cast<std::size_t>(c)].envelope = {m, s, n, 0};
  };
  set(1, 4, 3, 0);
  set(5, 10, 1, 0);
  set(22, 12, 2, 0);
  set(23, 100, 50, 70);  // beyond 22: never a reference
  set(26, 500, 400, 300);
  set(28, 900, 800, 700);
  return r;
}

TEST(ForcePage, ReferencesOverTheLoadCasesOneToTwentyTwo) {
  const std::array<double, 3> ref = ForceReferences(Results());
  EXPECT_DOUBLE_EQ(ref[0], 12);
  EXPECT_DOUBLE_EQ(ref[1], 3);
  EXPECT_DOUBLE_EQ(ref[2], 0);
  EXPECT_EQ(ForceReferences(AnalysisResults{}), (std::array<double, 3>{0, 0, 0}));
}

CalcRun GoodRun() {
  CalcRun run;
  run.transverse = Results();
  run.transverse_ok = true;
  run.longitudinal_on = true;
  run.longitudinal = Results();
  run.longitudinal_ok = true;
  return run;
}

TEST(ForcePage, ViewOfTheRecordOverARun) {
  FormState f = DefaultMemberForceForm();
  EnterForcePage(f);
  CalcRun run = GoodRun();
  ForcePageView v = MakeForcePageView(f, &run, true);
  EXPECT_EQ(v.case_number, 19);  // entering selects "19) L2･外水圧"
  EXPECT_EQ(v.title, "19) L2･外水圧 - ﾓｰﾒﾝﾄ図(Ｍz) - 倍率：標準");
  EXPECT_TRUE(v.transverse);
  EXPECT_TRUE(v.drawable());
  EXPECT_TRUE(v.demo_note.empty());  // the outside library ran

  // A combination with shear and "x 10": the reference stays over 1..22.
  f.At("RgKajyuType").SetIndex(28);  // "27) 組合せＬ１"
  f.At("RgType2").SetIndex(1);
  f.At("RgScale").SetIndex(3);
  run.use_internal = true;
  v = MakeForcePageView(f, &run, true);
  EXPECT_EQ(v.case_number, 27);
  EXPECT_EQ(v.component, 2);
  EXPECT_DOUBLE_EQ(v.reference, 3);
  EXPECT_DOUBLE_EQ(v.magnification, 10);
  EXPECT_EQ(v.demo_note, "デモ･モードの計算結果です．");

  // "*)  ---" shows case 1 under its own title.
  f.At("RgKajyuType").SetIndex(7);
  v = MakeForcePageView(f, &run, true);
  EXPECT_EQ(v.case_number, 1);
  EXPECT_EQ(v.title.substr(0, 7), "*)  ---");
}

TEST(ForcePage, ADirectionWithoutResultsIsNeverDrawn) {
  FormState f = DefaultMemberForceForm();
  CalcRun run = GoodRun();
  struct Row {
    const char* what;
    bool tate;
    std::function<void(CalcRun&)> spoil;
    std::string failure;
  };
  const std::vector<Row> rows = {
      {"transverse failed", false, [](CalcRun& r) { r.transverse_ok = false; },
       kTransverseFailedMessage},
      {"longitudinal failed", true, [](CalcRun& r) { r.longitudinal_ok = false; },
       kLongitudinalFailedMessage},
      {"longitudinal off", true,
       [](CalcRun& r) {
         r.longitudinal_on = false;
         r.longitudinal_ok = false;
       },
       kForceLongitudinalOffNote},
      {"results cleared", false, [](CalcRun& r) { r.transverse.Clear(); },
       "ケース 19 の計算結果がありません"},
  };
  EnterForcePage(f);
  for (const Row& row : rows) {
    CalcRun r = run;
    r.use_internal = true;
    row.spoil(r);
    f.CheckRadio(row.tate ? "RbTate" : "RbYoko");
    const ForcePageView v = MakeForcePageView(f, &r, true);
    EXPECT_FALSE(v.drawable()) << row.what;
    EXPECT_EQ(v.failure, row.failure) << row.what;
    EXPECT_DOUBLE_EQ(v.reference, 0) << row.what;
    EXPECT_EQ(v.transverse, !row.tate) << row.what;
    EXPECT_FALSE(v.demo_note.empty()) << row.what;  // still says which solver ran
  }
  // The other direction of a run whose longitudinal analysis failed still draws.
  CalcRun r = run;
  r.longitudinal_ok = false;
  f.CheckRadio("RbYoko");
  EXPECT_TRUE(MakeForcePageView(f, &r, true).drawable());
  // Before any analysis nothing is drawn.
  EXPECT_EQ(MakeForcePageView(f, &run, false).failure, kForceNotAnalysedNote);
  EXPECT_EQ(MakeForcePageView(f, nullptr, true).failure, kForceNotAnalysedNote);
}

struct ResultFiles : ::testing::Test {
  ResultFiles() {
    dir = std::filesystem::temp_directory_path() /
          ("vaultra_resultfiles_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    source.transverse_path = (dir / "Yoko0.$O1").string();
    source.analysed = true;
  }
  ~ResultFiles() override { std::filesystem::remove_all(dir); }
  void Write(const char* ext, const std::string& text) {
    ASSERT_TRUE(WriteFileAtomic(ChangeExtension(source.transverse_path, ext), text));
  }
  std::filesystem::path dir;
  ResultFileSource source;
};

TEST_F(ResultFiles, SeparatorBeforeEachMemberLineOnly) {
  EXPECT_EQ(ResultFileSeparator().size(), 80u);  // 40 full-width squares
  EXPECT_EQ(ResultFileSeparator().substr(0, 2), "■");
  Write(".F31", "head\r\n部材 1  部材 2\r\n  0.000  1.250\r\n部材 3\r\n");
  const std::string f31 = ChangeExtension(source.transverse_path, ".F31");
  const std::vector<std::string> expected = {f31,
                                             "head",
                                             ResultFileSeparator(),
                                             "部材 1  部材 2",
                                             "  0.000  1.250",
                                             ResultFileSeparator(),
                                             "部材 3"};
  EXPECT_EQ(ResultFileLines(source), expected);  // no .F32: only the .F31 part
}

TEST_F(ResultFiles, BothFilesInOrderNothingBeforeAnAnalysis) {
  Write(".F31", "a\n");
  Write(".F32", "b\n");
  const std::vector<std::string> both = {ChangeExtension(source.transverse_path, ".F31"), "a",
                                         ChangeExtension(source.transverse_path, ".F32"), "b"};
  EXPECT_EQ(ResultFileLines(source), both);
  source.analysed = false;
  EXPECT_TRUE(ResultFileLines(source).empty());
  source.analysed = true;
  source.transverse_path.clear();
  EXPECT_TRUE(ResultFileLines(source).empty());
}

TEST_F(ResultFiles, AFailedRunSaysSoAboveFilesLeftBehind) {
  Write(".F31", "a\n");
  source.transverse_failed = true;
  source.failure = kTransverseFailedMessage;
  const std::vector<std::string> lines = ResultFileLines(source);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], kTransverseFailedMessage);
  // Gone altogether: only the failure.
  std::filesystem::remove(ChangeExtension(source.transverse_path, ".F31"));
  EXPECT_EQ(ResultFileLines(source), std::vector<std::string>{kTransverseFailedMessage});
}

}  // namespace
}  // namespace vaultra
