#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

int RunVaultra(const std::string& args) {
  const std::string cmd =
      std::string("QT_QPA_PLATFORM=offscreen '") + VAULTRA_EXE + "' " + args + " 2>/dev/null";
  const int status = std::system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Master(const char* utf8_name) {
  return "'" + std::string(VAULTRA_SOURCE_DIR) + "/Master/" + utf8_name + "'";
}

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           (std::string("vaultra_cli_") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Out(const char* name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

// Names are written as UTF-8 escapes: narrow literals are cp932 in this build.
#define PRINT_DIR "\xE5\x8D\xB0\xE5\x88\xB7"  // 印刷
#define SAMPLE_TEMPLATE                                                                          \
  "\xE3\x83\x86\xE3\x83\xB3\xE3\x83\x97\xE3\x83\xAC\xE3\x83\xBC\xE3\x83\x88\xE8\xA6\x8B\xE6\x9C" \
  "\xAC.c"  // テンプレート見本.c
#define SUPPORT_FIGURE \
  "\xE6\x94\xAF\xE7\x82\xB9\xE6\x9D\xA1\xE4\xBB\xB6(\xE5\xB8\xB8\xE6\x99\x82).PCJ"  // 支点条件(常時).PCJ
#define LABEL "\xE8\xA8\xAD\xE8\xA8\x88\xE6\x9D\xA1\xE4\xBB\xB6"                    // 設計条件
#define TYPE_WORD "\xEF\xBD\xBD\xEF\xBE\x80\xEF\xBE\x9D\xEF\xBE\x84\xEF\xBE\x9E"  // ｽﾀﾝﾄﾞ

TEST_F(Cli, DrawsAShippedFigureAsPngAndPdf) {
  ASSERT_EQ(RunVaultra("draw " + Master(PRINT_DIR "/" SUPPORT_FIGURE) + " -o '" + Out("f.png") + "'"), 0);
  QImage png(QString::fromStdString(Out("f.png")));
  ASSERT_EQ(png.size(), QSize(1800, 2700));
  // The frame's heavy bottom slab line lies inside the band below 10 mm.
  int dark = 0;
  for (int y = 150; y < 1050; ++y)
    for (int x = 0; x < 1800; x += 3) dark += qGray(png.pixel(x, y)) < 100;
  EXPECT_GT(dark, 500);
  ASSERT_EQ(RunVaultra("draw " + Master(PRINT_DIR "/" SUPPORT_FIGURE) + " -o '" + Out("f.pdf") + "'"), 0);
  EXPECT_GT(fs::file_size(Out("f.pdf")), 1000u);
}

TEST_F(Cli, RunsALabelledTemplateSection) {
  const std::string tmpl = Master(PRINT_DIR "/" SAMPLE_TEMPLATE);
  EXPECT_EQ(RunVaultra("template " + tmpl + " " LABEL " --type " TYPE_WORD " --values 1,2.5 -o '" +
                Out("t.pdf") + "'"),
            0);
  EXPECT_TRUE(fs::exists(Out("t.pdf")));
  EXPECT_EQ(RunVaultra("template " + tmpl + " " LABEL " -o '" + Out("t.png") + "'"), 0);
  EXPECT_TRUE(fs::exists(Out("t.png")));
}

TEST_F(Cli, RefusesMissingFilesLabelsAndOutputs) {
  EXPECT_EQ(RunVaultra("draw '" + Out("none.PCJ") + "' -o '" + Out("x.pdf") + "'"), 2);
  EXPECT_EQ(RunVaultra("template '" + Out("none.c") + "' " LABEL " -o '" + Out("x.pdf") + "'"), 2);
  EXPECT_EQ(RunVaultra("template " + Master(PRINT_DIR "/" SAMPLE_TEMPLATE) + " NOLABEL -o '" +
                Out("x.pdf") + "'"),
            2);
  EXPECT_EQ(RunVaultra("draw " + Master(PRINT_DIR "/" SUPPORT_FIGURE) + " -o '" + Out("x.svg") + "'"), 2);
  EXPECT_EQ(RunVaultra("draw " + Master(PRINT_DIR "/" SUPPORT_FIGURE)), 2);
  EXPECT_EQ(RunVaultra("draw --bogus"), 2);
  EXPECT_FALSE(fs::exists(Out("x.pdf")));
}

}  // namespace
