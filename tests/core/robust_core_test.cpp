// Numbers, texts and files at the program's edge: what hostile or careless
// input turns into.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "core/cp932.h"
#include "core/fileio.h"
#include "core/number.h"
#include "core/ui.h"

namespace vaultra {
namespace {

namespace fs = std::filesystem;

TEST(RobustNumbers, OverflowSaturatesWhetherByExponentOrByDigits) {
  const std::string digits309 = "1" + std::string(308, '0');  // 1e308: still a double
  const std::string digits400 = "1" + std::string(399, '0');
  struct Case {
    std::string text;
    double expected;
  } cases[] = {
      {digits309, 1e308},
      {digits400, DBL_MAX},
      {"-" + digits400, -DBL_MAX},
      {digits400 + ".5", DBL_MAX},
      {"1e999", DBL_MAX},
      {"-1e999", -DBL_MAX},
      {"1e-999", 0.0},
      {"0." + std::string(400, '0') + "1", 0.0},
  };
  for (const Case& c : cases) {
    const std::optional<double> v = ParseRealStrict(c.text);
    ASSERT_TRUE(v.has_value()) << c.text.substr(0, 12);
    EXPECT_EQ(*v, c.expected) << c.text.substr(0, 12);
  }
}

TEST(RobustNumbers, TextsAreTakenRefusedOrWarnedAbout) {
  struct Case {
    const char* text;
    NumberCheck expected;
  } cases[] = {
      {"22.00", NumberCheck::kOk},
      {" -3.5 ", NumberCheck::kOk},
      {"１２３", NumberCheck::kOk},
      {"1e9", NumberCheck::kOk},
      {"", NumberCheck::kNotANumber},
      {"abc", NumberCheck::kNotANumber},
      {"0x10", NumberCheck::kNotANumber},
      {"1,5", NumberCheck::kNotANumber},
      {"nan", NumberCheck::kImplausible},
      {"-INF", NumberCheck::kImplausible},
      {"Infinity", NumberCheck::kImplausible},
      {"1e308", NumberCheck::kImplausible},
      {"1e999", NumberCheck::kImplausible},
      {"1.000001e9", NumberCheck::kImplausible},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckNumberText(c.text), c.expected) << Cp932ToUtf8(c.text);
}

// The strict reader: the whole field, finite, or the reason it is none.
TEST(RobustNumbers, AFieldIsOneFiniteNumberOrSaysWhyNot) {
  struct Case {
    const char* text;
    NumberStatus status;
    double value;
  } cases[] = {
      {" 14.00 ", NumberStatus::kOk, 14.0},
      {"-2.5", NumberStatus::kOk, -2.5},
      {"+3e2", NumberStatus::kOk, 300.0},
      {"１２．５", NumberStatus::kOk, 12.5},  // full-width, as the pages accept
      {"1e-999", NumberStatus::kOk, 0.0},     // underflow is a number: 0
      {"", NumberStatus::kEmpty, 0},
      {"   ", NumberStatus::kEmpty, 0},
      {"abc", NumberStatus::kNoNumber, 0},
      {"0x10", NumberStatus::kTrailing, 0},  // "0" and then "x10"
      {".", NumberStatus::kNoNumber, 0},
      {"1e8abc", NumberStatus::kTrailing, 0},
      {"1e999x", NumberStatus::kTrailing, 0},
      {"1,5", NumberStatus::kTrailing, 0},
      {"12 34", NumberStatus::kTrailing, 0},
      {"1e999", NumberStatus::kNotFinite, 0},
      {"-1e999", NumberStatus::kNotFinite, 0},
      {"nan", NumberStatus::kNotFinite, 0},
      {"-Infinity", NumberStatus::kNotFinite, 0},
  };
  for (const Case& c : cases) {
    const NumberParse p = ParseFiniteNumber(c.text);
    EXPECT_EQ(p.status, c.status) << Cp932ToUtf8(c.text);
    EXPECT_EQ(p.value, c.value) << Cp932ToUtf8(c.text);
    EXPECT_EQ(*NumberStatusText(p.status) == '\0', p.ok()) << Cp932ToUtf8(c.text);
  }
}

// Messages as shown: one per problem whatever its line, the repeats
// counted, and a bounded list with the rest counted.
TEST(RobustText, MessagesAreOnePerProblemAndBounded) {
  std::vector<std::string> texts;
  for (int i = 1; i <= 1000; ++i) texts.push_back(Format("%d 行目: 見出しが壊れています", i));
  texts.push_back("ファイルが空です");
  for (int i = 0; i < 100; ++i) texts.push_back(Format("別の問題 %d", i));
  const std::vector<std::string> out = BoundedMessages(texts, 10);
  ASSERT_EQ(out.size(), 11u);  // 10 problems and the count of the rest
  EXPECT_EQ(out[0], "1 行目: 見出しが壊れています(ほかに同じもの 999 件)");
  EXPECT_EQ(out[1], "ファイルが空です");
  EXPECT_EQ(out[2], "別の問題 0");
  // 100 other problems, 8 shown: 92 counted.
  EXPECT_EQ(out[10], "ほかに 92 件のメッセージがあります(省略)");
  EXPECT_EQ(BoundedMessages({"a", "b"}), (std::vector<std::string>{"a", "b"}));
}

TEST(RobustText, Utf8AndCp932AreToldApart) {
  const std::string japanese_cp932 = "Orvane設計書(ボックス型) = 1.01";  // literals are cp932
  const std::string japanese_utf8 = Cp932ToUtf8(japanese_cp932);
  EXPECT_TRUE(IsValidUtf8(japanese_utf8));
  EXPECT_FALSE(IsValidUtf8(japanese_cp932));
  EXPECT_TRUE(IsValidCp932(japanese_cp932));
  EXPECT_TRUE(IsValidUtf8("plain ascii"));
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));      // overlong '/'
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
  EXPECT_FALSE(IsValidUtf8("\xE3\x81"));      // cut short
  EXPECT_FALSE(IsValidCp932("\x82"));         // lead byte at the end
  EXPECT_FALSE(IsValidCp932("\xFF"));
}

