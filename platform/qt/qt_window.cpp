#include "qt_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <utility>

#include "qt_accessible.h"
#include "qt_controls.h"
#include "qt_look.h"
#include "x11_window_state.h"

namespace platform::qt {
namespace {

using ui::PixelsFromTwips;

int buttonsOf(Qt::MouseButtons buttons) {
  return (buttons & Qt::LeftButton ? ui::LeftButton : 0) | (buttons & Qt::RightButton ? ui::RightButton : 0);
}

float twips(int pixels) { return static_cast<float>(pixels * ui::TwipsPerPixel); }

// The thin single-line border of a window without a title bar, in the dark
// grey window managers draw such borders in (openbox's default theme): the
// same window under every window manager, as it looked where one drew it.
const QColor SingleBorderColour(88, 90, 93);

// Wayland leaves windows' places to the compositor: a client can neither
// choose its own nor learn it.
bool PlacesAreKnown() { return !QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

bool IsActivationKey(const QKeyEvent* e) {
  return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Space ||
         e->key() == Qt::Key_Select;
}

// A control's input as the logic's events: the keyboard's focus arriving
// on it, Enter or Space on a link, and mouse input over a label or picture,
// which belongs to that control, not to the window beneath it (a button
// handles its own mouse).
class ControlInput final : public QObject {
 public:
  ControlInput(QtWindow& window, int control, const ui::ControlDesign& design)
      : QObject(&window), window_(window), control_(control),
        mouse_(design.kind == ui::ControlKind::Label || design.kind == ui::ControlKind::Image),
        link_(design.spoken == ui::Spoken::Link) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusIn) {
      window_.raise([&](ui::WindowEvents& e) { e.onFocus(control_); });
      return false;
    }
    if (event->type() == QEvent::KeyPress && link_ && IsActivationKey(static_cast<QKeyEvent*>(event))) {
      window_.raise([&](ui::WindowEvents& e) { e.onClick(control_); });
      return true;
    }
    if (!mouse_) return false;
    switch (event->type()) {
      case QEvent::MouseButtonPress: {
        const int buttons = buttonsOf(static_cast<QMouseEvent*>(event)->button());
        window_.raise([&](ui::WindowEvents& e) { e.onPress(control_, buttons); });
        return true;
      }
      case QEvent::MouseMove:
        window_.raise([&](ui::WindowEvents& e) { e.onPointerOver(control_); });
        return true;
      case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        const auto* widget = static_cast<QWidget*>(watched);
        // A double-click is one click and one double click: its second
        // release clicks nothing.
        const bool second = std::exchange(afterDoubleClick_, false);
        if (!second && e->button() == Qt::LeftButton && widget->rect().contains(e->position().toPoint()))
          window_.raise([&](ui::WindowEvents& h) { h.onClick(control_); });
        return true;
      }
      case QEvent::MouseButtonDblClick:
        afterDoubleClick_ = true;
        window_.raise([&](ui::WindowEvents& e) { e.onDoubleClick(control_); });
        return true;
      default:
        return false;
    }
  }

 private:
  QtWindow& window_;
  int control_;
  bool mouse_, link_;
  bool afterDoubleClick_ = false;
};

}  // namespace

