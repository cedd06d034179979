#include "qt_accessible.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>

#include "qt_controls.h"
#include "qt_window.h"

namespace platform::qt {
namespace {

// The program: its windows and, while one is open, its popup menu. Qt
// leaves popups out of the application's children, so a screen reader met
// a menu that no parent counted as its own.
class ApplicationAccessible final : public QAccessibleApplication {
 public:
  int childCount() const override { return windows() + (popup() ? 1 : 0); }
  QAccessibleInterface* child(int index) const override {
    if (index == windows() && popup()) return QAccessible::queryAccessibleInterface(popup());
    return QAccessibleApplication::child(index);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child && popup() && child->object() == popup()) return windows();
    return QAccessibleApplication::indexOfChild(child);
  }

 private:
  int windows() const { return QAccessibleApplication::childCount(); }
  static QWidget* popup() { return QApplication::activePopupWidget(); }
};

// A dialog rather than a frame: a screen reader reads a dialog's labels, or
// else its description, aloud when it takes the focus, which is all the
// monitor window is for; the About window's sentences have no spaces for
// Orca to count as words, so they are said as its description.
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
    if (!isValid()) return {};
    if (t == QAccessible::Name) return shown().spokenName();
    if (t == QAccessible::Description) return shown().spokenDescription();
    return QAccessibleWidget::text(t);
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
  // A link's press is a click on it; it can be given the focus, as a button
  // can.
  QStringList actionNames() const override {
    return isLink() ? QStringList{pressAction()} + QAccessibleWidget::actionNames() : QAccessibleWidget::actionNames();
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

// The program's popup menu, named after its window and held by the
// application. Its items are described here too: Qt 6.4 tells the
// accessibility bus neither of a check menu item's role nor of a checkable
// state, so a checkable item is a check box in the menu (a plain item is
// silent while unchecked), and Qt's own menu would not count it among its
// items.
class MenuAccessible final : public QAccessibleWidget {
 public:
  explicit MenuAccessible(QMenu* menu) : QAccessibleWidget(menu, QAccessible::PopupMenu) {}

  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(qApp); }
  int childCount() const override { return isValid() ? static_cast<int>(menu().actions().size()) : 0; }
  QAccessibleInterface* child(int index) const override {
    const QList<QAction*> items = isValid() ? menu().actions() : QList<QAction*>();
    return index >= 0 && index < items.size() ? QAccessible::queryAccessibleInterface(items[index]) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child && isValid() ? static_cast<int>(menu().actions().indexOf(child->object())) : -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    return isValid() ? QAccessible::queryAccessibleInterface(menu().actionAt(menu().mapFromGlobal(QPoint(x, y))))
                     : nullptr;
  }
  QAccessibleInterface* focusChild() const override {
    return isValid() ? QAccessible::queryAccessibleInterface(menu().activeAction()) : nullptr;
  }

 private:
  QMenu& menu() const { return *static_cast<QMenu*>(widget()); }
};

class MenuItemAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  MenuItemAccessible(QAction* item, QMenu* menu) : item_(item), menu_(menu) {}

  bool isValid() const override { return item_ && menu_; }
  QObject* object() const override { return item_; }
  QWindow* window() const override { return menu_ ? menu_->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(menu_); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Name && isValid() ? item_->text() : QString();
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    if (!isValid()) return {};
    const QRect box = menu_->actionGeometry(item_);
    return QRect(menu_->mapToGlobal(box.topLeft()), box.size());
  }
  QAccessible::Role role() const override {
    if (!isValid() || item_->isSeparator()) return QAccessible::Separator;
    return item_->isCheckable() ? QAccessible::CheckBox : QAccessible::MenuItem;
  }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.invalid = !isValid();
    if (state.invalid) return state;
    state.invisible = !menu_->isVisible() || !item_->isVisible();
    state.focused = menu_->activeAction() == item_;
    state.disabled = item_->isSeparator() || !item_->isEnabled();
    state.checkable = item_->isCheckable();
    state.checked = item_->isChecked();
    return state;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
  }

  QStringList actionNames() const override {
    if (!isValid() || item_->isSeparator()) return {};
    return {item_->isCheckable() ? toggleAction() : pressAction()};
  }
  void doAction(const QString& action) override {
    if (actionNames().contains(action)) item_->trigger();
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  QPointer<QAction> item_;
  QPointer<QMenu> menu_;
};

// The menus of the program's windows (the only menus it has).
QMenu* ProgramMenu(QObject* object) {
  auto* menu = qobject_cast<QMenu*>(object);
  return menu && dynamic_cast<QtWindow*>(menu->parentWidget()) ? menu : nullptr;
}

QAccessibleInterface* Describe(const QString& /*className*/, QObject* object) {
  if (object == qApp) return new ApplicationAccessible;
  if (auto* window = dynamic_cast<QtWindow*>(object)) return new WindowAccessible(window);
  if (auto* label = dynamic_cast<LabelControl*>(object)) return new LabelAccessible(label);
  if (QMenu* menu = ProgramMenu(object)) return new MenuAccessible(menu);
  if (auto* item = qobject_cast<QAction*>(object))
    for (QObject* holder : item->associatedObjects())
      if (QMenu* menu = ProgramMenu(holder)) return new MenuItemAccessible(item, menu);
  return nullptr;
}

}  // namespace

void DescribeWindowsToScreenReaders() {
  static const bool installed = (QAccessible::installFactory(&Describe), true);
  (void)installed;
}

bool ScreenReaderListens() { return QAccessible::isActive(); }

void AnnounceNameChange(QWidget* widget) {
  if (!QAccessible::isActive()) return;
  QAccessibleEvent event(widget, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&event);
}

}  // namespace platform::qt
