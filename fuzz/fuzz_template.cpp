// Loading arbitrary bytes as a report template file and running every
// labelled section of it onto report pages never crashes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/fileio.h"
#include "report/print_engine.h"
#include "report/report_template.h"

namespace {

const std::string& ScratchPath() {
  static const std::string path = [] {
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    return (base / ("vaultra_fuzz_" + std::to_string(::getpid()) + ".c")).string();
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vaultra;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  if (!WriteFileAtomic(ScratchPath(), bytes, nullptr, WriteMode::kScratch)) return 0;
  PrintEngine pe;
  if (!LoadTemplateFile(pe, ScratchPath())) return 0;
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
