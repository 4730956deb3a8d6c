#include "gui/input_pages.h"

#include <QDesktopServices>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <cmath>

#include "app/pages/ground_page.h"
#include "app/pages/material_page.h"
#include "app/pages/model_page.h"
#include "app/pages/page_logic_impl.h"
#include "app/pages/points_page.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "core/format_by_tag.h"
#include "core/number.h"
#include "core/ui.h"
#include "gui/figure_canvas.h"
#include "gui/form_page.h"
#include "gui/qt_ui.h"
#include "render/render.h"
#include "report/force_diagrams.h"
#include "report/report_template.h"

namespace vaultra::gui {

namespace {

// Double clicks on a label run an action (the ground page's sample fill, the
// condition-file view's editor).
class DoubleClickFilter : public QObject {
 public:
  DoubleClickFilter(QObject* parent, std::function<void()> action)
      : QObject(parent), action_(std::move(action)) {}
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::MouseButtonDblClick) {
      action_();
      return true;
    }
    return QObject::eventFilter(o, e);
  }

 private:
  std::function<void()> action_;
};

std::string Name(const QString& q) {
  return q.toStdString();
}

}  // namespace

InputPages::InputPages(ProjectState& state, const MasterData& md, PageLogic& logic, Ui& ui,
                       std::function<bool()> busy, std::function<bool()> started, QWidget* parent)
    : QObject(parent),
      state_(state),
      md_(md),
      logic_(logic),
      ui_(ui),
      busy_(std::move(busy)),
      started_(std::move(started)) {
  // The lists come from the catalogue at start-up, not only when a section is read.
  if (state_.Form(FormId::kMaterial).At("Kjn1").items.empty()) SetConcList(state_.material, md_);
  BuildModelPage();
  BuildGroundPage();
  BuildDimsPage();
  BuildPointsPage();
  BuildLoadsPage();
  BuildMaterialPage();
  BuildConditionsPage();
}

QWidget* InputPages::Widget(Page page) const {
  if (page == Page::kConditions) return conditions_;
  return Form(page);
}

FormPage* InputPages::Form(Page page) const {
  const int i = static_cast<int>(page);
  return i >= 1 && i <= kSwitchedPages ? forms_[static_cast<std::size_t>(i)] : nullptr;
}

void InputPages::Store(Page page) {
  FormPage* fp = Form(page);
  const std::optional<FormId> id = FormOfPage(page);
  if (fp && id && page != Page::kPoints && page != Page::kDimensions) fp->Store(state_.Form(*id));
  if (page == Page::kDimensions && dims_shown_) {
    for (std::size_t i = 0; i < dims_fields_.size(); ++i)
      dims_.fields[i].text = Cp(dims_fields_[i]->text());
  }
}

void InputPages::CommitPending(Page page) {
  Store(page);
  // The dimensions page has no commit of its own: a field not yet left is
  // taken for the selected block now.
  if (page == Page::kDimensions && dims_shown_ && dims_.selected != 0 && !Busy()) {
    CommitDims(state_, md_, dims_, "");
    ShowSelectedBlock(state_, dims_);
    ShowDims();
  }
}

// ---- pictures --------------------------------------------------------------------

static GroundColumnInput GroundColumnOf(const ProjectState& state) {
  GroundColumnInput in;
  const GroundTable& g = state.records.ground;
  for (const GroundLayer& l : g.layers) in.layers.push_back({l.soil, l.bottom});
  in.total_depth = g.total_depth;
  if (!in.layers.empty()) in.total_depth = std::max(in.total_depth, in.layers.back().bottom);
  in.facility_top = state.transverse.cover_depth;
  in.facility_bottom = state.transverse.depth_of_bottom;
  in.ground_water = state.records.model.ground_water;
  in.ground_water_depth = state.records.model.ground_water_depth;
  return in;
}

void InputPages::DrawFigure(Page page, QPainter& p, const QRect& r, bool longitudinal,
                            const std::function<void(PrintEngine&, Figure&)>& draw) {
  Picture& pic = pictures_[static_cast<std::size_t>(page)];
  pic.drawn = false;
  if (!pic.pe) pic.pe = std::make_unique<PrintEngine>();
  const StructureModel& model = longitudinal ? state_.longitudinal : state_.transverse;
  const int layout = state_.records.model.facility_type == 0 ? kLayoutStand : kLayoutBox;
  Figure fig = MakeFigure(model, state_.block_row, layout, longitudinal);
  fig.shear_at_2d = state_.records.model.shear_at_2d;
  render::PainterTarget target(p);
  if (!SetupFigure(*pic.pe, fig, kFigureNew, r.width(), r.height(), 0, &target)) return;
  draw(*pic.pe, fig);
  target.Flush();
  // The engine keeps its window for picking, not the painter of this paint.
  DrawingState st = pic.pe->SaveDrawingState();
  st.canvas = nullptr;
  pic.pe->RestoreDrawingState(st);
  pic.drawn = true;
}

