// A form's design rendered as a top-level Qt window. It applies the logic's
// property sets (FormHost) and runs the logic's handlers for its timers
// through the program's HandlerGuard.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <vector>

#include "design.h"
#include "form_host.h"
#include "runtime_error.h"

class QTimer;

namespace platform::qt {

class QtForm final : public QWidget, public FormHost {
 public:
  QtForm(const FormDesign& design, HandlerGuard& guard);

  // Connects the form's logic and starts the timers the design enables.
  void attach(FormHandlers& handlers);

  void setCaption(int control, std::string_view text) override;
  void setWidth(int control, float twips) override;

  // Shows the window with its client area at the design position.
  void showAtDesignPosition();
  void setVisible(bool visible) override;

  QWidget* control(int index) const { return controls_.at(static_cast<size_t>(index)); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const FormDesign& design_;
  HandlerGuard& guard_;
  FormHandlers* handlers_ = nullptr;
  QPixmap picture_;
  QColor background_;
  std::vector<QWidget*> controls_;
  std::vector<QTimer*> timers_;
};

}  // namespace platform::qt
