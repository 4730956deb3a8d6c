#include "app/calc/navigation.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "core/cp932.h"
#include "core/fileio.h"
#include "core/number.h"

namespace vaultra {

std::optional<FormId> FormOfPage(Page page) {
  switch (page) {
    case Page::kModel:
      return FormId::kModel;
    case Page::kGround:
      return FormId::kGround;
    case Page::kDimensions:
      return FormId::kDimensions;
    case Page::kPoints:
      return FormId::kPoints;
    case Page::kLoads:
      return FormId::kLoads;
    case Page::kMaterial:
      return FormId::kMaterial;
    case Page::kOtherChecks:
      return FormId::kOtherChecks;
    default:
      return std::nullopt;
  }
}

// ---- page table --------------------------------------------------------------

const std::array<PageInfo, kPageCount>& PageTable() {
  static const std::array<PageInfo, kPageCount> kTable = {{
      {Page::kModel, "Pg11MDL", "モデル入力", "TFm11MDL"},
      {Page::kGround, "Pg12JBN", "地 盤 入 力", "TFm12JBN"},
      {Page::kDimensions, "Pg13SiZ", "寸法の変更", "TFm13SiZ"},
      {Page::kPoints, "Pg14POS", "着目点確認", "TFm14POS"},
      {Page::kLoads, "Pg15KAJ", "荷重の設定", "TFm15KAJ"},
      {Page::kMaterial, "Pg16KYD", "材料強度設定", "TFm16KYD"},
      {Page::kConditions, "Pg20vO1", "条件ﾌｧｲﾙ確認", "TFm20vO1"},
      {Page::kResultFiles, "Pg30F32", "結果ﾌｧｲﾙ確認", "TFm30F32"},
      {Page::kMemberForce, "Pg31DAN", "断面力の確認", "TFm31DAN"},
      {Page::kRcCheck, "Pg32OR1", "応力照査･鉄筋", "TFm32OR1"},
      {Page::kOtherChecks, "Pg33OR2", "応力照査･その他", "TFm33OR2"},
      {Page::kPreview, "Pg34PrV", "設計書.確認", ""},
  }};
  return kTable;
}

const PageInfo& InfoOf(Page page) {
  const int k = std::clamp(static_cast<int>(page), 1, kPageCount);
  return PageTable()[static_cast<std::size_t>(k - 1)];
}

int PageClassOf(std::string_view button) {
  if (button.size() < 3) return 0;
  return static_cast<unsigned char>(button[2]) & 7;
}

int PageClassOf(Page page) {
  return PageClassOf(InfoOf(page).button);
}

// ---- page switch ---------------------------------------------------------------

const char* const kCoverMessage =
    "かぶり値を変更した場合「設計書・確認」を行はないと正確な判定となりません.";

void Navigator::RunAnalysisNow() {
  // The internal solver runs in demo mode, or when Ctrl is held as the
  // analysis starts.
  internal_solver_ = demo_mode_ || ui_.Keys().ctrl;
  Step(CalcStep::kRunAnalysis);
}

void Navigator::Step(CalcStep step, Page page) {
  ops_.StepStarting(step);
  switch (step) {
    case CalcStep::kCommitInputs:
      steps_.CommitInputs(page);
      break;
    case CalcStep::kOtherChecksPrepare:
      steps_.OtherChecksPrepare();
      break;
    case CalcStep::kOtherChecksInput:
      steps_.OtherChecksInput();
      break;
    case CalcStep::kOtherChecksResultRefresh:
      steps_.OtherChecksResultRefresh();
      break;
    case CalcStep::kBuildModels:
      steps_.BuildModels();
      break;
    case CalcStep::kRunAnalysis:
      steps_.RunAnalysis(internal_solver_);
      break;
    case CalcStep::kSaveResumeFile:
      steps_.SaveResumeFile();
      break;
  }
  ops_.StepDone(step);
}

void Navigator::AfterAnalysis() {
  ops_.ShowCoverMessage(ops_.ShearCheckAt2d());
  rebar_edited_ = false;
}

void Navigator::PageSelectClick(Page sender) {
  const int sender_no = static_cast<int>(sender);
  if (sender_no < 1 || sender_no > kSwitchedPages)
    return;  // the preview button has its own handler
  const Page previous = current_;
  current_ = sender;
  const int p = PageClassOf(previous);
  const int n = PageClassOf(current_);

  if (current_ == Page::kLoads || (p == 1 && n != 1) || rebar_edited_) {
    Step(CalcStep::kCommitInputs, Page::kModel);
    // The ground page is committed twice: its default layer reaches down to
    // the structure bottom that the model commit may have moved.
    Step(CalcStep::kCommitInputs, Page::kGround);
    Step(CalcStep::kCommitInputs, Page::kGround);
    Step(CalcStep::kCommitInputs, Page::kLoads);
    Step(CalcStep::kCommitInputs, Page::kMaterial);
    Step(CalcStep::kOtherChecksPrepare);
    Step(CalcStep::kBuildModels);
  } else if (n == 3) {
    Step(CalcStep::kOtherChecksPrepare);
  }

  if (n == 3 && (p != 3 || rebar_edited_)) {
    Step(CalcStep::kOtherChecksInput);
    Step(CalcStep::kSaveResumeFile);
    RunAnalysisNow();
    AfterAnalysis();
    Step(CalcStep::kOtherChecksResultRefresh);
  }

  open_enabled_ = n == 1;
  preview_enabled_ = n == 3;
  ops_.SetOpenEnabled(open_enabled_);
  ops_.SetPreviewEnabled(preview_enabled_);
  for (int k = 1; k <= kSwitchedPages; ++k) {
    const Page page = static_cast<Page>(k);
    ops_.FormShow(page, page == current_ ? 2 : 1);
  }
}

void Navigator::DemoModeClick() {
  if (PageClassOf(current_) != 3) {
    // Simulate leaving the input pages, so that the condition-file view
    // gets rebuilt models.
    const Page was = current_;
    current_ = Page::kModel;
    PageSelectClick(was);
    return;
  }
  Step(CalcStep::kBuildModels);
  RunAnalysisNow();
  if (current_ == Page::kMemberForce) ops_.RepaintMemberForce();
  if (current_ == Page::kRcCheck) ops_.RefreshRcCheckPage();
}

void Navigator::PreviewClick(PreviewSender sender) {
  const KeyState keys = ui_.Keys();
  if (sender != PreviewSender::kButton && !keys.ctrl) return;  // the click only toggled the option

  if (rebar_edited_) {
    Step(CalcStep::kBuildModels);
    RunAnalysisNow();
    AfterAnalysis();
    ops_.RefreshRcCheckPage();
  }

  overrides_.fill(0.0);
  if (keys.alt) {
    std::optional<std::string> answer =
        ui_.InputText("応力度/耐力、入力", "応力度/耐力　σs, τc, Mud, Vcd, Vsd", override_text_);
    if (answer) {
      override_text_ = *answer;
      const std::string text = *answer + ",,,,";
      std::size_t pos = 0;
      for (int k = 0; k < kOverrideCount; ++k) {
        const std::size_t comma = text.find(',', pos);
        overrides_[static_cast<std::size_t>(k)] =
            ReadReal(std::string_view(text).substr(pos, comma - pos));
        pos = comma + 1;
      }
    }
  }
  ops_.RunSectionChecks(overrides_);
  ops_.ShowPreview();
  // The report holds its pages now; the overrides must not outlive it.
  const bool overridden =
      std::any_of(overrides_.begin(), overrides_.end(), [](double v) { return v != 0; });
  overrides_.fill(0.0);
  if (overridden) ops_.RunSectionChecks(overrides_);
}

std::optional<std::string> DroppedProjectFile(
    const std::vector<std::string>& files,
    const std::function<bool(const std::string&)>& file_exists) {
  if (files.empty()) return std::nullopt;
  const std::string& first = files.front();
  const std::string name = FileNameOf(first);
  const std::size_t dot = name.find_last_of('.');
  if (dot == std::string::npos) return std::nullopt;
  std::string ext = name.substr(dot);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (ext != ".vt1" || !file_exists(first)) return std::nullopt;
  return first;
}

// ---- folders -----------------------------------------------------------------

FolderEnvironment SystemFolderEnvironment(std::optional<std::string> work_dir_utf8) {
  FolderEnvironment env;
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n > 0) env.exe_path.assign(buf, static_cast<std::size_t>(n));
  env.work_dir = std::move(work_dir_utf8);
  if (const char* x = std::getenv("XDG_DATA_HOME")) env.xdg_data_home = x;
  if (const char* h = std::getenv("HOME")) env.home = h;
  env.dir_exists = [](const std::string& p) { return DirExists(p); };
  env.read = [](const std::string& p) { return ReadFileBytes(p); };
  return env;
}

