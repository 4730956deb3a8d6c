#include "core/ui.h"

#include <cstdio>

#include "core/cp932.h"

namespace vaultra {

void StderrUi::Tell(MsgKind kind, const std::string& text) {
  if (kind == MsgKind::kError) ++errors_;
  const char* prefix = kind == MsgKind::kError ? "error: " : kind == MsgKind::kWarning ? "warning: " : "";
  std::fprintf(stderr, "%s%s\n", prefix, Cp932ToUtf8(text).c_str());
}

bool StderrUi::Ask(const std::string& text) {
  std::fprintf(stderr, "%s -> %s\n", Cp932ToUtf8(text).c_str(), answer_ ? "OK" : "Cancel");
  return answer_;
}

}  // namespace vaultra
