// The stiffness equations of the internal frame solver: the global matrix
// in 3x3 node blocks with its restraints, and the literal dense Gaussian
// elimination that is the reference every faster path is checked against.
#pragma once

#include <array>
#include <map>
#include <vector>

#include "analysis/analysis_results.h"
#include "analysis/beam_element.h"
#include "model/frame_model.h"

namespace vaultra::solver {

// A row whose largest element is below this is empty.
constexpr double kZeroRow = 1e-32;
// A pivot below this fraction of the largest diagonal term marks the system
// singular: the structure is a mechanism for this support and spring case.
constexpr double kSingularRatio = 1e-12;

struct System {
  int n = 0;  // degrees of freedom (3 per node)
  std::vector<bool> restrained;
  // Global matrix as 3x3 node blocks: blocks[p] maps node q -> block (p, q).
  std::vector<std::map<int, std::array<double, 9>>> blocks;
  std::vector<double> row_max;  // largest |element| of each full row
};

// Dense Gaussian elimination without row exchange, on the free degrees of
// freedom; a vanishing pivot takes the following rows added to its own
// until it does not vanish. False when the system is singular.
bool SolveDense(const System& sys, const std::vector<double>& load, std::vector<double>& u);

// The global matrix of the prepared members (1-based) for one spring and
// support case (index 0: none): lumped distributed springs and support
// springs on the diagonal, restraints marked.
System AssembleSystem(const FrameModel& model, const std::vector<MemberData>& mem, int spring_idx,
                      int support_idx);

// Sets the largest |element| of each row from the node blocks.
void SetRowMax(System& sys);

// What the supports of a case (index 0: none) exert on the frame for the
// displacements u under the nodal loads: at a restrained direction the
// force the stiffness needs beyond the loads, at a support spring the
// spring's force. One entry per supported node, in the order the nodes
// first appear.
std::vector<SupportReaction> SupportReactions(const FrameModel& model, const System& sys,
                                              int support_idx, const std::vector<double>& load,
                                              const std::vector<double>& u);

}  // namespace vaultra::solver
