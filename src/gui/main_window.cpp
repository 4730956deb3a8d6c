#include "gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include "app/document/project_file.h"
#include "app/pages/section_detail_form.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "gui/form_page.h"
#include "gui/input_pages.h"
#include "gui/other_checks_view.h"
#include "gui/preview_window.h"
#include "gui/rc_page_view.h"
#include "gui/result_pages.h"
#include "gui/section_detail_window.h"

namespace vaultra::gui {

namespace {

const QString kFilter = QStringLiteral(u"貯留施設の設計 (*.vt1)");

// The calculation's folders: without a completed start-up no resume file.
AppFolders CalcFolders(const StartUpResult& started) {
  AppFolders f = started.folders;
  if (!started.complete) f.resume_file.clear();
  return f;
}

std::string Cp932Text(const std::u16string& s) {
  return Cp(QString::fromStdU16String(s));
}

}  // namespace

MainWindow::MainWindow(ProjectState& state, const MasterData& md, PageLogic& logic, QtUi& ui,
                       StartUpResult started, NavigationOps* ops_override, QWidget* parent)
    : QMainWindow(parent),
      state_(state),
      logic_(logic),
      ui_(ui),
      started_(std::move(started)),
      calc_(state, md, logic, CalcFolders(started_), ui),
      navigator_(ops_override ? Navigator(*ops_override, ui, started_.folders.demo_mode)
                              : Navigator(calc_, *this, ui, started_.folders.demo_mode)) {
  setObjectName(QStringLiteral("Fm_MAIN"));
  // The resume file read at start-up is no project of the user's: saving
  // asks for a name, and the title names no file.
  if (state_.project_path == started_.folders.resume_file ||
      state_.project_path == started_.folders.default_resume_file)
    state_.project_path.clear();
  // A laptop screen less its task bar (1280x720, 1366x768) holds the window:
  // the pages scroll where they cannot fit.
  setMinimumSize(1024, 600);
  resize(1280, 768);
  if (QScreen* s = screen()) {
    const QRect avail = s->availableGeometry();
    resize(std::min(1280, avail.width()), std::min(768, avail.height()));
    move(avail.center() - rect().center());
  }
  setAcceptDrops(true);

  inputs_ = new InputPages(
      state, md, logic, ui, [this] { return calculating(); }, [this] { return started_.complete; },
      this);
  connect(inputs_, &InputPages::modelChanged, this, &MainWindow::Tick);
  inputs_->SetPrintMasterDir(started_.folders.print_master_dir);
  results_ = new ResultPages(state, calc_, this);

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
    QWidget* w = inputs_->Widget(info.page);
    if (!w && info.page == Page::kRcCheck) {
      rc_view_ = new RcPageView(
          state_, md,
          [this]() -> CalcRun* { return calc_.analysed() ? &calc_.mutable_run() : nullptr; },
          stack_);
      // A rebar edit rechecks the members: the status bar counts again.
      connect(rc_view_, &RcPageView::rebarEdited, this, [this] {
        navigator_.SetRebarEdited();
        RefreshVerdictCount();
      });
      connect(rc_view_, &RcPageView::detailRequested, this, &MainWindow::OpenSectionDetail);
      w = rc_view_;
    }
    if (!w) w = results_->Widget(info.page);
    if (!w && info.page == Page::kOtherChecks) {
      other_checks_ = new OtherChecksView(
          state_, md, [this] { calc_.RecomputeOtherChecks(); },
          [this]() -> const CalcRun* { return calc_.analysed() ? &calc_.run() : nullptr; },
          [this] { return calculating(); }, stack_);
      w = other_checks_;
    }
    if (!w) {
      auto* l = new QLabel(Q(info.caption) + QStringLiteral(u"\n（この画面は未実装）"), stack_);
      l->setAlignment(Qt::AlignCenter);
      w = l;
    }
    w->setObjectName(Q(info.form));
    stack_->addWidget(w);
    pages_[static_cast<int>(info.page)] = w;
  }
  BuildStatusBar();

  // The progress window of a calculation: shown and painted while it runs,
  // without an event loop of its own.
  progress_ = new QWidget(this, Qt::Tool | Qt::WindowStaysOnTopHint);
  progress_->setObjectName(QStringLiteral("FmProgress"));
  progress_->setWindowTitle(QStringLiteral(u"計算中"));
  auto* pv = new QVBoxLayout(progress_);
  progress_text_ = new QLabel(progress_);
  progress_text_->setMinimumWidth(320);
  pv->addWidget(progress_text_);
  ui_.SetProgressListener([this](const std::string& text) {
    if (!progress_text_) return;
    progress_text_->setText(Q(text));
    if (progress_->isVisible()) progress_->repaint();
  });

  ShowPage(Page::kModel);
  FormShow(Page::kModel, 2);
  BuildShortcuts();
  LoadRecent();

