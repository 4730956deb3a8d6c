#include "cli/args.h"
#include "cli/commands.h"

namespace vaultra::cli {

int CmdTemplate(const ArgList&) { return UsageError("'template' is not available in this build yet"); }

}  // namespace vaultra::cli
