#include "gui/preview_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>
#include <cstring>

#include "gui/qt_ui.h"
#include "render/render.h"
#include "report/pdf_file.h"
#include "report/report_text.h"

namespace vaultra::gui {

namespace {

QColor Colour(std::uint32_t bbggrr) {
  return render::ToQColor(bbggrr);
}

// The jump list's own painting: level-1 headings bold with a green top
// line, the others regular; the selected entry on light green.
class JumpDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* p, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool chapter = index.data(Qt::UserRole + 1).toBool();
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    const QRect r = option.rect;
    p->save();
    p->fillRect(r, Colour(selected ? 0xA0FF80 : 0xCAE095));
    p->setPen(Colour(chapter ? 0x008000 : 0xCAE095));
    p->drawLine(r.topLeft(), r.topRight());
    QFont f = option.font;
    f.setBold(chapter);
    p->setFont(f);
    p->setPen(Qt::black);
    p->drawText(r.adjusted(1, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                index.data(Qt::DisplayRole).toString());
    p->restore();
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    s.setHeight(std::max(14, QFontMetrics(option.font).height() + 2));
    return s;
  }
};

}  // namespace

PreviewWindow::PreviewWindow(PreviewSource source, QWidget* parent)
    : QWidget(parent, Qt::Window),
      source_(std::move(source)),
      engine_(std::make_unique<PrintEngine>()) {
  setObjectName(QStringLiteral("FmPriPrev"));
  setWindowTitle(QStringLiteral(u"印刷プレビュー"));
  setAccessibleName(QStringLiteral(u"印刷プレビュー"));

  auto* h = new QHBoxLayout(this);
  h->setContentsMargins(4, 4, 4, 4);
  area_ = new QWidget(this);
  area_->setObjectName(QStringLiteral("Panel2"));
  area_->setAccessibleName(QStringLiteral(u"ページ"));
  area_->setMinimumSize(120, 160);
  area_->setAttribute(Qt::WA_OpaquePaintEvent);
  area_->installEventFilter(this);
  h->addWidget(area_, 1);
  bar_ = new QScrollBar(Qt::Vertical, this);
  bar_->setObjectName(QStringLiteral("ScrollBar1"));
  bar_->setAccessibleName(QStringLiteral(u"ページ位置"));
  bar_->setPageStep(kPreviewSteps);
  bar_->setSingleStep(1);
  connect(bar_, &QScrollBar::valueChanged, this, &PreviewWindow::ScrollChanged);
  h->addWidget(bar_);

  auto* side = new QWidget(this);
  side->setFixedWidth(300);
  auto* v = new QVBoxLayout(side);
  v->setContentsMargins(4, 0, 0, 0);
  print_panel_ = new QGroupBox(QStringLiteral(u"印刷"), side);
  print_panel_->setAutoFillBackground(true);
  auto* g = new QGridLayout(print_panel_);
  auto button = [this](const QString& caption, const char* name) {
    auto* b = new QPushButton(caption, print_panel_);
    b->setObjectName(QString::fromLatin1(name));
    b->setAccessibleName(caption);
    return b;
  };
  print_all_ = button(QStringLiteral(u"全てのページを印刷"), "BtnPrintAll");
  print_current_ = button(QStringLiteral(u"現在ページの印刷"), "BtnPrintCurrent");
  print_range_ = button(QStringLiteral(u"指定の範囲を印刷"), "BtnPrintHanni");
  save_pdf_ = button(QStringLiteral(u"PDF に保存"), "BtnSavePdf");
  auto edit = [this, g](const QString& caption, const QString& text, const char* name, int row) {
    auto* l = new QLabel(caption, print_panel_);
    auto* e = new QLineEdit(text, print_panel_);
    e->setObjectName(QString::fromLatin1(name));
    e->setAccessibleName(caption);
    e->setMaximumWidth(70);
    l->setBuddy(e);
    g->addWidget(l, row, 0);
    g->addWidget(e, row, 1);
    // Enter moves on to the next control.
    connect(e, &QLineEdit::returnPressed, this, [this] { focusNextChild(); });
    return e;
  };
  g->addWidget(print_all_, 0, 0, 1, 2);
  g->addWidget(print_current_, 1, 0, 1, 2);
  range_start_ = edit(QStringLiteral(u"開始ページ"), QStringLiteral("   1"), "EdPrintTop", 2);
  range_end_ = edit(QStringLiteral(u"終了ページ"), QStringLiteral(" 999"), "EdPrintEnd", 3);
  g->addWidget(print_range_, 4, 0, 1, 2);
  g->addWidget(save_pdf_, 5, 0, 1, 2);
  v->addWidget(print_panel_);
  page_by_page_ = new QCheckBox(QStringLiteral(u"ページ単位の表示"), side);
  page_by_page_->setObjectName(QStringLiteral("ckPageDisp"));
  page_by_page_->setAccessibleName(page_by_page_->text());
  page_by_page_->setChecked(true);
  v->addWidget(page_by_page_);
  auto* jl = new QLabel(QStringLiteral(u"目次"), side);
  v->addWidget(jl);
  jump_list_ = new QListWidget(side);
  jump_list_->setObjectName(QStringLiteral("ListJump"));
  jump_list_->setAccessibleName(QStringLiteral(u"目次"));
  jump_list_->setItemDelegate(new JumpDelegate(jump_list_));
  jump_list_->setUniformItemSizes(true);
  QFont mono(QStringLiteral("IPAGothic"));
  mono.setStyleHint(QFont::Monospace);
  mono.setPixelSize(12);
  jump_list_->setFont(mono);
  jl->setBuddy(jump_list_);
  v->addWidget(jump_list_, 1);
  status_ = new QLabel(side);
  status_->setObjectName(QStringLiteral("lbPages"));
  status_->setAccessibleDescription(QStringLiteral("lbPages"));
  v->addWidget(status_);
  h->addWidget(side);

  connect(print_all_, &QPushButton::clicked, this, &PreviewWindow::PrintAllPages);
  connect(print_current_, &QPushButton::clicked, this, &PreviewWindow::PrintCurrentPage);
  connect(print_range_, &QPushButton::clicked, this, &PreviewWindow::PrintPageRange);
  connect(save_pdf_, &QPushButton::clicked, this, &PreviewWindow::SavePdfClicked);
  connect(page_by_page_, &QCheckBox::toggled, this, [this] {
    InvalidateCache();
    Redraw();
  });
  connect(jump_list_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { JumpClicked(jump_list_->row(item)); });

  int height = 900;
  if (QScreen* s = QGuiApplication::primaryScreen()) height = s->availableGeometry().height() - 64;
  resize(1000, std::max(height, 400));
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::Open() {
  Rebuild();
  show();
  raise();
  activateWindow();
}

void PreviewWindow::Refresh() {
  if (source_.generation && source_.generation() != built_generation_) {
    Rebuild();
    return;
  }
  InvalidateCache();
  Redraw();
}

void PreviewWindow::Rebuild() {
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  engine_ = std::make_unique<PrintEngine>();
  build_ = ReportBuild{};
  if (source_.build) source_.build(*engine_, build_);
  built_generation_ = source_.generation ? source_.generation() : 0;
  ++builds_;
  pages_.contents = build_.contents_pages;
  pages_.body = build_.body_pages;
  pages_.contents_slots = build_.contents_slots;
  jumps_ = JumpEntries(SortedContents(*engine_), pages_.contents);
  FillJumpList();
  status_->setText(
      QStringLiteral(u"表紙・目次 %1 頁・本文 %2 頁").arg(pages_.contents + 1).arg(pages_.body));
  InvalidateCache();
  {
    const QSignalBlocker block(bar_);
    bar_->setRange(0, pages_.ScrollMaximum());
    bar_->setValue(0);
  }
  previous_position_ = 0;
  QGuiApplication::restoreOverrideCursor();
  // A hidden window draws when it is shown, at its laid-out size.
  if (isVisible()) Redraw();
}

void PreviewWindow::InvalidateCache() {
  for (Cache& c : cache_) c = Cache{};
}

void PreviewWindow::FillJumpList() {
  jump_list_->clear();
  for (const JumpEntry& e : jumps_) {
    auto* item = new QListWidgetItem(Q(e.text), jump_list_);
    item->setData(Qt::UserRole, e.position);
    item->setData(Qt::UserRole + 1, e.chapter);
    item->setData(Qt::AccessibleTextRole, Q(e.text).trimmed());
  }
}

void PreviewWindow::JumpClicked(int row) {
  if (row < 0 || row >= static_cast<int>(jumps_.size())) return;
  ScrollTo(JumpScrollPosition(jumps_[static_cast<std::size_t>(row)].position, pages_.contents));
}

void PreviewWindow::ScrollTo(int p) {
  const int before = bar_->value();
  bar_->setValue(p);  // clamped to the range; a change redraws
  if (bar_->value() == before) Redraw();
}

int PreviewWindow::position() const {
  return bar_->value();
}

void PreviewWindow::ScrollChanged(int value) {
  // After a large step the position snaps to the top of a page.
  if (value == previous_position_ + kPreviewSteps && value % kPreviewSteps != 0) {
    const QSignalBlocker block(bar_);
    value -= value % kPreviewSteps;
    bar_->setValue(value);
  }
  previous_position_ = value;
  Redraw();
}

void PreviewWindow::FillCache(Cache& c, int index) {
  const int w = 2 * view_.width, h = 2 * view_.height - 2;
  if (c.index == index && c.width == w && c.height == h) return;
  c.index = index;
  c.width = w;
  c.height = h;
  const int slot = pages_.SlotOf(index);
  if (slot < 0) {
    // Beyond the last page: an empty page in the background colour.
    c.half = QImage(w / 2, h / 2, QImage::Format_RGB32);
    c.half.fill(Colour(kPreviewBackground));
    return;
  }
  QImage big = render::RenderPage(engine_->records(), slot, w, h, 0xFFFFFF);
  {
    QPainter p(&big);
    p.setPen(Qt::black);
    const int top = static_cast<int>(std::trunc(h * 2.0 / 270.0));
    // The outline runs along the last column and row (a QRect of w × h would
    // put them one pixel outside the image).
    p.drawRect(QRect(QPoint(0, top), QPoint(w - 2, h - 2)));
  }
  const std::vector<std::uint32_t> half =
      HalvePixels(reinterpret_cast<const std::uint32_t*>(big.constBits()), big.width(),
                  big.height(), static_cast<int>(big.bytesPerLine() / 4));
  c.half = QImage(big.width() / 2, big.height() / 2, QImage::Format_RGB32);
  for (int y = 0; y < c.half.height(); ++y)
    std::memcpy(c.half.scanLine(y), half.data() + static_cast<std::size_t>(y) * c.half.width(),
                static_cast<std::size_t>(c.half.width()) * 4);
}

void PreviewWindow::Redraw() {
  const QSize area = area_->size();
  image_ = QImage(std::max(area.width(), 1), std::max(area.height(), 1), QImage::Format_RGB32);
  image_.fill(Colour(kPreviewBackground));
  view_ = DisplayedPage(area.width(), area.height(), 0, page_by_page_->isChecked());
  const int p = bar_->value();
  if (view_.Drawable()) {
    const double q = p * (1.0 / kPreviewSteps);
    const int f = static_cast<int>(std::trunc(q));
    if (f == cache_[0].index + 1 && cache_[0].index >= 0) std::swap(cache_[0], cache_[1]);
    int second_top = 0;
    for (int i = 0; i < 2; ++i) {
      Cache& c = cache_[static_cast<std::size_t>(i)];
      FillCache(c, f + i);
      const int offset = static_cast<int>(std::trunc((f + i - q) * view_.height));
      if (i == 1) second_top = offset;
      const RowSpan rows = ClipRows(offset, c.half.height(), image_.height());
      const int cols = std::min(c.half.width(), image_.width() - view_.left);
      if (cols <= 0) continue;
      for (int r = 0; r < rows.count; ++r)
        std::memcpy(image_.scanLine(rows.to + r) + static_cast<std::ptrdiff_t>(view_.left) * 4,
                    c.half.constScanLine(rows.from + r), static_cast<std::size_t>(cols) * 4);
    }
    // The gap between two pages.
    const int band_top = (q == f) ? 0 : second_top;
    const RowSpan band = ClipRows(band_top, kPreviewGap, image_.height());
    if (band.count > 0) {
      QPainter painter(&image_);
      painter.fillRect(QRect(view_.left, band.to, view_.width, band.count),
                       Colour(kPreviewBackground));
    }
    current_ = CurrentPage(p, view_.height, area.height(), pages_);
  } else {
    current_ = std::clamp(p / kPreviewSteps, 0, pages_.Last());
  }
  if (!build_.first_error.empty()) {
    QPainter painter(&image_);
    QFont f = painter.font();
    f.setPixelSize(18);
    painter.setFont(f);
    painter.setPen(Qt::red);
    painter.drawText(QPoint(4, 4 + QFontMetrics(f).ascent()), Q(build_.first_error));
  }
  print_current_->setText(QStringLiteral(u"現在ページ(%1)の印刷").arg(current_ - pages_.contents));
  print_current_->setAccessibleName(print_current_->text());
  const int sel = JumpSelection(jumps_, pages_.contents, p);
  {
    const QSignalBlocker block(jump_list_);
    if (sel >= 0 && sel != jump_list_->currentRow()) jump_list_->setCurrentRow(sel);
  }
  area_->update();
}

void PreviewWindow::PaintArea() {
  QPainter painter(area_);
  painter.fillRect(area_->rect(), Colour(kPreviewBackground));
  if (!image_.isNull()) painter.drawImage(QPoint(0, 0), image_);
}

bool PreviewWindow::eventFilter(QObject* o, QEvent* e) {
  if (o == area_) {
    switch (e->type()) {
      case QEvent::Paint:
        PaintArea();
        return true;
      case QEvent::Resize:
        InvalidateCache();
        if (isVisible()) Redraw();
        return false;
      case QEvent::Wheel: {
        const int dy = static_cast<QWheelEvent*>(e)->angleDelta().y();
        if (dy != 0) ScrollTo(bar_->value() + (dy > 0 ? -1 : 1));
        return true;
      }
      default:
        break;
    }
  }
  return QWidget::eventFilter(o, e);
}

void PreviewWindow::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  Refresh();
}

