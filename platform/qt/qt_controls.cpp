#include "qt_controls.h"

#include <QPainter>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "qt_accessible.h"
#include "qt_look.h"

namespace platform::qt {

using ui::PixelsFromTwips;

LabelControl::LabelControl(const ui::ControlDesign& design, const ui::FontDesign& windowFont, QPoint origin,
                           QWidget* parent)
    : QWidget(parent), design_(design), origin_(origin), text_(design.caption), announced_(design.caption),
      foreground_(ToQColor(design.foreColour)), background_(ToQColor(design.backColour)) {
  setFont(ToQFont(design.font ? *design.font : windowFont));
  laidOutText_.setTextFormat(Qt::PlainText);
  laidOutText_.setPerformanceHint(QStaticText::AggressiveCaching);
  if (!design.tooltip.empty())
    setToolTip(QString::fromUtf8(design.tooltip.data(), qsizetype(design.tooltip.size())));
  setGeometry(origin.x() + PixelsFromTwips(design.left), origin.y() + PixelsFromTwips(design.top),
              PixelsFromTwips(design.width), PixelsFromTwips(design.height));
  laidOutText_.setText(QString::fromUtf8(design.caption.data(), qsizetype(design.caption.size())));
  fitToText();
  // A link is reached with Tab; a click does not move the focus to it.
  if (design.spoken == ui::Spoken::Link) setFocusPolicy(Qt::TabFocus);
}

QString LabelControl::spokenName() const {
  const std::string name = design_.reading ? ui::SpokenReading(*design_.reading, text_) : text_;
  return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

bool LabelControl::setText(std::string_view text, QRegion* batch) {
  if (text == text_) return false;
  const QRect before = geometry();
  text_.assign(text);
  if (const auto known = laidOut_.find(text_); known != laidOut_.end()) {
    laidOutText_ = known->second;
    fitGeometry();
  } else {
    laidOutText_.setText(QString::fromUtf8(text.data(), qsizetype(text.size())));
    fitToText();
    if (laidOut_.size() >= MaxLaidOut) laidOut_.clear();
    laidOut_.emplace(text_, laidOutText_);
  }
  if (batch)
    *batch += before | geometry();
  else
    update();
  announceChange();
  return true;
}

void LabelControl::announceChange() {
  // Nothing is said of a hidden window; and without a listener nothing is
  // kept, since nobody heard anything.
  if (!design_.reading || !ScreenReaderListens() || text_ == announced_ || !isVisible()) return;
  announced_ = text_;
  AnnounceNameChange(this);
}

void LabelControl::setTextColour(const QColor& colour) {
  if (colour == foreground_) return;
  foreground_ = colour;
  update();
}

void LabelControl::setUnderline(bool underline) {
  if (font().underline() == underline) return;
  QFont f = font();
  f.setUnderline(underline);
  setFont(f);
  laidOut_.clear();
  fitToText();
  update();
}

void LabelControl::fitToText() {
  laidOutText_.prepare(QTransform(), font());
  lineHeight_ = QFontMetrics(font()).height();
  fitGeometry();
}

void LabelControl::fitGeometry() {
  if (!design_.autoSize) return;
  const int width = std::max(1, qCeil(laidOutText_.size().width()));
  const int height = lineHeight_;
  const int left = design_.alignment == ui::Alignment::Right
                       ? origin_.x() + PixelsFromTwips(design_.left + design_.width) - width
                       : x();
  setGeometry(left, y(), width, height);
}

void LabelControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (design_.opaque) painter.fillRect(rect(), background_);
  painter.setFont(font());
  painter.setPen(foreground_);
  const qreal width = laidOutText_.size().width();
  const qreal left = design_.alignment == ui::Alignment::Right    ? this->width() - width
                     : design_.alignment == ui::Alignment::Centre ? (this->width() - width) / 2
                                                                  : 0;
  painter.drawStaticText(QPointF(left, 0), laidOutText_);
}

ImageControl::ImageControl(const ui::ControlDesign& design, QPoint origin, QWidget* parent) : QWidget(parent) {
  setGeometry(origin.x() + PixelsFromTwips(design.left), origin.y() + PixelsFromTwips(design.top),
              PixelsFromTwips(design.width), PixelsFromTwips(design.height));
  // Stretched once to the box's pixels, then drawn unscaled: on a scaled
  // screen each of those pixels becomes a whole square of the screen's, as
  // the background picture's do.
  picture_ = LoadPicture(design.picture).scaled(size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

void ImageControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, picture_);
}

ShapeControl::ShapeControl(const ui::ControlDesign& design, QPoint origin, QWidget* parent)
    : QWidget(parent), fill_(ToQColor(design.fillColour)), outline_(ToQColor(design.borderColour)),
      width_(PixelsFromTwips(design.width)) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  // The widest a width in twips (a 16-bit count) can make it.
  const int widest = std::max(width_, PixelsFromTwips(std::numeric_limits<std::int16_t>::max()));
  setGeometry(origin.x() + PixelsFromTwips(design.left), origin.y() + PixelsFromTwips(design.top), widest,
              PixelsFromTwips(design.height));
}

QRect ShapeControl::setWidthTwips(float twips) {
  const int width = PixelsFromTwips(std::max(0.0f, twips));
  if (width == width_) return {};
  const QRect strip(std::min(width, width_), 0, std::abs(width - width_), height());
  width_ = width;
  return strip;
}

void ShapeControl::paintEvent(QPaintEvent*) {
  if (width_ <= 0) return;
  QPainter painter(this);
  painter.setPen(outline_);
  painter.setBrush(fill_);
  painter.drawRect(QRect(0, 0, width_, height()).adjusted(0, 0, -1, -1));
}

}  // namespace platform::qt
