#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

#include "app/pages/page_logic_impl.h"
#include "app/document/project_file.h"
#include "core/fileio.h"
#include "core/ui.h"

namespace vaultra {
namespace {

namespace fs = std::filesystem;

std::size_t IndexOf(const std::vector<std::string>& lines, const std::string& line) {
  auto it = std::find(lines.begin(), lines.end(), line);
  EXPECT_NE(it, lines.end()) << line;
  return static_cast<std::size_t>(it - lines.begin());
}

std::string Text(const std::vector<std::string>& lines) {
  return JoinLinesCrLf(lines);
}

std::vector<std::string> DefaultLines() {
  ProjectState s = DefaultProjectState();
  PageLogic logic;
  return ProjectFileLines(s, "p.vt1", logic);
}

// A small structure: three blocks (two real), three nodes and two members
// across, one node and one member along.
ProjectState WithStructure() {
  ProjectState s = DefaultProjectState();
  s.transverse.real_block_count = 2;
  s.transverse.block_count = 3;
  for (int k = 1; k <= 3; ++k) {
    BlockRecord& b = s.block_row.At(k);
    b.default_set.kind = k;
    b.default_set.B() = 2.5;
    b.working_set = b.default_set;
    b.working_set.H() = 1.25 * k;
    b.working_set.r(23) = -0.75;
    b.x = 3.0 * k;
    b.z = -0.15;
  }
  s.transverse.node_count = 3;
  s.transverse.Node(1) = {0, {1, 0, 0, 0, 0, 0, 0}, 0.0, 0.0};
  s.transverse.Node(2) = {0, {2, 0, 0, 0, 0, 0, 9}, 1.23456, -0.5};
  s.transverse.Node(3) = {0, {0, 0, 0, 0, 0, 0, 0}, 4.0, 2.0};
  s.transverse.member_count = 2;
  for (int k = 1; k <= 3; ++k) {
    ModelMember& m = s.transverse.Member(k);
    m.block = k;
    m.node_i = k;
    m.node_j = k + 1;
    m.type = 10 + k;
    m.mirrored = k % 2;
    m.spare[6] = 70 + k;
    m.points[0] = 2.5;
    m.points[7] = -1.25;
    m.length = 99;  // recomputed, never stored
    s.transverse.Section(k).v[0] = 12345.678;
    s.transverse.Section(k).v[28] = 1.0e7;
    s.transverse.Section(k).v[29] = 100.0 * k;
    s.transverse.Section(k).v[57] = 0.125;
  }
  s.longitudinal.node_count = 1;
  s.longitudinal.Node(1).x = 7.5;
  s.longitudinal.member_count = 1;
  s.longitudinal.Member(1).type = 5;
  s.longitudinal.Section(1).v[30] = 42;
  s.longitudinal.Member(2).type = 6;  // behind the count: not written
  return s;
}

TEST(ProjectFile, WritesTheHeaderAndTheFixedWidthStructureBlocks) {
  ProjectState s = WithStructure();
  PageLogic logic;
  const std::vector<std::string> lines = ProjectFileLines(s, "/data/p.vt1", logic);
  EXPECT_EQ(lines[0], "Orvane設計書(スタンド型) = 1.01");
  EXPECT_EQ(lines[1], "/data/p.vt1");
  EXPECT_EQ(lines[2], "");
  const std::size_t blk = IndexOf(lines, "[KZ1_BLKTBL]");
  EXPECT_EQ(lines[blk + 1], "     2     3");
  EXPECT_EQ(lines[blk + 2], "     1");
  // 24 fields: B = 2.5, 22 zeros, then the zero filler.
  std::string set1 = "   2.500";
  for (int i = 0; i < 23; ++i) set1 += "   0.000";
  EXPECT_EQ(lines[blk + 3], set1);
  EXPECT_EQ(lines[blk + 5].substr(0, 16), "   2.500   1.250");
  EXPECT_EQ(lines[blk + 5].substr(22 * 8), "  -0.750   0.000");
  EXPECT_EQ(lines[blk + 6], "   3.000  -0.150");

  const std::size_t pos = IndexOf(lines, "[KZ1_POSTBL]");
  EXPECT_EQ(lines[pos + 1], "     3");
  EXPECT_EQ(lines[pos + 4], "     2     2     0     0     0     0     0     9");
  EXPECT_EQ(lines[pos + 5], "  1.2346 -0.5000");

  const std::size_t bzi = IndexOf(lines, "[KZ1_BZITBL]");
  EXPECT_EQ(lines[bzi + 1], "     2");
  EXPECT_EQ(lines[bzi + 2],
            "     1     1     1     2     0     0    11     0     1     0     0     0     0     0"
            "     0    71");
  EXPECT_EQ(lines[bzi + 3], "   2.500   0.000   0.000   0.000   0.000   0.000   0.000  -1.250");
  // Values 30..58 first, then 1..29; wide values are cut to 8 characters.
  EXPECT_EQ(lines[bzi + 4].substr(0, 8), " 100.000");
  EXPECT_EQ(lines[bzi + 4].substr(28 * 8), "   0.125");
  EXPECT_EQ(lines[bzi + 5].substr(0, 8), " 12345.6");
  EXPECT_EQ(lines[bzi + 5].substr(28 * 8), " 1000000");
  EXPECT_EQ(lines[bzi + 6], "");
}

TEST(ProjectFile, TransverseMemberBlockHoldsOneEntryMoreThanItsCount) {
  ProjectState s = WithStructure();
  PageLogic logic;
  const std::vector<std::string> lines = ProjectFileLines(s, "p.vt1", logic);
  const std::size_t kz1 = IndexOf(lines, "[KZ1_BZITBL]");
  const std::size_t kz2pos = IndexOf(lines, "[KZ2_POSTBL]");
  const std::size_t kz2 = IndexOf(lines, "[KZ2_BZITBL]");
  const std::size_t main = IndexOf(lines, "[Fm_MAIN]");
  EXPECT_EQ(kz2pos - kz1, 1u + 1u + 3u * 5u);  // count line, M + 1 = 3 entries of 5 lines
  EXPECT_EQ(main - kz2, 1u + 1u + 1u * 5u);    // exactly M = 1 entry
  EXPECT_EQ(lines[kz1 + 2 + 2 * 5].substr(0, 6), "     3");
}

TEST(ProjectFile, StructureBlocksReadBackAsWrittenAndShortenedWhereCut) {
  ProjectState s = WithStructure();
  PageLogic logic;
  const std::string text = Text(ProjectFileLines(s, "p.vt1", logic));
  ProjectState r = DefaultProjectState();
  LoadResult res = LoadProjectText(r, text, "q.vt1", logic);
  ASSERT_TRUE(res.loaded);
  EXPECT_TRUE(res.errors.empty());
  EXPECT_EQ(res.version, "1.01");
  EXPECT_EQ(r.project_path, "q.vt1");
  EXPECT_EQ(r.transverse.real_block_count, 2);
  EXPECT_EQ(r.transverse.block_count, 3);
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(r.block_row.At(k).default_set, s.block_row.At(k).default_set);
    EXPECT_EQ(r.block_row.At(k).working_set, s.block_row.At(k).working_set);
    EXPECT_DOUBLE_EQ(r.block_row.At(k).x, 3.0 * k);
    EXPECT_DOUBLE_EQ(r.block_row.At(k).z, -0.15);
  }
  EXPECT_EQ(r.transverse.node_count, 3);
  EXPECT_EQ(r.transverse.Node(2).codes, (std::array<int, 7>{2, 0, 0, 0, 0, 0, 9}));
  EXPECT_DOUBLE_EQ(r.transverse.Node(2).x, 1.2346);
  EXPECT_DOUBLE_EQ(r.transverse.Node(2).y, -0.5);
  EXPECT_EQ(r.transverse.member_count, 2);
  for (int k = 1; k <= 3; ++k) {  // the entry behind the count is read too
    const ModelMember& m = r.transverse.Member(k);
    EXPECT_EQ(m.number, k);
    EXPECT_EQ(m.node_j, k + 1);
    EXPECT_EQ(m.type, 10 + k);
    EXPECT_EQ(m.mirrored, k % 2);
    EXPECT_EQ(m.spare[6], 70 + k);
    EXPECT_DOUBLE_EQ(m.points[7], -1.25);
    EXPECT_DOUBLE_EQ(m.length, 0);  // not stored
    EXPECT_DOUBLE_EQ(r.transverse.Section(k).v[0], 12345.6);
    EXPECT_DOUBLE_EQ(r.transverse.Section(k).v[28], 1000000);
    EXPECT_DOUBLE_EQ(r.transverse.Section(k).v[29], 100.0 * k);
    EXPECT_DOUBLE_EQ(r.transverse.Section(k).v[57], 0.125);
  }
  EXPECT_EQ(r.longitudinal.member_count, 1);
  EXPECT_DOUBLE_EQ(r.longitudinal.Node(1).x, 7.5);
  EXPECT_DOUBLE_EQ(r.longitudinal.Section(1).v[30], 42);
  EXPECT_EQ(r.longitudinal.Member(2).type, 0);
}

// Replaces the count line behind a block header.
std::string WithCount(const std::string& header, const std::string& count_line) {
  ProjectState s = WithStructure();
  PageLogic logic;
  std::vector<std::string> lines = ProjectFileLines(s, "p.vt1", logic);
  lines[IndexOf(lines, header) + 1] = count_line;
  return Text(lines);
}

TEST(ProjectFile, RefusesCountsBeyondCapacityAndKeepsThePreviousTables) {
  struct Case {
    const char* header;
    std::string count_line;
  };
  const Case cases[] = {
      {"[KZ1_BLKTBL]", "     2   160"},                              // 160 > 159 blocks
      {"[KZ1_BLKTBL]", "     4     3"},                              // more real blocks than blocks
      {"[KZ1_BLKTBL]", "    -1     3"}, {"[KZ1_POSTBL]", "   416"},  // 416 > 415 nodes
      {"[KZ1_POSTBL]", "    -3"},       {"[KZ1_BZITBL]", "   417"},  // 417 > 416 members
      {"[KZ2_POSTBL]", "999999"},       {"[KZ2_BZITBL]", "  1e12"},
  };
  for (const Case& c : cases) {
    ProjectState r = WithStructure();
    r.transverse.Node(1).x = -9;  // marks the previous state
    r.longitudinal.Node(1).x = -8;
    r.block_row.At(1).x = -7;
    r.transverse.Member(1).type = 31;
    r.longitudinal.Member(1).type = 32;
    const ProjectState before = r;
    PageLogic logic;
    LoadResult res = LoadProjectText(r, WithCount(c.header, c.count_line), "p.vt1", logic);
    ASSERT_TRUE(res.loaded);
    ASSERT_EQ(res.errors.size(), 1u) << c.header << c.count_line;
    EXPECT_NE(res.errors[0].find(c.header), std::string::npos);
    const std::string h = c.header;
    // The refused block keeps its previous table; the others are read.
    EXPECT_EQ(r.block_row.At(1).x == -7, h == "[KZ1_BLKTBL]") << h;
    EXPECT_EQ(r.transverse.Node(1).x == -9, h == "[KZ1_POSTBL]") << h;
    EXPECT_EQ(r.transverse.Member(1).type == 31, h == "[KZ1_BZITBL]") << h;
    EXPECT_EQ(r.longitudinal.Node(1).x == -8, h == "[KZ2_POSTBL]") << h;
    EXPECT_EQ(r.longitudinal.Member(1).type == 32, h == "[KZ2_BZITBL]") << h;
    if (h == "[KZ1_BLKTBL]") {
      EXPECT_EQ(r.transverse.block_count, before.transverse.block_count);
      EXPECT_EQ(r.block_row, before.block_row);
    }
    if (h == "[KZ1_POSTBL]") {
      EXPECT_EQ(r.transverse.nodes, before.transverse.nodes);
    }
  }
}

TEST(ProjectFile, RefusesABlockCutShortByTheNextHeaderOrTheFileEnd) {
  ProjectState s = WithStructure();
  PageLogic logic;
  std::vector<std::string> lines = ProjectFileLines(s, "p.vt1", logic);
  lines[IndexOf(lines, "[KZ1_POSTBL]") + 1] = "     4";  // one node more than the lines hold
  ProjectState r = DefaultProjectState();
  r.transverse.Node(1).x = -9;
  LoadResult res = LoadProjectText(r, Text(lines), "p.vt1", logic);
  ASSERT_EQ(res.errors.size(), 1u);
  EXPECT_DOUBLE_EQ(r.transverse.Node(1).x, -9);
  EXPECT_EQ(r.transverse.member_count, 2);  // the next block is still read

  // The file ends inside the longitudinal member block.
  std::vector<std::string> cut(
      lines.begin(), lines.begin() + static_cast<long>(IndexOf(lines, "[KZ2_BZITBL]")) + 3);
  ProjectState t = DefaultProjectState();
  t.longitudinal.Member(1).type = 32;
  res = LoadProjectText(t, Text(cut), "p.vt1", logic);
  EXPECT_TRUE(res.loaded);
  EXPECT_EQ(t.longitudinal.Member(1).type, 32);
  EXPECT_GE(res.errors.size(), 2u);  // the cut block and the missing last section
}

TEST(ProjectFile, Version100ShiftsGroundColumnsOnlyOnRowsWithAThickness) {
  std::vector<std::string> lines = DefaultLines();
  lines[0] = "Orvane設計書(スタンド型) = 1.00";
  const std::size_t g = IndexOf(lines, "Grid1 = 21");
  lines[g + 2] = "1,2.000,10.0,18.000,0.450,10.00,30.00,1";  // version 1.00 rows have 8 cells
  lines[g + 3] = "2,0,5.0,17.000,0.400,5.00,25.00,2";
  lines[g + 4] = "3,,6.0,16.000,0.300,4.00,20.00,1";
  lines[g + 5] = "4, 0.5,7.0,15.000,0.350,3.00,28.00,2";
  for (const char* version : {"1.00", "1.01"}) {
    lines[0] = std::string("Orvane設計書(スタンド型) = ") + version;
    ProjectState r = DefaultProjectState();
    PageLogic logic;
    LoadResult res = LoadProjectText(r, Text(lines), "p.vt1", logic);
    EXPECT_EQ(res.version, version);
    const GridData& grid = r.ground.At("Grid1").grid;
    ASSERT_EQ(grid.row_count(), 21);
    const bool shifted = std::string(version) == "1.00";
    const std::vector<std::string> row1_shifted = {"1",     "2.000", "10.0",  "18.000", "9.00",
                                                   "0.450", "10.00", "30.00", "1"};
    const std::vector<std::string> row1_plain = {"1",     "2.000", "10.0", "18.000", "0.450",
                                                 "10.00", "30.00", "1",    ""};
    EXPECT_EQ(grid.rows[1], shifted ? row1_shifted : row1_plain) << version;
    EXPECT_EQ(grid.rows[2], (std::vector<std::string>{"2", "0", "5.0", "17.000", "0.400", "5.00",
                                                      "25.00", "2", ""}));
    EXPECT_EQ(grid.Cell(4, 3), "0.300");  // empty thickness: no shift
    EXPECT_EQ(grid.Cell(4, 4), shifted ? "9.00" : "0.350");
    EXPECT_EQ(grid.Cell(8, 4), shifted ? "2" : "");
    EXPECT_EQ(res.OldFormat(), shifted);
  }
}

TEST(ProjectFile, FirstLineWithoutEqualsLoadsWithTheOldFormatWarning) {
  std::vector<std::string> lines = DefaultLines();
  lines[0] = "Orvane設計書";
  const std::size_t e = IndexOf(lines, "EdBlockDepth =   0.500");
  lines[e] = "EdBlockDepth =   2.250";
  const std::string path = (fs::path(testing::TempDir()) / "noeq.vt1").string();
  ASSERT_TRUE(WriteFileAtomic(path, Text(lines)));
  ProjectState r = DefaultProjectState();
  PageLogic logic;
  RecordingUi ui;
  LoadResult res = OpenProjectFile(r, path, logic, ui);
  EXPECT_TRUE(res.loaded);
  EXPECT_EQ(res.version, "");
  EXPECT_EQ(r.model.Text("EdBlockDepth"), "  2.250");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, kOldFormatWarning);
  EXPECT_EQ(ui.messages[0].kind, MsgKind::kWarning);
}

