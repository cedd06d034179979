// Qt's X11 and Wayland backends end the process with exit(1) when the
// connection to the display breaks (the server died, the session ended
// under the program). The function given here runs then, from exit, to
// save what would otherwise be lost; nothing it calls may touch a window.
// Its result is the status the program ends with: a display that went away
// is no failure of the program's when the settings were saved.
#pragma once

#include <functional>

namespace platform::qt {

class SaveOnAbruptExit {
 public:
  explicit SaveOnAbruptExit(std::function<int()> save);
  // An ordinary end saves by itself: from here on exit runs nothing.
  ~SaveOnAbruptExit();
  SaveOnAbruptExit(const SaveOnAbruptExit&) = delete;
  SaveOnAbruptExit& operator=(const SaveOnAbruptExit&) = delete;

  // While the save runs: the display is gone, windows are not to be used.
  static bool exiting();
};

}  // namespace platform::qt
