#include "gui/main_window.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "core/cp932.h"
#include "core/fileio.h"
#include "gui/form_page.h"

namespace vaultra::gui {

namespace {

const QString kFilter = QStringLiteral(u"貯留施設の設計 (*.vt1)");

// The window's own ops, or the test's.
struct OpsRef {
  static NavigationOps& Pick(NavigationOps* o, NavigationOps& self) { return o ? *o : self; }
};

}  // namespace

TFm_MAIN::TFm_MAIN(ProjectState& state, const MasterData& md, PageLogic& logic, QtUi& ui,
                   StartUpResult started, NavigationOps* ops_override, QWidget* parent)
    : QMainWindow(parent),
      state_(state),
      logic_(logic),
      ui_(ui),
      started_(std::move(started)),
      calc_(state, md, logic, started_.folders, ui),
      navigator_(OpsRef::Pick(ops_override, *this), ui, started_.folders.demo_mode) {
  setObjectName(QStringLiteral("Fm_MAIN"));
  setWindowTitle(Q(started_.caption.empty() ? AppCaption() : started_.caption));
  setMinimumSize(1280, 744);
  resize(1280, 768);
  if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
  setAcceptDrops(true);

  auto* central = new QWidget(this);
  auto* h = new QHBoxLayout(central);
  h->setContentsMargins(2, 2, 2, 2);
  auto* left = new QFrame(central);
  left->setFixedWidth(150);
  BuildLeftPanel(left);
  h->addWidget(left);
  stack_ = new QStackedWidget(central);
  h->addWidget(stack_, 1);
  setCentralWidget(central);

  for (const PageInfo& info : PageTable()) {
    if (info.page == Page::kPreview) continue;
    QWidget* w = nullptr;
    if (FormOfPage(info.page)) {
      w = new FormPage(Q(info.caption), stack_);
    } else {
      auto* l = new QLabel(Q(info.caption) + QStringLiteral(u"\n（この画面は未実装）"), stack_);
      l->setAlignment(Qt::AlignCenter);
      w = l;
    }
    w->setObjectName(Q(info.form));
    stack_->addWidget(w);
    pages_[static_cast<int>(info.page)] = w;
  }
  BuildStatusBar();
  ShowPage(Page::kModel);
  FormShow(Page::kModel, 2);

  timer_ = new QTimer(this);
  timer_->setInterval(100);
  connect(timer_, &QTimer::timeout, this, &TFm_MAIN::Tick);
  timer_->start();
  Tick();
}

TFm_MAIN::~TFm_MAIN() = default;

void TFm_MAIN::BuildLeftPanel(QWidget* panel) {
  auto* v = new QVBoxLayout(panel);
  v->setContentsMargins(2, 2, 2, 2);
  v->setSpacing(3);

  auto* file = new QToolButton(panel);
  file->setObjectName(QStringLiteral("lbFile"));
  file->setText(QStringLiteral(u" ファイル "));
  file->setPopupMode(QToolButton::InstantPopup);
  auto* menu = new QMenu(file);
  open_action_ = menu->addAction(QStringLiteral(u"開く"), this, &TFm_MAIN::OpenDialog);
  open_action_->setObjectName(QStringLiteral("Open1"));
  menu->addAction(QStringLiteral(u"上書き保存"), this, &TFm_MAIN::Save);
  menu->addAction(QStringLiteral(u"名前を付けて保存"), this, &TFm_MAIN::SaveAs);
  file->setMenu(menu);
  v->addWidget(file);

  auto caption = [panel, v](const QString& text) {
    auto* l = new QLabel(text, panel);
    l->setAlignment(Qt::AlignCenter);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Raised);
    l->setStyleSheet(QStringLiteral("background:#203060;color:white;padding:3px"));
    v->addWidget(l);
  };

