// How design values look under Qt: colours, fonts and pictures.
#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>

#include "design.h"

namespace platform::qt {

// System colours are the classic ones the designs were drawn against: the
// pictures behind the labels are light whatever the desktop's theme is.
QColor ToQColor(ui::Colour colour);

// Registers the stand-ins for the designs' fonts; call once at start.
void SubstituteDesignFonts();
QFont ToQFont(const ui::FontDesign& font);

QPixmap LoadPicture(ui::Picture picture);

}  // namespace platform::qt
