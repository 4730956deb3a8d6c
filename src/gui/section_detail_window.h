// The section-detail window "応力度と終局耐力": the 25 fields and three
// check boxes of one rectangular RC section, recomputed as soon as a field
// is left, a box clicked or a force stepped with ↑/↓; the listing, the
// result labels and the figure of the neutral-axis equations. Its fields
// live in the project's fmUtOryk record; nothing it computes reaches the
// project's checks (it keeps its own limit-state parameters).
#pragma once

#include <QWidget>
#include <array>
#include <map>
#include <string>

#include "app/document/form_state.h"
#include "results/section_detail.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace vaultra {
class Ui;
}

namespace vaultra::gui {

// The figure Paint1: the section band, the bars and the curves of the
// stress and capacity equations over the depth.
class SectionDetailFigureView : public QWidget {
 public:
  explicit SectionDetailFigureView(const SectionDetailFigure& fig, QWidget* parent = nullptr);
  QSize sizeHint() const override { return {560, 300}; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  const SectionDetailFigure& fig_;
};

class SectionDetailView : public QWidget {
  Q_OBJECT
 public:
  // `record` is the project's fmUtOryk record; `ui` shows the memo text.
  SectionDetailView(FormState& record, Ui& ui, QWidget* parent = nullptr);

  // A project was read: the fields from the record, each formatted by its
  // tag, then recomputed.
  void Reload();
  // Fills the window with `in` (a point of the RC page's stress table),
  // recomputes and shows it.
  void OpenWith(const SectionDetailInputs& in);
  // Shows the window, recomputed.
  void ShowWindow();

  const SectionDetailWindow& logic() const { return w_; }
  QLineEdit* Field(int field) const { return fields_.at(static_cast<std::size_t>(field)); }
  QCheckBox* Box(const char* name) const;
  QLabel* Label(const char* name) const;
  QListWidget* listing() const { return list_; }
  QWidget* figure() const { return figure_; }

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void Recompute();
  void Show();
  void FieldLeft(int field);
  // The fields' texts and the boxes as they stand on screen into the inputs.
  void TakeTyped();

  FormState& record_;
  Ui& ui_;
  SectionDetailWindow w_;
  std::array<QLineEdit*, kSdFieldCount> fields_{};
  std::map<std::string, QCheckBox*> boxes_;
  std::map<std::string, QLabel*> labels_;
  QListWidget* list_ = nullptr;
  SectionDetailFigureView* figure_ = nullptr;
  QLabel* memo_ = nullptr;
  int filling_ = 0;
};

}  // namespace vaultra::gui
