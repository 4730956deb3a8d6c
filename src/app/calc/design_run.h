// Reinforcement design of the transverse members: for every shared face
// arrangement (a member's outer or inner face as the RC page's edit copies
// it to its check group, and the joint inserts of the cast-in-place bottom
// slab) the single-layer bar size and count per metre with the least steel
// that passes every member check of the run's forces and keeps the
// detailing limits (docs/design.md). Only the checks are rerun: the frame
// stiffness does not depend on the bars.
#pragma once

#include <string>
#include <vector>

#include "app/calc/run_analysis.h"
#include "app/document/project_state.h"
#include "checks/quantities.h"
#include "inputs/master_data.h"

namespace vaultra {

// Detailing limits (mm, ratios as fractions); sources in docs/design.md.
struct DetailingLimits {
  double aggregate_max = 20;         // largest coarse aggregate Gmax
  double clear_spacing_min = 20;     // absolute least clear spacing
  double spacing_max = 300;          // and at most twice the member thickness
  double ratio_min = 0.002;          // As / (b·d) of each face
  double balanced_share_max = 0.75;  // As / (b·d) ≤ this × the balanced ratio
  double stirrup_pitch_max = 300;    // and at most half the effective depth
};

// One layer-1 arrangement (layer 2 empty); counts per metre. For the
// stirrups of a member: diameter, legs per metre and pitch (mm).
struct BarChoice {
  int diameter = 0;
  double count = 0;
  int diameter2 = 0;  // the record's layer 2 (always 0 in a proposal)
  double count2 = 0;
  double pitch = 0;  // stirrups only
  bool operator==(const BarChoice&) const = default;
};

// One shared face: the representative member the edit is made on, the
// members that take its values, the arrangement before and after.
struct DesignFace {
  int member = 0;            // representative (member count + 1: the joint inserts)
  std::vector<int> members;  // every member whose section holds this face
  int group = 0;             // check group of the member type (0 for the inserts)
  bool inner = false;        // inner face (for a stand middle wall: both faces)
  bool both_faces = false;   // the edit writes both faces (stand layout, type 12)
  bool joint = false;        // the joint inserts (bolt sizes)
  bool stirrups = false;     // the members' shear reinforcement, not a face
  BarChoice before, after;
  double as_before = 0, as_after = 0;        // mm² per metre
  double ratio_before = 0, ratio_after = 0;  // governing ratio of the rows this face carries
  double mass_before = 0, mass_after = 0;    // kg per metre of facility length
  bool feasible = true;
  std::string failure;  // cp932: the member and the check no arrangement satisfies
  bool Changed() const { return !(before == after); }
};

struct DesignProposal {
  bool usable = false;  // the run had checkable transverse results
  std::string refusal;  // cp932, why nothing was designed
  std::vector<DesignFace> faces;
  double mass_before = 0, mass_after = 0;  // kg per metre, all faces
  bool AllFeasible() const {
    for (const DesignFace& f : faces)
      if (!f.feasible) return false;
    return usable;
  }
};

// The bar area of an arrangement (mm² per metre; bolt areas for inserts).
double ChoiceArea(const BarChoice& c, const MasterData& md, bool joint);
// "D13×8" or "M22×6" (cp932 "ｘ"), "D13ｘ4.00@250" for stirrups, "－"
// without bars.
std::string ChoiceText(const BarChoice& c, bool joint);

// The stirrup arrangements the limits allow for an effective depth (mm),
// lightest first by steel per metre of member (A·legs / pitch); the first
// is no stirrups.
std::vector<BarChoice> AllowedStirrups(const MasterData& md, double depth,
                                       const DetailingLimits& lim);

// The arrangements of one face the detailing limits allow, lightest first
// (ties: fewer bars first). thickness, cover to the bar centre and the
// effective depth in mm; min_clear_cover the least clear cover (0 for the
// inserts and the cast-in-place members, whose covers are to the bar centre).
std::vector<BarChoice> AllowedChoices(const MasterData& md, bool joint, double thickness,
                                      double centre_cover, double min_clear_cover, double sigma_ck,
                                      double fyk, const DetailingLimits& lim);

// Whether c keeps the limits for that face (the same rule as AllowedChoices).
bool ChoiceAllowed(const BarChoice& c, const MasterData& md, bool joint, double thickness,
                   double centre_cover, double min_clear_cover, double sigma_ck, double fyk,
                   const DetailingLimits& lim);

// The detailing limits of face f as they stand in the project (thickness,
// covers, materials) for AllowedChoices / ChoiceAllowed.
struct FaceLimits {
  double thickness = 0, centre_cover = 0, min_clear_cover = 0, sigma_ck = 0, fyk = 0;
};
FaceLimits FaceLimitsOf(const ProjectState& state, const DesignFace& f);

// The proposal over a finished run's transverse results; state is not
// changed. A face for which no allowed arrangement passes is infeasible and
// keeps its bars.
DesignProposal ProposeReinforcement(const ProjectState& state, const MasterData& md,
                                    const CalcRun& run, const DetailingLimits& lim = {});

// Writes face f's arrangement c into the state as the RC page's edits of
// the bar columns do (the copies to the check group included).
void ApplyFaceChoice(ProjectState& state, const MasterData& md, const DesignFace& f,
                     const BarChoice& c);
// Every feasible face's proposed arrangement, then the geometry the RC
// page's edit recomputes.
void ApplyProposal(ProjectState& state, const MasterData& md, const DesignProposal& p);

// Whether every member check passes with the state's bars over run's forces
// (the RC page's recheck), and the first failing row's member and check
// (cp932) when not.
bool MemberChecksPass(const ProjectState& state, const MasterData& md, const CalcRun& run,
                      std::string* failure = nullptr);

// The quantities of the project's blocks with its current bars.
Quantities QuantitiesOf(const ProjectState& state, const MasterData& md);

// The proposal's table as printed by vaultra design (cp932, one line each).
std::vector<std::string> ProposalTable(const DesignProposal& p);

}  // namespace vaultra
