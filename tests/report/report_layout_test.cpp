// The layout of whole reports: the largest facility the model page allows
// reported completely (page slots past 512, contents pages as many as
// needed), and the PDF's outline, document information and page labels
// read back from the file's own objects.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <regex>
#include <string>

#include "app/pages/page_logic_impl.h"
#include "core/cp932.h"
#include "core/number.h"
#include "model/geometry.h"
#include "report/build_report.h"
#include "report/pdf_file.h"
#include "report/report_test_util.h"
#include "report/report_text.h"
#include "sample_run.h"

namespace vaultra {
namespace {

std::string NoBlanks(std::string s) {
  ReplaceText(s, "　", "");
  s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
  return s;
}

// Whether body page `page` shows the heading on one of its rows.
bool PageShows(const PrintEngine& pe, int page, const std::string& heading) {
  const std::string want = NoBlanks(heading);
  for (const std::string& row : test::PageTextRows(pe, kFirstBodySlot + page))
    if (NoBlanks(row).find(want) != std::string::npos) return true;
  return false;
}

// The checks every report must pass: the contents in page order, each entry
// on the page it names, each contents page listing its 40 entries, the
// reading order cover, contents, body.
void ExpectContentsPointAtTheirHeadings(const PrintEngine& pe, const ReportBuild& b) {
  const std::vector<ContentsEntry> entries = SortedContents(pe);
  ASSERT_FALSE(entries.empty());
  int previous = 1;
  for (const ContentsEntry& e : entries) {
    SCOPED_TRACE(Cp932ToUtf8(e.text));
    EXPECT_GE(e.page, previous) << "contents numbers ascend";
    EXPECT_LE(e.page, b.body_pages);
    EXPECT_TRUE(PageShows(pe, e.page, e.text)) << "on page " << e.page;
    previous = e.page;
  }
  const int pages = (static_cast<int>(entries.size()) + 39) / 40;
  EXPECT_EQ(b.contents_pages, pages);
  ASSERT_EQ(static_cast<int>(b.contents_slots.size()), pages);
  for (int k = 0; k < pages; ++k) {
    // The last entry of contents page k + 1 is listed there with its number.
    const int last = std::min((k + 1) * 40, static_cast<int>(entries.size())) - 1;
    const std::vector<std::string> rows = test::PageTextRows(pe, b.contents_slots[k]);
    const std::string want = NoBlanks(ContentsLine(entries[last].text));
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(),
                            [&](const std::string& r) {
                              const std::string t = NoBlanks(r);
                              return t.find(want) != std::string::npos &&
                                     std::atoi(t.c_str() + t.rfind("･") +
                                               std::string("･").size()) == entries[last].page;
                            }))
        << "contents page " << k + 1;
  }
  const std::vector<int> slots = ReportPageSlots(b);
  ASSERT_EQ(static_cast<int>(slots.size()), 1 + pages + b.body_pages);
  EXPECT_EQ(slots[0], 0);
  for (int n = 1; n <= b.body_pages; ++n) EXPECT_EQ(slots[pages + n], kFirstBodySlot + n);
}

