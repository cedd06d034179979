// The design's lightweight controls as Qt widgets on the window's surface.
#pragma once

#include <QPixmap>
#include <QStaticText>
#include <QWidget>
#include <string>
#include <string_view>
#include <unordered_map>

#include "design.h"

namespace platform::qt {

// A one-line label that sizes itself to its text and, when right aligned,
// keeps its right edge where the design put it. The text is laid out once
// per change and drawn from that layout, so a repaint does no shaping.
class LabelControl final : public QWidget {
 public:
  // `origin` is where the window's client area starts inside the window.
  LabelControl(const ui::ControlDesign& design, const ui::FontDesign& windowFont, QPoint origin, QWidget* parent);
  // Returns false when the text was already shown, so nothing is redrawn.
  // With `batch`, the area to redraw is added to it instead of being
  // scheduled for the next pass of the event loop.
  bool setText(std::string_view text, QRegion* batch = nullptr);
  const std::string& text() const { return text_; }
  void setTextColour(const QColor& colour);
  void setUnderline(bool underline);

  ui::Spoken spoken() const { return design_.spoken; }
  // What a screen reader says for it: a reading's value in its words, or
  // the text it shows.
  QString spokenName() const;
  // A reading's text, if it changed since it was last announced, is
  // announced to a listening screen reader while the label can be seen
  // (setText does this; a window being shown again calls it).
  void announceChange();

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  // Lays the text out anew and sizes the label to it.
  void fitToText();
  // Sizes the label to the laid-out text.
  void fitGeometry();

  const ui::ControlDesign& design_;
  QPoint origin_;
  std::string text_;
  std::string announced_;  // a reading's text as a screen reader last heard it
  QStaticText laidOutText_;
  int lineHeight_ = 0;
  // A number label shows the same few dozen texts over and over: their
  // layouts are kept (up to a bound), so showing one again does no shaping.
  static constexpr size_t MaxLaidOut = 64;
  std::unordered_map<std::string, QStaticText> laidOut_;
  QColor foreground_, background_;
};

// A picture stretched into its box.
class ImageControl final : public QWidget {
 public:
  ImageControl(const ui::ControlDesign& design, QPoint origin, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QPixmap picture_;
};

// A filled rectangle with a one-pixel outline; it takes no mouse input.
// The widget spans every width the rectangle can grow to and draws the
// rectangle at its present width: a new width is then only a repaint of
// the strip between the two, not a resize, which Qt would follow with a
// second pass of the event loop.
class ShapeControl final : public QWidget {
 public:
  ShapeControl(const ui::ControlDesign& design, QPoint origin, QWidget* parent);
  // Widths below zero draw as zero. Returns the part of the widget to redraw,
  // empty when the width is the same in pixels.
  QRect setWidthTwips(float twips);
  int rectangleWidth() const { return width_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QColor fill_, outline_;
  int width_;
};

}  // namespace platform::qt
