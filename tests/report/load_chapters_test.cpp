// The load chapters of the report read back from the page records of real
// samples: every load case once in the load-state chapter, the intensities
// beside the figures equal the frame text's load items, the earth-pressure
// tables print the generators' tables, and no text line overprints another.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "analysis/frame_text.h"
#include "core/cp932.h"
#include "core/number.h"
#include "report/load_tables.h"
#include "report/report_template.h"
#include "report/report_test_util.h"
#include "report/report_text.h"
#include "sample_run.h"

namespace vaultra {
namespace {

const char* const kSamples[] = {"stand_two_slabs.vt1", "box_three_boxes.vt1",
                                "box_groundwater_stored.vt1", "mini_gate.vt1"};

void UseSeismicCoefficient(ProjectState& s) {
  s.loads.CheckRadio("RbCalcSindo");
}
void KeepMethod(ProjectState&) {}

// A sample's report built from its models (no analysis needed for the load
// chapters).
struct LoadReport {
  std::unique_ptr<SampleRun> run;
  PrintEngine pe;
  ReportBuild build;
  // With analyse the whole report (chapter 22 and the checks from the run),
  // else the chapters up to the loads and an empty run.
  LoadReport(const char* sample, bool seismic_coefficient, bool analyse = false) {
    run = seismic_coefficient ? std::make_unique<SampleRun>(sample, analyse, UseSeismicCoefficient)
                              : std::make_unique<SampleRun>(sample, analyse, KeepMethod);
    if (!run->built) return;
    CalcRun none;
    BuildReportPages(pe, ReportSourcesOf(run->state, run->ws, analyse ? run->run : none, run->md),
                     run->opt, build);
  }
  // Body slots from the page of the first heading holding `from` up to the
  // page before the first later heading holding `to`.
  std::pair<int, int> Slots(const std::string& from, const std::string& to) const {
    int first = -1, last = -1;
    for (const ContentsEntry& e : SortedContents(pe)) {
      if (first < 0 && e.text.find(from) != std::string::npos)
        first = e.page;
      else if (first >= 0 && last < 0 && e.text.find(to) != std::string::npos)
        last = e.page - 1;
    }
    return {kFirstBodySlot + first, kFirstBodySlot + last};
  }
};

// The load cases of the frame text: number, name and the item lines.
struct TextCase {
  int number = 0;
  std::string name;
  std::vector<std::vector<std::string>> items;
};
std::vector<TextCase> TextCases(const FrameModel& f) {
  std::vector<std::string> lines;
  WriteFrameText(f, lines);
  std::vector<TextCase> out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].compare(0, 9, "LOAD-CASE") != 0) continue;
    std::istringstream in(lines[i]);
    std::string word;
    TextCase c;
    int count = 0, spring = 0, support = 0;
    in >> word >> c.number >> count >> spring >> support;
    std::getline(in, c.name);
    c.name = std::string(Trim(c.name));
    for (int k = 1; k <= count; ++k) {
      std::istringstream item(lines[i + static_cast<std::size_t>(k)]);
      std::vector<std::string> tokens;
      while (item >> word) tokens.push_back(word);
      c.items.push_back(tokens);
    }
    out.push_back(c);
  }
  return out;
}

std::string Unsigned0(std::string t) {
  return t == "-0.000" ? "0.000" : t;
}

// Texts drawn in the figure label font (below 2.5 mm): runs of glyphs that
// follow each other on one line.
std::vector<std::string> SmallTexts(const PrintEngine& pe, int slot) {
  std::vector<std::string> out;
  int height = 36, pitch = 18, px = -1000, py = -1000;
  for (const auto& c : pe.records().Slot(slot)) {
    if (c.cmd == Cmd::kSetFont) {
      height = c.v[0];
      pitch = c.v[1];
    }
    if (c.cmd != Cmd::kGlyph || height >= 25) continue;
    const bool joined =
        !out.empty() && std::abs(c.v[1] - py) <= 2 && c.v[0] > px && c.v[0] - px <= 2 * pitch;
    if (!joined) out.emplace_back();
    out.back() += c.text;
    px = c.v[0];
    py = c.v[1];
  }
  return out;
}

// An intensity as the figures write it ("%.3f"); labels that touch read
// as one run of glyphs.
const std::regex kNumber("-?[0-9]+\\.[0-9]{3}");

