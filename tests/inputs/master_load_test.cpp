// Loading the whole catalogue: the shipped folder, missing files and the
// workbook rebuild.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <string>

#include "inputs/master_data.h"
#include "inputs/xls_reader.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "core/number.h"

namespace vaultra {
namespace {

namespace fs = std::filesystem;

// cp932 path of the shipped material master folder.
std::string ShippedFolder() {
  return std::string(VAULTRA_SOURCE_DIR) + "/Master/材料/";
}

// A fresh temporary folder (cp932 path, trailing slash), removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    path_ = fs::temp_directory_path() /
            ("vaultra_master_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string cp932() const { return FromFsPath(path_) + "/"; }
  // Copies every file of the shipped folder into this one.
  void CopyShipped() const {
    for (const auto& e : fs::directory_iterator(ToFsPath(ShippedFolder())))
      if (e.is_regular_file()) fs::copy_file(e.path(), path_ / e.path().filename());
  }

 private:
  static inline int counter_ = 0;
  fs::path path_;
};

std::string Csv(const std::string& folder, const char* sheet) {
  return MasterCsvPath(folder, sheet);
}

bool Mentions(const RecordingUi& ui, const std::string& text) {
  for (const auto& m : ui.messages)
    if (FindText(m.text, text) != std::string::npos) return true;
  return false;
}

// The arrangement codes the section records build (stand and box layouts).
std::string StandCode(double H, int s, char w, double L) {
  return Format("%2d%2d%c%2d", static_cast<int>(10 * H + 0.1), 10 * s, w,
                static_cast<int>(10 * L + 0.1));
}
std::string BoxCode(double B, double H, int s, char w) {
  return Format("%2d%2d%2d%c", static_cast<int>(10 * B + 0.1), static_cast<int>(10 * H + 0.1),
                10 * s, w);
}

TEST(MasterLoad, ShippedCatalogueLoadsWithoutMessages) {
  RecordingUi ui;
  MasterData md = LoadMasterData(ShippedFolder(), ui);
  for (const auto& m : ui.messages) ADD_FAILURE() << Cp932ToUtf8(m.text);
  EXPECT_GE(md.stand.count(), 8);
  EXPECT_GE(md.box.count(), 8);
  EXPECT_GE(md.mini_gate.count(), 8);
  EXPECT_GE(md.slab.count(), 8);
  EXPECT_GT(md.rebar.count(), 0);
  EXPECT_GT(md.end_walls.count(), 0);
  EXPECT_GT(md.materials.count(), 0);
  EXPECT_EQ(md.member_type_names[4], "中間ﾌﾞﾛｯｸ頂版");
}

TEST(MasterLoad, ShippedBarAndBoltAreasAreTheNominalOnes) {
  RecordingUi ui;
  MasterData md = LoadMasterData(ShippedFolder(), ui);
  // JIS G 3112 nominal areas of deformed bars (mm2).
  const struct {
    int d;
    double mm2;
  } bars[] = {{6, 31.67},  {10, 71.33}, {13, 126.7}, {16, 198.6}, {19, 286.5},
              {22, 387.1}, {25, 506.7}, {29, 642.4}, {32, 794.2}, {35, 956.6},
              {38, 1140},  {41, 1340},  {51, 2027}};
  for (const auto& b : bars) EXPECT_NEAR(md.BarAreaMm2(b.d), b.mm2, 1e-9) << "D" << b.d;
  // The nominal area follows from the nominal diameter: pi d^2 / 4 to 4 digits.
  for (const auto& r : md.rebar_sizes) {
    if (r.name[0] != 'D') continue;
    double d = r.value2;
    EXPECT_NEAR(100 * r.value1, M_PI * d * d / 4, 0.0006 * M_PI * d * d / 4) << r.name;
  }
  // ISO 898 stress areas of coarse threads (mm2), as bolts and as inserts.
  const struct {
    int m;
    double mm2;
  } bolts[] = {{12, 84.3}, {16, 157}, {20, 245}, {22, 303}, {24, 353}, {27, 459}, {30, 561}};
  for (const auto& b : bolts) EXPECT_NEAR(md.BoltAreaMm2(b.m), b.mm2, 1e-9) << "M" << b.m;
  bool m24 = false;
  for (const auto& b : md.bolt_sizes) {
    if (b.name == "M24") {
      m24 = true;
      EXPECT_DOUBLE_EQ(100 * b.value1, 353);  // AB of the joint defaults
      // F8T long-term allowable tension: 250 N/mm2 on the shank area pi 24^2 / 4.
      EXPECT_NEAR(b.value2, 250 * M_PI * 24 * 24 / 4 / 1000, 0.05);
    }
  }
  EXPECT_TRUE(m24);
  // Every joint-insert size the rebar page offers has an area.
  for (int m : {10, 12, 16, 20, 22, 24, 27, 30, 33, 36, 39}) EXPECT_GT(md.AreaByBoltSize(m), 0);
  for (int d : {10, 13, 16, 19, 22, 25, 29, 32, 35, 38, 41, 51}) EXPECT_GT(md.AreaByDiameter(d), 0);
}

TEST(MasterLoad, ShippedPcBarsBoltsAndMortar) {
  RecordingUi ui;
  MasterData md = LoadMasterData(ShippedFolder(), ui);
  bool sbpr = false;
  for (const auto& p : md.pc_strengths) {
    if (p.name == "SBPR930/1080") {
      sbpr = true;
      EXPECT_DOUBLE_EQ(p.value1, 1080);  // Ppu, tensile strength
      EXPECT_DOUBLE_EQ(p.value2, 930);   // Ppy, yield
    }
    EXPECT_GT(p.value1, p.value2) << p.name;
  }
  EXPECT_TRUE(sbpr);
  bool phi13 = false;
  for (const auto& p : md.pc_sizes) {
    EXPECT_NEAR(p.value2, M_PI * p.value1 * p.value1 / 4, 0.005 * p.value2) << p.value1;
    if (Format("%5.1f mm", p.value1).find("13.") != std::string::npos) phi13 = true;
  }
  EXPECT_TRUE(phi13);
  bool ss400 = false;
  for (const auto& b : md.bolt_types) ss400 |= b.name.find("SS400") != std::string::npos;
  EXPECT_TRUE(ss400);
  bool mortar20 = false;
  for (const auto& m : md.materials) {
    if (m.class_number == 5 && Format("%7.2f", m.strength).find("20.") != std::string::npos) {
      mortar20 = true;
      EXPECT_DOUBLE_EQ(m.Column(9), 9.0);  // sigma_ga
    }
  }
  EXPECT_TRUE(mortar20);
  bool d13 = false;
  for (const auto& r : md.rebar_sizes) {
    if (r.name.find('M') != std::string::npos) break;  // the distribution-bar list stops here
    d13 |= r.name == "D13";
  }
  EXPECT_TRUE(d13);
}

TEST(MasterLoad, ShippedMaterialClassesFollowTheAllowableStressRules) {
  RecordingUi ui;
  MasterData md = LoadMasterData(ShippedFolder(), ui);
  std::set<int> classes;
  for (const auto& m : md.materials) {
    classes.insert(m.class_number);
    if (m.class_number == 5) continue;
    const double sck = m.strength;
    EXPECT_NEAR(m.Column(4), sck / 3, 0.17 * sck / 3) << sck;  // sigma_ca about sck/3
    EXPECT_DOUBLE_EQ(m.Column(9), 1.5 * m.Column(4));          // L1: 1.5 times
    EXPECT_DOUBLE_EQ(m.Column(11), 1.5 * m.Column(6));
    EXPECT_DOUBLE_EQ(m.Column(13), 1.5 * m.Column(8));
    EXPECT_DOUBLE_EQ(m.Column(14), sck);  // f'ck
    EXPECT_DOUBLE_EQ(m.Column(16), 1.5 * m.Column(15));
    EXPECT_DOUBLE_EQ(m.Column(20), 24.5);    // gamma_c
    EXPECT_DOUBLE_EQ(m.Column(21), 200000);  // Es
    EXPECT_GT(m.Column(19), 20000);          // Ec
    EXPECT_LT(m.Column(19), 35000);
    if (m.name == "SD345") {
      EXPECT_DOUBLE_EQ(m.Column(17), 345);
    }
    if (m.name == "SD295") {
      EXPECT_DOUBLE_EQ(m.Column(17), 295);
    }
    EXPECT_LE(m.name.size(), 15u);
    EXPECT_EQ(m.name.find(' '), std::string::npos);
    if (sck == 40 && m.name == "SD345") {
      EXPECT_DOUBLE_EQ(m.Column(4), 14.0);
      EXPECT_DOUBLE_EQ(m.Column(6), 0.55);
      EXPECT_DOUBLE_EQ(m.Column(19), 31000);
    }
  }
  EXPECT_EQ(classes, (std::set<int>{1, 2, 3, 4, 5}));
}

TEST(MasterLoad, EveryShippedProductFindsItsArrangementEndWallAndSlabs) {
  RecordingUi ui;
  MasterData md = LoadMasterData(ShippedFolder(), ui);
  auto has_arrangement = [&](const std::string& code) {
    for (const auto& r : md.rebar)
      if (r.name == code) return true;
    return false;
  };
  auto end_wall = [&](const std::string& code) -> const EndWallRecord* {
    for (const auto& w : md.end_walls)
      if (w.name == code) return &w;
    return nullptr;
  };
  struct Layout {
    const FixedTable<ProductRecord, 80>* stand;
    const FixedTable<ProductRecord, 50>* box;
  };
  for (int layout = 0; layout < 2; ++layout) {
    std::vector<const ProductRecord*> products;
    if (layout == 0)
      for (const auto& p : md.stand) products.push_back(&p);
    else
      for (const auto& p : md.box) products.push_back(&p);
    for (const ProductRecord* p : products) {
      const DimensionSet& e = p->set1;
      const DimensionSet& m = p->set2;
      SCOPED_TRACE(Cp932ToUtf8(p->name));
      EXPECT_EQ(e.kind, 1);
      EXPECT_EQ(m.kind, 2);
      // Within the model page's ranges, so choosing the product turns nothing red.
      for (double v : {e.v[kDimB], e.v[kDimH], e.v[kDimL]}) {
        EXPECT_GE(v, 0.5);
        EXPECT_LE(v, 10);
      }
      // The slab list of this product: same L, the layout's sub-kind.
      char want = layout == 0 ? 'S' : 'B';
      int slabs = 0;
      for (const auto& s : md.slab) {
        if (s.set1.v[kDimB] == 0) break;
        if (s.set1.v[kDimL] != e.v[kDimL] || s.sub_kind != want) continue;
        ++slabs;
        const double W = s.set1.v[kDimB];
        if (layout == 0) {
          EXPECT_GE(W, 2 * e.v[kDimD] + 0.1);  // no slab-width clamp needed
        }
        EXPECT_NEAR(s.set1.v[kDimC], W - 2 * s.set1.v[kDimD], 1e-9);
        EXPECT_GE(s.set1.v[kDimD], 0);
        EXPECT_LE(s.set1.v[kDimD], 0.1);
      }
      EXPECT_GE(slabs, 3);
      char w = p->sub_kind == 'W' ? 'W' : 'N';
      for (int s = 2; s <= 4; ++s) {
        std::string code = layout == 0 ? StandCode(e.v[kDimH], s, w, e.v[kDimL])
                                       : BoxCode(e.v[kDimB], e.v[kDimH], s, w);
        EXPECT_TRUE(has_arrangement(code)) << code;
        const EndWallRecord* wall = end_wall(code);
        ASSERT_NE(wall, nullptr) << code;
        EXPECT_GE(wall->thickness_upper, 0.2);
        EXPECT_LE(wall->thickness_upper, 2);
        EXPECT_GE(wall->thickness_lower, wall->thickness_upper);
        EXPECT_GT(wall->entries[0].size1 * wall->entries[0].real1, 0.1);
      }
      if (layout == 1) {
        EXPECT_DOUBLE_EQ(e.v[kDimHh], e.v[kDimE]);  // the box keeps h = e
        EXPECT_DOUBLE_EQ(e.v[kDimB2], e.v[kDimA]);
      } else {
        EXPECT_GE(e.v[kDimB2], e.v[kDimA]);  // the stand wall thickens downward
      }
      // Openings leave wall between them (types 11, 12: L - (r12 + 0.1) > 0).
      EXPECT_GT(m.v[kDimL] - (m.v[kDimR12] + 0.1), 0.5);
    }
  }
  // Every bar of every arrangement has an area.
  for (const auto& r : md.rebar) {
    for (int t = 1; t <= 4; ++t) {
      for (int v = 0; v < 8; ++v) {
        const RebarEntry& e = r.Entry(t, v);
        auto area = [&](int size) {
          return v == 7 ? md.AreaByBoltSize(size) : md.AreaByDiameter(size);
        };
        if (e.size1 != 0) {
          EXPECT_GT(area(e.size1), 0) << Cp932ToUtf8(r.name);
        }
        if (e.size2 != 0) {
          EXPECT_GT(area(e.size2), 0) << Cp932ToUtf8(r.name);
        }
      }
    }
  }
}

TEST(MasterLoad, MissingCsvWithoutWorkbookNamesTheFile) {
  TempFolder dir;
  dir.CopyShipped();
  ASSERT_TRUE(RemoveFile(MasterPrefix(dir.cp932()) + ".xls"));
  ASSERT_TRUE(RemoveFile(Csv(dir.cp932(), "鉄筋表")));
  RecordingUi ui;
  MasterData md = LoadMasterData(dir.cp932(), ui);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].kind, MsgKind::kError);
  EXPECT_TRUE(Mentions(ui, "Orvaneﾏｽﾀｰ鉄筋表.csv"));
  EXPECT_EQ(md.rebar.count(), 0);
  EXPECT_GT(md.stand.count(), 0);  // the other tables are read
  EXPECT_GT(md.end_walls.count(), 0);
  EXPECT_FALSE(FileExists(Csv(dir.cp932(), "鉄筋表")));
}

