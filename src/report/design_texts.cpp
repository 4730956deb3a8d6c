#include "report/design_texts.h"

#include <algorithm>

#include "core/cp932.h"
#include "core/number.h"
#include "report/report_template.h"
#include "report/report_text.h"

namespace vaultra {

const char* FacilityTypeName(int type_list_index) {
  switch (type_list_index) {
    case 0:
      return "スタンド型";
    case 2:
      return "ミニゲート";
    default:
      return "ボックス型";
  }
}

const char* MethodName(int method) {
  return method == kMethodSeismicCoefficient ? "震度法" : "応答変位法";
}

const char* RegionName(int region) {
  static const char* const kNames[] = {"Ａ１地域", "Ａ２地域", "Ｂ１地域", "Ｂ２地域", "Ｃ地域"};
  return kNames[std::clamp(region, 0, 4)];
}

const char* SoilName(int soil) {
  return soil == 1 ? "粘性土" : soil == 2 ? "砂質土" : "";
}

const char* GroundClassName(int ground_class) {
  static const char* const kNames[] = {"Ⅰ種", "Ⅱ種", "Ⅲ種"};
  return kNames[std::clamp(ground_class, 1, 3) - 1];
}

const char* BackfillSentence(int soil_class) {
  switch (soil_class) {
    case 1:
      return "背面土は砂及び砂れきとする。";
    case 2:
      return "背面土は砂質土とする。";
    default:
      return "背面土は粘性土とする。";
  }
}

std::string SpringFormulaText(int sv1_standard, int spring_formula) {
  static const char* const kFormula[] = {"（地中式）", "（道路橋式）", "（ＦＥＭ）",
                                         "（任意入力）"};
  return std::string(sv1_standard == 1 ? "下水道指針" : "駐車場指針") +
         kFormula[std::clamp(spring_formula, 0, 3)];
}

double PeriodFactor(const LoadsRecord& lr, int level) {
  return lr.sv1_standard == 1 ? lr.alpha_d.at(static_cast<std::size_t>(level)) : 1.25;
}

std::vector<std::string> PeriodTerms(const std::vector<GroundLayer>& layers,
                                     const GroundQuantities& g) {
  std::vector<std::string> out;
  const std::size_t n = std::min(layers.size(), g.layers.size());
  for (std::size_t i = 0; i < n; ++i)
    out.push_back(Format("%.3f/%.1f", layers[i].t, g.layers[i].vs));
  return out;
}

double PrintExpansion(ReportContext& ctx, double y, std::string_view lead,
                      const std::vector<std::string>& terms) {
  constexpr std::size_t kWidth = 92;
  const std::string indent(lead.size(), ' ');
  std::string line(lead);
  for (std::size_t i = 0; i < terms.size(); ++i) {
    const std::string piece = terms[i] + (i + 1 < terms.size() ? " ＋ " : " ）");
    if (line.size() + piece.size() > kWidth && line.size() > lead.size()) {
      y += kStepLine;
      PrintLine(ctx.pe, 1.0, y, line);
      line = indent;
    }
    line += piece;
  }
  y += kStepLine;
  PrintLine(ctx.pe, 1.0, y, line);
  return y;
}

namespace {

constexpr auto& Fill = FillNext;

// The spring table: Kh, Kv, Kss, Ksb rows, each for level 1 and level 2.
void FillSpringTable(PrintEngine& pe, const SpringSet& s) {
  for (const auto* row : {&s.kh, &s.kv, &s.kss, &s.ksb})
    for (std::size_t l = 1; l <= 2; ++l) Fill(pe, (*row)[l]);
}

}  // namespace

double PrintSprings(ReportContext& ctx, double y, int direction) {
  PrintEngine& pe = ctx.pe;
  if (!ctx.src.records || !ctx.src.ground) return y;
  const LoadsRecord& lr = ctx.src.records->loads;
  const GroundQuantities& g = *ctx.src.ground;
  const bool longitudinal = direction == kLongitudinal;
  const SpringSet& s = g.springs[static_cast<std::size_t>(direction)];
  const std::string prefix = longitudinal ? "縦方向" : "";
  const bool k = ctx.opt.formulas;
  switch (lr.spring_formula) {
    case kSpringUnderground: {
      const double width =
          longitudinal ? (ctx.src.longitudinal ? ctx.src.longitudinal->extents[8] : 0) : g.width;
      y = ctx.Block(y, prefix + "地盤ばね 地中式");
      Fill(pe, g.hs);
      if (k)
        for (std::size_t l = 1; l <= 2; ++l) {
          Fill(pe, g.e[l]);
          Fill(pe, g.nu);
          Fill(pe, g.nu);
          Fill(pe, g.hs);
        }
      Fill(pe, width);
      if (k)
        for (std::size_t l = 1; l <= 2; ++l) {
          Fill(pe, g.e[l]);
          Fill(pe, g.nu);
          Fill(pe, g.nu);
          Fill(pe, width);
        }
      FillSpringTable(pe, s);
      return y;
    }
    case kSpringRoadBridge: {
      const RoadBridgeBasis b =
          longitudinal ? RoadBridgeSpringBasis(lr, g, g.long_side_area, g.long_bottom_area, false)
                       : RoadBridgeSpringBasis(lr, g, g.as, g.ab, true);
      static const char* const kMethods[] = {"①", "①", "②", "③", "④"};
      y = ctx.Block(y, prefix + "地盤ばね 道路橋式");
      Fill(pe, b.alpha);
      FillTextNamed(pe, kMethods[std::clamp(lr.eo_method, 1, 4)], "M", true);
      // Side, then bottom: Eo, the area and its root, with K also α·Eo/0.3.
      const double sides[2][4] = {
          {b.eoh, longitudinal ? g.long_side_area : g.as, b.root_side, b.k0h},
          {b.eov, longitudinal ? g.long_bottom_area : g.ab, b.root_bottom, b.k0v}};
      for (const auto& side : sides) {
        Fill(pe, side[0]);
        Fill(pe, side[1]);
        Fill(pe, side[2]);
        if (k) {
          Fill(pe, b.alpha);
          Fill(pe, side[0]);
          Fill(pe, side[3]);
        }
      }
      FillSpringTable(pe, s);
      return y;
    }
    case kSpringFem: {
      y = ctx.Block(y, prefix + "地盤ばね定数 ＦＥＭ");
      FillSpringTable(pe, s);
      if (longitudinal) return y;
      // The layer constants of the FEM choice, on a page of their own.
      const std::vector<GroundLayer>& layers = ctx.src.records->ground.layers;
      const std::size_t n = std::min(layers.size(), g.layers.size());
      y = ctx.BreakPage();
      y = ctx.Block(y, "ＦＥＭ地盤定数", 1, static_cast<int>(n));
      for (std::size_t i = 0; i < n; ++i) {
        const LayerSeismic& ls = g.layers[i];
        FillText(pe, -1, SoilName(layers[i].soil), true);
        Fill(pe, ls.nu);
        Fill(pe, ls.vs);
        Fill(pe, ls.vsd);
        Fill(pe, ls.g);
        Fill(pe, ls.e);
      }
      return y;
    }
    default:
      y = ctx.Block(y, prefix + "地盤ばね定数 任意");
      FillSpringTable(pe, s);
      return y;
  }
}

}  // namespace vaultra