QtWindow::QtWindow(const ui::WindowDesign& design, HandlerGuard& guard)
    : QWidget(nullptr), design_(design), guard_(guard), picture_(LoadPicture(design.picture)),
      icon_(LoadPicture(design.icon)), background_(ToQColor(design.backColour)),
      givenTop_(static_cast<float>(design.top)), givenLeft_(static_cast<float>(design.left)) {
  DescribeWindowsToScreenReaders();
  Qt::WindowFlags flags = design.showInTaskbar ? Qt::Window : Qt::Tool;
  // A window without a title bar gets no decoration from the window manager
  // at all and draws its border itself: window managers disagree on what a
  // "border only" request means (xfwm4 and KWin add a title bar to it), and
  // Wayland compositors give none.
  if (!design.titleBar) flags |= Qt::FramelessWindowHint;
  setWindowFlags(flags);
  setWindowTitle(QString::fromUtf8(design.caption.data(), qsizetype(design.caption.size())));
  if (!icon_.isNull()) setWindowIcon(QIcon(icon_));
  setFont(ToQFont(design.font));
  // Everything is painted over the whole client area, so Qt need not clear it.
  setAttribute(Qt::WA_OpaquePaintEvent);
  // The monitor is almost never the active window, and its tooltips are
  // what name its numbers.
  setAttribute(Qt::WA_AlwaysShowToolTips);
  setMouseTracking(true);
  const QSize client(PixelsFromTwips(design.clientWidth), PixelsFromTwips(design.clientHeight));
  if (!design.titleBar && design.border != ui::BorderStyle::None) {
    sizable_ = design.border == ui::BorderStyle::Sizable;
    frame_ = sizable_ ? std::max(2, PixelsFromTwips(design.borderWidth)) : 1;
  }
  const QSize window = client + QSize(2 * frame_, 2 * frame_);
  if (sizable_) {
    resize(window);
  } else {
    setFixedSize(window);
    // The picture is drawn unscaled from the client area's corner: on a
    // window of fixed size only that much of it is ever seen (the monitor's
    // background is larger than its window), and only that much is kept.
    if (picture_.width() > client.width() || picture_.height() > client.height())
      picture_ = picture_.copy(QRect(QPoint(0, 0), client));
  }
  const QPoint origin(frame_, frame_);

  for (const ui::ControlDesign& c : design.controls) {
    QWidget* widget = nullptr;
    switch (c.kind) {
      case ui::ControlKind::Label: widget = new LabelControl(c, design.font, origin, this); break;
      case ui::ControlKind::Image: widget = new ImageControl(c, origin, this); break;
      case ui::ControlKind::Shape: widget = new ShapeControl(c, origin, this); break;
      case ui::ControlKind::Button: {
        auto* button = new QPushButton(QString::fromUtf8(c.caption.data(), qsizetype(c.caption.size())), this);
        button->setGeometry(frame_ + PixelsFromTwips(c.left), frame_ + PixelsFromTwips(c.top), PixelsFromTwips(c.width),
                            PixelsFromTwips(c.height));
        // Enter presses it as well as Space; it is no default button, so
        // Escape does nothing.
        button->setAutoDefault(true);
        if (c.takesFocus) button->setFocus();
        const int index = static_cast<int>(controls_.size());
        connect(button, &QPushButton::clicked, this,
                [this, index] { raise([&](ui::WindowEvents& e) { e.onClick(index); }); });
        widget = button;
        break;
      }
    }
    if (c.kind == ui::ControlKind::Label || c.kind == ui::ControlKind::Image) widget->setMouseTracking(true);
    if (c.kind != ui::ControlKind::Shape)
      widget->installEventFilter(new ControlInput(*this, static_cast<int>(controls_.size()), c));
    controls_.push_back(widget);
  }
  // A window with nothing else to take the keyboard takes it itself: its
  // menu is then a key away (the Menu key, Shift+F10).
  if (std::none_of(design.controls.begin(), design.controls.end(),
                   [](const ui::ControlDesign& c) { return c.takesFocus || c.spoken == ui::Spoken::Link; }))
    setFocusPolicy(Qt::StrongFocus);
  buildMenus();
}

QString QtWindow::spokenName() const {
  return QString::fromUtf8(design_.spokenName.data(), qsizetype(design_.spokenName.size()));
}

QString QtWindow::spokenDescription() const {
  QStringList texts;
  for (size_t i = 0; i < controls_.size(); ++i) {
    const ui::ControlDesign& c = design_.controls[i];
    if (c.kind == ui::ControlKind::Label && c.spoken == ui::Spoken::Text)
      texts << static_cast<const LabelControl*>(controls_[i])->spokenName();
  }
  return texts.join(u' ');
}

