// The design's lightweight controls as Qt widgets on the form's surface.
#pragma once

#include <QPixmap>
#include <QStaticText>
#include <QWidget>
#include <string>
#include <string_view>

#include "design.h"

namespace platform::qt {

// A one-line label that sizes itself to its text and, when right aligned,
// keeps its right edge where the design put it. The text is laid out once
// per change and drawn from that layout, so a repaint does no shaping.
class LabelControl final : public QWidget {
 public:
  // `origin` is where the form's client area starts inside its window.
  LabelControl(const ControlDesign& design, const FontDesign& formFont, QPoint origin, QWidget* parent);
  // Returns false when the text was already shown, so nothing is redrawn.
  // With `batch`, the area to redraw is added to it instead of being
  // scheduled for the next pass of the event loop.
  bool setCaption(std::string_view text, QRegion* batch = nullptr);
  const std::string& caption() const { return caption_; }
  QString text() const { return text_.text(); }
  void setForeColour(const QColor& colour);
  void setUnderline(bool underline);
  QColor foreColour() const { return foreground_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  void fitToText();

  const ControlDesign& design_;
  QPoint origin_;
  std::string caption_;
  QStaticText text_;
  QColor foreground_, background_;
};

// A picture stretched into its box.
class ImageControl final : public QWidget {
 public:
  ImageControl(const ControlDesign& design, QPoint origin, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QPixmap picture_;
};

// A filled rectangle with a one-pixel outline; it takes no mouse input.
class ShapeControl final : public QWidget {
 public:
  ShapeControl(const ControlDesign& design, QPoint origin, QWidget* parent);
  // Widths below zero draw as zero.
  void setWidthTwips(float twips);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QColor fill_, outline_;
};

}  // namespace platform::qt
