#include "model/longitudinal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/number.h"
#include "model/geometry.h"

namespace vaultra {

namespace {

const DimensionSet& Dims(const BlockRow& row, int k) {
  return row.At(std::clamp(k, 1, kMaxBlocks)).working_set;
}

int AddMember(StructureModel& lm, int type, int ni, int nj, int code_i, int code_j, int poi) {
  const int k = AppendMember(lm, 1, type, ni, nj);
  if (k == 0) return 0;
  ModelMember& mb = lm.Member(k);
  mb.code_i = code_i;
  mb.code_j = code_j;
  mb.poi_flag = poi;
  return k;
}

int BlockOfLast(const StructureModel& tm, int type, int fallback) {
  const int m = tm.last_member_of_type[static_cast<std::size_t>(type)];
  return m > 0 ? tm.Member(m).block : fallback;
}

}  // namespace

void BuildLongitudinalMembers(int layout, const ModelRecord& rec, const BlockRow& row,
                              const StructureModel& tm, StructureModel& lm) {
  ClearStructureModel(lm);
  const bool box = layout == kLayoutBox;
  const DimensionSet& b1 = Dims(row, 1);
  const double e = box ? (b1.c() + b1.f()) / 2 + b1.H() : (b1.c() + Dims(row, 2).b()) / 2 + b1.H();
  const int n = std::clamp(rec.longitudinal_blocks, 2, 50);
  const double wa = rec.wall_upper;
  const double s = ((b1.L() - b1.r(12)) - 0.1 + 0.001) / 2 + 0.1;
  std::vector<double> p = {0.0};
  double x = wa / 2 + s;
  const int m = std::clamp(n, 3, 100);
  for (int counter = 1; counter < m; counter += 2) {
    if (counter > 1) x += 2 * s - 0.001;
    p.push_back(x);
    x += 2 * (b1.L() - s) + 0.001;
    p.push_back(x);
  }
  if (n % 2 == 1) p.push_back(p.back() + b1.L());
  const int N = static_cast<int>(p.size()) - 1;
  const double W = p.back() + wa / 2 + s;
  p.push_back(W);  // p[0] = P1 ... p[N + 1] = P(N+2)
  auto P = [&](int k) { return p.at(static_cast<std::size_t>(k - 1)); };

  FindOrAddNode(lm, 0, e, 0);
  FindOrAddNode(lm, 0, 0, kSupportPinned);
  AddMember(lm, 1, FindOrAddNode(lm, 0, 0, 0), FindOrAddNode(lm, 0, e, 0), kEndPin, kEndPin, 1);
  for (int k = 1; k <= N + 1; ++k)
    AddMember(lm, 19, FindOrAddNode(lm, P(k), e, 0), FindOrAddNode(lm, P(k + 1), e, 0),
              k == 1 ? kEndPin : 0, k == N + 1 ? kEndPin : 0, 0);
  AddMember(lm, 2, FindOrAddNode(lm, W, e, 0), FindOrAddNode(lm, W, 0, kSupportRoller), kEndPin,
            kEndPin, 1);
  for (int k = N + 2; k >= 2; --k)
    AddMember(lm, 21, FindOrAddNode(lm, P(k), 0, kSupportRoller), FindOrAddNode(lm, P(k - 1), 0, 0),
              k == N + 2 ? kEndPin : 0, k == 2 ? kEndPin : 0, 0);
  for (int k = 2; k <= N + 1; ++k)
    AddMember(lm, 12, FindOrAddNode(lm, P(k), e, 0), FindOrAddNode(lm, P(k), 0, 0), 0, 0, 0);
  lm.depth_of_top_axis = tm.depth_of_top_axis;
  lm.depth_of_bottom_axis = tm.depth_of_top_axis + e;
  lm.real_block_count = 1;
  lm.block_count = 1;
  // Lengths and derived quantities at once: the longitudinal tables read
  // them before the frame fill recomputes them.
  for (int k = 1; k <= lm.member_count; ++k) {
    ModelMember& mb = lm.Member(k);
    const ModelNode& a = lm.Node(mb.node_i);
    const ModelNode& b = lm.Node(mb.node_j);
    mb.length = RoundTo3(std::hypot(b.x - a.x, b.y - a.y));
  }
  DeriveLongitudinalQuantities(layout, rec, row, lm);
}

void DeriveLongitudinalQuantities(int layout, const ModelRecord& rec, const BlockRow& row,
                                  StructureModel& lm) {
  const bool box = layout == kLayoutBox;
  const DimensionSet& b1 = Dims(row, 1);
  const int n = std::clamp(rec.longitudinal_blocks, 2, 50);
  const double wa = rec.wall_upper, wb = rec.wall_lower;
  lm.span_count = std::max(n, 2);
  lm.mean_span = b1.L();
  lm.frame_width = 0;
  lm.frame_height = 0;
  for (int k = 1; k <= lm.node_count; ++k) {
    lm.frame_width = std::max(lm.frame_width, lm.Node(k).x);
    lm.frame_height = std::max(lm.frame_height, lm.Node(k).y);
  }
  const double W = lm.frame_width, e = lm.frame_height;
  lm.last_member_of_type = {};
  lm.first_top_member = lm.last_top_member = lm.first_bottom_member = lm.last_bottom_member = 0;
  lm.extents = {};
  for (int k = 1; k <= lm.member_count; ++k) {
    const int t = lm.Member(k).type;
    lm.last_member_of_type[static_cast<std::size_t>(t)] = k;
    if (t == 1) lm.left_wall_member = k;
    if (t == 2) {
      lm.right_wall_member = k;
      lm.extents[0] = -(wb - wa / 2);
      lm.extents[2] = W + (wb - wa / 2);
      lm.extents[1] = -b1.c() / 2;
      lm.extents[3] = e + (box ? b1.f() : Dims(row, 2).b()) / 2;
      lm.extents[9] = std::max(lm.extents[9], e);
    }
    if (t == 19) {
      if (lm.first_top_member == 0) lm.first_top_member = k;
      lm.last_top_member = k;
    }
    if (t == 21) {
      if (lm.first_bottom_member == 0) lm.first_bottom_member = k;
      lm.last_bottom_member = k;
    }
  }
  lm.first_top_slab_member = lm.first_top_member;
  lm.last_top_slab_member = lm.last_top_member;
  lm.extents[8] = wa + wb + n * b1.L();
  lm.bottom_right_node = 0;
  for (int k = 1; k <= lm.node_count; ++k)
    if (std::fabs(lm.Node(k).x - W) < 0.000001 && std::fabs(lm.Node(k).y) < 0.000001) {
      lm.bottom_right_node = k;
      break;
    }
}

void PrepareLongitudinalTables(const SeismicContext& ctx, const GroundQuantities& g,
                               StructureModel& lm, const MasterData* md, LongitudinalTables& lt) {
  const InputRecords& rec = *ctx.rec;
  const ModelRecord& mr = rec.model;
  const BlockRow& row = *ctx.row;
  const StructureModel& tm = *ctx.transverse;
  const bool box = ctx.layout == kLayoutBox;
  lt = LongitudinalTables{};
  const double wl = std::max(g.wl, 0.001), wc = std::max(g.wc, 0.001);
  const DimensionSet& b1 = Dims(row, 1);
  const DimensionSet& b3 = Dims(row, 3);
  auto entry = [&](int k, const char* name, double B, double t) {
    LongSection& s = lt.sections.at(static_cast<std::size_t>(k));
    s.name = name;
    s.B = B;
    s.t = t;
    s.wl = wl;
    s.A = B * t / wl;
    s.I = B * t * t * t / (12 * wl);
  };
  entry(1, "端壁", wl, (mr.wall_upper + mr.wall_lower) / 2);
  entry(2, "中間壁上", box ? 2 * b3.a() + b3.B() : 2 * b3.e() + b3.a(),
        box ? b3.f() : b3.f() + b3.g() + b3.e());
  entry(3, "中間壁下", box ? 2 * b3.a() : b3.a(), b3.L() - 0.1 - b3.r(12));
  entry(4, "底版", wc, b1.c());

  // Section records.
  const double bar = md ? md->BarAreaMm2(6) : 0;
  for (int k = 1; k <= lm.member_count; ++k) {
    const int t = lm.Member(k).type;
    int ei = 0;
    if (t == 1 || t == 2) ei = 1;
    if (t == 19 || t == 20) ei = 2;
    if (t >= 9 && t <= 12) ei = 3;
    if (t == 13 || t == 14 || (t >= 21 && t <= 23)) ei = 4;
    const double B = ei ? lt.sections.at(static_cast<std::size_t>(ei)).B : b1.L();
    const double th = ei ? lt.sections.at(static_cast<std::size_t>(ei)).t : 0.5;
    MemberSection& sec = lm.Section(k);
    sec = MemberSection{};
    sec.Current(0) = 1000 * B;
    sec.Current(1) = sec.Current(2) = 1000 * th;
    sec.Current(3) = 1000 * wl;
    sec.Current(6) = 6;
    sec.Current(7) = 1;
    sec.Current(10) = mr.precast_cover + 3;
    sec.Current(11) = sec.Current(1) - sec.Current(10);
    sec.Current(12) = bar;
    sec.Current(14) = 6;
    sec.Current(15) = 1;
    sec.Current(18) = mr.precast_cover + 3;
    sec.Current(19) = sec.Current(1) - sec.Current(18);
    sec.Current(20) = bar;
    for (int i = 0; i < kSectionHalf; ++i) sec.Default(i) = sec.Current(i);
  }

  // Weights and self-weight intensities.
  const MaterialsRecord& mat = rec.materials;
  const double g1 = mat.Column(1).gamma_c, g2 = mat.Column(2).gamma_c, g3 = mat.Column(3).gamma_c,
               g4 = mat.Column(4).gamma_c;
  const int i_block = BlockOfLast(tm, 12, tm.left_end_block);
  const DimensionSet& bi = Dims(row, i_block);
  auto S = [&](int k) -> const LongSection& { return lt.sections.at(static_cast<std::size_t>(k)); };
  lt.v[1] = g1 * S(1).t;
  lt.v[2] = g1 * S(2).t;
  lt.v[3] = g1 * S(3).t * bi.a() / wl * (box ? 2 : 1);
  lt.v[4] = g1 * S(4).t;
  auto weigh = [&](int r, const char* name, const char* sym, int ei, double len, double gamma) {
    WeightRow& w = lt.weights.rows.at(static_cast<std::size_t>(r));
    w.used = true;
    w.name = name;
    w.symbol = sym;
    w.t = S(ei).t;
    w.len = len;
    w.ratio = S(ei).B / wl;
    w.w = RoundTo3(w.ratio * w.t * len * gamma);
    ++w.n;
  };
  for (int k = 1; k <= lm.member_count; ++k) {
    const ModelMember& mb = lm.Member(k);
    if (mb.type == 1 || mb.type == 2) weigh(1, "端壁", "Ｗs1", 1, mb.length, g4);
    if (mb.type == 11) weigh(11, "中間壁(端部)", "Ｗp1", 3, mb.length, g1);
    if (mb.type == 12) weigh(12, "中間壁(中間)", "Ｗp2", 3, mb.length, g1);
  }
  weigh(19, "頂版ｽﾗﾌﾞ", "Ｗu", 2, lm.frame_width, g2);
  weigh(21, "底版", "Ｗb", 4, lm.frame_width, g3);
  for (int r = 1; r <= 32; ++r) {
    WeightRow& w = lt.weights.rows.at(static_cast<std::size_t>(r));
    w.wc = RoundTo3(w.w * w.n);
    lt.weights.total += w.wc;
  }
  const double per = lt.weights.total / std::max(tm.frame_width, 0.001);
  lt.weights.reaction = {per, per, per};

  // Response-displacement earth pressure.
  constexpr double kPi = std::numbers::pi;
  const double H = std::max(g.H, 0.001), zt = lm.depth_of_top_axis, zb = lm.depth_of_bottom_axis;
  for (int k = 1; k <= 5; ++k) {
    ResponseRow& r = lt.response.at(static_cast<std::size_t>(k));
    r.z = zt + (zb - zt) * (k - 1) / 4;
    for (int lv = 1; lv <= 2; ++lv) {
      const auto l = static_cast<std::size_t>(lv);
      const double f = 2 / (kPi * kPi) * g.sv[l] * g.ts[l];
      r.kh[l] = RoundTo1(g.springs[kLongitudinal].kh[l]);
      // Unrounded, as the transverse table (the table rounds for print).
      r.ub[l] = f * std::cos(kPi * zb / (2 * H));
      r.u[l] = f * std::cos(kPi * r.z / (2 * H));
      r.du[l] = r.u[l] - r.ub[l];
      r.p[l] = RoundTo3(r.kh[l] * r.du[l]);
    }
  }

  // Inertia.
  auto add = [&](int r, bool upper, double z, double t, double gamma, const char* name) {
    InertiaEntry e;
    e.row = r;
    e.upper = upper;
    e.name = name;
    e.z = RoundTo3(z);
    e.t = RoundTo3(t);
    e.gamma = gamma;
    e.w = RoundTo3(e.t * gamma);
    for (int lv = 1; lv <= 2; ++lv) {
      const auto l = static_cast<std::size_t>(lv);
      e.kh[l] = RoundTo4((1 - 0.015 * e.z) * (lv == 1 ? g.kh1 : g.kh2));
      e.q[l] = RoundTo3(e.w * e.kh[l]);
      (upper ? lt.inertia.upper : lt.inertia.lower).at(static_cast<std::size_t>(r))[l] = e.q[l];
    }
    lt.inertia.entries.push_back(e);
  };
  add(1, true, zt, mr.wall_upper, g1, "端壁上");
  add(1, false, zb, mr.wall_lower, g1, "端壁下");
  add(19, true, zt, box ? bi.f() : Dims(row, BlockOfLast(tm, 19, tm.first_slab_block)).b(), g1,
      "頂版");
  add(12, true, zt, S(2).B * S(2).t / wl, g1, "中間壁上");
  add(12, false, zb, (bi.L() - 0.1 - bi.r(12)) * bi.a() / wl * (box ? 2 : 1), g1, "中間壁下");
  add(21, true, zb, Dims(row, BlockOfLast(tm, 21, tm.first_zone)).b(), g3, "底版");
}

void LongitudinalSelfWeight(FrameLoadCase& c, const StructureModel& lm,
                            const LongitudinalTables& lt, int level) {
  c.name = level == 0 ? "自重" : "地震時.自重";
  for (int k = 1; k <= lm.member_count; ++k) {
    const ModelMember& mb = lm.Member(k);
    if (mb.length < 0.001) continue;
    double q = 0;
    if (mb.type == 1 || mb.type == 2) q = lt.v[1];
    if (mb.type == 11 || mb.type == 12) q = lt.v[3];
    if (mb.type == 19) q = lt.v[2];
    if (mb.type == 21) q = lt.v[4];
    if (q == 0) continue;
    FrameLoadItem it;
    it.type = kLoadDistGlobalY;
    it.first_member = k;
    it.d1 = it.d2 = -q;
    c.items.Add(it);
  }
}

void LongitudinalInertia(FrameLoadCase& c, const StructureModel& lm, const LongitudinalTables& lt,
                         int level, int method) {
  (void)method;  // the spring case follows the method where the cases are named
  const InertiaTable& t = lt.inertia;
  for (int k = 1; k <= lm.member_count; ++k) {
    const ModelMember& mb = lm.Member(k);
    if (mb.length < 0.001) continue;
    double d1 = 0, d2 = 0;
    switch (mb.type) {
      case 1:
        d1 = t.L(1, level), d2 = t.U(1, level);
        break;
      case 2:
        d1 = t.U(1, level), d2 = t.L(1, level);
        break;
      case 11:
      case 12:
        d1 = t.U(12, level), d2 = t.L(12, level);
        break;
      case 19:
        d1 = d2 = t.U(19, level);
        break;
      case 21:
        d1 = d2 = t.U(21, level);
        break;
      default:
        break;
    }
    if (d1 == 0 && d2 == 0) continue;
    FrameLoadItem it;
    it.type = kLoadDistGlobalX;
    it.first_member = k;
    it.d1 = d1;
    it.d2 = d2;
    c.items.Add(it);
  }
}

}  // namespace vaultra
