// The built-in blocks of the report: every chapter text that is not a
// section of the template file, in the template language, by name.
#include <map>
#include <string>
#include <vector>

#include "report/build_report.h"

namespace vaultra {

namespace {

using Block = std::vector<std::string>;

const std::map<std::string, Block, std::less<>>& Blocks() {
  static const std::map<std::string, Block, std::less<>> kBlocks = {
#include "report/report_blocks_conditions.inc"
#include "report/report_blocks_loads.inc"
  };
  return kBlocks;
}

}  // namespace

const std::vector<std::string>& ReportBlock(std::string_view name) {
  static const Block kEmpty;
  const auto& blocks = Blocks();
  const auto it = blocks.find(name);
  return it == blocks.end() ? kEmpty : it->second;
}

}  // namespace vaultra
