// Minimal writers for the three picture formats the windows use: an 8-bit
// palette BMP, an ICO of one or more sizes (8-bit palette or 32-bit colour)
// with a transparency mask, and a palette PNG with a transparent entry. Byte-for-byte
// deterministic, no libraries.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace imagegen {

struct Rgb {
  std::uint8_t r, g, b;
};

// A picture as palette indices, row-major from the top-left pixel.
struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<Rgb> palette;
  std::vector<std::uint8_t> pixels;
  int transparentIndex = -1;  // -1: every pixel is opaque
};

using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void put32(Bytes& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}
inline void put32be(Bytes& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// BITMAPINFOHEADER, then bottom-up rows: 8-bit indices behind a 256-entry
// palette, or (depth 32) blue, green, red and alpha, the transparent index
// clear and every other opaque. ICO images double the height to cover the
// AND mask that follows the colour rows.
inline void putDib(Bytes& out, const IndexedImage& img, bool withMask, int depth = 8) {
  const int rowBytes = depth == 32 ? img.width * 4 : (img.width + 3) & ~3;
  const int maskRowBytes = ((img.width + 31) / 32) * 4;
  const std::uint32_t imageSize = static_cast<std::uint32_t>(
      rowBytes * img.height + (withMask ? maskRowBytes * img.height : 0));
  const std::uint32_t colours = depth == 32 ? 0 : 256;
  put32(out, 40);
  put32(out, static_cast<std::uint32_t>(img.width));
  put32(out, static_cast<std::uint32_t>(withMask ? img.height * 2 : img.height));
  put16(out, 1);   // planes
  put16(out, static_cast<std::uint32_t>(depth));
  put32(out, 0);   // BI_RGB
  put32(out, imageSize);
  put32(out, 3780);  // 96 dpi in pixels per metre
  put32(out, 3780);
  put32(out, colours);
  put32(out, 0);
  for (std::uint32_t i = 0; i < colours; ++i) {
    const Rgb c = i < img.palette.size() ? img.palette[i] : Rgb{0, 0, 0};
    out.insert(out.end(), {c.b, c.g, c.r, 0});
  }
  for (int y = img.height - 1; y >= 0; --y) {
    for (int x = 0; x < img.width; ++x) {
      const std::uint8_t index = img.pixels[static_cast<size_t>(y * img.width + x)];
      if (depth != 32) {
        out.push_back(index);
        continue;
      }
      const Rgb c = img.palette[index];
      const bool clear = index == img.transparentIndex;
      out.insert(out.end(), {c.b, c.g, c.r, static_cast<std::uint8_t>(clear ? 0 : 255)});
    }
    out.insert(out.end(), static_cast<size_t>(depth == 32 ? 0 : rowBytes - img.width), 0);
  }
  if (!withMask) return;
  for (int y = img.height - 1; y >= 0; --y) {
    for (int byte = 0; byte < maskRowBytes; ++byte) {
      std::uint8_t bits = 0;
      for (int bit = 0; bit < 8; ++bit) {
        const int x = byte * 8 + bit;
        const bool transparent =
            x >= img.width || img.pixels[static_cast<size_t>(y * img.width + x)] == img.transparentIndex;
        if (transparent) bits = static_cast<std::uint8_t>(bits | (0x80 >> bit));
      }
      out.push_back(bits);
    }
  }
}

inline Bytes bmp8(const IndexedImage& img) {
  Bytes dib;
  putDib(dib, img, false);
  Bytes out{'B', 'M'};
  put32(out, static_cast<std::uint32_t>(14 + dib.size()));
  put32(out, 0);
  put32(out, 14 + 40 + 256 * 4);
  out.insert(out.end(), dib.begin(), dib.end());
  return out;
}

// One directory entry per picture, the pictures after the directory in the
// same order, each in its number of bits per pixel (8 or 32).
struct IconPicture {
  IndexedImage image;
  int bits = 8;
};
inline Bytes ico(const std::vector<IconPicture>& pictures) {
  std::vector<Bytes> dibs;
  for (const IconPicture& p : pictures) putDib(dibs.emplace_back(), p.image, true, p.bits);
  Bytes out;
  put16(out, 0);
  put16(out, 1);  // icon
  put16(out, static_cast<std::uint32_t>(pictures.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * pictures.size());
  for (size_t i = 0; i < pictures.size(); ++i) {
    out.push_back(static_cast<std::uint8_t>(pictures[i].image.width));
    out.push_back(static_cast<std::uint8_t>(pictures[i].image.height));
    out.push_back(0);  // 256 colours or more
    out.push_back(0);
    put16(out, 1);
    put16(out, static_cast<std::uint32_t>(pictures[i].bits));
    put32(out, static_cast<std::uint32_t>(dibs[i].size()));
    put32(out, offset);
    offset += static_cast<std::uint32_t>(dibs[i].size());
  }
  for (const Bytes& dib : dibs) out.insert(out.end(), dib.begin(), dib.end());
  return out;
}

inline std::uint32_t crc32(const std::uint8_t* data, size_t size, std::uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

inline void pngChunk(Bytes& out, const char* type, const Bytes& data) {
  put32be(out, static_cast<std::uint32_t>(data.size()));
  Bytes body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  put32be(out, crc32(body.data(), body.size()));
}

// A zlib stream of stored (uncompressed) blocks, which every reader accepts
// and which never varies.
inline Bytes storedZlib(const Bytes& raw) {
  Bytes zlib{0x78, 0x01};
  for (size_t pos = 0; pos < raw.size();) {
    const size_t len = std::min<size_t>(65535, raw.size() - pos);
    zlib.push_back(pos + len == raw.size() ? 1 : 0);
    put16(zlib, static_cast<std::uint32_t>(len));
    put16(zlib, static_cast<std::uint32_t>(~len & 0xFFFF));
    zlib.insert(zlib.end(), raw.begin() + static_cast<long>(pos), raw.begin() + static_cast<long>(pos + len));
    pos += len;
  }
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t v : raw) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  put32be(zlib, (b << 16) | a);
  return zlib;
}

// The signature and the header chunk.
inline Bytes pngStart(int width, int height, std::uint8_t depth, std::uint8_t colourType) {
  Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes ihdr;
  put32be(ihdr, static_cast<std::uint32_t>(width));
  put32be(ihdr, static_cast<std::uint32_t>(height));
  ihdr.insert(ihdr.end(), {depth, colourType, 0, 0, 0});
  pngChunk(out, "IHDR", ihdr);
  return out;
}

// A 4-bit palette PNG (up to 16 colours).
inline Bytes png4(const IndexedImage& img) {
  Bytes out = pngStart(img.width, img.height, 4, 3);  // 4-bit palette
  Bytes plte;
  for (const Rgb& c : img.palette) plte.insert(plte.end(), {c.r, c.g, c.b});
  pngChunk(out, "PLTE", plte);
  if (img.transparentIndex >= 0) {
    Bytes trns(static_cast<size_t>(img.transparentIndex + 1), 0xFF);
    trns.back() = 0;
    pngChunk(out, "tRNS", trns);
  }
  Bytes raw;
  for (int y = 0; y < img.height; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < img.width; x += 2) {
      const std::uint8_t hi = img.pixels[static_cast<size_t>(y * img.width + x)];
      const std::uint8_t lo = x + 1 < img.width ? img.pixels[static_cast<size_t>(y * img.width + x + 1)] : 0;
      raw.push_back(static_cast<std::uint8_t>((hi << 4) | (lo & 0x0F)));
    }
  }
  pngChunk(out, "IDAT", storedZlib(raw));
  pngChunk(out, "IEND", {});
  return out;
}

// An 8-bit RGBA picture, row-major from the top-left pixel.
struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
};

