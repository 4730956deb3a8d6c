// vaultra section NAME=VALUE ... [--labels]
//
// Recomputes one RC section as the section-detail window does. NAME is one of
// the window's edit fields (edM, edN, ... edThs) or check boxes (CbFig1,
// CbFig2, CkTaH2; 0 clear, any other number checked). Fields not given keep
// the window's initial values; a given field is formatted by its tag as the
// window formats a field when it is left. The listing is printed one line
// per row. Values beyond ±1e9 are refused. --labels appends the result labels and the computed f′cd
// and fyd.

#include <cmath>
#include <cstdio>
#include <string>

#include "cli/args.h"
#include "cli/commands.h"
#include "core/cp932.h"
#include "core/format_by_tag.h"
#include "core/number.h"
#include "results/section_detail.h"

namespace vaultra::cli {

namespace {

// No section quantity of the window comes near this; beyond it the
// arithmetic would overflow into meaningless numbers.
constexpr double kMaxMagnitude = 1e9;

void PrintLine(const std::string& cp932) {
  std::printf("%s\n", Cp932ToUtf8(cp932).c_str());
}

}  // namespace

int CmdSection(const ArgList& argv) {
  SectionDetailWindow w;
  bool labels = false;
  for (const std::string& arg : argv) {
    if (arg == "--labels") {
      labels = true;
      continue;
    }
    if (!arg.empty() && arg[0] == '-') return UsageError("section: unknown option " + arg);
    const std::size_t eq = arg.find('=');
    if (eq == std::string::npos || eq == 0) {
      return UsageError("section: expected NAME=VALUE, got '" + arg + "'");
    }
    const std::string name = arg.substr(0, eq);
    const std::string value = Utf8ToCp932(arg.substr(eq + 1));
    const std::optional<double> number = ParseRealStrict(value);
    if (!number || !std::isfinite(*number)) {
      return UsageError("section: the value of " + name + " is not a number: '" +
                        arg.substr(eq + 1) + "'");
    }
    if (std::fabs(*number) > kMaxMagnitude) {
      return UsageError("section: the value of " + name + " is out of range: '" +
                        arg.substr(eq + 1) + "'");
    }
    if (name == "CbFig1") {
      w.inputs.cb_fig1 = *number != 0;
    } else if (name == "CbFig2") {
      w.inputs.cb_fig2 = *number != 0;
    } else if (name == "CkTaH2") {
      w.inputs.ck_ta_h2 = *number != 0;
    } else {
      const int field = SectionDetailFieldIndex(name);
      if (field < 0) {
        return UsageError("section: unknown field " + name +
                          " (edit fields edM ... edThs, check boxes CbFig1, CbFig2, CkTaH2)");
      }
      w.inputs.text[field] = FormatByTag(value, SectionDetailFields()[field].tag);
    }
  }

  Recompute(w);
  for (const std::string& line : w.listing) PrintLine(line);
  if (labels) {
    const SectionDetailLabels& lb = w.labels;
    const std::pair<const char*, const std::string*> rows[] = {
        {"edFdcd", &w.inputs.text[kSdFdcd]},
        {"edFyd", &w.inputs.text[kSdFyd]},
        {"lbSs3", &lb.lbSs3},
        {"lbTc3", &lb.lbTc3},
        {"lbTca", &lb.lbTca},
        {"lbAwa", &lb.lbAwa},
        {"lbMu3", &lb.lbMu3},
        {"lbVcd3", &lb.lbVcd3},
        {"lbVsd3", &lb.lbVsd3},
        {"lbLs", &lb.lbLs},
        {"lbRs", &lb.lbRs},
    };
    for (const auto& [key, text] : rows) PrintLine(std::string(key) + ": " + *text);
  }
  return kExitOk;
}

}  // namespace vaultra::cli
