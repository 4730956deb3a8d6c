// vaultra frame PROJECT.vt1 [--work-dir DIR]: open a project as the program
// does at start-up, build both frame models and write their texts into the
// working folder; prints the two paths.
#include <cstdio>

#include "app/calc/build_models.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/open_project.h"
#include "core/cp932.h"
#include "core/fileio.h"

namespace vaultra::cli {

int CmdFrame(const ArgList& argv) {
  std::string error;
  std::optional<Args> args = ParseArgs(argv, {"--work-dir"}, {}, &error);
  if (!args) return UsageError(error);
  if (args->positional.size() != 1) return UsageError("frame needs PROJECT.vt1");
  CliProject project(args->Option("--work-dir"));
  if (!project.Open(args->positional[0])) return kExitBadInput;
  MakeDirs(project.folders.work_dir);
  const std::optional<FolderLock> lock = FolderLock::Acquire(project.folders.work_dir, &error);
  if (!lock) {
    std::fprintf(stderr, "vaultra: %s\n", Cp932ToUtf8(error).c_str());
    return kExitBadInput;
  }
  CalcWorkspace ws;
  error = BuildModels(project.state, project.master, project.folders.work_dir, ws);
  if (!error.empty()) {
    std::fprintf(stderr, "vaultra: %s\n", Cp932ToUtf8(error).c_str());
    return kExitBadInput;
  }
  std::printf("%s\n%s\n", Cp932ToUtf8(ws.transverse_path).c_str(),
              Cp932ToUtf8(ws.longitudinal_path).c_str());
  return kExitOk;
}

}  // namespace vaultra::cli