void PreviewWindow::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  // Back to the preview after a calculation: the pages follow it.
  if (e->type() == QEvent::ActivationChange && isActiveWindow() && source_.generation &&
      source_.generation() != built_generation_)
    Rebuild();
}

// ---- printing --------------------------------------------------------------------

void PreviewWindow::PrintIndices(const std::vector<int>& indices, QWidget* panel) {
  last_printed_.clear();
  if (indices.empty()) return;  // an empty range prints nothing
  const QPalette saved = panel->palette();
  QPalette yellow = saved;
  yellow.setColor(QPalette::Window, Qt::yellow);
  panel->setPalette(yellow);
  QPrinter printer(QPrinter::HighResolution);
  printer.setColorMode(QPrinter::Color);
  printer.setDocName(windowTitle());
  bool accepted;
  if (print_dialog_) {
    accepted = print_dialog_(printer);
  } else {
    QPrintDialog dialog(&printer, this);
    accepted = dialog.exec() == QDialog::Accepted;
  }
  if (accepted) {
    std::vector<int> page_slots;
    for (int i : indices) page_slots.push_back(pages_.SlotOf(i));
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    std::string error;
    const bool ok = render::PrintPages(engine_->records(), page_slots, printer, &error);
    QGuiApplication::restoreOverrideCursor();
    if (ok)
      last_printed_ = indices;
    else
      QMessageBox::warning(this, windowTitle(), QString::fromStdString(error));
  }
  panel->setPalette(saved);
}

