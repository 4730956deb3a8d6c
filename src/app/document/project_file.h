// The project file (".vt1") and the resume files in the same format: three
// header lines, the structure tables of both directions in fixed-width
// blocks, then one section per page.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/document/project_state.h"
#include "core/ui.h"

namespace vaultra {

// The format version every file is written with.
inline constexpr const char* kProjectFormatVersion = "1.01";

// What loading and saving ask of the pages. Every operation does nothing
// here; the pages' logic overrides what it owns.
class PageLogic {
 public:
  virtual ~PageLogic() = default;
  // Clear the model record and the other fixed parts before a file is read.
  virtual void ClearFixedState(ProjectState&) {}
  // Fill the page's run-time lists (master tables) before its section is read.
  virtual void PrepareRead(ProjectState&, FormId) {}
  // Take the page's controls into its record of the project state.
  virtual void CommitInputs(ProjectState&, FormId) {}
  // What a page does after its section was read (the section-detail
  // window recomputes).
  virtual void AfterRead(ProjectState&, FormId) {}
  // Recompute the structure models from the tables just read.
  virtual void RecomputeStructure(ProjectState&) {}
  // The end of loading: captions, the model update, entering the model page.
  virtual void FinishLoad(ProjectState&) {}
  // Bring a page's controls up to date before its section is written (the
  // points-of-interest page refills its tables from the model).
  virtual void PrepareWrite(ProjectState&, FormId) {}
};

struct LoadResult {
  bool loaded = false;  // false: the file was refused as a whole, the state is unchanged
  std::string version;  // the version of header line 1 ("" when it has no "=")
  std::vector<std::string> errors;    // data refused or cut short (cp932)
  std::vector<std::string> warnings;  // missing sections or blocks (cp932)
  // True when the version is below the current format (byte-wise).
  bool OldFormat() const { return version < kProjectFormatVersion; }
};

// The warning shown when a file of an older format was loaded.
extern const char* const kOldFormatWarning;

// The whole text of the project file for the current state. Before writing,
// the model page's list indexes go into their hidden carriers and every
// block, node and member gets its own index as its number.
std::vector<std::string> ProjectFileLines(ProjectState& state, std::string_view path,
                                          PageLogic& logic);

// Writes the project file through a temporary file; on failure the previous
// file stays and error says why (cp932).
bool SaveProjectFile(ProjectState& state, const std::string& path, PageLogic& logic,
                     std::string* error = nullptr);

// Reads a project file's text into the state. A text that is not a project
// file at all is refused; otherwise everything the file holds is taken,
// and parts that cannot be taken safely (counts beyond the capacity, blocks
// cut short) keep their previous state and are listed in errors.
LoadResult LoadProjectText(ProjectState& state, std::string_view bytes, const std::string& path,
                           PageLogic& logic);
LoadResult LoadProjectFile(ProjectState& state, const std::string& path, PageLogic& logic);

// Loading as the file commands do it: the problems and the old-format
// warning are shown through the Ui.
LoadResult OpenProjectFile(ProjectState& state, const std::string& path, PageLogic& logic, Ui& ui);
// Saving as the file commands do it: a failure is shown through the Ui.
bool SaveProjectFileUi(ProjectState& state, const std::string& path, PageLogic& logic, Ui& ui);

// ---- file commands of the main window ------------------------------------------

// The resume file keeps the last state between runs.
bool SaveResumeFile(ProjectState& state, const std::string& resume_file, PageLogic& logic, Ui& ui);
// Reads the resume file, or the default resume file when there is none;
// shows the old-format warning. Returns the result of the file read.
LoadResult LoadResumeFile(ProjectState& state, const std::string& resume_file,
                          const std::string& default_resume_file, PageLogic& logic, Ui& ui);

// "開く" after the open dialog returned `chosen`: the resume file is saved,
// the project with extension ".vt1" is read and becomes the current one.
LoadResult OpenCommand(ProjectState& state, const std::string& chosen,
                       const std::string& resume_file, PageLogic& logic, Ui& ui);
// "名前を付けて保存" after the save dialog returned `chosen`.
bool SaveAsCommand(ProjectState& state, const std::string& chosen, PageLogic& logic, Ui& ui);
// "上書き保存": asks before replacing an existing file; without one it
// behaves as save-as with the name the dialog returns (empty: cancelled).
bool SaveCommand(ProjectState& state, PageLogic& logic, Ui& ui,
                 const std::function<std::optional<std::string>()>& save_dialog);

}  // namespace vaultra
