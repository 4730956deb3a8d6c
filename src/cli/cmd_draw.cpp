#include "cli/args.h"
#include "cli/commands.h"

namespace vaultra::cli {

int CmdDraw(const ArgList&) { return UsageError("'draw' is not available in this build yet"); }

}  // namespace vaultra::cli
