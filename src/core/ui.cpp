#include "core/ui.h"

#include <cstdio>
#include <unordered_map>

#include "core/cp932.h"
#include "core/number.h"

namespace vaultra {

namespace {

// The text without a leading line number ("12 行目: ").
std::string_view WithoutLineNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  static constexpr std::string_view kLine = " 行目: ";
  if (i == 0 || text.substr(i, kLine.size()) != kLine) return text;
  return text.substr(i + kLine.size());
}

}  // namespace

std::vector<std::string> BoundedMessages(const std::vector<std::string>& texts,
                                         std::size_t max_entries) {
  struct Entry {
    std::string text;
    int repeats = 0;
  };
  std::vector<Entry> entries;
  std::unordered_map<std::string_view, std::size_t> by_problem;
  std::size_t dropped = 0;
  for (const std::string& t : texts) {
    const auto [it, fresh] = by_problem.emplace(WithoutLineNumber(t), entries.size());
    if (!fresh) {
      ++entries[it->second].repeats;
    } else if (entries.size() < max_entries) {
      entries.push_back({t, 0});
    } else {
      by_problem.erase(it);
      ++dropped;
    }
  }
  std::vector<std::string> out;
  out.reserve(entries.size() + 1);
  for (Entry& e : entries)
    out.push_back(e.repeats ? e.text + Format("(ほかに同じもの %d 件)", e.repeats)
                            : std::move(e.text));
  if (dropped)
    out.push_back(Format("ほかに %d 件のメッセージがあります(省略)", static_cast<int>(dropped)));
  return out;
}

void StderrUi::Tell(MsgKind kind, const std::string& text) {
  if (kind == MsgKind::kError) ++errors_;
  const char* prefix = kind == MsgKind::kError     ? "error: "
                       : kind == MsgKind::kWarning ? "warning: "
                                                   : "";
  std::fprintf(stderr, "%s%s\n", prefix, Cp932ToUtf8(text).c_str());
}

bool StderrUi::Ask(const std::string& text) {
  std::fprintf(stderr, "%s -> %s\n", Cp932ToUtf8(text).c_str(), answer_ ? "OK" : "Cancel");
  return answer_;
}

}  // namespace vaultra
