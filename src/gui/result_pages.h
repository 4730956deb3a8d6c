// The result-file view and the member-force page as the engineer uses
// them: the raw member-force files of the last transverse analysis, and
// the force diagram of the chosen case, component, magnification and
// direction over the frame, with the demo note after an internal-solver
// run and, for a direction without results, its failure in red instead of
// a diagram. The logic is in app/pages (result_file_page, force_page).
#pragma once

#include <QObject>
#include <memory>

#include "app/calc/calculation_ops.h"
#include "app/calc/navigation.h"
#include "app/document/project_state.h"
#include "app/pages/force_page.h"

class QPainter;
class QPlainTextEdit;
class QRect;
class QWidget;

namespace vaultra {
class PrintEngine;
}

namespace vaultra::gui {

class FormPage;

class ResultPages : public QObject {
  Q_OBJECT
 public:
  ResultPages(ProjectState& state, const CalculationOps& calc, QWidget* parent);
  ~ResultPages() override;

  // The widget of the result-file view or the member-force page, else null.
  QWidget* Widget(Page page) const;
  FormPage* Form(Page page) const;
  // FormShow: 2 enter, 1 leave.
  void Enter(Page page);
  void Leave(Page page);
  // The member-force page's choices into its record.
  void Store(Page page);
  // A calculation ended: the entered pages show its results.
  void RunFinished();
  // Redraws the member-force page (the recompute of the current page).
  void RepaintForces();

  QPlainTextEdit* ResultText() const { return text_; }
  // What the member-force page drew last.
  const ForcePageView& force_view() const { return view_; }
  // The values the last diagram wrote beside its members (0: no diagram).
  int diagram_labels() const { return diagram_labels_; }

 private:
  void BuildResultFileView();
  void BuildForcePage();
  void FillResultText();
  void ForceEdited(const QString& name);
  void FitChoices();
  void DrawForces(QPainter& p, const QRect& r);
  bool eventFilter(QObject* o, QEvent* e) override;

  ProjectState& state_;
  const CalculationOps& calc_;
  QWidget* result_view_ = nullptr;
  QPlainTextEdit* text_ = nullptr;
  FormPage* forces_ = nullptr;
  std::unique_ptr<PrintEngine> pe_;
  ForcePageView view_;
  int diagram_labels_ = 0;
  bool result_entered_ = false, forces_entered_ = false;
};

}  // namespace vaultra::gui
