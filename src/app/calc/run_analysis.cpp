#include "app/calc/run_analysis.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/calc/check_inputs.h"
#include "app/calc/other_checks_run.h"
#include "core/fileio.h"
#include "core/number.h"
#include "core/ui.h"

namespace vaultra {

const char* const kTransverseFailedMessage = "！！！　横方向の計算ができません.　！！！";
const char* const kLongitudinalFailedMessage = "！！！　縦向の計算ができません.　！！！";

namespace {

constexpr const char* kProgressChecks = "!! 部材応力度・計算中  ";
constexpr const char* kWorkFilesFailedMessage = "作業フォルダに計算結果を書き込めません:";

void Fail(CalcRun& run, const RunAnalysisOptions& opt, const char* banner,
          const std::string& detail) {
  if (opt.ui) opt.ui->Tell(MsgKind::kError, banner);
  run.failures.push_back(detail.empty() ? std::string(banner) : std::string(banner) + " " + detail);
}

// A solver's message names the frame text it was solving.
std::string InFrameText(const std::string& path, const std::string& message) {
  if (message.empty() || path.empty()) return message;
  return FileNameOf(path) + ": " + message;
}

}  // namespace

MemberCheckInput CheckInputOf(const ProjectState& state) {
  const ModelRecord& rec = state.records.model;
  MemberCheckInput in;
  in.layout = rec.facility_type == 0 ? 0 : 1;
  in.two_d_option = rec.shear_at_2d;
  in.cast_cover = rec.cast_cover;
  in.seismic_coefficient_method = state.records.loads.method == kMethodSeismicCoefficient;
  in.Cs = state.records.loads.cs;
  in.materials = CheckMaterialsOf(state.records.materials);
  in.factors = SafetyFactorsOf(state.records.materials);
  in.flexure_rule = state.records.materials.flexure_rule == 1 ? FlexureRule::kConstantAxialForce
                                                              : FlexureRule::kConstantEccentricity;
  return in;
}

bool UseInternalSolver(bool demo_mode, bool internal_key) {
  return demo_mode || internal_key;
}

MaxSearchMembers MaxSearchMembersOf(const StructureModel& model) {
  MaxSearchMembers out(static_cast<std::size_t>(std::max(model.member_count, 0)) + 1);
  for (int m = 1; m <= model.member_count; ++m) {
    const ModelMember& mem = model.Member(m);
    out[static_cast<std::size_t>(m)] = {mem.length, mem.type, mem.poi_flag != 0};
  }
  return out;
}

void ComputeEnvelopes(AnalysisResults& results) {
  const int last = results.max_load_case + results.combination_count;
  for (int c = 1; c <= last && results.HasCase(c); ++c) {
    std::array<double, 4> mx{};
    for (int m = 1; m <= results.member_count; ++m) {
      const MemberCaseResult& v = results.At(c, m);
      const int n = std::clamp(v.count, 0, kResultMaxPoints + 1);
      for (int p = 1; p <= n; ++p)
        for (int k = 1; k <= 4; ++k) {
          const double a =
              std::fabs(v.points[static_cast<std::size_t>(p)][static_cast<std::size_t>(k)]);
          if (a >= mx[static_cast<std::size_t>(k - 1)]) mx[static_cast<std::size_t>(k - 1)] = a;
        }
    }
    results.cases[static_cast<std::size_t>(c)].envelope = mx;
  }
}

std::vector<MemberEndAxial> MemberEndAxials(const AnalysisResults& results,
                                            const StructureModel& model, int D) {
  std::vector<MemberEndAxial> out;
  for (int m = 1; m <= model.member_count; ++m) {
    MemberEndAxial e;
    e.type = model.Member(m).type;
    if (results.HasCase(D) && results.HasMember(m)) {
      const MemberCaseResult& v = results.At(D, m);
      const int n = std::clamp(v.count, 0, kResultMaxPoints + 1);
      if (n >= 1) {
        e.first = v.points[1][kCompN];
        e.last = v.points[static_cast<std::size_t>(n)][kCompN];
      }
    }
    out.push_back(e);
  }
  return out;
}

void RunAnalysis(ProjectState& state, const MasterData& md, CalcWorkspace& ws,
                 const RunAnalysisOptions& opt, CalcRun& run) {
  run.use_internal = UseInternalSolver(opt.demo_mode, opt.internal_key);
  run.failures.clear();
  FrameAnalysisContext ctx;
  ctx.folders = opt.folders;
  ctx.use_internal = run.use_internal;
  ctx.library = opt.library;
  ctx.ui = opt.ui;
  if (!ctx.use_internal && !ctx.library) ctx.use_internal = run.use_internal = true;

  // Transverse direction.
  std::string message;
  const MaxSearchMembers tm = MaxSearchMembersOf(state.transverse);
  run.transverse_ok =
      AnalyseWithMaxSearch(run.transverse, run.search1, run.search2, ws.transverse_path,
                           ws.transverse_frame, tm, ctx, &message);
  if (!run.transverse_ok)
    Fail(run, opt, kTransverseFailedMessage, InFrameText(ws.transverse_path, message));

  // Longitudinal direction, when its check is on.
  run.longitudinal_on = state.records.model.longitudinal_check;
  run.longitudinal_ok = false;
  if (run.longitudinal_on) {
    message.clear();
    const MaxSearchMembers lm = MaxSearchMembersOf(state.longitudinal);
    run.longitudinal_ok =
        AnalyseWithMaxSearch(run.longitudinal, run.search1, run.search2, ws.longitudinal_path,
                             ws.longitudinal_frame, lm, ctx, &message);
    if (!run.longitudinal_ok)
      Fail(run, opt, kLongitudinalFailedMessage, InFrameText(ws.longitudinal_path, message));
  }

  if (opt.ui) opt.ui->Progress(kProgressChecks);

  // Member checks of the three transverse combinations and their summaries
  // (CheckMembers clears the tables first).
  const std::string check_msg = RecheckMembers(state, md, run);
  if (!run.members_checked) {
    // Without a failed analysis to blame, a refusal is a failure of its own.
    if (run.transverse_ok) run.failures.push_back(check_msg);
  } else {
    if (!opt.work_dir.empty()) {
      const std::string dump =
          WriteCheckDumps(opt.work_dir, run.checks, run.summaries, state.transverse);
      // A working folder that cannot take the run's files (a full disk) is
      // a failed run, not a warning under a verdict.
      if (!dump.empty()) Fail(run, opt, kWorkFilesFailedMessage, dump);
    }
  }

  // The end-wall and joint checks: transverse joint, longitudinal joint, end walls.
  RunOtherChecks(state, md, ws, run);

  // Envelopes; each record over its own members and combinations.
  ComputeEnvelopes(run.transverse);
  ComputeEnvelopes(run.longitudinal);

  // The silent report pass over the finished run, when a caller provides one.
  run.report_prepared = false;
  if (opt.report_pass) {
    opt.report_pass(run);
    run.report_prepared = true;
  }
}

std::string RecheckMembers(ProjectState& state, const MasterData& md, CalcRun& run,
                           const CheckOverrides& overrides) {
  // No verdict from transverse results that failed.
  if (!run.transverse_ok) {
    run.members_checked = false;
    return {};
  }
  MemberCheckInput in = CheckInputOf(state);
  in.overrides = overrides;
  const std::string msg =
      CheckMembers(run.transverse, state.transverse, state.block_row, md, in, run.checks);
  run.members_checked = msg.empty();
  if (run.members_checked) {
    SummaryInput si;
    si.layout = in.layout;
    si.two_d_option = in.two_d_option;
    run.summaries = BuildCheckSummaries(run.checks, state.transverse, state.block_row, si);
  }
  return msg;
}

ReportSources ReportSourcesOf(const ProjectState& state, const CalcWorkspace& ws,
                              const CalcRun& run, const MasterData& master) {
  ReportSources s;
  s.records = &state.records;
  s.master = &master;
  s.block_row = &state.block_row;
  s.transverse = &state.transverse;
  s.longitudinal = &state.longitudinal;
  s.ground = &ws.ground;
  s.seismic = &ws.seismic;
  s.pressure = &ws.pressure;
  s.longitudinal_tables = &ws.longitudinal;
  s.transverse_frame = &ws.transverse_frame;
  s.longitudinal_frame = &ws.longitudinal_frame;
  // Results and checks only as far as the run produced them.
  s.transverse_failed = !run.transverse_ok;
  s.longitudinal_failed = run.longitudinal_on && !run.longitudinal_ok;
  if (run.transverse_ok) s.transverse_results = &run.transverse;
  if (run.longitudinal_ok) s.longitudinal_results = &run.longitudinal;
  if (run.members_checked) {
    s.checks = &run.checks;
    s.summaries = &run.summaries;
  }
  if (run.transverse_joint_checked) s.transverse_joint = &run.transverse_joint;
  if (run.longitudinal_joint_checked) s.longitudinal_joint = &run.longitudinal_joint;
  if (run.end_walls_checked) s.end_walls = &run.end_walls;
  s.uplift = &run.uplift;
  return s;
}

std::vector<MemberVerdict> MemberVerdicts(const CalcRun& run, const StructureModel& model) {
  std::vector<MemberVerdict> out;
  for (int m = 1; m <= model.member_count; ++m)
    for (int k = 0; k < kCheckCombinations; ++k) {
      MemberVerdict v;
      v.member = m;
      v.type_code = model.Member(m).type;
      v.combination = k;
      v.analysed = run.transverse_ok && run.members_checked;
      bool failed = false;
      if (run.members_checked && m <= run.checks.member_count) {
        const MemberCheckTable& tb = run.checks.At(k, m);
        const GoverningRow g = GoverningRowOf(tb);
        v.row = g.row;
        v.ratio = g.ratio;
        v.governs = g.governs;
        v.finite = g.finite;
        failed = g.failed || !g.finite;
        if (g.row > 0) {
          const CheckPointRecord& r = tb.Row(g.row);
          v.capacity_design = r.capacity_design_done;
          v.shear_span = r.shear_span;
          v.vmu = r.Vmu;
          v.cd_x = r.cd_x;
          v.cd_M = r.cd_M;
        }
      }
      v.ok = v.analysed && !failed;
      out.push_back(v);
    }
  return out;
}

const char* GovernsName(MemberVerdict::Governs g) {
  switch (g) {
    case MemberVerdict::Governs::kFlexure:
      return "曲げ";
    case MemberVerdict::Governs::kShear:
      return "せん断";
    case MemberVerdict::Governs::kCapacityDesign:
      return "耐力設計";
    default:
      return "";
  }
}

const char* GovernsKey(MemberVerdict::Governs g) {
  switch (g) {
    case MemberVerdict::Governs::kFlexure:
      return "flexure";
    case MemberVerdict::Governs::kShear:
      return "shear";
    case MemberVerdict::Governs::kCapacityDesign:
      return "capacity_design";
    default:
      return "none";
  }
}

const char* CombinationName(int k) {
  switch (k) {
    case 0:
      return "常時";
    case 1:
      return "L1";
    case 2:
      return "L2";
    default:
      return "";
  }
}

}  // namespace vaultra
