#include "gui/rc_page_view.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>
#include <cmath>

#include "app/calc/navigation.h"
#include "gui/figure_canvas.h"
#include "gui/qt_ui.h"
#include "render/render.h"
#include "report/force_diagrams.h"

namespace vaultra::gui {

namespace {

QButtonGroup* Radios(QWidget* parent, QBoxLayout* into, const QString& name, const QString& title,
                     const QStringList& items) {
  auto* box = new QGroupBox(title, parent);
  box->setObjectName(name);
  box->setAccessibleName(title);
  auto* l = new QHBoxLayout(box);
  l->setContentsMargins(4, 2, 4, 2);
  auto* group = new QButtonGroup(box);
  for (int i = 0; i < items.size(); ++i) {
    auto* b = new QRadioButton(items[i], box);
    b->setAccessibleName(items[i]);
    group->addButton(b, i);
    l->addWidget(b);
  }
  group->button(0)->setChecked(true);
  into->addWidget(box);
  return group;
}

QTableWidget* MakeGrid(QWidget* parent, const QString& name, const QString& caption) {
  auto* g = new QTableWidget(parent);
  g->setObjectName(name);
  g->setAccessibleName(caption);
  g->horizontalHeader()->hide();
  g->verticalHeader()->hide();
  g->setEditTriggers(QAbstractItemView::NoEditTriggers);
  g->setSelectionMode(QAbstractItemView::NoSelection);
  g->setFocusPolicy(Qt::ClickFocus);
  return g;
}

// Fills a table widget from the page's table: texts split at "," into
// lines, colours, bold cells.
void FillGrid(QTableWidget* g, const RcTable& t, int header_rows) {
  g->setRowCount(t.rows);
  g->setColumnCount(t.cols);
  for (int c = 0; c < t.cols && c < static_cast<int>(t.widths.size()); ++c)
    g->setColumnWidth(c, t.widths[static_cast<std::size_t>(c)]);
  for (int r = 0; r < t.rows; ++r) {
    g->setRowHeight(r, r == 0 && header_rows == 2 ? 16 : 18);
    for (int c = 0; c < t.cols; ++c) {
      const RcCell& cell = t.At(c, r);
      auto* item = g->item(r, c);
      if (!item) {
        item = new QTableWidgetItem;
        g->setItem(r, c, item);
      }
      item->setText(Q(cell.shown).replace(QLatin1Char(','), QLatin1Char('\n')));
      item->setTextAlignment(Qt::AlignCenter);
      item->setBackground(render::ToQColor(cell.bg));
      item->setForeground(render::ToQColor(cell.fg));
      QFont f = item->font();
      f.setBold(cell.bold);
      item->setFont(f);
    }
  }
}

}  // namespace

RcPageView::RcPageView(ProjectState& state, const MasterData& md, std::function<CalcRun*()> run,
                       QWidget* parent)
    : QWidget(parent), state_(state), md_(md), run_(std::move(run)) {
  setAccessibleName(QStringLiteral(u"応力照査・鉄筋"));
  auto* v = new QVBoxLayout(this);
  v->setContentsMargins(2, 2, 2, 2);
  auto* split = new QSplitter(Qt::Vertical, this);
  v->addWidget(split);

  canvas_ = new FigureCanvas(split);
  canvas_->setObjectName(QStringLiteral("Paint1"));
  canvas_->setAccessibleName(QStringLiteral(u"断面力図"));
  canvas_->setMinimumHeight(200);
  canvas_->SetDraw([this](QPainter& p, const QRect& r) { DrawFigure(p, r); });
  connect(canvas_, &FigureCanvas::picked, this, &RcPageView::Picked);
  split->addWidget(canvas_);

  tabs_ = new QTabWidget(split);
  tabs_->setObjectName(QStringLiteral("PageControl1"));
  split->addWidget(tabs_);
  split->setStretchFactor(0, 2);
  split->setStretchFactor(1, 3);

  // Tab "配筋変更".
  auto* t1 = new QWidget(tabs_);
  t1->setAccessibleName(QStringLiteral(u"配筋変更"));
  auto* v1 = new QVBoxLayout(t1);
  auto* row1 = new QHBoxLayout;
  v1->addLayout(row1);
  js1_ =
      Radios(t1, row1, QStringLiteral("RgJs1"), QStringLiteral(u"荷重状態"),
             {QStringLiteral(u"常 時"), QStringLiteral(u"L1地震時"), QStringLiteral(u"L2地震時")});
  ms1_ = Radios(t1, row1, QStringLiteral("RgMS1"), QStringLiteral(u"断面力"),
                {QStringLiteral(u"モーメント"), QStringLiteral(u"せん断力")});
  tk_err_ = new QLabel(t1);
  tk_err_->setObjectName(QStringLiteral("TkErr"));
  tk_err_->setAccessibleName(QStringLiteral(u"照査結果"));
  row1->addWidget(tk_err_, 1);
  auto* note = new QLabel(QStringLiteral(u"赤字部が鉄筋量の不足箇所です。"), t1);
  note->setStyleSheet(QStringLiteral("color:red"));
  row1->addWidget(note);
  kaburi_ = new QLabel(Q(kCoverMessage), t1);
  kaburi_->setObjectName(QStringLiteral("lbKaburiMsg"));
  kaburi_->setAccessibleName(Q(kCoverMessage));
  kaburi_->hide();
  v1->addWidget(kaburi_);
  grid1_ = MakeGrid(t1, QStringLiteral("Grid1"), QStringLiteral(u"配筋変更"));
  v1->addWidget(grid1_, 1);
  edit1_ = new QLineEdit(grid1_->viewport());
  edit1_->setObjectName(QStringLiteral("Edit1"));
  edit1_->setAccessibleName(QStringLiteral(u"配筋の入力"));
  edit1_->setAlignment(Qt::AlignCenter);
  edit1_->hide();
  edit1_->installEventFilter(this);
  connect(grid1_, &QTableWidget::cellClicked, this, [this](int r, int c) { OpenEditor(c, r); });
  tabs_->addTab(t1, QStringLiteral(u"配筋変更"));

  // Tab "応力度表".
  auto* t2 = new QWidget(tabs_);
  t2->setAccessibleName(QStringLiteral(u"応力度表"));
  auto* v2 = new QVBoxLayout(t2);
  auto* row2 = new QHBoxLayout;
  v2->addLayout(row2);
  js2_ =
      Radios(t2, row2, QStringLiteral("RgJs2"), QStringLiteral(u"荷重状態"),
             {QStringLiteral(u"常時"), QStringLiteral(u"Lv1.地震"), QStringLiteral(u"Lv2.地震")});
  ms2_ = Radios(t2, row2, QStringLiteral("RgMS2"), QStringLiteral(u"断面力"),
                {QStringLiteral(u"モーメント"), QStringLiteral(u"せん断力")});
  auto* members = new QGroupBox(QStringLiteral(u"部材切替"), t2);
  members->setAccessibleName(QStringLiteral(u"部材切替"));
  auto* ml = new QHBoxLayout(members);
  back_ = new QPushButton(QStringLiteral("(-)"), members);
  back_->setObjectName(QStringLiteral("BziBack"));
  back_->setAccessibleName(QStringLiteral("(-)"));
  fore_ = new QPushButton(QStringLiteral("(+)"), members);
  fore_->setObjectName(QStringLiteral("BziFore"));
  fore_->setAccessibleName(QStringLiteral("(+)"));
  ml->addWidget(back_);
  ml->addWidget(fore_);
  row2->addWidget(members);
  stress_note_ = new QLabel(t2);
  stress_note_->setObjectName(QStringLiteral("lbStressNote"));
  stress_note_->setAccessibleName(QStringLiteral(u"照査結果"));
  stress_note_->setStyleSheet(QStringLiteral("color:red"));
  row2->addWidget(stress_note_, 1);
  grid2_ = MakeGrid(t2, QStringLiteral("Grid2"), QStringLiteral(u"応力度表"));
  v2->addWidget(grid2_, 1);
  connect(grid2_, &QTableWidget::cellPressed, this, &RcPageView::StressCellClicked);
  connect(fore_, &QPushButton::clicked, this, [this] { StepMember(1); });
  connect(back_, &QPushButton::clicked, this, [this] { StepMember(-1); });
  tabs_->addTab(t2, QStringLiteral(u"応力度表"));

  auto redraw_list = [this] {
    FillRebarList();
    canvas_->update();
  };
  connect(js1_, &QButtonGroup::idClicked, this, redraw_list);
  connect(ms1_, &QButtonGroup::idClicked, this, redraw_list);
  connect(ms2_, &QButtonGroup::idClicked, this, [this] {
    FillRebarList();
    canvas_->update();
  });
  connect(js2_, &QButtonGroup::idClicked, this, [this] {
    FillStressTable();
    canvas_->update();
    fore_->setFocus();
  });
  connect(tabs_, &QTabWidget::currentChanged, this, [this] {
    CommitEditor();
    FillStressTable();
    canvas_->Fit();
    canvas_->update();
  });
}

RcPageView::~RcPageView() = default;

int RcPageView::Combination() const {
  const QButtonGroup* g = tabs_->currentIndex() == 1 ? js2_ : js1_;
  return std::clamp(g->checkedId(), 0, 2);
}

int RcPageView::Component() const {
  const QButtonGroup* g = tabs_->currentIndex() == 1 ? ms2_ : ms1_;
  return g->checkedId() == 1 ? 2 : 1;
}

void RcPageView::Enter() {
  page_.Enter();
  tabs_->setCurrentIndex(0);
  Refresh();
  canvas_->Fit();
}

void RcPageView::Refresh() {
  FillRebarList();
  FillStressTable();
  canvas_->update();
}

void RcPageView::ShowCoverMessage(bool visible) {
  kaburi_->setStyleSheet(QStringLiteral("color:black"));
  kaburi_->setVisible(visible);
}

void RcPageView::FillRebarList() {
  RcSources src{&state_.transverse, &state_.block_row, &md_, IsBoxLayout(state_) ? 1 : 0, run_()};
  list_ = BuildRebarList(src, std::clamp(js1_->checkedId(), 0, 2));
  FillGrid(grid1_, list_.table, 2);
  tk_err_->setText(Q(list_.error_summary));
  // A failed or missing run is never shown as a pass.
  tk_err_->setStyleSheet(list_.failed || !list_.error_summary.empty()
                             ? QStringLiteral("color:red;font-weight:bold")
                             : QString());
}

void RcPageView::FillStressTable() {
  RcSources src{&state_.transverse, &state_.block_row, &md_, IsBoxLayout(state_) ? 1 : 0, run_()};
  stress_ = BuildStressTable(src, page_.selected_member(), std::clamp(js2_->checkedId(), 0, 2));
  FillGrid(grid2_, stress_.table, 1);
  stress_note_->setText(Q(stress_.failure));
}

// ---- inline editor ------------------------------------------------------------------

void RcPageView::OpenEditor(int col, int row) {
  if (opening_) return;
  opening_ = true;
  CommitEditor();  // a value typed elsewhere is taken first
  edit1_->hide();
  const bool visible_tab = tabs_->currentIndex() == 0 && isVisible();
  if (RebarCellEditable(col, row, list_.table.rows) && visible_tab) {
    const QRect r = grid1_->visualRect(grid1_->model()->index(row, col));
    edit1_->setGeometry(r.left(), r.top() + 1, r.width(), r.height());
    edit_col_ = col;
    edit_row_ = row;
    const RcCell& cell = list_.table.At(col, row);
    std::string text = cell.text;
    if (!text.empty() && text[0] == '+') text.erase(0, 1);
    edit1_->setText(Q(text));
    edit1_->show();
    edit1_->setFocus();
    edit1_->selectAll();
  } else {
    edit_col_ = edit_row_ = 0;
  }
  opening_ = false;
}

void RcPageView::CommitEditor() {
  if (edit_col_ != 0 && !committing_) Commit(false);
}

void RcPageView::Commit(bool move_on) {
  if (edit_col_ == 0 || committing_) return;
  committing_ = true;
  const int col = edit_col_, row = edit_row_;
  const std::string text = Cp(edit1_->text());
  edit_col_ = edit_row_ = 0;
  edit1_->hide();
  const bool was_edited = page_.rebar_edited();
  const RebarEditOutcome out = page_.CommitEdit(state_, md_, run_(), list_, col, row, text);
  if (out.applied && page_.rebar_edited() && !was_edited) {
    kaburi_->setStyleSheet(QStringLiteral("color:red"));
    kaburi_->show();
  }
  if (page_.rebar_edited()) {
    emit rebarEdited();
    page_.ClearRebarEdited();
  }
  FillRebarList();
  FillStressTable();
  canvas_->update();
  committing_ = false;
  if (move_on) {
    const int next = RebarNextColumn(col);
    if (next != 0) OpenEditor(next, row);
  }
}

bool RcPageView::eventFilter(QObject* o, QEvent* e) {
  if (o == edit1_) {
    if (e->type() == QEvent::KeyPress) {
      auto* k = static_cast<QKeyEvent*>(e);
      if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
        Commit(true);
        return true;
      }
      if (k->key() == Qt::Key_Escape) {
        edit_col_ = edit_row_ = 0;
        edit1_->hide();
        return true;
      }
    }
    // A click elsewhere takes the typed value, as Enter does.
    if (e->type() == QEvent::FocusOut && !opening_) CommitEditor();
  }
  return QWidget::eventFilter(o, e);
}

