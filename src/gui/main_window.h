// The main window TFm_MAIN: the left panel with the page buttons, the
// file menu, the status bar of the 100 ms timer and the page area. The
// page switch itself is the Navigator's; the window implements its ops.
#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <map>

#include "app/calc/calculation_ops.h"
#include "app/calc/navigation.h"
#include "app/pages/page_logic_impl.h"
#include "app/document/project_state.h"
#include "gui/qt_ui.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTimer;

namespace vaultra::gui {

class FormPage;

class TFm_MAIN : public QMainWindow, public NavigationOps {
  Q_OBJECT
 public:
  // `ops_override` lets tests watch the page switch; by default the
  // window's own ops run.
  TFm_MAIN(ProjectState& state, const MasterData& md, PageLogic& logic, QtUi& ui,
           StartUpResult started, NavigationOps* ops_override = nullptr, QWidget* parent = nullptr);
  ~TFm_MAIN() override;

  Navigator& navigator() { return navigator_; }
  const CalculationOps& calculation() const { return calc_; }
  QAbstractButton* PageButton(Page page) const { return buttons_[static_cast<int>(page) - 1]; }
  FormPage* FormPageOf(Page page) const;
  QLabel* StatusLabel(const char* name) const;
  // Opens a project as the open command does (drop, command line).
  void OpenProject(const std::string& path_cp932);
  // Status-bar update of one timer tick.
  void Tick();

  // NavigationOps
  void CommitInputs(Page page) override;
  void OtherChecksPrepare() override;
  void OtherChecksInput() override;
  void OtherChecksResultRefresh() override;
  void BuildModels() override;
  void RunAnalysis(bool internal_solver) override;
  void SaveResumeFile() override;
  void FormShow(Page page, int selector) override;
  void SetOpenEnabled(bool on) override;
  void SetPreviewEnabled(bool on) override;

 protected:
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void BuildLeftPanel(QWidget* panel);
  void BuildStatusBar();
  void OpenDialog();
  void SaveAs();
  void Save();
  void ShowPage(Page page);
  std::optional<std::string> AskSaveName();
  std::string CalcSummary() const;
  void StoreIfCurrent(Page page);

  ProjectState& state_;
  PageLogic& logic_;
  QtUi& ui_;
  StartUpResult started_;
  CalculationOps calc_;
  Navigator navigator_;
  std::array<QAbstractButton*, kPageCount> buttons_{};
  QButtonGroup* group_ = nullptr;
  QCheckBox* print_k_ = nullptr;
  QCheckBox* print_t_ = nullptr;
  QStackedWidget* stack_ = nullptr;
  std::map<int, QWidget*> pages_;
  std::map<std::string, QLabel*> labels_;
  std::array<QLabel*, kResetIndicatorCount> reset_labels_{};
  ResetIndicators resets_;
  QAction* open_action_ = nullptr;
  QTimer* timer_ = nullptr;
  std::string calc_note_;  // status note of the last build or run (cp932)
  bool closed_ = false;
};

}  // namespace vaultra::gui
