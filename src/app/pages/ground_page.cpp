#include "app/pages/ground_page.h"

#include <algorithm>

#include "core/number.h"

namespace vaultra {

void CommitGroundInputs(ProjectState& state) {
  const GridData& grid = state.ground.At("Grid1").grid;
  GroundTable& table = state.records.ground;
  table = GroundTable{};
  double z = 0;
  for (int j = 1; j <= kGroundRows; ++j) {
    GroundLayer& r = table.rows.at(static_cast<std::size_t>(j));
    r.number = j;
    r.t = ReadReal(grid.Cell(1, j));
    r.n_value = ReadReal(grid.Cell(2, j));
    r.gamma = ReadReal(grid.Cell(3, j));
    r.gamma_sub = ReadReal(grid.Cell(4, j));
    r.poisson = ReadReal(grid.Cell(5, j));
    r.cohesion = ReadReal(grid.Cell(6, j));
    r.friction = ReadReal(grid.Cell(7, j));
    r.soil = ReadInt(grid.Cell(8, j));
    if (r.t != 0) {
      z += r.t;
      GroundLayer layer = r;
      layer.bottom = z;
      table.layers.push_back(layer);
    }
  }
  const double structure_bottom = state.transverse.depth_of_bottom;
  if (table.layers.empty()) {
    GroundLayer d;
    d.number = 1;
    d.t = structure_bottom;
    d.n_value = 10;
    d.gamma = 18;
    d.gamma_sub = 8;
    d.poisson = 0.48;
    d.cohesion = 1;
    d.friction = 20;
    d.soil = 1;
    z = d.t;
    d.bottom = z;
    table.layers.push_back(d);
    table.entered_count = 1;
  } else {
    table.entered_count = static_cast<int>(table.layers.size());
  }
  const ModelRecord& model = state.records.model;
  const double w = model.ground_water ? model.ground_water_depth : z + 1;
  for (std::size_t k = 0; k < table.layers.size(); ++k) {
    GroundLayer& layer = table.layers[k];
    if (layer.bottom > w) {
      const double d = layer.bottom - w;
      GroundLayer lower = layer;
      lower.t = d;
      layer.t -= d;
      layer.bottom = w;
      table.layers.insert(table.layers.begin() + static_cast<std::ptrdiff_t>(k) + 1, lower);
      break;
    }
  }
  const double e = structure_bottom + 0.0001 - z;
  if (e >= 0) {
    table.layers.back().t += e;
    table.layers.back().bottom += e;
    z += e;
  }
  std::vector<GroundLayer> kept;
  for (const GroundLayer& layer : table.layers)
    if (layer.t > 0.0009) kept.push_back(layer);
  // The table is never empty: with every layer thinner than the limit (a
  // structure bottom still at 0 while a project is being read) the
  // thickest one stays, at least 1 mm thick.
  if (kept.empty()) {
    auto thickest =
        std::max_element(table.layers.begin(), table.layers.end(),
                         [](const GroundLayer& a, const GroundLayer& b) { return a.t < b.t; });
    kept.push_back(*thickest);
    GroundLayer& only = kept.front();
    if (only.t < 0.001) {
      only.bottom += 0.001 - only.t;
      z += 0.001 - only.t;
      only.t = 0.001;
    }
  }
  table.layers = std::move(kept);
  table.total_depth = z;
  double sum = 0;
  for (const GroundLayer& layer : table.layers) sum += layer.t * layer.poisson;
  table.mean_poisson = sum / std::max(z, 0.1);
}

std::string FormatGroundCell(int col, std::string_view text) {
  const double v = ReadReal(text);
  switch (col) {
    case 0:
      return Format("%0.0f", v);
    case 1:
      return v == 0 ? std::string() : Format("%6.3f", v);
    case 2:
      return Format("%0.1f", v);
    case 3:
    case 4:
    case 5:
      return Format("%6.3f", v);
    case 6:
    case 7:
      return Format("%5.2f", v);
    default:
      return std::string(text);
  }
}

void FillGroundSample(GridData& grid, bool clear) {
  for (int r = 1; r <= kGroundRows; ++r) {
    if (clear) {
      for (int c = 1; c <= 8; ++c) grid.SetCell(c, r, "");
      continue;
    }
    grid.SetCell(1, r, FormatGroundCell(1, Format("%f", 0.200)));
    grid.SetCell(2, r, FormatGroundCell(2, Format("%d", r + 10)));
    grid.SetCell(3, r, FormatGroundCell(3, Format("%f", 20 + 0.01 * r)));
    grid.SetCell(4, r, FormatGroundCell(4, Format("%f", 10 + 0.01 * r)));
    grid.SetCell(5, r, FormatGroundCell(5, Format("%f", 0.4 + 0.001 * r)));
    grid.SetCell(6, r, FormatGroundCell(6, Format("%f", 1 + 0.01 * r)));
    grid.SetCell(7, r, FormatGroundCell(7, Format("%f", 30 + 0.01 * r)));
    grid.SetCell(8, r, Format("%d", r % 2 + 1));
  }
}

}  // namespace vaultra