TEST(LoadChapters, EveryLoadCaseOnceAndItsIntensitiesAreTheFrameTextItems) {
  for (const char* sample : kSamples)
    for (bool coefficient : {false, true}) {
      SCOPED_TRACE(std::string(sample) + (coefficient ? " 震度法" : " 応答変位法"));
      LoadReport r(sample, coefficient);
      ASSERT_TRUE(r.run->built);
      EXPECT_EQ(r.run->state.records.loads.method,
                coefficient ? kMethodSeismicCoefficient : kMethodResponseDisplacement);
      const auto [first, last] = r.Slots("荷重状態図", "荷重の組合せ");
      ASSERT_GT(first, kFirstBodySlot);
      ASSERT_GE(last, first);
      std::map<std::string, int> rows;
      std::set<std::string> labels;
      for (int slot = first; slot <= last; ++slot) {
        for (const std::string& row : test::PageTextRows(r.pe, slot))
          ++rows[std::string(Trim(row))];
        for (const std::string& t : SmallTexts(r.pe, slot))
          for (std::sregex_iterator m(t.begin(), t.end(), kNumber), end; m != end; ++m)
            labels.insert(Unsigned0(m->str()));
      }
      // Each case once per group of blocks (a long row is shown in groups).
      const int blocks = r.run->state.transverse.real_block_count;
      const int groups = blocks <= kLoadStateBlocksPerGroup
                             ? 1
                             : (blocks + kLoadStateBlocksPerGroup - 1) / kLoadStateBlocksPerGroup;
      std::set<std::string> expected;
      int named = 0;
      for (const TextCase& c : TextCases(r.run->ws.transverse_frame)) {
        if (c.name.empty()) {
          EXPECT_TRUE(c.items.empty()) << c.number;  // a case without a name has no loads
          continue;
        }
        ++named;
        EXPECT_EQ(rows[c.name], groups) << c.number << " " << c.name;
        for (const auto& it : c.items) {
          ASSERT_EQ(it.size(), 7u);
          const int type = std::stoi(it[0]);
          if (type != 11 && type != 13 && type != 14) continue;
          expected.insert(Unsigned0(it[3]));
          expected.insert(Unsigned0(it[4]));
        }
      }
      EXPECT_GE(named, coefficient ? 23 : 25);
      // Every printed intensity is a load item's, and every item's is printed.
      EXPECT_EQ(labels, expected);
    }
}

TEST(LoadChapters, EarthPressureTablesPrintTheGeneratorsTables) {
  for (const char* sample : {"stand_two_slabs.vt1", "box_groundwater_stored.vt1"}) {
    SCOPED_TRACE(sample);
    LoadReport r(sample, false);
    ASSERT_TRUE(r.run->built);
    const PressureTables& p = r.run->ws.pressure;
    // The side table the wall loads of case 2 are made from: depth and
    // pressure on one printed row, for every row.
    const SidePressureTable& side = p.side[0][kTransverse];
    ASSERT_GE(side.Count(), 3);
    int checked = 0;
    for (const SideRow& row : side.rows) {
      // Printed with halves rounded up (ForPrint), as a checker rounds.
      const auto f3 = [](double v) { return Format("%.3f", ForPrint(v, 3)); };
      EXPECT_GE(
          test::RowsWith(r.pe, {f3(row.z), f3(row.t), f3(row.p[0]), f3(row.half_p[0])}).size(), 1u)
          << row.z;
      checked += 2;
    }
    // The static earth pressure rows: value = K·γ·t worked out here, and
    // the running sum.
    const StaticEarthRows& se = p.report.static_earth[0];
    double sum = 0;
    for (const ReportRow& row : se.rows) {
      EXPECT_NEAR(row.value, row.k * row.gamma * row.t, 0.0006) << row.name;
      sum += row.value;
      EXPECT_NEAR(row.sum, sum, 0.002) << row.name;
      EXPECT_GE(test::RowsWith(r.pe, {Format("%.3f", row.k), Format("%.3f", row.value),
                                      Format("%.3f", row.sum)})
                    .size(),
                1u)
          << row.name;
      ++checked;
    }
    // The surcharge and the stored water as the generators used them.
    const LoadsRecord& lr = r.run->state.records.loads;
    EXPECT_NEAR(p.report.kah_q, lr.kah * lr.q, 0.0006);
    EXPECT_GE(test::RowsWith(r.pe, {"側方荷重", Format("%.3f", p.report.kah_q)}).size(), 1u);
    EXPECT_GE(checked, 5);
  }
}

// Text glyphs of the body type (3 mm and more) whose boxes overlap on a
// page, as "page: a / b".
std::vector<std::string> Overprints(const PrintEngine& pe) {
  std::vector<std::string> out;
  for (int slot = kFirstBodySlot + 1; slot <= pe.records().highest(); ++slot)
    for (const std::string& o : test::Overprints(pe, slot, 30, 40))
      out.push_back(Format("%d: ", slot - kFirstBodySlot) + o);
  return out;
}