// 24 centre blocks of the three-box sample with the longitudinal check: more
// body pages than the 512 slots of the old page record held.
TEST(ReportLayout, TheLargestBoxIsReportedCompletely) {
  RecordingUi ui;
  const MasterData md = LoadMasterData(std::string(VAULTRA_SOURCE_DIR) + "/Master/材料/", ui);
  SampleRun s("box_three_boxes.vt1", true, [&](ProjectState& st) {
    InputPageLogic logic(md);
    st.model.SetText("Ed_blkSu", std::to_string(kMaxCentreBlocks));
    logic.CommitInputs(st, FormId::kModel);
    logic.UpdateModelFromModelPage(st);
  });
  ASSERT_TRUE(s.built);
  ASSERT_EQ(s.state.records.model.centre_blocks, kMaxCentreBlocks);
  ASSERT_TRUE(s.state.records.model.longitudinal_check);
  PrintEngine pe;
  ReportBuild b;
  const int pages = BuildReportPages(pe, ReportSourcesOf(s.state, s.ws, s.run, s.md), s.opt, b);
  EXPECT_FALSE(b.page_limit_reached);
  EXPECT_EQ(b.first_error.find("上限"), std::string::npos) << Cp932ToUtf8(b.first_error);
  EXPECT_GT(pages, kFirstBodySlot + 512) << "past the 512 slots of the old record";
  EXPECT_EQ(pages, s.silent_build.body_pages) << "the silent pass counts the same pages";
  // Every body page carries its printed number.
  for (int n : {1, 512, pages}) EXPECT_TRUE(PageShows(pe, n, std::to_string(n))) << "page " << n;
  ExpectContentsPointAtTheirHeadings(pe, b);
  // The last chapter, the end walls, is present and its entry is the last
  // but its own items.
  const std::vector<ContentsEntry> entries = SortedContents(pe);
  const auto end_walls = std::find_if(entries.begin(), entries.end(), [](const ContentsEntry& e) {
    return e.text.find("端壁の照査") != std::string::npos;
  });
  ASSERT_NE(end_walls, entries.end());
  EXPECT_EQ(ContentsLevel(end_walls->text), 1);
  for (auto it = end_walls + 1; it != entries.end(); ++it) EXPECT_GT(ContentsLevel(it->text), 1);
  if (const char* out = std::getenv("VAULTRA_KEEP_REPORT")) {
    const PdfDocumentInfo info = ReportPdfInfo(pe, b);
    std::string error;
    EXPECT_TRUE(WritePdfFile(pe.records(), ReportPageSlots(b), out, 300, &error, &info)) << error;
  }
}

// The objects of a PDF by number (the writer leaves outline objects
// uncompressed).
std::map<int, std::string> Objects(const std::string& pdf) {
  std::map<int, std::string> out;
  for (std::size_t at = pdf.find(" 0 obj\n"); at != std::string::npos;
       at = pdf.find(" 0 obj\n", at + 1)) {
    std::size_t start = pdf.rfind('\n', at);
    start = start == std::string::npos ? 0 : start + 1;
    const std::size_t body = at + 7, end = pdf.find("\nendobj", body);
    if (end == std::string::npos) break;
    out[std::atoi(pdf.c_str() + start)] = pdf.substr(body, std::min<std::size_t>(end - body, 4000));
  }
  return out;
}

std::string Field(const std::string& dict, const std::string& key, const char* pattern) {
  std::smatch m;
  const std::regex r("/" + key + " " + pattern);
  return std::regex_search(dict, m, r) ? m[1].str() : std::string();
}

// A text string <FEFF....> back to cp932.
std::string DecodeText(const std::string& hex) {
  std::u16string u;
  for (std::size_t i = 5; i + 5 <= hex.size(); i += 4)  // after "<FEFF", before ">"
    u.push_back(static_cast<char16_t>(std::stoi(hex.substr(i, 4), nullptr, 16)));
  return Utf16ToCp932(u);
}

