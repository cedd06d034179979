#include "qt_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <utility>

#include "qt_controls.h"
#include "qt_look.h"
#include "x11_window_state.h"

namespace platform::qt {
namespace {

int buttonsOf(Qt::MouseButtons buttons) {
  return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) | (buttons & Qt::MiddleButton ? 4 : 0);
}

int shiftOf(Qt::KeyboardModifiers modifiers) {
  return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
         (modifiers & Qt::AltModifier ? 4 : 0);
}

float twips(qreal pixels) { return static_cast<float>(pixels * TwipsPerPixel); }

// The thin single-line border of a window without a title bar, in the dark
// grey window managers draw such borders in (openbox's default theme): the
// same window under every window manager, as it looked where one drew it.
const QColor SingleBorderColour(88, 90, 93);

// Wayland leaves windows' places to the compositor: a client can neither
// choose its own nor learn it.
bool PlacesAreKnown() { return !QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

// Mouse input over a label or picture belongs to that control, not to the
// window beneath it.
class ControlMouse final : public QObject {
 public:
  ControlMouse(QtForm& form, int control) : QObject(&form), form_(form), control_(control) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        form_.raise([&](FormHandlers& h) {
          h.onMouseDown(control_, buttonsOf(e->button()), shiftOf(e->modifiers()), twips(e->position().x()),
                        twips(e->position().y()));
        });
        return true;
      }
      case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        form_.raise([&](FormHandlers& h) {
          h.onMouseMove(control_, buttonsOf(e->buttons()), shiftOf(e->modifiers()), twips(e->position().x()),
                        twips(e->position().y()));
        });
        return true;
      }
      case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        const auto* widget = static_cast<QWidget*>(watched);
        // A double-click is one Click and one DblClick: its second release
        // clicks nothing.
        const bool second = std::exchange(afterDoubleClick_, false);
        if (!second && e->button() == Qt::LeftButton && widget->rect().contains(e->position().toPoint()))
          form_.raise([&](FormHandlers& h) { h.onClick(control_); });
        return true;
      }
      case QEvent::MouseButtonDblClick:
        afterDoubleClick_ = true;
        form_.raise([&](FormHandlers& h) { h.onDblClick(control_); });
        return true;
      default:
        return false;
    }
  }

 private:
  QtForm& form_;
  int control_;
  bool afterDoubleClick_ = false;
};

}  // namespace

