#include "analysis/number_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace vaultra {

namespace {

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
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  Pad(out, w, buf, static_cast<std::size_t>(r.ptr - buf));
}

void AppendFixed(std::string& out, int w, int p, double value) {
  AppendReal(out, w, p, value, std::chars_format::fixed);
}

void AppendExp(std::string& out, int w, int p, double value) {
  AppendReal(out, w, p, value, std::chars_format::scientific);
}

}  // namespace vaultra
