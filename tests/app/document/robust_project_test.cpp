// Broken and careless project files: bad numbers warned about or refused
// with the field and line named, UTF-8 files converted, files that end
// without their last section accepted, structure tables guarded, and the
// longitudinal tables saved with the model they hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/document/project_file.h"
#include "app/pages/page_logic_impl.h"
#include "core/comma_text.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "core/number.h"
#include "inputs/master_data.h"

namespace vaultra {
namespace {

std::vector<std::string> SampleLines(const char* name = "box_three_boxes.vt1") {
  return SplitLines(
      ReadFileBytes(std::string(VAULTRA_SOURCE_DIR) + "/samples/" + name).value_or(""));
}

// Replaces the value of "KEY = ..." in a section; returns its 1-based line.
int SetKey(std::vector<std::string>& lines, const std::string& section, const std::string& key,
           const std::string& value) {
  bool in = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!lines[i].empty() && lines[i][0] == '[') in = lines[i] == "[" + section + "]";
    if (in && lines[i].rfind(key + " = ", 0) == 0) {
      lines[i] = key + " = " + value;
      return static_cast<int>(i) + 1;
    }
  }
  ADD_FAILURE() << section << " " << key;
  return 0;
}

const FormState& FormOf(ProjectState& state, const std::string& section) {
  for (const FormState* f : state.Forms())
    if (f->section == section) return *f;
  ADD_FAILURE() << section;
  return state.main;
}

int Count(const std::vector<std::string>& texts, const std::string& needle) {
  return static_cast<int>(std::count_if(texts.begin(), texts.end(), [&](const std::string& t) {
    return t.find(needle) != std::string::npos;
  }));
}

TEST(RobustProjectFile, BadNumbersAreWarnedOnceAndAbsurdOnesRefusedWithTheLine) {
  struct Case {
    const char* section;
    const char* key;
    const char* value;
    bool refused;  // an error (no calculation runs) rather than a warning
  } cases[] = {
      // A field that is no number, or a number with something behind it,
      // is refused as well: the page would read a value the file does not
      // show ("1e8abc" as 1e8, "1,5" as 1, "abc" as 0).
      {"Fm15KAJ", "Ed_Gst", "abc", true},   {"Fm15KAJ", "Ed_Gst", "1e308", true},
      {"Fm16KYD", "Ec1", "1e999", true},    {"Fm11MDL", "EdBlockDepth", "nan", true},
      {"Fm15KAJ", "Ed_q", "0x10", true},    {"Fm16KYD", "Es1", "1,5", true},
      {"Fm15KAJ", "Ed_Kah", "", true},      {"Fm15KAJ", "Ed_Kah", "-inf", true},
      {"Fm16KYD", "Gc1", "  ", true},       {"Fm33OR2", "p1Ed_Ps", "1e10", true},
      {"Fm16KYD", "nSca1", "1e8abc", true}, {"Fm15KAJ", "Ed_Gst", "1e999x", true},
  };
  for (const Case& c : cases) {
    std::vector<std::string> lines = SampleLines();
    const int line = SetKey(lines, c.section, c.key, c.value);
    ProjectState state = DefaultProjectState();
    PageLogic logic;
    const LoadResult r = LoadProjectText(state, JoinLinesCrLf(lines), "p.vt1", logic);
    ASSERT_TRUE(r.loaded);
    const std::string where = Format("%d 行目: [%s] %s", line, c.section, c.key);
    const std::string what = std::string(c.section) + "/" + c.key + "=" + c.value;
    EXPECT_EQ(Count(r.errors, where), c.refused ? 1 : 0) << what;
    EXPECT_EQ(Count(r.warnings, where), c.refused ? 0 : 1) << what;
    // The text of the field is kept as the file has it.
    EXPECT_EQ(FormOf(state, c.section).Text(c.key), c.value) << what;
  }
  // The sample itself has none of these.
  ProjectState state = DefaultProjectState();
  PageLogic logic;
  const LoadResult r = LoadProjectText(state, JoinLinesCrLf(SampleLines()), "p.vt1", logic);
  EXPECT_TRUE(r.errors.empty());
  EXPECT_EQ(Count(r.warnings, "数値"), 0);
}

TEST(RobustProjectFile, AbsurdGridCellsAndStructureValuesAreRefused) {
  {
    std::vector<std::string> lines = SampleLines();
    // The first data row of the ground grid: its thickness becomes 1e308.
    std::size_t at = 0;
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (lines[i].rfind("Grid1 = ", 0) == 0) at = i + 2;
    ASSERT_GT(at, 0u);
    std::vector<std::string> cells = SplitCommaText(lines[at]);
    ASSERT_GT(cells.size(), 2u);
    cells[1] = "1e308";
    lines[at] = EncodeCommaText(cells);
    ProjectState state = DefaultProjectState();
    PageLogic logic;
    const LoadResult r = LoadProjectText(state, JoinLinesCrLf(lines), "p.vt1", logic);
    EXPECT_EQ(Count(r.errors, Format("%d 行目: [Fm12JBN] Grid1", static_cast<int>(at) + 1)), 1)
        << (r.errors.empty() ? "" : Cp932ToUtf8(r.errors[0]));
  }
  {
    // A node coordinate of the transverse table reads 1e308: the table is
    // refused, the line named, and the nodes keep what they were.
    std::vector<std::string> lines = SampleLines();
    const auto header = std::find(lines.begin(), lines.end(), "[KZ1_POSTBL]");
    ASSERT_NE(header, lines.end());
    const std::size_t at = static_cast<std::size_t>(header - lines.begin()) + 3;
    lines[at] = "   1e308  0.0000";
    ProjectState state = DefaultProjectState();
    const int nodes_before = state.transverse.node_count;
    PageLogic logic;
    const LoadResult r = LoadProjectText(state, JoinLinesCrLf(lines), "p.vt1", logic);
    EXPECT_EQ(Count(r.errors, Format("%d 行目: [KZ1_POSTBL]", static_cast<int>(at) + 1)), 1);
    EXPECT_EQ(state.transverse.node_count, nodes_before);
  }
  {
    // A count wider than its six-character field is shown whole.
    std::vector<std::string> lines = SampleLines();
    const auto header = std::find(lines.begin(), lines.end(), "[KZ1_POSTBL]");
    lines[static_cast<std::size_t>(header - lines.begin()) + 1] = "    241000000";
    ProjectState state = DefaultProjectState();
    PageLogic logic;
    const LoadResult r = LoadProjectText(state, JoinLinesCrLf(lines), "p.vt1", logic);
    EXPECT_EQ(Count(r.errors, "\"241000000\""), 1);
  }
}

