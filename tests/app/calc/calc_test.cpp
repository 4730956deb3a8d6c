// The calc command over the samples (exit status, table, JSON, solver
// agreement), its refusals, and the run's envelopes and verdict rules.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>

#include "app/calc/run_analysis.h"
#include "core/cp932.h"

namespace vaultra {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::string out;
};

std::string Slurp(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

fs::path TempDir(const std::string& name) {
  fs::path d = fs::temp_directory_path() / ("vaultra_calc_test_" + std::to_string(getpid())) / name;
  fs::create_directories(d);
  return d;
}

Outcome RunCalc(const std::string& args, const std::string& tag) {
  const fs::path dir = TempDir(tag);
  const fs::path out = dir / "stdout.txt";
  const std::string cmd = std::string(VAULTRA_EXE) + " calc " + args + " --work-dir '" +
                          (dir / "work").string() + "' >'" + out.string() + "' 2>/dev/null";
  const int rc = std::system(cmd.c_str());
  Outcome o;
  o.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  o.out = Slurp(out);
  return o;
}

// member/combination -> verdict, from the table lines "  m  name (t)  comb  ratio  V".
std::map<std::string, std::string> Verdicts(const std::string& table) {
  std::map<std::string, std::string> v;
  std::istringstream in(table);
  std::string line;
  int index = 0;
  while (std::getline(in, line)) {
    const bool ok = line.size() > 4 && line.compare(line.size() - 4, 4, "O.K.") == 0;
    const bool ng = line.size() > 4 && line.compare(line.size() - 4, 4, "N.G.") == 0;
    if (!ok && !ng) continue;
    int member = 0;
    if (std::sscanf(line.c_str(), "%d", &member) != 1) continue;  // joint lines
    v[std::to_string(member) + "/" + std::to_string(index++ % 3)] = ok ? "O.K." : "N.G.";
  }
  return v;
}

int MemberCountOf(const std::string& table) {
  int last = 0, m = 0;
  std::istringstream in(table);
  std::string line;
  while (std::getline(in, line))
    if (std::sscanf(line.c_str(), "%d", &m) == 1) last = std::max(last, m);
  return last;
}

std::string U(const char* cp932) {
  return Cp932ToUtf8(cp932);
}

// The "端壁:" line of the output.
std::string EndWallLine(const std::string& out) {
  std::istringstream in(out);
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(U("端壁:"), 0) == 0) return line;
  return {};
}

const char* const kSamples[] = {"box_groundwater_stored", "box_three_boxes", "mini_gate",
                                "stand_two_slabs"};

TEST(CalcCommand, SamplesGiveVerdictsWithEitherSolver) {
  const std::string layout = std::string(VAULTRA_BINARY_DIR) + "/frame_sdk/";
  for (const char* name : kSamples) {
    SCOPED_TRACE(name);
    const std::string project = std::string(VAULTRA_SOURCE_DIR) + "/samples/" + name + ".vt1";
    const fs::path json = TempDir(std::string(name) + "_json") / "out.json";
    const Outcome internal =
        RunCalc("'" + project + "' --internal --json '" + json.string() + "'", name);
    ASSERT_TRUE(internal.status == 0 || internal.status == 1) << internal.status;
    const Outcome library = RunCalc("'" + project + "' --sdk-dir '" + layout +
                                        "PlaneFrameSDK' --frame-dir '" + layout + "PlaneFrame'",
                                    std::string(name) + "_lib");
    ASSERT_EQ(library.status, internal.status);
    EXPECT_NE(internal.out.find("solver: internal"), std::string::npos);
    EXPECT_NE(library.out.find("solver: frame library"), std::string::npos);

    // Every member appears under each of the three combinations.
    const auto vi = Verdicts(internal.out);
    const int members = MemberCountOf(internal.out);
    ASSERT_GT(members, 3);
    EXPECT_EQ(static_cast<int>(vi.size()), 3 * members);
    for (int m = 1; m <= members; ++m)
      for (int k = 0; k < 3; ++k)
        EXPECT_TRUE(vi.count(std::to_string(m) + "/" + std::to_string(k))) << m << "/" << k;
    EXPECT_EQ(Verdicts(library.out), vi);
    // Status 1 exactly when something is N.G.
    EXPECT_EQ(internal.status == 1, internal.out.find("N.G.") != std::string::npos);

    // The JSON names every member row and the joint checks, balanced.
    const std::string j = Slurp(json);
    ASSERT_FALSE(j.empty());
    int depth = 0, min_depth = 0;
    for (char c : j) {
      if (c == '{' || c == '[') ++depth;
      if (c == '}' || c == ']') min_depth = std::min(min_depth, --depth);
    }
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(min_depth, 0);
    std::size_t rows = 0;
    for (std::size_t p = j.find("\"member\":"); p != std::string::npos;
         p = j.find("\"member\":", p + 1))
      ++rows;
    EXPECT_EQ(static_cast<int>(rows), 3 * members);
    for (const char* key : {"\"failures\": []", "\"joints\"", "\"transverse\"", "\"longitudinal\"",
                            "\"end_walls\": {\"checked\": true", "\"exit_status\": "})
      EXPECT_NE(j.find(key), std::string::npos) << key;
    EXPECT_NE(j.find("\"exit_status\": " + std::to_string(internal.status)), std::string::npos);

    // With the longitudinal check on, every sample gets an end-wall verdict,
    // and its page text agrees with it; both solvers give the same one.
    const std::string wall = EndWallLine(internal.out);
    ASSERT_TRUE(wall == U("端壁:") + " O.K." || wall == U("端壁:") + " N.G.") << wall;
    EXPECT_EQ(EndWallLine(library.out), wall);
    const bool label_ok = internal.out.find(U("応力照査：ＯＫ")) != std::string::npos;
    const bool label_ng = internal.out.find(U("内空幅B")) != std::string::npos;
    EXPECT_EQ(label_ok, wall.find("O.K.") != std::string::npos);
    EXPECT_EQ(label_ng, !label_ok);
    // Per wall: three combinations, each with rows; the simple beam has two.
    const std::size_t walls = j.find("\"walls\": [");
    ASSERT_NE(walls, std::string::npos);
    EXPECT_NE(j.find("\"combination_name\": \"L2\", \"p_top\": ", walls), std::string::npos);
    EXPECT_NE(j.find("\"ratio_flexure\": ", walls), std::string::npos);
    // The four joint labels of the page.
    for (const char* label : {"Lv1.圧縮", "Lv1.引張", "Lv2.圧縮", "Lv2.引張"})
      EXPECT_NE(internal.out.find(U(label)), std::string::npos) << label;
  }
}

