// A page that shows one form-state record with plain Qt widgets: one row
// per control, its name as the caption. The record stays the truth; the
// widgets are filled from it and written back into it.
#pragma once

#include <QWidget>
#include <vector>

#include "app/document/form_state.h"

class QButtonGroup;
class QFormLayout;

namespace vaultra::gui {

class FormPage : public QWidget {
  Q_OBJECT
 public:
  explicit FormPage(const QString& title, QWidget* parent = nullptr);

  // Builds the widgets for the record's controls (once per layout) and fills them.
  void Load(const FormState& form);
  // Writes the widgets' values into the record.
  void Store(FormState& form) const;

  // The widget bound to a control (tests).
  QWidget* WidgetOf(const std::string& name) const;

 private:
  struct Binding {
    std::string name;
    ControlKind kind;
    QWidget* widget = nullptr;
    QButtonGroup* buttons = nullptr;
    bool extra = false;
  };
  void Build(const FormState& form);
  void Fill(const Control& c, const Binding& b);
  void Take(Control& c, const Binding& b) const;

  QFormLayout* layout_ = nullptr;
  QWidget* body_ = nullptr;
  std::vector<Binding> bindings_;
  std::vector<std::string> layout_key_;
};

}  // namespace vaultra::gui
