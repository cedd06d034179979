#include "qt_form.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPaintEvent>
#include <QTimer>

#include "qt_controls.h"
#include "qt_look.h"
#include "x11_window_state.h"

namespace platform::qt {

QtForm::QtForm(const FormDesign& design, HandlerGuard& guard)
    : QWidget(nullptr), design_(design), guard_(guard), picture_(LoadPicture(design.picture)),
      background_(ToQColor(design.backColour)) {
  Qt::WindowFlags flags = design.showInTaskbar ? Qt::Window : Qt::Tool;
  if (!design.titleBar) flags |= Qt::FramelessWindowHint;
  setWindowFlags(flags);
  setWindowTitle(QString::fromUtf8(design.caption.data(), qsizetype(design.caption.size())));
  if (design.icon != Picture::None) setWindowIcon(QIcon(LoadPicture(design.icon)));
  setFont(ToQFont(design.font));
  // Everything is painted over the whole client area, so Qt need not clear it.
  setAttribute(Qt::WA_OpaquePaintEvent);
  const QSize client(Px(design.clientWidth), Px(design.clientHeight));
  if (design.border == BorderStyle::Sizable)
    resize(client);
  else
    setFixedSize(client);

  for (const ControlDesign& c : design.controls) {
    switch (c.kind) {
      case ControlKind::Label: controls_.push_back(new LabelControl(c, design.font, this)); break;
      case ControlKind::Image: controls_.push_back(new ImageControl(c, this)); break;
      case ControlKind::Shape: controls_.push_back(new ShapeControl(c, this)); break;
      case ControlKind::Button: controls_.push_back(nullptr); break;
    }
  }
}

void QtForm::attach(FormHandlers& handlers) {
  handlers_ = &handlers;
  for (size_t i = 0; i < design_.timers.size(); ++i) {
    const TimerDesign& t = design_.timers[i];
    auto* timer = new QTimer(this);
    timer->setInterval(t.intervalMs);
    const int index = static_cast<int>(i);
    connect(timer, &QTimer::timeout, this, [this, index] { guard_.run([&] { handlers_->onTimer(index); }); });
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

void QtForm::showAtDesignPosition() {
  // setGeometry places the client area; move() would place the frame.
  setGeometry(Px(design_.left), Px(design_.top), width(), height());
  show();
}

void QtForm::setVisible(bool visible) {
  if (visible && !isVisible()) {
    // Window-manager hints go on the unmapped window, before every show.
    if (!design_.showInTaskbar) SkipTaskbar(*this);
    if (!design_.titleBar && design_.border == BorderStyle::FixedSingle) BorderOnly(*this);
  }
  QWidget::setVisible(visible);
}

void QtForm::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect area = event->rect();
  painter.fillRect(area, background_);
  // The picture is drawn unscaled from the top-left corner; what lies beyond
  // the client area is clipped away.
  painter.drawPixmap(area.topLeft(), picture_, area);
}

}  // namespace platform::qt
