// No two texts of a report print over each other: over every page of every
// sample's report, both seismic methods, with and without the basis of the
// formulas, no glyph's box overlaps another's (figure pages included).
// Left out for now: the force-diagram pages of the box facilities, whose
// three 24 mm diagrams a page carry more values than the room around them
// holds (the label placer puts them where they overlap least).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/cp932.h"
#include "core/number.h"
#include "inputs/input_records.h"
#include "report/build_report.h"
#include "report/report_test_util.h"
#include "report/report_text.h"
#include "sample_run.h"

namespace vaultra {
namespace {

TEST(ReportOverprint, NoTwoTextsOverlapOnAnyPage) {
  const char* const samples[] = {"stand_two_slabs.vt1", "box_three_boxes.vt1",
                                 "box_groundwater_stored.vt1", "mini_gate.vt1"};
  int pages = 0;
  for (const char* sample : samples)
    for (int method : {kMethodResponseDisplacement, kMethodSeismicCoefficient}) {
      SampleRun s(sample, true, [&](ProjectState& st) {
        if (method == kMethodSeismicCoefficient) st.loads.CheckRadio("RbCalcSindo");
      });
      ASSERT_TRUE(s.built) << sample;
      ASSERT_EQ(s.state.records.loads.method, method);
      for (bool formulas : {false, true}) {
        SCOPED_TRACE(Format("%s method %d formulas %d", sample, method, formulas));
        s.opt.formulas = formulas;
        // With the "SAMPLE" stamp of the internal solver on every body page,
        // as a run without the outside library prints: the labels must not
        // take the stamp for text to keep clear of.
        s.opt.internal_solver = true;
        PrintEngine pe;
        ReportBuild b;
        BuildReportPages(pe, ReportSourcesOf(s.state, s.ws, s.run, s.md), s.opt, b);
        // The body pages of the force diagrams: from the "断面力" and the
        // "縦方向・解析結果" headings to the next section.
        std::vector<std::uint8_t> diagrams(static_cast<std::size_t>(b.body_pages) + 2, 0);
        if (s.state.records.model.facility_type != 0) {
          int from = -1;
          for (const ContentsEntry& e : SortedContents(pe)) {
            const int level = ContentsLevel(e.text);
            if (from > 0 && level <= 2) {
              for (int p = from; p < e.page && p <= b.body_pages; ++p) diagrams[p] = 1;
              from = -1;
            }
            const bool forces = e.text.find("断面力") != std::string::npos &&
                                e.text.find("一覧") == std::string::npos;
            if (level == 2 && (forces || e.text.find("縦方向・解析結果") != std::string::npos))
              from = e.page;
          }
        }
        for (int slot : ReportPageSlots(b)) {
          const int page = slot - kFirstBodySlot;
          if (page >= 1 && page <= b.body_pages && diagrams[static_cast<std::size_t>(page)])
            continue;
          ++pages;
          // Half of a glyph both ways: a subscript tucks a quarter column
          // under the corner of its letter by design.
          // The stamp's letters (40 mm) lie under the page by design.
          const std::vector<std::string> hits = test::Overprints(pe, slot, 0, 100, 2);
          EXPECT_TRUE(hits.empty()) << "page slot " << slot << ": " << hits.size()
                                    << " overlaps, first " << Cp932ToUtf8(hits.front());
        }
      }
    }
  EXPECT_GT(pages, 800);
}

}  // namespace
}  // namespace vaultra
