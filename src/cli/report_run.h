// The report of a finished calculation run on the command line: the
// records the report prints from, and the report written as a PDF.
#pragma once

#include <string>

#include "app/calc/build_models.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "inputs/master_data.h"
#include "app/document/project_state.h"
#include "app/calc/run_analysis.h"
#include "report/build_report.h"

namespace vaultra::cli {

struct ReportRequest {
  std::string out_utf8;  // OUT.pdf
  bool formulas = false;
  bool ts_formula = false;
  std::string summary_utf8;  // --summary OUT.txt: the summary list, one line per check
};

// Writes the report of a finished run; the headless program has none (it
// never links the PDF writer) and hands a run that asks for a report to the
// window program.
using ReportWriter = int (*)(const ProjectState& state, const CalcWorkspace& ws,
                             const CalcRun& run, const MasterData& master,
                             const std::string& print_master_dir, const ReportRequest& request);

// calc and report with the report writer given (null: calc --report and
// report return -1, the window program's).
int CmdCalcWith(const ArgList& argv, ReportWriter writer);
int CmdReportWith(const ArgList& argv, ReportWriter writer);

// Builds the report of the run (cover, contents, body) and writes it.
// Returns 0, or 2 with the reason on stderr.
int WriteRunReport(const ProjectState& state, const CalcWorkspace& ws, const CalcRun& run,
                   const MasterData& master, const std::string& print_master_dir,
                   const ReportRequest& request);

}  // namespace vaultra::cli
