#include "app/document/form_state.h"

#include <algorithm>
#include <stdexcept>
#include <unordered_map>

#include "core/comma_text.h"
#include "core/cp932.h"
#include "core/format_by_tag.h"
#include "core/number.h"

namespace vaultra {

std::string Control::SelectedText() const {
  if (index < 0 || index >= static_cast<int>(items.size())) return {};
  return items[static_cast<std::size_t>(index)];
}

void Control::SetItems(std::vector<std::string> new_items) {
  items = std::move(new_items);
  SetIndex(index);
}

void Control::SetIndex(int new_index) {
  index = new_index;
  if (items.empty()) return;
  index = std::clamp(index, -1, static_cast<int>(items.size()) - 1);
}

Control EditControl(std::string name, std::string text, int tag) {
  Control c;
  c.name = std::move(name);
  c.kind = ControlKind::kEdit;
  c.text = std::move(text);
  c.tag = tag;
  return c;
}

Control DropDownControl(std::string name, std::vector<std::string> items, int index) {
  Control c;
  c.name = std::move(name);
  c.kind = ControlKind::kDropDown;
  c.items = std::move(items);
  c.SetIndex(index);
  return c;
}

Control RadioGroupControl(std::string name, std::vector<std::string> items, int index) {
  Control c = DropDownControl(std::move(name), std::move(items), index);
  c.kind = ControlKind::kRadioGroup;
  return c;
}

Control RadioButtonControl(std::string name, std::string group, bool checked) {
  Control c;
  c.name = std::move(name);
  c.kind = ControlKind::kRadioButton;
  c.group = std::move(group);
  c.checked = checked;
  return c;
}

Control CheckBoxControl(std::string name, bool checked) {
  Control c;
  c.name = std::move(name);
  c.kind = ControlKind::kCheckBox;
  c.checked = checked;
  return c;
}

Control SpeedButtonControl(std::string name, bool down) {
  Control c = CheckBoxControl(std::move(name), down);
  c.kind = ControlKind::kSpeedButton;
  return c;
}

Control ListBoxControl(std::string name, std::vector<std::string> items, int max_items) {
  Control c;
  c.name = std::move(name);
  c.kind = ControlKind::kListBox;
  c.items = std::move(items);
  c.max_items = max_items;
  return c;
}

Control GridControl(std::string name, GridData grid, int max_rows) {
  Control c;
  c.name = std::move(name);
  c.kind = ControlKind::kGrid;
  c.grid = std::move(grid);
  c.max_items = max_rows;
  return c;
}

Control* FormState::Find(std::string_view name) {
  for (auto* list : {&controls, &extras})
    for (Control& c : *list)
      if (c.name == name) return &c;
  return nullptr;
}

const Control* FormState::Find(std::string_view name) const {
  return const_cast<FormState*>(this)->Find(name);
}

Control& FormState::At(std::string_view name) {
  Control* c = Find(name);
  if (!c) throw std::out_of_range("no control " + std::string(name) + " in " + section);
  return *c;
}

const Control& FormState::At(std::string_view name) const {
  return const_cast<FormState*>(this)->At(name);
}

void FormState::CheckRadio(std::string_view name) {
  Control& target = At(name);
  for (auto* list : {&controls, &extras})
    for (Control& c : *list)
      if (c.kind == ControlKind::kRadioButton && !target.group.empty() && c.group == target.group)
        c.checked = false;
  target.checked = true;
}

namespace {

// A value written on one line never carries a line break: it would end the
// line and shift every following key.
std::string OneLine(std::string_view text) {
  std::string s(text);
  std::replace(s.begin(), s.end(), '\r', ' ');
  std::replace(s.begin(), s.end(), '\n', ' ');
  return s;
}

std::string KeyLine(const std::string& name, int value) {
  return Format("%s = %d", name.c_str(), value);
}

}  // namespace

void WriteControls(std::vector<std::string>& lines, std::string_view section,
                   const std::vector<Control>& controls) {
  lines.push_back(std::string("[").append(section).append("]"));
  for (const Control& c : controls) {
    switch (c.kind) {
      case ControlKind::kEdit:
        lines.push_back(c.name + " = " + OneLine(c.text));
        break;
      case ControlKind::kDropDown:
      case ControlKind::kRadioGroup:
        lines.push_back(KeyLine(c.name, c.index));
        break;
      case ControlKind::kRadioButton:
        if (c.name.empty()) break;
        lines.push_back(KeyLine(c.name, c.checked ? 1 : 0));
        break;
      case ControlKind::kCheckBox:
      case ControlKind::kSpeedButton:
        lines.push_back(KeyLine(c.name, c.checked ? 1 : 0));
        break;
      case ControlKind::kListBox:
        lines.push_back(KeyLine(c.name, static_cast<int>(c.items.size())));
        for (const std::string& item : c.items) lines.push_back(OneLine(item));
        break;
      case ControlKind::kGrid: {
        lines.push_back(KeyLine(c.name, c.grid.row_count()));
        for (const auto& row : c.grid.rows) {
          std::vector<std::string> cells;
          cells.reserve(row.size());
          for (const std::string& cell : row) cells.push_back(OneLine(cell));
          lines.push_back(EncodeCommaText(cells));
        }
        break;
      }
    }
  }
}

namespace {

void Report(std::vector<std::string>* errors, std::string text) {
  if (errors) errors->push_back(std::move(text));
}

}  // namespace

bool ReadControls(const std::vector<std::string>& lines, std::string_view section,
                  std::vector<Control>& controls, std::vector<std::string>* errors) {
  const std::string header = std::string("[").append(section).append("]");
  std::size_t i = 0;
  while (i < lines.size() && lines[i] != header) ++i;
  if (i >= lines.size()) return false;

  std::unordered_map<std::string, std::size_t> by_key;
  for (std::size_t k = 0; k < controls.size(); ++k)
    if (!controls[k].name.empty()) by_key.emplace(controls[k].name + " = ", k);
  // The line each key was read from: a key given twice is refused, since
  // which of the two values was meant cannot be told.
  std::vector<int> read_at(controls.size(), 0);

  for (++i; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (!line.empty() && line[0] == '[') break;
    std::size_t eq = line.find('=');
    if (eq == std::string::npos || eq + 1 >= line.size()) continue;
    auto it = by_key.find(line.substr(0, eq + 2));
    if (it == by_key.end()) continue;
    Control& c = controls[it->second];
    const std::string value =
        TruncateBytes(std::string_view(line).substr(eq + 2), kMaxKeyValueBytes);
    const int line_no = static_cast<int>(i) + 1;
    if (int& first = read_at[it->second]; first != 0) {
      Report(errors, Format("%d 行目: [%s] %s は %d 行目にもあります(どちらの値か決められません)",
                            line_no, std::string(section).c_str(), c.name.c_str(), first));
    } else {
      first = line_no;
    }
    switch (c.kind) {
      case ControlKind::kEdit:
        c.text = value;
        break;
      case ControlKind::kDropDown:
      case ControlKind::kRadioGroup: {
        // An index the list does not hold (the catalogue changed since the
        // file was written) changes nothing.
        const int v = ReadInt(value);
        if (c.items.empty() || (v >= -1 && v < static_cast<int>(c.items.size()))) c.SetIndex(v);
        break;
      }
      case ControlKind::kRadioButton:
        if (ReadInt(value) != 0) {
          for (Control& other : controls)
            if (other.kind == ControlKind::kRadioButton && !c.group.empty() &&
                other.group == c.group)
              other.checked = false;
          c.checked = true;
        } else {
          c.checked = false;
        }
        break;
      case ControlKind::kCheckBox:
      case ControlKind::kSpeedButton:
        c.checked = ReadInt(value) != 0;
        break;
      case ControlKind::kListBox:
      case ControlKind::kGrid: {
        // The row count decides which lines are rows and which keys: it
        // must be a whole number, or nothing behind it can be placed.
        const NumberParse count = ParseFiniteNumber(value);
        if (!count.ok() || count.value != static_cast<int>(count.value)) {
          Report(errors,
                 Format("%d 行目: [%s] %s の行数 \"%s\" が整数ではないため読み込みません", line_no,
                        std::string(section).c_str(), c.name.c_str(), value.c_str()));
          break;
        }
        const int n = static_cast<int>(count.value);
        const std::size_t remaining = lines.size() - i - 1;
        if (n < 0 || n > c.max_items) {
          Report(errors,
                 Format("%d 行目: [%s] %s の行数 %d は上限 %d を超えるため読み込みません", line_no,
                        std::string(section).c_str(), c.name.c_str(), n, c.max_items));
          // The rows cannot be told from keys any more; a negative or huge
          // count consumes nothing, so the keys behind are still read.
          break;
        }
        if (static_cast<std::size_t>(n) > remaining) {
          Report(errors,
                 Format("%d 行目: [%s] %s の %d 行がファイルの終わりで切れているため読み込みません",
                        line_no, std::string(section).c_str(), c.name.c_str(), n));
          i = lines.size() - 1;
          break;
        }
        if (c.kind == ControlKind::kListBox) {
          c.items.assign(lines.begin() + static_cast<std::ptrdiff_t>(i + 1),
                         lines.begin() + static_cast<std::ptrdiff_t>(i + 1 + n));
        } else {
          c.grid.SetRowCount(n);
          for (int r = 0; r < n; ++r) {
            auto& row = c.grid.rows[static_cast<std::size_t>(r)];
            std::fill(row.begin(), row.end(), std::string());
            SplitIntoGridRow(lines[i + 1 + static_cast<std::size_t>(r)], row);
          }
        }
        i += static_cast<std::size_t>(n);
        break;
      }
    }
  }
  return true;
}

void SetNumberByTag(FormState& form, std::string_view name, double value) {
  Control& c = form.At(name);
  c.text = NumberTextByTag(value, c.tag);
}

}  // namespace vaultra
