// The analysis driver: library and internal paths, the result cache, the
// loader's failure paths, the result-file reader's bounds and the maximum
// search.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "analysis/analysis_driver.h"
#include "analysis/frame_file.h"
#include "analysis/frame_text.h"
#include "analysis/ground_frame.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "core/number.h"
#include "core/ui.h"
#include "frame_builders.h"

namespace vaultra::testing {
namespace {

namespace fs = std::filesystem;

const std::string kLayout = std::string(VAULTRA_BINARY_DIR) + "/frame_sdk/";

class TempDir {
 public:
  TempDir() {
    char tmpl[] = "/tmp/vaultra_driver_XXXXXX";
    path_ = mkdtemp(tmpl);
  }
  ~TempDir() { fs::remove_all(path_); }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

FrameSdkFolders GoodFolders() {
  return {kLayout + "PlaneFrameSDK/", kLayout + "PlaneFrame/"};
}

// A two-cell box on ground springs with values the frame text carries
// exactly (three decimals), so that both paths see the same model.
FrameModel Culvert() {
  FrameBuilder b;
  int n1 = b.Node(0, 0), n2 = b.Node(3, 0), n3 = b.Node(6, 0), n4 = b.Node(6, 3), n5 = b.Node(3, 3),
      n6 = b.Node(0, 3);
  b.Member(n1, n2, 0.3, 0.00225);
  b.Member(n2, n3, 0.3, 0.00225);
  b.Member(n3, n4, 0.25, 0.0013);
  b.Member(n4, n5, 0.3, 0.00225);
  b.Member(n5, n6, 0.3, 0.00225);
  b.Member(n6, n1, 0.25, 0.0013);
  b.Member(n2, n5, 0.2, 0.0006, kEndPin, kEndPin);
  for (int e = 1; e <= 7; ++e) b.Divide(e, 4);
  int k = b.SpringCase({{1, 8000, 500}, {2, 8000, 500}, {3, 3000, 0}, {6, 3000, 0}});
  int s1 = b.SupportCase({Pin(n1), Roller(n3)});
  int s2 = b.SupportCase({SpringSupport(n1, 0, 0, 0)});
  auto& lc1 = b.LoadCase(0, s1);
  lc1.items.Add(FrameBuilder::Item(14, 4, -25, -25, 0, 0, 5));
  lc1.items.Add(FrameBuilder::Item(13, 6, 12.5, 30, 0.5, 0));
  auto& lc2 = b.LoadCase(k, s2);
  lc2.items.Add(FrameBuilder::Item(13, 6, 20, 40));
  lc2.items.Add(FrameBuilder::Item(24, 4, -50, 0, 1.25));
  lc2.items.Add(FrameBuilder::Item(27, 2, 15, 0, 1.5));
  b.Combination({1, 2});
  b.Combination({2});
  return b.model;
}

// The culvert with its ground springs left unused (every case on the pin
// and the roller): the frame library (the production analysis) and the
// demo solver agree on it.
FrameModel CulvertWithoutGroundSprings() {
  FrameModel m = Culvert();
  for (auto& lc : m.load_cases) lc.spring_case = 0, lc.support_case = 1;
  return m;
}

// With ground springs the library gives the production analysis, through
// its result files.
TEST(AnalysisDriver, LibraryPathGivesTheProductionAnalysis) {
  TempDir dir;
  FrameSdkLibrary lib;
  FrameAnalysisContext sdk{GoodFolders(), false, &lib, nullptr};
  FrameModel m1 = Culvert(), m2 = Culvert();
  AnalysisResults a, b;
  ASSERT_EQ(RunFrameAnalysis(a, dir.File("Yoko0.$O1"), m1, sdk), "");
  ASSERT_EQ(SolveFrameOnGround(m2, b), "");
  for (int c = 1; c <= 4; ++c) {
    for (int p = 1; p <= a.node_count; ++p)
      EXPECT_NEAR(a.Disp(c, p).dy, b.Disp(c, p).dy, 1e-5 * std::fabs(b.Disp(c, p).dy) + 1e-12);
    for (int e = 1; e <= a.member_count; ++e) {
      ASSERT_EQ(a.At(c, e).count, b.At(c, e).count);
      for (int k = 1; k <= a.At(c, e).count; ++k)
        for (int comp = kCompM; comp <= kCompN; ++comp)
          EXPECT_NEAR(a.At(c, e).points[k][comp], b.At(c, e).points[k][comp], 5e-4)
              << c << "/" << e << "/" << k;
    }
  }
}

TEST(AnalysisDriver, LibraryAndInternalPathsAgree) {
  TempDir dir;
  FrameSdkLibrary lib;
  FrameAnalysisContext sdk{GoodFolders(), false, &lib, nullptr};
  FrameAnalysisContext internal{{}, true, nullptr, nullptr};
  FrameModel m1 = CulvertWithoutGroundSprings(), m2 = CulvertWithoutGroundSprings();
  AnalysisResults a, b;
  ASSERT_EQ(RunFrameAnalysis(a, dir.File("Yoko0.$O1"), m1, sdk), "");
  ASSERT_EQ(RunFrameAnalysis(b, dir.File("Tate0.$O1"), m2, internal), "");
  // The internal path fills the tables and writes the result files too.
  EXPECT_TRUE(FileExists(dir.File("Tate0.F31")));
  EXPECT_TRUE(FileExists(dir.File("Tate0.F22")));
  EXPECT_FALSE(FileExists(dir.File("Tate0.F41")));
  ASSERT_EQ(a.node_count, b.node_count);
  ASSERT_EQ(a.member_count, b.member_count);
  EXPECT_EQ(a.max_load_case, b.max_load_case);
  for (int p = 1; p <= a.node_count; ++p) {
    EXPECT_DOUBLE_EQ(a.nodes[p].x, b.nodes[p].x);
    EXPECT_DOUBLE_EQ(a.nodes[p].y, b.nodes[p].y);
  }
  for (int c = 1; c <= 4; ++c) {
    for (int p = 1; p <= a.node_count; ++p) {
      // Displacements in m on both paths (the file keeps 6-7 digits).
      EXPECT_NEAR(a.Disp(c, p).dx, b.Disp(c, p).dx, 1e-6 * std::fabs(b.Disp(c, p).dx) + 1e-12);
      EXPECT_NEAR(a.Disp(c, p).dy, b.Disp(c, p).dy, 1e-5 * std::fabs(b.Disp(c, p).dy) + 1e-12);
      EXPECT_NEAR(a.Disp(c, p).rot, b.Disp(c, p).rot, 1e-6 * std::fabs(b.Disp(c, p).rot) + 1e-12);
    }
    for (int e = 1; e <= a.member_count; ++e) {
      const auto& x = a.At(c, e);
      const auto& y = b.At(c, e);
      ASSERT_EQ(x.count, y.count);
      EXPECT_EQ(x.max_index, y.max_index);
      for (int k = 1; k <= x.count + (c > 2 ? 1 : 0); ++k) {
        EXPECT_NEAR(x.points[k][kCompX], y.points[k][kCompX], 5e-4);
        for (int comp = kCompM; comp <= kCompN; ++comp)
          EXPECT_NEAR(x.points[k][comp], y.points[k][comp], 5e-4) << c << "/" << e << "/" << k;
        EXPECT_NEAR(x.points[k][kCompDefl], y.points[k][kCompDefl], 5e-6);
      }
    }
  }
}

// Both paths write the same result files, byte for byte, reactions
// included, when every result file is kept (on the frame without ground
// springs, where the two analyses agree).
TEST(AnalysisDriver, LibraryAndInternalPathsWriteTheSameFiles) {
  TempDir dir;
  FrameSdkLibrary lib;
  FrameAnalysisContext sdk{GoodFolders(), false, &lib, nullptr};
  FrameAnalysisContext internal{{}, true, nullptr, nullptr};
  sdk.keep_result_files = internal.keep_result_files = true;
  FrameModel m0 = CulvertWithoutGroundSprings(), m1 = CulvertWithoutGroundSprings();
  AnalysisResults a, a0;
  ASSERT_EQ(RunFrameAnalysis(a, dir.File("Yoko0.$O1"), m0, sdk), "");
  ASSERT_EQ(RunFrameAnalysis(a0, dir.File("Naka0.$O1"), m1, internal), "");
  for (const char* ext : kResultFileExtensions) {
    auto x = ReadFileBytes(dir.File(std::string("Yoko0") + ext));
    auto y = ReadFileBytes(dir.File(std::string("Naka0") + ext));
    ASSERT_TRUE(x && y) << ext;
    EXPECT_EQ(*x, *y) << ext;
  }
  // The demo solver on the springs: its own spring reactions, as below.
  FrameModel m2 = Culvert();
  AnalysisResults b;
  ASSERT_EQ(RunFrameAnalysis(b, dir.File("Tate0.$O1"), m2, internal), "");
  auto f11 = SplitLines(*ReadFileBytes(dir.File("Tate0.F11")));
  ASSERT_GE(f11.size(), 4u);
  EXPECT_EQ(f11[1], "CASE     1    2");  // the pin and the roller of the first case

  // The spring reactions: the second load case (the first has no springs)
  // and both combinations, numbered after it; per case its spring members
  // with their output points, the values as in the record.
  auto f33 = SplitLines(*ReadFileBytes(dir.File("Tate0.F33")));
  const int cases[] = {2, 3, 4}, numbers[] = {2, 3, 4};
  std::size_t line = 0;
  for (int i = 0; i < 3; ++i) {
    const auto& springs = b.cases[static_cast<std::size_t>(cases[i])].springs;
    ASSERT_EQ(springs.size(), 4u) << cases[i];
    ASSERT_LT(line + 1, f33.size());
    EXPECT_EQ(f33[line++], "分布バネ反力");
    EXPECT_EQ(f33[line++], Format("CASE  %4d %4d", numbers[i], 4));
    for (const MemberSpringReaction& sr : springs) {
      ASSERT_EQ(sr.count, b.At(cases[i], sr.member).count);
      ASSERT_LT(line + static_cast<std::size_t>(sr.count), f33.size());
      EXPECT_EQ(f33[line++],
                Format("MEMBR %4d %4d %4d %4d", m2.members[sr.member].number,
                       b.members[sr.member].node_i, b.members[sr.member].node_j, sr.count));
      for (int k = 1; k <= sr.count; ++k)
        EXPECT_EQ(f33[line++], Format("%5d %14.3f %14.3f", k, sr.points[k][0], sr.points[k][1]));
    }
  }
  EXPECT_EQ(line, f33.size());
}

TEST(AnalysisDriver, CacheHitNeedsTheSameTextAndItsResultFiles) {
  TempDir dir;
  std::string text = dir.File("Yoko0.$O1");
  FrameModel m = Culvert();
  {
    FrameSdkLibrary lib;
    FrameAnalysisContext ctx{GoodFolders(), false, &lib, nullptr};
    AnalysisResults r;
    ASSERT_EQ(RunFrameAnalysis(r, text, m, ctx), "");
    EXPECT_TRUE(FileExists(dir.File("Yoko0.bak")));
  }
  // Without any library the unchanged text is answered from the cache.
  FrameSdkLibrary none;
  FrameAnalysisContext offline{{dir.File("nosdk/"), dir.File("noframe/")}, false, &none, nullptr};
  AnalysisResults hit;
  ASSERT_EQ(RunFrameAnalysis(hit, text, m, offline), "");
  EXPECT_NEAR(hit.At(3, 4).points[1][kCompM],
              hit.At(1, 4).points[1][kCompM] + hit.At(2, 4).points[1][kCompM], 2e-3);
  // One character of the title changed: a new analysis, which fails here,
  // leaving neither results nor a cache copy behind.
  m.title += "x";
  AnalysisResults miss;
  EXPECT_NE(RunFrameAnalysis(miss, text, m, offline), "");
  EXPECT_TRUE(miss.failed);
  EXPECT_EQ(miss.member_count, 0);
  EXPECT_FALSE(FileExists(dir.File("Yoko0.bak")));
  EXPECT_FALSE(FileExists(dir.File("Yoko0.F31")));
}

TEST(AnalysisDriver, CacheCopyWithoutResultFilesIsAMiss) {
  TempDir dir;
  std::string text = dir.File("Yoko0.$O1");
  FrameModel m = Culvert();
  FrameSdkLibrary lib;
  FrameAnalysisContext ctx{GoodFolders(), false, &lib, nullptr};
  AnalysisResults r;
  ASSERT_EQ(RunFrameAnalysis(r, text, m, ctx), "");
  RemoveFile(dir.File("Yoko0.F31"));
  FrameSdkLibrary none;
  FrameAnalysisContext offline{{dir.File("nosdk/"), dir.File("noframe/")}, false, &none, nullptr};
  AnalysisResults again;
  EXPECT_NE(RunFrameAnalysis(again, text, m, offline), "") << "must not read an empty result";
  AnalysisResults rerun;
  ASSERT_EQ(RunFrameAnalysis(rerun, text, m, ctx), "");
  EXPECT_NE(rerun.At(1, 4).points[3][kCompM], 0);
}

TEST(AnalysisDriver, FailedRunNeverReadsAnotherModelsFiles) {
  TempDir dir;
  std::string text = dir.File("Yoko0.$O1");
  FrameModel good = Culvert();
  FrameSdkLibrary lib;
  FrameAnalysisContext ctx{GoodFolders(), false, &lib, nullptr};
  AnalysisResults r;
  ASSERT_EQ(RunFrameAnalysis(r, text, good, ctx), "");
  // A different model that the library cannot solve (no supports at all).
  FrameModel bad = Culvert();
  bad.support_cases[1].supports.Clear();
  RecordingUi ui;
  ctx.ui = &ui;
  std::string msg = RunFrameAnalysis(r, text, bad, ctx);
  EXPECT_NE(msg, "");
  EXPECT_TRUE(r.failed);
  EXPECT_EQ(r.member_count, 0);
  EXPECT_FALSE(FileExists(dir.File("Yoko0.F31")));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text.rfind("FRAME.エラー：\n[2] ", 0), 0u)
      << Cp932ToUtf8(ui.messages[0].text);
}

TEST(FrameSdkLoader, FailurePathsGiveMessagesAndKeepTheFolder) {
  TempDir dir;
  std::string text = dir.File("Yoko0.$O1");
  FrameModel singular = Culvert();
  singular.support_cases[1].supports.Clear();
  ASSERT_EQ(SaveFrameText(singular, text), "");
  std::string unreadable = dir.File("bad.$O1");
  WriteFileAtomic(unreadable, "FRAME     FRAME-03\r\nTITLE\r\n");
  struct Case {
    const char* name;
    FrameSdkFolders folders;
    std::string text;
    std::string expected_start;
  };
  const Case cases[] = {
      {"no library",
       {dir.File("sdk/"), kLayout + "PlaneFrame/"},
       text,
       "PlaneFrame SDK がインストールされていません．\n･･･" + dir.File("sdk/") +
           "libFrameSDK.so が有りません．"},
      {"no frame program",
       {kLayout + "PlaneFrameSDK/", dir.File("frame/")},
       text,
       "PlaneFrameがインストールされていません．\n･･･" + dir.File("frame/") +
           "PlaneFrame が有りません．"},
      {"entry point missing",
       {kLayout + "broken_no_free/", kLayout + "PlaneFrame/"},
       text,
       "PlaneFrame SDK がインストールされていません．"},
      {"unreadable text", GoodFolders(), unreadable, unreadable + "を正常に読めません"},
      {"FrameErr without a text",
       {kLayout + "broken_null_error/", kLayout + "PlaneFrame/"},
       text,
       "[2] (FrameErr"},
      {"singular model", GoodFolders(), text, "[2] 荷重ケース 1 "},
  };
  for (const auto& c : cases) {
    fs::path before = fs::current_path();
    FrameSdkLibrary lib;
    RecordingUi ui;
    std::string msg = RunFrameSdk(lib, c.folders, c.text, &ui);
    EXPECT_EQ(msg.rfind(c.expected_start, 0), 0u) << c.name << ": " << Cp932ToUtf8(msg);
    ASSERT_EQ(ui.messages.size(), 1u) << c.name;
    EXPECT_EQ(ui.messages[0].text, "FRAME.エラー：\n" + msg);
    EXPECT_EQ(fs::current_path(), before) << c.name;
  }
}

TEST(ResultFiles, ReaderBoundsCountsCasesAndMembers) {
  TempDir dir;
  std::string text = dir.File("Yoko0.$O1");
  FrameModel m = Culvert();
  ASSERT_EQ(SaveFrameText(m, text), "");
  auto f31 = [&](const std::string& body) {
    WriteFileAtomic(dir.File("Yoko0.F31"), "部材力\r\n" + body);
  };
  struct Case {
    const char* name;
    std::string body;
    bool ok;
  };
  const std::string point =
      "    1          0.000         12.500          1.000          2.000        0.10000\r\n";
  const Case cases[] = {
      {"case beyond the record", "CASE    40    1\r\nMEMBR   1    1    2    1\r\n" + point, false},
      {"case 0", "CASE     0    1\r\nMEMBR   1    1    2    1\r\n" + point, false},
      {"point count beyond 21", "CASE     1    1\r\nMEMBR   1    1    2   30\r\n" + point, false},
      {"count beyond the file", "CASE     1    1\r\nMEMBR   1    1    2    3\r\n" + point, false},
      {"member not in the model is skipped",
       "CASE     1    1\r\nMEMBR  99    1    2    1\r\n" + point + "MEMBR   2    2    3    1\r\n" +
           point,
       true},
  };
  for (const auto& c : cases) {
    f31(c.body);
    AnalysisResults r;
    std::string msg = ReadFrameResults(r, text);
    EXPECT_EQ(msg.empty(), c.ok) << c.name << ": " << Cp932ToUtf8(msg);
    if (c.ok) {
      EXPECT_DOUBLE_EQ(r.At(1, 2).points[1][kCompM], 12.5);
      EXPECT_EQ(r.At(1, 1).count, 0);
    } else {
      EXPECT_TRUE(r.failed);
      EXPECT_EQ(r.member_count, 0);
    }
  }
}

TEST(MaxSearch, FindMaxPointRules) {
  MemberCaseResult v;
  const double m[] = {0, -5, 3, 3, -8};
  for (int k = 1; k <= 4; ++k) v.points[k][kCompM] = m[k];
  EXPECT_EQ(FindMaxPoint(v, 4, 1), 2);   // signed: first of the equal largest
  EXPECT_EQ(FindMaxPoint(v, 4, 12), 4);  // type 12: largest magnitude
  EXPECT_EQ(FindMaxPoint(v, 0, 1), 1);
  EXPECT_EQ(FindMaxPoint(v, 1, 12), 1);
}

// Simple beam, triangular load 0..q: largest moment q L^2 / (9 sqrt 3) at
// x = L / sqrt 3, between the output points; the search must find it.
FrameModel TriangleBeam(double L) {
  FrameBuilder b;
  int n1 = b.Node(0, 0), n2 = b.Node(L, 0);
  b.Member(n1, n2, 0.3, 0.0025, kEndPin, kEndPin);
  b.Divide(1, 4);
  int s = b.SupportCase({Pin(n1), Roller(n2)});
  b.LoadCase(0, s).items.Add(FrameBuilder::Item(14, 1, 0, -10));
  b.Combination({1});
  return b.model;
}

TEST(MaxSearch, RefinesTheMaximumBetweenOutputPoints) {
  TempDir dir;
  FrameModel m = TriangleBeam(6);
  MaxSearchMembers members(2);
  members[1] = {6, 1, true};
  AnalysisResults r, s1, s2;
  FrameAnalysisContext ctx{{}, true, nullptr, nullptr};
  ASSERT_TRUE(AnalyseWithMaxSearch(r, s1, s2, dir.File("Yoko0.$O1"), m, members, ctx));
  const auto& mc = r.At(2, 1);
  ASSERT_TRUE(mc.merged);
  EXPECT_EQ(mc.max_index, mc.count + 1);
  const auto& best = mc.points[mc.count + 1];
  EXPECT_NEAR(best[kCompX], 6 / std::sqrt(3.0), 0.02);
  EXPECT_NEAR(best[kCompM], 10 * 36 / (9 * std::sqrt(3.0)), 2e-3);
  // Nobody reads the internal search runs' texts and result files.
  EXPECT_TRUE(FileExists(dir.File("Yoko0.$O1")));
  EXPECT_FALSE(FileExists(dir.File("Yoko0J(-)1.$O1")));
  EXPECT_FALSE(FileExists(dir.File("Yoko0J(0)3.$O1")));
  // The model's output lists are back as they were.
  EXPECT_EQ(m.equal_divisions.Count(), 1);
  EXPECT_EQ(m.specified.Count(), 0);
}

TEST(MaxSearch, FirstSearchRunSpreadsFifteenPointsOverTheMember) {
  TempDir dir;
  FrameModel m = TriangleBeam(0.5);
  MaxSearchMembers members(2);
  members[1] = {0.5, 1, true};
  AnalysisResults r, s1, s2;
  FrameAnalysisContext ctx{{}, true, nullptr, nullptr};
  ctx.keep_result_files = true;  // the search texts are written
  ASSERT_TRUE(AnalyseWithMaxSearch(r, s1, s2, dir.File("Yoko0.$O1"), m, members, ctx));
  FrameModel search;
  ASSERT_EQ(LoadFrameTextFile(dir.File("Yoko0J(-)1.$O1"), search), "");
  EXPECT_EQ(search.equal_divisions.Count(), 0);
  ASSERT_EQ(search.specified.Count(), 1);
  ASSERT_EQ(search.specified[1].positions.Count(), 15);
  for (int i = 0; i <= 14; ++i)  // 0.01 + i * 0.48 / 14, as the text keeps it (3 decimals)
    EXPECT_NEAR(search.specified[1].positions[i + 1].x, 0.01 + i * 0.48 / 14, 5e-4);
}

TEST(MaxSearch, FailedSearchRunKeepsTheMainMaximum) {
  for (const char* blocked : {"Yoko0J(-)1.$O1", "Yoko0J(0)2.$O1"}) {
    TempDir dir;
    FrameModel m = TriangleBeam(6);
    MaxSearchMembers members(2);
    members[1] = {6, 1, true};
    fs::create_directories(dir.File(blocked));  // the search text cannot be written
    AnalysisResults r, s1, s2;
    FrameAnalysisContext ctx{{}, true, nullptr, nullptr};
    ctx.keep_result_files = true;  // the search texts are written
    ASSERT_TRUE(AnalyseWithMaxSearch(r, s1, s2, dir.File("Yoko0.$O1"), m, members, ctx));
    const auto& mc = r.At(2, 1);
    EXPECT_FALSE(mc.merged) << blocked;
    EXPECT_EQ(mc.max_index, 3) << blocked;  // midspan of the quarter points
    EXPECT_DOUBLE_EQ(mc.points[mc.count + 1][kCompX], 3.0);
  }
}

TEST(MaxSearch, RefinementPositionsStayOnTheMember) {
  // A 0.3 m cantilever loaded at its free i-end: the largest signed moment
  // is at the first point, and the window would start before the member.
  TempDir dir;
  FrameBuilder b;
  int n1 = b.Node(0, 0), n2 = b.Node(0.3, 0);
  b.Member(n1, n2, 0.3, 0.0025);
  int s = b.SupportCase({Fixed(n2)});
  b.LoadCase(0, s).items.Add(FrameBuilder::Item(24, 1, -10, 0, 0));
  b.Combination({1});
  MaxSearchMembers members(2);
  members[1] = {0.3, 1, true};
  AnalysisResults r, s1, s2;
  FrameAnalysisContext ctx{{}, true, nullptr, nullptr};
  ctx.keep_result_files = true;  // the search texts are written
  ASSERT_TRUE(AnalyseWithMaxSearch(r, s1, s2, dir.File("Yoko0.$O1"), b.model, members, ctx));
  FrameModel search;
  ASSERT_EQ(LoadFrameTextFile(dir.File("Yoko0J(0)2.$O1"), search), "");
  ASSERT_EQ(search.specified.Count(), 1);
  for (const auto& p : search.specified[1].positions) {
    EXPECT_GE(p.x, 0.0);
    EXPECT_LE(p.x, 0.3);
  }
}

TEST(MaxSearch, InternalSearchRunsWriteNothingAndComputeOnlyTheirMembers) {
  // Members 1, 3 and 7 are refined. The same search with every file kept
  // (every member computed, every file written) is the reference: the
  // results of the main run and the refined members must not change.
  MaxSearchMembers members(8);
  for (int e = 1; e <= 7; ++e) members[e] = {3.0, 1, false};  // every member is 3 m long
  for (int e : {1, 3, 7}) members[e].search = true;
  TempDir full_dir, lean_dir;
  FrameModel full_model = Culvert(), lean_model = Culvert();
  AnalysisResults full, full1, full2, lean, lean1, lean2;
  FrameAnalysisContext full_ctx{{}, true, nullptr, nullptr};
  full_ctx.keep_result_files = true;
  FrameAnalysisContext lean_ctx{{}, true, nullptr, nullptr};
  // Search files of an earlier run are cleared away with their cache copy.
  for (const char* stale : {"Yoko0J(-)1.$O1", "Yoko0J(-)1.bak", "Yoko0J(-)1.F31", "Yoko0J(1)3.$O1"})
    ASSERT_TRUE(WriteFileAtomic(lean_dir.File(stale), "stale"));
  ASSERT_TRUE(AnalyseWithMaxSearch(full, full1, full2, full_dir.File("Yoko0.$O1"), full_model,
                                   members, full_ctx));
  ASSERT_TRUE(AnalyseWithMaxSearch(lean, lean1, lean2, lean_dir.File("Yoko0.$O1"), lean_model,
                                   members, lean_ctx));

  const int cases = full.max_load_case + full.combination_count;
  ASSERT_EQ(lean.max_load_case + lean.combination_count, cases);
  for (int c = 1; c <= cases; ++c)
    for (int e = 1; e <= 7; ++e) {
      const MemberCaseResult &a = full.At(c, e), &b = lean.At(c, e);
      EXPECT_EQ(a.count, b.count) << c << "/" << e;
      EXPECT_EQ(a.max_index, b.max_index) << c << "/" << e;
      EXPECT_EQ(a.merged, b.merged) << c << "/" << e;
      for (int p = 1; p <= a.count + 1; ++p)
        for (int k = 0; k < 5; ++k)
          EXPECT_EQ(a.points[p][k], b.points[p][k]) << c << "/" << e << "/" << p << "/" << k;
    }
  // The first search run: refined members as with every member computed,
  // but for the deflections nobody reads of it; the others not computed at
  // all.
  for (int c = 1; c <= cases; ++c)
    for (int e = 1; e <= 7; ++e) {
      const MemberCaseResult &a = full1.At(c, e), &b = lean1.At(c, e);
      if (!members[e].search) {
        EXPECT_EQ(a.count, 2) << c << "/" << e;  // the two ends
        EXPECT_EQ(b.count, 0) << c << "/" << e;
        continue;
      }
      ASSERT_EQ(a.count, b.count) << c << "/" << e;
      for (int p = 1; p <= a.count; ++p) {
        for (int k = kCompX; k <= kCompN; ++k) EXPECT_EQ(a.points[p][k], b.points[p][k]);
        EXPECT_EQ(b.points[p][kCompDefl], 0.0);
      }
    }

  // Files: the main run's as the library path leaves them; no search file.
  for (const char* name : {"Yoko0.$O1", "Yoko0.F21", "Yoko0.F22", "Yoko0.F31", "Yoko0.F32"}) {
    EXPECT_TRUE(FileExists(lean_dir.File(name))) << name;
    EXPECT_EQ(ReadFileBytes(lean_dir.File(name)).value_or("<missing>"),
              ReadFileBytes(full_dir.File(name)).value_or("<none>"))
        << name;
  }
  int search_files = 0;
  for (const auto& f : fs::directory_iterator(lean_dir.File("")))
    if (f.path().filename().string().find("J(") != std::string::npos) ++search_files;
  EXPECT_EQ(search_files, 0);
  EXPECT_TRUE(FileExists(full_dir.File("Yoko0J(1)3.$O1")));  // the reference wrote them
}

TEST(SolveCommand, AnalysesAFrameTextBesideIt) {
  TempDir dir;
  std::string text = dir.File("Yoko0.$O1");
  ASSERT_EQ(SaveFrameText(Culvert(), text), "");
  auto run = [&](const std::string& args) {
    std::string cmd = std::string(VAULTRA_EXE) + " solve " + args + " >/dev/null 2>&1";
    int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(run("'" + text + "' --internal"), 0);
  // The command keeps every result file, the reaction lists included.
  for (const char* ext : kResultFileExtensions)
    EXPECT_TRUE(FileExists(dir.File(std::string("Yoko0") + ext))) << ext;
  RemoveFile(dir.File("Yoko0.F31"));
  EXPECT_EQ(run("'" + text + "' --sdk-dir " + kLayout + "PlaneFrameSDK --frame-dir " + kLayout +
                "PlaneFrame"),
            0);
  EXPECT_TRUE(FileExists(dir.File("Yoko0.F31")));
  EXPECT_EQ(run("'" + text + "' --sdk-dir " + kLayout + "PlaneFrameSDK"), 2);
  EXPECT_EQ(run("'" + dir.File("missing.$O1") + "' --internal"), 2);
}

// Without folders on the command line the library is found as the run
// finds it: through PlaneFrame.txt beside the program.
TEST(SolveCommand, FindsTheLibraryThroughTheFolderList) {
  TempDir dir;
  std::string exe = dir.File("vaultra");
  fs::copy_file(VAULTRA_EXE, exe);
  std::string text = dir.File("Yoko0.$O1");
  ASSERT_EQ(SaveFrameText(Culvert(), text), "");
  auto solve = [&] {
    std::string out = dir.File("out.txt");
    std::string cmd = "'" + exe + "' solve '" + text + "' >'" + out + "' 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    return ReadFileBytes(out).value_or("");
  };
  if (!DirExists("/opt/PlaneFrameSDK/")) {  // no list and no install: internal
    EXPECT_NE(solve().find("internal solver"), std::string::npos);
  }
  ASSERT_TRUE(WriteFileAtomic(dir.File("PlaneFrame.txt"),
                              kLayout + "PlaneFrame\r\n" + kLayout + "PlaneFrameSDK\r\n"));
  EXPECT_NE(solve().find("(frame library)"), std::string::npos);
  EXPECT_TRUE(FileExists(dir.File("Yoko0.F71")));
}

}  // namespace
}  // namespace vaultra::testing
