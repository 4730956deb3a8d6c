// Every verdict the report prints equals the one `vaultra calc --json`
// writes for the same project, for every sample under both seismic methods;
// the failure marks of the silent pass are the check tables' failures; the
// silent pass lists the preview build's headings.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <utility>

#include "app/calc/build_models.h"
#include "app/calc/run_analysis.h"
#include "app/document/project_file.h"
#include "app/pages/loads_page.h"
#include "app/pages/other_checks_page.h"
#include "app/pages/page_logic_impl.h"
#include "core/ui.h"
#include "report/build_report.h"
#include "report/report_test_util.h"

namespace vaultra {
namespace {

namespace fs = std::filesystem;

// What `vaultra calc --json` says (read with patterns over its UTF-8 text).
struct JsonVerdicts {
  std::map<std::pair<int, int>, bool> members;      // (member, combination) -> O.K.
  std::string transverse, longitudinal, end_walls;  // "O.K.", "N.G.", "not checked"
};

JsonVerdicts ReadJson(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream ss;
  ss << in.rdbuf();
  const std::string text = ss.str();
  JsonVerdicts v;
  const std::regex member(
      R"re(\{"member": (\d+),[^\n]*"combination": (\d),[^\n]*"verdict": "(O\.K\.|N\.G\.)"\})re");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), member);
       it != std::sregex_iterator(); ++it)
    v.members[{std::stoi((*it)[1]), std::stoi((*it)[2])}] = (*it)[3] == "O.K.";
  auto verdict = [&](const char* key) {
    std::smatch m;
    const std::regex re(std::string("\"") + key +
                        R"re(": \{"checked": \w+, "verdict": "([^"]+)")re");
    return std::regex_search(text, m, re) ? m[1].str() : std::string("missing");
  };
  v.transverse = verdict("transverse");
  v.longitudinal = verdict("longitudinal");
  v.end_walls = verdict("end_walls");
  return v;
}

// What the report prints: the rows of the body pages without blanks.
struct PrintedVerdicts {
  std::map<std::pair<int, int>, bool> members;
  std::vector<bool> transverse, longitudinal, end_walls;  // one per verdict line
};

// The verdict after "判定：" in a row: 1 O.K., 0 N.G., -1 none.
int VerdictAfter(const std::string& row, std::size_t from) {
  const std::string mark = "判定：";
  const std::size_t at = row.find(mark, from);
  if (at == std::string::npos) return -1;
  const std::string rest = row.substr(at + mark.size(), 4);
  return rest == "O.K." ? 1 : rest == "N.G." ? 0 : -1;
}

PrintedVerdicts ReadReport(const PrintEngine& pe) {
  PrintedVerdicts p;
  const char* const kStates[3] = {"常時", "Ｌ１", "Ｌ２"};
  for (int slot = kFirstBodySlot + 1; slot <= pe.records().highest(); ++slot)
    for (std::string row : test::PageTextRows(pe, slot)) {
      std::erase(row, ' ');
      const auto starts = [&](const std::string& s) { return row.compare(0, s.size(), s) == 0; };
      if (starts("部材No.")) {
        char* end = nullptr;
        const long m = std::strtol(row.c_str() + 7, &end, 10);
        const std::string tail(end);
        for (int k = 0; k < 3; ++k)
          if (tail.compare(0, std::string(kStates[k]).size() + 6,
                           std::string(kStates[k]) + "判定：") == 0) {
            const int v = VerdictAfter(tail, 0);
            EXPECT_GE(v, 0) << row;
            EXPECT_EQ(p.members.count({static_cast<int>(m), k}), 0u) << "printed twice: " << row;
            p.members[{static_cast<int>(m), k}] = v == 1;
          }
      }
      if (starts("横方向接合部判定：")) p.transverse.push_back(VerdictAfter(row, 0) == 1);
      for (const char* key :
           {"Ｌ１耐力判定：", "Ｌ２耐力判定：", "Ｌ１防水判定：", "Ｌ２防水判定："})
        if (starts(key)) p.longitudinal.push_back(VerdictAfter(row, 0) == 1);
      if (starts("端壁判定：")) p.end_walls.push_back(VerdictAfter(row, 0) == 1);
    }
  return p;
}