// ---- model page ------------------------------------------------------------------

void InputPages::BuildModelPage() {
  auto* fp = new FormPage(FormId::kModel, QStringLiteral(u"モデル入力"), DefaultModelForm());
  forms_[1] = fp;
  connect(fp, &FormPage::edited, this, [this](const QString& n) { ModelEdited(Name(n)); });
  // The note under the depth says which cover the depth is (lbDepth2).
  if (QWidget* depth = fp->WidgetOf("EdBlockDepth"))
    if (auto* grid = qobject_cast<QGridLayout*>(depth->parentWidget()->layout())) {
      depth_note_ = new QLabel(depth->parentWidget());
      depth_note_->setObjectName(QStringLiteral("lbDepth2"));
      grid->addWidget(depth_note_, grid->rowCount(), 1, 1, 2);
    }
  fp->canvas()->SetDraw([this](QPainter& p, const QRect& r) {
    const bool tate = state_.model.Checked("RbTate");
    DrawFigure(Page::kModel, p, r, tate, [](PrintEngine& pe, Figure& fig) {
      DrawModelFigure(pe, fig, kShowStandard | kShowNodeNumbers);
    });
  });
}

void InputPages::UpdateModel() {
  if (auto* input = dynamic_cast<InputPageLogic*>(&logic_)) {
    input->UpdateModelFromModelPage(state_);
    for (const std::string& m : input->TakeMessages()) ui_.Tell(MsgKind::kWarning, m);
  } else {
    const std::string e = vaultra::UpdateModel(state_, md_, false, nullptr);
    if (!e.empty()) ui_.Tell(MsgKind::kWarning, e);
  }
}

void InputPages::ModelEdited(const std::string& name) {
  FormPage* fp = forms_[1];
  if (Busy()) return;  // a calculation owns the model until it ends
  FormState& f = state_.model;
  const FormState before = f;
  const ModelRecord rec_before = state_.records.model;
  fp->Store(f);
  if (name == "CoBox0") {
    TypeChanged(state_, md_);
  } else if (name == "CoBox1") {
    BlockChanged(state_, md_);
  } else if (name == "CoBox2") {
    SlabChanged(state_);
  } else if (name == "Rb_2d" || name == "Rb_h2") {
    ShearPositionChanged(state_, md_);
  }
  // Every change is committed and the model regenerated at once, so the
  // picture and the other pages show what the fields say.
  logic_.CommitInputs(state_, FormId::kModel);
  const int members_before = state_.transverse.member_count;
  (void)members_before;
  UpdateModel();
  const bool formed = state_.transverse.member_table_valid();
  if (!formed && f.Find(name) && f.At(name).kind == ControlKind::kEdit) {
    // The value cannot form a frame: refuse it, the field shows the value
    // the model still has.
    f.At(name).text = before.At(name).text;
    state_.records.model = rec_before;
    logic_.CommitInputs(state_, FormId::kModel);
    UpdateModel();
  }
  fp->Load(f);
  if (auto* input = dynamic_cast<InputPageLogic*>(&logic_)) {
    for (const Control& c : f.controls)
      if (c.kind == ControlKind::kEdit) fp->SetFieldRed(c.name, false);
    for (const std::string& c : input->ClampedModelFields()) fp->SetFieldRed(c, true);
  }
  ApplyModelView();
  fp->canvas()->update();
  emit modelChanged();
}

