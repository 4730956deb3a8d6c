#include "model/load_cases.h"

#include <algorithm>
#include <cmath>

#include "core/number.h"
#include "model/geometry.h"

namespace vaultra {

namespace {

struct CaseRow {
  const char* rdm;
  const char* scm;
  int spring, support;
};

// Names and spring/support cases of the 25 load cases (response
// displacement method; the seismic coefficient method changes some below).
constexpr CaseRow kCases[kLoadCaseCount + 1] = {
    {"", "", 0, 0},
    {"自重", "自重", 0, 1},
    {"覆土荷重＋静止土圧", "覆土荷重＋静止土圧", 0, 1},
    {"載荷荷重", "載荷荷重", 0, 1},
    {"後輪荷重", "後輪荷重", 0, 1},
    {"外水圧", "外水圧", 0, 1},
    {"静水圧", "静水圧", 0, 1},
    {"任意活荷重", "任意活荷重", 0, 1},
    {"L1.自重", "L1.自重", 1, 2},
    {"L1.覆土荷重＋静止土圧", "", 1, 2},
    {"L1.外水圧", "L1.外水圧", 1, 2},
    {"L1.土圧", "L1.土圧", 2, 3},
    {"L1.慣性力", "L1.慣性力", 2, 3},
    {"L1.周面せん断力", "L1.覆土せん断力", 2, 3},
    {"L1.静水圧", "L1.静水圧", 1, 2},
    {"L1.動水圧", "L1.動水圧", 2, 3},
    {"L1.予備", "L1.予備", 2, 3},
    {"L2.自重", "L2.自重", 3, 2},
    {"L2.覆土荷重＋静止土圧", "", 3, 2},
    {"L2.外水圧", "L2.外水圧", 3, 2},
    {"L2.土圧", "L2.土圧", 4, 3},
    {"L2.慣性力", "L2.慣性力", 4, 3},
    {"L2.周面せん断力", "L2.覆土せん断力", 4, 3},
    {"L2.静水圧", "L2.静水圧", 3, 2},
    {"L2.動水圧", "L2.動水圧", 4, 3},
    {"L2.予備", "L2.予備", 4, 3},
};

class Generator {
 public:
  Generator(FrameModel& f, const StructureModel& m, Direction d, const LoadInputs& in)
      : f_(f), m_(m), dir_(d), in_(in), lr_(in.rec->loads), row_(*in.row) {}

  void Run();

 private:
  FrameModel& f_;
  const StructureModel& m_;
  Direction dir_;
  const LoadInputs& in_;
  const LoadsRecord& lr_;
  const BlockRow& row_;
  FrameLoadCase* c_ = nullptr;

  bool rdm() const { return lr_.method == kMethodResponseDisplacement; }
  bool box() const { return in_.layout == kLayoutBox; }
  const DimensionSet& Dims(int k) const {
    return row_.At(std::clamp(k, 1, kMaxBlocks)).working_set;
  }
  const ModelMember& Mb(int k) const { return m_.Member(k); }
  int TypeOf(int k) const { return k >= 1 && k <= m_.member_count ? m_.Member(k).type : 0; }
  bool Usable(int k) const {
    return k >= 1 && k <= m_.member_count && m_.Member(k).length >= 0.001;
  }

  void Add(int type, int first, int last, double d1, double d2, double d3 = 0, double d4 = 0) {
    FrameLoadItem it;
    it.type = type;
    it.first_member = first;
    it.last_member = last;
    it.d1 = d1;
    it.d2 = d2;
    it.d3 = d3;
    it.d4 = d4;
    c_->items.Add(it);
  }

