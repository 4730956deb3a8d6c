// Structure figures: the blocks, the frame, its numbers and points of
// interest, the ground column and the cross-section with its dimensions,
// drawn in the world window of a print engine. The same calls draw on a
// report page (kind 2: grey, millimetres) and on a page's screen canvas
// (kind 1: colour, pixel fonts); nothing here knows the window toolkit.
//
// Typical use on a screen page (the canvas is the page's DrawTarget, e.g. the
// replay target of src/render painting into the page's bitmap):
//   Figure fig = MakeFigure(state.transverse, state.block_row, layout, false);
//   if (SetupFigure(pe, fig, kFigureNew, w, h, 0, &canvas, &view)) {
//     DrawModelFigure(pe, fig, kShowStandard);      // or the single elements
//     DrawFigureLegend(pe, fig, w, h, true);
//   }
//   ... wheel: SetupFigure(pe, fig, kFigureZoomIn, mx, my, 0, &canvas, &view)
//   ... click: NearestMember(fig, pe.WorldX(...), ...), see PixelToWorld.
// On a report page: pe.SetWindow(page rect, world rect) (or the Print*
// helpers of force_diagrams.h), then the Draw* calls.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "inputs/input_records.h"
#include "inputs/structure_model.h"
#include "model/geometry.h"
#include "report/print_engine.h"

