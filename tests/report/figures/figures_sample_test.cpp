// Figures of the sample projects: golden page-record dumps of every figure
// kind for a stand and a box facility, the load-state figure against the
// written frame text, and the moment diagram's maxima against the analysis.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "analysis/frame_text.h"
#include "app/calc/build_models.h"
#include "app/calc/run_analysis.h"
#include "app/document/project_file.h"
#include "app/pages/other_checks_page.h"
#include "app/pages/page_logic_impl.h"
#include "core/cp932.h"
#include "core/number.h"
#include "core/ui.h"
#include "inputs/master_data.h"
#include "report/force_diagrams.h"
#include "report/report_test_util.h"
#include "report/report_text.h"

namespace vaultra {
namespace {

namespace fs = std::filesystem;

// A sample opened, built and analysed on the internal solver, once per run.
struct Sample {
  RecordingUi ui;
  MasterData md;
  ProjectState state = DefaultProjectState();
  std::unique_ptr<InputPageLogic> logic;
  CalcWorkspace ws;
  CalcRun run;
  fs::path dir;

  explicit Sample(const std::string& name) {
    dir = fs::temp_directory_path() / ("vaultra_fig_" + std::to_string(getpid()) + "_" + name);
    fs::create_directories(dir);
    md = LoadMasterData(std::string(VAULTRA_SOURCE_DIR) + "/Master/材料/", ui);
    logic = std::make_unique<InputPageLogic>(md);
    const LoadResult r = LoadProjectFile(
        state, std::string(VAULTRA_SOURCE_DIR) + "/samples/" + name + ".vt1", *logic);
    EXPECT_TRUE(r.loaded) << name;
    PrepareOtherChecks(state);
    CommitOtherChecksInputs(state);
    const std::string work = dir.string() + "/";
    EXPECT_EQ(BuildModels(state, md, work, ws), "");
    RunAnalysisOptions opt;
    opt.demo_mode = true;
    RunAnalysis(state, md, ws, opt, run);
    EXPECT_TRUE(run.transverse_ok) << name;
  }
  ~Sample() { fs::remove_all(dir); }