  group_ = new QButtonGroup(this);
  group_->setExclusive(true);
  int last_class = 0;
  for (const PageInfo& info : PageTable()) {
    const int cls = PageClassOf(info.page);
    if (info.page == Page::kPreview) {
      v->addSpacing(12);
      auto* b = new QPushButton(Q(info.caption), panel);
      b->setObjectName(QString::fromLatin1(info.button));
      b->setMinimumHeight(30);
      connect(b, &QPushButton::clicked, this,
              [this] { navigator_.Pg34PrVClick(PreviewSender::kButton); });
      buttons_[11] = b;
      v->addWidget(b);
      print_k_ = new QCheckBox(QStringLiteral(u"式の根拠を印刷"), panel);
      print_k_->setObjectName(QStringLiteral("PrintSwK"));
      print_t_ = new QCheckBox(QStringLiteral(u"Ｔs式を印刷"), panel);
      print_t_->setObjectName(QStringLiteral("PrintSwT"));
      connect(print_k_, &QCheckBox::clicked, this,
              [this] { navigator_.Pg34PrVClick(PreviewSender::kPrintSwK); });
      connect(print_t_, &QCheckBox::clicked, this,
              [this] { navigator_.Pg34PrVClick(PreviewSender::kPrintSwT); });
      v->addWidget(print_k_);
      v->addWidget(print_t_);
      continue;
    }
    if (cls == 1 && last_class != 1) caption(QStringLiteral(u"計算条件の設定"));
    if (cls == 3 && last_class != 3) caption(QStringLiteral(u"計算結果の確認"));
    last_class = cls;
    auto* b = new QPushButton(Q(info.caption), panel);
    b->setObjectName(QString::fromLatin1(info.button));
    b->setCheckable(true);
    b->setMinimumHeight(30);
    group_->addButton(b, static_cast<int>(info.page));
    buttons_[static_cast<int>(info.page) - 1] = b;
    const Page page = info.page;
    connect(b, &QPushButton::clicked, this, [this, page] {
      navigator_.PageSelctClick(page);
      ShowPage(navigator_.current());
    });
    v->addWidget(b);
  }
  v->addStretch(1);
  buttons_[0]->setChecked(true);
  buttons_[11]->setEnabled(false);
}

void TFm_MAIN::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  for (const char* name : {"lbType", "lbName", "lbBane", "lbBlockSu", "lbCalcTime"}) {
    auto* l = new QLabel(bar);
    l->setObjectName(QString::fromLatin1(name));
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(std::string(name) == "lbName" ? 300 : 120);
    bar->addWidget(l);
    labels_[name] = l;
  }
  for (int i = 0; i < kResetIndicatorCount; ++i) {
    auto* l = new QLabel(Q(kResetIndicatorCaptions[i]), bar);
    bar->addPermanentWidget(l);
    reset_labels_[i] = l;
  }
}

QLabel* TFm_MAIN::StatusLabel(const char* name) const {
  auto it = labels_.find(name);
  return it == labels_.end() ? nullptr : it->second;
}

FormPage* TFm_MAIN::FormPageOf(Page page) const {
  auto it = pages_.find(static_cast<int>(page));
  return it == pages_.end() ? nullptr : qobject_cast<FormPage*>(it->second);
}

void TFm_MAIN::Tick() {
  const StatusTexts t = MakeStatusTexts(state_);
  labels_["lbType"]->setText(Q(t.type));
  labels_["lbName"]->setText(Q(t.name));
  labels_["lbBane"]->setText(Q(t.spring));
  labels_["lbBlockSu"]->setText(Q(t.block_count));
  labels_["lbCalcTime"]->setText(calc_note_.empty() ? Q(t.calc) : Q(calc_note_));
  resets_.Tick();
  for (int i = 0; i < kResetIndicatorCount; ++i) {
    const int c = resets_.Colour(static_cast<ResetIndicator>(i));  // 0x00BBGGRR
    reset_labels_[i]->setStyleSheet(QStringLiteral("color: rgb(%1,%2,%3)")
                                        .arg(c & 0xFF)
                                        .arg((c >> 8) & 0xFF)
                                        .arg((c >> 16) & 0xFF));
  }
}

void TFm_MAIN::ShowPage(Page page) {
  auto it = pages_.find(static_cast<int>(page));
  if (it != pages_.end()) stack_->setCurrentWidget(it->second);
  if (QAbstractButton* b = PageButton(page)) b->setChecked(true);
}

// ---- NavigationOps -------------------------------------------------------------

void TFm_MAIN::FormShow(Page page, int selector) {
  const std::optional<FormId> id = FormOfPage(page);
  FormPage* fp = FormPageOf(page);
  if (!id || !fp) return;
  if (selector == 2) {
    fp->Load(state_.Form(*id));
  } else if (selector == 1) {
    fp->Store(state_.Form(*id));
  }
}

// The fields of the page on screen into its record.
void TFm_MAIN::StoreIfCurrent(Page page) {
  const std::optional<FormId> id = FormOfPage(page);
  if (!id || page != navigator_.current()) return;
  if (FormPage* fp = FormPageOf(page)) fp->Store(state_.Form(*id));
}