TEST(ProjectFile, CurrentVersionShowsNoWarning) {
  const std::string path = (fs::path(testing::TempDir()) / "cur.vt1").string();
  ASSERT_TRUE(WriteFileAtomic(path, Text(DefaultLines())));
  ProjectState r = DefaultProjectState();
  PageLogic logic;
  RecordingUi ui;
  LoadResult res = OpenProjectFile(r, path, logic, ui);
  EXPECT_TRUE(res.errors.empty());
  EXPECT_TRUE(res.warnings.empty());
  EXPECT_TRUE(ui.messages.empty());
}

TEST(ProjectFile, SecondSaveOfALoadedFileIsByteIdentical) {
  ProjectState s = WithStructure();
  s.ground.At("Grid1").grid.SetCell(1, 1, " 2.000");
  PageLogic logic;
  const std::string first = Text(ProjectFileLines(s, "p.vt1", logic));
  ProjectState a = DefaultProjectState();
  LoadProjectText(a, first, "p.vt1", logic);
  const std::string second = Text(ProjectFileLines(a, "p.vt1", logic));
  ProjectState b = DefaultProjectState();
  LoadProjectText(b, second, "p.vt1", logic);
  const std::string third = Text(ProjectFileLines(b, "p.vt1", logic));
  EXPECT_EQ(second, third);
  // The first reopening turns empty cells into blanks and formats the
  // section-detail fields by their tags.
  EXPECT_NE(first, second);
  EXPECT_EQ(a.section_detail.Text("edM"), " 4931.800");
  EXPECT_EQ(a.ground.At("Grid1").grid.Cell(2, 1), " ");
}

