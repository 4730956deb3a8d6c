// Loading arbitrary bytes as a report template file and running every
// labelled section of it onto report pages never crashes.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/fileio.h"
#include "fuzz_scratch.h"
#include "report/print_engine.h"
#include "report/report_template.h"

namespace {
constexpr const char* kExtension = ".c";
using vaultra::fuzz::ScratchPath;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vaultra;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  if (!WriteFileAtomic(ScratchPath(kExtension), bytes, nullptr, WriteMode::kScratch)) return 0;
  PrintEngine pe;
  if (!LoadTemplateFile(pe, ScratchPath(kExtension))) return 0;
  pe.BeginReportPages(1800, 2700);
  pe.SelectPageSlot(kFirstBodySlot);
  for (char c = 'A'; c <= 'Z'; c += 3) SetLetter(pe, c);
  pe.NewPage();
  const std::vector<std::string> lines = pe.templates.lines;
  int sections = 0;
  for (const std::string& line : lines) {
    const std::vector<std::string> words = LabelWords(line);
    if (words.empty() || ++sections > 8) continue;
    PrintSection(pe, 0, words.front(), words.size() > 1 ? words[1] : "", 99);
  }
  return 0;
}
