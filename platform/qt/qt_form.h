// A form's design rendered as a top-level Qt window. It applies the logic's
// property sets (FormHost) and runs the logic's handlers for its timers,
// menu and mouse through the program's HandlerGuard.
#pragma once

#include <QPixmap>
#include <QPoint>
#include <QWidget>
#include <optional>
#include <vector>

#include "design.h"
#include "form_host.h"
#include "runtime_error.h"

class QAction;
class QMenu;
class QTimer;

namespace platform::qt {

class QtForm final : public QWidget, public FormHost {
 public:
  QtForm(const FormDesign& design, HandlerGuard& guard);

  // Connects the form's logic and starts the timers the design enables.
  void attach(FormHandlers& handlers);
  // Runs a handler of the form's logic under the program's failure model.
  template <class Handler>
  void raise(Handler&& handler) {
    if (handlers_) guard_.run([&] { handler(*handlers_); });
  }

  void setCaption(int control, std::string_view text) override;
  void setWidth(int control, float twips) override;
  std::string caption(int control) const override;
  void setForeColour(int control, Colour colour) override;
  void setFontUnderline(int control, bool underline) override;
  bool visible() const override { return isVisible(); }
  void setVisible(bool visible) override;
  float top() const override;
  float left() const override;
  void setTop(float twips) override;
  void setLeft(float twips) override;
  std::uint32_t hWnd() const override;
  std::uint32_t iconHandle() const override;
  float twipsPerPixelX() const override { return TwipsPerPixel; }
  void setMenuVisible(int item, bool visible) override;
  void setMenuChecked(int item, bool checked) override;
  void popupMenu(int item) override;
  std::int32_t SetWindowPos(std::int32_t insertAfter, std::uint32_t flags) override;
  std::int32_t SetForegroundWindow() override;
  void beginMoveByPress() override;
  void processPendingEvents() override;

  QWidget* control(int index) const { return controls_.at(static_cast<size_t>(index)); }
  QMenu* menu(int item) const;
  // The menu of the form's tray icon: its first top-level menu, which never
  // shows as a menu bar (null for a form without menus).
  QMenu* iconMenu() const { return menus_.empty() ? nullptr : menus_.front(); }
  QAction* menuAction(int item) const { return actions_.at(static_cast<size_t>(item)); }
  const QPixmap& icon() const { return icon_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildMenus();
  // The client area inside the form's own border, if it has one.
  QRect clientRect() const;
  QPoint place() const;  // the window's top-left corner on the screen
  Qt::Edges sizingEdges(QPoint at) const;

  const FormDesign& design_;
  HandlerGuard& guard_;
  FormHandlers* handlers_ = nullptr;
  QPixmap picture_;
  QPixmap icon_;
  std::optional<QRegion> tickRepaint_;  // while a timer's handler runs
  QColor background_;
  float givenTop_, givenLeft_;  // in twips, as last set
  std::vector<QWidget*> controls_;
  std::vector<QTimer*> timers_;
  std::vector<QAction*> actions_;   // one per menu item, in design order
  std::vector<QMenu*> menus_;       // per menu item: its submenu, if it has items
  bool above_ = false;
  bool shownBefore_ = false;
  // The width in pixels of the border the form draws itself around its
  // client area: a thin line, or a sizing border when `sizable_`.
  int frame_ = 0;
  bool sizable_ = false;
  Qt::Edges sizing_;
  QRect sizingFrom_;

  friend class QtForms;

  // A press the logic handed over as a move: pending until the pointer
  // moves, then the window manager's, or (with none) followed by hand until
  // the button is released.
  enum class Move { None, Pending, Manual } move_ = Move::None;
  QPoint pressedAt_, grabOffset_;
};

}  // namespace platform::qt
