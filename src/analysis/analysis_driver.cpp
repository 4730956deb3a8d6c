#include "analysis/analysis_driver.h"

#include <algorithm>
#include <cmath>

#include "analysis/frame_file.h"
#include "analysis/frame_solver.h"
#include "analysis/frame_text.h"
#include "analysis/sdk_results.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "core/number.h"
#include "core/ui.h"

namespace vaultra {

namespace {

std::string ResultFile(const std::string& text_path, const char* ext) {
  return ChangeExtension(text_path, ext);
}

void RemoveAllResultFiles(const std::string& text_path) {
  for (const char* ext : kResultFileExtensions) RemoveFile(ResultFile(text_path, ext));
}

// The result files that stay once the results are read: the member forces
// and, except beside a search run's text, the displacements.
unsigned FilesKeptAfterReading(const std::string& text_path) {
  unsigned kept = 1u << 4 | 1u << 5;  // .F31, .F32
  if (FindText(FileNameOf(text_path), "J(") == std::string::npos) kept |= 1u << 2 | 1u << 3;
  return kept;
}

std::string Fail(AnalysisResults& results, std::string msg) {
  results.Clear();
  results.failed = true;
  return msg;
}

// The result files a cache hit reads are all there.
bool ResultFilesPresent(const std::string& text_path, bool with_combinations) {
  if (!FileExists(ResultFile(text_path, ".F31")) || !FileExists(ResultFile(text_path, ".F21")))
    return false;
  if (with_combinations &&
      (!FileExists(ResultFile(text_path, ".F32")) || !FileExists(ResultFile(text_path, ".F22"))))
    return false;
  return true;
}

bool SameText(const std::string& a, const std::string& b) {
  auto x = ReadFileBytes(a), y = ReadFileBytes(b);
  return x && y && SplitLines(*x) == SplitLines(*y);
}

// The result files of the internal solver, in the library's formats.
// Only the files given are written; they are work files of this run.
std::string WriteInternalResults(const AnalysisResults& results, const FrameModel& model,
                                 const std::string& text_path, unsigned files) {
  SdkResultStore store;
  BuildSdkResults(results, model, store);
  FrameTextFile file;
  std::string base = ChangeExtension(text_path, "");
  if (!file.SaveToFile(base, &store.res, files, WriteMode::kScratch))
    return text_path + "に保存できません";
  return {};
}

// Marks, for every combination and member, the point of the largest moment
// and appends a copy of it after the member's points.
void MarkMaxPoints(AnalysisResults& r, int combinations, const MaxSearchMembers* members) {
  for (int k = 1; k <= combinations; ++k) {
    int c = r.max_load_case + k;
    if (!r.HasCase(c)) continue;
    for (int e = 1; e <= r.member_count; ++e) {
      MemberCaseResult& mc = r.At(c, e);
      int type = members && e < static_cast<int>(members->size()) ? (*members)[e].type : 0;
      int n = std::clamp(mc.count, 0, kResultMaxPoints);
      int best = FindMaxPoint(mc, n, type);
      mc.max_index = best;
      mc.points[static_cast<std::size_t>(n + 1)] = mc.points[static_cast<std::size_t>(best)];
    }
  }
}

}  // namespace

int FindMaxPoint(const MemberCaseResult& v, int n, int member_type) {
  n = std::clamp(n, 0, kResultMaxPoints + 1);
  int best = 1;
  double value = v.points[1][kCompM];
  bool absolute = member_type == 12;
  if (absolute) value = std::fabs(value);
  for (int k = 2; k <= n; ++k) {
    double m = absolute ? std::fabs(v.points[static_cast<std::size_t>(k)][kCompM])
                        : v.points[static_cast<std::size_t>(k)][kCompM];
    if (m > value) {
      value = m;
      best = k;
    }
  }
  return best;
}

void DeleteFrameResultFiles(const std::string& text_path) {
  unsigned kept = FilesKeptAfterReading(text_path);
  for (int file = 0; file < kResultFileCount; ++file)
    if ((kept >> file & 1u) == 0) RemoveFile(ResultFile(text_path, kResultFileExtensions[file]));
}

std::string ReadFrameResults(AnalysisResults& results, const std::string& text_path) {
  results.Clear();
  auto text = ReadFileBytes(text_path);
  if (!text) return Fail(results, text_path + "を正常に読めません");
  std::vector<std::string> lines = SplitLines(*text);
  auto at = [](const std::string& line, std::size_t col) {
    return col < line.size() ? std::string_view(line).substr(col) : std::string_view();
  };
  auto bad = [&](const std::string& file, std::size_t line, const char* why) {
    return Fail(results,
                Format("%s の %d 行目: %s", file.c_str(), static_cast<int>(line + 1), why));
  };
  std::vector<ResultNode> nodes(1);
  std::vector<ResultMember> members(1);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& l = lines[i];
    if (l.rfind("POINT", 0) == 0 && l.rfind("POINT2", 0) != 0) {
      int n = ReadInt(at(l, 10));
      if (n < 0 || n > kResultMaxNodes || i + n >= lines.size())
        return bad(text_path, i, "格点数が範囲外です");
      for (int k = 1; k <= n; ++k) {
        const std::string& nl = lines[i + k];
        nodes.push_back({ReadReal(at(nl, 10)), ReadReal(at(nl, 20))});
      }
      i += n;
    } else if (l.rfind("MEMBER", 0) == 0) {
      int n = ReadInt(at(l, 10));
      if (n < 0 || n > kResultMaxMembers || i + n >= lines.size())
        return bad(text_path, i, "部材数が範囲外です");
      for (int k = 1; k <= n; ++k) {
        const std::string& ml = lines[i + k];
        ResultMember m;
        m.node_i = ReadInt(at(ml, 10));
        m.node_j = ReadInt(at(ml, 15));
        m.end_i = ReadInt(at(ml, 30));
        m.end_j = ReadInt(at(ml, 35));
        members.push_back(m);
      }
      i += n;
    }
  }
  results.Allocate(static_cast<int>(nodes.size()) - 1, static_cast<int>(members.size()) - 1);
  for (int p = 1; p <= results.node_count; ++p) {
    results.nodes[p] = nodes[p];
    results.max_x = p == 1 ? nodes[p].x : std::max(results.max_x, nodes[p].x);
    results.max_y = p == 1 ? nodes[p].y : std::max(results.max_y, nodes[p].y);
  }
  for (int e = 1; e <= results.member_count; ++e) results.members[e] = members[e];
  std::vector<bool> seen(results.member_count + 1, false);

