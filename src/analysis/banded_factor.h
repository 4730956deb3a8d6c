// The fast path of the internal frame solver's stiffness equations: the
// nodes numbered in reverse Cuthill-McKee order, and a banded (skyline)
// LDL^T factorisation of the free degrees of freedom, factored once per
// support and spring case and reused for every load case.
#pragma once

#include <cstddef>
#include <vector>

#include "analysis/beam_element.h"
#include "analysis/stiffness_system.h"

namespace vaultra::solver {

// Banded (skyline) LDL^T of the free degrees of freedom, numbered in the
// reverse Cuthill-McKee order of the nodes.
struct Factor {
  bool usable = false;             // false: a pivot vanished, use the dense path
  std::vector<int> dof_of;         // reduced index -> dof
  std::vector<int> first;          // first column of each row
  std::vector<std::size_t> start;  // offset of each row's entries
  std::vector<double> lower;       // rows, columns first..i-1: L
  std::vector<double> diag;
  std::vector<int> zero_rows;  // free dofs with an empty row, left out
};

// The nodes in reverse Cuthill-McKee order of the system's node blocks.
std::vector<int> ReverseCuthillMcKee(const System& sys);

// The node order of the prepared members (1-based): each member couples
// its two end nodes.
std::vector<int> MemberNodeOrder(int node_count, const std::vector<MemberData>& mem);

// Factors the system's free degrees of freedom in the given node order;
// not usable when a pivot vanishes.
Factor FactorSystem(const System& sys, const std::vector<int>& node_order);

// Solves with a factorization; false when the load needs the dense path.
bool SolveFactor(const Factor& f, int n, const std::vector<double>& load, std::vector<double>& u);

}  // namespace vaultra::solver
