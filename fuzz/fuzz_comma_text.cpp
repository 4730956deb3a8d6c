// Splitting arbitrary bytes as comma text never crashes, and encoding the
// items again splits back to the same items.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/comma_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  auto items = vaultra::SplitCommaText(text);
  if (items.empty()) return 0;
  std::string encoded = vaultra::EncodeCommaText(items);
  // Items that hold a NUL byte cannot survive the text form.
  for (const auto& item : items)
    if (item.find('\0') != std::string::npos) return 0;
  if (vaultra::SplitCommaText(encoded) != items) std::abort();
  return 0;
}
