// Helpers that read page records back for the report tests.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "report/page_record.h"
#include "report/print_engine.h"

namespace vaultra::test {

struct GlyphAt {
  int x, y;
  std::string ch;  // cp932
  bool operator==(const GlyphAt&) const = default;
};

inline std::vector<GlyphAt> Glyphs(const PrintEngine& pe, int slot) {
  std::vector<GlyphAt> out;
  for (const auto& c : pe.records().Slot(slot))
    if (c.cmd == Cmd::kGlyph) out.push_back({c.v[0], c.v[1], c.text});
  return out;
}

// The dumped commands of a slot that start with one of the given words.
inline std::vector<std::string> Dumped(const PrintEngine& pe, int slot,
                                       std::initializer_list<const char*> words) {
  std::vector<std::string> out;
  for (const auto& c : pe.records().Slot(slot)) {
    const std::string line = DumpCommand(c);
    for (const char* w : words)
      if (line.compare(0, std::string(w).size() + 1, std::string(w) + " ") == 0)
        out.push_back(line);
  }
  return out;
}

inline int Count(const PrintEngine& pe, int slot, Cmd cmd) {
  int n = 0;
  for (const auto& c : pe.records().Slot(slot)) n += c.cmd == cmd;
  return n;
}

// A report engine on body page 1 (slot 11), records only.
inline void StartReport(PrintEngine& pe) {
  pe.BeginReportPages(1800, 2700);
  pe.SelectPageSlot(kFirstBodySlot);
  pe.NewPage();
}

// A report engine recording into slot 11 with no page decoration.
inline void StartBare(PrintEngine& pe) {
  pe.BeginReportPages(1800, 2700);
  pe.SelectPageSlot(kFirstBodySlot + 1);
  pe.SetBodyFont();
}

}  // namespace vaultra::test

namespace vaultra::test {

// The text of a recorded page, row by row: glyphs whose tops lie within
// 2 mm of a row's first glyph form one row, ordered by x; a gap wider than
// the previous glyph by more than a third of a column reads as one blank.
// Subscripts sit lower than their letter and may start a row of their own.
inline std::vector<std::string> PageTextRows(const PrintEngine& pe, int slot) {
  struct Placed {
    GlyphAt g;
    int column_px;
  };
  std::vector<Placed> g;
  int column_px = 18;
  for (const auto& c : pe.records().Slot(slot)) {
    if (c.cmd == Cmd::kSetFont) column_px = c.v[1];
    if (c.cmd == Cmd::kGlyph) g.push_back({{c.v[0], c.v[1], c.text}, column_px});
  }
  std::stable_sort(g.begin(), g.end(),
                   [](const Placed& a, const Placed& b) { return a.g.y < b.g.y; });
  std::vector<std::string> rows;
  std::size_t i = 0;
  while (i < g.size()) {
    const int top = g[i].g.y;
    std::vector<Placed> row;
    while (i < g.size() && g[i].g.y - top <= 20) row.push_back(g[i++]);
    std::stable_sort(row.begin(), row.end(),
                     [](const Placed& a, const Placed& b) { return a.g.x < b.g.x; });
    std::string text;
    for (std::size_t k = 0; k < row.size(); ++k) {
      if (k > 0) {
        const Placed& prev = row[k - 1];
        const int width = static_cast<int>(prev.g.ch.size()) * prev.column_px;
        if (row[k].g.x - prev.g.x > width + prev.column_px / 3) text += ' ';
      }
      text += row[k].g.ch;
    }
    rows.push_back(text);
  }
  return rows;
}

// Every row of the body pages (slots 11 and on) that contains all the parts.
inline std::vector<std::string> RowsWith(const PrintEngine& pe,
                                         std::initializer_list<std::string> parts) {
  std::vector<std::string> out;
  for (int slot = kFirstBodySlot + 1; slot <= pe.records().highest(); ++slot)
    for (const std::string& row : PageTextRows(pe, slot)) {
      bool all = true;
      for (const std::string& p : parts) all = all && row.find(p) != std::string::npos;
      if (all) out.push_back(row);
    }
  return out;
}

// Glyphs of a slot whose boxes overlap, as "a(x,y) / b(x,y)": more than a
// third of the smaller glyph both ways, two texts printed over each other
// rather than touching neighbours. A half-width character is one column of
// its font wide, a full-width one two, both the font's height tall; a text
// at 90 degrees runs upwards from its origin, other angles are left out, as
// are blanks and the ruled-line pieces (they join by design). Only glyphs
// of heights min_h..max_h pixels take part.
// fraction: the share of the smaller glyph both ways that counts (3: a third).
inline std::vector<std::string> Overprints(const PrintEngine& pe, int slot, int min_h = 0,
                                           int max_h = 1 << 30, int fraction = 3) {
  struct Box {
    int x0, y0, x1, y1;
    std::string ch;
  };
  std::vector<Box> boxes;
  int height = 36, pitch = 18, angle = 0;
  for (const auto& c : pe.records().Slot(slot)) {
    if (c.cmd == Cmd::kSetFont) {
      height = c.v[0];
      pitch = c.v[1];
      angle = c.v[2];
    }
    if (c.cmd != Cmd::kGlyph || height < min_h || height > max_h || c.text == " " ||
        static_cast<unsigned char>(c.text[0]) == 0x84)
      continue;
    const int w = static_cast<int>(c.text.size()) * pitch;
    if (angle == 0)
      boxes.push_back({c.v[0], c.v[1], c.v[0] + w, c.v[1] + height, c.text});
    else if (angle == 900)
      boxes.push_back({c.v[0], c.v[1] - w, c.v[0] + height, c.v[1], c.text});
  }
  std::sort(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) { return a.y0 < b.y0; });
  std::vector<std::string> out;
  for (std::size_t i = 0; i < boxes.size(); ++i)
    for (std::size_t j = i + 1; j < boxes.size() && boxes[j].y0 < boxes[i].y1; ++j) {
      const Box& a = boxes[i];
      const Box& b = boxes[j];
      const int ox = std::min(a.x1, b.x1) - std::max(a.x0, b.x0);
      const int oy = std::min(a.y1, b.y1) - std::max(a.y0, b.y0);
      if (ox * fraction > std::min(a.x1 - a.x0, b.x1 - b.x0) &&
          oy * fraction > std::min(a.y1 - a.y0, b.y1 - b.y0))
        out.push_back(a.ch + "(" + std::to_string(a.x0) + "," + std::to_string(a.y0) + ") / " +
                      b.ch + "(" + std::to_string(b.x0) + "," + std::to_string(b.y0) + ")");
    }
  return out;
}

}  // namespace vaultra::test
