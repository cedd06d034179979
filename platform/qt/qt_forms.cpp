#include "qt_forms.h"

#include <QGuiApplication>
#include <QScreen>

#include "qt_form.h"

namespace platform::qt {

FormHost& QtForms::load(const FormDesign& design, FormHandlers& handlers) {
  auto* form = new QtForm(design, guard_);
  form->attach(handlers);
  return *form;
}

void QtForms::show(FormHost& host) {
  auto& form = static_cast<QtForm&>(host);
  if (!form.shownBefore_) {
    // No owner to centre over: the screen instead.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      QRect place(QPoint(), form.size());
      place.moveCenter(screen->availableGeometry().center());
      form.setGeometry(place);
    }
    form.shownBefore_ = true;
  }
  form.setVisible(true);
  form.QWidget::raise();
  form.activateWindow();
}

void QtForms::unload(FormHost& host) {
  // Unloaded from inside its own button's handler: the widgets go once that
  // has returned.
  auto& form = static_cast<QtForm&>(host);
  form.hide();
  form.deleteLater();
}

}  // namespace platform::qt
