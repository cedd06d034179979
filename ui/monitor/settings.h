// pelmo.ini: the window's position and the always-on-top choice between
// runs. Three lines, CR LF after each: top and left in twips, then 0 when
// always-on-top is on and 1 when it is off (the turn its menu item would
// take next). Each holds one number in its shortest general form.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace monitor {

struct Settings {
  // 32 bits, so that a window 32768 twips or more from the screen's corner
  // (a far second monitor) is read back.
  std::int32_t top = 0;
  std::int32_t left = 0;
  bool alwaysOnTop = false;
};

struct SettingsProblem {
  enum class Field { Top, Left, AlwaysOnTop } field = Field::Top;
  enum class Kind { Missing, NotANumber, OutOfRange } kind = Kind::Missing;
  int line = 0;      // 1-based
  std::string text;  // the field as the file has it, every byte
};

// Fields: leading blanks skipped, a comma or the end of a line (CR LF, LF
// or CR) ends one; each converts to the nearest integer (ties to even). A
// UTF-8 byte order mark before the first field (editors write one) is
// skipped.
std::variant<Settings, SettingsProblem> ParseSettings(std::string_view text);

// The problem in Japanese, the field's bytes shown safely:
// "2 行目の左端位置「abc」は数値ではありません".
std::string DescribeProblem(const SettingsProblem& problem);

std::string FormatSettings(float top, float left, bool alwaysOnTop);

// The shortest general text of a single-precision number: integers as
// such, at most seven significant digits, an exponent ("1.234568E+07")
// where seven digits cannot say it otherwise.
std::string ShortestText(float value);

}  // namespace monitor
