// Decoders for the kinds of picture the program ships: an 8-bit palette
// BMP, an 8-bit palette ICO with a transparency mask and a palette PNG whose
// data is stored uncompressed. Qt reads all three, but to find out which of
// its image plugins can, it loads every one of them (and the JPEG library
// behind one) before the window's first paint. A picture these decoders do
// not take yields a null image, and the caller hands it to Qt instead.
#pragma once

#include <QByteArray>
#include <QImage>

namespace platform::qt {

QImage DecodePaletteBmp(const QByteArray& bmp);
QImage DecodePaletteIcon(const QByteArray& ico);
QImage DecodePalettePng(const QByteArray& png);

}  // namespace platform::qt
