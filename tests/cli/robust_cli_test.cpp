// The executable on hostile and careless input: exit status 2 with the
// reason named, never "O.K." on numbers that are none, never a changed
// input file. VAULTRA_TEST_EXE runs the same cases against another build.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/cp932.h"
#include "core/fileio.h"
#include "core/number.h"

namespace vaultra {
namespace {

namespace fs = std::filesystem;

struct CliRun {
  int status = -1;
  std::string out, err;  // UTF-8
};

class RobustCli : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(testing::TempDir()) /
           ("robust_cli_" +
            std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "work");
  }
  std::string P(const std::string& name) const { return (dir_ / name).string(); }
  static std::string Exe() {
    const char* other = std::getenv("VAULTRA_TEST_EXE");
    return other && *other ? other : VAULTRA_EXE;
  }
  CliRun Vaultra(const std::string& args, const std::string& env = "",
                 const std::string& exe = Exe()) const {
    const std::string cmd = env + " '" + exe + "' " + args + " >'" + P("stdout") + "' 2>'" +
                            P("stderr") + "' </dev/null";
    const int raw = std::system(cmd.c_str());
    CliRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    r.out = ReadFileBytes(P("stdout")).value_or("");
    r.err = ReadFileBytes(P("stderr")).value_or("");
    return r;
  }
  std::string Work() const { return " --work-dir '" + P("work") + "'"; }
  // A sample with one key of one section replaced (cp932 file).
  std::string SampleWith(const std::string& section, const std::string& key,
                         const std::string& value) const {
    std::vector<std::string> lines =
        SplitLines(ReadFileBytes(std::string(VAULTRA_SOURCE_DIR) + "/samples/box_three_boxes.vt1")
                       .value_or(""));
    bool in = false, done = false;
    for (std::string& l : lines) {
      if (!l.empty() && l[0] == '[') in = l == "[" + section + "]";
      if (in && !done && l.rfind(key + " = ", 0) == 0) {
        l = key + " = " + value;
        done = true;
      }
    }
    EXPECT_TRUE(done) << key;
    const std::string path = P(key + ".vt1");
    EXPECT_TRUE(WriteFileAtomic(path, JoinLinesCrLf(lines)));
    return path;
  }
  static std::string U(const char* cp932) { return Cp932ToUtf8(cp932); }
  fs::path dir_;
};

TEST_F(RobustCli, AbsurdOrMissingNumbersNeverGiveAVerdict) {
  struct Case {
    const char* section;
    const char* key;
    const char* value;
  } cases[] = {
      {"Fm15KAJ", "Ed_Gst", "1e308"}, {"Fm15KAJ", "Ed_Gst", "1e999"},
      {"Fm16KYD", "Ec1", "1e308"},    {"Fm16KYD", "Ec1", "abc"},
      {"Fm16KYD", "Gc1", "0"},        {"Fm15KAJ", "Ed_Kah", "1e308"},
      {"Fm15KAJ", "Ed_q", "1e999"},   {"Fm11MDL", "EdBlockDepth", "1e308"},
      {"Fm16KYD", "Es1", "nan"},      {"Fm15KAJ", "Ed_Gw", ""},
  };
  for (const Case& c : cases) {
    const std::string project = SampleWith(c.section, c.key, c.value);
    const CliRun r = Vaultra("calc '" + project + "'" + Work() + " --json '" + P("out.json") + "'");
    const std::string what = std::string(c.key) + " = " + c.value;
    EXPECT_EQ(r.status, 2) << what << "\n" << r.err;
    EXPECT_NE(r.err.find(c.key), std::string::npos) << what << "\n" << r.err;
    EXPECT_EQ(r.out.find("O.K."), std::string::npos) << what;
    const std::string json = ReadFileBytes(P("out.json")).value_or("");
    EXPECT_EQ(json.find("\"O.K.\""), std::string::npos) << what;
    fs::remove(P("out.json"));
  }
}

