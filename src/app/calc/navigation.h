// The main window's logic without the window: the page table, the page
// switch that triggers every calculation, the report-preview entry, the
// program's folders, the change history with the version date, and the
// status-bar texts of the 100 ms timer.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/document/project_file.h"
#include "app/document/project_state.h"
#include "core/ui.h"

namespace vaultra {

// ---- page table --------------------------------------------------------------

// The twelve buttons of the left panel, in page order (1-based).
enum class Page : int {
  kModel = 1,         // Pg11MDL
  kGround = 2,        // Pg12JBN
  kDimensions = 3,    // Pg13SiZ
  kPoints = 4,        // Pg14POS
  kLoads = 5,         // Pg15KAJ
  kMaterial = 6,      // Pg16KYD
  kConditions = 7,    // Pg20vO1
  kResultFiles = 8,   // Pg30F32
  kMemberForce = 9,   // Pg31DAN
  kRcCheck = 10,      // Pg32OR1
  kOtherChecks = 11,  // Pg33OR2
  kPreview = 12,      // Pg34PrV, never the current page
};
constexpr int kPageCount = 12;
constexpr int kSwitchedPages = 11;  // pages 1..11 are switched by PageSelectClick

struct PageInfo {
  Page page;
  const char* button;   // "Pg11MDL"
  const char* caption;  // "モデル入力"
  const char* form;     // "TFm11MDL", empty for the preview
};

const std::array<PageInfo, kPageCount>& PageTable();
// The form of an input page or of the other-checks page; nullopt for pages
// that are not shown as a form.
std::optional<FormId> FormOfPage(Page page);
const PageInfo& InfoOf(Page page);

// The page class of a button: its third character as a digit, and 7
// (1 input, 2 condition files, 3 result).
int PageClassOf(std::string_view button);
int PageClassOf(Page page);

// ---- page switch ---------------------------------------------------------------

// The five check overrides of the report preview (σs, τc, Mud, Vcd, Vsd).
constexpr int kOverrideCount = 5;
using CheckOverrideValues = std::array<double, kOverrideCount>;

// The calculation steps the page switch takes; CalculationOps
// (app/calc/calculation_ops) implements them. Every step does nothing here.
class CalculationSteps {
 public:
  virtual ~CalculationSteps() = default;
  virtual void CommitInputs(Page) {}
  virtual void OtherChecksPrepare() {}        // block weight and Po
  virtual void OtherChecksInput() {}          // the other-checks page's CommitInputs
  virtual void OtherChecksResultRefresh() {}  // after the analysis
  virtual void BuildModels() {}
  virtual void RunAnalysis(bool /*internal_solver*/) {}
  virtual void SaveResumeFile() {}
};

// The steps by name, for whoever shows their progress.
enum class CalcStep {
  kCommitInputs,
  kOtherChecksPrepare,
  kOtherChecksInput,
  kOtherChecksResultRefresh,
  kBuildModels,
  kRunAnalysis,
  kSaveResumeFile,
};

// What else the page switch calls: the window's part, told before and after
// every step. A navigator built on one NavigationOps takes its steps from it
// as well (tests record them so). Every operation does nothing here.
class NavigationOps : public CalculationSteps {
 public:
  virtual void StepStarting(CalcStep) {}
  virtual void StepDone(CalcStep) {}
  virtual bool ShearCheckAt2d() const { return false; }  // the model page's "２･ｄ" option
  virtual void ShowCoverMessage(bool /*visible*/) {}  // the RC check page's cover note, drawn black
  virtual void FormShow(Page, int /*selector*/) {}    // 2 enter, 1 leave
  virtual void SetOpenEnabled(bool) {}
  virtual void SetPreviewEnabled(bool) {}
  virtual void RepaintMemberForce() {}
  virtual void RefreshRcCheckPage() {}  // refresh and repaint
  // The transverse section checks, with the preview's check overrides
  // (σs, τc, Mud, Vcd, Vsd; a non-zero value replaces the computed one).
  virtual void RunSectionChecks(const CheckOverrideValues& /*overrides*/) {}
  virtual void ShowPreview() {}  // builds the report and shows it
};

// Which control started the report preview.
enum class PreviewSender { kButton, kPrintSwK, kPrintSwT };

class Navigator {
 public:
  Navigator(NavigationOps& ops, Ui& ui, bool demo_mode) : Navigator(ops, ops, ui, demo_mode) {}
  // The steps from `steps`, everything else from `ops`.
  Navigator(CalculationSteps& steps, NavigationOps& ops, Ui& ui, bool demo_mode)
      : steps_(steps), ops_(ops), ui_(ui), demo_mode_(demo_mode) {}

  // The page switch (buttons 1..11).
  void PageSelectClick(Page sender);
  // Recompute the current page.
  void DemoModeClick();
  // The report preview. Overrides typed with Alt held reach the checks of
  // this one report build only: they are cleared after it, and the checks
  // run again without them, so no later page or calculation sees them.
  void PreviewClick(PreviewSender sender);

  // The RC check page marks its rebar inputs as edited.
  void SetRebarEdited() { rebar_edited_ = true; }

  Page current() const { return current_; }
  bool rebar_edited() const { return rebar_edited_; }
  bool open_enabled() const { return open_enabled_; }
  bool preview_enabled() const { return preview_enabled_; }
  bool demo_mode() const { return demo_mode_; }
  // The solver choice of the last RunAnalysis.
  bool internal_solver() const { return internal_solver_; }
  // The overrides in force (zero except while a preview is being built).
  const std::array<double, kOverrideCount>& overrides() const { return overrides_; }

