// Command-line arguments of the headless sub-commands.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vaultra::cli {

// Exit statuses: 0 done and every check satisfied, 1 done with some check
// not satisfied, 2 bad input or a failed analysis.
constexpr int kExitOk = 0;
constexpr int kExitNotSatisfied = 1;
constexpr int kExitBadInput = 2;

struct Args {
  std::vector<std::string> positional;         // UTF-8, as given
  std::map<std::string, std::string> options;  // "--work-dir" -> value
  std::set<std::string> flags;                 // "--internal"

  bool Has(const std::string& flag) const { return flags.count(flag) != 0; }
  std::optional<std::string> Option(const std::string& name) const;
};

// Parses argv[first..]: options listed in with_value take the next argument,
// those in flags stand alone, "-o" is an option too. Returns empty and sets
// error on an unknown option or a missing value.
std::optional<Args> ParseArgs(const std::vector<std::string>& argv, const std::set<std::string>& with_value,
                              const std::set<std::string>& flags, std::string* error);

// Prints "vaultra: <message>" and the usage to stderr; returns kExitBadInput.
int UsageError(const std::string& message_utf8);

}  // namespace vaultra::cli