std::vector<QWidget*> QtWindow::spokenControls() const {
  std::vector<QWidget*> spoken;
  for (size_t i = 0; i < controls_.size(); ++i)
    if (design_.controls[i].spoken != ui::Spoken::Hidden) spoken.push_back(controls_[i]);
  return spoken;
}

void QtWindow::click(const QWidget* control) {
  const auto found = std::find(controls_.begin(), controls_.end(), control);
  if (found == controls_.end()) return;
  const int index = static_cast<int>(found - controls_.begin());
  raise([index](ui::WindowEvents& e) { e.onClick(index); });
}

void QtWindow::buildMenus() {
  QMenu* current = nullptr;
  for (size_t i = 0; i < design_.menu.size(); ++i) {
    const ui::MenuItemDesign& item = design_.menu[i];
    const QString caption = QString::fromUtf8(item.caption.data(), qsizetype(item.caption.size()));
    if (item.level == 0) {
      current = new QMenu(caption, this);
      // A screen reader says whose menu it is.
      current->setAccessibleName(spokenName());
      menus_.push_back(current);
      actions_.push_back(current->menuAction());
      continue;
    }
    menus_.push_back(nullptr);
    QAction* action = caption == QLatin1String("-") ? current->addSeparator() : current->addAction(caption);
    action->setCheckable(item.checkable);
    const int index = static_cast<int>(i);
    connect(action, &QAction::triggered, this,
            [this, index] { raise([&](ui::WindowEvents& e) { e.onMenuItem(index); }); });
    actions_.push_back(action);
  }
}

void QtWindow::attach(ui::WindowEvents& events) {
  events_ = &events;
  for (size_t i = 0; i < design_.timers.size(); ++i) {
    const ui::TimerDesign& t = design_.timers[i];
    auto* timer = new QTimer(this);
    timer->setInterval(t.intervalMs);
    const int index = static_cast<int>(i);
    // What a tick changes is painted as soon as it returns, in one pass:
    // left to the event loop, each tick would post an update request and
    // wake the loop a second time just to paint.
    connect(timer, &QTimer::timeout, this, [this, index] {
      tickRepaint_.emplace();
      raise([&](ui::WindowEvents& e) { e.onTimer(index); });
      const QRegion dirty = *std::exchange(tickRepaint_, std::nullopt);
      if (!dirty.isEmpty() && isVisible()) repaint(dirty);
    });
    if (t.enabled) timer->start();
    timers_.push_back(timer);
  }
}

// What every tick changes (a label's text, a bar's width): the design says
// what each control is, so no run-time type check is needed.
void QtWindow::setText(int control, std::string_view text) {
  QWidget* widget = this->control(control);  // checks the index
  if (design_.controls[static_cast<size_t>(control)].kind == ui::ControlKind::Label)
    static_cast<LabelControl*>(widget)->setText(text, tickRepaint_ ? &*tickRepaint_ : nullptr);
}

void QtWindow::setWidth(int control, float twips) {
  QWidget* widget = this->control(control);  // checks the index
  if (design_.controls[static_cast<size_t>(control)].kind != ui::ControlKind::Shape) return;
  const QRect strip = static_cast<ShapeControl*>(widget)->setWidthTwips(twips);
  if (strip.isEmpty()) return;
  if (tickRepaint_)
    *tickRepaint_ += strip.translated(widget->pos());
  else
    widget->update(strip);
}

void QtWindow::setTextColour(int control, ui::Colour colour) {
  if (auto* label = dynamic_cast<LabelControl*>(this->control(control))) label->setTextColour(ToQColor(colour));
}

void QtWindow::setUnderline(int control, bool underline) {
  if (auto* label = dynamic_cast<LabelControl*>(this->control(control))) label->setUnderline(underline);
}

