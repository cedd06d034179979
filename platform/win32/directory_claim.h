// One running copy per settings directory, as on Linux: two copies sharing
// pelmo.ini would each add an icon and the last to quit would overwrite the
// other's place; a second start instead asks the running copy to show its
// window, and ends.
//
// The claim is a mutex named after the directory's identity (its volume's
// serial number and file index, not its path), owned by the running copy:
// Windows hands it on when the owner ends, however it ends. The request
// travels as a registered message to the forms of this session, naming the
// directory by the global atom of the mutex's name, which the running
// copy's monitor window answers when the directory is its own.
#pragma once

#include <windows.h>

#include <cstdint>

namespace platform::win32 {

class DirectoryClaim {
 public:
  enum class Outcome {
    Claimed,     // this copy runs
    Answered,    // a running copy was asked to show its window and agreed
    Unanswered,  // a running copy holds the directory but did not answer in time
  };

  DirectoryClaim() = default;
  ~DirectoryClaim();
  DirectoryClaim(const DirectoryClaim&) = delete;
  DirectoryClaim& operator=(const DirectoryClaim&) = delete;

  // Claims the current directory; where another copy holds it, asks that
  // copy to show its window, waiting up to `patience` for an answer or for
  // the copy to end (a copy that is ending gives none).
  Outcome claim(DWORD patience);

  // The request a later start sends, and whether one names this directory.
  static UINT RequestMessage();
  bool isForThisDirectory(LPARAM key) const { return key_ && static_cast<std::uint32_t>(key) == key_; }

 private:
  HANDLE mutex_ = nullptr;
  std::uint32_t key_ = 0;  // the atom, 0 where the table had no room
};

}  // namespace platform::win32
