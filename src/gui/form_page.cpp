#include "gui/form_page.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/format_by_tag.h"
#include "gui/qt_ui.h"

namespace vaultra::gui {

FormPage::FormPage(const QString& title, QWidget* parent) : QWidget(parent) {
  auto* outer = new QVBoxLayout(this);
  auto* heading = new QLabel(title, this);
  QFont f = heading->font();
  f.setBold(true);
  heading->setFont(f);
  outer->addWidget(heading);
  // The page's drawing comes here once the page draws.
  auto* picture = new QFrame(this);
  picture->setObjectName(QStringLiteral("picture"));
  picture->setFrameShape(QFrame::StyledPanel);
  picture->setMinimumHeight(120);
  auto* pl = new QVBoxLayout(picture);
  pl->addWidget(new QLabel(QStringLiteral(u"（図は未実装）"), picture), 0, Qt::AlignCenter);
  outer->addWidget(picture);
  auto* scroll = new QScrollArea(this);
  scroll->setWidgetResizable(true);
  body_ = new QWidget(scroll);
  layout_ = new QFormLayout(body_);
  scroll->setWidget(body_);
  outer->addWidget(scroll, 1);
}

namespace {

std::vector<std::string> LayoutKey(const FormState& form) {
  std::vector<std::string> key;
  for (const auto* list : {&form.controls, &form.extras})
    for (const Control& c : *list) key.push_back(c.name + "#" + std::to_string(int(c.kind)));
  return key;
}

}  // namespace

void FormPage::Build(const FormState& form) {
  while (layout_->rowCount() > 0) layout_->removeRow(0);
  bindings_.clear();
  for (const auto* list : {&form.controls, &form.extras}) {
    const bool extra = list == &form.extras;
    for (const Control& c : *list) {
      Binding b{c.name, c.kind, nullptr, nullptr, extra};
      switch (c.kind) {
        case ControlKind::kEdit: {
          auto* e = new QLineEdit(body_);
          const int tag = c.tag;
          connect(e, &QLineEdit::editingFinished, e,
                  [e, tag] { e->setText(Q(FormatByTag(Cp(e->text()), tag))); });
          b.widget = e;
          break;
        }
        case ControlKind::kDropDown:
          b.widget = new QComboBox(body_);
          break;
        case ControlKind::kRadioGroup: {
          auto* box = new QWidget(body_);
          new QHBoxLayout(box);
          b.widget = box;
          b.buttons = new QButtonGroup(box);
          b.buttons->setExclusive(true);
          break;
        }
        case ControlKind::kRadioButton: {
          auto* r = new QRadioButton(body_);
          r->setAutoExclusive(false);  // the record's group decides
          b.widget = r;
          break;
        }
        case ControlKind::kCheckBox:
          b.widget = new QCheckBox(body_);
          break;
        case ControlKind::kSpeedButton: {
          auto* p = new QPushButton(Q(c.name), body_);
          p->setCheckable(true);
          b.widget = p;
          break;
        }
        case ControlKind::kListBox: {
          auto* l = new QListWidget(body_);
          l->setMaximumHeight(120);
          b.widget = l;
          break;
        }
        case ControlKind::kGrid: {
          auto* t = new QTableWidget(body_);
          t->horizontalHeader()->hide();
          t->setMinimumHeight(160);
          b.widget = t;
          break;
        }
      }
      b.widget->setObjectName(Q(c.name));
      layout_->addRow(Q(c.name.empty() ? std::string("-") : c.name), b.widget);
      bindings_.push_back(b);
    }
  }
  layout_key_ = LayoutKey(form);
}

void FormPage::Fill(const Control& c, const Binding& b) {
  switch (c.kind) {
    case ControlKind::kEdit:
      static_cast<QLineEdit*>(b.widget)->setText(Q(c.text));
      break;
    case ControlKind::kDropDown: {
      auto* cb = static_cast<QComboBox*>(b.widget);
      cb->clear();
      for (const std::string& s : c.items) cb->addItem(Q(s));
      cb->setCurrentIndex(c.index < cb->count() ? c.index : -1);
      break;
    }
    case ControlKind::kRadioGroup: {
      for (QAbstractButton* old : b.buttons->buttons()) {
        b.buttons->removeButton(old);
        delete old;
      }
      for (std::size_t i = 0; i < c.items.size(); ++i) {
        auto* r = new QRadioButton(Q(c.items[i]), b.widget);
        b.widget->layout()->addWidget(r);
        b.buttons->addButton(r, static_cast<int>(i));
      }
      if (QAbstractButton* sel = b.buttons->button(c.index)) sel->setChecked(true);
      break;
    }
    case ControlKind::kRadioButton:
    case ControlKind::kCheckBox:
    case ControlKind::kSpeedButton:
      static_cast<QAbstractButton*>(b.widget)->setChecked(c.checked);
      break;
    case ControlKind::kListBox: {
      auto* l = static_cast<QListWidget*>(b.widget);
      l->clear();
      for (const std::string& s : c.items) l->addItem(Q(s));
      break;
    }
    case ControlKind::kGrid: {
      auto* t = static_cast<QTableWidget*>(b.widget);
      const GridData& g = c.grid;
      t->clear();
      t->setColumnCount(g.col_count());
      t->setRowCount(g.row_count());
      for (int col = 0; col < g.col_count(); ++col) t->setColumnWidth(col, g.col_widths[col]);
      for (int row = 0; row < g.row_count(); ++row)
        for (int col = 0; col < g.col_count(); ++col) {
          auto* item = new QTableWidgetItem(Q(g.Cell(col, row)));
          if (row < g.fixed_rows || col < g.fixed_cols) {
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            item->setBackground(QColor(0xE0, 0xE0, 0xE0));
          }
          t->setItem(row, col, item);
        }
      break;
    }
  }
}

void FormPage::Take(Control& c, const Binding& b) const {
  switch (c.kind) {
    case ControlKind::kEdit:
      c.text = Cp(static_cast<QLineEdit*>(b.widget)->text());
      break;
    case ControlKind::kDropDown:
      c.SetIndex(static_cast<QComboBox*>(b.widget)->currentIndex());
      break;
    case ControlKind::kRadioGroup:
      c.SetIndex(b.buttons->checkedId());
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
    case ControlKind::kGrid: {
      auto* t = static_cast<QTableWidget*>(b.widget);
      for (int row = 0; row < c.grid.row_count() && row < t->rowCount(); ++row)
        for (int col = 0; col < c.grid.col_count() && col < t->columnCount(); ++col)
          if (const QTableWidgetItem* item = t->item(row, col))
            c.grid.SetCell(col, row, Cp(item->text()));
      break;
    }
  }
}

void FormPage::Load(const FormState& form) {
  if (LayoutKey(form) != layout_key_) Build(form);
  std::size_t i = 0;
  for (const auto* list : {&form.controls, &form.extras})
    for (const Control& c : *list) Fill(c, bindings_[i++]);
}

void FormPage::Store(FormState& form) const {
  if (LayoutKey(form) != layout_key_) return;  // the widgets show another layout
  std::size_t i = 0;
  for (auto* list : {&form.controls, &form.extras})
    for (Control& c : *list) Take(c, bindings_[i++]);
}

QWidget* FormPage::WidgetOf(const std::string& name) const {
  for (const Binding& b : bindings_)
    if (b.name == name) return b.widget;
  return nullptr;
}

}  // namespace vaultra::gui
