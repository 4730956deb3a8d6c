// The section-detail window's fields in the project record and through a
// project file.
#include <gtest/gtest.h>

#include "app/document/project_file.h"
#include "app/pages/page_logic_impl.h"
#include "app/pages/section_detail_form.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "sample_builder.h"

namespace vaultra {
namespace {

TEST(SectionDetailForm, RecordAndInputsCarryEveryFieldAndBox) {
  SectionDetailInputs in = SectionDetailInputs::Initial();
  in.text[kSdM] = "  -12.500";
  in.text[kSdThs] = "    45.0";
  in.cb_fig1 = false;
  in.ck_ta_h2 = true;
  FormState f = DefaultSectionDetailForm();
  StoreSectionDetailInputs(in, f);
  EXPECT_EQ(f.Text("edM"), "  -12.500");
  EXPECT_EQ(f.Text("edThs"), "    45.0");
  EXPECT_FALSE(f.Checked("CbFig1"));
  EXPECT_TRUE(f.Checked("CbFig2"));
  EXPECT_TRUE(f.Checked("CkTaH2"));
  const SectionDetailInputs back = SectionDetailInputsOf(f);
  EXPECT_EQ(back.text, in.text);
  EXPECT_EQ(back.cb_fig1, false);
  EXPECT_EQ(back.ck_ta_h2, true);

  // A record without a field (or with a control of another kind) leaves
  // the window's initial text.
  FormState partial;
  partial.controls.push_back(EditControl("edN", "7", 93));
  partial.controls.push_back(CheckBoxControl("edS", true));
  const SectionDetailInputs p = SectionDetailInputsOf(partial);
  EXPECT_EQ(p.text[kSdN], "7");
  EXPECT_EQ(p.text[kSdS], "0");
  EXPECT_EQ(p.text[kSdM], "4931.8");
  EXPECT_TRUE(p.cb_fig1);
}

TEST(SectionDetailForm, FieldsTravelWithTheProjectFile) {
  const MasterData md = testing::ShippedMaster();
  InputPageLogic logic(md);
  ProjectState s = DefaultProjectState();
  SectionDetailInputs in = SectionDetailInputs::Initial();
  in.text[kSdH] = "   1200";  // as its tag 70 formats it
  in.text[kSdAs2] = "  2865.0";
  in.cb_fig2 = false;
  StoreSectionDetailInputs(in, s.section_detail);
  const std::string text = JoinLinesCrLf(ProjectFileLines(s, "x.vt1", logic));
  EXPECT_NE(text.find("edH =    1200\r\n"), std::string::npos);
  EXPECT_NE(text.find("CbFig2 = 0\r\n"), std::string::npos);
  ProjectState r = DefaultProjectState();
  ASSERT_TRUE(LoadProjectText(r, text, "x.vt1", logic).loaded);
  const SectionDetailInputs back = SectionDetailInputsOf(r.section_detail);
  EXPECT_EQ(back.text[kSdH], "   1200");
  EXPECT_EQ(back.text[kSdAs2], "  2865.0");
  EXPECT_FALSE(back.cb_fig2);
  EXPECT_TRUE(back.cb_fig1);
}

// The window's initial Ec 2067 / Es 31000 give way to the project's block
// materials (f'ck 30, fyk 345, fwyd 345, Ec 28000, Es 200000 here, tags 83,
// 82, 82, 80, 80); a record that holds other values keeps them.
TEST(SectionDetailForm, InitialMaterialsGiveWayToTheProjects) {
  MaterialsRecord m;
  m.columns[1].f1ck = 30;
  m.columns[1].fyk = 345;
  m.columns[1].fwyd = 345;
  m.columns[1].ec = 28000;
  m.columns[1].es = 200000;
  FormState f = DefaultSectionDetailForm();
  ASSERT_EQ(Trim(f.Text("edEc")), "2067");
  EXPECT_TRUE(TakeProjectMaterials(f, m));
  EXPECT_EQ(f.Text("edFdck"), "  30.000");
  EXPECT_EQ(f.Text("edFyk"), "  345.00");
  EXPECT_EQ(f.Text("edEc"), "   28000");
  EXPECT_EQ(f.Text("edEs"), "  200000");
  // Taken once: the record now holds the project's values and keeps them.
  m.columns[1].ec = 31000;
  EXPECT_FALSE(TakeProjectMaterials(f, m));
  EXPECT_EQ(f.Text("edEc"), "   28000");
}

}  // namespace
}  // namespace vaultra
