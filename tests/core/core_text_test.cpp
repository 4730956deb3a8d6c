#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/comma_text.h"
#include "core/cp932.h"
#include "core/fixed_fields.h"
#include "core/format_by_tag.h"
#include "core/number.h"

namespace vaultra {
namespace {

TEST(Cp932, TruncationNeverSplitsATwoByteCharacter) {
  const std::string s = "ab地盤";  // 2 + 2 * 2 bytes
  ASSERT_EQ(s.size(), 6u);
  EXPECT_EQ(TruncateBytes(s, 3), "ab");
  EXPECT_EQ(TruncateBytes(s, 4), "ab地");
  EXPECT_EQ(TruncateBytes(s, 5), "ab地");
  EXPECT_EQ(TruncateBytes(s, 99), s);
  // Half-width katakana are one byte each.
  EXPECT_EQ(TruncateBytes("ﾌﾞﾛｯｸ", 2), "ﾌﾞ");
}

TEST(Cp932, RoundTripsThroughUtf8AndUtf16) {
  const std::string s = "左端ﾌﾞﾛｯｸ側壁 ①";
  EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8(s)), s);
  EXPECT_EQ(Utf16ToCp932(Cp932ToUtf16(s)), s);
  EXPECT_EQ(Cp932ToUtf8("地盤"), "\xE5\x9C\xB0\xE7\x9B\xA4");
  // A lone lead byte at the end becomes '?' and does not abort the rest.
  EXPECT_EQ(Cp932ToUtf8(std::string("a\x82")), "a?");
}

TEST(Cp932, FindTextIgnoresMatchesThatStartOnATrailByte) {
  // "ソ" is 0x83 0x5C: its trail byte is a backslash.
  const std::string s = "ソ\\";
  ASSERT_EQ(s.size(), 3u);
  EXPECT_EQ(FindText(s, "\\"), 2u);
  EXPECT_EQ(FindText("ab┃cd", "┃"), 2u);
  EXPECT_EQ(FindText("abc", "x"), std::string::npos);
}

TEST(ReadNumbers, AcceptsFullWidthDigitsSignsAndPeriod) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {
      {"3.5", 3.5},     {"  -2.25 ", -2.25}, {"３．５", 3.5}, {"－１２", -12}, {"1e3", 1000},
      {"12abc", 12},    {"", 0},             {"abc", 0},      {".5", 0.5},     {"+7", 7},
      {"１２ｍ", 12},  {"1e", 1},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(ReadReal(c.text), c.value) << c.text;
  EXPECT_FALSE(TryReadReal("x1").has_value());
  EXPECT_FALSE(ParseRealStrict("1x").has_value());
  EXPECT_DOUBLE_EQ(*ParseRealStrict(" 2.5 "), 2.5);
}

TEST(Cp932, FindTextFromAnyStartAndNearMisses) {
  struct Case {
    std::string text, needle;
    std::size_t from, at;
  } cases[] = {
      {"abcabc", "abc", 1, 3},                // a later match after the start
      {"abab", "abc", 0, std::string::npos},  // first byte matches, the rest never
      {"ab", "abc", 0, std::string::npos},    // needle longer than the text
      {"xyz", "z", 0, 2},                     // at the very end
      {"表ab表", "表", 1, 4},                 // a start inside a character moves past it
      {"ソソ\\", "\\", 0, 4},                 // trail bytes 0x5C are never a start
      {"abc", "", 3, 3},                      // the empty needle at the end
      {"abc", "", 4, std::string::npos},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FindText(c.text, c.needle, c.from), c.at) << c.text << " / " << c.needle;
}

TEST(ReadNumbers, BlanksAndControlBytesAroundEitherWidthAreTrimmed) {
  struct Case {
    std::string text;
    std::optional<double> prefix, whole;
  } cases[] = {
      {"\t-3e2\r\n", -300, -300},
      {std::string("\x01 5\x1f", 4), 5, 5},
      {"　１２　", 12, 12},       // full-width blanks become blanks, then go
      {" 1 2", 1, std::nullopt},  // a blank inside ends the number
      {"１.５ ", 1.5, 1.5},       // mixed widths
      {"-", std::nullopt, std::nullopt},
      {std::string(1, '\x7f') + "1", std::nullopt, std::nullopt},  // DEL is no blank
      {"  ", std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TryReadReal(c.text), c.prefix) << c.text;
    EXPECT_EQ(ParseRealStrict(c.text), c.whole) << c.text;
  }
}