AppFolders ResolveAppFolders(const FolderEnvironment& env) {
  AppFolders f;
  const std::string exe = FromFsPath(env.exe_path);
  f.exe_path = ChangeExtension(exe, "");
  f.program_dir = DirectoryOf(exe);
  if (f.program_dir.empty()) f.program_dir = "./";
  f.material_master_dir = f.program_dir + "Master/材料/";
  f.print_master_dir = f.program_dir + "Master/印刷/";

  if (env.work_dir && !env.work_dir->empty()) {
    f.work_dir = WithTrailingSlash(FromFsPath(*env.work_dir));
  } else {
    // A relative XDG_DATA_HOME is invalid and ignored.
    std::string base = (!env.xdg_data_home.empty() && env.xdg_data_home[0] == '/')
                           ? env.xdg_data_home
                           : (env.home.empty() ? std::string(".") : env.home) + "/.local/share";
    f.work_dir = WithTrailingSlash(FromFsPath(base)) + "Vaultra/$O1/";
  }
  f.resume_file = f.work_dir + "#vaultra.ini";
  f.default_resume_file = f.program_dir + "vaultra.ini";
  f.folder_list_file = f.program_dir + "PlaneFrame.txt";
  f.fixed_sdk_path = "/opt/PlaneFrameSDK/";

  auto exists = [&](const std::string& p) {
    return !p.empty() && env.dir_exists && env.dir_exists(p);
  };
  if (env.read) {
    if (std::optional<std::string> text = env.read(f.folder_list_file)) {
      const std::vector<std::string> lines = SplitLines(*text);
      // A blank line names no folder (it would otherwise become "/"); a
      // relative folder lies in the program folder, so that a package can
      // ship its frame folders beside the program under any prefix.
      auto folder = [&](std::size_t i) {
        const std::string t = i < lines.size() ? Trim(lines[i]) : std::string();
        if (t.empty()) return std::string();
        return WithTrailingSlash(t[0] == '/' ? t : f.program_dir + t);
      };
      f.frame_app_dir = folder(0);
      f.frame_sdk_dir = folder(1);
    }
  }
  // Fallback folders: every candidate that exists is taken, the last wins.
  if (!exists(f.frame_app_dir))
    for (const char* candidate : {"/opt/PlaneFrame/"})
      if (exists(candidate)) f.frame_app_dir = candidate;
  if (!exists(f.frame_sdk_dir))
    for (const char* candidate : {"/opt/PlaneFrameSDK/"})
      if (exists(candidate)) f.frame_sdk_dir = candidate;
  f.demo_mode = !exists(f.frame_app_dir) || !exists(f.frame_sdk_dir);
  return f;
}

