// The vaultra executable. The headless sub-commands run here, in a process
// that never loads the window toolkit; everything else (the window, and the
// sub-commands that draw) is the window program's, vaultra-gui beside this
// executable, which replaces this process with the same arguments.
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/args.h"
#include "cli/commands.h"
#include "core/memory_policy.h"

namespace {

constexpr const char* kWindowProgram = "vaultra-gui";

// The window program's path: beside the running executable.
std::string WindowProgramPath() {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  std::string dir = n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
  const std::size_t slash = dir.rfind('/');
  dir = slash == std::string::npos ? std::string(".") : dir.substr(0, slash);
  return dir + "/" + kWindowProgram;
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "C");
  vaultra::KeepFreedMemoryForReuse();
  const int status =
      vaultra::cli::RunGuarded("vaultra", [&] { return vaultra::cli::RunSubcommand(argc, argv); });
  if (status >= 0) return status;
  // Same arguments, same argv[0]: messages still name "vaultra".
  const std::string path = WindowProgramPath();
  ::execv(path.c_str(), argv);
  std::fprintf(stderr, "vaultra: cannot start %s: %s\n", path.c_str(), std::strerror(errno));
  return vaultra::cli::kExitBadInput;
}
