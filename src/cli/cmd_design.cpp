// vaultra design PROJECT.vt1 -o PROPOSED.vt1 [--json OUT.json]
//                [--quantities OUT.csv] [--work-dir DIR] [--internal]:
// opens, builds and analyses the project as calc does, proposes the
// lightest reinforcement that passes every member check (app/calc/
// design_run), prints the proposal's table, writes the project with the
// bars edited as the RC page's edits write them, and optionally the
// proposal as JSON and the quantities of the proposal as CSV. Exit 0 when
// every face has a passing arrangement, 1 when some has none (its bars are
// kept and named on stderr), 2 for bad input or a failed analysis.
#include <cstdio>
#include <optional>
#include <string>

#include "app/calc/build_models.h"
#include "app/calc/calculation_ops.h"
#include "app/calc/design_run.h"
#include "app/calc/run_analysis.h"
#include "app/document/project_file.h"
#include "app/pages/other_checks_page.h"
#include "checks/quantities.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/open_project.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "core/number.h"

namespace vaultra::cli {

namespace {

std::string JsonText(const std::string& cp932) {
  std::string out = "\"";
  for (unsigned char c : Cp932ToUtf8(cp932)) {
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

std::string ChoiceJson(const BarChoice& c) {
  return Format("{\"diameter\": %d, \"count\": %.6g, \"diameter2\": %d, \"count2\": %.6g}",
                c.diameter, c.count, c.diameter2, c.count2);
}

std::string ProposalJson(const std::string& project, const DesignProposal& p, bool verified) {
  std::string s = "{\n  \"project\": " + JsonText(Utf8ToCp932(project)) + ",\n";
  s += Format("  \"feasible\": %s,\n  \"verified\": %s,\n  \"faces\": [\n",
              p.AllFeasible() ? "true" : "false", verified ? "true" : "false");
  for (std::size_t i = 0; i < p.faces.size(); ++i) {
    const DesignFace& f = p.faces[i];
    std::string members;
    for (std::size_t j = 0; j < f.members.size(); ++j)
      members += (j ? ", " : "") + std::to_string(f.members[j]);
    s += Format(
        "    {\"member\": %d, \"members\": [%s], \"group\": %d, \"face\": \"%s\", "
        "\"joint\": %s, ",
        f.member, members.c_str(), f.group,
        f.both_faces ? "both"
        : f.inner    ? "inner"
                     : "outer",
        f.joint ? "true" : "false");
    s += "\"before\": " + ChoiceJson(f.before) + ", \"after\": " + ChoiceJson(f.after);
    s += Format(
        ", \"as_before\": %.6g, \"as_after\": %.6g, \"ratio_before\": %.6g, "
        "\"ratio_after\": %.6g, \"mass_before\": %.6g, \"mass_after\": %.6g, "
        "\"feasible\": %s",
        f.as_before, f.as_after, f.ratio_before, f.ratio_after, f.mass_before, f.mass_after,
        f.feasible ? "true" : "false");
    if (!f.feasible) s += ", \"failure\": " + JsonText(f.failure);
    s += std::string("}") + (i + 1 < p.faces.size() ? ",\n" : "\n");
  }
  s += Format("  ],\n  \"mass_before\": %.6g,\n  \"mass_after\": %.6g\n}\n", p.mass_before,
              p.mass_after);
  return s;
}

bool WriteOut(const std::string& path_utf8, const std::string& text) {
  std::string err;
  if (WriteFileAtomic(Utf8ToCp932(path_utf8), text, &err)) return true;
  std::fprintf(stderr, "vaultra: %s: %s\n", path_utf8.c_str(), Cp932ToUtf8(err).c_str());
  return false;
}

}  // namespace

int CmdDesign(const ArgList& argv) {
  std::string error;
  std::optional<Args> args =
      ParseArgs(argv, {"-o", "--json", "--quantities", "--work-dir"}, {"--internal"}, &error);
  if (!args) return UsageError(error);
  if (args->positional.size() != 1) return UsageError("design needs PROJECT.vt1");
  const auto out = args->Option("-o");
  if (!out) return UsageError("design needs -o PROPOSED.vt1");

  CliProject project(args->Option("--work-dir"));
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
  if (!project.Open(args->positional[0])) return kExitBadInput;
  ProjectState& state = project.state;
  const MasterData& master = project.master;
  PrepareOtherChecks(state);
  CommitOtherChecksInputs(state);
  CalcWorkspace ws;
  error = BuildModels(state, master, folders.work_dir, ws);
  if (!error.empty()) {
    std::fprintf(stderr, "vaultra: %s\n", Cp932ToUtf8(error).c_str());
    return kExitBadInput;
  }
  FrameSdkLibrary library;
  const RunAnalysisOptions opt =
      RunOptionsFor(folders, args->Has("--internal"), &library, &project.ui);
  CalcRun run;
  RunAnalysis(state, master, ws, opt, run);
  for (const std::string& f : run.failures)
    std::fprintf(stderr, "vaultra: %s\n", Cp932ToUtf8(f).c_str());
  if (!run.transverse_ok || !run.members_checked) {
    std::fprintf(stderr, "vaultra: the transverse members could not be checked; no proposal\n");
    return kExitBadInput;
  }

  const DesignProposal proposal = ProposeReinforcement(state, master, run);
  if (!proposal.usable) {
    std::fprintf(stderr, "vaultra: %s\n", Cp932ToUtf8(proposal.refusal).c_str());
    return kExitBadInput;
  }
  for (const std::string& line : ProposalTable(proposal))
    std::printf("%s\n", Cp932ToUtf8(line).c_str());
  ApplyProposal(state, master, proposal);
  std::string failure;
  const bool verified = MemberChecksPass(state, master, run, &failure);
  for (const DesignFace& f : proposal.faces)
    if (!f.feasible)
      std::fprintf(stderr, "vaultra: no arrangement within the limits passes: %s\n",
                   Cp932ToUtf8(f.failure).c_str());
  if (!verified)
    std::fprintf(stderr, "vaultra: the proposal does not pass every check: %s\n",
                 Cp932ToUtf8(failure).c_str());

  if (!SaveProjectFile(state, Utf8ToCp932(*out), project.logic, &error)) {
    std::fprintf(stderr, "vaultra: cannot write %s: %s\n", out->c_str(),
                 Cp932ToUtf8(error).c_str());
    return kExitBadInput;
  }
  if (auto json = args->Option("--json"))
    if (!WriteOut(*json, ProposalJson(args->positional[0], proposal, verified)))
      return kExitBadInput;
  if (auto csv = args->Option("--quantities")) {
    const Quantities q = QuantitiesOf(state, master);
    if (!WriteOut(*csv, QuantitiesCsv(q))) return kExitBadInput;
  }
  return proposal.AllFeasible() && verified ? kExitOk : kExitNotSatisfied;
}

}  // namespace vaultra::cli
