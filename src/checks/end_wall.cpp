#include "checks/end_wall.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "inputs/master_data.h"
#include "checks/joint_check.h"
#include "core/number.h"

namespace vaultra {

namespace {

constexpr int kSamples = 60;  // intervals along the height for the plate searches

// The span model (all edges hinged: the largest span moments any edge
// restraint allows) and the edge model (sides and bottom clamped, top hinged:
// the hogging moments where the wall is monolithic with stiff members).
constexpr PlateSupports kSpanModel{PlateEdge::kHinged, PlateEdge::kHinged, PlateEdge::kHinged};
constexpr PlateSupports kEdgeModel{PlateEdge::kClamped, PlateEdge::kHinged, PlateEdge::kClamped};

double ThicknessAt(const EndWallInput& in, double y) {
  const double h = std::max(in.height, 1e-6);
  return in.thickness_top + (in.thickness_bottom - in.thickness_top) * std::clamp(y / h, 0.0, 1.0);
}

struct FaceSteel {
  double c = 0;     // face to bar centre (mm)
  double area = 0;  // mm² per metre
  double d = 0, n = 0;
};

FaceSteel Steel(const MasterData& md, double cover, const EndWallBar& bar, double spacer) {
  FaceSteel f;
  f.d = bar.diameter;
  f.n = bar.count;
  f.c = cover + spacer + bar.diameter / 2;
  f.area = md.BarAreaMm2(static_cast<int>(std::lround(bar.diameter))) * bar.count;
  return f;
}

double LargestDiameter(const std::array<EndWallBar, 3>& bars) {
  double d = 0;
  for (const EndWallBar& b : bars)
    if (b.diameter * b.count > 0.1) d = std::max(d, b.diameter);
  return d;
}

// Vertical (part < 0) or horizontal bars of a part for both faces.
std::pair<FaceSteel, FaceSteel> BarsOf(const EndWallInput& in, const MasterData& md, int part) {
  const EndWallBars& b = in.bars;
  if (part < 0) {
    const double si = b.vertical_outside ? 0 : LargestDiameter(b.horizontal_inner);
    const double so = b.vertical_outside ? 0 : LargestDiameter(b.horizontal_outer);
    return {Steel(md, b.cover_inner, b.vertical_inner, si),
            Steel(md, b.cover_outer, b.vertical_outer, so)};
  }
  const double si = b.vertical_outside ? b.vertical_inner.diameter : 0;
  const double so = b.vertical_outside ? b.vertical_outer.diameter : 0;
  return {Steel(md, b.cover_inner, b.horizontal_inner[part], si),
          Steel(md, b.cover_outer, b.horizontal_outer[part], so)};
}

CheckPointRecord SectionRecord(const EndWallInput& in, const std::pair<FaceSteel, FaceSteel>& st,
                               double thickness) {
  CheckPointRecord r;
  auto& k = r.k;
  const double h = RoundTo0(thickness * 1000);
  k[0] = 1000;
  k[1] = k[2] = h;
  k[3] = 1000;
  k[4] = 1000;
  const FaceSteel& inner = st.first;
  const FaceSteel& outer = st.second;
  k[6] = outer.d;
  k[7] = outer.n;
  k[10] = outer.c;
  k[11] = h - outer.c;
  k[12] = outer.area;
  k[14] = inner.d;
  k[15] = inner.n;
  k[18] = inner.c;
  k[19] = h - inner.c;
  k[20] = inner.area;
  k[28] = in.context.material.sigma_ck;
  r.check_bits = kCheckBending | kCheckShear;
  return r;
}

void Evaluate(EndWallRow& row, int kind, const CheckPointContext& ctx) {
  row.applies = true;
  CheckPoint(row.rec, kind, ctx);
}

// The row of the larger governing ratio (the first on a tie).
EndWallRow Governing(const EndWallRow& a, const EndWallRow& b) {
  return b.rec.ratio > a.rec.ratio ? b : a;
}

// Unit-load forces of one wall at the sample points, for both models.
struct WallSamples {
  double a = 0, b = 0;
  std::vector<std::array<PlateForces, 2>> centre_span;  // x = a/2, span model
  std::vector<std::array<PlateForces, 2>> edge_x0;      // x = 0, edge model
  // Per part: x = h/2 from the side, both models.
  std::array<std::vector<std::array<PlateForces, 2>>, 3> near_side_span, near_side_edge;
  std::array<PlateForces, 2> top_span{}, top_edge{}, bottom_span{}, bottom_edge{};
  std::array<PlateForces, 2> bottom_edge_face{};  // y = b, x = a/2, edge model
  std::array<double, 3> part_thickness{};
};

PlateForces Combine(const std::array<PlateForces, 2>& f, double b, const EndWallLoad& load) {
  const double qu = load.top, qt = load.bottom - load.top;
  PlateForces r;
  const double b2 = b * b;
  r.Mx = (qu * f[0].Mx + qt * f[1].Mx) * b2;
  r.My = (qu * f[0].My + qt * f[1].My) * b2;
  r.Qx = (qu * f[0].Qx + qt * f[1].Qx) * b;
  r.Qy = (qu * f[0].Qy + qt * f[1].Qy) * b;
  return r;
}

WallSamples SampleWall(const EndWallInput& in, double span, PlateCache& cache) {
  WallSamples s;
  s.a = span;
  s.b = in.height;
  // Beyond 1:10 the wall carries its load one way; the plate of ratio 10
  // (0.1) gives those forces (on the safe side below 0.1).
  const double r = std::clamp(span / in.height, 0.1, 10.0);
  const PlateSolution& sp = cache.Get(r, kSpanModel);
  const PlateSolution& ed = cache.Get(r, kEdgeModel);
  const double nu = in.poisson;
  const double xc = r / 2;
  for (int i = 0; i <= kSamples; ++i) {
    const double y = static_cast<double>(i) / kSamples;
    s.centre_span.push_back(sp.At(xc, y, nu));
    s.edge_x0.push_back(ed.At(0, y, nu));
  }
  for (int p = 0; p < 3; ++p) {
    const double t0 = ThicknessAt(in, in.height * p / 3.0);
    const double t1 = ThicknessAt(in, in.height * (p + 1) / 3.0);
    s.part_thickness[p] = std::min(t0, t1);
    const double xs = s.part_thickness[p] / 2 / in.height;
    // Side shears h/2 inside every support: clipped to the heights h/2 from
    // the top and bottom supports.
    const double ylo = in.thickness_top / 2 / in.height;
    const double yhi = 1 - in.thickness_bottom / 2 / in.height;
    for (int i = p * kSamples / 3; i <= (p + 1) * kSamples / 3; ++i) {
      const double y = std::clamp(static_cast<double>(i) / kSamples, ylo, std::max(ylo, yhi));
      s.near_side_span[p].push_back(sp.At(xs, y, nu));
      s.near_side_edge[p].push_back(ed.At(xs, y, nu));
    }
  }
  const double yt = in.thickness_top / 2 / in.height;
  const double yb = 1 - in.thickness_bottom / 2 / in.height;
  s.top_span = sp.At(xc, yt, nu);
  s.top_edge = ed.At(xc, yt, nu);
  s.bottom_span = sp.At(xc, yb, nu);
  s.bottom_edge = ed.At(xc, yb, nu);
  s.bottom_edge_face = ed.At(xc, 1, nu);
  return s;
}

void SimpleBeamCase(const EndWallInput& in, const MasterData& md, EndWallCase& c) {
  const auto steel = BarsOf(in, md, -1);
  const double L = in.height;
  // Row 0: the section of the largest moment.
  EndWallRow& r0 = c.rows[0];
  r0.y = SimpleBeamMaxAt(L, c.load);
  r0.rec = SectionRecord(in, steel, ThicknessAt(in, r0.y));
  const BeamForces f0 = SimpleBeamAt(L, c.load, r0.y);
  r0.rec.x = r0.y;
  r0.rec.M = f0.M;
  r0.rec.S = f0.S;
  r0.moment_source = EndWallSource::kBeam;
  Evaluate(r0, c.kind, in.context);
  // Row 1: the support section h/2 from the top or the bottom support,
  // whichever governs.
  auto support = [&](bool bottom) {
    EndWallRow r;
    r.support = true;
    r.bottom = bottom;
    const double t = bottom ? in.thickness_bottom : in.thickness_top;
    r.y = bottom ? L - t / 2 : t / 2;
    r.rec = SectionRecord(in, steel, t);
    const BeamForces f = SimpleBeamAt(L, c.load, r.y);
    r.rec.x = r.y;
    r.rec.M = f.M;
    r.rec.S = f.S;
    r.rec.shear_correction = true;
    r.moment_source = EndWallSource::kBeam;
    Evaluate(r, c.kind, in.context);
    return r;
  };
  c.rows[1] = Governing(support(false), support(true));
  for (int j = 2; j < kEndWallRows; ++j) c.rows[j] = EndWallRow{};
}

// Index and value of the largest |v| in a list.
std::pair<int, double> LargestAbs(const std::vector<double>& v) {
  int best = 0;
  for (int i = 1; i < static_cast<int>(v.size()); ++i)
    if (std::fabs(v[i]) > std::fabs(v[best])) best = i;
  return {best, v.empty() ? 0.0 : v[best]};
}

double LargerShear(const PlateForces& a, const PlateForces& b, bool x_dir) {
  return std::max(std::fabs(x_dir ? a.Qx : a.Qy), std::fabs(x_dir ? b.Qx : b.Qy));
}

void TwoWayCase(const EndWallInput& in, const MasterData& md, const WallSamples& s,
                EndWallCase& c) {
  const double b = s.b;
  const EndWallLoad& q = c.load;
  // Row 0: vertical direction, the largest span moment on the centre line.
  {
    std::vector<double> my;
    for (const auto& f : s.centre_span) my.push_back(Combine(f, b, q).My);
    const auto [i, m] = LargestAbs(my);
    EndWallRow& r = c.rows[0];
    r.y = b * i / kSamples;
    r.x = s.a / 2;
    r.rec = SectionRecord(in, BarsOf(in, md, -1), ThicknessAt(in, r.y));
    r.rec.x = r.y;
    r.rec.M = m;
    r.rec.S = std::fabs(Combine(s.centre_span[i], b, q).Qy);
    r.moment_source = EndWallSource::kSpanModel;
    Evaluate(r, c.kind, in.context);
  }
  // Row 1: vertical direction at a support: the top (hinged, the moment at
  // h/2 of the span model) or the bottom (the clamped-edge moment), each with
  // the larger shear of both models at h/2.
  {
    auto support = [&](bool bottom) {
      EndWallRow r;
      r.support = true;
      r.bottom = bottom;
      r.x = s.a / 2;
      const double t = bottom ? in.thickness_bottom : in.thickness_top;
      r.y = bottom ? b - t / 2 : t / 2;
      r.rec = SectionRecord(in, BarsOf(in, md, -1), t);
      r.rec.x = bottom ? b : 0.0;
      if (bottom) {
        r.rec.M = Combine(s.bottom_edge_face, b, q).My;
        r.moment_source = EndWallSource::kEdgeModel;
        r.rec.S = LargerShear(Combine(s.bottom_span, b, q), Combine(s.bottom_edge, b, q), false);
      } else {
        r.rec.M = Combine(s.top_span, b, q).My;
        r.moment_source = EndWallSource::kSpanModel;
        r.rec.S = LargerShear(Combine(s.top_span, b, q), Combine(s.top_edge, b, q), false);
      }
      r.rec.shear_correction = true;
      Evaluate(r, c.kind, in.context);
      return r;
    };
    c.rows[1] = Governing(support(false), support(true));
  }
  // Rows 2..7: horizontal direction in the upper, middle and lower part.
  for (int p = 0; p < 3; ++p) {
    const int i0 = p * kSamples / 3, i1 = (p + 1) * kSamples / 3;
    const auto steel = BarsOf(in, md, p);
    const double t = s.part_thickness[p];
    {
      std::vector<double> mx;
      for (int i = i0; i <= i1; ++i) mx.push_back(Combine(s.centre_span[i], b, q).Mx);
      const auto [k, m] = LargestAbs(mx);
      EndWallRow& r = c.rows[2 + 2 * p];
      r.y = b * (i0 + k) / kSamples;
      r.x = s.a / 2;
      r.rec = SectionRecord(in, steel, t);
      r.rec.x = r.x;
      r.rec.M = m;
      r.rec.S = std::fabs(Combine(s.centre_span[i0 + k], b, q).Qx);
      r.moment_source = EndWallSource::kSpanModel;
      Evaluate(r, c.kind, in.context);
    }
    {
      std::vector<double> mx;
      for (int i = i0; i <= i1; ++i) mx.push_back(Combine(s.edge_x0[i], b, q).Mx);
      const auto [k, m] = LargestAbs(mx);
      double shear = 0;
      for (std::size_t i = 0; i < s.near_side_span[p].size(); ++i)
        shear = std::max(shear, LargerShear(Combine(s.near_side_span[p][i], b, q),
                                            Combine(s.near_side_edge[p][i], b, q), true));
      EndWallRow& r = c.rows[3 + 2 * p];
      r.support = true;
      r.y = b * (i0 + k) / kSamples;
      r.x = 0;
      r.rec = SectionRecord(in, steel, t);
      r.rec.x = 0;
      r.rec.M = m;
      r.rec.S = shear;
      r.rec.shear_correction = true;
      r.moment_source = EndWallSource::kEdgeModel;
      Evaluate(r, c.kind, in.context);
    }
  }
}

}  // namespace

BeamForces SimpleBeamAt(double span, const EndWallLoad& load, double y) {
  const double L = std::max(span, 1e-9);
  const double p1 = load.top, dp = load.bottom - load.top;
  const double r_top = L * (2 * load.top + load.bottom) / 6;
  BeamForces f;
  f.S = r_top - p1 * y - dp * y * y / (2 * L);
  f.M = r_top * y - p1 * y * y / 2 - dp * y * y * y / (6 * L);
  return f;
}

double SimpleBeamMaxAt(double span, const EndWallLoad& load) {
  const double L = std::max(span, 1e-9);
  // Zeros of the shear k·y² + p1·y - R = 0 inside the span, and the midspan.
  const double p1 = load.top, k = (load.bottom - load.top) / (2 * L);
  const double R = L * (2 * load.top + load.bottom) / 6;
  std::vector<double> cand{L / 2};
  if (std::fabs(k) < 1e-12) {
    if (std::fabs(p1) > 1e-12) cand.push_back(R / p1);
  } else {
    const double disc = p1 * p1 + 4 * k * R;
    if (disc >= 0) {
      cand.push_back((-p1 + std::sqrt(disc)) / (2 * k));
      cand.push_back((-p1 - std::sqrt(disc)) / (2 * k));
    }
  }
  double best = L / 2, bm = -1;
  for (double y : cand) {
    if (!(y >= 0 && y <= L)) continue;
    const double m = std::fabs(SimpleBeamAt(L, load, y).M);
    if (m > bm + 1e-12) {
      bm = m;
      best = y;
    }
  }
  return best;
}

EndWallLoad LoadFromReactions(double reaction_top, double reaction_bottom, double span) {
  const double L = std::max(span, 1e-9);
  return EndWallLoad{(4 * reaction_top - 2 * reaction_bottom) / L,
                     (4 * reaction_bottom - 2 * reaction_top) / L};
}

EndWallResult CheckEndWalls(const EndWallInput& in, const MasterData& md, PlateCache& cache) {
  EndWallResult res;
  res.method = in.bars.method;
  for (int w = 0; w < kEndWallMax; ++w) {
    if (!(in.inner_width[w] >= 0.001)) break;
    res.wall_count = w + 1;
    res.inner_width[w] = in.inner_width[w];
    res.span[w] = in.span[w] >= 0.001 ? in.span[w] : in.inner_width[w];
  }
  bool finite_loads = true;
  for (const EndWallLoad& q : in.loads)
    finite_loads = finite_loads && std::isfinite(q.top) && std::isfinite(q.bottom);
  if (res.wall_count > 0 && (!(in.height >= 0.001) || !(in.thickness_top > 0) ||
                             !(in.thickness_bottom > 0) || !finite_loads)) {
    // Walls without a usable geometry or load are not checked, and say so:
    // they must not pass unseen.
    res.wall_count = 0;
    res.input_error = true;
    return res;
  }
  for (int w = 0; w < res.wall_count; ++w) {
    WallSamples samples;
    const bool two_way = in.bars.method == kEndWallMethodTwoWay;
    if (two_way) samples = SampleWall(in, res.span[w], cache);
    for (int c = 0; c < 3; ++c) {
      EndWallCase& ec = res.walls[w][c];
      ec.kind = c;
      ec.load = in.loads[c];
      if (two_way)
        TwoWayCase(in, md, samples, ec);
      else
        SimpleBeamCase(in, md, ec);
      for (EndWallRow& row : ec.rows) row.rec.member = w + 1;
    }
  }
  return res;
}

bool EndWallFlexureFails(const EndWallRow& row, int kind) {
  if (!row.applies) return false;
  return kind == kKindLevel2 ? row.rec.ng_flexure : row.rec.ng;
}

bool EndWallShearFails(const EndWallRow& row, int kind) {
  if (!row.applies) return false;
  return kind == kKindLevel2 ? row.rec.ng_shear_l2 : row.rec.ng_shear;
}

namespace {

// The flexure ratio a failing row is named with. Under allowable stresses
// the record's flexure ratio is σs/σsa only; a row that fails on the
// concrete stress is named with σc/σca when that is larger, so a failure is
// never shown with a ratio below 1.
double FlexureRatio(const EndWallRow& row, int kind) {
  if (kind == kKindLevel2) return row.rec.ratio_flexure;
  return std::max(row.rec.ratio_flexure, row.rec.sigma_c / std::max(row.rec.sigma_ca, 0.01));
}

}  // namespace

EndWallVerdict EndWallVerdictOf(const EndWallResult& res) {
  static const char* const kCombination[3] = {"常時", "L1時", "L2時"};
  static const char* const kPosition[4] = {"縦方向", "上部", "中間部", "下部"};
  EndWallVerdict v;
  if (res.input_error) {
    v.ok = false;
    v.text = "端壁の照査：入力値エラー";
    v.colour = 255;
    return v;
  }
  bool found = false;
  for (int w = 0; w < res.wall_count; ++w) {
    if (!(res.inner_width[w] >= 0.001)) break;
    for (int c = 0; c < 3; ++c) {
      const EndWallCase& ec = res.walls[w][c];
      for (int j = 0; j < kEndWallRows; ++j) {
        const EndWallRow& row = ec.rows[j];
        for (int shear = 0; shear < 2; ++shear) {
          const bool fails =
              shear ? EndWallShearFails(row, ec.kind) : EndWallFlexureFails(row, ec.kind);
          if (!fails) continue;
          const double ratio = shear ? row.rec.ratio_shear : FlexureRatio(row, ec.kind);
          if (found && !(ratio > v.ratio)) continue;
          found = true;
          v.wall = w + 1;
          v.combination = c;
          v.row = j;
          v.shear = shear != 0;
          v.ratio = ratio;
        }
      }
    }
  }
  if (!found) {
    v.ok = true;
    v.text = "応力照査：ＯＫ";
    v.colour = 0xFF0000;
    return v;
  }
  v.ok = false;
  v.colour = 255;
  v.text = std::string("内空幅B") + std::to_string(v.wall) + "," + kCombination[v.combination] +
           "で" + kPosition[v.row / 2] + (v.shear ? "のせん断応力ｴﾗｰ" : "の曲げ応力ｴﾗｰ") +
           Format("(%.2f)", v.ratio);
  return v;
}

void ResetEndWallDefaults(EndWallBars& bars, std::array<int, 6>& selection,
                          const EndWallRecord& rec, bool box_layout, double upper_thickness,
                          const std::vector<std::string>& bar_items) {
  const bool two_way = !box_layout && upper_thickness >= 0.2995;
  bars.method = two_way ? kEndWallMethodTwoWay : kEndWallMethodSimpleBeam;
  bars.vertical_outside = !two_way;
  bars.cover_inner = bars.cover_outer = two_way ? 60 : 50;
  auto take = [&](EndWallBar& bar, int& item, int size, double count) {
    if (!(size * count > 0.1)) return;
    bar.count = count;
    for (std::size_t i = 0; i < bar_items.size(); ++i) {
      if (std::fabs(BarDiameterOfItem(bar_items[i]) - size) < 1e-9) {
        item = static_cast<int>(i);
        bar.diameter = size;
        return;
      }
    }
  };
  const RebarEntry& v = rec.entries[0];
  const RebarEntry& u = rec.entries[1];
  const RebarEntry& l = rec.entries[3];
  take(bars.vertical_inner, selection[0], v.size1, v.real1);
  take(bars.vertical_outer, selection[1], v.size2, v.real2);
  take(bars.horizontal_inner[0], selection[2], u.size1, u.real1);
  take(bars.horizontal_outer[0], selection[3], u.size2, u.real2);
  take(bars.horizontal_inner[2], selection[4], l.size1, l.real1);
  take(bars.horizontal_outer[2], selection[5], l.size2, l.real2);
  bars.horizontal_inner[1] = bars.horizontal_inner[0];
  bars.horizontal_outer[1] = bars.horizontal_outer[0];
}

}  // namespace vaultra
