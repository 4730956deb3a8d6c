#include "core/cp932.h"

#include <cstdint>

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace vaultra {

bool IsCharBoundary(std::string_view text, std::size_t pos) {
  if (pos > text.size()) return false;
  std::size_t i = 0;
  while (i < pos) i += CharLengthAt(text, i);
  return i == pos;
}

std::string TruncateBytes(std::string_view text, std::size_t max_bytes) {
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t n = CharLengthAt(text, i);
    if (i + n > max_bytes) break;
    i += n;
  }
  return std::string(text.substr(0, i));
}

std::string TrimLeft(std::string_view text) {
  std::size_t b = 0;
  while (b < text.size() && static_cast<unsigned char>(text[b]) <= 0x20) ++b;
  return std::string(text.substr(b));
}

std::string TrimRight(std::string_view text) {
  std::size_t e = text.size();
  // A byte <= 0x20 is never a cp932 trail byte (trail bytes are 0x40-0xFC).
  while (e > 0 && static_cast<unsigned char>(text[e - 1]) <= 0x20) --e;
  return std::string(text.substr(0, e));
}

std::string Trim(std::string_view text) { return TrimRight(TrimLeft(text)); }

namespace {

// Converts with iconv; an unconvertible input unit is replaced and skipped.
std::string Convert(const char* to, const char* from, std::string_view in, std::size_t unit,
                    std::string_view replacement) {
  std::string out;
  if (in.empty()) return out;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::vector<char> buf(in.size() * 4 + 16);
  char* src = const_cast<char*>(in.data());
  std::size_t src_left = in.size();
  while (src_left > 0) {
    char* dst = buf.data();
    std::size_t dst_left = buf.size();
    std::size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
    out.append(buf.data(), dst - buf.data());
    if (r == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: replace one unit and go on.
      out.append(replacement);
      std::size_t skip = std::min(unit, src_left);
      src += skip;
      src_left -= skip;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) { return Convert("UTF-8", "CP932", cp932, 1, "?"); }

std::string Utf8ToCp932(std::string_view utf8) { return Convert("CP932", "UTF-8", utf8, 1, "?"); }

std::u16string Cp932ToUtf16(std::string_view cp932) {
  std::string bytes = Convert("UTF-16LE", "CP932", cp932, 1, std::string_view("?\0", 2));
  std::u16string out(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  }
  return out;
}

std::string Utf16ToCp932(std::u16string_view utf16) {
  std::string bytes(utf16.size() * 2, '\0');
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    bytes[2 * i] = static_cast<char>(utf16[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(utf16[i] >> 8);
  }
  return Convert("CP932", "UTF-16LE", bytes, 2, "?");
}

std::size_t FindText(std::string_view text, std::string_view needle, std::size_t from) {
  if (needle.empty()) return from <= text.size() ? from : std::string_view::npos;
  std::size_t i = 0;
  while (i < from && i < text.size()) i += CharLengthAt(text, i);
  // The first byte decides most positions without a comparison call.
  const char first = needle[0];
  for (; i + needle.size() <= text.size(); i += CharLengthAt(text, i)) {
    if (text[i] == first && text.compare(i, needle.size(), needle) == 0) return i;
  }
  return std::string_view::npos;
}

std::string HalfWidthNumberText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = CharLengthAt(text, i);
    if (n == 2) {
      unsigned int code = (static_cast<unsigned char>(text[i]) << 8) |
                          static_cast<unsigned char>(text[i + 1]);
      char ascii = 0;
      if (code >= 0x824F && code <= 0x8258) ascii = static_cast<char>('0' + (code - 0x824F));
      else if (code == 0x817C || code == 0x815D) ascii = '-';  // full-width minus, hyphen
      else if (code == 0x817B) ascii = '+';
      else if (code == 0x8144) ascii = '.';
      else if (code == 0x8140) ascii = ' ';
      else if (code == 0x8285 || code == 0x8264) ascii = 'e';  // full-width e / E
      if (ascii) {
        out.push_back(ascii);
        i += 2;
        continue;
      }
    }
    out.append(text.substr(i, n));
    i += n;
  }
  return out;
}

bool IsValidCp932(std::string_view b) {
  for (std::size_t i = 0; i < b.size(); ++i) {
    const auto c = static_cast<unsigned char>(b[i]);
    if (c == 0x80 || c == 0xA0 || c >= 0xFD) return false;
    if (!IsLeadByte(c)) continue;
    if (i + 1 >= b.size()) return false;
    const auto t = static_cast<unsigned char>(b[++i]);
    if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
  }
  return true;
}

bool IsValidUtf8(std::string_view b) {
  for (std::size_t i = 0; i < b.size();) {
    const auto c = static_cast<unsigned char>(b[i]);
    std::size_t n;
    std::uint32_t cp;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      n = 1, cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      n = 2, cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      n = 3, cp = c & 0x07;
    } else {
      return false;
    }
    if (i + n >= b.size()) return false;
    for (std::size_t k = 1; k <= n; ++k) {
      const auto t = static_cast<unsigned char>(b[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are no UTF-8.
    static constexpr std::uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += n + 1;
  }
  return true;
}

}  // namespace vaultra
