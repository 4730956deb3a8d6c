// The frame input text ("FRAME-03"): the input of the outside frame
// library, the key of the result cache and the source of node coordinates
// and member ends for the result reader. Lines are cp932, saved with CR LF.
#pragma once

#include <string>
#include <vector>

#include "core/fileio.h"
#include "model/frame_model.h"

namespace vaultra {

// Writes value as a mantissa/exponent pair: the first mantissa_width
// (4..10) characters of the value printed "%16.7E" at column, then the
// exponent right-aligned in exponent_width (2..5) columns and one blank.
// The line grows to column + mantissa_width + exponent_width at least.
void FormatSplitReal(std::string& line, int column, int mantissa_width, int exponent_width,
                     double value);

// Clears lines and appends the frame text of the model in its fixed order.
void WriteFrameText(const FrameModel& model, std::vector<std::string>& lines);

// Writes the frame text to path (cp932, CR LF, atomically). Empty on
// success, else a message naming the file.
std::string SaveFrameText(const FrameModel& model, const std::string& path,
                          WriteMode mode = WriteMode::kDurable);

// Reads a frame text back into a model. Every count is checked against the
// record's capacity and against the lines that follow. On failure the model
// is unchanged and the message names the file and the line.
std::string ReadFrameText(const std::vector<std::string>& lines, const std::string& file_name,
                          FrameModel& model);
std::string LoadFrameTextFile(const std::string& path, FrameModel& model);

}  // namespace vaultra
