// Runs the built executable: `vaultra resave` on good and broken files.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <regex>

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

  RunResult Vaultra(const std::string& args, const std::string& exe = VAULTRA_EXE) const {
    const std::string cmd =
        "'" + exe + "' " + args + " >'" + P("stdout") + "' 2>'" + P("stderr") + "'";
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
  // The sample with one text replaced.
  auto with = [&](const std::string& from, const std::string& to) {
    std::string s = sample;
    const std::size_t at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) s.replace(at, from.size(), to);
    return s;
  };
  auto without_section = [&](const char* header) {
    const std::size_t from = sample.find(header);
    const std::size_t to = sample.find("\r\n[", from + 1);
    return sample.substr(0, from) + (to == std::string::npos ? "" : sample.substr(to + 2));
  };
  std::string repeated_headers = sample;
  for (int i = 0; i < 20000; ++i) repeated_headers += "[KZ2_BZITBL]\r\n[Fm11MDL]\r\n";
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
      // Each would save the pages' defaults over what could not be read.
      {"cut_before_section", sample.substr(0, sample.find("[Fm33OR2]"))},
      {"damaged_header", with("[Fm16KYD]", "[Fm16KYD]\x81")},
      {"missing_section", without_section("[Fm15KAJ]")},
      {"missing_table", without_section("[KZ2_POSTBL]")},
      {"grid_count_not_a_number", with("Grid1 = 21", "Grid1 = abc")},
      {"grid_without_rows", with("Grid1 = 21", "Grid1 = 0")},
      {"trailing_junk", with("nSca1 =    14.00", "nSca1 = 1e8abc")},
      {"duplicate_key", with("nSca1 =    14.00", "nSca1 =    14.00\r\nnSca1 =    15.00")},
      {"repeated_headers", repeated_headers},
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

// A file that ends at a line boundary before its last sections: the
// missing sections are named, and no file is written, since it would hold
// the pages' defaults in place of what could not be read.
TEST_F(ResaveCli, AFileEndingBeforeItsLastSectionsIsNotSavedWithDefaults) {
  const std::string sample = Sample();
  const std::string cut = sample.substr(0, sample.find("[Fm16KYD]"));
  ASSERT_TRUE(WriteFileAtomic(P("cut.vt1"), cut));
  const RunResult r = Resave(P("cut.vt1"), P("cut_out.vt1"));
  EXPECT_EQ(r.status, 2) << r.err;
  for (const char* section : {"[Fm16KYD]", "[Fm33OR2]", "[fmUtOryk]"})
    EXPECT_NE(r.err.find(section), std::string::npos) << section << "\n" << r.err;
  EXPECT_EQ(ReadFileBytes(P("cut.vt1")).value_or(""), cut);
  EXPECT_FALSE(fs::exists(P("cut_out.vt1")));
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

TEST_F(ResaveCli, VersionNamesTheReleaseAndTheNewestHistoryDate) {
  RunResult r = Vaultra("--version");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(
      std::regex_match(r.out, std::regex(R"(Vaultra [0-9]+\.[0-9]+ \(Ver\.2026\.12\.09\)\n)")))
      << r.out;
}

// "vaultra NAME --help" prints that sub-command's lines of the usage and
// succeeds, wherever --help stands; other unknown options still fail.
TEST_F(ResaveCli, SubcommandHelpPrintsItsUsageAndSucceeds) {
  const struct {
    const char* args;
    const char* first_line;
    std::size_t lines = 3;  // usage:, the sub-command, exit status
  } cases[] = {
      {"calc --help", "  vaultra calc PROJECT.vt1 [--work-dir DIR]"},
      {"calc some.vt1 -h", "  vaultra calc PROJECT.vt1 [--work-dir DIR]"},
      {"frame --help", "  vaultra frame PROJECT.vt1"},
      {"solve --help", "  vaultra solve FRAMETEXT"},
      {"section --help", "  vaultra section NAME=VALUE"},
      {"resave a.vt1 --help", "  vaultra resave IN.vt1 OUT.vt1"},
      {"draw --help", "  vaultra draw FILE.PCJ"},
      {"template --help", "  vaultra template FILE LABEL"},
      {"report --help", "  vaultra report PROJECT.vt1", 4},       // one continuation line
      {"figure --help", "  vaultra figure PROJECT.vt1 KIND", 5},  // two continuation lines
  };
  for (const auto& c : cases) {
    RunResult r = Vaultra(c.args);
    EXPECT_EQ(r.status, 0) << c.args << "\n" << r.err;
    EXPECT_EQ(r.err, "") << c.args;
    EXPECT_EQ(r.out.rfind(std::string("usage:\n") + c.first_line, 0), 0u) << c.args << "\n"
                                                                          << r.out;
    // Only the one sub-command's lines, then the exit statuses.
    const std::size_t lines =
        static_cast<std::size_t>(std::count(r.out.begin(), r.out.end(), '\n'));
    EXPECT_EQ(lines, c.lines) << c.args << "\n" << r.out;
    EXPECT_NE(r.out.find("\nexit status: 0 "), std::string::npos) << c.args;
  }
  EXPECT_EQ(Vaultra("calc --helpme").status, 2);
  EXPECT_EQ(Vaultra("--bogus").status, 2);
}

// An installed copy: the executable in PREFIX/lib/vaultra, started through
// the link PREFIX/bin/vaultra, reads the catalogue and the default resume
// file of its real folder; without a readable catalogue it runs nothing.
TEST_F(ResaveCli, InstalledCopyFindsItsFolderThroughTheBinLink) {
  const fs::path program = dir_ / "prefix" / "lib" / "vaultra";
  fs::create_directories(program);
  fs::create_directories(dir_ / "prefix" / "bin");
  fs::copy_file(VAULTRA_EXE, program / "vaultra");
  fs::copy_file(fs::path(VAULTRA_SOURCE_DIR) / "vaultra.ini", program / "vaultra.ini");
  fs::create_symlink("../lib/vaultra/vaultra", dir_ / "prefix" / "bin" / "vaultra");
  const std::string link = (dir_ / "prefix" / "bin" / "vaultra").string();
  const std::string sample =
      std::string("'") + VAULTRA_SOURCE_DIR + "/samples/box_groundwater_stored.vt1'";
  const std::string work = " --work-dir '" + P("work") + "'";

  RunResult r = Vaultra("calc " + sample + work, link);
  EXPECT_EQ(r.status, 2) << r.out;
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find(program.string() + "/Master/"), std::string::npos) << r.err;

  fs::copy(fs::path(VAULTRA_SOURCE_DIR) / "Master", program / "Master",
           fs::copy_options::recursive);
  r = Vaultra("calc " + sample + work, link);
  // The copy has no frame library beside it: it runs the demo solver, as
  // the build tree does when asked to.
  const RunResult built = Vaultra("calc " + sample + work + " --internal");
  EXPECT_EQ(r.status, 0) << r.err;  // every check of this sample is satisfied
  EXPECT_EQ(r.status, built.status);
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("solver: internal"), std::string::npos) << r.out;
  EXPECT_EQ(r.out, built.out);
}

}  // namespace
}  // namespace vaultra
