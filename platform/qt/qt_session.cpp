#include "qt_session.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>
#include <cstdio>

#include "abrupt_exit.h"
#include "ansi_codec.h"
#include "design.h"
#include "files.h"
#include "qt_form.h"
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
    result.push_back({double(g.x()) * TwipsPerPixel, double(g.y()) * TwipsPerPixel, double(g.width()) * TwipsPerPixel,
                      double(g.height()) * TwipsPerPixel});
  }
  return result;
}

FileRead QtSession::readFile(std::string_view name) { return linux_::ReadWholeFile(name); }

FileProblem QtSession::replaceFile(std::string_view name, std::string_view bytes, OldFile old) {
  return linux_::ReplaceWholeFile(name, bytes, old);
}

std::string QtSession::toAnsi(std::string_view utf8) const { return linux_::Utf8ToCp932(utf8); }
std::string QtSession::fromAnsi(std::string_view ansi) const { return linux_::Cp932ToUtf8(ansi); }

void QtSession::warn(std::string_view text) {
  // Written as bytes: a %s would stop at the first NUL.
  std::fputs("pelmodesk: ", stderr);
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

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
  // The forms go at once; a popup menu this may be called from closes as
  // its own loop ends.
  for (QWidget* window : QApplication::topLevelWidgets())
    if (dynamic_cast<QtForm*>(window)) window->hide();
  // Quitting from a popup menu runs inside the menu's own loop: the main
  // loop ends once that has unwound.
  QMetaObject::invokeMethod(qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

}  // namespace platform::qt