void TFm_MAIN::CommitInputs(Page page) {
  StoreIfCurrent(page);
  calc_.CommitInputs(page);
}

// The other-checks steps work on the page's record; when the page is on
// screen its fields are taken first (the next entry shows what the steps
// wrote).
void TFm_MAIN::OtherChecksPrepare() {
  StoreIfCurrent(Page::kOtherChecks);
  calc_.OtherChecksPrepare();
}
void TFm_MAIN::OtherChecksInput() {
  StoreIfCurrent(Page::kOtherChecks);
  calc_.OtherChecksInput();
}
void TFm_MAIN::OtherChecksResultRefresh() {
  calc_.OtherChecksResultRefresh();
}

void TFm_MAIN::BuildModels() {
  calc_.BuildModels();
  calc_note_ = calc_.models_built() ? std::string() : calc_.build_error();
  Tick();
}

// The run blocks the window, as the calculation always has; the wait cursor
// and the status note say what is going on.
void TFm_MAIN::RunAnalysis(bool internal_solver) {
  labels_["lbCalcTime"]->setText(QStringLiteral(u"!! 部材応力度・計算中"));
  labels_["lbCalcTime"]->repaint();
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  calc_.RunAnalysis(internal_solver);
  QGuiApplication::restoreOverrideCursor();
  calc_note_ = CalcSummary();
  Tick();
}

// One line for the status bar: how many member verdicts failed, or why
// nothing was analysed.
std::string TFm_MAIN::CalcSummary() const {
  if (!calc_.models_built()) return calc_.build_error();
  if (!calc_.analysed()) return Utf16ToCp932(u"未計算");
  const CalcRun& run = calc_.run();
  if (!run.failures.empty()) return run.failures.front();
  int ng = 0;
  for (const MemberVerdict& v : MemberVerdicts(run, state_.transverse)) ng += v.ok ? 0 : 1;
  return ng == 0 ? Utf16ToCp932(u"部材照査: すべて O.K.")
                 : Utf16ToCp932(u"部材照査: N.G. ") + std::to_string(ng) + Utf16ToCp932(u" 件");
}

void TFm_MAIN::SaveResumeFile() {
  if (started_.complete) vaultra::SaveResumeFile(state_, started_.folders.resume_file, logic_, ui_);
}

void TFm_MAIN::SetOpenEnabled(bool on) {
  if (open_action_) open_action_->setEnabled(on);
}
void TFm_MAIN::SetPreviewEnabled(bool on) {
  if (buttons_[11]) buttons_[11]->setEnabled(on);
}

// ---- file commands -------------------------------------------------------------

void TFm_MAIN::OpenProject(const std::string& path) {
  FormShow(navigator_.current(), 1);
  OpenCommand(state_, path, started_.folders.resume_file, logic_, ui_);
  FormShow(navigator_.current(), 2);
  Tick();
}

void TFm_MAIN::OpenDialog() {
  const QString f = QFileDialog::getOpenFileName(this, QStringLiteral(u"開く"), QString(), kFilter);
  if (!f.isEmpty()) OpenProject(Cp(f));
}

std::optional<std::string> TFm_MAIN::AskSaveName() {
  QString f =
      QFileDialog::getSaveFileName(this, QStringLiteral(u"名前を付けて保存"), QString(), kFilter);
  if (f.isEmpty()) return std::nullopt;
  return Cp(f);
}

void TFm_MAIN::SaveAs() {
  FormShow(navigator_.current(), 1);
  if (std::optional<std::string> f = AskSaveName()) SaveAsCommand(state_, *f, logic_, ui_);
}

void TFm_MAIN::Save() {
  FormShow(navigator_.current(), 1);
  SaveCommand(state_, logic_, ui_, [this] { return AskSaveName(); });
}

void TFm_MAIN::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TFm_MAIN::dropEvent(QDropEvent* e) {
  std::vector<std::string> files;
  for (const QUrl& u : e->mimeData()->urls())
    if (u.isLocalFile()) files.push_back(Cp(u.toLocalFile()));
  const std::optional<std::string> f =
      DroppedProjectFile(files, [](const std::string& p) { return FileExists(p); });
  if (!f) return;
  e->acceptProposedAction();
  OpenProject(*f);
}

void TFm_MAIN::closeEvent(QCloseEvent* e) {
  if (!closed_) {
    closed_ = true;
    FormShow(navigator_.current(), 1);
    CloseDown(state_, started_, logic_, ui_);
  }
  e->accept();
}

}  // namespace vaultra::gui
