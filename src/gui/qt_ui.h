// The program's Ui with Qt message boxes, the wait cursor and the keyboard
// state of the moment.
#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "core/ui.h"

class QCoreApplication;
class QWidget;

namespace vaultra::gui {

// cp932 text to Qt and back.
QString Q(const std::string& cp932);
std::string Cp(const QString& text);

// The answer to "save the changes?" before a project is left.
enum class SaveChoice { kSave, kDiscard, kCancel };

// Qt's own texts (file and print dialogs, standard buttons) in Japanese,
// the program's language: the distribution's Qt translations
// (qt6-translations-l10n). False when they are not installed.
bool LoadQtTranslations(QCoreApplication& app);

class QtUi : public Ui {
 public:
  explicit QtUi(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  // Messages to stderr and OK to every question, no box (window grabs, tests).
  void SetQuiet(bool quiet) { quiet_ = quiet; }
  void Tell(MsgKind kind, const std::string& text) override;
  bool Ask(const std::string& text) override;
  // Save / discard / cancel, the window's question before its project is
  // left (close, open, drop); cancel is the default button.
  SaveChoice AskSave(const std::string& text);
  std::optional<std::string> InputText(const std::string& title, const std::string& prompt,
                                       const std::string& initial) override;
  void Hourglass(bool on) override;
  void Progress(const std::string& text) override;
  KeyState Keys() const override;
  const std::string& last_progress() const { return progress_; }
  // Progress texts also go to the window's progress box.
  void SetProgressListener(std::function<void(const std::string&)> f) {
    on_progress_ = std::move(f);
  }
  // Quiet mode: the answer every question gets, and the questions asked.
  void SetQuietAnswer(bool ok) { quiet_answer_ = ok; }
  void SetQuietSaveChoice(SaveChoice c) { quiet_save_ = c; }
  const std::vector<std::string>& asked() const { return asked_; }
  const std::vector<std::string>& told() const { return told_; }

 private:
  QWidget* parent_;
  int hourglass_depth_ = 0;
  bool quiet_ = false;
  StderrUi stderr_ui_;
  std::string progress_;
  std::function<void(const std::string&)> on_progress_;
  bool quiet_answer_ = true;
  SaveChoice quiet_save_ = SaveChoice::kDiscard;
  std::vector<std::string> asked_;
  std::vector<std::string> told_;
};

}  // namespace vaultra::gui
