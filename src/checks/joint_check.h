// The transverse joint check between blocks (bolts and bedding mortar) and
// the derived values of the joint design record: the preparation step
// (largest block weight, initial PC-bar stress), the list items built from
// the master tables, the values a list change sets, the joint defaults of a
// product change, the effective area Ac and the distribution-bar count.
// Pure calculations over plain inputs; the page binds them to its controls.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "inputs/structure_model.h"

namespace vaultra {

struct MasterData;

// ---- Transverse joint check ----

// Axial forces (kN, tension positive) of one member at its first and last
// output point, with its member type.
struct MemberEndAxial {
  int type = 0;
  double first = 0;
  double last = 0;
};

struct TransverseJointInput {
  double Ps = 160;        // bolt shear stress (N/mm²)
  double nB = 1.33;       // bolts per metre
  double AB = 3.53;       // area per bolt (mm²)
  double sigma_ga = 9.0;  // mortar compressive stress (N/mm²)
  double Ac = 2000;       // effective area (cm²)
  // Level 1 and level 2: every member of the transverse results (the
  // second and third combination); only top-slab members (types 19, 20) count.
  std::array<std::vector<MemberEndAxial>, 2> members;
};

struct TransverseJointLevel {
  double nmax_compression = 0;  // kN, magnitude
  double nmax_tension = 0;      // kN
  bool ng_compression = false;
  bool ng_tension = false;
};

inline constexpr int kColourRed = 255;
inline constexpr int kColourBlue = 0xFF0000;

struct TransverseJointResult {
  double na_compression = 0;  // kN
  double na_tension = 0;      // kN
  std::array<TransverseJointLevel, 2> level{};
  // Lb1A, Lb1H, Lb2A, Lb2H (cp932) and their colours.
  std::array<std::string, 4> labels;
  std::array<int, 4> colours{};
  bool ok() const;
};

TransverseJointResult CheckTransverseJoints(const TransverseJointInput& in);

// ErrPc, ErrBosui and ErrBolt from the longitudinal verdicts (true when
// satisfied) of levels 1 and 2.
struct JointErrorTexts {
  std::string err_pc, err_bosui, err_bolt;
};
JointErrorTexts JointErrors(const std::array<bool, 2>& capacity_ok,
                            const std::array<bool, 2>& opening_ok);

// ---- Preparation step ----

using Point2 = std::pair<double, double>;

// Area of a simple polygon (either orientation), m² for points in m.
double PolygonArea(const std::vector<Point2>& pts);

// One real block's outline (block coordinates, m) and, in the box layout,
// its inner opening.
struct BlockShape {
  int kind = 0;
  std::vector<Point2> outer;
  std::vector<Point2> opening;
};

// Largest block weight (kN): the largest outline area of the blocks of kind
// 1, 2, 3 (box layout: minus the opening) × γc of member group 1 × L of
// block 1.
double LargestBlockWeight(const std::vector<BlockShape>& blocks, bool box_layout, double gamma_c1,
                          double L1);

// Po = weight·1000 / (2·Ap), with 0.1 in place of 2·Ap below 0.1 (N/mm²).
double InitialTensileStress(double block_weight, double Ap);

// ---- Lists of the page, from the master tables ----

struct JointLists {
  std::vector<std::string> bolt_types;   // TBoltS
  std::vector<std::string> bolt_sizes;   // TBoltK, RBoltK
  std::vector<std::string> mortar;       // TMoltl
  std::vector<int> mortar_record;        // master material index of each TMoltl item
  std::vector<std::string> pc_kinds;     // PcS
  std::vector<std::string> pc_sizes;     // p5Cb_PcNam
  std::vector<std::string> rebar_sizes;  // p8Cb_Nam and the six end-wall bar lists
};
JointLists BuildJointLists(const MasterData& md);

// The first item containing a text, or -1.
int FindItemContaining(const std::vector<std::string>& items, const std::string& text);
// The end-wall bar diameter of a list item: the number after its first
// character once trimmed ("D16" gives 16); 0 when none.
double BarDiameterOfItem(const std::string& item);

// ---- Values set by a list change (index = list index) ----

double BoltShearStress(const MasterData& md, int index);  // TBoltS: Ps
double BoltArea(const MasterData& md, int index);         // TBoltK: AB (mm²)
std::optional<double> MortarStress(const MasterData& md, const std::string& item);  // TMoltl: σga
std::pair<double, double> PcStrengths(const MasterData& md, int index);             // PcS: Ppu, Ppy
double PcBarArea(const MasterData& md, int index);            // p5Cb_PcNam: Ap
double PcBarCount(bool box_layout);                           // np: 4 box, 3 stand
double DistributionBarArea(const MasterData& md, int index);  // p8Cb_Nam: As (mm²)
double ConnectingBoltForce(const MasterData& md, int index);  // RBoltK: Pr
double AnchorPerimeter(const std::string& item);              // AncK: u (mm)

// ---- Defaults of a product change ----

// The numeric fields and list selections the joint defaults touch.
struct JointDefaults {
  int bolt_type = -1, bolt_size = -1, mortar = -1, pc_kind = -1, pc_size = -1, dist_bar = -1;
  double Ps = 160, AB = 3.53, nB = 1.33, sigma_ga = 9.0, Ac = 2000;
  double Ppu = 930, Ppy = 1080, Ap = 1.33, np = 1.33, As = 123.4;
};
// ResetJointDefaults: items chosen by their texts ("SS400", "M24", "20.",
// "13.", "D13"); a missing item keeps the selection and its value. Ppu, Ppy
// follow the current PC-bar kind (fields.pc_kind).
void ResetJointDefaults(JointDefaults& fields, const MasterData& md, const JointLists& lists,
                        bool box_layout, double L1, double Ac);

// Ac (cm²) = 10000 × min(1000, b of every slab block before the last block,
// f of block 1).
double JointEffectiveArea(const BlockRow& row, int real_block_count);

// ns over the cast-in-place zones first_zone..last_zone: the largest
// max(1, 2·RoundTo0(B/0.3 − 1 + 0.4999)); nothing when there is no zone.
std::optional<double> DistributionBarCount(const BlockRow& row, int first_zone, int last_zone);

}  // namespace vaultra
