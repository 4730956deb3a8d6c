// The label placer of the figures: while a label scope is open, a text is
// first drawn into a capture, its glyph boxes measured, then moved to the
// first place around it that overlaps nothing already on the page.
#include <algorithm>
#include <cmath>

#include "report/print_engine.h"

namespace vaultra {

namespace {

struct Rect {
  int x0, y0, x1, y1;
};

bool Overlaps(const Rect& a, int ax0, int ay0, int ax1, int ay1) {
  return a.x0 < ax1 && ax0 < a.x1 && a.y0 < ay1 && ay0 < a.y1;
}

// Whether the segment p-q passes through the rectangle (Liang-Barsky clip).
bool SegmentHits(const Rect& r, double px, double py, double qx, double qy) {
  double t0 = 0, t1 = 1;
  const double dx = qx - px, dy = qy - py;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {px - r.x0, r.x1 - px, py - r.y0, r.y1 - py};
  for (int k = 0; k < 4; ++k) {
    if (p[k] == 0) {
      if (q[k] < 0) return false;
      continue;
    }
    const double t = q[k] / p[k];
    if (p[k] < 0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  return true;
}

// The box of one glyph cell: columns wide, the font's height tall, turned
// by the escapement about its top-left corner (y down).
Rect GlyphCell(int x, int y, int width, int height, int escapement) {
  if (escapement == 0) return {x, y, x + width, y + height};
  const double th = -escapement * 0.1 * 3.14159265358979323846 / 180.0;
  const double ax = std::cos(th), ay = std::sin(th), dx = -ay, dy = ax;
  const double xs[4] = {0, ax * width, dx * height, ax * width + dx * height};
  const double ys[4] = {0, ay * width, dy * height, ay * width + dy * height};
  return {x + static_cast<int>(std::floor(*std::min_element(xs, xs + 4))),
          y + static_cast<int>(std::floor(*std::min_element(ys, ys + 4))),
          x + static_cast<int>(std::ceil(*std::max_element(xs, xs + 4))),
          y + static_cast<int>(std::ceil(*std::max_element(ys, ys + 4)))};
}

}  // namespace

void PrintEngine::ClearLabelObstacles() {
  label_boxes_.clear();
  label_lines_.clear();
}

void PrintEngine::NoteObstacle(const PageCommand& c) {
  switch (c.cmd) {
    case Cmd::kGlyph: {
      const int w = static_cast<int>(c.text.size()) * font_.width_px;
      const Rect g = GlyphCell(c.v[0], c.v[1], w, font_.height_px, font_.escapement);
      // A run of glyphs on one line is one box: the next glyph continues it.
      if (!label_boxes_.empty()) {
        PxBox& b = label_boxes_.back();
        if (font_.escapement == 0 && b.y0 == g.y0 && b.y1 == g.y1 && g.x0 >= b.x1 - 1 &&
            g.x0 <= b.x1 + 2) {
          b.x1 = std::max(b.x1, g.x1);
          return;
        }
      }
      label_boxes_.push_back({g.x0, g.y0, g.x1, g.y1});
      return;
    }
    case Cmd::kMoveTo:
      line_x_ = c.v[0], line_y_ = c.v[1];
      return;
    case Cmd::kLineTo:
      if (obstacle_lines_) label_lines_.push_back({line_x_, line_y_, c.v[0], c.v[1]});
      line_x_ = c.v[0], line_y_ = c.v[1];
      return;
    case Cmd::kPolyline:
      if (obstacle_lines_)
        for (std::size_t i = 0; i + 3 < c.points.size(); i += 2)
          label_lines_.push_back({c.points[i], c.points[i + 1], c.points[i + 2], c.points[i + 3]});
      return;
    default:
      return;
  }
}

void PrintEngine::PlaceLabel(double x0, double y0, double dx, double dy, std::string_view text) {
  // The label as drawn where it was asked for, captured, not yet shown.
  std::vector<PageCommand> cmds;
  const StFont start_font = font_;
  const std::uint32_t colour = dev_.font_colour;
  capture_ = &cmds;
  placing_ = true;
  DrawPlainText(x0, y0, dx, dy, text);
  placing_ = false;
  capture_ = nullptr;
  Rect box{1 << 30, 1 << 30, -(1 << 30), -(1 << 30)};
  {
    int w = start_font.width_px, h = start_font.height_px, esc = start_font.escapement;
    for (const PageCommand& c : cmds) {
      if (c.cmd == Cmd::kSetFont) w = c.v[1], h = c.v[0], esc = c.v[2];
      if (c.cmd != Cmd::kGlyph) continue;
      const Rect g = GlyphCell(c.v[0], c.v[1], static_cast<int>(c.text.size()) * w, h, esc);
      box = {std::min(box.x0, g.x0), std::min(box.y0, g.y0), std::max(box.x1, g.x1),
             std::max(box.y1, g.y1)};
    }
  }
  if (box.x1 <= box.x0) {  // nothing visible: the font and colour changes only
    for (PageCommand& c : cmds) Emit(std::move(c));
    return;
  }
  const int w = box.x1 - box.x0, h = box.y1 - box.y0;
  const int pad = dev_.kind == 2 ? 2 : 1;
  // Steps of half the label's height (even pixels on the report page, where
  // glyphs sit on odd ones), up to sixteen steps each way.
  const int step = std::max(2, (std::min(w, h) / 2) & ~1);
  constexpr int kRing = 16;
  const Rect area{box.x0 - kRing * step - pad, box.y0 - kRing * step - pad,
                  box.x1 + kRing * step + pad, box.y1 + kRing * step + pad};
  std::vector<Rect> near_boxes;
  for (const PxBox& b : label_boxes_)
    if (Overlaps({b.x0, b.y0, b.x1, b.y1}, area.x0, area.y0, area.x1, area.y1))
      near_boxes.push_back({b.x0, b.y0, b.x1, b.y1});
  std::vector<Rect> near_lines;
  for (const PxBox& l : label_lines_)
    if (SegmentHits(area, l.x0, l.y0, l.x1, l.y1)) near_lines.push_back({l.x0, l.y0, l.x1, l.y1});
  // A label stays within its figure: the page rectangle of the world window
  // and 2 mm around it, or as far out as it was asked for; so it never
  // wanders into a title or a figure drawn later below it.
  const WorldWindow& wn = dev_.window;
  const double margin = 6;
  Rect keep{static_cast<int>(PxX(std::min(wn.a, wn.c) - margin)),
            static_cast<int>(PxY(std::min(wn.b, wn.d) - margin)),
            static_cast<int>(PxX(std::max(wn.a, wn.c) + margin)),
            static_cast<int>(PxY(std::max(wn.b, wn.d) + margin))};
  if (keep.x1 <= keep.x0 || keep.y1 <= keep.y0) keep = {0, 0, dev_.width_px, dev_.height_px};
  keep = {std::max(0, std::min(keep.x0, box.x0 - pad)),
          std::max(0, std::min(keep.y0, box.y0 - pad)),
          std::min(dev_.width_px, std::max(keep.x1, box.x1 + pad)),
          std::min(dev_.height_px, std::max(keep.y1, box.y1 + pad))};
  // How many obstacles the label meets when moved by (ox, oy); -1 when it
  // would leave its figure.
  auto hits = [&](int ox, int oy, bool count_all) {
    const Rect r{box.x0 + ox - pad, box.y0 + oy - pad, box.x1 + ox + pad, box.y1 + oy + pad};
    if (r.x0 < keep.x0 || r.y0 < keep.y0 || r.x1 > keep.x1 || r.y1 > keep.y1) return -1;
    int n = 0;
    for (const Rect& b : near_boxes)
      if (Overlaps(r, b.x0, b.y0, b.x1, b.y1) && (++n, !count_all)) return n;
    for (const Rect& l : near_lines)
      if (SegmentHits(r, l.x0, l.y0, l.x1, l.y1) && (++n, !count_all)) return n;
    return n;
  };
  // The candidate moves in steps, nearest first; at one distance up before
  // down, then left before right.
  struct Move {
    int i, j;
  };
  static const std::vector<Move> kMoves = [] {
    std::vector<Move> m;
    for (int j = -kRing; j <= kRing; ++j)
      for (int i = -kRing; i <= kRing; ++i) m.push_back({i, j});
    std::stable_sort(m.begin(), m.end(), [](const Move& a, const Move& b) {
      return a.i * a.i + a.j * a.j < b.i * b.i + b.j * b.j;
    });
    return m;
  }();
  const Move* chosen = nullptr;
  for (const Move& m : kMoves)
    if (hits(m.i * step, m.j * step, false) == 0) {
      chosen = &m;
      break;
    }
  if (!chosen) {
    // Crowded within its figure: anywhere on the canvas within reach rather
    // than over another label.
    keep = {0, 0, dev_.width_px, dev_.height_px};
    for (const Move& m : kMoves)
      if (hits(m.i * step, m.j * step, false) == 0) {
        chosen = &m;
        break;
      }
  }
  if (!chosen && dev_.kind == 2 && start_font.height > 1.8 + 1e-6) {
    // No free place at this size: the label again, smaller, down to 1.8 mm.
    const double k = std::max(1.8 / start_font.height, 0.85);
    SetTextFont(start_font.height * k, start_font.pitch * k, start_font.angle, start_font.face);
    SetFontColor(colour);
    const double shrink_dx = dx * k, shrink_dy = dy * k;
    PlaceLabel(x0, y0, shrink_dx, shrink_dy, text);
    RestoreFont(start_font);
    SetFontColor(colour);
    return;
  }
  if (!chosen) {
    int best = 1 << 30;
    // Where it overlaps least, among the places at most three steps away.
    for (const Move& m : kMoves) {
      if (m.i * m.i + m.j * m.j > 9) break;
      const int n = hits(m.i * step, m.j * step, true);
      if (n >= 0 && n < best) best = n, chosen = &m;
    }
  }
  const int ox = chosen ? chosen->i * step : 0, oy = chosen ? chosen->j * step : 0;
  for (PageCommand& c : cmds) {
    if (c.cmd == Cmd::kGlyph) c.v[0] += ox, c.v[1] += oy;
    Emit(std::move(c));
  }
  if (std::abs(ox) > h || std::abs(oy) > h) {
    // Far from its place: a leader from where it belonged to its nearest edge.
    const int cx = (box.x0 + box.x1) / 2, cy = (box.y0 + box.y1) / 2;
    const int tx = std::clamp(cx, box.x0 + ox, box.x1 + ox);
    const int ty = std::clamp(cy, box.y0 + oy, box.y1 + oy);
    const DrawingState saved = dev_;
    EmitValue(Cmd::kPenWidth, 1);
    EmitValue(Cmd::kPenStyle, kPenSolid);
    const bool lines = obstacle_lines_;
    obstacle_lines_ = true;  // later labels keep off the leader too
    MoveToPx(cx, cy);
    LineToPx(tx, ty);
    obstacle_lines_ = lines;
    EmitValue(Cmd::kPenWidth, saved.pen_width_px);
    EmitValue(Cmd::kPenStyle, saved.pen_style);
    dev_.pen_x = saved.pen_x, dev_.pen_y = saved.pen_y;
  }
}

}  // namespace vaultra