TEST_F(RobustCli, SolveReadsItsInputAndNeverWritesIt) {
  const CliRun frame = Vaultra("frame '" + std::string(VAULTRA_SOURCE_DIR) +
                               "/samples/stand_two_slabs.vt1'" + Work());
  ASSERT_EQ(frame.status, 0) << frame.err;
  const std::string text = ReadFileBytes(P("work") + "/Yoko0.$O1").value_or("");
  ASSERT_FALSE(text.empty());
  std::vector<std::string> lines = SplitLines(text);

  struct Case {
    const char* what;
    int status;
    std::function<void(std::vector<std::string>&)> spoil;
  } cases[] = {
      {"as written", 0, [](std::vector<std::string>&) {}},
      {"node at 1e308", 2,
       [](std::vector<std::string>& l) {
         for (std::size_t i = 0; i < l.size(); ++i)
           if (l[i].rfind("POINT", 0) == 0) l[i + 1] = Format("%10d%10s%10.4f", 1, "1e308", 0.0);
       }},
      {"node at -1e308", 2,
       [](std::vector<std::string>& l) {
         for (std::size_t i = 0; i < l.size(); ++i)
           if (l[i].rfind("POINT", 0) == 0) l[i + 2] = Format("%10d%10.4f%10s", 2, 0.0, "-1e308");
       }},
      {"member on a node that is none", 2,
       [](std::vector<std::string>& l) {
         for (std::size_t i = 0; i < l.size(); ++i)
           if (l[i].rfind("MEMBER", 0) == 0) l[i + 1].replace(10, 5, "  999");
       }},
      {"member with both ends on one node", 2,
       [](std::vector<std::string>& l) {
         for (std::size_t i = 0; i < l.size(); ++i)
           if (l[i].rfind("MEMBER", 0) == 0) l[i + 1].replace(15, 5, l[i + 1].substr(10, 5));
       }},
  };
  for (const Case& c : cases) {
    std::vector<std::string> spoilt = lines;
    c.spoil(spoilt);
    const std::string input = P("frame.$O1");
    const std::string bytes = JoinLinesCrLf(spoilt);
    ASSERT_TRUE(WriteFileAtomic(input, bytes));
    const CliRun r = Vaultra("solve --internal '" + input + "'");
    EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.err;
    if (c.status == 2) {
      EXPECT_NE(r.err.find(U("行目")), std::string::npos) << c.what << r.err;
    }
    EXPECT_EQ(ReadFileBytes(input).value_or(""), bytes) << c.what << ": the input was rewritten";
  }
}

TEST_F(RobustCli, SectionRefusesWhatCannotExistAndFailsOnNg) {
  struct Case {
    std::string args;
    int status;
  } cases[] = {
      {"", 0},
      {"edM=99999", 1},  // flexural safety far above 1
      {"edH=0", 2},
      {"edH=-100", 2},
      {"edB=0", 2},
      {"edH=60 edDd1=40 edDd2=40", 2},  // the covers fill the height
      {"edAs1=-1", 2},
      {"edEc=0", 2},
      {"edM=1" + std::string(400, '0'), 2},
      {"edM=" + std::string(309, '9'), 2},
      {"edM=1e308", 2},
  };
  for (const Case& c : cases) {
    const CliRun r = Vaultra("section " + c.args);
    EXPECT_EQ(r.status, c.status) << c.args.substr(0, 40) << "\n" << r.err;
  }
}

TEST_F(RobustCli, ProjectsThatAreNoFilesAreNamedAsSuch) {
  fs::create_directories(P("folder.vt1"));
  ASSERT_EQ(::mkfifo(P("fifo.vt1").c_str(), 0600), 0);
  // The window opens all the same (with the message, on the resume state)
  // and, told to, closes at once: the status still says the project failed.
  const std::string window =
      "QT_QPA_PLATFORM=offscreen VAULTRA_EXIT_WHEN_SHOWN=1 XDG_DATA_HOME='" + P("xdg") + "'";
  struct Case {
    std::string args, env, words;
  } cases[] = {
      {"'" + P("missing.vt1") + "'", window, "no such project file"},
      {"'" + P("folder.vt1") + "'", window, "not a regular file"},
      {"calc '" + P("missing.vt1") + "'" + Work(), "", "no such project file"},
      {"calc '" + P("folder.vt1") + "'" + Work(), "", "not a regular file"},
      {"calc '" + P("fifo.vt1") + "'" + Work(), "", "not a regular file"},
      {"calc /dev/null" + Work(), "", "not a regular file"},
      {"", "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM", "no display"},
  };
  for (const Case& c : cases) {
    const CliRun r = Vaultra(c.args, c.env);
    EXPECT_EQ(r.status, 2) << c.args << "\n" << r.err;
    EXPECT_NE(r.err.find(c.words), std::string::npos) << c.args << "\n" << r.err;
  }
}

