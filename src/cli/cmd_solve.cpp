#include "cli/args.h"
#include "cli/commands.h"

namespace vaultra::cli {

int CmdSolve(const ArgList&) { return UsageError("'solve' is not available in this build yet"); }

}  // namespace vaultra::cli
