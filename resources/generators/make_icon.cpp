// The window and tray icon: 32 x 32, 256 colours, transparent background.
// Given a size as well, the same picture as an RGBA PNG of that size, for
// the desktop's icon theme.
// A grey surveillance camera with a blue stripe, its lens to the left, on a
// wall mount, above a row of coloured lamps.
#include <cstdlib>
#include <cstring>

#include "image_writer.h"

namespace {

constexpr const char* Art[32] = {
    "................................",
    "................................",
    "................................",
    "...kkkkkkkkkkkkkkkkkkkkkkkkkk...",
    "...kwwwwwwwwwwwwwwwwwwwwwwwwk...",
    "...kwwwwwwwwwwwwwwwwwwwwwwwwk...",
    "...kkkkkkkkkkkkkkkkkkkkkkkkkk...",
    ".kkkkkkwwwwwwwwwwwwwwwwwwwwk....",
    ".kDDDDkggggggggggggggggggggk....",
    ".kLLLDkggggggggggggggggggggk....",
    ".kLcLDkbbbbbbbbbbbbbbbbbbbbk....",
    ".kLLLDkbbbbbbbbbbbbbbbbbbbbk....",
    ".kLLLDkBBBBBBBBBBBBBBBBBBBBk....",
    ".kLLLDkggggggggggggggggggggk....",
    ".kDDDDkggggggggggggggggggggk....",
    ".kkkkkkddddddddddddddddddddk....",
    "......kkkkkkkkkkkkkkkkkkkkkk....",
    "...................kdddk........",
    "...................kdddk........",
    "...................kkkkkkkkkkk..",
    "...................kgggggggggk..",
    "...................kgggggggggk..",
    "...................kkkkkkkkkkk..",
    "................................",
    ".kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk.",
    ".kDDDDDDDDDDDDDDDDDDDDDDDDDDDDk.",
    ".kDDrDDDDDyDDDDDGDDDDDbDDDDDoDk.",
    ".kDrwrDDDywyDDDGwGDDDbwbDDDowok.",
    ".kDDrDDDDDyDDDDDGDDDDDbDDDDDoDk.",
    ".kDDDDDDDDDDDDDDDDDDDDDDDDDDDDk.",
    ".kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk.",
    "................................",
};

constexpr imagegen::LegendEntry Legend[] = {
    {'.', {255, 0, 255}},   // transparent (masked out)
    {'k', {0, 0, 0}},       // outline
    {'D', {96, 96, 96}},    // dark grey: lens hood, lamp panel
    {'d', {128, 128, 128}}, // grey: shadow, mount
    {'g', {192, 192, 192}}, // light grey: body
    {'w', {240, 240, 240}}, // highlight
    {'b', {0, 64, 255}},    // blue stripe
    {'B', {0, 0, 160}},     // the stripe's shaded edge
    {'L', {32, 32, 64}},    // lens glass
    {'c', {0, 224, 255}},   // lens glint
    {'r', {255, 0, 0}},     // lamps
    {'y', {255, 255, 0}},
    {'G', {0, 255, 0}},
    {'o', {255, 128, 0}},
};

}  // namespace

int main(int argc, char** argv) {
  using namespace imagegen;
  IndexedImage img;
  img.width = 32;
  img.height = 32;
  img.transparentIndex = 0;
  for (const LegendEntry& e : Legend) img.palette.push_back(e.colour);
  for (const char* row : Art) {
    if (std::strlen(row) != 32) return 3;
    for (int x = 0; x < 32; ++x) {
      int index = -1;
      for (size_t i = 0; i < std::size(Legend); ++i)
        if (Legend[i].symbol == row[x]) index = static_cast<int>(i);
      if (index < 0) return 3;
      img.pixels.push_back(static_cast<std::uint8_t>(index));
    }
  }
  if (argc == 3) {
    const int size = std::atoi(argv[2]);
    if (size < 1 || size > 1024) return 2;
    return finish(2, argv, png32(scaled(img, size)));
  }
  return finish(argc, argv, ico8(img));
}
