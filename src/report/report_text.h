// Report lines: heading numbering and contents capture, ruled tables drawn
// from box characters, in-line markup, placeholder fields and their fills,
// and the table-of-contents pages.
#pragma once

#include <string>
#include <string_view>

#include "report/print_engine.h"

namespace vaultra {

void PrintLine(PrintEngine& pe, double x, double y, std::string_view text);
void DrawMarkedText(PrintEngine& pe, double x0, double y0, double dx, double dy,
                    std::string_view text);
// Draws the ruled lines of a table row and blanks its box characters in line.
void DrawGrid(PrintEngine& pe, double x, double y, std::string& line);
void ResetHeadingNumbers(PrintEngine& pe);
void ResetFields(PrintEngine& pe);
int NextField(PrintEngine& pe);

void FillNumber(PrintEngine& pe, int field, double value, bool use_field_font);
std::string FillNumberCentred(PrintEngine& pe, int field, double value, bool use_field_font);
void FillNumberNamed(PrintEngine& pe, std::string_view label, double value, bool use_field_font);
void FillText(PrintEngine& pe, int field, std::string_view text, bool use_field_font);
std::string FillTextCentred(PrintEngine& pe, int field, std::string_view text, bool use_field_font);
void FillTextNamed(PrintEngine& pe, std::string_view text, std::string_view label,
                   bool use_field_font);
std::string FillTextCentredNamed(PrintEngine& pe, std::string_view text, std::string_view label,
                                 bool use_field_font);
// The next field of the block in the field font: what the chapters fill most.
inline void FillNext(PrintEngine& pe, double value) {
  FillNumber(pe, -1, value, true);
}
inline void FillNextText(PrintEngine& pe, std::string_view text) {
  FillText(pe, -1, text, true);
}
// Index of the first named field with this label (labels compared in their
// stored length of at most 15 characters), or -1.
int FindNamedField(const PrintEngine& pe, std::string_view label);

// "%4d,%9.2f,%9.2f,%4d,%s" of a contents entry.
std::string ContentsEntryText(const ContentsEntry& e);
// Contents in page order, then by y on the page (numerically).
std::vector<ContentsEntry> SortedContents(const PrintEngine& pe);
// The level of a heading by its number: 1 "3.", 2 "3.1", 3 "3.1.2",
// 4 "(2)" (and a bracketed heading), 5 "2)" and an unnumbered heading.
int ContentsLevel(std::string_view text);
// A heading as the contents list it: trimmed and indented by its level.
std::string ContentsLine(std::string_view text);
// The slot of contents page k (1-based): slots 1..9, then the slots after
// the last body slot.
int ContentsSlot(int page, int last_body_slot);
// Draws the contents pages, 40 entries a page, as many pages as the list
// needs (pe.text.contents_slots names their slots), switches recording off
// and returns the number of pages.
int BuildContentsPages(PrintEngine& pe);

}  // namespace vaultra