// ---- start and close ------------------------------------------------------------

const char* const kAppTitle = "Vaultra";
const char* const kDemoModeMessage =
    "PlaneFrame,SDKがインストールされていません\nデモ計算モードで起動します．";

StartUpResult StartUp(ProjectState& state, const FolderEnvironment& env, PageLogic& logic, Ui& ui,
                      const std::function<void()>& load_master) {
  StartUpResult r;
  r.folders = ResolveAppFolders(env);
  if (!MakeDirs(r.folders.work_dir))
    ui.Tell(MsgKind::kWarning, "作業フォルダ\n" + r.folders.work_dir + "\nを作成できません。");
  if (r.folders.demo_mode) ui.Tell(MsgKind::kInfo, std::string(kAppTitle) + kDemoModeMessage);
  r.caption = AppCaption();
  ui.Hourglass(true);
  if (load_master) load_master();
  ui.Hourglass(false);
  LoadResumeFile(state, r.folders.resume_file, r.folders.default_resume_file, logic, ui);
  r.complete = true;
  return r;
}

void CloseDown(ProjectState& state, const StartUpResult& started, PageLogic& logic, Ui& ui) {
  if (started.complete) SaveResumeFile(state, started.folders.resume_file, logic, ui);
}

// ---- change history and version ---------------------------------------------------