  Figure Fig(bool longitudinal) const {
    return FigureOf(longitudinal ? state.longitudinal : state.transverse, state.block_row,
                    state.records.model, longitudinal);
  }
  int FirstCombination(bool longitudinal) const {
    return (longitudinal ? run.longitudinal : run.transverse).max_load_case + 1;
  }
};

Sample& Get(const std::string& name) {
  static std::map<std::string, std::unique_ptr<Sample>> cache;
  auto& s = cache[name];
  if (!s) s = std::make_unique<Sample>(name);
  return *s;
}

std::string Slurp(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

// One figure kind on a fresh report page (slot 11), drawn as the report's
// chapters place it.
PrintEngine DrawKind(Sample& s, const std::string& kind, bool longitudinal) {
  PrintEngine pe;
  test::StartReport(pe);
  Figure fig = s.Fig(longitudinal);
  const double y = 10;
  if (kind == "section") {
    DrawSectionFigure(pe, fig, SectionFigureOf(s.state.records.model), 30, y + 20, 160, y + 80);
  } else if (kind == "ground") {
    DrawGroundColumn(
        pe, GroundColumnOf(s.state.records.ground, s.state.records.model, s.state.transverse), 40,
        y + 10, 140, y + 220);
  } else if (kind == "frame") {
    PrintFrameFigure(pe, y, fig);
  } else if (kind == "points") {
    pe.SetWindow(20, y + 8, 160, y + 60, 0, fig.model->frame_height, fig.model->frame_width, 0);
    DrawModelFigure(pe, fig, kShowStandard | kShowNodeNumbers);
  } else if (kind == "loads") {
    PrintLoadStatePage(pe, y, fig, longitudinal ? s.ws.longitudinal_frame : s.ws.transverse_frame,
                       2, 0, 0);
  } else if (kind == "forces") {
    PrintForceDiagramPage(pe, y, fig, longitudinal ? s.run.longitudinal : s.run.transverse,
                          s.FirstCombination(longitudinal), 0, 0);
  }
  return pe;
}

struct GoldenCase {
  const char* sample;
  const char* kind;
  bool longitudinal;
};

void PrintTo(const GoldenCase& c, std::ostream* os) {
  *os << c.sample << " " << c.kind << (c.longitudinal ? " longitudinal" : "");
}

class Golden : public ::testing::TestWithParam<GoldenCase> {};

// The page records are compared line by line with the stored dumps; set
// VAULTRA_UPDATE_GOLDEN=1 to write them anew after a deliberate change (and
// look at the figures before committing them).
TEST_P(Golden, PageRecordMatchesTheStoredDump) {
  const GoldenCase& c = GetParam();
  Sample& s = Get(c.sample);
  const PrintEngine pe = DrawKind(s, c.kind, c.longitudinal);
  const std::string dump = DumpPage(pe.records(), pe.records().current());
  const fs::path file =
      fs::path(VAULTRA_SOURCE_DIR) / "tests/report/figures/golden" /
      (std::string(c.sample) + "_" + c.kind + (c.longitudinal ? "_longitudinal" : "") + ".txt");
  if (std::getenv("VAULTRA_UPDATE_GOLDEN")) {
    std::ofstream(file, std::ios::binary) << dump;
    GTEST_SKIP() << "written " << file;
  }
  const std::string want = Slurp(file);
  ASSERT_FALSE(want.empty()) << "no golden dump " << file;
  if (dump == want) return;
  std::istringstream a(dump), b(want);
  std::string la, lb;
  for (int line = 1;; ++line) {
    const bool ga = static_cast<bool>(std::getline(a, la)),
               gb = static_cast<bool>(std::getline(b, lb));
    if (!ga || !gb || la != lb) {
      ADD_FAILURE() << file << " line " << line << ": got \"" << (ga ? la : "<end>")
                    << "\", want \"" << (gb ? lb : "<end>") << "\"";
      break;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Samples, Golden,
                         ::testing::Values(GoldenCase{"box_three_boxes", "section", false},
                                           GoldenCase{"box_three_boxes", "ground", false},
                                           GoldenCase{"box_three_boxes", "frame", false},
                                           GoldenCase{"box_three_boxes", "points", false},
                                           GoldenCase{"box_three_boxes", "loads", false},
                                           GoldenCase{"box_three_boxes", "forces", false},
                                           GoldenCase{"box_three_boxes", "frame", true},
                                           GoldenCase{"box_three_boxes", "forces", true},
                                           GoldenCase{"stand_two_slabs", "section", false},
                                           GoldenCase{"stand_two_slabs", "ground", false},
                                           GoldenCase{"stand_two_slabs", "frame", false},
                                           GoldenCase{"stand_two_slabs", "points", false},
                                           GoldenCase{"stand_two_slabs", "loads", false},
                                           GoldenCase{"stand_two_slabs", "forces", false}),
                         [](const ::testing::TestParamInfo<GoldenCase>& i) {
                           return std::string(i.param.sample) + "_" + i.param.kind +
                                  (i.param.longitudinal ? "_longitudinal" : "");
                         });

// The texts the glyphs of a slot spell, from a given command on.
std::string GlyphText(const PrintEngine& pe, std::size_t from) {
  std::string s;
  const auto& cmds = pe.records().Slot(pe.records().current());
  for (std::size_t i = from; i < cmds.size(); ++i)
    if (cmds[i].cmd == Cmd::kGlyph) s += cmds[i].text;
  return s;
}

TEST(SampleFigures, SectionDimensionsAddUpToTheProductWidths) {
  // Three boxes of 3000 with two 4000 slabs between them: 17000 overall.
  PrintEngine pe = DrawKind(Get("box_three_boxes"), "section", false);
  const std::string text = GlyphText(pe, 0);
  for (const char* want : {"3000", "4000", "17000", "水位", "基盤面"}) {
    std::string w = want;
    EXPECT_NE(text.find(w), std::string::npos) << Cp932ToUtf8(w);
  }
}

TEST(SampleFigures, LoadStateIntensitiesAreTheFrameTextsLoadItems) {
  for (const char* name : {"box_three_boxes", "stand_two_slabs", "box_groundwater_stored"}) {
    SCOPED_TRACE(name);
    Sample& s = Get(name);
    for (bool longitudinal : {false, true}) {
      if (longitudinal && !s.run.longitudinal_on) continue;
      const FrameModel& frame = longitudinal ? s.ws.longitudinal_frame : s.ws.transverse_frame;
      FrameModel read;
      ASSERT_EQ(
          LoadFrameTextFile(longitudinal ? s.ws.longitudinal_path : s.ws.transverse_path, read),
          "");
      ASSERT_EQ(read.load_cases.Count(), frame.load_cases.Count());
      int drawn = 0;
      for (int c = 1; c <= read.load_cases.Count(); ++c) {
        SCOPED_TRACE(c);
        PrintEngine pe;
        test::StartReport(pe);
        Figure fig = s.Fig(longitudinal);
        pe.SetWindow(20, 20, 160, 50, 0, fig.model->frame_height, fig.model->frame_width, 0);
        const std::size_t before = pe.records().Slot(pe.records().current()).size();
        const int number = read.load_cases.At(c).number;
        const auto labels = DrawLoadState(pe, fig, frame, number);
        // What the text says, item by item: one label when both ends read
        // alike, else both.
        std::vector<std::string> want;
        const FrameLoadCase& lc = read.load_cases.At(c);
        for (int i = 1; i <= lc.items.Count(); ++i) {
          const FrameLoadItem& it = lc.items.At(i);
          if (it.type != 11 && it.type != 13 && it.type != 14) continue;
          const std::string a = Format("%.3f", it.d1), b = Format("%.3f", it.d2);
          want.push_back(a);
          if (a != b) want.push_back(b);
        }
        std::vector<std::string> got;
        std::string spelled;
        for (const FigureLabel& l : labels) got.push_back(l.text), spelled += l.text;
        EXPECT_EQ(got, want);
        // And the page shows exactly those texts.
        EXPECT_EQ(GlyphText(pe, before), spelled);
        drawn += static_cast<int>(got.size());
      }
      EXPECT_GT(drawn, 10);
    }
  }
}

TEST(SampleFigures, MomentDiagramMaximaAreTheAnalysisMaxima) {
  for (const char* name : {"box_three_boxes", "stand_two_slabs", "mini_gate"}) {
    SCOPED_TRACE(name);
    Sample& s = Get(name);
    const AnalysisResults& r = s.run.transverse;
    Figure fig = s.Fig(false);
    int maxima = 0;
    for (int k = 0; k < r.combination_count && k < 3; ++k) {
      const int c = r.max_load_case + 1 + k;
      PrintEngine pe;
      test::StartReport(pe);
      pe.SetWindow(20, 20, 160, 50, 0, fig.model->frame_height, fig.model->frame_width, 0);
      const auto labels = DrawForceDiagram(pe, fig, r, c, kCompM, 0, 1);
      std::map<int, int> per_member;
      for (const FigureLabel& l : labels) {
        const MemberCaseResult& mc = r.At(c, l.member);
        if (l.maximum) {
          ++per_member[l.member];
          EXPECT_EQ(l.value, mc.refined[kCompM]) << l.member;
          EXPECT_EQ(l.text, Format(mc.merged ? "<%.2f>" : "(%.2f)", mc.refined[kCompM]));
          ++maxima;
        } else if (l.point == 1) {
          EXPECT_EQ(l.text, Format("%.2f", mc.points[1][kCompM])) << l.member;
        }
      }
      // Every searched member with a maximum inside it shows it once.
      for (int m = 1; m <= r.member_count; ++m) {
        const MemberCaseResult& mc = r.At(c, m);
        const bool inside =
            mc.max_index != 0 && mc.count >= 1 &&
            mc.refined[kCompX] <
                mc.points[static_cast<std::size_t>(std::min(mc.count, kResultMaxPoints))][kCompX];
        const bool expected = s.state.transverse.Member(m).poi_flag && inside &&
                              s.state.transverse.Member(m).type != 28 && mc.count >= 2 &&
                              s.state.transverse.Member(m).length >= 0.01;
        EXPECT_EQ(per_member[m], expected ? 1 : 0) << m;
      }
    }
    EXPECT_GT(maxima, 0);
  }
}

}  // namespace
}  // namespace vaultra

namespace vaultra {
namespace {

bool HasLine(const std::string& dump, const std::string& line) {
  return dump.find("\n" + line + "\n") != std::string::npos;
}

TEST(SampleFigures, BoxSectionOutlineAndWidthLineWorkedByHand) {
  // Box sample: blocks 3.0 m wide and 2.6 m high, 17.0 m overall. The
  // window x 30..160, y 30..90 mm takes the extents with a margin
  // m = 0.14 * 17 = 2.38 m: world 21.76 m wide (width governs), so
  // s = 130 / 21.76 = 5.97426 mm/m; height 2.6 + 1.6 m = 6.408 m is
  // 38.283 mm, centred: top at 30 + 10.8585 = 40.8585 mm = world 2.6 + 1.428.
  // Block 1: x 30 + 2.38 s = 44.219 .. 44.219 + 3 s = 62.142 mm,
  // y 40.8585 + 1.428 s = 49.390 .. + 2.6 s = 64.923 mm (+5 mm top margin).
  PrintEngine pe = DrawKind(Get("box_three_boxes"), "section", false);
  const std::string dump = DumpPage(pe.records(), pe.records().current());
  EXPECT_TRUE(HasLine(dump, "polyline 5 442 699 621 699 621 543 442 543 442 699"));
  // Overall width: 0.65 m below the base, 0.65 * 2.38 * s = 9.242 mm:
  // shaft from x 44.219 to 44.219 + 17 s = 145.781 at y 74.165 (+5),
  // on the odd pixel grid; heads of 1.2 mm at 15 degrees.
  EXPECT_TRUE(HasLine(dump, "moveto 443 793\nlineto 1459 793"));
  EXPECT_TRUE(HasLine(dump, "moveto 443 793\nlineto 455 795"));
}

TEST(SampleFigures, ForceDiagramOrdinateWorkedByHand) {
  // The moment diagram of the first combination: window x 20..160 mm,
  // y 41.04..65.04 mm (10 + 5.76 + 3 * 5.76 + 8) onto the frame; the top
  // slab's ordinate at a point is -M * (FH / 3) / envelope, downwards.
  Sample& s = Get("box_three_boxes");
  const AnalysisResults& r = s.run.transverse;
  const int c = s.FirstCombination(false);
  const double W = s.state.transverse.frame_width, FH = s.state.transverse.frame_height;
  ASSERT_GT(W / 140, FH / 24);  // width governs
  const double scale = 140 / W, top = 41.04 + (24 - FH * scale) / 2;
  const double k = FH / 3 / r.cases[c].envelope[0];
  // Member 2 is the first top slab (node i at the top, laid left to right).
  const ResultMember& rm = r.members[2];
  ASSERT_NEAR(r.nodes[rm.node_i].y, FH, 1e-9);
  ASSERT_NEAR(r.nodes[rm.node_j].y, FH, 1e-9);
  const auto& pt = r.At(c, 2).points[2];
  const double x = r.nodes[rm.node_i].x + pt[kCompX], y = FH - pt[kCompM] * k;
  const int px = static_cast<int>(std::lround(10 * (20 + x * scale))) | 1;
  const int py = static_cast<int>(std::lround(10 * (top + (FH - y) * scale + 5))) | 1;
  PrintEngine pe = DrawKind(s, "forces", false);
  const std::string dump = DumpPage(pe.records(), pe.records().current());
  EXPECT_TRUE(HasLine(dump, Format("lineto %d %d", px, py))) << px << " " << py;
}

}  // namespace
}  // namespace vaultra
