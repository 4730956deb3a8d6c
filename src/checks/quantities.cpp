#include "checks/quantities.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "checks/member_checks.h"
#include "core/number.h"
#include "model/geometry.h"

namespace vaultra {

namespace {

// Steel density 7850 kg/m³ as kg per metre of bar per mm² of area.
constexpr double kSteelKgPerMm2M = 7850e-6;

void AddBars(BlockQuantity& q, int d, double length_m, double area_mm2) {
  if (d <= 0 || length_m <= 0 || area_mm2 <= 0) return;
  BarQuantity& b = q.bars[d];
  b.length_m += length_m;
  const double kg = length_m * area_mm2 * kSteelKgPerMm2M;
  b.mass_kg += kg;
  q.steel_kg += kg;
}

void AddInto(BlockQuantity& sum, const BlockQuantity& q) {
  sum.area_m2 += q.area_m2;
  sum.length_m += q.length_m;
  sum.concrete_m3 += q.concrete_m3;
  sum.steel_kg += q.steel_kg;
  for (const auto& [d, b] : q.bars) {
    sum.bars[d].length_m += b.length_m;
    sum.bars[d].mass_kg += b.mass_kg;
  }
}

}  // namespace

double DevelopmentLength(double d, double sigma_ck, double fyk) {
  if (d <= 0 || sigma_ck <= 0 || fyk <= 0) return 20 * std::max(d, 0.0);
  const double fbod = std::min(0.28 * std::pow(sigma_ck, 2.0 / 3.0) / 1.3, 3.2);
  return std::max(fyk / (4 * fbod) * d, 20 * d);
}

double BlockConcreteArea(int layout, const BlockRecord& block) {
  OutlinePoint p[12];
  const int n = BlockOutline(layout, block, p, 12);
  double twice = 0;  // shoelace
  for (int i = 0, j = n - 1; i < n; j = i++) twice += p[j].x * p[i].y - p[i].x * p[j].y;
  double area = std::fabs(twice) / 2;
  const DimensionSet& s = block.working_set;
  const bool box_block =
      layout == kLayoutBox &&
      (s.kind == kBlockLeftEnd || s.kind == kBlockIntermediate || s.kind == kBlockRightEnd);
  if (box_block) area -= std::max(s.B(), 0.0) * std::max(s.H(), 0.0);
  return std::max(area, 0.0);
}

Quantities ComputeQuantities(const StructureModel& model, const BlockRow& row, const MasterData& md,
                             const QuantityInput& in) {
  Quantities q;
  const int blocks = std::min(model.block_count, static_cast<int>(row.blocks.size()) - 1);
  std::vector<BlockQuantity> per(static_cast<std::size_t>(std::max(blocks, 0)) + 1);
  for (int b = 1; b <= blocks; ++b) {
    BlockQuantity& bq = per[static_cast<std::size_t>(b)];
    const BlockRecord& rec = row.At(b);
    bq.block = b;
    bq.kind = rec.working_set.kind;
    bq.area_m2 = BlockConcreteArea(in.layout, rec);
    bq.length_m = rec.working_set.L();
    bq.concrete_m3 = bq.area_m2 * bq.length_m;
  }
  // The bars of every member (the joint inserts are not rebar): n bars per
  // metre over the frame width, each the member's length and one
  // development length (half a lap at either end).
  for (int m = 1; m <= model.member_count; ++m) {
    const ModelMember& mem = model.Member(m);
    if (mem.block < 1 || mem.block > blocks || mem.length <= 0) continue;
    const MemberSection& s = model.Section(m);
    const CheckMaterial& mat =
        in.materials[static_cast<std::size_t>(std::clamp(MaterialColumnOf(mem.type), 1, 4) - 1)];
    const double width = s.Current(0) / 1000;
    BlockQuantity& bq = per[static_cast<std::size_t>(mem.block)];
    for (const auto& [dk, nk] : {std::pair{6, 7}, {8, 9}, {14, 15}, {16, 17}}) {
      const int d = static_cast<int>(std::lround(s.Current(dk)));
      const double n = s.Current(nk);
      if (d <= 0 || n <= 0) continue;
      const double bar = mem.length + DevelopmentLength(d, mat.sigma_ck, mat.fyk) / 1000;
      AddBars(bq, d, n * width * bar, md.BarAreaMm2(d));
    }
    // Stirrups: legs per metre of width, one row per pitch along the
    // member, each leg the member's thickness.
    const int sd = static_cast<int>(std::lround(s.Current(22)));
    const double legs = s.Current(24), pitch = s.Current(23);
    if (sd > 0 && legs > 0 && pitch > 0)
      AddBars(bq, sd, legs * width * (mem.length * 1000 / pitch) * s.Current(1) / 1000,
              md.BarAreaMm2(sd));
  }
  for (int b = 1; b <= blocks; ++b) {
    const BlockQuantity& bq = per[static_cast<std::size_t>(b)];
    q.blocks.push_back(bq);
    BlockQuantity& k = q.by_kind[bq.kind];
    k.kind = bq.kind;
    AddInto(k, bq);
    AddInto(q.facility, bq);
  }
  q.concrete_m3 = q.facility.concrete_m3;
  q.steel_kg = q.facility.steel_kg;
  return q;
}

std::string QuantitiesCsv(const Quantities& q) {
  std::set<int> sizes;
  for (const auto& [d, b] : q.facility.bars) sizes.insert(d);
  std::string s = "scope,block,kind,area_m2,length_m,concrete_m3,steel_kg";
  for (int d : sizes) s += Format(",D%d_m,D%d_kg", d, d);
  s += "\r\n";
  auto line = [&](const char* scope, const BlockQuantity& bq, bool block) {
    s +=
        Format("%s,%s,%s,%.4f,%.3f,%.4f,%.2f", scope, block ? std::to_string(bq.block).c_str() : "",
               bq.kind ? std::to_string(bq.kind).c_str() : "", bq.area_m2, bq.length_m,
               bq.concrete_m3, bq.steel_kg);
    for (int d : sizes) {
      const auto it = bq.bars.find(d);
      const BarQuantity b = it == bq.bars.end() ? BarQuantity{} : it->second;
      s += Format(",%.2f,%.2f", b.length_m, b.mass_kg);
    }
    s += "\r\n";
  };
  for (const BlockQuantity& bq : q.blocks) line("block", bq, true);
  for (const auto& [kind, bq] : q.by_kind) line("kind", bq, false);
  line("facility", q.facility, false);
  return s;
}

}  // namespace vaultra
