// The sub-commands that draw report pages. They live in the window program,
// which links the window toolkit; the vaultra executable starts it for them.
#include <cstring>

#include "cli/args.h"
#include "cli/commands.h"

namespace vaultra::cli {

int RunDrawingSubcommand(int argc, char** argv) {
  if (argc < 2) return -1;
  struct Entry {
    const char* name;
    int (*fn)(const ArgList&);
  };
  static constexpr Entry kCommands[] = {
      {"draw", CmdDraw},
      {"template", CmdTemplate},
      {"figure", CmdFigure},
  };
  for (const Entry& e : kCommands) {
    if (std::strcmp(argv[1], e.name) != 0) continue;
    const ArgList rest(argv + 2, argv + argc);
    if (PrintSubcommandHelp(e.name, rest)) return kExitOk;
    if (RefuseUnrepresentable(argc, argv, 2)) return kExitBadInput;
    return e.fn(rest);
  }
  return -1;
}

}  // namespace vaultra::cli