  // Every commit (a field left, a choice, a cell, a rebar edit) asks for
  // the comparison with the file once the page has taken it.
  modified_check_ = new QTimer(this);
  modified_check_->setSingleShot(true);
  modified_check_->setInterval(0);
  connect(modified_check_, &QTimer::timeout, this, &MainWindow::UpdateModified);
  for (FormPage* fp : findChildren<FormPage*>()) {
    connect(fp, &FormPage::edited, this, &MainWindow::ScheduleModifiedCheck);
    ConnectRefusals(fp);
  }
  for (GridTable* t : findChildren<GridTable*>())
    connect(t, &QTableWidget::itemChanged, this, &MainWindow::ScheduleModifiedCheck);
  if (rc_view_)
    connect(rc_view_, &RcPageView::rebarEdited, this, &MainWindow::ScheduleModifiedCheck);
  MarkUnmodified();

  timer_ = new QTimer(this);
  timer_->setInterval(100);
  connect(timer_, &QTimer::timeout, this, &MainWindow::Tick);
  timer_->start();
  Tick();
}

MainWindow::~MainWindow() {
  ui_.SetProgressListener(nullptr);
  // The field with the focus loses it while the children go: its commit
  // must not reach pages and labels already destroyed.
  closed_ = true;
  for (FormPage* fp : findChildren<FormPage*>()) fp->blockSignals(true);
  if (inputs_) inputs_->blockSignals(true);
}

void MainWindow::BuildLeftPanel(QWidget* panel) {
  auto* v = new QVBoxLayout(panel);
  v->setContentsMargins(2, 2, 2, 2);
  v->setSpacing(3);

  // The small panel around " ファイル ": a click on the label opens the file
  // menu below it, a click beside it recomputes the current page.
  auto* demo = new QFrame(panel);
  demo->setObjectName(QStringLiteral("CbxDEMO"));
  demo->setFrameShape(QFrame::Panel);
  demo->setFrameShadow(QFrame::Raised);
  demo->setAccessibleName(QStringLiteral(u"再計算"));
  demo->setToolTip(QStringLiteral(u"クリックで現在の画面を再計算します"));
  demo->installEventFilter(this);
  auto* dl = new QHBoxLayout(demo);
  dl->setContentsMargins(6, 4, 22, 4);
  file_label_ = new QLabel(QStringLiteral(u" ファイル "), demo);
  file_label_->setObjectName(QStringLiteral("lbFile1"));
  file_label_->setAccessibleName(QStringLiteral(u"ファイル"));
  file_label_->setFrameShape(QFrame::Box);
  file_label_->installEventFilter(this);
  dl->addWidget(file_label_);
  file_menu_ = new QMenu(this);
  file_menu_->setObjectName(QStringLiteral("FileMenu"));
  open_action_ = file_menu_->addAction(QStringLiteral(u"開く"), this, &MainWindow::OpenDialog);
  open_action_->setObjectName(QStringLiteral("Open1"));
  file_menu_->addAction(QStringLiteral(u"上書き保存"), this, &MainWindow::Save)
      ->setObjectName(QStringLiteral("Save1"));
  file_menu_->addAction(QStringLiteral(u"名前を付けて保存"), this, &MainWindow::SaveAs)
      ->setObjectName(QStringLiteral("SaveAs1"));
  v->addWidget(demo);

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
      connect(b, &QPushButton::clicked, this, [this] {
        CommitRcEditor();
        navigator_.PreviewClick(PreviewSender::kButton);
      });
      buttons_[11] = b;
      v->addWidget(b);
      print_k_ = new QCheckBox(QStringLiteral(u"式の根拠を印刷"), panel);
      print_k_->setObjectName(QStringLiteral("PrintSwK"));
      print_t_ = new QCheckBox(QStringLiteral(u"Ｔs式を印刷"), panel);
      print_t_->setObjectName(QStringLiteral("PrintSwT"));
      connect(print_k_, &QCheckBox::clicked, this, [this](bool on) {
        state_.main.At("PrintSwK").checked = on;
        CommitRcEditor();
        navigator_.PreviewClick(PreviewSender::kPrintSwK);
      });
      connect(print_t_, &QCheckBox::clicked, this, [this](bool on) {
        state_.main.At("PrintSwT").checked = on;
        CommitRcEditor();
        navigator_.PreviewClick(PreviewSender::kPrintSwT);
      });
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
    connect(b, &QPushButton::clicked, this, [this, page] { SwitchTo(page); });
    v->addWidget(b);
  }
  v->addStretch(1);
  buttons_[0]->setChecked(true);
  buttons_[11]->setEnabled(false);
}

void MainWindow::SwitchTo(Page page) {
  if (calculating()) return;
  CommitRcEditor();
  // The fields of the page on screen reach its record before the switch
  // commits, builds or analyses anything.
  inputs_->CommitPending(navigator_.current());
  if (navigator_.current() == Page::kOtherChecks) StoreIfCurrent(Page::kOtherChecks);
  navigator_.PageSelectClick(page);
  ShowPage(navigator_.current());
}