class RobustFiles : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(testing::TempDir()) /
           ("robust_files_" +
            std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }
  std::string P(const std::string& name) const { return (dir_ / name).string(); }
  static mode_t ModeOf(const std::string& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st.st_mode & 07777;
  }
  fs::path dir_;
};

TEST_F(RobustFiles, SavingKeepsTheModeOfTheFileItReplaces) {
  ASSERT_TRUE(WriteFileAtomic(P("a.vt1"), "old"));
  ASSERT_EQ(::chmod(P("a.vt1").c_str(), 0640), 0);
  ASSERT_TRUE(WriteFileAtomic(P("a.vt1"), "new"));
  EXPECT_EQ(ModeOf(P("a.vt1")), 0640u);
  EXPECT_EQ(ReadFileBytes(P("a.vt1")).value_or(""), "new");
}

TEST_F(RobustFiles, SavingThroughALinkWritesItsTargetAndKeepsTheLink) {
  ASSERT_TRUE(WriteFileAtomic(P("real.vt1"), "old"));
  fs::create_symlink(P("real.vt1"), P("link.vt1"));
  std::string error;
  ASSERT_TRUE(WriteFileAtomic(P("link.vt1"), "new", &error)) << error;
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(P("link.vt1"))));
  EXPECT_EQ(ReadFileBytes(P("real.vt1")).value_or(""), "new");
}

TEST_F(RobustFiles, AReadOnlyTargetIsRefusedAndKept) {
  ASSERT_TRUE(WriteFileAtomic(P("ro.vt1"), "keep"));
  ASSERT_EQ(::chmod(P("ro.vt1").c_str(), 0444), 0);
  std::string error;
  EXPECT_FALSE(WriteFileAtomic(P("ro.vt1"), "lost", &error));
  EXPECT_NE(error.find("読み取り専用"), std::string::npos) << Cp932ToUtf8(error);
  EXPECT_EQ(ReadFileBytes(P("ro.vt1")).value_or(""), "keep");
  EXPECT_EQ(ModeOf(P("ro.vt1")), 0444u);
  // No temporary file is left beside it.
  int files = 0;
  for (const auto& e : fs::directory_iterator(dir_)) files += e.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, 1);
}