TEST(ReadNumbers, ShortDecimalsReadAsFromCharsReadsThem) {
  // Plain decimals take a quicker way than the general reader; the value
  // must be the correctly rounded one all the same, bit for bit, at every
  // length up to the quick way's limit and past it.
  std::mt19937_64 rng(11);
  auto reference = [](const std::string& t) {
    double v = 0;
    const char* b = t.data() + (t[0] == '+' ? 1 : 0);
    std::from_chars(b, t.data() + t.size(), v);
    return v;
  };
  const std::vector<std::string> fixed = {"0",
                                          "-0",
                                          "-0.0",
                                          "5.",
                                          ".5",
                                          "+7.25",
                                          "0.1",
                                          "0.3",
                                          "2.675",
                                          "1e5",
                                          "1.5e-3",
                                          "-12.5",
                                          "123456789012345",
                                          "1234567890123456",
                                          "0.000000000000001",
                                          "9007199254740993",
                                          "0.1234567890123456789"};
  std::vector<std::string> texts = fixed;
  for (int i = 0; i < 100000; ++i) {
    std::string t = i % 3 == 0 ? "-" : "";
    const int before = static_cast<int>(rng() % 12);
    const int after = before == 0 ? 1 + static_cast<int>(rng() % 11) : static_cast<int>(rng() % 12);
    for (int d = 0; d < before; ++d) t += static_cast<char>('0' + rng() % 10);
    if (after > 0) t += '.';
    for (int d = 0; d < after; ++d) t += static_cast<char>('0' + rng() % 10);
    texts.push_back(t);
  }
  for (const std::string& t : texts) {
    const std::optional<double> v = TryReadReal(t);
    ASSERT_TRUE(v.has_value()) << t;
    ASSERT_EQ(std::bit_cast<std::uint64_t>(*v), std::bit_cast<std::uint64_t>(reference(t))) << t;
  }
}

TEST(ReadNumbers, IntegersAreRealsNudgedByATenthAndTruncated) {
  EXPECT_EQ(ReadInt("3"), 3);
  EXPECT_EQ(ReadInt("2.95"), 3);  // 2.95 + 0.1 = 3.05
  EXPECT_EQ(ReadInt("2.85"), 2);
  EXPECT_EQ(ReadInt("-2.95"), -3);
  EXPECT_EQ(ReadInt("-2.85"), -2);
  EXPECT_EQ(ReadInt("１５"), 15);
  EXPECT_EQ(ReadInt("1e20"), 2147483647);
  EXPECT_EQ(ReadInt("-1e20"), -2147483648);
}

TEST(Rounding, AddsJustUnderAHalfAndTruncatesTowardZero) {
  // An exact half stays below: 2.5 + 0.49999 truncates to 2.
  EXPECT_DOUBLE_EQ(RoundTo0(2.5), 2);
  EXPECT_DOUBLE_EQ(RoundTo0(2.50002), 3);
  EXPECT_DOUBLE_EQ(RoundTo0(-2.5), -2);
  EXPECT_DOUBLE_EQ(RoundTo0(-2.50002), -3);
  EXPECT_DOUBLE_EQ(RoundTo2(1.005), 1.0);    // 100.49999... + 0.49999 < 101
  EXPECT_DOUBLE_EQ(RoundTo3(0.12345), 0.123);
  EXPECT_DOUBLE_EQ(RoundTo3(-0.12351), -0.124);
  EXPECT_DOUBLE_EQ(RoundTo1(14.25), 14.2);
  EXPECT_DOUBLE_EQ(RoundTo1(14.26), 14.3);
  EXPECT_DOUBLE_EQ(RoundTo5(1.234566), 1.23457);
  EXPECT_DOUBLE_EQ(RoundTo9(0.1234567894), 0.123456789);
  EXPECT_DOUBLE_EQ(Sign(0.0), 1);
  EXPECT_DOUBLE_EQ(Sign(-1e-12), -1);
}