namespace vaultra {

// Screen colours of the figures (0x00BBGGRR); the report page turns them grey.
constexpr std::uint32_t kFigBackground = 0xD0E0E0;
constexpr std::uint32_t kFigBlockFill = 0xD0D0D0;
constexpr std::uint32_t kFigZoneFill = 0xC0C0D0;
constexpr std::uint32_t kFigHighlightFill = 0x88FFFF;
constexpr std::uint32_t kFigBlockOutline = 0x808080;
constexpr std::uint32_t kFigMember = 0x800000;
constexpr std::uint32_t kFigSelected = 0x88FFFF;
constexpr std::uint32_t kFigBlockNumber = 0x008000;
constexpr std::uint32_t kFigNodeNumber = 0xFF0000;
constexpr std::uint32_t kFigPinMark = 0x6060FF;
constexpr std::uint32_t kFigHaunch = 0x00FF00;
constexpr std::uint32_t kFigTwoD = 0x00FFFF;
constexpr std::uint32_t kFigHalfH = 0xFF88FF;
constexpr std::uint32_t kFigMaxCheck = 0xFFFFFF;
constexpr std::uint32_t kFigClay = 0x00FF00;
constexpr std::uint32_t kFigSand = 0x00FFFF;
constexpr std::uint32_t kFigGroundWater = 0xFF0000;

// One structure model as the figures see it, with the page's highlight
// flags and the visible block range. Make it with MakeFigure; it keeps
// pointers to the model and the block row, which must outlive it.
struct Figure {
  const StructureModel* model = nullptr;
  const BlockRow* row = nullptr;
  int layout = kLayoutStand;
  bool longitudinal = false;
  bool shear_at_2d = false;  // the points of interest are at 2d (else h/2)
  // Highlight flags, 1-based (index = block or member number); missing
  // entries count as not highlighted.
  std::vector<std::uint8_t> highlighted_blocks;
  std::vector<std::uint8_t> selected_members;
  // Block boundaries X1 < X2 < ... < Xn+1 (index 1..n+1; block i spans Xi
  // to Xi+1) and the visible range first..last (1 <= first <= last <= n).
  std::vector<double> bounds;
  int block_count = 0;
  int first = 1, last = 0;
};

// The figure of a model. longitudinal: the model is the longitudinal one
// (its blocks are the longitudinal blocks along the length, its block row
// entry 1 gives their dimensions).
Figure MakeFigure(const StructureModel& model, const BlockRow& row, int layout, bool longitudinal);
// The same with the layout and the shear-check position of the model record.
Figure FigureOf(const StructureModel& model, const BlockRow& row, const ModelRecord& rec,
                bool longitudinal);

// A world rectangle a page keeps between redraws (one per model).
struct FigureView {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  // Empty (never stored, or of no size): the whole frame is shown instead.
  bool Empty() const;
};

// View actions of SetupFigure.
enum FigureAction : int {
  kFigureNew = 2,      // a, b: canvas size in pixels
  kFigureZoomIn = 3,   // a, b: mouse position (pixels)
  kFigureZoomOut = 4,  // a, b: mouse position (pixels)
  kFigurePan = 5,      // a, b: mouse movement (pixels)
};
// SetupFigure flags.
constexpr int kFigureUseStoredView = 2;       // new figure: the stored view, not the frame
constexpr int kFigureReportFrame = 0x200000;  // new figure: the report's page rectangle

// Screen figure set-up and view action. kFigureNew makes canvas the engine's
// device (a screen canvas of a x b pixels) and fits the frame (or the
// stored view) into it; the other actions keep the window and move it.
// canvas, when given, becomes the device for the other actions too (a page
// that paints into a new image each time). Every action clears the canvas
// and shows all blocks. When view is given it receives the world rectangle
// now shown. Returns false, drawing switched off, for a canvas smaller than
// two pixels either way: nothing is drawn then.
bool SetupFigure(PrintEngine& pe, Figure& fig, int action, int a, int b, int flags,
                 DrawTarget* canvas = nullptr, FigureView* view = nullptr);
// The world rectangle the engine's page rectangle now shows.
FigureView CurrentView(const PrintEngine& pe);
// A device pixel of the canvas in world coordinates (for picking).
void PixelToWorld(const PrintEngine& pe, double px, double py, double& X, double& Y);

// Visible blocks first..last: first below 2 gives 1 (0 shows every block),
// first above the block count gives the count, last is kept within
// first..block count.
void SetVisibleBlocks(Figure& fig, int first, int last);
// True when x lies within the visible blocks (0.01 m beyond their ends).
bool IsVisibleX(const Figure& fig, double x);
// World x range of blocks first..first+count-1 (first 0: the whole frame,
// 0 to the frame width), for report figures of a block group.
void BlockGroupRange(const Figure& fig, int first, int count, double& x0, double& x1);

// --- figure elements ---
void DrawBlocks(PrintEngine& pe, const Figure& fig);
void DrawFrameMembers(PrintEngine& pe, const Figure& fig);
void DrawFrameNodes(PrintEngine& pe, const Figure& fig);
void DrawSelectedMembers(PrintEngine& pe, const Figure& fig);
void DrawMemberNumbers(PrintEngine& pe, const Figure& fig);
void DrawBlockNumbers(PrintEngine& pe, const Figure& fig);
void DrawNodeNumbers(PrintEngine& pe, const Figure& fig);
// Screen only; transverse model only.
void DrawInterestMarkers(PrintEngine& pe, const Figure& fig);
// Screen only: the mouse hint, the marker legend (transverse model, when
// legend is set) and the model's total length and axis width.
void DrawFigureLegend(PrintEngine& pe, const Figure& fig, int width_px, int height_px, bool legend);

// Which elements DrawModelFigure draws, in the order listed.
enum FigureShow : unsigned {
  kShowBlocks = 1u << 0,
  kShowSelected = 1u << 1,
  kShowMembers = 1u << 2,
  kShowNodes = 1u << 3,
  kShowMarkers = 1u << 4,
  kShowMemberNumbers = 1u << 5,
  kShowNodeNumbers = 1u << 6,
  kShowBlockNumbers = 1u << 7,
  kShowStandard = kShowBlocks | kShowSelected | kShowMembers | kShowNodes | kShowMarkers |
                  kShowMemberNumbers | kShowBlockNumbers,
};
void DrawModelFigure(PrintEngine& pe, const Figure& fig, unsigned show);

// Arrow flags.
constexpr int kArrowShaft = 0x10;
constexpr int kArrowHeadStart = 0x100;
constexpr int kArrowHeadEnd = 0x001;
// Dimension flags.
constexpr int kDimExtStart = 0x200;
constexpr int kDimExtEnd = 0x002;
constexpr int kDimTextOutsideStart = 0x400;
constexpr int kDimTextOutsideEnd = 0x004;
constexpr int kDimTextOther = 0x20;  // text 1.1 t on the other side of the normal
constexpr int kDimText = 0x40;       // text 0.3 t beside the shaft

// Arrow between two page points (mm); the heads are
// pe.device().arrow_head long (pe.SetArrowHead; 0 draws none).
void DrawArrow(PrintEngine& pe, double x1, double y1, double x2, double y2, int flags);
void DrawArrowWorld(PrintEngine& pe, double X1, double Y1, double X2, double Y2, int flags);
// Dimension line between two world points, offset o (world units) along
// the normal; a text "$n" writes the distance times 10^n.
void DrawDimension(PrintEngine& pe, double X1, double Y1, double X2, double Y2, double offset,
                   int flags, std::string_view text, double text_height);

// --- ground column ---
struct GroundColumnLayer {
  int soil = 2;       // 1 clay, anything else sand
  double bottom = 0;  // bottom depth (m)
};
struct GroundColumnInput {
  std::vector<GroundColumnLayer> layers;  // from the surface down
  double total_depth = 0;                 // D of the column (m)
  double facility_top = 0;                // depth of the structure top (m)
  double facility_bottom = 0;             // depth of the structure bottom (m)
  bool ground_water = false;
  double ground_water_depth = 0;
};
// The ground table's layers, the transverse model's depths and the model
// record's ground water.
GroundColumnInput GroundColumnOf(const GroundTable& ground, const ModelRecord& rec,
                                 const StructureModel& transverse);
// The column in the page rectangle (mm), depth 0 at the top and the total
// depth at the bottom: world (0, 0)-(D / 9, D) fitted into the rectangle.
void DrawGroundColumn(PrintEngine& pe, const GroundColumnInput& in, double a, double b, double c,
                      double d);

// --- cross-section ---
struct SectionFigureInput {
  double water_level = 0;  // stored water level above the inner floor (m); <= 0: no mark
};
// The normal stored water level of the model record.
SectionFigureInput SectionFigureOf(const ModelRecord& rec);
// The transverse model's blocks with their dimensions, fitted into the page
// rectangle (mm) with room for the dimension lines.
void DrawSectionFigure(PrintEngine& pe, const Figure& fig, const SectionFigureInput& in, double a,
                       double b, double c, double d);

// --- picking ---
// The member whose axis lies nearest to (X, Y), counting only distances
// below limit and members at least min_length long; a later member wins
// only when strictly nearer. 0 when none.
int NearestMember(const Figure& fig, double X, double Y, double limit, double min_length = 0);
// The last real block whose outline contains (X, Y); 0 when none
// (transverse model).
int BlockAt(const Figure& fig, double X, double Y);

}  // namespace vaultra
