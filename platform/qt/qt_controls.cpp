#include "qt_controls.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "qt_look.h"

namespace platform::qt {

LabelControl::LabelControl(const ControlDesign& design, const FontDesign& formFont, QWidget* parent)
    : QLabel(parent), design_(design), caption_(design.caption) {
  setFont(ToQFont(design.font ? *design.font : formFont));
  setMargin(0);
  setIndent(0);
  setContentsMargins(0, 0, 0, 0);
  setTextFormat(Qt::PlainText);
  setAlignment((design.alignment == Alignment::Right    ? Qt::AlignRight
                : design.alignment == Alignment::Centre ? Qt::AlignHCenter
                                                        : Qt::AlignLeft) |
               Qt::AlignVCenter);
  QPalette palette = this->palette();
  palette.setColor(QPalette::WindowText, ToQColor(design.foreColour));
  palette.setColor(QPalette::Window, ToQColor(design.backColour));
  setPalette(palette);
  setAutoFillBackground(design.opaque);
  if (!design.tooltip.empty())
    setToolTip(QString::fromUtf8(design.tooltip.data(), qsizetype(design.tooltip.size())));
  setGeometry(Px(design.left), Px(design.top), Px(design.width), Px(design.height));
  setText(QString::fromUtf8(design.caption.data(), qsizetype(design.caption.size())));
  fitToText();
}

bool LabelControl::setCaption(std::string_view text) {
  if (text == caption_) return false;
  caption_.assign(text);
  setText(QString::fromUtf8(text.data(), qsizetype(text.size())));
  fitToText();
  return true;
}

void LabelControl::fitToText() {
  if (!design_.autoSize) return;
  const QFontMetrics metrics(font());
  const int width = std::max(1, metrics.horizontalAdvance(text()));
  const int height = metrics.height();
  const int left = design_.alignment == Alignment::Right ? Px(design_.left + design_.width) - width : x();
  setGeometry(left, y(), width, height);
}

ImageControl::ImageControl(const ControlDesign& design, QWidget* parent)
    : QWidget(parent), picture_(LoadPicture(design.picture)) {
  setGeometry(Px(design.left), Px(design.top), Px(design.width), Px(design.height));
}

void ImageControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(rect(), picture_);
}

ShapeControl::ShapeControl(const ControlDesign& design, QWidget* parent)
    : QWidget(parent), fill_(ToQColor(design.fillColour)), outline_(ToQColor(design.borderColour)) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setGeometry(Px(design.left), Px(design.top), Px(design.width), Px(design.height));
}

void ShapeControl::setWidthTwips(float twips) {
  const int width = Px(std::max(0.0f, twips));
  if (width == this->width()) return;
  resize(width, height());
  setVisible(width > 0);
}

void ShapeControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(outline_);
  painter.setBrush(fill_);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace platform::qt