QtForm::QtForm(const FormDesign& design, HandlerGuard& guard)
    : QWidget(nullptr), design_(design), guard_(guard), picture_(LoadPicture(design.picture)),
      icon_(LoadPicture(design.icon)), background_(ToQColor(design.backColour)),
      givenTop_(static_cast<float>(design.top)), givenLeft_(static_cast<float>(design.left)) {
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
  const QSize client(Px(design.clientWidth), Px(design.clientHeight));
  if (!design.titleBar && design.border != BorderStyle::None) {
    sizable_ = design.border == BorderStyle::Sizable;
    frame_ = sizable_ ? std::max(2, Px(design.borderWidth)) : 1;
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

  for (const ControlDesign& c : design.controls) {
    QWidget* widget = nullptr;
    switch (c.kind) {
      case ControlKind::Label: widget = new LabelControl(c, design.font, origin, this); break;
      case ControlKind::Image: widget = new ImageControl(c, origin, this); break;
      case ControlKind::Shape: widget = new ShapeControl(c, origin, this); break;
      case ControlKind::Button: {
        auto* button = new QPushButton(QString::fromUtf8(c.caption.data(), qsizetype(c.caption.size())), this);
        button->setGeometry(frame_ + Px(c.left), frame_ + Px(c.top), Px(c.width), Px(c.height));
        // Enter presses it as well as Space; it is no default button, so
        // Escape does nothing.
        button->setAutoDefault(true);
        if (c.takesFocus) button->setFocus();
        const int index = static_cast<int>(controls_.size());
        connect(button, &QPushButton::clicked, this, [this, index] { raise([&](FormHandlers& h) { h.onClick(index); }); });
        widget = button;
        break;
      }
    }
    if (widget && c.kind != ControlKind::Shape && c.kind != ControlKind::Button) {
      widget->setMouseTracking(true);
      widget->installEventFilter(new ControlMouse(*this, static_cast<int>(controls_.size())));
    }
    controls_.push_back(widget);
  }
  buildMenus();
}

void QtForm::buildMenus() {
  QMenu* current = nullptr;
  for (size_t i = 0; i < design_.menu.size(); ++i) {
    const MenuItemDesign& item = design_.menu[i];
    const QString caption = QString::fromUtf8(item.caption.data(), qsizetype(item.caption.size()));
    if (item.level == 0) {
      current = new QMenu(caption, this);
      menus_.push_back(current);
      actions_.push_back(current->menuAction());
      continue;
    }
    menus_.push_back(nullptr);
    QAction* action = caption == QLatin1String("-") ? current->addSeparator() : current->addAction(caption);
    const int index = static_cast<int>(i);
    connect(action, &QAction::triggered, this, [this, index] { raise([&](FormHandlers& h) { h.onMenuClick(index); }); });
    actions_.push_back(action);
  }
}

QMenu* QtForm::menu(int item) const { return menus_.at(static_cast<size_t>(item)); }

void QtForm::attach(FormHandlers& handlers) {
  handlers_ = &handlers;
  for (size_t i = 0; i < design_.timers.size(); ++i) {
    const TimerDesign& t = design_.timers[i];
    auto* timer = new QTimer(this);
    timer->setInterval(t.intervalMs);
    const int index = static_cast<int>(i);
    // What a tick changes is painted as soon as it returns, in one pass:
    // left to the event loop, each tick would post an update request and
    // wake the loop a second time just to paint.
    connect(timer, &QTimer::timeout, this, [this, index] {
      tickRepaint_.emplace();
      raise([&](FormHandlers& h) { h.onTimer(index); });
      const QRegion dirty = *std::exchange(tickRepaint_, std::nullopt);
      if (!dirty.isEmpty() && isVisible()) repaint(dirty);
    });
    if (t.enabled) timer->start();
    timers_.push_back(timer);
  }
}

// The two property sets of every tick: the design says what each control
// is, so no run-time type check is needed.
void QtForm::setCaption(int control, std::string_view text) {
  QWidget* widget = this->control(control);  // checks the index
  if (design_.controls[static_cast<size_t>(control)].kind == ControlKind::Label)
    static_cast<LabelControl*>(widget)->setCaption(text, tickRepaint_ ? &*tickRepaint_ : nullptr);
}

void QtForm::setWidth(int control, float twips) {
  QWidget* widget = this->control(control);  // checks the index
  if (design_.controls[static_cast<size_t>(control)].kind != ControlKind::Shape) return;
  const QRect strip = static_cast<ShapeControl*>(widget)->setWidthTwips(twips);
  if (strip.isEmpty()) return;
  if (tickRepaint_)
    *tickRepaint_ += strip.translated(widget->pos());
  else
    widget->update(strip);
}

std::string QtForm::caption(int control) const {
  if (auto* label = dynamic_cast<LabelControl*>(this->control(control))) return label->caption();
  if (auto* button = dynamic_cast<QPushButton*>(this->control(control))) return button->text().toStdString();
  return {};
}

void QtForm::setForeColour(int control, Colour colour) {
  if (auto* label = dynamic_cast<LabelControl*>(this->control(control))) label->setForeColour(ToQColor(colour));
}

void QtForm::setFontUnderline(int control, bool underline) {
  if (auto* label = dynamic_cast<LabelControl*>(this->control(control))) label->setUnderline(underline);
}

void QtForm::setVisible(bool visible) {
  if (visible && !isVisible()) {
    // Window-manager hints go on the unmapped window, before every show:
    // the window manager drops its states when a window is hidden.
    WriteStatesBeforeShow(*this, !design_.showInTaskbar, above_);
    if (!design_.titleBar) DecorateWithoutTitle(*this, sizable_);
  }
  // Shown again, the window goes where Qt thinks it was: Qt learns where
  // the X server really has it first (see PlaceOnScreen).
  if (!visible && PlacesAreKnown())
    if (const auto onScreen = PlaceOnScreen(*this); onScreen && *onScreen != geometry().topLeft())
      setGeometry(QRect(*onScreen, size()));
  QWidget::setVisible(visible);
}

// Positions are the client area's, inside the border the form draws, where
// the X server has the window. Where the platform keeps the window's place
// to itself (Wayland reports 0,0), the place given last is the answer, so a
// quit writes back what it was given.
QPoint QtForm::place() const {
  const auto onScreen = PlaceOnScreen(const_cast<QtForm&>(*this));
  return onScreen ? *onScreen : geometry().topLeft();
}
float QtForm::top() const { return PlacesAreKnown() ? twips(place().y() + frame_) : givenTop_; }
float QtForm::left() const { return PlacesAreKnown() ? twips(place().x() + frame_) : givenLeft_; }
void QtForm::setTop(float t) {
  givenTop_ = t;
  setGeometry(geometry().x(), Px(t) - frame_, width(), height());
}
void QtForm::setLeft(float l) {
  givenLeft_ = l;
  setGeometry(Px(l) - frame_, geometry().y(), width(), height());
}

std::uint32_t QtForm::hWnd() const { return static_cast<std::uint32_t>(const_cast<QtForm*>(this)->winId()); }
std::uint32_t QtForm::iconHandle() const { return static_cast<std::uint32_t>(icon_.cacheKey()); }

void QtForm::setMenuVisible(int, bool) {
  // Qt windows have no menu bar to hide; the menus stay usable as popups.
}

void QtForm::setMenuChecked(int item, bool checked) {
  QAction* action = menuAction(item);
  action->setCheckable(true);
  action->setChecked(checked);
}

void QtForm::popupMenu(int item) {
  if (QMenu* popup = menu(item)) popup->exec(QCursor::pos());
}

std::int32_t QtForm::SetWindowPos(std::int32_t insertAfter, std::uint32_t flags) {
  if (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
    above_ = insertAfter == HWND_TOPMOST;
    if (isVisible()) SetAboveWhileShown(*this, above_);
  }
  if ((flags & SWP_SHOWWINDOW) && !isVisible()) setVisible(true);  // writes the state before mapping
  return 1;
}

std::int32_t QtForm::SetForegroundWindow() {
  // The foreground window is also the top one.
  if (isVisible()) {
    QWidget::raise();
    activateWindow();
  }
  return 1;
}

void QtForm::beginMoveByPress() {
  // The move starts once the pointer moves with the button down: handing a
  // bare click to the window manager would swallow a double-click.
  move_ = Move::Pending;
  grabOffset_ = pressedAt_ - geometry().topLeft();
}

void QtForm::processPendingEvents() { QCoreApplication::processEvents(); }

QRect QtForm::clientRect() const { return rect().adjusted(frame_, frame_, -frame_, -frame_); }

Qt::Edges QtForm::sizingEdges(QPoint at) const {
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

void QtForm::paintEvent(QPaintEvent* event) {
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

void QtForm::mousePressEvent(QMouseEvent* e) {
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
  raise([&](FormHandlers& h) {
    h.onMouseDown(FormItself, buttonsOf(e->button()), shiftOf(e->modifiers()), twips(e->position().x() - frame_),
                  twips(e->position().y() - frame_));
  });
}

void QtForm::mouseMoveEvent(QMouseEvent* e) {
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
  raise([&](FormHandlers& h) {
    h.onMouseMove(FormItself, buttonsOf(e->buttons()), shiftOf(e->modifiers()), twips(e->position().x() - frame_),
                  twips(e->position().y() - frame_));
  });
}

void QtForm::mouseReleaseEvent(QMouseEvent*) {
  move_ = Move::None;
  sizing_ = {};
}

void QtForm::mouseDoubleClickEvent(QMouseEvent* e) {
  move_ = Move::None;
  if (sizingEdges(e->position().toPoint())) return;
  raise([&](FormHandlers& h) { h.onDblClick(FormItself); });
}

}  // namespace platform::qt

namespace platform::qt {

// The window manager's close (Alt+F4, a logout) unloads the form the way
// its logic does it; the logic decides what goes and when. A close while
// the session is being saved is a logout's: nobody is watching.
void QtForm::closeEvent(QCloseEvent* event) {
  event->ignore();
  const UnloadMode mode = qApp->isSavingSession() ? UnloadMode::Unattended : UnloadMode::UserClose;
  raise([mode](FormHandlers& h) { h.onUnload(mode); });
}

}  // namespace platform::qt
