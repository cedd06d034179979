// The system ANSI code page of the original platform (932, Shift_JIS) and
// UTF-8, converted with iconv.
#pragma once

#include <string>
#include <string_view>

namespace platform::linux_ {

// Characters code page 932 cannot hold become "?".
std::string Utf8ToCp932(std::string_view utf8);
std::string Cp932ToUtf8(std::string_view cp932);

}  // namespace platform::linux_
