// The headless sub-commands of the vaultra executable; each is a thin shell
// over the code the window calls. argv holds the arguments after the
// sub-command's name, in UTF-8.
#pragma once

#include <string>
#include <vector>

namespace vaultra::cli {

using ArgList = std::vector<std::string>;

int CmdResave(const ArgList& argv);
int CmdCalc(const ArgList& argv);
int CmdFrame(const ArgList& argv);
int CmdSolve(const ArgList& argv);
int CmdSection(const ArgList& argv);
int CmdDraw(const ArgList& argv);
int CmdTemplate(const ArgList& argv);
int CmdReport(const ArgList& argv);
int CmdFigure(const ArgList& argv);

// The usage text printed by --help and after a bad argument.
const char* UsageText();
// The version line printed by --version.
std::string VersionText();

// Runs a sub-command when argv[1] names one; returns -1 when it does not.
int RunSubcommand(int argc, char** argv);

}  // namespace vaultra::cli
