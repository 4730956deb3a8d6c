// The report driver: walks the chapters of the structural calculation in
// their fixed order, decides from the project which chapters and variants
// apply, and keeps the per-build records (first error, failure marks,
// summary list, stored-water depths). The same driver runs as the silent
// pass of a calculation run (drawing off) and as the report build of the
// preview and the PDF (drawing and recording on).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/analysis_results.h"
#include "checks/end_wall.h"
#include "checks/joint_check.h"
#include "checks/longitudinal_joint.h"
#include "checks/member_checks.h"
#include "checks/summaries.h"
#include "checks/uplift.h"
#include "inputs/input_records.h"
#include "inputs/structure_model.h"
#include "model/frame_model.h"
#include "model/longitudinal.h"
#include "model/pressure.h"
#include "model/seismic.h"
#include "report/pdf_file.h"
#include "report/print_engine.h"

namespace vaultra {

// Everything the chapters print from: the records the calculation used. The
// caller owns them; a null pointer means "not available" and the chapters
// that need it print nothing of it.
struct ReportSources {
  const InputRecords* records = nullptr;  // model, ground, loads, materials, joints
  const MasterData* master = nullptr;
  const BlockRow* block_row = nullptr;
  const StructureModel* transverse = nullptr;
  const StructureModel* longitudinal = nullptr;
  const GroundQuantities* ground = nullptr;
  const SeismicTables* seismic = nullptr;
  const PressureTables* pressure = nullptr;
  const LongitudinalTables* longitudinal_tables = nullptr;
  const FrameModel* transverse_frame = nullptr;
  const FrameModel* longitudinal_frame = nullptr;
  const AnalysisResults* transverse_results = nullptr;
  const AnalysisResults* longitudinal_results = nullptr;
  const MemberCheckTables* checks = nullptr;
  const CheckSummaries* summaries = nullptr;
  const TransverseJointResult* transverse_joint = nullptr;
  const LongitudinalJointResult* longitudinal_joint = nullptr;
  const EndWallResult* end_walls = nullptr;
  const UpliftResult* uplift = nullptr;
  // A direction whose analysis failed: its chapters state the failure and
  // print no "O.K." (its results above are null).
  bool transverse_failed = false;
  bool longitudinal_failed = false;
};

struct ReportOptions {
  std::string print_master_dir;  // cp932, with a trailing "/": holds "@PrintDat(STD).c"
  bool formulas = false;         // K: print the basis of formulas ("式の根拠を印刷")
  bool ts_formula = false;       // T: print the Ts formula ("Ｔs式を印刷")
  bool internal_solver = false;  // stamps the body pages with "SAMPLE"
  // Called with the summary list after the transverse section checks, in the
  // preview build only (the window copies it to the clipboard when the Shift
  // key is held). Never called by the silent pass.
  std::function<void(const std::vector<std::string>&)> copy_summary;
  // Called with true when a build starts and false when it ends (the window
  // shows the hourglass cursor meanwhile); may be empty.
  std::function<void(bool)> busy;
};

constexpr int kMarkMembers = 500;
constexpr int kMarkPoints = 32;
constexpr const char* kReportTemplateFile = "@PrintDat(STD).c";

// What one build leaves behind besides the page records.
struct ReportBuild {
  std::string first_error;           // cp932; the first failure any chapter reported
  std::vector<std::string> summary;  // one line per printed section check
  // One byte per check point: [member 0..499][point 0..31], 1 when a check failed there.
  std::vector<std::uint8_t> failure_marks =
      std::vector<std::uint8_t>(static_cast<std::size_t>(kMarkMembers * kMarkPoints), 0);
  bool stored_water = false;
  std::array<double, 3> water_depth{};  // stored water: normal, level 1, level 2 (m)
  double water_depth_max = 0;           // the larger of the level-1 and level-2 depths
  bool page_limit_reached = false;
  int body_pages = 0;
  int contents_pages = 0;
  std::vector<int> contents_slots;  // the slot of each contents page, in order
  // The document information of the PDF (cp932): the model name as typed,
  // the facility type and the seismic method of the build.
  std::string model_name, facility_name, method_name;