void InputPages::ApplyModelView() {
  FormPage* fp = forms_[1];
  const ModelPageView v = ModelPageState(state_.model);
  fp->SetControlVisible("Ed_blkB", v.show_blkB);
  fp->SetControlVisible("Ed_blkH", v.show_blkH);
  fp->SetControlVisible("Ed_blkL", v.show_blkL);
  fp->SetControlVisible("Ed_blkSu", v.show_blkSu);
  fp->SetControlVisible("Ed_slbSu", v.show_slbSu);
  if (QLabel* l = fp->CaptionOf("CoBox1"))
    l->setText(QStringLiteral(u"No　") + Q(v.block_list_header) + QStringLiteral(u"　地下水"));
  if (QLabel* l = fp->CaptionOf("EdBlockDepth")) l->setToolTip(Q(v.depth_note));
  if (depth_note_) depth_note_->setText(Q(v.depth_note));
  if (QLabel* l = fp->CaptionOf("Ed_Kp")) l->setText(Q(v.precast_cover_label));
  if (QWidget* lock = fp->WidgetOf("CbxLock"))
    lock->setStyleSheet(v.locked ? QStringLiteral("color: rgb(255,0,0)")
                                 : QStringLiteral("color: rgb(128,128,128)"));
  if (QWidget* w = fp->WidgetOf("CoBox0")) w->setEnabled(v.product_groups_enabled);
  for (const char* g : {"ブロック寸法", "スラブ寸法"})
    if (QGroupBox* box = fp->GroupOf(g)) box->setEnabled(v.product_groups_enabled);
}

// ---- ground page -----------------------------------------------------------------

void InputPages::BuildGroundPage() {
  auto* fp = new FormPage(FormId::kGround, QStringLiteral(u"地 盤 入 力"), DefaultGroundForm());
  forms_[2] = fp;
  GridTable* t = fp->TableOf("Grid1");
  t->SetColours(15263976, 0xFFFFFF, 0x800000);
  t->setMinimumHeight(460);
  // Rows are moved by dragging their number.
  t->verticalHeader()->show();
  t->verticalHeader()->setSectionsMovable(true);
  t->HideColumn(0);
  // The row numbers are the layer numbers: the hidden column's caption goes above them.
  t->SetCornerText(QStringLiteral(u"地層\nNo"));
  t->SetDisplay([](int, int col, const QString& text) {
    if (col != 8) return text;
    const int kind = text.trimmed().toInt();
    return kind == 1   ? QStringLiteral(u"粘土層")
           : kind == 2 ? QStringLiteral(u"砂質層")
                       : QString();
  });
  connect(t->verticalHeader(), &QHeaderView::sectionMoved, this, [this] { GroundRowMoved(); });
  connect(t, &GridTable::enterPressed, this, &InputPages::GroundEnter);
  connect(t, &GridTable::deletePressed, this, &InputPages::GroundDelete);
  connect(fp, &FormPage::edited, this, [this](const QString&) {
    if (Busy()) return;
    forms_[2]->Store(state_.ground);
    logic_.CommitInputs(state_, FormId::kGround);
    forms_[2]->canvas()->update();
  });
  if (QLabel* cap = fp->CaptionOf("Grid1"))
    cap->installEventFilter(new DoubleClickFilter(cap, [this] {
      if (Busy()) return;
      const bool clear = QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier;
      FillGroundSample(state_.ground.At("Grid1").grid, clear);
      forms_[2]->Load(state_.ground);
      logic_.CommitInputs(state_, FormId::kGround);
      forms_[2]->canvas()->update();
    }));
  fp->canvas()->SetDraw([this](QPainter& p, const QRect& r) {
    DrawFigure(Page::kGround, p, r, false, [this, r](PrintEngine& pe, Figure&) {
      // The column in page millimetres: 180 across, the height in proportion.
      const double d = r.height() * 180.0 / std::max(1, r.width());
      DrawGroundColumn(pe, GroundColumnOf(state_), 40, 8, 140, std::max(d - 8, 16.0));
    });
  });
}

void InputPages::GroundEnter(int row, int col) {
  if (Busy()) return;
  GridTable* t = forms_[2]->TableOf("Grid1");
  GridData& g = state_.ground.At("Grid1").grid;
  t->Take(g);
  const int grow = row + t->fixed_rows();
  if (row >= 0 && col >= 1) g.SetCell(col, grow, FormatGroundCell(col, g.Cell(col, grow)));
  const bool down = state_.ground.Checked("CbEnterDown");
  const CellPos next = NextCell({grow, std::max(col, 1)}, g.row_count(), g.col_count(), 1, 1, down);
  forms_[2]->Load(state_.ground);
  t->setCurrentCell(next.row - t->fixed_rows(), next.col);
  logic_.CommitInputs(state_, FormId::kGround);
  forms_[2]->canvas()->update();
}

