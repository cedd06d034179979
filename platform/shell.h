// The desktop's way to open a link: a web address in the browser, a mailto:
// address in the mail program.
#pragma once

#include <string_view>

namespace platform {

class Shell {
 public:
  // Opens `url` (UTF-8) as it stands, no encoding or decoding on the way.
  // Nothing reports a failure: the desktop shows its own.
  virtual void openUrl(std::string_view url) = 0;

 protected:
  ~Shell() = default;
};

}  // namespace platform
