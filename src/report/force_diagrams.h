// Force diagrams (bending moment, shear force, axial force of one case) and
// load-state figures (the distributed loads of one load case), drawn over
// the frame figure of figures.h on a report page or a screen canvas.
#pragma once

#include <string>
#include <vector>

#include "analysis/analysis_results.h"
#include "model/frame_model.h"
#include "report/figures.h"

namespace vaultra {

// Working arrays of one member's diagram: 1-based, index 0 unused.
constexpr int kDiagramPoints = 23;
constexpr int kDiagramLastPoint = kDiagramPoints - 1;

// One value written beside a diagram or a load.
struct FigureLabel {
  int member = 0;        // member index (force diagram) or first member (load item)
  int point = 0;         // diagram point 1..n; load item index for load labels
  bool maximum = false;  // the member's maximum point
  double value = 0;
  double x = 0, y = 0;  // world point of the text's top-left corner
  std::string text;     // cp932
};

// The label font of the diagrams: sets it (angle degrees, face) and returns
// the world text height and the world character pitch.
struct LabelMetrics {
  double height = 0, pitch = 0;  // world units
};
LabelMetrics LabelFont(PrintEngine& pe, double angle, int face);

// One member's diagram from (xi, yi) to (xj, yj): positions P[1..n] from the
// i-end, values V[1..n] times scale as ordinates normal to the member.
// close_start / close_end draw the closing ordinates at the ends. Returns
// the diagram points (world) in lx[1..n], ly[1..n] (n is limited to the
// working arrays). Nothing is drawn for a member of no length.
bool DrawMemberDiagram(PrintEngine& pe, double* lx, double* ly, double xi, double yi, double xj,
                       double yj, const double* P, const double* V, int n, double scale,
                       bool close_start, bool close_end);

// The envelope of one component (1 M, 2 S, 3 N) of a case; 0 for a case
// or component the results do not hold.
double CaseEnvelope(const AnalysisResults& r, int case_number, int component);

// The frame of fig with the diagram of one case and component of the
// results r (same direction). reference 0 takes the case's envelope of the
// component; factor scales the diagram. Returns the labels written.
std::vector<FigureLabel> DrawForceDiagram(PrintEngine& pe, const Figure& fig,
                                          const AnalysisResults& r, int case_number, int component,
                                          double reference, double factor);

// The distributed loads of one load case of the frame model (types 11, 13,
// 14) over the members of fig. Returns the intensity labels written.
std::vector<FigureLabel> DrawLoadState(PrintEngine& pe, const Figure& fig, const FrameModel& frame,
                                       int case_number);

// Report blocks at y (mm on the current report page); each returns the new
// y. first 0 shows every block; otherwise blocks first .. first+count-1.
// The three diagrams M, S, N of one case.
double PrintForceDiagramPage(PrintEngine& pe, double y, Figure& fig, const AnalysisResults& r,
                             int case_number, int first, int count);
// One load-state figure of a transverse load case, headed by the case's
// name; nothing (y unchanged) when the frame model has no such case.
double PrintLoadStatePage(PrintEngine& pe, double y, Figure& fig, const FrameModel& frame,
                          int case_number, int first, int count);
// The frame figure of the analysis-model chapter: members, nodes, member
// numbers, all blocks visible, in x 20-160 mm and y+8 .. y+30 mm.
double PrintFrameFigure(PrintEngine& pe, double y, Figure& fig);

}  // namespace vaultra
