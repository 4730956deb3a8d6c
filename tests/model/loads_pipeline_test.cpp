// The frame texts built from the sample projects: case and combination
// counts, block counts against their lines, balanced vertical loads, no net
// horizontal load on a symmetric facility, repeatable output, solvable models.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "analysis/frame_solver.h"
#include "analysis/frame_text.h"
#include "app/calc/build_models.h"
#include "app/pages/page_logic_impl.h"
#include "app/document/project_file.h"
#include "core/fileio.h"
#include "core/ui.h"

namespace vaultra {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Samples() {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(fs::path(VAULTRA_SOURCE_DIR) / "samples"))
    if (e.path().extension() == ".vt1") out.push_back(e.path().string());
  std::sort(out.begin(), out.end());
  return out;
}

struct Built {
  ProjectState state;
  CalcWorkspace ws;
  std::vector<std::string> yoko, tate;
};

class Pipeline : public testing::TestWithParam<int> {
 protected:
  static void SetUpTestSuite() {
    RecordingUi ui;
    master_ = new MasterData(LoadMasterData(std::string(VAULTRA_BINARY_DIR) + "/Master/材料/", ui));
  }
  static void TearDownTestSuite() { delete master_; }

  // Loads a sample, chooses the method and builds both texts.
  std::unique_ptr<Built> Build(const std::string& sample, int method, double cover = -100) {
    auto b = std::make_unique<Built>();
    InputPageLogic logic(*master_);
    LoadResult r = LoadProjectFile(b->state, sample, logic);
    EXPECT_TRUE(r.loaded);
    b->state.loads.CheckRadio(method == 0 ? "RbCalcHenni" : "RbCalcSindo");
    if (cover > -100) b->state.records.model.cover_depth = cover;
    const std::string work =
        (fs::path(testing::TempDir()) / ("loads_" + std::to_string(method))).string();
    const std::string err = BuildModels(b->state, *master_, work, b->ws);
    EXPECT_EQ(err, "");
    b->yoko = SplitLines(ReadFileBytes(b->ws.transverse_path).value_or(""));
    b->tate = SplitLines(ReadFileBytes(b->ws.longitudinal_path).value_or(""));
    return b;
  }
  static MasterData* master_;
};
MasterData* Pipeline::master_ = nullptr;

int CountKeyword(const std::vector<std::string>& lines, const std::string& kw) {
  int n = 0;
  for (const std::string& l : lines)
    if (l.rfind(kw, 0) == 0) ++n;
  return n;
}

// Every block header's count equals the item lines below it.
void ExpectCountsMatchLines(const std::vector<std::string>& lines) {
  struct Kw {
    const char* name;
    int field;  // which integer after the keyword is the count
  };
  const Kw kws[] = {{"LOAD-CASE", 1}, {"KUMI-CASE", 1}, {"BANE-CASE", 1}, {"SUPT-CASE", 1},
                    {"POINT", 0},     {"MEMBER", 0},    {"SECTION", 0},   {"MATERIAL", 0}};
  for (std::size_t i = 0; i < lines.size(); ++i)
    for (const Kw& kw : kws) {
      const std::string& l = lines[i];
      if (l.rfind(kw.name, 0) != 0 || l.size() <= 10 || l[std::strlen(kw.name)] != ' ') continue;
      std::istringstream in(l.substr(10));
      int v[2] = {0, 0};
      in >> v[0] >> v[1];
      std::size_t j = i + 1;
      while (j < lines.size() && !lines[j].empty() && lines[j][0] == ' ') ++j;
      EXPECT_EQ(static_cast<int>(j - i - 1), v[kw.field]) << l;
    }
}

double MemberLength(const FrameModel& m, int k) {
  const FrameMember& mb = m.members.At(k);
  const FrameNode& a = m.nodes.At(mb.node_i);
  const FrameNode& b = m.nodes.At(mb.node_j);
  return std::hypot(b.x - a.x, b.y - a.y);
}

// Resultant of a case's items of one type, each over its members.
double Resultant(const FrameModel& m, const FrameLoadCase& c, int type) {
  double sum = 0;
  for (const FrameLoadItem& it : c.items) {
    if (it.type != type) continue;
    double len = 0;
    for (int k = it.first_member; k <= std::max(it.first_member, it.last_member); ++k)
      len += MemberLength(m, k);
    sum += (it.d1 + it.d2) / 2 * (len - it.d3 - it.d4);
  }
  return sum;
}

