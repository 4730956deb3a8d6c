// The RC check and rebar page without a window: the rebar list of every
// member with its governing ratios and failure colours, the rebar edit that
// applies to the member's check group and reruns the member checks, the
// error summary, the stress table of one member and combination, the
// member stepping and the values handed to the section-detail window.
// Texts are cp932; colours 0x00BBGGRR.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/calc/run_analysis.h"
#include "app/document/project_state.h"
#include "inputs/master_data.h"
#include "results/section_detail.h"

namespace vaultra {

// ---- tables as data ---------------------------------------------------------------

struct RcCell {
  std::string text;   // as the cell holds it ("+" marks a changed value)
  std::string shown;  // as it is drawn ("+" removed, "－", "***", "D16")
  bool bold = false;  // a value changed from its default, a bar row
  bool editable = false;
  std::uint32_t bg = 0xFFFFFF;
  std::uint32_t fg = 0;
};

struct RcTable {
  int rows = 0, cols = 0;
  std::vector<RcCell> cells;  // row-major
  std::vector<int> widths;    // pixels per column

  void Resize(int r, int c);
  RcCell& At(int col, int row) { return cells.at(static_cast<std::size_t>(row * cols + col)); }
  const RcCell& At(int col, int row) const {
    return cells.at(static_cast<std::size_t>(row * cols + col));
  }
};

constexpr std::uint32_t kRcGrey = 15263976;
constexpr std::uint32_t kRcWhite = 0xFFFFFF;
constexpr std::uint32_t kRcWallYellow = 0xE0FFFF;
constexpr std::uint32_t kRcNavy = 0x800000;
constexpr std::uint32_t kRcRed = 255;
constexpr std::uint32_t kRcBlue = 0xFF0000;
constexpr std::uint32_t kRcGreen = 0x9900;

// ---- rebar list ("配筋変更") ----------------------------------------------------------

constexpr int kRebarCols = 17;
constexpr int kRebarHeaderRows = 2;
extern const std::array<int, kRebarCols> kRebarColWidths;
extern const std::array<int, 12> kBarDiameters;    // D10 .. D51
extern const std::array<int, 11> kJointDiameters;  // M10 .. M39

// The smallest table diameter not below v, the largest when v exceeds them
// all; 0 for v ≤ 0.
int RoundDiameter(double v, bool joint);

// The three combinations as the rebar tab and the error summary name them.
extern const std::array<const char*, 3> kRcCombinationNames;  // "常時", "Lv1", "Lv2"

// Failure flags of one member in one combination (for colours).
struct RcMemberFlags {
  bool bending_ng = false, shear_ng = false, mode_ng = false, stirrups_short = false;
  bool Any() const { return bending_ng || shear_ng || mode_ng; }
};

// The governing ratios of one member in one combination, over its labelled
// check rows (a shoulder member's rows appended to a wall count for the
// shoulder member).
struct RcMemberRatios {
  double flexure_inner = 0, flexure_outer = 0, shear = 0, mode = 0;
};

// Whether a row counts for the ratios: the report prints it as a check row
// of the member (a row with a label). Failing unlabelled rows are printed
// too, and count for the failure flags.
bool CountsForRatios(const CheckPointRecord& r);
// The rows of member m's table that are its own (the wall's appended
// shoulder rows excluded).
int OwnRowCount(const MemberCheckTable& tb);
RcMemberFlags MemberFlagsOf(const MemberCheckTables& t, int k, int m);
RcMemberRatios MemberRatiosOf(const MemberCheckTables& t, int k, int m);
// The largest flexure ratio of the rows that use the joint bars of a face.
double JointFlexureRatio(const MemberCheckTables& t, int k, bool inner);

// What the page reads: the project, the catalogue and the last run (null
// when nothing was analysed).
struct RcSources {
  const StructureModel* model = nullptr;
  const BlockRow* row = nullptr;
  const MasterData* md = nullptr;
  int layout = 0;  // 0 stand, 1 box
  const CalcRun* run = nullptr;
};

// Whether the run's transverse checks can be shown; otherwise why not.
bool RcChecksUsable(const CalcRun* run);
std::string RcFailureText(const CalcRun* run);

// The members the list shows: length ≥ 0.001 m, in member order.
std::vector<int> RcListedMembers(const StructureModel& model);

struct RebarList {
  RcTable table;
  std::vector<int> pair_member;  // per pair: the member (member count + 1 for the joint inserts)
  std::string error_summary;     // TkErr: "常時, Lv2 で NG", or the failure text
  bool failed = false;           // no usable checks: the summary is red, no ratio reads as a pass
};

// The rebar list for combination k (0 normal, 1 L1, 2 L2).
RebarList BuildRebarList(const RcSources& src, int k);
// Whether the inline editor opens on a cell (grid column and row).
bool RebarCellEditable(int col, int row, int rows);

// ---- rebar edit ---------------------------------------------------------------------

struct RebarEditOutcome {
  bool applied = false;  // the text was a number and a member took it
  int member = 0;
  bool cover_changed = false;  // the edited member's inner or outer cover changed
  std::vector<int> changed_members;
  std::string error;  // cp932: why nothing was written
};

// Steps 1–3 and 7 of an edit: the value into member m's current section
// values, the copies to its check group (and the box layout's shoulder and
// wall copies), the steel areas of every changed record. A text that is no
// number changes nothing.
RebarEditOutcome ApplyRebarEdit(StructureModel& model, const BlockRow& row, const MasterData& md,
                                int layout, const RebarList& list, int col, int grid_row,
                                std::string_view text);

// The cell the editor moves to after Enter on (col, row); col 0 when it
// stays closed.
int RebarNextColumn(int col);

// ---- stress table ("応力度表") ---------------------------------------------------------

constexpr int kStressCaptionCols = 3;
extern const char* const kStressHeaderSpec;

struct StressTable {
  RcTable table;
  std::vector<int> rows;  // per data column: the row of the member's check table
  std::string failure;    // why no column is shown (cp932), empty when the checks are usable
};

// The check rows the stress table shows for member m in combination k: the
// group row summary's entries with a label, by position (descending for
// type codes 7, 16 and 18).
std::vector<int> StressRowsOf(const CalcRun& run, int k, int m);
StressTable BuildStressTable(const RcSources& src, int member, int k);

// A layer text: "D16ｘ5.00" ("M" for joint bars); empty without steel.
std::string LayerText(bool joint, double diameter, double count);

// ---- member choice ---------------------------------------------------------------------

// The next (dir > 0) or previous member of length ≥ 0.1 m after current,
// wrapping; at most one cycle is searched; 0 when no member qualifies.
int StepMember(const StructureModel& model, int current, int dir);

// ---- section-detail window --------------------------------------------------------------

// The section-detail window's fields from one check row: factors, strengths,
// section, bars (the outer face first when M ≥ 0 or the inner face has no
// steel), stirrups, |M|, |S|, −N and the h/2 shear option; the other
// fields as in base.
SectionDetailInputs DetailInputsOf(const CheckPointRecord& r, bool shear_at_h2,
                                   const SectionDetailInputs& base);

// ---- the page ------------------------------------------------------------------------

// The page's state between events.
class RcPage {
 public:
  int selected_member() const { return selected_; }
  void SelectMember(int m) { selected_ = m; }
  bool rebar_edited() const { return rebar_edited_; }
  void ClearRebarEdited() { rebar_edited_ = false; }
  // Entering the page: member 1.
  void Enter() { selected_ = 1; }

  // A full edit: ApplyRebarEdit, the geometry, the cover flag (2·d only),
  // the member checks again over the run when it has usable results.
  RebarEditOutcome CommitEdit(ProjectState& state, const MasterData& md, CalcRun* run,
                              const RebarList& list, int col, int grid_row, std::string_view text);

  // (+)/(-): true when the selection moved.
  bool Step(const StructureModel& model, int dir);

 private:
  int selected_ = 1;
  bool rebar_edited_ = false;
};

}  // namespace vaultra
