// The other-checks page and the section-detail window as an engineer uses
// them: captions, verdicts that follow each change, the derived fields,
// blank-led list items, the window's recompute, its fields in the project
// file, and the member checks untouched by the window.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <filesystem>

#include "app/calc/run_analysis.h"
#include "app/pages/page_logic_impl.h"
#include "app/pages/section_detail_form.h"
#include "checks/joint_check.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "core/number.h"
#include "core/ui.h"
#include "gui/main_window.h"
#include "gui/other_checks_view.h"
#include "gui/section_detail_window.h"
#include "gui_support.h"
#include "inputs/master_data.h"

namespace vaultra::gui {
namespace {

using test::Master;

struct Detail : test::WindowFixture {
  Detail() : WindowFixture("detail") {}

  // The other-checks page entered through its button (the analysis runs).
  OtherChecksView* Enter(MainWindow& w) {
    w.PageButton(Page::kOtherChecks)->click();
    EXPECT_TRUE(w.calculation().analysed());
    return w.OtherChecks();
  }
  static QLineEdit* Edit(FormPage* page, const char* name) {
    return qobject_cast<QLineEdit*>(page->WidgetOf(name));
  }
  // Types a value as a person would and leaves the field.
  static void Type(QLineEdit* e, const QString& text) {
    e->setText(text);
    emit e->editingFinished();
  }
  static void Choose(FormPage* page, const char* name, int index) {
    auto* cb = qobject_cast<QComboBox*>(page->WidgetOf(name));
    ASSERT_NE(cb, nullptr) << name;
    cb->setCurrentIndex(index);
    emit cb->activated(index);
  }
  static bool Red(QLabel* l) { return l->styleSheet().contains(QStringLiteral("rgb(255,0,0)")); }
};

// ---- the other-checks page --------------------------------------------------------

TEST_F(Detail, OtherChecksInputsCarryTheirCaptionsAndHiddenOnesStayHidden) {
  auto w = Window("box_three_boxes.vt1");
  OtherChecksView* page = Enter(*w);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(w->FormPageOf(Page::kOtherChecks), page);
  const std::vector<std::pair<const char*, std::u16string>> named = {
      {"TBoltS", u"・ﾎﾞﾙﾄの種類"},
      {"p1Ed_Ps", u"せん断応力度 (Ｐs)"},
      {"p3Ed_Ac", u"有効断面積(Ac)"},
      {"p6Ed_Ua1", u"レベル１地震動時 (Ｕa1)"},
      {"p5Ed_Po", u"初期引張応力度 (Ｐo)"},
      {"Ed_BlkWt", u"ﾌﾞﾛｯｸの最大重量"},
      {"RHari12", u"計算方法"},
      {"CkYokoUti", u"縦方向鉄筋を外側へ配置"},
      {"Ed_ViK", u"内 側"},
      {"Cb_HoDb", u"横筋 下部: 外側 径"},
  };
  for (const auto& [name, caption] : named) {
    QWidget* c = page->WidgetOf(name);
    ASSERT_NE(c, nullptr) << name;
    EXPECT_EQ(c->accessibleName(), QString::fromStdU16String(caption)) << name;
    EXPECT_TRUE(c->isVisibleTo(page)) << name;
  }
  // The hidden yield strength and the never-shown connection group.
  for (const char* name : {"p1Ed_Sby", "RBoltS", "RBoltK", "p9Ed_Pr", "RBoltSu", "AncK", "AncL"}) {
    ASSERT_NE(page->WidgetOf(name), nullptr) << name;
    EXPECT_FALSE(page->WidgetOf(name)->isVisibleTo(page)) << name;
  }
  // No shown label is a raw control name.
  for (QLabel* l : page->findChildren<QLabel*>())
    if (l->isVisibleTo(page)) {
      EXPECT_NE(l->text(), QStringLiteral("p1Ed_Ps"));
      EXPECT_NE(l->text(), QStringLiteral("TBoltS"));
    }
  // The verdicts are there after the run, each reading its level.
  EXPECT_TRUE(page->Verdict("Lb1A")->text().startsWith(QStringLiteral(u"Lv1.圧縮")));
  EXPECT_TRUE(page->Verdict("Lb2H")->text().startsWith(QStringLiteral(u"Lv2.引張")));
  EXPECT_FALSE(page->Verdict("lbKabeTk")->text().isEmpty());
}

TEST_F(Detail, ChangingAJointInputRefreshesItsVerdictLabels) {
  auto w = Window("box_three_boxes.vt1");
  OtherChecksView* page = Enter(*w);
  const TransverseJointLevel lv1 = w->calculation().run().transverse_joint.level[0];
  ASSERT_GT(lv1.nmax_compression, 0);  // the top slabs carry compression at level 1
  auto label = [&](const char16_t* head, double na, double nmax) {
    return QString::fromStdU16String(head) +
           QString::asprintf("  %9.1f  %9.1f   %s", na, nmax, na < nmax ? "N.G." : "O.K.");
  };
  // Na(compression) = (Ps·nB·AB + σga·Ac·100)·0.001 = (100·2·400 + 10·1000·100)·0.001
  // = 1080.0 kN; Na(tension) = 100·2·400·0.001 = 80.0 kN.
  Type(Edit(page, "p1Ed_Ps"), QStringLiteral("100"));
  Type(Edit(page, "p2Ed_nB"), QStringLiteral("2"));
  Type(Edit(page, "p2Ed_AB"), QStringLiteral("400"));
  Type(Edit(page, "p3Ed_Sga"), QStringLiteral("10"));
  Type(Edit(page, "p3Ed_Ac"), QStringLiteral("1000"));
  EXPECT_EQ(page->Verdict("Lb1A")->text(), label(u"Lv1.圧縮", 1080.0, lv1.nmax_compression));
  EXPECT_EQ(page->Verdict("Lb1H")->text(), label(u"Lv1.引張", 80.0, lv1.nmax_tension));
  EXPECT_EQ(state.records.joints.Ac, 1000);
  // Without bolts and mortar nothing carries the compression: N.G. in red.
  Type(Edit(page, "p3Ed_Ac"), QStringLiteral("0"));
  Type(Edit(page, "p1Ed_Ps"), QStringLiteral("0"));
  EXPECT_EQ(page->Verdict("Lb1A")->text(), label(u"Lv1.圧縮", 0.0, lv1.nmax_compression));
  EXPECT_TRUE(page->Verdict("Lb1A")->text().endsWith(QStringLiteral("N.G.")));
  EXPECT_TRUE(Red(page->Verdict("Lb1A")));
  // A large mortar area passes again, in blue.
  Type(Edit(page, "p3Ed_Ac"), QStringLiteral("999999"));
  EXPECT_TRUE(page->Verdict("Lb1A")->text().endsWith(QStringLiteral("O.K.")));
  EXPECT_FALSE(Red(page->Verdict("Lb1A")));
}

TEST_F(Detail, BlockWeightAndInitialStressAreDerivedAndShownReadOnly) {
  auto w = Window("stand_two_slabs.vt1");
  OtherChecksView* page = Enter(*w);
  QLineEdit* weight = Edit(page, "Ed_BlkWt");
  QLineEdit* po = Edit(page, "p5Ed_Po");
  // A value typed there would be replaced by the next recompute: nobody can type it.
  EXPECT_TRUE(weight->isReadOnly());
  EXPECT_TRUE(po->isReadOnly());
  const double wt = ReadReal(Cp(weight->text()));
  ASSERT_GT(wt, 1);
  // Po = weight·1000 / (2·Ap): with Ap = 200 mm², weight·1000/400.
  Type(Edit(page, "p5Ed_Ap"), QStringLiteral("200"));
  EXPECT_NEAR(ReadReal(Cp(po->text())), wt * 1000 / 400, 0.006);
  EXPECT_NEAR(state.records.joints.Po, wt * 1000 / 400, 0.006);
  EXPECT_NEAR(state.records.joints.block_weight, wt, 0.0006);
}

TEST_F(Detail, BlankLedListItemsSetTheirValues) {
  auto w = Window("box_three_boxes.vt1");
  OtherChecksView* page = Enter(*w);
  // The mortar items read "   20.00": the master record of that strength gives σga.
  const std::vector<std::string>& mortar = state.other_checks.At("TMoltl").items;
  const int k = FindItemContaining(mortar, "20.");
  ASSERT_GE(k, 0);
  ASSERT_EQ(mortar[static_cast<std::size_t>(k)].front(), ' ');
  double expected = -1;
  for (const MaterialClass& m : Master().materials)
    if (m.class_number == 5 && m.strength == 20) expected = m.Column(9);
  ASSERT_GT(expected, 0);
  Type(Edit(page, "p3Ed_Sga"), QStringLiteral("1"));
  Choose(page, "TMoltl", k);
  EXPECT_NEAR(ReadReal(Cp(Edit(page, "p3Ed_Sga")->text())), expected, 0.005);
  EXPECT_EQ(state.records.joints.sigma_ga, ReadReal(state.other_checks.Text("p3Ed_Sga")));
  // The bar items read " D16": the diameter is 16, and the committed name carries no blank.
  const int d16 = FindItemContaining(state.other_checks.At("Cb_ViD").items, "D16");
  ASSERT_GE(d16, 0);
  Choose(page, "Cb_ViD", d16);
  EXPECT_EQ(state.records.joints.end_wall.vertical_inner.diameter, 16);
  EXPECT_EQ(state.records.joints.mortar.front() == ' ', false);
}

TEST_F(Detail, EndWallMethodEnablesTheHorizontalBars) {
  auto w = Window("stand_two_slabs.vt1");
  OtherChecksView* page = Enter(*w);
  auto* method = page->WidgetOf("RHari12");
  ASSERT_NE(method, nullptr);
  const QList<QAbstractButton*> buttons = method->findChildren<QAbstractButton*>();
  ASSERT_EQ(buttons.size(), 2);
  buttons[0]->click();  // "単純梁": vertical bars only, placed outside
  EXPECT_FALSE(page->WidgetOf("Cb_HiDu")->isEnabled());
  EXPECT_FALSE(page->WidgetOf("Ed_HoNb")->isEnabled());
  EXPECT_TRUE(qobject_cast<QAbstractButton*>(page->WidgetOf("CkYokoUti"))->isChecked());
  EXPECT_FALSE(page->WidgetOf("CkYokoUti")->isEnabled());
  EXPECT_EQ(state.records.joints.end_wall.method, kEndWallMethodSimpleBeam);
  buttons[1]->click();  // "二方向版"
  EXPECT_TRUE(page->WidgetOf("Cb_HiDu")->isEnabled());
  EXPECT_TRUE(page->WidgetOf("CkYokoUti")->isEnabled());
  EXPECT_EQ(state.records.joints.end_wall.method, kEndWallMethodTwoWay);
}

TEST_F(Detail, WithoutAnAnalysisNoJointReadsAsAPass) {
  auto w = Window("box_three_boxes.vt1");
  ASSERT_FALSE(w->calculation().analysed());
  OtherChecksView* page = w->OtherChecks();
  page->Recompute();
  for (const char* name : {"Lb1A", "Lb1H", "Lb2A", "Lb2H"}) {
    EXPECT_FALSE(page->Verdict(name)->text().contains(QStringLiteral("O.K."))) << name;
    EXPECT_TRUE(Red(page->Verdict(name))) << name;
  }
  EXPECT_NE(page->Verdict("lbKabeTk")->text(), QStringLiteral(u"応力照査：ＯＫ"));
}

// ---- the section-detail window ----------------------------------------------------

TEST_F(Detail, SectionDetailRecomputesWhenAFieldIsLeft) {
  auto w = Window("box_three_boxes.vt1");
  SectionDetailView* sd = w->SectionDetail();
  sd->ShowWindow();
  EXPECT_TRUE(sd->isVisible());
  EXPECT_EQ(sd->Field(kSdM)->accessibleName(),
            QStringLiteral(u"曲げモーメント M (＋で左側が圧縮)"));
  const QString mu_before = sd->Label("lbMu3")->text();
  ASSERT_TRUE(mu_before.startsWith(QStringLiteral(u"Ｍu =")));
  EXPECT_EQ(sd->Label("lbLs")->text(), QStringLiteral(u"(圧縮側)"));
  // A negative moment puts the tension on the left.
  Type(sd->Field(kSdM), QStringLiteral("-4931.8"));
  EXPECT_EQ(sd->Label("lbLs")->text(), QStringLiteral(u"(引張側)"));
  EXPECT_EQ(sd->Label("lbRs")->text(), QStringLiteral(u"(圧縮側)"));
  ASSERT_GT(sd->listing()->count(), 0);
  EXPECT_TRUE(sd->listing()->item(0)->text().startsWith(QStringLiteral(u"応力度 左:引張")));
  // γc = 2 halves f′cd: the window starts from the project's f′ck (40 in
  // the box sample's block part), 40/2 = 20 by tag 83; a weaker concrete lowers Mu.
  EXPECT_EQ(sd->Field(kSdFdck)->text(), QStringLiteral("  40.000"));
  Type(sd->Field(kSdGmc), QStringLiteral("2"));
  EXPECT_EQ(sd->Field(kSdFdcd)->text(), QStringLiteral("  20.000"));
  EXPECT_NE(sd->Label("lbMu3")->text(), mu_before);
  // The capacity graph off and fyk kept: the capacity labels are empty.
  sd->Box("CbFig2")->click();
  EXPECT_TRUE(sd->Label("lbMu3")->text().isEmpty());
  EXPECT_FALSE(sd->Label("lbSs3")->text().isEmpty());
  // The record follows every change.
  EXPECT_FALSE(state.section_detail.Checked("CbFig2"));
  EXPECT_EQ(ReadReal(state.section_detail.Text("edGmc")), 2);
}

TEST_F(Detail, SectionDetailStepsTheForcesWithTheArrowKeys) {
  auto w = Window("box_three_boxes.vt1");
  SectionDetailView* sd = w->SectionDetail();
  sd->ShowWindow();
  Type(sd->Field(kSdM), QStringLiteral("100"));
  QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
  QApplication::sendEvent(sd->Field(kSdM), &up);
  // 100·1.1 = 110 by tag 93.
  EXPECT_EQ(sd->Field(kSdM)->text(), QStringLiteral("  110.000"));
  QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
  QApplication::sendEvent(sd->Field(kSdS), &down);  // 0 − 0.001
  EXPECT_EQ(sd->Field(kSdS)->text(), QStringLiteral("   -0.001"));
  // Other fields ignore the keys.
  const QString h = sd->Field(kSdH)->text();
  QApplication::sendEvent(sd->Field(kSdH), &up);
  EXPECT_EQ(sd->Field(kSdH)->text(), h);
}

TEST_F(Detail, SectionDetailOpensFilledWithGivenValues) {
  auto w = Window("box_three_boxes.vt1");
  SectionDetailInputs in = SectionDetailInputs::Initial();
  in.text[kSdM] = "  250.000";
  in.text[kSdH] = "    600";
  in.text[kSdB] = "   1000";
  in.text[kSdAs2] = "  2000.0";
  w->OpenSectionDetail(in);
  SectionDetailView* sd = w->SectionDetail();
  EXPECT_TRUE(sd->isVisible());
  EXPECT_EQ(sd->Field(kSdH)->text(), QStringLiteral("    600"));
  EXPECT_EQ(sd->logic().figure.h, 600);
  EXPECT_EQ(state.section_detail.Text("edM"), "  250.000");
}

TEST_F(Detail, SectionDetailFieldsAreSavedWithTheProjectAndReadBack) {
  auto w = Window("box_three_boxes.vt1");
  SectionDetailView* sd = w->SectionDetail();
  sd->ShowWindow();
  Type(sd->Field(kSdH), QStringLiteral("1800"));
  Type(sd->Field(kSdThs), QStringLiteral("45"));
  sd->Box("CkTaH2")->click();
  const std::string path = (dir / "saved.vt1").string();
  w->SetSaveDialog([&] { return std::optional<std::string>(path); });
  w->SaveAs();
  const std::string text = *ReadFileBytes(path, nullptr);
  EXPECT_NE(text.find("edH =    1800\r\n"), std::string::npos);
  EXPECT_NE(text.find("CkTaH2 = 1\r\n"), std::string::npos);

  // Another window over a fresh state reads them back into its window.
  ProjectState other = DefaultProjectState();
  MainWindow w2(other, Master(), logic, ui, started);
  SectionDetailView* sd2 = w2.SectionDetail();
  EXPECT_EQ(sd2->Field(kSdH)->text(), QStringLiteral("   2500"));
  w2.OpenProject(path);
  EXPECT_EQ(sd2->Field(kSdH)->text(), QStringLiteral("   1800"));
  EXPECT_EQ(sd2->Field(kSdThs)->text(), QStringLiteral("    45.0"));
  EXPECT_TRUE(sd2->Box("CkTaH2")->isChecked());
  EXPECT_EQ(sd2->logic().figure.h, 1800);
}

TEST_F(Detail, SectionDetailLeavesTheMemberChecksAlone) {
  auto w = Window("box_three_boxes.vt1");
  w->PageButton(Page::kRcCheck)->click();
  ASSERT_TRUE(w->calculation().analysed());
  const std::vector<MemberVerdict> before =
      MemberVerdicts(w->calculation().run(), state.transverse);
  ASSERT_FALSE(before.empty());
  // Factors and strengths far from the project's, and the failure-mode
  // judgement (γs = 0.833) run in the window.
  SectionDetailView* sd = w->SectionDetail();
  sd->ShowWindow();
  Type(sd->Field(kSdGms), QStringLiteral("3"));
  Type(sd->Field(kSdGmc), QStringLiteral("5"));
  Type(sd->Field(kSdFyk), QStringLiteral("100"));
  Type(sd->Field(kSdGmbm), QStringLiteral("4"));
  Type(sd->Field(kSdEs), QStringLiteral("1000"));
  ASSERT_FALSE(sd->Label("lbMu3")->text().isEmpty());
  // The same calculation again.
  w->Recompute();
  ASSERT_TRUE(w->calculation().analysed());
  const std::vector<MemberVerdict> after = MemberVerdicts(w->calculation().run(), state.transverse);
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(after[i].member, before[i].member);
    EXPECT_EQ(after[i].combination, before[i].combination);
    EXPECT_DOUBLE_EQ(after[i].ratio, before[i].ratio) << before[i].member;
    EXPECT_EQ(after[i].ok, before[i].ok);
  }
}

}  // namespace
}  // namespace vaultra::gui