void QtWindow::setVisible(bool visible) {
  if (visible && !isVisible()) {
    // Window-manager hints go on the unmapped window, before every show:
    // the window manager drops its states when a window is hidden.
    WriteStatesBeforeShow(*this, !design_.showInTaskbar, alwaysOnTop_);
    if (!design_.titleBar) DecorateWithoutTitle(*this, sizable_);
  }
  // Shown again, the window goes where Qt thinks it was: Qt learns where
  // the X server really has it first (see PlaceOnScreen).
  if (!visible && PlacesAreKnown())
    if (const auto onScreen = PlaceOnScreen(*this); onScreen && *onScreen != geometry().topLeft())
      setGeometry(QRect(*onScreen, size()));
  QWidget::setVisible(visible);
  // What changed while the window was hidden is said now.
  if (visible)
    for (size_t i = 0; i < controls_.size(); ++i)
      if (design_.controls[i].reading) static_cast<LabelControl*>(controls_[i])->announceChange();
}

// Positions are the client area's, inside the border the window draws, where
// the X server has the window. Where the platform keeps the window's place
// to itself (Wayland reports 0,0), the place given last is the answer, so a
// quit writes back what it was given.
QPoint QtWindow::place() const {
  const auto onScreen = PlaceOnScreen(const_cast<QtWindow&>(*this));
  return onScreen ? *onScreen : geometry().topLeft();
}
float QtWindow::top() const { return PlacesAreKnown() ? twips(place().y() + frame_) : givenTop_; }
float QtWindow::left() const { return PlacesAreKnown() ? twips(place().x() + frame_) : givenLeft_; }
void QtWindow::moveTo(float left, float top) {
  givenLeft_ = left;
  givenTop_ = top;
  setGeometry(PixelsFromTwips(left) - frame_, PixelsFromTwips(top) - frame_, width(), height());
}

void QtWindow::setMenuChecked(int item, bool checked) {
  QAction* action = menuAction(item);
  action->setCheckable(true);
  action->setChecked(checked);
}

void QtWindow::popupMenu(int item, ui::MenuPlace place) {
  QMenu* popup = menu(item);
  if (!popup) return;
  if (place == ui::MenuPlace::AtPointer) {
    popup->exec(QCursor::pos());
    return;
  }
  // From the keyboard: below the window, its first item chosen, so the
  // arrows start from there and a screen reader says where the user is.
  const QList<QAction*> items = popup->actions();
  const auto first = std::find_if(items.begin(), items.end(), [](const QAction* a) { return !a->isSeparator(); });
  if (first != items.end()) popup->setActiveAction(*first);
  popup->exec(mapToGlobal(QPoint(0, height())));
}

void QtWindow::setAlwaysOnTop(bool on) {
  alwaysOnTop_ = on;
  if (isVisible())
    SetAboveWhileShown(*this, on);
  else
    setVisible(true);  // writes the state before mapping
}

void QtWindow::bringToFront() {
  // The window in front is also the active one.
  if (isVisible()) {
    QWidget::raise();
    activateWindow();
  }
  // On X11 the activation is a request to the window manager: its answer
  // (focus in, the window's state) is taken now, so that a menu popped up
  // next opens over the active window and closes on a press elsewhere.
  QCoreApplication::processEvents();
}

void QtWindow::showCentredOnce() {
  if (QWidget* active = QApplication::activeWindow(); active && active != this) returnFocusTo_ = active;
  if (!std::exchange(centred_, true)) {
    // No owner to centre over: the screen instead.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      QRect place(QPoint(), size());
      place.moveCenter(screen->availableGeometry().center());
      setGeometry(place);
    }
  }
  setVisible(true);
  QWidget::raise();
  activateWindow();
}

