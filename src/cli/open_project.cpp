#include "cli/open_project.h"

#include <cstdio>
#include <filesystem>

#include "cli/args.h"
#include "core/cp932.h"
#include "core/fileio.h"

namespace vaultra::cli {

namespace {

void PrintAll(const char* label, const std::vector<std::string>& texts,
              std::vector<std::string>* kept = nullptr) {
  for (const std::string& t : texts) {
    const std::string utf8 = Cp932ToUtf8(t);
    std::fprintf(stderr, "vaultra: %s: %s\n", label, utf8.c_str());
    if (kept) kept->push_back(utf8);
  }
}

}  // namespace

const char* NotAProjectFile(const std::string& cp932_path) {
  std::error_code ec;
  const std::filesystem::file_status st = std::filesystem::status(ToFsPath(cp932_path), ec);
  switch (st.type()) {
    case std::filesystem::file_type::not_found:
      return "no such project file";
    case std::filesystem::file_type::directory:
      return "not a regular file (a folder)";
    case std::filesystem::file_type::fifo:
      return "not a regular file (a FIFO)";
    case std::filesystem::file_type::character:
    case std::filesystem::file_type::block:
      return "not a regular file (a device)";
    case std::filesystem::file_type::regular:
      return "";
    default:
      return ec ? "cannot be examined (permission?)" : "not a regular file";
  }
}

CliProject::CliProject(const std::optional<std::string>& work_dir_utf8)
    : folders(ResolveAppFolders(SystemFolderEnvironment(work_dir_utf8))),
      master(LoadMasterData(folders.material_master_dir, ui)),
      logic(master),
      state(DefaultProjectState()) {}

bool CliProject::Open(const std::string& path_utf8) {
  // Every figure depends on the catalogue: a project is not worked on over
  // a catalogue that could not be read, is incomplete or out of range (its
  // errors were told while it was read).
  if (ui.ErrorCount() > 0 || !master.problems.empty()) {
    problems.push_back("the catalogue in " + Cp932ToUtf8(folders.material_master_dir) +
                       " has errors; nothing was done");
    for (const std::string& p : master.problems) problems.push_back(Cp932ToUtf8(p));
    std::fprintf(stderr, "vaultra: the catalogue in %s has errors (above); nothing was done\n",
                 Cp932ToUtf8(folders.material_master_dir).c_str());
    return false;
  }
  if (FileExists(folders.default_resume_file)) {
    LoadResult defaults = LoadProjectFile(state, folders.default_resume_file, logic);
    PrintAll("warning", defaults.errors);
    logic.TakeMessages();
  } else {
    std::fprintf(
        stderr,
        "vaultra: warning: no default resume file %s; the pages keep their designed values\n",
        Cp932ToUtf8(folders.default_resume_file).c_str());
  }
  const std::string in = Utf8ToCp932(path_utf8);
  if (!FileExists(in)) {
    problems.push_back(path_utf8 + ": " + NotAProjectFile(in));
    std::fprintf(stderr, "vaultra: %s\n", problems.back().c_str());
    return false;
  }
  result = LoadProjectFile(state, in, logic);
  if (!result.loaded || !result.errors.empty()) {
    PrintAll("error", result.errors, &problems);
    if (result.errors.empty()) {
      problems.push_back(path_utf8 + ": not a project file");
      std::fprintf(stderr, "vaultra: %s\n", problems.back().c_str());
    }
    return false;
  }
  PrintAll("warning", result.warnings);
  std::vector<std::string> structure = logic.TakeMessages();
  for (std::string& p : structure) p = FileNameOf(in) + ": " + p;
  if (!structure.empty()) {
    PrintAll("error", structure, &problems);
    return false;
  }
  return true;
}

}  // namespace vaultra::cli