TEST(ProjectFile, MiniGateIsStoredAsABoxFacility) {
  ProjectState s = DefaultProjectState();
  s.model.At("CoBox0").SetIndex(2);
  s.model.At("CoBox1").SetItems({"a", "b", "c", "d"});
  s.model.At("CoBox1").SetIndex(3);
  PageLogic logic;
  const std::vector<std::string> lines = ProjectFileLines(s, "p.vt1", logic);
  EXPECT_EQ(lines[0], "Orvane設計書(ボックス型) = 1.01");
  EXPECT_EQ(s.model.Text("ModelIndex"), "    1");
  EXPECT_EQ(s.model.Text("BlockIndex"), "    3");
  ProjectState r = DefaultProjectState();
  r.model.At("CoBox1").SetItems({"a", "b"});  // the reopening program knows fewer rows
  LoadProjectText(r, Text(lines), "p.vt1", logic);
  EXPECT_EQ(r.model.Index("CoBox0"), 1);
  EXPECT_EQ(r.model.Index("CoBox1"), 1);  // clamped into its list
}

TEST(ProjectFile, FixedLengthTextsAreCutOnCharacterBoundaries) {
  ProjectState s = DefaultProjectState();
  std::string name(63, 'n');
  name += "名前";
  s.model.SetText("EdModelName", name);
  std::string path(259, 'p');
  path += "あ.vt1";
  PageLogic logic;
  const std::vector<std::string> lines = ProjectFileLines(s, path, logic);
  EXPECT_EQ(lines[1], std::string(259, 'p'));
  EXPECT_EQ(lines[2], std::string(63, 'n'));
  ProjectState r = DefaultProjectState();
  LoadProjectText(r, Text(lines), path, logic);
  EXPECT_EQ(r.model.Text("EdModelName"), std::string(63, 'n'));
}