  void SelfWeight(int level);
  void CoverAndStatic(int case_no, int level);
  void Surcharge();
  void RearWheel();
  void ExternalWater();
  void InternalWater(int level);
  void SeismicEarth(int level);
  void Inertia(int level);
  void Shear(int level);
  void Hydrodynamic(int level);
  void Balance(int case_no);
};

void Generator::SelfWeight(int level) {
  const MaterialsRecord& mat = in_.rec->materials;
  const double g1 = mat.Column(1).gamma_c;
  c_->name = level == 0 ? "自重" : "地震時.自重";
  for (int k = 1; k <= m_.member_count; ++k) {
    if (!Usable(k)) continue;
    const ModelMember& mb = Mb(k);
    const DimensionSet& cur = Dims(mb.block);
    const DimensionSet& prev = Dims(mb.block - 1);
    const DimensionSet& next = Dims(mb.block + 1);
    double ti = 0, tj = 0, g = g1;
    switch (mb.type) {
      case 1:
        ti = cur.b(), tj = cur.a();
        break;
      case 2:
        ti = cur.a(), tj = cur.b();
        break;
      case 3:
      case 4:
        ti = tj = cur.f();
        break;
      case 5:
      case 6:
      case 9:
      case 10:
      case 11:
      case 12:
        ti = tj = cur.a();
        break;
      case 7:
        ti = tj = cur.g() + prev.b();
        break;
      case 8:
        ti = tj = cur.g() + next.b();
        break;
      case 13:
      case 14:
      case 15:
      case 16:
      case 17:
      case 18:
        ti = tj = cur.c();
        break;
      case 19:
      case 20:
        ti = tj = cur.b();
        break;
      case 21:
      case 22:
      case 23:
        ti = tj = cur.b(), g = mat.Column(3).gamma_c;
        break;
      default:
        continue;
    }
    if (mb.type == 9 || mb.type == 10) {
      if (mb.mirrored)
        Add(kLoadDistGlobalY, k, 0, -cur.d() * g, 0, cur.f() / 2, 0);
      else
        Add(kLoadDistGlobalY, k, 0, 0, -cur.d() * g, 0, cur.f() / 2);
    }
    Add(kLoadDistGlobalY, k, 0, -ti * g, -tj * g);
  }
}

void Generator::CoverAndStatic(int case_no, int level) {
  const bool strata_case = (case_no == 9 || case_no == 18) && lr_.strata;
  const int v = strata_case ? 1 : 0;
  const PressureTables& p = *in_.pressure;
  const SidePressureTable& t = p.side[static_cast<std::size_t>(v)][static_cast<std::size_t>(dir_)];
  const double zt = m_.depth_of_top_axis, zb = m_.depth_of_bottom_axis;
  const auto l = static_cast<std::size_t>(level);
  for (int side = 0; side < 2; ++side) {
    const int k = side == 0 ? m_.left_wall_member : m_.right_wall_member;
    if (!Usable(k)) continue;
    if (side == 1 && level > 0 && lr_.earth_option == kEarthOneSide) continue;
    const bool half = side == 1 && level > 0 && lr_.earth_option == kEarthOneSidePassive;
    for (int r = t.top_row; r + 1 <= t.Count(); ++r) {
      const SideRow& a = t.Row(r);
      const SideRow& b = t.Row(r + 1);
      const double pa = half ? a.half_p[l] : a.p[l], pb = half ? b.half_p[l] : b.p[l];
      if (side == 0)
        Add(kLoadDistGlobalX, k, 0, pb, pa, zb - b.z, a.z - zt);
      else
        Add(kLoadDistGlobalX, k, 0, -pa, -pb, a.z - zt, zb - b.z);
    }
  }
  const std::vector<CoverRecord>& cover = p.cover[static_cast<std::size_t>(v)];
  for (int k = 1; k <= m_.member_count; ++k) {
    if (!Usable(k)) continue;
    double pv = 0;
    if (dir_ == kTransverse) {
      const int grp = Mb(k).cover_group;
      if (grp >= 1 && grp <= static_cast<int>(cover.size()))
        pv = cover[static_cast<std::size_t>(grp - 1)].pv;
    } else {
      const int ty = Mb(k).type;
      if ((ty == 3 || ty == 4 || ty == 7 || ty == 8 || ty == 19 || ty == 20) && !cover.empty())
        pv = cover[0].pv;
    }
    if (pv > 0) Add(kLoadDistGlobalY, k, 0, -pv, -pv);
  }
}

void Generator::Surcharge() {
  const double q = dir_ == kTransverse ? lr_.q : lr_.q_longitudinal;
  for (int k = 1; k <= m_.member_count; ++k) {
    if (!Usable(k)) continue;
    const int ty = Mb(k).type;
    if (ty == 1 && lr_.kah * q != 0) Add(kLoadDistGlobalX, k, 0, lr_.kah * q, lr_.kah * q);
    if (ty == 2 && lr_.kah * q != 0) Add(kLoadDistGlobalX, k, 0, -lr_.kah * q, -lr_.kah * q);
    if ((ty == 3 || ty == 4 || ty == 7 || ty == 8 || ty == 19 || ty == 20) && q != 0)
      Add(kLoadDistGlobalY, k, 0, -q, -q);
  }
}

void Generator::RearWheel() {
  if (dir_ != kTransverse) return;
  const std::vector<WheelZone> zones =
      RearWheelZones(in_.layout, row_, m_, lr_, in_.rec->model.cover_depth);
  for (const WheelZone& z : zones) {
    if (z.pw < 0.001) continue;
    for (int k = 1; k <= m_.member_count; ++k) {
      if (!Usable(k)) continue;
      const int ty = Mb(k).type;
      if (!(ty == 3 || ty == 4 || ty == 7 || ty == 8 || ty == 19 || ty == 20)) continue;
      const double xi = m_.Node(Mb(k).node_i).x, xj = m_.Node(Mb(k).node_j).x;
      const double lo = std::min(xi, xj), hi = std::max(xi, xj);
      if (!(z.left < hi && z.right > lo)) continue;
      const double len = Mb(k).length;
      double d3 = z.left - lo, d4 = hi - z.right;
      if (xi > xj) std::swap(d3, d4);
      Add(kLoadDistGlobalY, k, 0, -z.pw, -z.pw, std::clamp(d3, 0.0, len), std::clamp(d4, 0.0, len));
    }
  }
}

void Generator::ExternalWater() {
  const ExternalWaterTable& t = in_.pressure->water;
  if (!in_.rec->model.ground_water || t.Count() == 0) return;
  const int n = t.Count();
  const double zt = m_.depth_of_top_axis;
  const WaterRow& last = t.rows.at(static_cast<std::size_t>(n));
  const WaterRow& start = t.rows.at(n == 3 ? 2 : 1);
  const double ps = n == 3 ? start.p : 0.0, pe = last.p;
  if (!(n == 2 && pe == 0)) {
    const double sd = start.z - zt;
    if (Usable(m_.left_wall_member)) Add(kLoadDistGlobalX, m_.left_wall_member, 0, pe, ps, 0, sd);
    if (Usable(m_.right_wall_member))
      Add(kLoadDistGlobalX, m_.right_wall_member, 0, -ps, -pe, sd, 0);
  }
  if (n != 3) return;
  const double v = t.rows.at(2).p, gw = lr_.gamma_w;
  for (int k = 1; k <= m_.member_count; ++k) {
    if (!Usable(k)) continue;
    const ModelMember& mb = Mb(k);
    double c = 0, ref = 0;
    if (dir_ == kTransverse) {
      ref = Dims(1).f();
      switch (mb.type) {
        case 3:
        case 4:
          c = Dims(mb.block).f();
          break;
        case 7:
          c = k > 1 ? Dims(Mb(k - 1).block).b() : 0;
          if (!box()) ref = c;
          break;
        case 8:
          c = k < m_.member_count ? Dims(Mb(k + 1).block).b() : 0;
          if (!box()) ref = c;
          break;
        case 19:
        case 20:
          c = Dims(mb.block).b();
          break;
        default:
          continue;
      }
    } else {
      if (mb.type != 19 && mb.type != 20) continue;
      c = ref = box() ? Dims(1).f() : Dims(2).b();
    }
    const double h = RoundTo3((v - gw * (c - ref / 2)) / std::max(gw, 0.1));
    const double q = RoundTo3(h * gw);
    if (q > 0) Add(kLoadDistGlobalY, k, 0, -q, -q);
  }
}

void Generator::InternalWater(int level) {
  const double h = in_.rec->model.water_level[level];
  if (h <= 0) return;
  const double gw = lr_.gamma_w, yf = m_.extents[5];
  const double a1 = Dims(1).a();
  for (int k = 1; k <= m_.member_count; ++k) {
    if (!Usable(k)) continue;
    const ModelMember& mb = Mb(k);
    const double r = std::max(mb.length - yf - h, 0.0);
    if (mb.type == 1) Add(kLoadDistGlobalX, k, 0, -h * gw, 0, yf, r);
    if (mb.type == 2) Add(kLoadDistGlobalX, k, 0, 0, h * gw, r, yf);
    const double ab = Dims(mb.block).a();
    double d3 = 0, d4 = 0;
    switch (mb.type) {
      case 15:
        d3 = 0, d4 = a1 / 2;
        break;
      case 16:
        d3 = ab / 2, d4 = 0;
        break;
      case 17:
        d3 = 0, d4 = ab / 2;
        break;
      case 18:
        d3 = a1 / 2, d4 = 0;
        break;
      case 13:
      case 14:
        d3 = d4 = a1 / 2;
        break;
      case 21:
      case 22:
      case 23:
        break;
      default:
        continue;
    }
    Add(kLoadDistGlobalY, k, 0, -gw * h, -gw * h, d3, d4);
  }
}

void Generator::SeismicEarth(int level) {
  const std::array<ResponseRow, 6>& t =
      dir_ == kTransverse ? in_.seismic->response : in_.longitudinal->response;
  const double zt = m_.depth_of_top_axis, zb = m_.depth_of_bottom_axis;
  const auto l = static_cast<std::size_t>(level);
  for (int side = 0; side < 2; ++side) {
    const int k = side == 0 ? m_.left_wall_member : m_.right_wall_member;
    if (!Usable(k)) continue;
    for (int r = 2; r <= 5; ++r) {
      const ResponseRow& a = t[static_cast<std::size_t>(r - 1)];
      const ResponseRow& b = t[static_cast<std::size_t>(r)];
      const double K = std::max(a.z - zt, 0.0), N = std::max(zb - b.z, 0.0);
      if (K + N > zb - zt - 0.001) continue;
      if (side == 1)
        Add(kLoadDistGlobalX, k, 0, a.p[l], b.p[l], K, N);
      else
        Add(kLoadDistGlobalX, k, 0, b.p[l], a.p[l], N, K);
    }
  }
}

void Generator::Inertia(int level) {
  const InertiaTable& it = in_.seismic->inertia;
  auto U = [&](int r) { return it.U(r, level); };
  auto Lo = [&](int r) { return it.L(r, level); };
  // A second seat row exists only for a second slab thickness.
  auto U8 = [&]() {
    return it.U(8, level) != 0 || !std::any_of(it.entries.begin(), it.entries.end(),
                                               [](const InertiaEntry& e) { return e.row == 7; })
               ? it.U(8, level)
               : it.U(7, level);
  };
  const double len1 = m_.member_count >= 1 ? Mb(1).length : 0,
               len3 = m_.member_count >= 3 ? Mb(3).length : 0;
  const double v = len1 - len3, u = box() ? len3 : 0;
  const double wm = (v * U(12) + u * Lo(12)) / std::max(v + u, 0.001);
  for (int k = 1; k <= m_.member_count; ++k) {
    if (!Usable(k)) continue;
    const ModelMember& mb = Mb(k);
    double d1 = 0, d2 = 0;
    switch (mb.type) {
      case 1:
        d1 = Lo(1), d2 = U(1);
        break;
      case 2:
        d1 = U(1), d2 = Lo(1);
        break;
      case 3:
      case 4:
        d1 = d2 = U(3);
        break;
      case 5:
      case 6:
      case 11:
      case 12:
        d1 = mb.mirrored ? U(12) : Lo(12);
        d2 = mb.mirrored ? Lo(12) : U(12);
        if (box()) {
          const bool seat_at_i =
              (mb.type == 11 || mb.type == 12) ? mb.mirrored != 0 : mb.mirrored == 0;
          (seat_at_i ? d1 : d2) = wm;
        }
        break;
      case 7:
        d1 = d2 = TypeOf(k - 1) == 19 ? U(7) : U8();
        break;
      case 8:
        d1 = d2 = TypeOf(k + 1) == 19 ? U(7) : U8();
        break;
      case 9:
      case 10:
        d1 = mb.mirrored ? U(10) : Lo(10);
        d2 = mb.mirrored ? Lo(10) : U(10);
        {
          const double f = Dims(mb.block).f();
          if (mb.mirrored)
            Add(kLoadDistGlobalX, k, 0, U(24), 0, f / 2, 0);
          else
            Add(kLoadDistGlobalX, k, 0, 0, U(24), 0, f / 2);
        }
        break;
      case 13:
      case 14:
      case 15:
      case 16:
      case 17:
      case 18:
        d1 = d2 = U(13);
        break;
      case 19:
      case 20:
        d1 = d2 = U(mb.type);
        break;
      case 21:
      case 22:
      case 23:
        d1 = d2 = U(21);
        break;
      default:
        break;
    }
    if (d1 != 0 || d2 != 0) Add(kLoadDistGlobalX, k, 0, d1, d2);
  }
}

void Generator::Shear(int level) {
  const SeismicTables& st = *in_.seismic;
  const double tu = st.TopSlabShear(level), tb = st.BottomSlabShear(level),
               ts = st.SideWallShear(level);
  if (rdm()) {
    if (Usable(m_.left_wall_member)) Add(kLoadDistGlobalY, m_.left_wall_member, 0, -ts, -ts);
    if (Usable(m_.right_wall_member)) Add(kLoadDistGlobalY, m_.right_wall_member, 0, ts, ts);
  }
  if (m_.first_top_member > 0) {
    const int last = m_.last_top_member > 0 ? m_.last_top_member : m_.first_top_member;
    if (!box()) {
      Add(kLoadDistGlobalX, m_.first_top_member, last, tu, tu);
    } else {
      for (int k = m_.first_top_member; k <= last; ++k)
        if (Usable(k) && TypeOf(k) != 5 && TypeOf(k) != 6) Add(kLoadDistGlobalX, k, 0, tu, tu);
    }
  }
  if (rdm() && m_.first_bottom_member > 0)
    Add(kLoadDistGlobalX, m_.first_bottom_member, m_.last_bottom_member, -tb, -tb);
}

void Generator::Hydrodynamic(int level) {
  const double hl = in_.rec->model.water_level[level];
  if (hl <= 0) return;
  const HydroTable& t =
      in_.seismic->hydro[static_cast<std::size_t>(dir_)][static_cast<std::size_t>(level)];
  const double yf = m_.extents[5], e = yf + hl;
  for (int k = 1; k <= m_.member_count; ++k) {
    if (!Usable(k)) continue;
    const ModelMember& mb = Mb(k);
    const bool inner = mb.type >= 9 && mb.type <= 12;
    if (!(mb.type == 1 || mb.type == 2 || inner)) continue;
    if (inner && dir_ == kLongitudinal) continue;
    const ModelNode& ni = m_.Node(mb.node_i);
    const ModelNode& nj = m_.Node(mb.node_j);
    const bool up = ni.y <= nj.y;
    const double yl = std::min(ni.y, nj.y), yu = std::max(ni.y, nj.y);
    for (std::size_t j = 0; j + 1 < t.rows.size(); ++j) {
      // Plain names, not a structured binding: the lambda below captures
      // them, which C++20 compilers do not all accept for bindings.
      const double za = t.rows[j].first, pa = t.rows[j].second;
      const double zb = t.rows[j + 1].first, pb = t.rows[j + 1].second;
      const double m = std::max(yf, std::clamp(e - za, yl, yu));
      const double h = std::max(yf, std::clamp(e - zb, yl, yu));
      if (m - h < 0.001) continue;
      auto at = [&](double y) {
        return zb - za > 0 ? pa + (pb - pa) * ((e - y) - za) / (zb - za) : pa;
      };
      double pm = at(m), ph = at(h);
      if (inner) pm *= 2, ph *= 2;
      if (up)
        Add(kLoadDistGlobalX, k, 0, ph, pm, h - yl, yu - m);
      else
        Add(kLoadDistGlobalX, k, 0, pm, ph, yu - m, h - yl);
    }
  }
}

void Generator::Balance(int case_no) {
  double r = 0;
  if (case_no == 1 && dir_ == kLongitudinal) {
    // The longitudinal model's own weight, carried by the ground under its
    // bottom members: the reaction is that weight over their length, so the
    // point supports carry none of it. (The transverse reaction intensity
    // belongs to the transverse section's weight.)
    double bottom = 0;
    for (int k = m_.first_bottom_member; k >= 1 && k <= m_.last_bottom_member; ++k)
      if (k <= m_.member_count) bottom += m_.Member(k).length;
    const double own = VerticalResultant(*c_, m_);
    c_->own_weight = own;
    if (bottom > 0.001) {
      r = -own / bottom;
      c_->balancing_reaction = r * bottom;
    }
  } else if (case_no == 1) {
    r = in_.pressure->weights.reaction[0];
  } else {
    r = -VerticalResultant(*c_, m_) / std::max(m_.frame_width, 0.001);
  }
  if (std::fabs(r) > 0.001 && m_.first_bottom_member > 0)
    Add(kLoadDistGlobalY, m_.first_bottom_member, m_.last_bottom_member, r, r);
}

void Generator::Run() {
  f_.load_cases.Clear();
  f_.combinations.Clear();
  for (int n = 1; n <= kLoadCaseCount; ++n) {
    FrameLoadCase lc;
    lc.number = n;
    lc.name = rdm() ? kCases[n].rdm : kCases[n].scm;
    lc.spring_case = kCases[n].spring;
    lc.support_case = kCases[n].support;
    if (!rdm() && (n == 12 || n == 13 || n == 15)) lc.spring_case = 5;
    if (!rdm() && (n == 21 || n == 22 || n == 24)) lc.spring_case = 6;
    if (!rdm() && (n == 11 || n == 20)) {
      const bool one_side = lr_.earth_option == kEarthOneSide;
      lc.spring_case = n == 11 ? (one_side ? 5 : 1) : (one_side ? 6 : 3);
      lc.support_case = 2;
    }
    f_.load_cases.Add(lc);
  }
  const bool longi = dir_ == kLongitudinal;
  for (int n = 1; n <= kLoadCaseCount; ++n) {
    c_ = &f_.load_cases.At(n);
    const int level = n <= 7 ? 0 : n <= 16 ? 1 : 2;
    switch (n) {
      case 1:
      case 8:
      case 17:
        if (longi)
          LongitudinalSelfWeight(*c_, m_, *in_.longitudinal, level);
        else
          SelfWeight(level);
        c_->name = kCases[n].rdm;
        break;
      case 2:
        CoverAndStatic(2, 0);
        break;
      case 9:
      case 18:
        if (rdm()) CoverAndStatic(n, 0);
        break;
      case 3:
        Surcharge();
        break;
      case 4:
        RearWheel();
        break;
      case 5:
      case 10:
      case 19:
        ExternalWater();
        break;
      case 6:
      case 14:
      case 23:
        InternalWater(level);
        break;
      case 11:
      case 20:
        if (rdm())
          SeismicEarth(level);
        else
          CoverAndStatic(n, level);
        break;
      case 12:
      case 21:
        if (longi)
          LongitudinalInertia(*c_, m_, *in_.longitudinal, level, lr_.method);
        else
          Inertia(level);
        break;
      case 13:
      case 22:
        Shear(level);
        break;
      case 15:
      case 24:
        Hydrodynamic(level);
        break;
      default:
        break;
    }
  }
  for (int n = 1; n <= 6; ++n) {
    c_ = &f_.load_cases.At(n);
    Balance(n);
  }
  for (FrameLoadCase& lc : f_.load_cases) {
    double mx = 0.1;
    for (const FrameLoadItem& it : lc.items)
      mx = std::max({mx, std::fabs(it.d1), std::fabs(it.d2)});
    lc.max_intensity = mx;
  }
  static constexpr const char* kNames[3] = {"組合せ常時荷重", "組合せＬ１荷重", "組合せＬ２荷重"};
  for (int c = 1; c <= kCombinationCount; ++c) {
    FrameCombination cb;
    cb.number = c;
    cb.factor = 1.0;
    cb.name = kNames[c - 1];
    std::vector<int> list;
    if (c == 1)
      list = {1, 2, 3, 4, 5, 6, 7};
    else if (!longi)
      for (int k = c == 2 ? 8 : 17; k <= (c == 2 ? 15 : 24); ++k) list.push_back(k);
    else
      list = c == 2 ? std::vector<int>{11, 12, 13, 15} : std::vector<int>{20, 21, 22, 24};
    for (int k : list) cb.entries.Add({k, 1.0});
    f_.combinations.Add(cb);
  }
}

}  // namespace

double VerticalResultant(const FrameLoadCase& c, const StructureModel& model) {
  double sum = 0;
  for (const FrameLoadItem& it : c.items) {
    if (it.type != kLoadDistGlobalY) continue;
    const int last = it.last_member > 0 ? it.last_member : it.first_member;
    double len = 0;
    for (int k = it.first_member; k <= last && k <= model.member_count; ++k)
      if (k >= 1) len += model.Member(k).length;
    sum += (it.d1 + it.d2) * (len - it.d3 - it.d4) / 2;
  }
  return sum;
}

void GenerateLoadCases(FrameModel& frame, const StructureModel& model, Direction dir,
                       const LoadInputs& in) {
  Generator(frame, model, dir, in).Run();
}

}  // namespace vaultra