  // Member forces: load cases, then combinations stored after them.
  for (int pass = 0; pass < 2; ++pass) {
    std::string file = ResultFile(text_path, pass == 0 ? ".F31" : ".F32");
    auto bytes = ReadFileBytes(file);
    if (!bytes) continue;
    std::vector<std::string> fl = SplitLines(*bytes);
    int c = 0;
    for (std::size_t i = 0; i < fl.size(); ++i) {
      const std::string& l = fl[i];
      if (l.rfind("CASE", 0) == 0) {
        int number = ReadInt(at(l, 5));
        c = pass == 0 ? number : results.max_load_case + number;
        if (number < 1 || !results.HasCase(c)) return bad(file, i, "ケース番号が範囲外です");
        if (pass == 0) {
          results.max_load_case = std::max(results.max_load_case, number);
          results.load_case_count = results.max_load_case;
        } else {
          results.combination_count = std::max(results.combination_count, number);
        }
      } else if (l.rfind("MEMBR", 0) == 0) {
        if (c == 0) return bad(file, i, "CASE の行が有りません");
        int member = ReadInt(at(l, 5));
        int count = ReadInt(at(l, 20));
        if (count < 0 || count > kResultMaxPoints || i + count >= fl.size())
          return bad(file, i, "出力点の数が範囲外です");
        if (!results.HasMember(member)) {  // no such member: its lines are skipped
          i += count;
          continue;
        }
        MemberCaseResult& mc = results.At(c, member);
        mc.count = count;
        for (int k = 1; k <= count; ++k) {
          const std::string& pl = fl[i + k];
          auto& pt = mc.points[static_cast<std::size_t>(k)];
          pt[kCompX] = ReadReal(at(pl, 10));
          pt[kCompM] = ReadReal(at(pl, 20));
          pt[kCompS] = ReadReal(at(pl, 35));
          pt[kCompN] = ReadReal(at(pl, 50));
          pt[kCompDefl] = ReadReal(at(pl, 65));
        }
        if (!seen[member]) {
          seen[member] = true;
          ResultMember& rm = results.members[member];
          rm.count = count;
          for (int k = 1; k <= count; ++k)
            rm.positions[static_cast<std::size_t>(k)] =
                mc.points[static_cast<std::size_t>(k)][kCompX];
          rm.length = count > 0 ? rm.positions[static_cast<std::size_t>(count)] : 0;
        }
        i += count;
      }
    }
  }
  // Displacements.
  for (int pass = 0; pass < 2; ++pass) {
    std::string file = ResultFile(text_path, pass == 0 ? ".F21" : ".F22");
    auto bytes = ReadFileBytes(file);
    if (!bytes) continue;
    std::vector<std::string> fl = SplitLines(*bytes);
    for (std::size_t i = 0; i < fl.size(); ++i) {
      const std::string& l = fl[i];
      if (l.rfind("CASE", 0) != 0) continue;
      int number = ReadInt(at(l, 5));
      int count = ReadInt(at(l, 10));
      int c = pass == 0 ? number : results.max_load_case + number;
      if (number < 1 || !results.HasCase(c)) return bad(file, i, "ケース番号が範囲外です");
      if (count < 0 || count > kResultMaxNodes || i + count >= fl.size())
        return bad(file, i, "格点数が範囲外です");
      for (int k = 1; k <= count; ++k) {
        const std::string& dl = fl[i + k];
        int node = ReadInt(dl);
        if (!results.HasNode(node)) continue;
        results.Disp(c, node) = {ReadReal(at(dl, 5)), ReadReal(at(dl, 20)), ReadReal(at(dl, 35))};
      }
      i += count;
    }
  }
  return {};
}