TEST(ProjectFile, RefusesTextsThatAreNoProjectFileAndKeepsTheState) {
  const std::string texts[] = {"", "\r\n\r\n", "hello world\r\n",
                               std::string("\x89PNG\r\n\x1a\n\0\0", 10),
                               "[NotASection]\r\nA = 1\r\n"};
  for (const std::string& t : texts) {
    ProjectState r = WithStructure();
    r.model.SetText("EdBlockDepth", "keep");
    PageLogic logic;
    LoadResult res = LoadProjectText(r, t, "x.vt1", logic);
    EXPECT_FALSE(res.loaded);
    EXPECT_FALSE(res.errors.empty());
    EXPECT_EQ(r.model.Text("EdBlockDepth"), "keep");
    EXPECT_EQ(r.transverse.node_count, 3);
    EXPECT_EQ(r.project_path, "");
  }
}

TEST(ProjectFile, ReportsAFileCutInTheMiddleOfALine) {
  std::string text = Text(DefaultLines());
  text.resize(text.size() - 3);  // "CkTaH2 = 0\r\n" loses "0\r\n"
  ProjectState r = DefaultProjectState();
  PageLogic logic;
  LoadResult res = LoadProjectText(r, text, "p.vt1", logic);
  EXPECT_TRUE(res.loaded);
  EXPECT_EQ(res.errors.size(), 1u);
}

