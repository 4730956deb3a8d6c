// What the verdict chapters share: a report line at the running y, the
// verdict mark (an N.G. is printed large, bold and boxed with its ratio) and
// the check block of one evaluated check point. Every verdict printed here is
// read from the check record; nothing is judged again for print.
#pragma once

#include <string>
#include <string_view>

#include "checks/check_point.h"
#include "report/build_report.h"

namespace vaultra {

// Prints one line below y (on the next page when it does not fit) and
// returns its y. Headings ("$>>") are numbered even with drawing off.
double ReportLine(ReportContext& ctx, double y, std::string_view cp932, double x = 1.0);

// The verdict "判定" line: "O.K." in body type, or "N.G." large, bold, red
// and boxed, followed by the failing ratio and the reason when given.
double VerdictLine(ReportContext& ctx, double y, std::string_view what, bool ok, double ratio,
                   std::string_view reason = {});

// The names of the three check states: "常時", "Ｌ１", "Ｌ２" and the heading
// labels "(常時)", "(地震動時ﾚﾍﾞﾙ1)", "(地震動時ﾚﾍﾞﾙ2)".
const char* StateName(int kind);
const char* StateLabel(int kind);

// Which check of an evaluated row failed first, for the verdict line; empty
// when none did.
std::string FailedCheckName(const CheckPointRecord& r, int kind);

// The check block of one evaluated row: forces, section, stresses against
// the allowables (normal, level 1) or capacities against the demands (level
// 2, with the failure branch and the capacity-design check), the ratios and
// the verdict. title names the member and point. Returns the y after it.
double PrintCheckBlock(ReportContext& ctx, double y, const std::string& title,
                       const CheckPointRecord& r, int kind, bool failed);

// The summary line of one printed check (its key values), cp932.
std::string CheckSummaryLine(const std::string& title, const CheckPointRecord& r, int kind,
                             bool failed);

// The "failure stated" block of a chapter whose analysis failed: never an
// O.K.; reports the text as the first error.
double AnalysisFailedLine(ReportContext& ctx, double y, std::string_view cp932);

}  // namespace vaultra