void MainWindow::Recompute() {
  if (calculating()) return;
  inputs_->CommitPending(navigator_.current());
  navigator_.DemoModeClick();
  ShowPage(navigator_.current());
  if (navigator_.current() == Page::kOtherChecks && other_checks_) other_checks_->Recompute();
}

bool MainWindow::eventFilter(QObject* o, QEvent* e) {
  if (e->type() == QEvent::MouseButtonRelease) {
    if (o == file_label_) {
      file_menu_->popup(file_label_->mapToGlobal(QPoint(0, file_label_->height() + 2)));
      return true;
    }
    if (o->objectName() == QLatin1String("CbxDEMO")) {
      Recompute();
      return true;
    }
    if (o->objectName() == QLatin1String("MyHistory")) {
      ShowHistory();
      return true;
    }
  }
  if (e->type() == QEvent::MouseButtonDblClick && o->objectName() == QLatin1String("Oryoku")) {
    ShowSectionDetail();
    return true;
  }
  return QMainWindow::eventFilter(o, e);
}

void MainWindow::ShowHistory() {
  if (!history_) {
    auto* w = new QWidget(this, Qt::Window);
    w->setObjectName(QStringLiteral("FmHistory"));
    w->setWindowTitle(QStringLiteral(u"変更履歴"));
    auto* l = new QVBoxLayout(w);
    auto* text = new QPlainTextEdit(w);
    text->setReadOnly(true);
    text->setAccessibleName(QStringLiteral(u"変更履歴"));
    text->setPlainText(Q(ChangeHistoryText()));
    l->addWidget(text);
    w->resize(560, 420);
    history_ = w;
  }
  history_->show();
  history_->raise();
}

void MainWindow::ShowSectionDetail() {
  SectionDetail()->ShowWindow();
}

SectionDetailView* MainWindow::SectionDetail() {
  if (!section_detail_) {
    TakeProjectMaterials(state_.section_detail, state_.records.materials);
    section_detail_ = new SectionDetailView(state_.section_detail, ui_, this);
    for (FormPage* fp : section_detail_->findChildren<FormPage*>()) ConnectRefusals(fp);
    if (auto* fp = qobject_cast<FormPage*>(static_cast<QObject*>(section_detail_)))
      ConnectRefusals(fp);
  }
  return section_detail_;
}

// A refused entry's message, once the field has its old value back.
void MainWindow::ConnectRefusals(FormPage* fp) {
  connect(
      fp, &FormPage::refused, this,
      [this](const QString& message) { ui_.Tell(MsgKind::kWarning, Cp(message)); },
      Qt::QueuedConnection);
}

void MainWindow::OpenSectionDetail(const SectionDetailInputs& in) {
  SectionDetail()->OpenWith(in);
}

// A value typed into the RC check page's inline editor is taken before
// anything reads the section records.
void MainWindow::CommitRcEditor() {
  if (rc_view_) rc_view_->CommitEditor();
}

void MainWindow::ShowCoverMessage(bool visible) {
  if (rc_view_) rc_view_->ShowCoverMessage(visible);
}
bool MainWindow::ShearCheckAt2d() const {
  return state_.model.Checked("Rb_2d");
}
void MainWindow::RefreshRcCheckPage() {
  if (rc_view_) rc_view_->Refresh();
}

void MainWindow::BeginCalc(const QString& what) {
  if (calculating_++ > 0) return;
  progress_text_->setText(what);
  progress_->adjustSize();
  progress_->move(geometry().center() - progress_->rect().center());
  progress_->show();
  // A window just shown is painted only once the display has mapped it:
  // the events that map it are taken (no input, at most 0.3 s), then it is
  // painted; the calculation's progress texts repaint it from then on.
  QElapsedTimer waited;
  waited.start();
  while (progress_->windowHandle() && !progress_->windowHandle()->isExposed() &&
         waited.elapsed() < 300)
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
  progress_->repaint();
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void MainWindow::EndCalc() {
  if (calculating_ == 0 || --calculating_ > 0) return;
  QGuiApplication::restoreOverrideCursor();
  progress_->hide();
}

void MainWindow::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  auto add = [this, bar](const char* name, const QString& caption, int width) {
    if (!caption.isEmpty()) {
      auto* c = new QLabel(caption, bar);
      if (std::string(name) == "lbBane") {
        c->setObjectName(QStringLiteral("Oryoku"));
        c->setToolTip(QStringLiteral(u"ダブルクリックで「応力度と終局耐力」を開きます"));
        c->installEventFilter(this);
      }
      bar->addWidget(c);
    }
    auto* l = new QLabel(bar);
    l->setObjectName(QString::fromLatin1(name));
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(width);
    l->setMaximumWidth(width + 80);  // a long model name does not run over its neighbours
    // The label reads as its text; the description says which label it is.
    l->setAccessibleDescription(QString::fromLatin1(name));
    bar->addWidget(l);
    labels_[name] = l;
  };
  // The widths add up to less than a 1280-pixel window with the reset
  // indicators beside them: the labels never overlap (long texts are cut).
  add("lbType", QString(), 80);
  add("lbName", QString(), 150);
  add("lbBane", QStringLiteral(u"地盤ばね："), 70);
  add("lbBlockSu", QString(), 170);
  add("lbCalcTime", QString(), 120);
  for (int i = 0; i < kResetIndicatorCount; ++i) {
    auto* l = new QLabel(Q(kResetIndicatorCaptions[i]), bar);
    bar->addPermanentWidget(l);
    reset_labels_[i] = l;
  }
  auto* history = new QLabel(QStringLiteral(u"(変更履歴)"), bar);
  history->setObjectName(QStringLiteral("MyHistory"));
  history->installEventFilter(this);
  bar->addPermanentWidget(history);
  auto* size = new QLabel(bar);
  size->setObjectName(QStringLiteral("lbWinSize"));
  bar->addPermanentWidget(size);
  labels_["lbWinSize"] = size;
}

