#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "core/fileio.h"
#include "core/grid.h"
#include "core/number.h"

namespace vaultra {
namespace {

class FixedWidthMeasure : public TextMeasure {
 public:
  int TextWidth(std::string_view s) const override { return static_cast<int>(s.size()) * 7; }
};

TEST(GridHeader, TakesWidthsAndCaptionsFromTheSpec) {
  GridData grid;
  grid.SetRowCount(2);
  FixedWidthMeasure m;
  int total = SetupGridHeader(grid, 0, "38:地層,No┃80:層厚,(ｍ)┃48:,Ｎ値", m);
  ASSERT_EQ(grid.col_count(), 3);
  EXPECT_EQ(grid.col_widths, (std::vector<int>{38, 80, 48}));
  EXPECT_EQ(grid.Cell(0, 0), "地層,No");
  EXPECT_EQ(grid.Cell(1, 0), "層厚,(ｍ)");
  EXPECT_EQ(grid.Cell(2, 0), ",Ｎ値");
  EXPECT_EQ(total, 1 + 39 + 81 + 49);
}

TEST(GridHeader, MeasuresCaptionsWithoutAWidthAndDropsALeadingBar) {
  GridData grid;
  FixedWidthMeasure m;
  int total = SetupGridHeader(grid, 0, "┃ab,abcd┃", m);
  ASSERT_EQ(grid.col_count(), 1);
  EXPECT_EQ(grid.col_widths[0], 5 * 7);  // "abcd" + "X"
  EXPECT_EQ(grid.Cell(0, 0), "ab,abcd");
  EXPECT_EQ(total, 1 + 36);
}

TEST(GridHeader, KeepsExtraColumnsAndIgnoresOutOfRangeCells) {
  GridData grid;
  grid.SetColCount(5);
  FixedWidthMeasure m;
  SetupGridHeader(grid, 0, "10:a┃20:b", m);
  EXPECT_EQ(grid.col_count(), 5);
  grid.SetCell(9, 9, "x");  // ignored
  EXPECT_EQ(grid.Cell(9, 9), "");
}

TEST(Lines, SplitAndJoinWithCrLf) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_EQ(SplitLines(""), std::vector<std::string>{});
  EXPECT_EQ(JoinLinesCrLf({"x", ""}), "x\r\n\r\n");
}

TEST(AtomicWrite, ReplacesTheFileAndLeavesNoTemporaryBehind) {
  auto dir = std::filesystem::temp_directory_path() / "vaultra_core_atomic";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  std::string target = FromFsPath(dir) + "/設計.vt1";
  ASSERT_TRUE(WriteFileAtomic(target, "old"));
  ASSERT_TRUE(WriteFileAtomic(target, "new"));
  EXPECT_EQ(*ReadFileBytes(target), "new");
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(dir)) (void)e, ++entries;
  EXPECT_EQ(entries, 1);
  // The UTF-8 name on disk.
  EXPECT_TRUE(std::filesystem::exists(dir / "\xE8\xA8\xAD\xE8\xA8\x88.vt1"));
  std::filesystem::remove_all(dir);
}

TEST(AtomicWrite, WritesPastATemporaryNameLeftByAnotherWriter) {
  // A crashed writer with this process's id left its temporary behind: the
  // write takes another name and leaves that file alone.
  auto dir = std::filesystem::temp_directory_path() / "vaultra_core_atomic_taken";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string target = FromFsPath(dir) + "/Yoko0.F31";
  const std::string taken = target + Format(".tmp%06x", static_cast<unsigned>(getpid()) & 0xFFFFFF);
  ASSERT_TRUE(WriteFileAtomic(taken, "left behind"));
  ASSERT_TRUE(WriteFileAtomic(target, "result"));
  EXPECT_EQ(*ReadFileBytes(target), "result");
  EXPECT_EQ(*ReadFileBytes(taken), "left behind");
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(dir)) (void)e, ++entries;
  EXPECT_EQ(entries, 2);
  std::filesystem::remove_all(dir);
}

TEST(AtomicWrite, FailsWithoutTouchingAnythingWhenTheFolderIsMissing) {
  std::string error;
  EXPECT_FALSE(WriteFileAtomic("/nonexistent-vaultra-dir/x.vt1", "data", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(ReadFileBytes("/nonexistent-vaultra-dir/x.vt1").has_value());
}

TEST(Paths, ChangeExtensionAndSplitFolders) {
  EXPECT_EQ(ChangeExtension("/a/b/設計.txt", ".vt1"), "/a/b/設計.vt1");
  EXPECT_EQ(ChangeExtension("/a.d/noext", ".vt1"), "/a.d/noext.vt1");
  EXPECT_EQ(FileNameOf("/a/b/c.csv"), "c.csv");
  EXPECT_EQ(DirectoryOf("/a/b/c.csv"), "/a/b/");
  EXPECT_EQ(WithTrailingSlash("/x"), "/x/");
}

}  // namespace
}  // namespace vaultra
