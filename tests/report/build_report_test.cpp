// The report driver over hand-made records: the chapter outline of the
// variants, the report-wide letters and per-build records, the cover and
// contents, user text printed as typed, the page-slot limit, and the silent
// pass against the preview build.
#include "report/build_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/cp932.h"
#include "report/report_template.h"
#include "report/report_test_util.h"
#include "report/report_text.h"

namespace vaultra {
namespace {

// A small facility: four ground layers, springs and ground quantities of
// round numbers so that the printed values can be told apart.
struct Fixture {
  InputRecords rec;
  GroundQuantities ground;
  ReportSources src;
  ReportOptions opt;

  Fixture() {
    ModelRecord& m = rec.model;
    m.facility_type = 0;
    m.type_list_index = 0;
    m.B = 1.1;
    m.H = 1.5;
    m.W = 4.0;
    m.top_slabs = 2;
    m.cover_depth = 1.234;
    m.ground_water = true;
    m.ground_water_depth = 2.5;
    m.water_level[0] = 0.8;
    m.water_level[1] = 0.6;
    m.water_level[2] = 0.5;
    m.name = "試設計";
    const double t[] = {1.5, 1.0, 1.0, 3.0};
    const double n[] = {4, 10, 17, 25};
    double bottom = 0;
    for (int i = 0; i < 4; ++i) {
      GroundLayer l;
      l.number = i + 1;
      l.soil = i == 0 ? 1 : 2;
      l.t = t[i];
      l.gamma = 18 + i;
      l.gamma_sub = 8 + i;
      l.n_value = n[i];
      l.friction = 30;
      bottom += t[i];
      l.bottom = bottom;
      rec.ground.layers.push_back(l);
      LayerSeismic s;
      s.vs = 100 + 10 * i;
      s.h_over_vs = 0.01 * (i + 1);
      ground.layers.push_back(s);
    }
    ground.H = bottom;
    ground.zw = 2.5;
    ground.tg = 0.4;
    ground.ground_class = 2;
    ground.cg = 1.0;
    ground.cz = 0.85;
    ground.kh1 = 0.187;
    ground.kh2 = 0.6;
    ground.kh2_base = 0.6;
    ground.k = {0.5, 0.452, 0.862};
    ground.springs[0].kh = {0, 4321.25, 5321.25};
    ground.springs[1].kh = {0, 1234.5, 2234.5};
    rec.materials.columns[1].n_sca = 14.5;
    rec.loads.method = kMethodResponseDisplacement;
    rec.loads.spring_formula = kSpringUnderground;
    src.records = &rec;
    src.ground = &ground;
    opt.print_master_dir = std::string(VAULTRA_SOURCE_DIR) + "/Master/印刷/";
  }
};

// The headings as the contents list keeps them, one a line (cp932, as the
// literals of this file).
std::string Outline(const PrintEngine& pe) {
  std::string s;
  for (const ContentsEntry& e : pe.text.contents) s += e.text + "\n";
  return s;
}

// The design chapters' common opening (chapters 1 to 11).
std::string Opening(const char* mortar) {
  return std::string(
             "1. 設計条件\n1.1 施設概要表\n1.2 適用基準\n1.3 解析条件\n(1) 構造および設置条件\n"
             "(2) 単位体積重量\n(3) 耐震計算条件\n(4) 断面算定法\n(5) 荷重の組合せ\n"
             "1.4 横方向の構造設計\n1.5 材料仕様\n(1) コンクリート\n(2) 鉄筋\n(3) 頂版固定ボルト\n"
             "(4) ") +
         mortar +
         "\n(5) ＰＣ鋼棒\n1.6 レベル２地震動時の安全係数\n2. 地盤\n2.1 地盤条件\n(1) 地域区分\n"
         "(2) 地層データ\n(3) 地層構造図\n(4) 表層地盤の基本固有周期\n(5) 地盤の特性値\n"
         "(6) 耐震設計上の地盤種別\n(7) 地震時土圧係数\n";
}

TEST(BuildReport, OutlineOfTheVariants) {
  struct Case {
    const char* name;
    int type;
    int method;
    int formula;
    bool longitudinal;
    std::string outline;
    bool stored_water = true;
  };
  const std::string underground =
      "(8) 表層地盤の単位体積重量\n(9) 表層地盤の動的ポアソン比\n(10) 表層地盤の固有周期\n"
      "(11) 表層地盤の動的せん断弾性波速度\n(12) 表層地盤の動的せん断弾性係数\n"
      "(13) 表層地盤の動的変形係数\n2.2 地盤ばね\n(1) 水平方向地盤ばね\n(2) 鉛直方向地盤ばね\n"
      "(3) せん断ばね\n";
  const std::string road =
      "(8) 表層地盤の固有周期\n2.2 地盤ばね\n(1) 水平方向地盤反力係数\n"
      "(2) 鉛直方向地盤反力係数\n(3) せん断ばね定数\n";
  // Chapters 13 to 21 with no load tables or frame models at hand: their
  // headings only; then chapter 22 and the transverse joints (no section
  // checks without check records).
  const std::string loads =
      "3. 荷重\n3.1 常時荷重\n3.2 地震時荷重\n3.3 解析モデル\n(1) 骨組み\n3.4 荷重状態図\n"
      "3.5 荷重の組合せ\n3.6 着目点位置\n"
      "4. 解析結果\n4.1 断面力\n4.2 横方向接合部の照査\n";
  // The longitudinal loads and model, results, joints and the end walls.
  const std::string longitudinal_model =
      "5.3 固定荷重\n(1) 自重\n5.4 縦方向・解析モデル\n(1) 骨組み\n"
      "5.5 縦方向・解析結果\n5.6 縦方向接合部の照査\n6. 端壁の照査\n";
  const std::string longitudinal_road =
      "5. 縦方向の検討\n5.1 縦方向接合部の照査\n(1) 地盤種別の判定\n5.2 縦方向地盤ばね\n"
      "(1) 水平方向地盤反力係数\n(2) 鉛直方向地盤反力係数\n(3) せん断ばね定数\n" +
      longitudinal_model;
  const Case cases[] = {
      {"stand, response displacement, 地中式, no longitudinal", 0, kMethodResponseDisplacement,
       kSpringUnderground, false, Opening("グラウト材") + underground + loads},
      {"box, seismic coefficient, 道路橋式, longitudinal", 1, kMethodSeismicCoefficient,
       kSpringRoadBridge, true, Opening("無収縮モルタル") + road + loads + longitudinal_road},
      {"stand, ＦＥＭ", 0, kMethodResponseDisplacement, kSpringFem, false,
       Opening("グラウト材") + "2.2 地盤ばね定数\n" + loads},
      {"box, 任意, longitudinal", 1, kMethodResponseDisplacement, kSpringTyped, true,
       Opening("無収縮モルタル") + "2.2 地盤ばね定数\n" + loads +
           "5. 縦方向の検討\n5.1 縦方向接合部の照査\n(1) 地盤種別の判定\n"
           "5.2 縦方向地盤ばね\n" +
           longitudinal_model},
      // Without stored water chapter 17 is absent: the outline is the same.
      {"stand, 地中式, stored water off", 0, kMethodResponseDisplacement, kSpringUnderground, false,
       Opening("グラウト材") + underground + loads, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    f.rec.model.facility_type = c.type;
    f.rec.model.type_list_index = c.type;
    f.rec.loads.method = c.method;
    f.rec.loads.spring_formula = c.formula;
    f.rec.model.longitudinal_check = c.longitudinal;
    if (!c.stored_water)
      for (double& h : f.rec.model.water_level) h = 0;
    PrintEngine pe;
    ReportBuild b;
    BuildReportPages(pe, f.src, f.opt, b);
    EXPECT_EQ(Outline(pe), c.outline);
    EXPECT_EQ(b.first_error, "");
    EXPECT_EQ(b.stored_water, c.stored_water);
    EXPECT_TRUE(IsLetterSet(pe, c.type == 0 ? 'S' : 'B'));
    EXPECT_FALSE(IsLetterSet(pe, c.type == 0 ? 'B' : 'S'));
  }
}

TEST(BuildReport, EveryChapterStartsOnItsOwnPageAndThePagesAreCounted) {
  Fixture f;
  PrintEngine pe;
  ReportBuild b;
  const int pages = BuildReportPages(pe, f.src, f.opt, b);
  // Chapters 1 to 12 open with these headings, each on the next page.
  const std::vector<std::string> openers = {"1. 設計条件",
                                            "1.2 適用基準",
                                            "1.3 解析条件",
                                            "1.4 横方向の構造設計",
                                            "1.5 材料仕様",
                                            "(3) 頂版固定ボルト",
                                            "1.6 レベル２地震動時の安全係数",
                                            "2. 地盤",
                                            "(3) 地層構造図",
                                            "(4) 表層地盤の基本固有周期",
                                            "(6) 耐震設計上の地盤種別",
                                            "(8) 表層地盤の単位体積重量"};
  int expected_page = 1;
  for (const std::string& o : openers) {
    SCOPED_TRACE(o);
    int page = -1;
    for (const ContentsEntry& e : pe.text.contents)
      if (e.text == o) page = e.page;
    EXPECT_EQ(page, expected_page++);
  }
  EXPECT_GE(pages, 12);
  EXPECT_EQ(pages, pe.records().highest() - kFirstBodySlot);
  EXPECT_EQ(b.body_pages, pages);
  // 36 of chapters 1-12, 8 of chapters 13-21, 3 of chapter 22 and the joints
  EXPECT_EQ(pe.text.contents.size(), 47u);
  EXPECT_EQ(b.contents_pages, 2);  // 40 headings a page
  const std::vector<int> slots = ReportPageSlots(b);
  ASSERT_EQ(slots.size(), static_cast<std::size_t>(1 + 2 + pages));
  EXPECT_EQ(slots[0], 0);
  EXPECT_EQ(slots[1], 1);
  EXPECT_EQ(slots[2], 2);
  EXPECT_EQ(slots[3], kFirstBodySlot + 1);
}

TEST(BuildReport, CoverSurvivesTheContentsReset) {
  Fixture f;
  PrintEngine pe;
  ReportBuild b;
  BuildReportPages(pe, f.src, f.opt, b);
  const std::vector<std::string> rows = test::PageTextRows(pe, 0);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], "プレキャスト式地下貯留施設");
  EXPECT_EQ(rows[1], "構造計算書 [応答変位法]");
  EXPECT_EQ(rows[2], "試設計");
  // The model name is centred on x = 90 mm: 3 characters of 4.8 mm.
  const auto glyphs = test::Glyphs(pe, 0);
  EXPECT_NEAR(glyphs[glyphs.size() - 3].x, (90 - 3 * 2.4) * 10, 2);
  // The contents start with the first chapter: nothing of the cover is listed.
  ASSERT_FALSE(pe.text.contents.empty());
  EXPECT_EQ(pe.text.contents[0].text, "1. 設計条件");
  EXPECT_EQ(pe.text.contents[0].page, 1);

