// Reading arbitrary bytes as a project file never crashes, never indexes
// past a table, and a file that was read saves to a text that reads back to
// the same text again (the first save normalises, later ones are stable).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/document/project_file.h"
#include "core/fileio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vaultra;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  PageLogic logic;
  static const ProjectState kDefaults = DefaultProjectState();
  ProjectState state = kDefaults;
  LoadResult result = LoadProjectText(state, bytes, "fuzz.vt1", logic);
  if (!result.loaded) return 0;
  const std::string first = JoinLinesCrLf(ProjectFileLines(state, "fuzz.vt1", logic));
  ProjectState again = kDefaults;
  LoadProjectText(again, first, "fuzz.vt1", logic);
  const std::string second = JoinLinesCrLf(ProjectFileLines(again, "fuzz.vt1", logic));
  ProjectState third = kDefaults;
  LoadProjectText(third, second, "fuzz.vt1", logic);
  if (JoinLinesCrLf(ProjectFileLines(third, "fuzz.vt1", logic)) != second) std::abort();
  return 0;
}
