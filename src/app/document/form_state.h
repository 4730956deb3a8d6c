// The pages' controls as data: each page keeps its inputs in a form-state
// record (ordered controls: name, kind, value). The project file reads and
// writes that record, the pages' commit routines read it, and the window
// only binds widgets to it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/grid.h"

namespace vaultra {

enum class ControlKind {
  kEdit,         // edit field with a formatting tag
  kDropDown,     // drop-down list: items and selected index (-1 none)
  kRadioGroup,   // radio group: items and selected index
  kRadioButton,  // single radio button: checked
  kCheckBox,     // checked
  kSpeedButton,  // toggle speed button: down (kept in `checked`)
  kListBox,      // list of items
  kGrid,         // string grid (core GridData)
};

struct Control {
  std::string name;  // the key in the project file; an unnamed radio button is not written
  ControlKind kind = ControlKind::kEdit;
  std::string text;                // edit field
  int tag = 0;                     // edit field: FormatByTag tag
  int index = -1;                  // drop-down, radio group
  std::vector<std::string> items;  // drop-down, radio group, list box
  bool checked = false;            // radio button, check box, speed button
  std::string group;               // radio button: buttons of one group exclude each other
  GridData grid;                   // string grid
  int max_items = 0;  // list box / grid: largest item or row count accepted from a file

  // The selected item's text; empty when nothing or nothing valid is selected.
  std::string SelectedText() const;
  // Sets the items and clamps the index into the new list.
  void SetItems(std::vector<std::string> new_items);
  // Sets the index, clamped into [-1, items - 1] when the items are known
  // (a list not filled yet keeps the index as given).
  void SetIndex(int new_index);

  bool operator==(const Control&) const = default;
};

Control EditControl(std::string name, std::string text, int tag = 0);
Control DropDownControl(std::string name, std::vector<std::string> items, int index);
Control RadioGroupControl(std::string name, std::vector<std::string> items, int index);
Control RadioButtonControl(std::string name, std::string group, bool checked);
Control CheckBoxControl(std::string name, bool checked);
Control SpeedButtonControl(std::string name, bool down);
Control ListBoxControl(std::string name, std::vector<std::string> items, int max_items);
Control GridControl(std::string name, GridData grid, int max_rows);

// One page's controls. `controls` are the persisted controls in the order
// their keys are written; `extras` are controls of the page that the
// project file does not store (lists filled at run time, display options).
struct FormState {
  std::string section;  // the page form's name, e.g. "Fm11MDL"
  std::vector<Control> controls;
  std::vector<Control> extras;

  Control* Find(std::string_view name);
  const Control* Find(std::string_view name) const;
  // Like Find, but a missing control is a programming error (std::out_of_range).
  Control& At(std::string_view name);
  const Control& At(std::string_view name) const;

  // Convenience access by name.
  const std::string& Text(std::string_view name) const { return At(name).text; }
  void SetText(std::string_view name, std::string text) { At(name).text = std::move(text); }
  int Index(std::string_view name) const { return At(name).index; }
  bool Checked(std::string_view name) const { return At(name).checked; }
  // Checks a radio button and clears the other buttons of its group.
  void CheckRadio(std::string_view name);

  bool operator==(const FormState&) const = default;
};

// Writes a number into an edit field, formatted by the field's tag.
void SetNumberByTag(FormState& form, std::string_view name, double value);

// Appends "[" + section + "]" and one entry per control, in list order.
void WriteControls(std::vector<std::string>& lines, std::string_view section,
                   const std::vector<Control>& controls);

// Reads the section of that name into the controls. Keys of unknown
// controls are ignored; a missing key leaves its control unchanged. A list
// box or grid whose count is negative, beyond the control's capacity or
// beyond the end of the file is refused (its control keeps its value) and
// reported in errors (cp932, naming the line). Returns false when the
// section is absent.
bool ReadControls(const std::vector<std::string>& lines, std::string_view section,
                  std::vector<Control>& controls, std::vector<std::string>* errors = nullptr);

// The longest value a key line carries.
constexpr std::size_t kMaxKeyValueBytes = 999;

}  // namespace vaultra