void PreviewWindow::PrintAllPages() {
  PrintIndices(PrintAll(pages_), print_panel_);
}

void PreviewWindow::PrintCurrentPage() {
  PrintIndices({current_}, print_panel_);
}

void PreviewWindow::PrintPageRange() {
  PrintIndices(PrintRange(Cp(range_start_->text()), Cp(range_end_->text()), pages_), print_panel_);
}

bool PreviewWindow::SaveAsPdf(const std::string& path_utf8, std::string* error) {
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  // The same writer and the same pages as the command line's report.
  const PdfDocumentInfo info = ReportPdfInfo(*engine_, build_);
  const bool ok = WritePdfFile(engine_->records(), ReportPageSlots(build_),
                               Cp(QString::fromStdString(path_utf8)), 300, error, &info);
  QGuiApplication::restoreOverrideCursor();
  return ok;
}

void PreviewWindow::SavePdfClicked() {
  std::optional<std::string> name;
  if (pdf_dialog_) {
    name = pdf_dialog_();
  } else {
    const QString hint = source_.pdf_name ? QString::fromStdString(source_.pdf_name()) : QString();
    const QString f = QFileDialog::getSaveFileName(this, QStringLiteral(u"PDF に保存"), hint,
                                                   QStringLiteral(u"PDF (*.pdf)"));
    if (!f.isEmpty()) name = f.toStdString();
  }
  if (!name || name->empty()) return;
  std::string path = *name;
  if (path.size() < 4 || QString::fromStdString(path.substr(path.size() - 4)).toLower() != ".pdf")
    path += ".pdf";
  std::string error;
  if (!SaveAsPdf(path, &error))
    QMessageBox::warning(this, windowTitle(), QString::fromStdString(error));
}

}  // namespace vaultra::gui
