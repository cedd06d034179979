#include "ansi_text.h"

#include <windows.h>

namespace platform::win32 {
namespace {

std::wstring toWide(std::string_view bytes, unsigned codePage) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int n = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), n);
  return wide;
}

std::string fromWide(std::wstring_view wide, unsigned codePage) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), size, bytes.data(), n, nullptr, nullptr);
  return bytes;
}

}  // namespace

std::wstring Widen(std::string_view utf8) { return toWide(utf8, CP_UTF8); }
std::string Utf8(std::wstring_view wide) { return fromWide(wide, CP_UTF8); }
std::string Utf8ToAnsi(std::string_view utf8, unsigned codePage) { return fromWide(Widen(utf8), codePage); }

}  // namespace platform::win32
