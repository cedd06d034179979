#include "settings.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>

#include "shown_bytes.h"
#include "texts.h"

namespace monitor {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// [+-] digits [. digits] [E [+-] digits], with digits on at least one side
// of the point.
bool isNumber(std::string_view s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t digits = 0;
  while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t exponent = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++exponent;
    if (exponent == 0) return false;
  }
  return i == s.size();
}

struct Reader {
  std::string_view text;
  size_t pos = 0;
  int line = 1;

  // The next field, or nothing at the end of the text.
  std::optional<std::string_view> field() {
    while (pos < text.size() && isBlank(text[pos])) ++pos;
    if (pos >= text.size()) return std::nullopt;
    const size_t start = pos;
    while (pos < text.size() && text[pos] != ',' && text[pos] != '\r' && text[pos] != '\n') ++pos;
    std::string_view f = text.substr(start, pos - start);
    while (!f.empty() && isBlank(f.back())) f.remove_suffix(1);
    fieldLine = line;
    if (pos < text.size()) {
      if (text[pos] == ',') {
        ++pos;
      } else {
        if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
        ++pos;
        ++line;
      }
    }
    return f;
  }
  int fieldLine = 1;
};

template <class Int>
std::variant<Int, SettingsProblem> readInteger(Reader& reader, SettingsProblem::Field name) {
  using Kind = SettingsProblem::Kind;
  const auto f = reader.field();
  if (!f) return SettingsProblem{name, Kind::Missing, reader.line, {}};
  const int line = reader.fieldLine;
  if (f->size() > 40 || !isNumber(*f)) return SettingsProblem{name, Kind::NotANumber, line, std::string(*f)};
  const double value = std::nearbyint(std::strtod(std::string(*f).c_str(), nullptr));
  if (!(value >= std::numeric_limits<Int>::min() && value <= std::numeric_limits<Int>::max()))
    return SettingsProblem{name, Kind::OutOfRange, line, std::string(*f)};
  return static_cast<Int>(value);
}

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

std::string_view fieldName(SettingsProblem::Field field) {
  switch (field) {
    case SettingsProblem::Field::Top: return texts::SettingsTop;
    case SettingsProblem::Field::Left: return texts::SettingsLeft;
    case SettingsProblem::Field::AlwaysOnTop: return texts::SettingsTopmost;
  }
  return {};
}

}  // namespace

std::variant<Settings, SettingsProblem> ParseSettings(std::string_view text) {
  if (text.starts_with(ByteOrderMark)) text.remove_prefix(ByteOrderMark.size());
  Reader reader{text};
  Settings s;
  using Field = SettingsProblem::Field;
  auto top = readInteger<std::int32_t>(reader, Field::Top);
  if (auto* p = std::get_if<SettingsProblem>(&top)) return *p;
  auto left = readInteger<std::int32_t>(reader, Field::Left);
  if (auto* p = std::get_if<SettingsProblem>(&left)) return *p;
  auto topmost = readInteger<std::int16_t>(reader, Field::AlwaysOnTop);
  if (auto* p = std::get_if<SettingsProblem>(&topmost)) return *p;
  s.top = std::get<std::int32_t>(top);
  s.left = std::get<std::int32_t>(left);
  // The file keeps the turn the menu item would take next: 0 when always-on-top
  // is on. Any other number counts as off.
  s.alwaysOnTop = std::get<std::int16_t>(topmost) == 0;
  return s;
}

std::string DescribeProblem(const SettingsProblem& problem) {
  std::string text = std::to_string(problem.line);
  text.append(texts::SettingsLine).append(fieldName(problem.field));
  if (problem.kind == SettingsProblem::Kind::Missing) return text.append(texts::SettingsMissing);
  text.append(texts::SettingsQuoteOpen).append(platform::ShownBytes(problem.text)).append(texts::SettingsQuoteClose);
  return text.append(problem.kind == SettingsProblem::Kind::NotANumber ? texts::SettingsNotANumber
                                                                       : texts::SettingsOutOfRange);
}

std::string ShortestText(float value) {
  if (!std::isfinite(value)) return "0";
  if (value == 0) return "0";
  // %G drops trailing zeros and switches to an exponent (at least two
  // digits: "E+07") only where seven significant digits need one.
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.7G", static_cast<double>(value));
  return buffer;
}

std::string FormatSettings(float top, float left, bool alwaysOnTop) {
  return ShortestText(top) + "\r\n" + ShortestText(left) + "\r\n" + (alwaysOnTop ? "0" : "1") + "\r\n";
}

}  // namespace monitor
