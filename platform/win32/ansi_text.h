// Text between the logic's UTF-8, the wide calls, and the ANSI calls (the
// system's code page).
#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

inline constexpr unsigned SystemAnsi = 0;  // CP_ACP

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);
// Characters the code page lacks become '?'.
std::string Utf8ToAnsi(std::string_view utf8, unsigned codePage = SystemAnsi);
std::string AnsiToUtf8(std::string_view ansi, unsigned codePage = SystemAnsi);

}  // namespace platform::win32
