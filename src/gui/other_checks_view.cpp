#include "gui/other_checks_view.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "app/calc/run_analysis.h"
#include "app/pages/other_checks_page.h"
#include "gui/page_layout.h"
#include "gui/qt_ui.h"

// The tables name only the members a row or group needs; the rest keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace vaultra::gui {

namespace {

using Rows = std::vector<LayoutRow>;

const char* const kTransverse = "横方向接合部の照査";
const char* const kLongitudinal = "縦方向接合部の照査";
const char* const kEndWalls = "端壁の照査";

// The verdict labels, in the order of the view's array.
constexpr std::array<const char*, 9> kVerdictNames = {
    "Lb1A", "Lb1H", "Lb2A", "Lb2H", "ErrPc", "ErrBosui", "ErrBolt", "lbKabeTk", "lbUplift"};
// The page derives these two; a typed value would be replaced by the next recompute.
constexpr std::array<const char*, 2> kDerived = {"Ed_BlkWt", "p5Ed_Po"};
// The horizontal end-wall bars, enabled by the two-way slab method only.
constexpr std::array<const char*, 8> kHorizontalBars = {"Cb_HiDu", "Ed_HiNu", "Cb_HoDu", "Ed_HoNu",
                                                        "Cb_HiDb", "Ed_HiNb", "Cb_HoDb", "Ed_HoNb"};

PageLayout MakeLayout() {
  PageLayout p;
  p.picture = false;
  p.groups = {
      {"", kTransverse, 0,
       Rows{{"", "・ボルト", ""},
            {"TBoltS", "・ﾎﾞﾙﾄの種類:", ""},
            {"p1Ed_Ps", "せん断応力度  (Ｐs):", "(N/mm2)"},
            {"TBoltK", "ﾎﾞﾙﾄの径:", ""},
            {"p2Ed_AB", "１本当たりの断面積  (AB):", "(mm2)"},
            {"p2Ed_nB", "奥行き1m当たりの本数(nB):", "(本)"},
            {"", "・モルタル材", ""},
            {"TMoltl", "設計基準強度:", "(N/mm2)"},
            {"p3Ed_Sga", "圧縮応力度        (σga):", "(N/mm2)"},
            {"", "全水平力に対する", ""},
            {"p3Ed_Ac", "有効断面積(Ac):", "(cm2)"}}},
      {"",
       kLongitudinal,
       1,
       Rows{{"", "許容目地開き量の設定", ""},
            {"p6Ed_Ua1", "レベル１地震動時 (Ｕa1):", "(mm)"},
            {"p6Ed_Ua2", "レベル２地震動時 (Ｕa2):", "(mm)"},
            {"", "PC鋼棒の種類", ""},
            {"PcS", "PC鋼棒の種類:", ""},
            {"p4Ed_Ppu", "引張強さ　　　     (Ｐpu):", "(N/mm2)"},
            {"p4Ed_Ppy", "降伏点応力度       (Ｐpy):", "(N/mm2)"},
            {"p5Ed_Po", "初期引張応力度      (Ｐo):", "(N/mm2)"},
            {"Ed_BlkWt", "ﾌﾞﾛｯｸの最大重量：", "(kN)"},
            {"", "PC鋼棒の径・本数", ""},
            {"p5Cb_PcNam", "鋼棒の呼び名:", ""},
            {"p5Ed_Ap", "公称断面積      (Ａp):", "(mm2)"},
            {"p5Ed_Np", "作用幅当りの本数(ｎp):", "(本/m)"},
            {"", "底版現場打ちの配力筋量", ""},
            {"p8Cb_Nam", "配力筋鉄筋径:", ""},
            {"p8Ed_As", "公称断面積      (Ａs):", "(mm2)"},
            {"p8Ed_Ns", "作用幅当りの本数(ｎs):", "(本/m)"}},
       {},
       {},
       {"初期引張応力度とブロックの最大重量は自動計算です（編集できません）"}},
      {"",
       kEndWalls,
       2,
       Rows{{"RHari12", "計算方法", "", 2},
            {"CkYokoUti", "縦方向鉄筋を外側へ配置", ""},
            {"", "純かぶり", ""},
            {"Ed_ViK", "内 側:", "(mm)"},
            {"Ed_VoK", "外 側:", "(mm)"},
            {"", "縦筋", ""},
            {"Cb_ViD", "縦筋 内側 径:", ""},
            {"Ed_ViN", "縦筋 内側 本数:", "(本/m)"},
            {"Cb_VoD", "縦筋 外側 径:", ""},
            {"Ed_VoN", "縦筋 外側 本数:", "(本/m)"},
            {"", "横筋", ""},
            {"Cb_HiDu", "横筋 上部: 内側 径:", ""},
            {"Ed_HiNu", "横筋 上部: 内側 本数:", "(本/m)"},
            {"Cb_HoDu", "横筋 上部: 外側 径:", ""},
            {"Ed_HoNu", "横筋 上部: 外側 本数:", "(本/m)"},
            {"Cb_HiDb", "横筋 下部: 内側 径:", ""},
            {"Ed_HiNb", "横筋 下部: 内側 本数:", "(本/m)"},
            {"Cb_HoDb", "横筋 下部: 外側 径:", ""},
            {"Ed_HoNb", "横筋 下部: 外側 本数:", "(本/m)"}},
       {},
       {},
       {"（単純梁では縦スパンの照査のため縦筋のみ）"}},
  };
  return p;
}

// 0x00BBGGRR as the label's text colour.
QString ColourStyle(int c) {
  return QStringLiteral("color: rgb(%1,%2,%3)")
      .arg(c & 0xFF)
      .arg((c >> 8) & 0xFF)
      .arg((c >> 16) & 0xFF);
}

}  // namespace

