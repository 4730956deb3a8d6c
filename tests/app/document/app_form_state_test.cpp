#include <gtest/gtest.h>

#include "app/document/form_state.h"

namespace vaultra {
namespace {

GridData Grid(int cols, int rows) {
  GridData g;
  g.SetColCount(cols);
  g.SetRowCount(rows);
  return g;
}

std::vector<Control> EveryKind() {
  std::vector<Control> c;
  c.push_back(EditControl("EdA", "  1.500", 73));
  c.push_back(DropDownControl("CbB", {"x", "y", "z"}, 2));
  c.push_back(RadioGroupControl("RgC", {"p", "q"}, 1));
  c.push_back(RadioButtonControl("RbD", "g", true));
  c.push_back(RadioButtonControl("RbE", "g", false));
  c.push_back(CheckBoxControl("CkF", true));
  c.push_back(SpeedButtonControl("SbG", true));
  c.push_back(ListBoxControl("LbH", {"first item", "", "ｱ,b"}, 10));
  GridData g = Grid(3, 3);
  g.SetCell(0, 0, "層厚,(ｍ)");
  g.SetCell(1, 0, "N\"q");
  g.SetCell(2, 0, "a b");
  g.SetCell(0, 1, "1");
  g.SetCell(1, 1, "2.5");
  g.SetCell(2, 1, "x");
  g.SetCell(0, 2, "3");
  g.SetCell(1, 2, "4");
  g.SetCell(2, 2, "5");
  c.push_back(GridControl("GdI", g, 10));
  return c;
}

// Resets every value to something the file must overwrite.
std::vector<Control> Blanked(std::vector<Control> c) {
  for (Control& k : c) {
    k.text = "old";
    k.index = 0;
    k.checked = !k.checked;
    if (k.kind == ControlKind::kListBox) k.items = {"stale"};
    if (k.kind == ControlKind::kGrid) k.grid = Grid(k.grid.col_count(), 1);
  }
  return c;
}

TEST(FormState, WritesEachKindInItsKeyFormat) {
  std::vector<std::string> lines;
  WriteControls(lines, "Fm99TST", EveryKind());
  const std::vector<std::string> expected = {"[Fm99TST]", "EdA =   1.500",
                                             "CbB = 2",   "RgC = 1",
                                             "RbD = 1",   "RbE = 0",
                                             "CkF = 1",   "SbG = 1",
                                             "LbH = 3",   "first item",
                                             "",          "ｱ,b",
                                             "GdI = 3",   "\"層厚,(ｍ)\",\"N\"\"q\",\"a b\"",
                                             "1,2.5,x",   "3,4,5"};
  EXPECT_EQ(lines, expected);
}

TEST(FormState, RoundTripsEveryControlKind) {
  std::vector<std::string> lines = {"junk before", "[Other]", "EdA = wrong section"};
  WriteControls(lines, "Fm99TST", EveryKind());
  lines.push_back("[Next]");
  lines.push_back("EdA = after the section");
  std::vector<Control> read = Blanked(EveryKind());
  ASSERT_TRUE(ReadControls(lines, "Fm99TST", read));
  const std::vector<Control> original = EveryKind();
  ASSERT_EQ(read.size(), original.size());
  EXPECT_EQ(read[0].text, "  1.500");
  EXPECT_EQ(read[1].index, 2);
  EXPECT_EQ(read[2].index, 1);
  EXPECT_TRUE(read[3].checked);
  EXPECT_FALSE(read[4].checked);
  EXPECT_TRUE(read[5].checked);
  EXPECT_TRUE(read[6].checked);
  EXPECT_EQ(read[7].items, original[7].items);
  // Grid header rows are stored with the data rows.
  EXPECT_EQ(read[8].grid.rows, original[8].grid.rows);
}

TEST(FormState, UnnamedRadioButtonIsNotWritten) {
  std::vector<std::string> lines;
  WriteControls(lines, "S", {RadioButtonControl("", "g", true), CheckBoxControl("Ck", false)});
  EXPECT_EQ(lines, (std::vector<std::string>{"[S]", "Ck = 0"}));
}

TEST(FormState, EmptyGridCellReopensAsABlankAndIsThenWrittenQuoted) {
  GridData g = Grid(3, 1);
  g.SetCell(0, 0, "a");
  g.SetCell(2, 0, "c");
  std::vector<std::string> lines;
  WriteControls(lines, "S", {GridControl("G", g, 5)});
  EXPECT_EQ(lines[2], "a,,c");
  std::vector<Control> read = {GridControl("G", Grid(3, 4), 5)};
  ASSERT_TRUE(ReadControls(lines, "S", read));
  EXPECT_EQ(read[0].grid.rows, (std::vector<std::vector<std::string>>{{"a", " ", "c"}}));
  std::vector<std::string> again;
  WriteControls(again, "S", read);
  EXPECT_EQ(again[2], "a,\" \",c");
}

TEST(FormState, KeyLinesFollowTheBlankEqualsBlankRule) {
  struct Case {
    const char* line;
    const char* expected;  // the edit text afterwards
  };
  const Case cases[] = {
      {"Ed=1.5", "old"},                                 // no blanks: not recognised
      {"Ed =1.5", "old"},                                // blank on one side only
      {"Ed= 1.5", "old"},      {"Ed = a = b", "a = b"},  // only the first "=" ends the key
      {"Ed = ", ""},                                     // an empty value
      {"Ed =", "old"},                                   // nothing after "=": no key
      {"Ed =  lead", " lead"},                           // leading blanks of the value kept
      {"ed = lower", "old"},                             // names are compared exactly
      {"XEd = other", "old"},
  };
  for (const Case& c : cases) {
    std::vector<Control> controls = {EditControl("Ed", "old")};
    ReadControls({"[S]", c.line}, "S", controls);
    EXPECT_EQ(controls[0].text, c.expected) << c.line;
  }
}

TEST(FormState, SectionEndsAtTheNextBracketLineAndMissingKeysStay) {
  std::vector<Control> controls = {EditControl("A", "a0"), EditControl("B", "b0")};
  ASSERT_TRUE(ReadControls({"[S]", "A = a1", "[T]", "B = b1"}, "S", controls));
  EXPECT_EQ(controls[0].text, "a1");
  EXPECT_EQ(controls[1].text, "b0");
  EXPECT_FALSE(ReadControls({"[T]", "A = x"}, "S", controls));
  EXPECT_EQ(controls[0].text, "a1");
}

TEST(FormState, GridRowsAreConsumedEvenWhenTheyStartWithABracket) {
  std::vector<Control> controls = {GridControl("G", Grid(2, 1), 5), EditControl("E", "old")};
  ASSERT_TRUE(ReadControls({"[S]", "G = 2", "[a],b", "c,d", "E = new"}, "S", controls));
  EXPECT_EQ(controls[0].grid.Cell(0, 0), "[a]");
  EXPECT_EQ(controls[0].grid.Cell(1, 1), "d");
  EXPECT_EQ(controls[1].text, "new");
}

TEST(FormState, ValueIsCutTo999BytesOnACharacterBoundary) {
  // 998 ASCII bytes, then a two-byte character that would end at byte 1000.
  std::string value(998, 'x');
  value += "あ";
  value += "tail";
  std::vector<Control> controls = {EditControl("E", "")};
  ReadControls({"[S]", "E = " + value}, "S", controls);
  EXPECT_EQ(controls[0].text, std::string(998, 'x'));
  std::string exact(997, 'y');
  exact += "あ";  // ends exactly at 999
  ReadControls({"[S]", "E = " + exact + "z"}, "S", controls);
  EXPECT_EQ(controls[0].text, exact);
}

TEST(FormState, RefusesListAndGridCountsBeyondCapacityOrTheFileEnd) {
  GridData before = Grid(2, 2);
  before.SetCell(0, 1, "kept");
  struct Case {
    std::vector<std::string> lines;
    bool expect_error;
  };
  const Case cases[] = {
      {{"[S]", "G = 4", "1,2", "3,4", "5,6", "7,8", "L = 1", "item", "E = read"},
       true},                                             // 4 > capacity 3
      {{"[S]", "G = -1", "L = 9", "E = read"}, true},     // negative, and list > 5
      {{"[S]", "L = 2", "only one", "E = read"}, false},  // "E = read" taken as item
      {{"[S]", "E = read", "G = 3", "1,2"}, true},        // cut by the file end
  };
  for (const Case& c : cases) {
    std::vector<Control> controls = {GridControl("G", before, 3), ListBoxControl("L", {"old"}, 5),
                                     EditControl("E", "old")};
    std::vector<std::string> errors;
    ReadControls(c.lines, "S", controls, &errors);
    EXPECT_EQ(!errors.empty(), c.expect_error) << c.lines[1];
    if (c.expect_error) {
      EXPECT_EQ(controls[0].grid, before) << c.lines[1];
      EXPECT_EQ(controls[2].text, "read") << c.lines[1];
    }
  }
  // The list with two items consumes the key line behind its one item.
  std::vector<Control> controls = {ListBoxControl("L", {}, 5), EditControl("E", "old")};
  ReadControls({"[S]", "L = 2", "only one", "E = read"}, "S", controls);
  EXPECT_EQ(controls[0].items, (std::vector<std::string>{"only one", "E = read"}));
  EXPECT_EQ(controls[1].text, "old");
}

// An index the list does not hold (a catalogue changed since the file was
// written) leaves the choice as it was.
TEST(FormState, StoredListIndexBeyondItsListChangesNothing) {
  struct Case {
    const char* line;
    int expected;
  };
  for (const Case& c : {Case{"R = 7", 1}, Case{"R = -5", 1}, Case{"R = -1", -1}, Case{"R = 1", 1}, Case{"R = x", 0}}) {
    std::vector<Control> controls = {RadioGroupControl("R", {"a", "b", "c"}, 1)};
    ReadControls({"[S]", c.line}, "S", controls);
    EXPECT_EQ(controls[0].index, c.expected) << c.line;
    EXPECT_EQ(controls[0].SelectedText(),
              c.expected < 0 ? "" : std::string(1, static_cast<char>('a' + c.expected)));
  }
  // A list not filled yet keeps the stored index until its items arrive.
  std::vector<Control> controls = {DropDownControl("D", {}, 0)};
  ReadControls({"[S]", "D = 12"}, "S", controls);
  EXPECT_EQ(controls[0].index, 12);
  EXPECT_EQ(controls[0].SelectedText(), "");
  controls[0].SetItems({"a", "b"});
  EXPECT_EQ(controls[0].index, 1);
}

TEST(FormState, CheckingARadioButtonClearsItsGroup) {
  std::vector<Control> controls = {RadioButtonControl("A", "g", true),
                                   RadioButtonControl("B", "g", false),
                                   RadioButtonControl("C", "h", true)};
  ReadControls({"[S]", "B = 1"}, "S", controls);
  EXPECT_FALSE(controls[0].checked);
  EXPECT_TRUE(controls[1].checked);
  EXPECT_TRUE(controls[2].checked);
}

TEST(FormState, ValuesNeverCarryALineBreakIntoTheFile) {
  GridData g = Grid(2, 1);
  g.SetCell(0, 0, "a\r\nb");
  std::vector<std::string> lines;
  WriteControls(lines, "S", {EditControl("E", "x\ny"), GridControl("G", g, 2)});
  EXPECT_EQ(lines[1], "E = x y");
  EXPECT_EQ(lines[3], "\"a  b\",");
}

}  // namespace
}  // namespace vaultra