void InputPages::GroundDelete(int row, int col) {
  if (Busy() || col != 1 || row < 0) return;
  GridTable* t = forms_[2]->TableOf("Grid1");
  GridData& g = state_.ground.At("Grid1").grid;
  t->Take(g);
  for (int c = 1; c <= 8; ++c) g.SetCell(c, row + 1, "");
  forms_[2]->Load(state_.ground);
  t->setCurrentCell(row, col);
  logic_.CommitInputs(state_, FormId::kGround);
  forms_[2]->canvas()->update();
}

void InputPages::GroundRowMoved() {
  GridTable* t = forms_[2]->TableOf("Grid1");
  GridData& g = state_.ground.At("Grid1").grid;
  t->Take(g);
  QHeaderView* h = t->verticalHeader();
  // The rows in the order they are shown become the grid's order; the
  // numbers run 1 .. 20 again.
  GridData moved = g;
  for (int visual = 0; visual < t->rowCount(); ++visual) {
    const int logical = h->logicalIndex(visual);
    moved.rows[static_cast<std::size_t>(visual + 1)] =
        g.rows[static_cast<std::size_t>(logical + 1)];
    moved.SetCell(0, visual + 1, Format("%d", visual + 1));
  }
  g = moved;
  {
    const QSignalBlocker block(h);
    for (int i = 0; i < t->rowCount(); ++i) h->moveSection(h->visualIndex(i), i);
  }
  forms_[2]->Load(state_.ground);
  if (!Busy()) logic_.CommitInputs(state_, FormId::kGround);
  forms_[2]->canvas()->update();
}

// ---- dimensions page ------------------------------------------------------------

void InputPages::BuildDimsPage() {
  auto* fp =
      new FormPage(FormId::kDimensions, QStringLiteral(u"寸法変更"), DefaultDimensionsForm());
  forms_[3] = fp;
  auto* box = new QGroupBox(QStringLiteral(u"選択したブロックの寸法"), fp);
  auto* grid = new QGridLayout(box);
  // Letter, field and unit side by side; the space left stays right of them.
  grid->setColumnStretch(3, 1);
  for (int i = 0; i < kDimsFieldCount; ++i) {
    const std::string name = kDimsFields[static_cast<std::size_t>(i)].name;
    const QChar letter = QLatin1Char(name.size() > 3 ? name[3] : '?');
    auto* label = new QLabel(QString(letter), box);
    label->setObjectName(QStringLiteral("lb_") + QString::fromStdString(name.substr(3)));
    auto* edit = new QLineEdit(box);
    edit->setObjectName(QString::fromStdString(name));
    edit->setAlignment(Qt::AlignRight);
    edit->setMaximumWidth(100);
    edit->setAccessibleName(QString(letter) + QStringLiteral(" (mm)"));
    label->setBuddy(edit);
    if (name == "Ed_Li") edit->setEnabled(false);
    grid->addWidget(label, i, 0);
    grid->addWidget(edit, i, 1);
    auto* unit = new QLabel(QStringLiteral("(mm)"), box);
    grid->addWidget(unit, i, 2);
    dims_units_[static_cast<std::size_t>(i)] = unit;
    dims_fields_[static_cast<std::size_t>(i)] = edit;
    dims_labels_[static_cast<std::size_t>(i)] = label;
    connect(edit, &QLineEdit::editingFinished, this, [this, name] { DimsEdited(name); });
    connect(edit, &QLineEdit::returnPressed, edit,
            [edit] { edit->nextInFocusChain()->setFocus(Qt::TabFocusReason); });
  }
  // The symbol drawing (寸法記号図) beside the fields explains a ... h.
  symbols_ = new QLabel(fp);
  symbols_->setObjectName(QStringLiteral("DimsSymbols"));
  symbols_->setAccessibleName(QStringLiteral(u"寸法記号図"));
  symbols_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* row = new QHBoxLayout;
  row->addWidget(box, 0, Qt::AlignTop);
  row->addWidget(symbols_, 1, Qt::AlignTop);
  fp->extra_area()->addLayout(row);
  fp->canvas()->SetDraw([this](QPainter& p, const QRect& r) {
    DrawFigure(Page::kDimensions, p, r, false, [this](PrintEngine& pe, Figure& fig) {
      fig.highlighted_blocks.assign(static_cast<std::size_t>(kMaxBlocks + 1), 0);
      if (dims_.selected >= 1 && dims_.selected <= kMaxBlocks)
        fig.highlighted_blocks[static_cast<std::size_t>(dims_.selected)] = 1;
      DrawModelFigure(pe, fig, kShowStandard & ~kShowMemberNumbers);
    });
  });
  connect(fp->canvas(), &FigureCanvas::picked, this,
          [this](QPointF fit) { PickOnCanvas(Page::kDimensions, fit); });
}

