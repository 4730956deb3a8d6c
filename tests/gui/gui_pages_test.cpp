// The input pages as an engineer uses them: captions and accessible names,
// edits that reach the calculation and the files, and the faults the pages
// used to have (late commits, an empty model after a refused edit, commits
// during a run, lists and grids at their edges).
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/document/project_file.h"
#include "app/pages/page_logic_impl.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "core/number.h"
#include "core/ui.h"
#include "gui/figure_canvas.h"
#include "gui/form_page.h"
#include "gui/input_pages.h"
#include "gui/main_window.h"
#include "gui/page_layout.h"
#include "gui_support.h"
#include "inputs/master_data.h"

namespace vaultra::gui {
namespace {

using test::Master;

std::string Sample(const char* name) {
  return std::string(VAULTRA_SOURCE_DIR) + "/samples/" + name;
}

struct Pages : test::WindowFixture {
  Pages() : WindowFixture("pages") {}

  QLineEdit* Edit(MainWindow& w, Page page, const char* name) {
    return qobject_cast<QLineEdit*>(w.FormPageOf(page)->WidgetOf(name));
  }
  // Types a value as a person would and leaves the field.
  void Type(QLineEdit* e, const QString& text) {
    e->setText(text);
    emit e->editingFinished();
  }
  std::string ResumeValue(const std::string& key) {
    std::optional<std::string> bytes = ReadFileBytes(started.folders.resume_file, nullptr);
    if (!bytes) return {};
    std::istringstream in(*bytes);
    std::string line;
    while (std::getline(in, line)) {
      if (line.rfind(key, 0) != 0) continue;
      const std::size_t eq = line.find('=');
      if (eq != std::string::npos &&
          line.substr(0, eq).find_first_not_of(' ', key.size()) == std::string::npos)
        return line.substr(eq + 1);
    }
    return {};
  }
};

// ---- what a person reads ------------------------------------------------------

TEST_F(Pages, EveryShownControlCarriesItsCaptionAsAccessibleName) {
  auto w = Window("box_three_boxes.vt1");
  const std::vector<std::pair<Page, std::u16string>> found = {
      {Page::kModel, u"構造物の深さ (D)"},
      {Page::kModel, u"縦方向の照査を行う"},
      {Page::kModel, u"モデルタイプ"},
      {Page::kGround, u"通常土層の地盤情報"},
      {Page::kGround, u"Enterで下移動"},
      {Page::kPoints, u"部材の着目点一覧"},
      {Page::kLoads, u"載荷荷重 (q)"},
      {Page::kLoads, u"[ 荷重状態図 ]"},
      {Page::kMaterial, u"曲げ圧縮応力度 (σca) ﾌﾞﾛｯｸ部 常時の許容応力度 [N/mm2]"},
  };
  for (const auto& [page, name] : found) {
    const QString q = QString::fromStdU16String(name);
    bool hit = false;
    for (QWidget* c : w->FormPageOf(page)->findChildren<QWidget*>())
      if (c->accessibleName() == q) hit = true;
    EXPECT_TRUE(hit) << InfoOf(page).form << " " << q.toStdString();
  }
  // No control a person can reach is nameless, and no raw control name is shown.
  for (Page page : {Page::kModel, Page::kGround, Page::kLoads, Page::kMaterial}) {
    FormPage* fp = w->FormPageOf(page);
    for (QWidget* c : fp->findChildren<QWidget*>()) {
      const bool control = qobject_cast<QLineEdit*>(c) || qobject_cast<QComboBox*>(c) ||
                           qobject_cast<QAbstractButton*>(c) || qobject_cast<QTableWidget*>(c);
      // The tables' own corner buttons are part of the table, not controls.
      if (!control || !c->isVisibleTo(fp) || c->inherits("QToolButton") ||
          qobject_cast<QAbstractItemView*>(c->parentWidget()))
        continue;
      EXPECT_FALSE(c->accessibleName().isEmpty() && c->property("text").toString().isEmpty())
          << InfoOf(page).form << " " << c->objectName().toStdString();
    }
    for (QLabel* l : fp->findChildren<QLabel*>())
      if (l->isVisibleTo(fp)) {
        EXPECT_NE(l->text(), QStringLiteral("CbxLock"));
        EXPECT_NE(l->text(), QStringLiteral("Ed_blkB"));
      }
  }
}

TEST(PageLayout, AccessibleCaptionDropsLayoutBlanksAndColons) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"構造物の深さ  (D):", "構造物の深さ (D)"},   {" 常 時     :", "常 時"},
      {"粘着力　          Ｃ:", "粘着力 Ｃ"},       {"表示方向：", "表示方向"},
      {"縦方向の照査を行う", "縦方向の照査を行う"}, {"", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(AccessibleCaption(in), out) << in;
}

TEST_F(Pages, HiddenCarriersAreNeverShown) {
  auto w = Window("box_three_boxes.vt1");
  FormPage* model = w->FormPageOf(Page::kModel);
  for (const char* name : {"ModelIndex", "BlockIndex", "SlabuIndex", "EdWaterBlk", "Ed_slbH",
                           "Ed_invH", "Ed_narH", "Ed_slbL"}) {
    ASSERT_NE(model->WidgetOf(name), nullptr) << name;
    EXPECT_FALSE(model->WidgetOf(name)->isVisibleTo(model)) << name;
  }
  // The box layout: width shown, effective length and slab count hidden.
  EXPECT_TRUE(model->WidgetOf("Ed_blkB")->isVisibleTo(model));
  EXPECT_FALSE(model->WidgetOf("Ed_blkL")->isVisibleTo(model));
  EXPECT_FALSE(model->WidgetOf("Ed_slbSu")->isVisibleTo(model));
}

// ---- edits reach the calculation ---------------------------------------------------

TEST_F(Pages, EditSwitchedStraightToAResultPageIsCalculatedAndResumed) {
  auto w = Window("box_three_boxes.vt1");
  ASSERT_EQ(w->navigator().current(), Page::kModel);
  w->PageButton(Page::kRcCheck)->click();
  ASSERT_TRUE(w->calculation().analysed());
  const std::string before = *ReadFileBytes(w->calculation().workspace().transverse_path, nullptr);
  w->PageButton(Page::kModel)->click();

  // The depth typed and, without leaving the field, the result page clicked.
  Edit(*w, Page::kModel, "EdBlockDepth")->setText(QStringLiteral("2.5"));
  w->PageButton(Page::kRcCheck)->click();
  ASSERT_TRUE(w->calculation().analysed());
  EXPECT_DOUBLE_EQ(state.records.model.cover_depth, 2.5);
  const std::string after = *ReadFileBytes(w->calculation().workspace().transverse_path, nullptr);
  EXPECT_NE(before, after);  // the deeper cover loads the frame differently
  EXPECT_DOUBLE_EQ(ReadReal(ResumeValue("EdBlockDepth")), 2.5);
}

// The calculation saves the resume file before a run only when start-up
// completed, as closing the window does.
TEST_F(Pages, AnIncompleteStartUpWritesNoResumeFileBeforeARun) {
  started.complete = false;
  auto w = Window("box_three_boxes.vt1");
  std::filesystem::remove(started.folders.resume_file);  // opening saves it first
  w->PageButton(Page::kRcCheck)->click();
  ASSERT_TRUE(w->calculation().analysed());
  EXPECT_FALSE(std::filesystem::exists(started.folders.resume_file));
}

TEST_F(Pages, WidthSequenceNeverLeavesTheModelEmpty) {
  auto w = Window("box_three_boxes.vt1");
  QLineEdit* b = Edit(*w, Page::kModel, "Ed_blkB");
  for (const char* typed : {"12", "3.0", "2.5", "10", "0.1", "2.0"}) {
    Type(b, QString::fromLatin1(typed));
    EXPECT_GT(state.transverse.member_count, 0) << typed;
    // The model has the value typed, clamped to 0.5 .. 10 m; a clamped field is red.
    const double value = ReadReal(Cp(b->text()));
    EXPECT_NEAR(std::clamp(value, 0.5, 10.0), state.records.model.B, 1e-9) << typed;
    EXPECT_EQ(b->styleSheet().contains(QStringLiteral("255,0,0")), value < 0.5 || value > 10)
        << typed;
    EXPECT_NEAR(state.block_row.At(1).working_set.B(), state.records.model.B, 1e-9) << typed;
  }
  w->PageButton(Page::kRcCheck)->click();
  EXPECT_TRUE(w->calculation().models_built());
}

TEST_F(Pages, RoundTripThroughTheProjectFile) {
  auto w = Window("box_three_boxes.vt1");
  struct Case {
    Page page;
    const char* control;
    QString text;
  };
  const std::vector<Case> cases = {
      {Page::kModel, "EdModelName", QStringLiteral(u"試験の名前")},
      {Page::kModel, "EdWaterH0", QStringLiteral("1.100")},
      {Page::kLoads, "Ed_q", QStringLiteral("12.50")},
      {Page::kMaterial, "nSca1", QStringLiteral("13.50")},
  };
  for (const Case& c : cases) {
    w->PageButton(c.page)->click();
    Edit(*w, c.page, c.control)->setText(c.text);
  }
  // A ground cell edited in its grid.
  w->PageButton(Page::kGround)->click();
  auto* grid = qobject_cast<QTableWidget*>(w->FormPageOf(Page::kGround)->WidgetOf("Grid1"));
  ASSERT_NE(grid, nullptr);
  grid->item(4, 1)->setText(QStringLiteral("1.250"));  // layer 5
  w->PageButton(Page::kModel)->click();

  const std::string path = (dir / "saved.vt1").string();
  w->SetSaveDialog([&] { return std::optional<std::string>(path); });
  w->SaveAs();
  ProjectState back = DefaultProjectState();
  InputPageLogic logic2(Master());
  ASSERT_TRUE(LoadProjectFile(back, path, logic2).loaded);
  for (const Case& c : cases) {
    const FormId id = *FormOfPage(c.page);
    EXPECT_EQ(back.Form(id).Text(c.control), Cp(c.text)) << c.control;
  }
  EXPECT_EQ(back.ground.At("Grid1").grid.Cell(1, 5), "1.250");
}

// ---- the dimensions page ----------------------------------------------------------

TEST_F(Pages, DimensionEditIsCommittedForTheSelectedBlockBeforeLeaving) {
  auto w = Window("box_three_boxes.vt1");
  w->PageButton(Page::kDimensions)->click();
  InputPages& pages = w->pages();
  ASSERT_EQ(pages.dims().selected, 1);
  // Field order B, H, L, a, b, c ...: c of the end block, typed and not left.
  QLineEdit* a = pages.DimsField(5);
  ASSERT_TRUE(a->isVisibleTo(a->parentWidget()));
  a->setText(QStringLiteral("400"));
  w->PageButton(Page::kModel)->click();
  // Box: every block but the slabs takes the new c.
  for (int k = 1; k <= state.transverse.real_block_count; ++k) {
    const DimensionSet& s = state.block_row.At(k).working_set;
    if (s.kind != kBlockSlab) {
      EXPECT_NEAR(s.c(), 0.4, 1e-9) << k;
    }
  }
  EXPECT_EQ(pages.dims().selected, 0);

  // A field left after the page was left commits nothing.
  const BlockRow row = state.block_row;
  a->setText(QStringLiteral("900"));
  emit a->editingFinished();
  for (int k = 1; k <= state.transverse.real_block_count; ++k)
    EXPECT_EQ(state.block_row.At(k).working_set, row.At(k).working_set) << k;
}

TEST_F(Pages, ClickOnTheDrawingSelectsTheBlockUnderIt) {
  auto w = Window("box_three_boxes.vt1");
  w->resize(1280, 768);
  w->show();
  w->PageButton(Page::kDimensions)->click();
  FigureCanvas* canvas = w->FormPageOf(Page::kDimensions)->canvas();
  canvas->grab();
  ASSERT_GT(canvas->paint_count(), 0);
  // The right end block lies at the right of the fitted frame.
  const int before = w->pages().dims().selected;
  w->pages().PickOnCanvas(Page::kDimensions,
                          QPointF(canvas->width() * 0.9, canvas->height() * 0.4));
  EXPECT_NE(w->pages().dims().selected, before);
  EXPECT_EQ(w->pages().dims().selected, state.transverse.real_block_count);
}

// ---- points and loads tables ---------------------------------------------------------

TEST(GridEnter, WrapsToTheFirstEditableColumnOrRow) {
  struct Case {
    CellPos at;
    int rows, cols, fixed_rows, fixed_cols;
    bool down;
    CellPos expected;
  };
  const std::vector<Case> cases = {
      {{1, 13}, 29, 14, 1, 5, false, {2, 5}},     // points table: past the last column
      {{1, 6}, 29, 14, 1, 5, false, {1, 7}},      // one to the right
      {{28, 13}, 29, 14, 1, 5, false, {28, 13}},  // the last row stays
      {{20, 3}, 21, 9, 1, 1, true, {1, 4}},       // ground grid, Enter moves down: next column
      {{5, 3}, 21, 9, 1, 1, true, {6, 3}},
      {{20, 8}, 21, 9, 1, 1, true, {20, 8}},  // the last column stays
      {{1, 9}, 3, 10, 1, 1, false, {2, 1}},   // load table
      {{0, 0}, 0, 0, 1, 1, false, {0, 0}},    // an empty grid
  };
  for (const Case& c : cases)
    EXPECT_EQ(NextCell(c.at, c.rows, c.cols, c.fixed_rows, c.fixed_cols, c.down), c.expected)
        << c.at.row << "," << c.at.col;
}

TEST_F(Pages, PointsTableEnterWrapsToTheFirstEditableColumn) {
  auto w = Window("box_three_boxes.vt1");
  w->PageButton(Page::kPoints)->click();
  auto* t = w->FormPageOf(Page::kPoints)->TableOf("Grid_Bzi");
  ASSERT_GT(t->rowCount(), 2);
  t->setCurrentCell(0, 13);
  emit t->enterPressed(0, 13);
  EXPECT_EQ(t->currentRow(), 1);
  EXPECT_EQ(t->currentColumn(), 5);
  EXPECT_EQ(w->pages().points_selected(), ReadReal(Cp(t->item(1, 0)->text())));
}

TEST_F(Pages, SpareRowOfTheLoadTableSelectsNothing) {
  auto w = Window("box_three_boxes.vt1");
  w->PageButton(Page::kLoads)->click();
  auto* t = w->FormPageOf(Page::kLoads)->TableOf("Grid1");
  const int items = ShownItemCount(state, w->pages().loads());
  ASSERT_GT(items, 0);
  ASSERT_EQ(t->rowCount(), items + 1);  // one row per item and the spare row
  emit t->cellClicked(items - 1, 2);
  EXPECT_EQ(w->pages().loads().selected_item, items);
  emit t->cellClicked(items, 2);  // the spare row
  EXPECT_EQ(w->pages().loads().selected_item, items);
}

// ---- edges and guards --------------------------------------------------------------

TEST_F(Pages, CanvasOfNoSizeDrawsAndPicksNothing) {
  auto w = Window("box_three_boxes.vt1");
  w->PageButton(Page::kPoints)->click();
  FigureCanvas* canvas = w->FormPageOf(Page::kPoints)->canvas();
  canvas->setMinimumSize(0, 0);
  canvas->resize(0, 0);
  canvas->grab();
  EXPECT_EQ(canvas->paint_count(), 0);
  const int before = w->pages().points_selected();
  w->pages().PickOnCanvas(Page::kPoints, QPointF(0, 0));  // never drawn: no window to map
  EXPECT_EQ(w->pages().points_selected(), before);
  // A view zoomed to nothing cannot be undone: no pick.
  canvas->ZoomAt(QPointF(1, 1), 0);
  QPointF fit;
  EXPECT_TRUE(canvas->ToFit(QPointF(5, 5), &fit));
  canvas->ZoomAt(QPointF(1, 1), 1.1);
  EXPECT_TRUE(canvas->ToFit(QPointF(5, 5), &fit));
}

TEST_F(Pages, FillingFieldsRunsNoChangeHandler) {
  auto w = Window("box_three_boxes.vt1");
  FormPage* model = w->FormPageOf(Page::kModel);
  int edited = 0;
  QObject::connect(model, &FormPage::edited, [&edited] { ++edited; });
  // Values loaded from a project: covers and longitudinal blocks other than
  // the ones a product change would reset them to.
  state.model.SetText("Ed_Kp", "  45");
  state.model.SetText("Ed_Kg", "  70");
  state.model.SetText("Ed_tateSu", "   7");
  model->Load(state.model);
  EXPECT_EQ(edited, 0);
  FormState back = state.model;
  model->Store(back);
  EXPECT_EQ(back.Text("Ed_Kp"), "  45");
  EXPECT_EQ(back.Text("Ed_Kg"), "  70");
  EXPECT_EQ(back.Text("Ed_tateSu"), "   7");
}

TEST_F(Pages, ListsAreBuiltAtStartUpAndABadIndexChangesNothing) {
  auto w = Window(nullptr);  // no project read yet
  EXPECT_FALSE(state.material.At("Kjn1").items.empty());
  EXPECT_FALSE(state.material.At("Syurui4").items.empty());
  FormPage* material = w->FormPageOf(Page::kMaterial);
  // A stored index beyond a changed catalogue shows no choice and is kept.
  FormState f = state.material;
  f.At("Kjn2").index = 99;
  material->Load(f);
  EXPECT_EQ(qobject_cast<QComboBox*>(material->WidgetOf("Kjn2"))->currentIndex(), -1);
  material->Store(f);
  EXPECT_EQ(f.At("Kjn2").index, 99);
  // Read from a file, such an index leaves the choice as it was.
  FormState read = state.material;
  read.At("Kjn2").index = 1;
  const std::vector<std::string> lines = {"[Fm16KYD]", "Kjn2 = 99", "Kjn3 = 0"};
  ASSERT_TRUE(ReadControls(lines, "Fm16KYD", read.controls));
  EXPECT_EQ(read.At("Kjn2").index, 1);
  EXPECT_EQ(read.At("Kjn3").index, 0);
}

TEST_F(Pages, NothingIsCommittedWhileACalculationRuns) {
  bool busy = false;
  ASSERT_TRUE(LoadProjectFile(state, Sample("box_three_boxes.vt1"), logic).loaded);
  InputPages pages(
      state, Master(), logic, ui, [&] { return busy; }, [] { return true; }, nullptr);
  pages.Enter(Page::kModel);
  auto* depth = qobject_cast<QLineEdit*>(pages.Form(Page::kModel)->WidgetOf("EdBlockDepth"));
  const double before = state.records.model.cover_depth;
  const std::string text_before = state.model.Text("EdBlockDepth");
  busy = true;
  depth->setText(QStringLiteral("4.0"));
  emit depth->editingFinished();
  EXPECT_DOUBLE_EQ(state.records.model.cover_depth, before);
  EXPECT_EQ(state.model.Text("EdBlockDepth"), text_before);
  busy = false;
  emit depth->editingFinished();
  EXPECT_DOUBLE_EQ(state.records.model.cover_depth, 4.0);
}

// ---- saving -------------------------------------------------------------------------

TEST_F(Pages, SaveAsAsksBeforeReplacingTheFileTheExtensionNames) {
  auto w = Window("box_three_boxes.vt1");
  const std::string target = (dir / "kept.vt1").string();
  { std::ofstream(target) << "old"; }
  // The dialog returned the name without its extension.
  w->SetSaveDialog([&] { return std::optional<std::string>((dir / "kept").string()); });
  ui.SetQuietAnswer(false);
  w->SaveAs();
  ASSERT_EQ(ui.asked().size(), 1u);
  EXPECT_EQ(*ReadFileBytes(target, nullptr), "old");
  ui.SetQuietAnswer(true);
  w->SaveAs();
  EXPECT_EQ(ui.asked().size(), 2u);
  EXPECT_NE(*ReadFileBytes(target, nullptr), "old");
  EXPECT_EQ(state.project_path, target);

  // A folder that does not exist: reported, nothing half written.
  const std::string bad = (dir / "no_such_folder" / "x.vt1").string();
  w->SetSaveDialog([&] { return std::optional<std::string>(bad); });
  const std::size_t told = ui.told().size();
  w->SaveAs();
  EXPECT_GT(ui.told().size(), told);
  EXPECT_FALSE(std::filesystem::exists(bad));
  EXPECT_EQ(state.project_path, target);
}

// ---- the condition-file view --------------------------------------------------------

TEST_F(Pages, ConditionViewShowsTheFrameTextsReadOnly) {
  auto w = Window("stand_two_slabs.vt1");
  w->PageButton(Page::kConditions)->click();
  InputPages& pages = w->pages();
  for (int i = 0; i < 2; ++i) {
    EXPECT_FALSE(pages.ConditionPanel(i)->text().isEmpty()) << i;
    EXPECT_TRUE(pages.ConditionText(i)->isReadOnly());
    EXPECT_TRUE(pages.ConditionText(i)->toPlainText().startsWith(QStringLiteral("FRAME"))) << i;
  }
}

}  // namespace
}  // namespace vaultra::gui
