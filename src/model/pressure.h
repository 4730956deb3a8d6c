// Static soil and water tables: cover groups and cover pressures, the side
// earth pressure tables of the walls, the external water table, the
// member weight table with the self-weight reaction, the rear-wheel zones,
// and the breakdowns of these numbers that only the report prints.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "inputs/input_records.h"
#include "inputs/structure_model.h"
#include "model/seismic.h"

namespace vaultra {

constexpr int kMaxPressureRows = 31;

struct CoverGroup {
  int depth_mm = 0;
  int members = 0;
};

struct CoverRow {
  double bottom = 0, gamma = 0, t = 0, weight = 0, cumulative = 0, vertical = 0;
};

// Cover shear of one seismic level (report): coefficient k, kh at the
// cover depth, τ = kh·σv and the smaller of τ and the shear strength.
struct CoverShear {
  double k = 0, kh = 0, tau = 0, governing = 0;
};

struct CoverRecord {
  std::vector<CoverRow> rows;
  int water_row = 0;
  double pv = 0, sigma_v = 0, zc = 0, c = 0, phi = 0, s = 0;
  std::array<CoverShear, 2> shear{};  // L1, L2
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

// One loaded zone of the rear wheel: centred on a top member's mid-point.
struct WheelZone {
  int member = 0;
  double left = 0, right = 0, pw = 0;
  // What pw = 2·P·(1 + i)·β / (2.75·w) was made of: the wheel load P (kN),
  // the impact factor i, the reduction β, the cover D over the member (m)
  // and the distribution width w = 2·D + 0.2 (m).
  double P = 0, impact = 0, beta = 0, cover = 0, width = 0;
};

// Report-only records.
struct CoverLoadEntry {
  std::string name;
  double p = 0, len = 0, force = 0;
  int count = 0;
};
// One entry per distinct name, pressure and length: the master products
// give a few, edited slabs one per top member.
struct CoverLoadTable {
  std::vector<CoverLoadEntry> entries;
  double total = 0, width = 0, per_width = 0;
};
struct ReportRow {
  std::string name;
  double k = 0, z = 0, t = 0, gamma = 0, value = 0, sum = 0;
};
struct CoverSoilRows {
  std::vector<ReportRow> rows;  // t, gamma and value = Kav·t·γ
  double total = 0;
};
struct StaticEarthRows {
  int case_mark = 0;            // 2 water above the top, 3 between top and bottom, 1 below
  std::vector<ReportRow> rows;  // value = K·γ·t, sum its running total
};
struct InternalWaterLevel {
  double h = 0, floor = 0, reaction = 0;
};
struct WheelReportEntry {
  double pw = 0, width = 0;
  int count = 0;
  WheelZone zone;  // the first zone of the entry: the basis of its pw
};
struct RearWheelReport {
  std::vector<WheelReportEntry> entries;
  double total = 0, per_width = 0;
};
struct PressureReport {
  std::array<CoverLoadTable, 2> cover_load;  // backfill, strata
  double q = 0, kah_q = 0;                   // the surcharge record
  CoverSoilRows cover_soil;
  std::array<StaticEarthRows, 2> static_earth;  // transverse and longitudinal copies
  std::array<InternalWaterLevel, 3> internal_water{};
  RearWheelReport rear_wheel;
};

struct PressureTables {
  // One group per distinct cover depth of the top members. The master
  // dimensions give at most four; edited slabs or boxes can give one per
  // top member, and every one of them keeps its own group.
  std::vector<CoverGroup> groups;                 // groups[0] is group 1
  std::array<std::vector<CoverRecord>, 2> cover;  // [0 backfill, 1 strata][group - 1]
  // side[variant][direction]: variant 0 backfill, 1 strata.
  std::array<std::array<SidePressureTable, 2>, 2> side;
  ExternalWaterTable water;
  WeightTable weights;
  double water_depth = 0;  // min(total layer depth, groundwater depth)
  PressureReport report;
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

// The cover shear of the levels L1, L2 at the record's depth zc.
void SetCoverShear(CoverRecord& r, const GroundQuantities& g);

// The loaded zones of the rear wheel, one per top member in member order
// (transverse model; cover depth D of the model page).
std::vector<WheelZone> RearWheelZones(int layout, const BlockRow& row, const StructureModel& tm,
                                      const LoadsRecord& lr, double cover_depth);
RearWheelReport SummariseWheelZones(const std::vector<WheelZone>& zones, double width);

// The report breakdowns, from the records above.
CoverLoadTable CoverLoadPerCategory(const StructureModel& tm,
                                    const std::vector<CoverRecord>& cover);
CoverSoilRows CoverSoil(const LoadsRecord& lr, double cover_depth, double zw);
StaticEarthRows StaticEarthPressure(const LoadsRecord& lr, double zt, double zb, double zw);
std::array<InternalWaterLevel, 3> InternalWaterSummary(const ModelRecord& model,
                                                       const StructureModel& tm, double gamma_w);

// All static tables in their order.
void PrepareStaticTables(const SeismicContext& ctx, StructureModel& tm, const StructureModel& lm,
                         const GroundQuantities& g, PressureTables& p);

}  // namespace vaultra
