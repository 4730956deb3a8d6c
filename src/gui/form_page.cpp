#include "gui/form_page.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "core/cp932.h"
#include "core/format_by_tag.h"
#include "core/number.h"
#include "gui/figure_canvas.h"
#include "gui/page_layout.h"
#include "gui/qt_ui.h"

namespace vaultra::gui {

namespace {

QString U8(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

QColor Bgr(int c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

}  // namespace

// ---- numeric fields -------------------------------------------------------------

std::optional<double> ReadWholeNumber(std::string_view cp932) {
  const std::string t = HalfWidthNumberText(cp932);
  std::size_t b = 0, e = t.size();
  while (b < e && (t[b] == ' ' || t[b] == '\t')) ++b;
  while (e > b && (t[e - 1] == ' ' || t[e - 1] == '\t')) --e;
  if (b == e) return std::nullopt;
  // sign, digits with at most one point, an optional exponent: nothing else
  std::size_t i = b;
  if (t[i] == '+' || t[i] == '-') ++i;
  int digits = 0;
  bool point = false;
  for (; i < e && (std::isdigit(static_cast<unsigned char>(t[i])) || (t[i] == '.' && !point));
       ++i) {
    if (t[i] == '.')
      point = true;
    else
      ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < e && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < e && (t[i] == '+' || t[i] == '-')) ++i;
    int exp_digits = 0;
    for (; i < e && std::isdigit(static_cast<unsigned char>(t[i])); ++i) ++exp_digits;
    if (exp_digits == 0) return std::nullopt;
  }
  if (i != e) return std::nullopt;
  const std::string number = t.substr(b, e - b);
  char* end = nullptr;
  const double v = std::strtod(number.c_str(), &end);  // the program runs in the C locale
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

namespace {

// Width and decimals of a numeric tag.
int TagWidth(int tag) {
  return (tag / 10) % 100;
}
int TagDecimals(int tag) {
  return tag % 10;
}

}  // namespace

std::string FieldRangeText(int tag) {
  const int w = TagWidth(tag), d = TagDecimals(tag);
  // The largest text of w characters with d decimals: w - d - 1 integer
  // digits (the point takes one), one fewer below zero (the sign).
  const int int_digits = d == 0 ? w : w - d - 1;
  // n nines, then the point and d nines (n <= 0: a single zero before the point)
  auto nines = [d](int n) {
    std::string s(static_cast<std::size_t>(std::max(n, 1)), n <= 0 ? '0' : '9');
    if (d > 0) s.append(1, '.').append(static_cast<std::size_t>(d), '9');
    return s;
  };
  const std::string hi = nines(int_digits);
  // Below zero the sign takes a character: one integer digit fewer.
  std::string lo = "0";
  if (int_digits >= 2 || (int_digits == 1 && d > 0))
    lo = std::string(1, '-').append(nines(int_digits - 1));
  return lo + " " + Utf16ToCp932(u"～") + " " + hi;
}

std::string FieldRefusal(std::string_view text, int tag) {
  if (!IsNumericTag(tag)) return {};
  const std::optional<double> v = ReadWholeNumber(text);
  if (!v) {
    // A number in form whose value overflows (1e400) is named as such.
    const std::string t = HalfWidthNumberText(text);
    const bool overflows = std::isinf(std::strtod(t.c_str(), nullptr)) &&
                           t.find_first_of("0123456789") != std::string::npos;
    return Utf16ToCp932(overflows ? u"大きすぎて有限の数値になりません" : u"数値として読めません");
  }
  const int w = TagWidth(tag), d = TagDecimals(tag);
  if (d == 0 && *v != std::floor(*v)) return Utf16ToCp932(u"整数を入力してください");
  // The value must fit the field as it is shown: a wider text is beyond
  // what the field holds.
  const std::string shown =
      d == 0 ? (std::fabs(*v) < 2e9 ? Format("%d", static_cast<int>(*v)) : std::string(99, '9'))
             : Format("%.*f", d, *v);
  if (static_cast<int>(shown.size()) > w) return Utf16ToCp932(u"範囲外です");
  return {};
}

QString WithoutNegativeZero(const QString& text) {
  const QString t = text.trimmed();
  if (!t.startsWith(QLatin1Char('-')) || t.size() < 2) return text;
  for (QChar c : t.mid(1))
    if (c != QLatin1Char('0') && c != QLatin1Char('.')) return text;
  QString out = text;
  out.replace(out.indexOf(QLatin1Char('-')), 1, QLatin1Char(' '));
  return out;
}

// ---- Enter in a grid ------------------------------------------------------------

CellPos NextCell(CellPos at, int rows, int cols, int fixed_rows, int fixed_cols, bool down) {
  const int first_row = std::min(fixed_rows, rows - 1);
  const int first_col = std::min(fixed_cols, cols - 1);
  if (rows <= 0 || cols <= 0) return at;
  if (down) {
    if (at.row + 1 < rows) return {at.row + 1, at.col};
    if (at.col + 1 < cols) return {first_row, at.col + 1};
    return at;
  }
  if (at.col + 1 < cols) return {at.row, at.col + 1};
  if (at.row + 1 < rows) return {at.row + 1, first_col};
  return at;
}

// ---- grid table -------------------------------------------------------------------

// Paints the cells as the pages do: fixed cells grey, data cells white or
// the highlighted row cyan, a light line at the bottom and right edge, and
// the text centred, one line per ","-separated part.
class GridPainter : public QStyledItemDelegate {
 public:
  explicit GridPainter(GridTable* table) : QStyledItemDelegate(table), table_(table) {}
  void paint(QPainter* p, const QStyleOptionViewItem& opt,
             const QModelIndex& index) const override {
    // The number column is grey; the other fixed columns are data to the eye.
    const bool fixed = index.column() == 0 && table_->fixed_cols_ > 0;
    const bool hi = index.row() == table_->highlight_row_;
    p->save();
    p->fillRect(opt.rect, Bgr(fixed ? table_->fixed_bg_ : hi ? 0xFFFF00 : table_->data_bg_));
    if (opt.state & QStyle::State_Selected && !fixed) p->fillRect(opt.rect, QColor(0, 0, 128, 40));
    p->setPen(Bgr(0xC0C0C0));
    p->drawLine(opt.rect.bottomLeft(), opt.rect.bottomRight());
    p->drawLine(opt.rect.topRight(), opt.rect.bottomRight());
    p->setPen(fixed ? Qt::black : Bgr(table_->data_fg_));
    QString text = index.data().toString();
    if (table_->display_) text = table_->display_(index.row(), index.column(), text);
    const QStringList lines = text.split(QLatin1Char(','));
    const int h = opt.fontMetrics.height();
    const int n = static_cast<int>(lines.size());
    // The gap between lines; a cell lower than its lines gets none.
    const double gap = n > 0 ? std::max(0.0, double(opt.rect.height() - n * h) / n) : 0.0;
    for (int i = 0; i < n; ++i) {
      QString t = lines[i];
      t.replace(QLatin1Char('$'), QLatin1Char(' '));
      const int top = opt.rect.top() + int(gap / 2 + 0.5 + i * (h + gap));
      p->drawText(QRect(opt.rect.left() + 2, top, opt.rect.width() - 4, h), Qt::AlignHCenter, t);
    }
    p->restore();
  }

 private:
  GridTable* table_;
};

GridTable::GridTable(QWidget* parent) : QTableWidget(parent) {
  setItemDelegate(new GridPainter(this));
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(22);
  horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
}

void GridTable::SetColours(int fixed_bg, int data_bg, int data_fg) {
  fixed_bg_ = fixed_bg;
  data_bg_ = data_bg;
  data_fg_ = data_fg;
  viewport()->update();
}

void GridTable::SetHighlightRow(int row) {
  if (row == highlight_row_) return;
  highlight_row_ = row;
  viewport()->update();
}

void GridTable::Fill(const GridData& g) {
  const QSignalBlocker block(this);
  fixed_rows_ = std::clamp(g.fixed_rows, 0, g.row_count());
  fixed_cols_ = g.fixed_cols;
  setColumnCount(g.col_count());
  setRowCount(std::max(0, g.row_count() - fixed_rows_));
  QStringList heads;
  for (int c = 0; c < g.col_count(); ++c) {
    QStringList lines;
    for (int r = 0; r < fixed_rows_; ++r) lines += Q(g.Cell(c, r)).split(QLatin1Char(','));
    // "$" stands for a blank in a header, as in the cells.
    heads << lines.join(QLatin1Char('\n')).replace(QLatin1Char('$'), QLatin1Char(' '));
    // A zero width hides a column (the node table's support code).
    if (g.col_widths[c] > 0) setColumnWidth(c, g.col_widths[c]);
  }
  setHorizontalHeaderLabels(heads);
  int width = 0;
  for (int c = 0; c < g.col_count(); ++c) {
    const bool hide = g.col_widths[c] <= 0 || c == hidden_col_;
    setColumnHidden(c, hide);
    if (!hide) width += g.col_widths[c];
  }
  // The whole table is seen when the page has room for it.
  // (The row-number header counts once it is shown at all, before the page is.)
  const int numbers =
      verticalHeader()->isHidden() ? 0 : std::max(34, verticalHeader()->sizeHint().width());
  setMinimumWidth(std::min(1100, width + numbers + 24));
  for (int r = fixed_rows_; r < g.row_count(); ++r)
    for (int c = 0; c < g.col_count(); ++c) {
      QTableWidgetItem* it = item(r - fixed_rows_, c);
      if (!it) {
        it = new QTableWidgetItem;
        setItem(r - fixed_rows_, c, it);
      }
      it->setText(WithoutNegativeZero(Q(g.Cell(c, r))));
      if (c < fixed_cols_) it->setFlags(it->flags() & ~Qt::ItemIsEditable);
    }
}

void GridTable::Take(GridData& g) const {
  for (int r = fixed_rows_; r < g.row_count() && r - fixed_rows_ < rowCount(); ++r)
    for (int c = 0; c < g.col_count() && c < columnCount(); ++c)
      if (const QTableWidgetItem* it = item(r - fixed_rows_, c)) g.SetCell(c, r, Cp(it->text()));
}

void GridTable::SetCornerText(const QString& text) {
  if (!corner_) {
    corner_ = new QLabel(this);
    corner_->setAlignment(Qt::AlignCenter);
    corner_->setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  corner_->setText(text);
  updateGeometries();
}

void GridTable::updateGeometries() {
  QTableWidget::updateGeometries();
  if (!corner_) return;
  const int f = frameWidth();
  corner_->setGeometry(f, f, verticalHeader()->isVisible() ? verticalHeader()->width() : 0,
                       horizontalHeader()->height());
  corner_->setVisible(verticalHeader()->isVisible());
  corner_->raise();
}

void GridTable::keyPressEvent(QKeyEvent* e) {
  if (state() != QAbstractItemView::EditingState) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
      emit enterPressed(currentRow(), currentColumn());
      return;
    }
    if (e->key() == Qt::Key_Delete) {
      emit deletePressed(currentRow(), currentColumn());
      return;
    }
  }
  QTableWidget::keyPressEvent(e);
}

void GridTable::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  // Enter in the cell editor: the value is in; the page moves on by its rule.
  QTableWidget::closeEditor(editor, QAbstractItemDelegate::NoHint);
  if (hint == QAbstractItemDelegate::SubmitModelCache)
    emit enterPressed(currentRow(), currentColumn());
}

// ---- page -----------------------------------------------------------------------

FormPage::FormPage(const QString& title, QWidget* parent) : QWidget(parent) {
  auto* outer = new QVBoxLayout(this);
  auto* heading = new QLabel(title, this);
  outer->addWidget(heading);
  auto* scroll = new QScrollArea(this);
  scroll->setWidgetResizable(true);
  body_ = new QWidget(scroll);
  scroll->setWidget(body_);
  outer->addWidget(scroll, 1);
  hidden_ = new QWidget(this);
  hidden_->hide();
}

FormPage::FormPage(FormId id, const QString& title, const FormState& designed, QWidget* parent)
    : QWidget(parent) {
  Init(LayoutOf(id), id == FormId::kGround, title, designed);
}

FormPage::FormPage(const PageLayout& layout, const QString& title, const FormState& designed,
                   QWidget* parent)
    : QWidget(parent) {
  Init(layout, false, title, designed);
}

void FormPage::Init(const PageLayout& layout, bool beside, const QString& title,
                    const FormState& designed) {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(4, 4, 4, 4);
  auto* heading = new QLabel(title, this);
  heading->setObjectName(QStringLiteral("PageTitle"));
  QFont f = heading->font();
  f.setBold(true);
  f.setPointSizeF(f.pointSizeF() * 1.2);
  heading->setFont(f);
  outer->addWidget(heading);
  hidden_ = new QWidget(this);
  hidden_->hide();

  auto* split = new QSplitter(beside ? Qt::Horizontal : Qt::Vertical, this);
  if (layout.picture) {
    canvas_ = new FigureCanvas(split);
    split->addWidget(canvas_);
  }
  auto* scroll = new QScrollArea(split);
  scroll->setWidgetResizable(true);
  body_ = new QWidget(scroll);
  scroll->setWidget(body_);
  split->addWidget(scroll);
  if (canvas_) {
    // The ground page's grid needs its width beside the column; the other
    // pages give the picture the larger share above their inputs.
    split->setStretchFactor(0, beside ? 2 : 3);
    split->setStretchFactor(1, beside ? 3 : 2);
  }
  outer->addWidget(split, 1);
  BuildFromLayout(layout, designed);
}

QWidget* FormPage::MakeWidget(const Control& c, QWidget* parent, const QString& caption) {
  Binding b{c.name, c.kind, nullptr, nullptr};
  switch (c.kind) {
    case ControlKind::kEdit: {
      auto* e = new QLineEdit(parent);
      const int tag = c.tag;
      const std::string name = c.name;
      if (tag != 0)
        e->setMaximumWidth(110);
      else
        e->setMinimumWidth(180);
      if (tag != 0) e->setAlignment(Qt::AlignRight);
      connect(e, &QLineEdit::editingFinished, this, [this, e, tag, name] {
        if (filling()) return;
        if (IsNumericTag(tag)) {
          const std::string typed = Cp(e->text());
          if (const std::string why = FieldRefusal(typed, tag); !why.empty()) {
            // The field keeps its last value; nothing is committed.
            const auto it = accepted_.find(e);
            const QString previous = it != accepted_.end() ? it->second : QString();
            {
              const QSignalBlocker block(e);
              e->setText(previous);
            }
            const QString field =
                e->accessibleName().isEmpty() ? e->objectName() : e->accessibleName();
            emit refused(
                QStringLiteral(u"「%1」に入力された「%2」は使えません: %3。\n"
                               u"入力できる範囲: %4\n元の値 %5 に戻しました。")
                    .arg(field, Q(typed), Q(why), Q(FieldRangeText(tag)), previous.trimmed()));
            return;
          }
        }
        if (tag != 0) {
          const QSignalBlocker block(e);
          e->setText(Q(FormatByTag(Cp(e->text()), tag)));
        }
        accepted_[e] = e->text();
        emit edited(U8(name));
      });
      e->installEventFilter(this);
      b.widget = e;
      break;
    }
    case ControlKind::kDropDown: {
      auto* cb = new QComboBox(parent);
      cb->setSizeAdjustPolicy(QComboBox::AdjustToContents);
      const std::string name = c.name;
      connect(cb, &QComboBox::activated, this, [this, name] {
        if (!filling()) emit edited(U8(name));
      });
      cb->installEventFilter(this);
      b.widget = cb;
      break;
    }
    case ControlKind::kRadioGroup: {
      auto* box = new QGroupBox(caption, parent);
      new QGridLayout(box);
      b.widget = box;
      b.buttons = new QButtonGroup(box);
      b.buttons->setExclusive(true);
      const std::string name = c.name;
      connect(b.buttons, &QButtonGroup::idClicked, this, [this, name] {
        if (!filling()) emit edited(U8(name));
      });
      break;
    }
    case ControlKind::kRadioButton: {
      auto* r = new QRadioButton(caption, parent);
      r->setAutoExclusive(false);
      QButtonGroup*& g = radio_groups_[c.group];
      if (!g) {
        g = new QButtonGroup(this);
        g->setExclusive(true);
      }
      g->addButton(r);
      b.widget = r;
      break;
    }
    case ControlKind::kCheckBox:
      b.widget = new QCheckBox(caption, parent);
      break;
    case ControlKind::kSpeedButton: {
      auto* p = new QPushButton(caption.isEmpty() ? Q(c.name) : caption, parent);
      p->setCheckable(true);
      b.widget = p;
      break;
    }
    case ControlKind::kListBox: {
      auto* l = new QListWidget(parent);
      l->setMaximumHeight(120);
      b.widget = l;
      break;
    }
    case ControlKind::kGrid: {
      auto* t = new GridTable(parent);
      t->setMinimumHeight(160);
      tables_[c.name] = t;
      b.widget = t;
      break;
    }
  }
  if (auto* button = qobject_cast<QAbstractButton*>(b.widget);
      button && c.kind != ControlKind::kRadioGroup) {
    const std::string name = c.name;
    connect(button, &QAbstractButton::clicked, this, [this, name] {
      if (!filling()) emit edited(U8(name));
    });
  }
  b.widget->setObjectName(Q(c.name));
  if (!caption.isEmpty()) b.widget->setAccessibleName(U8(AccessibleCaption(caption.toStdString())));
  bindings_.push_back(b);
  return b.widget;
}

void FormPage::BuildFromLayout(const PageLayout& layout, const FormState& designed) {
  auto* v = new QVBoxLayout(body_);
  v->setContentsMargins(2, 2, 2, 2);
  // Each tab (and the area above the tabs) holds columns of groups.
  std::map<std::string, QHBoxLayout*> columns_of_tab;
  std::map<std::pair<std::string, int>, QVBoxLayout*> column_layouts;
  auto* top = new QWidget(body_);
  auto* top_row = new QHBoxLayout(top);
  top_row->setContentsMargins(0, 0, 0, 0);
  v->addWidget(top);
  columns_of_tab[""] = top_row;
  QTabWidget* tabs = nullptr;
  if (!layout.tabs.empty()) {
    tabs = new QTabWidget(body_);
    tabs->setObjectName(QStringLiteral("Tabs"));
    for (const std::string& t : layout.tabs) {
      auto* page = new QWidget(tabs);
      auto* row = new QHBoxLayout(page);
      tabs->addTab(page, U8(t));
      columns_of_tab[t] = row;
    }
    v->addWidget(tabs, 1);
  }
  extra_ = new QVBoxLayout;
  v->addLayout(extra_);
  v->addStretch(1);
  auto column_of = [&](const std::string& tab, int column) -> QVBoxLayout* {
    QHBoxLayout* row = columns_of_tab[tab];
    if (!row) return nullptr;
    QVBoxLayout*& col = column_layouts[{tab, column}];
    if (!col) {
      // Columns are made in order; a later column number adds the ones before it.
      for (int c = 0; c <= column; ++c) {
        QVBoxLayout*& each = column_layouts[{tab, c}];
        if (!each) {
          each = new QVBoxLayout;
          each->setAlignment(Qt::AlignTop);
          row->addLayout(each);
        }
      }
    }
    return col;
  };

  std::vector<std::string> shown;
  for (const LayoutGroup& group : layout.groups) {
    QVBoxLayout* column = column_of(group.tab, group.column);
    if (!column) continue;
    QWidget* host = columns_of_tab[group.tab]->parentWidget();
    QWidget* frame;
    if (!group.title.empty()) {
      auto* box = new QGroupBox(U8(group.title), host);
      box->setAccessibleName(U8(AccessibleCaption(group.title)));
      frame = box;
    } else {
      frame = new QFrame(host);
    }
    if (!group.object_name.empty()) frame->setObjectName(U8(group.object_name));
    if (auto* box = qobject_cast<QGroupBox*>(frame))
      groups_[group.object_name.empty() ? group.title : group.object_name] = box;
    auto* form = new QGridLayout(frame);
    form->setVerticalSpacing(3);
    int row = 0;
    const bool matrix = !group.col_suffixes.empty();
    if (matrix) {
      for (std::size_t k = 0; k < group.col_heads.size(); ++k) {
        auto* head = new QLabel(U8(group.col_heads[k]), frame);
        head->setAlignment(Qt::AlignCenter);
        form->addWidget(head, row, 1 + static_cast<int>(k));
      }
      ++row;
    }
    for (const LayoutRow& r : group.rows) {
      if (r.name.empty()) {  // heading line
        auto* h = new QLabel(U8(r.caption), frame);
        QFont hf = h->font();
        hf.setBold(true);
        h->setFont(hf);
        form->addWidget(h, row++, 0, 1, 3);
        continue;
      }
      if (matrix) {
        auto* cap = new QLabel(U8(r.caption), frame);
        form->addWidget(cap, row, 0);
        for (std::size_t k = 0; k < group.col_suffixes.size(); ++k) {
          const std::string name = r.name + group.col_suffixes[k];
          const Control* c = designed.Find(name);
          if (!c) continue;
          // Each field of a matrix is named by its row, column and group.
          const std::string acc =
              AccessibleCaption(r.caption) + " " +
              (k < group.col_heads.size() ? group.col_heads[k] : "") +
              (group.title.empty() ? std::string()
                                   : std::string(" ").append(AccessibleCaption(group.title)));
          QWidget* w = MakeWidget(*c, frame, QString());
          w->setAccessibleName(U8(acc));
          if (auto* e = qobject_cast<QLineEdit*>(w)) {
            e->setMinimumWidth(76);
            e->setMaximumWidth(96);
          }
          form->addWidget(w, row, 1 + static_cast<int>(k));
          if (k == 0) cap->setBuddy(w);
          companions_[name].push_back(cap);
          shown.push_back(name);
        }
        if (!r.unit.empty())
          form->addWidget(new QLabel(U8(r.unit), frame), row,
                          1 + static_cast<int>(group.col_suffixes.size()));
        ++row;
        continue;
      }
      const Control* c = designed.Find(r.name);
      if (!c) {
        // A table the page fills itself (the load table).
        auto* t = new GridTable(frame);
        t->setObjectName(U8(r.name));
        t->setAccessibleName(U8(AccessibleCaption(r.caption)));
        t->setMinimumHeight(220);
        tables_[r.name] = t;
        auto* cap = new QLabel(U8(r.caption), frame);
        cap->setBuddy(t);
        form->addWidget(cap, row++, 0, 1, 3);
        form->addWidget(t, row++, 0, 1, 3);
        continue;
      }
      shown.push_back(r.name);
      const QString caption = U8(r.caption);
      switch (c->kind) {
        case ControlKind::kEdit:
        case ControlKind::kDropDown: {
          auto* cap = new QLabel(caption, frame);
          QWidget* w = MakeWidget(*c, frame, caption);
          cap->setBuddy(w);
          captions_[r.name] = cap;
          form->addWidget(cap, row, 0);
          form->addWidget(w, row, 1);
          companions_[r.name].push_back(cap);
          if (!r.unit.empty()) {
            auto* unit = new QLabel(U8(r.unit), frame);
            form->addWidget(unit, row, 2);
            companions_[r.name].push_back(unit);
          }
          ++row;
          break;
        }
        case ControlKind::kGrid:
        case ControlKind::kListBox: {
          auto* cap = new QLabel(caption, frame);
          QWidget* w = MakeWidget(*c, frame, caption);
          cap->setBuddy(w);
          captions_[r.name] = cap;
          companions_[r.name].push_back(cap);
          form->addWidget(cap, row++, 0, 1, 3);
          form->addWidget(w, row++, 0, 1, 3);
          break;
        }
        default: {
          QWidget* w = MakeWidget(*c, frame, caption);
          if (c->kind == ControlKind::kRadioGroup) w->setProperty("columns", r.columns);
          form->addWidget(w, row++, 0, 1, 3);
          break;
        }
      }
    }
    for (const std::string& note : group.notes) {
      auto* n = new QLabel(U8(note), frame);
      n->setObjectName(QStringLiteral("note"));
      form->addWidget(n, row++, 0, 1, 3);
    }
    column->addWidget(frame);
  }
  for (auto& [key, col] : column_layouts) col->addStretch(1);
  for (auto& [tab, row] : columns_of_tab) row->addStretch(1);
  // The controls no row shows keep a widget, never shown (hidden carriers).
  for (const auto* list : {&designed.controls, &designed.extras})
    for (const Control& c : *list)
      if (std::find(shown.begin(), shown.end(), c.name) == shown.end() && !Find(c.name))
        MakeWidget(c, hidden_, QString());
}

void FormPage::BuildPlain(const FormState& form) {
  auto* layout = new QFormLayout(body_);
  for (const auto* list : {&form.controls, &form.extras})
    for (const Control& c : *list) {
      QWidget* w = MakeWidget(c, body_, Q(c.name));
      layout->addRow(Q(c.name), w);
    }
}

bool FormPage::eventFilter(QObject* o, QEvent* e) {
  // A numeric field's text when the user comes to it is the value a
  // refused entry goes back to (whoever set it: a fill, a page, a commit).
  if (e->type() == QEvent::FocusIn)
    if (auto* le = qobject_cast<QLineEdit*>(o); le && accepted_.count(le))
      accepted_[le] = le->text();
  // Enter moves to the next control, as the pages always did.
  if (e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
      if (qobject_cast<QWidget*>(o)) {
        focusNextChild();  // leaving the field formats and commits it
        return true;
      }
    }
  }
  return QWidget::eventFilter(o, e);
}

