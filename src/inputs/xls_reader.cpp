#include "inputs/xls_reader.h"

#include <freexl.h>

#include <cmath>

#include "core/cp932.h"
#include "core/fileio.h"
#include "core/number.h"

namespace vaultra {

namespace {

constexpr unsigned kScanRows = 500;
constexpr unsigned short kColumns = 38;
constexpr int kRowsPastLast = 5;
constexpr int kEmptyRunLimit = 5;

// Closes the workbook handle on every path out.
class Workbook {
 public:
  ~Workbook() {
    if (handle_ != nullptr) freexl_close(handle_);
  }
  int Open(const std::string& utf8_path) { return freexl_open(utf8_path.c_str(), &handle_); }
  const void* handle() const { return handle_; }

 private:
  const void* handle_ = nullptr;
};

std::string FreeXlReason(int code) {
  switch (code) {
    case FREEXL_FILE_NOT_FOUND:
      return "ファイルがありません";
    case FREEXL_INSUFFICIENT_MEMORY:
      return "メモリが足りません";
    case FREEXL_BIFF_OBFUSCATED:
      return "パスワードで保護されています";
    case FREEXL_CRAFTED_FILE:
      return "ファイルが壊れています";
    default:
      return Format("Excel 97-2003 形式 (.xls) として読めません (FreeXL %d)", code);
  }
}

// The displayed text of cell (row, col), both 0-based; empty for a cell that
// holds nothing or cannot be read.
std::string CellText(const void* handle, unsigned row, unsigned short col) {
  FreeXL_CellValue value;
  if (freexl_get_cell_value(handle, row, col, &value) != FREEXL_OK) return {};
  std::string text;
  switch (value.type) {
    case FREEXL_CELL_INT:
      return Format("%d", value.value.int_value);
    case FREEXL_CELL_DOUBLE:
      return SpreadsheetNumberText(value.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
      if (value.value.text_value == nullptr) return {};
      text = Utf8ToCp932(value.value.text_value);
      break;
    default:
      return {};
  }
  // A line break inside a cell would split the CSV row; it reads as a blank,
  // which the table readers remove anyway.
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

}  // namespace

std::string SpreadsheetNumberText(double value) {
  if (!std::isfinite(value)) return "#NUM!";
  if (value == 0) return "0";
  if (value == std::trunc(value) && std::fabs(value) < 1e15) return Format("%.0f", value);
  return Format("%.15g", value);
}

bool ReadXlsFile(std::vector<std::string>& lines, std::string_view workbook_path,
                 std::string_view sheet_name, std::string* error) {
  lines.clear();
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    lines.clear();
    return false;
  };
  Workbook book;
  int rc = book.Open(ToFsPath(workbook_path).string());
  if (rc != FREEXL_OK) return fail(FreeXlReason(rc));

  unsigned sheets = 0;
  if (freexl_get_info(book.handle(), FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK)
    return fail("シートの一覧を読めません");
  const std::string wanted = Cp932ToUtf8(sheet_name);
  int found = -1;
  for (unsigned i = 0; i < sheets && i <= 0xFFFF; ++i) {
    const char* name = nullptr;
    if (freexl_get_worksheet_name(book.handle(), static_cast<unsigned short>(i), &name) !=
        FREEXL_OK)
      continue;
    if (name != nullptr && wanted == name) {
      found = static_cast<int>(i);
      break;
    }
  }
  if (found < 0) return fail("シート「" + std::string(sheet_name) + "」がありません");
  if (freexl_select_active_worksheet(book.handle(), static_cast<unsigned short>(found)) !=
      FREEXL_OK)
    return fail("シート「" + std::string(sheet_name) + "」を選べません");

  // The extent: 5 rows past the last row with text in columns 1-3.
  int last = 0;
  int empty_run = 0;
  for (unsigned row = 0; row < kScanRows; ++row) {
    std::string key;
    for (unsigned short col = 0; col < 3; ++col) key += CellText(book.handle(), row, col);
    if (!key.empty()) {
      last = static_cast<int>(row) + 1 + kRowsPastLast;
      empty_run = 0;
    } else if (++empty_run > kEmptyRunLimit) {
      break;
    }
  }
  for (int row = 0; row < last; ++row) {
    std::string line;
    for (unsigned short col = 0; col < kColumns; ++col) {
      if (col > 0) line.push_back(',');
      line += CellText(book.handle(), static_cast<unsigned>(row), col);
    }
    lines.push_back(std::move(line));
  }
  return true;
}

}  // namespace vaultra