namespace {

// What a search run reads of its results: the members it refines, in the
// combinations it refines (null: all three).
struct SearchScope {
  const std::vector<bool>* members = nullptr;
  const std::vector<bool>* combinations = nullptr;
};

// One analysis. search (may be null) marks a search run on the internal
// path: its text and result files are read by nobody (the library path
// reads both, and the condition-file and result-file views read only the
// main texts and their files), so it writes none of them unless every file
// is kept, and computes member values only for what the search reads.
std::string RunOneAnalysis(AnalysisResults& results, const std::string& text_path,
                           FrameModel& model, FrameAnalysisContext& ctx,
                           const MaxSearchMembers* members, const SearchScope* search) {
  std::string progress = "!! 計算中  [" + text_path + "]";
  if (ctx.ui) ctx.ui->Progress(progress);
  const bool work_files = !ctx.use_internal || !search || ctx.keep_result_files;
  std::string msg;
  // The library path's cache copy of the text. A text given as input is no
  // work file of the program: it has no cache copy, and a file named like
  // one beside it is the user's and is neither read nor removed.
  const bool cache_copy = !ctx.text_is_input;
  std::string bak = ChangeExtension(text_path, ".bak");
  auto remove_bak = [&] {
    if (cache_copy) RemoveFile(bak);
  };
  if (work_files) {
    // The internal path's text is no cache key: a work file of this run. A
    // text given as input (vaultra solve) is never rewritten.
    if (!ctx.text_is_input)
      msg = SaveFrameText(model, text_path,
                          ctx.use_internal ? WriteMode::kScratch : WriteMode::kDurable);
    if (!msg.empty()) return Fail(results, msg);
  } else if (FileExists(text_path)) {
    // A search text of an earlier run goes with its cache copy and result
    // files: the folder never shows a search text this run did not compute.
    RemoveFile(text_path);
    remove_bak();
    RemoveAllResultFiles(text_path);
  }
  if (ctx.use_internal) {
    if (ctx.ui) ctx.ui->Progress(progress);
    if (work_files) {
      // The result files are rewritten below, so the cache copy no longer
      // describes them.
      remove_bak();
      RemoveAllResultFiles(text_path);
    }
    model.solver_mode = 2;
    FrameSolveOptions options;
    options.cache = ctx.solve_cache;
    if (!work_files) {
      options.members = search->members;
      options.combinations = search->combinations;
      options.deflections = false;
    }
    msg = SolveFrame(model, results, options);
    if (!msg.empty()) {
      if (ctx.ui) ctx.ui->Tell(MsgKind::kError, msg);
      return Fail(results, msg);
    }
    // The files the library's path deletes after reading are not written.
    if (work_files) {
      msg = WriteInternalResults(
          results, model, text_path,
          ctx.keep_result_files ? kAllResultFiles : FilesKeptAfterReading(text_path));
      if (!msg.empty()) return Fail(results, msg);
    }
  } else {
    bool hit = cache_copy && FileExists(bak) && SameText(text_path, bak) &&
               ResultFilesPresent(text_path, model.combinations.Count() > 0);
    if (!hit) {
      remove_bak();
      RemoveAllResultFiles(text_path);
      if (!ctx.library) return Fail(results, "PlaneFrame SDK が用意されていません．");
      msg = RunFrameSdk(*ctx.library, ctx.folders, text_path, ctx.ui);
      if (!msg.empty()) {
        RemoveAllResultFiles(text_path);
        return Fail(results, msg);
      }
      auto bytes = ReadFileBytes(text_path);
      if (cache_copy && (!bytes || !WriteFileAtomic(bak, *bytes))) remove_bak();
    }
    msg = ReadFrameResults(results, text_path);
    if (!ctx.keep_result_files) DeleteFrameResultFiles(text_path);
    if (!msg.empty()) {
      remove_bak();
      return Fail(results, msg);
    }
  }
  MarkMaxPoints(results, model.combinations.Count(), members);
  return {};
}

}  // namespace