void MainWindow::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  auto it = labels_.find("lbWinSize");
  if (it != labels_.end())
    it->second->setText(QStringLiteral("%1 / %2").arg(width()).arg(height()));
}

QLabel* MainWindow::StatusLabel(const char* name) const {
  auto it = labels_.find(name);
  return it == labels_.end() ? nullptr : it->second;
}

FormPage* MainWindow::FormPageOf(Page page) const {
  if (FormPage* fp = inputs_->Form(page)) return fp;
  if (FormPage* fp = results_->Form(page)) return fp;
  auto it = pages_.find(static_cast<int>(page));
  return it == pages_.end() ? nullptr : qobject_cast<FormPage*>(it->second);
}

void MainWindow::Tick() {
  if (++ticks_ % 10 == 0) UpdateModified();
  const StatusTexts t = MakeStatusTexts(state_);
  // A long text is cut with "…" inside its label (the whole text as its tip):
  // under large fonts or 2x scaling it never runs into the next label.
  for (const auto& [name, text] :
       {std::pair{"lbType", Q(t.type)}, std::pair{"lbName", Q(t.name)}}) {
    QLabel* l = labels_[name];
    const int room = std::max(20, l->width() - 2 * l->frameWidth() - 4);
    l->setText(l->fontMetrics().elidedText(text, Qt::ElideRight, room));
    l->setToolTip(text);
  }
  labels_["lbBane"]->setText(Q(t.spring));
  labels_["lbBlockSu"]->setText(Q(t.block_count));
  labels_["lbCalcTime"]->setText(calc_note_.empty() ? Q(t.calc) : Q(calc_note_));
  resets_.Tick();
  for (int i = 0; i < kResetIndicatorCount; ++i) {
    const int c = resets_.Colour(static_cast<ResetIndicator>(i));  // 0x00BBGGRR
    reset_labels_[i]->setVisible(true);
    reset_labels_[i]->setStyleSheet(QStringLiteral("color: rgb(%1,%2,%3)")
                                        .arg(c & 0xFF)
                                        .arg((c >> 8) & 0xFF)
                                        .arg((c >> 16) & 0xFF));
  }
}

void MainWindow::ShowPage(Page page) {
  auto it = pages_.find(static_cast<int>(page));
  if (it != pages_.end()) stack_->setCurrentWidget(it->second);
  if (QAbstractButton* b = PageButton(page)) b->setChecked(true);
}

// ---- NavigationOps -------------------------------------------------------------

void MainWindow::FormShow(Page page, int selector) {
  // A page reacts only when its window state changes.
  const int i = static_cast<int>(page);
  if (i < 1 || i > kSwitchedPages || (selector != 1 && selector != 2)) return;
  bool& entered = entered_[static_cast<std::size_t>(i)];
  if ((selector == 2) == entered) return;
  OtherChecksView* other = page == Page::kOtherChecks ? other_checks_ : nullptr;
  if (selector == 1) {
    entered = false;
    if (other) other->Leave();
    inputs_->Leave(page);
    results_->Leave(page);
    return;
  }
  shown_ = page;
  entered = true;
  if (page == Page::kRcCheck && rc_view_) rc_view_->Enter();
  if (other) other->Enter();
  inputs_->Enter(page);
  results_->Enter(page);
}

// The fields of the page on screen into its record.
void MainWindow::StoreIfCurrent(Page page) {
  const int i = static_cast<int>(page);
  if (i < 1 || i > kSwitchedPages || !entered_[static_cast<std::size_t>(i)]) return;
  if (page == Page::kOtherChecks) {
    if (auto* fp = qobject_cast<FormPage*>(pages_[11])) fp->Store(state_.other_checks);
    return;
  }
  inputs_->Store(page);
  results_->Store(page);
}