TEST(Rounding, PrintedValuesRoundHalvesUpAndShowNoNegativeZero) {
  // The digits a checker writes down: a decimal half goes away from zero
  // (printf's round-half-even on the binary value would print 0.01562 and
  // 2.67, since 2.675 is stored as 2.67499999...), and a value that prints
  // as zero has no sign.
  struct Case {
    double x;
    int decimals;
    const char* printed;
  } const cases[] = {
      {0.015625, 5, "0.01563"}, {-0.015625, 5, "-0.01563"},
      {2.675, 2, "2.68"},       {0.125, 2, "0.13"},
      {1.0005, 3, "1.001"},     {-0.0004, 3, "0.000"},
      {-0.0005, 3, "-0.001"},   {2.5, 0, "3"},
      {0.1164, 3, "0.116"},     {7.35 * 0.1175, 3, "0.864"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Format("%.*f", c.decimals, ForPrint(c.x, c.decimals)), c.printed)
        << c.x << " to " << c.decimals;
  EXPECT_TRUE(std::isnan(ForPrint(NAN, 3)));
  EXPECT_EQ(ForPrint(1e300, 3), 1e300);
}

TEST(Rounding, ScalesByTheSamePowersOfTenAsPow) {
  // The rounding must give the bits the pow-based rounding gave: a changed
  // last bit can move a printed digit of a check.
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> mantissa(-10, 10);
  for (int k = -3; k <= 24; ++k) {
    const double scale = std::pow(10.0, k);
    for (int i = 0; i < 2000; ++i) {
      const double x = mantissa(rng) * std::pow(10.0, i % 7 - 3);
      double v = x * scale;
      v = std::trunc(x >= 0 ? v + 0.49999 : v - 0.49999);
      ASSERT_EQ(std::bit_cast<std::uint64_t>(RoundTo(x, k)),
                std::bit_cast<std::uint64_t>(v / scale))
          << "x " << x << " k " << k;
    }
  }
}

TEST(Rounding, LerpInterpolatesAndTakesTheMeanOnADegenerateInterval) {
  EXPECT_DOUBLE_EQ(Lerp(0.5, 0, 10, 1, 20), 15);
  EXPECT_DOUBLE_EQ(Lerp(2, 0, 10, 1, 20), 30);  // extrapolates
  EXPECT_DOUBLE_EQ(Lerp(5, 1, 10, 1 + 1e-7, 20), 15);
}

TEST(CommaText, EncodesQuotingOnlyWhereNeeded) {
  EXPECT_EQ(EncodeCommaText({"a", "b c", "", "x\"y", "1,2"}), "a,\"b c\",,\"x\"\"y\",\"1,2\"");
  EXPECT_EQ(EncodeCommaText({""}), "\"\"");
  EXPECT_EQ(EncodeCommaText({" "}), "\" \"");
  EXPECT_EQ(EncodeCommaText({}), "");
  EXPECT_EQ(EncodeCommaText({"地層", "ｍ"}), "地層,ｍ");
}

TEST(CommaText, SplitsByThePlatformRules) {
  using V = std::vector<std::string>;
  struct Case {
    const char* text;
    V items;
  } cases[] = {
      {"a,b,c", {"a", "b", "c"}},
      {"  a , b", {"a", "b"}},
      {"a,,b", {"a", "", "b"}},
      {"a,", {"a", ""}},
      {"\"x y\",\"p\"\"q\"", {"x y", "p\"q"}},
      {"a b", {"a", "b"}},  // a blank ends an unquoted item
      {"\"\"", {""}},
      {"", {}},
      {"\"unterminated", {"unterminated"}},
      {"1.5,地盤,ﾌﾞﾛｯｸ", {"1.5", "地盤", "ﾌﾞﾛｯｸ"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitCommaText(c.text), c.items) << c.text;
}

TEST(CommaText, EncodeThenSplitRestoresCells) {
  std::vector<std::string> cells = {"1", " ", "a,b", "q\"", "地盤", "x"};
  EXPECT_EQ(SplitCommaText(EncodeCommaText(cells)), cells);
}

TEST(CommaText, GridRowTakesEmptyItemsAsSingleBlanksAndDropsExtraItems) {
  std::vector<std::string> row(3);
  SplitIntoGridRow("a,,b,c,d", row);
  EXPECT_EQ(row, (std::vector<std::string>{"a", " ", "b"}));
  std::vector<std::string> partly = {"", "kept", ""};
  SplitIntoGridRow("x,y", partly);
  EXPECT_EQ(partly, (std::vector<std::string>{"x", "kept", "y"}));
}

TEST(FixedFields, RealsArePaddedAndCutToEightCharacters) {
  EXPECT_EQ(RealField(1.5, " %.3f"), "   1.500");
  EXPECT_EQ(RealField(-12.25, " %.3f"), " -12.250");
  EXPECT_EQ(RealField(123.4567, " %.3f"), " 123.457");
  EXPECT_EQ(RealField(1234.5, " %.3f"), " 1234.50");     // loses a trailing decimal
  EXPECT_EQ(RealField(12345678.0, " %.3f"), " 1234567");  // loses an integer digit
  EXPECT_EQ(RealField(2.5, "%8.4f"), "  2.5000");
  EXPECT_EQ(IntField(42), "    42");
}

TEST(FixedFields, ReadsFieldsByPositionAndMissingOnesAsZero) {
  const std::string ints = IntField(7) + IntField(-3) + IntField(120);
  EXPECT_EQ(ReadIntField(ints, 0), 7);
  EXPECT_EQ(ReadIntField(ints, 1), -3);
  EXPECT_EQ(ReadIntField(ints, 2), 120);
  EXPECT_EQ(ReadIntField(ints, 3), 0);
  const std::string reals = RealField(1.25, " %.3f") + RealField(-0.5, " %.3f");
  EXPECT_DOUBLE_EQ(ReadRealField(reals, 1), -0.5);
  EXPECT_DOUBLE_EQ(ReadRealField(reals, 5), 0);
  EXPECT_DOUBLE_EQ(ReadRealField(" 1234.50", 0), 1234.5);
}

TEST(FormatByTagRule, FormatsWidthAndDecimalsFromTheTag) {
  struct Case {
    const char* text;
    int tag;
    const char* out;
  } cases[] = {
      {"3.5", 63, " 3.500"}, {"3", 50, "    3"},  {"3.5", 9, "3.5"},   {"abc", 63, " 0.000"},
      {"３．５", 63, " 3.500"},  // full-width digits are read, not zeroed
      {"１２", 50, "   12"},    {"7", 1003, "7"},   // w = 0: unchanged
      {"-1.25", 82, "   -1.25"},  {"2.9", 30, "  2"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatByTag(c.text, c.tag), c.out) << c.text << " " << c.tag;
  EXPECT_EQ(NumberTextByTag(0.1 + 0.2, 63), " 0.300");
}

}  // namespace
}  // namespace vaultra
