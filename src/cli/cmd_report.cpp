#include "cli/args.h"
#include "cli/commands.h"

namespace vaultra::cli {

int CmdReport(const ArgList&) {
  return UsageError("'report' is not available in this build yet");
}

}  // namespace vaultra::cli
