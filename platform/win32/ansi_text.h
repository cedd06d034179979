// The logic's UTF-8 for the wide calls, and for the ANSI calls that the
// tray and the shell are made with (the system's code page, 932 on a
// Japanese Windows), at the moment of the call.
#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

inline constexpr unsigned SystemAnsi = 0;  // CP_ACP

std::wstring Widen(std::string_view utf8);
std::string Utf8(std::wstring_view wide);
// Characters the code page lacks become '?'.
std::string Utf8ToAnsi(std::string_view utf8, unsigned codePage = SystemAnsi);

}  // namespace platform::win32
