// The result-file view and the member-force page in the window: what a
// run leaves on them, the case and scale choices, the direction, the demo
// note, and a run without results that must never show a diagram.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <filesystem>
#include <fstream>

#include "app/pages/force_page.h"
#include "app/pages/page_logic_impl.h"
#include "app/pages/result_file_page.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "core/ui.h"
#include "gui/figure_canvas.h"
#include "gui/form_page.h"
#include "gui/main_window.h"
#include "gui/result_pages.h"
#include "gui_support.h"

namespace vaultra::gui {
namespace {

struct ResultPagesTest : test::WindowFixture {
  ResultPagesTest() : WindowFixture("results") {}

  std::unique_ptr<MainWindow> Window(const std::string& sample) {
    auto w = WindowFixture::Window(sample.c_str());
    w->resize(1280, 768);
    return w;
  }
  // The radio button of a page by the caption a person reads.
  static QAbstractButton* Radio(FormPage* page, const QString& caption) {
    for (QRadioButton* r : page->findChildren<QRadioButton*>())
      if (r->accessibleName() == caption) return r;
    return nullptr;
  }
  // Pixels of the red failure note (nothing else on the figure is pure red).
  static int RedPixels(const QImage& img) {
    int n = 0;
    for (int y = 30; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) {
        const QColor c = img.pixelColor(x, y);
        if (c.red() > 200 && c.green() < 60 && c.blue() < 60) ++n;
      }
    return n;
  }
};

TEST_F(ResultPagesTest, EachSampleShowsItsFilesAndDiagrams) {
  for (const char* sample : {"stand_two_slabs.vt1", "box_three_boxes.vt1"}) {
    SCOPED_TRACE(sample);
    auto w = Window(sample);
    ResultPages& pages = w->results();
    EXPECT_TRUE(pages.ResultText()->toPlainText().isEmpty());  // nothing analysed yet

    w->PageButton(Page::kResultFiles)->click();
    ASSERT_TRUE(w->calculation().analysed());
    ASSERT_TRUE(w->calculation().run().transverse_ok);
    const QStringList lines = pages.ResultText()->toPlainText().split(QLatin1Char('\n'));
    ASSERT_GT(lines.size(), 10);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(".F31"))) << lines[0].toStdString();
    EXPECT_GE(
        lines.indexOf(Q(ChangeExtension(w->calculation().workspace().transverse_path, ".F32"))), 1);
    // Every line naming a member follows one separator.
    const QString sep = Q(ResultFileSeparator());
    int members = 0;
    for (int i = 1; i < lines.size(); ++i)
      if (lines[i].contains(QStringLiteral(u"部材"))) {
        ++members;
        EXPECT_EQ(lines[i - 1], sep) << i;
        EXPECT_NE(lines[i - 2], sep) << i;
      }
    EXPECT_GT(members, 0);
    EXPECT_TRUE(pages.ResultText()->isReadOnly());

    // Between result pages nothing is analysed again.
    const int runs = w->calculation().run_count();
    w->PageButton(Page::kMemberForce)->click();
    EXPECT_EQ(w->calculation().run_count(), runs);
    FormPage* page = w->FormPageOf(Page::kMemberForce);
    ASSERT_NE(page, nullptr);
    page->resize(1100, 700);
    FigureCanvas* canvas = page->canvas();
    QImage img = canvas->grab().toImage();
    const ForcePageView& v = pages.force_view();
    EXPECT_EQ(v.case_number, 19);
    EXPECT_TRUE(v.drawable()) << Cp932ToUtf8(v.failure);
    EXPECT_EQ(v.demo_note, kForceDemoNote);  // demo mode: the internal solver ran
    EXPECT_GT(v.reference, 0);
    EXPECT_TRUE(canvas->accessibleDescription().contains(QStringLiteral(u"デモ･モード")));
    EXPECT_GT(pages.diagram_labels(), 10);
    EXPECT_EQ(RedPixels(img), 0);

    // A combination at "x 30": the case and the scale follow, the record keeps them.
    QAbstractButton* combo = Radio(page, QStringLiteral(u"28) 組合せＬ２"));
    QAbstractButton* x30 = Radio(page, QStringLiteral(u"x 30"));
    QAbstractButton* shear = Radio(page, QStringLiteral(u"せん断力図(Ｓy)"));
    ASSERT_TRUE(combo && x30 && shear);
    const double reference_m = v.reference;
    combo->click();
    x30->click();
    canvas->grab();
    EXPECT_EQ(pages.force_view().case_number, 28);
    EXPECT_DOUBLE_EQ(pages.force_view().magnification, 30);
    EXPECT_DOUBLE_EQ(pages.force_view().reference, reference_m);  // cases 1..22 only
    EXPECT_TRUE(canvas->accessibleDescription().startsWith(
        QStringLiteral(u"28) 組合せＬ２ - ﾓｰﾒﾝﾄ図(Ｍz) - 倍率：x 30")));
    shear->click();
    canvas->grab();
    EXPECT_EQ(pages.force_view().component, 2);
    EXPECT_EQ(state.member_force.Index("RgKajyuType"), 29);
    EXPECT_EQ(state.member_force.Index("RgScale"), 5);
    EXPECT_EQ(state.member_force.Index("RgType2"), 1);

