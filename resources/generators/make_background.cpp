// The monitor window's background: 276 x 134, 256 colours, a diagonal
// gradient from green at the top-left corner to white. Lines of equal colour
// run diagonally: the top row turns white at x = 192, the bottom row at
// x = 104, and everything right of that line is white.
#include "image_writer.h"

int main(int argc, char** argv) {
  using namespace imagegen;
  constexpr int W = 276, H = 134;
  constexpr Rgb Green{101, 209, 80};
  constexpr double WhiteAtTop = 192, WhiteAtBottom = 104;

  IndexedImage img;
  img.width = W;
  img.height = H;
  for (int i = 0; i < 256; ++i) {
    auto mix = [i](std::uint8_t from) {
      return static_cast<std::uint8_t>(from + ((255 - from) * i + 127) / 255);
    };
    img.palette.push_back({mix(Green.r), mix(Green.g), mix(Green.b)});
  }
  const double slope = (WhiteAtTop - WhiteAtBottom) / (H - 1);
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      const double t = std::min(1.0, (x + slope * y) / WhiteAtTop);
      img.pixels.push_back(static_cast<std::uint8_t>(t * 255 + 0.5));
    }
  }
  return finish(argc, argv, bmp8(img));
}
