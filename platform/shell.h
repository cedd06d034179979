// The desktop shell's "open" operation, as the Windows shell offers it.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

#ifndef SW_SHOW  // the Windows API's own value, a macro in its headers
inline constexpr int SW_SHOW = 5;
#endif

class Shell {
 public:
  virtual std::uint32_t GetDesktopWindow() = 0;
  // Asks the shell to perform `operation` on `file` (bytes of the system's
  // ANSI code page): a URL opens in the browser or the mail program. More
  // than 32 on success; nothing reports a failure.
  virtual std::int32_t ShellExecuteA(std::uint32_t owner, std::string_view operation, std::string_view file,
                                     const char* parameters, std::string_view directory, int showCommand) = 0;

 protected:
  ~Shell() = default;
};

}  // namespace platform
