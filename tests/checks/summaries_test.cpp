#include "checks/summaries.h"

#include <gtest/gtest.h>

#include "core/fileio.h"

namespace vaultra {
namespace {

// Tables filled by hand: members of one group with three rows each.
struct Fixture {
  MemberCheckTables t;
  StructureModel model;
  BlockRow row;
  SummaryInput in;
  explicit Fixture(int members, int type = 4, int n = 3) {
    t.Reset(members);
    model.member_count = members;
    for (int k = 0; k < kCheckCombinations; ++k)
      for (int m = 1; m <= members; ++m) {
        MemberCheckTable& tb = t.At(k, m);
        tb.type_code = type;
        tb.count = n;
        model.Member(m).type = type;
        for (int p = 1; p <= n + 1; ++p) tb.Row(p).member = m;
      }
  }
  CheckPointRecord& R(int m, int p, int k = 0) { return t.At(k, m).Row(p); }
  CheckSummaries Run() { return BuildCheckSummaries(t, model, row, in); }
};

TEST(Summaries, GoverningTableTieRules) {
  Fixture f(3);
  // Row 1: M rounds to 10.00 for all three; member 2 has the larger N.
  f.R(1, 1).M = 10.001, f.R(1, 1).N = 1;
  f.R(2, 1).M = 9.998, f.R(2, 1).N = 5;
  f.R(3, 1).M = 10.004, f.R(3, 1).N = 5;  // same N as member 2: no replacement
  // Row 2: equal N everywhere: largest N goes to the last member, largest M
  // stays with the first of equal values.
  for (int m = 1; m <= 3; ++m) f.R(m, 2).M = 4, f.R(m, 2).N = 7, f.R(m, 2).S = -3;
  f.R(2, 2).S = 3.001;  // |S| ties at 3.00; no larger N: first member kept
  const CheckSummaries s = f.Run();
  const int g = CheckGroupOf(4);
  EXPECT_EQ(s.Governing(0, g, 1, kGovMaxM), 2);
  EXPECT_EQ(s.Governing(0, g, 1, kGovMinM), 2);  // equal rounded M, larger N
  EXPECT_EQ(s.Governing(0, g, 2, kGovMaxM), 1);
  EXPECT_EQ(s.Governing(0, g, 2, kGovMaxN), 3);
  EXPECT_EQ(s.Governing(0, g, 2, kGovMinN), 3);
  EXPECT_EQ(s.Governing(0, g, 2, kGovMaxAbsS), 1);
  EXPECT_EQ(s.Governing(0, g, 2, kGovMaxAbsS2), 1);
  // No member has row 5: all nine entries stay 0.
  for (int kind = 0; kind < kGovKinds; ++kind) EXPECT_EQ(s.Governing(0, g, 5, kind), 0);
  EXPECT_EQ(s.Governing(0, g, 0, kGovMaxM), 0);  // the header row is never a target
}

TEST(Summaries, EnvelopesKeepTheirOwnPositions) {
  Fixture f(2);
  // Row kind 1 is row 1: member 1 has the larger M, member 2 the larger |S|.
  f.R(1, 1).x = 0.1, f.R(1, 1).M = 50, f.R(1, 1).S = 5;
  f.R(2, 1).x = 0.7, f.R(2, 1).M = 20, f.R(2, 1).S = -40;
  const CheckSummaries s = f.Run();
  const GroupEnvelope& e = s.envelopes[0][CheckGroupOf(4)][1];
  EXPECT_EQ(e.max_M.member, 1);
  EXPECT_DOUBLE_EQ(e.max_M.x, 0.1);  // not overwritten by the |S| envelope
  EXPECT_EQ(e.max_S.member, 2);
  EXPECT_DOUBLE_EQ(e.max_S.x, 0.7);
  EXPECT_DOUBLE_EQ(e.max_S.absS, 40);
  EXPECT_EQ(e.min_M.member, 2);
  EXPECT_DOUBLE_EQ(e.min_S.absS, 5);
  // Row kind 2 (s0) is empty for both members: nothing is recorded.
  EXPECT_EQ(s.envelopes[0][CheckGroupOf(4)][2].max_M.member, 0);
}

TEST(Summaries, LabelsRowSummaryAndRequiredStirrups) {
  Fixture f(1, 21, 6);
  f.R(1, 3).req_stirrup = 120;  // shear row with a label
  f.R(1, 3).check_bits = kCheckShear;
  f.R(1, 5).req_stirrup = 999;  // no shear bit
  f.R(1, 5).check_bits = kCheckBending;
  f.R(1, 3, 2).req_stirrup = 150;
  f.R(1, 3, 2).check_bits = kCheckShear;
  const CheckSummaries s = f.Run();
  const char* want[] = {"左端部", "Mmin", "Smax", "Smax", "Mmin", "右端部"};
  for (int p = 1; p <= 6; ++p) EXPECT_EQ(f.R(1, p).label, want[p - 1]) << p;
  const GroupRowSummary& g = s.row_summary[0][15];
  EXPECT_TRUE(g.present);
  EXPECT_EQ(g.a1, 2);
  EXPECT_EQ(g.a2, 3);
  EXPECT_EQ(g.b1, 4);
  EXPECT_EQ(g.b2, 5);
  EXPECT_DOUBLE_EQ(s.req_stirrup[0][1], 120);
  EXPECT_DOUBLE_EQ(s.req_stirrup_max[1], 150);
  EXPECT_DOUBLE_EQ(f.model.Section(1).Current(27), 150);

  // A short cast-in-place member has no inner rows to name or summarise.
  Fixture g2(1, 21, 2);
  const CheckSummaries s2 = g2.Run();
  EXPECT_EQ(g2.R(1, 1).label, "左端部");
  EXPECT_EQ(g2.R(1, 2).label, "右端部");
  EXPECT_EQ(s2.row_summary[0][15].b1, 0);
  EXPECT_EQ(s2.row_summary[0][15].a2, 0);  // row 3 would be the maximum row (n + 1)
}

TEST(Summaries, AnEndWithoutHaunchShowsItsCheckRowFirst) {
  Fixture f(1, 1, 5);
  f.t.At(0, 1).s = {0, 0, 0, 2, 0, 0, 0, 4};  // h/2 rows only
  const CheckSummaries s = f.Run();
  const GroupRowSummary& g = s.row_summary[0][1];
  EXPECT_EQ(g.a1, 2);
  EXPECT_EQ(g.a2, 0);
  EXPECT_EQ(g.b1, 4);
  EXPECT_EQ(g.b2, 0);
  EXPECT_EQ(f.R(1, 2).label, "h/2");
  EXPECT_EQ(f.R(1, 1).label, "下端部");
  EXPECT_EQ(f.R(1, 5).label, "上端部");
}

}  // namespace
}  // namespace vaultra