TEST_F(RobustCli, AWorkingFolderInUseIsToldNotShared) {
  std::string error;
  const std::optional<FolderLock> held = FolderLock::Acquire(P("work"), &error);
  ASSERT_TRUE(held.has_value());
  const CliRun r = Vaultra("calc '" + std::string(VAULTRA_SOURCE_DIR) +
                           "/samples/stand_two_slabs.vt1'" + Work());
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(U("使用中")), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(P("work") + "/Yoko0.$O1"));
}

TEST_F(RobustCli, ACatalogueThatIsMissingOrBrokenStopsTheRunWithStatus2) {
  // The program reads the catalogue beside itself: a copy of it in a folder
  // of our own, with the catalogue spoilt in several ways.
  const fs::path master = fs::path(VAULTRA_SOURCE_DIR) / "Master";
  const std::string sheet = "Master/材料/Orvaneﾏｽﾀｰ鉄筋の断面積.csv";
  struct Case {
    const char* what;
    std::function<void(const fs::path&)> spoil;
    const char* words;  // cp932
  } cases[] = {
      {"no Master folder", [](const fs::path& d) { fs::remove_all(d / "Master"); }, "がありません"},
      {"a CSV that is a folder",
       [&](const fs::path& d) {
         fs::remove(d / Cp932ToUtf8(sheet));
         fs::create_directories(d / Cp932ToUtf8(sheet));
       },
       "通常のファイルではありません"},
      {"absurd bar areas",
       [&](const fs::path& d) {
         const fs::path f = d / Cp932ToUtf8(sheet);
         std::string text = ReadFileBytes(FromFsPath(f)).value_or("");
         const std::size_t at = text.find("0.7133");
         ASSERT_NE(at, std::string::npos);
         text.replace(at, 6, "1e308");
         ASSERT_TRUE(WriteFileAtomic(FromFsPath(f), text));
       },
       "範囲"},
      {"an empty bar-area table",
       [&](const fs::path& d) {
         ASSERT_TRUE(WriteFileAtomic(FromFsPath(d / Cp932ToUtf8(sheet)), ""));
       },
       "1 件もありません"},
  };
  for (const Case& c : cases) {
    const fs::path d = dir_ / "prog";
    fs::remove_all(d);
    fs::create_directories(d);
    fs::copy_file(Exe(), d / "vaultra");
    fs::copy(master, d / "Master", fs::copy_options::recursive);
    // Without the workbook a missing CSV cannot be rebuilt.
    fs::remove(d / Cp932ToUtf8("Master/材料/Orvaneﾏｽﾀｰ.xls"));
    c.spoil(d);
    const CliRun r = Vaultra(
        "calc '" + std::string(VAULTRA_SOURCE_DIR) + "/samples/box_three_boxes.vt1'" + Work(), "",
        (d / "vaultra").string());
    EXPECT_EQ(r.status, 2) << c.what << "\n" << r.err;
    EXPECT_NE(r.err.find(U(c.words)), std::string::npos) << c.what << "\n" << r.err;
    EXPECT_EQ(r.out.find("O.K."), std::string::npos) << c.what;
  }
}

