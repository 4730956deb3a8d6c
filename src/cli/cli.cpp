#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <string_view>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/open_project.h"
#include "core/cp932.h"

namespace vaultra::cli {

const char* UsageText() {
  return "usage:\n"
         "  vaultra [PROJECT.vt1]                        open the window (on the project, else the "
         "resume file)\n"
         "  vaultra calc PROJECT.vt1 [--work-dir DIR] [--internal] [--json OUT.json] [--report "
         "OUT.pdf [--formulas] [--ts]]\n"
         "  vaultra frame PROJECT.vt1 [--work-dir DIR]   build both frame models, write the frame "
         "texts\n"
         "  vaultra solve FRAMETEXT [--internal] [--sdk-dir DIR --frame-dir DIR]\n"
         "  vaultra section NAME=VALUE ...               recompute one RC section, print its "
         "listing\n"
         "  vaultra resave IN.vt1 OUT.vt1 [--work-dir DIR]\n"
         "  vaultra design PROJECT.vt1 -o PROPOSED.vt1 [--json OUT.json] [--quantities OUT.csv]\n"
         "                 [--work-dir DIR] [--internal]   propose the lightest passing bars\n"
         "  vaultra draw FILE.PCJ -o OUT.pdf|OUT.png\n"
         "  vaultra template FILE LABEL -o OUT.pdf|OUT.png\n"
         "  vaultra report PROJECT.vt1 -o OUT.pdf [--work-dir DIR] [--internal] [--formulas] "
         "[--ts]\n"
         "                 [--summary OUT.txt]\n"
         "  vaultra figure PROJECT.vt1 KIND -o OUT.png|OUT.pdf [--direction "
         "transverse|longitudinal]\n"
         "         [--case N] [--component M|S|N] [--blocks FIRST,COUNT] [--screen] [--work-dir "
         "DIR] [--internal]\n"
         "         KIND: section, ground, frame, points, loads, forces\n"
         "  vaultra --help | --version\n"
         "exit status: 0 done and every check satisfied, 1 some check not satisfied, 2 bad input "
         "or failed analysis\n";
}

std::optional<std::string> Args::Option(const std::string& name) const {
  auto it = options.find(name);
  if (it == options.end()) return std::nullopt;
  return it->second;
}

std::optional<Args> ParseArgs(const std::vector<std::string>& argv,
                              const std::set<std::string>& with_value,
                              const std::set<std::string>& flags, std::string* error) {
  Args args;
  for (std::size_t i = 0; i < argv.size(); ++i) {
    const std::string& a = argv[i];
    if (a.size() > 1 && a[0] == '-' && a != "-") {
      if (with_value.count(a)) {
        if (i + 1 >= argv.size()) {
          if (error) *error = "option " + a + " needs a value";
          return std::nullopt;
        }
        args.options[a] = argv[++i];
      } else if (flags.count(a)) {
        args.flags.insert(a);
      } else {
        if (error) *error = "unknown option " + a;
        return std::nullopt;
      }
    } else {
      args.positional.push_back(a);
    }
  }
  return args;
}

int UsageError(const std::string& message) {
  std::fprintf(stderr, "vaultra: %s\n%s", message.c_str(), UsageText());
  return kExitBadInput;
}

std::string SubcommandUsage(std::string_view name) {
  const std::string prefix = "  vaultra " + std::string(name) + " ";
  std::string out = "usage:\n";
  std::string_view text = UsageText();
  // An entry starts with "  vaultra "; deeper-indented lines continue it.
  bool in_entry = false;
  while (!text.empty()) {
    const std::size_t eol = text.find('\n');
    const std::string_view line =
        text.substr(0, eol == std::string_view::npos ? text.size() : eol + 1);
    text.remove_prefix(line.size());
    if (line.starts_with("  vaultra "))
      in_entry = line.starts_with(prefix);
    else if (!line.starts_with("   "))
      in_entry = false;
    if (in_entry || line.starts_with("exit status:")) out += line;
  }
  return out;
}

bool PrintSubcommandHelp(std::string_view name, const ArgList& args) {
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") {
      std::fputs(SubcommandUsage(name).c_str(), stdout);
      return true;
    }
  }
  return false;
}

bool RefuseUnrepresentable(int argc, char** argv, int first) {
  for (int i = first; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (IsValidUtf8(a) && Cp932ToUtf8(Utf8ToCp932(a)) == a) continue;
    std::fprintf(stderr,
                 "vaultra: argument \"%s\": the name holds characters outside cp932 (the "
                 "program's character set); a file of that name cannot be read or written, "
                 "rename it\n",
                 argv[i]);
    return true;
  }
  return false;
}

int CheckWindowStart(int argc, char** argv, std::string* project_problem) {
  if (RefuseUnrepresentable(argc, argv, 1)) return kExitBadInput;
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] == '-') continue;  // the window's own argument check follows
    const char* why = NotAProjectFile(Utf8ToCp932(argv[i]));
    if (*why) {
      std::fprintf(stderr, "vaultra: %s: %s\n", argv[i], why);
      if (!project_problem) return kExitBadInput;
      *project_problem = why;
    }
  }
  auto set = [](const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
  };
  if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("QT_QPA_PLATFORM")) {
    std::fprintf(stderr, "vaultra: no display; use a sub-command (vaultra --help)\n");
    return kExitBadInput;
  }
  return -1;
}

int RunGuarded(const char* program, const std::function<int()>& body) {
  try {
    return body();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vaultra: internal error in %s, nothing more was done: %s\n", program,
                 e.what());
  } catch (...) {
    std::fprintf(stderr, "vaultra: internal error in %s, nothing more was done\n", program);
  }
  return kExitBadInput;
}

int RunSubcommand(int argc, char** argv) {
  if (argc < 2) return -1;
  const char* name = argv[1];
  ArgList rest(argv + 2, argv + argc);
  struct Entry {
    const char* name;
    int (*fn)(const ArgList&);
  };
  // The commands that need no display: they run in this process, which
  // never loads the window toolkit (a report's PDF is written without it).
  static constexpr Entry kCommands[] = {
      {"calc", CmdCalcWithReport}, {"report", CmdReport},   {"frame", CmdFrame},
      {"solve", CmdSolve},         {"section", CmdSection}, {"resave", CmdResave},
      {"design", CmdDesign},
  };
  if (std::strcmp(name, "--help") == 0 || std::strcmp(name, "-h") == 0) {
    std::fputs(UsageText(), stdout);
    return kExitOk;
  }
  if (std::strcmp(name, "--version") == 0) {
    std::printf("%s\n", VersionText().c_str());
    return kExitOk;
  }
  for (const Entry& e : kCommands) {
    if (std::strcmp(name, e.name) != 0) continue;
    if (PrintSubcommandHelp(e.name, rest)) return kExitOk;
    if (RefuseUnrepresentable(argc, argv, 2)) return kExitBadInput;
    return e.fn(rest);
  }
  if (name[0] == '-') return UsageError(std::string("unknown option ") + name);
  return -1;  // a drawing command or a project path: the window program's
}

}  // namespace vaultra::cli
