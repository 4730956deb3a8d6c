// vaultra section NAME=VALUE ... [--labels]
//
// Recomputes one RC section as the section-detail window does. NAME is one of
// the window's edit fields (edM, edN, ... edThs) or check boxes (CbFig1,
// CbFig2, CkTaH2; 0 clear, any other number checked). Fields not given keep
// the window's initial values; a given field is formatted by its tag as the
// window formats a field when it is left. The listing is printed one line
// per row. Values beyond ±1e9 and sections that cannot exist (no width or
// height, the covers filling the height, negative bar areas, zero moduli or
// strengths) are refused with exit status 2. --labels appends the result
// labels and the computed f′cd and fyd. Exit status 1 when the flexural or
// shear safety exceeds 1 (or cannot be computed).

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

void PrintLine(const std::string& cp932) {
  std::printf("%s\n", Cp932ToUtf8(cp932).c_str());
}

// Why the fields describe no section that can exist; empty when they do.
// The window itself floors b, h and the factors to keep going while a
// value is being typed; the command refuses instead of printing numbers
// of a section nobody can build.
std::string NonPhysicalReason(const SectionDetailInputs& in) {
  auto v = [&](int f) { return in.Value(f); };
  auto name = [](int f) { return std::string(SectionDetailFields()[f].name); };
  for (int f : {kSdB, kSdH, kSdEc, kSdEs, kSdEN, kSdFdck, kSdGmc, kSdGms, kSdGmbm, kSdGmbc,
                kSdGmbs})
    if (!(v(f) > 0)) return name(f) + " must be greater than 0 (" + Format("%g", v(f)) + ")";
  for (int f : {kSdDd1, kSdDd2, kSdAs1, kSdAs2, kSdAw, kSdSs, kSdFyk, kSdFwyd})
    if (v(f) < 0) return name(f) + " must not be negative (" + Format("%g", v(f)) + ")";
  // The bars of the two faces lie inside the section, one face's above the
  // other's.
  if (v(kSdDd1) + v(kSdDd2) >= v(kSdH))
    return Format("the covers edDd1 + edDd2 = %g + %g mm reach the height edH = %g mm",
                  v(kSdDd1), v(kSdDd2), v(kSdH));
  if (v(kSdAw) > 0 && !(v(kSdSs) > 0))
    return Format("stirrups edAw = %g need a spacing edSs greater than 0", v(kSdAw));
  if (v(kSdThs) < 0 || v(kSdThs) >= 180)
    return Format("edThs = %g is no angle of stirrups (0 ... 180 degrees)", v(kSdThs));
  return {};
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
    if (!IsPlausibleInput(*number)) {
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

  if (const std::string why = NonPhysicalReason(w.inputs); !why.empty()) {
    std::fprintf(stderr, "vaultra: section: %s\n", why.c_str());
    return kExitBadInput;
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
  const SectionDetailSafety& sf = w.safety;
  if (!sf.checked) return kExitOk;  // no capacity part (fyk 0 or the graph off)
  const bool finite = std::isfinite(sf.flexure) && std::isfinite(sf.shear);
  if (!finite || sf.flexure > 1 || sf.shear > 1) {
    std::fprintf(stderr, "vaultra: section: N.G. (flexural safety %.3f, shear safety %.3f)\n",
                 sf.flexure, sf.shear);
    return kExitNotSatisfied;
  }
  return kExitOk;
}

}  // namespace vaultra::cli