// The end-wall label of the other-checks page says "応力照査：ＯＫ" for the
// end walls alone: while a member fails, no O.K. may read as the run's
// verdict. Every O.K. names its check, and the last verdict line is the run's.
TEST_F(RobustCli, NoOkReadsAsTheWholeVerdictWhileACheckFails) {
  struct Case {
    const char* sample;
    int status;
    const char* verdict;
  };
  // Members 11 and 12 of the stand fail in shear under the normal load; the
  // three boxes pass every check.
  for (const Case& c : {Case{"stand_two_slabs", 1, "総合判定: N.G."},
                        Case{"box_three_boxes", 0, "総合判定: O.K."}}) {
    SCOPED_TRACE(c.sample);
    const CliRun r = Vaultra("calc '" + std::string(VAULTRA_SOURCE_DIR) + "/samples/" + c.sample +
                             ".vt1' --internal" + Work());
    ASSERT_EQ(r.status, c.status) << r.err;
    std::vector<std::string> lines = SplitLines(r.out);
    std::string verdict_line;
    int failed_members = 0;
    for (const std::string& l : lines) {
      const std::size_t at = l.find_first_not_of(' ');
      if (at == std::string::npos) continue;
      const std::string t = l.substr(at);
      if (t.rfind(U("総合判定:"), 0) == 0) verdict_line = t;
      if (t.find("N.G.") != std::string::npos && t[0] >= '0' && t[0] <= '9') ++failed_members;
      if (t.find("O.K.") == std::string::npos && t.find(U("ＯＫ")) == std::string::npos) continue;
      bool named = t[0] >= '0' && t[0] <= '9';  // a member's row
      for (const char* check : {"横方向継手:", "縦方向継手:", "端壁:", "Lv1.", "Lv2.",
                                "端壁の表示:", "浮上り:", "総合判定:"})
        named = named || t.rfind(U(check), 0) == 0;
      EXPECT_TRUE(named) << l;
    }
    EXPECT_EQ(verdict_line, U(c.verdict));
    EXPECT_EQ(failed_members > 0, c.status == 1);
  }
}

// A sample's bytes with one replacement made (cp932 file), written as name.
std::string Spoilt(const std::string& dir, const std::string& name, const std::string& from,
                   const std::string& to) {
  std::string bytes =
      ReadFileBytes(std::string(VAULTRA_SOURCE_DIR) + "/samples/box_three_boxes.vt1").value_or("");
  const std::size_t at = bytes.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) bytes.replace(at, from.size(), to);
  const std::string path = dir + "/" + name;
  EXPECT_TRUE(WriteFileAtomic(path, bytes));
  return path;
}

// Trailing junk read as a number, and values no structure can have: the
// run is refused with the field named (and, with --json, the reason in
// the JSON file), never a verdict on them.
TEST_F(RobustCli, NumbersWithJunkOrImpossibleValuesAreRefusedNamingTheField) {
  struct Case {
    const char* section;
    const char* key;
    const char* value;
    const char* words;  // cp932, in the message
  } cases[] = {
      {"Fm15KAJ", "Ed_Gst", "1e999x", "余分な文字"},   {"Fm16KYD", "nSca1", "1e8abc", "余分な文字"},
      {"Fm16KYD", "fyk1", "0", "0 より大きい"},        {"Fm16KYD", "f1ck1", "-30", "0 より大きい"},
      {"Fm15KAJ", "Ed_Eoh", "-30000", "0 より大きい"}, {"Fm11MDL", "Ed_slbH", "-0.3", "負の値"},
      {"Fm11MDL", "Ed_tateSu", "-10", "負の値"},       {"Fm15KAJ", "Ed_YokoKh1", "-1", "負の値"},
  };
  for (const Case& c : cases) {
    const std::string project = SampleWith(c.section, c.key, c.value);
    const CliRun r = Vaultra("calc '" + project + "'" + Work() + " --json '" + P("out.json") + "'");
    const std::string what = std::string(c.key) + " = " + c.value;
    EXPECT_EQ(r.status, 2) << what << "\n" << r.err;
    EXPECT_NE(r.err.find(std::string("[") + c.section + "] " + c.key), std::string::npos)
        << what << "\n"
        << r.err;
    EXPECT_NE(r.err.find(U(c.words)), std::string::npos) << what << "\n" << r.err;
    EXPECT_NE(r.err.find(c.key + std::string(".vt1")), std::string::npos) << "file: " << r.err;
    EXPECT_EQ(r.out.find("O.K."), std::string::npos) << what;
    const std::string json = ReadFileBytes(P("out.json")).value_or("");
    EXPECT_NE(json.find("\"exit_status\": 2"), std::string::npos) << what << json;
    EXPECT_NE(json.find(c.key), std::string::npos) << what << json;
    fs::remove(P("out.json"));
  }
  // A ground layer of negative thickness (the second layer of the sample).
  const std::string layer = Spoilt(dir_.string(), "layer.vt1", "2,\" 2.500\"", "2,\"-2.500\"");
  const CliRun r = Vaultra("calc '" + layer + "'" + Work());
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find("Grid1"), std::string::npos) << r.err;
}

