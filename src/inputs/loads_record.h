// The loads record and the materials record as the calculation reads them,
// taken from the loads page's and the material page's controls.
#pragma once

#include <array>
#include <string>


namespace vaultra {

// Seismic design methods.
enum SeismicMethod : int { kMethodResponseDisplacement = 0, kMethodSeismicCoefficient = 1 };
// Ground spring formulas.
enum SpringFormula : int {
  kSpringUnderground = 0,
  kSpringRoadBridge = 1,
  kSpringFem = 2,
  kSpringTyped = 3
};
// Earth pressure options of the seismic cases.
enum EarthOption : int { kEarthOneSide = 0, kEarthBothSides = 1, kEarthOneSidePassive = 2 };

// Four spring constants per level (index 0 normal, 1 L1, 2 L2), kN/m3.
struct SpringSet {
  std::array<double, 3> kh{}, kv{}, kss{}, ksb{};
};

struct LoadsRecord {
  double kah = 0.5, kav = 0.5;
  double gamma_t = 22, gamma_sub = 22, gamma_w = 9.8;
  double cohesion = 10, friction = 22;
  double q = 10, ps = 100, pb = 100, q_longitudinal = 10.1;
  int method = kMethodResponseDisplacement;
  bool strata = false;
  int sv1_standard = 1;  // 0 parking-facility guideline, 1 sewerage guideline
  int soil_class = 0;    // 0 clay, 1 sand and gravel, 2 sandy soil
  double cs = 1.0;
  int region = 4;  // A1, A2, B1, B2, C
  int spring_formula = kSpringRoadBridge;
  std::array<double, 3> alpha_d{0, 0.5, 0.5};
  bool cap_10m = false;
  int eo_method = 2;  // 1..4
  double eoh = 30000, eov = 30000;
  std::array<SpringSet, 2> typed;  // transverse, longitudinal
  int earth_option = kEarthBothSides;
  // Typed circumferential shear: [Tau, Tab, Tas][level 1, 2].
  std::array<std::array<double, 3>, 3> tau{};
};


}  // namespace vaultra