namespace {

// A date line of the history, padded so that the version date cut of 80
// bytes holds nothing but the date.
std::string DateLine(const char* date) {
  return std::string(date) + std::string(80, ' ') + "\r\n";
}

const char* const kRule =
    "------------------------------------------------------------------------\r\n";

}  // namespace

const std::string& ChangeHistoryText() {
  static const std::string kHistory =
      std::string("Vaultra 変更履歴 (新しい順)\r\n") + kRule + DateLine("2026.12.09") +
      "  ・設計書ファイルの読み込みで、上限を超える件数や途中で切れた表は読み込まず、\r\n"
      "    それまでの内容を残して理由を表示するようにしました。\r\n"
      "  ・上書き保存は一時ファイルに書いてから置き換えるようにしました。\r\n"
      "    保存に失敗しても元のファイルは残ります。\r\n" +
      kRule + DateLine("2026.11.20") +
      "  ・コマンド行から設計書を開いて保存し直す機能(resave)を追加しました。\r\n" + kRule +
      DateLine("2026.10.01") + "  ・初版。\r\n" + kRule;
  return kHistory;
}

std::string VersionDate(std::string_view history) {
  const std::size_t pos = FindText(history, "20");
  if (pos == std::string_view::npos) return {};
  return Trim(TruncateBytes(history.substr(pos), 80));
}

std::string AppCaption() {
  return "Vaultra Ver." + VersionDate(ChangeHistoryText()) + " ()";
}

// ---- status bar ------------------------------------------------------------------

StatusTexts MakeStatusTexts(const ProjectState& s) {
  StatusTexts t;
  t.type = s.model.At("CoBox0").SelectedText();
  t.name = s.model.Text("EdModelName");
  switch (s.loads.Index("GBoxBaneSiki")) {
    case 0:
      t.spring = "地中式";
      break;
    case 1:
      t.spring = "道路橋式";
      break;
    case 2:
      t.spring = "FEMで算出";
      break;
    default:
      t.spring = "任意値入力";
      break;
  }
  t.block_count = Format("ﾌﾞﾛｯｸ数 %d/%d 　部材数 %d", s.transverse.real_block_count,
                         s.transverse.block_count, s.transverse.member_count);
  t.calc = Format("<< %d >>", s.other_checks.Index("RHari12"));
  return t;
}

const std::array<const char*, kResetIndicatorCount> kResetIndicatorCaptions = {
    "製品寸法.ﾘｾｯﾄ", "横・鉄筋量.ﾘｾｯﾄ", "横・被り.ﾘｾｯﾄ", "端壁の鉄筋量などﾘｾｯﾄ"};

void ResetIndicators::Tick() {
  ++ticks_;
  for (int& c : countdown_)
    if (c > 0) --c;
  if (ticks_ <= kQuietTicks) countdown_.fill(0);
}

}  // namespace vaultra
