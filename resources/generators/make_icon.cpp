// The window and tray icon: 32, 24, 20 and 16 pixels square, 256 colours,
// transparent background. Given a size as well, the 32-pixel picture as an
// RGBA PNG of that size, for the desktop's icon theme.
// A grey surveillance camera with a blue stripe, its lens to the left, on a
// wall mount, above a row of coloured lamps.
#include <cstdlib>
#include <cstring>

#include "image_writer.h"

namespace {

// Each size the shell asks for at 100 to 200 % (SM_CXSMICON: 16, 20, 24,
// 32) is drawn for that size, pixel for pixel, rather than scaled.
constexpr const char* Art32[32] = {
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

constexpr const char* Art24[24] = {
    "........................",
    "........................",
    "..kkkkkkkkkkkkkkkkkkkk..",
    "..kwwwwwwwwwwwwwwwwwwk..",
    "..kkkkkkkkkkkkkkkkkkkk..",
    ".kkkkkwwwwwwwwwwwwwwk...",
    ".kDDDkggggggggggggggk...",
    ".kLLDkbbbbbbbbbbbbbbk...",
    ".kLcDkbbbbbbbbbbbbbbk...",
    ".kLLDkBBBBBBBBBBBBBBk...",
    ".kDDDkggggggggggggggk...",
    ".kkkkkddddddddddddddk...",
    ".....kkkkkkkkkkkkkkkk...",
    "..............kddk......",
    "..............kkkkkkkk..",
    "..............kggggggk..",
    "..............kkkkkkkk..",
    "........................",
    ".kkkkkkkkkkkkkkkkkkkkkk.",
    ".kDDrDDDyDDDGDDDbDDDoDk.",
    ".kDrwrDywyDGwGDbwbDowok.",
    ".kDDrDDDyDDDGDDDbDDDoDk.",
    ".kkkkkkkkkkkkkkkkkkkkkk.",
    "........................",
};

constexpr const char* Art20[20] = {
    "....................",
    "..kkkkkkkkkkkkkkkk..",
    "..kwwwwwwwwwwwwwwk..",
    "..kkkkkkkkkkkkkkkk..",
    ".kkkkwwwwwwwwwwwk...",
    ".kDDkgggggggggggk...",
    ".kcDkbbbbbbbbbbbk...",
    ".kLDkBBBBBBBBBBBk...",
    ".kDDkgggggggggggk...",
    ".kkkkdddddddddddk...",
    "....kkkkkkkkkkkkk...",
    "............kdk.....",
    "............kkkkkk..",
    "............kggggk..",
    "............kkkkkk..",
    "....................",
    ".kkkkkkkkkkkkkkkkkk.",
    ".kDwrDwyDwGDwbDwoDk.",
    ".kDrrDyyDGGDbbDooDk.",
    ".kkkkkkkkkkkkkkkkkk.",
};

constexpr const char* Art16[16] = {
    ".kkkkkkkkkkkkkk.",
    ".kwwwwwwwwwwwwk.",
    ".kkkkkkkkkkkkkk.",
    "kkkkwwwwwwwwwk..",
    "kcDkbbbbbbbbbk..",
    "kLDkBBBBBBBBBk..",
    "kDDkgggggggggk..",
    "kkkkdddddddddk..",
    "...kkkkkkkkkkk..",
    ".........kdk....",
    ".........kkkkk..",
    ".........kgggk..",
    "kkkkkkkkkkkkkkkk",
    "krrDyyDGGDbbDook",
    "kkkkkkkkkkkkkkkk",
    "................",
};

constexpr imagegen::LegendEntry Legend[] = {
    // Masked out, and black: Windows draws an icon by keeping the screen
    // where the mask is set and then XOR-ing the picture over it, so any
    // other colour here would tint the background behind the icon.
    {'.', {0, 0, 0}},
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

// The art of one size as palette indices; an empty picture if a row is the
// wrong length or has a symbol the legend lacks.
template <std::size_t Size>
imagegen::IndexedImage picture(const char* const (&art)[Size]) {
  imagegen::IndexedImage img;
  img.width = img.height = static_cast<int>(Size);
  img.transparentIndex = 0;
  for (const imagegen::LegendEntry& e : Legend) img.palette.push_back(e.colour);
  for (const char* row : art) {
    if (std::strlen(row) != Size) return {};
    for (std::size_t x = 0; x < Size; ++x) {
      int index = -1;
      for (std::size_t i = 0; i < std::size(Legend); ++i)
        if (Legend[i].symbol == row[x]) index = static_cast<int>(i);
      if (index < 0) return {};
      img.pixels.push_back(static_cast<std::uint8_t>(index));
    }
  }
  return img;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace imagegen;
  // The largest first, in 256 colours: readers that take one picture take
  // the first. The others, which only Windows reads, in 32-bit colour with
  // an alpha channel as well as the mask: Wine's tray hands an icon's mask
  // on whole only where its rows are whole 16-bit words (16 and 32 pixels
  // wide), and draws a picture that has an alpha channel by that alone.
  const std::vector<IconPicture> sizes{
      {picture(Art32), 8}, {picture(Art24), 32}, {picture(Art20), 32}, {picture(Art16), 32}};
  for (const IconPicture& p : sizes)
    if (p.image.pixels.empty()) return 3;
  if (argc == 3) {
    const int size = std::atoi(argv[2]);
    if (size < 1 || size > 1024) return 2;
    return finish(2, argv, png32(scaled(sizes.front().image, size)));
  }
  return finish(argc, argv, ico(sizes));
}