void InputPages::ShowDims() {
  dims_shown_ = false;  // filling: field exits are not commits
  for (std::size_t i = 0; i < dims_fields_.size(); ++i) {
    const DimsFieldView& v = dims_.fields[i];
    const QSignalBlocker block(dims_fields_[i]);
    dims_fields_[i]->setText(Q(v.text));
    dims_fields_[i]->setVisible(v.visible);
    dims_labels_[i]->setVisible(v.visible);
    dims_units_[i]->setVisible(v.visible);
    dims_fields_[i]->setStyleSheet(v.red ? QStringLiteral("color: rgb(255,0,0)") : QString());
  }
  dims_shown_ = dims_.selected != 0;
}

void InputPages::DimsEdited(const std::string& name) {
  // A field left after the page was left (selection 0) or while a
  // calculation runs commits nothing.
  if (!dims_shown_ || dims_.selected == 0 || Busy()) return;
  Store(Page::kDimensions);
  const std::size_t i = static_cast<std::size_t>(
      std::find_if(kDimsFields.begin(), kDimsFields.end(),
                   [&](const DimsFieldInfo& f) { return f.name == name; }) -
      kDimsFields.begin());
  if (i < dims_.fields.size()) dims_.fields[i].text = FormatByTag(dims_.fields[i].text, 60);
  CommitDims(state_, md_, dims_, name);
  if (!dims_.error.empty()) ui_.Tell(MsgKind::kWarning, dims_.error);
  ShowSelectedBlock(state_, dims_);
  ShowDims();
  forms_[3]->canvas()->update();
  emit modelChanged();
}

// ---- points page -----------------------------------------------------------------

void InputPages::BuildPointsPage() {
  auto* fp = new FormPage(FormId::kPoints, QStringLiteral(u"着目点確認"), DefaultPointsForm());
  forms_[4] = fp;
  for (const char* n : {"Grid_Pos", "Grid_Bzi"}) {
    GridTable* t = fp->TableOf(n);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setMinimumHeight(200);
  }
  fp->TableOf("Grid_Pos")->SetColours(0xE8E8E8, 0xE8FFE8, 0);
  fp->TableOf("Grid_Bzi")->SetDisplay([this](int, int col, const QString& text) {
    if (col != 4 || text.isEmpty()) return text;
    const int code = text.toInt();
    return QStringLiteral("(%1) ").arg(code, 2, 10, QLatin1Char('0')) + Q(md_.MemberTypeName(code));
  });
  fp->TableOf("Grid_Bzi")->SetColours(0xE8E8E8, 0xFFFFFF, 0);
  GridTable* members = fp->TableOf("Grid_Bzi");
  connect(members, &QTableWidget::cellClicked, this,
          [this](int row, int) { PointsRowClicked(row); });
  connect(members, &GridTable::enterPressed, this, [this, members](int row, int col) {
    const GridData& g = state_.points.At("Grid_Bzi").grid;
    const CellPos next =
        NextCell({row + 1, col}, g.row_count(), g.col_count(), 1, g.fixed_cols, false);
    members->setCurrentCell(next.row - 1, next.col);
    PointsRowClicked(next.row - 1);
  });
  fp->canvas()->SetDraw([this](QPainter& p, const QRect& r) {
    DrawFigure(Page::kPoints, p, r, false, [this, r](PrintEngine& pe, Figure& fig) {
      // One flag per member number, sized from the member capacity.
      fig.selected_members.assign(static_cast<std::size_t>(MemberHighlight::kCapacity + 1), 0);
      MemberHighlight flags;
      if (flags.Set(points_selected_))
        fig.selected_members[static_cast<std::size_t>(points_selected_)] = 1;
      DrawModelFigure(pe, fig, kShowStandard & ~kShowMemberNumbers);
      DrawNodeNumbers(pe, fig);
      DrawFigureLegend(pe, fig, r.width(), r.height(), true);
    });
  });
  connect(fp->canvas(), &FigureCanvas::picked, this,
          [this](QPointF fit) { PickOnCanvas(Page::kPoints, fit); });
}

void InputPages::FillPointsPage() {
  FillPointsTables(state_);
  forms_[4]->Load(state_.points);
}

