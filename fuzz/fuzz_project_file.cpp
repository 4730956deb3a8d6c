// Reading arbitrary bytes as a project file never crashes and never
// indexes past a table; a file that is refused leaves the state as it was.
// (The save round trip of what was read is fuzz_project_roundtrip: each of
// its saves writes every control of every page, which costs a hundred
// times the read of a short input.)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/document/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vaultra;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  static PageLogic logic;
  static const ProjectState kDefaults = DefaultProjectState();
  // Assigned, not built anew: the tables keep their storage between inputs.
  static ProjectState state = kDefaults;
  state = kDefaults;
  const LoadResult result = LoadProjectText(state, bytes, "fuzz.vt1", logic);
  auto same_counts = [](const StructureModel& a, const StructureModel& b) {
    return a.node_count == b.node_count && a.member_count == b.member_count &&
           a.block_count == b.block_count;
  };
  if (!result.loaded && (!same_counts(state.transverse, kDefaults.transverse) ||
                         !same_counts(state.longitudinal, kDefaults.longitudinal)))
    std::abort();
  return 0;
}
