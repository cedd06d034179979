#include "picture_decode.h"

#include <cstdint>

namespace platform::qt {
namespace {

std::uint32_t le16(const QByteArray& bytes, qsizetype at) {
  return static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 1])) << 8;
}
std::uint32_t le32(const QByteArray& bytes, qsizetype at) { return le16(bytes, at) | le16(bytes, at + 2) << 16; }
std::uint32_t be32(const QByteArray& bytes, qsizetype at) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v = (v << 8) | static_cast<std::uint8_t>(bytes[at + i]);
  return v;
}

// Bottom-up 8-bit rows behind a BITMAPINFOHEADER, with a BGRX palette of
// `colours` entries; `mask`, where given, is the ICO's 1-bit transparency mask
// after the rows.
QImage paletteRows(const QByteArray& data, qsizetype dib, int width, int height, bool mask) {
  const std::uint32_t colours = le32(data, dib + 32) ? le32(data, dib + 32) : 256;
  if (width <= 0 || height <= 0 || width > 4096 || height > 4096 || le16(data, dib + 14) != 8 ||
      le32(data, dib + 16) != 0 || colours > 256)
    return {};
  const qsizetype palette = dib + le32(data, dib), pixels = palette + colours * 4;
  const qsizetype rowBytes = (width + 3) & ~3, maskRowBytes = ((width + 31) / 32) * 4;
  const qsizetype maskAt = pixels + rowBytes * height;
  if (maskAt + (mask ? maskRowBytes * height : 0) > data.size()) return {};
  QImage image(width, height, mask ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    const qsizetype row = height - 1 - y;
    auto* out = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const auto index = static_cast<std::uint8_t>(data[pixels + row * rowBytes + x]);
      if (index >= colours) return {};
      const bool clear = mask && (static_cast<std::uint8_t>(data[maskAt + row * maskRowBytes + x / 8]) & (0x80 >> (x % 8)));
      out[x] = clear ? 0u : 0xFF000000u | (le32(data, palette + index * 4) & 0xFFFFFF);
    }
  }
  return image;
}

}  // namespace

QImage DecodePaletteBmp(const QByteArray& bmp) {
  if (bmp.size() < 14 + 40 || !bmp.startsWith("BM") || le32(bmp, 14) != 40) return {};
  const int width = static_cast<int>(le32(bmp, 18)), height = static_cast<int>(le32(bmp, 22));
  QImage image = paletteRows(bmp, 14, width, height, false);
  // The rows must start where the file header says they do.
  const qsizetype colours = le32(bmp, 14 + 32) ? le32(bmp, 14 + 32) : 256;
  return le32(bmp, 10) == 14 + 40 + colours * 4 ? image : QImage();
}

QImage DecodePaletteIcon(const QByteArray& ico) {
  if (ico.size() < 6 + 16 + 40 || le16(ico, 2) != 1 || le16(ico, 4) < 1) return {};
  // The first picture is the one shown; a file cut short anywhere, even in
  // a picture after it, is declined whole.
  const qsizetype count = le16(ico, 4);
  if (6 + 16 * count > ico.size()) return {};
  for (qsizetype entry = 6; entry < 6 + 16 * count; entry += 16)
    if (qsizetype(le32(ico, entry + 12)) + qsizetype(le32(ico, entry + 8)) > ico.size()) return {};
  const qsizetype dib = le32(ico, 6 + 12);
  if (dib < 0 || dib + 40 > ico.size() || le32(ico, dib) != 40) return {};
  return paletteRows(ico, dib, static_cast<int>(le32(ico, dib + 4)), static_cast<int>(le32(ico, dib + 8)) / 2, true);
}

QImage DecodePalettePng(const QByteArray& png) {
  static const char signature[] = "\x89PNG\r\n\x1A\n";
  if (!png.startsWith(QByteArray(signature, 8))) return {};
  int width = 0, height = 0, depth = 0;
  QList<QRgb> palette;
  QByteArray zlib;
  for (qsizetype at = 8; at + 12 <= png.size();) {
    const qsizetype length = be32(png, at);
    if (length > png.size() - at - 12) return {};
    const QByteArray type = png.mid(at + 4, 4), body = png.mid(at + 8, length);
    at += 12 + length;
    if (type == "IHDR") {
      // Palette colour, no interlace, standard compression and filtering.
      if (length != 13 || body[9] != 3 || body[10] != 0 || body[11] != 0 || body[12] != 0) return {};
      width = static_cast<int>(be32(body, 0));
      height = static_cast<int>(be32(body, 4));
      depth = body[8];
    } else if (type == "PLTE") {
      for (qsizetype i = 0; i + 3 <= length; i += 3)
        palette.append(qRgb(static_cast<std::uint8_t>(body[i]), static_cast<std::uint8_t>(body[i + 1]),
                            static_cast<std::uint8_t>(body[i + 2])));
    } else if (type == "tRNS") {
      for (qsizetype i = 0; i < length && i < palette.size(); ++i)
        palette[i] = qRgba(qRed(palette[i]), qGreen(palette[i]), qBlue(palette[i]), static_cast<std::uint8_t>(body[i]));
    } else if (type == "IDAT") {
      zlib += body;
    } else if (type == "IEND") {
      break;
    } else if (!(type[0] & 0x20)) {
      return {};  // a critical chunk we do not know
    }
  }
  if (width <= 0 || height <= 0 || width > 4096 || height > 4096 || (depth != 1 && depth != 2 && depth != 4 && depth != 8) ||
      palette.isEmpty())
    return {};
  // The stream is a zlib one; Qt's inflater wants the expected size first.
  const qsizetype rowBytes = (qsizetype(width) * depth + 7) / 8;
  const qsizetype expected = (rowBytes + 1) * height;
  QByteArray sized(4, '\0');
  for (int i = 0; i < 4; ++i) sized[i] = static_cast<char>(expected >> (24 - 8 * i));
  const QByteArray raw = qUncompress(sized + zlib);
  if (raw.size() != expected) return {};
  QImage image(width, height, QImage::Format_ARGB32);
  const int perByte = 8 / depth, mask = (1 << depth) - 1;
  for (int y = 0; y < height; ++y) {
    const char* row = raw.constData() + y * (rowBytes + 1);
    if (row[0] != 0) return {};  // only unfiltered rows, as the program's pictures have
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const int shift = 8 - depth * (x % perByte + 1);
      const int index = (static_cast<std::uint8_t>(row[1 + x / perByte]) >> shift) & mask;
      if (index >= palette.size()) return {};
      out[x] = palette[index];
    }
  }
  return image;
}

}  // namespace platform::qt