inline Bytes png32(const RgbaImage& img) {
  Bytes out = pngStart(img.width, img.height, 8, 6);  // 8-bit RGBA
  Bytes raw;
  const size_t rowBytes = static_cast<size_t>(img.width) * 4;
  for (size_t y = 0; y < static_cast<size_t>(img.height); ++y) {
    raw.push_back(0);  // no filter
    raw.insert(raw.end(), img.rgba.begin() + static_cast<long>(y * rowBytes),
               img.rgba.begin() + static_cast<long>((y + 1) * rowBytes));
  }
  pngChunk(out, "IDAT", storedZlib(raw));
  pngChunk(out, "IEND", {});
  return out;
}

// The picture scaled to size x size by area averaging (with premultiplied
// alpha, so transparent pixels lend no colour): whole multiples come out
// pixel for pixel, smaller sizes as the eye would blend them.
inline RgbaImage scaled(const IndexedImage& img, int size) {
  RgbaImage out{size, size, {}};
  const double sx = double(img.width) / size, sy = double(img.height) / size;
  for (int ty = 0; ty < size; ++ty) {
    for (int tx = 0; tx < size; ++tx) {
      double sum[4] = {0, 0, 0, 0};
      for (int y = int(ty * sy); y < img.height && y < (ty + 1) * sy; ++y) {
        const double h = std::min<double>(y + 1, (ty + 1) * sy) - std::max<double>(y, ty * sy);
        for (int x = int(tx * sx); x < img.width && x < (tx + 1) * sx; ++x) {
          const double w = h * (std::min<double>(x + 1, (tx + 1) * sx) - std::max<double>(x, tx * sx));
          const std::uint8_t index = img.pixels[static_cast<size_t>(y * img.width + x)];
          if (index == img.transparentIndex) continue;
          const Rgb c = img.palette[index];
          sum[0] += w * c.r;
          sum[1] += w * c.g;
          sum[2] += w * c.b;
          sum[3] += w;
        }
      }
      const double area = sx * sy;
      for (int i = 0; i < 3; ++i)
        out.rgba.push_back(static_cast<std::uint8_t>(sum[3] > 0 ? std::lround(sum[i] / sum[3]) : 0));
      out.rgba.push_back(static_cast<std::uint8_t>(std::lround(255 * sum[3] / area)));
    }
  }
  return out;
}

// Pixel art: one character per pixel, looked up in a legend of colours.
struct LegendEntry {
  char symbol;
  Rgb colour;
};

inline bool save(const char* path, const Bytes& bytes) {
  std::FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

inline int finish(int argc, char** argv, const Bytes& bytes) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
    return 2;
  }
  if (!save(argv[1], bytes)) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}

}  // namespace imagegen
