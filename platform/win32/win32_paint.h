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

// Loaded once, kept until the process ends.
HBITMAP PictureBitmap(ui::Picture picture);
HICON PictureIcon(ui::Picture picture, int size);

// Draws a picture unscaled at (x, y), or stretched into `box`; the logo's
// white is its cut-out and lets the background show through.
void DrawPicture(HDC dc, ui::Picture picture, const RECT& box, bool stretch);

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
