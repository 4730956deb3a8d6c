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

// One bookmark: its title (cp932), its depth (1 the top), the document page
// it opens (0-based) and the page millimetre at the top of the view.
struct PdfOutlineItem {
  std::string title;
  int level = 1;
  int page_index = 0;
  double top_mm = 0;
};

// A run of page labels from a document page on: the prefix (cp932) and,
// when numbered, decimal numbers from `start`.
struct PdfPageLabels {
  int first_index = 0;
  std::string prefix;
  bool numbered = false;
  int start = 1;
};

// What a filing office reads besides the pages: the document information
// (texts cp932), the outline and the page labels. The creation date is
// SOURCE_DATE_EPOCH when that is set (reproducible builds and tests), else
// the time of writing.
struct PdfDocumentInfo {
  std::string title, subject, creator = "Vaultra";
  std::vector<PdfOutlineItem> outline;
  std::vector<PdfPageLabels> labels;
};

// The document of the given slots, one A4 page each, replayed as on paper
// at the given resolution (page point (x, y) at paper (15 + x, 20 + y) mm).
// False with the reason (UTF-8) when a font cannot be read. Without info
// the document has no date, so the same pages give the same bytes.
bool MakePdf(const PageRecords& records, const std::vector<int>& page_slots, int dpi,
             std::string* pdf, std::string* error, const PdfDocumentInfo* info = nullptr);
// The same written to a file (path cp932) through a temporary name.
bool WritePdfFile(const PageRecords& records, const std::vector<int>& page_slots,
                  const std::string& path, int dpi, std::string* error,
                  const PdfDocumentInfo* info = nullptr);

// "D:YYYYMMDDHHmmSSZ" of a time in seconds since 1970 (UTC).
std::string PdfDate(long long epoch_seconds);

}  // namespace vaultra
