// Helpers that read page records back for the report tests.
#pragma once

#include <string>
#include <vector>

#include "report/page_record.h"
#include "report/print_engine.h"

namespace vaultra::test {

struct GlyphAt {
  int x, y;
  std::string ch;  // cp932
  bool operator==(const GlyphAt&) const = default;
};

inline std::vector<GlyphAt> Glyphs(const PrintEngine& pe, int slot) {
  std::vector<GlyphAt> out;
  for (const auto& c : pe.records().Slot(slot))
    if (c.cmd == Cmd::kGlyph) out.push_back({c.v[0], c.v[1], c.text});
  return out;
}

// The dumped commands of a slot that start with one of the given words.
inline std::vector<std::string> Dumped(const PrintEngine& pe, int slot,
                                       std::initializer_list<const char*> words) {
  std::vector<std::string> out;
  for (const auto& c : pe.records().Slot(slot)) {
    const std::string line = DumpCommand(c);
    for (const char* w : words)
      if (line.compare(0, std::string(w).size() + 1, std::string(w) + " ") == 0)
        out.push_back(line);
  }
  return out;
}

inline int Count(const PrintEngine& pe, int slot, Cmd cmd) {
  int n = 0;
  for (const auto& c : pe.records().Slot(slot)) n += c.cmd == cmd;
  return n;
}

// A report engine on body page 1 (slot 11), records only.
inline void StartReport(PrintEngine& pe) {
  pe.BeginReportPages(1800, 2700);
  pe.SelectPageSlot(kFirstBodySlot);
  pe.NewPage();
}

// A report engine recording into slot 11 with no page decoration.
inline void StartBare(PrintEngine& pe) {
  pe.BeginReportPages(1800, 2700);
  pe.SelectPageSlot(kFirstBodySlot + 1);
  pe.SetBodyFont();
}

}  // namespace vaultra::test
