#include "core/format_by_tag.h"

#include <climits>
#include <cmath>

#include "core/cp932.h"
#include "core/number.h"

namespace vaultra {

namespace {

// C integer conversion (atoi): blanks, an optional sign, then digits;
// anything else ends the number. Full-width digits count as digits.
int ReadCInteger(std::string_view text) {
  std::string s = TrimLeft(HalfWidthNumberText(text));
  std::size_t i = 0;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  long long v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    v = v * 10 + (s[i] - '0');
    if (v > INT_MAX) {
      v = static_cast<long long>(INT_MAX) + 1;
      break;
    }
  }
  if (neg) v = -v;
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

}  // namespace

std::string FormatByTag(std::string_view text, int tag) {
  if (tag < 10) return std::string(text);
  int w = (tag / 10) % 100;
  int d = tag % 10;
  if (w == 0) return std::string(text);
  if (d == 0) return Format("%*d", w, ReadCInteger(text));
  double value = ReadReal(text);
  if (!std::isfinite(value)) value = 0;
  return Format("%*.*f", w, d, value);
}

bool IsNumericTag(int tag) { return tag >= 10 && (tag / 10) % 100 != 0; }

std::string NumberTextByTag(double value, int tag) { return FormatByTag(Format("%0.9f", value), tag); }

}  // namespace vaultra