TEST(MasterLoad, EmptyFolderGivesEmptyTablesAndOneMessagePerFile) {
  TempFolder dir;
  RecordingUi ui;
  MasterData md = LoadMasterData(dir.cp932() + "missing/", ui);
  EXPECT_EQ(ui.messages.size(), static_cast<std::size_t>(kMasterSheetCount));
  EXPECT_EQ(md.stand.count() + md.rebar.count() + md.materials.count() + md.rebar_sizes.count(), 0);
  EXPECT_EQ(md.member_type_names[1], "左端ﾌﾞﾛｯｸ側壁");
}

TEST(MasterLoad, DeletedCsvIsRebuiltFromTheWorkbookAsShipped) {
  TempFolder dir;
  dir.CopyShipped();
  ASSERT_TRUE(FileExists(MasterPrefix(dir.cp932()) + ".xls"));
  const std::string dims = Csv(dir.cp932(), "寸法表");
  ASSERT_TRUE(RemoveFile(dims));
  RecordingUi ui;
  MasterData md = LoadMasterData(dir.cp932(), ui);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Orvaneﾏｽﾀｰ寸法表.csvを更新します.");
  EXPECT_EQ(ui.messages[0].kind, MsgKind::kInfo);
  std::optional<std::string> rebuilt = ReadFileBytes(dims);
  std::optional<std::string> shipped = ReadFileBytes(Csv(ShippedFolder(), "寸法表"));
  ASSERT_TRUE(rebuilt && shipped);
  EXPECT_EQ(*rebuilt, *shipped);
  EXPECT_EQ(md.stand.count(), LoadMasterData(ShippedFolder(), ui).stand.count());
}