TEST(ProjectFile, GroundGridIsResetAfterReading) {
  std::vector<std::string> lines = DefaultLines();
  const std::size_t g = IndexOf(lines, "Grid1 = 21");
  lines.erase(lines.begin() + static_cast<long>(g) + 4, lines.begin() + static_cast<long>(g) + 22);
  lines[g] = "Grid1 = 3";
  lines[g + 1] = "x,y";  // a damaged header row
  lines[g + 2] = "9,1.500,4.0";
  ProjectState r = DefaultProjectState();
  PageLogic logic;
  LoadResult res = LoadProjectText(r, Text(lines), "p.vt1", logic);
  EXPECT_TRUE(res.errors.empty());
  const GridData& grid = r.ground.At("Grid1").grid;
  ASSERT_EQ(grid.row_count(), 21);
  EXPECT_EQ(grid.Cell(0, 0), "地層,No");
  EXPECT_EQ(grid.Cell(1, 0), "層厚,(ｍ)");
  EXPECT_EQ(grid.Cell(0, 1), "1");  // renumbered
  EXPECT_EQ(grid.Cell(1, 1), "1.500");
  EXPECT_EQ(grid.Cell(0, 20), "20");
}

// Writes beyond a file-size limit fail, which lets a test make a save fail
// even with the rights of root.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lim = old_;
    lim.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lim);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, old_handler_);
  }

 private:
  rlimit old_{};
  void (*old_handler_)(int) = nullptr;
};

