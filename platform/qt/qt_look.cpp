#include "qt_look.h"

#include <QFile>
#include <QImage>

#include "picture_decode.h"

#include "texts.h"

namespace platform::qt {

QColor ToQColor(ui::Colour colour) {
  if (colour & ui::SystemColourFlag) {
    switch (colour) {
      case ui::ActiveBorderColour:
      case ui::ButtonFaceColour: return QColor(192, 192, 192);
      case ui::ButtonTextColour:
      case ui::WindowTextColour: return QColor(0, 0, 0);
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

QFont ToQFont(const ui::FontDesign& font) {
  QFont f(QString::fromUtf8(font.face.data(), qsizetype(font.face.size())));
  f.setPointSizeF(font.points);
  f.setWeight(static_cast<QFont::Weight>(font.weight));
  f.setItalic(font.italic);
  f.setUnderline(font.underline);
  f.setStrikeOut(font.strikeout);
  return f;
}

namespace {

QPixmap load(const QString& path, QImage (*decode)(const QByteArray&)) {
  QFile file(path);
  if (file.open(QIODevice::ReadOnly))
    if (QImage image = decode(file.readAll()); !image.isNull()) return QPixmap::fromImage(std::move(image));
  return QPixmap(path);
}

}  // namespace

QPixmap LoadPicture(ui::Picture picture) {
  switch (picture) {
    case ui::Picture::MonitorBackground: return load(QStringLiteral(":/pictures/background.bmp"), DecodePaletteBmp);
    case ui::Picture::MonitorIcon: return load(QStringLiteral(":/pictures/icon.ico"), DecodePaletteIcon);
    case ui::Picture::Logo: return load(QStringLiteral(":/pictures/logo.png"), DecodePalettePng);
    case ui::Picture::None: break;
  }
  return {};
}

}  // namespace platform::qt
