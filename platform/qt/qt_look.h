// How design values look under Qt: colours, fonts, pictures and twips.
#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>

#include "design.h"

namespace platform::qt {

// System colours are the classic ones the designs were drawn against: the
// pictures behind the labels are light whatever the desktop's theme is.
QColor ToQColor(Colour colour);

// Registers the stand-ins for the designs' fonts; call once at start.
void SubstituteDesignFonts();
QFont ToQFont(const FontDesign& font);

QPixmap LoadPicture(Picture picture);

inline int Px(double twips) { return PixelsFromTwips(twips); }

}  // namespace platform::qt
