// Frame texts that are broken or hostile are refused with the line named,
// and the solver never runs on (or indexes with) numbers that are none.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "analysis/analysis_results.h"
#include "analysis/frame_builders.h"
#include "analysis/frame_solver.h"
#include "analysis/frame_text.h"
#include "core/cp932.h"
#include "core/number.h"

namespace vaultra::testing {
namespace {

// A portal frame on two pins with one spring case and one load case.
FrameModel Portal() {
  FrameBuilder b;
  const int n1 = b.Node(0, 0), n2 = b.Node(0, 3), n3 = b.Node(4, 3), n4 = b.Node(4, 0);
  b.Member(n1, n2, 0.3, 0.002);
  b.Member(n2, n3, 0.3, 0.002);
  b.Member(n3, n4, 0.3, 0.002);
  const int springs = b.SpringCase({{2, 1000, 100}});
  const int supports = b.SupportCase({Pin(n1), Pin(n4)});
  FrameLoadCase& lc = b.LoadCase(springs, supports);
  lc.items.Add(FrameBuilder::Item(12, 2, 10, 10));
  return b.model;
}

// Index of the first line that starts with the keyword, plus offset.
std::size_t LineOf(const std::vector<std::string>& lines, const std::string& keyword,
                   std::size_t offset) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].rfind(keyword, 0) == 0) return i + offset;
  ADD_FAILURE() << keyword;
  return 0;
}

std::string MemberLine(int number, int ni, int nj, int section, int material) {
  return Format("%10d %4d %4d %4d %4d %4d %4d     %9.3f %9.3f %s", number, ni, nj, section,
                material, 0, 0, 0.0, 0.0, "M");
}

TEST(RobustFrameText, BadNumbersAndDanglingReferencesAreRefusedWithTheLine) {
  struct Case {
    const char* what;
    const char* keyword;  // the block the broken line belongs to
    std::size_t offset;   // lines after the keyword line
    std::string line;
    const char* words;  // part of the message
  } cases[] = {
      {"coordinate 1e308", "POINT", 2, Format("%10d%10s%10.4f", 2, "1e308", 3.0),
       "数値が大きすぎます"},
      {"coordinate beyond the frame", "POINT", 2, Format("%10d%10.1f%10.4f", 2, 20000.0, 3.0),
       "座標"},
      {"unknown node", "MEMBER", 2, MemberLine(2, 2, 99, 2, 1), "格点 99 が有りません"},
      {"both ends one node", "MEMBER", 2, MemberLine(2, 3, 3, 2, 1), "両端が同じ格点 3"},
      {"unknown section", "MEMBER", 2, MemberLine(2, 2, 3, 77, 1), "断面 77 が有りません"},
      {"unknown material", "MEMBER", 2, MemberLine(2, 2, 3, 2, 5), "材質 5 が有りません"},
      {"duplicate node", "POINT", 2, Format("%10d%10.4f%10.4f", 1, 0.0, 3.0), "重複"},
      {"modulus beyond any material", "MATERIAL", 1,
       Format("%10d %29s", 1, "").replace(10, 15, "   9.99000  299"), "数値が大きすぎます"},
  };
  std::vector<std::string> good;
  WriteFrameText(Portal(), good);
  {
    FrameModel m;
    ASSERT_EQ(ReadFrameText(good, "p.$O1", m), "");
  }
  for (const Case& c : cases) {
    std::vector<std::string> lines = good;
    const std::size_t at = LineOf(lines, c.keyword, c.offset);
    lines[at] = c.line;
    FrameModel m = Portal();
    const FrameModel before = m;
    const std::string msg = ReadFrameText(lines, "p.$O1", m);
    EXPECT_NE(msg.find(Format("%d 行目", static_cast<int>(at) + 1)), std::string::npos)
        << c.what << ": " << Cp932ToUtf8(msg);
    EXPECT_NE(msg.find(c.words), std::string::npos) << c.what << ": " << msg;
    EXPECT_EQ(m.nodes.Count(), before.nodes.Count()) << c.what;  // the model is unchanged
  }
}

TEST(RobustFrameSolver, NumbersThatAreNoneAreRefusedNotSolved) {
  struct Case {
    const char* what;
    std::function<void(FrameModel&)> spoil;
  } cases[] = {
      {"coordinate 1e308", [](FrameModel& m) { m.nodes[2].x = 1e308; }},
      {"coordinate -1e308", [](FrameModel& m) { m.nodes[3].y = -1e308; }},
      {"NaN coordinate",
       [](FrameModel& m) { m.nodes[2].y = std::numeric_limits<double>::quiet_NaN(); }},
      {"infinite modulus",
       [](FrameModel& m) { m.materials[1].e = std::numeric_limits<double>::infinity(); }},
      {"NaN load",
       [](FrameModel& m) {
         m.load_cases[1].items[1].d1 = std::numeric_limits<double>::quiet_NaN();
       }},
      {"NaN spring",
       [](FrameModel& m) {
         m.spring_cases[1].springs[1].k_normal = std::numeric_limits<double>::quiet_NaN();
       }},
  };
  for (const Case& c : cases) {
    FrameModel m = Portal();
    c.spoil(m);
    m.solver_mode = 2;
    AnalysisResults r;
    EXPECT_FALSE(SolveFrame(m, r, {}).empty()) << c.what;
    EXPECT_TRUE(r.failed) << c.what;
  }
  // The unspoilt frame solves.
  FrameModel m = Portal();
  m.solver_mode = 2;
  AnalysisResults r;
  EXPECT_EQ(SolveFrame(m, r, {}), "");
}

}  // namespace
}  // namespace vaultra::testing
