#include "qt_form.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

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
        if (e->button() == Qt::LeftButton && widget->rect().contains(e->position().toPoint()))
          form_.raise([&](FormHandlers& h) { h.onClick(control_); });
        return true;
      }
      case QEvent::MouseButtonDblClick:
        form_.raise([&](FormHandlers& h) { h.onDblClick(control_); });
        return true;
      default:
        return false;
    }
  }

 private:
  QtForm& form_;
  int control_;
};

}  // namespace

QtForm::QtForm(const FormDesign& design, HandlerGuard& guard)
    : QWidget(nullptr), design_(design), guard_(guard), picture_(LoadPicture(design.picture)),
      icon_(LoadPicture(design.icon)), background_(ToQColor(design.backColour)) {
  Qt::WindowFlags flags = design.showInTaskbar ? Qt::Window : Qt::Tool;
  if (!design.titleBar) flags |= Qt::FramelessWindowHint;
  setWindowFlags(flags);
  setWindowTitle(QString::fromUtf8(design.caption.data(), qsizetype(design.caption.size())));
  if (!icon_.isNull()) setWindowIcon(QIcon(icon_));
  setFont(ToQFont(design.font));
  // Everything is painted over the whole client area, so Qt need not clear it.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  const QSize client(Px(design.clientWidth), Px(design.clientHeight));
  if (design.border == BorderStyle::Sizable)
    resize(client);
  else
    setFixedSize(client);

  for (const ControlDesign& c : design.controls) {
    QWidget* widget = nullptr;
    switch (c.kind) {
      case ControlKind::Label: widget = new LabelControl(c, design.font, this); break;
      case ControlKind::Image: widget = new ImageControl(c, this); break;
      case ControlKind::Shape: widget = new ShapeControl(c, this); break;
      case ControlKind::Button: {
        auto* button = new QPushButton(QString::fromUtf8(c.caption.data(), qsizetype(c.caption.size())), this);
        button->setGeometry(Px(c.left), Px(c.top), Px(c.width), Px(c.height));
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
    connect(timer, &QTimer::timeout, this, [this, index] { raise([&](FormHandlers& h) { h.onTimer(index); }); });
    if (t.enabled) timer->start();
    timers_.push_back(timer);
  }
}

void QtForm::setCaption(int control, std::string_view text) {
  if (auto* label = dynamic_cast<LabelControl*>(this->control(control))) label->setCaption(text);
}

void QtForm::setWidth(int control, float twips) {
  if (auto* shape = dynamic_cast<ShapeControl*>(this->control(control))) shape->setWidthTwips(twips);
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
    if (!design_.titleBar) BorderOnly(*this, design_.border == BorderStyle::Sizable);
  }
  QWidget::setVisible(visible);
}

// Positions are the client area's, which on a window without a title bar is
// where the window stands.
float QtForm::top() const { return twips(geometry().y()); }
float QtForm::left() const { return twips(geometry().x()); }
void QtForm::setTop(float t) { setGeometry(geometry().x(), Px(t), width(), height()); }
void QtForm::setLeft(float l) { setGeometry(Px(l), geometry().y(), width(), height()); }

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
  if (isVisible()) activateWindow();
  return 1;
}

void QtForm::beginMoveByPress() {
  // The move starts once the pointer moves with the button down: handing a
  // bare click to the window manager would swallow a double-click.
  move_ = Move::Pending;
  grabOffset_ = pressedAt_ - geometry().topLeft();
}

void QtForm::processPendingEvents() { QCoreApplication::processEvents(); }

void QtForm::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect area = event->rect();
  painter.fillRect(area, background_);
  // The picture is drawn unscaled from the top-left corner; what lies beyond
  // the client area is clipped away.
  painter.drawPixmap(area.topLeft(), picture_, area);
}

void QtForm::mousePressEvent(QMouseEvent* e) {
  move_ = Move::None;
  pressedAt_ = e->globalPosition().toPoint();
  raise([&](FormHandlers& h) {
    h.onMouseDown(FormItself, buttonsOf(e->button()), shiftOf(e->modifiers()), twips(e->position().x()),
                  twips(e->position().y()));
  });
}

void QtForm::mouseMoveEvent(QMouseEvent* e) {
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
    h.onMouseMove(FormItself, buttonsOf(e->buttons()), shiftOf(e->modifiers()), twips(e->position().x()),
                  twips(e->position().y()));
  });
}

void QtForm::mouseReleaseEvent(QMouseEvent*) { move_ = Move::None; }

void QtForm::mouseDoubleClickEvent(QMouseEvent*) {
  move_ = Move::None;
  raise([&](FormHandlers& h) { h.onDblClick(FormItself); });
}

}  // namespace platform::qt