const FormPage::Binding* FormPage::Find(const std::string& name) const {
  for (const Binding& b : bindings_)
    if (b.name == name) return &b;
  return nullptr;
}

void FormPage::Fill(const Control& c, const Binding& b) {
  const QSignalBlocker block(b.widget);
  switch (c.kind) {
    case ControlKind::kEdit: {
      const QString text = c.tag != 0 ? WithoutNegativeZero(Q(c.text)) : Q(c.text);
      static_cast<QLineEdit*>(b.widget)->setText(text);
      accepted_[b.widget] = text;
      break;
    }
    case ControlKind::kDropDown: {
      auto* cb = static_cast<QComboBox*>(b.widget);
      bool same = cb->count() == static_cast<int>(c.items.size());
      for (int i = 0; same && i < cb->count(); ++i) same = Cp(cb->itemText(i)) == c.items[i];
      if (!same) {
        cb->clear();
        for (const std::string& s : c.items) cb->addItem(Q(s));
      }
      // A stored index beyond the list shows no choice.
      cb->setCurrentIndex(c.index >= 0 && c.index < cb->count() ? c.index : -1);
      break;
    }
    case ControlKind::kRadioGroup: {
      const QSignalBlocker block_group(b.buttons);
      if (b.buttons->buttons().size() != static_cast<int>(c.items.size())) {
        for (QAbstractButton* old : b.buttons->buttons()) {
          b.buttons->removeButton(old);
          delete old;
        }
        auto* grid = static_cast<QGridLayout*>(b.widget->layout());
        const int per_row = std::max(1, b.widget->property("columns").toInt() > 0
                                            ? b.widget->property("columns").toInt()
                                            : static_cast<int>(c.items.size()));
        for (std::size_t i = 0; i < c.items.size(); ++i) {
          auto* r = new QRadioButton(Q(c.items[i]), b.widget);
          r->setAccessibleName(Q(c.items[i]));
          grid->addWidget(r, static_cast<int>(i) / per_row, static_cast<int>(i) % per_row);
          b.buttons->addButton(r, static_cast<int>(i));
        }
      } else {
        for (std::size_t i = 0; i < c.items.size(); ++i)
          b.buttons->button(static_cast<int>(i))->setText(Q(c.items[i]));
      }
      if (QAbstractButton* sel = b.buttons->button(c.index)) {
        sel->setChecked(true);
      } else if (QAbstractButton* on = b.buttons->checkedButton()) {
        b.buttons->setExclusive(false);
        on->setChecked(false);
        b.buttons->setExclusive(true);
      }
      break;
    }
    case ControlKind::kRadioButton:
    case ControlKind::kCheckBox:
    case ControlKind::kSpeedButton: {
      auto* button = static_cast<QAbstractButton*>(b.widget);
      QButtonGroup* g = button->group();
      if (g && !c.checked && button->isChecked()) {
        g->setExclusive(false);
        button->setChecked(false);
        g->setExclusive(true);
      } else {
        button->setChecked(c.checked);
      }
      break;
    }
    case ControlKind::kListBox: {
      auto* l = static_cast<QListWidget*>(b.widget);
      l->clear();
      for (const std::string& s : c.items) l->addItem(Q(s));
      break;
    }
    case ControlKind::kGrid:
      static_cast<GridTable*>(b.widget)->Fill(c.grid);
      break;
  }
}