void InputPages::PointsRowClicked(int row) {
  const GridData& g = state_.points.At("Grid_Bzi").grid;
  const int member = static_cast<int>(ReadReal(g.Cell(0, row + 1)));
  if (member <= 0) return;
  points_selected_ = member;
  forms_[4]->TableOf("Grid_Bzi")->SetHighlightRow(row);
  forms_[4]->canvas()->update();
}

void InputPages::PickOnCanvas(Page page, QPointF fit_point) {
  const int i = static_cast<int>(page);
  if (i < 1 || i > kSwitchedPages) return;
  Picture& pic = pictures_[static_cast<std::size_t>(i)];
  if (!pic.drawn || !pic.pe) return;
  double x = 0, y = 0;
  PixelToWorld(*pic.pe, fit_point.x(), fit_point.y(), x, y);
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  switch (page) {
    case Page::kDimensions:
      if (Busy()) return;
      Store(Page::kDimensions);
      ClickDrawing(state_, md_, dims_, x, y, 0);
      ShowDims();
      forms_[3]->canvas()->update();
      break;
    case Page::kPoints: {
      const int m = PickMember(state_.transverse, x, y);
      points_selected_ = m;
      if (m == 0) return;
      const int row = RowOfMember(state_.points.At("Grid_Bzi").grid, m);
      if (row > 0) {
        forms_[4]->TableOf("Grid_Bzi")->setCurrentCell(row - 1, 0);
        PointsRowClicked(row - 1);
      }
      break;
    }
    case Page::kLoads:
      if (ClickLoadDrawing(state_, loads_, x, y, 0)) ShowLoadTable();
      break;
    default:
      break;
  }
}

// ---- loads page ------------------------------------------------------------------

void InputPages::BuildLoadsPage() {
  auto* fp = new FormPage(FormId::kLoads, QStringLiteral(u"荷重の設定"), DefaultLoadsForm());
  forms_[5] = fp;
  connect(fp, &FormPage::edited, this, [this](const QString& n) { LoadsEdited(Name(n)); });
  GridTable* t = fp->TableOf("Grid1");
  t->setEditTriggers(QAbstractItemView::NoEditTriggers);
  t->SetColours(15263976, 0xFFFFFF, 0x800000);
  connect(t, &QTableWidget::cellClicked, this, [this](int row, int) {
    // The spare row below the items selects nothing.
    if (ClickLoadTable(state_, loads_, row + 1)) ShowLoadTable();
  });
  connect(t, &GridTable::enterPressed, this, [this, t](int row, int col) {
    const CellPos next =
        NextCell({row + 1, col}, loads_.table.row_count(), loads_.table.col_count(), 1, 1, false);
    t->setCurrentCell(next.row - 1, next.col);
  });
  fp->canvas()->SetDraw([this](QPainter& p, const QRect& r) {
    const bool tate = !ShownTransverse(state_.loads);
    DrawFigure(Page::kLoads, p, r, tate, [this, r, tate](PrintEngine& pe, Figure& fig) {
      MemberHighlight flags;
      HighlightSelectedItem(state_, loads_, flags);
      fig.selected_members.assign(static_cast<std::size_t>(MemberHighlight::kCapacity + 1), 0);
      for (int m = 1; m <= MemberHighlight::kCapacity; ++m)
        if (flags.IsSet(m)) fig.selected_members[static_cast<std::size_t>(m)] = 1;
      DrawModelFigure(pe, fig,
                      kShowBlocks | kShowSelected | kShowMembers | kShowNodes | kShowNodeNumbers |
                          (tate ? 0u : kShowMemberNumbers));
      DrawLoadState(pe, fig, ShownFrame(state_, loads_), ShownLoadCase(state_.loads));
      DrawFigureLegend(pe, fig, r.width(), r.height(), false);
    });
  });
  connect(fp->canvas(), &FigureCanvas::picked, this,
          [this](QPointF fit) { PickOnCanvas(Page::kLoads, fit); });
}

void InputPages::ShowLoadTable() {
  GridTable* t = forms_[5]->TableOf("Grid1");
  t->Fill(loads_.table);
  t->SetHighlightRow(loads_.selected_item > 0 ? loads_.selected_item - 1 : -1);
  forms_[5]->canvas()->update();
}

