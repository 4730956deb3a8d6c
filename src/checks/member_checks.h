// Member checks of the transverse frame: for each of the three check
// combinations (normal, level 1, level 2) a check table per member whose rows
// carry the section forces at the output points, the section there and the
// checks that apply, each row evaluated by CheckPoint.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "analysis/analysis_results.h"
#include "checks/check_point.h"
#include "inputs/master_data.h"
#include "inputs/structure_model.h"

namespace vaultra {

constexpr int kCheckCombinations = 3;
constexpr int kCheckTableRows = 21;  // rows after row 0
constexpr int kCheckTableMembers = kMaxMembers + 1;

// Check group of a member type code (0 when the code has none).
int CheckGroupOf(int type_code);
// Material column (1 block part, 2 top slab, 3 bottom slab) of a type code.
int MaterialColumnOf(int type_code);

// The check table of one member in one combination. Row 0's header values
// are kept as fields; rows 1 .. count are the output points, count + 1 the
// refined maximum.
struct MemberCheckTable {
  int max_index = 0;
  int count = 0;
  int type_code = 0;
  double length = 0;
  std::array<int, 8> s{};  // point-of-interest rows s0 .. s7 (0 = none)
  int partner = 0;         // box layout: the paired shoulder / wall member
  int former_count = 0;

  bool HasRow(int p) const { return p >= 1 && p <= kCheckTableRows; }
  // Rows 0 .. kCheckTableRows; out_of_range beyond. A row never written
  // reads as an empty record: only the rows asked for are made, for a
  // table of all rows is 18 KB and there are three per member. The storage
  // for all rows is reserved at once, so a row reference stays valid.
  CheckPointRecord& Row(int p);
  const CheckPointRecord& Row(int p) const;

 private:
  // The rows made so far; a copy reserves all rows again, as Row does.
  struct Rows {
    std::vector<CheckPointRecord> made;
    Rows() = default;
    Rows(const Rows& other);
    Rows& operator=(const Rows& other);
    Rows(Rows&&) noexcept = default;
    Rows& operator=(Rows&&) noexcept = default;
  };
  Rows rows_;
};

// 3 × members check tables, bounds-checked. The tables are sized for the
// model's members (kCheckTableMembers − 1 at most), not for the largest
// model: a table exists only for a member that has one.
struct MemberCheckTables {
  std::vector<MemberCheckTable> tables;  // 3 × (member_count + 1), slot 0 unused
  int member_count = 0;

  // Empties every table and sizes them for members members; false (and no
  // table) when members is negative or beyond the capacity.
  bool Reset(int members);
  MemberCheckTable& At(int k, int m);
  const MemberCheckTable& At(int k, int m) const;
};

// The five check overrides: a non-zero value replaces the computed one.
struct CheckOverrides {
  double sigma_s = 0, tau_c = 0, Mud = 0, Vcd = 0, Vsd = 0;
};

// Thickness profile of a member (m).
struct ThicknessProfile {
  double Lm = 0, Ti = 0, Tj = 0, pi = 0, pj = 0, zi = 0, zj = 0, eh = 0;
};

// Profile of member m from the working dimensions of its block.
ThicknessProfile BuildThicknessProfile(int layout, const StructureModel& model, const BlockRow& row,
                                       int m);
// Thickness (m) at x from the i-end.
double SectionHeightAt(const ThicknessProfile& p, double x);

// The first output point among 2 .. n − 1 at x (m), compared on the 0.001 m
// grid the output positions are rounded to; counted from the other end when
// reversed; 0 when none.
int FindPointAt(const MemberCaseResult& values, int n, double x, bool reversed);

// What CheckMembers reads besides the model and the results.
struct MemberCheckInput {
  int layout = 0;  // 0 stand, 1 box
  bool two_d_option = false;
  int cast_cover = 50;  // Kg (mm)
  bool seismic_coefficient_method = false;
  double Cs = 1.0;
  std::array<CheckMaterial, 4> materials{};  // material columns 1 .. 4
  std::array<SafetyFactorRow, 3> factors{};  // safety-factor rows 1 .. 3
  ShearCorrectionSwitches correction_switches;
  CheckOverrides overrides;
  FlexureRule flexure_rule = FlexureRule::kConstantEccentricity;
};

// Fills the check tables of every transverse member and refreshes the
// section records' derived areas (k12, k20, k25, k26). Returns an empty text,
// or a message (cp932) when the results do not fit the model (nothing is
// checked then).
std::string CheckMembers(const AnalysisResults& results, StructureModel& model, const BlockRow& row,
                         const MasterData& md, const MemberCheckInput& in, MemberCheckTables& out);

// Whether an evaluated row failed any of its checks.
bool RowFailed(const CheckPointRecord& row);
// The last row of a member's table that is checked: the output points and
// the refined maximum after them when there is one.
int LastCheckedRow(const MemberCheckTable& table);

// Which check of a row set its ratio: bending (stresses or flexural
// capacity), shear, or the level-2 capacity-design shear.
enum class GoverningCheck { kNone, kFlexure, kShear, kCapacityDesign };

// The check that sets the ratio of an evaluated row: the capacity design
// when its ratio is the larger, else shear when its ratio exceeds bending's.
GoverningCheck GoverningCheckOf(const CheckPointRecord& r);

// The governing row of one member in one combination, over the rows
// LastCheckedRow names: the first row of the largest ratio; a row whose
// ratio is no finite number governs (the first such row) and the member is
// N.G. row is 0 when nothing was checked.
struct GoverningRow {
  int row = 0;
  double ratio = 0;
  GoverningCheck governs = GoverningCheck::kNone;
  bool failed = false;  // some row failed a check
  bool finite = true;   // every ratio was a finite number
};
GoverningRow GoverningRowOf(const MemberCheckTable& table);

// The row with the largest ratio of one check (0 when no row has that check
// or all its ratios are 0) over the same rows; the first row wins a tie.
int LargestRatioRow(const MemberCheckTable& table, GoverningCheck check);
// The ratio of one check of a row.
double CheckRatio(const CheckPointRecord& r, GoverningCheck check);

// Applies the overrides to an evaluated row and re-derives its ratios and
// verdicts.
void ApplyCheckOverrides(CheckPointRecord& row, int kind, const CheckOverrides& ov);

}  // namespace vaultra
