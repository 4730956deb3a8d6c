// vaultra figure PROJECT.vt1 KIND -o OUT.png|OUT.pdf [--direction transverse|longitudinal]
//                [--case N] [--component M|S|N] [--blocks FIRST,COUNT] [--screen]
//                [--work-dir DIR] [--internal]:
// one figure of a project (section, ground, frame, points, loads, forces) on
// a report page (grey) or, with --screen, on a screen-sized canvas in colour.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "app/calc/build_models.h"
#include "app/calc/calculation_ops.h"
#include "app/calc/run_analysis.h"
#include "app/pages/other_checks_page.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/open_project.h"
#include "cli/report_run.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "core/number.h"
#include "render/render.h"
#include "report/force_diagrams.h"
#include "report/pdf_file.h"
#include "report/report_text.h"

namespace vaultra::cli {

int WriteReportOutput(const PrintEngine& pe, const std::vector<int>& page_slots,
                      const std::string& out_utf8);

namespace {

// Size of the screen canvas: 10 pixels per page millimetre, as the report
// page, so that the PDF replay keeps its proportions.
constexpr int kScreenWidth = 1800;
constexpr int kScreenHeight = 1200;

int Fail(const std::string& message_utf8) {
  std::fprintf(stderr, "vaultra: figure: %s\n", message_utf8.c_str());
  return kExitBadInput;
}

bool ParseInt(const std::string& s, int& out) {
  char* end = nullptr;
  const long v = std::strtol(s.c_str(), &end, 10);
  if (s.empty() || *end != '\0' || v < -1000000 || v > 1000000) return false;
  out = static_cast<int>(v);
  return true;
}

}  // namespace

int CmdFigure(const ArgList& argv) {
  std::string error;
  auto args =
      ParseArgs(argv, {"-o", "--direction", "--case", "--component", "--blocks", "--work-dir"},
                {"--screen", "--internal"}, &error);
  if (!args) return UsageError(error);
  if (args->positional.size() != 2) return UsageError("figure needs PROJECT.vt1 and KIND");
  const std::string kind = args->positional[1];
  if (kind != "section" && kind != "ground" && kind != "frame" && kind != "points" &&
      kind != "loads" && kind != "forces")
    return UsageError("figure KIND is one of section, ground, frame, points, loads, forces");
  const auto out = args->Option("-o");
  if (!out) return UsageError("figure needs -o OUT.png|OUT.pdf");
  const std::string direction = args->Option("--direction").value_or("transverse");
  if (direction != "transverse" && direction != "longitudinal")
    return UsageError("--direction is transverse or longitudinal");
  const bool longitudinal = direction == "longitudinal";
  if (longitudinal && (kind == "section" || kind == "ground"))
    return Fail("the " + kind + " figure has no longitudinal direction");
  int case_number = 1;
  if (auto c = args->Option("--case"); c && !ParseInt(*c, case_number))
    return Fail("--case needs a case number, not \"" + *c + "\"");
  int component = kCompM;
  bool one_component = false;
  if (auto c = args->Option("--component")) {
    one_component = true;
    if (*c == "M")
      component = kCompM;
    else if (*c == "S")
      component = kCompS;
    else if (*c == "N")
      component = kCompN;
    else
      return Fail("no component \"" + *c + "\": the components are M, S and N");
  }
  int first = 0, count = 0;
  if (auto b = args->Option("--blocks")) {
    const std::size_t comma = b->find(',');
    if (comma == std::string::npos || !ParseInt(b->substr(0, comma), first) ||
        !ParseInt(b->substr(comma + 1), count) || first < 0 || count < 1)
      return Fail("--blocks needs FIRST,COUNT (FIRST 0 for all blocks, COUNT at least 1)");
  }
  const bool screen = args->Has("--screen");

  CliProject project(args->Option("--work-dir"));
  if (!project.Open(args->positional[0])) return kExitBadInput;
  ProjectState& state = project.state;

  // What the kind needs: the frame models for loads, the analysis for forces.
  CalcWorkspace ws;
  CalcRun run;
  // (the longitudinal model itself is built with the frame models).
  if (kind == "loads" || kind == "forces" || longitudinal) {
    const AppFolders& folders = project.folders;
    if (!DirExists(folders.work_dir) && !MakeDirs(folders.work_dir))
      return Fail("cannot create the working folder " + Cp932ToUtf8(folders.work_dir));
    PrepareOtherChecks(state);
    CommitOtherChecksInputs(state);
    error = kind != "forces" ? PrepareFrameModels(state, project.master, ws)
                             : BuildModels(state, project.master, folders.work_dir, ws);
    if (!error.empty()) return Fail(Cp932ToUtf8(error));
    if (kind == "forces") {
      FrameSdkLibrary library;
      RunAnalysisOptions opt =
          RunOptionsFor(folders, args->Has("--internal"), &library, &project.ui);
      RunAnalysis(state, project.master, ws, opt, run);
      const bool ok = longitudinal ? run.longitudinal_ok : run.transverse_ok;
      if (!ok) {
        for (const std::string& f : run.failures)
          std::fprintf(stderr, "vaultra: %s\n", Cp932ToUtf8(f).c_str());
        return Fail(longitudinal && !run.longitudinal_on
                        ? "the longitudinal direction is not analysed (its check is off)"
                        : "the analysis failed");
      }
    }
  }
  const StructureModel& model = longitudinal ? state.longitudinal : state.transverse;
  if (!model.member_table_valid()) return Fail("the project has no structure model");
  Figure fig = FigureOf(model, state.block_row, state.records.model, longitudinal);
  const AnalysisResults& results = longitudinal ? run.longitudinal : run.transverse;
  const FrameModel& frame = longitudinal ? ws.longitudinal_frame : ws.transverse_frame;
  if (kind == "forces") {
    const int last = results.max_load_case + results.combination_count;
    if (case_number < 1 || case_number > last || !results.HasCase(case_number))
      return Fail(Format("no case %d: the results hold cases 1 to %d", case_number, last));
  }
  if (kind == "loads" && FindByNumber(frame.load_cases, case_number) == 0)
    return Fail(Format("no load case %d: the frame model holds %d load cases", case_number,
                       frame.load_cases.Count()));

  PrintEngine pe;
  pe.internal_solver = run.use_internal;
  // The page canvas: the window's replay target painting into an image,
  // recorded as well so that a PDF can replay it.
  std::optional<QImage> image;
  std::optional<QPainter> painter;
  std::optional<render::PainterTarget> canvas;
  if (screen) {
    render::EnsureGuiApplication();
    image.emplace(kScreenWidth, kScreenHeight, QImage::Format_RGB32);
    image->fill(Qt::white);
    painter.emplace(&*image);
    canvas.emplace(*painter);
    pe.recording = true;
    pe.records().Select(kFirstBodySlot);
    SetupFigure(pe, fig, kFigureNew, kScreenWidth, kScreenHeight, 0, &*canvas);
    if (kind == "section") {
      DrawSectionFigure(pe, fig, SectionFigureOf(state.records.model), 10, 10, 170, 110);
    } else if (kind == "ground") {
      DrawGroundColumn(pe,
                       GroundColumnOf(state.records.ground, state.records.model, state.transverse),
                       40, 8, 140, 112);
    } else if (kind == "frame") {
      DrawModelFigure(pe, fig, kShowStandard | kShowNodeNumbers);
      DrawFigureLegend(pe, fig, kScreenWidth, kScreenHeight, false);
    } else if (kind == "points") {
      DrawModelFigure(pe, fig, kShowStandard & ~kShowMemberNumbers);
      DrawNodeNumbers(pe, fig);
      DrawFigureLegend(pe, fig, kScreenWidth, kScreenHeight, true);
    } else if (kind == "loads") {
      DrawModelFigure(pe, fig,
                      kShowBlocks | kShowMembers | kShowNodes | kShowNodeNumbers |
                          (longitudinal ? 0u : kShowMemberNumbers));
      DrawLoadState(pe, fig, frame, case_number);
      DrawFigureLegend(pe, fig, kScreenWidth, kScreenHeight, false);
    } else {
      DrawForceDiagram(pe, fig, results, case_number, component, 0, 1);
      DrawFigureLegend(pe, fig, kScreenWidth, kScreenHeight, false);
    }
  } else {
    pe.BeginReportPages(1800, 2700);
    pe.SelectPageSlot(kFirstBodySlot);
    pe.NewPage();
    const double y = 10;
    if (kind == "section") {
      PrintLine(pe, 8.2, y, "横断面図");
      DrawSectionFigure(pe, fig, SectionFigureOf(state.records.model), 30, y + 20, 160, y + 80);
    } else if (kind == "ground") {
      PrintLine(pe, 8.2, y, "地層構造図");
      DrawGroundColumn(pe,
                       GroundColumnOf(state.records.ground, state.records.model, state.transverse),
                       40, y + 10, 140, y + 220);
    } else if (kind == "frame" || kind == "points") {
      PrintLine(pe, 8.2, y, "骨組み");
      if (kind == "frame") {
        PrintFrameFigure(pe, y, fig);
      } else {
        double x0, x1;
        SetVisibleBlocks(fig, first <= 0 ? 1 : first, first <= 0 ? kMaxBlocks : first + count - 1);
        BlockGroupRange(fig, first, count, x0, x1);
        pe.SetWindow(20, y + 8, 160, y + 60, x0, model.frame_height, x1, 0);
        DrawModelFigure(pe, fig,
                        kShowBlocks | kShowMembers | kShowNodes | kShowMemberNumbers |
                            kShowNodeNumbers | kShowBlockNumbers);
      }
    } else if (kind == "loads") {
      PrintLoadStatePage(pe, y, fig, frame, case_number, first, count);
    } else if (one_component) {
      static const char* const kTitles[3] = {"・モーメント図", "・せん断力図", "・軸力図"};
      PrintLine(pe, 8.2, y, kTitles[component - 1]);
      double x0, x1;
      SetVisibleBlocks(fig, first <= 0 ? 1 : first, first <= 0 ? kMaxBlocks : first + count - 1);
      BlockGroupRange(fig, first, count, x0, x1);
      pe.SetWindow(20, y + 20, 160, y + 100, x0, model.frame_height, x1, 0);
      DrawForceDiagram(pe, fig, results, case_number, component, 0, 1);
    } else {
      PrintForceDiagramPage(pe, y, fig, results, case_number, first, count);
    }
  }
  // The page writer prints the notices itself.
  if (!screen) return WriteReportOutput(pe, {pe.records().current()}, *out);
  PrintNotices(pe);
  canvas->Flush();
  painter->end();
  const std::string path = Utf8ToCp932(*out);
  const std::string lower = [&] {
    std::string l = *out;
    for (char& ch : l) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return l;
  }();
  auto ends = [&](const char* suffix) {
    const std::size_t n = std::strlen(suffix);
    return lower.size() > n && lower.compare(lower.size() - n, n, suffix) == 0;
  };
  std::string werr;
  if (ends(".png")) {
    if (!render::SaveImagePng(*image, path, &werr)) return Fail(werr);
  } else if (ends(".pdf")) {
    if (!WritePdfFile(pe.records(), {kFirstBodySlot}, path, 300, &werr)) return Fail(werr);
  } else {
    return UsageError("the output must end in .pdf or .png");
  }
  return kExitOk;
}

}  // namespace vaultra::cli