// A file cut before a section, a damaged header, a missing section or a
// ground table whose row count reads as nothing: the pages would keep
// their defaults. calc refuses naming the section; resave writes nothing.
TEST_F(RobustCli, MissingOrDamagedSectionsAreRefusedAndNeverResavedAsDefaults) {
  const std::string sample =
      ReadFileBytes(std::string(VAULTRA_SOURCE_DIR) + "/samples/box_three_boxes.vt1").value_or("");
  auto without = [&](const char* header) {
    const std::size_t from = sample.find(header);
    const std::size_t to = sample.find("\r\n[", from + 1);
    return sample.substr(0, from) + (to == std::string::npos ? "" : sample.substr(to + 2));
  };
  auto replaced = [&](const std::string& a, const std::string& b) {
    std::string s = sample;
    s.replace(s.find(a), a.size(), b);
    return s;
  };
  struct Case {
    const char* what;
    std::string bytes;
    const char* named;
  } cases[] = {
      {"cut before [Fm33OR2]", sample.substr(0, sample.find("[Fm33OR2]")), "[Fm33OR2]"},
      {"cut before [fmUtOryk]", sample.substr(0, sample.find("[fmUtOryk]")), "[fmUtOryk]"},
      {"a 0x81 byte after [Fm16KYD]", replaced("[Fm16KYD]", "[Fm16KYD]\x81"), "[Fm16KYD]"},
      {"no [Fm12JBN]", without("[Fm12JBN]"), "[Fm12JBN]"},
      {"no [Fm15KAJ]", without("[Fm15KAJ]"), "[Fm15KAJ]"},
      {"Grid1 = abc", replaced("Grid1 = 21", "Grid1 = abc"), "Grid1"},
      {"Grid1 = 0", replaced("Grid1 = 21", "Grid1 = 0"), "Grid1"},
      {"Grid1 = (empty)", replaced("Grid1 = 21", "Grid1 = "), "Grid1"},
      {"a key twice", replaced("nSca1 =    14.00", "nSca1 =    14.00\r\nnSca1 =    99.00"),
       "nSca1"},
  };
  for (const Case& c : cases) {
    const std::string in = P("in.vt1");
    ASSERT_TRUE(WriteFileAtomic(in, c.bytes));
    const CliRun calc = Vaultra("calc '" + in + "'" + Work());
    EXPECT_EQ(calc.status, 2) << c.what << "\n" << calc.err;
    EXPECT_NE(calc.err.find(c.named), std::string::npos) << c.what << "\n" << calc.err;
    EXPECT_NE(calc.err.find("in.vt1"), std::string::npos) << c.what << "\n" << calc.err;
    EXPECT_EQ(calc.out.find("O.K."), std::string::npos) << c.what;
    const CliRun resave = Vaultra("resave '" + in + "' '" + P("out.vt1") + "'" + Work());
    EXPECT_EQ(resave.status, 2) << c.what;
    EXPECT_FALSE(fs::exists(P("out.vt1"))) << c.what;
    EXPECT_EQ(ReadFileBytes(in).value_or(""), c.bytes) << c.what;
  }
}

// A key given twice names both lines (the sample's nSca1 is on line 640).
TEST_F(RobustCli, ADuplicateKeyNamesBothItsLines) {
  const std::string in =
      Spoilt(dir_.string(), "dup.vt1", "nSca1 =    14.00", "nSca1 =    14.00\r\nnSca1 =    99.00");
  const CliRun r = Vaultra("calc '" + in + "'" + Work());
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(U("641 行目: [Fm16KYD] nSca1 は 640 行目にも")), std::string::npos) << r.err;
}

