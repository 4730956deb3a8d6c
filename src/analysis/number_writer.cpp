#include "analysis/number_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

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
  static constexpr double kScale[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};
  if (p >= 0 && p <= 6) {
    double x = std::fabs(value) * kScale[p];
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
  AppendReal(out, w, p, value, std::chars_format::scientific);
}

}  // namespace vaultra