TEST(LoadChapters, NoTextLineOverprintsAnotherInAnySample) {
  for (const char* sample : kSamples)
    for (bool coefficient : {false, true}) {
      SCOPED_TRACE(std::string(sample) + (coefficient ? " 震度法" : " 応答変位法"));
      LoadReport r(sample, coefficient, true);
      ASSERT_TRUE(r.run->built);
      const std::vector<std::string> over = Overprints(r.pe);
      EXPECT_TRUE(over.empty()) << over.size() << " first " << over.front() << " "
                                << over[over.size() / 2];
      // Nothing below the page.
      for (int slot = kFirstBodySlot + 1; slot <= r.pe.records().highest(); ++slot)
        for (const test::GlyphAt& g : test::Glyphs(r.pe, slot)) EXPECT_LT(g.y, 2700) << slot;
    }
}

// A table too long for its page continues at y = 2.52 on the next one with
// its heading printed once, every row once and nothing overprinted.
TEST(LoadChapters, LongTableContinuesOnTheNextPageWithoutItsHeading) {
  PrintEngine pe;
  ReportSources src;
  ReportOptions opt;
  ReportBuild build;
  pe.BeginReportPages(1800, 2700);
  pe.SelectPageSlot(kFirstBodySlot);
  ResetHeadingNumbers(pe);
  ReportContext ctx(pe, src, opt, build);
  ctx.NewPage();
  const int n = 70;  // three pages of rows
  std::vector<int> filled;
  const double y = PrintTableRows(ctx, 100, "物性データ", n, [&](int i) {
    filled.push_back(i);
    for (int k = 0; k < 3; ++k) FillText(pe, -1, Format("%9.3e", 1.0 + i), true);
  });
  EXPECT_GT(y, 0);
  ASSERT_EQ(static_cast<int>(filled.size()), n);
  for (int i = 0; i < n; ++i) EXPECT_EQ(filled[static_cast<std::size_t>(i)], i);
  EXPECT_GE(pe.records().highest(), kFirstBodySlot + 3);
  int headings = 0;
  for (const ContentsEntry& e : pe.text.contents)
    headings += e.text.find("物性データ") != std::string::npos;
  EXPECT_EQ(headings, 1);
  // Row numbers 1..n once each, beside their values; each continued page
  // starts its table on the top line: its first text lies (8.28 - 105.76)
  // mm above where the heading (y = 100 + 5.76) lies on the first page.
  std::map<std::string, int> numbers;
  int heading_top = 1 << 30;
  for (const test::GlyphAt& g : test::Glyphs(pe, kFirstBodySlot + 1))
    heading_top = std::min(heading_top, g.y);
  for (int slot = kFirstBodySlot + 1; slot <= pe.records().highest(); ++slot) {
    int top = 1 << 30;
    for (const test::GlyphAt& g : test::Glyphs(pe, slot)) top = std::min(top, g.y);
    if (slot > kFirstBodySlot + 1) {
      EXPECT_NEAR(top, heading_top + (2.52 + 2 * 2.88 - 105.76) * 10, 2) << slot;
    }
    for (const std::string& row : test::PageTextRows(pe, slot)) {
      std::istringstream in(row);
      std::string first;
      in >> first;
      if (row.find(Format("%9.3e", std::atof(first.c_str()))) != std::string::npos &&
          !first.empty() && std::all_of(first.begin(), first.end(), ::isdigit))
        ++numbers[first];
    }
  }
  for (int i = 1; i <= n; ++i) EXPECT_EQ(numbers[std::to_string(i)], 1) << i;
  EXPECT_TRUE(Overprints(pe).empty());
  // The probe itself sees a line printed over another.
  PrintLine(pe, 1.0, 120, "重ね書きの確認");
  PrintLine(pe, 1.5, 120.5, "重ね書きの確認");
  EXPECT_FALSE(Overprints(pe).empty());
}

// Chapter 19's figures never share a page beyond what fits: at most three
// figure blocks of 84 mm on a 265 mm page.
TEST(LoadChapters, LoadStateFiguresFitTheirPage) {
  EXPECT_NEAR(LoadStateBlockHeight(), 8 * 5.76 + 38, 1e-9);
  LoadReport r("box_three_boxes.vt1", false);
  ASSERT_TRUE(r.run->built);
  const auto [first, last] = r.Slots("荷重状態図", "荷重の組合せ");
  std::set<std::string> names;
  for (const TextCase& c : TextCases(r.run->ws.transverse_frame)) names.insert(c.name);
  for (int slot = first; slot <= last; ++slot) {
    int figures = 0;
    for (const std::string& row : test::PageTextRows(r.pe, slot))
      figures += names.count(std::string(Trim(row))) > 0;
    EXPECT_GE(figures, 1) << slot;
    EXPECT_LE(figures, 3) << slot;
  }
}

}  // namespace
}  // namespace vaultra
