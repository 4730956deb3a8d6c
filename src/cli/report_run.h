// The report of a finished calculation run on the command line: the
// records the report prints from, and the report written as a PDF.
#pragma once

#include <string>
#include <vector>

#include "app/calc/build_models.h"
#include "app/calc/run_analysis.h"
#include "app/document/project_state.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "inputs/master_data.h"
#include "report/build_report.h"

namespace vaultra::cli {

struct ReportRequest {
  std::string out_utf8;  // OUT.pdf
  bool formulas = false;
  bool ts_formula = false;
  std::string summary_utf8;  // --summary OUT.txt: the summary list, one line per check
};

// Writes the report of a finished run (WriteRunReport); with null, calc
// --report and report return -1.
using ReportWriter = int (*)(const ProjectState& state, const CalcWorkspace& ws, const CalcRun& run,
                             const MasterData& master, const std::string& print_master_dir,
                             const ReportRequest& request);

// calc and report with the report writer given (null: calc --report and
// report return -1, the window program's).
int CmdCalcWith(const ArgList& argv, ReportWriter writer);
int CmdReportWith(const ArgList& argv, ReportWriter writer);

// True when the path ends in the (lower-case) suffix, in any case.
bool HasSuffixNoCase(const std::string& path_utf8, const char* suffix);
// True when the path ends in ".pdf" (any case): the report is a PDF.
bool IsPdfPath(const std::string& path_utf8);
// The engine's notices on stderr, one line each.
void PrintNotices(const PrintEngine& pe);
// The recorded pages as a PDF (the engine's notices first, on stderr).
// Returns 0, or 2 with the reason on stderr.
int WriteReportPdf(const PrintEngine& pe, const std::vector<int>& page_slots,
                   const std::string& out_utf8, const PdfDocumentInfo* info = nullptr);

// Builds the report of the run (cover, contents, body) and writes it.
// Returns 0, or 2 with the reason on stderr.
int WriteRunReport(const ProjectState& state, const CalcWorkspace& ws, const CalcRun& run,
                   const MasterData& master, const std::string& print_master_dir,
                   const ReportRequest& request);

}  // namespace vaultra::cli
