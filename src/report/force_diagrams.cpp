#include "report/force_diagrams.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/number.h"
#include "report/report_text.h"

namespace vaultra {

namespace {

bool Screen(const PrintEngine& pe) {
  return pe.device().kind == 1;
}

// Distance within which an output point lies on a point of interest.
constexpr double kPoiTolerance = 0.00002;

bool Near(double a, double b) {
  return std::fabs(a - b) <= kPoiTolerance;
}

// Whether inner point p of a transverse member gets a label.
bool LabelledInner(const ModelMember& mem, double L, double pos, double moment, bool shear_at_2d) {
  const auto& d = mem.points;
  auto at = [&](int k) {
    return Near(pos, d[static_cast<std::size_t>(k)]) ||
           Near(pos, L - d[static_cast<std::size_t>(k + 4)]);
  };
  if (at(0)) return true;  // haunch
  if (!shear_at_2d) return at(3);
  return moment <= 0 ? at(1) : at(2);
}

}  // namespace

LabelMetrics LabelFont(PrintEngine& pe, double angle, int face) {
  double h, p;
  if (Screen(pe)) {
    const double res = pe.device().resolution;
    const double t = std::fabs(0.3 * pe.window().sy * res);
    h = (t >= 48 ? 16.1 : 12.1) / res;
    p = (t >= 48 ? 8.1 : 6.1) / res;
  } else {
    h = 1.8;
    p = 1.2;
  }
  pe.SetTextFont(h, p, angle, face);
  return {std::fabs(h / SafeDivisor(pe.window().sy)), std::fabs(p / SafeDivisor(pe.window().sx))};
}

bool DrawMemberDiagram(PrintEngine& pe, double* lx, double* ly, double xi, double yi, double xj,
                       double yj, const double* P, const double* V, int n, double k,
                       bool close_start, bool close_end) {
  if (std::fabs(yj - yi) < 0.001 && std::fabs(xj - xi) < 0.001) return false;
  n = std::clamp(n, 0, kDiagramLastPoint);
  const double th = std::atan2(yj - yi, xj - xi), c = std::cos(th), s = std::sin(th);
  pe.SetPenWidth(0);
  pe.LineWorld(xi, yi, xj, yj);
  pe.SetPenWidth(1);
  const bool screen = Screen(pe);
  const std::uint32_t colour = !screen ? 0 : std::fabs(yi - yj) < 0.001 ? 0xFF0000 : 0xB100;
  pe.SetPenColor(colour);
  for (int t = 1; t + 1 <= n; ++t) {
    const double bx0 = xi + c * P[t], by0 = yi + s * P[t];
    const double bx1 = xi + c * P[t + 1], by1 = yi + s * P[t + 1];
    const double v0 = V[t] * k, v1 = V[t + 1] * k;
    // The offset (s v, c v) is normal to the horizontal and vertical members.
    const double dx0 = bx0 + s * v0, dy0 = by0 + c * v0;
    const double dx1 = bx1 + s * v1, dy1 = by1 + c * v1;
    lx[t] = dx0, ly[t] = dy0, lx[t + 1] = dx1, ly[t + 1] = dy1;
    if (screen && t != 1) {
      pe.SetPenColor(0x808080);
      pe.LineWorld(bx0, by0, dx0, dy0);
      pe.SetPenColor(colour);
    }
    pe.LineWorld(dx0, dy0, dx1, dy1);
    if (close_start && t == 1) pe.LineWorld(bx0, by0, dx0, dy0);
    if (close_end && t == n - 1) pe.LineWorld(bx1, by1, dx1, dy1);
  }
  pe.SetPenColor(0);
  return n >= 2;
}

double CaseEnvelope(const AnalysisResults& r, int case_number, int component) {
  if (!r.HasCase(case_number) || component < kCompM || component > kCompN) return 0;
  // The envelope keeps M, S, N, deflection in slots 0..3: component k is slot k - 1.
  return r.cases[static_cast<std::size_t>(case_number)]
      .envelope[static_cast<std::size_t>(component - 1)];
}

std::vector<FigureLabel> DrawForceDiagram(PrintEngine& pe, const Figure& fig,
                                          const AnalysisResults& r, int a, int b, double c,
                                          double d) {
  std::vector<FigureLabel> labels;
  const StructureModel& S = *fig.model;
  DrawFrameMembers(pe, fig);
  DrawFrameNodes(pe, fig);
  DrawMemberNumbers(pe, fig);
  if (!fig.longitudinal) {
    DrawInterestMarkers(pe, fig);
    DrawBlockNumbers(pe, fig);
  }
  if (!r.HasCase(a) || b < kCompM || b > kCompN) {
    pe.SetBodyFont();
    return labels;
  }
  const LabelScope placed(pe);
  auto node_ok = [&](int k) { return r.HasNode(k) && k < static_cast<int>(r.nodes.size()); };
  const int members = std::min(r.member_count, static_cast<int>(r.members.size()) - 1);
  double Y1 = 0, Y2 = 0;
  for (int m = 1; m <= members; ++m) {
    const ResultMember& rm = r.members[static_cast<std::size_t>(m)];
    if (node_ok(rm.node_i)) Y1 = std::max(Y1, r.nodes[static_cast<std::size_t>(rm.node_i)].y);
    if (node_ok(rm.node_j)) Y2 = std::max(Y2, r.nodes[static_cast<std::size_t>(rm.node_j)].y);
  }
  const double H = std::min(Y1, Y2) / 3;
  if (c == 0) c = CaseEnvelope(r, a, b);
  c = std::max(c, 0.001);
  const double k = H / c * d;
  const double FH = S.frame_height, FW = S.frame_width;
  const bool box = fig.layout == kLayoutBox;

  LabelMetrics lm = LabelFont(pe, 0, 0);
  double font_angle = 0;
  std::array<double, kDiagramPoints + 1> P{}, V{}, M{}, lx{}, ly{};
  for (int m = 1; m <= members; ++m) {
    const ResultMember& rm = r.members[static_cast<std::size_t>(m)];
    if (!node_ok(rm.node_i) || !node_ok(rm.node_j)) continue;
    double xi = r.nodes[static_cast<std::size_t>(rm.node_i)].x;
    double yi = r.nodes[static_cast<std::size_t>(rm.node_i)].y;
    double xj = r.nodes[static_cast<std::size_t>(rm.node_j)].x;
    double yj = r.nodes[static_cast<std::size_t>(rm.node_j)].y;
    if (!IsVisibleX(fig, xi) || !IsVisibleX(fig, xj)) continue;
    const MemberCaseResult& mc = r.At(a, m);
    // The results' count is kept within the working arrays, with room for
    // the maximum point only when it fits.
    int n = std::clamp(mc.count, 0, std::min(kDiagramLastPoint, kResultMaxPoints + 1));
    for (int p = 1; p <= n; ++p) {
      const auto& pt = mc.points[static_cast<std::size_t>(p)];
      P[p] = pt[kCompX], V[p] = pt[static_cast<std::size_t>(b)], M[p] = pt[kCompM];
    }
    const bool in_model = m <= S.member_count && m < static_cast<int>(S.members.size());
    const ModelMember* mem = in_model ? &S.Member(m) : nullptr;
    int maxp = 0;
    if (mem && mem->poi_flag && mc.max_index != 0 && n < kDiagramLastPoint) {
      const double xm = mc.refined[kCompX];
      for (int p = 1; p <= n; ++p) {
        if (P[p] <= xm) continue;
        for (int q = n; q >= p; --q) P[q + 1] = P[q], V[q + 1] = V[q], M[q + 1] = M[q];
        P[p] = xm, V[p] = mc.refined[static_cast<std::size_t>(b)], M[p] = mc.refined[kCompM];
        maxp = p;
        ++n;
        break;
      }
    }
    const bool steep = std::fabs(xi - xj) <= std::fabs(yi - yj);
    const double s = steep ? (b == kCompM ? 1 : -1) : (b == kCompM ? -1 : 1);
    const int type = mem ? mem->type : 0;
    // No diagram, no labels: type 28 and members with fewer than two points.
    if (type == 28 || n < 2) continue;
    const bool flat = std::fabs(yi - yj) < 0.1;
    double byi = yi, byj = yj;
    if (flat && yi > 1.0) byi = byj = FH;
    if (!DrawMemberDiagram(pe, lx.data(), ly.data(), xi, byi, xj, byj, P.data(), V.data(), n, s * k,
                           true, true))
      continue;
    const double L = std::hypot(xj - xi, yj - yi);
    if (L < 0.01) continue;
    for (int p = 1; p <= n; ++p) {
      bool show = p == 1 || p == n || p == maxp;
      if (!show && mem) {
        if (fig.longitudinal)
          show = p == 3;
        else
          show = LabelledInner(*mem, L, P[p], M[p], fig.shear_at_2d);
      }
      if (!show) continue;
      std::string text;
      if (p == maxp) {
        if (b == kCompS) continue;  // the shear diagram never labels its maximum point
        text = Format(mc.merged ? "<%.2f>" : "(%.2f)", V[p]);
      } else {
        text = Format("%.2f", V[p]);
      }
      const double bytes = static_cast<double>(text.size());
      double x = lx[p], y = ly[p];
      if (steep) {
        if (font_angle != 0) lm = LabelFont(pe, 0, 0), font_angle = 0;
        const double h = lm.height, w = lm.pitch;
        y += h / 2;
        if (type >= 9 && type <= 12) {
          y = std::max(std::min(y, FH), h);
          x = std::max(x, xi + w);
        } else if (type == 1) {
          x = std::min(x, xi) - (bytes + 3) * w;
        } else if (type == 2) {
          x = std::max(x, xi + 4 * w);
        }
      } else {
        if (font_angle != 90) lm = LabelFont(pe, 90, 0), font_angle = 90;
        const double h = lm.height, w = lm.pitch;
        if (yi <= 0.2)
          y = std::min(y, 0.0) - (bytes + 3) * w;
        else
          y = std::max(y, FH) + 3 * w;
        double shift = 0;
        const bool first = p == 1, last = p == n;
        if (x > 0.01 && x < FW - 0.01 && !fig.longitudinal) {
          if (!box) {
            if ((type == 7 && last) || (type == 16 && first)) shift = -h / 2;
            if ((type == 8 && first) || (type == 17 && last)) shift = h / 2;
          } else {
            if ((type == 3 || type == 4 || type == 7 || type == 16) && last) shift = -h / 2;
            if ((type == 3 || type == 4 || type == 8 || type == 17) && first) shift = h / 2;
            if ((type == 13 || type == 14) && last) shift = h / 2;
            if ((type == 13 || type == 14) && first) shift = -h / 2;
          }
        }
        if (fig.longitudinal) {
          if (type == 19) shift = first ? h / 2 : last ? -h / 2 : 0;
          if (type == 21) shift = first ? -h / 2 : last ? h / 2 : 0;
        }
        x += shift;
        x -= h / 2;
      }
      pe.DrawText(pe.PageX(x), pe.PageY(y), 0, 0, text);
      labels.push_back({m, p, p == maxp, V[p], x, y, text});
    }
  }
  pe.SetBodyFont();
  return labels;
}

std::vector<FigureLabel> DrawLoadState(PrintEngine& pe, const Figure& fig, const FrameModel& F,
                                       int case_number) {
  std::vector<FigureLabel> labels;
  const int ci = FindByNumber(F.load_cases, case_number);
  if (ci == 0) return labels;
  const FrameLoadCase& lc = F.load_cases.At(ci);
  const StructureModel& S = *fig.model;
  const bool screen = Screen(pe);
  const double sx = SafeDivisor(std::fabs(pe.window().sx));
  const double mm = 1 / sx;  // one page millimetre in world units
  const double k = 5 * mm / std::max(lc.max_intensity, 0.1);
  const LabelMetrics lm = LabelFont(pe, 0, 0);
  const LabelScope placed(pe);
  pe.SetPenColor(0);
  pe.SetPenWidth(1);
  const double saved_head = pe.device().arrow_head;
  pe.SetArrowHead(screen ? 1.2 : 0.8);
  const int members = std::clamp(S.member_count, 0, static_cast<int>(S.members.size()) - 1);
  const int nodes = std::clamp(S.node_count, 0, static_cast<int>(S.nodes.size()) - 1);
  for (int it = 1; it <= lc.items.Count(); ++it) {
    const FrameLoadItem& item = lc.items.At(it);
    if (item.type != kLoadDistAxial && item.type != kLoadDistGlobalX &&
        item.type != kLoadDistGlobalY)
      continue;
    const int first = item.first_member;
    const int last = item.last_member > 0 ? item.last_member : first;
    bool labelled = false;
    for (int m = first; m <= last; ++m) {
      if (m < 1 || m > members) continue;
      const ModelMember& mem = S.Member(m);
      if (mem.node_i < 1 || mem.node_i > nodes || mem.node_j < 1 || mem.node_j > nodes) continue;
      const double xi = S.Node(mem.node_i).x, yi = S.Node(mem.node_i).y;
      const double xj = S.Node(mem.node_j).x, yj = S.Node(mem.node_j).y;
      if (!screen && (!IsVisibleX(fig, xi) || !IsVisibleX(fig, xj))) continue;
      const double L = std::hypot(xj - xi, yj - yi);
      if (L < 0.001) continue;
      const double ax = xi + (xj - xi) * item.d3 / L, ay = yi + (yj - yi) * item.d3 / L;
      const double bx = xj + (xi - xj) * item.d4 / L, by = yj + (yi - yj) * item.d4 / L;
      int type = item.type;
      if (type == kLoadDistAxial)
        type = std::fabs(yi - yj) >= 0.2 ? kLoadDistGlobalY : kLoadDistGlobalX;
      // The ordinate of an intensity: against the load's direction, so the
      // arrows run from the outline onto the member.
      const bool along_x = type == kLoadDistGlobalX;
      auto end = [&](double px, double py, double v, double& ex, double& ey) {
        ex = px - (along_x ? v * k : 0);
        ey = py - (along_x ? 0 : v * k);
      };
      double eax, eay, ebx, eby;
      end(ax, ay, item.d1, eax, eay);
      end(bx, by, item.d2, ebx, eby);
      pe.PolylineWorld({ax, ay, eax, eay, ebx, eby, bx, by});
      // Arrows about every 4 mm of the page along the segment.
      const double seg = std::hypot(bx - ax, by - ay);
      const int parts = std::clamp(static_cast<int>(seg / (4 * mm)), 1, 40);
      for (int q = 0; q <= parts; ++q) {
        const double f = static_cast<double>(q) / parts;
        const double px = ax + (bx - ax) * f, py = ay + (by - ay) * f;
        const double v = item.d1 + (item.d2 - item.d1) * f;
        double ex, ey;
        end(px, py, v, ex, ey);
        if (std::hypot(ex - px, ey - py) < 0.5 * mm) continue;
        DrawArrowWorld(pe, ex, ey, px, py, kArrowShaft | kArrowHeadEnd);
      }
      // Intensities once per item, at the first member of its range.
      if (labelled) continue;
      labelled = true;
      const std::string t1 = Format("%.3f", item.d1), t2 = Format("%.3f", item.d2);
      auto put = [&](double ex, double ey, double px, double py, double v, const std::string& t) {
        const double w = static_cast<double>(t.size()) * lm.pitch, h = lm.height;
        double x, y;  // top-left corner
        if (along_x) {
          const bool left = ex < px || (ex == px && v > 0);
          x = left ? ex - w - 0.5 * lm.pitch : ex + 0.5 * lm.pitch;
          y = ey + h / 2;
        } else {
          const bool above = ey > py || (ey == py && v < 0);
          x = ex - w / 2;
          y = above ? ey + h + 0.3 * h : ey - 0.3 * h;
        }
        pe.DrawText(pe.PageX(x), pe.PageY(y), 0, 0, t);
        labels.push_back({first, it, false, v, x, y, t});
      };
      if (t1 == t2)
        put((eax + ebx) / 2, (eay + eby) / 2, (ax + bx) / 2, (ay + by) / 2, item.d1, t1);
      else {
        put(eax, eay, ax, ay, item.d1, t1);
        put(ebx, eby, bx, by, item.d2, t2);
      }
    }
  }
  pe.SetArrowHead(saved_head);
  pe.SetBodyFont();
  return labels;
}

namespace {

// Visible blocks and world x range of a block group.
void ShowBlockGroup(Figure& fig, int first, int count, double& x0, double& x1) {
  if (first <= 0)
    SetVisibleBlocks(fig, 1, kMaxBlocks);
  else
    SetVisibleBlocks(fig, first, first + count - 1);
  BlockGroupRange(fig, first, count, x0, x1);
}

}  // namespace

double PrintForceDiagramPage(PrintEngine& pe, double y, Figure& fig, const AnalysisResults& r,
                             int case_number, int first, int count) {
  static const char* const kTitles[3] = {"・モーメント図", "・せん断力図", "・軸力図"};
  pe.SetBodyFont();
  double x0, x1;
  ShowBlockGroup(fig, first, count, x0, x1);
  const double top = fig.model->frame_height;
  y += kStepLine;
  for (int comp = kCompM; comp <= kCompN; ++comp) {
    PrintLine(pe, 8.2, y, kTitles[comp - 1]);
    y += 3 * kStepLine;
    pe.SetWindow(20, y + 8, 160, y + 40 - 8, x0, top, x1, 0);
    DrawForceDiagram(pe, fig, r, case_number, comp, 0, 1);
    y += 40;
  }
  return y + kStepLine;
}

double PrintLoadStatePage(PrintEngine& pe, double y, Figure& fig, const FrameModel& frame,
                          int case_number, int first, int count) {
  const int ci = FindByNumber(frame.load_cases, case_number);
  if (ci == 0) return y;
  double x0, x1;
  ShowBlockGroup(fig, first, count, x0, x1);
  y += kStepLine;
  PrintLine(pe, 8.2, y, frame.load_cases.At(ci).name);
  y += 4 * kStepLine;
  pe.SetWindow(20, y + 8, 160, y + 38 - 8, x0, fig.model->frame_height, x1, 0);
  DrawFrameMembers(pe, fig);
  DrawFrameNodes(pe, fig);
  DrawMemberNumbers(pe, fig);
  if (!fig.longitudinal) DrawBlockNumbers(pe, fig);
  DrawLoadState(pe, fig, frame, case_number);
  pe.SetBodyFont();
  return y + 3 * kStepLine + 38;
}

double PrintFrameFigure(PrintEngine& pe, double y, Figure& fig) {
  SetVisibleBlocks(fig, 1, kMaxBlocks);
  pe.SetWindow(20, y + 8, 160, y + 38 - 8, 0, fig.model->frame_height, fig.model->frame_width, 0);
  DrawFrameMembers(pe, fig);
  DrawFrameNodes(pe, fig);
  DrawMemberNumbers(pe, fig);
  pe.SetBodyFont();
  return y + 38;
}

}  // namespace vaultra
