#include "core/number.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

#include "core/cp932.h"

namespace vaultra {

std::string Format(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  va_list ap2;
  va_copy(ap2, ap);
  char small[256];
  int n = std::vsnprintf(small, sizeof small, fmt, ap);
  va_end(ap);
  std::string out;
  if (n < 0) {
    va_end(ap2);
    return out;
  }
  if (static_cast<std::size_t>(n) < sizeof small) {
    out.assign(small, n);
  } else {
    std::vector<char> big(n + 1);
    std::vsnprintf(big.data(), big.size(), fmt, ap2);
    out.assign(big.data(), n);
  }
  va_end(ap2);
  return out;
}

namespace {

// Length of the longest prefix of s that forms a C decimal number
// (sign, digits, optional fraction, optional exponent); 0 when none.
std::size_t NumberPrefix(std::string_view s) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    std::size_t k = j;
    while (k < s.size() && s[k] >= '0' && s[k] <= '9') ++k;
    if (k > j) i = k;
  }
  return i;
}

// A decimal of at most 15 digits without exponent ("-12.5", "0.300"),
// the form of nearly every number read: its digits as an integer below
// 2^53 divided by a power of ten up to 1e22, both exact, so the one
// rounding of the division gives the correctly rounded value from_chars
// gives. Anything else: nullopt.
std::optional<double> ShortDecimal(std::string_view num) {
  std::size_t i = 0;
  const bool negative = !num.empty() && num[0] == '-';
  if (negative) ++i;
  std::uint64_t m = 0;
  int digits = 0, decimals = -1;  // -1: no point yet
  for (; i < num.size(); ++i) {
    const char c = num[i];
    if (c == '.' && decimals < 0) {
      decimals = 0;
      continue;
    }
    if (c < '0' || c > '9' || ++digits > 15) return std::nullopt;
    m = m * 10 + static_cast<std::uint64_t>(c - '0');
    if (decimals >= 0) ++decimals;
  }
  if (digits == 0) return std::nullopt;
  double v = static_cast<double>(m);
  if (decimals > 0) v /= kExactPowersOfTen[decimals];
  return negative ? -v : v;
}

// The text made half-width and trimmed; converted holds it when it had to
// be rewritten.
std::string_view HalfWidthTrimmed(std::string_view text, std::string& converted) {
  // A text without two-byte characters (nearly every number read) is its
  // own half-width form and is trimmed in place.
  std::string_view s = text;
  if (std::any_of(text.begin(), text.end(),
                  [](char c) { return IsLeadByte(static_cast<unsigned char>(c)); })) {
    converted = HalfWidthNumberText(text);
    s = converted;
  }
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20) s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20) s.remove_suffix(1);
  return s;
}

// The value of a text that NumberPrefix accepted whole; overflow is told
// by *overflow (the value then the largest double with the sign),
// underflow reads as 0.
double NumberValue(std::string_view num, bool* overflow) {
  *overflow = false;
  if (num.front() == '+') num.remove_prefix(1);
  if (const std::optional<double> quick = ShortDecimal(num)) return *quick;
  double value = 0;
  auto [ptr, ec] = std::from_chars(num.data(), num.data() + num.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // A large exponent or hundreds of digits; strtod tells overflow from
    // underflow.
    const std::string copy(num);
    const double v = std::strtod(copy.c_str(), nullptr);
    if (!std::isinf(v)) return 0.0;
    *overflow = true;
    return v < 0 ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
  }
  return value;
}

std::optional<double> ParsePrefix(std::string_view text) {
  std::string converted;
  const std::string_view s = HalfWidthTrimmed(text, converted);
  const std::size_t n = NumberPrefix(s);
  if (n == 0) return std::nullopt;
  bool overflow = false;
  return NumberValue(s.substr(0, n), &overflow);
}

}  // namespace

std::optional<double> TryReadReal(std::string_view text) {
  return ParsePrefix(text);
}

