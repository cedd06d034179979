// Bytes from a file made safe for a terminal and a message box.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Control characters, invalid UTF-8 and backslashes escaped (\x1B, \\), so
// nothing in the bytes can move the cursor, retitle the terminal or cut the
// report short; past `limit` bytes the total length is given instead.
std::string ShownBytes(std::string_view bytes, size_t limit = 200);

}  // namespace platform
