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
      } else {
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
  r.s = ShearStrength(r.c, r.sigma_v, r.phi);
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
  r.s = ShearStrength(r.c, r.sigma_v, r.phi);
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

void SetCoverShear(CoverRecord& r, const GroundQuantities& g) {
  // The coefficients the frame's top-slab shear takes (kh1, kh2 with its
  // floor of 0.3, at the cover's mid-depth), so the table prints the load
  // that is applied.
  for (std::size_t l = 0; l < 2; ++l) {
    CoverShear& sh = r.shear[l];
    const int level = static_cast<int>(l) + 1;
    sh.k = level == 1 ? g.kh1 : g.kh2;
    sh.kh = CoverInertiaCoefficient(g, level, r.zc);
    sh.tau = sh.kh * r.sigma_v;
    sh.governing = std::min(sh.tau, r.s);
  }
}

std::vector<WheelZone> RearWheelZones(int layout, const BlockRow& row, const StructureModel& tm,
                                      const LoadsRecord& lr, double cover_depth) {
  const bool box = layout == kLayoutBox;
  std::vector<WheelZone> zones;
  for (int k = 1; k <= tm.member_count; ++k) {
    const ModelMember& mb = tm.Member(k);
    if (mb.length < 0.001) continue;
    const bool stand_wall = !box && (mb.type == 1 || mb.type == 2 || mb.type == 12);
    int kind = 0;
    if (mb.type == 19) kind = 1;
    if (mb.type == 20) kind = 2;
    if (mb.type == 3 || mb.type == 4 || stand_wall) kind = 3;
    if (kind == 0) continue;
    const double P = kind == 3 ? lr.pb : lr.ps;
    double cover = cover_depth;
    if (kind != 3)
      cover -= box ? Dims(row, mb.block).b() - Dims(row, 1).f()
                   : Dims(row, mb.block).b() - Dims(row, 2).b();
    // A negative cover would make the distribution width zero or negative.
    cover = std::max(cover, 0.0);
    const double bw = stand_wall ? 1.0 : Dims(row, mb.block).B();
    double beta = 0.9;
    if ((cover <= 1 && bw >= 4) || P != 100) beta = 1.0;
    constexpr double kImpact = 0.3;
    const double w = 2 * cover + 0.2;
    const double pw = 2 * P * (1 + kImpact) * beta / (2.75 * w);
    const double x = (tm.Node(mb.node_i).x + tm.Node(mb.node_j).x) / 2;
    zones.push_back({k, x - w / 2, x + w / 2, pw, P, kImpact, beta, cover, w});
  }
  return zones;
}

RearWheelReport SummariseWheelZones(const std::vector<WheelZone>& zones, double width) {
  RearWheelReport r;
  for (const WheelZone& z : zones) {
    const double w = std::min(z.right, width) - std::max(z.left, 0.0);
    if (w <= 0) continue;
    auto same = [&](const WheelReportEntry& e) {
      return std::fabs(e.pw - z.pw) < 0.0001 && std::fabs(e.width - w) < 0.0001;
    };
    auto it = std::find_if(r.entries.begin(), r.entries.end(), same);
    if (it != r.entries.end())
      ++it->count;
    else
      r.entries.push_back({z.pw, w, 1, z});
    r.total += z.pw * w;
  }
  r.per_width = r.total / std::max(width, 0.1);
  return r;
}

CoverLoadTable CoverLoadPerCategory(const StructureModel& tm,
                                    const std::vector<CoverRecord>& cover) {
  CoverLoadTable t;
  for (int k = 1; k <= tm.member_count; ++k) {
    const ModelMember& mb = tm.Member(k);
    const char* name = nullptr;
    if (mb.type == 3 || mb.type == 4) name = "ブロック頂版";
    if (mb.type == 19 || mb.type == 20) name = "頂版スラブ";
    if (mb.type == 7 || mb.type == 8) name = "スラブ掛部";
    if (name == nullptr) continue;
    const int g = mb.cover_group;
    const double p = g >= 1 && g <= static_cast<int>(cover.size())
                         ? cover[static_cast<std::size_t>(g - 1)].pv
                         : 0;
    const double len = mb.length;
    auto same = [&](const CoverLoadEntry& e) {
      return e.name == name && std::fabs(e.p - p) < 0.0001 && std::fabs(e.len - len) < 0.0001;
    };
    auto it = std::find_if(t.entries.begin(), t.entries.end(), same);
    if (it != t.entries.end()) {
      it->force += p * len;
      ++it->count;
    } else {
      t.entries.push_back({name, p, len, p * len, 1});
    }
    t.total += p * len;
  }
  t.width = tm.frame_width;
  t.per_width = t.total / std::max(t.width, 0.1);
  return t;
}

CoverSoilRows CoverSoil(const LoadsRecord& lr, double D, double zw) {
  CoverSoilRows r;
  auto add = [&](const char* name, double t, double gamma) {
    const double value = lr.kav * t * gamma;
    if (value <= 0) return;
    r.rows.push_back({name, lr.kav, 0, t, gamma, value, 0});
    r.total += value;
    r.rows.back().sum = r.total;
  };
  add("埋戻土", std::min(D, zw), lr.gamma_t);
  add("地下水位", std::max(D - zw, 0.0), lr.gamma_sub);
  return r;
}

StaticEarthRows StaticEarthPressure(const LoadsRecord& lr, double zt, double zb, double zw) {
  StaticEarthRows r;
  auto add = [&](const char* name, double z, double gamma) {
    const double t = z - (r.rows.empty() ? 0.0 : r.rows.back().z);
    const double inc = lr.kah * gamma * t;
    r.rows.push_back(
        {name, lr.kah, z, t, gamma, inc, (r.rows.empty() ? 0 : r.rows.back().sum) + inc});
  };
  if (zt > zw) {
    r.case_mark = 2;
    add("地下水位", zw, lr.gamma_t);
    add("側面上部", zt, lr.gamma_sub);
    add("側面下部", zb, lr.gamma_sub);
  } else if (zw < zb) {
    r.case_mark = 3;
    add("側面上部", zt, lr.gamma_t);
    add("地下水位", zw, lr.gamma_t);
    add("側面下部", zb, lr.gamma_sub);
  } else {
    r.case_mark = 1;
    add("側面上部", zt, lr.gamma_t);
    add("側面下部", zb, lr.gamma_t);
  }
  return r;
}

std::array<InternalWaterLevel, 3> InternalWaterSummary(const ModelRecord& model,
                                                       const StructureModel& tm, double gamma_w) {
  std::array<InternalWaterLevel, 3> out{};
  for (std::size_t l = 0; l < 3; ++l) {
    InternalWaterLevel& w = out[l];
    w.h = model.water_level[l];
    w.floor = w.h * gamma_w;
    w.reaction = tm.span_count * tm.mean_span * w.floor / std::max(tm.frame_width, 0.001);
  }
  return out;
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
  PressureReport& rep = p.report;
  for (std::size_t v = 0; v < 2; ++v) rep.cover_load[v] = CoverLoadPerCategory(tm, p.cover[v]);
  for (auto& variant : p.cover)
    for (CoverRecord& r : variant) SetCoverShear(r, g);
  rep.q = lr.q;
  rep.kah_q = lr.kah * lr.q;
  ComputeMemberWeights(ctx.layout, *ctx.row, tm, rec.materials.Column(1).gamma_c, p.weights);
  rep.cover_soil = CoverSoil(lr, rec.model.cover_depth, w * 0.001);
  double total = 0;
  for (const GroundLayer& l : rec.ground.layers) total += l.t;
  const double water = rec.model.ground_water ? rec.model.ground_water_depth : 999;
  p.water_depth = std::min(total, water);
  rep.static_earth[kTransverse] = rep.static_earth[kLongitudinal] =
      StaticEarthPressure(lr, tm.depth_of_top_axis, tm.depth_of_bottom_axis, p.water_depth);
  p.water = BuildExternalWaterTable(p.water_depth, tm.depth_of_top_axis, tm.depth_of_bottom_axis,
                                    lr.gamma_w);
  rep.internal_water = InternalWaterSummary(rec.model, tm, lr.gamma_w);
  rep.rear_wheel = SummariseWheelZones(
      RearWheelZones(ctx.layout, *ctx.row, tm, lr, rec.model.cover_depth), tm.frame_width);
}

}  // namespace vaultra
