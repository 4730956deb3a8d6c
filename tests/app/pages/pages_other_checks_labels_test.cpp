// What the other-checks page shows for a run: the joint verdicts of the
// run, or, without transverse results, a red "not checked" in place of
// zero forces that would read as a pass.
#include <gtest/gtest.h>

#include "app/calc/run_analysis.h"
#include "app/pages/other_checks_page.h"
#include "core/cp932.h"

namespace vaultra {
namespace {

TEST(OtherChecksLabels, JointVerdictsOnlyFromAnalysedTransverseResults) {
  struct Case {
    bool transverse_ok, joint_checked;
  };
  for (const Case c : {Case{false, false}, Case{false, true}, Case{true, false}}) {
    CalcRun run;
    run.transverse_ok = c.transverse_ok;
    run.transverse_joint_checked = c.joint_checked;
    // What a check over zero forces writes: a pass.
    run.transverse_joint.labels = {"Lv1.圧縮  O.K.", "Lv1.引張  O.K.", "Lv2.圧縮  O.K.",
                                   "Lv2.引張  O.K."};
    run.transverse_joint.colours = {kColourBlue, kColourBlue, kColourBlue, kColourBlue};
    const OtherChecksLabels l = OtherChecksLabelsOf(run);
    const char* heads[4] = {"Lv1.圧縮", "Lv1.引張", "Lv2.圧縮", "Lv2.引張"};
    for (std::size_t i = 0; i < 4; ++i) {
      SCOPED_TRACE(Cp932ToUtf8(l.joint[i]));
      EXPECT_EQ(l.joint[i].rfind(heads[i], 0), 0u);
      EXPECT_EQ(FindText(l.joint[i], "O.K."), std::string::npos);
      EXPECT_NE(FindText(l.joint[i], "未照査"), std::string::npos);
      EXPECT_EQ(l.joint_colours[i], kColourRed);
    }
  }
  CalcRun run;
  run.transverse_ok = run.transverse_joint_checked = true;
  run.transverse_joint.labels = {"a", "b", "c", "d"};
  run.transverse_joint.colours = {kColourBlue, kColourRed, kColourBlue, kColourBlue};
  const OtherChecksLabels l = OtherChecksLabelsOf(run);
  EXPECT_EQ(l.joint, run.transverse_joint.labels);
  EXPECT_EQ(l.joint_colours, run.transverse_joint.colours);
}

}  // namespace
}  // namespace vaultra