int RunVaultra(const std::string& args) {
  const int rc = std::system((std::string(VAULTRA_EXE) + " " + args + " >/dev/null 2>&1").c_str());
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

// One printed verdict group against the JSON verdict of the same check.
void ExpectSame(const std::vector<bool>& printed, const std::string& json, const char* what) {
  SCOPED_TRACE(what);
  if (json == "not checked") {
    EXPECT_TRUE(printed.empty());
    return;
  }
  ASSERT_FALSE(printed.empty());
  bool all_ok = true;
  for (bool ok : printed) all_ok = all_ok && ok;
  EXPECT_EQ(all_ok ? "O.K." : "N.G.", json);
}

TEST(ReportVerdicts, EveryPrintedVerdictEqualsTheJsonOfCalc) {
  const fs::path dir = fs::temp_directory_path() / ("vaultra_verdicts_" + std::to_string(getpid()));
  fs::create_directories(dir);
  RecordingUi ui;
  const MasterData md = LoadMasterData(std::string(VAULTRA_SOURCE_DIR) + "/Master/材料/", ui);
  int projects = 0, failing_members = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(VAULTRA_SOURCE_DIR) / "samples")) {
    if (entry.path().extension() != ".vt1") continue;
    for (const bool coefficient : {false, true}) {
      const std::string name =
          entry.path().stem().string() + (coefficient ? "_coefficient" : "_displacement");
      SCOPED_TRACE(name);
      // The sample under this method, saved as a project of its own.
      const fs::path project = dir / (name + ".vt1");
      {
        ProjectState state = DefaultProjectState();
        InputPageLogic logic(md);
        ASSERT_TRUE(LoadProjectFile(state, entry.path().string(), logic).loaded);
        state.loads.At("RbCalcHenni").checked = !coefficient;
        state.loads.At("RbCalcSindo").checked = coefficient;
        MethodChanged(state.loads);
        ASSERT_TRUE(SaveProjectFile(state, project.string(), logic));
      }
      const fs::path json = dir / (name + ".json");
      RunVaultra("calc '" + project.string() + "' --json '" + json.string() + "' --work-dir '" +
                 (dir / "w1").string() + "'");
      ASSERT_TRUE(fs::exists(json));
      const JsonVerdicts want = ReadJson(json);

      // The same project through the calculation run and the report.
      ProjectState state = DefaultProjectState();
      InputPageLogic logic(md);
      ASSERT_TRUE(LoadProjectFile(state, project.string(), logic).loaded);
      ASSERT_EQ(state.records.loads.method == kMethodSeismicCoefficient ||
                    state.loads.Checked("RbCalcSindo"),
                coefficient);
      PrepareOtherChecks(state);
      CommitOtherChecksInputs(state);
      CalcWorkspace ws;
      ASSERT_EQ(BuildModels(state, md, (dir / "w2").string(), ws), "");
      ReportOptions opt;
      opt.print_master_dir = std::string(VAULTRA_SOURCE_DIR) + "/Master/印刷/";
      PrintEngine silent;
      ReportBuild silent_build;
      RunAnalysisOptions ro;
      ro.report_pass = [&](CalcRun& r) {
        RunSilentReportPass(silent, ReportSourcesOf(state, ws, r, md), opt, silent_build);
      };
      CalcRun run;
      RunAnalysis(state, md, ws, ro, run);
      PrintEngine pe;
      ReportBuild b;
      BuildReportPages(pe, ReportSourcesOf(state, ws, run, md), opt, b);

      const PrintedVerdicts got = ReadReport(pe);
      ASSERT_FALSE(want.members.empty());
      EXPECT_EQ(got.members, want.members);
      ExpectSame(got.transverse, want.transverse, "transverse joint");
      ExpectSame(got.longitudinal, want.longitudinal, "longitudinal joint");
      ExpectSame(got.end_walls, want.end_walls, "end walls");

      // The marks are the check tables' failures, in any combination.
      std::vector<std::uint8_t> marks(silent_build.failure_marks.size(), 0);
      for (int k = 0; k < kCheckCombinations; ++k)
        for (int m = 1; m <= run.checks.member_count; ++m) {
          const MemberCheckTable& tb = run.checks.At(k, m);
          for (int p = 1; p <= LastCheckedRow(tb); ++p)
            if (RowFailed(tb.Row(p)))
              marks[static_cast<std::size_t>((m - 1) * kMarkPoints + p - 1)] = 1;
        }
      EXPECT_EQ(silent_build.failure_marks, marks);
      EXPECT_EQ(b.failure_marks, marks);

      // A failing member is reported first when the transverse checks fail.
      bool member_ng = false;
      for (const auto& [key, ok] : want.members) member_ng = member_ng || !ok;
      failing_members += member_ng;
      if (member_ng) {
        EXPECT_NE(silent_build.first_error.find("-ＲＣ応力エラー"), std::string::npos);
      }
      EXPECT_EQ(silent_build.first_error, b.first_error);
      EXPECT_EQ(silent_build.summary, b.summary);

      // The silent pass lists the preview build's headings on the same pages.
      ASSERT_EQ(silent.text.contents.size(), pe.text.contents.size());
      for (std::size_t i = 0; i < pe.text.contents.size(); ++i) {
        EXPECT_EQ(silent.text.contents[i].text, pe.text.contents[i].text);
        EXPECT_EQ(silent.text.contents[i].page, pe.text.contents[i].page);
      }
      EXPECT_EQ(silent_build.body_pages, b.body_pages);
      ++projects;
    }
  }
  EXPECT_EQ(projects, 8);
  EXPECT_GE(failing_members, 2);  // the samples with N.G. members are among them
  fs::remove_all(dir);
}

}  // namespace
}  // namespace vaultra
