// Appends numbers to a text buffer with exactly the bytes the C library's
// printf prints for "%Wd", "%W.Pf" and "%W.Pe" in the C locale, without
// the cost of parsing a format and building a string per value. The one
// number writer of the analysis layer's result files.
#pragma once

#include <string>

namespace vaultra {

// As "%*d" with width w.
void AppendInt(std::string& out, int w, long long value);
// As "%*.*f" with width w and precision p (0..17).
void AppendFixed(std::string& out, int w, int p, double value);
// As "%*.*e" with width w and precision p (0..17).
void AppendExp(std::string& out, int w, int p, double value);

}  // namespace vaultra
