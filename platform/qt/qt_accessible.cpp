#include "qt_accessible.h"

#include <QAccessibleWidget>

#include "qt_controls.h"
#include "qt_window.h"

namespace platform::qt {
namespace {

// A dialog rather than a frame: a screen reader reads a dialog's labels
// aloud when it takes the focus, which is all the monitor window is for.
class WindowAccessible final : public QAccessibleWidget {
 public:
  explicit WindowAccessible(QtWindow* window) : QAccessibleWidget(window, QAccessible::Dialog) {}

  int childCount() const override { return static_cast<int>(spoken().size()); }
  QAccessibleInterface* child(int index) const override {
    const std::vector<QWidget*> spoken = this->spoken();
    if (index < 0 || static_cast<size_t>(index) >= spoken.size()) return nullptr;
    return QAccessible::queryAccessibleInterface(spoken[static_cast<size_t>(index)]);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const std::vector<QWidget*> spoken = this->spoken();
    for (size_t i = 0; child && i < spoken.size(); ++i)
      if (spoken[i] == child->object()) return static_cast<int>(i);
    return -1;
  }
  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name) return QAccessibleWidget::text(t);
    return isValid() ? shown().spokenName() : QString();
  }

 private:
  QtWindow& shown() const { return *static_cast<QtWindow*>(widget()); }
  // Nothing while the window is being destroyed: its controls are gone
  // before QWidget's own destructor tells the bus so.
  std::vector<QWidget*> spoken() const { return isValid() ? shown().spokenControls() : std::vector<QWidget*>{}; }
};

class LabelAccessible final : public QAccessibleWidget {
 public:
  explicit LabelAccessible(LabelControl* label)
      : QAccessibleWidget(label, label->spoken() == ui::Spoken::Link ? QAccessible::Link : QAccessible::StaticText) {}

  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name) return QAccessibleWidget::text(t);
    return isValid() ? label().spokenName() : QString();
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.linked = isLink();
    return state;
  }
  // A link's press is a click on it.
  QStringList actionNames() const override {
    return isLink() ? QStringList{pressAction()} : QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (isLink() && action == pressAction())
      static_cast<QtWindow*>(label().window())->click(&label());
    else
      QAccessibleWidget::doAction(action);
  }

 private:
  LabelControl& label() const { return *static_cast<LabelControl*>(widget()); }
  bool isLink() const { return isValid() && label().spoken() == ui::Spoken::Link; }
};

QAccessibleInterface* Describe(const QString& /*className*/, QObject* object) {
  if (auto* window = dynamic_cast<QtWindow*>(object)) return new WindowAccessible(window);
  if (auto* label = dynamic_cast<LabelControl*>(object)) return new LabelAccessible(label);
  return nullptr;
}

}  // namespace

void DescribeWindowsToScreenReaders() {
  static const bool installed = (QAccessible::installFactory(&Describe), true);
  (void)installed;
}

void AnnounceNameChange(QWidget* widget) {
  if (!QAccessible::isActive()) return;
  QAccessibleEvent event(widget, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&event);
}

}  // namespace platform::qt