// The seismic-coefficient method on every sample: both solvers give the same
// verdicts, and the level-1/level-2 rows really come from the other method.
TEST(CalcCommand, SeismicCoefficientMethodGivesTheSameVerdictsWithEitherSolver) {
  const std::string layout = std::string(VAULTRA_BINARY_DIR) + "/frame_sdk/";
  for (const char* name : kSamples) {
    SCOPED_TRACE(name);
    const std::string tag = std::string(name) + "_sindo";
    const fs::path dir = TempDir(tag);
    const std::string original =
        Slurp(std::string(VAULTRA_SOURCE_DIR) + "/samples/" + name + ".vt1");
    std::string text = original;
    for (auto [from, to] : {std::pair{"RbCalcHenni = 1", "RbCalcHenni = 0"},
                            std::pair{"RbCalcSindo = 0", "RbCalcSindo = 1"}}) {
      const std::size_t p = text.find(from);
      ASSERT_NE(p, std::string::npos) << from;
      text.replace(p, std::strlen(from), to);
    }
    const fs::path project = dir / "sindo.vt1";
    std::ofstream(project, std::ios::binary) << text;
    const Outcome internal = RunCalc("'" + project.string() + "' --internal", tag);
    ASSERT_TRUE(internal.status == 0 || internal.status == 1) << internal.status;
    const Outcome library = RunCalc("'" + project.string() + "' --sdk-dir '" + layout +
                                        "PlaneFrameSDK' --frame-dir '" + layout + "PlaneFrame'",
                                    tag + "_lib");
    EXPECT_EQ(library.status, internal.status);
    EXPECT_EQ(Verdicts(library.out), Verdicts(internal.out));
    EXPECT_EQ(EndWallLine(library.out), EndWallLine(internal.out));
    // The method changes the seismic tables: the table is not the one of the
    // response-displacement run.
    const std::string sample = std::string(VAULTRA_SOURCE_DIR) + "/samples/" + name + ".vt1";
    const Outcome displacement = RunCalc("'" + sample + "' --internal", tag + "_henni");
    EXPECT_NE(internal.out, displacement.out);
  }
}

TEST(CalcCommand, EndWallsWithoutTheLongitudinalCheckAreNotChecked) {
  const fs::path dir = TempDir("tate_off");
  std::string text = Slurp(std::string(VAULTRA_SOURCE_DIR) + "/samples/stand_two_slabs.vt1");
  const std::size_t p = text.find("CbTate = 1");
  ASSERT_NE(p, std::string::npos);
  text.replace(p, 10, "CbTate = 0");
  const fs::path project = dir / "off.vt1";
  std::ofstream(project, std::ios::binary) << text;
  const fs::path json = dir / "off.json";
  const Outcome o =
      RunCalc("'" + project.string() + "' --json '" + json.string() + "'", "tate_off");
  ASSERT_TRUE(o.status == 0 || o.status == 1) << o.status;
  const std::string wall = EndWallLine(o.out);
  EXPECT_EQ(wall.rfind(U("端壁: 未照査"), 0), 0u) << wall;
  EXPECT_EQ(o.out.find(U("応力照査：ＯＫ")), std::string::npos);
  const std::string j = Slurp(json);
  EXPECT_NE(j.find("\"end_walls\": {\"checked\": false, \"verdict\": \"not checked\""),
            std::string::npos);
}

