#include "gui/result_pages.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "app/pages/result_file_page.h"
#include "gui/figure_canvas.h"
#include "gui/form_page.h"
#include "gui/qt_ui.h"
#include "render/render.h"
#include "report/force_diagrams.h"

namespace vaultra::gui {

namespace {

// 0x00BBGGRR as the figures name their colours.
QColor Bgr(unsigned c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

void DrawPixelText(QPainter& p, int x, int y, int px, unsigned colour, const QString& text,
                   bool bold = false) {
  QFont f = p.font();
  f.setPixelSize(px);
  f.setBold(bold);
  p.setFont(f);
  p.setPen(Bgr(colour));
  p.drawText(QRect(x, y, 10000, px + px / 2), Qt::AlignLeft | Qt::AlignTop, text);
}

}  // namespace

ResultPages::ResultPages(ProjectState& state, const CalculationOps& calc, QWidget* parent)
    : QObject(parent), state_(state), calc_(calc), pe_(std::make_unique<PrintEngine>()) {
  BuildResultFileView();
  BuildForcePage();
}

ResultPages::~ResultPages() = default;

QWidget* ResultPages::Widget(Page page) const {
  if (page == Page::kResultFiles) return result_view_;
  if (page == Page::kMemberForce) return forces_;
  return nullptr;
}

FormPage* ResultPages::Form(Page page) const {
  return page == Page::kMemberForce ? forces_ : nullptr;
}

// ---- result-file view --------------------------------------------------------------

void ResultPages::BuildResultFileView() {
  result_view_ = new QWidget;
  auto* v = new QVBoxLayout(result_view_);
  auto* title = new QLabel(QStringLiteral(u"ＳＤＫ出力"), result_view_);
  title->setObjectName(QStringLiteral("PageTitle"));
  QFont tf = title->font();
  tf.setBold(true);
  title->setFont(tf);
  v->addWidget(title);
  text_ = new QPlainTextEdit(result_view_);
  text_->setObjectName(QStringLiteral("Memo1"));
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  mono.setPixelSize(16);
  text_->setFont(mono);
  text_->setAccessibleName(QStringLiteral(u"ＳＤＫ出力"));
  title->setBuddy(text_);
  v->addWidget(text_, 1);
}

void ResultPages::FillResultText() {
  ResultFileSource src;
  src.transverse_path = calc_.workspace().transverse_path;
  src.analysed = calc_.analysed();
  src.transverse_failed = !calc_.run().transverse_ok;
  src.failure = kTransverseFailedMessage;
  const std::vector<std::string> lines = ResultFileLines(src);
  QStringList out;
  out.reserve(static_cast<int>(lines.size()));
  for (const std::string& l : lines) out << Q(l);
  text_->setPlainText(out.join(QLatin1Char('\n')));
}

// ---- member-force page -------------------------------------------------------------

void ResultPages::BuildForcePage() {
  forces_ =
      new FormPage(FormId::kMemberForce, QStringLiteral(u"断面力の確認"), DefaultMemberForceForm());
  forces_->Load(state_.member_force);
  connect(forces_, &FormPage::edited, this, &ResultPages::ForceEdited);
  // Ten columns of cases fit the page's width in a slightly smaller type.
  if (QWidget* cases = forces_->WidgetOf("RgKajyuType")) {
    QFont f = cases->font();
    f.setPointSizeF(f.pointSizeF() * 0.9);
    cases->setFont(f);
    if (auto* grid = qobject_cast<QGridLayout*>(cases->layout())) {
      grid->setHorizontalSpacing(2);
      grid->setVerticalSpacing(0);
    }
  }
  forces_->canvas()->SetDraw([this](QPainter& p, const QRect& r) { DrawForces(p, r); });
  if (QGroupBox* box = forces_->GroupOf("GroupBox1")) {
    box->setToolTip(QStringLiteral(u"ダブルクリックで骨組みファイルをエディタで開きます"));
    box->installEventFilter(this);
  }
}

bool ResultPages::eventFilter(QObject* o, QEvent* e) {
  if (e->type() == QEvent::MouseButtonDblClick && o == forces_->GroupOf("GroupBox1")) {
    // The longitudinal frame text first, then the transverse one; the
    // desktop's editor gets each path as one argument, no shell between.
    for (const std::string* path :
         {&calc_.workspace().longitudinal_path, &calc_.workspace().transverse_path})
      if (!path->empty()) QDesktopServices::openUrl(QUrl::fromLocalFile(Q(*path)));
    return true;
  }
  return QObject::eventFilter(o, e);
}

void ResultPages::ForceEdited(const QString& name) {
  forces_->Store(state_.member_force);
  FigureCanvas* c = forces_->canvas();
  // A new direction shows its own frame, fitted; the other choices keep the view.
  if (name == QLatin1String("RbYoko") || name == QLatin1String("RbTate")) {
    c->SetViewKey(state_.member_force.Checked("RbTate") ? "tate" : "yoko");
    c->Fit();
  }
  c->update();
}

void ResultPages::RepaintForces() {
  if (forces_entered_) forces_->canvas()->update();
}

void ResultPages::DrawForces(QPainter& p, const QRect& r) {
  view_ = MakeForcePageView(state_.member_force, &calc_.run(), calc_.analysed());
  diagram_labels_ = 0;
  const StructureModel& model = view_.transverse ? state_.transverse : state_.longitudinal;
  if (model.member_table_valid()) {
    Figure fig = FigureOf(model, state_.block_row, state_.records.model, !view_.transverse);
    render::PainterTarget target(p);
    if (SetupFigure(*pe_, fig, kFigureNew, r.width(), r.height(), 0, &target)) {
      if (view_.drawable()) {
        const AnalysisResults& res =
            view_.transverse ? calc_.run().transverse : calc_.run().longitudinal;
        diagram_labels_ =
            static_cast<int>(DrawForceDiagram(*pe_, fig, res, view_.case_number, view_.component,
                                              view_.reference, view_.magnification)
                                 .size());
      } else {
        // No results: the frame alone, never a diagram of zeros.
        DrawModelFigure(*pe_, fig,
                        kShowMembers | kShowNodes | kShowMemberNumbers |
                            (view_.transverse ? kShowMarkers | kShowBlockNumbers : 0u));
      }
      DrawFigureLegend(*pe_, fig, r.width(), r.height(), false);
      target.Flush();
    }
    DrawingState st = pe_->SaveDrawingState();
    st.canvas = nullptr;  // the painter ends with this paint
    pe_->RestoreDrawingState(st);
  }
  // Title and notes in pixels of the canvas, whatever the view; the title
  // starts right of the canvas's fit button.
  int title_x = 4;
  if (const auto* fit = forces_->canvas()->findChild<QToolButton*>())
    title_x = fit->geometry().right() + 8;
  p.save();
  p.resetTransform();
  DrawPixelText(p, title_x, 6, 24, 0xFF0000, Q(view_.title));
  if (!view_.failure.empty())
    DrawPixelText(p, 4, std::max(40, r.height() - 120), 28, 0x0000FF, Q(view_.failure), true);
  if (!view_.demo_note.empty())
    DrawPixelText(p, 4, r.height() - 72, 48, 0xFF00FF, Q(view_.demo_note));
  p.restore();
  // The figure reads as its title and notes.
  QString described = Q(view_.title);
  for (const std::string* note : {&view_.failure, &view_.demo_note})
    if (!note->empty()) described += QLatin1Char('\n') + Q(*note);
  forces_->canvas()->setAccessibleDescription(described);
}

// ---- entering and leaving ----------------------------------------------------------

void ResultPages::Enter(Page page) {
  if (page == Page::kResultFiles) {
    result_entered_ = true;
    FillResultText();
  } else if (page == Page::kMemberForce) {
    forces_entered_ = true;
    EnterForcePage(state_.member_force);
    forces_->Load(state_.member_force);
    forces_->canvas()->SetViewKey(state_.member_force.Checked("RbTate") ? "tate" : "yoko");
    forces_->canvas()->Fit();
    // Once the page is laid out on screen.
    QTimer::singleShot(0, forces_, [this] { FitChoices(); });
    forces_->canvas()->update();
  }
}

// The choices below the figure get the height they need, the figure the rest.
void ResultPages::FitChoices() {
  auto* split = forces_->findChild<QSplitter*>();
  auto* scroll = forces_->findChild<QScrollArea*>();
  if (!split || !scroll || !scroll->widget()) return;
  const int need = scroll->widget()->sizeHint().height() + 2 * scroll->frameWidth();
  const int total = split->height() - split->handleWidth();
  if (total > need + 200) split->setSizes({total - need, need});
}

void ResultPages::Leave(Page page) {
  if (page == Page::kResultFiles) result_entered_ = false;
  if (page == Page::kMemberForce) {
    Store(page);
    forces_entered_ = false;
  }
}

void ResultPages::Store(Page page) {
  if (page == Page::kMemberForce && forces_entered_) forces_->Store(state_.member_force);
}

void ResultPages::RunFinished() {
  if (result_entered_) FillResultText();
  RepaintForces();
}

}  // namespace vaultra::gui
