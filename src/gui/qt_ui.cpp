#include "gui/qt_ui.h"

#include <QApplication>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <cstdio>

#include "core/cp932.h"
#include "core/number.h"

namespace vaultra::gui {

QString Q(const std::string& cp932) {
  return QString::fromStdU16String(Cp932ToUtf16(cp932));
}
std::string Cp(const QString& text) {
  return Utf16ToCp932(text.toStdU16String());
}

bool LoadQtTranslations(QCoreApplication& app) {
  auto* t = new QTranslator(&app);
  const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!t->load(QStringLiteral("qt_ja"), dir) && !t->load(QStringLiteral("qtbase_ja"), dir)) {
    delete t;
    return false;
  }
  QCoreApplication::installTranslator(t);
  return true;
}

void QtUi::Tell(MsgKind kind, const std::string& text) {
  if (quiet_) {
    told_.push_back(text);
    return stderr_ui_.Tell(kind, text);
  }
  // A long text would make the box taller than the screen, its button out
  // of reach: the box shows the first lines, the whole text (up to a
  // bound) scrolls in its details.
  constexpr qsizetype kShownLines = 15;
  constexpr qsizetype kMaxDetail = 200000;  // characters
  const QMessageBox::Icon icon = kind == MsgKind::kInfo      ? QMessageBox::Information
                                 : kind == MsgKind::kWarning ? QMessageBox::Warning
                                                             : QMessageBox::Critical;
  QMessageBox box(icon, QStringLiteral("Vaultra"), QString(), QMessageBox::Ok, parent_);
  const QString full = Q(text);
  const QStringList lines = full.split(QLatin1Char('\n'));
  if (lines.size() <= kShownLines && full.size() <= 4000) {
    box.setText(full);
  } else {
    QString head = lines.mid(0, kShownLines).join(QLatin1Char('\n')).left(4000);
    head += Q(Format("\n…(全 %d 行: 続きは「詳細」に)", static_cast<int>(lines.size())));
    box.setText(head);
    box.setDetailedText(full.left(kMaxDetail));
  }
  box.exec();
}

bool QtUi::Ask(const std::string& text) {
  if (quiet_) {
    asked_.push_back(text);
    std::fprintf(stderr, "%s -> %s\n", Cp932ToUtf8(text).c_str(), quiet_answer_ ? "OK" : "Cancel");
    return quiet_answer_;
  }
  return QMessageBox::question(parent_, QStringLiteral("Vaultra"), Q(text),
                               QMessageBox::Ok | QMessageBox::Cancel,
                               QMessageBox::Cancel) == QMessageBox::Ok;
}

SaveChoice QtUi::AskSave(const std::string& text) {
  if (quiet_) {
    asked_.push_back(text);
    std::fprintf(stderr, "%s -> %d\n", Cp932ToUtf8(text).c_str(), static_cast<int>(quiet_save_));
    return quiet_save_;
  }
  QMessageBox box(QMessageBox::Question, QStringLiteral("Vaultra"), Q(text), QMessageBox::NoButton,
                  parent_);
  QPushButton* save = box.addButton(QStringLiteral(u"保存する"), QMessageBox::AcceptRole);
  QPushButton* discard = box.addButton(QStringLiteral(u"保存しない"), QMessageBox::DestructiveRole);
  QPushButton* cancel = box.addButton(QStringLiteral(u"キャンセル"), QMessageBox::RejectRole);
  save->setAccessibleName(save->text());
  discard->setAccessibleName(discard->text());
  cancel->setAccessibleName(cancel->text());
  box.setDefaultButton(cancel);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == save) return SaveChoice::kSave;
  if (box.clickedButton() == discard) return SaveChoice::kDiscard;
  return SaveChoice::kCancel;
}

std::optional<std::string> QtUi::InputText(const std::string& title, const std::string& prompt,
                                           const std::string& initial) {
  if (quiet_) return std::nullopt;
  bool ok = false;
  const QString answer =
      QInputDialog::getText(parent_, Q(title), Q(prompt), QLineEdit::Normal, Q(initial), &ok);
  if (!ok) return std::nullopt;
  return Cp(answer);
}

void QtUi::Hourglass(bool on) {
  if (on) {
    if (hourglass_depth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (hourglass_depth_ > 0) {
    if (--hourglass_depth_ == 0) QApplication::restoreOverrideCursor();
  }
}

void QtUi::Progress(const std::string& text) {
  progress_ = text;
  if (on_progress_) on_progress_(text);
}

KeyState QtUi::Keys() const {
  const Qt::KeyboardModifiers m = QGuiApplication::queryKeyboardModifiers();
  KeyState k;
  k.ctrl = m.testFlag(Qt::ControlModifier);
  k.alt = m.testFlag(Qt::AltModifier);
  k.shift = m.testFlag(Qt::ShiftModifier);
  return k;
}

}  // namespace vaultra::gui
