#include "core/grid.h"

#include <algorithm>

#include "core/cp932.h"
#include "core/number.h"

namespace vaultra {

void GridData::SetColCount(int n, int default_width) {
  n = std::max(n, 0);
  col_widths.resize(n, default_width);
  for (auto& r : rows) r.resize(n);
}

void GridData::SetRowCount(int n) {
  n = std::max(n, 0);
  rows.resize(n, std::vector<std::string>(col_widths.size()));
}

const std::string& GridData::Cell(int col, int row) const {
  static const std::string kEmpty;
  if (row < 0 || row >= row_count() || col < 0 || col >= col_count()) return kEmpty;
  return rows[row][col];
}

void GridData::SetCell(int col, int row, std::string text) {
  if (row < 0 || row >= row_count() || col < 0 || col >= col_count()) return;
  rows[row][col] = std::move(text);
}

int SetupGridHeader(GridData& grid, int row, std::string_view spec_in, const TextMeasure& measure) {
  const std::string bar = "┃";
  std::string spec(spec_in);
  if (spec.compare(0, bar.size(), bar) == 0) spec.erase(0, bar.size());
  if (spec.size() < bar.size() || spec.compare(spec.size() - bar.size(), bar.size(), bar) != 0 ||
      !IsCharBoundary(spec, spec.size() - bar.size())) {
    spec += bar;
  }
  std::vector<std::string> entries;
  for (std::size_t pos = 0;;) {
    std::size_t next = FindText(spec, bar, pos);
    if (next == std::string::npos) break;
    entries.push_back(spec.substr(pos, next - pos));
    pos = next + bar.size();
  }
  const int n = static_cast<int>(entries.size());
  grid.SetColCount(std::max(grid.col_count(), n));
  if (grid.row_count() <= row) grid.SetRowCount(row + 1);
  int total = 1;
  for (int j = 0; j < n; ++j) {
    const std::string& entry = entries[j];
    int w = ReadInt(entry);
    std::size_t colon = FindText(entry, ":");
    std::string caption = entry;
    if (colon != std::string::npos || w != 0) {
      if (colon != std::string::npos) caption = entry.substr(colon + 1);
    } else {
      w = 0;
      std::size_t pos = 0;
      while (true) {
        std::size_t comma = FindText(entry, ",", pos);
        std::string part = entry.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
        w = std::max(w, measure.TextWidth(part + "X"));
        if (comma == std::string::npos) break;
        pos = comma + 1;
      }
    }
    grid.col_widths[j] = w;
    grid.SetCell(j, row, caption);
    total += w + 1;
  }
  return total;
}

}  // namespace vaultra