// A missing section leaves its page on the values it had: the file loads
// (the window shows it with the message), but as an error, so that no
// calculation or save runs on values that are not the file's.
TEST(RobustProjectFile, AFileWithoutItsLastSectionLoadsWithAnError) {
  std::vector<std::string> lines = SampleLines();
  const auto at = std::find(lines.begin(), lines.end(), "[fmUtOryk]");
  ASSERT_NE(at, lines.end());
  lines.erase(at, lines.end());
  ProjectState state = DefaultProjectState();
  const std::string edM = state.section_detail.Text("edM");
  PageLogic logic;
  const LoadResult r = LoadProjectText(state, JoinLinesCrLf(lines), "p.vt1", logic);
  EXPECT_TRUE(r.loaded);
  EXPECT_EQ(r.errors.size(), 1u);
  EXPECT_EQ(Count(r.errors, "[fmUtOryk]"), 1);
  EXPECT_EQ(ReadReal(state.section_detail.Text("edM")), ReadReal(edM));  // unchanged
  // Cut short inside a block is still refused.
  std::vector<std::string> cut = SampleLines();
  const auto nodes = std::find(cut.begin(), cut.end(), "[KZ1_POSTBL]");
  cut.erase(nodes + 5, cut.end());
  ProjectState s2 = DefaultProjectState();
  EXPECT_FALSE(LoadProjectText(s2, JoinLinesCrLf(cut), "p.vt1", logic).errors.empty());
}

TEST(RobustProjectFile, AUtf8FileIsConvertedWithAWarning) {
  const std::string cp932 = JoinLinesCrLf(SampleLines());
  ProjectState expected = DefaultProjectState();
  PageLogic logic;
  ASSERT_TRUE(LoadProjectText(expected, cp932, "p.vt1", logic).errors.empty());
  for (const std::string& prefix : {std::string(), std::string("\xEF\xBB\xBF")}) {
    ProjectState state = DefaultProjectState();
    const LoadResult r = LoadProjectText(state, prefix + Cp932ToUtf8(cp932), "p.vt1", logic);
    EXPECT_TRUE(r.loaded);
    EXPECT_TRUE(r.errors.empty());
    EXPECT_EQ(Count(r.warnings, "UTF-8"), 1);
    EXPECT_EQ(state.model.Text("EdModelName"), expected.model.Text("EdModelName"));
    EXPECT_EQ(state.ground.At("Grid1").grid.rows, expected.ground.At("Grid1").grid.rows);
    // Saved again in cp932, byte for byte what the cp932 file gives.
    EXPECT_EQ(ProjectFileLines(state, "p.vt1", logic), ProjectFileLines(expected, "p.vt1", logic));
  }
}

TEST(RobustProjectFile, TheLongitudinalTablesAreSavedWithTheModel) {
  RecordingUi ui;
  const MasterData md = LoadMasterData(std::string(VAULTRA_SOURCE_DIR) + "/Master/材料/", ui);
  for (const char* sample : {"box_three_boxes.vt1", "stand_two_slabs.vt1"}) {
    InputPageLogic logic(md);
    ProjectState state = DefaultProjectState();
    // A file saved with empty longitudinal tables, as earlier saves wrote them.
    std::vector<std::string> lines = SampleLines(sample);
    const auto from = std::find(lines.begin(), lines.end(), "[KZ2_POSTBL]");
    const auto to = std::find(lines.begin(), lines.end(), "[Fm_MAIN]");
    ASSERT_TRUE(from != lines.end() && to != lines.end());
    lines.erase(from, to);
    const std::vector<std::string> empty = {"[KZ2_POSTBL]", "     0", "[KZ2_BZITBL]", "     0"};
    lines.insert(std::find(lines.begin(), lines.end(), "[Fm_MAIN]"), empty.begin(), empty.end());
    ASSERT_TRUE(LoadProjectText(state, JoinLinesCrLf(lines), "p.vt1", logic).loaded);
    EXPECT_GT(state.longitudinal.node_count, 0) << sample;
    EXPECT_GT(state.longitudinal.member_count, 0) << sample;
    const std::vector<std::string> out = ProjectFileLines(state, "p.vt1", logic);
    for (const char* block : {"[KZ2_POSTBL]", "[KZ2_BZITBL]"}) {
      const auto at = std::find(out.begin(), out.end(), block);
      ASSERT_NE(at, out.end());
      EXPECT_GT(ReadInt(*(at + 1)), 0) << sample << " " << block;
    }
  }
}

}  // namespace
}  // namespace vaultra
