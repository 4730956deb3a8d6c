// Static soil and water tables: cover groups and cover pressures, the side
// earth pressure tables of the walls, the external water table and the
// member weight table with the self-weight reaction.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/input_records.h"
#include "model/seismic.h"
#include "model/structure_model.h"

namespace vaultra {

constexpr int kMaxCoverGroups = 5;
constexpr int kMaxPressureRows = 31;

struct CoverGroup {
  int depth_mm = 0;
  int members = 0;
};

struct CoverRow {
  double bottom = 0, gamma = 0, t = 0, weight = 0, cumulative = 0, vertical = 0;
};

struct CoverRecord {
  std::vector<CoverRow> rows;
  int water_row = 0;
  double pv = 0, sigma_v = 0, zc = 0, c = 0, phi = 0, s = 0;
};

struct SideRow {
  double z = 0, gamma = 0, t = 0;
  std::array<double, 3> inc{}, p{}, half_inc{}, half_p{};
  double water = 0;
};

struct SidePressureTable {
  std::vector<SideRow> rows;  // rows[0] is row 1
  int top_row = 1;
  int water_row = 999;
  double q = 0;
  int Count() const { return static_cast<int>(rows.size()); }
  const SideRow& Row(int k) const { return rows.at(static_cast<std::size_t>(k - 1)); }
};

struct WaterRow {
  std::string name;
  double z = 0, dz = 0, dp = 0, gamma_w = 0, p = 0;
};

struct ExternalWaterTable {
  std::vector<WaterRow> rows;  // rows[0] is the reference (zw, 0); rows 1..n follow
  int Count() const {
    return static_cast<int>(rows.size()) - 1 < 0 ? 0 : static_cast<int>(rows.size()) - 1;
  }
};

struct WeightRow {
  bool used = false;
  std::string name, symbol;
  double t = 0, len = 0, ratio = 1;
  int n = 0;
  double w = 0, wc = 0;
};

struct WeightTable {
  std::array<WeightRow, 33> rows{};  // 1..32
  double total = 0;
  std::array<double, 3> reaction{};  // per level
};

struct PressureTables {
  std::vector<CoverGroup> groups;                 // groups[0] is group 1
  std::array<std::vector<CoverRecord>, 2> cover;  // [0 backfill, 1 strata][group - 1]
  // side[variant][direction]: variant 0 backfill, 1 strata.
  std::array<std::array<SidePressureTable, 2>, 2> side;
  ExternalWaterTable water;
  WeightTable weights;
  double water_depth = 0;  // min(total layer depth, groundwater depth)
};

// The member's cover group thickness rule and grouping (sets cover_group).
void GroupCoverDepths(const BlockRow& row, StructureModel& tm, std::vector<CoverGroup>& groups);
CoverRecord CoverPressureBackfill(const LoadsRecord& lr, int cover_mm, int water_mm);
CoverRecord CoverPressureStrata(const LoadsRecord& lr, const std::vector<GroundLayer>& layers,
                                int cover_mm, int water_mm);
SidePressureTable SidePressureBackfill(const LoadsRecord& lr, const GroundQuantities& g, int top_mm,
                                       int bottom_mm, int water_mm, double q);
SidePressureTable SidePressureStrata(const LoadsRecord& lr, const GroundQuantities& g,
                                     const std::vector<GroundLayer>& layers, int top_mm,
                                     int bottom_mm, int water_mm, double q);
ExternalWaterTable BuildExternalWaterTable(double zw, double zt, double zb, double gamma_w);
void ComputeMemberWeights(int layout, const BlockRow& row, const StructureModel& tm, double gamma1,
                          WeightTable& w);

// All static tables in their order.
void PrepareStaticTables(const SeismicContext& ctx, StructureModel& tm, const StructureModel& lm,
                         const GroundQuantities& g, PressureTables& p);

}  // namespace vaultra
