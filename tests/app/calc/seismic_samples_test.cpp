// The level-2 and uplift rules over the samples, under both seismic
// methods: no capacity-design shear span at a near-zero moment, the
// longitudinal self weight balanced by its own reaction, the
// response-displacement pressure from the unrounded displacement, and the
// uplift factor of the groundwater sample by hand.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>

#include "app/calc/build_models.h"
#include "app/calc/other_checks_run.h"
#include "app/calc/run_analysis.h"
#include "app/document/project_file.h"
#include "app/pages/other_checks_page.h"
#include "app/pages/page_logic_impl.h"
#include "core/ui.h"
#include "model/load_cases.h"

namespace vaultra {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSamples[] = {"box_three_boxes", "box_groundwater_stored", "mini_gate",
                                    "stand_two_slabs"};

struct SampleRun {
  ProjectState state = DefaultProjectState();
  CalcWorkspace ws;
  CalcRun run;
};

// Opens the sample (switched to the seismic-coefficient method when asked),
// builds and analyses it with the internal solver.
void RunSample(const std::string& name, bool seismic_coefficient, SampleRun& out) {
  const fs::path dir = fs::temp_directory_path() / ("vaultra_seismic_" + std::to_string(getpid())) /
                       (name + (seismic_coefficient ? "_sc" : "_rd"));
  fs::create_directories(dir);
  std::ifstream in(std::string(VAULTRA_SOURCE_DIR) + "/samples/" + name + ".vt1", std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  std::string text = ss.str();
  if (seismic_coefficient) {
    for (auto [from, to] : {std::pair{"RbCalcHenni = 1", "RbCalcHenni = 0"},
                            std::pair{"RbCalcSindo = 0", "RbCalcSindo = 1"}}) {
      const std::size_t p = text.find(from);
      ASSERT_NE(p, std::string::npos) << from;
      text.replace(p, std::strlen(from), to);
    }
  }
  const fs::path project = dir / "project.vt1";
  std::ofstream(project, std::ios::binary) << text;
  RecordingUi ui;
  const MasterData md = LoadMasterData(std::string(VAULTRA_SOURCE_DIR) + "/Master/材料/", ui);
  InputPageLogic logic(md);
  ASSERT_TRUE(LoadProjectFile(out.state, project.string(), logic).loaded);
  PrepareOtherChecks(out.state);
  CommitOtherChecksInputs(out.state);
  ASSERT_EQ(BuildModels(out.state, md, (dir / "work").string(), out.ws), "");
  RunAnalysisOptions opt;
  RunAnalysis(out.state, md, out.ws, opt, out.run);
  ASSERT_TRUE(out.run.members_checked);
}

TEST(SeismicSamples, CapacityDesignNeverTakesItsShearSpanAtANearZeroMoment) {
  int checked_rows = 0;
  for (const char* name : kSamples)
    for (const bool sc : {false, true}) {
      SCOPED_TRACE(std::string(name) + (sc ? " seismic coefficient" : " response displacement"));
      SampleRun s;
      RunSample(name, sc, s);
      // A project file without the choice keeps the constant-eccentricity rule.
      EXPECT_EQ(s.state.records.materials.flexure_rule, 0);
      const MemberCheckTables& t = s.run.checks;
      for (int m = 1; m <= t.member_count; ++m) {
        const MemberCheckTable& tb = t.At(kKindLevel2, m);
        const int last = LastCheckedRow(tb);
        double largest = 0;
        for (int p = 1; p <= last; ++p) largest = std::max(largest, std::fabs(tb.Row(p).M));
        for (int p = 1; p <= last; ++p) {
          const CheckPointRecord& r = tb.Row(p);
          if (!r.capacity_design_done) continue;
          ++checked_rows;
          EXPECT_GE(std::fabs(r.cd_M), 0.1 * largest - 0.01) << "member " << m << " row " << p;
          // The printed shear span and Vmu belong together: Vmu = Mrd′·|S|/|Mg|.
          EXPECT_NEAR(r.shear_span, std::fabs(r.cd_M) / std::max(std::fabs(r.S), 0.001), 1e-9);
          EXPECT_NEAR(r.Vmu * r.shear_span, r.Mrd_over, 1e-6 * std::max(1.0, r.Mrd_over));
        }
      }
    }
  // The seismic-coefficient runs with Cs = 0.45 check some rows.
  EXPECT_GT(checked_rows, 0);
}

TEST(SeismicSamples, LongitudinalSelfWeightIsCarriedByItsOwnReaction) {
  for (const char* name : kSamples) {
    SCOPED_TRACE(name);
    SampleRun s;
    RunSample(name, false, s);
    if (!s.state.records.model.longitudinal_check) continue;
    const FrameLoadCase& c1 = s.ws.longitudinal_frame.load_cases.At(1);
    // Hand sum of the self-weight items: q·L for every loaded member but the
    // bottom reaction (the last item).
    double weight = 0;
    for (int i = 1; i < c1.items.Count(); ++i) {
      const FrameLoadItem& it = c1.items.At(i);
      weight += it.d1 * s.state.longitudinal.Member(it.first_member).length;
    }
    EXPECT_LT(weight, 0);
    EXPECT_NEAR(c1.own_weight, weight, 1e-9 * std::fabs(weight));
    EXPECT_NEAR(c1.own_weight + c1.balancing_reaction, 0, 1e-6);
    EXPECT_NEAR(VerticalResultant(c1, s.state.longitudinal), 0, 1e-6);
    // The point supports of the solved case carry none of it (to the 1e-5
    // of the solver's 0.01 m load strips; the transverse reaction intensity
    // left them 7 to 23 % of the weight).
    double supports = 0;
    for (const SupportReaction& r : s.run.longitudinal.cases[1].reactions) supports += r.values[1];
    EXPECT_NEAR(supports, 0, 5e-5 * std::fabs(weight));
  }
}

TEST(SeismicSamples, ResponseDisplacementPressureFromTheUnroundedDisplacement) {
  SampleRun s;
  RunSample("stand_two_slabs", false, s);
  const GroundQuantities& g = s.ws.ground;
  const StructureModel& tm = s.state.transverse;
  for (int lv = 1; lv <= 2; ++lv) {
    const auto l = static_cast<std::size_t>(lv);
    // u(z) = 2/π²·Sv·Ts·cos(πz/2H); p = Kh·(u(z) − u(zb)) at the top row z = zt.
    const double f = 2 / (std::numbers::pi * std::numbers::pi) * g.sv[l] * g.ts[l];
    const double H = g.H;
    const double du = f * (std::cos(std::numbers::pi * tm.depth_of_top_axis / (2 * H)) -
                           std::cos(std::numbers::pi * tm.depth_of_bottom_axis / (2 * H)));
    const ResponseRow& top = s.ws.seismic.response[1];
    EXPECT_NEAR(top.p[l], top.kh[l] * du, 1e-9 * std::fabs(top.kh[l] * du));
  }
}

TEST(SeismicSamples, UpliftOfTheGroundwaterSampleByHand) {
  SampleRun s;
  RunSample("box_groundwater_stored", false, s);
  const UpliftResult& u = s.run.uplift;
  ASSERT_TRUE(u.checked);
  // Three boxes of inner width 2.5 m with 0.3 m walls at x = 1.4 … 15.6 m:
  // B = 15.6 − 1.4 + 2.5 + 2·0.3 = 17.3 m; inner height 2.5 m with 0.35 m
  // slabs: 3.2 m from the top at D = 1.5 m to the base at 4.7 m. Groundwater
  // GL−1.5 m (at the top), γt = 18, γ′ = 10, γw = 9.8.
  //   Ws = 17.3·18·1.5 = 467.1 kN/m;  U = 9.8·17.3·3.2 = 542.528 kN/m
  //   Fs = (Wc + 467.1)/542.528 with Wc the concrete weight of the section.
  EXPECT_NEAR(u.input.width, 17.3, 1e-9);
  EXPECT_NEAR(u.input.top_depth, 1.5, 1e-9);
  EXPECT_NEAR(u.input.bottom_depth, 4.7, 1e-9);
  EXPECT_NEAR(u.soil_weight, 467.1, 1e-6);
  EXPECT_NEAR(u.buoyancy, 542.528, 1e-6);
  const double Wc = s.ws.pressure.weights.total;
  EXPECT_NEAR(u.fs, (Wc + 467.1) / 542.528, 1e-9);
  EXPECT_TRUE(u.ok);
  EXPECT_NE(OtherChecksLabelsOf(s.run).uplift.find("Fs"), std::string::npos);
  // The sample without groundwater above its base is not checked.
  SampleRun dry;
  RunSample("box_three_boxes", false, dry);
  EXPECT_FALSE(dry.run.uplift.checked);
  EXPECT_TRUE(dry.run.uplift.ok);
}

}  // namespace
}  // namespace vaultra
