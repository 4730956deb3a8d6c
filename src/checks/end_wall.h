// The end-wall check: each end wall of the facility, a reinforced-concrete
// slab loaded by the earth, water and seismic pressure on the facility's end,
// checked per metre of width either as a simple beam over the vertical span
// (vertical bars only) or as a two-way slab supported by the top slab, the
// bottom slab and the side walls. The sections are evaluated by CheckPoint
// with the end-wall material column; the method is written down in
// docs/end_wall.md.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "checks/check_point.h"
#include "checks/end_wall_plate.h"
#include "inputs/joint_record.h"

namespace vaultra {

struct MasterData;
struct EndWallRecord;

inline constexpr int kEndWallMax = 3;               // inner widths
inline constexpr int kEndWallRows = 8;              // check rows per wall and combination
// Pressure on the wall at its top and bottom (kN/m²), linear in between,
// positive when it pushes the wall toward the inside of the facility.
struct EndWallLoad {
  double top = 0;
  double bottom = 0;
};

struct EndWallInput {
  EndWallBars bars;
  double thickness_top = 0.45;     // wa (m)
  double thickness_bottom = 0.65;  // wb (m)
  double height = 0;               // vertical span between the top and bottom supports (m)
  // Inner widths of the walls (m); wall w exists while w and all before it
  // are at least 0.001 m.
  std::array<double, kEndWallMax> inner_width{};
  // Horizontal span of each wall between its side supports (m); 0 takes the
  // inner width.
  std::array<double, kEndWallMax> span{};
  std::array<EndWallLoad, 3> loads{};  // 常時, L1, L2
  CheckPointContext context;           // member group 4 and the safety factors
  double poisson = 0.2;                // of the concrete, for the plate moments
};

// Which model gave a row's forces.
enum class EndWallSource { kNone, kBeam, kSpanModel, kEdgeModel };

struct EndWallRow {
  bool applies = false;  // rows 2..7 do not apply to the simple beam
  CheckPointRecord rec;  // M kN·m/m, S kN/m, section per metre of width
  double y = 0;          // height of the section below the top support (m)
  double x = 0;          // distance from the left side support (m)
  EndWallSource moment_source = EndWallSource::kNone;
  bool support = false;  // odd rows: the support section
  bool bottom = false;   // row 1: the bottom support governs (else the top)
};

struct EndWallCase {
  int kind = kKindNormal;
  EndWallLoad load;
  // Default-initialised: every row's members have their own initialisers
  // (an empty brace here makes clang 14 overflow its stack expanding it).
  std::array<EndWallRow, kEndWallRows> rows;
};

struct EndWallResult {
  int method = kEndWallMethodSimpleBeam;
  int wall_count = 0;
  // Walls were given but their height, thickness or loads are unusable
  // (not finite, not positive): nothing was checked.
  bool input_error = false;
  std::array<double, kEndWallMax> inner_width{};
  std::array<double, kEndWallMax> span{};
  std::array<std::array<EndWallCase, 3>, kEndWallMax> walls;  // [wall][combination]
};

// Checks every end wall. The plate solutions come from (and are kept in) the
// cache; bar areas from the master rebar-size table.
EndWallResult CheckEndWalls(const EndWallInput& in, const MasterData& md, PlateCache& cache);

// The simple beam over the vertical span (per metre): shear and moment at y
// (m below the top) for a linear pressure.
struct BeamForces {
  double M = 0, S = 0;
};
BeamForces SimpleBeamAt(double span, const EndWallLoad& load, double y);
// The height of the largest |moment| of that beam.
double SimpleBeamMaxAt(double span, const EndWallLoad& load);

// The linear pressure of a wall pinned at both ends from its two support
// reactions (kN/m, positive inward): the load of the same resultant and the
// same centroid.
EndWallLoad LoadFromReactions(double reaction_top, double reaction_bottom, double span);

// Whether a row fails in flexure / shear by its combination kind.
bool EndWallFlexureFails(const EndWallRow& row, int kind);
bool EndWallShearFails(const EndWallRow& row, int kind);

// The verdict label lbKabeTk.
struct EndWallVerdict {
  bool ok = true;
  std::string text;  // cp932
  int colour = 0;    // 255 red, 0xFF0000 blue
  int wall = 0;      // 1-based; 0 when ok
  int combination = -1;
  int row = -1;
  bool shear = false;
  double ratio = 0;
};
EndWallVerdict EndWallVerdictOf(const EndWallResult& res);

// ResetEndWallDefaults on a product change: the method, CkYokoUti and the
// covers by the layout and the upper end-wall thickness, then the bars of
// the end-wall master record (entry 1 vertical, 2 upper, 4 lower; inner the
// first bar, outer the second), each only when diameter × count > 0.1. The
// six list selections (vertical inner, outer, upper inner, outer, lower
// inner, outer) take the item of bar_items whose diameter matches; a bar
// without a matching item keeps its diameter and selection. The middle part
// follows the upper part.
void ResetEndWallDefaults(EndWallBars& bars, std::array<int, 6>& selection,
                          const EndWallRecord& rec, bool box_layout, double upper_thickness,
                          const std::vector<std::string>& bar_items);

}  // namespace vaultra
