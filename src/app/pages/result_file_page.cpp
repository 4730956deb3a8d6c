#include "app/pages/result_file_page.h"

#include "core/cp932.h"
#include "core/fileio.h"

namespace vaultra {

std::string ResultFileSeparator() {
  std::string s;
  for (int i = 0; i < 40; ++i) s += "■";
  return s;
}

std::vector<std::string> ResultFileLines(const ResultFileSource& source) {
  std::vector<std::string> out;
  if (!source.analysed || source.transverse_path.empty()) return out;
  if (source.transverse_failed) out.push_back(source.failure);
  const std::string separator = ResultFileSeparator();
  for (const char* ext : {".F31", ".F32"}) {
    const std::string file = ChangeExtension(source.transverse_path, ext);
    if (!FileExists(file)) continue;
    out.push_back(file);
    std::string error;
    const std::optional<std::string> bytes = ReadFileBytes(file, &error);
    if (!bytes) {
      out.push_back("ファイルを読めません: " + error);
      continue;
    }
    for (std::string& line : SplitLines(*bytes)) {
      if (FindText(line, "部材") != std::string::npos) out.push_back(separator);
      out.push_back(std::move(line));
    }
  }
  return out;
}

}  // namespace vaultra
