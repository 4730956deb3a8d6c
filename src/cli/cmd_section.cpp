#include "cli/args.h"
#include "cli/commands.h"

namespace vaultra::cli {

int CmdSection(const ArgList&) { return UsageError("'section' is not available in this build yet"); }

}  // namespace vaultra::cli
