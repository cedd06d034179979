// The logo: 76 x 28, 16 colours. A solid purple plate out of which the
// product name ペルモ is cut as transparent lettering; plate pixels that touch
// a letter are drawn in lighter purples so the cut edges read as bevels.
#include <cmath>
#include <string_view>

#include "image_writer.h"

namespace {

struct Point {
  double x, y;
};
struct Stroke {
  Point from, to;
};

// The three katakana as pen strokes on the 76 x 28 grid.
constexpr Stroke Strokes[] = {
    // ペ: the へ stroke (its handakuten is the ring below)
    {{4.5, 15}, {10.5, 8}},
    {{10.5, 8}, {22, 20}},
    // ル
    {{31.5, 5}, {31.5, 14}},
    {{31.5, 14}, {27.5, 21}},
    {{39.5, 5}, {39.5, 21}},
    {{39.5, 21}, {47, 14.5}},
    // モ
    {{54, 6}, {70, 6}},
    {{52, 12.5}, {72, 12.5}},
    {{61.5, 6}, {61.5, 19}},
    {{61.5, 19}, {63.5, 21}},
    {{63.5, 21}, {72, 21}},
};
constexpr Point RingCentre{20.5, 6};
constexpr double RingInner = 1.4, RingOuter = 2.7, PenHalfWidth = 1.3;

enum : std::uint8_t { Cut, Plate, EdgeNear, EdgeDiagonal };

double distanceToStroke(Point p, const Stroke& s) {
  const double dx = s.to.x - s.from.x, dy = s.to.y - s.from.y;
  double t = ((p.x - s.from.x) * dx + (p.y - s.from.y) * dy) / (dx * dx + dy * dy);
  t = std::fmax(0.0, std::fmin(1.0, t));
  return std::hypot(p.x - (s.from.x + t * dx), p.y - (s.from.y + t * dy));
}

}  // namespace

int main(int argc, char** argv) {
  using namespace imagegen;
  constexpr int W = 76, H = 28;
  IndexedImage img;
  img.width = W;
  img.height = H;
  img.transparentIndex = Cut;
  img.palette = {{255, 255, 255}, {51, 0, 153}, {136, 85, 221}, {102, 51, 187}};
  while (img.palette.size() < 16) img.palette.push_back({0, 0, 0});

  img.pixels.assign(W * H, Plate);
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      const Point centre{x + 0.5, y + 0.5};
      bool cut = false;
      for (const Stroke& s : Strokes) cut = cut || distanceToStroke(centre, s) <= PenHalfWidth;
      const double r = std::hypot(centre.x - RingCentre.x, centre.y - RingCentre.y);
      if (cut || (r >= RingInner && r <= RingOuter)) img.pixels[y * W + x] = Cut;
    }
  }
  auto isCut = [&](int x, int y) { return x >= 0 && y >= 0 && x < W && y < H && img.pixels[y * W + x] == Cut; };
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      if (img.pixels[y * W + x] != Plate) continue;
      if (isCut(x - 1, y) || isCut(x + 1, y) || isCut(x, y - 1) || isCut(x, y + 1))
        img.pixels[y * W + x] = EdgeNear;
      else if (isCut(x - 1, y - 1) || isCut(x + 1, y - 1) || isCut(x - 1, y + 1) || isCut(x + 1, y + 1))
        img.pixels[y * W + x] = EdgeDiagonal;
    }
  }
  // The Windows program has no PNG reader: it takes the same picture as a
  // BMP whose white (the cut-out) is keyed transparent when drawn.
  const std::string_view out = argc == 2 ? argv[1] : "";
  return finish(argc, argv, out.ends_with(".bmp") ? bmp8(img) : png4(img));
}
