#include "win32_paint.h"

#include <map>

#include "ansi_text.h"
#include "pictures.h"
#include "twips.h"

namespace platform::win32 {

int ScreenDpi() {
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    const int value = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return value > 0 ? value : 96;
  }();
  return dpi;
}

COLORREF ColourRef(ui::Colour colour) {
  if (colour & ui::SystemColourFlag) return GetSysColor(static_cast<int>(colour & 0xFF));
  return colour & 0xFFFFFF;
}

HFONT CreateDesignFont(const ui::FontDesign& font, int dpi, bool underline) {
  LOGFONTW f{};
  f.lfHeight = -FontPixelsAt(font.points, dpi);
  f.lfWeight = font.weight;
  f.lfItalic = font.italic;
  f.lfUnderline = underline;
  f.lfStrikeOut = font.strikeout;
  f.lfCharSet = static_cast<BYTE>(font.charset);
  f.lfQuality = DEFAULT_QUALITY;
  const std::wstring face = Widen(font.face);
  lstrcpynW(f.lfFaceName, face.c_str(), LF_FACESIZE);
  return CreateFontIndirectW(&f);
}

HBITMAP PictureBitmap(ui::Picture picture) {
  static HBITMAP background, logo;
  HINSTANCE self = GetModuleHandleW(nullptr);
  switch (picture) {
    case ui::Picture::MonitorBackground:
      if (!background) background = LoadBitmapW(self, MAKEINTRESOURCEW(PELMO_BACKGROUND));
      return background;
    case ui::Picture::Logo:
      if (!logo) logo = LoadBitmapW(self, MAKEINTRESOURCEW(PELMO_LOGO));
      return logo;
    default: return nullptr;
  }
}

HICON PictureIcon(ui::Picture picture, int size) {
  if (picture != ui::Picture::MonitorIcon) return nullptr;
  // Not LR_SHARED: a shared icon is the size first loaded, whatever size is
  // asked for after it.
  static std::map<int, HICON> sizes;
  HICON& icon = sizes[size];
  if (!icon)
    icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(PELMO_MONITOR_ICON), IMAGE_ICON, size, size, 0));
  return icon;
}

void DrawPicture(HDC dc, ui::Picture picture, const RECT& box, bool stretch) {
  HBITMAP bitmap = PictureBitmap(picture);
  if (!bitmap) return;
  BITMAP info;
  GetObjectW(bitmap, sizeof info, &info);
  HDC source = CreateCompatibleDC(dc);
  {
    Selected selected(source, bitmap);
    if (picture == ui::Picture::Logo) {
      const int width = stretch ? box.right - box.left : info.bmWidth;
      const int height = stretch ? box.bottom - box.top : info.bmHeight;
      GdiTransparentBlt(dc, box.left, box.top, width, height, source, 0, 0, info.bmWidth, info.bmHeight,
                        RGB(255, 255, 255));
    } else if (stretch) {
      SetStretchBltMode(dc, COLORONCOLOR);
      StretchBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, source, 0, 0, info.bmWidth,
                 info.bmHeight, SRCCOPY);
    } else {
      BitBlt(dc, box.left, box.top, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    }
  }
  DeleteDC(source);
}

void DrawBackground(HDC dc, ui::Picture picture, int dpi) {
  BITMAP info;
  if (dpi == 96 || !PictureBitmap(picture) || !GetObjectW(PictureBitmap(picture), sizeof info, &info))
    return DrawPicture(dc, picture, RECT{0, 0, 0, 0}, false);
  DrawPicture(dc, picture, RECT{0, 0, MulDiv(info.bmWidth, dpi, 96), MulDiv(info.bmHeight, dpi, 96)}, true);
}

}  // namespace platform::win32
