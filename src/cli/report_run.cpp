#include "cli/report_run.h"

#include <cstdio>

#include "cli/args.h"
#include "core/cp932.h"
#include "report/print_engine.h"

namespace vaultra::cli {

int WriteReportOutput(const PrintEngine& pe, const std::vector<int>& page_slots,
                      const std::string& out_utf8);

ReportSources ReportSourcesOf(const ProjectState& state, const CalcWorkspace& ws,
                              const CalcRun& run, const MasterData& master) {
  ReportSources s;
  s.records = &state.records;
  s.master = &master;
  s.block_row = &state.block_row;
  s.transverse = &state.transverse;
  s.longitudinal = &state.longitudinal;
  s.ground = &ws.ground;
  s.seismic = &ws.seismic;
  s.pressure = &ws.pressure;
  s.longitudinal_tables = &ws.longitudinal;
  s.transverse_frame = &ws.transverse_frame;
  s.longitudinal_frame = &ws.longitudinal_frame;
  if (run.transverse_ok) s.transverse_results = &run.transverse;
  if (run.longitudinal_ok) s.longitudinal_results = &run.longitudinal;
  if (run.members_checked) {
    s.checks = &run.checks;
    s.summaries = &run.summaries;
  }
  if (run.transverse_joint_checked) s.transverse_joint = &run.transverse_joint;
  if (run.longitudinal_joint_checked) s.longitudinal_joint = &run.longitudinal_joint;
  if (run.end_walls_checked) s.end_walls = &run.end_walls;
  return s;
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
  PrintEngine pe;
  ReportBuild build;
  BuildReportPages(pe, src, opt, build);
  if (!build.first_error.empty())
    std::fprintf(stderr, "vaultra: report: %s\n", Cp932ToUtf8(build.first_error).c_str());
  const int status = WriteReportOutput(pe, ReportPageSlots(build), request.out_utf8);
  if (status == kExitOk)
    std::fprintf(stderr, "vaultra: report: %d body pages, %d contents pages -> %s\n",
                 build.body_pages, build.contents_pages, request.out_utf8.c_str());
  return status;
}

}  // namespace vaultra::cli
