// The RC check and rebar page "応力照査・鉄筋": the frame with the moment or
// shear diagram above two tabs, "配筋変更" (the rebar list with its inline
// editor) and "応力度表" (the stress table of one member). The page's logic
// is app/pages/rc_page; this view binds it to widgets.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "app/pages/rc_page.h"
#include "report/figures.h"
#include "report/print_engine.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace vaultra::gui {

class FigureCanvas;

class RcPageView : public QWidget {
  Q_OBJECT
 public:
  // run: the last run of the window (null when nothing was analysed).
  RcPageView(ProjectState& state, const MasterData& md, std::function<CalcRun*()> run,
             QWidget* parent = nullptr);
  ~RcPageView() override;

  // Entering the page: the rebar tab, member 1, both tables filled.
  void Enter();
  // Refills both tables and redraws (after a run).
  void Refresh();
  // Takes a value typed into the inline editor and not yet committed
  // (before a page switch, a save, the preview and closing).
  void CommitEditor();
  // Shows or hides the cover note, drawn black.
  void ShowCoverMessage(bool visible);

  RcPage& page() { return page_; }
  const RebarList& rebar_list() const { return list_; }
  const StressTable& stress_table() const { return stress_; }
  QTableWidget* rebar_grid() const { return grid1_; }
  QTableWidget* stress_grid() const { return grid2_; }
  QLineEdit* editor() const { return edit1_; }
  QTabWidget* tabs() const { return tabs_; }
  QLabel* error_label() const { return tk_err_; }
  // Opens the inline editor on a grid cell (a click on it).
  void OpenEditor(int col, int row);
  // The (+) and (-) buttons.
  void StepMember(int dir);
  // A click on a stress-table cell: the section-detail values of its column.
  void StressCellClicked(int row, int col);

 signals:
  // A cover edit with the shear check at 2·d: rebuild before the next results.
  void rebarEdited();
  // The values of a stress-table cell for the section-detail window.
  void detailRequested(const vaultra::SectionDetailInputs& inputs);

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void FillRebarList();
  void FillStressTable();
  void Commit(bool move_on);
  void DrawFigure(QPainter& p, const QRect& r);
  void Picked(QPointF fit);
  int Combination() const;  // of the visible tab
  int Component() const;    // 1 moment, 2 shear

  ProjectState& state_;
  const MasterData& md_;
  std::function<CalcRun*()> run_;
  RcPage page_;
  RebarList list_;
  StressTable stress_;
  FigureCanvas* canvas_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QTableWidget* grid1_ = nullptr;
  QTableWidget* grid2_ = nullptr;
  QLineEdit* edit1_ = nullptr;
  QLabel* tk_err_ = nullptr;
  QLabel* kaburi_ = nullptr;
  QLabel* stress_note_ = nullptr;
  QButtonGroup* js1_ = nullptr;
  QButtonGroup* ms1_ = nullptr;
  QButtonGroup* js2_ = nullptr;
  QButtonGroup* ms2_ = nullptr;
  QPushButton* fore_ = nullptr;
  QPushButton* back_ = nullptr;
  int edit_col_ = 0, edit_row_ = 0;  // the cell the editor is open on; 0, 0 when none
  bool opening_ = false;             // guards against re-entry while the editor opens
  bool committing_ = false;
  std::unique_ptr<PrintEngine> pe_;
  Figure fig_;
  bool drawn_ = false;
};

}  // namespace vaultra::gui
