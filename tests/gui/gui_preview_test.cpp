// The print preview as an engineer uses it: opened by the report button on
// a calculated sample, its controls named by their captions, the jump list,
// printing and the PDF replaying the recorded pages (the report is built
// once), and the faults it used to have (copies outside the image, tiny
// page areas, pages left stale by a later calculation).
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/pages/page_logic_impl.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "core/ui.h"
#include "gui/main_window.h"
#include "gui/preview_window.h"
#include "gui_support.h"
#include "inputs/master_data.h"

namespace vaultra::gui {
namespace {

using test::Master;

// Pages of a PDF: its page objects.
int PdfPages(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  const std::string s = ss.str();
  int n = 0;
  for (std::size_t p = s.find("/Type /Page"); p != std::string::npos;
       p = s.find("/Type /Page", p + 1))
    n += s.compare(p, 12, "/Type /Pages") != 0;
  return n;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

struct Preview : ::testing::Test {
  Preview() : logic(Master()) {
    test::App();
    dir = std::filesystem::temp_directory_path() /
          ("vaultra_preview_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir / "work");
    started.folders.resume_file = (dir / "#vaultra.ini").string();
    started.folders.work_dir = (dir / "work").string() + "/";
    started.folders.print_master_dir =
        Utf8ToCp932(std::string(VAULTRA_SOURCE_DIR) + "/Master/印刷/");
    started.folders.demo_mode = true;
    started.complete = true;
    ui.SetQuiet(true);
  }
  ~Preview() override { std::filesystem::remove_all(dir); }

  // The sample calculated on the RC check page, the report button clicked.
  PreviewWindow& Open(const char* sample) {
    w = std::make_unique<MainWindow>(state, Master(), logic, ui, started);
    w->OpenProject(std::string(VAULTRA_SOURCE_DIR) + "/samples/" + sample);
    state.main.At("PrintSwK").checked = false;
    state.main.At("PrintSwT").checked = false;
    w->SwitchTo(Page::kRcCheck);
    w->resize(1280, 768);
    w->show();
    w->PageButton(Page::kPreview)->click();
    EXPECT_NE(w->preview(), nullptr);
    PreviewWindow& p = *w->preview();
    p.resize(1000, 760);
    QApplication::processEvents();
    return p;
  }
  // Print commands write into a PDF file instead of asking for a printer.
  void PrintToFile(PreviewWindow& p, const std::string& path, bool accept = true) {
    p.SetPrintDialog([this, path, accept](QPrinter& printer) {
      ++dialogs;
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(QString::fromStdString(path));
      return accept;
    });
  }

  std::filesystem::path dir;
  ProjectState state = DefaultProjectState();
  InputPageLogic logic;
  QtUi ui;
  StartUpResult started;
  std::unique_ptr<MainWindow> w;
  int dialogs = 0;
};

TEST_F(Preview, TheReportButtonOpensThePagesWithEveryControlNamedByItsCaption) {
  PreviewWindow& p = Open("stand_two_slabs.vt1");
  EXPECT_TRUE(p.isVisible());
  EXPECT_EQ(p.windowTitle(), QStringLiteral(u"印刷プレビュー"));
  EXPECT_EQ(p.builds(), 1);
  EXPECT_GE(p.pages().contents, 1);
  EXPECT_GT(p.pages().body, 5);
  EXPECT_EQ(p.scroll_bar()->maximum(), p.pages().ScrollMaximum());
  // Every control is found by the caption a person reads.
  for (const char16_t* caption : {u"全てのページを印刷", u"指定の範囲を印刷", u"PDF に保存",
                                  u"ページ単位の表示", u"開始ページ", u"終了ページ", u"目次"}) {
    bool found = false;
    for (QWidget* c : p.findChildren<QWidget*>())
      found = found || c->accessibleName() == QString::fromStdU16String(caption);
    EXPECT_TRUE(found) << QString::fromStdU16String(caption).toStdString();
  }
  EXPECT_EQ(p.print_current_button()->accessibleName(),
            QStringLiteral(u"現在ページ(-%1)の印刷").arg(p.pages().contents));
  // The jump list: cover, contents, then the report's headings.
  ASSERT_EQ(p.jump_list()->count(), static_cast<int>(p.jump_entries().size()));
  ASSERT_GT(p.jump_list()->count(), 10);
  EXPECT_EQ(p.jump_list()->item(1)->text(), QStringLiteral(u" － 目 次 －"));
  int chapters = 0;
  for (const JumpEntry& e : p.jump_entries()) chapters += e.chapter;
  EXPECT_GE(chapters, 3);
  // The page shows: paper in the page column (white halved through the
  // 0xFCFCFC mask), the area colour beside it.
  const QImage& img = p.image();
  ASSERT_TRUE(p.view().Drawable());
  EXPECT_EQ(QColor(img.pixel(p.view().left + p.view().width / 2, img.height() / 2)),
            QColor(252, 252, 252));
  EXPECT_EQ(img.pixel(1, img.height() / 2) & 0xFFFFFF, 0xE0E0D0u);
  // The page's frame: its left and right edges lie inside the page column.
  for (int x : {p.view().left, p.view().left + p.view().width - 1})
    EXPECT_LT(qGray(img.pixel(x, img.height() / 2)), 200) << x;
  // This sample fails a stress check: the first error shows in red at the top left.
  ASSERT_FALSE(p.build().first_error.empty());
  int red = 0;
  for (int y = 0; y < 28; ++y)
    for (int x = 0; x < 300; ++x) {
      const QRgb c = img.pixel(x, y);
      red += qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80;
    }
  EXPECT_GT(red, 30);
}

TEST_F(Preview, AJumpScrollsToTheHeadingAndTheCurrentPageFollows) {
  PreviewWindow& p = Open("box_three_boxes.vt1");
  const int n = p.pages().contents;
  int row = -1;
  for (std::size_t i = 2; i < p.jump_entries().size(); ++i)
    if (p.jump_entries()[i].chapter && p.jump_entries()[i].position >= 3) {
      row = static_cast<int>(i);
      break;
    }
  ASSERT_GE(row, 0);
  const JumpEntry& e = p.jump_entries()[static_cast<std::size_t>(row)];
  QListWidget* list = p.jump_list();
  list->scrollToItem(list->item(row));
  emit list->itemClicked(list->item(row));
  const int expected = static_cast<int>((e.position + n) * 20) / 2 * 2;
  EXPECT_EQ(p.position(), expected);
  // The selection is the heading or one just below it on the same page part.
  ASSERT_GE(list->currentRow(), row);
  EXPECT_LT(p.jump_entries()[static_cast<std::size_t>(list->currentRow())].position,
            e.position + 0.5);
  // A heading at the top of body page k makes page k current.
  const int page = static_cast<int>(e.position);
  if (e.position - page < 0.2) {
    EXPECT_EQ(p.print_current_button()->text(), QStringLiteral(u"現在ページ(%1)の印刷").arg(page));
  }
  // The wheel moves by one step either way; a large step snaps to a page top.
  p.ScrollTo(41);
  for (auto [delta, expected] : {std::pair{-120, 42}, std::pair{120, 41}}) {
    QWheelEvent wheel(QPointF(10, 10), p.page_area()->mapToGlobal(QPointF(10, 10)), QPoint(),
                      QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(p.page_area(), &wheel);
    EXPECT_EQ(p.position(), expected) << delta;
  }
  p.scroll_bar()->setValue(61);
  EXPECT_EQ(p.position(), 60);
}

TEST_F(Preview, PrintingReplaysTheRecordedPagesAndAnEmptyRangePrintsNothing) {
  PreviewWindow& p = Open("stand_two_slabs.vt1");
  const std::string pdf = (dir / "printed.pdf").string();
  PrintToFile(p, pdf);
  p.PrintAllPages();
  EXPECT_EQ(static_cast<int>(p.last_printed().size()), p.pages().Last() + 1);
  EXPECT_EQ(PdfPages(pdf), p.pages().Last() + 1);

  p.range_start()->setText(QStringLiteral("5"));
  p.range_end()->setText(QStringLiteral("7"));
  std::filesystem::remove(pdf);
  p.PrintPageRange();
  EXPECT_EQ(p.last_printed(), (std::vector<int>{p.pages().contents + 5, p.pages().contents + 6,
                                                p.pages().contents + 7}));
  EXPECT_EQ(PdfPages(pdf), 3);

  // End before start, start past the last page: no dialog, nothing printed.
  const int asked = dialogs;
  for (auto [s, e] : {std::pair{"9", "3"}, std::pair{"400", "999"}}) {
    p.range_start()->setText(QString::fromLatin1(s));
    p.range_end()->setText(QString::fromLatin1(e));
    p.PrintPageRange();
    EXPECT_TRUE(p.last_printed().empty()) << s << ".." << e;
  }
  EXPECT_EQ(dialogs, asked);
  // Text that is no number reads as the default: every body page.
  p.range_start()->setText(QStringLiteral("abc"));
  p.range_end()->setText(QStringLiteral("x"));
  p.PrintPageRange();
  EXPECT_EQ(static_cast<int>(p.last_printed().size()), p.pages().body);

  // The current page alone; a cancelled dialog prints nothing.
  p.ScrollTo(3 * 20);
  p.PrintCurrentPage();
  EXPECT_EQ(p.last_printed(), std::vector<int>{3});
  PrintToFile(p, pdf, false);
  p.PrintAllPages();
  EXPECT_TRUE(p.last_printed().empty());
  // Printing never ran the report again.
  EXPECT_EQ(p.builds(), 1);
}

TEST_F(Preview, ThePdfHoldsTheSamePagesAsTheCommandLineReport) {
  PreviewWindow& p = Open("box_three_boxes.vt1");
  const std::string ours = (dir / "preview.pdf").string();
  p.SetPdfDialog([&] { return std::optional<std::string>((dir / "preview").string()); });
  QPushButton* save = nullptr;
  for (QPushButton* b : p.findChildren<QPushButton*>())
    if (b->text() == QStringLiteral(u"PDF に保存")) save = b;
  ASSERT_NE(save, nullptr);
  save->click();  // ".pdf" is added to the name
  ASSERT_TRUE(std::filesystem::exists(ours));
  EXPECT_EQ(PdfPages(ours), p.pages().Last() + 1);
  EXPECT_EQ(p.builds(), 1);

  const std::string theirs = (dir / "cli.pdf").string();
  // The window here runs in demo mode: the command line runs the same solver.
  const std::string cmd = std::string(VAULTRA_EXE) + " report --internal --work-dir " +
                          (dir / "cli").string() + " -o " + theirs + " " + VAULTRA_SOURCE_DIR +
                          "/samples/box_three_boxes.vt1 >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  EXPECT_EQ(PdfPages(theirs), PdfPages(ours));
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "no pdftotext";
  const std::string a = (dir / "a.txt").string(), b = (dir / "b.txt").string();
  ASSERT_EQ(std::system(("pdftotext -layout " + ours + " " + a).c_str()), 0);
  ASSERT_EQ(std::system(("pdftotext -layout " + theirs + " " + b).c_str()), 0);
  const std::string ta = Slurp(a), tb = Slurp(b);
  EXPECT_GT(ta.size(), 1000u);
  EXPECT_TRUE(ta == tb) << "the preview's PDF text differs from the command line's";
}

TEST_F(Preview, CopiesStayInsideTheImageAndATinyAreaDrawsNothing) {
  PreviewWindow& p = Open("box_three_boxes.vt1");  // no error text over the pages
  ASSERT_TRUE(p.build().first_error.empty());
  // Pages taller than the area (page-by-page off), every scroll position
  // near the ends and between pages: the image stays the area's size.
  p.page_by_page()->setChecked(false);
  const int last = p.scroll_bar()->maximum();
  for (int pos : {0, 1, 7, 19, 20, 33, last - 21, last - 1, last}) {
    p.ScrollTo(pos);
    EXPECT_EQ(p.image().size(), p.page_area()->size()) << pos;
    EXPECT_LE(p.view().left + p.view().width, p.image().width()) << pos;
  }
  // A narrow area: the page narrows and keeps its shape.
  p.page_by_page()->setChecked(true);
  auto area = [&p](QSize s) {
    p.page_area()->setFixedSize(s);
    p.page_area()->resize(s);
    p.Redraw();
  };
  area(QSize(200, 700));
  EXPECT_EQ(p.view().width, 192);
  EXPECT_EQ(p.view().height, 288);
  // Too small to hold a page: nothing but the area colour, and no crash.
  for (QSize s : {QSize(9, 300), QSize(300, 2), QSize(1, 1)}) {
    area(s);
    EXPECT_FALSE(p.view().Drawable()) << s.width() << "x" << s.height();
    const QImage& img = p.image();
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        ASSERT_EQ(img.pixel(x, y) & 0xFFFFFF, 0xE0E0D0u) << x << "," << y;
  }
}

TEST_F(Preview, ACalculationAfterTheBuildRebuildsThePagesWhenThePreviewShowsAgain) {
  PreviewWindow& p = Open("stand_two_slabs.vt1");
  EXPECT_EQ(p.builds(), 1);
  p.Refresh();  // nothing ran since: the pages stay
  EXPECT_EQ(p.builds(), 1);
  // A recompute on the result page runs the models, the analysis and the
  // silent report pass again.
  const int body_pages = p.pages().body;
  w->Recompute();
  p.hide();
  p.show();
  EXPECT_EQ(p.builds(), 2);
  EXPECT_EQ(p.pages().body, body_pages);
  p.Refresh();
  EXPECT_EQ(p.builds(), 2);
  // The report button always builds anew.
  w->PageButton(Page::kPreview)->click();
  EXPECT_EQ(p.builds(), 3);
}

}  // namespace
}  // namespace vaultra::gui
