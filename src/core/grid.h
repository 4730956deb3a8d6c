// A string grid's contents as data (cells, column widths), and the header
// builder the pages share.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vaultra {

// Screen width of a text in the grid's font, in pixels.
class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  virtual int TextWidth(std::string_view cp932) const = 0;
};

// Seven pixels a byte: for headers whose entries all give their widths, so
// that no text is measured.
class FixedWidthMeasure : public TextMeasure {
 public:
  int TextWidth(std::string_view text) const override { return static_cast<int>(text.size()) * 7; }
};

struct GridData {
  int fixed_rows = 1;
  int fixed_cols = 0;
  std::vector<int> col_widths;                 // one per column
  std::vector<std::vector<std::string>> rows;  // rows[r][c], every row col_count() cells

  int col_count() const { return static_cast<int>(col_widths.size()); }
  int row_count() const { return static_cast<int>(rows.size()); }
  void SetColCount(int n, int default_width = 64);
  void SetRowCount(int n);
  // Bounds-checked access; out of range reads as "" and writes nothing.
  const std::string& Cell(int col, int row) const;
  void SetCell(int col, int row, std::string text);
  bool operator==(const GridData&) const = default;
};

// Builds the header row from a spec of "┃"-separated entries
// ("38:地層,No┃80:層厚,(ｍ)┃48:,Ｎ値"); returns 1 + the sum over the
// entries of (column width + 1).
int SetupGridHeader(GridData& grid, int row, std::string_view spec, const TextMeasure& measure);

}  // namespace vaultra