void InputPages::ApplyLoadsView() {
  FormPage* fp = forms_[5];
  const FormState& f = state_.loads;
  const bool henni = f.Checked("RbCalcHenni");
  fp->SetControlVisible("GBoxSisin", henni);
  fp->SetControlVisible("RgKea3", !henni);
  fp->SetControlVisible("RgCs", !henni);
  if (QGroupBox* box = fp->GroupOf("GBoxJsPa"))
    box->setTitle(henni ? QStringLiteral(u"地震時静止土圧の選択")
                        : QStringLiteral(u"地震時土圧の選択"));
  if (QWidget* so = fp->WidgetOf("PhSo")) so->setEnabled(henni);
  const bool typed = TypedSpringsEnabled(f);
  for (const char* g : {"GBoxK", "GBoxK2"})
    if (QGroupBox* box = fp->GroupOf(g)) box->setEnabled(typed);
  const int formula = f.Index("GBoxBaneSiki");
  if (QGroupBox* eo = fp->GroupOf("GbEo")) eo->setVisible(formula == 0 || formula == 1);
  if (QWidget* q = fp->WidgetOf("Ed_tate_q"))
    q->setEnabled(state_.records.model.longitudinal_check);
}

void InputPages::LoadsEdited(const std::string& name) {
  FormPage* fp = forms_[5];
  if (Busy()) return;
  fp->Store(state_.loads);
  FormState& f = state_.loads;
  if (name == "RbCalcHenni" || name == "RbCalcSindo") MethodChanged(f);
  if (name == "GBoxSisin" || name == "GBoxBaneSiki") Sv1StandardChanged(f);
  if (name == "RgKajyuType" || name == "RbYoko" || name == "RbTate") {
    ChangeLoadDisplay(state_, md_, loads_);
  } else {
    RecomputeLoadsPage(state_, md_, loads_, name, !started_ || started_());
  }
  fp->Load(f);
  ApplyLoadsView();
  fp->canvas()->SetViewKey(ShownTransverse(f) ? "yoko" : "tate");
  ShowLoadTable();
}

// ---- material page ---------------------------------------------------------------

void InputPages::BuildMaterialPage() {
  auto* fp =
      new FormPage(FormId::kMaterial, QStringLiteral(u"材料強度設定"), DefaultMaterialForm());
  forms_[6] = fp;
  auto* reset = new QPushButton(QStringLiteral(u"既定値に戻す"), fp);
  reset->setObjectName(QStringLiteral("Zk_SetDefault"));
  reset->setAccessibleName(QStringLiteral(u"既定値に戻す"));
  reset->setMaximumWidth(160);
  fp->extra_area()->addWidget(reset);
  connect(reset, &QPushButton::clicked, this, [this] { MaterialEdited("Zk_SetDefault"); });
  connect(fp, &FormPage::edited, this, [this](const QString& n) { MaterialEdited(Name(n)); });
}

void InputPages::MaterialEdited(const std::string& name) {
  if (Busy()) return;
  FormPage* fp = forms_[6];
  fp->Store(state_.material);
  const bool at_2d = state_.model.Checked("Rb_2d");
  if (name == "Zk_SetDefault") {
    ResetMaterialDefaults(state_.material, md_, at_2d);
  } else if (name.rfind("Kjn", 0) == 0 || name.rfind("Syurui", 0) == 0) {
    const int g = name.back() - '0';
    if (g >= 1 && g <= kMaterialGroups) ViewKyoudo(state_.material, md_, g, at_2d);
  }
  fp->Load(state_.material);
}

// ---- condition-file view -----------------------------------------------------------

