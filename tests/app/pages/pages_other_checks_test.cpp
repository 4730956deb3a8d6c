// The other-checks page's logic on built projects: the defaults a product
// change brings, the preparation step, the list changes and the commit into
// the joint design record.
#include <gtest/gtest.h>

#include "app/pages/other_checks_page.h"
#include "app/document/project_file.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "core/number.h"
#include "sample_builder.h"

namespace vaultra {
namespace {

using testing::BuildSample;
using testing::SampleSpecs;
using testing::ShippedMaster;

class OtherChecksPage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { md_ = new MasterData(ShippedMaster()); }
  static void TearDownTestSuite() {
    delete md_;
    md_ = nullptr;
  }
  // A project built through the model page as a user enters it: the product
  // choice runs the model update with its other-checks defaults.
  ProjectState Built(const char* file) {
    for (const auto& spec : SampleSpecs())
      if (std::string(spec.file) == file) {
        InputPageLogic logic(*md_);
        return BuildSample(spec, *md_, logic);
      }
    ADD_FAILURE() << file;
    return DefaultProjectState();
  }
  static double Num(const FormState& f, const char* name) { return ReadReal(f.Text(name)); }
  static MasterData* md_;
};
MasterData* OtherChecksPage::md_ = nullptr;

TEST_F(OtherChecksPage, ProductChangeBringsEndWallDefaultsByLayoutAndThickness) {
  // The stand product has a 0.3 m upper end wall: two-way slab, bars inside, covers 60.
  ProjectState stand = Built("stand_two_slabs.vt1");
  ASSERT_NEAR(Num(stand.model, "Ed_wl_a"), 0.3, 1e-9);
  const FormState& f = stand.other_checks;
  EXPECT_EQ(f.Index("RHari12"), kEndWallMethodTwoWay);
  EXPECT_FALSE(f.Checked("CkYokoUti"));
  EXPECT_EQ(Num(f, "Ed_ViK"), 60);
  EXPECT_EQ(Num(f, "Ed_VoK"), 60);
  // The vertical bars are those of the product's end-wall record.
  const EndWallRecord* rec = ProductEndWallRecord(stand, *md_);
  ASSERT_NE(rec, nullptr);
  const RebarEntry& v = rec->entries[0];
  ASSERT_GT(v.size1 * v.real1, 0.1);
  EXPECT_EQ(BarDiameterOfItem(f.At("Cb_ViD").SelectedText()), v.size1);
  EXPECT_NEAR(Num(f, "Ed_ViN"), v.real1, 0.01);
  // The joint defaults: SS400 bolts of M24, 13 mm PC bars, D13 distribution bars.
  EXPECT_NE(f.At("TBoltS").SelectedText().find("SS400"), std::string::npos);
  EXPECT_NE(f.At("TBoltK").SelectedText().find("M24"), std::string::npos);
  EXPECT_NE(f.At("p5Cb_PcNam").SelectedText().find("13."), std::string::npos);
  EXPECT_EQ(Num(f, "p5Ed_Np"), 3);  // stand layout
  EXPECT_NE(f.At("p8Cb_Nam").SelectedText().find("D13"), std::string::npos);
  EXPECT_NEAR(Num(f, "p3Ed_Ac"),
              JointEffectiveArea(stand.block_row, stand.transverse.real_block_count), 0.5);

  // A box product: simple beam with the vertical bars outside, covers 50.
  ProjectState box = Built("box_three_boxes.vt1");
  EXPECT_EQ(box.other_checks.Index("RHari12"), kEndWallMethodSimpleBeam);
  EXPECT_TRUE(box.other_checks.Checked("CkYokoUti"));
  EXPECT_EQ(Num(box.other_checks, "Ed_ViK"), 50);
  EXPECT_EQ(Num(box.other_checks, "p5Ed_Np"), 4);
}

TEST_F(OtherChecksPage, PcBarSizeSetsTheBarCountByLayout) {
  for (const char* file : {"box_three_boxes.vt1", "stand_two_slabs.vt1"}) {
    SCOPED_TRACE(file);
    ProjectState s = Built(file);
    FormState& f = s.other_checks;
    const int k = FindItemContaining(f.At("p5Cb_PcNam").items, "13.0 mm");
    ASSERT_GE(k, 0);
    f.At("p5Cb_PcNam").SetIndex(k);
    f.SetText("p5Ed_Np", "0.00");
    EXPECT_TRUE(OtherChecksListChanged(s, *md_, "p5Cb_PcNam"));
    EXPECT_EQ(Num(f, "p5Ed_Np"), s.records.model.facility_type == 1 ? 4 : 3);
    EXPECT_NEAR(Num(f, "p5Ed_Ap"), PcBarArea(*md_, k), 0.01);
  }
}

TEST_F(OtherChecksPage, PreparationStepWeighsTheHeaviestBlock) {
  ProjectState s = Built("box_three_boxes.vt1");
  // A box weighs its outer outline minus the cell: (B + 2a)(c + H + f) − B·H.
  double largest = 0;
  for (int k = 1; k <= s.transverse.real_block_count; ++k) {
    const DimensionSet& d = s.block_row.At(k).working_set;
    if (d.kind < kBlockLeftEnd || d.kind > kBlockRightEnd) continue;
    largest = std::max(largest, (d.B() + 2 * d.a()) * (d.c() + d.H() + d.f()) - d.B() * d.H());
  }
  ASSERT_GT(largest, 0);
  const double weight =
      largest * s.records.materials.Column(1).gamma_c * s.block_row.At(1).working_set.L();
  FormState& f = s.other_checks;
  f.SetText("p5Ed_Ap", "100.00");
  PrepareOtherChecks(s);
  EXPECT_NEAR(Num(f, "Ed_BlkWt"), weight, 0.0006);
  EXPECT_NEAR(Num(f, "p5Ed_Po"), weight * 1000 / 200, 0.006);
  // Without a bar area the divisor is 0.1, not 0.
  f.SetText("p5Ed_Ap", "0.00");
  PrepareOtherChecks(s);
  EXPECT_NEAR(Num(f, "p5Ed_Po"), weight * 1000 / 0.1, 0.006);
}

TEST_F(OtherChecksPage, CommitTakesEveryGroupFromItsControl) {
  ProjectState s = Built("box_three_boxes.vt1");
  FormState& f = s.other_checks;
  const int d16 = FindItemContaining(f.At("Cb_HiDu").items, "D16");
  const int d22 = FindItemContaining(f.At("Cb_HoDb").items, "D22");
  ASSERT_GE(d16, 0);
  ASSERT_GE(d22, 0);
  f.At("Cb_HiDu").SetIndex(d16);
  f.SetText("Ed_HiNu", "5.00");
  f.At("Cb_HoDb").SetIndex(d22);
  f.At("RBoltSu").SetIndex(2);
  f.SetText("p6Ed_Ua1", "2.50");
  f.At("RHari12").SetIndex(1);
  CommitOtherChecksInputs(s);
  const JointDesignRecord& r = s.records.joints;
  EXPECT_EQ(r.connecting_bolt_count, 6);
  EXPECT_EQ(r.Ua1, 2.5);
  EXPECT_EQ(r.end_wall.method, kEndWallMethodTwoWay);
  EXPECT_EQ(r.end_wall.horizontal_inner[0].diameter, 16);
  EXPECT_EQ(r.end_wall.horizontal_inner[0].count, 5);
  // The middle part has no inputs: it takes the upper bars.
  EXPECT_EQ(r.end_wall.horizontal_inner[1].diameter, 16);
  EXPECT_EQ(r.end_wall.horizontal_inner[1].count, 5);
  EXPECT_EQ(r.end_wall.horizontal_outer[2].diameter, 22);
  EXPECT_EQ(r.bolt_type, Trim(f.At("TBoltS").SelectedText()));
  EXPECT_EQ(r.bolt_type.front() == ' ', false);  // list texts are trimmed

  // The simple beam takes the vertical bars only: the rule checks CkYokoUti.
  f.At("RHari12").SetIndex(0);
  f.At("CkYokoUti").checked = false;
  const EndWallMethodView v = ApplyEndWallMethod(f);
  EXPECT_FALSE(v.horizontal_bars_enabled);
  EXPECT_TRUE(f.Checked("CkYokoUti"));
}

TEST_F(OtherChecksPage, OpeningAProjectKeepsItsOtherChecksInputs) {
  // Reading a file must not look like a product change.
  ProjectState s = Built("stand_two_slabs.vt1");
  s.other_checks.SetText("Ed_ViK", "45.0");
  InputPageLogic logic(*md_);
  const std::string text = JoinLinesCrLf(ProjectFileLines(s, "x.vt1", logic));
  ProjectState r = DefaultProjectState();
  const LoadResult res = LoadProjectText(r, text, "x.vt1", logic);
  ASSERT_TRUE(res.loaded);
  EXPECT_EQ(r.other_checks.Text("Ed_ViK"), s.other_checks.Text("Ed_ViK"));
  EXPECT_EQ(r.other_checks.Index("Cb_ViD"), s.other_checks.Index("Cb_ViD"));
  EXPECT_EQ(r.other_checks.Index("RHari12"), s.other_checks.Index("RHari12"));
}

}  // namespace
}  // namespace vaultra
