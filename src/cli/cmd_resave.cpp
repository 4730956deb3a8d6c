// vaultra resave IN.vt1 OUT.vt1 [--work-dir DIR]: open a project as the
// program does at start-up (the default resume file first, then the
// project) and save it again.
#include <cstdio>

#include "app/document/project_file.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/open_project.h"
#include "core/cp932.h"

namespace vaultra::cli {

int CmdResave(const ArgList& argv) {
  std::string error;
  std::optional<Args> args = ParseArgs(argv, {"--work-dir"}, {}, &error);
  if (!args) return UsageError(error);
  if (args->positional.size() != 2) return UsageError("resave needs IN.vt1 and OUT.vt1");
  const std::string out = Utf8ToCp932(args->positional[1]);

  CliProject project(args->Option("--work-dir"));
  if (!project.Open(args->positional[0])) {
    std::fprintf(stderr, "vaultra: %s was not saved again\n", args->positional[0].c_str());
    return kExitBadInput;
  }
  if (project.result.OldFormat())
    std::fprintf(stderr, "vaultra: warning: %s\n", Cp932ToUtf8(kOldFormatWarning).c_str());

  if (!SaveProjectFile(project.state, out, project.logic, &error)) {
    std::fprintf(stderr, "vaultra: cannot write %s: %s\n", args->positional[1].c_str(),
                 Cp932ToUtf8(error).c_str());
    return kExitBadInput;
  }
  return kExitOk;
}

}  // namespace vaultra::cli