 private:
  void RunAnalysisNow();
  void AfterAnalysis();
  // One step, with the window told before and after it.
  void Step(CalcStep step, Page page = Page::kModel);

  CalculationSteps& steps_;
  NavigationOps& ops_;
  Ui& ui_;
  bool demo_mode_;
  Page current_ = Page::kModel;
  bool rebar_edited_ = false;
  bool open_enabled_ = true;
  bool preview_enabled_ = false;
  bool internal_solver_ = false;
  std::array<double, kOverrideCount> overrides_{};
  std::string override_text_;  // the previous answer of the override box
};

extern const char* const kCoverMessage;

// The project file dropped on the window: the first file only, when it
// exists and its extension is ".vt1" in any case.
std::optional<std::string> DroppedProjectFile(
    const std::vector<std::string>& files,
    const std::function<bool(const std::string&)>& file_exists);

// ---- folders -----------------------------------------------------------------

// All folder paths are cp932 and end in "/".
struct AppFolders {
  std::string exe_path;  // the executable without its extension
  std::string program_dir;
  std::string material_master_dir;  // program + "Master/材料/"
  std::string print_master_dir;     // program + "Master/印刷/"
  std::string work_dir;             // $XDG_DATA_HOME/Vaultra/$O1/ or --work-dir
  std::string resume_file;          // work + "#vaultra.ini"
  std::string default_resume_file;  // program + "vaultra.ini"
  std::string folder_list_file;     // program + "PlaneFrame.txt"
  std::string frame_app_dir;        // the frame program's folder
  std::string frame_sdk_dir;        // the frame library's folder
  std::string fixed_sdk_path;
  bool demo_mode = true;  // a frame folder is missing
};

// What the folders are derived from; the real system or a test supplies it.
struct FolderEnvironment {
  std::string exe_path;                                // UTF-8 file system path of the executable
  std::optional<std::string> work_dir;                 // --work-dir, UTF-8
  std::string xdg_data_home;                           // UTF-8, may be empty
  std::string home;                                    // UTF-8
  std::function<bool(const std::string&)> dir_exists;  // cp932 path
  std::function<std::optional<std::string>(const std::string&)> read;  // cp932 path -> bytes
};

// The running program's environment (/proc/self/exe, XDG_DATA_HOME, HOME).
FolderEnvironment SystemFolderEnvironment(std::optional<std::string> work_dir_utf8);

AppFolders ResolveAppFolders(const FolderEnvironment& env);

// ---- start and close ------------------------------------------------------------

struct StartUpResult {
  AppFolders folders;
  std::string caption;    // the window caption
  bool complete = false;  // start-up finished; closing then writes the resume file
};

extern const char* const kAppTitle;
extern const char* const kDemoModeMessage;

// The window-independent part of start-up: folders (the working folder is
// created), the demo-mode notice, the caption, the master data
// (load_master, may be empty) and the resume file (or the default resume
// file).
StartUpResult StartUp(ProjectState& state, const FolderEnvironment& env, PageLogic& logic, Ui& ui,
                      const std::function<void()>& load_master);

// Closing the window: the resume file keeps the state when start-up completed.
void CloseDown(ProjectState& state, const StartUpResult& started, PageLogic& logic, Ui& ui);

// ---- change history and version ---------------------------------------------------

// The change history shown by the history window (cp932, CR LF lines).
const std::string& ChangeHistoryText();
// The text from the first "20" of the history, at most 80 bytes, trimmed.
std::string VersionDate(std::string_view history);
// "Vaultra Ver." + version date + " ()", the window caption (cp932).
std::string AppCaption();

// ---- status bar ------------------------------------------------------------------

struct StatusTexts {
  std::string type;         // lbType
  std::string name;         // lbName
  std::string spring;       // lbBane
  std::string block_count;  // lbBlockSu
  std::string calc;         // lbCalcTime
};

StatusTexts MakeStatusTexts(const ProjectState& state);

// The four reset indicators of the status bar, in this order.
enum class ResetIndicator { kSize, kRebar, kCover, kEndWall };
constexpr int kResetIndicatorCount = 4;
extern const std::array<const char*, kResetIndicatorCount> kResetIndicatorCaptions;

// Countdowns of the reset indicators: a reset flashes its label red for 13
// ticks of the 100 ms timer; during the first 19 ticks nothing flashes.
class ResetIndicators {
 public:
  static constexpr int kFlashTicks = 13;
  static constexpr int kQuietTicks = 19;
  static constexpr int kRed = 255;
  static constexpr int kDarkGreen = 0xB100;

  void Flash(ResetIndicator which) { countdown_[static_cast<std::size_t>(which)] = kFlashTicks; }
  void Tick();
  bool Active(ResetIndicator which) const {
    return countdown_[static_cast<std::size_t>(which)] != 0;
  }
  int Colour(ResetIndicator which) const { return Active(which) ? kRed : kDarkGreen; }
  int Countdown(ResetIndicator which) const { return countdown_[static_cast<std::size_t>(which)]; }

 private:
  std::array<int, kResetIndicatorCount> countdown_{};
  long ticks_ = 0;
};

}  // namespace vaultra
