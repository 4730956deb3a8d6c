// A 100-page synthetic report: recorded through the report lines (headings,
// ruled tables with filled fields, running text) and written to a PDF.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "core/fileio.h"
#include "core/memory_policy.h"
#include "core/number.h"
#include "report/pdf_file.h"
#include "report/print_engine.h"
#include "report/report_template.h"
#include "report/report_text.h"

namespace vaultra {
namespace {

// The heap as the programs set it up before anything else.
[[maybe_unused]] const bool kHeapAsInThePrograms = (KeepFreedMemoryForReuse(), true);

constexpr int kPages = 100;

const std::vector<std::string>& TableBlock() {
  static const std::vector<std::string> block = {
      "+F2-|$>>(%) 断面力一覧",
      "+F3-|//",
      "----|┌────────┬──────┬──────┬──────┐",
      "----|│  部材      │   Ｍ       │   Ｓ       │   Ｎ       │",
      "----|├────────┼──────┼──────┼──────┤",
      "----|│-1              │ #####.###  │ #####.###  │ #####.###  │",
      "----|├────────┼──────┼──────┼──────┤",
      "----|└────────┴──────┴──────┴──────┘",
      "+F2-|  許容応力度 σca = ###.## N/mm2、 せん断 τa1 = ##.### N/mm2",
  };
  return block;
}

void RecordReport(PrintEngine& pe) {
  pe.BeginReportPages(1800, 2700);
  pe.internal_solver = true;
  pe.SelectPageSlot(kFirstBodySlot);
  ResetHeadingNumbers(pe);
  for (int page = 1; page <= kPages; ++page) {
    pe.NewPage();
    double y = 0;
    if (page % 10 == 1) PrintLine(pe, 1.0, y += kStepLine, "$>>%. 断面の照査");
    PrintLine(pe, 1.0, y += kStepLine, "$>>%.% 部材の照査");
    for (int block = 0; block < 2; ++block) {
      y = PrintTemplate(pe, y, TableBlock(), 1, 16);
      for (int i = 0; i < 16 * 3; ++i) FillNumber(pe, -1, 1234.5678 / (i + 1), false);
      FillNumber(pe, -1, 8.0, false);
      FillNumber(pe, -1, 0.39, false);
    }
    for (int line = 0; line < 6 && pe.FitsOnPage(y, kStepLine); ++line)
      PrintLine(pe, 1.0, y += kStepLine,
                "  鉄筋の応力度は許容応力度以下であり、所要の安全性を有している。 O.K.");
  }
  BuildContentsPages(pe);
}

void BM_RecordReport(benchmark::State& state) {
  for (auto _ : state) {
    PrintEngine pe;
    RecordReport(pe);
    benchmark::DoNotOptimize(pe.records().CommandCount());
  }
}
BENCHMARK(BM_RecordReport)->Unit(benchmark::kMillisecond);

void BM_RecordAndWritePdf(benchmark::State& state) {
  const std::string path =
      FromFsPath(std::filesystem::temp_directory_path() / "vaultra_bench_report.pdf");
  std::size_t commands = 0;
  for (auto _ : state) {
    PrintEngine pe;
    RecordReport(pe);
    std::vector<int> page_slots = pe.text.contents_slots;
    const int last_body = page_slots.size() > kFixedContentsPages
                              ? page_slots[kFixedContentsPages] - 1
                              : pe.records().highest();
    for (int s = kFirstBodySlot + 1; s <= last_body; ++s) page_slots.push_back(s);
    commands = pe.records().CommandCount();
    if (!WritePdfFile(pe.records(), page_slots, path, 300, nullptr))
      state.SkipWithError("PDF not written");
  }
  state.counters["commands"] = static_cast<double>(commands);
  RemoveFile(path);
}
BENCHMARK(BM_RecordAndWritePdf)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace vaultra
