// The other-checks page "応力照査・その他" in the window: the transverse
// joint, longitudinal joint and end-wall inputs laid out with their
// captions and units, the verdict labels refreshed by every change (N.G.
// and errors in red), and the end-wall method rule. The block weight and
// the initial PC-bar stress are derived by the page and shown read-only.
#pragma once

#include <array>
#include <functional>

#include "app/document/project_state.h"
#include "gui/form_page.h"
#include "inputs/master_data.h"

class QLabel;

namespace vaultra {
struct CalcRun;
}

namespace vaultra::gui {

struct PageLayout;

// The page's layout table: groups, captions, units and notes (UTF-8).
const PageLayout& OtherChecksLayout();

class OtherChecksView : public FormPage {
  Q_OBJECT
 public:
  // `recompute` runs the page's recompute on the record (preparation,
  // commit, checks); `run` gives the last run, or null when nothing was
  // analysed; `busy` tells whether a calculation runs.
  OtherChecksView(ProjectState& state, const MasterData& md, std::function<void()> recompute,
                  std::function<const CalcRun*()> run, std::function<bool()> busy,
                  QWidget* parent = nullptr);

  // FormShow: entering recomputes and shows; leaving takes the fields.
  void Enter();
  void Leave();
  // Recompute on the record and refresh the fields and labels (a page
  // entry, a recompute of the window; a change stores the fields first).
  void Recompute();

  // The verdict labels by control name: Lb1A, Lb1H, Lb2A, Lb2H, ErrPc,
  // ErrBosui, ErrBolt, lbKabeTk.
  QLabel* Verdict(const char* name) const;

 private:
  void Edited(const QString& name);
  void ApplyMethodView();
  void ShowLabels();
  void AddVerdicts();

  ProjectState& state_;
  const MasterData& md_;
  std::function<void()> recompute_;
  std::function<const CalcRun*()> run_;
  std::function<bool()> busy_;
  std::array<QLabel*, 9> verdicts_{};
};

}  // namespace vaultra::gui
