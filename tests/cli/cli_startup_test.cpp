// How the vaultra executable starts: the headless sub-commands run without
// the window toolkit, everything else is handed to the window program
// beside the executable.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct ShellRun {
  int status = -1;
  std::string output;  // stdout and stderr
};

ShellRun Shell(const std::string& command) {
  ShellRun r;
  FILE* p = ::popen((command + " 2>&1").c_str(), "r");
  if (!p) return r;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
  const int raw = ::pclose(p);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return r;
}

std::string Quoted(const std::string& s) {
  return "'" + s + "'";
}

const std::string kExe = VAULTRA_EXE;
const std::string kWindowProgram = fs::path(kExe).parent_path() / "vaultra-gui";

TEST(CliStartup, HeadlessProgramLinksNoQt) {
  // ldd lists every library the loader maps, those of the libraries too.
  const ShellRun headless = Shell("ldd " + Quoted(kExe));
  ASSERT_EQ(headless.status, 0) << headless.output;
  EXPECT_EQ(headless.output.find("libQt"), std::string::npos) << headless.output;
  // The window program is the one that does.
  const ShellRun window = Shell("ldd " + Quoted(kWindowProgram));
  ASSERT_EQ(window.status, 0) << window.output;
  EXPECT_NE(window.output.find("libQt6Widgets"), std::string::npos) << window.output;
}

class LoneExecutable : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vaultra_cli_XXXXXX";
    dir_ = ::mkdtemp(tmpl);
    exe_ = dir_ + "/vaultra";
    fs::copy_file(kExe, exe_);  // without vaultra-gui beside it
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string dir_, exe_;
};

TEST_F(LoneExecutable, RunsHeadlessCommandsWithoutTheWindowProgram) {
  struct Case {
    const char* args;
    int status;
    const char* says;
  } cases[] = {
      {"--version", 0, ""},
      {"--help", 0, "usage:"},
      {"--bogus", 2, "unknown option --bogus"},
      {"calc", 2, "calc needs PROJECT.vt1"},
      {"section oops", 2, "section: expected NAME=VALUE"},
  };
  for (const Case& c : cases) {
    const ShellRun r = Shell(Quoted(exe_) + " " + c.args);
    EXPECT_EQ(r.status, c.status) << c.args << ": " << r.output;
    EXPECT_NE(r.output.find(c.says), std::string::npos) << c.args << ": " << r.output;
    EXPECT_EQ(r.output.find("cannot start"), std::string::npos) << c.args << ": " << r.output;
  }
}

TEST_F(LoneExecutable, WritesTheReportPdfWithoutTheWindowProgram) {
  // The catalogue and the resume file are read beside the executable.
  const fs::path src(VAULTRA_SOURCE_DIR);
  fs::create_directory_symlink(src / "Master", fs::path(dir_) / "Master");
  fs::copy_file(src / "vaultra.ini", fs::path(dir_) / "vaultra.ini");
  const std::string pdf = dir_ + "/r.pdf";
  const ShellRun r =
      Shell(Quoted(exe_) + " report " + Quoted((src / "samples" / "box_three_boxes.vt1").string()) +
            " --work-dir " + Quoted(dir_ + "/work") + " -o " + Quoted(pdf));
  EXPECT_EQ(r.status, 0) << r.output;  // every check of this sample is satisfied
  EXPECT_EQ(r.output.find("cannot start"), std::string::npos) << r.output;
  std::ifstream in(pdf, std::ios::binary);
  std::string head(5, '\0');
  in.read(head.data(), 5);
  EXPECT_EQ(head, "%PDF-");
  // A report is a PDF: any other output is refused before anything runs.
  const ShellRun png = Shell(Quoted(exe_) + " report x.vt1 -o " + Quoted(dir_ + "/r.png"));
  EXPECT_EQ(png.status, 2) << png.output;
  EXPECT_NE(png.output.find("report needs -o OUT.pdf"), std::string::npos) << png.output;
}

TEST_F(LoneExecutable, SaysSoWhenTheWindowProgramIsMissing) {
  for (const char* args : {"", "project.vt1", "draw x.PCJ -o x.png", "template f L -o x.png"}) {
    const ShellRun r = Shell(Quoted(exe_) + " " + args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_NE(r.output.find("vaultra: cannot start " + dir_ + "/vaultra-gui"), std::string::npos)
        << args << ": " << r.output;
  }
}

TEST(CliStartup, DrawingCommandsReachTheWindowProgram) {
  // The window program's own check of its arguments answers.
  const ShellRun r = Shell(Quoted(kExe) + " draw /nonexistent/x.PCJ -o /tmp/x.png");
  EXPECT_EQ(r.status, 2) << r.output;
  EXPECT_NE(r.output.find("vaultra: cannot read /nonexistent/x.PCJ"), std::string::npos)
      << r.output;
}

}  // namespace