    // The longitudinal direction: its diagram, or why there is none.
    QAbstractButton* tate = Radio(page, QStringLiteral(u"縦"));
    ASSERT_NE(tate, nullptr);
    tate->click();
    img = canvas->grab().toImage();
    EXPECT_FALSE(pages.force_view().transverse);
    const CalcRun& run = w->calculation().run();
    if (run.longitudinal_ok) {
      EXPECT_TRUE(pages.force_view().drawable());
      EXPECT_GT(pages.diagram_labels(), 0);
    } else {
      EXPECT_FALSE(pages.force_view().drawable());
      EXPECT_EQ(pages.diagram_labels(), 0);
      EXPECT_GT(RedPixels(img), 20);
    }

    // Leaving and entering again: the case starts at "19) L2･外水圧", the
    // scale and the diagram stay as chosen.
    w->PageButton(Page::kResultFiles)->click();
    w->PageButton(Page::kMemberForce)->click();
    canvas->grab();
    EXPECT_EQ(pages.force_view().case_number, 19);
    EXPECT_DOUBLE_EQ(pages.force_view().magnification, 30);
    EXPECT_EQ(pages.force_view().component, 2);
  }
}

TEST_F(ResultPagesTest, ControlsReadAsTheirCaptions) {
  auto w = Window("box_three_boxes.vt1");
  FormPage* page = w->FormPageOf(Page::kMemberForce);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->WidgetOf("RgKajyuType")->accessibleName(), QStringLiteral(u"荷重ケース"));
  EXPECT_EQ(page->WidgetOf("RgType2")->accessibleName(), QStringLiteral(u"断面力図"));
  EXPECT_EQ(page->WidgetOf("RgScale")->accessibleName(), QStringLiteral(u"グラフの倍率"));
  EXPECT_EQ(page->WidgetOf("RbYoko")->accessibleName(), QStringLiteral(u"横"));
  EXPECT_EQ(page->GroupOf("GroupBox1")->accessibleName(), QStringLiteral(u"表示方向"));
  for (const char* item : {"1) 自重", "*)  ---", "26) 組合せ常時", "標準", "x 10", "軸力図(Ｎx)"})
    EXPECT_NE(Radio(page, QString::fromUtf8(item)), nullptr) << item;
  EXPECT_EQ(w->results().ResultText()->accessibleName(), QStringLiteral(u"ＳＤＫ出力"));
}

// A build that cannot write its frame texts leaves nothing analysed: both
// pages say so and no diagram is drawn.
TEST_F(ResultPagesTest, NoResultsShowNoDiagramButTheReasonInRed) {
  std::ofstream(dir / "blocker") << "a file where the working folder should be";
  started.folders.work_dir = (dir / "blocker" / "work").string() + "/";
  auto w = Window("stand_two_slabs.vt1");
  w->PageButton(Page::kMemberForce)->click();
  EXPECT_FALSE(w->calculation().analysed());
  FormPage* page = w->FormPageOf(Page::kMemberForce);
  page->resize(1100, 700);
  const QImage img = page->canvas()->grab().toImage();
  const ForcePageView& v = w->results().force_view();
  EXPECT_FALSE(v.drawable());
  EXPECT_EQ(v.failure, kForceNotAnalysedNote);
  EXPECT_TRUE(v.demo_note.empty());
  EXPECT_EQ(w->results().diagram_labels(), 0);
  EXPECT_GT(RedPixels(img), 20);
  w->PageButton(Page::kResultFiles)->click();
  EXPECT_TRUE(w->results().ResultText()->toPlainText().isEmpty());
}

}  // namespace
}  // namespace vaultra::gui

namespace vaultra::gui {
namespace {

// A result file that cannot be written (a folder in its place): the
// transverse analysis fails, and neither page passes that off as results.
TEST_F(ResultPagesTest, AFailedTransverseAnalysisIsShownInRed) {
  auto w = Window("box_three_boxes.vt1");
  w->PageButton(Page::kConditions)->click();  // builds, does not analyse
  const std::string text = w->calculation().workspace().transverse_path;
  const std::filesystem::path blocker = ChangeExtension(text, ".F31");
  ASSERT_TRUE(std::filesystem::create_directories(blocker));
  std::ofstream(blocker / "keep") << "not empty, so never removed";
  w->PageButton(Page::kMemberForce)->click();
  ASSERT_TRUE(w->calculation().analysed());
  ASSERT_FALSE(w->calculation().run().transverse_ok);
  FormPage* page = w->FormPageOf(Page::kMemberForce);
  page->resize(1100, 700);
  const QImage img = page->canvas()->grab().toImage();
  const ForcePageView& v = w->results().force_view();
  EXPECT_EQ(v.failure, kTransverseFailedMessage);
  EXPECT_EQ(w->results().diagram_labels(), 0);
  EXPECT_GT(RedPixels(img), 20);
  EXPECT_EQ(v.demo_note, kForceDemoNote);
  w->PageButton(Page::kResultFiles)->click();
  const QString shown = w->results().ResultText()->toPlainText();
  EXPECT_TRUE(shown.startsWith(Q(kTransverseFailedMessage))) << shown.left(200).toStdString();
}

}  // namespace
}  // namespace vaultra::gui
