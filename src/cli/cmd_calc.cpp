#include "cli/args.h"
#include "cli/commands.h"

namespace vaultra::cli {

int CmdCalc(const ArgList&) { return UsageError("'calc' is not available in this build yet"); }

}  // namespace vaultra::cli
