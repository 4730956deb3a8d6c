// Comma text: the encoding of one grid row in the project file and the
// splitting rule the master CSV readers share.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vaultra {

// Joins cells by ","; a cell containing a blank, a control character, a
// comma or a double quote is quoted with inner quotes doubled; an empty cell
// is written as nothing, except that a row of one empty cell is written "".
std::string EncodeCommaText(const std::vector<std::string>& cells);

// Splits comma text into items (bytes compared as unsigned): leading blanks
// and control characters skipped; a quoted item runs to its closing quote
// (doubled quotes stand for one); an unquoted item ends at a comma or at a
// byte not greater than a blank; after an item blanks are skipped and one
// comma consumed, with the blanks behind it; a comma at the very end yields
// a final empty item. A NUL byte ends the text.
std::vector<std::string> SplitCommaText(std::string_view text);

// Splits comma text into a grid row: each item goes into the first cell
// that is still empty, an empty item being stored as " " so that it
// occupies its cell; items beyond the last cell are dropped.
void SplitIntoGridRow(std::string_view text, std::vector<std::string>& row);

}  // namespace vaultra
