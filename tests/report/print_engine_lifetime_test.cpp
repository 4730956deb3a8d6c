// A print engine that ran every shipped template section and drawing file
// owns all it holds: a copy outlives the original with the same pages, and
// both are destroyed without a bad free (the sanitizer build watches this).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "report/page_record.h"
#include "report/print_engine.h"
#include "report/report_template.h"

namespace vaultra {
namespace {

const char* const kTemplates[] = {"@PrintDat(STD).c", "テンプレート見本.c"};
const char* const kDrawings[] = {"寸法記号図.PCJ", "支点条件(地震時).PCJ", "支点条件(常時).PCJ"};

std::string PrintMaster(const char* name) {
  return std::string(VAULTRA_SOURCE_DIR "/Master/印刷/") + name;
}

// Runs every labelled section of the template, then every drawing file, each
// on a page of its own; returns the number of sections run.
int RunEverything(PrintEngine& pe, const char* template_name) {
  EXPECT_TRUE(LoadTemplateFile(pe, PrintMaster(template_name)));
  pe.BeginReportPages(1800, 2700);
  EXPECT_TRUE(pe.SelectPageSlot(kFirstBodySlot));
  for (char c = 'A'; c <= 'Z'; c += 2) SetLetter(pe, c);
  pe.NewPage();
  int sections = 0;
  const std::vector<std::string> lines = pe.templates.lines;
  for (const std::string& line : lines) {
    const std::vector<std::string> words = LabelWords(line);
    if (words.empty()) continue;
    ++sections;
    PrintSection(pe, 10, words.front(), words.size() > 1 ? words[1] : "", 99);
  }
  for (const char* drawing : kDrawings) {
    pe.NewPage();
    DrawPcjFigure(pe, 10, PrintMaster(drawing));
  }
  return sections;
}

std::vector<std::string> Dumps(const PrintEngine& pe) {
  std::vector<std::string> pages;
  for (int slot = 0; slot <= pe.records().highest(); ++slot)
    pages.push_back(DumpPage(pe.records(), slot));
  return pages;
}

TEST(PrintEngineLifetime, CopiesOfAnEngineThatRanEveryShippedFileOutliveTheOriginal) {
  for (const char* name : kTemplates) {
    SCOPED_TRACE(name);
    auto original = std::make_unique<PrintEngine>();
    EXPECT_GT(RunEverything(*original, name), 0);
    // The shipped files draw on every page they were given.
    const std::vector<std::string> pages = Dumps(*original);
    ASSERT_GE(pages.size(), static_cast<std::size_t>(kFirstBodySlot + 1 + 3));
    for (int k = 0; k < 3; ++k) EXPECT_FALSE(pages[pages.size() - 1 - k].empty()) << k;
    EXPECT_TRUE(original->notices.empty()) << original->notices.front();

    PrintEngine copied(*original);
    PrintEngine assigned;
    assigned = *original;
    original.reset();
    EXPECT_EQ(Dumps(copied), pages);
    EXPECT_EQ(Dumps(assigned), pages);
    // The copy goes on recording on its own, the other copy is untouched.
    copied.NewPage();
    DrawPcjFigure(copied, 10, PrintMaster(kDrawings[0]));
    EXPECT_EQ(Dumps(assigned), pages);
    EXPECT_NE(Dumps(copied), pages);
  }
}

// Engines made and dropped in turn, some in the middle of a page, with and
// without a template: the pattern of the report preview and the fuzz runs.
TEST(PrintEngineLifetime, EnginesDroppedMidReportReleaseCleanly) {
  for (int round = 0; round < 6; ++round) {
    SCOPED_TRACE(round);
    PrintEngine pe;
    if (round % 2 == 0) {
      EXPECT_TRUE(LoadTemplateFile(pe, PrintMaster(kTemplates[round % 4 / 2])));
    }
    pe.BeginReportPages(1800, 2700);
    EXPECT_EQ(pe.SelectPageSlot(round < 3 ? kFirstBodySlot : kPageSlots), round < 3);
    const std::size_t before = pe.records().CommandCount();
    DrawPcjFigure(pe, 10 + round, PrintMaster(kDrawings[round % 3]));
    // A slot outside the table records nothing.
    EXPECT_EQ(pe.records().CommandCount() > before, round < 3);
  }
}

}  // namespace
}  // namespace vaultra
