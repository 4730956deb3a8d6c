// The headless sub-commands of the vaultra executable; each is a thin shell
// over the code the window calls. argv holds the arguments after the
// sub-command's name, in UTF-8.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vaultra::cli {

using ArgList = std::vector<std::string>;

int CmdResave(const ArgList& argv);
int CmdDesign(const ArgList& argv);
int CmdFrame(const ArgList& argv);
int CmdSolve(const ArgList& argv);
int CmdSection(const ArgList& argv);
int CmdDraw(const ArgList& argv);
int CmdTemplate(const ArgList& argv);
int CmdReport(const ArgList& argv);
// calc, which can also write the report (--report OUT.pdf).
int CmdCalcWithReport(const ArgList& argv);
int CmdFigure(const ArgList& argv);

// The usage text printed by --help and after a bad argument.
const char* UsageText();
// The usage lines of one sub-command and the exit statuses, taken from
// UsageText(): printed by "vaultra NAME --help".
std::string SubcommandUsage(std::string_view name);
// Prints that usage and returns true when the arguments ask for it.
bool PrintSubcommandHelp(std::string_view name, const ArgList& args);
// The version line printed by --version: the release and the version date.
std::string VersionText();

// The program names files in cp932: an argument from first on that does
// not convert there and back unchanged (invalid UTF-8, or a character cp932
// lacks, as in "Müller.vt1") would name another file. True, with the
// argument told on stderr, when one is refused.
bool RefuseUnrepresentable(int argc, char** argv, int first);

// Runs a program's body; an exception that escapes it is told on stderr as
// an internal error and gives exit status 2, never an abort.
int RunGuarded(const char* program, const std::function<int()>& body);

// Before the window starts: exit status 2 with the reason when no display
// is available or the project named is no regular file; -1 when the window
// may start. With `project_problem` a project that is no regular file does
// not stop the start: the reason (also on stderr) is left there instead.
int CheckWindowStart(int argc, char** argv, std::string* project_problem = nullptr);

// Runs a headless sub-command (calc, frame, solve, section, resave, --help,
// --version) when argv[1] names one, or reports an unknown option; returns
// -1 when argv[1] is none of these (a drawing command, a project path, or
// nothing) or when the command must draw (calc --report): the window program
// takes those.
int RunSubcommand(int argc, char** argv);

// In the window program: runs a sub-command that draws (draw, template,
// report, figure) when argv[1] names one; returns -1 when it does not.
int RunDrawingSubcommand(int argc, char** argv);

}  // namespace vaultra::cli
