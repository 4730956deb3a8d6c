#include "core/comma_text.h"

#include <algorithm>

namespace vaultra {

namespace {

bool NeedsQuotes(std::string_view cell) {
  for (unsigned char c : cell) {
    if (c <= ' ' || c == ',' || c == '"') return true;
  }
  return false;
}

bool IsBlankOrControl(unsigned char c) { return c >= 1 && c <= ' '; }

}  // namespace

std::string EncodeCommaText(const std::vector<std::string>& cells) {
  if (cells.size() == 1 && cells[0].empty()) return "\"\"";
  std::string out;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) out.push_back(',');
    const std::string& cell = cells[i];
    if (!NeedsQuotes(cell)) {
      out += cell;
      continue;
    }
    out.push_back('"');
    for (char c : cell) {
      if (c == '"') out.push_back('"');
      out.push_back(c);
    }
    out.push_back('"');
  }
  return out;
}

std::vector<std::string> SplitCommaText(std::string_view text) {
  std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  std::vector<std::string> items;
  // One item a comma at most, and one more: no regrowth on long lines.
  items.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), ',')) + 1);
  std::size_t p = 0;
  const std::size_t n = text.size();
  auto at = [&](std::size_t i) -> unsigned char {
    return i < n ? static_cast<unsigned char>(text[i]) : 0;
  };
  while (IsBlankOrControl(at(p))) ++p;
  while (p < n) {
    std::string item;
    if (at(p) == '"') {
      ++p;
      while (p < n) {
        if (at(p) == '"') {
          if (at(p + 1) == '"') {
            item.push_back('"');
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        item.push_back(text[p]);
        ++p;
      }
    } else {
      std::size_t b = p;
      while (p < n && at(p) > ' ' && at(p) != ',') ++p;
      item.assign(text.substr(b, p - b));
    }
    items.push_back(std::move(item));
    while (IsBlankOrControl(at(p))) ++p;
    if (at(p) == ',') {
      if (p + 1 >= n) items.emplace_back();
      do {
        ++p;
      } while (IsBlankOrControl(at(p)));
    }
  }
  return items;
}

void SplitIntoGridRow(std::string_view text, std::vector<std::string>& row) {
  std::size_t cell = 0;
  for (std::string& item : SplitCommaText(text)) {
    while (cell < row.size() && !row[cell].empty()) ++cell;
    if (cell >= row.size()) break;
    row[cell] = item.empty() ? std::string(" ") : std::move(item);
    ++cell;
  }
}

}  // namespace vaultra
