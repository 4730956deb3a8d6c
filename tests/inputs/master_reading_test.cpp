// The reading rules of the master tables, on small hand-made CSV texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inputs/master_data.h"
#include "core/number.h"

namespace vaultra {
namespace {

std::vector<std::string> Lines(std::initializer_list<const char*> texts) {
  return std::vector<std::string>(texts.begin(), texts.end());
}

TEST(MasterLineSplit, RemovesHalfAndFullWidthBlanksAndPadsColumns) {
  // "１ ２" with a full-width blank between two fields' characters.
  std::vector<std::string> cols = SplitMasterLine(
      "a b,\x81\x40"
      "c\x81\x40"
      "d,e");
  ASSERT_GE(cols.size(), 33u);  // 3 fields and 30 padding commas
  EXPECT_EQ(cols[0], "ab");
  EXPECT_EQ(cols[1], "cd");
  EXPECT_EQ(cols[2], "e");
  EXPECT_EQ(cols[3], "");
}

TEST(MasterLineSplit, KeepsTrailByteFollowedByAt) {
  // 0x88 0x81 is one character; the '@' (0x40) after it is not a blank.
  std::vector<std::string> cols = SplitMasterLine("\x88\x81@,x");
  EXPECT_EQ(cols[0], "\x88\x81@");
  EXPECT_EQ(cols[1], "x");
}

TEST(MasterSizeNumber, DropsFirstCharacterAndReadsUpToNine) {
  struct Case {
    const char* field;
    double value;
  } cases[] = {
      {"D13", 13},
      {"M16", 16},
      {"\x82\x63"
       "22",
       22},  // full-width Ｄ
      {"", 0},
      {"D", 0},
      {"D1234567890", 123456789},
      {"D\x82\x50\x82\x55", 16},  // full-width digits １６
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(SizeNumber(c.field), c.value) << c.field;
}

TEST(MasterDimensions, SlabRowTakesOneLineBlockRowTwoAndBDefaultsToA) {
  RecordingUi ui;
  MasterData md;
  // The second line of the stand row starts with "T" in column 1: it belongs
  // to the stand and must not become a slab.
  ReadDimensionTables(
      Lines({"No,種別,記号,製品名,区分,B,H,L,a,b", "1,S,ST1,ｽﾀﾝﾄﾞ,W,950,1500,2000,250,,300,400",
             ",T,,(中間),,900,1500,2000,260,270,300", "2,T,SL1,ｽﾗﾌﾞ,S,2000,0,2000,0,200,1800,100",
             "3,B,BX1,ﾎﾞｯｸｽ,,2000,1500,2000,200,,250", ",,,(中間),,2000,1500,2000,210,,250"}),
      md, ui, "dims.csv");
  EXPECT_TRUE(ui.messages.empty());
  ASSERT_EQ(md.stand.count(), 1);
  ASSERT_EQ(md.slab.count(), 1);
  ASSERT_EQ(md.box.count(), 1);
  EXPECT_EQ(md.mini_gate.count(), 0);

  const ProductRecord& st = md.stand[0];
  EXPECT_EQ(st.name, "ｽﾀﾝﾄﾞ");
  EXPECT_EQ(st.sub_kind, 'W');
  EXPECT_EQ(st.set1.kind, 1);
  EXPECT_DOUBLE_EQ(st.set1.v[kDimB], 0.95);
  EXPECT_DOUBLE_EQ(st.set1.v[kDimH], 1.5);
  EXPECT_DOUBLE_EQ(st.set1.v[kDimA], 0.25);
  EXPECT_DOUBLE_EQ(st.set1.v[kDimB2], 0.25);  // empty b takes a
  EXPECT_DOUBLE_EQ(st.set1.v[kDimD], 0.4);
  EXPECT_EQ(st.set2.kind, 2);
  EXPECT_DOUBLE_EQ(st.set2.v[kDimA], 0.26);
  EXPECT_DOUBLE_EQ(st.set2.v[kDimB2], 0.27);  // given b is kept

  const ProductRecord& sl = md.slab[0];
  EXPECT_EQ(sl.set1.kind, 6);
  EXPECT_EQ(sl.set2.kind, 6);
  EXPECT_DOUBLE_EQ(sl.set1.v[kDimB], 2.0);
  EXPECT_DOUBLE_EQ(sl.set1.v[kDimB2], 0.2);
  for (double v : sl.set2.v) EXPECT_EQ(v, 0);

  const ProductRecord& bx = md.box[0];
  EXPECT_EQ(bx.sub_kind, '.');  // empty sub-kind
  EXPECT_DOUBLE_EQ(bx.set1.v[kDimB2], 0.2);
  EXPECT_DOUBLE_EQ(bx.set2.v[kDimB2], 0.21);
}

TEST(MasterDimensions, BlockRowOnLastLineGetsEmptyIntermediateSet) {
  RecordingUi ui;
  MasterData md;
  ReadDimensionTables(Lines({"1,M,MG,ﾐﾆ,N,1000,1000,2000,150"}), md, ui, "dims.csv");
  ASSERT_EQ(md.mini_gate.count(), 1);
  EXPECT_EQ(md.mini_gate[0].set2.kind, 2);
  EXPECT_EQ(md.mini_gate[0].set2.v[kDimA], 0);
}

TEST(MasterDimensions, NamesAreCutOnCharacterBoundary) {
  RecordingUi ui;
  MasterData md;
  // 30 ASCII bytes then a two-byte character: 32 bytes, cut to 30, not 31.
  std::string name(30, 'x');
  name += "\x83\x41";
  std::string line = "1,T,SL," + name + ",S,2000";
  ReadDimensionTables({line}, md, ui, "dims.csv");
  ASSERT_EQ(md.slab.count(), 1);
  EXPECT_EQ(md.slab[0].name, std::string(30, 'x'));
}

// One arrangement record: four lines, each with the given entries text
// starting at column 4.
std::vector<std::string> RebarRecord(const std::string& type, const std::string& name,
                                     const std::vector<std::string>& rows) {
  std::vector<std::string> out;
  for (std::size_t t = 0; t < rows.size(); ++t) {
    out.push_back((t == 0 ? "1," + type + "," + name + ",r1," : std::string(",,,r,")) + rows[t]);
  }
  return out;
}

TEST(MasterRebar, EmptyRealTakesTheOtherAndEntryFiveIsReversed) {
  RecordingUi ui;
  MasterData md;
  // Entry 0: D13 0.125 D16 (empty).  Entry 5 (columns 24-27): D19 4, D22 6.
  std::string row1 = "D13,0.125,D16,,";  // entry 0
  row1 += ",,,,,,,,,,,,,,,,";            // entries 1-4
  row1 += "D19,4,D22,6";                 // entry 5
  std::vector<std::string> lines = RebarRecord("S", "2030N20", {row1, "", "", ""});
  lines.push_back("");
  ReadRebarArrangements(lines, md, ui, "rebar.csv");
  ASSERT_EQ(md.rebar.count(), 1);
  const RebarArrangement& r = md.rebar[1];
  EXPECT_EQ(r.type, 'S');
  EXPECT_EQ(r.name, "2030N20");
  EXPECT_EQ(r.Entry(1, 0), (RebarEntry{13, 0.125, 16, 0.125}));
  EXPECT_EQ(r.Entry(1, 5), (RebarEntry{22, 6, 19, 4}));
  // Out of range reads as empty.
  EXPECT_EQ(r.Entry(0, 0), RebarEntry{});
  EXPECT_EQ(r.Entry(5, 0), RebarEntry{});
  EXPECT_EQ(r.Entry(1, 8), RebarEntry{});
}

std::string Entry3(const std::string& text) {
  // Entry 3 occupies columns 16-19: 12 empty fields for entries 0-2 first.
  return ",,,,,,,,,,,," + text;
}

TEST(MasterRebar, BottomSlabAndCastInPlaceFills) {
  RecordingUi ui;
  MasterData md;
  // Row 1 entry 3: D16 8 / D19 8; row 2 entry 3: D13 4 / D13 4; rows 3 and 4 empty.
  std::vector<std::string> lines =
      RebarRecord("B", "202030N", {Entry3("D16,8,D19,8"), Entry3("D13,4,D13,4"), "", ""});
  // Second record: row 3 entry 3 given, row 4 empty.
  std::vector<std::string> second = RebarRecord(
      "B", "202040N", {Entry3("D16,8,D19,8"), Entry3("D13,4,D13,4"), Entry3("D22,5,D22,5"), ""});
  lines.insert(lines.end(), second.begin(), second.end());
  lines.insert(lines.end(), {"", "", ""});
  ReadRebarArrangements(lines, md, ui, "rebar.csv");
  ASSERT_EQ(md.rebar.count(), 2);

  const RebarArrangement& a = md.rebar[1];
  const RebarEntry end1{16, 8, 19, 8};
  const RebarEntry end2{13, 4, 13, 4};
  EXPECT_EQ(a.Entry(2, 3), end2);
  EXPECT_EQ(a.Entry(3, 3), end1);  // intermediate layer 1 from the end block
  // Row 4 is read after the copy into it; row 3 is no longer empty then, so
  // row 4 keeps what it read (nothing).
  EXPECT_EQ(a.Entry(4, 3), RebarEntry{});
  EXPECT_EQ(a.Entry(1, 6), end1);  // cast-in-place slab from the end block's bottom slab

  const RebarArrangement& b = md.rebar[2];
  EXPECT_EQ(b.Entry(3, 3), (RebarEntry{22, 5, 22, 5}));
  EXPECT_EQ(b.Entry(4, 3), RebarEntry{});
}

TEST(MasterRebar, LastThreeLinesNeverStartARecord) {
  RecordingUi ui;
  MasterData md;
  std::vector<std::string> lines = RebarRecord("M", "101020N", {"D13,8", "", "", ""});
  lines.push_back("2,S,LATE,r1,D13,8");
  lines.push_back("");
  lines.push_back("");
  ReadRebarArrangements(lines, md, ui, "rebar.csv");
  EXPECT_EQ(md.rebar.count(), 1);
  EXPECT_EQ(md.rebar[1].name, "101020N");
}

TEST(MasterRebar, LookupTakesTheLastArrangementAndTheFirstEndWall) {
  RecordingUi ui;
  MasterData md;
  std::vector<std::string> lines;
  for (const char* name : {"A", "X", "B", "X"}) {
    std::vector<std::string> rec = RebarRecord("S", name, {"D13,8", "", "", ""});
    lines.insert(lines.end(), rec.begin(), rec.end());
  }
  lines.insert(lines.end(), {"", "", ""});
  ReadRebarArrangements(lines, md, ui, "rebar.csv");
  ReadEndWalls(Lines({"1,S,A", "2,S,X", "3,S,X"}), md, ui, "walls.csv");
  EXPECT_EQ(md.FindRebarArrangement("X"), 4);
  EXPECT_EQ(md.FindRebarArrangement("B"), 3);
  EXPECT_EQ(md.FindRebarArrangement("none"), 1);
  EXPECT_EQ(md.FindEndWall("X"), 2);
  EXPECT_EQ(md.FindEndWall("none"), 1);
}

TEST(MasterEndWalls, ReadsThicknessesAndTruncatedSizes) {
  RecordingUi ui;
  MasterData md;
  ReadEndWalls(
      Lines({"No,種別,code", "1,B,202030N,x,0.3,0.45,D16,8,D13,5,D13.9,4,,,,,,,D19,6,D22,7",
             "2,X,ignored"}),
      md, ui, "walls.csv");
  ASSERT_EQ(md.end_walls.count(), 1);
  const EndWallRecord& w = md.end_walls[1];
  EXPECT_EQ(w.type, 'B');
  EXPECT_EQ(w.name, "202030N");
  EXPECT_DOUBLE_EQ(w.thickness_upper, 0.3);
  EXPECT_DOUBLE_EQ(w.thickness_lower, 0.45);
  EXPECT_EQ(w.entries[0], (RebarEntry{16, 8, 13, 5}));
  EXPECT_EQ(w.entries[1], (RebarEntry{13, 4, 0, 0}));  // D13.9 truncates to 13
  EXPECT_EQ(w.entries[2], RebarEntry{});
  EXPECT_EQ(w.entries[3], (RebarEntry{19, 6, 22, 7}));
}

TEST(MasterRebarSizes, AreaIndexIsLimitedToTheTable) {
  RecordingUi ui;
  MasterData md;
  ReadRebarSizes(
      Lines({"No,呼び名,断面積", "1,D13,1.267,12.7", "2,D70,9.9", "3,D62,6.2", "4,D-5,0.5",
             "5,M24,3.53,24", "0,D16,1.986", "x,D19,2.865", "6,D1e300,7.7"}),
      md, ui, "sizes.csv");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(md.rebar_sizes.count(), 6);
  EXPECT_DOUBLE_EQ(md.AreaByDiameter(13), 1.267);
  EXPECT_DOUBLE_EQ(md.BarAreaMm2(13), 126.7);
  EXPECT_DOUBLE_EQ(md.AreaByDiameter(62), 6.2);
  EXPECT_DOUBLE_EQ(md.AreaByDiameter(63), 7.7);  // D70 then D1e300 both land on 63
  EXPECT_DOUBLE_EQ(md.AreaByDiameter(0), 0.5);   // negative sizes land on 0
  EXPECT_DOUBLE_EQ(md.AreaByBoltSize(24), 3.53);
  EXPECT_DOUBLE_EQ(md.AreaByDiameter(16), 0);  // the row numbered 0 is skipped
  EXPECT_DOUBLE_EQ(md.AreaByDiameter(19), 0);
  EXPECT_EQ(md.AreaByDiameter(64), 0);
  EXPECT_EQ(md.AreaByDiameter(-1), 0);
  EXPECT_EQ(md.rebar_sizes[0].name, "D13");
  EXPECT_DOUBLE_EQ(md.rebar_sizes[0].value2, 12.7);
}

TEST(MasterMaterials, ColumnsNineteenAndTwentyAreExchanged) {
  RecordingUi ui;
  MasterData md;
  std::string line = "1,2.95,40,SD345";
  for (int c = 4; c <= 21; ++c) line += Format(",%d", 100 + c);
  ReadMaterialClasses(Lines({"No,区分,σck", line.c_str(), "2,0,30,SD295,1", "3,0.95,30,x"}), md, ui,
                      "mat.csv");
  ASSERT_EQ(md.materials.count(), 2);  // class "0" skipped; 0.95 reads as integer 1
  const MaterialClass& m = md.materials[0];
  EXPECT_EQ(m.class_number, 2);  // truncated
  EXPECT_DOUBLE_EQ(m.strength, 40);
  EXPECT_EQ(m.name, "SD345");
  for (int k = 0; k < 15; ++k) EXPECT_DOUBLE_EQ(m.values[k], 104 + k);
  EXPECT_DOUBLE_EQ(m.values[15], 120);
  EXPECT_DOUBLE_EQ(m.values[16], 119);
  EXPECT_DOUBLE_EQ(m.values[17], 121);
  for (int c = 4; c <= 21; ++c) EXPECT_DOUBLE_EQ(m.Column(c), 100 + c) << c;
  EXPECT_EQ(m.Column(3), 0);
  EXPECT_EQ(m.Column(22), 0);
  EXPECT_EQ(md.materials[1].class_number, 0);
}

TEST(MasterSmallTables, ColumnsAsTheConsumersReadThem) {
  RecordingUi ui;
  MasterData md;
  ReadBoltTypes(Lines({"No,種類,Ps,σby", "1,SS400,120,235"}), md, ui, "b.csv");
  ReadPcStrengths(Lines({"1,SBPR930/1080,930,1080"}), md, ui, "p.csv");
  ReadBoltSizes(Lines({"1,M24,3.53,24,113.1"}), md, ui, "s.csv");
  ReadPcSizes(Lines({"No,径", "1,13,132.7", "0,17,227"}), md, ui, "z.csv");
  ASSERT_EQ(md.bolt_types.count(), 1);
  EXPECT_EQ(md.bolt_types[0].name, "SS400");
  EXPECT_DOUBLE_EQ(md.bolt_types[0].value1, 120);
  EXPECT_DOUBLE_EQ(md.bolt_types[0].value2, 235);
  ASSERT_EQ(md.pc_strengths.count(), 1);
  EXPECT_DOUBLE_EQ(md.pc_strengths[0].value1, 1080);  // column 3 first
  EXPECT_DOUBLE_EQ(md.pc_strengths[0].value2, 930);
  ASSERT_EQ(md.bolt_sizes.count(), 1);
  EXPECT_DOUBLE_EQ(md.bolt_sizes[0].value1, 3.53);
  EXPECT_DOUBLE_EQ(md.bolt_sizes[0].value2, 113.1);  // column 4, column 3 unused
  ASSERT_EQ(md.pc_sizes.count(), 1);
  EXPECT_DOUBLE_EQ(md.pc_sizes[0].value1, 13);
  EXPECT_DOUBLE_EQ(md.pc_sizes[0].value2, 132.7);
}

TEST(MasterNumbers, FullWidthDigitsAndMalformedNumbers) {
  RecordingUi ui;
  MasterData md;
  // "１，５" would be a comma: use full-width digits and period only.
  ReadPcSizes(Lines({"1,\x82\x50\x82\x52\x81\x44\x82\x54,abc"}), md, ui, "z.csv");  // １３．５
  ASSERT_EQ(md.pc_sizes.count(), 1);
  EXPECT_DOUBLE_EQ(md.pc_sizes[0].value1, 13.5);
  EXPECT_EQ(md.pc_sizes[0].value2, 0);
}

TEST(MasterCapacity, StopsAtCapacityAndWarnsOnce) {
  {
    RecordingUi ui;
    MasterData md;
    std::vector<std::string> lines;
    for (int i = 1; i <= 83; ++i) {
      lines.push_back(Format("%d,S,ST,P%d,N,1000,%d,2000,200", i, i, 1000 + i));
      lines.push_back(",,,(中間),,1000,1000,2000,200");
    }
    lines.push_back("1,T,SL,slab,S,2000");  // other tables keep filling
    ReadDimensionTables(lines, md, ui, "dims.csv");
    EXPECT_EQ(md.stand.count(), 80);
    EXPECT_EQ(md.stand[79].name, "P80");
    EXPECT_EQ(md.stand[80].name, "");  // past the capacity reads as empty
    EXPECT_EQ(md.slab.count(), 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].kind, MsgKind::kWarning);
    EXPECT_NE(ui.messages[0].text.find("dims.csv"), std::string::npos);
    EXPECT_NE(ui.messages[0].text.find("161"), std::string::npos);  // the first refused line
  }
  {
    RecordingUi ui;
    MasterData md;
    std::vector<std::string> lines;
    for (int i = 1; i <= 205; ++i) {
      std::vector<std::string> rec = RebarRecord("B", Format("C%d", i), {"D13,8", "", "", ""});
      lines.insert(lines.end(), rec.begin(), rec.end());
    }
    lines.insert(lines.end(), {"", "", ""});
    ReadRebarArrangements(lines, md, ui, "rebar.csv");
    EXPECT_EQ(md.rebar.count(), 199);
    EXPECT_EQ(md.rebar[199].name, "C199");
    EXPECT_EQ(md.rebar[200].name, "");
    EXPECT_EQ(ui.messages.size(), 1u);
  }
  {
    RecordingUi ui;
    MasterData md;
    std::vector<std::string> lines;
    for (int i = 1; i <= 45; ++i) lines.push_back(Format("%d,D%d,%d", i, i, i));
    ReadRebarSizes(lines, md, ui, "sizes.csv");
    EXPECT_EQ(md.rebar_sizes.count(), 40);
    EXPECT_DOUBLE_EQ(md.AreaByDiameter(40), 40);
    EXPECT_EQ(md.AreaByDiameter(41), 0);  // refused rows leave the area table alone
    EXPECT_EQ(ui.messages.size(), 1u);
  }
  {
    RecordingUi ui;
    MasterData md;
    std::vector<std::string> lines;
    for (int i = 1; i <= 120; ++i) lines.push_back(Format("%d,1,%d,SD345", i, i));
    ReadMaterialClasses(lines, md, ui, "mat.csv");
    EXPECT_EQ(md.materials.count(), 99);
    EXPECT_EQ(ui.messages.size(), 1u);
  }
}

TEST(MasterMemberTypes, NamesByCode) {
  std::array<std::string, kMemberTypeNameCount> names = MemberTypeNames();
  EXPECT_EQ(names[0], "(0)");
  EXPECT_EQ(names[1], "左端ﾌﾞﾛｯｸ側壁");
  EXPECT_EQ(names[19], "頂版ｽﾗﾌﾞ");
  EXPECT_EQ(names[29], "(29)");
  EXPECT_EQ(names[30], "底版インサート");
  EXPECT_EQ(names[32], "(底 版 部 材)");
  MasterData md;
  md.member_type_names = names;
  EXPECT_EQ(md.MemberTypeName(33), "");
  EXPECT_EQ(md.MemberTypeName(-1), "");
}

}  // namespace
}  // namespace vaultra
