#include "report/build_report.h"

#include <algorithm>

#include "core/cp932.h"
#include "core/number.h"
#include "report/chapters.h"
#include "report/report_template.h"
#include "report/report_text.h"

namespace vaultra {

// ---- per-build records ----

void ReportBuild::MarkFailure(int member, int point) {
  const int m = member - 1, p = point - 1;
  if (m < 0 || m >= kMarkMembers || p < 0 || p >= kMarkPoints) return;
  failure_marks[static_cast<std::size_t>(m * kMarkPoints + p)] = 1;
}

bool ReportBuild::Failed(int member, int point) const {
  const int m = member - 1, p = point - 1;
  if (m < 0 || m >= kMarkMembers || p < 0 || p >= kMarkPoints) return false;
  return failure_marks[static_cast<std::size_t>(m * kMarkPoints + p)] != 0;
}

// ---- chapter context ----

void ReportContext::ReportError(std::string_view cp932) {
  if (build.first_error.empty()) build.first_error.assign(cp932);
}

void ReportContext::NewPage() {
  pe.NewPage();
  NotePageLimit();
}

// Past the last slot nothing more is recorded (never drawn over the last
// page); the reader is told once through the first error text.
void ReportContext::NotePageLimit() {
  if (!pe.recording || pe.records().current() >= 0 || build.page_limit_reached) return;
  build.page_limit_reached = true;
  ReportError(Format("頁数の上限（%d 頁）を超えたため、以降の頁は作成されていません",
                     kLastPageSlot - kFirstBodySlot));
}

double ReportContext::BreakPage() {
  NewPage();
  return kStepF4;
}

double ReportContext::EnsureRoom(double y, double height) {
  if (pe.FitsOnPage(y, height)) return y;
  return BreakPage();
}

double ReportContext::Block(double y, std::string_view name, int a, int b) {
  const std::vector<std::string>& lines = ReportBlock(name);
  if (lines.empty()) {
    ReportError(std::string("印刷ブロックがありません: ") + std::string(name));
    return y;
  }
  y = EnsureRoom(y, BlockHeight(lines, b));
  return PrintTemplate(pe, y, lines, a, b);
}

bool ReportContext::stand() const {
  return src.records && src.records->model.facility_type == 0;
}

bool ReportContext::response_displacement() const {
  return !src.records || src.records->loads.method == kMethodResponseDisplacement;
}

int ReportContext::spring_formula() const {
  return src.records ? src.records->loads.spring_formula : kSpringUnderground;
}

bool ReportContext::longitudinal_check() const {
  return src.records && src.records->model.longitudinal_check;
}

const char* ReportContext::TypeWord() const {
  return stand() ? "ｽﾀﾝﾄﾞ" : "ﾎﾞｯｸｽ";
}

double BlockHeight(const std::vector<std::string>& lines, int repeated_rows) {
  double step = kStepLine, height = 0;
  bool text_row = false;
  for (const std::string& line : lines) {
    if (line.compare(0, 2, "//") == 0) continue;
    const std::string_view prefix = std::string_view(line).substr(0, 5);
    if (prefix.find("F1") != std::string_view::npos) step = kStepF1;
    if (prefix.find("F2") != std::string_view::npos) step = kStepLine;
    if (prefix.find("F3") != std::string_view::npos) step = kStepHalf;
    if (prefix.find("F4") != std::string_view::npos) step = kStepF4;
    if (line.compare(5, 2, "//") == 0) continue;  // sets the step only
    const bool row =
        IsTableTextRow(std::string_view(line).substr(std::min<std::size_t>(5, line.size())));
    if (row && text_row && step == kStepHalf) height += step;
    text_row = row;
    height += step;
  }
  return height + 2 * kStepHalf * std::max(0, repeated_rows - 1);
}

// ---- user text ----

void DrawUserText(PrintEngine& pe, double x0, double y0, double dx, double dy,
                  std::string_view cp932) {
  pe.DrawGlyphs(x0, y0, dx, dy, cp932, true);
}

namespace {

void FillUserTextAt(PrintEngine& pe, int index, std::string_view cp932, bool centred) {
  if (!pe.drawing || index < 0 || index >= kFieldTableSize) return;
  const bool sequential = index < kSequentialFields;
  if (sequential ? index >= pe.text.sequential_count : index >= pe.text.named_count) return;
  const StField& f = pe.text.fields[static_cast<std::size_t>(index)];
  std::string t(cp932);
  ReplaceText(t, "　", "  ");
  // A text longer than its field is cut at a character boundary.
  std::size_t n = 0;
  while (n < t.size() && static_cast<int>(n + CharLengthAt(t, n)) <= f.length)
    n += CharLengthAt(t, n);
  t.resize(n);
  const StFont saved = pe.SaveFont();
  pe.SetTextFont(f.font.height, f.font.pitch, f.font.angle, f.font.face);
  const double dx =
      centred ? f.left_limit + (f.width - static_cast<double>(t.size()) * f.font.pitch) / 2
              : f.start;
  DrawUserText(pe, f.origin_x, f.origin_y, dx, f.dy, t);
  pe.RestoreFont(saved);
}

}  // namespace

void FillUserText(PrintEngine& pe, int field, std::string_view cp932, bool centred) {
  if (!pe.drawing) return;
  if (field == -1) field = NextField(pe);
  FillUserTextAt(pe, field, cp932, centred);
}

void FillUserTextNamed(PrintEngine& pe, std::string_view label, std::string_view cp932) {
  FillUserTextAt(pe, FindNamedField(pe, label), cp932, false);
}

// ---- the driver ----

namespace {

// Cover: the title, the method and the model name (as typed) in slot 0.
void DrawCover(ReportContext& ctx) {
  PrintEngine& pe = ctx.pe;
  pe.SelectPageSlot(0);
  pe.StartPage(0, false);
  pe.SetBodyFont();
  pe.SetTextFont(6.4, 0, 0, 1);
  PrintLine(pe, 45, 60, "プレキャスト式地下貯留施設");
  PrintLine(pe, 45, 80,
            ctx.response_displacement() ? "  構造計算書 [応答変位法]" : "    構造計算書 [震度法]");
  if (ctx.src.records) {
    const std::string& name = ctx.src.records->model.name;
    pe.SetTextFont(4.8, 2.4, 0, 1);
    DrawUserText(pe, 90, 120, -static_cast<double>(name.size()) * 2.4 / 2, 0, name);
  }
  pe.SetBodyFont();
}

// The stored water is present when any of its three depths is above 0; the
// groundwater option of the model page has nothing to do with it.
void ReadStoredWater(const ReportSources& src, ReportBuild& b) {
  b.water_depth = {0, 0, 0};
  if (src.records)
    for (int k = 0; k < 3; ++k) b.water_depth[k] = std::max(0.0, src.records->model.water_level[k]);
  b.water_depth_max = std::max(b.water_depth[1], b.water_depth[2]);
  b.stored_water = b.water_depth[0] > 0 || b.water_depth[1] > 0 || b.water_depth[2] > 0;
}

}  // namespace

int BuildReport(PrintEngine& pe, const ReportSources& src, const ReportOptions& opt,
                ReportBuild& build) {
  ReportContext ctx(pe, src, opt, build);
  // 1. The hourglass, the per-build records and the template file.
  if (opt.busy) opt.busy(true);
  build.summary.clear();
  build.first_error.clear();
  build.page_limit_reached = false;
  pe.internal_solver = opt.internal_solver;
  if (!LoadTemplateFile(pe, opt.print_master_dir + kReportTemplateFile))
    ctx.ReportError(std::string("印刷テンプレートが読めません: ") + kReportTemplateFile);
  // 2. Report-wide letters, stored water, failure marks.
  ClearLetters(pe);
  if (ctx.stand())
    SetLetter(pe, 'S');
  else
    SetLetter(pe, 'B');
  if (opt.formulas) SetLetter(pe, 'K');
  if (opt.ts_formula) SetLetter(pe, 'T');
  ReadStoredWater(src, build);
  build.model_name = src.records ? src.records->model.name : std::string();
  build.facility_name = ctx.stand() ? "スタンド型" : "ボックス型";
  build.method_name = ctx.response_displacement() ? "応答変位法" : "震度法";
  std::fill(build.failure_marks.begin(), build.failure_marks.end(), 0);
  // The contents restart before the cover, so that nothing the cover
  // records is touched by the reset.
  PrintLine(pe, 0, 0, "$>>");
  // 3. Cover; 4. the starting slot of the body and the heading numbers.
  DrawCover(ctx);
  pe.SelectPageSlot(kFirstBodySlot);
  ResetHeadingNumbers(pe);
  // 5. Chapters 1 to 22; 6. the transverse section checks.
  PrintDesignChapters(ctx);
  PrintLoadChapters(ctx);
  PrintResultChapters(ctx);
  // 7. The summary list, for the preview build only.
  if (pe.drawing && opt.copy_summary) opt.copy_summary(build.summary);
  // 8. Transverse joints.
  PrintTransverseJointChapter(ctx);
  PrintUpliftChapter(ctx);
  // 9. The longitudinal chapters and the end walls.
  if (ctx.longitudinal_check()) {
    PrintLongitudinalGroundChapters(ctx);
    PrintLongitudinalLoadChapters(ctx);
    PrintLongitudinalCheckChapters(ctx);
  }
  // 10. The number of body pages, on every path.
  ctx.NotePageLimit();
  build.body_pages = std::max(0, pe.records().highest() - kFirstBodySlot);
  if (opt.busy) opt.busy(false);
  return build.body_pages;
}

int RunSilentReportPass(PrintEngine& pe, const ReportSources& src, const ReportOptions& opt,
                        ReportBuild& build) {
  pe.BeginReportPages(2000, 3000);
  pe.drawing = false;
  pe.ClearPageRecords();  // nothing of the silent pass is kept as a page
  ReportOptions silent = opt;
  silent.copy_summary = nullptr;  // the clipboard copy belongs to the preview build
  const int pages = BuildReport(pe, src, silent, build);
  pe.recording = false;
  pe.drawing = true;
  build.contents_pages = 0;
  build.contents_slots.clear();
  return pages;
}

int BuildReportPages(PrintEngine& pe, const ReportSources& src, const ReportOptions& opt,
                     ReportBuild& build, DrawTarget* canvas) {
  pe.BeginReportPages(static_cast<int>(kReportPageWidthPx), static_cast<int>(kReportPageHeightPx),
                      canvas);
  const int pages = BuildReport(pe, src, opt, build);
  build.contents_pages = BuildContentsPages(pe);
  build.contents_slots = pe.text.contents_slots;
  return pages;
}

std::vector<int> ReportPageSlots(const ReportBuild& build) {
  std::vector<int> slots{0};
  slots.insert(slots.end(), build.contents_slots.begin(), build.contents_slots.end());
  for (int n = 1; n <= build.body_pages; ++n) slots.push_back(kFirstBodySlot + n);
  return slots;
}

PdfDocumentInfo ReportPdfInfo(const PrintEngine& pe, const ReportBuild& build) {
  PdfDocumentInfo info;
  info.title = "構造計算書";
  const std::string name = Trim(build.model_name);
  if (!name.empty()) info.title.append(" ").append(name);
  info.subject.append("プレキャスト式地下貯留施設 ")
      .append(build.facility_name)
      .append(" [")
      .append(build.method_name)
      .append("]");
  const int contents = static_cast<int>(build.contents_slots.size());
  for (const ContentsEntry& e : SortedContents(pe)) {
    if (e.page < 1 || e.page > build.body_pages) continue;
    PdfOutlineItem item;
    item.title = Trim(e.text);
    ReplaceText(item.title, "　", " ");
    item.level = ContentsLevel(e.text);
    item.page_index = contents + e.page;  // the cover, the contents, then body page 1
    item.top_mm = e.y;
    info.outline.push_back(std::move(item));
  }
  info.labels.push_back({0, "表紙", false, 1});
  if (contents > 0) info.labels.push_back({1, "目次-", true, 1});
  if (build.body_pages > 0) info.labels.push_back({1 + contents, "", true, 1});
  return info;
}

}  // namespace vaultra
