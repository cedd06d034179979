// One running copy per settings directory. Two copies sharing pelmo.ini
// would each add an icon and the last to quit would overwrite the other's
// place; a second start instead asks the running copy to show its window.
//
// The claim is the directory itself, nothing made for it: the running copy
// holds an exclusive flock on the directory the settings file is written in
// (where a symbolic link points, followed from the current directory with
// openat, so neither the path's length nor the environment takes part). The
// kernel drops the lock however the holder ends, SIGKILL too, and there is
// no file that a cleaner could remove.
//
// A later start rings the holder's bell: a socket in the abstract namespace
// named after the user and the directory's device and inode, which exists
// only while its owner lives. Each end checks by SO_PEERCRED that the other
// is the same user; a name another user took first is passed over for the
// next of a few. Where the lock cannot be had (a file system without locks,
// a directory the user cannot read, another user holding it), the bell
// alone is the claim, since the lowest bell of this user's decides; only
// where neither can be had does the program run unchecked, and says so.
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
    Unclaimed,   // neither the lock nor a bell could be had: run regardless
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

  // The listening socket (close-on-exec) while Claimed with a bell, else -1.
  int listener() const { return listener_; }

  // Takes the requests waiting (a bounded number, so that a stream of them
  // cannot hold the event loop), answers each when `willShow`, and closes
  // them. The number that came from this user; another user's are closed
  // unanswered.
  int takeRequests(bool willShow);

 private:
  int directory_ = -1;  // the settings directory, locked while claimed
  int listener_ = -1;
};

}  // namespace platform::linux_