namespace {

// The strict read: the status, and the value, for an overflow the largest
// double with the number's sign.
NumberParse StrictRead(std::string_view text, bool* overflow) {
  *overflow = false;
  std::string converted;
  const std::string_view s = HalfWidthTrimmed(text, converted);
  if (s.empty()) return {NumberStatus::kEmpty, 0};
  const std::size_t n = NumberPrefix(s);
  if (n == 0) {
    std::string_view body = s;
    if (body.front() == '+' || body.front() == '-') body.remove_prefix(1);
    std::string lower(body);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool word = lower == "nan" || lower == "inf" || lower == "infinity";
    return {word ? NumberStatus::kNotFinite : NumberStatus::kNoNumber, 0};
  }
  if (n != s.size()) return {NumberStatus::kTrailing, 0};
  const double v = NumberValue(s, overflow);
  return {*overflow ? NumberStatus::kNotFinite : NumberStatus::kOk, v};
}

}  // namespace

NumberParse ParseFiniteNumber(std::string_view text) {
  bool overflow = false;
  NumberParse p = StrictRead(text, &overflow);
  if (!p.ok()) p.value = 0;
  return p;
}

const char* NumberStatusText(NumberStatus status) {
  switch (status) {
    case NumberStatus::kOk:
      return "";
    case NumberStatus::kEmpty:
      return "数値が入っていません";
    case NumberStatus::kNoNumber:
      return "数値ではありません";
    case NumberStatus::kTrailing:
      return "数値の後ろに余分な文字があります";
    case NumberStatus::kNotFinite:
      return "数値が有限ではありません";
  }
  return "";
}

std::optional<double> ParseRealStrict(std::string_view text) {
  bool overflow = false;
  const NumberParse p = StrictRead(text, &overflow);
  if (!p.ok() && !overflow) return std::nullopt;
  return p.value;
}

double ReadReal(std::string_view text) {
  return TryReadReal(text).value_or(0.0);
}

int RealToInt(double value) {
  if (std::isnan(value)) return 0;
  double v = value >= 0 ? value + 0.1 : value - 0.1;
  v = std::trunc(v);
  if (v >= static_cast<double>(std::numeric_limits<int>::max()))
    return std::numeric_limits<int>::max();
  if (v <= static_cast<double>(std::numeric_limits<int>::min()))
    return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

int ReadInt(std::string_view text) {
  return RealToInt(ReadReal(text));
}

double RoundTo(double x, int k) {
  // The table spares a pow call on every rounding of the checks.
  double scale = k >= 0 && k <= kMaxExactPowerOfTen ? kExactPowersOfTen[k] : std::pow(10.0, k);
  double v = x * scale;
  v = std::trunc(x >= 0 ? v + 0.49999 : v - 0.49999);
  return v / scale;
}

double Lerp(double x, double x1, double y1, double x2, double y2) {
  if (std::fabs(x2 - x1) <= 1e-6) return (y1 + y2) / 2;
  return y1 + (y2 - y1) * (x - x1) / (x2 - x1);
}

bool IsPlausibleInput(double v) {
  return std::isfinite(v) && std::fabs(v) <= kMaxInputMagnitude;
}

NumberCheck CheckNumberText(std::string_view text) {
  const NumberParse p = ParseFiniteNumber(text);
  if (p.status == NumberStatus::kNotFinite) return NumberCheck::kImplausible;
  if (!p.ok()) return NumberCheck::kNotANumber;
  return IsPlausibleInput(p.value) ? NumberCheck::kOk : NumberCheck::kImplausible;
}

double SafeDivisor(double d, double floor) {
  if (std::fabs(d) >= floor) return d;
  return d >= 0 ? floor : -floor;
}

double ForPrint(double x, int decimals) {
  if (!std::isfinite(x) || decimals < 0 || decimals > kMaxExactPowerOfTen) return x;
  const double scale = kExactPowersOfTen[decimals];
  const double a = std::fabs(x) * scale;
  if (a >= 1e15) return x;  // beyond the digits a double holds: nothing to round
  // A relative nudge of a few ulps reads 2.675 (stored as 2.67499...) as the
  // decimal the user wrote.
  const double r = std::floor(a + 0.5 + a * 4e-16);
  if (r == 0) return 0.0;
  return std::copysign(r / scale, x);
}

}  // namespace vaultra
