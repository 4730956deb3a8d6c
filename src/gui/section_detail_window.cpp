#include "gui/section_detail_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/calc/navigation.h"
#include "app/pages/section_detail_form.h"
#include "core/cp932.h"
#include "core/format_by_tag.h"
#include "core/ui.h"
#include "gui/page_layout.h"
#include "gui/qt_ui.h"
#include "results/section_detail_figure.h"

namespace vaultra::gui {

namespace {

// What a person reads beside each field (UTF-8), its unit and its group.
struct FieldText {
  const char* caption;
  const char* unit;
  int group;  // 0 forces, 1 safety factors, 2 materials, 3 section and bars
};
constexpr std::array<FieldText, kSdFieldCount> kTexts = {{
    {"曲げモーメント M (＋で左側が圧縮)", "kN･m", 0},
    {"軸力 N (＋で圧縮)", "kN", 0},
    {"せん断力 S", "kN", 0},
    {"コンクリートの材料係数 γc", "", 1},
    {"鉄筋の材料係数 γs", "", 1},
    {"部材係数(fyd) γbm", "", 1},
    {"部材係数(Vcd) γbc", "", 1},
    {"部材係数(Vsd) γbs", "", 1},
    {"コンクリートの圧縮強度 f'ck", "N/mm2", 2},
    {"鉄筋の降伏強度 fyk", "N/mm2", 2},
    {"設計圧縮強度 f'cd", "N/mm2", 2},
    {"せん断補強鉄筋の設計降伏強度 fwyd", "N/mm2", 2},
    {"設計引張強度 fyd", "N/mm2", 2},
    {"コンクリートのヤング係数 Ec", "N/mm2", 2},
    {"鉄筋のヤング係数 Es", "N/mm2", 2},
    {"ヤング係数比 n", "", 2},
    {"断面幅 b", "mm", 3},
    {"断面高 h", "mm", 3},
    {"左側鉄筋のかぶり d'1", "mm", 3},
    {"右側鉄筋のかぶり d'2", "mm", 3},
    {"左側鉄筋量 As1", "mm2", 3},
    {"右側鉄筋量 As2", "mm2", 3},
    {"せん断補強鉄筋量 Aw", "mm2", 3},
    {"せん断補強鉄筋の間隔 Ss", "mm", 3},
    {"せん断補強鉄筋の角度 θs", "度", 3},
}};
constexpr std::array<const char*, 4> kGroups = {"断面力", "安全係数", "材料", "断面と鉄筋"};

QString U8(const char* s) {
  return QString::fromUtf8(s);
}

QColor Bgr(std::uint32_t c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// A root by the format of its magnitude (below 1 in the exponent form).
QString RootText(const QString& head, double r, bool capacity) {
  if (std::fabs(r) < 1) return head + QString::asprintf(capacity ? "%12.4e" : "%12.3e", r);
  return head + QString::asprintf("%12.3f", r);
}

}  // namespace

// ---- figure ------------------------------------------------------------------------

SectionDetailFigureView::SectionDetailFigureView(const SectionDetailFigure& fig, QWidget* parent)
    : QWidget(parent), fig_(fig) {
  setObjectName(QStringLiteral("Paint1"));
  setAccessibleName(QStringLiteral(u"中立軸の方程式のグラフ"));
  setMinimumSize(360, 220);
}

void SectionDetailFigureView::paintEvent(QPaintEvent*) {
  QPainter g(this);
  const int W = width(), Hh = height();
  g.fillRect(rect(), Qt::white);
  const SectionDetailPlot p = PlotOf(fig_, W, Hh);
  const double y0 = p.zero_line;
  const double face = ColumnOfDepth(p, p.h);  // far face of the section (5W/8)
  if (p.compressed) {
    g.fillRect(QRectF(face, 0, W - face, Hh), QColor(240, 240, 255));
    g.setPen(Qt::darkGray);
    g.drawText(QPointF(face + 4, Hh - 6), QStringLiteral(u"横軸圧縮表示区間"));
  }
  g.fillRect(QRectF(p.left, y0 - 8, face - p.left, 16), QColor(192, 192, 192));
  g.setPen(QPen(Qt::black, 1));
  g.drawLine(QPointF(0, y0), QPointF(W, y0));
  g.setPen(QPen(Qt::black, 9, Qt::SolidLine, Qt::RoundCap));
  if (fig_.As1 != 0) g.drawPoint(QPointF(ColumnOfDepth(p, fig_.dd1), y0));
  if (fig_.As2 != 0) g.drawPoint(QPointF(ColumnOfDepth(p, p.h - fig_.dd2), y0));

  const bool mirrored = fig_.M < 0;
  auto column = [&](double px) { return mirrored ? W - px : px; };
  auto curve = [&](const std::array<double, 4>& poly, double scale, const QColor& colour) {
    QPainterPath path;
    for (int i = 0; i <= W; ++i) {
      const double v =
          std::clamp(PolynomialAt(poly, DepthAtColumn(p, i)) * scale, -10000.0, 10000.0);
      const QPointF pt(column(i), y0 - v);
      if (i == 0)
        path.moveTo(pt);
      else
        path.lineTo(pt);
    }
    g.setPen(QPen(colour, 1.5));
    g.drawPath(path);
  };
  const QFontMetrics fm(font());
  const int line = fm.height();
  // The texts of one graph: the neutral-axis mark and depth, the equation, the roots.
  auto texts = [&](int top, const QColor& colour, double x, int code, const QString& name,
                   const std::array<double, 4>& poly, const std::array<double, 3>& roots,
                   bool capacity) {
    g.setPen(QPen(colour, 1, Qt::DashLine));
    const double cx = column(ColumnOfDepth(p, x));
    g.drawLine(QPointF(cx, 0), QPointF(cx, Hh));
    g.setPen(colour);
    const QString depth = code < 0 ? QStringLiteral(u"← %1=%2mm").arg(name).arg(p.h - x, 0, 'f', 3)
                                   : QStringLiteral(u"→ %1=%2mm").arg(name).arg(x, 0, 'f', 3);
    g.drawText(QPointF(4, top), depth);
    const std::string var = Utf16ToCp932(capacity ? u"ｃ" : u"χ");
    g.drawText(QPointF(4, top + line),
               QStringLiteral(u" 判定：") +
                   Q(PolynomialText(poly[0], poly[1], poly[2], poly[3], var)) +
                   QStringLiteral(u" ＝ 0"));
    g.drawText(QPointF(4, top + 2 * line),
               RootText(QStringLiteral(u" 解：x1 ="), roots[0], capacity) +
                   RootText(QStringLiteral(u" 　　x2 ="), roots[1], capacity) +
                   RootText(capacity ? QStringLiteral(u" 　　x3 =") : QStringLiteral(u"　 　x3 ="),
                            roots[2], capacity));
  };
  const QColor blue(0, 0, 255), red(255, 0, 0);
  int top = line + 2;
  if (fig_.stress_on) {
    if (p.stress_shown) {
      curve(fig_.stress_poly, p.stress_scale, blue);
      texts(top, blue, fig_.stress_x, fig_.stress_code, QStringLiteral("x"), fig_.stress_poly,
            fig_.stress_roots, false);
      top += 3 * line + 4;
    } else {
      g.setPen(blue);
      g.drawText(QPointF(4, top), Q(fig_.stress_case_text));
      top += line + 4;
    }
  }
  if (p.capacity_shown) {
    curve(fig_.ult_poly, p.capacity_scale, red);
    texts(std::max(top, int(y0) + 16 + line), red, fig_.ult.x, fig_.ult_code, QStringLiteral("c"),
          fig_.ult_poly, fig_.ult.roots, true);
  }
}

// ---- window ------------------------------------------------------------------------

SectionDetailView::SectionDetailView(FormState& record, Ui& ui, QWidget* parent)
    : QWidget(parent, Qt::Window), record_(record), ui_(ui) {
  setObjectName(QStringLiteral("fmUtOryk"));
  setWindowTitle(QStringLiteral(u"応力度と終局耐力  2017.12.23"));
  setAccessibleName(QStringLiteral(u"応力度と終局耐力"));

  auto* outer = new QHBoxLayout(this);
  // The fields scroll when the screen is lower than their column.
  auto* left_scroll = new QScrollArea(this);
  left_scroll->setWidgetResizable(true);
  left_scroll->setFrameShape(QFrame::NoFrame);
  left_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* left_host = new QWidget(left_scroll);
  auto* left = new QVBoxLayout(left_host);
  left->setContentsMargins(0, 0, 0, 0);
  left_scroll->setWidget(left_host);
  outer->addWidget(left_scroll);
  std::array<QGridLayout*, kGroups.size()> grids{};
  for (std::size_t gi = 0; gi < kGroups.size(); ++gi) {
    auto* box = new QGroupBox(U8(kGroups[gi]), left_host);
    box->setAccessibleName(U8(kGroups[gi]));
    grids[gi] = new QGridLayout(box);
    grids[gi]->setVerticalSpacing(2);
    left->addWidget(box);
  }
  left->addStretch(1);
  // The fields in tab order, each in its group with caption and unit.
  for (int i = 0; i < kSdFieldCount; ++i) {
    const FieldText& t = kTexts[static_cast<std::size_t>(i)];
    QGridLayout* grid = grids[static_cast<std::size_t>(t.group)];
    QWidget* box = grid->parentWidget();
    const int row = grid->rowCount();
    auto* cap = new QLabel(U8(t.caption), box);
    auto* e = new QLineEdit(box);
    e->setObjectName(QString::fromLatin1(SectionDetailFields()[i].name));
    e->setAccessibleName(U8(AccessibleCaption(t.caption).c_str()));
    e->setAlignment(Qt::AlignRight);
    e->setMaximumWidth(110);
    cap->setBuddy(e);
    grid->addWidget(cap, row, 0);
    grid->addWidget(e, row, 1);
    if (*t.unit) grid->addWidget(new QLabel(U8(t.unit), box), row, 2);
    if (i == kSdFdcd || i == kSdFyd) {
      e->setReadOnly(true);
      e->setFocusPolicy(Qt::NoFocus);
      e->setStyleSheet(QStringLiteral("background: rgb(232,232,232)"));
    } else {
      connect(e, &QLineEdit::editingFinished, this, [this, i] { FieldLeft(i); });
    }
    e->installEventFilter(this);
    fields_[static_cast<std::size_t>(i)] = e;
    // Which face is in compression, beside the bars of each face.
    if (i == kSdAs1 || i == kSdAs2) {
      auto* side = new QLabel(box);
      side->setObjectName(i == kSdAs1 ? QStringLiteral("lbLs") : QStringLiteral("lbRs"));
      grid->addWidget(side, row, 3);
      labels_[i == kSdAs1 ? "lbLs" : "lbRs"] = side;
    }
  }
  for (int i = 1; i < kSdFieldCount; ++i) setTabOrder(fields_[i - 1], fields_[i]);
  left_scroll->setMinimumWidth(left_host->sizeHint().width() +
                               left_scroll->verticalScrollBar()->sizeHint().width() + 4);

  auto* right = new QVBoxLayout;
  outer->addLayout(right, 1);
  auto* boxes = new QHBoxLayout;
  const std::array<std::pair<const char*, const char16_t*>, 3> box_texts = {{
      {"CbFig1", u"応力グラフ"},
      {"CbFig2", u"耐力グラフ"},
      {"CkTaH2", u"(h/2)形式でせん断τを照査する"},
  }};
  for (const auto& [name, text] : box_texts) {
    auto* b = new QCheckBox(QString::fromUtf16(text), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAccessibleName(QString::fromUtf16(text));
    connect(b, &QCheckBox::clicked, this, [this] {
      if (filling_ > 0) return;
      TakeTyped();
      Recompute();
    });
    boxes->addWidget(b);
    boxes_[name] = b;
  }
  memo_ = new QLabel(QStringLiteral(u" メ モ "), this);
  memo_->setObjectName(QStringLiteral("LbMemo"));
  memo_->setFrameShape(QFrame::Box);
  memo_->setAccessibleName(QStringLiteral(u"メモ"));
  memo_->installEventFilter(this);
  boxes->addStretch(1);
  boxes->addWidget(memo_);
  right->addLayout(boxes);

  // The result labels: the stress part, then the capacity part.
  auto* results = new QGridLayout;
  const std::array<std::pair<const char*, const char16_t*>, 7> result_names = {{
      {"lbSs3", u"鉄筋応力度"},
      {"lbTc3", u"せん断応力度"},
      {"lbTca", u"許容せん断応力度"},
      {"lbAwa", u"必要せん断補強鉄筋量"},
      {"lbMu3", u"曲げ耐力"},
      {"lbVcd3", u"コンクリートのせん断耐力"},
      {"lbVsd3", u"せん断補強鉄筋のせん断耐力"},
  }};
  for (std::size_t k = 0; k < result_names.size(); ++k) {
    auto* l = new QLabel(this);
    l->setObjectName(QString::fromLatin1(result_names[k].first));
    l->setAccessibleDescription(QString::fromUtf16(result_names[k].second));
    l->setMinimumWidth(180);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l->setStyleSheet(k < 4 ? QStringLiteral("color: rgb(0,0,255)")
                           : QStringLiteral("color: rgb(255,0,0)"));
    results->addWidget(l, static_cast<int>(k % 4), static_cast<int>(k / 4));
    labels_[result_names[k].first] = l;
  }
  right->addLayout(results);

  auto* split = new QSplitter(Qt::Vertical, this);
  list_ = new QListWidget(split);
  list_->setObjectName(QStringLiteral("List1"));
  list_->setAccessibleName(QStringLiteral(u"計算の経過"));
  list_->setUniformItemSizes(true);
  figure_ = new SectionDetailFigureView(w_.figure, split);
  split->addWidget(list_);
  split->addWidget(figure_);
  split->setStretchFactor(0, 2);
  split->setStretchFactor(1, 3);
  right->addWidget(split, 1);

  // Low enough for a 1280x720 screen with its task bar and the window frame.
  resize(1180, 640);
  Reload();
}

QCheckBox* SectionDetailView::Box(const char* name) const {
  auto it = boxes_.find(name);
  return it == boxes_.end() ? nullptr : it->second;
}

QLabel* SectionDetailView::Label(const char* name) const {
  auto it = labels_.find(name);
  return it == labels_.end() ? nullptr : it->second;
}

void SectionDetailView::Reload() {
  w_.inputs = SectionDetailInputsOf(record_);
  for (int i = 0; i < kSdFieldCount; ++i)
    w_.inputs.text[static_cast<std::size_t>(i)] =
        FormatByTag(w_.inputs.text[static_cast<std::size_t>(i)], SectionDetailFields()[i].tag);
  Recompute();
}

void SectionDetailView::OpenWith(const SectionDetailInputs& in) {
  w_.inputs = in;
  Recompute();
  ShowWindow();
}

void SectionDetailView::ShowWindow() {
  Recompute();
  // Within the screen (a laptop's 720 or 768 pixels less the task bar).
  if (QScreen* sc = screen()) {
    const QRect avail = sc->availableGeometry();
    const int frame_h = frameGeometry().height() - geometry().height();
    const int frame_w = frameGeometry().width() - geometry().width();
    resize(std::min(width(), avail.width() - frame_w),
           std::min(height(), avail.height() - frame_h));
  }
  show();
  raise();
  activateWindow();
}

void SectionDetailView::FieldLeft(int field) {
  if (filling_ > 0) return;
  TakeTyped();
  SetFieldText(w_, field, w_.inputs.text[static_cast<std::size_t>(field)]);
  StoreSectionDetailInputs(w_.inputs, record_);
  Show();
}

void SectionDetailView::Recompute() {
  vaultra::Recompute(w_);
  StoreSectionDetailInputs(w_.inputs, record_);
  Show();
}

void SectionDetailView::TakeTyped() {
  for (int i = 0; i < kSdFieldCount; ++i)
    if (i != kSdFdcd && i != kSdFyd)
      w_.inputs.text[static_cast<std::size_t>(i)] =
          Cp(fields_[static_cast<std::size_t>(i)]->text());
  w_.inputs.cb_fig1 = boxes_["CbFig1"]->isChecked();
  w_.inputs.cb_fig2 = boxes_["CbFig2"]->isChecked();
  w_.inputs.ck_ta_h2 = boxes_["CkTaH2"]->isChecked();
}

void SectionDetailView::Show() {
  ++filling_;
  for (int i = 0; i < kSdFieldCount; ++i) {
    QLineEdit* e = fields_[static_cast<std::size_t>(i)];
    const QSignalBlocker block(e);
    const QString t = Q(w_.inputs.text[static_cast<std::size_t>(i)]);
    if (e->text() != t) e->setText(t);
  }
  const std::array<std::pair<const char*, bool>, 3> checked = {{
      {"CbFig1", w_.inputs.cb_fig1},
      {"CbFig2", w_.inputs.cb_fig2},
      {"CkTaH2", w_.inputs.ck_ta_h2},
  }};
  for (const auto& [name, on] : checked) {
    const QSignalBlocker block(boxes_[name]);
    boxes_[name]->setChecked(on);
  }
  const SectionDetailLabels& l = w_.labels;
  const std::array<std::pair<const char*, const std::string*>, 9> texts = {{
      {"lbSs3", &l.lbSs3},
      {"lbTc3", &l.lbTc3},
      {"lbTca", &l.lbTca},
      {"lbAwa", &l.lbAwa},
      {"lbMu3", &l.lbMu3},
      {"lbVcd3", &l.lbVcd3},
      {"lbVsd3", &l.lbVsd3},
      {"lbLs", &l.lbLs},
      {"lbRs", &l.lbRs},
  }};
  for (const auto& [name, text] : texts) {
    labels_[name]->setText(Q(*text));
    labels_[name]->setAccessibleName(Q(*text));
  }
  list_->clear();
  for (const std::string& line : w_.listing) {
    auto* item = new QListWidgetItem(Q(line), list_);
    item->setForeground(Bgr(ListingLineColour(line)));
    item->setSizeHint(QSize(0, 20));
  }
  figure_->update();
  --filling_;
}

bool SectionDetailView::eventFilter(QObject* o, QEvent* e) {
  if (e->type() == QEvent::MouseButtonRelease && o == memo_) {
    ui_.Tell(MsgKind::kInfo, ChangeHistoryText());
    return true;
  }
  if (e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    const auto it = std::find(fields_.begin(), fields_.end(), o);
    if (it == fields_.end()) return QWidget::eventFilter(o, e);
    const int field = static_cast<int>(it - fields_.begin());
    if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
      focusNextChild();  // leaving the field formats it and recomputes
      return true;
    }
    if (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down) {
      if (field != kSdM && field != kSdS && field != kSdN) return QWidget::eventFilter(o, e);
      TakeTyped();
      StepField(w_, field, k->key() == Qt::Key_Up);
      StoreSectionDetailInputs(w_.inputs, record_);
      Show();
      return true;
    }
  }
  return QWidget::eventFilter(o, e);
}

void SectionDetailView::closeEvent(QCloseEvent* e) {
  // Closing only hides the window; its fields stay in the record.
  hide();
  e->ignore();
}

}  // namespace vaultra::gui
