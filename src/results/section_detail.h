// The section-detail window "応力度と終局耐力" as logic: its edit fields and
// check boxes, the recomputation of one rectangular RC section (working
// stresses, flexural and shear capacity, failure-mode judgement) into the
// listing lines and result labels, the ↑/↓ value step, and the figure state.
// All texts are cp932.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "checks/capacity.h"

namespace vaultra {

// Edit fields in tab order (the order of the project-file section).
enum SectionDetailField : int {
  kSdM,
  kSdN,
  kSdS,
  kSdGmc,
  kSdGms,
  kSdGmbm,
  kSdGmbc,
  kSdGmbs,
  kSdFdck,
  kSdFyk,
  kSdFdcd,
  kSdFwyd,
  kSdFyd,
  kSdEc,
  kSdEs,
  kSdEN,
  kSdB,
  kSdH,
  kSdDd1,
  kSdDd2,
  kSdAs1,
  kSdAs2,
  kSdAw,
  kSdSs,
  kSdThs,
  kSdFieldCount
};

struct SectionDetailFieldInfo {
  const char* name;     // control name, the project-file key
  int tag;              // FormatByTag tag
  const char* initial;  // text before any project or resume file filled it
};
const std::array<SectionDetailFieldInfo, kSdFieldCount>& SectionDetailFields();

// Index of a field by its control name; -1 when there is none.
int SectionDetailFieldIndex(std::string_view name);

struct SectionDetailInputs {
  std::array<std::string, kSdFieldCount> text;
  bool cb_fig1 = true;    // "応力グラフ"
  bool cb_fig2 = true;    // "耐力グラフ"
  bool ck_ta_h2 = false;  // "(h/2)形式でせん断τを照査する"
  // Set with a row of the RC check page: the project's flexure rule, and of
  // a level-2 row the member's governing flexural section, at which the
  // failure-mode judgement takes its shear span. Typed by hand the window's
  // section is its own governing section.
  FlexureRule flexure_rule = FlexureRule::kConstantEccentricity;
  double cd_x = 0, cd_M = 0, cd_Mrd_over = 0;
  bool cd_set = false;

  // The window as it starts: the initial texts, both graphs checked.
  static SectionDetailInputs Initial();
  double Value(int field) const;  // the field's text read as a number
};

struct SectionDetailLabels {
  std::string lbSs3, lbTc3, lbTca, lbAwa;  // stress part
  std::string lbMu3, lbVcd3, lbVsd3;       // capacity part
  std::string lbLs = "(圧縮側)";
  std::string lbRs = "(引張側)";
};

// What the figure is drawn from, kept between recomputations.
struct SectionDetailFigure {
  int h = 0, dd1 = 0, dd2 = 0;  // truncated h, d′1, d′2 (mm)
  bool stress_on = true, capacity_on = true;
  std::array<double, 4> stress_poly{};  // 1, p, q, r of the stress case (0 when none)
  std::array<double, 3> stress_roots{};
  double stress_x = 0;
  std::string stress_case_text;
  int stress_code = 0;
  std::array<double, 4> ult_poly{};
  int ult_code = 0;
  UltimateDetail ult;  // copy taken right after the capacity computation
  double M = 0;        // kN·m; a negative moment draws from the right face
  double As1 = 0, As2 = 0;
};

// The safety figures of the capacity part (demand over capacity; above 1
// the section does not satisfy the check). Not checked when the capacity
// part was off.
struct SectionDetailSafety {
  bool checked = false;
  double flexure = 0, shear = 0, mode = 0;
};

struct SectionDetailWindow {
  SectionDetailInputs inputs = SectionDetailInputs::Initial();
  SectionDetailSafety safety;
  UltimateParams params;  // the window's own limit-state parameters
  std::vector<std::string> listing;
  SectionDetailLabels labels;
  SectionDetailFigure figure;
};

// Reads the inputs, recomputes the section, replaces the listing and the
// labels, writes f′cd and fyd into their read-only fields, and refreshes the
// figure state.
void Recompute(SectionDetailWindow& w);

// A field's text as the window leaves it: formatted by the field's tag, then
// Recompute (typing into a field, or a field read from the project file).
void SetFieldText(SectionDetailWindow& w, int field, std::string_view text);

// ↑ or ↓ in edM, edS or edN: steps the value, writes it back as a number is
// set into an edit field, then Recompute. Other fields ignore the keys
// (returns false).
bool StepField(SectionDetailWindow& w, int field, bool up);

// ↑ (up) or ↓ on edM, edS or edN: the magnitude times or divided by 1.1 so
// that ↑ always raises the signed value; ±0.001 near zero; RoundTo3.
double StepValue(double v, bool up);

// The equation text of a graph: a3·v³ + a2·v² + a1·v + a0 (a3 is not printed).
std::string PolynomialText(double a3, double a2, double a1, double a0, std::string_view v);

// Colour of a listing line (0x00BBGGRR) by its first two characters.
std::uint32_t ListingLineColour(std::string_view line);

}  // namespace vaultra
