// cp932 (Shift-JIS) text helpers. Every text inside the program is cp932 bytes
// in std::string; lengths, columns and cursors count bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vaultra {

// True for the first byte of a two-byte cp932 character (0x81-0x9F, 0xE0-0xFC).
// Inline, as are the character lengths: every text scan of the report calls
// them once per byte.
inline bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Byte length of the character starting at text[pos] (1 or 2; 1 for a lone
// lead byte at the end of the text; 0 at or after the end).
inline std::size_t CharLengthAt(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return 0;
  if (IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size()) return 2;
  return 1;
}

// True when byte position pos starts a character (pos == size counts too).
bool IsCharBoundary(std::string_view text, std::size_t pos);

// The longest prefix of at most max_bytes bytes that never splits a character.
std::string TruncateBytes(std::string_view text, std::size_t max_bytes);

// Removes leading and trailing half-width blanks and control characters
// (bytes <= 0x20), as the platform's Trim does.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

// Whether bytes form well-formed cp932 (every lead byte followed by a
// trail byte, no byte that starts no character) and well-formed UTF-8.
bool IsValidCp932(std::string_view bytes);
bool IsValidUtf8(std::string_view bytes);

// Conversions at the edges of the program. Bytes that cannot be converted
// become '?' (to UTF-8/UTF-16) or '?' (to cp932); they never throw.
std::string Cp932ToUtf8(std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);
std::u16string Cp932ToUtf16(std::string_view cp932);
std::string Utf16ToCp932(std::u16string_view utf16);

// Finds needle in text on character boundaries only (a trail byte never
// starts a match). Returns npos when absent.
std::size_t FindText(std::string_view text, std::string_view needle, std::size_t from = 0);

// Replaces the full-width digits, signs, period and blank of cp932 by their
// ASCII counterparts, leaving every other character as it is.
std::string HalfWidthNumberText(std::string_view text);

}  // namespace vaultra
