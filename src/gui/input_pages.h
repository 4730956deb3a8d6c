// The input pages and the condition-file view as the engineer uses them:
// each page's widgets (FormPage), its events wired to the page logic of
// src/app, its picture and picking, and what entering and leaving a page
// does. Nothing here commits or recomputes while a calculation runs.
#pragma once

#include <QObject>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/calc/navigation.h"
#include "app/document/project_file.h"
#include "app/document/project_state.h"
#include "app/pages/dims_page.h"
#include "app/pages/loads_page.h"
#include "inputs/master_data.h"
#include "report/figures.h"
#include "report/print_engine.h"

class QLabel;
class QPainter;
class QRect;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace vaultra {
class Ui;
}

namespace vaultra::gui {

class FormPage;
class GridTable;

class InputPages : public QObject {
  Q_OBJECT
 public:
  // `busy` tells whether a calculation runs; `started` whether start-up is
  // complete.
  InputPages(ProjectState& state, const MasterData& md, PageLogic& logic, Ui& ui,
             std::function<bool()> busy, std::function<bool()> started, QWidget* parent);

  // The widget of a page (input pages and the condition-file view), else null.
  QWidget* Widget(Page page) const;
  FormPage* Form(Page page) const;
  // FormShow: 2 enter, 1 leave.
  void Enter(Page page);
  void Leave(Page page);
  // The widgets of the page on screen into its record (before any commit).
  void Store(Page page);
  // Store, and take what a page holds uncommitted (a dimension field not yet left).
  void CommitPending(Page page);
  // The frame text paths of the last build, for the condition-file view.
  void SetFramePaths(std::string transverse, std::string longitudinal);
  // The print master folder: the dimensions page shows its symbol drawing.
  void SetPrintMasterDir(const std::string& dir_cp932);
  QLabel* DimsSymbols() const { return symbols_; }

  DimsPageState& dims() { return dims_; }
  LoadsPageState& loads() { return loads_; }
  int points_selected() const { return points_selected_; }
  // Picks on a page's picture at a canvas point (tests drive these as a click would).
  void PickOnCanvas(Page page, QPointF canvas_point);
  // The condition-file view's title panels and text boxes.
  QLabel* ConditionPanel(int which) const { return cond_panel_[which]; }
  QPlainTextEdit* ConditionText(int which) const { return cond_text_[which]; }
  QLineEdit* DimsField(int index) const { return dims_fields_[static_cast<std::size_t>(index)]; }

 signals:
  // A page changed the model (the status bar and other pages follow).
  void modelChanged();

 private:
  void BuildModelPage();
  void BuildGroundPage();
  void BuildDimsPage();
  void BuildPointsPage();
  void BuildLoadsPage();
  void BuildMaterialPage();
  void BuildConditionsPage();

  void ModelEdited(const std::string& name);
  void ApplyModelView();
  void UpdateModel();
  void GroundEnter(int row, int col);
  void GroundDelete(int row, int col);
  void GroundRowMoved();
  void DimsEdited(const std::string& name);
  void ShowDims();
  void PointsRowClicked(int row);
  void FillPointsPage();
  void LoadsEdited(const std::string& name);
  void ApplyLoadsView();
  void ShowLoadTable();
  void MaterialEdited(const std::string& name);
  void OpenInEditor(int which);
  void DrawFigure(Page page, QPainter& p, const QRect& r, bool longitudinal,
                  const std::function<void(PrintEngine&, Figure&)>& draw);
  bool Busy() const { return busy_ && busy_(); }

  ProjectState& state_;
  const MasterData& md_;
  PageLogic& logic_;
  Ui& ui_;
  std::function<bool()> busy_, started_;
  std::array<FormPage*, kSwitchedPages + 1> forms_{};
  QWidget* conditions_ = nullptr;
  std::array<QLabel*, 2> cond_panel_{};
  std::array<QPlainTextEdit*, 2> cond_text_{};
  std::array<std::string, 2> frame_paths_;
  std::array<QLineEdit*, kDimsFieldCount> dims_fields_{};
  std::array<QLabel*, kDimsFieldCount> dims_labels_{};
  std::array<QLabel*, kDimsFieldCount> dims_units_{};
  DimsPageState dims_;
  LoadsPageState loads_;
  int points_selected_ = 0;
  // Each page's picture: the engine whose window maps a click back into
  // the model, and whether the last paint drew.
  struct Picture {
    std::unique_ptr<PrintEngine> pe;
    bool drawn = false;
  };
  std::array<Picture, kSwitchedPages + 1> pictures_{};
  bool dims_shown_ = false;
  QLabel* depth_note_ = nullptr;
  QLabel* symbols_ = nullptr;
};

}  // namespace vaultra::gui
