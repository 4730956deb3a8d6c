// Tag-driven formatting of numeric edit fields, shared by every page.
#pragma once

#include <string>
#include <string_view>

namespace vaultra {

// Tag t >= 10: w = (t / 10) mod 100, d = t mod 10; when w != 0 the text is
// replaced by Format("%*.*f", w, d, value), or for d = 0 by
// Format("%*d", w, value). Full-width digits are read as the commit
// routines read them. Tags below 10 (or w = 0) leave the text alone.
std::string FormatByTag(std::string_view text, int tag);

// True for the tags FormatByTag formats as a number (w != 0): the field
// holds a number.
bool IsNumericTag(int tag);

// Setting a number into an edit field: Format("%0.9f") through FormatByTag.
std::string NumberTextByTag(double value, int tag);

}  // namespace vaultra