// The steps run in the calculation (calc_); the window keeps the page on
// screen in its record before the other-checks steps work on it (the next
// entry shows what they wrote) and blocks itself while the models are built
// and analysed, the wait cursor and the status note saying what goes on.
void MainWindow::StepStarting(CalcStep step) {
  switch (step) {
    case CalcStep::kOtherChecksPrepare:
    case CalcStep::kOtherChecksInput:
      StoreIfCurrent(Page::kOtherChecks);
      break;
    case CalcStep::kBuildModels:
      BeginCalc(QStringLiteral(u"構造モデルを作成しています"));
      break;
    case CalcStep::kRunAnalysis:
      labels_["lbCalcTime"]->setText(QStringLiteral(u"!! 部材応力度・計算中"));
      labels_["lbCalcTime"]->repaint();
      BeginCalc(QStringLiteral(u"!! 部材応力度・計算中"));
      break;
    default:
      break;
  }
}

void MainWindow::StepDone(CalcStep step) {
  if (step == CalcStep::kBuildModels) {
    EndCalc();
    inputs_->SetFramePaths(calc_.workspace().transverse_path, calc_.workspace().longitudinal_path);
    calc_note_ = calc_.models_built() ? std::string() : calc_.build_error();
    Tick();
  } else if (step == CalcStep::kRunAnalysis) {
    EndCalc();
    results_->RunFinished();
    calc_note_ = CalcSummary();
    Tick();
  }
}

// One line for the status bar: how many member verdicts failed, or why
// nothing was analysed.
std::string MainWindow::CalcSummary() const {
  if (!calc_.models_built()) return calc_.build_error();
  if (!calc_.analysed()) return Utf16ToCp932(u"未計算");
  const CalcRun& run = calc_.run();
  if (!run.failures.empty()) return run.failures.front();
  int ng = 0;
  for (const MemberVerdict& v : MemberVerdicts(run, state_.transverse)) ng += v.ok ? 0 : 1;
  return ng == 0 ? Utf16ToCp932(u"部材照査: すべて O.K.")
                 : Utf16ToCp932(u"部材照査: N.G. ") + std::to_string(ng) + Utf16ToCp932(u" 件");
}

void MainWindow::SetOpenEnabled(bool on) {
  if (open_action_) open_action_->setEnabled(on);
}
void MainWindow::SetPreviewEnabled(bool on) {
  if (buttons_[11]) buttons_[11]->setEnabled(on);
}
void MainWindow::RepaintMemberForce() {
  results_->RepaintForces();
}

void MainWindow::RunSectionChecks(const CheckOverrideValues& overrides) {
  calc_.RunSectionChecks(overrides);
  RefreshVerdictCount();
}

void MainWindow::RefreshVerdictCount() {
  if (!calc_.analysed()) return;
  calc_note_ = CalcSummary();
  Tick();
}

// The report button: the report of the last run, built once and shown.
void MainWindow::ShowPreview() {
  if (!preview_) {
    PreviewSource source;
    source.build = [this](PrintEngine& pe, ReportBuild& build) {
      ReportOptions opt;
      opt.formulas = state_.main.At("PrintSwK").checked;
      opt.ts_formula = state_.main.At("PrintSwT").checked;
      // With Shift held the summary list goes to the clipboard.
      if (ui_.Keys().shift)
        opt.copy_summary = [](const std::vector<std::string>& lines) {
          QString text;
          for (const std::string& l : lines) text += Q(l) + QLatin1Char('\n');
          QGuiApplication::clipboard()->setText(text);
        };
      calc_.BuildReport(pe, build, opt);
    };
    source.generation = [this] { return calc_.generation(); };
    source.pdf_name = [this] {
      const std::string& path = state_.project_path;
      return path.empty() ? std::string() : Cp932ToUtf8(ChangeExtension(path, ".pdf"));
    };
    preview_ = new PreviewWindow(std::move(source), this);
  }
  preview_->Open();
}

// ---- file commands -------------------------------------------------------------

std::vector<std::string> MainWindow::ProjectLines() {
  std::vector<std::string> lines = ProjectFileLines(state_, std::string_view(), logic_);
  if (lines.size() > 1) lines[1].clear();
  return lines;
}

void MainWindow::MarkUnmodified() {
  undo_.clear();
  redo_.clear();
  saved_lines_ = ProjectLines();
  undo_.push_back({saved_lines_, std::make_shared<const ProjectState>(state_)});
  SetModified(false);
}

void MainWindow::SetModified(bool on) {
  modified_ = on;
  UpdateTitle();
}

