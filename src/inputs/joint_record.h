// The joint design record of the other-checks page: what its commit takes
// from the page's controls and the end-wall and joint checks and the report
// read (bolts and mortar of the transverse joints, PC bars and distribution
// bars of the longitudinal joints, the end-wall bars, the connection data).
#pragma once

#include <array>
#include <string>

namespace vaultra {

inline constexpr int kEndWallMethodSimpleBeam = 0;  // "単純梁"
inline constexpr int kEndWallMethodTwoWay = 1;      // "二方向版"

// One bar layer of a face: diameter (mm) and bars per metre.
struct EndWallBar {
  double diameter = 0;
  double count = 0;
};

// The end-wall group of the joint design record.
struct EndWallBars {
  int method = kEndWallMethodSimpleBeam;      // RHari12
  bool vertical_outside = true;               // CkYokoUti: vertical bars nearer the faces
  double cover_inner = 40, cover_outer = 40;  // clear covers (mm)
  EndWallBar vertical_inner, vertical_outer;
  // Horizontal bars of the upper, middle and lower part (index 0, 1, 2).
  std::array<EndWallBar, 3> horizontal_inner{}, horizontal_outer{};
};

struct JointDesignRecord {
  // Transverse joint.
  std::string bolt_type;  // TBoltS (trimmed)
  double Ps = 160;        // bolt shear stress (N/mm²)
  double sigma_by = 160;  // bolt yield strength (N/mm², not shown)
  std::string bolt_size;  // TBoltK
  double AB = 3.53;       // area per bolt (mm²)
  double nB = 1.33;       // bolts per metre
  std::string mortar;     // TMoltl
  double sigma_ga = 9.0;  // mortar compressive stress (N/mm²)
  double Ac = 2000;       // effective area (cm²)
  // Longitudinal joint.
  double Ua1 = 1.33, Ua2 = 1.33;  // allowable joint openings (mm)
  std::string pc_kind;            // PcS
  double Ppu = 930, Ppy = 1080;   // N/mm²
  double Po = 500;                // initial tensile stress (N/mm²)
  double block_weight = 3.53;     // largest block weight (kN)
  std::string pc_size;            // p5Cb_PcNam
  double Ap = 1.33;               // nominal area (mm²)
  double np = 1.33;               // bars per acting width
  std::string dist_bar;           // p8Cb_Nam
  double As = 123.4;              // nominal area (mm²)
  double ns = 16;                 // bars per acting width
  // End walls (the middle horizontal bars equal the upper ones).
  EndWallBars end_wall;
  // Connection strength (carried; no verdict depends on it).
  std::string connecting_bolt_type, connecting_bolt_size;
  int connecting_bolt_count = 4;  // RBoltSu index + 4
  double Pr = 60;                 // kN
  std::string anchor_bar;
  double anchor_count = 4, anchor_length = 500,
         anchor_perimeter = 40;         // AncH, AncL (mm), AncU (mm)
  double sigma_sa = 180, tau_oa = 1.6;  // N/mm²
};

}  // namespace vaultra