namespace {

// A window manager may give the focus away itself once the window it had is
// gone, after the request for it (KWin to none), or count the window active
// while the focus stays on its own (xfwm4, now and then: the request's time
// is older than its own focus change): looked at again, `tries` times 100 ms
// apart, until the window has the focus.
void KeepGivingFocus(QPointer<QWidget> window, int tries) {
  if (!window || !window->isVisible() || HasKeyboardFocus(*window) || tries == 0) return;
  if (window->isActiveWindow()) {
    TakeKeyboardFocus(*window);
  } else {
    window->raise();
    window->activateWindow();
  }
  QTimer::singleShot(100, window, [window, tries] { KeepGivingFocus(window, tries - 1); });
}

}  // namespace

void QtWindow::hideReturningFocus() {
  const bool hadFocus = isActiveWindow();
  setVisible(false);
  if (!hadFocus || !returnFocusTo_ || !returnFocusTo_->isVisible()) return;
  returnFocusTo_->raise();
  returnFocusTo_->activateWindow();
  QTimer::singleShot(100, returnFocusTo_, [window = returnFocusTo_] { KeepGivingFocus(window, 3); });
}

void QtWindow::beginMoveByPress() {
  // The move starts once the pointer moves with the button down: handing a
  // bare click to the window manager would swallow a double-click.
  move_ = Move::Pending;
  grabOffset_ = pressedAt_ - geometry().topLeft();
}

QRect QtWindow::clientRect() const { return rect().adjusted(frame_, frame_, -frame_, -frame_); }

Qt::Edges QtWindow::sizingEdges(QPoint at) const {
  if (!sizable_ || clientRect().contains(at)) return {};
  Qt::Edges edges;
  if (at.x() < frame_) edges |= Qt::LeftEdge;
  else if (at.x() >= width() - frame_) edges |= Qt::RightEdge;
  if (at.y() < frame_) edges |= Qt::TopEdge;
  else if (at.y() >= height() - frame_) edges |= Qt::BottomEdge;
  // Near a corner a side sizes both ways, as sizing borders do.
  const int corner = 4 * frame_;
  if (edges & (Qt::LeftEdge | Qt::RightEdge)) {
    if (at.y() < corner) edges |= Qt::TopEdge;
    else if (at.y() >= height() - corner) edges |= Qt::BottomEdge;
  }
  if (edges & (Qt::TopEdge | Qt::BottomEdge)) {
    if (at.x() < corner) edges |= Qt::LeftEdge;
    else if (at.x() >= width() - corner) edges |= Qt::RightEdge;
  }
  return edges;
}

void QtWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect area = event->rect();
  painter.fillRect(area, background_);
  const QRect r = rect().adjusted(0, 0, -1, -1);
  if (sizable_) {
    // A raised sizing border in the classic style: light outside top-left,
    // dark outside bottom-right.
    painter.setPen(QColor(223, 223, 223));
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(QColor(64, 64, 64));
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
    painter.setPen(QColor(255, 255, 255));
    painter.drawLine(r.topLeft() + QPoint(1, 1), r.topRight() + QPoint(-1, 1));
    painter.drawLine(r.topLeft() + QPoint(1, 1), r.bottomLeft() + QPoint(1, -1));
    painter.setPen(QColor(128, 128, 128));
    painter.drawLine(r.bottomLeft() + QPoint(1, -1), r.bottomRight() + QPoint(-1, -1));
    painter.drawLine(r.topRight() + QPoint(-1, 1), r.bottomRight() + QPoint(-1, -1));
  } else if (frame_ > 0) {
    painter.setPen(SingleBorderColour);
    painter.drawRect(r);
  }
  // The picture is drawn unscaled from the client area's top-left corner;
  // what lies beyond the client area is clipped away.
  const QRect client = clientRect();
  painter.setClipRect(client & area);
  painter.drawPixmap(client.topLeft(), picture_);
}

