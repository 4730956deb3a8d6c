// vaultra draw FILE.PCJ -o OUT.pdf|OUT.png: one drawing file on a report page.
#include <cstdio>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/report_run.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "render/render.h"
#include "report/print_engine.h"
#include "report/report_template.h"
#include "report/report_text.h"

namespace vaultra::cli {

// Writes the recorded pages: every slot to a PDF, the first of them to a PNG.
int WriteReportOutput(const PrintEngine& pe, const std::vector<int>& page_slots,
                      const std::string& out_utf8) {
  if (IsPdfPath(out_utf8)) return WriteReportPdf(pe, page_slots, out_utf8);
  if (!HasSuffixNoCase(out_utf8, ".png")) return UsageError("the output must end in .pdf or .png");
  PrintNotices(pe);
  std::string error;
  const bool ok = render::WritePagePng(pe.records(), page_slots.empty() ? 0 : page_slots.front(),
                                       Utf8ToCp932(out_utf8), 1800, 2700, &error);
  if (!ok) {
    std::fprintf(stderr, "vaultra: %s\n", error.c_str());
    return kExitBadInput;
  }
  return kExitOk;
}

int CmdDraw(const ArgList& argv) {
  std::string error;
  auto args = ParseArgs(argv, {"-o"}, {"--internal"}, &error);
  if (!args) return UsageError(error);
  if (args->positional.size() != 1) return UsageError("draw needs one drawing file");
  const auto out = args->Option("-o");
  if (!out) return UsageError("draw needs -o OUT.pdf|OUT.png");
  const std::string path = Utf8ToCp932(args->positional[0]);
  if (!FileExists(path)) {
    std::fprintf(stderr, "vaultra: cannot read %s\n", args->positional[0].c_str());
    return kExitBadInput;
  }
  PrintEngine pe;
  pe.internal_solver = args->Has("--internal");
  pe.BeginReportPages(1800, 2700);
  pe.SelectPageSlot(kFirstBodySlot);
  pe.NewPage();
  PrintLine(pe, 1.0, kStepLine, FileNameOf(path));
  DrawPcjFigure(pe, 10, path);
  return WriteReportOutput(pe, {pe.records().current()}, *out);
}

}  // namespace vaultra::cli
