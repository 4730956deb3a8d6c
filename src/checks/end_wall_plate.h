// Elastic rectangular plates under a pressure that varies linearly over the
// height, for the two-way slab check of the end walls.
//
// The plate spans a (horizontal, x from the left edge) by b (vertical, y
// downward from the top edge). The load is q(y) = qu + qt·y/b: a uniform part
// and a triangular (hydrostatic) part that is 0 at the top and qt at the
// bottom. Both side edges have the same support; top and bottom each have
// their own. Two solutions are offered:
//  - Lévy's single series (sides hinged, top and bottom hinged or clamped):
//    the strip solution in closed form plus the homogeneous series;
//  - a finite-difference solution of the biharmonic equation for any edge
//    combination (needed for clamped sides).
// Solutions are dimensionless (b = 1, D = 1, unit load) and cached per aspect
// ratio and supports by PlateCache; a caller scales them with PlateForcesAt.
#pragma once

#include <array>
#include <deque>
#include <vector>

namespace vaultra {

enum class PlateEdge { kHinged, kClamped };

struct PlateSupports {
  PlateEdge sides = PlateEdge::kHinged;   // x = 0 and x = a
  PlateEdge top = PlateEdge::kHinged;     // y = 0
  PlateEdge bottom = PlateEdge::kHinged;  // y = b
  bool operator==(const PlateSupports&) const = default;
};

// Deflection and section forces per unit width at one point. Mx bends about
// the y-axis (stresses in x, carried by the horizontal bars), My about the
// x-axis (vertical bars); positive moments put the face away from the load in
// tension. Qx, Qy are the transverse shear forces on sections x = const and
// y = const.
struct PlateForces {
  double w = 0, Mx = 0, My = 0, Qx = 0, Qy = 0;
};

enum class PlateMethod { kLevy, kFiniteDifference };

// One dimensionless solution: for b = 1, D = 1 and the unit uniform load
// (q = 1) and the unit triangular load (q = y).
class PlateSolution {
 public:
  // Lévy series; the sides must be hinged.
  static PlateSolution Levy(double ratio, PlateSupports sup, int terms = 100);
  // Finite differences with about `intervals` grid intervals over the
  // shorter side (at least 8).
  static PlateSolution FiniteDifference(double ratio, PlateSupports sup, int intervals = 40);

  double ratio() const { return ratio_; }
  PlateSupports supports() const { return sup_; }
  PlateMethod method() const { return method_; }

  // Forces at (x, y), 0 ≤ x ≤ ratio, 0 ≤ y ≤ 1, for the two unit loads
  // (index 0 uniform, 1 triangular), with Poisson's ratio nu.
  std::array<PlateForces, 2> At(double x, double y, double nu) const;

 private:
  PlateSolution() = default;
  std::array<PlateForces, 2> LevyAt(double x, double y, double nu) const;
  std::array<PlateForces, 2> GridAt(double x, double y, double nu) const;

  double ratio_ = 1;
  PlateSupports sup_;
  PlateMethod method_ = PlateMethod::kLevy;
  // Lévy: per odd m (index k, m = 2k + 1) and load, coefficients of
  // e^{-s}, s·e^{-s}, e^{-t}, t·e^{-t} (s = αy, t = α(1 - y)).
  std::vector<std::array<std::array<double, 4>, 2>> levy_;
  // Grid: nodes (nx + 1) × (ny + 1), per load the fields w, wxx, wyy, Qx, Qy.
  int nx_ = 0, ny_ = 0;
  std::array<std::array<std::vector<double>, 5>, 2> grid_;
};

// A small cache of solutions keyed by aspect ratio (to 1e-4) and supports,
// owned by the caller (one per calculation run or session).
class PlateCache {
 public:
  // Lévy where it applies (hinged sides), finite differences otherwise.
  const PlateSolution& Get(double ratio, PlateSupports sup);
  int size() const { return static_cast<int>(items_.size()); }

 private:
  struct Item {
    long key;
    PlateSupports sup;
    PlateSolution sol;
  };
  std::deque<Item> items_;  // references stay valid as it grows
};

// Forces in a real plate: spans a, b (m), load q(y) = qu + qt·y/b (kN/m²),
// at (x, y) in m; moments kN·m/m, shears kN/m, w·D in kN·m (divide by D).
PlateForces PlateForcesAt(const PlateSolution& sol, double b, double qu, double qt, double x,
                          double y, double nu);

}  // namespace vaultra
