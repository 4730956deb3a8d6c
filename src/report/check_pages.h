// What the verdict chapters share: a report line at the running y, the
// verdict mark (an N.G. is printed large, bold and boxed with its ratio) and
// the check block of one evaluated check point. Every verdict printed here is
// read from the check record; nothing is judged again for print.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "checks/check_point.h"
#include "checks/member_checks.h"
#include "report/build_report.h"

namespace vaultra {

// The member groups of the section-check chapters, in print order, with the
// check groups each takes. A member of a check group no entry names is
// printed under the last entry, so that no verdict goes unprinted.
struct ReportGroup {
  const char* name;
  std::vector<int> check_groups;
};
const std::vector<ReportGroup>& ReportGroups(bool stand);
// The members of report group gi, in member order.
std::vector<int> GroupMembers(const MemberCheckTables& t, const std::vector<ReportGroup>& groups,
                              std::size_t gi);

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

// The checks of an evaluated row that failed, for the verdict line: the one
// that sets the row's ratio first (GoverningCheckOf, the rule of calc's
// "governs"), then the others; empty when none did.
std::string FailedCheckName(const CheckPointRecord& r, int kind);

// The governing check's name in a state ("曲げ (σs)", "せん断 (τ)",
// "曲げ耐力", "せん断耐力", "耐力設計").
std::string GoverningName(GoverningCheck c, int kind);

// Where a row lies: its label and position ("h/2 x = 0.375 m"), or the
// output point's number at an unlabelled row ("点3 x = 0.250 m").
std::string PointName(const CheckPointRecord& r, int row);

// The check block of one evaluated row: forces, section, stresses against
// the allowables (normal, level 1) or capacities against the demands (level
// 2, with the failure branch and the capacity-design check), the ratios and
// the verdict; with formulas the values put into the formulas as well.
// title names the member and point. Returns the y after it.
double PrintCheckBlock(ReportContext& ctx, double y, const std::string& title,
                       const CheckPointRecord& r, int kind, bool failed, bool formulas = false);

// The summary line of one printed check (its key values), cp932.
std::string CheckSummaryLine(const std::string& title, const CheckPointRecord& r, int kind,
                             bool failed);

// The "failure stated" block of a chapter whose analysis failed: never an
// O.K.; reports the text as the first error.
double AnalysisFailedLine(ReportContext& ctx, double y, std::string_view cp932);

}  // namespace vaultra