// "Vaultra Ver.DATE (NAME.vt1)", the mark "*" while the project differs from its file.
void MainWindow::UpdateTitle() {
  QString title = Q(started_.caption.empty() ? AppCaption() : started_.caption);
  if (title.endsWith(QLatin1String("()"))) title.chop(2);
  const QString name =
      state_.project_path.empty() ? QString() : QFileInfo(Q(state_.project_path)).fileName();
  title += QLatin1Char('(') + name + QStringLiteral(")[*]");
  setWindowTitle(title);
  setWindowModified(modified_);
}

void MainWindow::ScheduleModifiedCheck() {
  if (modified_check_) modified_check_->start();
}

// The fields on screen go into their records and the project's lines are
// compared with the file's; a state that differs from the last step is a
// new undo step. Nothing is taken while a calculation runs or a message
// box waits (its field may hold a refused text).
void MainWindow::UpdateModified() {
  if (calculating() || restoring_ || closed_ || QApplication::activeModalWidget()) return;
  StoreIfCurrent(shown_);
  std::vector<std::string> lines = ProjectLines();
  if (undo_.empty() || lines != undo_.back().lines) {
    undo_.push_back({lines, std::make_shared<const ProjectState>(state_)});
    redo_.clear();
    constexpr std::size_t kMaxSteps = 100;
    if (undo_.size() > kMaxSteps) undo_.erase(undo_.begin());
  }
  const bool differs = lines != saved_lines_;
  if (differs != modified_) SetModified(differs);
}

void MainWindow::Undo() {
  if (calculating()) return;
  CommitRcEditor();
  UpdateModified();  // the edit just made is a step of its own
  if (undo_.size() < 2) return;
  redo_.push_back(std::move(undo_.back()));
  undo_.pop_back();
  RestoreStep(*undo_.back().state);
}

void MainWindow::Redo() {
  if (calculating() || redo_.empty()) return;
  undo_.push_back(std::move(redo_.back()));
  redo_.pop_back();
  RestoreStep(*undo_.back().state);
}

// A step back into the project: the page on screen is filled again from
// the restored records (without taking its widgets first) and the next
// result page recomputes; a result page on screen recomputes now.
void MainWindow::RestoreStep(const ProjectState& s) {
  restoring_ = true;
  const std::string path = state_.project_path;
  state_ = s;
  state_.project_path = path;
  const int i = static_cast<int>(shown_);
  if (i >= 1 && i <= kSwitchedPages) entered_[static_cast<std::size_t>(i)] = false;
  FormShow(shown_, 2);
  navigator_.SetRebarEdited();
  restoring_ = false;
  if (PageClassOf(navigator_.current()) == 3) Recompute();
  if (section_detail_) section_detail_->Reload();
  SetModified(undo_.back().lines != saved_lines_);
  Tick();
}

bool MainWindow::MayLeaveProject() {
  if (calculating()) return false;
  CommitRcEditor();
  UpdateModified();
  if (!modified_) return true;
  const std::string name =
      state_.project_path.empty() ? Cp932Text(u"(名前のないプロジェクト)") : state_.project_path;
  switch (ui_.AskSave(Cp932Text(u"プロジェクトは変更されています。\n") + name +
                      Cp932Text(u"\nに保存しますか？"))) {
    case SaveChoice::kSave:
      return Save();
    case SaveChoice::kDiscard:
      return true;
    case SaveChoice::kCancel:
      break;
  }
  return false;
}

void MainWindow::OpenProject(const std::string& path) {
  if (calculating()) return;
  if (!MayLeaveProject()) return;
  // The fields on screen belong to the project being left (the resume file keeps them).
  StoreIfCurrent(shown_);
  FormShow(shown_, 1);
  const LoadResult r = OpenCommand(state_, path, started_.folders.resume_file, logic_, ui_);
  if (!r.loaded)
    ui_.Tell(MsgKind::kError,
             ChangeExtension(path, ".vt1") +
                 Cp932Text(u"\nを開けませんでした。開いていたプロジェクトはそのままです。"));
  // Reading a project ends on the model page.
  navigator_.PageSelectClick(Page::kModel);
  ShowPage(navigator_.current());
  FormShow(navigator_.current(), 2);
  // The section-detail window shows the fields the project brought (its
  // materials where the window's own initial ones stand).
  TakeProjectMaterials(state_.section_detail, state_.records.materials);
  if (section_detail_) section_detail_->Reload();
  if (r.loaded) {
    AddRecent(state_.project_path);
    MarkUnmodified();
  } else {
    UpdateModified();
  }
  Tick();
}

void MainWindow::OpenDialog() {
  if (calculating() || !open_action_->isEnabled()) return;
  const QString f = QFileDialog::getOpenFileName(this, QStringLiteral(u"開く"), QString(), kFilter);
  if (!f.isEmpty()) OpenProject(Cp(f));
}

