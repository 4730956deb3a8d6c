// The figures of the design chapters: the cross-section of chapter 4 and
// the ground column of chapter 9, drawn from the records the calculation
// used.
#include <algorithm>

#include "report/design_texts.h"
#include "report/figures.h"

namespace vaultra {

GroundColumnInput GroundColumnInputOf(const InputRecords& rec, const StructureModel& transverse) {
  GroundColumnInput in;
  const GroundTable& g = rec.ground;
  for (const GroundLayer& l : g.layers) in.layers.push_back({l.soil, l.bottom});
  in.total_depth = g.total_depth;
  if (!in.layers.empty()) in.total_depth = std::max(in.total_depth, in.layers.back().bottom);
  in.facility_top = transverse.cover_depth;
  in.facility_bottom = transverse.depth_of_bottom;
  in.ground_water = rec.model.ground_water;
  in.ground_water_depth = rec.model.ground_water_depth;
  return in;
}

double DrawChapterSectionFigure(ReportContext& ctx, double y) {
  const ReportSources& src = ctx.src;
  // Figures draw nothing in the silent pass; only their extent counts.
  if (ctx.pe.drawing && src.records && src.transverse && src.block_row &&
      src.transverse->real_block_count > 0) {
    const Figure fig =
        MakeFigure(*src.transverse, *src.block_row, ctx.stand() ? kLayoutStand : kLayoutBox, false);
    DrawSectionFigure(ctx.pe, fig, {src.records->model.water_level[0]}, 30, y + 20, 160, y + 80);
    ctx.pe.SetBodyFont();
  }
  return y + 100;
}

double DrawChapterGroundColumn(ReportContext& ctx, double y) {
  const ReportSources& src = ctx.src;
  if (!src.records || !src.transverse || src.records->ground.layers.empty()) return y;
  if (ctx.pe.drawing) {
    DrawGroundColumn(ctx.pe, GroundColumnInputOf(*src.records, *src.transverse), 40, y + 10, 140,
                     y + 220);
    ctx.pe.SetBodyFont();
  }
  return y + 220;
}

}  // namespace vaultra
