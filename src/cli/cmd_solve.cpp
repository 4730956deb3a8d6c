// vaultra solve FRAMETEXT [--internal] [--sdk-dir DIR --frame-dir DIR]:
// analyses one frame text and writes its result files (.F11 ... .F71)
// beside it, with the outside frame library (found as the run finds it
// unless the folders are given) or the internal solver.
#include <cstdio>

#include "analysis/analysis_driver.h"
#include "analysis/frame_file.h"
#include "analysis/frame_text.h"
#include "app/calc/navigation.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "core/cp932.h"
#include "core/fileio.h"

namespace vaultra::cli {

int CmdSolve(const ArgList& argv) {
  std::string error;
  auto args = ParseArgs(argv, {"--sdk-dir", "--frame-dir"}, {"--internal"}, &error);
  if (!args) return UsageError(error);
  if (args->positional.size() != 1) return UsageError("solve needs exactly one frame text");
  auto sdk = args->Option("--sdk-dir");
  auto frame = args->Option("--frame-dir");
  if (sdk.has_value() != frame.has_value())
    return UsageError("--sdk-dir and --frame-dir go together");

  std::string path = Utf8ToCp932(args->positional[0]);
  // The result files are written, and replaced, beside the text: a text
  // that is one of them (named FRAME.F21, or linked to it) would be lost.
  for (const char* ext : kResultFileExtensions) {
    const std::string result = ChangeExtension(path, ext);
    if (SameFile(result, path)) {
      std::fprintf(stderr,
                   "vaultra: %s: the frame text has the name of one of its result files (%s); "
                   "rename it, nothing was done\n",
                   args->positional[0].c_str(), Cp932ToUtf8(FileNameOf(result)).c_str());
      return kExitBadInput;
    }
  }
  FrameModel model;
  std::string msg = LoadFrameTextFile(path, model);
  if (!msg.empty()) {
    std::fprintf(stderr, "vaultra: %s\n", Cp932ToUtf8(msg).c_str());
    return kExitBadInput;
  }

  FrameSdkLibrary library;
  FrameAnalysisContext ctx;
  ctx.library = &library;
  ctx.use_internal = args->Has("--internal");
  ctx.keep_result_files = true;
  ctx.text_is_input = true;
  if (!ctx.use_internal) {
    if (sdk) {
      ctx.folders.sdk_dir = WithTrailingSlash(Utf8ToCp932(*sdk));
      ctx.folders.frame_dir = WithTrailingSlash(Utf8ToCp932(*frame));
    } else if (AppFolders app = ResolveAppFolders(SystemFolderEnvironment(std::nullopt));
               !app.demo_mode) {
      // The folders the run uses: PlaneFrame.txt beside the program, else
      // the fixed install folders.
      ctx.folders = {app.frame_sdk_dir, app.frame_app_dir};
    } else {
      std::fprintf(stderr, "vaultra: no frame library folders: the internal solver is used\n");
      ctx.use_internal = true;
    }
  }
  AnalysisResults results;
  msg = RunFrameAnalysis(results, path, model, ctx);
  if (!msg.empty()) {
    std::fprintf(stderr, "vaultra: %s\n", Cp932ToUtf8(msg).c_str());
    return kExitBadInput;
  }
  std::printf("%s: %d load cases, %d combinations, %d nodes, %d members (%s)\n",
              Cp932ToUtf8(path).c_str(), model.load_cases.Count(), model.combinations.Count(),
              results.node_count, results.member_count,
              ctx.use_internal ? "internal solver" : "frame library");
  std::printf("result files: %s.F11 ... .F71\n", Cp932ToUtf8(ChangeExtension(path, "")).c_str());
  return kExitOk;
}

}  // namespace vaultra::cli
