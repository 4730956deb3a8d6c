#include "analysis/number_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/number.h"

namespace vaultra {

namespace {

// "00" .. "99".
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Right-aligns the text in a field of width w, as printf pads.
void Pad(std::string& out, int w, const char* s, std::size_t n) {
  if (w > 0 && static_cast<std::size_t>(w) > n) out.append(static_cast<std::size_t>(w) - n, ' ');
  out.append(s, n);
}

// std::to_chars prints NaN as "nan"/"-nan" and infinities as "inf"/"-inf",
// as the C library does, and finite values with the exact rounding of
// printf; only the buffer size bounds it.
void AppendReal(std::string& out, int w, int p, double value, std::chars_format fmt) {
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, value, fmt, p);
  if (r.ec != std::errc()) {  // cannot happen with this buffer; printf as a fallback
    int n =
        std::snprintf(buf, sizeof buf, fmt == std::chars_format::fixed ? "%.*f" : "%.*e", p, value);
    Pad(out, w, buf, n < 0 ? 0 : static_cast<std::size_t>(n));
    return;
  }
  Pad(out, w, buf, static_cast<std::size_t>(r.ptr - buf));
}

}  // namespace

void AppendInt(std::string& out, int w, long long value) {
  if (w <= 20 && value >= 0) {  // digits right-aligned in the buffer with their blanks
    char buf[24];
    char* end = buf + sizeof buf;
    char* q = end;
    auto r = static_cast<unsigned long long>(value);
    do {
      *--q = static_cast<char>('0' + r % 10);
      r /= 10;
    } while (r != 0);
    while (end - q < w) *--q = ' ';
    out.append(q, static_cast<std::size_t>(end - q));
    return;
  }
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  Pad(out, w, buf, static_cast<std::size_t>(r.ptr - buf));
}

void AppendFixed(std::string& out, int w, int p, double value) {
  // Fast path: value * 10^p scaled in double is off by far less than 1e-3
  // below 1e12, so wherever its fraction is not within 1e-3 of one half
  // the rounded digits are those of the exact binary value; everything
  // else (ties, huge values, NaN, infinities) goes the exact way.
  if (p >= 0 && p <= 6) {
    double x = std::fabs(value) * kExactPowersOfTen[p];
    if (x < 1e12) {
      auto r = static_cast<unsigned long long>(x);  // the floor: x is not negative
      double frac = x - static_cast<double>(r);
      if (std::fabs(frac - 0.5) > 1e-3) {
        static constexpr unsigned kPow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
        r += frac > 0.5 ? 1 : 0;
        constexpr int kField = 40;  // widths up to this are padded in the buffer
        char buf[kField];
        char* end = buf + sizeof buf;
        std::memset(buf, ' ', sizeof buf);
        char* q = end;
        if (p > 0) {  // the decimals two at a time
          auto d = static_cast<unsigned>(r % kPow10[p]);
          r /= kPow10[p];
          for (int k = p; k >= 2; k -= 2, d /= 100) {
            q -= 2;
            std::memcpy(q, kDigitPairs + 2 * (d % 100), 2);
          }
          if (p % 2 == 1) *--q = static_cast<char>('0' + d);
          *--q = '.';
        }
        do {
          *--q = static_cast<char>('0' + r % 10);
          r /= 10;
        } while (r != 0);
        if (std::signbit(value)) *--q = '-';
        if (w > kField) {
          Pad(out, w, q, static_cast<std::size_t>(end - q));
          return;
        }
        out.append(std::min(q, end - w), end);  // the blanks are there: one append
        return;
      }
    }
  }
  AppendReal(out, w, p, value, std::chars_format::fixed);
}

void AppendExp(std::string& out, int w, int p, double value) {
  // Fast path as for the fixed format: the value scaled to p + 1 digits
  // before the point by one exact power of ten (one rounding, far less
  // than 1e-3 off below 1e10), the exponent found from the binary one and
  // checked against the digits; ties, zeros and extreme exponents go the
  // exact way.
  const double a = std::fabs(value);
  if (p >= 0 && p <= 9 && a >= 1e-200 && a <= 1e200) {  // not zero, not NaN
    const double low = kExactPowersOfTen[p], high = kExactPowersOfTen[p + 1];
    // floor(log10 a) or one less: the binary exponent times log10(2).
    int e = static_cast<int>(std::floor(std::ilogb(a) * 0.30102999566398120));
    auto scaled = [&](int ex) {
      const int k = p - ex;
      if (k >= 0) return k <= kMaxExactPowerOfTen ? a * kExactPowersOfTen[k] : -1.0;
      return -k <= kMaxExactPowerOfTen ? a / kExactPowersOfTen[-k] : -1.0;
    };
    double x = scaled(e);
    if (x >= high) x = scaled(++e);
    if (x >= low && x < high) {
      auto r = static_cast<unsigned long long>(x);
      const double frac = x - static_cast<double>(r);
      if (std::fabs(frac - 0.5) > 1e-3) {
        r += frac > 0.5 ? 1 : 0;
        if (r == static_cast<unsigned long long>(high)) r /= 10, ++e;  // 9.99..5 up to 10
        char buf[48];
        char* end = buf + sizeof buf;
        char* q = end;
        // The exponent with two digits at least, as printf writes it.
        const unsigned ae = static_cast<unsigned>(e < 0 ? -e : e);
        *--q = static_cast<char>('0' + ae % 10);
        *--q = static_cast<char>('0' + ae / 10 % 10);
        if (ae >= 100) *--q = static_cast<char>('0' + ae / 100);
        *--q = e < 0 ? '-' : '+';
        *--q = 'e';
        for (int k = 0; k < p; ++k) {
          *--q = static_cast<char>('0' + r % 10);
          r /= 10;
        }
        if (p > 0) *--q = '.';
        *--q = static_cast<char>('0' + r);
        if (std::signbit(value)) *--q = '-';
        Pad(out, w, q, static_cast<std::size_t>(end - q));
        return;
      }
    }
  }
  AppendReal(out, w, p, value, std::chars_format::scientific);
}

}  // namespace vaultra