std::string RunFrameAnalysis(AnalysisResults& results, const std::string& text_path,
                             FrameModel& model, FrameAnalysisContext& ctx,
                             const MaxSearchMembers* members) {
  return RunOneAnalysis(results, text_path, model, ctx, members, nullptr);
}

namespace {

std::string SearchPath(const std::string& text_path, const std::string& suffix) {
  std::string ext;
  std::string name = FileNameOf(text_path);
  std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) ext = name.substr(dot);
  return ChangeExtension(text_path, "") + suffix + ext;
}

int FlaggedCount(const MaxSearchMembers& members, const FrameModel& model) {
  return std::min(static_cast<int>(members.size()) - 1, model.members.Count());
}

}  // namespace

void MergeRefinedMax(AnalysisResults& r, const AnalysisResults& s1, const AnalysisResults& s2,
                     const MaxSearchMembers& members, int k) {
  int d = r.max_load_case + k + 1;
  int d1 = s1.max_load_case + k + 1, d2 = s2.max_load_case + k + 1;
  if (!r.HasCase(d)) return;
  for (int e = 1; e <= r.member_count; ++e) {
    MemberCaseResult& mc = r.At(d, e);
    mc.refined = {};
    mc.merged = false;
    bool flagged = e < static_cast<int>(members.size()) && members[e].search;
    // Only the searched members are refined; the others keep the maximum
    // of the main run.
    if (!flagged || mc.max_index == 0) continue;
    mc.merged = true;
    if (!s2.HasCase(d2) || !s2.HasMember(e)) continue;
    const MemberCaseResult& sc = s2.At(d2, e);
    int b = sc.max_index;
    if (b < 1 || b > kResultMaxPoints + 1) continue;
    for (int c = 0; c < 4; ++c)
      mc.refined[static_cast<std::size_t>(c)] = sc.points[static_cast<std::size_t>(b)][c];
    int n = std::clamp(mc.count, 0, kResultMaxPoints);
    mc.max_index = n + 1;
    for (int c = 0; c < 4; ++c)
      mc.points[static_cast<std::size_t>(n + 1)][c] = mc.refined[static_cast<std::size_t>(c)];
  }
  for (int e = 1; e <= r.member_count; ++e) {
    MemberCaseResult& mc = r.At(d, e);
    bool flagged = e < static_cast<int>(members.size()) && members[e].search;
    if (!flagged || mc.merged || !s1.HasCase(d1) || !s1.HasMember(e)) continue;
    const MemberCaseResult& sc = s1.At(d1, e);
    int h = std::clamp((sc.count + 1) / 2, 1, kResultMaxPoints);
    for (int c = 0; c < 4; ++c)
      mc.refined[static_cast<std::size_t>(c)] = sc.points[static_cast<std::size_t>(h)][c];
    int n = std::clamp(mc.count, 0, kResultMaxPoints);
    mc.max_index = n + 1;
    for (int c = 0; c < 4; ++c)
      mc.points[static_cast<std::size_t>(n + 1)][c] = mc.refined[static_cast<std::size_t>(c)];
  }
}

