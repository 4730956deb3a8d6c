#include "model/seismic.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/number.h"
#include "model/geometry.h"

namespace vaultra {

namespace {

constexpr double kPi = std::numbers::pi;

const DimensionSet& Dims(const BlockRow& row, int k) {
  return row.At(std::clamp(k, 1, kMaxBlocks)).working_set;
}

// Springs of one direction by formula. Heights and widths in m, areas in m2.
void FormulaSprings(const LoadsRecord& lr, const GroundQuantities& g, double height, double width,
                    double side_area, double bottom_area, bool round, SpringSet& s) {
  auto r = [&](double v, int k) { return round ? RoundTo(v, k) : v; };
  for (int lv = 1; lv <= 2; ++lv) {
    const auto l = static_cast<std::size_t>(lv);
    if (lr.spring_formula == kSpringUnderground) {
      const double den = 1 - g.nu * g.nu;
      s.kh[l] = r(g.e[l] * kPi / std::max(den * 4 * height, 0.0001), 2);
      s.kv[l] = r(g.e[l] * kPi / std::max(den * 4 * width, 0.0001), 2);
      s.kss[l] = r(s.kh[l] / 3, 1);
      s.ksb[l] = r(s.kv[l] / 3, 1);
    } else {
      const RoadBridgeBasis b = RoadBridgeSpringBasis(lr, g, side_area, bottom_area, round);
      const double kh = b.k0h * std::pow(std::max(b.root_side, 0.001) / 0.3, -0.75);
      const double kv = b.k0v * std::pow(std::max(b.root_bottom, 0.001) / 0.3, -0.75);
      s.kh[l] = r(kh, 2);
      s.kv[l] = r(kv, 2);
      s.kss[l] = r(0.3 * kh, 1);
      s.ksb[l] = r(0.3 * kv, 1);
    }
  }
}

}  // namespace

std::pair<double, double> EarthCoefficients(int soil_class) {
  switch (soil_class) {
    case 1:
      return {0.21, 0.90};
    case 2:
      return {0.24, 1.08};
    default:
      return {0.25, 1.07};
  }
}

RoadBridgeBasis RoadBridgeSpringBasis(const LoadsRecord& lr, const GroundQuantities& g,
                                      double side_area, double bottom_area, bool round) {
  static constexpr double kAlphaRd[5] = {1, 1, 4, 4, 1};
  static constexpr double kAlphaSc[5] = {2, 2, 8, 8, 2};
  RoadBridgeBasis b;
  const int m = std::clamp(lr.eo_method, 1, 4);
  b.alpha = lr.method == kMethodSeismicCoefficient ? kAlphaSc[m] : kAlphaRd[m];
  b.eoh = m == 4 ? 2800 * g.nm : lr.eoh;
  b.eov = m == 4 ? 2800 * g.nb : lr.eov;
  b.k0h = b.alpha * b.eoh / 0.3;
  b.k0v = b.alpha * b.eov / 0.3;
  // A zero area would make the power infinite.
  b.root_side = std::sqrt(std::max(side_area, 0.001));
  b.root_bottom = std::sqrt(std::max(bottom_area, 0.001));
  if (round) {
    b.root_side = RoundTo3(b.root_side);
    b.root_bottom = RoundTo3(b.root_bottom);
  }
  return b;
}

double ShearWaveVelocity(int soil, double n_value) {
  const double n = soil == 1 ? std::clamp(n_value, 0.0, 99.0) : std::clamp(n_value, 0.0, 50.0);
  if (n == 0) return 50;
  return (soil == 1 ? 100.0 : 80.0) * std::cbrt(n);
}

double ResponseVelocity(int level, double ts, int sv1_standard, int region, double cz) {
  double sv = 0;
  const double t = std::max(ts, 0.001);
  if (level == 1 && sv1_standard == 1) {
    const int group = region <= 1 ? 0 : region <= 3 ? 1 : 2;
    static constexpr double kLow[3][2] = {
        {1.28873, 0.0088825}, {1.28671, -0.063956}, {1.28998, -0.14418}};
    static constexpr double kMid[3][2] = {
        {0.48904, -0.47257}, {0.49252, -0.54211}, {0.48543, -0.62856}};
    static constexpr double kPlateau[3] = {0.24, 0.204, 0.168};
    if (t >= 0.5)
      sv = kPlateau[group];
    else if (t <= 0.25)
      sv = std::pow(10.0, kLow[group][0] * std::log10(t) + kLow[group][1]);
    else
      sv = std::pow(10.0, kMid[group][0] * std::log10(t) + kMid[group][1]);
  } else if (level == 1) {
    if (t < 0.2)
      sv = 0.02 + (t - 0.1) * 0.3;
    else if (t < 1.0)
      sv = 0.05 + (t - 0.2) * 0.25;
    else
      sv = 0.25;
    // The first segment extended toward zero period would turn negative.
    sv = std::max(sv, 0.0) * cz;
  } else {
    sv = t < 0.7 ? std::pow(10.0, 1.18329 * std::log10(t) + 0.086385) : 0.8;
  }
  return RoundTo3(sv);
}

double CoverInertiaCoefficient(const GroundQuantities& g, int level, double cover_depth) {
  return (1 - 0.015 * cover_depth / 2) * (level == 1 ? g.kh1 : g.kh2);
}

double ShearStrength(double c, double sigma_v, double phi_degrees) {
  return c + sigma_v * std::tan(phi_degrees * kPi / 180);
}

double HydroCoefficient(double ratio) {
  static constexpr double kX[] = {0, 0.5, 1.0, 1.5, 2.0, 3.0, 4.0, 4.0001};
  static constexpr double kY[] = {0, 0.397, 0.67, 0.835, 0.921, 0.983, 0.996, 1.0};
  if (ratio <= 0) return 0;
  for (int i = 1; i < 8; ++i)
    if (ratio <= kX[i])
      return kY[i - 1] + (kY[i] - kY[i - 1]) * (ratio - kX[i - 1]) / (kX[i] - kX[i - 1]);
  return 1.0;
}

void ComputeGroundQuantities(const SeismicContext& ctx, GroundQuantities& g) {
  const InputRecords& rec = *ctx.rec;
  const LoadsRecord& lr = rec.loads;
  const StructureModel& tm = *ctx.transverse;
  const BlockRow& row = *ctx.row;
  const std::vector<GroundLayer>& layers = rec.ground.layers;
  g = GroundQuantities{};
  for (const GroundLayer& l : layers) g.H += l.t;
  const double water = rec.model.ground_water ? rec.model.ground_water_depth : 999;
  g.zw = std::min(water, g.H);

  // Velocities and the ground period.
  double sum = 0, depth = 0;
  g.layers.resize(layers.size());
  for (std::size_t i = 0; i < layers.size(); ++i) {
    LayerSeismic& ls = g.layers[i];
    ls.vs = ShearWaveVelocity(layers[i].soil, layers[i].n_value);
    ls.h_over_vs = RoundTo5(layers[i].t / ls.vs);
    depth += layers[i].t;
    ls.bottom = depth;
    ls.below_water = depth > g.zw + 0.001;
    sum += ls.h_over_vs;
  }
  g.tg = RoundTo3(4 * sum);
  g.ground_class = g.tg < 0.2 ? 1 : g.tg < 0.6 ? 2 : 3;
  g.cg = g.ground_class == 1 ? 0.8 : g.ground_class == 2 ? 1.0 : 1.2;
  static constexpr double kCz[5] = {1.0, 1.0, 0.85, 0.85, 0.7};
  g.cz = kCz[std::clamp(lr.region, 0, 4)];

  // Seismic coefficients.
  g.kh1 = 0.2 * g.cz * g.cg * (lr.sv1_standard == 1 ? 1.1 : 1.0);
  g.kh2_base = g.ground_class == 1 ? 0.8 : 0.6;
  g.kh2 = g.kh2_base * lr.cs;
  if (lr.cs < 1 && g.kh2 < 0.3) g.kh2 = 0.3;
  const auto [a, b] = EarthCoefficients(lr.soil_class);
  g.k = {lr.kah, b * g.kh1 + a, (b * g.kh2_base + a) * lr.cs};
  for (int i = 0; i < 3; ++i)
    g.k_half[static_cast<std::size_t>(i)] = g.k[static_cast<std::size_t>(i)] / 2;
  for (std::size_t i = 0; i < layers.size(); ++i) {
    const auto [la, lb] = EarthCoefficients(layers[i].soil == 1 ? 0 : 2);
    g.layers[i].ke = {lr.kah, lb * g.kh1 + la, (lb * g.kh2_base + la) * lr.cs};
  }

  // Ground constants.
  double gh = 0;
  for (const GroundLayer& l : layers) gh += RoundTo2(l.gamma * l.t);
  const double hd = std::max(g.H, 1.0);
  g.gamma_m = RoundTo3(gh / hd);
  g.nu = RoundTo3(((g.H - g.zw) * 0.5 + g.zw * 0.45) / hd);
  for (int lv = 1; lv <= 2; ++lv) {
    const auto l = static_cast<std::size_t>(lv);
    g.ts[l] = lr.sv1_standard == 1 ? RoundTo3(lr.alpha_d[l] * g.tg) : RoundTo3(1.25 * g.tg);
    g.vsd[l] = RoundTo3(4 * g.H / std::max(g.ts[l], 0.001));
    g.g[l] = RoundTo3(g.gamma_m * g.vsd[l] * g.vsd[l] / 9.8);
    g.e[l] = RoundTo3(2 * (1 + g.nu) * g.g[l]);
  }

  // Mean N over the structure's depth range, N at the structure bottom.
  double tn = 0, tt = 0, top = 0;
  g.nb = 10;
  for (const GroundLayer& l : layers) {
    const double bot = top + l.t;
    const double t =
        std::max(0.0, std::min(bot, tm.depth_of_bottom) - std::max(top, tm.cover_depth));
    tn += RoundTo2(t * l.n_value);
    tt += t;
    if (top < tm.depth_of_bottom) g.nb = l.n_value;
    top = bot;
  }
  g.nm = tt > 0 ? tn / tt : 0;

  // Spring geometry, transverse.
  const DimensionSet& b1 = Dims(row, 1);
  if (ctx.layout == kLayoutBox) {
    g.hs = b1.c() + b1.H() + b1.f();
  } else {
    const DimensionSet& s1 = Dims(row, tm.first_slab_block);
    const DimensionSet& s2 =
        Dims(row, tm.second_slab_block > 0 ? tm.second_slab_block : tm.first_slab_block);
    g.hs = (s1.b() + s2.b()) / 2 + b1.c() + b1.H();
  }
  g.len = RoundTo3(Dims(row, tm.left_end_block).L());
  g.width = RoundTo3(tm.extents[8]);
  g.hs_capped = g.hs > 999;
  g.len_capped = g.len > 999;
  g.width_capped = g.width > 999;
  g.hs = std::min(g.hs, 999.0);
  g.len = std::min(g.len, 999.0);
  g.width = std::min(g.width, 999.0);
  g.as = RoundTo3(g.len * g.hs);
  g.ab = RoundTo3(g.len * g.width);

  // Span measure of the longitudinal strip.
  g.wl = 0;
  g.wl_block = 0;
  for (int k = 1; k <= tm.real_block_count; ++k) {
    const DimensionSet& s = Dims(row, k);
    if (s.kind != kBlockIntermediate) continue;
    const double bp = k > 1 ? Dims(row, k - 1).B() : 0;
    const double bn = k < kMaxBlocks ? Dims(row, k + 1).B() : 0;
    const double e =
        ctx.layout == kLayoutBox ? bp / 2 + s.B() + 2 * s.a() + bn / 2 : bp / 2 + s.a() + bn / 2;
    if (e > g.wl) {
      g.wl = e;
      g.wl_block = k;
    }
  }
  if (g.wl_block > 0) {
    const DimensionSet& s = Dims(row, g.wl_block);
    g.wc = ctx.layout == kLayoutBox ? g.wl - (s.B() + 2 * s.a() + 2 * s.e())
                                    : g.wl - (s.a() + 2 * s.d());
  }

  // Springs.
  const double long_width = ctx.longitudinal ? ctx.longitudinal->extents[8] : 0;
  g.long_side_area = std::min(999.0, g.wl) * std::min(999.0, g.hs);
  g.long_bottom_area = std::min(999.0, g.wl) * std::min(999.0, long_width);
  if (lr.spring_formula == kSpringFem || lr.spring_formula == kSpringTyped) {
    g.springs = lr.typed;
    if (lr.spring_formula == kSpringFem)
      for (std::size_t i = 0; i < layers.size(); ++i) {
        LayerSeismic& ls = g.layers[i];
        ls.nu = ls.below_water ? 0.5 : 0.45;
        ls.vsd_factor = ls.vs >= 300 ? 1.0 : 0.8;
        ls.vsd = ls.vsd_factor * ls.vs;
        ls.g = layers[i].gamma * ls.vsd * ls.vsd / 9.8;
        ls.e = 2 * (1 + ls.nu) * ls.g;
      }
  } else {
    FormulaSprings(lr, g, g.hs, g.width, g.as, g.ab, true, g.springs[kTransverse]);
    FormulaSprings(lr, g, g.hs, long_width, g.long_side_area, g.long_bottom_area, false,
                   g.springs[kLongitudinal]);
  }
}

HydroTable BuildHydroTable(double width, double stored_depth, double inner_height,
                           double kh_surface, double bottom_depth, double gamma_w) {
  HydroTable t;
  t.kh = (1 - 0.015 * bottom_depth) * kh_surface;
  t.h = std::min(stored_depth, inner_height);
  // A level without stored water has no hydrodynamic pressure.
  if (t.h <= 0 || width <= 0) return t;
  t.pf = gamma_w * t.kh * width / 2;
  auto pressure = [&](double f, double h, double z) {
    return std::min(7.0 / 8.0 * f * gamma_w * t.kh * std::sqrt(std::max(h * z, 0.0)), t.pf);
  };
  auto segments = [](double h) { return std::clamp(static_cast<int>((h + 0.25) * 2), 1, 4); };
  double curve_h = t.h;
  if (t.h >= inner_height - 0.01) {
    t.mode = 1;
    t.f = HydroCoefficient(width / t.h);
    t.rows = {{0, t.pf}, {t.h, t.pf}};
  } else if (t.h <= 1.5 * width * 0.5) {
    t.mode = 2;
    t.f = HydroCoefficient(width / t.h);
    const int n = segments(t.h);
    for (int k = 0; k <= n; ++k) {
      const double z = t.h * k / n;
      t.rows.push_back({z, pressure(t.f, t.h, z)});
    }
  } else {
    t.mode = 3;
    const double hf = 1.69 * (50.0 / 119.0) * width;
    curve_h = hf;
    t.f = HydroCoefficient(width / hf);
    const int n = segments(hf);
    for (int k = 0; k < n; ++k) {
      const double z = hf * k / n;
      t.rows.push_back({z, pressure(t.f, hf, z)});
    }
    t.rows.push_back({hf, t.pf});
    t.rows.push_back({t.h, t.pf});
  }
  // The report curve carries the unit weight of water like the pressure.
  for (int i = 0; i < 12; ++i)
    t.curve[static_cast<std::size_t>(i)] = pressure(t.f, curve_h, 0.5 * i);
  return t;
}

void ComputeSeismicTables(const SeismicContext& ctx, GroundQuantities& g, SeismicTables& s) {
  const InputRecords& rec = *ctx.rec;
  const LoadsRecord& lr = rec.loads;
  const StructureModel& tm = *ctx.transverse;
  const BlockRow& row = *ctx.row;
  const std::vector<GroundLayer>& layers = rec.ground.layers;
  s = SeismicTables{};
  for (int lv = 1; lv <= 2; ++lv)
    g.sv[static_cast<std::size_t>(lv)] =
        ResponseVelocity(lv, g.ts[static_cast<std::size_t>(lv)], lr.sv1_standard, lr.region, g.cz);
  const double zt = tm.depth_of_top_axis, zb = tm.depth_of_bottom_axis;
  const double H = std::max(g.H, 0.001);

  // 1. Response-displacement earth pressure.
  for (int k = 1; k <= 5; ++k) {
    ResponseRow& r = s.response[static_cast<std::size_t>(k)];
    r.z = zt + (zb - zt) * (k - 1) / 4;
    for (int lv = 1; lv <= 2; ++lv) {
      const auto l = static_cast<std::size_t>(lv);
      const double f = 2 / (kPi * kPi) * g.sv[l] * g.ts[l];
      // Unrounded: the relative displacement is a small difference of two
      // displacements, and a 0.01 mm grid would move the pressure by tenths
      // near the top of a shallow structure. The table rounds for print.
      r.u[l] = f * std::cos(kPi * r.z / (2 * H));
      r.ub[l] = f * std::cos(kPi * zb / (2 * H));
      r.du[l] = r.u[l] - r.ub[l];
      r.kh[l] = g.springs[kTransverse].kh[l];
      r.p[l] = r.kh[l] * r.du[l];
    }
  }

  // 2. Circumferential shear.
  auto layer_at = [&](double z) -> int {
    double top = 0;
    for (std::size_t i = 0; i < layers.size(); ++i) {
      if (z < top + layers[i].t || i + 1 == layers.size()) return static_cast<int>(i);
      top += layers[i].t;
    }
    return -1;
  };
  const bool backfill = lr.method == kMethodSeismicCoefficient && !lr.strata;
  auto overburden = [&](double z) {
    if (backfill) return lr.gamma_t * std::min(z, g.zw) + lr.gamma_sub * std::max(z - g.zw, 0.0);
    double sv = 0, top = 0;
    for (const GroundLayer& l : layers) {
      const double bot = std::min(top + l.t, z);
      if (bot > top) {
        const double above = std::max(0.0, std::min(bot, g.zw) - top);
        sv += l.gamma * above + l.gamma_sub * (bot - top - above);
      }
      top += l.t;
      if (top >= z) break;
    }
    return sv;
  };
  auto strength = [&](double z) {
    double c = lr.cohesion, phi = lr.friction;
    if (!backfill) {
      const int i = layer_at(z);
      c = i >= 0 ? layers[static_cast<std::size_t>(i)].cohesion : 0;
      phi = i >= 0 ? layers[static_cast<std::size_t>(i)].friction : 0;
    }
    return ShearStrength(c, overburden(z), phi);
  };
  auto modulus_at = [&](double z, int lv) {
    if (lr.spring_formula == kSpringUnderground) return g.g[static_cast<std::size_t>(lv)];
    const int i = layer_at(z);
    if (i < 0) return 0.0;
    const double vs = g.layers[static_cast<std::size_t>(i)].vs;
    const double vsd = vs < 300 ? 0.8 * vs : vs;
    return layers[static_cast<std::size_t>(i)].gamma * vsd * vsd / 9.8;
  };
  for (int lv = 1; lv <= 2; ++lv) {
    const auto l = static_cast<std::size_t>(lv);
    const double gt = modulus_at(tm.cover_depth, lv), gb = modulus_at(tm.depth_of_bottom, lv);
    double tau_top = gt / (kPi * H) * g.sv[l] * g.ts[l] * std::sin(kPi * zt / (2 * H));
    const double tau_bot = gb / (kPi * H) * g.sv[l] * g.ts[l] * std::sin(kPi * zb / (2 * H));
    if (lr.method == kMethodSeismicCoefficient) {
      s.cover_shear_depth = zt;
      s.cover_shear_sigma_v = overburden(zt);
      s.cover_shear_kh[l] = CoverInertiaCoefficient(g, lv, zt);
      tau_top = s.cover_shear_sigma_v * s.cover_shear_kh[l];
    }
    s.strength_top[l] = strength(zt);
    s.strength_bottom[l] = strength(zb);
    auto& sh = s.shear[l];
    sh[0] = tau_top;
    sh[1] = tau_bot;
    sh[2] = std::min(tau_top, s.strength_top[l]);
    sh[3] = std::min(tau_bot, s.strength_bottom[l]);
    sh[4] = (sh[2] + sh[3]) / 2;
  }

  // 3. Inertia.
  const MaterialsRecord& mat = rec.materials;
  const double g1 = mat.Column(1).gamma_c, g2 = mat.Column(2).gamma_c, g3 = mat.Column(3).gamma_c;
  const bool box = ctx.layout == kLayoutBox;
  auto block_of_last = [&](int type) {
    const int m = tm.last_member_of_type[static_cast<std::size_t>(type)];
    return m > 0 ? tm.Member(m).block : 0;
  };
  const DimensionSet& lb = Dims(row, tm.left_end_block);
  const DimensionSet& sl = Dims(row, tm.first_slab_block);
  const int s2_block = block_of_last(20);
  const DimensionSet& s2 = Dims(row, s2_block > 0 ? s2_block : tm.first_slab_block);
  const int i_block = block_of_last(12);
  const DimensionSet& bi = Dims(row, i_block > 0 ? i_block : tm.left_end_block);
  const DimensionSet& bz = Dims(row, tm.first_zone > 0 ? tm.first_zone : tm.left_end_block);
  auto has = [&](int type) { return tm.last_member_of_type[static_cast<std::size_t>(type)] > 0; };
  auto add = [&](int r, bool upper, double z, double t, double gamma, const char* name) {
    if (!has(r)) return;
    InertiaEntry e;
    e.row = r;
    e.upper = upper;
    e.name = name;
    e.z = z;
    e.t = t;
    e.gamma = gamma;
    e.w = t * gamma;
    for (int lv = 1; lv <= 2; ++lv) {
      const auto l = static_cast<std::size_t>(lv);
      e.kh[l] = RoundTo4((1 - 0.015 * z) * (lv == 1 ? g.kh1 : g.kh2));
      e.q[l] = RoundTo3(e.w * e.kh[l]);
      (upper ? s.inertia.upper : s.inertia.lower).at(static_cast<std::size_t>(r))[l] = e.q[l];
    }
    s.inertia.entries.push_back(e);
  };
  add(1, true, zt, lb.a(), g1, "端部側壁上");
  add(1, false, zb, lb.b(), g1, "端部側壁下");
  add(12, true, zt, box ? lb.a() : bi.a(), g1, "中間壁上");
  add(12, false, zb, box ? lb.a() : bi.a(), g1, "中間壁下");
  add(7, true, box ? zb - (lb.c() / 2 + lb.H() - lb.g() / 2) : zt, lb.g() + sl.b(), g1, "ｽﾗﾌﾞ掛部");
  if (std::fabs(s2.b() - sl.b()) >= 0.0001) add(8, true, zt, lb.g() + s2.b(), g1, "ｽﾗﾌﾞ掛部(2)");
  add(3, true, zt, lb.f(), g1, "頂版(ﾌﾞﾛｯｸ)");
  add(19, true, box ? zb - (lb.c() / 2 + lb.H() + sl.b() / 2) : zt, sl.b(), g2, "頂版(ｽﾗﾌﾞ)");
  add(20, true, box ? zb - (lb.c() / 2 + lb.H() + s2.b() / 2) : zt, s2.b(), g2, "頂版(ｽﾗﾌﾞ2)");
  add(box ? 13 : 15, true, zb, bz.b(), g1, "底版(ﾌﾞﾛｯｸ)");
  add(21, true, zb, bz.b(), g3, "底版(現場打ち部)");
  if (!box) {
    s.inertia.upper[13] = s.inertia.upper[15];
    s.inertia.lower[13] = s.inertia.lower[15];
  }

  // 4. Hydrodynamic pressure per direction and level.
  const double inner = tm.extents[7] - tm.extents[5];
  const double long_width = RoundTo1(Dims(row, 1).L()) * rec.model.longitudinal_blocks;
  for (int d = 0; d < 2; ++d)
    for (int lv = 1; lv <= 2; ++lv) {
      const StructureModel* m = d == kTransverse ? ctx.transverse : ctx.longitudinal;
      const double bottom = m ? m->depth_of_bottom_axis : zb;
      s.hydro[static_cast<std::size_t>(d)][static_cast<std::size_t>(lv)] =
          BuildHydroTable(d == kTransverse ? tm.mean_span : long_width, rec.model.water_level[lv],
                          inner, lv == 1 ? g.kh1 : g.kh2, bottom, lr.gamma_w);
    }
}

}  // namespace vaultra