std::optional<std::string> MainWindow::AskSaveName() {
  if (save_dialog_) return save_dialog_();
  // The dialog does not ask about the name as typed: the extension is
  // changed afterwards, and the question is about the file really replaced.
  const QString f =
      QFileDialog::getSaveFileName(this, QStringLiteral(u"名前を付けて保存"), QString(), kFilter,
                                   nullptr, QFileDialog::DontConfirmOverwrite);
  if (f.isEmpty()) return std::nullopt;
  return Cp(f);
}

bool MainWindow::SaveAs() {
  if (calculating()) return false;
  CommitRcEditor();
  StoreIfCurrent(shown_);
  std::optional<std::string> f = AskSaveName();
  if (!f || f->empty()) return false;
  const std::string target = ChangeExtension(*f, ".vt1");
  if (FileExists(target) && !ui_.Ask(Cp932Text(u"ファイル\n") + target +
                                     Cp932Text(u"\nに上書きします、よろしいですか？")))
    return false;
  if (!SaveAsCommand(state_, target, logic_, ui_)) return false;
  AddRecent(state_.project_path);
  MarkUnmodified();
  return true;
}

bool MainWindow::Save() {
  if (calculating()) return false;
  CommitRcEditor();
  StoreIfCurrent(shown_);
  const bool saved = SaveCommand(state_, logic_, ui_, [this]() -> std::optional<std::string> {
    std::optional<std::string> f = AskSaveName();
    if (!f || f->empty()) return std::nullopt;
    const std::string target = ChangeExtension(*f, ".vt1");
    if (FileExists(target) && !ui_.Ask(Cp932Text(u"ファイル\n") + target +
                                       Cp932Text(u"\nに上書きします、よろしいですか？")))
      return std::nullopt;
    return target;
  });
  if (!saved) return false;
  AddRecent(state_.project_path);
  MarkUnmodified();
  return true;
}

// ---- shortcuts, recent files, help ---------------------------------------------

void MainWindow::BuildShortcuts() {
  auto add = [this](QMenu* menu, const QString& text, const QKeySequence& key, const char* name,
                    auto slot) {
    QAction* a = menu->addAction(text, this, slot);
    if (!key.isEmpty()) a->setShortcut(key);
    a->setObjectName(QString::fromLatin1(name));
    addAction(a);  // the shortcut works with the menu closed
    return a;
  };
  // The left panel's menu gets the shortcuts of its commands.
  open_action_->setShortcut(QKeySequence::Open);
  addAction(open_action_);
  for (QAction* a : file_menu_->actions()) {
    if (a->objectName() == QLatin1String("Save1")) a->setShortcut(QKeySequence::Save);
    if (a->objectName() == QLatin1String("SaveAs1"))
      a->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    addAction(a);
  }
  recent_menu_ = file_menu_->addMenu(QStringLiteral(u"最近使ったファイル"));
  recent_menu_->setObjectName(QStringLiteral("RecentFiles"));
  file_menu_->addSeparator();
  add(file_menu_, QStringLiteral(u"終了"), QKeySequence(Qt::CTRL | Qt::Key_Q), "Quit1",
      [this] { close(); });
  QMenu* edit = new QMenu(QStringLiteral(u"編集"), this);
  add(edit, QStringLiteral(u"元に戻す"), QKeySequence(Qt::CTRL | Qt::Key_Z), "Undo1",
      &MainWindow::Undo);
  QAction* redo = add(edit, QStringLiteral(u"やり直し"), QKeySequence(Qt::CTRL | Qt::Key_Y),
                      "Redo1", &MainWindow::Redo);
  redo->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  QMenu* view = new QMenu(QStringLiteral(u"表示"), this);
  add(view, QStringLiteral(u"設計書.確認 (プレビュー)"), QKeySequence(Qt::CTRL | Qt::Key_P),
      "Preview1", [this] {
        if (buttons_[11] && buttons_[11]->isEnabled()) buttons_[11]->click();
      });
  QMenu* help = new QMenu(QStringLiteral(u"ヘルプ"), this);
  add(help, QStringLiteral(u"使い方"), QKeySequence(QKeySequence::HelpContents), "Help1",
      &MainWindow::ShowHelp);
  add(help, QStringLiteral(u"バージョン情報"), QKeySequence(), "About1", &MainWindow::ShowAbout);
  // The same commands in a menu bar: file, edit, view, help.
  QMenuBar* bar = menuBar();
  QAction* file = bar->addMenu(file_menu_);
  file->setText(QStringLiteral(u"ファイル(&F)"));
  bar->addMenu(edit)->setText(QStringLiteral(u"編集(&E)"));
  bar->addMenu(view)->setText(QStringLiteral(u"表示(&V)"));
  bar->addMenu(help)->setText(QStringLiteral(u"ヘルプ(&H)"));
}

std::string MainWindow::RecentFilesPath() {
  const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return Cp(dir + QStringLiteral("/vaultra/recent-files"));
}

