// The material page: lists per group, master values, defaults, the record.
#include <gtest/gtest.h>

#include "app/pages/material_page.h"
#include "core/number.h"

namespace vaultra {
namespace {

MaterialClass Class(int group, double strength, const char* name, double ca_2d, double ca_h2) {
  MaterialClass m;
  m.class_number = group;
  m.strength = strength;
  m.name = name;
  // values[] holds CSV columns 4 .. 18, 20, 19, 21.
  for (int i = 0; i < kMaterialValueCount; ++i) m.values[static_cast<std::size_t>(i)] = 100 + i;
  m.values[0] = ca_2d;   // column 4
  m.values[1] = ca_h2;   // column 5
  m.values[15] = 24.5;   // column 20 (unit weight)
  m.values[16] = 31000;  // column 19 (Ec)
  return m;
}

MasterData Catalogue() {
  MasterData md;
  md.materials.Add(Class(1, 24, "SD295", 8, 7));
  md.materials.Add(Class(1, 24.0005, "SD345", 8.5, 7.5));  // same strength within 0.001
  md.materials.Add(Class(2, 30, "SD345", 10, 9));
  md.materials.Add(Class(1, 40, "SD345", 14, 13));
  md.materials.Add(Class(0, 0, "", 0, 0));
  md.materials.Add(Class(1, 50, "SD390", 17, 16));  // behind the end mark
  return md;
}

TEST(MaterialLists, DistinctEntriesPerGroupUpToTheEndMark) {
  const MasterData md = Catalogue();
  EXPECT_EQ(StrengthList(md, 1), (std::vector<std::string>{" 24.00", " 40.00"}));
  EXPECT_EQ(RebarTypeList(md, 1), (std::vector<std::string>{" SD295", " SD345"}));
  EXPECT_EQ(StrengthList(md, 2), (std::vector<std::string>{" 30.00"}));
  EXPECT_TRUE(StrengthList(md, 3).empty());
}

TEST(MaterialLists, LongRebarNamesAreCutOnCharacterBoundaries) {
  MasterData md;
  // 14 one-byte characters and a two-byte one: the cut at 15 bytes keeps 14.
  md.materials.Add(Class(1, 24, "ABCDEFGHIJKLMN鉄", 8, 7));
  const std::vector<std::string> items = RebarTypeList(md, 1);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0], " ABCDEFGHIJKLMN");
}

TEST(ViewKyoudo, FillsFromTheMatchingRecordByShearPosition) {
  const MasterData md = Catalogue();
  FormState f = DefaultMaterialForm();
  SetConcList(f, md);
  f.At("Kjn1").index = 1;     // 40
  f.At("Syurui1").index = 1;  // SD345
  ASSERT_TRUE(ViewKyoudo(f, md, 1, true));
  EXPECT_DOUBLE_EQ(ReadReal(f.Text("nSca1")), 14);
  EXPECT_DOUBLE_EQ(ReadReal(f.Text("Gc1")), 24.5);
  EXPECT_DOUBLE_EQ(ReadReal(f.Text("Ec1")), 31000);
  ASSERT_TRUE(ViewKyoudo(f, md, 1, false));
  EXPECT_DOUBLE_EQ(ReadReal(f.Text("nSca1")), 13);
  // 40 with SD295 has no record: the fields stay.
  f.At("Syurui1").index = 0;
  f.SetText("nSca1", "99");
  EXPECT_FALSE(ViewKyoudo(f, md, 1, true));
  EXPECT_EQ(f.Text("nSca1"), "99");
  // Empty lists: nothing.
  EXPECT_FALSE(ViewKyoudo(f, md, 3, true));
}

TEST(MaterialCommit, TakesEveryFieldWithoutChecks) {
  const MasterData md = Catalogue();
  ProjectState s = DefaultProjectState();
  SetConcList(s.material, md);
  s.material.At("Kjn2").index = 0;
  s.material.At("Syurui2").index = 0;
  s.material.SetText("nTa2", "abc");
  s.material.SetText("Pw3", "1.20");
  CommitMaterialInputs(s);
  const MaterialsRecord& r = s.records.materials;
  EXPECT_DOUBLE_EQ(r.columns[2].sigma_ck, 30);
  EXPECT_EQ(r.columns[2].rebar, " SD345");
  EXPECT_DOUBLE_EQ(r.columns[2].n_ta, 0);
  EXPECT_DOUBLE_EQ(r.columns[1].es, 200000);
  EXPECT_DOUBLE_EQ(r.gamma_plain, 20);
  EXPECT_DOUBLE_EQ(r.factors[3][8], 1.2);  // Pw of column 3 (factors count from 1)
  EXPECT_DOUBLE_EQ(r.factors[1][1], 1.0);
}

}  // namespace
}  // namespace vaultra
