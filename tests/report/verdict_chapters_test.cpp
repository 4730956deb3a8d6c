// The verdict chapters over hand-made check records: the first failure's
// text, the failure marks, a failed analysis that prints no O.K., an end
// wall whose states are skipped only when they carry no force, and a check
// value that is no number.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "report/build_report.h"
#include "report/report_test_util.h"

namespace vaultra {
namespace {

// The rows of the body pages without their blanks (a full-width letter and
// the digit after it read as two words).
std::vector<std::string> AllRows(const PrintEngine& pe) {
  std::vector<std::string> out;
  for (int slot = kFirstBodySlot + 1; slot <= pe.records().highest(); ++slot)
    for (std::string row : test::PageTextRows(pe, slot)) {
      std::erase(row, ' ');
      out.push_back(row);
    }
  return out;
}

std::vector<std::string> RowsWith(const PrintEngine& pe, std::initializer_list<std::string> parts) {
  std::vector<std::string> out;
  for (const std::string& row : AllRows(pe)) {
    bool all = true;
    for (const std::string& p : parts) all = all && row.find(p) != std::string::npos;
    if (all) out.push_back(row);
  }
  return out;
}

int CountWith(const std::vector<std::string>& rows, const std::string& part) {
  int n = 0;
  for (const std::string& r : rows) n += r.find(part) != std::string::npos;
  return n;
}

// A member table of one labelled row per combination.
void OneRowMember(MemberCheckTables& t, int m, int type) {
  for (int k = 0; k < kCheckCombinations; ++k) {
    MemberCheckTable& tb = t.At(k, m);
    tb.count = 1;
    tb.type_code = type;
    CheckPointRecord& r = tb.Row(1);
    r.member = m;
    r.type_code = type;
    r.label = "下端部";
    r.k[1] = 400;
    r.k[4] = 1000;
    r.ratio = r.ratio_flexure = 0.5;
  }
}

struct Fixture {
  InputRecords rec;
  MemberCheckTables checks;
  ReportSources src;
  ReportOptions opt;
  Fixture() {
    rec.model.facility_type = 0;
    checks.Reset(4);
    for (int m = 1; m <= 4; ++m) OneRowMember(checks, m, 1);  // side walls of the end block
    src.records = &rec;
    src.checks = &checks;
    opt.print_master_dir = std::string(VAULTRA_SOURCE_DIR) + "/Master/印刷/";
  }
  ReportBuild Build(PrintEngine& pe) {
    ReportBuild b;
    BuildReportPages(pe, src, opt, b);
    return b;
  }
};

TEST(VerdictChapters, TwoFailingMembersKeepTheFirstMembersErrorText) {
  Fixture f;
  f.checks.At(kKindLevel2, 2).Row(1).ng_flexure = true;  // printed after every allowable check
  f.checks.At(kKindNormal, 3).Row(1).ng_sigma_s = true;
  f.checks.At(kKindLevel1, 4).Row(1).ng_shear = true;
  PrintEngine pe;
  const ReportBuild b = f.Build(pe);
  // The allowable-stress part comes first, so member 3's normal failure is
  // the first one printed; members 4 and 2 fail later and change nothing.
  EXPECT_EQ(b.first_error, "部材No.3、 常時-ＲＣ応力エラー");
  for (int m = 1; m <= 4; ++m) EXPECT_EQ(b.Failed(m, 1), m != 1) << m;
  EXPECT_FALSE(b.Failed(1, 2));
  const std::vector<std::string> rows = AllRows(pe);
  struct Want {
    const char* member_state;
    bool ng;
  };
  for (const Want& w : {Want{"部材No.1常時判定：", false}, Want{"部材No.3常時判定：", true},
                        Want{"部材No.3Ｌ１判定：", false}, Want{"部材No.4Ｌ１判定：", true},
                        Want{"部材No.2Ｌ２判定：", true}, Want{"部材No.2常時判定：", false}}) {
    const auto got = RowsWith(pe, {w.member_state});
    ASSERT_EQ(got.size(), 1u) << w.member_state;
    EXPECT_NE(got[0].find(w.ng ? "N.G." : "O.K."), std::string::npos) << got[0];
  }
  // The failing ratio and the failed check are printed with the N.G.
  EXPECT_EQ(RowsWith(pe, {"部材No.3常時判定：N.G.", "超過"}).size(), 1u);
  // One summary line per printed check block: 4 members × 3 states.
  EXPECT_EQ(b.summary.size(), 12u);
}

TEST(VerdictChapters, SilentPassSetsTheSameMarksAndErrorAsThePreview) {
  Fixture f;
  f.checks.At(kKindLevel1, 2).Row(1).ng_sigma_c = true;
  PrintEngine silent;
  ReportBuild sb;
  RunSilentReportPass(silent, f.src, f.opt, sb);
  PrintEngine pe;
  const ReportBuild b = f.Build(pe);
  EXPECT_EQ(sb.first_error, "部材No.2、Ｌ１-ＲＣ応力エラー");
  EXPECT_EQ(sb.first_error, b.first_error);
  EXPECT_EQ(sb.failure_marks, b.failure_marks);
  EXPECT_EQ(sb.summary, b.summary);
  ASSERT_EQ(silent.text.contents.size(), pe.text.contents.size());
  for (std::size_t i = 0; i < pe.text.contents.size(); ++i)
    EXPECT_EQ(silent.text.contents[i].text, pe.text.contents[i].text);
}

TEST(VerdictChapters, AFailedAnalysisPrintsTheFailureAndNoOk) {
  struct Case {
    bool transverse_failed, longitudinal_failed;
  };
  for (const Case c : {Case{true, false}, Case{false, true}, Case{true, true}}) {
    Fixture f;
    f.rec.model.longitudinal_check = c.longitudinal_failed;
    // What a failed run leaves: zero forces that would pass every check.
    TransverseJointResult joint;
    LongitudinalJointResult lj;
    EndWallResult walls;
    f.src.transverse_joint = &joint;
    f.src.longitudinal_joint = &lj;
    f.src.end_walls = &walls;
    f.src.transverse_failed = c.transverse_failed;
    f.src.longitudinal_failed = c.longitudinal_failed;
    if (c.transverse_failed) f.src.checks = nullptr;
    if (c.longitudinal_failed) {
      f.src.longitudinal_joint = nullptr;
      f.src.end_walls = nullptr;
    }
    PrintEngine pe;
    const ReportBuild b = f.Build(pe);
    const std::vector<std::string> rows = AllRows(pe);
    SCOPED_TRACE(testing::Message() << c.transverse_failed << c.longitudinal_failed);
    if (c.transverse_failed) {
      EXPECT_EQ(CountWith(rows, "O.K."), 0);
      EXPECT_NE(b.first_error.find("横方向の解析ができなかった"), std::string::npos)
          << b.first_error;
      EXPECT_GE(CountWith(rows, "照査できません"), 3);  // results, sections, joints
    }
    if (c.longitudinal_failed) {
      EXPECT_EQ(CountWith(rows, "縦方向の解析ができなかった"), 3);  // results, joints, end walls
      if (!c.transverse_failed) {
        EXPECT_NE(b.first_error.find("縦方向の解析ができなかった"), std::string::npos);
      }
      for (const char* part : {"耐力判定：O.K.", "防水判定：O.K.", "端壁判定：O.K."})
        EXPECT_EQ(CountWith(rows, part), 0) << part;
    }
  }
}

// A wall of the simple-beam method with one row pair per state.
EndWallResult OneWall(const std::array<double, 3>& moments, const std::array<bool, 3>& fails) {
  EndWallResult e;
  e.wall_count = 1;
  e.inner_width[0] = 2.0;
  e.span[0] = 2.0;
  for (int c = 0; c < 3; ++c) {
    EndWallCase& ec = e.walls[0][c];
    ec.kind = c;
    for (int j = 0; j < 2; ++j) {
      EndWallRow& row = ec.rows[j];
      row.applies = true;
      row.support = j == 1;
      row.rec.k[1] = 450;
      row.rec.M = moments[c];
      row.rec.ratio = row.rec.ratio_flexure = fails[c] ? 1.4 : 0.3;
      row.rec.ng = row.rec.ng_flexure = fails[c];
    }
  }
  return e;
}

TEST(VerdictChapters, EndWallStatesAreSkippedOnlyWithoutForce) {
  struct Case {
    const char* what;
    std::array<double, 3> M;
    std::array<bool, 3> fails;
    int skipped;      // states left out
    bool l2_printed;  // the failing level-2 state is checked
  };
  const Case cases[] = {
      // A normal state of no force used to end the checks before the failing level 2.
      {"zero normal state", {0.0, 30.0, -80.0}, {false, false, true}, 1, true},
      // A negative governing moment is a load like any other.
      {"negative level 1", {20.0, -40.0, -90.0}, {false, false, true}, 0, true},
      {"all carry force", {20.0, 40.0, 90.0}, {false, false, false}, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f;
    f.rec.model.longitudinal_check = true;
    const EndWallResult walls = OneWall(c.M, c.fails);
    f.src.end_walls = &walls;
    PrintEngine pe;
    const ReportBuild b = f.Build(pe);
    const std::vector<std::string> rows = AllRows(pe);
    EXPECT_EQ(CountWith(rows, "この状態の照査は省略"), c.skipped);
    EXPECT_EQ(CountWith(rows, "■端壁1"), 2 * (3 - c.skipped));
    EXPECT_EQ(CountWith(rows, "(地震動時ﾚﾍﾞﾙ2)") >= 3, c.l2_printed);
    const bool ng = c.fails[2];
    EXPECT_EQ(CountWith(rows, "端壁判定："), 1);
    // A failing wall: its state's block, the wall verdict and the chapter's
    // verdict, and in the verdict summary the state's row and the first N.G.
    EXPECT_EQ(CountWith(rows, ng ? "N.G." : "O.K."), ng ? 3 + 2 : CountWith(rows, "O.K."));
    EXPECT_EQ(b.first_error.empty(), !ng) << b.first_error;
  }
}

TEST(VerdictChapters, AValueThatIsNoNumberIsNgWithItsReason) {
  for (int kind : {kKindNormal, kKindLevel1, kKindLevel2}) {
    SCOPED_TRACE(kind);
    Fixture f;
    CheckPointRecord& r = f.checks.At(kind, 1).Row(1);
    r.k[11] = r.k[19] = 350;
    r.k[12] = r.k[20] = 1000;
    r.M = std::nan("");
    CheckPoint(r, kind, CheckPointContext{});
    EXPECT_TRUE(RowFailed(r));
    EXPECT_TRUE(r.not_finite);
    PrintEngine pe;
    const ReportBuild b = f.Build(pe);
    EXPECT_TRUE(b.Failed(1, 1));
    const char* state[3] = {"部材No.1常時判定：", "部材No.1Ｌ１判定：", "部材No.1Ｌ２判定："};
    EXPECT_EQ(RowsWith(pe, {state[kind], "N.G.", "数値でない値があります"}).size(), 1u);
  }
  // The transverse joint: an axial force that is no number fails both checks.
  TransverseJointInput in;
  in.members[0] = {{19, 10.0, std::nan("")}};
  in.members[1] = {{20, -5.0, 5.0}};
  const TransverseJointResult j = CheckTransverseJoints(in);
  EXPECT_TRUE(j.level[0].ng_compression);
  EXPECT_TRUE(j.level[0].ng_tension);
  EXPECT_FALSE(j.level[1].ng_compression);
  EXPECT_FALSE(j.ok());
}

}  // namespace
}  // namespace vaultra