const PageLayout& OtherChecksLayout() {
  static const PageLayout layout = MakeLayout();
  return layout;
}

OtherChecksView::OtherChecksView(ProjectState& state, const MasterData& md,
                                 std::function<void()> recompute,
                                 std::function<const CalcRun*()> run, std::function<bool()> busy,
                                 QWidget* parent)
    : FormPage(OtherChecksLayout(), QStringLiteral(u"応力照査・その他"), state.other_checks,
               parent),
      state_(state),
      md_(md),
      recompute_(std::move(recompute)),
      run_(std::move(run)),
      busy_(std::move(busy)) {
  AddVerdicts();
  for (const char* name : kDerived)
    if (auto* e = qobject_cast<QLineEdit*>(WidgetOf(name))) {
      e->setReadOnly(true);
      e->setFocusPolicy(Qt::NoFocus);
      e->setStyleSheet(QStringLiteral("background: rgb(232,232,232)"));
      e->setToolTip(QStringLiteral(u"自動計算（編集できません）"));
    }
  connect(this, &FormPage::edited, this, &OtherChecksView::Edited);
  Load(state_.other_checks);
  ApplyMethodView();
  ShowLabels();
}

void OtherChecksView::AddVerdicts() {
  // The verdicts are columns of fixed-pitch numbers under their header.
  QFont fixed(QStringLiteral("IPAGothic"));
  fixed.setStyleHint(QFont::Monospace);
  auto make = [this, &fixed](QWidget* parent, std::size_t i) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(kVerdictNames[i]));
    l->setFont(fixed);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    verdicts_[i] = l;
    return l;
  };
  auto append = [](QGroupBox* box, QWidget* w) {
    if (!box) return;
    auto* grid = static_cast<QGridLayout*>(box->layout());
    grid->addWidget(w, grid->rowCount(), 0, 1, 3);
  };
  if (QGroupBox* box = GroupOf(kTransverse)) {
    auto* head = new QLabel(QStringLiteral(u"                 Na      N-max"), box);
    head->setObjectName(QStringLiteral("LbNaHead"));
    head->setFont(fixed);
    append(box, head);
    for (std::size_t i = 0; i < 4; ++i) append(box, make(box, i));
    append(box, make(box, 6));  // ErrBolt
  }
  if (QGroupBox* box = GroupOf(kLongitudinal)) {
    append(box, make(box, 4));
    append(box, make(box, 5));
  }
  if (QGroupBox* box = GroupOf(kEndWalls)) {
    append(box, make(box, 7));
    append(box, make(box, 8));  // the uplift verdict
  }
}

QLabel* OtherChecksView::Verdict(const char* name) const {
  for (std::size_t i = 0; i < kVerdictNames.size(); ++i)
    if (std::string(kVerdictNames[i]) == name) return verdicts_[i];
  return nullptr;
}

void OtherChecksView::Enter() {
  Recompute();
}

void OtherChecksView::Leave() {
  Store(state_.other_checks);
}

void OtherChecksView::Recompute() {
  if (busy_ && busy_()) return;
  // The record is the truth here: a product change may have reset it
  // while the page was away.
  if (recompute_) recompute_();
  Load(state_.other_checks);
  ApplyMethodView();
  ShowLabels();
}

void OtherChecksView::Edited(const QString& name) {
  if (busy_ && busy_()) return;
  const std::string n = name.toStdString();
  Store(state_.other_checks);
  if (n == "RHari12") ApplyEndWallMethod(state_.other_checks);
  // A list fills the values that follow from the master tables.
  OtherChecksListChanged(state_, md_, n);
  Load(state_.other_checks);
  Recompute();
}

void OtherChecksView::ApplyMethodView() {
  const EndWallMethodView v = ApplyEndWallMethod(state_.other_checks);
  // The rule may have checked CkYokoUti.
  if (auto* b = qobject_cast<QAbstractButton*>(WidgetOf("CkYokoUti"))) {
    const QSignalBlocker block(b);
    b->setChecked(state_.other_checks.Checked("CkYokoUti"));
    b->setEnabled(v.yoko_uti_enabled);
  }
  for (const char* name : kHorizontalBars)
    if (QWidget* w = WidgetOf(name)) w->setEnabled(v.horizontal_bars_enabled);
}

void OtherChecksView::ShowLabels() {
  const CalcRun* run = run_ ? run_() : nullptr;
  const OtherChecksLabels l = OtherChecksLabelsOf(run ? *run : CalcRun{});
  for (std::size_t i = 0; i < 4; ++i) {
    verdicts_[i]->setText(Q(l.joint[i]));
    verdicts_[i]->setStyleSheet(ColourStyle(l.joint_colours[i]));
    verdicts_[i]->setAccessibleName(Q(l.joint[i]));
  }
  const std::array<const std::string*, 3> errors = {&l.err_pc, &l.err_bosui, &l.err_bolt};
  for (std::size_t i = 0; i < errors.size(); ++i) {
    QLabel* lb = verdicts_[4 + i];
    lb->setText(Q(*errors[i]));
    lb->setStyleSheet(ColourStyle(255));
    lb->setVisible(!errors[i]->empty());
  }
  verdicts_[7]->setText(Q(l.end_wall));
  verdicts_[7]->setStyleSheet(ColourStyle(l.end_wall_colour));
  verdicts_[7]->setAccessibleName(Q(l.end_wall));
  verdicts_[7]->setWordWrap(true);
  verdicts_[8]->setText(Q(l.uplift));
  verdicts_[8]->setStyleSheet(ColourStyle(l.uplift_colour));
  verdicts_[8]->setAccessibleName(Q(l.uplift));
  verdicts_[8]->setWordWrap(true);
}

}  // namespace vaultra::gui
