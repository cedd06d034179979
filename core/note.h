// A note to whoever started the program, on standard error: one line with
// the program's name in front. Every backend's session writes its notes
// through here.
#pragma once

#include <string_view>

namespace platform {

// Writes "pelmodesk: " and the text's bytes as they are (a NUL inside does
// not end it), then a newline, and flushes.
void WriteNote(std::string_view text);

}  // namespace platform
