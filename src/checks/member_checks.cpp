#include "checks/member_checks.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "core/number.h"

namespace vaultra {

int CheckGroupOf(int t) {
  switch (t) {
    case 1:
    case 2:
      return 1;
    case 3:
      return 2;
    case 9:
      return 3;
    case 11:
      return 4;
    case 13:
      return 5;
    case 15:
    case 18:
      return 6;
    case 4:
      return 7;
    case 10:
      return 8;
    case 12:
      return 9;
    case 14:
      return 10;
    case 16:
    case 17:
      return 11;
    case 5:
    case 6:
      return 12;
    case 7:
    case 8:
      return 13;
    case 19:
    case 20:
      return 14;
    case 21:
    case 22:
    case 23:
      return 15;
    case 24:
      return 16;
    case 25:
    case 26:
    case 27:
      return 17;
    default:
      return 0;
  }
}

int MaterialColumnOf(int t) {
  if (t == 19 || t == 20) return 2;
  if (t >= 21 && t <= 23) return 3;
  return 1;
}

MemberCheckTable::Rows::Rows(const Rows& other) {
  *this = other;
}

MemberCheckTable::Rows& MemberCheckTable::Rows::operator=(const Rows& other) {
  if (this == &other) return *this;
  made.clear();
  if (!other.made.empty()) {
    made.reserve(kCheckTableRows + 1);
    made.assign(other.made.begin(), other.made.end());
  }
  return *this;
}

CheckPointRecord& MemberCheckTable::Row(int p) {
  if (p < 0 || p > kCheckTableRows) throw std::out_of_range("MemberCheckTable row");
  const auto at = static_cast<std::size_t>(p);
  std::vector<CheckPointRecord>& made = rows_.made;
  if (at >= made.size()) {
    made.reserve(kCheckTableRows + 1);  // never again: references stay valid
    made.resize(at + 1);
  }
  return made[at];
}

const CheckPointRecord& MemberCheckTable::Row(int p) const {
  if (p < 0 || p > kCheckTableRows) throw std::out_of_range("MemberCheckTable row");
  static const CheckPointRecord kEmpty{};
  const auto at = static_cast<std::size_t>(p);
  return at < rows_.made.size() ? rows_.made[at] : kEmpty;
}

bool MemberCheckTables::Reset(int members) {
  tables.clear();
  member_count = 0;
  if (members < 0 || members >= kCheckTableMembers) return false;
  tables.resize(static_cast<std::size_t>(kCheckCombinations * (members + 1)));
  member_count = members;
  return true;
}

MemberCheckTable& MemberCheckTables::At(int k, int m) {
  const int per = static_cast<int>(tables.size()) / kCheckCombinations;  // members + 1
  if (k < 0 || k >= kCheckCombinations || m < 1 || m >= per)
    throw std::out_of_range("MemberCheckTables combination/member");
  return tables[static_cast<std::size_t>(k * per + m)];
}
const MemberCheckTable& MemberCheckTables::At(int k, int m) const {
  return const_cast<MemberCheckTables*>(this)->At(k, m);
}

ThicknessProfile BuildThicknessProfile(int layout, const StructureModel& model, const BlockRow& row,
                                       int m) {
  ThicknessProfile p;
  const ModelMember& mem = model.Member(m);
  p.Lm = mem.length;
  const int b = mem.block;
  if (b < 0 || b > kMaxBlocks) return p;
  const DimensionSet& s = row.At(b).working_set;
  const DimensionSet& s1 = row.At(1).working_set;
  const DimensionSet& s3 = row.At(std::min(3, kMaxBlocks)).working_set;
  p.eh = s.e();
  auto set = [&](double T, double pi, double pj, double zi, double zj) {
    p.Ti = p.Tj = T;
    p.pi = pi;
    p.pj = pj;
    p.zi = zi;
    p.zj = zj;
  };
  const int t = mem.type;
  const double a = s.a(), bb = s.b(), c = s.c(), e = s.e(), f = s.f(), g = s.g();
  if (layout == 0) {
    if (t == 1 || t == 2 || t == 11 || t == 12)
      set((a + bb) / 2, c, f, c / 2 + e, f / 2 + g + e);
    else if (t == 15 || t == 18)
      set(c, s1.b(), s3.a(), s1.a() / 2 + e, s3.a() / 2 + e);
    else if (t == 16 || t == 17)
      set(c, s3.a(), 0, s3.a() / 2 + e, 0);
    else
      set(0, 0, 0, 0, 0);
  } else {
    if (t == 1 || t == 2)
      set(a, c, f, c / 2 + e, f / 2 + e);
    else if (t == 5 || t == 6)
      set(a, 0, f, 0, f / 2 + e);
    else if (t == 11 || t == 12)
      set(a, c, g, c / 2 + e, g / 2 + e);
    else if (t == 3 || t == 4)
      set(f, a, a, a / 2 + e, a / 2 + e);
    else if (t == 13 || t == 14 || t == 15 || t == 18)
      set(c, a, a, a / 2 + e, a / 2 + e);
    else if (t == 16 || t == 17)
      set(c, a, 0, a / 2 + e, 0);
    else
      set(0, 0, 0, 0, 0);
  }
  return p;
}

double SectionHeightAt(const ThicknessProfile& p, double x) {
  const double base = RoundTo3(Lerp(x, -p.pi / 2, p.Ti, p.Lm + p.pj / 2, p.Tj));
  const double slope = std::min(p.eh / std::max(p.eh, 0.001), 1.0 / 3.0);
  double r = 0;
  if (x < p.zi)
    r = std::min(p.zi - x, p.eh) * slope;
  else if (p.Lm - x < p.zj)
    r = std::min(p.zj - (p.Lm - x), p.eh) * slope;
  return base + RoundTo3(r);
}

int FindPointAt(const MemberCaseResult& values, int n, double x, bool reversed) {
  n = std::min(n, kResultMaxPoints);
  // Output positions are rounded to 0.001 m: compare on that grid so that a
  // point of interest is never missed by a rounding residue.
  const double target = RoundTo3(x);
  for (int i = 2; i <= n - 1; ++i) {
    if (std::fabs(RoundTo3(values.points[static_cast<std::size_t>(i)][kCompX]) - target) < 0.0005)
      return reversed ? n - i + 1 : i;
  }
  return 0;
}

namespace {

constexpr int kMaxRow = kCheckTableRows;

bool ValidRow(int r, int n) {
  return r >= 1 && r <= std::min(n + 1, kMaxRow);
}

// Copies x, M, S, N of output point c of a member's results into a row.
void TakeForces(CheckPointRecord& r, const MemberCaseResult& v, int c, int n, bool mirrored,
                double L) {
  const int cc = mirrored ? n - c + 1 : c;
  if (cc < 1 || cc > kResultMaxPoints + 1) return;
  const auto& pt = v.points[static_cast<std::size_t>(cc)];
  r.x = mirrored ? L - pt[kCompX] : pt[kCompX];
  r.M = pt[kCompM];
  r.S = pt[kCompS];
  r.N = pt[kCompN];
}

void RefreshSectionAreas(StructureModel& model, int m, const MasterData& md, int Kg) {
  MemberSection& sec = model.Section(m);
  auto k = [&](int i) -> double& { return sec.Current(i); };
  const int t = model.Member(m).type;
  if ((t == 21 || t == 22) && Kg == 0 && k(20) != 0)
    for (int i = 6; i <= 10; ++i) k(i) = 0;
  auto A = [&](int i) { return md.BarAreaMm2(RealToInt(k(i))); };
  k(12) = A(6) * k(7) + A(8) * k(9);
  k(20) = A(14) * k(15) + A(16) * k(17);
  k(25) = A(22) * k(24);
  k(26) = 90;
}

// Rows s0 .. s7 of member m from the combination-0 results.
std::array<int, 8> PointRows(const ModelMember& mem, const MemberCaseResult& v, int n) {
  std::array<int, 8> s{};
  const double L = mem.length;
  if (!mem.mirrored) {
    for (int i = 0; i < 4; ++i) {
      s[i] = FindPointAt(v, n, mem.points[i], false);
      s[4 + i] = FindPointAt(v, n, L - mem.points[4 + i], false);
    }
  } else {
    for (int i = 0; i < 4; ++i) {
      s[i] = FindPointAt(v, n, L - mem.points[4 + i], true);
      s[4 + i] = FindPointAt(v, n, mem.points[i], true);
    }
  }
  return s;
}

void SetHeight(CheckPointRecord& r, double h) {
  r.k[1] = r.k[2] = h;
}

}  // namespace

GoverningCheck GoverningCheckOf(const CheckPointRecord& r) {
  return r.ratio_vmu > r.ratio             ? GoverningCheck::kCapacityDesign
         : r.ratio_shear > r.ratio_flexure ? GoverningCheck::kShear
                                           : GoverningCheck::kFlexure;
}

GoverningRow GoverningRowOf(const MemberCheckTable& tb) {
  GoverningRow g;
  for (int p = 1; p <= LastCheckedRow(tb); ++p) {
    const CheckPointRecord& r = tb.Row(p);
    g.failed = g.failed || RowFailed(r);
    if (!std::isfinite(r.ratio) || !std::isfinite(r.ratio_vmu)) {
      if (g.finite) g.row = p;
      g.finite = false;
      g.ratio = std::numeric_limits<double>::quiet_NaN();
      continue;
    }
    if (!g.finite) continue;
    const double ratio = std::max(r.ratio, r.ratio_vmu);
    if (g.row == 0 || ratio > g.ratio) {
      g.row = p;
      g.ratio = ratio;
      g.governs = GoverningCheckOf(r);
    }
  }
  return g;
}

double CheckRatio(const CheckPointRecord& r, GoverningCheck check) {
  switch (check) {
    case GoverningCheck::kFlexure:
      return r.ratio_flexure;
    case GoverningCheck::kShear:
      return r.ratio_shear;
    case GoverningCheck::kCapacityDesign:
      return r.ratio_vmu;
    default:
      return 0;
  }
}

int LargestRatioRow(const MemberCheckTable& tb, GoverningCheck check) {
  int best = 0;
  double largest = 0;
  for (int p = 1; p <= LastCheckedRow(tb); ++p) {
    const double v = CheckRatio(tb.Row(p), check);
    if (v > largest) {
      largest = v;
      best = p;
    }
  }
  return best;
}

bool RowFailed(const CheckPointRecord& r) {
  return r.ng || r.not_finite || !std::isfinite(r.ratio) || !std::isfinite(r.ratio_vmu) ||
         r.ng_sigma_c || r.ng_sigma_s || r.ng_shear || r.ng_flexure || r.ng_shear_vcd ||
         r.ng_shear_l2 || r.ng_capacity_design;
}

int LastCheckedRow(const MemberCheckTable& tb) {
  return tb.count >= 2 ? std::min(tb.count + 1, kCheckTableRows)
                       : std::clamp(tb.count, 0, kCheckTableRows);
}

void ApplyCheckOverrides(CheckPointRecord& row, int kind, const CheckOverrides& ov) {
  const bool bending = row.check_bits & kCheckBending;
  const bool shear = row.check_bits & kCheckShear;
  if (kind != kKindLevel2) {
    if (ov.sigma_s != 0) {
      if (row.sigma_s_outer != 0)
        row.sigma_s_outer = ov.sigma_s;
      else
        row.sigma_s_inner = ov.sigma_s;
      if (bending) {
        row.ng_sigma_s = std::max(row.sigma_s_inner, row.sigma_s_outer) > row.sigma_sa;
        row.ng = row.ng_sigma_s || row.ng_sigma_c;
        row.ratio_flexure =
            std::max(row.sigma_s_inner, row.sigma_s_outer) / std::max(row.sigma_sa, 0.01);
      }
    }
    if (ov.tau_c != 0) {
      row.tau = ov.tau_c;
      if (shear) {
        row.needs_shear_steel = row.ng_shear = false;
        if (row.tau > row.tau_a1p) {
          row.needs_shear_steel = true;
          row.tau_a = row.tau_a2;
          row.ng_shear = row.tau > row.tau_a2;
        } else {
          row.tau_a = row.tau_a1p;
        }
        row.ratio_shear = std::max(row.tau / std::max(row.tau_a, 0.001),
                                   row.req_stirrup / std::max(row.k[25], 1.0));
      }
    }
  } else {
    if (ov.Mud != 0) {
      row.Mud = ov.Mud;
      row.Mrd = row.Mud / std::max(row.gamma_b, 0.1);
      if (bending) {
        row.ratio_flexure = row.gamma_i * std::fabs(row.M) / std::max(row.Mrd, 0.1);
        row.ng_flexure = row.ratio_flexure >= 1;
      }
    }
    if (ov.Vcd != 0 || ov.Vsd != 0) {
      if (ov.Vcd != 0) row.Vcd = ov.Vcd;
      if (shear) {
        row.Vyd = row.Vcd;
        const double vsd = ov.Vsd != 0 ? ov.Vsd : row.Vsd;
        row.Vsd = 0;
        row.ng_shear_vcd = row.ng_shear_l2 = false;
        row.ratio_shear = row.gamma_i * std::fabs(row.S) / std::max(row.Vyd, 0.1);
        if (row.ratio_shear >= 1) {
          row.ng_shear_vcd = row.ng_shear_l2 = true;
          if (row.k[25] > 0.1 || ov.Vsd != 0) {
            row.Vsd = vsd;
            row.Vyd = row.Vcd + vsd;
            row.ratio_shear = row.gamma_i * std::fabs(row.S) / std::max(row.Vyd, 0.1);
            row.ng_shear_l2 = row.ratio_shear >= 1;
          }
        }
      }
    }
  }
  row.ratio = std::max(row.ratio_flexure, row.ratio_shear);
}

std::string CheckMembers(const AnalysisResults& results, StructureModel& model,
                         const BlockRow& block_row, const MasterData& md,
                         const MemberCheckInput& in, MemberCheckTables& out) {
  out.Reset(0);
  const int members = model.member_count;
  if (members <= 0) return {};
  if (members > results.member_count || members >= kCheckTableMembers)
    return Format("部材数 %d が計算結果 (%d) と合いません.", members, results.member_count);
  if (!results.HasCase(results.max_load_case + kCheckCombinations))
    return "照査用の組合せの計算結果がありません.";
  out.Reset(members);
  const bool box = in.layout == 1;
  const bool d2 = in.two_d_option;

  std::vector<ThicknessProfile> profiles(static_cast<std::size_t>(members) + 1);
  for (int m = 1; m <= members; ++m)
    profiles[static_cast<std::size_t>(m)] = BuildThicknessProfile(in.layout, model, block_row, m);
  const DimensionSet& blk1 = block_row.At(1).working_set;
  const int joint = members + 1;

  std::array<int, 8> s_first[kCheckTableMembers];
  for (int k = 0; k < kCheckCombinations; ++k) {
    const int D = results.max_load_case + k + 1;
    // Rows and forces.
    for (int m = 1; m <= members; ++m) {
      const ModelMember& mem = model.Member(m);
      const MemberCaseResult& v = results.At(D, m);
      MemberCheckTable& tb = out.At(k, m);
      const int n = std::clamp(v.count, 0, kMaxRow);
      const int t = mem.type;
      const int grp = CheckGroupOf(t);
      const double L = mem.length;
      if (k == 0) s_first[m] = PointRows(mem, results.At(results.max_load_case + 1, m), n);
      tb.s = s_first[m];
      tb.max_index = v.max_index;
      tb.count = n;
      tb.type_code = t;
      tb.length = L;
      RefreshSectionAreas(model, m, md, in.cast_cover);
      const MemberSection& sec = model.Section(m);
      for (int p = 0; p <= std::min(n + 1, kMaxRow); ++p) {
        CheckPointRecord& r = tb.Row(p);
        r = CheckPointRecord();
        r.member = m;
        r.type_code = t;
        for (int i = 0; i < kSectionHalf; ++i) r.k[static_cast<std::size_t>(i)] = sec.Current(i);
        if ((t == 7 || t == 8) && !d2 && p != 1)
          SetHeight(r, RoundTo0(1000 * (blk1.e() / 3 + blk1.g())));
        r.k[11] = r.k[1] - r.k[10];
        r.k[19] = r.k[1] - r.k[18];
        r.k[4] = RoundTo0(r.k[4]);
      }
      for (int p = 1; p <= n; ++p) {
        int c = p;
        if (grp == 13 && p == 2) c = 1;
        if (grp == 15 && (p == n - 2 || p == n - 1)) c = n;
        if (grp == 15 && (p == 2 || p == 3)) c = 1;
        TakeForces(tb.Row(p), v, c, n, mem.mirrored != 0, L);
      }
      if (d2) {
        for (int e = 0; e < 2; ++e) {
          const int from = tb.s[2 + 4 * e], to = tb.s[1 + 4 * e];
          if (ValidRow(from, n) && ValidRow(to, n) && tb.Row(from).M > 0) {
            CheckPointRecord& dst = tb.Row(to);
            const CheckPointRecord& src = tb.Row(from);
            dst.x = src.x;
            dst.M = src.M;
            dst.S = src.S;
            dst.N = src.N;
          }
        }
      }
    }
    // Box layout: each shoulder member's rows follow those of the wall of
    // the same rank.
    if (box) {
      std::vector<int> shoulders, walls;
      for (int m = 1; m <= members; ++m) {
        const int t = model.Member(m).type;
        if (t == 5 || t == 6) shoulders.push_back(m);
        if (t == 11 || t == 12) walls.push_back(m);
      }
      for (std::size_t i = 0; i < std::min(shoulders.size(), walls.size()); ++i) {
        MemberCheckTable& sh = out.At(k, shoulders[i]);
        MemberCheckTable& w = out.At(k, walls[i]);
        const int former = w.count;
        const int added = std::min(sh.count, kMaxRow - former);
        for (int p = 1; p <= added; ++p) {
          CheckPointRecord r = sh.Row(p);
          r.x += w.length;
          r.type_code = w.type_code;
          w.Row(former + p) = r;
        }
        for (int e = 4; e < 8; ++e)
          if (sh.s[e] != 0 && sh.s[e] <= added) w.s[e] = sh.s[e] + former;
        if (w.max_index != 0) w.max_index += added;
        w.count = former + added;
        w.length += sh.length;
        sh.partner = walls[i];
        w.partner = shoulders[i];
        sh.former_count = w.former_count = former;
      }
    }
    for (int m = 1; m <= members; ++m) {
      const ModelMember& mem = model.Member(m);
      MemberCheckTable& tb = out.At(k, m);
      const int n = tb.count;
      const int t = tb.type_code;
      // The refined maximum (no room when the member has 21 points).
      if (n + 1 <= kMaxRow && n >= 2) {
        CheckPointRecord& r = tb.Row(n + 1);
        r = tb.Row(2);
        const auto& ref = results.At(D, m).refined;
        r.x = mem.mirrored ? mem.length - ref[0] : ref[0];
        r.M = ref[1];
        r.S = ref[2];
        r.N = ref[3];
      }
      if (box && (t == 11 || t == 12) && n >= 1) {
        const int src = t == 11 ? 2 : 8;
        if (src <= members + 1) {
          const MemberSection& s2 = model.Section(src);
          auto& kk = tb.Row(n).k;
          kk[7] = s2.Current(13);
          kk[9] = s2.Current(15);
          kk[15] = s2.Current(21);
          kk[17] = s2.Current(23);
        }
      }
      if (t >= 21 && t <= 23 && n >= 1) {
        // The joint record holds its bolts as the members hold their bars
        // (k6 … k9 outer, k14 … k17 inner) and their areas in k12 and k20,
        // computed from the bolt-area table when the record was built.
        const MemberSection& js = model.Section(joint);
        const double outer = js.Current(12);
        const double inner = js.Current(20);
        for (int p : {1, n}) {
          CheckPointRecord& r = tb.Row(p);
          if (outer < r.k[12]) {
            for (int i = 6; i <= 9; ++i) r.k[static_cast<std::size_t>(i)] = js.Current(i);
            r.k[12] = outer;
            r.outer_joint_bars = true;
          }
          if (inner < r.k[20]) {
            for (int i = 14; i <= 17; ++i) r.k[static_cast<std::size_t>(i)] = js.Current(i);
            r.k[20] = inner;
            r.inner_joint_bars = true;
          }
        }
      }

      // Section height at the ends from the haunch.
      const ThicknessProfile& prof = profiles[static_cast<std::size_t>(m)];
      auto apply_end = [&](int p, bool double_delta, bool both_covers) {
        if (!ValidRow(p, n)) return;
        CheckPointRecord& r = tb.Row(p);
        const double h = RoundTo0(1000 * SectionHeightAt(prof, r.x));
        const double d = h - r.k[1];
        if (std::fabs(d) <= 0.0001) return;
        SetHeight(r, double_delta ? r.k[1] + 2 * d : h);
        r.k[18] += d;
        if (both_covers) r.k[10] += d;
      };
      if (t == 11 || t == 12) {
        apply_end(1, true, true);
        if (!box)
          apply_end(n, true, true);
        else
          apply_end(n, false, false);
      }
      const bool ends = t == 1 || t == 2 || t == 13 || t == 14 || (box && (t == 3 || t == 4));
      if (ends) {
        apply_end(1, false, false);
        if (n != 1) apply_end(n, false, false);
      }
      if (!box && t == 3) apply_end(m == 2 ? 1 : n, false, false);
      if (t >= 15 && t <= 18) apply_end(1, false, false);
      if (!d2 && (t == 1 || t == 2) && ValidRow(tb.s[7], n) && tb.Row(tb.s[7]).M < 0) {
        CheckPointRecord& r = tb.Row(tb.s[7]);
        const double d = 1000 * SectionHeightAt(prof, r.x) - r.k[1];
        if (std::fabs(d) > 0.0001) {
          r.k[1] += d;
          r.k[2] += d;
        }
      }
      if (t == 1 || t == 2) {
        const int b = mem.block;
        if (b >= 0 && b <= kMaxBlocks) {
          const DimensionSet& bs = block_row.At(b).working_set;
          if (std::fabs(bs.a() - bs.b()) > 0.001) {
            const double X = 1000 * (bs.b() - bs.a()) / 2;
            const double W = model.extents[1];
            for (int p = 1; p <= std::min(n + 1, kMaxRow); ++p) {
              CheckPointRecord& r = tb.Row(p);
              const double add = RoundTo0(Lerp(r.x, W, X, bs.c() / 2 + bs.H() + bs.f(), -X));
              r.k[1] += add;
              r.k[2] += add;
            }
          }
        }
      }
      for (int p = 1; p <= std::min(n + 1, kMaxRow); ++p) {
        auto& kk = tb.Row(p).k;
        kk[11] = RoundTo0(kk[1]) - RoundTo0(kk[10]);
        kk[19] = RoundTo0(kk[1]) - RoundTo0(kk[18]);
      }

      // Row settings.
      const int col = MaterialColumnOf(t);
      const CheckMaterial& mat = in.materials[static_cast<std::size_t>(col - 1)];
      for (int p = 0; p <= std::min(n + 1, kMaxRow); ++p) tb.Row(p).k[28] = mat.sigma_ck;
      auto set_flag = [&](int p, bool CheckPointRecord::*flag) {
        if (ValidRow(p, n)) tb.Row(p).*flag = true;
      };
      if (!d2) {
        set_flag(tb.s[3], &CheckPointRecord::shear_correction);
        set_flag(tb.s[7], &CheckPointRecord::shear_correction);
        if (t == 7 || t == 8)
          for (int p = 1; p <= std::min(n + 1, kMaxRow); ++p)
            set_flag(p, &CheckPointRecord::shear_correction);
        if (t >= 21 && t <= 23) {
          set_flag(3, &CheckPointRecord::shear_correction);
          set_flag(n - 2, &CheckPointRecord::shear_correction);
        }
      } else {
        auto dbl = [&](int p) { set_flag(p, &CheckPointRecord::allowable_doubling); };
        if (t == 1 || t == 2 || t == 11 || t == 12) {
          dbl(1);
          if (box) dbl(n);
        } else if (t == 3 || t == 4 || t == 13 || t == 14) {
          dbl(1);
          dbl(n);
        } else if (t == 7 || t == 8) {
          dbl(1);
          dbl(2);
        } else if (t == 9 || t == 10) {
          dbl(n);
        } else if (t >= 15 && t <= 18) {
          dbl(1);
        }
      }

      // Check bits.
      auto bits = [&](int p) -> int* { return ValidRow(p, n) ? &tb.Row(p).check_bits : nullptr; };
      auto set_bits = [&](int p, int v) {
        if (int* b = bits(p)) *b = v;
      };
      auto clear_bits = [&](int p, int v) {
        if (int* b = bits(p)) *b &= ~v;
      };
      for (int p = 0; p <= std::min(n + 1, kMaxRow); ++p)
        tb.Row(p).check_bits = kCheckBending | kCheckShear;
      const auto& s = tb.s;
      if (d2) {
        for (int i : {1, 2, 5, 6}) set_bits(s[i], kCheckShear);
      } else {
        set_bits(s[3], kCheckShear);
        set_bits(s[7], kCheckShear);
      }
      clear_bits(s[0], kCheckShear);
      clear_bits(s[4], kCheckShear);
      if ((t >= 1 && t <= 4) || (t >= 11 && t <= 18)) {
        if (d2) {
          for (int i : {1, 2, 5, 6}) clear_bits(s[i], kCheckBending);
        } else {
          clear_bits(1, kCheckShear);
          clear_bits(n, kCheckShear);
          clear_bits(s[3], kCheckBending);
          clear_bits(s[7], kCheckBending);
        }
        if (t != 12 && ValidRow(n + 1, n) && tb.Row(n + 1).M < 0) clear_bits(n + 1, kCheckBending);
      } else if (t == 5 || t == 6) {
        for (int p = 1; p <= std::min(n + 1, kMaxRow); ++p) set_bits(p, kCheckBending);
      } else if (t == 7 || t == 8) {
        clear_bits(1, kCheckShear);
        if (ValidRow(1, n) && tb.Row(1).M >= 0) clear_bits(1, kCheckBending);
        set_bits(2, kCheckShear);
        for (int p = 3; p <= std::min(n + 1, kMaxRow); ++p) set_bits(p, 0);
        if (!d2) set_bits(s[0], kCheckShear);
      } else if (t == 19 || t == 20) {
        if (d2) {
          clear_bits(1, kCheckBending);
          clear_bits(n, kCheckBending);
        } else {
          set_bits(1, 0);
          set_bits(n, 0);
        }
      } else if (t >= 21 && t <= 23) {
        for (int p : {1, 2, n - 1, n}) set_bits(p, kCheckBending);
        set_bits(3, kCheckShear);
        set_bits(n - 2, kCheckShear);
        if (ValidRow(1, n))
          for (int p : {2, 3, n - 2, n - 1})
            if (ValidRow(p, n) && p <= n) tb.Row(p).k = tb.Row(1).k;
      }
      // The maximum row is a bending row (and keeps a bending bit removed above).
      if (t == 7 || t == 8)
        set_bits(n + 1, 0);
      else
        clear_bits(n + 1, kCheckShear);
      for (int p = 0; p <= std::min(n + 1, kMaxRow); ++p) {
        CheckPointRecord& r = tb.Row(p);
        r.l2_shear_check = k == 2 && in.seismic_coefficient_method && in.Cs < 1 &&
                           (r.check_bits & kCheckShear) && t != 7 && t != 8 && t != 19 && t != 20;
      }

      // Evaluation.
      CheckPointContext ctx;
      ctx.material = mat;
      ctx.factors = in.factors;
      ctx.seismic_coefficient_method = in.seismic_coefficient_method;
      ctx.Cs = in.Cs;
      ctx.two_d_option = d2;
      ctx.correction_switches = in.correction_switches;
      ctx.flexure_rule = in.flexure_rule;
      if (k == 2) {
        // The capacity-design check takes its shear span at the member's
        // governing flexural section, the same for every row of the member.
        std::vector<const CheckPointRecord*> member_rows;
        bool any = false;
        for (int p = 1; p <= std::min(n + 1, kMaxRow); ++p) {
          member_rows.push_back(&tb.Row(p));
          any = any || tb.Row(p).l2_shear_check;
        }
        const CapacityDesignBasis basis =
            any ? MemberCapacityDesignBasis(member_rows, ctx) : CapacityDesignBasis{};
        for (int p = 1; p <= std::min(n + 1, kMaxRow); ++p) tb.Row(p).cd_basis = basis;
      }
      for (int p = 1; p <= std::min(n + 1, kMaxRow); ++p) {
        CheckPoint(tb.Row(p), k, ctx);
        ApplyCheckOverrides(tb.Row(p), k, in.overrides);
      }
    }
  }
  return {};
}

}  // namespace vaultra
