#include "app/calc/navigation.h"
#include "cli/commands.h"
#include "core/cp932.h"

namespace vaultra::cli {

std::string VersionText() {
  return Cp932ToUtf8(AppCaption());
}

}  // namespace vaultra::cli