void QtWindow::mousePressEvent(QMouseEvent* e) {
  move_ = Move::None;
  pressedAt_ = e->globalPosition().toPoint();
  if (const Qt::Edges edges = sizingEdges(e->position().toPoint())) {
    if (e->button() == Qt::LeftButton) {
      sizing_ = edges;
      sizingFrom_ = geometry();
      // The window manager resizes where there is one; otherwise by hand.
      if (windowHandle() && windowHandle()->startSystemResize(edges)) sizing_ = {};
    }
    return;
  }
  const int buttons = buttonsOf(e->button());
  raise([&](ui::WindowEvents& events) { events.onPress(ui::WholeWindow, buttons); });
}

void QtWindow::mouseMoveEvent(QMouseEvent* e) {
  if (sizable_) {
    if (sizing_ && (e->buttons() & Qt::LeftButton)) {
      const QPoint d = e->globalPosition().toPoint() - pressedAt_;
      QRect g = sizingFrom_;
      const int least = 2 * frame_ + 1;
      if (sizing_ & Qt::LeftEdge) g.setLeft(std::min(g.left() + d.x(), g.right() - least));
      if (sizing_ & Qt::RightEdge) g.setRight(std::max(g.right() + d.x(), g.left() + least));
      if (sizing_ & Qt::TopEdge) g.setTop(std::min(g.top() + d.y(), g.bottom() - least));
      if (sizing_ & Qt::BottomEdge) g.setBottom(std::max(g.bottom() + d.y(), g.top() + least));
      setGeometry(g);
      return;
    }
    const Qt::Edges edges = sizingEdges(e->position().toPoint());
    const bool diagonal = (edges & (Qt::LeftEdge | Qt::RightEdge)) && (edges & (Qt::TopEdge | Qt::BottomEdge));
    const bool falling = edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge);
    setCursor(!edges                                        ? Qt::ArrowCursor
              : diagonal                                    ? (falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor)
              : edges & (Qt::LeftEdge | Qt::RightEdge)      ? Qt::SizeHorCursor
                                                            : Qt::SizeVerCursor);
    if (edges) return;
  }
  if (move_ == Move::Pending && (e->buttons() & Qt::LeftButton)) {
    // The window manager carries the window from the press on where there
    // is one (X11, or a Wayland compositor); without one (a bare X server)
    // the window follows the pointer itself.
    const bool managed = StartWindowManagerMove(*this, geometry().topLeft() + grabOffset_) ||
                         (QGuiApplication::platformName() != QLatin1String("xcb") && windowHandle() &&
                          windowHandle()->startSystemMove());
    move_ = managed ? Move::None : Move::Manual;
  }
  if (move_ == Move::Manual) {
    if (e->buttons() & Qt::LeftButton)
      setGeometry(QRect(e->globalPosition().toPoint() - grabOffset_, size()));
    else
      move_ = Move::None;
  }
  raise([](ui::WindowEvents& events) { events.onPointerOver(ui::WholeWindow); });
}

void QtWindow::mouseReleaseEvent(QMouseEvent*) {
  move_ = Move::None;
  sizing_ = {};
}

void QtWindow::mouseDoubleClickEvent(QMouseEvent* e) {
  move_ = Move::None;
  if (sizingEdges(e->position().toPoint())) return;
  raise([](ui::WindowEvents& events) { events.onDoubleClick(ui::WholeWindow); });
}

void QtWindow::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Menu || (e->key() == Qt::Key_F10 && e->modifiers() == Qt::ShiftModifier)) {
    raise([](ui::WindowEvents& events) { events.onMenuKey(); });
    return;
  }
  QWidget::keyPressEvent(e);
}

// The window manager's close (Alt+F4, a logout) is the logic's to carry
// out: it decides what goes and when. A close while the session is being
// saved is a logout's: nobody is watching.
void QtWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  const ui::CloseReason reason = qApp->isSavingSession() ? ui::CloseReason::Unattended : ui::CloseReason::ByUser;
  raise([reason](ui::WindowEvents& events) { events.onClose(reason); });
}

}  // namespace platform::qt
