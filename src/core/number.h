// Number reading and formatting in the C locale, and the rounding helpers
// every calculation uses.
#pragma once

#include <iterator>
#include <optional>
#include <string>
#include <string_view>

namespace vaultra {

// printf-style formatting; the C locale's decimal point always ('.').
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Reads the leading decimal number of a text after blanks, with full-width
// digits, signs and period accepted; conversion stops at the first
// character that does not belong to a number. No number reads as 0.
double ReadReal(std::string_view text);

// As ReadReal, but empty when no number starts the text.
std::optional<double> TryReadReal(std::string_view text);

// How a field that must hold a number reads, whole: blanks around it are
// allowed, full-width digits read as digits, nothing else may follow.
enum class NumberStatus {
  kOk,
  kEmpty,      // blanks only
  kNoNumber,   // "abc", "0x10" (no decimal number starts the text)
  kTrailing,   // a number followed by something else: "1e8abc", "1,5"
  kNotFinite,  // "nan", "inf", or beyond the double range: "1e999"
};
struct NumberParse {
  NumberStatus status = NumberStatus::kEmpty;
  double value = 0;  // the number when status is kOk, else 0
  bool ok() const { return status == NumberStatus::kOk; }
};
// The one strict reader of a number field: the whole text is one finite
// decimal number, or the status says why not.
NumberParse ParseFiniteNumber(std::string_view text);
// Why a field is no number, for messages (cp932); empty for kOk.
const char* NumberStatusText(NumberStatus status);

// The whole text as one number, as ParseFiniteNumber reads it, but an
// overflow saturated to the largest double with its sign (for callers
// that refuse it by magnitude); empty when the text is no number.
std::optional<double> ParseRealStrict(std::string_view text);

// An integer as the program reads one: the text read as a real, plus 0.1
// (minus 0.1 when negative), truncated toward zero. Values beyond the int
// range are clamped.
int ReadInt(std::string_view text);
int RealToInt(double value);

// No quantity a user enters (lengths, forces, moduli, strengths, spring
// constants, in the program's units) comes near this; a value beyond it,
// saturated overflow included, is a typing or file error and is refused.
inline constexpr double kMaxInputMagnitude = 1e9;
// Finite and within kMaxInputMagnitude.
bool IsPlausibleInput(double v);

// How a text that should hold a number reads: one number within
// kMaxInputMagnitude; no number at all (empty, "abc", "0x10", "1,5": the
// program reads it as 0); or a number that is not finite or beyond any
// input ("nan", "inf", "1e308", "1e999").
enum class NumberCheck { kOk, kNotANumber, kImplausible };
NumberCheck CheckNumberText(std::string_view text);

// 10^k for k = 0 .. 22, each an exact double (and the value pow gives).
inline constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxExactPowerOfTen = static_cast<int>(std::size(kExactPowersOfTen)) - 1;

// x * 10^k, plus 0.49999 for x >= 0 (minus for x < 0), truncated toward
// zero, divided by 10^k.
double RoundTo(double x, int k);
inline double RoundTo0(double x) {
  return RoundTo(x, 0);
}
inline double RoundTo1(double x) {
  return RoundTo(x, 1);
}
inline double RoundTo2(double x) {
  return RoundTo(x, 2);
}
inline double RoundTo3(double x) {
  return RoundTo(x, 3);
}
inline double RoundTo4(double x) {
  return RoundTo(x, 4);
}
inline double RoundTo5(double x) {
  return RoundTo(x, 5);
}
inline double RoundTo9(double x) {
  return RoundTo(x, 9);
}

// The value printed with `decimals` decimals as a checker reads it: halves
// rounded away from zero on the decimal digits (0.015625 -> 0.01563, where
// printf's binary tie gives 0.01562), and a value that rounds to zero is +0
// (never "-0.000"). Non-finite values pass unchanged.
double ForPrint(double x, int decimals);

// 1 for x >= 0, else -1.
inline double Sign(double x) {
  return x >= 0 ? 1.0 : -1.0;
}

// Linear interpolation through (x1, y1) and (x2, y2); for a degenerate
// interval (|x2 - x1| <= 1e-6) the mean of y1 and y2.
double Lerp(double x, double x1, double y1, double x2, double y2);

// Divisor floored away from zero: |d| < floor becomes floor with d's sign.
double SafeDivisor(double d, double floor = 1e-9);

}  // namespace vaultra
