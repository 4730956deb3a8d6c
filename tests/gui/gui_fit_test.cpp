// The window fits a laptop screen: at 1280x720 and 1366x768 every control of
// every page lies inside what the window shows, directly or inside a scroll
// area that can bring it into view; and the header faults of the pages.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollArea>
#include <QTableWidget>
#include <sstream>

#include "gui/form_page.h"
#include "gui/input_pages.h"
#include "gui/section_detail_window.h"
#include "gui_support.h"

namespace vaultra::gui::test {
namespace {

// A control a user reads or works: fields, lists, buttons, tables, labels.
bool IsControl(const QWidget* w) {
  return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
         (qobject_cast<const QLabel*>(w) && !static_cast<const QLabel*>(w)->text().isEmpty());
}

// Where `w` is cut off: walking up to the window, the control must lie
// inside each ancestor, except that the content of a scroll area may lie
// outside its viewport (scrolling brings any part of it in): from there on
// the scroll area itself must lie inside its ancestors. Empty when nothing
// cuts it.
std::string ClippedBy(const QWidget* w, const QWidget* top) {
  QRect r = w->rect();
  const QWidget* c = w;
  while (c != top) {
    const QWidget* p = c->parentWidget();
    if (!p) break;
    const auto* area = qobject_cast<const QAbstractScrollArea*>(p->parentWidget());
    if (area && area->viewport() == p) {
      r = area->rect();
      c = area;
      continue;
    }
    const QRect in_p = r.translated(c->pos());
    if (!QRect(QPoint(0, 0), p->size()).contains(in_p)) {
      std::ostringstream s;
      s << p->metaObject()->className() << " '" << p->objectName().toStdString() << "' "
        << p->width() << "x" << p->height() << " cuts " << in_p.x() << "," << in_p.y() << " "
        << in_p.width() << "x" << in_p.height();
      return s.str();
    }
    r = in_p;
    c = p;
  }
  return {};
}

std::vector<std::string> Clipped(const QWidget* top) {
  std::vector<std::string> out;
  for (const QWidget* w : top->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(top) || !IsControl(w) || w->width() <= 0) continue;
    // Inside a combo's popup, a table's editors, a scroll bar: the owner is checked.
    if (qobject_cast<const QAbstractItemView*>(w->parentWidget()) ||
        qobject_cast<const QAbstractItemView*>(w->parentWidget() ? w->parentWidget()->parentWidget()
                                                                 : nullptr))
      continue;
    const std::string why = ClippedBy(w, top);
    if (!why.empty()) {
      const QString name = w->accessibleName().isEmpty() ? w->objectName() : w->accessibleName();
      out.push_back(std::string(w->metaObject()->className()) + " '" + name.toStdString() +
                    "': " + why);
    }
  }
  return out;
}

struct Fit : WindowFixture {
  // With the print master folder: the dimensions page shows its drawing.
  Fit() : WindowFixture("fit") {
    started.folders.print_master_dir =
        Utf8ToCp932(std::string(VAULTRA_SOURCE_DIR) + "/Master/印刷/");
  }
};

TEST_F(Fit, EveryPageFitsTheLaptopSizes) {
  for (const char* sample : {"box_three_boxes.vt1", "stand_two_slabs.vt1"}) {
    auto w = Window(sample);
    for (const QSize size : {QSize(1280, 720), QSize(1366, 768)}) {
      w->resize(size);
      w->show();
      QApplication::processEvents();
      EXPECT_LE(w->width(), size.width());
      EXPECT_LE(w->height(), size.height());
      for (int p = 1; p <= kSwitchedPages; ++p) {
        w->PageButton(static_cast<Page>(p))->click();
        for (int i = 0; i < 3; ++i) QApplication::processEvents();  // layouts after a fill
        for (const std::string& c : Clipped(w.get()))
          ADD_FAILURE() << sample << " " << size.width() << "x" << size.height() << " page " << p
                        << ": " << c;
      }
      // The section-detail window within the screen too.
      SectionDetailView* d = w->SectionDetail();
      d->ShowWindow();
      QApplication::processEvents();
      EXPECT_LE(d->frameGeometry().height(), size.height()) << size.height();
      EXPECT_LE(d->frameGeometry().width(), size.width());
      d->hide();
    }
  }
}

TEST(FitTexts, NegativeZeroReadsAsZero) {
  const std::pair<const char*, const char*> cases[] = {
      {"-0.000", " 0.000"},   {"  -0.00", "   0.00"}, {"-0", " 0"}, {"-0.001", "-0.001"},
      {"-10.000", "-10.000"}, {"0.000", "0.000"},     {"-", "-"},   {"", ""}};
  for (const auto& [in, out] : cases)
    EXPECT_EQ(WithoutNegativeZero(QString::fromUtf8(in)).toStdString(), out) << in;
}

// The header faults: the ground grid's layer-number caption, no "$" in a
// table header, the groundwater pair never both off, the depth note shown.
TEST_F(Fit, HeadersAndNotesShowWhatTheyMean) {
  auto w = Window(nullptr);
  w->resize(1366, 768);
  w->show();
  // A state whose "無し" was left off by a project with groundwater.
  state.model.At("RbWaterDepthOff").checked = false;
  for (const char* sample : {"box_three_boxes.vt1", "stand_two_slabs.vt1"}) {
    w->OpenProject(std::string(VAULTRA_SOURCE_DIR) + "/samples/" + sample);
    QApplication::processEvents();
    FormPage* model = w->FormPageOf(Page::kModel);
    auto* on = qobject_cast<QRadioButton*>(model->WidgetOf("RbWaterDepthON"));
    auto* off = qobject_cast<QRadioButton*>(model->WidgetOf("RbWaterDepthOff"));
    ASSERT_TRUE(on && off);
    EXPECT_NE(on->isChecked(), off->isChecked()) << sample;
    auto* note = model->findChild<QLabel*>(QStringLiteral("lbDepth2"));
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisibleTo(w.get()));
    EXPECT_EQ(note->text(), IsBoxLayout(state) ? QStringLiteral(u"(ボックス部の土被りとする)")
                                               : QStringLiteral(u"(左端頂版の土被りとする)"))
        << sample;
  }
  w->PageButton(Page::kGround)->click();
  QApplication::processEvents();
  GridTable* ground = w->FormPageOf(Page::kGround)->TableOf("Grid1");
  bool corner = false;
  for (QLabel* l : ground->findChildren<QLabel*>())
    corner |= l->text() == QStringLiteral(u"地層\nNo") && l->isVisibleTo(ground) && l->width() > 0;
  EXPECT_TRUE(corner);
  w->PageButton(Page::kLoads)->click();
  QApplication::processEvents();
  for (GridTable* t : w->FormPageOf(Page::kLoads)->findChildren<GridTable*>())
    for (int c = 0; c < t->columnCount(); ++c)
      if (QTableWidgetItem* h = t->horizontalHeaderItem(c)) {
        EXPECT_FALSE(h->text().contains(QLatin1Char('$'))) << h->text().toStdString();
      }
}

