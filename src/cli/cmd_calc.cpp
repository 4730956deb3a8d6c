// vaultra calc PROJECT.vt1 [--work-dir DIR] [--internal] [--json OUT.json]
//              [--sdk-dir DIR --frame-dir DIR]:
// opens a project as the program does at start-up, builds both frame
// models, analyses them and runs the checks; prints the per-member verdict
// table, the joint and end-wall verdicts with the other-checks page's texts,
// optionally writes them as JSON and the report as a PDF (--report OUT.pdf,
// with --formulas and --ts). vaultra report PROJECT.vt1 -o OUT.pdf does the
// same run quietly and writes the report (--summary OUT.txt: and the
// summary list of the section checks, one line per check, UTF-8).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/calc/build_models.h"
#include "app/calc/calculation_ops.h"
#include "app/calc/design_run.h"
#include "app/calc/navigation.h"
#include "app/calc/run_analysis.h"
#include "app/document/project_file.h"
#include "app/pages/other_checks_page.h"
#include "app/pages/page_logic_impl.h"
#include "checks/summaries.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/open_project.h"
#include "cli/report_run.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "core/number.h"
#include "core/ui.h"
#include "inputs/master_data.h"
#include "report/build_report.h"
#include "report/print_engine.h"

namespace vaultra::cli {

namespace {

// Texts of this file are cp932 at run time; stdout, stderr and JSON are UTF-8.
std::string U(const char* cp932) {
  return Cp932ToUtf8(cp932);
}

// The member type's name (cp932).
std::string TypeNameCp932(int type_code) {
  const char* name = CheckGroupName(CheckGroupOf(type_code));
  return (name && *name) ? std::string(name) : Format("type %d", type_code);
}

std::string TypeName(int type_code) {
  return U(TypeNameCp932(type_code).c_str());
}

// A table cell padded in cp932, where a byte is a column on the terminal,
// then converted for output.
std::string Cell(std::string cp932, std::size_t width) {
  if (cp932.size() < width) cp932.resize(width, ' ');
  return U(cp932.c_str());
}

enum class Verdict { kOk, kNg, kNotChecked };

const char* VerdictText(Verdict v) {
  return v == Verdict::kOk ? "O.K." : v == Verdict::kNg ? "N.G." : "not checked";
}

Verdict TransverseJointVerdict(const CalcRun& run) {
  if (!run.transverse_joint_checked) return Verdict::kNotChecked;
  return run.transverse_ok && run.transverse_joint.ok() ? Verdict::kOk : Verdict::kNg;
}

Verdict LongitudinalJointVerdict(const CalcRun& run) {
  if (!run.longitudinal_on) return Verdict::kNotChecked;
  if (!run.longitudinal_ok || !run.longitudinal_joint_checked) return Verdict::kNg;
  const auto& j = run.longitudinal_joint;
  const bool ok = j.capacity_ok[0] && j.capacity_ok[1] && j.opening_ok[0] && j.opening_ok[1];
  return ok ? Verdict::kOk : Verdict::kNg;
}

Verdict UpliftVerdict(const CalcRun& run) {
  if (!run.uplift.checked) return Verdict::kNotChecked;
  return run.uplift.ok ? Verdict::kOk : Verdict::kNg;
}

Verdict EndWallVerdictOfRun(const CalcRun& run) {
  if (!run.longitudinal_on) return Verdict::kNotChecked;
  if (!run.end_walls_checked) return Verdict::kNg;  // the longitudinal analysis failed
  return run.end_wall_verdict.ok ? Verdict::kOk : Verdict::kNg;
}

std::string JsonString(const std::string& utf8) {
  std::string out = "\"";
  for (unsigned char c : utf8) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      out += Format("\\u%04x", c);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string JsonNumber(double v) {
  return std::isfinite(v) ? Format("%.6g", v) : "null";
}
const char* JsonBool(bool b) {
  return b ? "true" : "false";
}

std::string UpliftJson(const CalcRun& run) {
  const UpliftResult& u = run.uplift;
  std::string s = std::string("  \"uplift\": {\"checked\": ") + JsonBool(u.checked) +
                  ", \"verdict\": \"" + VerdictText(UpliftVerdict(run)) + "\"";
  if (u.checked && u.reason.empty())
    s += ", \"fs\": " + JsonNumber(u.fs) + ", \"required\": " + JsonNumber(u.required) +
         ", \"weight\": " + JsonNumber(u.weight) +
         ", \"soil_weight\": " + JsonNumber(u.soil_weight) +
         ", \"buoyancy\": " + JsonNumber(u.buoyancy) +
         ", \"submerged_height\": " + JsonNumber(u.submerged_height);
  if (!u.reason.empty()) s += ", \"reason\": " + JsonString(Cp932ToUtf8(u.reason));
  return s + "},\n";
}

std::string EnvelopeJson(const AnalysisResults& r) {
  std::string s = "[";
  const int last = r.max_load_case + r.combination_count;
  for (int c = 1; c <= last && r.HasCase(c); ++c) {
    const auto& e = r.cases[static_cast<std::size_t>(c)].envelope;
    if (c > 1) s += ",";
    s += Format("{\"case\":%d,\"M\":", c) + JsonNumber(e[0]) + ",\"S\":" + JsonNumber(e[1]) +
         ",\"N\":" + JsonNumber(e[2]) + ",\"deflection\":" + JsonNumber(e[3]) + "}";
  }
  return s + "]";
}

std::string EndWallJson(const CalcRun& run) {
  static const char* const kMethods[2] = {"simple_beam", "two_way"};
  const EndWallResult& r = run.end_walls;
  std::string s = std::string("    \"end_walls\": {\"checked\": ") +
                  JsonBool(run.end_walls_checked) + ", \"verdict\": \"" +
                  VerdictText(EndWallVerdictOfRun(run)) +
                  "\", \"label\": " + JsonString(Cp932ToUtf8(run.end_wall_verdict.text));
  if (!run.end_walls_checked) {
    return s + ", \"reason\": " + JsonString(Cp932ToUtf8(run.end_wall_message)) + "}";
  }
  s += std::string(", \"method\": \"") + kMethods[r.method == kEndWallMethodTwoWay ? 1 : 0] +
       "\", \"input_error\": " + JsonBool(r.input_error) + ", \"walls\": [";
  for (int w = 0; w < r.wall_count; ++w) {
    s += Format("%s\n      {\"wall\": %d, \"inner_width\": ", w ? "," : "", w + 1) +
         JsonNumber(r.inner_width[w]) + ", \"span\": " + JsonNumber(r.span[w]) +
         ", \"combinations\": [";
    for (int c = 0; c < 3; ++c) {
      const EndWallCase& ec = r.walls[w][c];
      s += Format("%s\n        {\"combination\": %d, \"combination_name\": ", c ? "," : "", c) +
           JsonString(U(CombinationName(c))) + ", \"p_top\": " + JsonNumber(ec.load.top) +
           ", \"p_bottom\": " + JsonNumber(ec.load.bottom) + ", \"rows\": [";
      bool first = true;
      for (int j = 0; j < kEndWallRows; ++j) {
        const EndWallRow& row = ec.rows[j];
        if (!row.applies) continue;
        s += Format("%s{\"row\": %d, \"M\": ", first ? "" : ", ", j) + JsonNumber(row.rec.M) +
             ", \"S\": " + JsonNumber(row.rec.S) +
             ", \"ratio_flexure\": " + JsonNumber(row.rec.ratio_flexure) +
             ", \"ratio_shear\": " + JsonNumber(row.rec.ratio_shear) +
             ", \"ng_flexure\": " + JsonBool(EndWallFlexureFails(row, ec.kind)) +
             ", \"ng_shear\": " + JsonBool(EndWallShearFails(row, ec.kind)) + "}";
        first = false;
      }
      s += "]}";
    }
    s += "]}";
  }
  return s + "]}";
}

// The quantities: per block, per block kind and the facility totals.
std::string QuantitiesJson(const Quantities& q) {
  auto bars = [](const BlockQuantity& b) {
    std::string s = "[";
    bool first = true;
    for (const auto& [d, bar] : b.bars) {
      s += Format("%s{\"diameter\": %d, \"length_m\": ", first ? "" : ", ", d) +
           JsonNumber(bar.length_m) + ", \"mass_kg\": " + JsonNumber(bar.mass_kg) + "}";
      first = false;
    }
    return s + "]";
  };
  auto entry = [&](const BlockQuantity& b) {
    return "\"concrete_m3\": " + JsonNumber(b.concrete_m3) +
           ", \"steel_kg\": " + JsonNumber(b.steel_kg) + ", \"bars\": " + bars(b);
  };
  std::string s = "  \"quantities\": {\"concrete_m3\": " + JsonNumber(q.concrete_m3) +
                  ", \"steel_kg\": " + JsonNumber(q.steel_kg) + ",\n    \"blocks\": [";
  for (std::size_t i = 0; i < q.blocks.size(); ++i)
    s += Format("%s\n      {\"block\": %d, \"kind\": %d, ", i ? "," : "", q.blocks[i].block,
                q.blocks[i].kind) +
         entry(q.blocks[i]) + "}";
  s += "],\n    \"kinds\": [";
  bool first = true;
  for (const auto& [kind, b] : q.by_kind) {
    s += Format("%s\n      {\"kind\": %d, ", first ? "" : ",", kind) + entry(b) + "}";
    first = false;
  }
  s += "],\n    \"facility\": {" + entry(q.facility) + "}},\n";
  return s;
}

std::string BuildJson(const std::string& project_utf8, const CalcRun& run,
                      const std::vector<MemberVerdict>& verdicts, const Quantities& quantities,
                      int status) {
  std::string s = "{\n";
  s += "  \"project\": " + JsonString(project_utf8) + ",\n";
  s += std::string("  \"solver\": \"") + (run.use_internal ? "internal" : "library") + "\",\n";
  s += std::string("  \"analysis\": {\"transverse\": {\"ok\": ") + JsonBool(run.transverse_ok) +
       "}, \"longitudinal\": {\"on\": " + JsonBool(run.longitudinal_on) +
       ", \"ok\": " + JsonBool(run.longitudinal_ok) + "}},\n";
  s += "  \"failures\": [";
  for (std::size_t i = 0; i < run.failures.size(); ++i)
    s += (i ? ", " : "") + JsonString(Cp932ToUtf8(run.failures[i]));
  s += "],\n  \"members\": [\n";
  for (std::size_t i = 0; i < verdicts.size(); ++i) {
    const MemberVerdict& v = verdicts[i];
    s += Format("    {\"member\": %d, \"type\": %d, \"type_name\": ", v.member, v.type_code) +
         JsonString(TypeName(v.type_code)) +
         Format(", \"combination\": %d, \"combination_name\": ", v.combination) +
         JsonString(U(CombinationName(v.combination))) +
         Format(", \"row\": %d, \"ratio\": ", v.row) + JsonNumber(v.ratio) + ", \"governs\": \"" +
         GovernsKey(v.governs) + "\"" +
         (v.capacity_design ? ", \"shear_span\": " + JsonNumber(v.shear_span) +
                                  ", \"vmu\": " + JsonNumber(v.vmu) +
                                  ", \"shear_span_section\": {\"x\": " + JsonNumber(v.cd_x) +
                                  ", \"M\": " + JsonNumber(v.cd_M) + "}"
                            : std::string()) +
         ", \"verdict\": \"" + (v.ok && v.finite ? "O.K." : "N.G.") + "\"" +
         (v.finite ? "" : ", \"reason\": \"ratio is not a finite number\"") + "}" +
         (i + 1 < verdicts.size() ? ",\n" : "\n");
  }
  s += "  ],\n  \"joints\": {\n";
  const TransverseJointResult& tj = run.transverse_joint;
  s += std::string("    \"transverse\": {\"checked\": ") + JsonBool(run.transverse_joint_checked) +
       ", \"verdict\": \"" + VerdictText(TransverseJointVerdict(run)) +
       "\", \"na_compression\": " + JsonNumber(tj.na_compression) +
       ", \"na_tension\": " + JsonNumber(tj.na_tension) + ", \"levels\": [";
  for (int lv = 0; lv < 2; ++lv) {
    const TransverseJointLevel& l = tj.level[static_cast<std::size_t>(lv)];
    s += Format("%s{\"level\": %d, \"nmax_compression\": ", lv ? ", " : "", lv + 1) +
         JsonNumber(l.nmax_compression) + ", \"nmax_tension\": " + JsonNumber(l.nmax_tension) +
         ", \"ng_compression\": " + JsonBool(l.ng_compression) +
         ", \"ng_tension\": " + JsonBool(l.ng_tension) + "}";
  }
  s += "]},\n";
  const LongitudinalJointResult& lj = run.longitudinal_joint;
  s += std::string("    \"longitudinal\": {\"checked\": ") +
       JsonBool(run.longitudinal_joint_checked) + ", \"verdict\": \"" +
       VerdictText(LongitudinalJointVerdict(run)) + "\"";
  if (run.longitudinal_joint_checked) {
    s += ", \"capacity_ok\": [" + std::string(JsonBool(lj.capacity_ok[0])) + ", " +
         JsonBool(lj.capacity_ok[1]) + "], \"opening_ok\": [" + JsonBool(lj.opening_ok[0]) + ", " +
         JsonBool(lj.opening_ok[1]) + "], \"Pcap\": " + JsonNumber(lj.Pcap) + ", \"delta\": [" +
         JsonNumber(lj.delta[0]) + ", " + JsonNumber(lj.delta[1]) + "]";
  } else if (!lj.message.empty()) {
    s += ", \"reason\": " + JsonString(Cp932ToUtf8(lj.message));
  }
  s += "},\n";
  s += EndWallJson(run) + "\n  },\n";
  s += UpliftJson(run);
  s += "  \"envelopes\": {\"transverse\": " + EnvelopeJson(run.transverse) +
       ", \"longitudinal\": " + (run.longitudinal_on ? EnvelopeJson(run.longitudinal) : "[]") +
       "},\n";
  s += QuantitiesJson(quantities);
  s += Format("  \"exit_status\": %d\n}\n", status);
  return s;
}

void PrintVerdicts(const CalcRun& run, const std::vector<MemberVerdict>& verdicts, Verdict tj,
                   Verdict lj, Verdict ew, int status) {
  std::printf("%s\n",
              U("部材  種別                      組合せ  照査比    照査      判定").c_str());
  for (const MemberVerdict& v : verdicts) {
    std::printf("%4d  %s  %s  %8.3f  %s  %s\n", v.member,
                Cell(TypeNameCp932(v.type_code) + Format(" (%d)", v.type_code), 24).c_str(),
                Cell(CombinationName(v.combination), 6).c_str(), v.ratio,
                Cell(GovernsName(v.governs), 8).c_str(), v.ok ? "O.K." : "N.G.");
  }
  std::printf("%s %s\n", U("横方向継手:").c_str(),
              tj == Verdict::kNotChecked ? U("未照査").c_str() : VerdictText(tj));
  if (lj == Verdict::kNotChecked)
    std::printf("%s %s%s\n", U("縦方向継手:").c_str(), U("未照査").c_str(),
                run.longitudinal_joint.message.empty()
                    ? ""
                    : (" (" + Cp932ToUtf8(run.longitudinal_joint.message) + ")").c_str());
  else
    std::printf("%s %s\n", U("縦方向継手:").c_str(), VerdictText(lj));
  if (run.end_walls_checked)
    std::printf("%s %s\n", U("端壁:").c_str(), VerdictText(ew));
  else
    std::printf("%s %s (%s)\n", U("端壁:").c_str(),
                ew == Verdict::kNotChecked ? U("未照査").c_str() : VerdictText(ew),
                Cp932ToUtf8(run.end_wall_message).c_str());
  // The other-checks page's texts. Its end-wall label says O.K. for the end
  // walls alone, so it is printed under their name, and the run's verdict
  // over every check follows on a line of its own.
  const OtherChecksLabels labels = OtherChecksLabelsOf(run);
  for (const std::string& l : labels.joint) std::printf("  %s\n", Cp932ToUtf8(l).c_str());
  if (!labels.err_pc.empty()) std::printf("  %s\n", Cp932ToUtf8(labels.err_pc).c_str());
  if (!labels.err_bosui.empty()) std::printf("  %s\n", Cp932ToUtf8(labels.err_bosui).c_str());
  std::printf("  %s %s\n", U("端壁の表示:").c_str(), Cp932ToUtf8(labels.end_wall).c_str());
  const Verdict up = UpliftVerdict(run);
  std::printf("%s %s (%s)\n", U("浮上り:").c_str(),
              up == Verdict::kNotChecked ? U("未照査").c_str() : VerdictText(up),
              Cp932ToUtf8(UpliftLabel(run.uplift)).c_str());
  std::printf("%s %s\n", U("総合判定:").c_str(),
              status == kExitOk             ? "O.K."
              : status == kExitNotSatisfied ? "N.G."
                                            : U("N.G. (計算できません)").c_str());
  std::printf("solver: %s\n", run.use_internal ? "internal" : "frame library");
}

}  // namespace

namespace {

// A run refused before any verdict: exit status 2, and with --json a file
// that says so and why, in place of a stale one from an earlier run.
int RefusedRun(const Args& args, const std::vector<std::string>& reasons) {
  if (auto json = args.Option("--json")) {
    std::string text = "{\n  \"project\": " + JsonString(args.positional[0]) +
                       ",\n  \"refused\": true,\n  \"errors\": [";
    for (std::size_t i = 0; i < reasons.size(); ++i)
      text += (i ? ",\n    " : "\n    ") + JsonString(reasons[i]);
    text += Format("\n  ],\n  \"exit_status\": %d\n}\n", kExitBadInput);
    std::string werr;
    if (!WriteFileAtomic(Utf8ToCp932(*json), text, &werr))
      std::fprintf(stderr, "vaultra: %s: %s\n", json->c_str(), Cp932ToUtf8(werr).c_str());
  }
  return kExitBadInput;
}

// Opens, builds, analyses and checks the project; prints the verdicts
// unless quiet; writes the report when asked. The exit status is the
// calculation's (0 satisfied, 1 some check not satisfied, 2 bad input or a
// failed analysis), or 2 when the report cannot be written.
int RunCalc(const Args& args, const std::optional<ReportRequest>& report, ReportWriter writer,
            bool quiet) {
  std::string error;
  const auto sdk = args.Option("--sdk-dir");
  const auto frame = args.Option("--frame-dir");
  if (sdk.has_value() != frame.has_value())
    return UsageError("--sdk-dir and --frame-dir go together");
  // An output over the project would lose it: refused before anything runs.
  const std::string input = Utf8ToCp932(args.positional[0]);
  for (const char* option : {"--json", "--report", "-o", "--summary"}) {
    const auto out = args.Option(option);
    if (out && SameFile(Utf8ToCp932(*out), input)) {
      std::fprintf(stderr, "vaultra: %s %s is the project itself; nothing was done\n", option,
                   out->c_str());
      return kExitBadInput;
    }
  }
  CliProject project(args.Option("--work-dir"));
  const AppFolders& folders = project.folders;
  if (!DirExists(folders.work_dir) && !MakeDirs(folders.work_dir)) {
    std::fprintf(stderr, "vaultra: cannot create the working folder %s\n",
                 Cp932ToUtf8(folders.work_dir).c_str());
    return kExitBadInput;
  }
  std::string lock_error;
  const std::optional<FolderLock> lock = FolderLock::Acquire(folders.work_dir, &lock_error);
  if (!lock) {
    std::fprintf(stderr, "vaultra: %s\n", Cp932ToUtf8(lock_error).c_str());
    return kExitBadInput;
  }
  if (!project.Open(args.positional[0])) return RefusedRun(args, project.problems);
  ProjectState& state = project.state;
  const MasterData& master = project.master;
  StderrUi& ui = project.ui;
  // Entering the result pages runs the other-checks page's preparation and
  // input steps before the models are built and analysed.
  PrepareOtherChecks(state);
  CommitOtherChecksInputs(state);
  CalcWorkspace ws;
  error = BuildModels(state, master, folders.work_dir, ws);
  if (!error.empty()) {
    const std::string text = args.positional[0] + ": " + Cp932ToUtf8(error);
    std::fprintf(stderr, "vaultra: %s\n", text.c_str());
    return RefusedRun(args, {text});
  }

  FrameSdkLibrary library;
  RunAnalysisOptions opt = RunOptionsFor(folders, args.Has("--internal"), &library, &ui);
  if (sdk) {  // the folders given on the command line replace the folder list file's
    opt.folders.sdk_dir = WithTrailingSlash(Utf8ToCp932(*sdk));
    opt.folders.frame_dir = WithTrailingSlash(Utf8ToCp932(*frame));
    opt.demo_mode = !DirExists(opt.folders.sdk_dir) || !DirExists(opt.folders.frame_dir);
  }
  // The silent report pass ends every run, as in the window: it numbers the
  // headings and sets the failure marks the result pages read.
  PrintEngine silent_engine;
  ReportBuild silent_build;
  ReportOptions silent_options;
  silent_options.print_master_dir = folders.print_master_dir;
  opt.report_pass = [&](CalcRun& r) {
    silent_options.internal_solver = r.use_internal;
    RunSilentReportPass(silent_engine, ReportSourcesOf(state, ws, r, master), silent_options,
                        silent_build);
  };
  CalcRun run;
  RunAnalysis(state, master, ws, opt, run);
  const std::vector<MemberVerdict> verdicts = MemberVerdicts(run, state.transverse);

  bool all_ok = true;
  std::vector<std::string> nonfinite;  // UTF-8
  for (const MemberVerdict& v : verdicts) {
    all_ok = all_ok && v.ok && v.finite;
    if (!v.finite)
      nonfinite.push_back(Format("member %d, %s, row %d: the ratio is not a finite number (N.G.)",
                                 v.member, U(CombinationName(v.combination)).c_str(), v.row));
  }
  const Verdict tj = TransverseJointVerdict(run);
  const Verdict lj = LongitudinalJointVerdict(run);
  const Verdict ew = EndWallVerdictOfRun(run);
  all_ok = all_ok && tj != Verdict::kNg && lj != Verdict::kNg && ew != Verdict::kNg &&
           UpliftVerdict(run) != Verdict::kNg;
  // A ratio that is no number means an input the checks could not use: the
  // run is refused as bad input, never reported as satisfied.
  const int status = !run.failures.empty() || !nonfinite.empty() ? kExitBadInput
                     : all_ok                                    ? kExitOk
                                                                 : kExitNotSatisfied;
  if (!quiet) PrintVerdicts(run, verdicts, tj, lj, ew, status);
  for (const std::string& f : run.failures)
    std::fprintf(stderr, "vaultra: %s: %s\n", args.positional[0].c_str(), Cp932ToUtf8(f).c_str());

  for (const std::string& f : nonfinite) std::fprintf(stderr, "vaultra: %s\n", f.c_str());
  if (auto json = args.Option("--json")) {
    const std::string text =
        BuildJson(args.positional[0], run, verdicts, QuantitiesOf(state, master), status);
    std::string werr;
    if (!WriteFileAtomic(Utf8ToCp932(*json), text, &werr)) {
      std::fprintf(stderr, "vaultra: %s: %s\n", json->c_str(), Cp932ToUtf8(werr).c_str());
      return kExitBadInput;
    }
  }
  if (report) {
    if (writer(state, ws, run, master, folders.print_master_dir, *report) != kExitOk)
      return kExitBadInput;
  }
  return status;
}

}  // namespace

int CmdCalcWith(const ArgList& argv, ReportWriter writer) {
  std::string error;
  std::optional<Args> args =
      ParseArgs(argv, {"--work-dir", "--json", "--report", "--sdk-dir", "--frame-dir"},
                {"--internal", "--formulas", "--ts"}, &error);
  if (!args) return UsageError(error);
  if (args->positional.size() != 1) return UsageError("calc needs PROJECT.vt1");
  std::optional<ReportRequest> report;
  if (auto out = args->Option("--report")) {
    report = ReportRequest{*out, args->Has("--formulas"), args->Has("--ts"), ""};
    if (!writer) return -1;
    if (!IsPdfPath(*out)) return UsageError("the report is a PDF: --report OUT.pdf");
  }
  return RunCalc(*args, report, writer, false);
}

int CmdReportWith(const ArgList& argv, ReportWriter writer) {
  if (!writer) return -1;
  std::string error;
  std::optional<Args> args =
      ParseArgs(argv, {"--work-dir", "-o", "--sdk-dir", "--frame-dir", "--summary"},
                {"--internal", "--formulas", "--ts"}, &error);
  if (!args) return UsageError(error);
  if (args->positional.size() != 1) return UsageError("report needs PROJECT.vt1");
  const auto out = args->Option("-o");
  if (!out || !IsPdfPath(*out)) return UsageError("report needs -o OUT.pdf");
  return RunCalc(*args,
                 ReportRequest{*out, args->Has("--formulas"), args->Has("--ts"),
                               args->Option("--summary").value_or("")},
                 writer, true);
}

}  // namespace vaultra::cli
