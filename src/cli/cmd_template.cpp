// vaultra template FILE LABEL -o OUT.pdf|OUT.png: one labelled section of a
// report template file on report pages, with optional values for its fields.
#include <cstdio>

#include "cli/args.h"
#include "cli/commands.h"
#include "core/comma_text.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "core/number.h"
#include "report/print_engine.h"
#include "report/report_template.h"
#include "report/report_text.h"

namespace vaultra::cli {

int WriteReportOutput(const PrintEngine& pe, const std::vector<int>& page_slots,
                      const std::string& out_utf8);

int CmdTemplate(const ArgList& argv) {
  std::string error;
  auto args =
      ParseArgs(argv, {"-o", "--type", "--letters", "--values", "--named"}, {"--internal"}, &error);
  if (!args) return UsageError(error);
  if (args->positional.size() != 2) return UsageError("template needs a template file and a label");
  const auto out = args->Option("-o");
  if (!out) return UsageError("template needs -o OUT.pdf|OUT.png");
  const std::string path = Utf8ToCp932(args->positional[0]);
  const std::string title = Utf8ToCp932(args->positional[1]);
  const std::string type = Utf8ToCp932(args->Option("--type").value_or(""));
  PrintEngine pe;
  pe.internal_solver = args->Has("--internal");
  if (!LoadTemplateFile(pe, path)) {
    std::fprintf(stderr, "vaultra: cannot read %s\n", args->positional[0].c_str());
    return kExitBadInput;
  }
  if (FindSection(pe, title, type) < 0) {
    std::fprintf(stderr, "vaultra: no section labelled '%s' in %s\n", args->positional[1].c_str(),
                 args->positional[0].c_str());
    return kExitBadInput;
  }
  pe.BeginReportPages(1800, 2700);
  for (char c : args->Option("--letters").value_or(""))
    if (c >= 'A' && c <= 'Z') SetLetter(pe, c);
  pe.SelectPageSlot(kFirstBodySlot);
  ResetHeadingNumbers(pe);
  pe.NewPage();
  PrintSection(pe, 0, title, type, 99);
  // Values fill the sequential fields in drawing order: numbers right-aligned,
  // anything else as text. Named values are LABEL=VALUE pairs.
  for (const std::string& v : SplitCommaText(Utf8ToCp932(args->Option("--values").value_or("")))) {
    if (auto number = ParseRealStrict(v))
      FillNumber(pe, -1, *number, true);
    else
      FillText(pe, -1, v, true);
  }
  for (const std::string& pair :
       SplitCommaText(Utf8ToCp932(args->Option("--named").value_or("")))) {
    const std::size_t eq = pair.find('=');
    if (eq == std::string::npos) return UsageError("--named takes LABEL=VALUE pairs");
    const std::string label = pair.substr(0, eq), value = pair.substr(eq + 1);
    if (auto number = ParseRealStrict(value))
      FillNumberNamed(pe, label, *number, true);
    else
      FillTextNamed(pe, value, label, true);
  }
  const int body = pe.records().current();
  const int contents = BuildContentsPages(pe);
  std::vector<int> page_slots;
  const bool png = out->size() >= 4 && (out->compare(out->size() - 4, 4, ".png") == 0 ||
                                        out->compare(out->size() - 4, 4, ".PNG") == 0);
  if (png) {
    page_slots.push_back(body);
  } else {
    for (int k = 1; k <= contents; ++k) page_slots.push_back(k);
    page_slots.push_back(body);
  }
  return WriteReportOutput(pe, page_slots, *out);
}

}  // namespace vaultra::cli
