// The report of a real run: the printed values read back from the page
// records equal the records the calculation used, the silent pass of the
// run lists the preview's headings, and the report command exits as calc.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>

#include "app/calc/build_models.h"
#include "app/pages/other_checks_page.h"
#include "app/pages/page_logic_impl.h"
#include "app/document/project_file.h"
#include "app/calc/run_analysis.h"
#include "core/number.h"
#include "core/ui.h"
#include "report/build_report.h"
#include "report/report_template.h"
#include "report/report_test_util.h"
#include "sample_run.h"

namespace vaultra {
namespace {

namespace fs = std::filesystem;

TEST(ReportRun, PrintedValuesAreTheCalculationRecords) {
  SampleRun s("stand_two_slabs.vt1");
  ASSERT_TRUE(s.loaded);
  ASSERT_TRUE(s.built);
  PrintEngine pe;
  ReportBuild b;
  BuildReportPages(pe, ReportSourcesOf(s.state, s.ws, s.run, s.md), s.opt, b);
  // The sample has failing members: the first of them is the error text.
  EXPECT_NE(b.first_error.find("-ＲＣ応力エラー"), std::string::npos);
  const GroundQuantities& g = s.ws.ground;
  const GroundLayer& layer2 = s.state.records.ground.layers.at(1);
  const MaterialColumn& block = s.state.records.materials.Column(1);
  const ModelRecord& m = s.state.records.model;
  // Each value as its table prints it, found on the row of its label.
  struct Probe {
    const char* what;
    std::initializer_list<std::string> row;
  };
  const std::string tg = Format("%.3f", g.tg);
  const char* const kClassNames[] = {"地盤種別：Ⅰ種地盤", "地盤種別：Ⅱ種地盤", "地盤種別：Ⅲ種地盤"};
  ASSERT_GE(g.ground_class, 1);
  ASSERT_LE(g.ground_class, 3);
  const Probe probes[] = {
      {"TG", {"＝ ４ ×", "＝ " + tg + " [s]"}},
      {"ground class", {tg + " [s] より", kClassNames[g.ground_class - 1]}},
      {"N of layer 2", {"2 砂質土", Format("%.3f", layer2.bottom), Format("%.1f", layer2.n_value)}},
      {"Kh of level 1 and 2",
       {"水平方向", Format("%.2f", g.springs[0].kh[1]), Format("%.2f", g.springs[0].kh[2])}},
      {"allowable compressive stress", {"常時", "許容曲げ圧縮応力度", Format("%.2f", block.n_sca)}},
      {"cover depth", {"土被り", Format("%.3f", m.cover_depth)}},
      {"Ts", {"固有周期", Format("%.3f", g.ts[1]), Format("%.3f", g.ts[2])}},
      {"kh1 and KE1", {"ｋh1", Format("%.3f", g.kh1)}},
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(p.what);
    EXPECT_GE(test::RowsWith(pe, p.row).size(), 1u);
  }
}

TEST(ReportRun, SilentPassOfTheRunListsThePreviewHeadings) {
  SampleRun s("mini_gate.vt1");
  ASSERT_TRUE(s.loaded);
  ASSERT_TRUE(s.run.report_prepared);
  PrintEngine pe;
  ReportBuild b;
  const int pages = BuildReportPages(pe, ReportSourcesOf(s.state, s.ws, s.run, s.md), s.opt, b);
  EXPECT_EQ(pages, s.silent_build.body_pages);
  ASSERT_EQ(pe.text.contents.size(), s.silent.text.contents.size());
  for (std::size_t i = 0; i < pe.text.contents.size(); ++i) {
    EXPECT_EQ(pe.text.contents[i].text, s.silent.text.contents[i].text);
    EXPECT_EQ(pe.text.contents[i].page, s.silent.text.contents[i].page);
  }
  // A mini-gate facility is reported as a box facility.
  EXPECT_TRUE(IsLetterSet(pe, 'B'));
  EXPECT_FALSE(IsLetterSet(pe, 'S'));
}

int RunVaultra(const std::string& args) {
  const int rc = std::system((std::string(VAULTRA_EXE) + " " + args + " >/dev/null 2>&1").c_str());
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

TEST(ReportRun, ReportCommandExitsAsCalcAndWritesThePdf) {
  const fs::path dir =
      fs::temp_directory_path() / ("vaultra_report_cmd_" + std::to_string(getpid()));
  fs::create_directories(dir);
  for (const char* sample : {"stand_two_slabs", "box_three_boxes"}) {
    SCOPED_TRACE(sample);
    const std::string project = std::string(VAULTRA_SOURCE_DIR) + "/samples/" + sample + ".vt1";
    const std::string work = " --work-dir '" + (dir / "work").string() + "'";
    const fs::path pdf = dir / (std::string(sample) + ".pdf");
    const fs::path pdf2 = dir / (std::string(sample) + "_calc.pdf");
    const int calc = RunVaultra("calc '" + project + "'" + work);
    EXPECT_EQ(RunVaultra("report '" + project + "' -o '" + pdf.string() + "' --formulas" + work),
              calc);
    EXPECT_EQ(RunVaultra("calc '" + project + "' --report '" + pdf2.string() + "'" + work), calc);
    EXPECT_GT(fs::file_size(pdf), 10000u);
    EXPECT_GT(fs::file_size(pdf2), 10000u);
  }
  // A report that cannot be written is a failure, whatever the checks say.
  const std::string project = std::string(VAULTRA_SOURCE_DIR) + "/samples/stand_two_slabs.vt1";
  EXPECT_EQ(RunVaultra("report '" + project + "' -o '" + (dir / "no/such/dir/x.pdf").string() +
                       "' --work-dir '" + (dir / "work").string() + "'"),
            2);
  EXPECT_EQ(RunVaultra("report '" + project + "'"), 2);  // no -o
  fs::remove_all(dir);
}

}  // namespace
}  // namespace vaultra