  // Marks a check point (member 1-based as the models count, point 1..32).
  void MarkFailure(int member, int point);
  bool Failed(int member, int point) const;
};

// The state one chapter works with.
class ReportContext {
 public:
  ReportContext(PrintEngine& pe, const ReportSources& src, const ReportOptions& opt,
                ReportBuild& build)
      : pe(pe), src(src), opt(opt), build(build) {}

  PrintEngine& pe;
  const ReportSources& src;
  const ReportOptions& opt;
  ReportBuild& build;

  // Keeps the text as the first error text when none is kept yet.
  void ReportError(std::string_view cp932);
  // The next page with its number (chapters start at y = 0 on it). Stops at
  // the last page slot: the limit is reported once and later pages are not
  // recorded, never drawn over the last one.
  void NewPage();
  // Reports the page-slot limit once when the last NewPage went past it.
  void NotePageLimit();
  // A page break inside a chapter: the next page, continuing at y = 2.52.
  double BreakPage();
  // NewPage when the block of the given height does not fit below y; the y
  // to continue at.
  double EnsureRoom(double y, double height);
  // Prints a built-in block below y, on the next page when it does not fit
  // (a = 1, b = n: n repeated rows). Returns the y after it; its fields are
  // ready to be filled.
  double Block(double y, std::string_view name, int a = 0, int b = 0);

  bool stand() const;  // facility type 0
  bool response_displacement() const;
  int spring_formula() const;  // kSpringUnderground .. kSpringTyped
  bool longitudinal_check() const;
  const char* TypeWord() const;  // "ｽﾀﾝﾄﾞ" or "ﾎﾞｯｸｽ"
};

// The built-in blocks of the report, by name (the chapter heading without
// its number mark); an empty list for an unknown name. All built-in report
// text lives in one table (report_blocks.cpp).
const std::vector<std::string>& ReportBlock(std::string_view name);
// The height a block takes when printed with n repeated rows (mm), from
// the line steps of its prefixes; every line is counted as printed.
double BlockHeight(const std::vector<std::string>& lines, int repeated_rows);

// A user's text (model name, typed names) drawn exactly as typed: every
// byte is a glyph, no markup, no heading, no placeholder, no cut.
void DrawUserText(PrintEngine& pe, double x0, double y0, double dx, double dy,
                  std::string_view cp932);
// Fills the next (or the named) field of the last block with a user's text
// as typed, left-aligned in the field (or centred in it), cut to its length.
void FillUserText(PrintEngine& pe, int field, std::string_view cp932, bool centred = false);
void FillUserTextNamed(PrintEngine& pe, std::string_view label, std::string_view cp932);

// The driver: numbered body pages from slot 11 on, the cover in slot 0.
// Returns the number of body pages.
int BuildReport(PrintEngine& pe, const ReportSources& src, const ReportOptions& opt,
                ReportBuild& build);

// The silent pass at the end of a calculation run: headings numbered and
// listed, failure marks set, nothing drawn. Leaves the contents list in pe.
int RunSilentReportPass(PrintEngine& pe, const ReportSources& src, const ReportOptions& opt,
                        ReportBuild& build);

// The report build of the preview and the PDF: body pages, then the
// contents pages (slots 1..9, more after the body). Returns the number of
// body pages.
int BuildReportPages(PrintEngine& pe, const ReportSources& src, const ReportOptions& opt,
                     ReportBuild& build, DrawTarget* canvas = nullptr);

// The slots of a built report in reading order: cover, contents, body.
std::vector<int> ReportPageSlots(const ReportBuild& build);

// The PDF's document information of a built report, in the page order of
// ReportPageSlots: Title "構造計算書" and the model name, Subject the
// facility and the method; one bookmark per contents entry, nested by its
// heading level and opening its heading's page; page labels "表紙",
// "目次-1".. and the printed numbers of the body pages.
PdfDocumentInfo ReportPdfInfo(const PrintEngine& pe, const ReportBuild& build);

}  // namespace vaultra