TEST(CalcCommand, BadInputGivesStatusTwo) {
  const fs::path dir = TempDir("bad");
  const fs::path broken = dir / "broken.vt1";
  std::ofstream(broken) << "this is not a project\r\n[[[\r\n";
  const std::string sample = std::string(VAULTRA_SOURCE_DIR) + "/samples/mini_gate.vt1";
  const struct {
    std::string args;
    const char* what;
  } cases[] = {
      {"'" + (dir / "missing.vt1").string() + "'", "missing project"},
      {"'" + broken.string() + "'", "broken project"},
      {"", "no project"},
      {"'" + sample + "' --report '" + (dir / "no/such/folder/out.pdf").string() + "'",
       "report not writable"},
      {"'" + sample + "' --sdk-dir /tmp", "--sdk-dir without --frame-dir"},
      {"'" + sample + "' --no-such-option", "unknown option"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(RunCalc(c.args, "bad_run").status, 2);
  }
}

TEST(RunAnalysis, EnvelopeTakesLargestMagnitudePerCase) {
  AnalysisResults r;
  ASSERT_TRUE(r.Allocate(4, 3));
  r.max_load_case = 2;
  r.combination_count = 1;
  // Case 1: member 1 two points, member 2 none, member 3 one point.
  r.At(1, 1).count = 2;
  r.At(1, 1).points[1] = {0, 5, -7, 1, 0.2};
  r.At(1, 1).points[2] = {1, -9, 3, -4, -0.1};
  r.At(1, 3).count = 1;
  r.At(1, 3).points[1] = {0, 2, 1, 6, 0.05};
  // A point beyond the count does not count.
  r.At(1, 2).points[1] = {0, 100, 100, 100, 100};
  // Case 3 (the combination) only.
  r.At(3, 2).count = 1;
  r.At(3, 2).points[1] = {0, -1.5, 0, 0, 0};
  ComputeEnvelopes(r);
  const std::array<double, 4> e1{9, 7, 6, 0.2}, e2{0, 0, 0, 0}, e3{1.5, 0, 0, 0};
  EXPECT_EQ(r.cases[1].envelope, e1);
  EXPECT_EQ(r.cases[2].envelope, e2);
  EXPECT_EQ(r.cases[3].envelope, e3);
}

TEST(RunAnalysis, VerdictsFollowRowsAndFailedAnalysis) {
  StructureModel model;
  model.members.resize(3);
  model.member_count = 2;
  model.Member(1).type = 1;
  model.Member(2).type = 19;
  CalcRun run;
  run.transverse_ok = true;
  run.members_checked = true;
  run.checks.Reset(2);
  for (int k = 0; k < 3; ++k)
    for (int m = 1; m <= 2; ++m) {
      MemberCheckTable& tb = run.checks.At(k, m);
      tb.count = 3;  // rows 1..3 and the refined maximum at 4
      for (int p = 1; p <= 4; ++p) tb.Row(p).ratio = tb.Row(p).ratio_flexure = 0.1 * p;
    }
  // Member 2, normal case: the refined maximum row is governed by shear.
  run.checks.At(0, 2).Row(4).ratio_shear = 0.45;
  run.checks.At(0, 2).Row(4).ratio = 0.45;
  // Member 2, level 1: the refined maximum row fails on concrete stress only.
  run.checks.At(1, 2).Row(4).ng_sigma_c = true;
  // Member 1, level 2: the capacity-design ratio governs.
  run.checks.At(2, 1).Row(2).ratio_vmu = 0.9;
  const auto v = MemberVerdicts(run, model);
  ASSERT_EQ(v.size(), 6u);
  EXPECT_TRUE(v[0].ok);
  EXPECT_EQ(v[0].row, 4);
  EXPECT_DOUBLE_EQ(v[0].ratio, 0.4);
  EXPECT_EQ(v[0].governs, MemberVerdict::Governs::kFlexure);
  EXPECT_EQ(v[2].row, 2);
  EXPECT_DOUBLE_EQ(v[2].ratio, 0.9);
  EXPECT_EQ(v[2].governs, MemberVerdict::Governs::kCapacityDesign);
  EXPECT_DOUBLE_EQ(v[3].ratio, 0.45);
  EXPECT_EQ(v[3].governs, MemberVerdict::Governs::kShear);
  EXPECT_FALSE(v[4].ok);  // member 2, combination 1
  EXPECT_TRUE(v[3].ok);

  run.transverse_ok = false;  // a failed direction has no O.K.
  for (const MemberVerdict& x : MemberVerdicts(run, model)) EXPECT_FALSE(x.ok);
}

}  // namespace
}  // namespace vaultra
