#include "cli/args.h"
#include "cli/commands.h"

namespace vaultra::cli {

int CmdResave(const ArgList&) { return UsageError("'resave' is not available in this build yet"); }

}  // namespace vaultra::cli
