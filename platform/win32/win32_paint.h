// GDI pieces of the designs: colours, fonts and the pictures built into
// the program (pictures.rc).
#pragma once

#include <windows.h>

#include "design.h"

namespace platform::win32 {

// The primary screen's horizontal resolution, in dots per inch.
int ScreenDpi();

COLORREF ColourRef(ui::Colour colour);
HFONT CreateDesignFont(const ui::FontDesign& font, int dpi, bool underline);

// Loaded once, kept until the process ends; an icon once for each size,
// from the picture drawn for that size where the icon has one.
HBITMAP PictureBitmap(ui::Picture picture);
HICON PictureIcon(ui::Picture picture, int size);

// Draws a picture unscaled at (x, y), or stretched into `box`; the logo's
// white is its cut-out and lets the background show through.
void DrawPicture(HDC dc, ui::Picture picture, const RECT& box, bool stretch);
// A window's background picture from its top-left corner, at the window's
// scale: at 96 dpi as it is, at 192 dpi each of its pixels a 2 x 2 square.
void DrawBackground(HDC dc, ui::Picture picture, int dpi);

// RAII for GDI objects and selections.
struct GdiObject {
  HGDIOBJ object;
  ~GdiObject() {
    if (object) DeleteObject(object);
  }
};
struct Selected {
  HDC dc;
  HGDIOBJ previous;
  Selected(HDC d, HGDIOBJ object) : dc(d), previous(SelectObject(d, object)) {}
  ~Selected() { SelectObject(dc, previous); }
};

}  // namespace platform::win32