void MainWindow::LoadRecent() {
  recent_.clear();
  QFile f(Q(RecentFilesPath()));
  if (f.open(QIODevice::ReadOnly)) {
    for (const QByteArray& line : f.readAll().split('\n')) {
      const QString path = QString::fromUtf8(line).trimmed();
      if (!path.isEmpty() && recent_.size() < 8) recent_.push_back(Cp(path));
    }
  }
  FillRecentMenu();
}

void MainWindow::AddRecent(const std::string& path) {
  if (path.empty()) return;
  std::erase(recent_, path);
  recent_.insert(recent_.begin(), path);
  if (recent_.size() > 8) recent_.resize(8);
  const QString file = Q(RecentFilesPath());
  QDir().mkpath(QFileInfo(file).path());
  QByteArray text;
  for (const std::string& p : recent_) text += Q(p).toUtf8() + '\n';
  QFile f(file);
  if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(text);
  FillRecentMenu();
}

void MainWindow::FillRecentMenu() {
  if (!recent_menu_) return;
  recent_menu_->clear();
  int n = 0;
  for (const std::string& p : recent_) {
    QAction* a = recent_menu_->addAction(QStringLiteral("&%1 %2").arg(++n).arg(Q(p)));
    connect(a, &QAction::triggered, this, [this, p] {
      if (open_action_->isEnabled()) OpenProject(p);
    });
  }
  recent_menu_->setEnabled(!recent_.empty());
}

void MainWindow::ShowAbout() {
  const QString text = QStringLiteral(
                           u"<h3>%1</h3>"
                           u"<p>プレキャストRC製地下式雨水貯留施設の構造計算</p>"
                           u"<p>使用しているライブラリとそのライセンス:</p><ul>"
                           u"<li>Qt 6 — GNU LGPL v3</li>"
                           u"<li>FreeXL — MPL 1.1 / GPL v2+ / LGPL v2.1+</li>"
                           u"<li>libjpeg-turbo — IJG ライセンス, 修正 BSD ライセンス</li>"
                           u"<li>zlib — zlib ライセンス</li>"
                           u"<li>IPA フォント (帳票) — IPA フォントライセンス v1.0</li></ul>")
                           .arg(Q(started_.caption.empty() ? AppCaption() : started_.caption)
                                    .remove(QStringLiteral(" ()")));
  QMessageBox box(QMessageBox::Information, QStringLiteral(u"バージョン情報"), text,
                  QMessageBox::Ok, this);
  box.setObjectName(QStringLiteral("AboutBox"));
  box.setTextFormat(Qt::RichText);
  box.exec();
}

// The manual: the README beside the program (installed under share/doc,
// or the source tree of a build) in a window of its own; the manual page
// is named when none is found.
void MainWindow::ShowHelp() {
  const QString exe = QCoreApplication::applicationDirPath();
  QString text;
  for (const QString& c :
       {exe + QStringLiteral("/../../share/doc/vaultra/README.md"),
        exe + QStringLiteral("/../README.md"), exe + QStringLiteral("/../../README.md")}) {
    QFile f(c);
    if (f.open(QIODevice::ReadOnly)) {
      text = QString::fromUtf8(f.readAll());
      break;
    }
  }
  auto* w = findChild<QWidget*>(QStringLiteral("FmHelp"));
  if (!w) {
    w = new QWidget(this, Qt::Window);
    w->setObjectName(QStringLiteral("FmHelp"));
    w->setWindowTitle(QStringLiteral(u"Vaultra の使い方"));
    auto* l = new QVBoxLayout(w);
    auto* b = new QTextBrowser(w);
    b->setObjectName(QStringLiteral("HelpText"));
    b->setAccessibleName(QStringLiteral(u"使い方"));
    if (text.isEmpty())
      b->setPlainText(
          QStringLiteral(u"説明書が見つかりません。端末で man vaultra を開いてください。"));
    else
      b->setMarkdown(text);
    l->addWidget(b);
    w->resize(760, 560);
  }
  w->show();
  w->raise();
}

void MainWindow::TellWhenShown(std::string text) {
  QTimer::singleShot(0, this, [this, text] { ui_.Tell(MsgKind::kError, text); });
}

void MainWindow::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* e) {
  std::vector<std::string> files;
  for (const QUrl& u : e->mimeData()->urls())
    if (u.isLocalFile()) files.push_back(Cp(u.toLocalFile()));
  const std::optional<std::string> f =
      DroppedProjectFile(files, [](const std::string& p) { return FileExists(p); });
  if (!f) return;
  e->acceptProposedAction();
  OpenProject(*f);
}

void MainWindow::closeEvent(QCloseEvent* e) {
  if (!closed_) {
    // Unsaved edits are saved, discarded or the close is cancelled.
    if (!MayLeaveProject()) {
      e->ignore();
      return;
    }
    closed_ = true;
    CommitRcEditor();
    StoreIfCurrent(shown_);
    CloseDown(state_, started_, logic_, ui_);
  }
  e->accept();
}

}  // namespace vaultra::gui
