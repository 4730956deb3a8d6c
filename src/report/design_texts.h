// Texts and pieces shared by the design chapters and the longitudinal
// ground chapters: the names the report prints for the inputs' choices, the
// ground springs by formula, and the figures of chapters 4 and 9.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "report/build_report.h"

namespace vaultra {

const char* FacilityTypeName(int type_list_index);
const char* MethodName(int method);             // "応答変位法" / "震度法"
const char* RegionName(int region);             // "Ａ１地域" .. "Ｃ地域"
const char* SoilName(int soil);                 // "粘性土" / "砂質土"
const char* GroundClassName(int ground_class);  // "Ⅰ種" .. "Ⅲ種"
const char* BackfillSentence(int soil_class);   // "背面土は粘性土とする。" ...
// The standard and the formula of the ground springs, e.g. "下水道指針（地中式）".
std::string SpringFormulaText(int sv1_standard, int spring_formula);
// αD of a level as the natural period used it (1.25 unless the sewerage
// guideline gives the loads page's factor).
double PeriodFactor(const LoadsRecord& lr, int level);

// "Hi/Vsi" terms of the ground period, one per layer ("2.000/141.0").
std::vector<std::string> PeriodTerms(const std::vector<GroundLayer>& layers,
                                     const GroundQuantities& g);
// Prints a sum "lead term + term + ... ）" over as many lines as it needs.
double PrintExpansion(ReportContext& ctx, double y, std::string_view lead,
                      const std::vector<std::string>& terms);

// The ground springs of a direction by the loads page's formula, with their
// basis; for "ＦＥＭ" also the layer constants on a page of their own.
double PrintSprings(ReportContext& ctx, double y, int direction);

struct GroundColumnInput;
// The ground column of the ground layers and the transverse structure.
GroundColumnInput GroundColumnInputOf(const InputRecords& rec, const StructureModel& transverse);

// Chapter 4's cross-section figure (x 30 to 160 mm, y + 20 to y + 80) and
// chapter 9's ground column; each returns the y below it.
double DrawChapterSectionFigure(ReportContext& ctx, double y);
double DrawChapterGroundColumn(ReportContext& ctx, double y);

}  // namespace vaultra
