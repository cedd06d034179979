#include "win32_shell.h"

#include "ansi_text.h"

namespace platform::win32 {

void Win32Shell::openUrl(std::string_view url) {
  execute_(GetDesktopWindow(), "open", Utf8ToAnsi(url).c_str(), nullptr, "", SW_SHOW);
}

}  // namespace platform::win32
