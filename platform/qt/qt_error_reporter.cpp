#include "qt_error_reporter.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

#include "texts.h"

namespace platform::qt {

void QtErrorReporter::reportAndEnd(const RuntimeError& error) noexcept {
  std::fprintf(stderr, "%s\n", error.what());
  std::fflush(stderr);
  QMessageBox box(QMessageBox::Critical,
                  QString::fromUtf8(texts::ErrorBoxTitle.data(), qsizetype(texts::ErrorBoxTitle.size())),
                  QString::fromUtf8(error.what()), QMessageBox::Ok);
  box.exec();
  QCoreApplication::exit(1);
}

}  // namespace platform::qt