TEST_P(Pipeline, TextsHoldEveryCaseAndCountAndAreBalanced) {
  for (const std::string& sample : Samples()) {
    SCOPED_TRACE(sample);
    auto b = Build(sample, GetParam());
    ASSERT_FALSE(b->yoko.empty());
    EXPECT_EQ(CountKeyword(b->yoko, "LOAD-CASE"), 25);
    EXPECT_EQ(CountKeyword(b->yoko, "KUMI-CASE"), 3);
    EXPECT_EQ(CountKeyword(b->tate, "LOAD-CASE"), 25);
    EXPECT_EQ(CountKeyword(b->tate, "KUMI-CASE"), 3);
    ExpectCountsMatchLines(b->yoko);
    ExpectCountsMatchLines(b->tate);

    FrameModel yoko, tate;
    ASSERT_EQ(ReadFrameText(b->yoko, "Yoko0", yoko), "");
    ASSERT_EQ(ReadFrameText(b->tate, "Tate0", tate), "");
    // Cases 2..6 stand on a uniform ground reaction that balances them.
    // The reaction is computed from member lengths kept to the millimetre
    // and written with three decimals: allow half a millimetre per member
    // and half a unit of the last decimal over the width.
    auto tolerance = [](const FrameModel& m, const FrameLoadCase& c, double width) {
      return 0.0005 * m.members.Count() * c.max_intensity + 0.0005 * width + 0.005;
    };
    for (int c = 2; c <= 6; ++c) {
      const FrameLoadCase& yc = b->ws.transverse_frame.load_cases.At(c);
      const FrameLoadCase& tc = b->ws.longitudinal_frame.load_cases.At(c);
      EXPECT_NEAR(Resultant(yoko, yoko.load_cases.At(c), kLoadDistGlobalY), 0,
                  tolerance(yoko, yc, b->state.transverse.frame_width))
          << "case " << c;
      EXPECT_NEAR(Resultant(tate, tate.load_cases.At(c), kLoadDistGlobalY), 0,
                  tolerance(tate, tc, b->state.longitudinal.frame_width))
          << "case " << c;
      // A case with vertical loads gets its reaction item.
      bool has_y = false;
      for (const FrameLoadItem& it : yc.items) has_y = has_y || it.type == kLoadDistGlobalY;
      if (has_y) {
        EXPECT_GT(yc.items.At(yc.items.Count()).last_member, 0) << "case " << c;
      }
    }
    // The sample is symmetric: no net horizontal load in the symmetric cases.
    for (int c : {1, 2, 3, 4, 5, 6, 8, 9, 10, 14, 17, 18, 19, 23})
      EXPECT_NEAR(Resultant(yoko, yoko.load_cases.At(c), kLoadDistGlobalX), 0, 0.01)
          << "case " << c;
    // Output positions at the points of interest, each named; none along.
    EXPECT_GT(yoko.specified.Count(), 0);
    EXPECT_EQ(tate.specified.Count(), 0);
    for (const FrameSpecifiedPositions& sp : b->ws.transverse_frame.specified)
      for (const FramePosition& pos : sp.positions) EXPECT_FALSE(pos.name.empty()) << sp.member;
    // Combinations: transverse 8..15 and 17..24, longitudinal four each.
    EXPECT_EQ(yoko.combinations.At(2).entries.Count(), 8);
    EXPECT_EQ(tate.combinations.At(3).entries.Count(), 4);
    EXPECT_EQ(tate.combinations.At(3).entries.At(1).load_case, 20);
    if (GetParam() == 1) {
      EXPECT_EQ(yoko.load_cases.At(9).items.Count(), 0);
      EXPECT_EQ(yoko.load_cases.At(9).name, "");
      EXPECT_EQ(yoko.load_cases.At(12).spring_case, 5);
      EXPECT_EQ(yoko.load_cases.At(13).name, "L1.覆土せん断力");
    } else {
      EXPECT_EQ(yoko.load_cases.At(13).name, "L1.周面せん断力");
      EXPECT_GT(yoko.load_cases.At(11).items.Count(), 0);
    }
  }
}

TEST_P(Pipeline, BuiltModelsAreSolvable) {
  auto b = Build(Samples().front(), GetParam());
  for (auto* lines : {&b->yoko, &b->tate}) {
    FrameModel m;
    ASSERT_EQ(ReadFrameText(*lines, "frame", m), "");
    AnalysisResults res;
    EXPECT_EQ(SolveFrame(m, res), "");
    EXPECT_FALSE(res.failed);
    // The self weight (case 1) bends the frame: finite, non-zero moments.
    double largest = 0;
    bool finite = true;
    const CaseResult& c1 = res.cases.at(1);
    for (std::size_t mi = 1; mi < c1.members.size(); ++mi)
      for (int p = 1; p <= c1.members[mi].count; ++p) {
        const double moment = c1.members[mi].points[static_cast<std::size_t>(p)][1];
        finite = finite && std::isfinite(moment);
        largest = std::max(largest, std::fabs(moment));
      }
    EXPECT_TRUE(finite);
    EXPECT_GT(largest, 0.01);
  }
}

