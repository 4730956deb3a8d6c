#include "cli/report_run.h"

#include <cstdio>

#include "cli/args.h"
#include "cli/commands.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "report/pdf_file.h"
#include "report/print_engine.h"

namespace vaultra::cli {

bool HasSuffixNoCase(const std::string& path_utf8, const char* suffix) {
  const std::string suf(suffix);
  if (path_utf8.size() < suf.size()) return false;
  std::string tail = path_utf8.substr(path_utf8.size() - suf.size());
  for (char& c : tail)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return tail == suf;
}

bool IsPdfPath(const std::string& path_utf8) {
  return HasSuffixNoCase(path_utf8, ".pdf");
}

void PrintNotices(const PrintEngine& pe) {
  for (const std::string& n : pe.notices)
    std::fprintf(stderr, "vaultra: %s\n", Cp932ToUtf8(n).c_str());
}

int WriteReportPdf(const PrintEngine& pe, const std::vector<int>& page_slots,
                   const std::string& out_utf8, const PdfDocumentInfo* info) {
  PrintNotices(pe);
  std::string error;
  if (!WritePdfFile(pe.records(), page_slots, Utf8ToCp932(out_utf8), 300, &error, info)) {
    std::fprintf(stderr, "vaultra: %s\n", error.c_str());
    return kExitBadInput;
  }
  return kExitOk;
}

int WriteRunReport(const ProjectState& state, const CalcWorkspace& ws, const CalcRun& run,
                   const MasterData& master, const std::string& print_master_dir,
                   const ReportRequest& request) {
  const ReportSources src = ReportSourcesOf(state, ws, run, master);
  ReportOptions opt;
  opt.print_master_dir = print_master_dir;
  opt.formulas = request.formulas;
  opt.ts_formula = request.ts_formula;
  opt.internal_solver = run.use_internal;
  // The summary list is handed over at the point of the build where the
  // window copies it to the clipboard; here it goes to a file.
  std::string summary_error;
  bool summary_written = false;
  if (!request.summary_utf8.empty())
    opt.copy_summary = [&](const std::vector<std::string>& lines) {
      std::string text;
      for (const std::string& l : lines) text += Cp932ToUtf8(l) + "\n";
      summary_written = WriteFileAtomic(Utf8ToCp932(request.summary_utf8), text, &summary_error);
    };
  PrintEngine pe;
  ReportBuild build;
  BuildReportPages(pe, src, opt, build);
  if (!request.summary_utf8.empty() && !summary_written) {
    std::fprintf(stderr, "vaultra: %s: %s\n", request.summary_utf8.c_str(),
                 summary_error.empty() ? "the summary list was not built"
                                       : Cp932ToUtf8(summary_error).c_str());
    return kExitBadInput;
  }
  if (!build.first_error.empty())
    std::fprintf(stderr, "vaultra: report: %s\n", Cp932ToUtf8(build.first_error).c_str());
  const PdfDocumentInfo info = ReportPdfInfo(pe, build);
  const int status = WriteReportPdf(pe, ReportPageSlots(build), request.out_utf8, &info);
  if (status == kExitOk)
    std::fprintf(stderr, "vaultra: report: %d body pages, %d contents pages -> %s\n",
                 build.body_pages, build.contents_pages, request.out_utf8.c_str());
  return status;
}

int CmdReport(const ArgList& argv) {
  return CmdReportWith(argv, WriteRunReport);
}

int CmdCalcWithReport(const ArgList& argv) {
  return CmdCalcWith(argv, WriteRunReport);
}

}  // namespace vaultra::cli
