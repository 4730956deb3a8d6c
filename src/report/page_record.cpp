#include "report/page_record.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/cp932.h"
#include "core/number.h"

namespace vaultra {

bool PageRecords::Select(int slot) {
  if (slot < 0 || slot > kLastPageSlot) {
    current_ = -1;
    return false;
  }
  if (static_cast<std::size_t>(slot) >= slots_.size())
    slots_.resize(static_cast<std::size_t>(slot) + 1);
  current_ = slot;
  slots_[slot].clear();
  highest_ = std::max(highest_, slot);
  return true;
}

void PageRecords::Clear() {
  slots_.assign(kFirstBodySlot + 1, {});
  highest_ = 0;
  current_ = 0;
}

void PageRecords::Append(const PageCommand& command) {
  if (current_ < 0) return;
  // push_back grows the record geometrically: a page of n commands costs
  // O(n) moves, however many it holds.
  slots_[current_].push_back(command);
}

void PageRecords::Append(PageCommand&& command) {
  if (current_ < 0) return;
  slots_[current_].push_back(std::move(command));
}

const std::vector<PageCommand>& PageRecords::Slot(int slot) const {
  static const std::vector<PageCommand> kEmpty;
  if (slot < 0 || static_cast<std::size_t>(slot) >= slots_.size()) return kEmpty;
  return slots_[slot];
}

std::size_t PageRecords::CommandCount() const {
  std::size_t n = 0;
  for (const auto& s : slots_) n += s.size();
  return n;
}

std::string DumpCommand(const PageCommand& c) {
  const int* v = c.v;
  auto points = [&](const char* name) {
    std::string s = Format("%s %zu", name, c.points.size() / 2);
    for (int p : c.points) s += Format(" %d", p);
    return s;
  };
  switch (c.cmd) {
    case Cmd::kSetFont:
      return Format("font %d %d %d %d", v[0], v[1], v[2], v[3]);
    case Cmd::kFontColor:
      return Format("fontcolor %06X", static_cast<unsigned>(v[0]));
    case Cmd::kGlyph:
      return Format("glyph %d %d %s", v[0], v[1], Cp932ToUtf8(c.text).c_str());
    case Cmd::kPenColor:
      return Format("pencolor %06X", static_cast<unsigned>(v[0]));
    case Cmd::kPenWidth:
      return Format("penwidth %d", v[0]);
    case Cmd::kPenStyle:
      return Format("penstyle %d", v[0]);
    case Cmd::kBrushColor:
      return Format("brushcolor %06X", static_cast<unsigned>(v[0]));
    case Cmd::kBrushStyle:
      return Format("brushstyle %d", v[0]);
    case Cmd::kMoveTo:
      return Format("moveto %d %d", v[0], v[1]);
    case Cmd::kLineTo:
      return Format("lineto %d %d", v[0], v[1]);
    case Cmd::kEllipse:
      return Format("ellipse %d %d %d %d", v[0], v[1], v[2], v[3]);
    case Cmd::kFillRect:
      return Format("fillrect %d %d %d %d", v[0], v[1], v[2], v[3]);
    case Cmd::kPolyline:
      return points("polyline");
    case Cmd::kPolygon:
      return points("polygon");
    case Cmd::kImage:
      return Format("image %d %d %d %d %dx%d", v[0], v[1], v[2], v[3], c.image ? c.image->width : 0,
                    c.image ? c.image->height : 0);
  }
  return "?";
}

std::string DumpPage(const PageRecords& records, int slot) {
  std::string out;
  for (const auto& c : records.Slot(slot)) {
    out += DumpCommand(c);
    out += '\n';
  }
  return out;
}

int ReplayPage(const PageRecords& records, int slot, DrawTarget& target, const ReplayGeometry& g,
               int recorded_width, int recorded_height, std::uint32_t background) {
  double hs, vs, ox = 0, oy = 0, extra_pen = 0;
  if (!g.printer) {
    hs = static_cast<double>(g.width_px) / std::max(recorded_width, 99);
    vs = static_cast<double>(g.height_px) / std::max(recorded_height, 99);
    target.Clear(background);
  } else {
    const double ppm_x = std::max(g.dpi_x / 25.4, 1e-9);
    const double ppm_y = std::max(g.dpi_y / 25.4, 1e-9);
    hs = ppm_x * 180.0 / 1800.0;
    vs = ppm_y * 270.0 / 2700.0;
    ox = (15.0 - g.offset_mm_x) * ppm_x;
    oy = (15.0 - g.offset_mm_y) * ppm_y;
    extra_pen = 1;
  }
  if (slot < 0 || slot > records.highest()) return 0;
  auto clamp = [](double v) {
    return !(v > -1e9) ? -1000000000 : !(v < 1e9) ? 1000000000 : static_cast<int>(std::trunc(v));
  };
  auto mx = [&](int x) { return clamp(x * hs + ox); };
  auto my = [&](int y) { return clamp(y * vs + oy); };
  int executed = 0;
  // One scratch command, refilled: its text and points keep their storage.
  PageCommand m;
  for (const PageCommand& c : records.Slot(slot)) {
    m.cmd = c.cmd;
    std::copy(std::begin(c.v), std::end(c.v), std::begin(m.v));
    m.text.assign(c.text);
    m.points.assign(c.points.begin(), c.points.end());
    m.image = c.image;
    switch (c.cmd) {
      case Cmd::kSetFont:
        m.v[0] = clamp(c.v[0] * vs);
        m.v[1] = clamp(c.v[1] * hs);
        break;
      case Cmd::kGlyph:
        m.v[0] = mx(c.v[0]);
        m.v[1] = my(c.v[1]);
        break;
      case Cmd::kPenWidth:
        m.v[0] = clamp((c.v[0] + extra_pen) * hs + 0.5);
        break;
      case Cmd::kMoveTo:
      case Cmd::kLineTo:
        m.v[0] = mx(c.v[0]) | 1;
        m.v[1] = my(c.v[1]) | 1;
        break;
      case Cmd::kEllipse:
      case Cmd::kFillRect:
        m.v[0] = mx(c.v[0]) | 1;
        m.v[1] = my(c.v[1]) | 1;
        m.v[2] = mx(c.v[2]) | 1;
        m.v[3] = my(c.v[3]) | 1;
        break;
      case Cmd::kImage:
        m.v[0] = mx(c.v[0]);
        m.v[1] = my(c.v[1]);
        m.v[2] = mx(c.v[2]);
        m.v[3] = my(c.v[3]);
        break;
      case Cmd::kPolyline:
      case Cmd::kPolygon:
        for (std::size_t i = 0; i + 1 < m.points.size(); i += 2) {
          m.points[i] = mx(c.points[i]) | 1;
          m.points[i + 1] = my(c.points[i + 1]) | 1;
        }
        break;
      default:
        break;
    }
    target.Execute(m);
    ++executed;
  }
  return executed;
}

}  // namespace vaultra
