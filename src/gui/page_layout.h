// What each input page shows beside its controls, as data: the groups with
// their captions, the caption, unit and note of every control, the tabs
// and the matrices of fields (material columns, spring constants). A
// control of the page's record that no row names is kept but never shown
// (the hidden carriers). Texts are UTF-8.
#pragma once

#include <string>
#include <vector>

#include "app/document/project_state.h"

namespace vaultra::gui {

// One row of a group: a control with the caption read beside it, or, with
// no name, a heading line.
struct LayoutRow {
  std::string name;  // control name; in a matrix the prefix before the column suffix
  std::string caption;
  std::string unit;  // shown after the field, e.g. "(ｍ)"
  int columns = 0;   // radio group: buttons per row (0: all in one row)
};

struct LayoutGroup {
  std::string tab;    // tab caption; empty on a page without tabs
  std::string title;  // group box caption; empty for a plain frame
  int column = 0;     // column of the page's panel (groups of one column stack)
  std::vector<LayoutRow> rows;
  // A matrix: every row is one field per column, named row.name + suffix.
  std::vector<std::string> col_heads;
  std::vector<std::string> col_suffixes;
  std::vector<std::string> notes;  // lines below the group
  std::string object_name;         // the group's own control name (GBoxK), when it has one
};

struct PageLayout {
  std::vector<LayoutGroup> groups;
  std::vector<std::string> tabs;  // tab order
  bool picture = true;            // the page draws a figure above its inputs
};

// The layout of an input page's form; an empty layout for other forms.
const PageLayout& LayoutOf(FormId id);

// The caption a person reads for a control, as its accessible name:
// blanks collapsed, a trailing ":" and the unit dropped.
std::string AccessibleCaption(const std::string& caption);

}  // namespace vaultra::gui
