// The section checks run again over a finished run: the report preview's
// overrides change the verdicts, and running them again without overrides
// gives back every verdict of the run.
#include <gtest/gtest.h>

#include "report/sample_run.h"

namespace vaultra {
namespace {

TEST(Recheck, OverridesChangeTheVerdictsAndPlainChecksRestoreEveryOne) {
  SampleRun s("stand_two_slabs.vt1");
  ASSERT_TRUE(s.built);
  ASSERT_TRUE(s.run.members_checked);
  const std::vector<MemberVerdict> before = MemberVerdicts(s.run, s.state.transverse);
  int failed_before = 0;
  for (const MemberVerdict& v : before) failed_before += v.analysed && !v.ok;

  // A steel stress far beyond any allowable one fails every bending check
  // of the normal and level-1 combinations.
  CheckOverrides huge;
  huge.sigma_s = 1e5;
  RecheckMembers(s.state, s.md, s.run, huge);
  ASSERT_TRUE(s.run.members_checked);
  int failed_with = 0;
  for (const MemberVerdict& v : MemberVerdicts(s.run, s.state.transverse))
    failed_with += v.combination < 2 && !v.ok;
  EXPECT_GT(failed_with, failed_before);

  RecheckMembers(s.state, s.md, s.run);
  const std::vector<MemberVerdict> after = MemberVerdicts(s.run, s.state.transverse);
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(after[i].ok, before[i].ok) << i;
    EXPECT_DOUBLE_EQ(after[i].ratio, before[i].ratio) << i;
  }
}

TEST(Recheck, AFailedAnalysisStaysUnchecked) {
  SampleRun s("stand_two_slabs.vt1");
  ASSERT_TRUE(s.run.members_checked);
  s.run.transverse_ok = false;
  s.run.members_checked = false;
  CheckOverrides o;
  o.tau_c = 5;
  RecheckMembers(s.state, s.md, s.run, o);
  EXPECT_FALSE(s.run.members_checked);  // no verdict from results that failed
}

}  // namespace
}  // namespace vaultra
