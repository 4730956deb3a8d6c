#include "model/pressure.h"

#include <algorithm>
#include <cmath>

#include "core/number.h"
#include "model/geometry.h"

namespace vaultra {

namespace {

const DimensionSet& Dims(const BlockRow& row, int k) {
  return row.At(std::clamp(k, 1, kMaxBlocks)).working_set;
}

int Mm(double z) {
  return static_cast<int>(RoundTo0(z * 1000));
}

void Totals(SidePressureTable& t, const std::array<double, 3>& k, const std::array<double, 3>& kh,
            double gamma_w, double zw) {
  for (SideRow& r : t.rows) {
    r.water = r.z > zw ? (r.z - zw) * gamma_w : 0;
    for (int l = 0; l < 3; ++l) {
      const auto i = static_cast<std::size_t>(l);
      const double ratio = kh[i] / std::max(k[i], 0.001);
      r.half_inc[i] = r.inc[i] * ratio;
      r.half_p[i] = r.p[i] * ratio;
    }
  }
}

}  // namespace

void GroupCoverDepths(const BlockRow& row, StructureModel& tm, std::vector<CoverGroup>& groups) {
  groups.clear();
  for (int k = 1; k <= tm.member_count; ++k) {
    ModelMember& mb = tm.Member(k);
    mb.cover_group = 0;
    double t = 0;
    switch (mb.type) {
      case 3:
      case 4:
        t = Dims(row, mb.block).f();
        break;
      case 7:
        t = k > 1 ? Dims(row, tm.Member(k - 1).block).b() : 0;
        break;
      case 8:
        t = k < tm.member_count ? Dims(row, tm.Member(k + 1).block).b() : 0;
        break;
      case 19:
      case 20:
        t = Dims(row, mb.block).b();
        break;
      default:
        continue;
    }
    const double dc = (tm.depth_of_bottom_axis - tm.extents[7]) - t;
    const int mm = std::max(0, Mm(dc));
    const double x = (tm.Node(mb.node_i).x + tm.Node(mb.node_j).x) / 2;
    for (int q = 1; q <= tm.span_count && q + 1 <= tm.wall_count; ++q) {
      const double x0 = tm.walls.at(static_cast<std::size_t>(q)).x,
                   x1 = tm.walls.at(static_cast<std::size_t>(q + 1)).x;
      if (x < x0 || x > x1) continue;
      int found = 0;
      for (std::size_t i = 0; i < groups.size(); ++i)
        if (groups[i].depth_mm == mm) found = static_cast<int>(i) + 1;
      if (found > 0) {
        ++groups[static_cast<std::size_t>(found - 1)].members;
        mb.cover_group = found;
      } else if (static_cast<int>(groups.size()) < kMaxCoverGroups) {
        groups.push_back({mm, 1});
        mb.cover_group = static_cast<int>(groups.size());
      }
    }
  }
}

CoverRecord CoverPressureBackfill(const LoadsRecord& lr, int c, int w) {
  CoverRecord r;
  auto add = [&](int from, int to, double gamma) {
    CoverRow row;
    row.bottom = to * 0.001;
    row.gamma = gamma;
    row.t = (to - from) * 0.001;
    row.weight = gamma * row.t;
    row.cumulative = (r.rows.empty() ? 0 : r.rows.back().cumulative) + row.weight;
    row.vertical = lr.kav * row.weight;
    r.rows.push_back(row);
  };
  if (w > 0 || c <= 0) {
    add(0, std::min(c, w), lr.gamma_t);
    if (std::min(c, w) == w) r.water_row = static_cast<int>(r.rows.size());
  }
  if (w < c) add(w, c, lr.gamma_sub);
  if (w >= c && w != 0 && r.water_row == 0) r.water_row = 999;
  double total = 0;
  for (const CoverRow& row : r.rows) {
    r.sigma_v += row.weight;
    total += row.t;
  }
  r.pv = lr.kav * r.sigma_v;
  r.zc = total;
  r.c = lr.cohesion;
  r.phi = lr.friction;
  r.s = r.c + r.sigma_v * std::tan(r.phi * 3.14159265358979323846 / 180);
  return r;
}

CoverRecord CoverPressureStrata(const LoadsRecord& lr, const std::vector<GroundLayer>& layers,
                                int c, int w) {
  CoverRecord r;
  int g = 0;
  for (const GroundLayer& l : layers) {
    if (g >= c) break;
    const int len = Mm(l.t);
    if (len <= 0) continue;
    const int e = std::min(g + len, c);
    if (e - g > 0) {
      CoverRow row;
      row.bottom = e * 0.001;
      row.gamma = e > w ? l.gamma_sub : l.gamma;
      row.t = (e - g) * 0.001;
      row.weight = row.gamma * row.t;
      row.cumulative = (r.rows.empty() ? 0 : r.rows.back().cumulative) + row.weight;
      row.vertical = lr.kav * row.weight;
      r.rows.push_back(row);
      if (e == w) r.water_row = static_cast<int>(r.rows.size());
    }
    r.c = l.cohesion;
    r.phi = l.friction;
    g = e;
  }
  if (r.rows.empty()) {
    r.rows.push_back(CoverRow{});
    r.c = r.phi = 0;
  }
  for (const CoverRow& row : r.rows) r.sigma_v += row.weight;
  r.pv = lr.kav * r.sigma_v;
  r.zc = g * 0.001;
  r.s = r.c + r.sigma_v * std::tan(r.phi * 3.14159265358979323846 / 180);
  return r;
}

SidePressureTable SidePressureBackfill(const LoadsRecord& lr, const GroundQuantities& gq, int t,
                                       int b, int w, double q) {
  SidePressureTable tb;
  tb.q = q;
  tb.water_row = w == 0 ? 0 : 999;
  auto add = [&](int from, int to, double gamma) {
    SideRow r;
    r.z = to * 0.001;
    r.gamma = gamma;
    r.t = (to - from) * 0.001;
    for (int l = 0; l < 3; ++l) {
      const auto i = static_cast<std::size_t>(l);
      r.inc[i] = gq.k[i] * gamma * r.t;
      r.p[i] = (tb.rows.empty() ? 0 : tb.rows.back().p[i]) + r.inc[i];
    }
    tb.rows.push_back(r);
    return tb.Count();
  };
  if (w >= 1) {
    const int k = add(0, std::min(t, w), lr.gamma_t);
    if (w <= t) tb.water_row = k;
    if (t <= w) tb.top_row = k;
  }
  if (w < t) tb.top_row = add(w, t, lr.gamma_sub);
  if (t < w) {
    const int to = std::min(b, w);
    const int k = add(t, to, lr.gamma_t);
    if (to == w) tb.water_row = k;
  }
  if (w < b) add(std::max(t, std::min(b, w)), b, lr.gamma_sub);
  Totals(tb, gq.k, gq.k_half, lr.gamma_w, w * 0.001);
  return tb;
}

SidePressureTable SidePressureStrata(const LoadsRecord& lr, const GroundQuantities& gq,
                                     const std::vector<GroundLayer>& layers, int t, int b, int w,
                                     double q) {
  SidePressureTable tb;
  tb.q = q;
  tb.water_row = w == 0 ? 0 : 999;
  bool top_found = false;
  int d = 0, carry = 0;
  std::size_t i = 0;
  while (i < layers.size() && d < b && tb.Count() < kMaxPressureRows) {
    const GroundLayer& l = layers[i];
    const int len = Mm(l.t);
    if (len <= 0) {
      ++i;
      continue;
    }
    int e = d + len - carry;
    carry = 0;
    bool again = false;
    if (d < t && t < e) {
      carry = t - d + (len - (e - d));  // the part of the layer used so far
      e = t;
      again = true;
    }
    e = std::min(e, b);
    if (e - d > 0) {
      SideRow r;
      r.z = e * 0.001;
      r.gamma = e > w ? l.gamma_sub : l.gamma;
      r.t = (e - d) * 0.001;
      const std::array<double, 3>& k = i < gq.layers.size() ? gq.layers[i].ke : gq.k;
      for (int lv = 0; lv < 3; ++lv) {
        const auto j = static_cast<std::size_t>(lv);
        r.inc[j] = k[j] * r.gamma * r.t;
        r.p[j] = (tb.rows.empty() ? 0 : tb.rows.back().p[j]) + r.inc[j];
      }
      tb.rows.push_back(r);
      if (e == w) tb.water_row = tb.Count();
      if (e == t) {
        tb.top_row = tb.Count();
        top_found = true;
      }
    }
    d = e;
    if (!again) ++i;
  }
  if (!top_found) tb.top_row = 1;
  Totals(tb, gq.k, gq.k_half, lr.gamma_w, w * 0.001);
  return tb;
}

ExternalWaterTable BuildExternalWaterTable(double zw, double zt, double zb, double gamma_w) {
  ExternalWaterTable t;
  if (zw + 0.001 > zb) return t;
  t.rows.push_back({"", zw, 0, 0, gamma_w, 0});
  auto add = [&](const char* name, double z) {
    WaterRow r;
    r.name = name;
    r.z = z;
    r.gamma_w = gamma_w;
    r.p = (z - zw) * gamma_w;
    r.dz = z - t.rows.back().z;
    r.dp = r.p - t.rows.back().p;
    t.rows.push_back(r);
  };
  add("地下水位", std::min(zb, zw));
  if (zt > zw) add("側面上部", zt);
  add("側面下部", zb);
  return t;
}

void ComputeMemberWeights(int layout, const BlockRow& row, const StructureModel& tm, double gamma1,
                          WeightTable& wt) {
  wt = WeightTable{};
  const bool box = layout == kLayoutBox;
  const double W = tm.frame_width;
  auto type_of = [&](int k) { return k >= 1 && k <= tm.member_count ? tm.Member(k).type : 0; };
  auto b_of = [&](int k) {
    return k >= 1 && k <= tm.member_count ? Dims(row, tm.Member(k).block).b() : 0.0;
  };
  for (int k = 1; k <= tm.member_count; ++k) {
    const ModelMember& mb = tm.Member(k);
    const double t0 = tm.Section(k).Current(1) / 1000, l0 = mb.length;
    const double xa = tm.Node(mb.node_i).x, xb = tm.Node(mb.node_j).x;
    const bool left = std::min(xa, xb)<0.001, right = std::max(xa, xb)> W - 0.001;
    int r = 0;
    const char *name = "", *sym = "";
    double t = t0, l = l0;
    switch (mb.type) {
      case 1:
      case 2:
        r = 1, name = "端部側壁", sym = "Ｗs1";
        t = box ? t0 : (Dims(row, 1).a() + Dims(row, 1).b()) / 2;
        break;
      case 3:
      case 4:
        r = 3, name = "頂版(ﾌﾞﾛｯｸ)", sym = "Ｗu1";
        break;
      case 8:
      case 7: {
        const int other = mb.type == 8 ? k + 1 : k - 1;
        t = t0 + b_of(other);
        const bool slab = type_of(other) == 19;
        if (box) {
          r = slab ? 7 : 8, name = slab ? "ｽﾗﾌﾞ掛部" : "ｽﾗﾌﾞ掛部(2)", sym = "Ｗu3";
        } else if (mb.type == 8 && left) {
          r = 5, name = "ｽﾗﾌﾞ掛部(端部ﾌﾞﾛｯｸ) ", sym = "Ｗu3-1";
        } else if (mb.type == 7 && right) {
          const bool differ = std::fabs(Dims(row, 2).b() - b_of(other)) >= 0.0001;
          r = differ ? 6 : 5, name = differ ? "ｽﾗﾌﾞ掛部(端部ﾌﾞﾛｯｸ2)" : "ｽﾗﾌﾞ掛部(端部ﾌﾞﾛｯｸ) ",
          sym = "Ｗu3-1";
        } else {
          r = slab ? 7 : 8, name = slab ? "ｽﾗﾌﾞ掛部(中間ﾌﾞﾛｯｸ) " : "ｽﾗﾌﾞ掛部(中間ﾌﾞﾛｯｸ2)",
          sym = "Ｗu3-2";
        }
        break;
      }
      case 9:
      case 10:
        r = 9, name = "中間壁(上部)", sym = "Ｗs2";
        break;
      case 11:
      case 12:
        r = 11, name = "中間壁", sym = "Ｗs2", l = tm.frame_height;
        break;
      case 13:
      case 14:
        r = 13, name = "ﾌﾞﾛｯｸ底版部", sym = "Ｗb2";
        break;
      case 15:
      case 16:
      case 17:
      case 18:
        if (box)
          r = 15, name = "ﾌﾞﾛｯｸ底版張出部", sym = "Ｗb2";
        else if (left || right)
          r = 15, name = "端部ﾌﾞﾛｯｸ底版張出部", sym = "Ｗb2-1";
        else
          r = 17, name = "中間ﾌﾞﾛｯｸ底版張出部", sym = "Ｗb2-2";
        break;
      case 19:
        r = 19, name = "頂版(ｽﾗﾌﾞ)", sym = "Ｗu2";
        break;
      case 20:
        r = 20, name = "頂版(ｽﾗﾌﾞ･2)", sym = "Ｗu2'";
        break;
      case 21:
        r = 21, name = "底版ｺﾝｸﾘｰﾄ", sym = "Ｗb2";
        break;
      case 22:
        r = 22, name = "底版ｺﾝｸﾘｰﾄ(2)", sym = "Ｗb2'";
        break;
      case 23:
        r = 23, name = "底版ｺﾝｸﾘｰﾄ(3)", sym = "Ｗb2'";
        break;
      default:
        continue;
    }
    WeightRow& w = wt.rows.at(static_cast<std::size_t>(r));
    w.used = true;
    w.name = name;
    w.symbol = sym;
    w.t = t;
    w.len = l;
    w.w = RoundTo3(t * gamma1);
    ++w.n;
  }
  for (int r = 1; r <= 32; ++r) {
    WeightRow& w = wt.rows.at(static_cast<std::size_t>(r));
    w.wc = RoundTo3(w.w * w.len * w.n);
    wt.total += w.wc;
  }
  const double reaction = wt.total / std::max(W, 0.001);
  wt.reaction = {reaction, reaction, reaction};
}

void PrepareStaticTables(const SeismicContext& ctx, StructureModel& tm, const StructureModel& lm,
                         const GroundQuantities& g, PressureTables& p) {
  const InputRecords& rec = *ctx.rec;
  const LoadsRecord& lr = rec.loads;
  p = PressureTables{};
  GroupCoverDepths(*ctx.row, tm, p.groups);
  const int w = Mm(RoundTo3(g.zw));
  for (int v = 0; v < 2; ++v) {
    for (const CoverGroup& grp : p.groups)
      p.cover[static_cast<std::size_t>(v)].push_back(
          v == 0 ? CoverPressureBackfill(lr, grp.depth_mm, w)
                 : CoverPressureStrata(lr, rec.ground.layers, grp.depth_mm, w));
    for (int d = 0; d < 2; ++d) {
      const StructureModel& m = d == kTransverse ? tm : lm;
      const int top = Mm(m.depth_of_top_axis), bottom = Mm(m.depth_of_bottom_axis);
      const double q = d == kTransverse ? lr.q : 0.0;
      p.side[static_cast<std::size_t>(v)][static_cast<std::size_t>(d)] =
          v == 0 ? SidePressureBackfill(lr, g, top, bottom, w, q)
                 : SidePressureStrata(lr, g, rec.ground.layers, top, bottom, w, q);
    }
  }
  ComputeMemberWeights(ctx.layout, *ctx.row, tm, rec.materials.Column(1).gamma_c, p.weights);
  double total = 0;
  for (const GroundLayer& l : rec.ground.layers) total += l.t;
  const double water = rec.model.ground_water ? rec.model.ground_water_depth : 999;
  p.water_depth = std::min(total, water);
  p.water = BuildExternalWaterTable(p.water_depth, tm.depth_of_top_axis, tm.depth_of_bottom_axis,
                                    lr.gamma_w);
}

}  // namespace vaultra
