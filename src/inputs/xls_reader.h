// Reads one worksheet of a legacy Excel workbook (.xls, BIFF) into the CSV
// lines of the master tables, through FreeXL.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vaultra {

// The displayed text of one numeric cell as a spreadsheet shows it in the
// General format: integers without decimals, other values with their
// significant digits ("126.7", "0.125", "2000").
std::string SpreadsheetNumberText(double value);

// Fills lines with the worksheet's CSV text: for rows 1 .. (5 past the last
// row with text in columns 1-3; rows scanned up to 500, the scan stopping
// after more than 5 empty rows in a row) the texts of columns 1-38 joined by
// ",". Texts are cp932. Returns false with a cp932 reason in error when the
// workbook or the worksheet cannot be read; lines is then left empty.
bool ReadXlsFile(std::vector<std::string>& lines, std::string_view workbook_path,
                 std::string_view sheet_name, std::string* error);

}  // namespace vaultra