// solve writes its result files and nothing else: a text named like one
// of them is refused before anything is written, a .bak beside the text
// (the user's file) stays.
TEST_F(RobustCli, SolveNeverRemovesOrReplacesAFileItDidNotWrite) {
  const CliRun frame = Vaultra("frame '" + std::string(VAULTRA_SOURCE_DIR) +
                               "/samples/stand_two_slabs.vt1'" + Work());
  ASSERT_EQ(frame.status, 0) << frame.err;
  const std::string text = ReadFileBytes(P("work") + "/Yoko0.$O1").value_or("");
  ASSERT_FALSE(text.empty());
  for (const char* name : {"m.F21", "m.F11", "m.F71"}) {
    ASSERT_TRUE(WriteFileAtomic(P(name), text));
    const CliRun r = Vaultra("solve --internal '" + P(name) + "'");
    EXPECT_EQ(r.status, 2) << name;
    EXPECT_EQ(ReadFileBytes(P(name)).value_or(""), text) << name << ": the input was replaced";
  }
  // m.bak as the input and as a file beside m.txt: the library path's cache
  // copy is the program's own work file only.
  for (const char* input : {"m.bak", "m.txt"}) {
    ASSERT_TRUE(WriteFileAtomic(P(input), text));
    ASSERT_TRUE(WriteFileAtomic(P("m.bak"), text));
    const CliRun r = Vaultra("solve --internal '" + P(input) + "'");
    EXPECT_EQ(r.status, 0) << input << r.err;
    EXPECT_EQ(ReadFileBytes(P(input)).value_or(""), text) << input;
    EXPECT_EQ(ReadFileBytes(P("m.bak")).value_or(""), text) << input << ": m.bak";
    EXPECT_TRUE(fs::exists(P("m.F31"))) << input;
  }
}

// Frames no solver can take are refused with the line, never solved.
TEST_F(RobustCli, SolveRefusesAbsurdFramesWithTheLine) {
  const CliRun frame = Vaultra("frame '" + std::string(VAULTRA_SOURCE_DIR) +
                               "/samples/stand_two_slabs.vt1'" + Work());
  ASSERT_EQ(frame.status, 0) << frame.err;
  const std::vector<std::string> lines =
      SplitLines(ReadFileBytes(P("work") + "/Yoko0.$O1").value_or(""));
  ASSERT_FALSE(lines.empty());
  auto after = [](std::vector<std::string>& l, const char* keyword) -> std::string& {
    for (std::size_t i = 0; i + 1 < l.size(); ++i)
      if (l[i].rfind(keyword, 0) == 0) return l[i + 1];
    ADD_FAILURE() << keyword;
    return l[0];
  };
  struct Case {
    const char* what;
    const char* words;  // cp932
    std::function<void(std::vector<std::string>&)> spoil;
  } cases[] = {
      {"two nodes at one place", "同じ位置",
       [&](std::vector<std::string>& l) {
         // Node 2 moved onto node 1: member 1 joins them.
         std::string& first = after(l, "POINT");
         for (std::size_t i = 0; i + 1 < l.size(); ++i)
           if (&l[i] == &first) l[i + 1] = Format("%10d", 2) + first.substr(10);
       }},
      {"negative E", "弾性係数",
       [&](std::vector<std::string>& l) { after(l, "MATERIAL").replace(10, 10, "  -3.10000"); }},
      {"negative I", "断面二次モーメント",
       [&](std::vector<std::string>& l) { after(l, "SECTION").replace(25, 10, "  -1.30208"); }},
      {"zero A", "断面積",
       [&](std::vector<std::string>& l) { after(l, "SECTION").replace(10, 10, "   0.00000"); }},
      {"load case 9999", "荷重ケース番号",
       [&](std::vector<std::string>& l) {
         for (std::string& x : l)
           if (x.rfind("LOAD-CASE", 0) == 0) {
             x.replace(10, 5, " 9999");
             break;
           }
       }},
      {"a combination of a missing load case", "荷重ケース 64 が有りません",
       [&](std::vector<std::string>& l) {
         std::string& entry = after(l, "KUMI-CASE");
         entry.replace(0, 15, Format("%15d", 64));
       }},
  };
  for (const Case& c : cases) {
    std::vector<std::string> spoilt = lines;
    c.spoil(spoilt);
    const std::string input = P("frame.txt");
    ASSERT_TRUE(WriteFileAtomic(input, JoinLinesCrLf(spoilt)));
    const CliRun r = Vaultra("solve --internal '" + input + "'");
    EXPECT_EQ(r.status, 2) << c.what << "\n" << r.err;
    EXPECT_NE(r.err.find(U("行目")), std::string::npos) << c.what << "\n" << r.err;
    EXPECT_NE(r.err.find(U(c.words)), std::string::npos) << c.what << "\n" << r.err;
    EXPECT_FALSE(fs::exists(P("frame.F31"))) << c.what;
  }
}

