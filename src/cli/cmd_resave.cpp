// vaultra resave IN.vt1 OUT.vt1 [--work-dir DIR]: open a project as the
// program does at start-up (the default resume file first, then the
// project) and save it again.
#include <cstdio>

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

int CmdResave(const ArgList& argv) {
  std::string error;
  std::optional<Args> args = ParseArgs(argv, {"--work-dir"}, {}, &error);
  if (!args) return UsageError(error);
  if (args->positional.size() != 2) return UsageError("resave needs IN.vt1 and OUT.vt1");
  const std::string in = Utf8ToCp932(args->positional[0]);
  const std::string out = Utf8ToCp932(args->positional[1]);

  const AppFolders folders = ResolveAppFolders(SystemFolderEnvironment(args->Option("--work-dir")));
  // The pages' lists and the section records come from the catalogue
  // beside the program.
  StderrUi ui;
  const MasterData master = LoadMasterData(folders.material_master_dir, ui);
  InputPageLogic logic(master);
  ProjectState state = DefaultProjectState();

  // The default resume file supplies the page defaults, as at start-up.
  if (FileExists(folders.default_resume_file)) {
    LoadResult defaults = LoadProjectFile(state, folders.default_resume_file, logic);
    PrintAll("warning", defaults.errors);
    logic.TakeMessages();
  } else {
    std::fprintf(
        stderr,
        "vaultra: warning: no default resume file %s; the pages keep their designed values\n",
        Cp932ToUtf8(folders.default_resume_file).c_str());
  }

  if (!FileExists(in)) {
    std::fprintf(stderr, "vaultra: %s: no such file\n", args->positional[0].c_str());
    return kExitBadInput;
  }
  LoadResult result = LoadProjectFile(state, in, logic);
  if (!result.loaded || !result.errors.empty()) {
    PrintAll("error", result.errors);
    std::fprintf(stderr, "vaultra: %s was not saved again\n", args->positional[0].c_str());
    return kExitBadInput;
  }
  PrintAll("warning", result.warnings);
  const std::vector<std::string> problems = logic.TakeMessages();
  if (!problems.empty()) {
    PrintAll("error", problems);
    std::fprintf(stderr, "vaultra: %s was not saved again\n", args->positional[0].c_str());
    return kExitBadInput;
  }
  if (result.OldFormat())
    std::fprintf(stderr, "vaultra: warning: %s\n", Cp932ToUtf8(kOldFormatWarning).c_str());

  if (!SaveProjectFile(state, out, logic, &error)) {
    std::fprintf(stderr, "vaultra: cannot write %s: %s\n", args->positional[1].c_str(),
                 Cp932ToUtf8(error).c_str());
    return kExitBadInput;
  }
  return kExitOk;
}

}  // namespace vaultra::cli