void InputPages::BuildConditionsPage() {
  conditions_ = new QWidget;
  conditions_->setObjectName(QStringLiteral("TFm20vO1"));
  auto* v = new QVBoxLayout(conditions_);
  auto* title = new QLabel(QStringLiteral(u"ＳＤＫ入力"), conditions_);
  QFont tf = title->font();
  tf.setBold(true);
  title->setFont(tf);
  v->addWidget(title);
  auto* tabs = new QTabWidget(conditions_);
  v->addWidget(tabs, 1);
  QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  mono.setPixelSize(16);
  const QString names[2] = {QStringLiteral(u"横方向"), QStringLiteral(u"縦方向")};
  for (int i = 0; i < 2; ++i) {
    auto* page = new QWidget(tabs);
    auto* pv = new QVBoxLayout(page);
    auto* panel = new QLabel(page);
    panel->setObjectName(i == 0 ? QStringLiteral("PanelY") : QStringLiteral("PanelT"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setToolTip(QStringLiteral(u"ダブルクリックでエディタを開きます"));
    panel->setAccessibleName(names[i] + QStringLiteral(u" ファイル"));
    panel->installEventFilter(new DoubleClickFilter(panel, [this, i] { OpenInEditor(i); }));
    auto* text = new QPlainTextEdit(page);
    text->setObjectName(i == 0 ? QStringLiteral("MemoY") : QStringLiteral("MemoT"));
    text->setReadOnly(true);
    text->setFont(mono);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setAccessibleName(names[i]);
    pv->addWidget(panel);
    pv->addWidget(text, 1);
    tabs->addTab(page, names[i]);
    cond_panel_[static_cast<std::size_t>(i)] = panel;
    cond_text_[static_cast<std::size_t>(i)] = text;
  }
}

// The drawing file recorded on a page of its own and replayed onto an
// image, cut to what it draws.
void InputPages::SetPrintMasterDir(const std::string& dir) {
  const std::string path = dir + Utf16ToCp932(u"寸法記号図.PCJ");
  if (!symbols_ || dir.empty() || !FileExists(path)) return;
  PrintEngine pe;
  pe.BeginReportPages(1800, 2700);
  pe.SelectPageSlot(kFirstBodySlot);
  pe.NewPage();
  DrawPcjFigure(pe, 0, path);
  const QImage page = render::RenderPage(pe.records(), pe.records().current(), 720, 1080);
  QRect drawn;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x)
      if (page.pixel(x, y) != 0xFFFFFFFFu) drawn |= QRect(x, y, 1, 1);
  if (drawn.isEmpty()) return;
  symbols_->setPixmap(QPixmap::fromImage(page.copy(drawn.adjusted(-6, -6, 6, 6))));
}

void InputPages::SetFramePaths(std::string transverse, std::string longitudinal) {
  frame_paths_ = {std::move(transverse), std::move(longitudinal)};
}

void InputPages::OpenInEditor(int which) {
  const std::string& path = frame_paths_[static_cast<std::size_t>(which)];
  if (path.empty()) return;
  // The desktop's editor gets the path as one argument; nothing goes through a shell.
  QDesktopServices::openUrl(QUrl::fromLocalFile(Q(path)));
}

// ---- entering and leaving ----------------------------------------------------------

void InputPages::Enter(Page page) {
  switch (page) {
    case Page::kModel:
      EnterModelPage(state_);
      forms_[1]->Load(state_.model);
      ApplyModelView();
      forms_[1]->canvas()->SetViewKey(state_.model.Checked("RbTate") ? "tate" : "yoko");
      break;
    case Page::kGround:
      forms_[2]->Load(state_.ground);
      logic_.CommitInputs(state_, FormId::kGround);
      break;
    case Page::kDimensions:
      EnterDimsPage(state_, dims_);
      ShowDims();
      break;
    case Page::kPoints:
      points_selected_ = 0;
      FillPointsPage();
      points_selected_ = 1;
      forms_[4]->TableOf("Grid_Bzi")->SetHighlightRow(0);
      break;
    case Page::kLoads:
      EnterLoadsPage(state_, md_, loads_);
      forms_[5]->Load(state_.loads);
      ApplyLoadsView();
      ShowLoadTable();
      break;
    case Page::kMaterial:
      forms_[6]->Load(state_.material);
      break;
    case Page::kConditions:
      for (int i = 0; i < 2; ++i) {
        const std::string& path = frame_paths_[static_cast<std::size_t>(i)];
        cond_panel_[static_cast<std::size_t>(i)]->setText(Q(path));
        cond_text_[static_cast<std::size_t>(i)]->clear();
        if (path.empty()) continue;
        std::string error;
        if (std::optional<std::string> bytes = ReadFileBytes(path, &error))
          cond_text_[static_cast<std::size_t>(i)]->setPlainText(Q(*bytes));
        else
          ui_.Tell(MsgKind::kError, "ファイル\n" + path + "\nを読めません: " + error);
      }
      break;
    default:
      break;
  }
  if (FormPage* fp = Form(page); fp && fp->canvas()) fp->canvas()->update();
}

void InputPages::Leave(Page page) {
  switch (page) {
    case Page::kDimensions:
      // Pending edits belong to the selected block: commit them before the
      // selection goes.
      CommitPending(Page::kDimensions);
      dims_shown_ = false;
      LeaveDimsPage(dims_);
      break;
    case Page::kPoints:
      points_selected_ = 0;
      break;
    case Page::kLoads:
      Store(page);
      LeaveLoadsPage(state_, loads_);
      break;
    default:
      Store(page);
      break;
  }
}

}  // namespace vaultra::gui