bool AnalyseWithMaxSearch(AnalysisResults& results, AnalysisResults& s1, AnalysisResults& s2,
                          const std::string& text_path, FrameModel& model,
                          const MaxSearchMembers& members, FrameAnalysisContext& ctx,
                          std::string* message) {
  // The search runs differ from the main run only in their output points:
  // the internal solver solves the load cases once.
  FrameSolveCache cache;
  FrameSolveCache* outer_cache = ctx.solve_cache;
  if (!outer_cache) ctx.solve_cache = &cache;
  struct Restore {
    FrameAnalysisContext& ctx;
    FrameSolveCache* cache;
    ~Restore() { ctx.solve_cache = cache; }
  } restore{ctx, outer_cache};
  std::string msg = RunFrameAnalysis(results, text_path, model, ctx, &members);
  if (message) *message = msg;
  if (!msg.empty()) return false;
  OneBasedList<FrameEqualDivision> saved_div = model.equal_divisions;
  OneBasedList<FrameSpecifiedPositions> saved_spec = model.specified;
  int flagged_to = FlaggedCount(members, model);
  // The members the search runs refine: the only ones read from them.
  std::vector<bool> refined(static_cast<std::size_t>(std::max(flagged_to, 0)) + 1, false);
  for (int e = 1; e <= flagged_to; ++e) refined[static_cast<std::size_t>(e)] = members[e].search;
  model.equal_divisions.Clear();
  model.specified.Clear();
  for (int e = 1; e <= flagged_to; ++e) {
    if (!members[e].search) continue;
    FrameSpecifiedPositions sp;
    sp.member = model.members[e].number;
    double L = members[e].length;
    for (int i = 0; i <= 14; ++i) sp.positions.Add({0.01 + i * (L - 0.02) / 14, {}});
    model.specified.Add(sp);
  }
  const SearchScope first_scope{&refined, nullptr};
  bool first_ok =
      RunOneAnalysis(s1, SearchPath(text_path, "J(-)1"), model, ctx, &members, &first_scope)
          .empty();
  int combinations = std::min(3, model.combinations.Count());
  for (int k = 0; first_ok && k < combinations; ++k) {
    // The refinement runs of combination k read only that combination.
    std::vector<bool> only_k(static_cast<std::size_t>(model.combinations.Count()) + 1, false);
    only_k[static_cast<std::size_t>(k + 1)] = true;
    const SearchScope scope{&refined, &only_k};
    bool ok = true;
    // Stage 2 refines around the first search run's maximum, stage 3
    // around stage 2's.
    const AnalysisResults* before = &s1;
    for (int stage = 2; stage <= 3 && ok; ++stage) {
      model.specified.Clear();
      const AnalysisResults& from = *before;
      int c = from.max_load_case + k + 1;
      for (int e = 1; e <= flagged_to; ++e) {
        if (!members[e].search || !from.HasCase(c) || !from.HasMember(e)) continue;
        const MemberCaseResult& mc = from.At(c, e);
        int count = std::clamp(mc.count, 1, kResultMaxPoints);
        int f = mc.max_index;
        auto pos = [&](int idx) {
          return mc.points[static_cast<std::size_t>(std::max(1, std::min(idx, count)))][kCompX];
        };
        double xm = pos(f - 1), xp = pos(f + 1), xc = pos(count);
        double m = std::max((xp - xm) / 16, 0.01);
        double centre = (xp + xm) / 2;
        double low = std::min(centre - 7 * m, xc - 0.15);
        double high = std::max(centre + 7 * m, 0.15);
        double step = (high - low) / 16;
        double L = members[e].length;
        FrameSpecifiedPositions sp;
        sp.member = model.members[e].number;
        // Positions outside the member would be extrapolations: kept on it.
        for (int s = 1; s <= 15; ++s)
          sp.positions.Add({std::clamp(RoundTo3(low + s * step), 0.0, std::max(L, 0.0)), {}});
        model.specified.Add(sp);
      }
      ok = RunOneAnalysis(s2, SearchPath(text_path, Format("J(%d)%d", k, stage)), model, ctx,
                          &members, &scope)
               .empty();
      before = &s2;
    }
    // A failed refinement keeps the main run's maximum for this combination.
    if (ok) MergeRefinedMax(results, s1, s2, members, k);
  }
  model.equal_divisions = saved_div;
  model.specified = saved_spec;
  return true;
}

}  // namespace vaultra