TEST(ProjectFile, FailedSaveKeepsTheOldFileAndSaysSo) {
  const fs::path dir = fs::path(testing::TempDir()) / "atomic";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string path = (dir / "old.vt1").string();
  ASSERT_TRUE(WriteFileAtomic(path, "old contents\r\n"));
  ProjectState s = DefaultProjectState();
  PageLogic logic;
  RecordingUi ui;
  bool ok;
  {
    FileSizeLimit limit(64);
    ok = SaveProjectFileUi(s, path, logic, ui);
  }
  EXPECT_FALSE(ok);
  EXPECT_EQ(ReadFileBytes(path).value_or(""), "old contents\r\n");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].kind, MsgKind::kError);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()),
            1);  // no temporary left
  EXPECT_TRUE(SaveProjectFileUi(s, path, logic, ui));
  EXPECT_NE(ReadFileBytes(path).value_or(""), "old contents\r\n");
}

// The shipped default resume file is the designed default state as the
// program saves it after opening it: with the structure tables the default
// model page regenerates, so that opening and saving it again changes nothing.
TEST(ProjectFile, ShippedDefaultResumeFileIsTheRegeneratedDesignedDefaults) {
  const std::optional<std::string> shipped =
      ReadFileBytes(std::string(VAULTRA_SOURCE_DIR) + "/vaultra.ini");
  ASSERT_TRUE(shipped);
  RecordingUi ui;
  const MasterData md = LoadMasterData(std::string(VAULTRA_SOURCE_DIR) + "/Master/材料/", ui);
  InputPageLogic logic(md);
  const fs::path dir = fs::path(testing::TempDir()) / "default_resume";
  fs::create_directories(dir);
  const std::string designed = (dir / "designed.ini").string();
  PageLogic plain;
  ProjectState defaults = DefaultProjectState();
  ASSERT_TRUE(WriteFileAtomic(designed, Text(ProjectFileLines(defaults, "", plain))));
  ProjectState s = DefaultProjectState();
  ASSERT_TRUE(LoadProjectFile(s, designed, logic).loaded);
  EXPECT_TRUE(logic.TakeMessages().empty());
  EXPECT_EQ(s.transverse.member_count, 15);  // the stand of two slabs
  EXPECT_EQ(*shipped, Text(ProjectFileLines(s, "vaultra.ini", logic)));
  ProjectState again = DefaultProjectState();
  ASSERT_TRUE(
      LoadProjectFile(again, std::string(VAULTRA_SOURCE_DIR) + "/vaultra.ini", logic).loaded);
  EXPECT_EQ(*shipped, Text(ProjectFileLines(again, "vaultra.ini", logic)));
  EXPECT_NE(shipped->find("\r\n"), std::string::npos);
  // cp932 on disk: the facility type name is "スタンド型" in Shift-JIS.
  EXPECT_EQ(shipped->substr(0, 23),
            "Orvane\x90\xdd\x8c\x76\x8f\x91(\x83\x58\x83\x5e\x83\x93\x83\x68\x8c\x5e");
}

