// Ground and seismic design quantities: shear-wave velocities, the ground
// period and class, design seismic coefficients, response velocities, ground
// constants and springs, and the seismic tables the load generators read
// (response-displacement earth pressure, circumferential shear, inertia,
// hydrodynamic pressure).
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "inputs/input_records.h"
#include "inputs/structure_model.h"

namespace vaultra {

// Directions of the two frame models.
enum Direction : int { kTransverse = 0, kLongitudinal = 1 };

struct LayerSeismic {
  double bottom = 0;  // cumulative bottom depth
  bool below_water = false;
  double vs = 0, h_over_vs = 0;
  double nu = 0, vsd_factor = 0, vsd = 0, g = 0, e = 0;  // the FEM choice (reported)
  std::array<double, 3> ke{};                            // earth pressure coefficients 0, L1, L2
};

// What the calculation derives from the ground and the loads page.
struct GroundQuantities {
  double H = 0;                      // seismic base depth
  double zw = 0;                     // groundwater depth clamped to H
  std::vector<LayerSeismic> layers;  // parallel to the ground layer list
  double tg = 0;
  int ground_class = 1;  // 1..3
  double cg = 0.8, cz = 1.0;
  double kh1 = 0, kh2 = 0, kh2_base = 0;
  std::array<double, 3> k{};       // Kah, KE1, KE2
  std::array<double, 3> k_half{};  // halves
  double gamma_m = 0, nu = 0;
  std::array<double, 3> ts{}, vsd{}, g{}, e{}, sv{};  // index 1 L1, 2 L2
  double nm = 0, nb = 10;
  // Spring geometry (transverse): height, length, width, areas, cap flags.
  double hs = 0, len = 0, width = 0, as = 0, ab = 0;
  bool hs_capped = false, len_capped = false, width_capped = false;
  // Longitudinal span measure and second width, side and bottom areas.
  double wl = 0, wc = 0, long_side_area = 0, long_bottom_area = 0;
  int wl_block = 0;
  std::array<SpringSet, 2> springs;  // transverse, longitudinal
};

struct ResponseRow {
  double z = 0;
  std::array<double, 3> u{}, ub{}, du{}, kh{}, p{};  // index 1 L1, 2 L2
};

struct HydroTable {
  std::vector<std::pair<double, double>> rows;  // (depth below the water surface, pressure)
  double f = 0, pf = 0, h = 0, kh = 0;
  std::array<double, 12> curve{};
  int mode = 0;  // 0 none, 1 all fixed water, 2 all free water, 3 both
};

struct InertiaEntry {
  int row = 0;
  bool upper = true;
  std::string name;
  double z = 0, t = 0, gamma = 0, w = 0;
  std::array<double, 3> kh{}, q{};
};

struct InertiaTable {
  // upper[r][λ], lower[r][λ] for member-type rows 1..32 and λ = 1, 2.
  std::array<std::array<double, 3>, 33> upper{}, lower{};
  std::vector<InertiaEntry> entries;
  double U(int r, int level) const {
    return upper.at(static_cast<std::size_t>(r)).at(static_cast<std::size_t>(level));
  }
  double L(int r, int level) const {
    return lower.at(static_cast<std::size_t>(r)).at(static_cast<std::size_t>(level));
  }
};

struct SeismicTables {
  std::array<ResponseRow, 6> response{};  // transverse, rows 1..5
  // shear[λ][row]: 0 τtop, 1 τbot, 2 min(τtop, strength), 3 min(τbot, strength), 4 mean of 2, 3.
  std::array<std::array<double, 5>, 3> shear{};
  std::array<double, 3> strength_top{}, strength_bottom{};
  InertiaTable inertia;                            // transverse
  std::array<std::array<HydroTable, 3>, 2> hydro;  // [direction][level]

  // The peripheral shear the frame applies at level 1 or 2 (kN/m²): on the
  // top slab τtop, on the bottom slab τbot, on the side walls τtop capped by
  // the shear strength (row 2; the mean of row 4 is not applied).
  double TopSlabShear(int level) const { return shear.at(static_cast<std::size_t>(level))[0]; }
  double BottomSlabShear(int level) const { return shear.at(static_cast<std::size_t>(level))[1]; }
  double SideWallShear(int level) const { return shear.at(static_cast<std::size_t>(level))[2]; }
  // Seismic coefficient method: what the top-slab shear (row 0, the cover
  // inertia) was made of: τtop = σv(z)·kh(λ, z) at the depth z of the top
  // slab's axis, with kh(λ, z) = CoverInertiaCoefficient.
  double cover_shear_depth = 0, cover_shear_sigma_v = 0;
  std::array<double, 3> cover_shear_kh{};
};

// Everything the ground quantities read.
struct SeismicContext {
  const InputRecords* rec = nullptr;
  const BlockRow* row = nullptr;
  int layout = 0;
  const StructureModel* transverse = nullptr;
  const StructureModel* longitudinal = nullptr;
};

// (a, b) of the seismic earth pressure coefficient K = a + b·kh by the
// earth-pressure soil class (0 clay, 1 sand and gravel, 2 sandy soil).
std::pair<double, double> EarthCoefficients(int soil_class);

// The basis of the "道路橋式" springs: α by the Eo method and the seismic
// method, Eo of the side and the bottom, k0 = α·Eo/0.3, and the square
// roots of the loaded areas (rounded to 0.001 when round is set).
struct RoadBridgeBasis {
  double alpha = 1, eoh = 0, eov = 0, k0h = 0, k0v = 0, root_side = 0, root_bottom = 0;
};
RoadBridgeBasis RoadBridgeSpringBasis(const LoadsRecord& lr, const GroundQuantities& g,
                                      double side_area, double bottom_area, bool round);

// The shear-wave velocity of a layer (m/s) by soil kind (1 clay, 2 sandy) and N.
double ShearWaveVelocity(int soil, double n_value);
// The design response velocity Sv (m/s) of a level for the natural period.
double ResponseVelocity(int level, double ts, int sv1_standard, int region, double cz);
// Shear strength of soil c + σv·tan φ (φ in degrees).
double ShearStrength(double c, double sigma_v, double phi_degrees);

// The seismic coefficient of the cover inertia at level 1 or 2: the design
// coefficient kh1 or kh2 reduced to the cover's mid-depth zt/2,
// (1 − 0.015·zt/2)·kh. The frame's top-slab shear and the report's cover
// inertia table both take it.
double CoverInertiaCoefficient(const GroundQuantities& g, int level, double cover_depth);
// The coefficient f(B/h) of the Westergaard pressure.
double HydroCoefficient(double ratio);

// Ground part: velocities, period, coefficients, constants and springs.
void ComputeGroundQuantities(const SeismicContext& ctx, GroundQuantities& g);
// The response velocities and the seismic tables (after the static tables).
void ComputeSeismicTables(const SeismicContext& ctx, GroundQuantities& g, SeismicTables& s);
// The hydrodynamic table of a direction and level.
HydroTable BuildHydroTable(double width, double stored_depth, double inner_height,
                           double kh_surface, double bottom_depth, double gamma_w);

}  // namespace vaultra
