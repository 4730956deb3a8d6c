// Opening a project on the command line the way the program does at
// start-up: the catalogue beside the program, the default resume file for
// the page defaults, then the project itself.
#pragma once

#include <optional>
#include <string>

#include "app/calc/navigation.h"
#include "app/document/project_file.h"
#include "app/pages/page_logic_impl.h"
#include "core/ui.h"
#include "inputs/master_data.h"

namespace vaultra::cli {

// Why a path given as a project is none ("no such project file", "not a
// regular file (a folder)", ...); empty for a regular file.
const char* NotAProjectFile(const std::string& cp932_path);

class CliProject {
 public:
  explicit CliProject(const std::optional<std::string>& work_dir_utf8);
  CliProject(const CliProject&) = delete;
  CliProject& operator=(const CliProject&) = delete;

  // Loads the project; false (the reason already on stderr) when the master
  // catalogue could not be read, or the file is missing, refused, or its
  // structure cannot be generated.
  bool Open(const std::string& path_utf8);

  AppFolders folders;
  StderrUi ui;
  MasterData master;
  InputPageLogic logic;
  ProjectState state;
  LoadResult result;  // of the project file
  // Why Open refused the project, as told on stderr (UTF-8).
  std::vector<std::string> problems;
};

}  // namespace vaultra::cli
