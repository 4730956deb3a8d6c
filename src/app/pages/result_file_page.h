// The result-file view's logic without its window: the member-force result
// files of the last transverse analysis as lines of text.
#pragma once

#include <string>
#include <vector>

namespace vaultra {

// The separator written before every line that names "部材": 40 "■" (cp932).
std::string ResultFileSeparator();

// What the view reads: the transverse frame text of the last build and
// whether an analysis has run on it since.
struct ResultFileSource {
  std::string transverse_path;  // cp932; empty before any build
  bool analysed = false;
  bool transverse_failed = false;  // the last run could not analyse the transverse frame
  std::string failure;             // cp932, the run's message for that failure
};

// The lines of the view (cp932): for ".F31" and then ".F32" beside the
// frame text, when the file exists, its full name and then its lines, with
// the separator before each line that contains "部材". Nothing before an
// analysis. A failed transverse analysis puts its message first, so that
// files left by an earlier run never read as this run's results; a file
// that exists but cannot be read is named with the reason.
std::vector<std::string> ResultFileLines(const ResultFileSource& source);

}  // namespace vaultra