void FormPage::Take(Control& c, const Binding& b) const {
  switch (c.kind) {
    case ControlKind::kEdit:
      c.text = Cp(static_cast<QLineEdit*>(b.widget)->text());
      break;
    case ControlKind::kDropDown: {
      // A list without a choice (not filled, or a stored index it does not
      // hold) keeps the record's index.
      auto* cb = static_cast<QComboBox*>(b.widget);
      if (cb->count() > 0 && cb->currentIndex() >= 0) c.SetIndex(cb->currentIndex());
      break;
    }
    case ControlKind::kRadioGroup:
      if (b.buttons->checkedId() >= 0) c.SetIndex(b.buttons->checkedId());
      break;
    case ControlKind::kRadioButton:
    case ControlKind::kCheckBox:
    case ControlKind::kSpeedButton:
      c.checked = static_cast<QAbstractButton*>(b.widget)->isChecked();
      break;
    case ControlKind::kListBox: {
      auto* l = static_cast<QListWidget*>(b.widget);
      c.items.clear();
      for (int i = 0; i < l->count(); ++i) c.items.push_back(Cp(l->item(i)->text()));
      break;
    }
    case ControlKind::kGrid:
      static_cast<GridTable*>(b.widget)->Take(c.grid);
      break;
  }
}

void FormPage::Load(const FormState& form) {
  if (bindings_.empty() && !hidden_->layout() && body_->layout() == nullptr) BuildPlain(form);
  ++filling_;
  for (const auto* list : {&form.controls, &form.extras})
    for (const Control& c : *list)
      if (const Binding* b = Find(c.name); b && b->kind == c.kind) Fill(c, *b);
  --filling_;
}

