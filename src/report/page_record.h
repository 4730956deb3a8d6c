// Page records: the drawing commands of every report page, kept per page
// slot in page-bitmap pixels so that a page can be replayed on any device
// (preview bitmap, PDF, printer) or dumped as text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vaultra {

// Platform pen and brush styles, numbered as the drawing canvas numbers them.
enum PenStyle : int {
  kPenSolid = 0,
  kPenDash = 1,
  kPenDot = 2,
  kPenDashDot = 3,
  kPenDashDotDot = 4,
  kPenClear = 5
};
enum BrushStyle : int {
  kBrushSolid = 0,
  kBrushClear = 1,
  kBrushHorizontal = 2,
  kBrushVertical = 3,
  kBrushFDiagonal = 4,
  kBrushBDiagonal = 5,
  kBrushCross = 6,
  kBrushDiagCross = 7,
};

// A decoded figure image; pixels are 0xFFRRGGBB, row by row from the top.
struct RasterImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

enum class Cmd : std::uint8_t {
  kSetFont,     // v: height px, width px, escapement (0.1 degree), face code
  kFontColor,   // v0: colour 0x00BBGGRR
  kGlyph,       // v0, v1: top-left corner; text: one cp932 character
  kPenColor,    // v0
  kPenWidth,    // v0: pixels
  kPenStyle,    // v0: PenStyle
  kBrushColor,  // v0
  kBrushStyle,  // v0: BrushStyle
  kMoveTo,      // v0, v1
  kLineTo,      // v0, v1
  kEllipse,     // v0..v3: bounding box, outlined with the pen, filled with the brush
  kFillRect,    // v0..v3: filled with the brush, no outline
  kPolyline,    // points
  kPolygon,     // points; filled with the brush, outlined with the pen
  kImage,       // v0..v3: target rectangle; image
};

struct PageCommand {
  Cmd cmd = Cmd::kMoveTo;
  int v[4] = {0, 0, 0, 0};
  std::string text;
  std::vector<int> points;  // x0, y0, x1, y1, ...
  std::shared_ptr<const RasterImage> image;
};

// Whatever executes drawing commands: a recorder, a painter, a test probe.
class DrawTarget {
 public:
  virtual ~DrawTarget() = default;
  virtual void Execute(const PageCommand& command) = 0;
  // Fills the whole surface with a colour (0x00BBGGRR).
  virtual void Clear(std::uint32_t /*colour*/) {}
};

// The slot list grows with the report: 24 centre blocks with every
// longitudinal chapter take well over 512 pages. The bound only guards the
// memory against a runaway loop; no facility the model accepts comes near it.
constexpr int kPageSlots = 20000;
constexpr int kLastPageSlot = kPageSlots - 1;
constexpr int kFirstBodySlot = 10;  // body page n lies in slot n + 10
// Contents pages 1..9 lie in slots 1..9; a longer contents continues in the
// slots after the last body page (ContentsSlots).
constexpr int kFixedContentsPages = 9;

class PageRecords {
 public:
  PageRecords() : slots_(kFirstBodySlot + 1) {}
  // Selects a slot and empties its record, growing the list as needed;
  // false (and no slot selected, so nothing is recorded) for a slot outside
  // 0..kLastPageSlot.
  bool Select(int slot);
  void Clear();
  void Append(const PageCommand& command);
  void Append(PageCommand&& command);
  int current() const { return current_; }
  int highest() const { return highest_; }
  const std::vector<PageCommand>& Slot(int slot) const;
  std::size_t CommandCount() const;

 private:
  std::vector<std::vector<PageCommand>> slots_;
  int current_ = 0;
  int highest_ = 0;
};

// One line per command, texts in UTF-8: the form the golden tests compare.
std::string DumpCommand(const PageCommand& command);
std::string DumpPage(const PageRecords& records, int slot);

// Where a replay lands: a bitmap of the given size, or a printer (or PDF
// page) with its resolution and the physical offset of its printable area.
struct ReplayGeometry {
  bool printer = false;
  int width_px = 1800;
  int height_px = 2700;
  double dpi_x = 300;
  double dpi_y = 300;
  double offset_mm_x = 0;
  double offset_mm_y = 0;
};

// Replays one slot onto the target, scaled from the recorded size. A bitmap
// target is first cleared with the background; a slot never used leaves it
// so. Returns the number of commands executed.
int ReplayPage(const PageRecords& records, int slot, DrawTarget& target,
               const ReplayGeometry& geometry, int recorded_width, int recorded_height,
               std::uint32_t background);

}  // namespace vaultra