// The dimensions page shows the symbol drawing beside its fields, each
// field next to its letter.
TEST_F(Fit, DimensionsPageShowsTheSymbolDrawingBesideItsFields) {
  auto w = Window("box_three_boxes.vt1");
  w->resize(1280, 720);
  w->show();
  w->PageButton(Page::kDimensions)->click();
  w->pages().PickOnCanvas(Page::kDimensions,
                          QPointF(0.3, 0.5));  // a block chosen or not: the drawing stays
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
  QLabel* symbols = w->pages().DimsSymbols();
  ASSERT_NE(symbols, nullptr);
  ASSERT_FALSE(symbols->pixmap().isNull());
  EXPECT_GT(symbols->pixmap().width(), 300);
  EXPECT_TRUE(symbols->isVisibleTo(w.get()));
  QLineEdit* a = w->pages().DimsField(0);
  auto* label = qobject_cast<QLabel*>(
      a->parentWidget()->findChild<QLabel*>(QStringLiteral("lb_") + a->objectName().mid(3)));
  ASSERT_NE(label, nullptr);
  const int gap = a->mapTo(w.get(), QPoint(0, 0)).x() -
                  (label->mapTo(w.get(), QPoint(0, 0)).x() + label->width());
  EXPECT_LT(gap, 120) << "label and field " << gap << " px apart";
  // The drawing lies to the right of the fields.
  EXPECT_GT(symbols->mapTo(w.get(), QPoint(0, 0)).x(),
            a->mapTo(w.get(), QPoint(a->width(), 0)).x());
}

// Every control a user works carries a name a screen reader reads: its
// caption as accessible name (a button or check box its own text).
TEST_F(Fit, EveryControlHasAName) {
  auto w = Window("box_three_boxes.vt1");
  w->show();
  int named = 0;
  for (int p = 1; p <= kSwitchedPages; ++p) {
    w->PageButton(static_cast<Page>(p))->click();
    QApplication::processEvents();
    for (const QWidget* c : w->findChildren<QWidget*>()) {
      if (!c->isVisibleTo(w.get())) continue;
      const bool field = qobject_cast<const QLineEdit*>(c) || qobject_cast<const QComboBox*>(c) ||
                         qobject_cast<const QTableWidget*>(c) ||
                         qobject_cast<const QListWidget*>(c);
      const auto* button = qobject_cast<const QAbstractButton*>(c);
      if (!field && !button) continue;
      if (qobject_cast<const QAbstractItemView*>(c->parentWidget()) ||
          (c->parentWidget() &&
           qobject_cast<const QAbstractItemView*>(c->parentWidget()->parentWidget())) ||
          qobject_cast<const QComboBox*>(c->parentWidget()))
        continue;  // a table's editor or corner, a combo's own line edit
      const QString name = !c->accessibleName().isEmpty() ? c->accessibleName()
                           : button                       ? button->text()
                                                          : QString();
      EXPECT_FALSE(name.trimmed().isEmpty()) << "page " << p << ": " << c->metaObject()->className()
                                             << " " << c->objectName().toStdString();
      ++named;
    }
  }
  EXPECT_GT(named, 200);  // the pages' fields, lists, tables and buttons were all seen
}

}  // namespace
}  // namespace vaultra::gui::test