  f.rec.loads.method = kMethodSeismicCoefficient;
  BuildReportPages(pe, f.src, f.opt, b);
  EXPECT_EQ(test::PageTextRows(pe, 0)[1], "構造計算書 [震度法]");
}

TEST(BuildReport, UserTextPrintsAsTyped) {
  Fixture plain;
  PrintEngine ref;
  ReportBuild rb;
  BuildReportPages(ref, plain.src, plain.opt, rb);

  Fixture f;
  f.rec.model.name = "$>>%.%【#";
  PrintEngine pe;
  ReportBuild b;
  BuildReportPages(pe, f.src, f.opt, b);
  // On the cover, every character drawn, in order.
  EXPECT_EQ(test::PageTextRows(pe, 0)[2], "$>>%.%【#");
  // In the facility overview, after its label.
  EXPECT_EQ(test::RowsWith(pe, {"モデル名：$>>%.%【#"}).size(), 1u);
  // Headings, numbers and contents are those of a plain name.
  EXPECT_EQ(Outline(pe), Outline(ref));
  ASSERT_EQ(pe.text.contents.size(), ref.text.contents.size());
  for (std::size_t i = 0; i < pe.text.contents.size(); ++i)
    EXPECT_EQ(pe.text.contents[i].page, ref.text.contents[i].page);
  EXPECT_EQ(b.body_pages, rb.body_pages);
}

TEST(BuildReport, StoredWaterIsItsOwnInputNotTheGroundWaterOption) {
  struct Case {
    bool ground_water;
    double h0, h1, h2;
    bool stored;
    double larger;
  };
  const Case cases[] = {
      {true, 0, 0, 0, false, 0},      // ground water alone is no stored water
      {false, 0, 0, 1.2, true, 1.2},  // stored water without ground water
      {false, 0.7, 0, 0, true, 0},    // the normal state only
      {true, 0.8, 0.6, 0.5, true, 0.6},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.rec.model.ground_water = c.ground_water;
    f.rec.model.water_level[0] = c.h0;
    f.rec.model.water_level[1] = c.h1;
    f.rec.model.water_level[2] = c.h2;
    PrintEngine pe;
    ReportBuild b;
    RunSilentReportPass(pe, f.src, f.opt, b);
    EXPECT_EQ(b.stored_water, c.stored) << c.h0 << " " << c.h1 << " " << c.h2;
    EXPECT_DOUBLE_EQ(b.water_depth_max, c.larger);
  }
}

TEST(BuildReport, SilentPassListsTheHeadingsOfThePreview) {
  for (const int formula : {kSpringUnderground, kSpringRoadBridge, kSpringFem}) {
    SCOPED_TRACE(formula);
    Fixture f;
    f.rec.loads.spring_formula = formula;
    f.rec.model.longitudinal_check = true;
    int copies = 0;
    f.opt.copy_summary = [&](const std::vector<std::string>&) { ++copies; };
    std::string busy;  // the hourglass goes on and off once a build
    f.opt.busy = [&](bool on) { busy += on ? "+" : "-"; };
    PrintEngine silent;
    ReportBuild sb;
    const int silent_pages = RunSilentReportPass(silent, f.src, f.opt, sb);
    EXPECT_EQ(copies, 0);  // the summary is copied by the preview build only
    EXPECT_TRUE(silent.drawing);
    EXPECT_FALSE(silent.recording);
    PrintEngine preview;
    ReportBuild pb;
    const int preview_pages = BuildReportPages(preview, f.src, f.opt, pb);
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(busy, "+-+-");
    EXPECT_EQ(silent_pages, preview_pages);
    ASSERT_EQ(silent.text.contents.size(), preview.text.contents.size());
    for (std::size_t i = 0; i < silent.text.contents.size(); ++i) {
      EXPECT_EQ(silent.text.contents[i].text, preview.text.contents[i].text);
      EXPECT_EQ(silent.text.contents[i].page, preview.text.contents[i].page);
    }
    // Nothing was drawn by the silent pass.
    EXPECT_EQ(silent.records().CommandCount(), 0u);
  }
}

TEST(BuildReport, FirstErrorIsKeptAndTheFormulaLettersFollowTheOptions) {
  Fixture f;
  PrintEngine pe;
  ReportBuild b;
  ReportContext ctx(pe, f.src, f.opt, b);
  ctx.ReportError("部材No.3、 常時-ＲＣ応力エラー");
  ctx.ReportError("部材No.5、 常時-ＲＣ応力エラー");
  EXPECT_EQ(b.first_error, "部材No.3、 常時-ＲＣ応力エラー");
  b.MarkFailure(500, 32);
  b.MarkFailure(501, 1);  // outside the table: ignored
  EXPECT_TRUE(b.Failed(500, 32));
  EXPECT_FALSE(b.Failed(1, 1));

  for (const bool k : {false, true}) {
    f.opt.formulas = k;
    f.opt.ts_formula = !k;
    BuildReportPages(pe, f.src, f.opt, b);
    EXPECT_EQ(b.first_error, "");  // emptied by every build
    EXPECT_FALSE(b.Failed(500, 32));
    EXPECT_EQ(IsLetterSet(pe, 'K'), k);
    EXPECT_EQ(IsLetterSet(pe, 'T'), !k);
    // The basis of TG with the layers' values appears with K only.
    EXPECT_EQ(test::RowsWith(pe, {"1.500/100.0", "1.000/110.0", "1.000/120.0"}).size(),
              k ? 1u : 0u);
    // The Ts formula appears with T only.
    EXPECT_EQ(test::RowsWith(pe, {"Ｔs ＝ α"}).size(), !k ? 1u : 0u);
  }
}

TEST(BuildReport, PrintedValuesAreTheRecords) {
  Fixture f;
  f.opt.formulas = true;
  PrintEngine pe;
  ReportBuild b;
  BuildReportPages(pe, f.src, f.opt, b);
  // Cover depth, the third layer's N value, TG, the ground class, an
  // allowable stress and the level-1 horizontal spring, as printed.
  EXPECT_EQ(test::RowsWith(pe, {"土被り", "1.234"}).size(), 2u);  // overview and conditions
  EXPECT_EQ(test::RowsWith(pe, {"3 砂質土", "1.000", "3.500", "17.0"}).size(), 1u);
  EXPECT_EQ(test::RowsWith(pe, {"＝ ４ × 0.10000 ＝ 0.400 [s]"}).size(), 1u);
  EXPECT_EQ(test::RowsWith(pe, {"0.400 [s] より、耐震設計上の地盤種別：Ⅱ種地盤"}).size(), 1u);
  EXPECT_EQ(test::RowsWith(pe, {"許容曲げ圧縮応力度", "14.50"}).size(), 1u);
  EXPECT_EQ(test::RowsWith(pe, {"水平方向", "4321.25", "5321.25"}).size(), 1u);
}

TEST(BuildReport, PagesStopAtTheLastSlotAndTheLimitIsReported) {
  Fixture f;
  PrintEngine pe;
  ReportBuild b;
  ReportContext ctx(pe, f.src, f.opt, b);
  pe.BeginReportPages(1800, 2700);
  pe.SelectPageSlot(kFirstBodySlot);
  for (int i = 0; i < kLastPageSlot - kFirstBodySlot; ++i) ctx.NewPage();
  EXPECT_EQ(pe.records().current(), kLastPageSlot);
  EXPECT_EQ(b.first_error, "");
  PrintLine(pe, 1.0, 10, "最後の頁");
  const std::size_t last = pe.records().Slot(kLastPageSlot).size();
  // One page more: refused and reported, nothing drawn over the last page.
  ctx.NewPage();
  ctx.NewPage();
  PrintLine(pe, 1.0, 10, "あふれた頁");
  EXPECT_EQ(pe.records().Slot(kLastPageSlot).size(), last);
  EXPECT_EQ(pe.records().highest(), kLastPageSlot);
  EXPECT_NE(b.first_error.find("頁数の上限"), std::string::npos);
  EXPECT_TRUE(b.page_limit_reached);
}

}  // namespace
}  // namespace vaultra
