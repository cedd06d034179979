// Window designs as plain data: every window, control, timer and menu item with
// the values a backend needs to render it. Positions and sizes are in twips
// (15 to the pixel at 96 dpi) from the top-left corner of the client area.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace ui {

// 0x00BBGGRR, or 0x80000000 + n for the system colour with index n.
using Colour = std::uint32_t;
inline constexpr Colour SystemColourFlag = 0x80000000u;
inline constexpr Colour ActiveBorderColour = SystemColourFlag | 0x0A;
inline constexpr Colour WindowTextColour = SystemColourFlag | 0x08;
inline constexpr Colour ButtonFaceColour = SystemColourFlag | 0x0F;
inline constexpr Colour ButtonTextColour = SystemColourFlag | 0x12;
constexpr Colour Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return Colour{r} | (Colour{g} << 8) | (Colour{b} << 16);
}

inline constexpr int TwipsPerPixel = 15;

enum class ControlKind : std::uint8_t { Label, Image, Shape, Button };
enum class Alignment : std::uint8_t { Left, Right, Centre };
enum class BorderStyle : std::uint8_t { None, FixedSingle, Sizable };
enum class Picture : std::uint8_t { None, MonitorBackground, MonitorIcon, Logo };

// What a screen reader is told of a control.
enum class Spoken : std::uint8_t {
  Text,     // read as its text or caption; a window's text labels together,
            // in design order, are also its description, which a screen
            // reader says as the window opens
  Hidden,   // decoration, or part of something said elsewhere: not in the tree
  Reading,  // a live value, named from its ReadingWords; a change of value is announced
  Link,     // a link: reached with Tab, opened with Enter or Space as by a click
};

// The words a screen reader says around a reading's value: the meaning
// before it and the unit after it ("CPU使用率 12 %"), or, when the value
// shown is `noValue`, `noValueSpoken` in place of both.
struct ReadingWords {
  std::string_view meaning, unit, noValue, noValueSpoken;
};

inline std::string SpokenReading(const ReadingWords& words, std::string_view shown) {
  std::string spoken = std::string(words.meaning).append(" ");
  if (shown == words.noValue) return spoken.append(words.noValueSpoken);
  return spoken.append(shown).append(" ").append(words.unit);
}

struct FontDesign {
  std::string_view face;
  double points = 9;
  int weight = 400;
  int charset = 0;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
};

struct ControlDesign {
  std::string_view name;
  ControlKind kind = ControlKind::Label;
  int left = 0, top = 0, width = 0, height = 0;
  std::string_view caption;
  Alignment alignment = Alignment::Left;
  std::string_view tooltip;
  Colour foreColour = ButtonTextColour;
  Colour backColour = ButtonFaceColour;
  bool opaque = false;      // labels: paint the back colour behind the text
  bool autoSize = false;    // labels: size to the caption, one line high
  const FontDesign* font = nullptr;  // null: the window's font
  Picture picture = Picture::None;   // images
  bool stretch = false;              // images: scale the picture into the box
  Colour fillColour = 0;             // shapes: solid fill
  Colour borderColour = WindowTextColour;  // shapes: one-pixel outline
  bool takesFocus = false;           // buttons
  Spoken spoken = Spoken::Text;
  const ReadingWords* reading = nullptr;  // Spoken::Reading
};

struct TimerDesign {
  std::string_view name;
  int intervalMs = 0;
  bool enabled = false;
};

// A menu tree flattened in display order; level 0 is a top-level menu.
struct MenuItemDesign {
  std::string_view name;
  std::string_view caption;  // "-" is a separator
  int level = 0;
  bool checked = false;
  bool checkable = false;  // checked or not: a screen reader says which
};

struct WindowDesign {
  std::string_view name;
  std::string_view caption;
  std::string_view spokenName;  // what a screen reader calls the window
  int clientWidth = 0, clientHeight = 0;  // twips
  int left = 0, top = 0;                  // twips, the client area on the screen
  BorderStyle border = BorderStyle::FixedSingle;
  int borderWidth = 0;                    // twips, for sizable borders
  bool titleBar = false;
  bool controlBox = false;
  bool showInTaskbar = false;
  Colour backColour = ButtonFaceColour;
  Picture picture = Picture::None;  // drawn unscaled from the top-left corner
  Picture icon = Picture::None;
  FontDesign font;
  std::span<const ControlDesign> controls;  // back to front
  std::span<const TimerDesign> timers;
  std::span<const MenuItemDesign> menu;
};

constexpr int PixelsFromTwips(double twips) {
  const double px = twips / TwipsPerPixel;
  return static_cast<int>(px < 0 ? px - 0.5 : px + 0.5);
}

}  // namespace ui