TEST(ReportLayout, TheOutlineMirrorsTheContentsAndOpensEachHeadingsPage) {
  for (const char* sample : {"stand_two_slabs.vt1", "box_groundwater_stored.vt1"}) {
    SCOPED_TRACE(sample);
    SampleRun s(sample);
    ASSERT_TRUE(s.built);
    PrintEngine pe;
    ReportBuild b;
    BuildReportPages(pe, ReportSourcesOf(s.state, s.ws, s.run, s.md), s.opt, b);
    ExpectContentsPointAtTheirHeadings(pe, b);
    const PdfDocumentInfo info = ReportPdfInfo(pe, b);
    setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    std::string pdf, error;
    ASSERT_TRUE(MakePdf(pe.records(), ReportPageSlots(b), 72, &pdf, &error, &info)) << error;
    std::string again;
    ASSERT_TRUE(MakePdf(pe.records(), ReportPageSlots(b), 72, &again, &error, &info)) << error;
    unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_EQ(pdf, again) << "a fixed SOURCE_DATE_EPOCH gives the same bytes";
    const std::map<int, std::string> objs = Objects(pdf);
    // The page objects in document order, from the page tree's kids.
    std::vector<int> kids;
    int info_id = 0, root_id = 0;
    {
      std::smatch m;
      ASSERT_TRUE(std::regex_search(pdf, m, std::regex(R"(/Root (\d+) 0 R /Info (\d+) 0 R)")));
      root_id = std::stoi(m[1]);
      info_id = std::stoi(m[2]);
    }
    for (const auto& [id, body] : objs)
      if (body.find("/Type /Pages") != std::string::npos) {
        const std::string list = Field(body, "Kids", R"(\[([^\]]*)\])");
        const std::regex ref(R"((\d+) 0 R)");
        for (auto it = std::sregex_iterator(list.begin(), list.end(), ref);
             it != std::sregex_iterator(); ++it)
          kids.push_back(std::stoi((*it)[1]));
      }
    ASSERT_EQ(kids.size(), 1 + b.contents_slots.size() + b.body_pages);
    // Document information: 構造計算書 and the model name; the method.
    const std::string& d = objs.at(info_id);
    EXPECT_EQ(DecodeText(Field(d, "Title", "(<[0-9A-F]+>)")),
              "構造計算書 " + Trim(s.state.records.model.name));
    EXPECT_NE(DecodeText(Field(d, "Subject", "(<[0-9A-F]+>)")).find("[応答変位法]"),
              std::string::npos);
    EXPECT_EQ(Field(d, "CreationDate", R"(\(([^)]*)\))"), "D:20231114221320Z");  // 1700000000 s
    // Page labels: the cover, the contents, then the printed numbers from 1.
    const std::string& cat = objs.at(root_id);
    EXPECT_NE(cat.find(Format(" %zu << /S /D /St 1 >>", 1 + b.contents_slots.size())),
              std::string::npos)
        << cat;
    // The outline, walked from the root's first item through /Next and
    // /First in reading order, equals the contents entry by entry.
    const int outlines = std::stoi(Field(cat, "Outlines", R"((\d+) 0 R)"));
    std::vector<std::pair<std::string, int>> walked;  // title, level
    std::vector<int> targets;
    std::function<void(int, int)> walk = [&](int id, int level) {
      for (; id != 0;) {
        const std::string& o = objs.at(id);
        walked.emplace_back(DecodeText(Field(o, "Title", "(<[0-9A-F]+>)")), level);
        const int page = std::stoi(Field(o, "Dest", R"(\[(\d+) 0 R)"));
        targets.push_back(
            static_cast<int>(std::find(kids.begin(), kids.end(), page) - kids.begin()));
        const std::string first = Field(o, "First", R"((\d+) 0 R)");
        if (!first.empty()) walk(std::stoi(first), level + 1);
        const std::string next = Field(o, "Next", R"((\d+) 0 R)");
        id = next.empty() ? 0 : std::stoi(next);
      }
    };
    walk(std::stoi(Field(objs.at(outlines), "First", R"((\d+) 0 R)")), 1);
    const std::vector<ContentsEntry> entries = SortedContents(pe);
    ASSERT_EQ(walked.size(), entries.size());
    int deepest = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      SCOPED_TRACE(Cp932ToUtf8(entries[i].text));
      std::string title = Trim(entries[i].text);
      ReplaceText(title, "　", " ");
      EXPECT_EQ(walked[i].first, title);
      // The page opened is the document page of the heading's body page.
      EXPECT_EQ(targets[i], static_cast<int>(b.contents_slots.size()) + entries[i].page);
      deepest = std::max(deepest, walked[i].second);
      // A chapter is at the top, a section under it.
      const int level = ContentsLevel(entries[i].text);
      if (level <= 2) {
        EXPECT_EQ(walked[i].second, level);
      }
    }
    EXPECT_GE(deepest, 3) << "chapters, sections and their items";
  }
}

}  // namespace
}  // namespace vaultra
