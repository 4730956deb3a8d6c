// The internal plane-frame solver: direct stiffness method over a frame
// model, with pinned member ends, distributed springs (lumped for the
// stiffness, fed back as member loads in a second pass), support restraints
// and springs, member loads and combinations. It fills an analysis-results
// record directly.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "analysis/analysis_results.h"
#include "analysis/beam_element.h"
#include "model/frame_model.h"

namespace vaultra {

// The pressure one distributed spring puts on its member in a load case
// (kN/m, member axes, acting on the member): axial varying linearly from
// the i-end to the j-end, normal linear between the member's tenth points
// 0, L/10, ..., L. With two passes it is what the second pass applies.
struct SpringPressure {
  int member = 0;  // member index
  std::array<double, 2> axial{};
  std::array<double, 11> normal{};
};

// The load-case solutions of one model kept for the next analysis of the
// same model with other output points (the maximum search): what the
// solutions depend on (nodes, members, sections, materials, springs,
// supports, load items and the solver mode, byte for byte), the member
// data made from them, and the final displacements and member items of
// every load case. A later model that differs in any of those is solved
// afresh. The values at the output points are worked out anew: a search
// run asks for points no run had.
struct FrameSolveCache {
  struct Case {
    std::vector<double> u;                          // displacements of the last pass
    std::vector<std::vector<FrameLoadItem>> items;  // per member, spring items included
    std::vector<SupportReaction> reactions;
    std::vector<SpringPressure> pressures;
  };
  std::string key;
  std::vector<Case> cases;  // per load case, index 0 unused
  // Per member (index 0 unused): its data before its output points are
  // set, and its angle as it was put on the model's member.
  std::vector<solver::MemberData> members;
  std::vector<double> angles;
};

struct FrameSolveOptions {
  // The literal dense algorithm: a full matrix assembled and eliminated for
  // every pass, member loads summed strip by strip. Slow; it is the
  // reference the fast path is checked against, and the fallback the fast
  // path uses when a system is (nearly) singular.
  bool dense_reference = false;
  // Solutions to reuse and to keep (fast path only); may be null.
  FrameSolveCache* cache = nullptr;
  // When set (indexed by member, index 0 unused): only these members get
  // values at their output points; every other member gets point count 0
  // in every case. For analyses of which only some members are read.
  const std::vector<bool>* members = nullptr;
  // Likewise by combination (index 0 unused): only these combinations, and
  // the load cases they take, get member values; every other case gets
  // point count 0 for every member.
  const std::vector<bool>* combinations = nullptr;
  // False: member deflections stay 0 in every case, for analyses nobody
  // reads a deflection of (the maximum search reads positions, moments,
  // shears and axial forces).
  bool deflections = true;
};

// Solves every load case and combination of the model into results
// (cleared first). The model's member lengths and angles are set. Returns
// an empty text on success; otherwise a message, results cleared and
// marked failed.
std::string SolveFrame(FrameModel& model, AnalysisResults& results,
                       const FrameSolveOptions& options = {});

namespace solver {

// The first value of the model that is not a finite number (or a
// coordinate too large to square), named; empty when every value is usable.
std::string NonFiniteInput(const FrameModel& m);

// The output points of every member (1-based): its ends, equal divisions
// and specified positions, sorted, points closer than 0.1 mm taken once.
void SetOutputPoints(const FrameModel& model, std::vector<MemberData>& mem);

// A results record allocated for the model: counts, node coordinates and
// their extent, each member's ends and output positions (from `mem`).
void StartResults(const FrameModel& model, const std::vector<MemberData>& mem, int nlc, int nco,
                  AnalysisResults& res);

}  // namespace solver

}  // namespace vaultra
