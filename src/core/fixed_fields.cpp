#include "core/fixed_fields.h"

#include "core/number.h"

namespace vaultra {

std::string IntField(int value) { return Format("%6d", value); }

std::string RealField(double value, const char* fmt) {
  std::string text = Format(fmt, value);
  if (text.size() < kRealFieldWidth) text.insert(0, kRealFieldWidth - text.size(), ' ');
  return text.substr(0, kRealFieldWidth);
}

namespace {

std::string_view Field(std::string_view line, std::size_t index, std::size_t width) {
  std::size_t begin = index * width;
  if (begin >= line.size()) return {};
  return line.substr(begin, width);
}

}  // namespace

int ReadIntField(std::string_view line, std::size_t index) {
  return ReadInt(Field(line, index, kIntFieldWidth));
}

double ReadRealField(std::string_view line, std::size_t index) {
  return ReadReal(Field(line, index, kRealFieldWidth));
}

}  // namespace vaultra
