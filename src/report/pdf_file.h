// Report pages as a PDF document, written directly from the page records:
// A4 portrait pages, the IPA fonts embedded as subsets, the text as glyph
// runs. Needs no display and no window toolkit.
#pragma once

#include <string>
#include <vector>

#include "report/page_record.h"

namespace vaultra {

// A report face: the family the screen asks for and the font file that
// holds it. Face codes: the low four bits pick the face, 0x10 bold,
// 0x20 italic.
struct ReportFace {
  const char* family;
  const char* file;
};
const ReportFace& ReportFaceFor(int code);
// Every font file of the report faces.
std::vector<std::string> ReportFontFiles();

// The document of the given slots, one A4 page each, replayed as on paper
// at the given resolution (page point (x, y) at paper (15 + x, 20 + y) mm).
// False with the reason (UTF-8) when a font cannot be read.
bool MakePdf(const PageRecords& records, const std::vector<int>& page_slots, int dpi,
             std::string* pdf, std::string* error);
// The same written to a file (path cp932) through a temporary name.
bool WritePdfFile(const PageRecords& records, const std::vector<int>& page_slots,
                  const std::string& path, int dpi, std::string* error);

}  // namespace vaultra