// Output names: one the program's character set cannot hold is refused
// (never written under another name), a name near the longest allowed is
// written, a link to nothing is refused, the project is no output.
TEST_F(RobustCli, OutputNamesAreWrittenAsGivenOrRefused) {
  const std::string sample = std::string(VAULTRA_SOURCE_DIR) + "/samples/box_three_boxes.vt1";
  const std::string project = P("p.vt1");
  fs::copy_file(sample, project);
  const std::string original = ReadFileBytes(project).value_or("");
  {
    // "Müller.vt1" in UTF-8: cp932 has no ü.
    const CliRun r = Vaultra("resave '" + project + "' '" + P("M\xC3\xBCller.vt1") + "'" + Work());
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find("cp932"), std::string::npos) << r.err;
    for (const auto& e : fs::directory_iterator(dir_))
      EXPECT_EQ(e.path().filename().string().find("M?"), std::string::npos) << e.path();
  }
  {
    const std::string name = std::string(250, 'a') + ".json";  // 255 bytes, the longest
    const CliRun r =
        Vaultra("calc '" + project + "' --internal" + Work() + " --json '" + P(name) + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(P(name)));
  }
  {
    fs::create_symlink(P("nowhere/target.json"), P("dangling.json"));
    const CliRun r = Vaultra("calc '" + project + "' --internal" + Work() + " --json '" +
                             P("dangling.json") + "'");
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(P("dangling.json"))));
  }
  for (const std::string& args : {"calc '" + project + "' --json '" + project + "'",
                                  "calc '" + project + "' --json '" + dir_.string() + "/./p.vt1'",
                                  "report '" + project + "' -o '" + project + "'"}) {
    const CliRun r = Vaultra(args + Work());
    EXPECT_EQ(r.status, 2) << args << "\n" << r.err;
    EXPECT_EQ(ReadFileBytes(project).value_or(""), original) << args;
  }
}

// Messages stay bounded: 400,000 repeated headers give a handful of lines.
TEST_F(RobustCli, RepeatedHeadersGiveABoundedNumberOfMessages) {
  std::string bytes =
      ReadFileBytes(std::string(VAULTRA_SOURCE_DIR) + "/samples/box_three_boxes.vt1").value_or("");
  std::string repeated;
  for (int i = 0; i < 200000; ++i) repeated += "[KZ1_POSTBL]\r\n[Fm16KYD]\r\n";
  bytes += repeated;
  ASSERT_TRUE(WriteFileAtomic(P("many.vt1"), bytes));
  const CliRun r = Vaultra("calc '" + P("many.vt1") + "'" + Work());
  EXPECT_EQ(r.status, 2);
  const std::size_t lines = SplitLines(r.err).size();
  EXPECT_GT(lines, 0u);
  EXPECT_LT(lines, 60u) << r.err.substr(0, 2000);
  EXPECT_NE(r.err.find("200000"), std::string::npos) << r.err.substr(0, 2000);
}

// A block row whose ends are no end blocks: the message names the file
// and the table.
TEST_F(RobustCli, StructureMessagesNameTheFileAndTheTable) {
  // The first block's kinds (its default and working sets, kind 1: the
  // left end) made a slab's (kind 6).
  std::vector<std::string> lines = SplitLines(
      ReadFileBytes(std::string(VAULTRA_SOURCE_DIR) + "/samples/box_three_boxes.vt1").value_or(""));
  const auto header = std::find(lines.begin(), lines.end(), "[KZ1_BLKTBL]");
  ASSERT_NE(header, lines.end());
  ASSERT_EQ(ReadInt(*(header + 2)), 1);
  *(header + 2) = *(header + 4) = Format("%6d", 6);
  ASSERT_TRUE(WriteFileAtomic(P("ends.vt1"), JoinLinesCrLf(lines)));
  const CliRun r = Vaultra("calc '" + P("ends.vt1") + "'" + Work());
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find("ends.vt1"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("KZ1_BLKTBL"), std::string::npos) << r.err;
}

