#include "qt_look.h"

#include <QFile>
#include <QImage>
#include <cstdint>

#include "texts.h"

namespace platform::qt {

QColor ToQColor(Colour colour) {
  if (colour & SystemColourFlag) {
    switch (colour) {
      case ActiveBorderColour:
      case ButtonFaceColour: return QColor(192, 192, 192);
      case ButtonTextColour:
      case WindowTextColour: return QColor(0, 0, 0);
      default: return QColor(128, 128, 128);
    }
  }
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

void SubstituteDesignFonts() {
  // Debian's fontconfig has no alias for MS PGothic; IPA's proportional
  // gothic is its closest metric match.
  QFont::insertSubstitution(QString::fromUtf8(texts::PGothic.data(), qsizetype(texts::PGothic.size())),
                            QStringLiteral("IPAPGothic"));
}

QFont ToQFont(const FontDesign& font) {
  QFont f(QString::fromUtf8(font.face.data(), qsizetype(font.face.size())));
  f.setPointSizeF(font.points);
  f.setWeight(static_cast<QFont::Weight>(font.weight));
  f.setItalic(font.italic);
  f.setUnderline(font.underline);
  f.setStrikeOut(font.strikeout);
  return f;
}

namespace {

std::uint32_t le32(const QByteArray& bytes, qsizetype at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(bytes[at + i]);
  return v;
}

// Our icons are one 8-bit palette image with a transparency mask. Reading
// them here keeps Qt from loading its ICO plugin (and its relocations) on
// the way to the window's first paint.
QImage DecodeIcon(const QByteArray& ico) {
  if (ico.size() < 6 + 16 + 40) return {};
  const qsizetype dib = le32(ico, 6 + 12);
  if (dib < 0 || dib + 40 > ico.size()) return {};
  const int width = static_cast<int>(le32(ico, dib + 4));
  const int height = static_cast<int>(le32(ico, dib + 8)) / 2;
  if (width <= 0 || height <= 0 || width > 256 || height > 256 || (le32(ico, dib + 12) >> 16) != 8) return {};
  const qsizetype palette = dib + 40, pixels = palette + 256 * 4;
  const qsizetype rowBytes = (width + 3) & ~3, maskRowBytes = ((width + 31) / 32) * 4;
  const qsizetype mask = pixels + rowBytes * height;
  if (mask + maskRowBytes * height > ico.size()) return {};
  QImage image(width, height, QImage::Format_ARGB32);
  for (int y = 0; y < height; ++y) {
    const int row = height - 1 - y;  // rows are stored bottom-up
    for (int x = 0; x < width; ++x) {
      const auto index = static_cast<std::uint8_t>(ico[pixels + row * rowBytes + x]);
      const std::uint32_t bgr = le32(ico, palette + index * 4);
      const bool transparent = static_cast<std::uint8_t>(ico[mask + row * maskRowBytes + x / 8]) & (0x80 >> (x % 8));
      image.setPixel(x, y, transparent ? 0u : (0xFF000000u | bgr));
    }
  }
  return image;
}

}  // namespace

QPixmap LoadPicture(Picture picture) {
  switch (picture) {
    case Picture::MonitorBackground: return QPixmap(QStringLiteral(":/pictures/background.bmp"));
    case Picture::MonitorIcon: {
      QFile file(QStringLiteral(":/pictures/icon.ico"));
      return file.open(QIODevice::ReadOnly) ? QPixmap::fromImage(DecodeIcon(file.readAll())) : QPixmap();
    }
    case Picture::Logo: return QPixmap(QStringLiteral(":/pictures/logo.png"));
    case Picture::None: break;
  }
  return {};
}

}  // namespace platform::qt