// ---- stress table and members ---------------------------------------------------------

void RcPageView::StepMember(int dir) {
  CommitEditor();
  if (!page_.Step(state_.transverse, dir)) return;
  canvas_->update();
  FillStressTable();
  // A short pause, so that a held key does not race through the members.
  QThread::msleep(200);
}

void RcPageView::StressCellClicked(int row, int col) {
  (void)row;
  const int i = col - kStressCaptionCols;
  CalcRun* run = run_();
  if (i < 0 || i >= static_cast<int>(stress_.rows.size()) || !RcChecksUsable(run)) return;
  const int m = page_.selected_member();
  const int k = std::clamp(js2_->checkedId(), 0, 2);
  if (m < 1 || m > run->checks.member_count) return;
  const CheckPointRecord& r = run->checks.At(k, m).Row(stress_.rows[static_cast<std::size_t>(i)]);
  emit detailRequested(
      DetailInputsOf(r, !state_.records.model.shear_at_2d, SectionDetailInputs::Initial()));
}

void RcPageView::DrawFigure(QPainter& p, const QRect& r) {
  drawn_ = false;
  if (!pe_) pe_ = std::make_unique<PrintEngine>();
  const int layout = IsBoxLayout(state_) ? kLayoutBox : kLayoutStand;
  fig_ = MakeFigure(state_.transverse, state_.block_row, layout, false);
  fig_.shear_at_2d = state_.records.model.shear_at_2d;
  render::PainterTarget target(p);
  if (!SetupFigure(*pe_, fig_, kFigureNew, r.width(), r.height(), 0, &target)) return;
  const CalcRun* run = run_();
  if (tabs_->currentIndex() == 1) {
    fig_.selected_members.assign(static_cast<std::size_t>(kMaxMembers + 2), 0);
    const int m = page_.selected_member();
    if (m >= 1 && m <= kMaxMembers) fig_.selected_members[static_cast<std::size_t>(m)] = 1;
    DrawSelectedMembers(*pe_, fig_);
  }
  if (run && run->transverse_ok) {
    const AnalysisResults& res = run->transverse;
    const int comp = Component();
    double ref = 0;
    for (int k = 0; k < kCheckCombinations; ++k)
      ref = std::max(ref, CaseEnvelope(res, res.max_load_case + k + 1, comp));
    DrawForceDiagram(*pe_, fig_, res, res.max_load_case + Combination() + 1, comp, ref, 1.0);
  } else {
    DrawFrameMembers(*pe_, fig_);
  }
  target.Flush();
  DrawingState st = pe_->SaveDrawingState();
  st.canvas = nullptr;
  pe_->RestoreDrawingState(st);
  drawn_ = true;
  p.resetTransform();
  if (run && run->use_internal) {
    p.setPen(Qt::red);
    p.drawText(QPoint(100, 18), QStringLiteral(u"デモ･モードの計算結果です．"));
  }
  if (!RcChecksUsable(run)) {
    p.setPen(Qt::red);
    p.drawText(QPoint(100, 36), Q(RcFailureText(run)));
  }
}

void RcPageView::Picked(QPointF fit) {
  if (!drawn_ || !pe_) return;
  double x = 0, y = 0;
  PixelToWorld(*pe_, fit.x(), fit.y(), x, y);
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  const int m = NearestMember(fig_, x, y, 0.3, 0.1);
  if (m == 0) return;
  page_.SelectMember(m);
  canvas_->update();
  FillStressTable();
}

}  // namespace vaultra::gui
