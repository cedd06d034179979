#include "shown_bytes.h"

#include <cstdint>
#include <cstdio>

#include "texts.h"

namespace platform {
namespace {

// The length of the UTF-8 sequence at the start of `s` that encodes one
// printable character, or 0 where the bytes are not one (a control
// character, C1 included, or bytes that are no valid UTF-8).
size_t printableLength(std::string_view s) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(0);
  if (lead >= 0x20 && lead < 0x7F) return 1;
  size_t length = 0;
  std::uint32_t cp = 0, least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2, cp = lead & 0x1F, least = 0x80;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3, cp = lead & 0x0F, least = 0x800;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 4, cp = lead & 0x07, least = 0x10000;
  else return 0;
  if (s.size() < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(i) & 0x3F);
  }
  if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  if (cp >= 0x80 && cp <= 0x9F) return 0;  // C1 controls: 0x9B is a CSI to some terminals
  return length;
}

}  // namespace

std::string ShownBytes(std::string_view bytes, size_t limit) {
  std::string shown;
  std::string_view rest = bytes.substr(0, limit);
  while (!rest.empty()) {
    const size_t n = printableLength(rest);
    if (n > 0 && rest[0] != '\\') {
      shown.append(rest.substr(0, n));
      rest.remove_prefix(n);
      continue;
    }
    if (rest[0] == '\\') {
      shown += "\\\\";
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(rest[0]));
      shown += escaped;
    }
    rest.remove_prefix(1);
  }
  if (bytes.size() > limit)
    shown.append(texts::SettingsFieldLength).append(std::to_string(bytes.size())).append(texts::SettingsBytes);
  return shown;
}

}  // namespace platform
