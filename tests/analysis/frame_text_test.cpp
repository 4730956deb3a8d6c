// The frame text: its fixed-column lines worked out by hand, the round
// trip through the reader, and the reader's refusals.
#include "analysis/frame_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/cp932.h"
#include "frame_builders.h"

namespace vaultra::testing {
namespace {

TEST(FrameText, SplitRealColumns) {
  struct Case {
    double value;
    int w, n;
    const char* expected;  // written into an empty line at column 0
  };
  const Case cases[] = {
      {25000, 10, 5, "   2.50000    4"},
      {-1, 10, 5, "  -1.00000    0"},
      {1e-9, 10, 5, "   1.00000   -9"},
      {2.5e7, 10, 3, "   2.50000  7"},
      {-1, 8, 2, "  -1.000 0"},
      {0, 8, 2, "   0.000 0"},
      {123.456789, 4, 2, "   1 2"},         // width clamped to 4..10 and cut, not rounded
      {9.99999999, 12, 1, "   1.00000 1"},  // printf rounds to 7 decimals; widths clamped
  };
  for (const auto& c : cases) {
    std::string line;
    FormatSplitReal(line, 0, c.w, c.n, c.value);
    EXPECT_EQ(line, c.expected) << c.value;
  }
  // Inside a longer line the exponent's trailing blank survives; at the end
  // it does not; a short line is padded up to the column.
  std::string line(40, 'x');
  FormatSplitReal(line, 10, 10, 5, 1);
  EXPECT_EQ(line, "xxxxxxxxxx   1.00000    0 xxxxxxxxxxxxxx");
  std::string short_line = "ab";
  FormatSplitReal(short_line, 4, 8, 2, -1);
  EXPECT_EQ(short_line, "ab    -1.000 0");
}

// The columns as printf writes them, the way the text was first built.
std::string PrintfSplitReal(std::string line, int column, int w, int n, double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.7E", value);
  std::string s = buf;
  std::size_t e = s.find('E');
  int exp = e == std::string::npos ? 0 : std::atoi(s.c_str() + e + 1);
  std::snprintf(buf, sizeof buf, "%sE%c%02d", s.substr(0, e).c_str(), exp < 0 ? '-' : '+',
                std::abs(exp));
  std::snprintf(buf, sizeof buf, "%16s", std::string(buf).c_str());
  std::string printed = buf;
  w = std::clamp(w, 4, 10);
  n = std::clamp(n, 2, 5);
  std::size_t old_end = line.size(), c = static_cast<std::size_t>(column);
  auto put = [&](std::size_t at, const std::string& t) {
    if (line.size() < at + t.size()) line.resize(at + t.size(), ' ');
    line.replace(at, t.size(), t);
  };
  put(c, printed.substr(0, static_cast<std::size_t>(w)));
  std::snprintf(buf, sizeof buf, "%*d ", n, exp);
  put(c + w, buf);
  line.resize(std::max(old_end, c + w + n));
  return line;
}

// Split reals and the numeric lines of the text against printf on random
// values of every magnitude, signs and special values included.
TEST(FrameText, NumbersAsPrintfWritesThem) {
  std::mt19937_64 rng(20261209);
  std::uniform_real_distribution<double> mant(-10, 10);
  std::uniform_int_distribution<int> exp10(-12, 12), width(2, 12);
  auto value = [&] {
    double v = mant(rng) * std::pow(10.0, exp10(rng));
    switch (rng() % 8) {
      case 0:
        return std::round(v * 1000) / 1000;  // printed ties and exact decimals
      case 1:
        return std::round(v * 2) / 2 + 0.0005;
      default:
        return v;
    }
  };
  const double specials[] = {0.0,
                             -0.0,
                             1e-300,
                             -5e-324,
                             1e300,
                             9.99999995,
                             0.99999995,
                             std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
  for (int i = 0; i < 20000; ++i) {
    double v = i < 9 ? specials[i] : value();
    int w = width(rng), n = width(rng) / 2, column = static_cast<int>(rng() % 30);
    std::string start(rng() % 40, 'x'), line = start;
    FormatSplitReal(line, column, w, n, v);
    ASSERT_EQ(line, PrintfSplitReal(start, column, w, n, v)) << v << " " << w << " " << n;
  }
  FrameBuilder b;
  for (int i = 0; i < 300; ++i) b.Node(value(), value());
  for (int i = 1; i < 300; ++i) b.Member(i, i + 1, std::fabs(value()), std::fabs(value()));
  auto& lc = b.LoadCase(0, 0);
  for (int i = 0; i < 300; ++i)
    lc.items.Add(FrameBuilder::Item(14, i + 1, value(), value(), value(), value(), -i));
  std::vector<std::string> lines;
  WriteFrameText(b.model, lines);
  auto printed = [](const char* fmt, auto... args) {
    char buf[256];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return std::string(buf);
  };
  std::size_t at = std::find(lines.begin(), lines.end(), "POINT       300") - lines.begin();
  ASSERT_LT(at, lines.size());
  for (int i = 1; i <= 300; ++i) {
    const FrameNode& nd = b.model.nodes[i];
    ASSERT_EQ(lines[at + i], printed("%10d%10.4f%10.4f", nd.number, nd.x, nd.y));
  }
  std::size_t sections = std::find(lines.begin(), lines.end(), "SECTION     299") - lines.begin();
  ASSERT_LT(sections, lines.size());
  at = std::find(lines.begin(), lines.end(), "MEMBER      299") - lines.begin();
  ASSERT_LT(at, lines.size());
  for (int i = 1; i <= 299; ++i) {
    const FrameMember& e = b.model.members[i];
    ASSERT_EQ(lines[at + i], printed("%10d %4d %4d %4d %4d %4d %4d     %9.3f %9.3f %s", e.number,
                                     e.node_i, e.node_j, e.section, e.material, e.end_i, e.end_j,
                                     e.real1, e.real2, e.name.c_str()));
    const FrameSection& s = b.model.sections[i];
    std::string sec = printed("%10d %29s", s.number, "");
    sec = PrintfSplitReal(sec, 10, 10, 5, s.area < 1e-9 ? 1e-9 : s.area);
    sec = PrintfSplitReal(sec, 25, 10, 5, s.inertia < 1e-9 ? 1e-9 : s.inertia);
    ASSERT_EQ(lines[sections + i], sec);
  }
  at = std::find_if(lines.begin(), lines.end(),
                    [](const std::string& l) { return l.rfind("LOAD-CASE", 0) == 0; }) -
       lines.begin();
  ASSERT_LT(at, lines.size());
  for (int i = 1; i <= 300; ++i) {
    const FrameLoadItem& it = lc.items[i];
    ASSERT_EQ(lines[at + i], printed("%10d %4d %4d %9.3f %9.3f %9.3f %9.3f", it.type,
                                     it.first_member, it.last_member, it.d1, it.d2, it.d3, it.d4));
  }
}

FrameModel SmallModel() {
  FrameBuilder b;
  b.model.title = "横断方向モデル";
  int n1 = b.Node(0, 0), n2 = b.Node(6, 0), n3 = b.Node(6, 3.25);
  b.Member(n1, n2, 0.3, 0.0025);
  b.Member(n2, n3, 0, 0.0025, kEndRigid, kEndPin);  // area 0 is written as 1e-9
  b.model.members[1].name = "底版";
  b.SpringCase({{1, 12500, 0}});
  b.model.spring_cases[1].name = "L1.底面のみ";
  b.SupportCase({Pin(n1), Roller(n2)});
  b.model.support_cases[1].name = "常時";
  b.model.equal_divisions.Add({1, 0, 4});
  FrameSpecifiedPositions sp;
  sp.member = 2;
  sp.positions.Add({0.25, "ハンチ"});
  sp.positions.Add({1.5, "h/2"});
  b.model.specified.Add(sp);
  FrameSpecifiedPositions empty;
  empty.member = 1;
  b.model.specified.Add(empty);
  auto& lc = b.LoadCase(1, 1);
  lc.name = "自重";
  lc.items.Add(FrameBuilder::Item(14, 1, -12.5, -12.5, 0, 0, 2));
  b.Combination({1});
  return b.model;
}

TEST(FrameText, WritesTheFixedLinesOfASmallModel) {
  std::vector<std::string> lines;
  WriteFrameText(SmallModel(), lines);
  const std::vector<std::string> expected = {
      "FRAME     FRAME-03",
      "TITLE     横断方向モデル",
      "CONTROL1   格点 部材 材質 断面 バＣ バネ 支Ｃ 支点",
      "              3    2    1    2    1    1    1    2",
      "CONTROL2   荷重 組合 抽出 二重 剛Ｓ 剛Ｂ",
      "              1    1    0    0    0    0",
      "CONTROL3   リナ Mmax 着点 割増 プレ",
      "              0    1    0    0    0",
      "POINT         3",
      "         1    0.0000    0.0000",
      "         2    6.0000    0.0000",
      "         3    6.0000    3.2500",
      "MATERIAL      1",
      "         1   2.50000    7   1.00000   -5",
      "SECTION       2",
      "         1   3.00000   -1   2.50000   -3",
      "         2   1.00000   -9   2.50000   -3",
      "MEMBER        2",
      "         1    1    2    1    1    0    0         0.000     0.000 底版",
      "         2    2    3    2    1    0    1         0.000     0.000 M2",
      "BANE-CASE     1    1                    L1.底面のみ",
      "         1   1.25000  4          0.00000  0",
      "SUPT-CASE     1    2                    常時",
      "         1  -1.000 0  -1.000 0   0.000 0   1.000 0   1.000 0   1.000 0    1",
      "         2   0.000 0  -1.000 0   0.000 0   1.000 0   1.000 0   1.000 0    2",
      "VIEW-1        1",
      "         1    0    4",
      "VIEW-2        2",
      "         2    2",
      "     0.250     1.500",
      "         1    0",
      "LOAD-CASE     1    1    1    1          自重",
      "        14    1    2   -12.500   -12.500     0.000     0.000",
      "KUMI-CASE     1    1    1.0000          C1",
      "              1         1.0000",
      "END",
      "V2-NAME       2",
      "   2    2 ハンチ              h/2                 ",
      "   1    0 ",
      "END",
  };
  ASSERT_EQ(lines.size(), expected.size());
  for (std::size_t i = 0; i < lines.size(); ++i)
    EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1 << ": " << Cp932ToUtf8(lines[i]);
}

TEST(FrameText, WithoutCombinationsEndFollowsTheLastItem) {
  FrameModel m = SmallModel();
  m.combinations.Clear();
  std::vector<std::string> lines;
  WriteFrameText(m, lines);
  auto end = std::find(lines.begin(), lines.end(), "END");
  ASSERT_NE(end, lines.end());
  EXPECT_EQ(*(end - 1), "        14    1    2   -12.500   -12.500     0.000     0.000");
}

TEST(FrameText, RoundTripIsByteIdentical) {
  FrameModel m = SmallModel();
  m.nodes[3].x = -12.3456;
  m.materials.Add({2, 3.1e7, 1.2e-5, 0});
  m.load_cases[1].items.Add(FrameBuilder::Item(27, 2, 3.5, 0, 1.25));
  std::vector<std::string> first, second;
  WriteFrameText(m, first);
  FrameModel back;
  ASSERT_EQ(ReadFrameText(first, "t.$O1", back), "");
  WriteFrameText(back, second);
  EXPECT_EQ(first, second);
  EXPECT_EQ(back.specified[1].positions[1].name, m.specified[1].positions[1].name);
  EXPECT_DOUBLE_EQ(back.materials[1].e, 2.5e7);
  EXPECT_DOUBLE_EQ(back.sections[2].area, 1e-9);
}

TEST(FrameText, ReaderRefusesBadTextsAndKeepsTheModel) {
  std::vector<std::string> good;
  WriteFrameText(SmallModel(), good);
  struct Case {
    const char* name;
    std::function<void(std::vector<std::string>&)> damage;
    const char* line_mark;  // the message names this line
  };
  const Case cases[] = {
      {"node count beyond capacity",
       [](auto& l) { l[3] = "            504    2    1    2    1    1    1    2"; }, "4 行目"},
      {"header count differs", [](auto& l) { l[8] = "POINT         2"; }, "9 行目"},
      {"coordinate not a number", [](auto& l) { l[10] = "         2    6.0x00    0.0000"; },
       "11 行目"},
      {"text cut short", [](auto& l) { l.resize(20); }, "21 行目"},
      {"load items beyond capacity",
       [](auto& l) { l[31] = "LOAD-CASE     1 2001    1    1          x"; }, "32 行目"},
      {"split real cut", [](auto& l) { l[13] = "         1   2.5"; }, "14 行目"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> lines = good;
    c.damage(lines);
    FrameModel m;
    m.title = "KEEP";
    std::string msg = ReadFrameText(lines, "Yoko0.$O1", m);
    EXPECT_NE(msg.find("Yoko0.$O1"), std::string::npos) << c.name;
    EXPECT_NE(msg.find(c.line_mark), std::string::npos) << c.name << ": " << Cp932ToUtf8(msg);
    EXPECT_EQ(m.title, "KEEP") << c.name;
  }
}

}  // namespace
}  // namespace vaultra::testing

namespace vaultra::testing {
namespace {

// Damaged texts (bytes changed, lines dropped or repeated) never crash the
// reader: they are read or refused with a message.
TEST(FrameText, ReaderSurvivesDamagedTexts) {
  std::vector<std::string> good;
  WriteFrameText(SmallModel(), good);
  unsigned seed = 12345;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7fff;
  };
  const char bytes[] = {'9', '-', ' ', ',', '"', 'x', '\x82', '0', '.'};
  for (int trial = 0; trial < 3000; ++trial) {
    std::vector<std::string> lines = good;
    int edits = 1 + next() % 3;
    for (int k = 0; k < edits; ++k) {
      std::size_t li = next() % lines.size();
      switch (next() % 3) {
        case 0:
          if (!lines[li].empty())
            lines[li][next() % lines[li].size()] = bytes[next() % sizeof bytes];
          break;
        case 1:
          lines.erase(lines.begin() + static_cast<long>(li));
          break;
        default:
          lines.insert(lines.begin() + static_cast<long>(li), lines[li]);
      }
      if (lines.empty()) lines.push_back("");
    }
    FrameModel m;
    std::string msg = ReadFrameText(lines, "f", m);
    if (msg.empty()) {
      EXPECT_LE(m.nodes.Count(), kFrameMaxNodes);
    } else {
      EXPECT_EQ(m.nodes.Count(), 0);
    }
  }
}

}  // namespace
}  // namespace vaultra::testing
