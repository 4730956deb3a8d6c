// The loads record and the rules that couple its buttons.
#include <gtest/gtest.h>

#include "app/loads_page.h"

namespace vaultra {
namespace {

TEST(LoadsCommit, DesignedDefaults) {
  ProjectState s = DefaultProjectState();
  CommitLoadsInputs(s);
  const LoadsRecord& r = s.records.loads;
  EXPECT_DOUBLE_EQ(r.kah, 0.5);
  EXPECT_DOUBLE_EQ(r.gamma_w, 9.8);
  EXPECT_EQ(r.method, 0);
  EXPECT_EQ(r.sv1_standard, 1);
  EXPECT_EQ(r.spring_formula, 1);
  EXPECT_EQ(r.region, 4);
  EXPECT_EQ(r.eo_method, 2);
  EXPECT_DOUBLE_EQ(r.cs, 1.0);  // Cs applies to the seismic coefficient method only
  EXPECT_DOUBLE_EQ(r.typed[1].ksb[2], 123456);
  EXPECT_DOUBLE_EQ(r.tau[2][1], 2.0);
  EXPECT_FALSE(r.cap_10m);
}

TEST(LoadsCommit, CouplingRules) {
  struct Case {
    const char* what;
    void (*edit)(FormState&);
    bool (*check)(const LoadsRecord&);
  };
  const Case cases[] = {
      {"Cs 0.45 under the seismic coefficient method",
       [](FormState& f) {
         f.CheckRadio("RbCalcSindo");
         f.At("RgCs").SetIndex(1);
       },
       [](const LoadsRecord& r) { return r.cs == 0.45 && r.method == 1; }},
      {"strata only with the response displacement method",
       [](FormState& f) {
         f.At("PhSo").checked = true;
         f.CheckRadio("RbCalcSindo");
       },
       [](const LoadsRecord& r) { return !r.strata; }},
      {"strata taken", [](FormState& f) { f.At("PhSo").checked = true; },
       [](const LoadsRecord& r) { return r.strata; }},
      {"parking guideline with 地中式 stores 道路橋式",
       [](FormState& f) {
         f.At("GBoxSisin").SetIndex(0);
         f.At("GBoxBaneSiki").SetIndex(0);
       },
       [](const LoadsRecord& r) { return r.spring_formula == 1; }},
      {"sewer guideline keeps 地中式", [](FormState& f) { f.At("GBoxBaneSiki").SetIndex(0); },
       [](const LoadsRecord& r) { return r.spring_formula == 0; }},
      {"typed springs below 1 become 1", [](FormState& f) { f.SetText("Ed_YokoKv1", "0.2"); },
       [](const LoadsRecord& r) { return r.typed[0].kv[1] == 1.0; }},
      {"last checked Eo button wins",
       [](FormState& f) {
         f.At("RbEo3").checked = true;
         f.At("RbEo4").checked = true;
       },
       [](const LoadsRecord& r) { return r.eo_method == 4; }},
      {"unreadable text reads 0", [](FormState& f) { f.SetText("Ed_q", "abc"); },
       [](const LoadsRecord& r) { return r.q == 0; }},
  };
  for (const Case& c : cases) {
    ProjectState s = DefaultProjectState();
    c.edit(s.loads);
    CommitLoadsInputs(s);
    EXPECT_TRUE(c.check(s.records.loads)) << c.what;
  }
}

TEST(LoadsButtons, MethodSv1AndStrata) {
  FormState f = DefaultLoadsForm();
  f.At("GBoxSisin").SetIndex(0);
  f.At("PhSo").checked = true;
  f.CheckRadio("RbCalcSindo");
  MethodChanged(f);
  EXPECT_TRUE(f.Checked("PhUm"));
  EXPECT_FALSE(f.Checked("PhSo"));
  EXPECT_EQ(f.Index("GBoxSisin"), 1);
  f.At("GBoxSisin").SetIndex(0);
  f.At("GBoxBaneSiki").SetIndex(0);
  Sv1StandardChanged(f);
  EXPECT_EQ(f.Index("GBoxBaneSiki"), 1);
  f.At("PhUm").checked = false;
  KeepStrataButtons(f, "PhUm");
  EXPECT_TRUE(f.Checked("PhSo"));
  f.At("PhSo").checked = false;
  KeepStrataButtons(f, "");
  EXPECT_TRUE(f.Checked("PhUm"));
  // An earth-pressure option click shows the first earth-pressure case.
  f.At("RgKajyuType").SetIndex(0);
  KeepStrataButtons(f, "RgKea3");
  EXPECT_EQ(ShownLoadCase(f), 11);
}

TEST(LoadsDisplay, ShownCaseAndDirection) {
  FormState f = DefaultLoadsForm();
  EXPECT_EQ(ShownLoadCase(f), 2);   // "2) 静止土圧"
  f.At("RgKajyuType").SetIndex(7);  // "*)  ---"
  EXPECT_EQ(ShownLoadCase(f), 1);
  f.At("RgKajyuType").SetIndex(19);
  EXPECT_EQ(ShownLoadCase(f), 21);
  f.At("RgKajyuType").index = -1;
  EXPECT_EQ(ShownLoadCase(f), 1);
  EXPECT_TRUE(ShownTransverse(f));
  f.CheckRadio("RbTate");
  EXPECT_FALSE(ShownTransverse(f));
  EXPECT_FALSE(TypedSpringsEnabled(f));
  f.At("GBoxBaneSiki").SetIndex(2);
  EXPECT_TRUE(TypedSpringsEnabled(f));
}

}  // namespace
}  // namespace vaultra