void FormPage::Store(FormState& form) const {
  for (auto* list : {&form.controls, &form.extras})
    for (Control& c : *list)
      if (const Binding* b = Find(c.name); b && b->kind == c.kind) Take(c, *b);
}

QWidget* FormPage::WidgetOf(const std::string& name) const {
  if (const Binding* b = Find(name)) return b->widget;
  auto it = tables_.find(name);
  return it == tables_.end() ? nullptr : it->second;
}

QLabel* FormPage::CaptionOf(const std::string& name) const {
  auto it = captions_.find(name);
  return it == captions_.end() ? nullptr : it->second;
}

QGroupBox* FormPage::GroupOf(const std::string& object_name) const {
  auto it = groups_.find(object_name);
  return it == groups_.end() ? nullptr : it->second;
}

GridTable* FormPage::TableOf(const std::string& name) const {
  auto it = tables_.find(name);
  return it == tables_.end() ? nullptr : it->second;
}

void FormPage::SetControlVisible(const std::string& name, bool on) {
  if (QWidget* w = WidgetOf(name)) w->setVisible(on);
  auto it = companions_.find(name);
  if (it != companions_.end())
    for (QWidget* w : it->second) w->setVisible(on);
}

void FormPage::SetFieldRed(const std::string& name, bool red) {
  if (QWidget* w = WidgetOf(name))
    w->setStyleSheet(red ? QStringLiteral("color: rgb(255,0,0)") : QString());
}

}  // namespace vaultra::gui
