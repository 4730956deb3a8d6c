// The window shell: page buttons, the page switch through the navigator,
// form pages bound to their records, dropped project files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTableWidget>
#include <QUrl>
#include <filesystem>

#include "core/cp932.h"
#include "core/fileio.h"
#include "core/number.h"
#include "gui/form_page.h"
#include "gui/main_window.h"
#include "inputs/master_data.h"

namespace vaultra::gui {
namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "test_gui";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  return app;
}

struct RecordingOps : NavigationOps {
  int builds = 0;
  int analyses = 0;
  std::vector<Page> commits;
  void CommitInputs(Page p) override { commits.push_back(p); }
  void BuildModels() override { ++builds; }
  void RunAnalysis(bool) override { ++analyses; }
};

struct Fixture : ::testing::Test {
  Fixture() {
    App();
    dir = std::filesystem::temp_directory_path() / ("vaultra_gui_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    started.folders.resume_file = (dir / "#vaultra.ini").string();
    started.folders.demo_mode = true;
    ui.SetQuiet(true);
  }
  ~Fixture() override { std::filesystem::remove_all(dir); }
  std::filesystem::path dir;
  ProjectState state = DefaultProjectState();
  MasterData master;
  PageLogic logic;
  QtUi ui;
  StartUpResult started;
};

TEST_F(Fixture, TwelvePageButtonsWithTheirCaptions) {
  MainWindow w(state, master, logic, ui, started);
  const std::vector<std::u16string> expected = {
      u"モデル入力",   u"地 盤 入 力",   u"寸法の変更",      u"着目点確認",
      u"荷重の設定",   u"材料強度設定",  u"条件ﾌｧｲﾙ確認",    u"結果ﾌｧｲﾙ確認",
      u"断面力の確認", u"応力照査･鉄筋", u"応力照査･その他", u"設計書.確認"};
  for (int i = 1; i <= kPageCount; ++i) {
    QAbstractButton* b = w.PageButton(static_cast<Page>(i));
    ASSERT_NE(b, nullptr) << i;
    EXPECT_EQ(b->text().toStdU16String(), expected[i - 1]) << i;
  }
  EXPECT_EQ(w.PageButton(Page::kPreview)->objectName(), QStringLiteral("Pg34PrV"));
  EXPECT_FALSE(w.PageButton(Page::kPreview)->isEnabled());
  // Small enough for a laptop screen less its task bar (1280x720).
  EXPECT_LE(w.minimumWidth(), 1280);
  EXPECT_LE(w.minimumHeight(), 720);
  EXPECT_TRUE(w.windowTitle().startsWith(QStringLiteral("Vaultra Ver.")));
  // No file of the user's yet: the brackets are empty ("[*]" is the modified mark).
  EXPECT_TRUE(w.windowTitle().endsWith(QStringLiteral(" ()[*]")));
}

TEST_F(Fixture, PageButtonsDriveTheNavigator) {
  RecordingOps ops;
  MainWindow w(state, master, logic, ui, started, &ops);
  w.PageButton(Page::kGround)->click();
  EXPECT_EQ(w.navigator().current(), Page::kGround);
  EXPECT_TRUE(w.PageButton(Page::kGround)->isChecked());
  EXPECT_FALSE(w.PageButton(Page::kModel)->isChecked());
  EXPECT_EQ(ops.builds, 0);  // between input pages nothing is rebuilt
  w.PageButton(Page::kLoads)->click();
  EXPECT_EQ(w.navigator().current(), Page::kLoads);
  EXPECT_GE(ops.builds, 1);
}

TEST_F(Fixture, FormPageRoundTripsItsRecord) {
  App();
  FormState f;
  f.section = "FmT";
  f.controls.push_back(EditControl("Ed1", "  12.50", 0));
  f.controls.push_back(EditControl("Ed2", Utf16ToCp932(u"コンクリート"), 0));
  f.controls.push_back(DropDownControl("Cb1", {"a", "b", "c"}, 2));
  f.controls.push_back(RadioGroupControl("Rg1", {"x", "y"}, 1));
  f.controls.push_back(RadioButtonControl("Rb1", "g", true));
  f.controls.push_back(CheckBoxControl("Ck1", true));
  f.controls.push_back(SpeedButtonControl("Sb1", true));
  f.extras.push_back(ListBoxControl("Lb1", {"one", Utf16ToCp932(u"二")}, 10));
  GridData g;
  g.SetColCount(3);
  g.SetRowCount(3);
  g.SetCell(0, 0, "No");
  g.SetCell(1, 1, " 1.000");
  g.SetCell(2, 2, Utf16ToCp932(u"砂"));
  f.controls.push_back(GridControl("Gr1", g, 10));

  FormPage page(QStringLiteral("t"));
  page.Load(f);
  FormState back = f;
  // Spoil the copy: Store must bring every value back from the widgets.
  back.SetText("Ed1", "");
  back.At("Cb1").index = 0;
  back.At("Rg1").index = 0;
  back.At("Ck1").checked = false;
  back.At("Gr1").grid.SetCell(2, 2, "");
  page.Store(back);
  for (std::size_t i = 0; i < f.controls.size(); ++i)
    EXPECT_EQ(back.controls[i], f.controls[i]) << f.controls[i].name;
  EXPECT_EQ(back, f);

  // An edit in the widgets reaches the record.
  static_cast<QLineEdit*>(page.WidgetOf("Ed2"))->setText(QStringLiteral(u"鋼"));
  static_cast<QComboBox*>(page.WidgetOf("Cb1"))->setCurrentIndex(1);
  // Table row 0 is the grid's first data row (its fixed row is the header).
  static_cast<QTableWidget*>(page.WidgetOf("Gr1"))->item(0, 2)->setText(QStringLiteral("7"));
  page.Store(back);
  EXPECT_EQ(back.Text("Ed2"), Utf16ToCp932(u"鋼"));
  EXPECT_EQ(back.Index("Cb1"), 1);
  EXPECT_EQ(back.At("Gr1").grid.Cell(2, 1), "7");
}

// Qt delivers drops of a real drag only; the window's handler is called directly.
struct DropWindow : MainWindow {
  using MainWindow::dropEvent;
  using MainWindow::MainWindow;
};

void Drop(DropWindow& w, const std::string& path) {
  auto* mime = new QMimeData;
  mime->setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
  QDropEvent e(QPointF(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
  w.dropEvent(&e);
  delete mime;
}

TEST_F(Fixture, DroppedProjectFileOpensOtherFilesAreIgnored) {
  DropWindow w(state, master, logic, ui, started);
  const std::string sample = VAULTRA_SOURCE_DIR "/samples/box_three_boxes.vt1";
  const std::string other = (dir / "box.txt").string();
  std::filesystem::copy_file(sample, other);
  const std::string before = state.project_path;
  Drop(w, other);
  EXPECT_EQ(state.project_path, before);
  Drop(w, sample);
  EXPECT_EQ(FileNameOf(state.project_path), "box_three_boxes.vt1");
}

}  // namespace
}  // namespace vaultra::gui

namespace vaultra::gui {
namespace {

TEST_F(Fixture, EnteringAResultPageAnalysesTheOpenedProject) {
  RecordingUi quiet;
  // Paths inside the program are cp932 (this file's literals are UTF-8).
  master = LoadMasterData(Utf8ToCp932(std::string(VAULTRA_SOURCE_DIR) + "/Master/材料/"), quiet);
  InputPageLogic input(master);
  started.folders.work_dir = (dir / "work").string() + "/";
  MainWindow w(state, master, input, ui, started);
  w.OpenProject(std::string(VAULTRA_SOURCE_DIR) + "/samples/box_groundwater_stored.vt1");
  ASSERT_EQ(state.transverse.member_count, 28);

  w.PageButton(Page::kConditions)->click();  // leaving the inputs writes the frame texts
  EXPECT_TRUE(std::filesystem::exists(dir / "work" / "Yoko0.$O1"));
  EXPECT_FALSE(w.calculation().analysed());

  w.PageButton(Page::kRcCheck)->click();  // entering the results analyses
  ASSERT_TRUE(w.calculation().analysed());
  EXPECT_TRUE(w.calculation().run().transverse_ok);
  EXPECT_TRUE(w.calculation().run().use_internal);  // demo mode
  // The other-checks steps ran: the largest block weight replaced the
  // page's placeholder before the joint checks read it.
  EXPECT_GT(ReadReal(state.Form(FormId::kOtherChecks).At("Ed_BlkWt").text), 10.0);
  EXPECT_GT(state.records.joints.block_weight, 10.0);
  // The status bar reports the outcome, not a placeholder.
  const QString note = w.StatusLabel("lbCalcTime")->text();
  EXPECT_TRUE(note.startsWith(QStringLiteral(u"部材照査"))) << note.toStdString();
}

}  // namespace
}  // namespace vaultra::gui