TEST(ProjectFile, SampleProjectLoadsCleanly) {
  ProjectState r = DefaultProjectState();
  PageLogic logic;
  LoadResult res =
      LoadProjectFile(r, std::string(VAULTRA_SOURCE_DIR) + "/samples/stand_two_slabs.vt1", logic);
  ASSERT_TRUE(res.loaded);
  EXPECT_TRUE(res.errors.empty());
  EXPECT_TRUE(res.warnings.empty());
  EXPECT_EQ(r.model.Text("Ed_slbSu"), "    2");
  EXPECT_TRUE(r.model.Checked("RbWaterDepthON"));
  EXPECT_FALSE(r.model.Checked("RbWaterDepthOff"));
  EXPECT_EQ(r.ground.At("Grid1").grid.Cell(1, 3), " 3.000");
}

}  // namespace
}  // namespace vaultra

namespace vaultra {
namespace {

class FileCommands : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(testing::TempDir()) /
           ("cmd_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  std::string P(const std::string& name) const { return (dir_ / name).string(); }
  fs::path dir_;
  PageLogic logic_;
  RecordingUi ui_;
};

TEST_F(FileCommands, SaveAsksBeforeReplacingAnExistingFile) {
  ProjectState s = DefaultProjectState();
  s.project_path = P("p.vt1");
  ASSERT_TRUE(WriteFileAtomic(s.project_path, "old\r\n"));
  ui_.answer = false;
  EXPECT_FALSE(SaveCommand(s, logic_, ui_, nullptr));
  EXPECT_EQ(ReadFileBytes(s.project_path).value_or(""), "old\r\n");
  ASSERT_EQ(ui_.questions.size(), 1u);
  EXPECT_EQ(ui_.questions[0], "ファイル\n" + P("p.vt1") + "\nに上書きします、よろしいですか？");
  ui_.answer = true;
  EXPECT_TRUE(SaveCommand(s, logic_, ui_, nullptr));
  EXPECT_EQ(ReadFileBytes(s.project_path).value_or("").substr(0, 6), "Orvane");
}

TEST_F(FileCommands, SaveWithoutAFileBehavesAsSaveAs) {
  ProjectState s = DefaultProjectState();
  s.project_path = P("never_saved.vt1");
  EXPECT_FALSE(SaveCommand(s, logic_, ui_, [] { return std::nullopt; }));  // dialog cancelled
  EXPECT_EQ(s.project_path, P("never_saved.vt1"));
  EXPECT_TRUE(
      SaveCommand(s, logic_, ui_, [this] { return std::optional<std::string>(P("chosen.txt")); }));
  EXPECT_EQ(s.project_path, P("chosen.vt1"));
  EXPECT_TRUE(FileExists(P("chosen.vt1")));
  EXPECT_TRUE(ui_.questions.empty());
}

TEST_F(FileCommands, OpenSavesTheResumeFileThenReadsTheProject) {
  ProjectState a = DefaultProjectState();
  a.model.SetText("EdModelName", "opened");
  ASSERT_TRUE(SaveProjectFile(a, P("proj.vt1"), logic_));
  ProjectState s = DefaultProjectState();
  s.model.SetText("EdModelName", "before");
  LoadResult r = OpenCommand(s, P("proj.txt"), P("#vaultra.ini"), logic_, ui_);
  EXPECT_TRUE(r.loaded);
  EXPECT_EQ(s.project_path, P("proj.vt1"));
  EXPECT_EQ(s.model.Text("EdModelName"), "opened");
  // The resume file holds the state before the open.
  ProjectState resumed = DefaultProjectState();
  LoadResumeFile(resumed, P("#vaultra.ini"), P("missing.ini"), logic_, ui_);
  EXPECT_EQ(resumed.model.Text("EdModelName"), "before");
  // Without a resume file the default resume file is read.
  ProjectState fresh = DefaultProjectState();
  LoadResumeFile(fresh, P("none.ini"), P("proj.vt1"), logic_, ui_);
  EXPECT_EQ(fresh.model.Text("EdModelName"), "opened");
  EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace
}  // namespace vaultra
