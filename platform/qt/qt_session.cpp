#include "qt_session.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>

#include "abrupt_exit.h"
#include "design.h"
#include "files.h"
#include "note.h"
#include "qt_window.h"
#include "texts.h"

namespace platform::qt {

std::vector<TwipsRect> QtSession::screens() const {
  std::vector<TwipsRect> result;
  QList<QScreen*> all = QGuiApplication::screens();
  if (QScreen* primary = QGuiApplication::primaryScreen()) {
    all.removeAll(primary);
    all.prepend(primary);
  }
  for (const QScreen* screen : all) {
    const QRect g = screen->geometry();
    constexpr double twips = ui::TwipsPerPixel;
    result.push_back({g.x() * twips, g.y() * twips, g.width() * twips, g.height() * twips});
  }
  return result;
}

FileRead QtSession::readFile(std::string_view name) { return linux_::ReadWholeFile(name); }

FileProblem QtSession::replaceFile(std::string_view name, std::string_view bytes, OldFile old) {
  return linux_::ReplaceWholeFile(name, bytes, old);
}

void QtSession::warn(std::string_view text) { WriteNote(text); }

void QtSession::alert(std::string_view text) {
  warn(text);
  QMessageBox box(QMessageBox::Warning,
                  QString::fromUtf8(texts::ErrorBoxTitle.data(), qsizetype(texts::ErrorBoxTitle.size())),
                  QString::fromUtf8(text.data(), qsizetype(text.size())), QMessageBox::Ok);
  box.exec();
}

void QtSession::endProgram() {
  guard_.stop();
  if (SaveOnAbruptExit::exiting()) return;  // the display is gone
  // The windows go at once; a popup menu this may be called from closes as
  // its own loop ends.
  for (QWidget* window : QApplication::topLevelWidgets())
    if (dynamic_cast<QtWindow*>(window)) window->hide();
  // Quitting from a popup menu runs inside the menu's own loop: the main
  // loop ends once that has unwound.
  QMetaObject::invokeMethod(qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

}  // namespace platform::qt
