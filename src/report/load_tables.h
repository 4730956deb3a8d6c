// The tables of the load chapters, shared by the transverse chapters 13 to
// 21 and the longitudinal load and model chapters. Every value is taken
// from the records the load generators and the frame assembly kept.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "report/build_report.h"
#include "report/figures.h"

namespace vaultra {

// A table block with n repeated rows, cut into parts that fit their pages:
// a part that does not fit starts a new page (y = 2.52); the heading lines
// of the block (prefix letter W) print with the first part only. fill(i)
// fills the fields of row i (0-based); foot() the fields after the rows
// (the last part only). Returns the y after the last part.
double PrintTableRows(ReportContext& ctx, double y, std::string_view block, int n,
                      const std::function<void(int)>& fill,
                      const std::function<void()>& foot = nullptr);

// The side earth-pressure table of one variant and direction at one level
// (0 normal, 1 L1, 2 L2): depth, γ, t, p and the halved p' per row.
double PrintSidePressure(ReportContext& ctx, double y, std::string_view block,
                         const SidePressureTable& t, int level);
// The cover load per category, the cover soil and the static earth
// pressure rows, then the side pressure table of the variant (0 backfill,
// 1 strata) and direction.
double PrintEarthPressure(ReportContext& ctx, double y, int variant, int direction);
// The external water table and the internal (stored) water summary.
double PrintWaterPressure(ReportContext& ctx, double y);
// The response-displacement earth pressure of both levels (rows 1..5).
double PrintResponsePressure(ReportContext& ctx, double y, const std::array<ResponseRow, 6>& rows);
// The inertia entries (kh and q of both levels).
double PrintInertia(ReportContext& ctx, double y, const InertiaTable& t);
// The cover's inertia block: each layer's shear, then the cover's values.
void PrintCoverInertia(ReportContext& ctx, double y, const CoverRecord& c);
// The hydrodynamic tables of a direction (levels 1 and 2).
double PrintHydrodynamic(ReportContext& ctx, double y, int direction);
// The frame figure with member and node numbers, then the section and the
// member tables of the frame model ("%9.3e").
double PrintAnalysisModel(ReportContext& ctx, double y, const StructureModel& model,
                          const FrameModel& frame, bool longitudinal);

// The load cases of each kind of chapter 19, by number.
struct LoadStateKind {
  const char* heading;  // "常時荷重" ...
  std::vector<int> cases;
};
const std::vector<LoadStateKind>& LoadStateKinds();
// True when the frame model holds the case with a name or a load.
bool LoadCaseInUse(const FrameModel& frame, int case_number);
// Blocks shown side by side on one load-state figure; a longer row is
// shown in groups of this many blocks, each group with every case.
constexpr int kLoadStateBlocksPerGroup = 6;
// Height of one load-state figure block (mm).
double LoadStateBlockHeight();
// Chapter 19's pages: per kind and group of blocks, one figure per case;
// the kind's heading on its first group only; a figure that does not fit
// below y continues on a new page.
double PrintLoadStates(ReportContext& ctx, double y, Figure& fig, const FrameModel& frame);

}  // namespace vaultra
