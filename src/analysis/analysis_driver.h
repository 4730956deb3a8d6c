// The analysis driver: one plane-frame analysis of a frame model (frame
// text, result cache, outside library or internal solver, result files read
// back, maximum points), and the maximum-moment search around it.
#pragma once

#include <string>
#include <vector>

#include "analysis/analysis_results.h"
#include "analysis/frame_sdk.h"
#include "analysis/frame_solver.h"
#include "model/frame_model.h"

namespace vaultra {

class Ui;

// What an analysis needs from its surroundings.
struct FrameAnalysisContext {
  FrameSdkFolders folders;             // SDK and frame program folders
  bool use_internal = false;           // the solver choice flag of the run
  FrameSdkLibrary* library = nullptr;  // kept loaded across analyses
  Ui* ui = nullptr;                    // progress and messages; may be null
  // Keeps every result file of an analysis; the run deletes those it does
  // not read again.
  bool keep_result_files = false;
  // The frame text at the path is the input of the analysis (vaultra
  // solve): it is read, never rewritten.
  bool text_is_input = false;
  // Internal solutions shared by analyses of one model (may be null).
  FrameSolveCache* solve_cache = nullptr;
};

// A member as the maximum search sees it (from the structure model):
// length (m), member type code and whether the search refines it.
struct MaxSearchMember {
  double length = 0;
  int type = 0;
  bool search = false;
};
using MaxSearchMembers = std::vector<MaxSearchMember>;  // index 0 unused

// One analysis of the model written to text_path. Empty on success; on
// failure the message, results cleared and marked failed. members (may be
// null) gives the member types for the maximum points.
std::string RunFrameAnalysis(AnalysisResults& results, const std::string& text_path,
                             FrameModel& model, FrameAnalysisContext& ctx,
                             const MaxSearchMembers* members = nullptr);

// Fills results from the frame text and its result files (missing files are
// skipped). Every count, case and member read is bounded; empty on success,
// else a message naming the file and line, results cleared.
std::string ReadFrameResults(AnalysisResults& results, const std::string& text_path);

// Removes the result files a later cache hit does not need.
void DeleteFrameResultFiles(const std::string& text_path);

// Index (1-based) of the point with the largest moment among points 1..n:
// largest |M| for member type 12, else largest signed M; the first of equal
// values wins; n = 0 gives 1.
int FindMaxPoint(const MemberCaseResult& values, int n, int member_type);

// RunFrameAnalysis followed by the search runs that refine the maximum
// moment of the flagged members under the first three combinations. false
// only when the main analysis failed. search1/search2 are scratch records.
bool AnalyseWithMaxSearch(AnalysisResults& results, AnalysisResults& search1,
                          AnalysisResults& search2, const std::string& text_path, FrameModel& model,
                          const MaxSearchMembers& members, FrameAnalysisContext& ctx,
                          std::string* message = nullptr);

// Stores the refined maximum of combination k (0..2) from the search runs.
void MergeRefinedMax(AnalysisResults& results, const AnalysisResults& search1,
                     const AnalysisResults& search2, const MaxSearchMembers& members, int k);

}  // namespace vaultra