namespace vaultra {
namespace {

TEST(Summaries, DiagnosticDumpsAreCp932WithCrLf) {
  Fixture f(2, 4, 3);
  f.model.Section(1).Current(20) = 2000;
  f.model.Section(1).Current(12) = 0;
  f.R(1, 2).M = -123.4;
  f.R(1, 2).req_steel_inner = 1500.4;
  const CheckSummaries s = f.Run();
  const std::string dir = ::testing::TempDir() + "vaultra_dumps/";
  ASSERT_TRUE(MakeDirs(dir));
  ASSERT_EQ(WriteCheckDumps(dir, f.t, s, f.model), "");
  const auto csv = ReadFileBytes(dir + "#OryokuTb.csv");
  ASSERT_TRUE(csv.has_value());
  const std::string first = std::string(" 1,[ 4],") + "中間ﾌﾞﾛｯｸ頂版" +
                            std::string(20 - std::string("中間ﾌﾞﾛｯｸ頂版").size(), ' ') +
                            ",iAs=,2000,oAs=,   0, Mz=, 123,iAm=,1500,oAm=,   0\r\n";
  EXPECT_EQ(csv->substr(0, first.size()), first);
  const auto txt = ReadFileBytes(dir + "#グループ別の部材力.txt");
  ASSERT_TRUE(txt.has_value());
  EXPECT_EQ(txt->substr(0, 5), "( 7) ");
  EXPECT_NE(txt->find("-123.400 ,"), std::string::npos);
  EXPECT_EQ(txt->find('\n'), txt->find('\r') + 1);
  EXPECT_TRUE(ReadFileBytes(dir + "#ForceIdx.csv").has_value());
  EXPECT_TRUE(ReadFileBytes(dir + "#部材力(OryokuTb)1.txt").has_value());
}

}  // namespace
}  // namespace vaultra
