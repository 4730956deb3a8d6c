// The window program (vaultra-gui), started by the vaultra executable for
// everything that draws: the window, and the sub-commands that draw report
// pages. It links the window toolkit; the headless sub-commands never load it.
#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "app/calc/navigation.h"
#include "app/document/project_file.h"
#include "app/pages/page_logic_impl.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "core/memory_policy.h"
#include "gui/main_window.h"
#include "gui/qt_ui.h"
#include "inputs/master_data.h"

namespace {

// VAULTRA_GRAB=FILE.png [VAULTRA_GRAB_PAGE=n]: after start-up, switch to
// page n through its button, save a grab of the window and quit (a look at
// the window without a screen).
void ScheduleGrab(vaultra::gui::MainWindow& w) {
  const char* grab = std::getenv("VAULTRA_GRAB");
  if (!grab || !*grab) return;
  const char* page = std::getenv("VAULTRA_GRAB_PAGE");
  const int n = page ? std::atoi(page) : 0;
  const QString path = QString::fromUtf8(grab);
  QTimer::singleShot(800, &w, [&w, n, path] {
    if (n >= 1 && n <= vaultra::kSwitchedPages)
      w.PageButton(static_cast<vaultra::Page>(n))->click();
    QTimer::singleShot(300, &w, [&w, path] {
      w.grab().save(path);
      w.close();
    });
  });
}

// The reason a project named at start cannot be opened, for the window.
std::string ProblemText(const std::string& why) {
  if (why.find("no such") != std::string::npos)
    return vaultra::Utf16ToCp932(u"ファイルが見つかりません。");
  if (why.find("folder") != std::string::npos)
    return vaultra::Utf16ToCp932(u"フォルダです。プロジェクトファイル(.vt1)ではありません。");
  if (why.find("regular") != std::string::npos)
    return vaultra::Utf16ToCp932(u"通常のファイルではありません (") + why + ")";
  return vaultra::Utf16ToCp932(u"読み取れません (") + why + ")";
}

}  // namespace

static int WindowMain(int argc, char** argv) {
  std::setlocale(LC_ALL, "C");
  vaultra::KeepFreedMemoryForReuse();
  int status = vaultra::cli::RunDrawingSubcommand(argc, argv);
  if (status < 0) status = vaultra::cli::RunSubcommand(argc, argv);  // started directly
  if (status >= 0) return status;

  // What would make the toolkit abort (no display) or open nothing (no
  // such project) is refused before it starts.
  // A project that cannot be read still opens the window, with the message
  // on screen; the exit status says so to a script all the same.
  std::string project_problem;
  status = vaultra::cli::CheckWindowStart(argc, argv, &project_problem);
  if (status >= 0) return status;
  const int exit_status = project_problem.empty() ? 0 : vaultra::cli::kExitBadInput;

  using namespace vaultra;
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");  // Qt sets the locale from the environment
  vaultra::gui::LoadQtTranslations(app);

  std::optional<std::string> project;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (!a.empty() && a[0] == '-') {
      std::fprintf(stderr, "vaultra: unknown option %s\n", a.c_str());
      std::fputs(cli::UsageText(), stderr);
      return 2;
    }
    if (project) {
      std::fputs(cli::UsageText(), stderr);
      return 2;
    }
    project = Utf8ToCp932(a);
  }

  gui::QtUi ui;
  // A grab or a start-up timing runs without message boxes.
  ui.SetQuiet(std::getenv("VAULTRA_GRAB") != nullptr ||
              std::getenv("VAULTRA_EXIT_WHEN_SHOWN") != nullptr);
  ProjectState state = DefaultProjectState();
  MasterData master;
  InputPageLogic logic(master);
  const FolderEnvironment env = SystemFolderEnvironment(std::nullopt);
  const AppFolders folders = ResolveAppFolders(env);
  StartUpResult started = StartUp(
      state, env, logic, ui, [&] { master = LoadMasterData(folders.material_master_dir, ui); });
  gui::MainWindow window(state, master, logic, ui, started);
  ui.SetParent(&window);
  if (project) {
    if (project_problem.empty())
      window.OpenProject(*project);
    else
      window.TellWhenShown(*project + "\n" + ProblemText(project_problem) +
                           Utf16ToCp932(u"\n\n前回の状態で起動しました。"));
  }
  window.show();
  ScheduleGrab(window);
  // VAULTRA_EXIT_WHEN_SHOWN=1: quit once the window is up (whole-process start-up timing).
  if (const char* e = std::getenv("VAULTRA_EXIT_WHEN_SHOWN"); e && *e == '1')
    QTimer::singleShot(0, &window, [&window] { window.close(); });
  const int rc = app.exec();
  return rc != 0 ? rc : exit_status;
}

int main(int argc, char** argv) {
  return vaultra::cli::RunGuarded("vaultra-gui", [&] { return WindowMain(argc, argv); });
}
