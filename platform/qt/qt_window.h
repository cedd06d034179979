// A window's design rendered as a top-level Qt window. It does what the
// logic asks through ui::Window and delivers what happens to it (timers,
// menu, mouse, close) as ui::WindowEvents, through the program's
// HandlerGuard.
#pragma once

#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <optional>
#include <vector>

#include "design.h"
#include "runtime_error.h"
#include "window.h"

class QAction;
class QMenu;
class QTimer;

namespace platform::qt {

class QtWindow final : public QWidget, public ui::Window {
 public:
  QtWindow(const ui::WindowDesign& design, HandlerGuard& guard);

  // Connects the window's logic and starts the timers the design enables.
  void attach(ui::WindowEvents& events);
  // Runs an event of the window's logic under the program's failure model.
  template <class Event>
  void raise(Event&& event) {
    if (events_) guard_.run([&] { event(*events_); });
  }

  void setText(int control, std::string_view text) override;
  void setTextColour(int control, ui::Colour colour) override;
  void setUnderline(int control, bool underline) override;
  void setWidth(int control, float twips) override;
  bool visible() const override { return isVisible(); }
  void show() override { setVisible(true); }
  void hide() override { setVisible(false); }
  // Every way of showing and hiding comes through here (QWidget's own too).
  void setVisible(bool visible) override;
  float top() const override;
  float left() const override;
  void moveTo(float left, float top) override;
  void setAlwaysOnTop(bool on) override;
  void bringToFront() override;
  void beginMoveByPress() override;
  void setMenuChecked(int item, bool checked) override;
  void popupMenu(int item, ui::MenuPlace place) override;

  QWidget* control(int index) const { return controls_.at(static_cast<size_t>(index)); }
  // What screen readers are told: the window's name, its description (its
  // text labels' texts), and the controls its design says are spoken, in
  // the design's order.
  QString spokenName() const;
  QString spokenDescription() const;
  std::vector<QWidget*> spokenControls() const;
  // A press on a control by other means than the mouse (a screen reader's
  // action): the logic hears a click.
  void click(const QWidget* control);
  // The menu of the program's tray icon: the window's first top-level menu,
  // which never shows as a menu bar (null for a window without menus).
  QMenu* iconMenu() const { return menus_.empty() ? nullptr : menus_.front(); }
  const QPixmap& icon() const { return icon_; }
  // Centres the window on the primary screen the first time it is shown
  // this way, shows it and brings it to the front.
  void showCentredOnce();
  // Hides the window; if it had the keyboard, the program's window that had
  // it when showCentredOnce last showed this one gets it back (the window
  // manager might hand it to nobody).
  void hideReturningFocus();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void buildMenus();
  QMenu* menu(int item) const { return menus_.at(static_cast<size_t>(item)); }
  QAction* menuAction(int item) const { return actions_.at(static_cast<size_t>(item)); }
  // The client area inside the window's own border, if it has one.
  QRect clientRect() const;
  QPoint place() const;  // the window's top-left corner on the screen
  Qt::Edges sizingEdges(QPoint at) const;

  const ui::WindowDesign& design_;
  HandlerGuard& guard_;
  ui::WindowEvents* events_ = nullptr;
  QPixmap picture_;
  QPixmap icon_;
  std::optional<QRegion> tickRepaint_;  // while a timer's event runs
  QColor background_;
  float givenTop_, givenLeft_;  // in twips, as last set
  std::vector<QWidget*> controls_;
  std::vector<QTimer*> timers_;
  std::vector<QAction*> actions_;   // one per menu item, in design order
  std::vector<QMenu*> menus_;       // per menu item: its submenu, if it has items
  bool alwaysOnTop_ = false;
  bool centred_ = false;
  QPointer<QWidget> returnFocusTo_;
  // The width in pixels of the border the window draws itself around its
  // client area: a thin line, or a sizing border when `sizable_`.
  int frame_ = 0;
  bool sizable_ = false;
  Qt::Edges sizing_;
  QRect sizingFrom_;

  // A press the logic handed over as a move: pending until the pointer
  // moves, then the window manager's, or (with none) followed by hand until
  // the button is released.
  enum class Move { None, Pending, Manual } move_ = Move::None;
  QPoint pressedAt_, grabOffset_;
};

}  // namespace platform::qt