// The rear-wheel load stays finite and downward for a cover of -0.3 m.
TEST_P(Pipeline, NegativeCoverKeepsTheWheelLoadFinite) {
  auto b = Build(Samples().front(), GetParam(), -0.3);
  const FrameLoadCase& c = b->ws.transverse_frame.load_cases.At(4);
  ASSERT_GT(c.items.Count(), 0);
  for (const FrameLoadItem& it : c.items) {
    if (it.first_member == b->state.transverse.first_bottom_member && it.last_member != 0) continue;
    EXPECT_TRUE(std::isfinite(it.d1));
    EXPECT_LT(it.d1, 0);
    // Cover 0: width 0.2 m, 2·P·1.3·β/(2.75·0.2) with β 0.9 or 1.0 and P = 100 kN.
    const double full = 2 * 100 * 1.3 / (2.75 * 0.2);
    EXPECT_TRUE(std::fabs(-it.d1 - full) < 0.01 || std::fabs(-it.d1 - 0.9 * full) < 0.01) << it.d1;
  }
}

// The longitudinal members carry their lengths as soon as they are built.
TEST_P(Pipeline, LongitudinalTablesSeeMemberLengths) {
  auto b = Build(Samples().front(), GetParam());
  ProjectState& s = b->state;
  const int layout = s.records.model.facility_type == 0 ? 0 : 1;
  BuildLongitudinalMembers(layout, s.records.model, s.block_row, s.transverse, s.longitudinal);
  for (int k = 1; k <= s.longitudinal.member_count; ++k)
    EXPECT_GT(s.longitudinal.Member(k).length, 0.001);
  EXPECT_GT(s.longitudinal.extents[8], 0);
  SeismicContext ctx{&s.records, &s.block_row, layout, &s.transverse, &s.longitudinal};
  LongitudinalTables lt;
  PrepareLongitudinalTables(ctx, b->ws.ground, s.longitudinal, master_, lt);
  EXPECT_GT(lt.weights.rows[1].len, 0);
  EXPECT_GT(lt.weights.rows[12].len, 0);
  for (int lv = 1; lv <= 2; ++lv) {
    EXPECT_TRUE(
        std::isfinite(b->ws.ground.springs[kLongitudinal].kh[static_cast<std::size_t>(lv)]));
    EXPECT_TRUE(
        std::isfinite(b->ws.ground.springs[kLongitudinal].kv[static_cast<std::size_t>(lv)]));
  }
  // Member count 3·N + 4 with N the number of longitudinal blocks.
  EXPECT_EQ(s.longitudinal.member_count,
            3 * std::clamp(s.records.model.longitudinal_blocks, 2, 50) + 4);
}

INSTANTIATE_TEST_SUITE_P(BothMethods, Pipeline, testing::Values(0, 1));

TEST(FrameCommand, TwoRunsWriteIdenticalTexts) {
  const fs::path dir = fs::path(testing::TempDir()) / "frame_cli";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string sample = std::string(VAULTRA_SOURCE_DIR) + "/samples/stand_two_slabs.vt1";
  std::string first[2];
  for (int run = 0; run < 2; ++run) {
    const std::string cmd = std::string("'") + VAULTRA_EXE + "' frame '" + sample +
                            "' --work-dir '" + (dir / "work").string() + "' >'" +
                            (dir / "out").string() + "' 2>/dev/null";
    const int raw = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    ASSERT_EQ(WEXITSTATUS(raw), 0);
    const std::string out = ReadFileBytes((dir / "out").string()).value_or("");
    EXPECT_NE(out.find("Yoko0.$O1"), std::string::npos);
    EXPECT_NE(out.find("Tate0.$O1"), std::string::npos);
    const std::string y = ReadFileBytes((dir / "work" / "Yoko0.$O1").string()).value_or("");
    const std::string t = ReadFileBytes((dir / "work" / "Tate0.$O1").string()).value_or("");
    ASSERT_FALSE(y.empty());
    if (run == 0) {
      first[0] = y;
      first[1] = t;
      fs::remove(dir / "work" / "Yoko0.$O1");
    } else {
      EXPECT_EQ(y, first[0]);
      EXPECT_EQ(t, first[1]);
    }
  }
}

TEST(FrameCommand, MissingProjectIsBadInput) {
  const std::string cmd =
      std::string("'") + VAULTRA_EXE + "' frame /nonexistent.vt1 >/dev/null 2>&1";
  const int raw = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 2);
}

}  // namespace
}  // namespace vaultra
