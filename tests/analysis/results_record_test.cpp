// The analysis-results record filled again: every member value is zero
// after Allocate, however it was written before and whatever the sizes.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "analysis/analysis_results.h"

namespace vaultra {
namespace {

bool IsZero(const MemberCaseResult& v) {
  if (v.count != 0 || v.max_index != 0 || v.merged) return false;
  for (const auto& p : v.points)
    for (double x : p)
      if (x != 0 || std::signbit(x)) return false;
  for (double x : v.refined)
    if (x != 0 || std::signbit(x)) return false;
  return true;
}

// Writes member values of a few cases and members, as a solver would.
void Scribble(AnalysisResults& r, int salt) {
  for (int c : {1, 7, kResultMaxCases})
    for (int m = 1; m <= r.member_count; m += 2) {
      MemberCaseResult& v = r.At(c, m);
      v.count = 3;
      v.max_index = 4;
      v.merged = true;
      v.refined[2] = -salt;
      for (auto& p : v.points) p = {1.0 * salt, -0.0, 2, 3, 4};
    }
}

TEST(ResultsRecord, RefilledRecordHasOnlyZeroMemberValues) {
  struct Case {
    const char* what;
    int members_before, members_after;
    bool keep_storage;  // ClearForAllocate, as the solver refills
  } cases[] = {
      {"same size, storage kept", 6, 6, true},
      {"same size, cleared", 6, 6, false},
      {"fewer members, storage kept", 9, 4, true},
      {"more members, storage kept", 4, 9, true},
      {"largest record", kResultMaxMembers, kResultMaxMembers, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AnalysisResults r;
    ASSERT_TRUE(r.Allocate(5, c.members_before));
    Scribble(r, 1);
    r.Disp(2, 3).dx = 5;
    r.cases[4].reactions.push_back({});
    if (c.keep_storage)
      r.ClearForAllocate();
    else
      r.Clear();
    ASSERT_TRUE(r.Allocate(5, c.members_after));
    for (int k = 1; k <= kResultMaxCases; ++k)
      for (int m = 1; m <= c.members_after; ++m)
        ASSERT_TRUE(IsZero(r.At(k, m))) << "case " << k << " member " << m;
    EXPECT_EQ(r.Disp(2, 3).dx, 0);
    EXPECT_TRUE(r.cases[4].reactions.empty());
    // And once more, after writing through a record read as const first.
    const AnalysisResults& view = r;
    EXPECT_TRUE(IsZero(view.At(1, 1)));
    Scribble(r, 2);
    r.ClearForAllocate();
    ASSERT_TRUE(r.Allocate(5, c.members_after));
    for (int k = 1; k <= kResultMaxCases; ++k)
      for (int m = 1; m <= c.members_after; ++m)
        ASSERT_TRUE(IsZero(r.At(k, m))) << "second refill, case " << k << " member " << m;
  }
}

TEST(ResultsRecord, CopiesAndMovesRefillCleanly) {
  AnalysisResults a;
  ASSERT_TRUE(a.Allocate(3, 5));
  Scribble(a, 3);
  AnalysisResults b = a;  // the copy knows what was written
  b.ClearForAllocate();
  ASSERT_TRUE(b.Allocate(3, 5));
  AnalysisResults c = std::move(a);
  c.ClearForAllocate();
  ASSERT_TRUE(c.Allocate(3, 5));
  for (int k = 1; k <= kResultMaxCases; ++k)
    for (int m = 1; m <= 5; ++m) {
      EXPECT_TRUE(IsZero(b.At(k, m))) << k << " " << m;
      EXPECT_TRUE(IsZero(c.At(k, m))) << k << " " << m;
    }
  EXPECT_FALSE(c.Allocate(3, kResultMaxMembers + 1));
}

}  // namespace
}  // namespace vaultra
