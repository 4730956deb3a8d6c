// The report template language (labelled sections of the template file and
// built-in blocks), the drawing files (".PCJ") drawn into a 180 x 90 mm band,
// and the figure images of the templates.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "report/print_engine.h"

namespace vaultra {

// --- condition letters A..Z ---
void SetLetter(PrintEngine& pe, char letter);
// Clears one letter, or all of them when letter is 0.
void ClearLetters(PrintEngine& pe, char letter = 0);
bool IsLetterSet(const PrintEngine& pe, char letter);

// --- templates ---
// Loads the file and its labels; false (and one notice per file name) when
// it cannot be read, leaving no file loaded.
bool LoadTemplateFile(PrintEngine& pe, std::string_view cp932_path);
// Runs the first section whose label holds the title and, when given, the
// type word, each as whole words. Returns y unchanged when no section
// matches or no file is loaded.
// Line index of the label line of that section, or -1.
int FindSection(const PrintEngine& pe, std::string_view title, std::string_view type_word);
double PrintSection(PrintEngine& pe, double y, std::string_view title, std::string_view type_word,
                    int row_limit);
double PrintTemplate(PrintEngine& pe, double y, const std::vector<std::string>& lines, int a,
                     int b);
double RunTemplate(PrintEngine& pe, double y, const std::vector<std::string>& lines,
                   std::size_t start, int a, int b);
// The words of a label line after "#LABEL" (blank, tab, comma and the
// full-width blank separate words); empty when the line is no label.
std::vector<std::string> LabelWords(std::string_view label_line);

// --- figures ---
// The missing-file notice at x = 10 mm from y down; returns the y of its
// last line.
double DrawMissingFileNotice(PrintEngine& pe, double y, std::string_view cp932_path);
// Draws a JPEG or BMP into the page rectangle (x1, y1)-(x2, y2); recorded
// like every other drawing. A missing or unreadable file draws the notice
// and a crossed frame.
void DrawImageFigure(PrintEngine& pe, double x1, double y1, double x2, double y2,
                     std::string_view cp932_path);

// --- drawing files ---
double DrawPcjFigure(PrintEngine& pe, double y, std::string_view cp932_path);
// Draws the file in the current world window; returns the page y of the
// figure's bottom (the window's bottom when the file gives no extent).
double DrawDrawingFile(PrintEngine& pe, std::string_view cp932_path);

// A text row of a ruled table: a line with cell bars and no rule across.
// Two such rows in a row at the half step are the two lines of one header
// cell (a symbol over its unit): the second gets a line of its own, half a
// step further down, so the two never share a baseline.
bool IsTableTextRow(std::string_view text);

}  // namespace vaultra
