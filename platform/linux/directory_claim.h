// One running copy per settings directory. Two copies sharing pelmo.ini
// would each add an icon and the last to quit would overwrite the other's
// place; a second start instead asks the running copy to show its window.
//
// The claim lives where only the user can reach it: the user's runtime
// directory ($XDG_RUNTIME_DIR, else pelmodesk-UID under $TMPDIR or /tmp,
// made for the purpose), used only when it is the user's own and closed to
// everyone else. In it, named after the device and inode of the directory
// the settings file is written in (where a symbolic link points, so links
// to one file share it), a lock file that the running copy holds with flock
// (the kernel drops it however the holder ends, SIGKILL too) and a socket
// it listens on for the request to show. A copy that ends normally removes
// both; a socket file a killed copy left is replaced by the next holder,
// under the lock. Each end checks by
// SO_PEERCRED that the other is the same user. Where no such directory can
// be had, the program runs unclaimed: nothing another user holds may keep
// it from starting.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace platform::linux_ {

class DirectoryClaim {
 public:
  enum class Outcome {
    Claimed,     // this copy runs; requests arrive on listener()
    Answered,    // a running copy was asked to show its window and agreed
    Unanswered,  // a running copy holds the directory but did not answer in time
    Unclaimed,   // no claim could be made: run regardless
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
  // False when none was waiting, or the asker was another user.
  bool takeRequest(bool willShow);

  // The runtime directory refused for being another user's or open to
  // others (the claim then Unclaimed), else empty.
  const std::string& refused() const { return refused_; }

 private:
  int lock_ = -1;
  int listener_ = -1;
  std::string lockFile_, socket_;
  std::string refused_;
};

}  // namespace platform::linux_
