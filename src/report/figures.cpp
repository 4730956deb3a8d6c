#include "report/figures.h"

#include <algorithm>
#include <cmath>

#include "core/number.h"

namespace vaultra {

namespace {

bool Screen(const PrintEngine& pe) {
  return pe.device().kind == 1;
}

int MemberCount(const Figure& fig) {
  const StructureModel& s = *fig.model;
  return std::clamp(s.member_count, 0, static_cast<int>(s.members.size()) - 1);
}
int NodeCount(const Figure& fig) {
  const StructureModel& s = *fig.model;
  return std::clamp(s.node_count, 0, static_cast<int>(s.nodes.size()) - 1);
}

// End points of member m; false for a member whose nodes the table lacks.
bool MemberEnds(const Figure& fig, int m, double& xi, double& yi, double& xj, double& yj) {
  const StructureModel& s = *fig.model;
  const ModelMember& mem = s.Member(m);
  const int n = NodeCount(fig);
  if (mem.node_i < 1 || mem.node_i > n || mem.node_j < 1 || mem.node_j > n) return false;
  xi = s.Node(mem.node_i).x, yi = s.Node(mem.node_i).y;
  xj = s.Node(mem.node_j).x, yj = s.Node(mem.node_j).y;
  return true;
}

bool Flag(const std::vector<std::uint8_t>& flags, int k) {
  return k >= 0 && k < static_cast<int>(flags.size()) && flags[static_cast<std::size_t>(k)] != 0;
}

// A text whose top-left corner lies at a world point.
void TextAtWorld(PrintEngine& pe, double X, double Y, const std::string& t) {
  pe.DrawText(pe.PageX(X), pe.PageY(Y), 0, 0, t);
}

// Font of the figure numbers: px pixels on the screen, mm on the page;
// pitch half the height.
void NumberFont(PrintEngine& pe, int px, double mm) {
  if (Screen(pe))
    pe.SetTextFont(-px, 0, 0, 0);
  else
    pe.SetTextFont(mm, mm / 2, 0, 0);
}

int RealBlockCount(const Figure& fig) {
  if (!fig.row) return 0;
  return std::clamp(fig.model->real_block_count, 0, kMaxBlocks);
}
int AllBlockCount(const Figure& fig) {
  if (!fig.row) return 0;
  return std::clamp(std::max(fig.model->block_count, fig.model->real_block_count), 0, kMaxBlocks);
}

// Outline of block k of the transverse row.
int Outline(const Figure& fig, int k, OutlinePoint* p) {
  return BlockOutline(fig.layout, fig.row->At(k), p, 12);
}

// Thickness of the longitudinal model's top and bottom members.
void LongitudinalBand(const Figure& fig, double& bottom, double& top) {
  const StructureModel& s = *fig.model;
  bottom = s.extents[1];
  top = s.extents[3];
  if (!(top > bottom)) {
    bottom = 0;
    top = s.frame_height;
  }
}

}  // namespace

Figure MakeFigure(const StructureModel& model, const BlockRow& row, int layout, bool longitudinal) {
  Figure fig;
  fig.model = &model;
  fig.row = &row;
  fig.layout = layout;
  fig.longitudinal = longitudinal;
  std::vector<double> b(1, 0.0);
  if (longitudinal) {
    // Blocks of length L along the facility between the end walls.
    const int members = std::max(model.member_count, 0);
    const int n = members >= 7 ? (members - 4) / 3 : 0;
    const double L = row.At(1).working_set.L();
    if (n >= 1 && L > 0) {
      const double W = model.frame_width;
      const double off = (W - n * L) / 2;
      b.push_back(std::min(model.extents[0], 0.0));
      for (int k = 2; k <= n; ++k) b.push_back(off + (k - 1) * L);
      b.push_back(std::max(model.extents[2], W));
    }
  } else {
    const int n = std::clamp(model.real_block_count, 0, kMaxBlocks);
    std::vector<double> lo(static_cast<std::size_t>(n) + 1), hi(static_cast<std::size_t>(n) + 1);
    bool ok = n >= 1;
    for (int k = 1; k <= n && ok; ++k) {
      OutlinePoint p[12];
      const int c = BlockOutline(layout, row.At(k), p, 12);
      if (c < 1) {
        lo[k] = hi[k] = row.At(k).x;
        continue;
      }
      lo[k] = hi[k] = p[0].x;
      for (int i = 1; i < c; ++i) lo[k] = std::min(lo[k], p[i].x), hi[k] = std::max(hi[k], p[i].x);
    }
    if (ok) {
      // A block ends halfway between its outline and the next one's, so
      // the ranges meet without a gap and never run backwards.
      b.push_back(lo[1]);
      for (int k = 2; k <= n; ++k) b.push_back(std::max(b.back(), (hi[k - 1] + lo[k]) / 2));
      b.push_back(std::max(b.back(), hi[n]));
    }
  }
  fig.block_count = static_cast<int>(b.size()) - 2 >= 1 ? static_cast<int>(b.size()) - 2 : 0;
  fig.bounds = fig.block_count > 0 ? b : std::vector<double>();
  SetVisibleBlocks(fig, 1, kMaxBlocks);
  return fig;
}

Figure FigureOf(const StructureModel& model, const BlockRow& row, const ModelRecord& rec,
                bool longitudinal) {
  Figure fig =
      MakeFigure(model, row, rec.facility_type == 0 ? kLayoutStand : kLayoutBox, longitudinal);
  fig.shear_at_2d = rec.shear_at_2d;
  return fig;
}

bool FigureView::Empty() const {
  return !(x1 - x0 > 1e-9) || !(y1 - y0 > 1e-9);
}

FigureView CurrentView(const PrintEngine& pe) {
  const WorldWindow& w = pe.window();
  const double xa = pe.WorldX(w.a), xc = pe.WorldX(w.c);
  const double yb = pe.WorldY(w.b), yd = pe.WorldY(w.d);
  return {std::min(xa, xc), std::min(yb, yd), std::max(xa, xc), std::max(yb, yd)};
}

void PixelToWorld(const PrintEngine& pe, double px, double py, double& X, double& Y) {
  const DrawingState& d = pe.device();
  X = pe.WorldX(px / d.resolution - d.left);
  Y = pe.WorldY(py / d.resolution - d.top);
}

bool SetupFigure(PrintEngine& pe, Figure& fig, int action, int a, int b, int flags,
                 DrawTarget* canvas, FigureView* view) {
  const StructureModel& s = *fig.model;
  if (action == kFigureNew) {
    // A canvas below two pixels has no room for a figure (and would make
    // the window's scales divide by zero).
    if (a < 2 || b < 2) {
      pe.drawing = false;
      return false;
    }
    pe.drawing = true;
    double x0 = 0, y0 = 0, x1 = s.frame_width, y1 = s.frame_height;
    if ((flags & kFigureUseStoredView) && view && !view->Empty()) {
      x0 = view->x0, y0 = view->y0, x1 = view->x1, y1 = view->y1;
    } else {
      // A frame of no size still gets a window of one metre.
      if (!(x1 - x0 > 1e-6)) x1 = x0 + 1;
      if (!(y1 - y0 > 1e-6)) y1 = y0 + 1;
    }
    pe.SetCanvasDevice(canvas, 0, a, b, false);
    const int d = b * 180 / a;
    double pa = 18, pb = 6, pc = std::max(180 - 15, 19), pd = std::max(d - 16, 7);
    if (flags & kFigureReportFrame) {
      const double e = std::min(d / 3, 20);
      pa = 20, pc = 160, pb = e, pd = d - e;
    }
    pe.SetWindow(pa, pb, pc, pd, x0, y1, x1, y0);
  } else {
    const DrawingState& dev = pe.device();
    if (!pe.drawing || dev.width_px < 2 || dev.height_px < 2) return false;
    if (canvas) {
      DrawingState st = pe.SaveDrawingState();
      st.canvas = canvas;
      pe.RestoreDrawingState(st);
    }
  }
  pe.ClearCanvas(kFigBackground);
  const double res = pe.device().resolution;
  switch (action) {
    case kFigureZoomIn: {
      pe.ZoomWindow(a, b, 1.1);
      // Never closer than 0.1 mm of the model to 12 pixels.
      const double px = 0.0001 * std::fabs(pe.window().sx) * res;
      if (px > 12) pe.ZoomWindow(a, b, 12 / px);
      break;
    }
    case kFigureZoomOut: {
      // Never farther than the window as last set: that window again.
      const double saved = std::fabs(pe.device().saved_window.sx);
      if (std::fabs(pe.window().sx) / 1.1 < saved * (1 - 1e-12))
        pe.ZoomWindow(0, 0, 0);
      else
        pe.ZoomWindow(a, b, 1 / 1.1);
      break;
    }
    case kFigurePan:
      pe.PanWindow(a, b);
      break;
    default:
      break;
  }
  SetVisibleBlocks(fig, 1, 999);
  if (view) *view = CurrentView(pe);
  return true;
}

void SetVisibleBlocks(Figure& fig, int first, int last) {
  const int n = fig.block_count;
  if (n < 1) {
    fig.first = 1;
    fig.last = 0;
    return;
  }
  fig.first = std::clamp(first, 1, n);
  fig.last = std::clamp(last, fig.first, n);
}

bool IsVisibleX(const Figure& fig, double x) {
  const int n = fig.block_count;
  if (n < 1 || static_cast<int>(fig.bounds.size()) < n + 2) return true;
  const int first = std::clamp(fig.first, 1, n), last = std::clamp(fig.last, first, n);
  const double lower = first > 1 ? fig.bounds[static_cast<std::size_t>(first)] - 0.01 : -1e9;
  const double upper = last < n ? fig.bounds[static_cast<std::size_t>(last) + 1] + 0.01 : 1e9;
  return lower <= x && x <= upper;
}

void BlockGroupRange(const Figure& fig, int first, int count, double& x0, double& x1) {
  const int n = fig.block_count;
  if (first <= 0 || n < 1 || static_cast<int>(fig.bounds.size()) < n + 2) {
    x0 = 0;
    x1 = fig.model->frame_width;
    return;
  }
  const int f = std::clamp(first, 1, n);
  const int l = std::clamp(first + count - 1, f, n);
  x0 = fig.bounds[static_cast<std::size_t>(f)];
  x1 = fig.bounds[static_cast<std::size_t>(l) + 1];
}

// --- elements ---

void DrawBlocks(PrintEngine& pe, const Figure& fig) {
  if (!fig.row) return;
  pe.SetPenWidth(1);
  if (fig.longitudinal) {
    double bottom, top;
    LongitudinalBand(fig, bottom, top);
    for (int k = 1; k <= fig.block_count; ++k) {
      const double x0 = fig.bounds[static_cast<std::size_t>(k)];
      const double x1 = fig.bounds[static_cast<std::size_t>(k) + 1];
      if (!IsVisibleX(fig, (x0 + x1) / 2)) continue;
      pe.PolygonWorld({x0, bottom, x1, bottom, x1, top, x0, top}, kBrushSolid, kNoFirstFill,
                      kFigBlockFill, kFigBlockOutline);
    }
    // Reference lines: the inner floor and the inner ceiling along the model.
    const StructureModel& s = *fig.model;
    const double floor = -bottom, ceiling = s.frame_height - (top - s.frame_height);
    double x0 = 0, x1 = s.frame_width;
    if (fig.block_count >= 1) {
      x0 = fig.bounds[static_cast<std::size_t>(fig.first)];
      x1 = fig.bounds[static_cast<std::size_t>(fig.last) + 1];
    }
    pe.SetPenColor(kFigBlockOutline);
    pe.LineWorld(x0, floor, x1, floor);
    pe.LineWorld(x0, ceiling, x1, ceiling);
    pe.SetPenColor(0);
    return;
  }
  for (int k = 1; k <= AllBlockCount(fig); ++k) {
    OutlinePoint p[12];
    const int c = Outline(fig, k, p);
    if (c < 3) continue;
    double cx = 0;
    for (int i = 0; i < c; ++i) cx += p[i].x / c;
    if (!IsVisibleX(fig, cx)) continue;
    std::vector<double> xy;
    for (int i = 0; i < c; ++i) xy.push_back(p[i].x), xy.push_back(p[i].y);
    std::uint32_t fill = kFigBlockFill;
    if (fig.row->At(k).working_set.kind == kBlockCastInPlace) fill = kFigZoneFill;
    if (Flag(fig.highlighted_blocks, k)) fill = kFigHighlightFill;
    pe.PolygonWorld(xy, kBrushSolid, kNoFirstFill, fill, kFigBlockOutline);
    // A box is hollow: its opening shows the background again.
    const BlockRecord& blk = fig.row->At(k);
    const DimensionSet& ds = blk.working_set;
    if (fig.layout == kLayoutBox && ds.kind >= kBlockLeftEnd && ds.kind <= kBlockRightEnd &&
        ds.B() > 0 && ds.H() > 0) {
      const double x0 = blk.x - ds.B() / 2, x1 = blk.x + ds.B() / 2;
      const double y0 = blk.z + ds.c(), y1 = y0 + ds.H();
      pe.PolygonWorld({x0, y0, x1, y0, x1, y1, x0, y1}, kBrushSolid, kNoFirstFill,
                      Screen(pe) ? kFigBackground : 0xFFFFFF, kFigBlockOutline);
    }
  }
  pe.SetPenColor(0);
}

void DrawFrameMembers(PrintEngine& pe, const Figure& fig) {
  pe.SetPenWidth(3);
  pe.SetPenColor(kFigMember);
  pe.SetObstacleLines(true);  // no label is placed across a member
  for (int m = 1; m <= MemberCount(fig); ++m) {
    double xi, yi, xj, yj;
    if (!MemberEnds(fig, m, xi, yi, xj, yj)) continue;
    if (!IsVisibleX(fig, xi) || !IsVisibleX(fig, xj)) continue;
    pe.LineWorld(xi, yi, xj, yj);
  }
  pe.SetObstacleLines(false);
  pe.SetPenColor(0);
  pe.SetPenWidth(1);
}

void DrawFrameNodes(PrintEngine& pe, const Figure& fig) {
  const StructureModel& s = *fig.model;
  pe.SetPenWidth(1);
  pe.SetPenColor(0);
  for (int k = 1; k <= NodeCount(fig); ++k) {
    const ModelNode& n = s.Node(k);
    if (!IsVisibleX(fig, n.x)) continue;
    if (Screen(pe)) {
      pe.FillSquareScreen(n.x, n.y, 7, kFigMember, kFigMember);
    } else {
      pe.SquareMarker(n.x, n.y, 5);
      pe.SquareMarker(n.x, n.y, 3);
    }
  }
  if (Screen(pe)) {
    for (int m = 1; m <= MemberCount(fig); ++m) {
      double xi, yi, xj, yj;
      if (!MemberEnds(fig, m, xi, yi, xj, yj)) continue;
      const ModelMember& mem = s.Member(m);
      if (mem.code_i == kSupportPinned && IsVisibleX(fig, xi)) {
        pe.FillSquareScreen(xi, yi, 7, kFigMember, kFigMember);
        pe.FillSquareScreen(xi, yi, 3, kFigPinMark, kFigPinMark);
      }
      if (mem.code_j == kSupportPinned && IsVisibleX(fig, xj)) {
        pe.FillSquareScreen(xj, yj, 7, kFigMember, kFigMember);
        pe.FillSquareScreen(xj, yj, 3, kFigPinMark, kFigPinMark);
      }
    }
  }
  pe.SetPenColor(0);
}

void DrawSelectedMembers(PrintEngine& pe, const Figure& fig) {
  bool any = false;
  for (int m = 1; m <= MemberCount(fig); ++m) {
    if (!Flag(fig.selected_members, m)) continue;
    double xi, yi, xj, yj;
    if (!MemberEnds(fig, m, xi, yi, xj, yj)) continue;
    if (!any) {
      pe.SetPenWidth(9);
      pe.SetPenColor(kFigSelected);
      any = true;
    }
    pe.LineWorld(xi, yi, xj, yj);
  }
  if (!any) return;
  pe.SetPenWidth(1);
  pe.SetPenColor(0);
}

void DrawMemberNumbers(PrintEngine& pe, const Figure& fig) {
  const LabelScope labels(pe);
  const StructureModel& s = *fig.model;
  NumberFont(pe, 12, 2.0);
  pe.SetFontColor(kFigMember);
  const double h = pe.TextHeightWorld("");
  for (int m = 1; m <= MemberCount(fig); ++m) {
    double xi, yi, xj, yj;
    if (!MemberEnds(fig, m, xi, yi, xj, yj)) continue;
    if (std::hypot(xj - xi, yj - yi) < 0.002) continue;
    if (!IsVisibleX(fig, xi) || !IsVisibleX(fig, xj)) continue;
    const std::string t = Format("[%d]", m);
    const double mx = (xi + xj) / 2, my = (yi + yj) / 2;
    const double n = static_cast<double>(t.size());
    switch (s.Member(m).type) {
      case 1:
        TextAtWorld(pe, mx - n * h / 2, my + h / 2, t);
        break;
      case 2:
      case 9:
      case 10:
      case 11:
      case 12:
      case 28:
        TextAtWorld(pe, mx + h / 4, std::max(my + h / 2, h), t);
        break;
      case 3:
      case 4:
      case 7:
      case 8:
      case 19:
      case 20:
        pe.TextWorld(TextAlign::kBottomCentre, mx, my + 0.2 * h, t);
        break;
      case 13:
      case 14:
      case 15:
      case 16:
      case 17:
      case 18:
      case 21:
      case 22:
      case 23:
        pe.TextWorld(TextAlign::kBottomCentre, mx, my - 1.2 * h, t);
        break;
      default:
        break;
    }
  }
  pe.SetFontColor(0);
}

void DrawBlockNumbers(PrintEngine& pe, const Figure& fig) {
  const LabelScope labels(pe);
  NumberFont(pe, 14, 2.2);
  pe.SetFontColor(kFigBlockNumber);
  for (int k = 1; k <= fig.block_count; ++k) {
    const double cx =
        (fig.bounds[static_cast<std::size_t>(k)] + fig.bounds[static_cast<std::size_t>(k) + 1]) / 2;
    if (!IsVisibleX(fig, cx)) continue;
    pe.TextWorld(TextAlign::kBottomCentre, cx, fig.model->frame_height / 2, Format("【%d】", k));
  }
  pe.SetFontColor(0);
}

void DrawNodeNumbers(PrintEngine& pe, const Figure& fig) {
  const LabelScope labels(pe);
  const StructureModel& s = *fig.model;
  NumberFont(pe, 12, 2.0);
  pe.SetFontColor(kFigNodeNumber);
  const double h = pe.TextHeightWorld("");
  const int nodes = NodeCount(fig);
  if (fig.longitudinal) {
    for (int k = 1; k <= nodes; ++k) {
      const ModelNode& n = s.Node(k);
      if (!IsVisibleX(fig, n.x)) continue;
      if (n.y <= 0.1)
        pe.TextWorld(TextAlign::kTopCentre, n.x, n.y - h / 3, Format("%d", k));
      else
        pe.TextWorld(TextAlign::kBottomCentre, n.x, n.y + h / 4, Format("%d", k));
    }
    pe.SetFontColor(0);
    return;
  }
  // Transverse model: each node once, beside the end of the first member
  // that reaches it; top nodes above, bottom nodes below, wall nodes
  // between them beside the wall (left of the left wall, right otherwise).
  std::vector<std::uint8_t> done(static_cast<std::size_t>(nodes) + 1, 0);
  const double top = s.frame_height - 0.01;
  for (int m = 1; m <= MemberCount(fig); ++m) {
    const ModelMember& mem = s.Member(m);
    for (int end = 0; end < 2; ++end) {
      const int k = end == 0 ? mem.node_i : mem.node_j;
      if (k < 1 || k > nodes || done[static_cast<std::size_t>(k)]) continue;
      const ModelNode& n = s.Node(k);
      if (!IsVisibleX(fig, n.x)) continue;
      done[static_cast<std::size_t>(k)] = 1;
      const std::string t = Format("%d", k);
      const bool steep = std::fabs(s.Node(mem.node_i).x - s.Node(mem.node_j).x) <=
                         std::fabs(s.Node(mem.node_i).y - s.Node(mem.node_j).y);
      if (n.y >= top && (!steep || mem.type == 1 || mem.type == 2 || n.y > 0.1))
        pe.TextWorld(TextAlign::kBottomCentre, n.x, n.y + 0.4 * h, t);
      else if (n.y <= 0.01)
        pe.TextWorld(TextAlign::kTopCentre, n.x, n.y - 0.4 * h, t);
      else if (mem.type == 1)
        pe.TextWorld(TextAlign::kMiddleRight, n.x - 0.4 * h, n.y, t);
      else
        pe.TextWorld(TextAlign::kMiddleLeft, n.x + 0.4 * h, n.y, t);
    }
  }
  pe.SetFontColor(0);
}

void DrawInterestMarkers(PrintEngine& pe, const Figure& fig) {
  if (!Screen(pe) || fig.longitudinal) return;
  const StructureModel& s = *fig.model;
  static constexpr std::uint32_t kColours[4] = {kFigHaunch, kFigTwoD, kFigTwoD, kFigHalfH};
  for (int m = 1; m <= MemberCount(fig); ++m) {
    double xi, yi, xj, yj;
    if (!MemberEnds(fig, m, xi, yi, xj, yj)) continue;
    if (!IsVisibleX(fig, xi) || !IsVisibleX(fig, xj)) continue;
    const double L = std::hypot(xj - xi, yj - yi);
    if (L < 1e-9) continue;
    const double ux = (xj - xi) / L, uy = (yj - yi) / L;
    const ModelMember& mem = s.Member(m);
    for (int end = 0; end < 2; ++end)
      for (int k = 0; k < 4; ++k) {
        const double d = mem.points[static_cast<std::size_t>(end * 4 + k)];
        if (!(d > 0.005)) continue;
        const double t = end == 0 ? d : L - d;
        pe.FillSquareScreen(xi + ux * t, yi + uy * t, 5, kColours[k], 0);
      }
    if (mem.poi_flag) pe.FillSquareScreen((xi + xj) / 2, (yi + yj) / 2, 5, kFigMaxCheck, 0);
  }
  pe.SetPenWidth(1);
  pe.SetPenColor(0);
}

void DrawFigureLegend(PrintEngine& pe, const Figure& fig, int w, int h, bool legend) {
  if (!Screen(pe)) return;
  const StructureModel& s = *fig.model;
  const DrawingState& dev = pe.device();
  const double res = dev.resolution;
  auto mmx = [&](double px) { return px / res - dev.left; };
  auto mmy = [&](double py) { return py / res - dev.top; };
  pe.SetTextFont(-13, 0, 0, 0);
  pe.SetBrushStyle(kBrushClear);
  const std::string hint = "マウス操作　ｺﾛｺﾛ:拡大/縮小、左ﾎﾞﾀﾝでﾄﾞﾗｯｸﾞ:移動";
  pe.DrawText(mmx(4), mmy(h - 16), 0, 0, hint);
  const double char_px = pe.font().pitch * res;
  if (legend && !fig.longitudinal) {
    const double y = h - 16 + pe.font().height_px / 2.0;
    double x = 4 + hint.size() * char_px + 64;
    const std::pair<std::uint32_t, std::string> items[3] = {
        {kFigHaunch, "ﾊﾝﾁ点"},
        {fig.shear_at_2d ? kFigTwoD : kFigHalfH, fig.shear_at_2d ? "2･d点" : "h/2点"},
        {kFigMaxCheck, "Mmax照査"}};
    for (const auto& [colour, text] : items) {
      double X, Y;
      PixelToWorld(pe, x, y, X, Y);
      pe.FillSquareScreen(X, Y, 5, colour, 0);
      pe.DrawText(mmx(x + 8), mmy(h - 16), 0, 0, text);
      x += 64 + text.size() * char_px;
    }
  }
  const double total = s.extents[8] > 0 ? s.extents[8] : s.frame_width;
  const std::string right = Format("全長 %0.3f(m) / 軸幅 %0.3f(m)", total, s.frame_width);
  pe.DrawText(mmx(w - 4 - right.size() * char_px), mmy(h - 16), 0, 0, right);
}

void DrawModelFigure(PrintEngine& pe, const Figure& fig, unsigned show) {
  if (show & kShowBlocks) DrawBlocks(pe, fig);
  if (show & kShowSelected) DrawSelectedMembers(pe, fig);
  if (show & kShowMembers) DrawFrameMembers(pe, fig);
  if (show & kShowNodes) DrawFrameNodes(pe, fig);
  if (show & kShowMarkers) DrawInterestMarkers(pe, fig);
  if (show & kShowMemberNumbers) DrawMemberNumbers(pe, fig);
  if (show & kShowNodeNumbers) DrawNodeNumbers(pe, fig);
  if ((show & kShowBlockNumbers) && !fig.longitudinal) DrawBlockNumbers(pe, fig);
}

// --- cross-section ---

SectionFigureInput SectionFigureOf(const ModelRecord& rec) {
  return {rec.water_level[0]};
}

void DrawSectionFigure(PrintEngine& pe, const Figure& fig, const SectionFigureInput& in, double a,
                       double b, double c, double d) {
  const StructureModel& s = *fig.model;
  double ex0 = s.extents[0], ey0 = s.extents[1], ex1 = s.extents[2], ey1 = s.extents[3];
  if (!(ex1 > ex0)) ex0 = 0, ex1 = std::max(s.frame_width, 1.0);
  if (!(ey1 > ey0)) ey0 = 0, ey1 = std::max(s.frame_height, 1.0);
  const double m = 0.14 * std::max(ex1 - ex0, ey1 - ey0);
  pe.SetWindow(a, b, c, d, ex0 - m, ey1 + 0.6 * m, ex1 + m, ey0 - m);
  pe.SetPenColor(0);
  pe.SetPenWidth(2);
  const bool box = fig.layout == kLayoutBox;
  for (int k = 1; k <= AllBlockCount(fig); ++k) {
    const BlockRecord& blk = fig.row->At(k);
    OutlinePoint p[12];
    const int n = Outline(fig, k, p);
    if (n < 3) continue;
    std::vector<double> xy;
    for (int i = 0; i < n; ++i) xy.push_back(p[i].x), xy.push_back(p[i].y);
    xy.push_back(p[0].x), xy.push_back(p[0].y);
    pe.PolylineWorld(xy);
    const DimensionSet& ds = blk.working_set;
    if (box && ds.kind >= kBlockLeftEnd && ds.kind <= kBlockRightEnd) {
      // The box's opening: the inner outline as a polyline of its own.
      const double x0 = blk.x - ds.B() / 2, x1 = blk.x + ds.B() / 2;
      const double y0 = blk.z + ds.c(), y1 = blk.z + ds.c() + ds.H();
      pe.PolylineWorld({x0, y0, x1, y0, x1, y1, x0, y1, x0, y0});
    }
  }
  pe.SetPenWidth(1);
  const double t = 2.0;
  const int flags = kDimExtStart | kDimExtEnd | kDimText;
  pe.SetArrowHead(1.2);
  // Chain of the block widths along the base, then the overall width.
  double prev = ex0;
  for (int k = 1; k <= RealBlockCount(fig); ++k) {
    OutlinePoint p[12];
    const int n = Outline(fig, k, p);
    if (n < 3) continue;
    const int kind = fig.row->At(k).working_set.kind;
    if (kind < kBlockLeftEnd || kind > kBlockRightEnd) continue;
    double lo = p[0].x, hi = p[0].x;
    for (int i = 1; i < n; ++i) lo = std::min(lo, p[i].x), hi = std::max(hi, p[i].x);
    if (lo > prev + 1e-6) DrawDimension(pe, prev, ey0, lo, ey0, -0.3 * m, flags, "$3", t);
    DrawDimension(pe, lo, ey0, hi, ey0, -0.3 * m, flags, "$3", t);
    prev = hi;
  }
  DrawDimension(pe, ex0, ey0, ex1, ey0, -0.65 * m, flags, "$3", t);
  // Overall height at the left; inner width and height of the first block.
  DrawDimension(pe, ex0, ey0, ex0, ey1, 0.3 * m, flags, "$3", t);
  if (RealBlockCount(fig) >= 1) {
    const BlockRecord& b1 = fig.row->At(1);
    const DimensionSet& ds = b1.working_set;
    const double floor = b1.z + ds.c(), ceiling = b1.z + ds.c() + ds.H();
    double xl, xr;
    if (box) {
      xl = b1.x - ds.B() / 2, xr = b1.x + ds.B() / 2;
    } else {
      // The clear span between the heads of the first two walls.
      xl = s.extents[4], xr = s.extents[6];
      OutlinePoint p[12];
      if (Outline(fig, 1, p) == 8) xl = p[4].x;
      for (int k = 2; k <= RealBlockCount(fig); ++k) {
        const int kind = fig.row->At(k).working_set.kind;
        if (kind != kBlockIntermediate && kind != kBlockRightEnd) continue;
        if (Outline(fig, k, p) == 8) xr = p[5].x;
        break;
      }
    }
    if (ds.H() > 0) DrawDimension(pe, xr, floor, xr, ceiling, 0.15 * m, flags, "$3", t);
    if (xr > xl) DrawDimension(pe, xl, ey1, xr, ey1, 0.25 * m, flags, "$3", t);
    // The stored water level over the inner floor.
    if (in.water_level > 0 && s.extents[6] > s.extents[4]) {
      const double y = floor + in.water_level;
      pe.SetPenStyle(kPenDash);
      pe.LineWorld(s.extents[4], y, s.extents[6], y);
      pe.SetPenStyle(kPenSolid);
      const double u = 1 / SafeDivisor(std::fabs(pe.window().sx));
      // Clear of the inner-height line: the middle of the clear span (stand)
      // or of the whole inner width (box).
      const double xm = box ? (s.extents[4] + s.extents[6]) / 2 : (xl + xr) / 2;
      pe.PolygonWorld({xm, y, xm - 1.2 * u, y + 2 * u, xm + 1.2 * u, y + 2 * u}, kBrushClear,
                      kNoFirstFill, 0, 0);
      pe.SetTextFont(t, t / 2, 0, 0);
      pe.TextWorld(TextAlign::kBottomLeft, xm + 1.5 * u, y + 0.5 * u, "水位");
    }
  }
  // The base.
  pe.SetPenWidth(2);
  pe.LineWorld(ex0 - 0.5 * m, ey0, ex1 + 0.5 * m, ey0);
  pe.SetPenWidth(1);
  pe.SetTextFont(t, t / 2, 0, 0);
  pe.TextWorld(TextAlign::kBottomRight, ex1 + 0.5 * m, ey0, "基 盤 面");
  pe.SetArrowHead(0);
  pe.SetBodyFont();
}

// --- picking ---

int NearestMember(const Figure& fig, double X, double Y, double limit, double min_length) {
  int best = 0;
  double best_d = limit;
  for (int m = 1; m <= MemberCount(fig); ++m) {
    double xi, yi, xj, yj;
    if (!MemberEnds(fig, m, xi, yi, xj, yj)) continue;
    const double dx = xj - xi, dy = yj - yi, L2 = dx * dx + dy * dy;
    if (std::sqrt(L2) < min_length) continue;
    double d;
    const double t = L2 > 0 ? ((X - xi) * dx + (Y - yi) * dy) / L2 : -1;
    if (t >= 0 && t <= 1)
      d = std::fabs((X - xi) * dy - (Y - yi) * dx) / std::sqrt(L2);
    else
      d = std::min(std::hypot(X - xi, Y - yi), std::hypot(X - xj, Y - yj));
    if (d < best_d) best_d = d, best = m;
  }
  return best;
}

int BlockAt(const Figure& fig, double X, double Y) {
  if (fig.longitudinal) return 0;
  int found = 0;
  for (int k = 1; k <= RealBlockCount(fig); ++k) {
    OutlinePoint p[12];
    const int n = Outline(fig, k, p);
    if (n >= 3 && PointInPolygon(p, n, X, Y)) found = k;
  }
  return found;
}

}  // namespace vaultra
