// Drawing arbitrary bytes as a drawing file (".PCJ") into a report page
// never crashes and never records a page element past its tables.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/fileio.h"
#include "report/print_engine.h"
#include "report/report_template.h"

namespace {

// One scratch file per process, on a memory file system when there is one.
const std::string& ScratchPath() {
  static const std::string path = [] {
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    return (base / ("vaultra_fuzz_" + std::to_string(::getpid()) + ".PCJ")).string();
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vaultra;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  if (!WriteFileAtomic(ScratchPath(), bytes, nullptr, WriteMode::kScratch)) return 0;
  PrintEngine pe;
  pe.BeginReportPages(1800, 2700);
  pe.SelectPageSlot(kFirstBodySlot);
  pe.NewPage();
  DrawPcjFigure(pe, 10, ScratchPath());
  return 0;
}
