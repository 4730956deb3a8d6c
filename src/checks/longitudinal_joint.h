// Longitudinal joint check: the axial forces of the top and bottom members
// of each interior span of the longitudinal frame, summed per span, checked
// for level-1 and level-2 earthquake motion against the capacity of the PC
// bars and distribution bars and against the allowable joint opening.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "analysis/analysis_results.h"

namespace vaultra {

constexpr int kMaxJointPairs = 51;

struct LongitudinalJointInput {
  bool longitudinal_analysis_on = false;             // the model page's longitudinal check option
  const AnalysisResults* results = nullptr;          // longitudinal results
  int first_top = 0, last_top = 0, last_bottom = 0;  // longitudinal model members
  double Ppy = 0, Ap = 0, np = 0;                    // PC bars: N/mm², mm², per acting width
  double As = 0, ns = 0;                             // distribution bars
  double Ua1 = 0, Ua2 = 0;                           // allowable joint openings (mm)
  double fyd = 0;                                    // bottom-slab rebar yield strength (N/mm²)
  double Es = 0;                                     // block-part rebar Young's modulus (N/mm²)
  double Wl = 0;                                     // span measure (m)
  double L = 0;                                      // effective length of block 1 (m)
};

struct JointForceEntry {
  int top = 0;
  double Nt = 0;
  int bottom = 0;
  double Nb = 0;
  double v = 0;  // kN
};

struct JointForceRecord {
  JointForceEntry tension, compression, magnitude, largest;
};

struct JointPair {
  int top = 0, bottom = 0;
  double Nt = 0, Nb = 0, v = 0;
};

struct LongitudinalJointResult {
  bool skipped = false;  // the longitudinal analysis is off: nothing was checked
  std::string message;   // cp932, why it was skipped
  std::array<JointForceRecord, 3> forces{};
  std::array<std::vector<JointPair>, 3> pairs;  // pair g at index g − 1
  int pair_count = 0;
  std::array<double, 3> largest_sum{};
  std::array<int, 3> largest_index{};
  double N_plus = 0, N_minus = 0, N_a = 0;
  double Pcap = 0;                              // N/m
  std::array<bool, 2> capacity_ok{true, true};  // L1, L2
  double ell = 0;                               // mm
  std::array<double, 2> delta{};                // mm
  std::array<bool, 2> opening_ok{true, true};
};

LongitudinalJointResult CheckLongitudinalJoints(const LongitudinalJointInput& in);

}  // namespace vaultra