TEST(MasterLoad, AllNineCsvFilesRebuildToTheShippedTables) {
  TempFolder dir;
  dir.CopyShipped();
  for (const char* sheet : kMasterSheetNames) ASSERT_TRUE(RemoveFile(Csv(dir.cp932(), sheet)));
  RecordingUi ui;
  MasterData rebuilt = LoadMasterData(dir.cp932(), ui);
  ASSERT_EQ(ui.messages.size(), static_cast<std::size_t>(kMasterSheetCount));
  for (int k = 0; k < kMasterSheetCount; ++k) {
    EXPECT_EQ(ui.messages[k].text,
              std::string("Orvaneﾏｽﾀｰ") + kMasterSheetNames[k] + ".csvを更新します.");
    std::optional<std::string> a = ReadFileBytes(Csv(dir.cp932(), kMasterSheetNames[k]));
    std::optional<std::string> b = ReadFileBytes(Csv(ShippedFolder(), kMasterSheetNames[k]));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(*a, *b) << Cp932ToUtf8(kMasterSheetNames[k]);
  }
  RecordingUi quiet;
  MasterData shipped = LoadMasterData(ShippedFolder(), quiet);
  EXPECT_EQ(rebuilt.rebar.count(), shipped.rebar.count());
  EXPECT_EQ(rebuilt.area_by_diameter, shipped.area_by_diameter);
  ASSERT_EQ(rebuilt.materials.count(), shipped.materials.count());
  for (int i = 0; i < shipped.materials.count(); ++i)
    EXPECT_EQ(rebuilt.materials[i].values, shipped.materials[i].values);
}

