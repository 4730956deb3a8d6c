// Longitudinal chapters 1 and 2: the longitudinal joint section with the
// ground class, and the longitudinal ground springs by formula.
#include "report/chapters.h"
#include "report/design_texts.h"
#include "report/report_template.h"
#include "report/report_text.h"

namespace vaultra {

void PrintLongitudinalGroundChapters(ReportContext& ctx) {
  PrintEngine& pe = ctx.pe;
  // 1. The longitudinal part opens with its joint section and the ground class.
  ctx.NewPage();
  double y = PrintSection(pe, 0, "縦方向接合部の照査", "縦方向", 99);
  if (ctx.src.ground) {
    const GroundQuantities& g = *ctx.src.ground;
    y = ctx.Block(y, "地盤種別の判定");
    FillNumber(pe, -1, g.tg, true);
    FillTextNamed(pe, std::string(GroundClassName(g.ground_class)) + "地盤", "CLASS", true);
    FillNumber(pe, -1, g.cg, true);
    FillNumber(pe, -1, g.kh1, true);
    FillNumber(pe, -1, g.kh2, true);
  }
  // 2. The longitudinal ground springs.
  ctx.NewPage();
  PrintSprings(ctx, 0, kLongitudinal);
}

}  // namespace vaultra