TEST_F(RobustFiles, StaleTemporaryFilesOfOurOwnNameAreRemovedOthersKept) {
  const std::string stale = P("p.vt1.tmp0a1b2c"), fresh = P("p.vt1.tmp00ffee"),
                    other = P("q.vt1.tmp0a1b2c"), odd = P("p.vt1.tmpnothex");
  for (const std::string& f : {stale, fresh, other, odd}) ASSERT_TRUE(WriteFileAtomic(f, "x"));
  // Backdate the stale ones past the age a running save could have.
  const std::time_t an_hour_ago = std::time(nullptr) - 3600;
  const struct utimbuf old { an_hour_ago, an_hour_ago };
  for (const std::string& f : {stale, other, odd}) ASSERT_EQ(::utime(f.c_str(), &old), 0);
  ASSERT_TRUE(WriteFileAtomic(P("p.vt1"), "data"));
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(fresh));  // may belong to a save running now
  EXPECT_TRUE(fs::exists(other));
  EXPECT_TRUE(fs::exists(odd));
}

TEST_F(RobustFiles, ErrorsSayWhy) {
  EXPECT_EQ(FileErrorText(ENOSPC), "ディスクがいっぱいです");
  EXPECT_EQ(FileErrorText(EDQUOT), "ディスクがいっぱいです");
  EXPECT_EQ(FileErrorText(EACCES), "アクセス権がありません");

  fs::create_directories(P("folder"));
  ASSERT_EQ(::mkfifo(P("fifo").c_str(), 0600), 0);
  struct Case {
    std::string path;
    const char* words;
  } cases[] = {
      {P("folder"), "通常のファイルではありません(フォルダー)"},
      {P("fifo"), "通常のファイルではありません(FIFO)"},
      {"/dev/null", "通常のファイルではありません(デバイス)"},
      {P("missing"), "ファイルがありません"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(ReadFileBytes(c.path, &error).has_value()) << c.path;
    EXPECT_NE(error.find(c.words), std::string::npos) << Cp932ToUtf8(error);
  }
  // Writing onto a folder is refused with the same words.
  std::string error;
  EXPECT_FALSE(WriteFileAtomic(P("folder"), "x", &error));
  EXPECT_NE(error.find("フォルダー"), std::string::npos) << Cp932ToUtf8(error);
}

TEST_F(RobustFiles, AnUnreadableFileSaysPermission) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  ASSERT_TRUE(WriteFileAtomic(P("secret.vt1"), "x"));
  ASSERT_EQ(::chmod(P("secret.vt1").c_str(), 0), 0);
  std::string error;
  EXPECT_FALSE(ReadFileBytes(P("secret.vt1"), &error).has_value());
  EXPECT_NE(error.find("アクセス権がありません"), std::string::npos);
}

TEST_F(RobustFiles, AWorkingFolderIsLockedForOneRunAtATime) {
  std::string error;
  std::optional<FolderLock> first = FolderLock::Acquire(dir_.string(), &error);
  ASSERT_TRUE(first.has_value()) << Cp932ToUtf8(error);
  std::optional<FolderLock> second = FolderLock::Acquire(dir_.string(), &error);
  EXPECT_FALSE(second.has_value());
  EXPECT_NE(error.find("使用中"), std::string::npos) << Cp932ToUtf8(error);
  EXPECT_NE(error.find(std::to_string(::getpid())), std::string::npos) << Cp932ToUtf8(error);
  first.reset();  // the run ends
  EXPECT_TRUE(FolderLock::Acquire(dir_.string(), &error).has_value());
}

}  // namespace
}  // namespace vaultra
