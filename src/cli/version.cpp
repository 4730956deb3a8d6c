#include "app/calc/navigation.h"
#include "cli/commands.h"
#include "core/cp932.h"

#ifndef VAULTRA_VERSION
#error "the build defines VAULTRA_VERSION, the release number"
#endif

namespace vaultra::cli {

std::string VersionText() {
  // The window caption ends in an empty "()"; the command line says the
  // release number instead.
  return "Vaultra " VAULTRA_VERSION " (Ver." + Cp932ToUtf8(VersionDate(ChangeHistoryText())) + ")";
}

}  // namespace vaultra::cli
