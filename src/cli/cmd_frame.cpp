#include "cli/args.h"
#include "cli/commands.h"

namespace vaultra::cli {

int CmdFrame(const ArgList&) { return UsageError("'frame' is not available in this build yet"); }

}  // namespace vaultra::cli
