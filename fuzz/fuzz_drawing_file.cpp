// Drawing arbitrary bytes as a drawing file (".PCJ") into a report page
// never crashes and never records a page element past its tables.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/fileio.h"
#include "fuzz_scratch.h"
#include "report/print_engine.h"
#include "report/report_template.h"

namespace {
constexpr const char* kExtension = ".PCJ";
using vaultra::fuzz::ScratchPath;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vaultra;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  if (!WriteFileAtomic(ScratchPath(kExtension), bytes, nullptr, WriteMode::kScratch)) return 0;
  PrintEngine pe;
  pe.BeginReportPages(1800, 2700);
  pe.SelectPageSlot(kFirstBodySlot);
  pe.NewPage();
  DrawPcjFigure(pe, 10, ScratchPath(kExtension));
  return 0;
}
