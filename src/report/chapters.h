// The chapters of the report, grouped by the file that prints them. The
// driver (build_report.cpp) calls them in this order; each chapter starts
// its own pages with ctx.NewPage() and checks its own condition.
#pragma once

#include "report/build_report.h"

namespace vaultra {

// chapters_design.cpp: design conditions, materials, ground and ground
// springs (chapters 1 to 12).
void PrintDesignChapters(ReportContext& ctx);

// chapter_summary.cpp: the verdict summary ("照査結果一覧") after the design
// conditions, on its own page.
void PrintVerdictSummary(ReportContext& ctx, double y);

// chapters_loads.cpp: loads, analysis model, load states, combinations and
// supports, points of interest (chapters 13 to 21).
void PrintLoadChapters(ReportContext& ctx);

// chapters_results.cpp: analysis results (chapter 22) and the transverse
// section checks, which fill the summary list and the failure marks.
void PrintResultChapters(ReportContext& ctx);
// chapters_results.cpp: the transverse joints (after the summary copy).
void PrintTransverseJointChapter(ReportContext& ctx);
// The uplift check of the empty facility, after the transverse checks.
void PrintUpliftChapter(ReportContext& ctx);

// chapters_longitudinal.cpp: the longitudinal joint opening and ground
// class, and the longitudinal ground springs (longitudinal chapters 1, 2).
void PrintLongitudinalGroundChapters(ReportContext& ctx);

// chapters_loads.cpp: the longitudinal loads, hydrodynamic pressure and
// analysis model (longitudinal chapters 3 to 5).
void PrintLongitudinalLoadChapters(ReportContext& ctx);

// chapters_longitudinal_checks.cpp: longitudinal loads, model, results,
// joint checks and the end walls (longitudinal chapters 3 to 9).
void PrintLongitudinalCheckChapters(ReportContext& ctx);

}  // namespace vaultra
