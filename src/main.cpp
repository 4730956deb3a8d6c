// The vaultra executable: the window by default, headless sub-commands
// when the first argument names one.
#include <clocale>
#include <cstdio>

#include "cli/commands.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "C");
  int status = vaultra::cli::RunSubcommand(argc, argv);
  if (status >= 0) return status;
  std::fputs("vaultra: the window is not available in this build yet\n", stderr);
  std::fputs(vaultra::cli::UsageText(), stderr);
  return 2;
}
