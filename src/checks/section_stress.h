// Working stresses of a rectangular reinforced-concrete section by the
// allowable-stress method (Young's modulus ratio n): bending with or without
// axial force, the resultant inside or outside the core, and the shear stress
// with its lever arm. Units N and mm, stresses N/mm².
#pragma once

#include <array>
#include <string>

namespace vaultra {

struct SectionStressInput {
  double H = 0;        // section height for the stresses
  double Hs = 0;       // section height for the shear stress
  double b = 0;        // width
  double n = 15;       // Young's modulus ratio
  double c_comp = 0;   // c′: compression edge to compression steel centre
  double As_comp = 0;  // A′s
  double c_tens = 0;   // c: tension edge to tension steel centre
  double As_tens = 0;  // As
  double M = 0;        // N·mm; its sign gives the tension side
  double S = 0;        // N
  double N = 0;        // N, compression positive
  bool j_is_one = false;
};

// The intermediate values the section-detail window lists. Every field is
// reset by each call; those a case does not compute stay 0.
struct SectionStressDetail {
  std::string case_text;  // cp932
  double Ai = 0, G = 0, yc = 0, yt = 0, e = 0, Ii = 0;
  double kt = 0, kc = 0;          // core radii (tension side, compression side)
  double et = 0, et2 = 0;         // tension core limits (the second recorded only)
  std::array<double, 4> cubic{};  // 1, p, q, r when a cubic was solved
  std::array<double, 3> roots{};  // its sorted roots
  double x = 0;
  double sigma_c = 0, sigma_c2 = 0;      // σc at the compression edge, σc′ at the other
  double sigma_s_comp = 0, sigma_s = 0;  // σs′, σs (tension positive)
  double sigma_c_max = 0, sigma_s_max = 0;
  double j = 0, tau = 0;
};

struct SectionStressResult {
  int code = 0;        // case code, negated when M was negative
  double sigma_c = 0;  // larger edge concrete stress, compression positive
  double sigma_s = 0;  // larger steel stress, tension positive
  double tau = 0;
  double x = 0;   // neutral axis depth; H/2 when no cubic was solved
  double e = 0;   // eccentricity M/N
  double yc = 0;  // centroid depth of the transformed section
  bool has_cubic = false;
  std::array<double, 4> cubic{};  // 1, p, q, r
  double j = 0;
  double d = 0;  // effective depth of τ = S/(b·j·d)
  SectionStressDetail detail;
};

// Case codes (the sign of the returned code gives the tension side).
constexpr int kStressCompressionInCore = 1;  // also the case without axial force
constexpr int kStressTensionInCore = 2;
constexpr int kStressCompressionOutCore = 3;
constexpr int kStressTensionOutCore = 4;

SectionStressResult SectionStress(const SectionStressInput& in);

// Roots of x³ + p·x² + q·x + r = 0 in ascending order (each rounded to
// 0.001 below 1e6 in magnitude) and the one the neutral-axis rule picks.
// When the cubic has a single real root, all three entries hold it: the
// real part of a complex pair is no root and must never be chosen.
struct CubicRoots {
  std::array<double, 3> sorted{};
  double chosen = 0;
};
CubicRoots SolveCubicRoots(double p, double q, double r);

// The neutral-axis rule: the middle root when the smallest is not negative,
// else the middle one unless it is negative too, else the largest; at least
// 0.001.
double SolveNeutralAxisCubic(double p, double q, double r);

}  // namespace vaultra
