#include "model/points_of_interest.h"

#include <algorithm>

#include "core/number.h"

namespace vaultra {

namespace {

const DimensionSet& Dims(const BlockRow& row, int k) {
  return row.At(std::clamp(k, 1, kMaxBlocks)).working_set;
}

int TypeOf(const StructureModel& tm, int k) {
  return k >= 1 && k <= tm.member_count ? tm.Member(k).type : 0;
}

// One end: haunch, then either the two 2·d values or h/2.
// Precast top slabs (19, 20) are checked at the middle of their seat
// length b; cast-in-place slabs (21..23) at fixed small distances from
// both ends. The same in both layouts.
bool IsSlab(int type) {
  return type >= 19 && type <= 23;
}

void SlabPoints(std::array<double, kMemberPoints>& p, int type, const DimensionSet& block) {
  if (type == 19 || type == 20) {
    p[kPoiHalfI] = p[kPoiHalfJ] = block.b() / 2;
    return;
  }
  p[kPoiInnerI] = 0.002;
  p[kPoiOuterI] = 0.004;
  p[kPoiOuterJ] = 0.004;
  p[kPoiInnerJ] = 0.002;
}

void End(std::array<double, kMemberPoints>& p, bool j_end, double haunch, bool two_d, double outer,
         double inner, double half) {
  const int o = j_end ? 4 : 0;
  p[static_cast<std::size_t>(o + kPoiHaunchI)] = haunch;
  if (two_d) {
    p[static_cast<std::size_t>(o + kPoiOuterI)] = outer;
    p[static_cast<std::size_t>(o + kPoiInnerI)] = inner;
  } else {
    p[static_cast<std::size_t>(o + kPoiHalfI)] = half;
  }
}

// The short members beside a top corner (7 before the corner, 8 after it):
// with 2·d the point lies just inside the corner; with h/2 at half the
// thickness of the wall they meet, the side wall's A or the inner wall's.
void CornerPoint(std::array<double, kMemberPoints>& p, int type, bool two_d,
                 const StructureModel& tm, int k, double side_wall, double inner_wall) {
  const bool before = type == 7;
  if (two_d) {
    p[before ? kPoiInnerJ : kPoiInnerI] = 0.002;
    return;
  }
  const bool beside_side_wall = before ? TypeOf(tm, k + 1) == 2 : TypeOf(tm, k - 1) == 1;
  p[before ? kPoiHaunchJ : kPoiHaunchI] = (beside_side_wall ? side_wall : inner_wall) / 2;
}

}  // namespace

void SetStandPointsOfInterest(const BlockRow& row, StructureModel& tm, bool two_d) {
  const DimensionSet& lb = Dims(row, tm.left_end_block);
  const double E = lb.e(), A = lb.a(), C = lb.c(), Bw = lb.b(), G = lb.g();
  const double Bs = Dims(row, tm.first_slab_block).b();
  double Di = A;
  for (int k = 1; k <= tm.member_count; ++k)
    if (tm.Member(k).type == 12) {
      Di = Dims(row, tm.Member(k).block).a();
      break;
    }
  for (int k = 1; k <= tm.member_count; ++k) {
    ModelMember& mb = tm.Member(k);
    const MemberSection& s = tm.Section(k);
    auto out2d = [&](double t) { return 2 * (t - s.Current(10) / 1000); };
    auto in2d = [&](double t) { return 2 * (t - s.Current(18) / 1000); };
    auto& p = mb.points;
    p = {};
    const double len = mb.length;
    if (IsSlab(mb.type)) SlabPoints(p, mb.type, Dims(row, mb.block));
    switch (mb.type) {
      case 1:
        End(p, false, E, two_d, out2d(Bw), in2d(Bw), (E + C + Bw) / 2);
        End(p, true, E, two_d, out2d(A), in2d(A), G + (E + Bs + A) / 2);
        break;
      case 2:
        End(p, false, E, two_d, out2d(A), in2d(A), G + (E + Bs + A) / 2);
        End(p, true, E, two_d, out2d(Bw), in2d(Bw), (E + C + Bw) / 2);
        break;
      case 7:
      case 8:
        CornerPoint(p, mb.type, two_d, tm, k, A, Di);
        break;
      case 11:
      case 12:
        End(p, false, E, two_d, out2d(Di), in2d(Di), E + (C + Di) / 2);
        End(p, true, E, two_d, out2d(Di), in2d(Di), E + G + (Bs + Di) / 2);
        break;
      case 15:
      case 16:
      case 17:
      case 18: {
        const bool j_end = mb.type == 15 || mb.type == 17;
        const double w = (mb.type == 16 || mb.type == 17) ? Di : Bw;
        End(p, j_end, E, two_d, std::min(out2d(C), len), std::min(in2d(C), len),
            std::min((E + C + w) / 2, len));
        break;
      }
      default:
        break;
    }
    mb.poi_flag =
        (mb.type == 1 || mb.type == 2 || (mb.type >= 15 && mb.type <= 18) || IsSlab(mb.type)) ? 1
                                                                                              : 0;
  }
}

void SetBoxPointsOfInterest(const BlockRow& row, StructureModel& tm, bool two_d) {
  const DimensionSet& lb = Dims(row, tm.left_end_block);
  const double E = lb.e(), A = lb.a(), C = lb.c(), Bw = lb.b(), F = lb.f(), G = lb.g();
  const double A3 = Dims(row, 3).a();
  const double l3 = tm.member_count >= 3 ? tm.Member(3).length : 0;
  const double I = (E + C + Bw) / 2, R = (E + F + A) / 2, T = (E + F + A3) / 2;
  for (int k = 1; k <= tm.member_count; ++k) {
    ModelMember& mb = tm.Member(k);
    const MemberSection& s = tm.Section(k);
    const double out = 0.002 * s.Current(11), in = 0.002 * s.Current(19);
    auto& p = mb.points;
    p = {};
    const double len = mb.length;
    if (IsSlab(mb.type)) SlabPoints(p, mb.type, Dims(row, mb.block));
    switch (mb.type) {
      case 1:
        End(p, false, E, two_d, out, in, I);
        End(p, true, E, two_d, out, in, R);
        break;
      case 2:
        End(p, false, E, two_d, out, in, R);
        End(p, true, E, two_d, out, in, I);
        break;
      case 3:
      case 4:
        End(p, false, E, two_d, out, in, (E + F + Bw) / 2);
        End(p, true, E, two_d, out, in, (E + F + Bw) / 2);
        break;
      case 5:
        End(p, true, E, two_d, out, in, (E + G + A3) / 2);
        for (int i = 4; i < 8; ++i)
          if (RoundTo3(p[static_cast<std::size_t>(i)]) >= len) p[static_cast<std::size_t>(i)] = 0;
        break;
      case 6:
        End(p, false, E, two_d, out, in, T);
        for (int i = 0; i < 4; ++i)
          if (RoundTo3(p[static_cast<std::size_t>(i)]) >= len) p[static_cast<std::size_t>(i)] = 0;
        break;
      case 7:
      case 8:
        CornerPoint(p, mb.type, two_d, tm, k, A, A3);
        break;
      case 11:
      case 12: {
        const bool seat_j = mb.mirrored == 0;
        End(p, seat_j, E - l3, two_d, out - l3, in - l3, T - l3);
        End(p, !seat_j, E, two_d, out, in, (E + A3 + C) / 2);
        for (double& v : p)
          if (RoundTo3(v) <= 0) v = 0;
        break;
      }
      case 13:
      case 14:
        End(p, false, E, two_d, out, in, I);
        End(p, true, E, two_d, out, in, I);
        break;
      default:
        break;
    }
    for (double& v : p) v = RoundTo3(v + 0.00001);
    const int t = mb.type;
    mb.poi_flag = ((t >= 1 && t <= 4) || t == 13 || t == 14 || IsSlab(t)) ? 1 : 0;
  }
}

}  // namespace vaultra
