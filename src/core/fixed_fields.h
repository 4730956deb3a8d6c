// Fixed-width numeric fields of the structure tables in the project file:
// integers in six characters, reals in eight.
#pragma once

#include <string>
#include <string_view>

namespace vaultra {

constexpr std::size_t kIntFieldWidth = 6;
constexpr std::size_t kRealFieldWidth = 8;

// Format("%6d", value).
std::string IntField(int value);

// The value formatted with fmt (" %.3f" or "%8.4f"), left-padded with blanks
// to 8 characters and cut to its first 8.
std::string RealField(double value, const char* fmt);

// Field i (0-based) of a line of concatenated fields; a field that lies
// (partly) beyond the line reads what is there, nothing reads as 0.
int ReadIntField(std::string_view line, std::size_t index);
double ReadRealField(std::string_view line, std::size_t index);

}  // namespace vaultra
