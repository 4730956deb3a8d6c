// The main window: the left panel with the page buttons, the
// file menu, the status bar of the 100 ms timer and the page area. The
// page switch itself is the Navigator's; the window implements its ops.
#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/calc/calculation_ops.h"
#include "app/calc/navigation.h"
#include "app/document/project_state.h"
#include "app/pages/page_logic_impl.h"
#include "gui/qt_ui.h"
#include "results/section_detail.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTimer;
class QMenu;

namespace vaultra {
struct SectionDetailInputs;
}

namespace vaultra::gui {

class FormPage;
class InputPages;
class RcPageView;
class PreviewWindow;
class ResultPages;
class OtherChecksView;
class SectionDetailView;

class MainWindow : public QMainWindow, public NavigationOps {
  Q_OBJECT
 public:
  // `ops_override` lets tests watch the page switch; by default the
  // window's own ops run.
  MainWindow(ProjectState& state, const MasterData& md, PageLogic& logic, QtUi& ui,
             StartUpResult started, NavigationOps* ops_override = nullptr,
             QWidget* parent = nullptr);
  ~MainWindow() override;

  Navigator& navigator() { return navigator_; }
  InputPages& pages() { return *inputs_; }
  ResultPages& results() { return *results_; }
  // The page switch of a page button: the page on screen is taken into its
  // record first, so every build and analysis sees the last edit.
  void SwitchTo(Page page);
  // Recompute the current page (the click beside the file label).
  void Recompute();
  // Whether a calculation runs now (no commits, no rebuilds meanwhile).
  bool calculating() const { return calculating_ > 0; }
  // Save-as with a name from `dialog` (tests) instead of the file dialog.
  void SetSaveDialog(std::function<std::optional<std::string>()> dialog) {
    save_dialog_ = std::move(dialog);
  }
  // True when the project was written.
  bool SaveAs();
  bool Save();
  QWidget* HistoryWindow() const { return history_; }
  QWidget* ProgressWindow() const { return progress_; }
  void ShowHistory();
  // The section-detail window (made on first use), and the way into it
  // filled with one section's values (the RC page's stress table).
  SectionDetailView* SectionDetail();
  void OpenSectionDetail(const SectionDetailInputs& in);
  OtherChecksView* OtherChecks() const { return other_checks_; }
  const CalculationOps& calculation() const { return calc_; }
  QAbstractButton* PageButton(Page page) const { return buttons_[static_cast<int>(page) - 1]; }
  FormPage* FormPageOf(Page page) const;
  QLabel* StatusLabel(const char* name) const;
  // Opens a project as the open command does (drop, command line).
  void OpenProject(const std::string& path_cp932);
  // Status-bar update of one timer tick.
  void Tick();

  // Whether the project differs from its file (the title's mark); the
  // comparison runs after every commit and every second.
  bool modified() const { return modified_; }
  void UpdateModified();
  // Undo and redo of committed edits: each state of the project that
  // differs from the one before is a step (all pages, the rebar too).
  void Undo();
  void Redo();
  int undo_steps() const { return static_cast<int>(undo_.size()) - 1; }
  // The recent-files list, newest first (cp932 paths).
  const std::vector<std::string>& recent_files() const { return recent_; }
  // The config file that keeps it ($XDG_CONFIG_HOME/vaultra/recent-files).
  static std::string RecentFilesPath();
  void ShowAbout();
  void ShowHelp();
  // A message shown once the window is up (a project named at start that
  // could not be read).
  void TellWhenShown(std::string text_cp932);

  // NavigationOps
  void StepStarting(CalcStep step) override;
  void StepDone(CalcStep step) override;
  void FormShow(Page page, int selector) override;
  void SetOpenEnabled(bool on) override;
  void SetPreviewEnabled(bool on) override;
  void ShowCoverMessage(bool visible) override;
  bool ShearCheckAt2d() const override;
  void RefreshRcCheckPage() override;
  RcPageView* rc_page() const { return rc_view_; }
  void RunSectionChecks(const CheckOverrideValues& overrides) override;
  void ShowPreview() override;
  // The print preview, once the report button has opened it.
  PreviewWindow* preview() const { return preview_; }
  void RepaintMemberForce() override;

 protected:
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void BuildLeftPanel(QWidget* panel);
  void BuildStatusBar();
  void OpenDialog();
  void ShowPage(Page page);
  void BeginCalc(const QString& what);
  void EndCalc();
  void ShowSectionDetail();
  void CommitRcEditor();
  std::optional<std::string> AskSaveName();
  std::string CalcSummary() const;
  void StoreIfCurrent(Page page);
  // The project's file lines as compared for the modified mark (the path
  // line blanked: it names where a copy goes, not what the project holds).
  std::vector<std::string> ProjectLines();
  void MarkUnmodified();
  void SetModified(bool on);
  void UpdateTitle();
  void ScheduleModifiedCheck();
  // Before the project is left: save, discard or cancel (false).
  bool MayLeaveProject();
  bool SaveNow();
  void RestoreStep(const ProjectState& s);
  void BuildShortcuts();
  void ConnectRefusals(FormPage* fp);
  // The status bar's count of failed member verdicts, after a recheck.
  void RefreshVerdictCount();
  void AddRecent(const std::string& path);
  void LoadRecent();
  void FillRecentMenu();

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
  InputPages* inputs_ = nullptr;
  ResultPages* results_ = nullptr;
  Page shown_ = Page::kModel;                   // the page whose window is entered
  std::array<bool, kPageCount + 1> entered_{};  // pages whose window is maximised
  int calculating_ = 0;
  std::function<std::optional<std::string>()> save_dialog_;
  QWidget* history_ = nullptr;
  QWidget* progress_ = nullptr;
  QLabel* progress_text_ = nullptr;
  SectionDetailView* section_detail_ = nullptr;
  OtherChecksView* other_checks_ = nullptr;
  QLabel* file_label_ = nullptr;
  QMenu* file_menu_ = nullptr;
  RcPageView* rc_view_ = nullptr;
  PreviewWindow* preview_ = nullptr;
  std::vector<std::string> saved_lines_;
  bool modified_ = false;
  QTimer* modified_check_ = nullptr;
  int ticks_ = 0;
  struct Step {
    std::vector<std::string> lines;
    std::shared_ptr<const ProjectState> state;
  };
  std::vector<Step> undo_, redo_;
  bool restoring_ = false;
  std::vector<std::string> recent_;
  QMenu* recent_menu_ = nullptr;
};

}  // namespace vaultra::gui
