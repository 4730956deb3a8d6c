#include "cli/commands.h"

namespace vaultra::cli {

std::string VersionText() { return "Vaultra 1.01"; }

}  // namespace vaultra::cli
