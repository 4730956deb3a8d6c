// The report of a finished calculation run on the command line: the
// records the report prints from, and the report written as a PDF.
#pragma once

#include <string>

#include "app/calc/build_models.h"
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

// Builds the report of the run (cover, contents, body) and writes it.
// Returns 0, or 2 with the reason on stderr.
int WriteRunReport(const ProjectState& state, const CalcWorkspace& ws, const CalcRun& run,
                   const MasterData& master, const std::string& print_master_dir,
                   const ReportRequest& request);

}  // namespace vaultra::cli
