#include "cli/open_project.h"

#include <cstdio>

#include "cli/args.h"
#include "core/cp932.h"
#include "core/fileio.h"

namespace vaultra::cli {

namespace {

void PrintAll(const char* label, const std::vector<std::string>& texts) {
  for (const std::string& t : texts)
    std::fprintf(stderr, "vaultra: %s: %s\n", label, Cp932ToUtf8(t).c_str());
}

}  // namespace

CliProject::CliProject(const std::optional<std::string>& work_dir_utf8)
    : folders(ResolveAppFolders(SystemFolderEnvironment(work_dir_utf8))),
      master(LoadMasterData(folders.material_master_dir, ui)),
      logic(master),
      state(DefaultProjectState()) {}

bool CliProject::Open(const std::string& path_utf8) {
  // Every figure depends on the catalogue: without it the run would print
  // verdicts worked out from empty tables.
  if (ui.ErrorCount() > 0) {
    std::fprintf(stderr, "vaultra: the master catalogue in %s could not be read; nothing is run\n",
                 Cp932ToUtf8(folders.material_master_dir).c_str());
    return false;
  }
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
  const std::string in = Utf8ToCp932(path_utf8);
  if (!FileExists(in)) {
    std::fprintf(stderr, "vaultra: %s: no such file\n", path_utf8.c_str());
    return false;
  }
  result = LoadProjectFile(state, in, logic);
  if (!result.loaded || !result.errors.empty()) {
    PrintAll("error", result.errors);
    if (result.errors.empty())
      std::fprintf(stderr, "vaultra: %s: not a project file\n", path_utf8.c_str());
    return false;
  }
  PrintAll("warning", result.warnings);
  const std::vector<std::string> problems = logic.TakeMessages();
  if (!problems.empty()) {
    PrintAll("error", problems);
    return false;
  }
  return true;
}

}  // namespace vaultra::cli
