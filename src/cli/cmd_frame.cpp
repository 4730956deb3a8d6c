// vaultra frame PROJECT.vt1 [--work-dir DIR]: open a project as the program
// does at start-up, build both frame models and write their texts into the
// working folder; prints the two paths.
#include <cstdio>

#include "app/build_models.h"
#include "app/master_data.h"
#include "app/navigation.h"
#include "app/page_logic_impl.h"
#include "app/project_file.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "core/cp932.h"
#include "core/fileio.h"

namespace vaultra::cli {

namespace {

void PrintAll(const char* label, const std::vector<std::string>& texts) {
  for (const std::string& t : texts)
    std::fprintf(stderr, "vaultra: %s: %s\n", label, Cp932ToUtf8(t).c_str());
}

}  // namespace

int CmdFrame(const ArgList& argv) {
  std::string error;
  std::optional<Args> args = ParseArgs(argv, {"--work-dir"}, {}, &error);
  if (!args) return UsageError(error);
  if (args->positional.size() != 1) return UsageError("frame needs PROJECT.vt1");
  const std::string in = Utf8ToCp932(args->positional[0]);

  const AppFolders folders = ResolveAppFolders(SystemFolderEnvironment(args->Option("--work-dir")));
  StderrUi ui;
  const MasterData master = LoadMasterData(folders.material_master_dir, ui);
  InputPageLogic logic(master);
  ProjectState state = DefaultProjectState();
  if (FileExists(folders.default_resume_file)) {
    LoadResult defaults = LoadProjectFile(state, folders.default_resume_file, logic);
    PrintAll("warning", defaults.errors);
    logic.TakeMessages();
  }
  if (!FileExists(in)) {
    std::fprintf(stderr, "vaultra: %s: no such file\n", args->positional[0].c_str());
    return kExitBadInput;
  }
  LoadResult result = LoadProjectFile(state, in, logic);
  if (!result.loaded || !result.errors.empty()) {
    PrintAll("error", result.errors);
    return kExitBadInput;
  }
  PrintAll("warning", result.warnings);
  const std::vector<std::string> problems = logic.TakeMessages();
  if (!problems.empty()) {
    PrintAll("error", problems);
    return kExitBadInput;
  }
  CalcWorkspace ws;
  error = BuildModels(state, master, folders.work_dir, ws);
  if (!error.empty()) {
    std::fprintf(stderr, "vaultra: %s\n", Cp932ToUtf8(error).c_str());
    return kExitBadInput;
  }
  std::printf("%s\n%s\n", Cp932ToUtf8(ws.transverse_path).c_str(),
              Cp932ToUtf8(ws.longitudinal_path).c_str());
  return kExitOk;
}

}  // namespace vaultra::cli