TEST(MasterLoad, UnreadableWorkbookIsToldAndWritesNoCsv) {
  TempFolder dir;
  dir.CopyShipped();
  const std::string book = MasterPrefix(dir.cp932()) + ".xls";
  ASSERT_TRUE(WriteFileAtomic(book, "this is not a workbook"));
  const std::string sizes = Csv(dir.cp932(), "鉄筋の断面積");
  ASSERT_TRUE(RemoveFile(sizes));
  RecordingUi ui;
  MasterData md = LoadMasterData(dir.cp932(), ui);
  ASSERT_EQ(ui.messages.size(), 2u);  // the update notice, then why it failed
  EXPECT_EQ(ui.messages[0].text, "Orvaneﾏｽﾀｰ鉄筋の断面積.csvを更新します.");
  EXPECT_EQ(ui.messages[1].kind, MsgKind::kError);
  EXPECT_TRUE(Mentions(ui, "Orvaneﾏｽﾀｰ.xls"));
  EXPECT_FALSE(FileExists(sizes));
  EXPECT_EQ(md.rebar_sizes.count(), 0);
  EXPECT_EQ(md.AreaByDiameter(13), 0);
}

TEST(MasterXls, MissingWorksheetIsReported) {
  std::vector<std::string> lines{"stale"};
  std::string error;
  EXPECT_FALSE(ReadXlsFile(lines, MasterPrefix(ShippedFolder()) + ".xls", "無いシート", &error));
  EXPECT_TRUE(lines.empty());
  EXPECT_NE(FindText(error, "無いシート"), std::string::npos);
}

TEST(MasterXls, NumbersShowAsTheSpreadsheetShowsThem) {
  const struct {
    double v;
    const char* text;
  } cases[] = {{2000, "2000"}, {126.7, "126.7"},   {0.125, "0.125"}, {-3, "-3"},
               {0, "0"},       {0.1 + 0.2, "0.3"}, {1e20, "1e+20"},  {1.267, "1.267"}};
  for (const auto& c : cases) EXPECT_EQ(SpreadsheetNumberText(c.v), c.text) << c.v;
}

}  // namespace
}  // namespace vaultra