// A working folder that cannot take the run's files: exit status 2, and
// no dump of an earlier project left beside the refused run.
TEST_F(RobustCli, AWriteThatFailsFailsTheRunAndLeavesNoStaleFile) {
  const std::string sample = std::string(VAULTRA_SOURCE_DIR) + "/samples/box_three_boxes.vt1";
  const std::string stale = P("work") + "/" + U("#グループ別の部材力.txt");
  ASSERT_TRUE(WriteFileAtomic(Utf8ToCp932(stale), "an earlier project"));
  // A folder where the run writes one of its dumps: the write fails as on
  // a full disk.
  fs::create_directories(P("work") + "/" + U("#ForceIdx.csv"));
  const CliRun r = Vaultra("calc '" + sample + "' --internal" + Work());
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_EQ(r.out.find(U("総合判定: O.K.")), std::string::npos) << r.out;
  EXPECT_FALSE(fs::exists(stale));
}

// Catalogue CSVs damaged in their text: cut inside a row, a control byte
// in a row, the first row of the bar areas given twice. Each is an error
// naming the file and the line; nothing is calculated on it.
TEST_F(RobustCli, ACatalogueCsvCutOrDamagedInARowIsAnErrorWithItsLine) {
  const fs::path master = fs::path(VAULTRA_SOURCE_DIR) / "Master";
  const std::string areas = Cp932ToUtf8("Master/材料/Orvaneﾏｽﾀｰ鉄筋の断面積.csv");
  const std::string strengths = Cp932ToUtf8("Master/材料/Orvaneﾏｽﾀｰ材料強度.csv");
  struct Case {
    const char* what;
    std::string file;  // UTF-8, below the program folder
    std::function<std::string(std::string)> spoil;
    const char* words;  // cp932
  } cases[] = {
      {"cut inside its last row", areas, [](std::string t) { return t.substr(0, t.size() - 5); },
       "行の途中で終わっています"},
      {"a 0x10 byte in a row", strengths,
       [](std::string t) {
         t.insert(t.find("\r\n", t.find("\r\n") + 2) + 4, 1, '\x10');
         return t;
       },
       "制御文字 0x10"},
      {"the first bar row twice", areas,
       [](std::string t) {
         const std::size_t row = t.find("\r\n1,");
         const std::size_t end = t.find("\r\n", row + 2);
         t.insert(end, t.substr(row, end - row));
         return t;
       },
       "番号 1 の行が"},
  };
  for (const Case& c : cases) {
    const fs::path d = dir_ / "prog";
    fs::remove_all(d);
    fs::create_directories(d);
    fs::copy_file(Exe(), d / "vaultra");
    fs::copy(master, d / "Master", fs::copy_options::recursive);
    const std::string path = FromFsPath(d / c.file);
    ASSERT_TRUE(WriteFileAtomic(path, c.spoil(ReadFileBytes(path).value_or(""))));
    const CliRun r = Vaultra(
        "calc '" + std::string(VAULTRA_SOURCE_DIR) + "/samples/box_three_boxes.vt1'" + Work(), "",
        (d / "vaultra").string());
    EXPECT_EQ(r.status, 2) << c.what << "\n" << r.err;
    EXPECT_NE(r.err.find(U(c.words)), std::string::npos) << c.what << "\n" << r.err;
    EXPECT_NE(r.err.find(U("行目")), std::string::npos) << c.what << "\n" << r.err;
    EXPECT_NE(r.err.find(fs::path(c.file).filename().string()), std::string::npos) << c.what;
    EXPECT_EQ(r.out.find("O.K."), std::string::npos) << c.what;
  }
}

}  // namespace
}  // namespace vaultra
