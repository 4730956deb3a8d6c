// Runs the built executable: `vaultra resave` on good and broken files.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "core/fileio.h"

namespace vaultra {
namespace {

namespace fs = std::filesystem;

struct RunResult {
  int status = -1;
  std::string err;
  std::string out;
};

class ResaveCli : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(testing::TempDir()) /
           ("resave_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "work");
  }

  std::string P(const std::string& name) const { return (dir_ / name).string(); }

  RunResult Vaultra(const std::string& args) const {
    const std::string cmd = std::string("'") + VAULTRA_EXE + "' " + args + " >'" + P("stdout") +
                            "' 2>'" + P("stderr") + "'";
    RunResult r;
    const int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.err = ReadFileBytes(P("stderr")).value_or("");
    r.out = ReadFileBytes(P("stdout")).value_or("");
    return r;
  }

  RunResult Resave(const std::string& in, const std::string& out) const {
    return Vaultra("resave '" + in + "' '" + out + "' --work-dir '" + P("work") + "'");
  }

  static std::string Sample() {
    return ReadFileBytes(std::string(VAULTRA_SOURCE_DIR) + "/samples/stand_two_slabs.vt1")
        .value_or("");
  }

  fs::path dir_;
};

TEST_F(ResaveCli, GoodFileIsSavedAgainAndTheSecondResaveIsByteIdentical) {
  const std::string sample = Sample();
  ASSERT_FALSE(sample.empty());
  ASSERT_TRUE(WriteFileAtomic(P("in.vt1"), sample));
  RunResult r = Resave(P("in.vt1"), P("out.vt1"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFileBytes(P("in.vt1")).value_or(""), sample);
  const std::string first = ReadFileBytes(P("out.vt1")).value_or("");
  ASSERT_FALSE(first.empty());
  EXPECT_NE(first.find(P("out.vt1")), std::string::npos);  // header line 2 names where it was saved
  r = Resave(P("out.vt1"), P("out.vt1"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFileBytes(P("out.vt1")).value_or(""), first);
}

TEST_F(ResaveCli, BrokenFilesFailWithStatus2AndStayUnchanged) {
  const std::string sample = Sample();
  std::mt19937 rng(12345);
  std::string random(4000, '\0');
  for (char& c : random) c = static_cast<char>(rng() & 0xFF);
  std::string oversized = sample;
  const std::size_t pos = oversized.find("[KZ1_POSTBL]\r\n");
  ASSERT_NE(pos, std::string::npos);
  oversized.replace(pos + 14, 6, "  9999");
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"random", random},
      {"text", "just some notes\r\nnothing else\r\n"},
      {"truncated_mid_line", sample.substr(0, sample.size() / 2 + 7)},
      {"oversized_count", oversized},
      {"header_only", "Orvane設計書(スタンド型) = 1.01\r\n"},
  };
  for (const auto& c : cases) {
    const std::string in = P(std::string(c.name) + ".vt1");
    const std::string out = P(std::string(c.name) + "_out.vt1");
    ASSERT_TRUE(WriteFileAtomic(in, c.bytes));
    RunResult r = Resave(in, out);
    EXPECT_EQ(r.status, 2) << c.name << "\n" << r.err;
    EXPECT_FALSE(r.err.empty()) << c.name;
    EXPECT_EQ(ReadFileBytes(in).value_or("?"), c.bytes) << c.name;
    EXPECT_FALSE(fs::exists(out)) << c.name;
  }
}

// A file that ends at a line boundary before its last sections loads as far
// as it goes: the missing sections keep their controls, with a warning each.
TEST_F(ResaveCli, AFileEndingBeforeItsLastSectionsIsSavedWithWarnings) {
  const std::string sample = Sample();
  const std::string cut = sample.substr(0, sample.find("[Fm16KYD]"));
  ASSERT_TRUE(WriteFileAtomic(P("cut.vt1"), cut));
  const RunResult r = Resave(P("cut.vt1"), P("cut_out.vt1"));
  EXPECT_EQ(r.status, 0) << r.err;
  for (const char* section : {"[Fm16KYD]", "[Fm33OR2]", "[fmUtOryk]"})
    EXPECT_NE(r.err.find(section), std::string::npos) << section << "\n" << r.err;
  EXPECT_EQ(ReadFileBytes(P("cut.vt1")).value_or(""), cut);
  EXPECT_TRUE(fs::exists(P("cut_out.vt1")));
}

TEST_F(ResaveCli, BadArgumentsAndMissingInputGiveStatus2) {
  EXPECT_EQ(Resave(P("missing.vt1"), P("o.vt1")).status, 2);
  EXPECT_EQ(Vaultra("resave only_one.vt1").status, 2);
  EXPECT_EQ(Vaultra("resave a.vt1 b.vt1 --bogus").status, 2);
  ASSERT_TRUE(WriteFileAtomic(P("in.vt1"), Sample()));
  // An output that cannot be written.
  RunResult r = Resave(P("in.vt1"), P("no_such_dir/o.vt1"));
  EXPECT_EQ(r.status, 2);
  EXPECT_FALSE(r.err.empty());
}

TEST_F(ResaveCli, OldFormatFileIsResavedWithAWarning) {
  std::string old = Sample();
  const std::size_t eol = old.find("\r\n");
  old.replace(eol - 4, 4, "1.00");
  ASSERT_TRUE(WriteFileAtomic(P("old.vt1"), old));
  RunResult r = Resave(P("old.vt1"), P("new.vt1"));
  EXPECT_EQ(r.status, 0) << r.err;
  // stderr is UTF-8.
  EXPECT_NE(r.err.find(reinterpret_cast<const char*>(u8"旧形式のファイルです")), std::string::npos)
      << r.err;
  const std::string saved = ReadFileBytes(P("new.vt1")).value_or("");
  const std::string line1 = saved.substr(0, saved.find("\r\n"));
  ASSERT_GE(line1.size(), 4u);
  EXPECT_EQ(line1.substr(line1.size() - 4), "1.01");
}

TEST_F(ResaveCli, VersionNamesTheNewestHistoryDate) {
  RunResult r = Vaultra("--version");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Vaultra Ver.2026.12.09 ()\n");
}

}  // namespace
}  // namespace vaultra
