// Arbitrary bytes as one catalogue CSV file: reading and range-checking the
// table never crashes, never writes past a table and keeps every count
// within its capacity. The first byte picks the worksheet (modulo nine), the
// rest is the file's text, read by the step the catalogue loader takes for
// every file. One table a run keeps an execution to the reader itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/ui.h"
#include "inputs/master_data.h"

namespace {

class SilentUi : public vaultra::Ui {
 public:
  void Tell(vaultra::MsgKind, const std::string&) override {}
  bool Ask(const std::string&) override { return true; }
  std::optional<std::string> InputText(const std::string&, const std::string&,
                                       const std::string&) override {
    return std::nullopt;
  }
};

template <typename Table>
void CheckCount(const Table& t) {
  if (t.count() < 0 || t.count() > Table::kCapacity) std::abort();
  int n = 0;
  for (const auto& r : t) {
    (void)r;
    ++n;
  }
  if (n != t.count()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int sheet = data[0] % vaultra::kMasterSheetCount;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  SilentUi ui;
  vaultra::MasterData md;
  vaultra::ReadMasterSheet(sheet, text, md, ui, "fuzz.csv");
  CheckCount(md.stand);
  CheckCount(md.box);
  CheckCount(md.mini_gate);
  CheckCount(md.slab);
  CheckCount(md.rebar);
  CheckCount(md.end_walls);
  CheckCount(md.materials);
  CheckCount(md.bolt_types);
  CheckCount(md.pc_strengths);
  CheckCount(md.bolt_sizes);
  CheckCount(md.rebar_sizes);
  CheckCount(md.pc_sizes);
  // Every bar size the arrangements hold can be looked up safely.
  double sum = 0;
  for (const auto& r : md.rebar)
    for (int t = 1; t <= 4; ++t)
      for (int v = 0; v < 8; ++v) {
        sum += md.AreaByDiameter(r.Entry(t, v).size1) + md.AreaByBoltSize(r.Entry(t, v).size2);
        if (r.name.size() > 23) std::abort();
      }
  for (const auto& p : md.stand)
    if (p.name.size() > 31) std::abort();
  // A table read without a problem holds only finite cells.
  for (double a : md.area_by_diameter)
    if (md.problems.empty() && !(a == a && a - a == 0)) std::abort();
  volatile double sum_sink = sum;
  (void)sum_sink;
  return 0;
}
