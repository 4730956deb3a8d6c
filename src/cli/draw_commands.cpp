// The sub-commands that draw report pages. They live in the window program,
// which links the window toolkit; the vaultra executable starts it for them.
#include <cstring>

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
      {"report", CmdReport},
  };
  for (const Entry& e : kCommands)
    if (std::strcmp(argv[1], e.name) == 0) return e.fn(ArgList(argv + 2, argv + argc));
  return -1;
}

}  // namespace vaultra::cli
