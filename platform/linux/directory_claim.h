// One running copy per settings directory. Two copies sharing pelmo.ini
// would each add an icon and the last to quit would overwrite the other's
// place; a second start instead asks the running copy to show its window.
//
// The claim is an abstract Unix socket named after the user and the device
// and inode of the directory the settings file is written in (where a
// symbolic link points, so links to one file share it): the kernel releases it however the holder
// ends (SIGKILL too), it leaves nothing in the directory, and a read-only
// directory does not stop it. The same socket carries the request to show.
#pragma once

#include <chrono>
#include <string_view>

namespace platform::linux_ {

class DirectoryClaim {
 public:
  enum class Outcome {
    Claimed,     // this copy runs; requests arrive on listener()
    Answered,    // a running copy was asked to show its window and agreed
    Unanswered,  // a running copy holds the directory but did not answer in time
    Unclaimed,   // no claim could be made (no such sockets here): run regardless
  };

  DirectoryClaim() = default;
  ~DirectoryClaim();
  DirectoryClaim(const DirectoryClaim&) = delete;
  DirectoryClaim& operator=(const DirectoryClaim&) = delete;

  // Claims the directory of the settings file `name` (by bare name in the
  // current directory). Where another copy of this user holds it, asks that
  // copy to show its window and waits up to `patience` for its answer; a
  // copy that is ending gives none, and the claim is tried again.
  Outcome claim(std::string_view name, std::chrono::milliseconds patience);

  // The listening socket of a Claimed directory (close-on-exec), else -1.
  int listener() const { return listener_; }

  // Takes one waiting request, answers it when `willShow`, and closes it.
  // False when none was waiting.
  bool takeRequest(bool willShow);

 private:
  int listener_ = -1;
};

}  // namespace platform::linux_
