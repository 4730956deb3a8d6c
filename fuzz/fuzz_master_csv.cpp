// Arbitrary bytes as the nine master CSV files: loading never crashes, never
// writes past a table and keeps every count within its capacity. The input is
// cut into up to nine files at the bytes FF FE; files without a part of their
// own get the first part.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "inputs/master_data.h"
#include "core/fileio.h"
#include "core/ui.h"

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

const std::string& Folder() {
  static const std::string folder = [] {
    // A memory file system when there is one: the search writes nine files a run.
    std::error_code ec;
    std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                     ? std::filesystem::path("/dev/shm")
                                     : std::filesystem::temp_directory_path();
    std::filesystem::path p = base / ("vaultra_fuzz_master_" + std::to_string(::getpid()));
    std::filesystem::create_directories(p);
    return p.string() + "/";
  }();
  return folder;
}

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
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < vaultra::kMasterSheetCount) {
    std::size_t cut = input.find("\xFF\xFE");
    if (cut == std::string_view::npos) break;
    parts.push_back(input.substr(0, cut));
    input.remove_prefix(cut + 2);
  }
  parts.push_back(input);
  for (int k = 0; k < vaultra::kMasterSheetCount; ++k) {
    std::string_view part = k < static_cast<int>(parts.size()) ? parts[k] : parts[0];
    // Plain writes: the inputs need no durability, and syncing would slow the search.
    std::ofstream out(
        vaultra::ToFsPath(vaultra::MasterCsvPath(Folder(), vaultra::kMasterSheetNames[k])),
        std::ios::binary | std::ios::trunc);
    out.write(part.data(), static_cast<std::streamsize>(part.size()));
    if (!out) std::abort();
  }
  SilentUi ui;
  vaultra::MasterData md = vaultra::LoadMasterData(Folder(), ui);
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
  volatile double sink = sum;
  (void)sink;
  return 0;
}
