#include "directory_claim.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

namespace platform::linux_ {
namespace {

constexpr char Agreed = 'y';

// The directory the settings file is written in: where its link points, or
// here.
bool settingsDirectory(std::string_view file, struct stat& here) {
  std::string directory = ".";
  if (char* target = ::realpath(std::string(file).c_str(), nullptr)) {
    directory = target;
    std::free(target);
    directory.erase(directory.rfind('/') + 1);
  }
  return ::stat(directory.c_str(), &here) == 0;
}

// A directory only this user can enter or change, as ssh-agent and tmux
// ask of theirs.
bool usersOwn(const struct stat& st) {
  return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

// $XDG_RUNTIME_DIR where it is the user's own; else pelmodesk-UID under
// $TMPDIR or /tmp, made here if missing, never through a link. Empty, with
// `refused` set, where that one is not the user's own.
std::string runtimeDirectory(std::string& refused) {
  struct stat st {};
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  if (xdg && xdg[0] == '/' && ::stat(xdg, &st) == 0 && usersOwn(st)) return xdg;
  const char* tmp = std::getenv("TMPDIR");
  std::string directory = tmp && tmp[0] == '/' ? tmp : "/tmp";
  directory += "/pelmodesk-" + std::to_string(::getuid());
  if (::mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) return {};
  if (::lstat(directory.c_str(), &st) == 0 && usersOwn(st)) return directory;
  refused = directory;
  return {};
}

int unixSocket(int flags = 0) { return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | flags, 0); }

bool addressOf(const std::string& path, sockaddr_un& address) {
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

bool sameUser(int fd) {
  ucred peer{};
  socklen_t size = sizeof peer;
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid();
}

// What the holder of the claim says to a request: Answered, Unanswered (no
// word within the time) or Unclaimed (the socket is no copy of this user's).
// Not listening yet, or closed without a word (a copy that is ending): retry.
enum class Reply { Yes, Silent, Stranger, Closed };

Reply ask(const sockaddr_un& address, std::chrono::milliseconds patience) {
  // Non-blocking: a copy too busy to take connections (its backlog full)
  // is asked again rather than waited on past the patience.
  const int fd = unixSocket(SOCK_NONBLOCK);
  if (fd < 0) return Reply::Closed;
  Reply reply = Reply::Closed;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
    if (!sameUser(fd)) {
      reply = Reply::Stranger;
    } else {
      pollfd p{fd, POLLIN, 0};
      char answer = 0;
      const int ready = ::poll(&p, 1, static_cast<int>(patience.count()));
      if (ready == 0) reply = Reply::Silent;
      else if (ready > 0 && ::read(fd, &answer, 1) == 1 && answer == Agreed) reply = Reply::Yes;
    }
  }
  ::close(fd);
  return reply;
}

// The socket, in place of any a killed holder left; called under the lock.
int listenAt(const sockaddr_un& address) {
  ::unlink(address.sun_path);
  // Non-blocking: a request that is gone again by the time it is taken
  // must not hold the program up.
  const int fd = unixSocket(SOCK_NONBLOCK);
  if (fd < 0) return -1;
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 && ::listen(fd, 8) == 0) return fd;
  ::close(fd);
  return -1;
}

}  // namespace

DirectoryClaim::~DirectoryClaim() {
  // Nothing is left behind by a copy that ends normally; the lock goes
  // last, still held.
  if (listener_ >= 0) {
    ::unlink(socket_.c_str());
    ::unlink(lockFile_.c_str());
    ::close(listener_);
  }
  if (lock_ >= 0) ::close(lock_);
}

DirectoryClaim::Outcome DirectoryClaim::claim(std::string_view name, std::chrono::milliseconds patience) {
  struct stat settings {};
  if (!settingsDirectory(name, settings)) return Outcome::Unclaimed;
  const std::string directory = runtimeDirectory(refused_);
  if (directory.empty()) return Outcome::Unclaimed;
  char id[48];
  std::snprintf(id, sizeof id, "/pelmodesk-%llx-%llx", static_cast<unsigned long long>(settings.st_dev),
                static_cast<unsigned long long>(settings.st_ino));
  lockFile_ = directory + id + ".lock";
  socket_ = directory + id + ".socket";
  sockaddr_un address{};
  if (!addressOf(socket_, address)) return Outcome::Unclaimed;

  const auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    lock_ = ::open(lockFile_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lock_ < 0) return Outcome::Unclaimed;
    struct stat st {};
    const bool ours = ::fstat(lock_, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::getuid();
    // Held by a running copy, or no claim to be had here (no locks on this
    // file system, no socket): only the first is waited on.
    bool held = false;
    if (ours && ::flock(lock_, LOCK_EX | LOCK_NB) == 0) {
      // A copy that ended meanwhile removed the file this one locked: the
      // claim is made on the file of that name now.
      struct stat named {};
      if (::stat(lockFile_.c_str(), &named) != 0 || named.st_ino != st.st_ino || named.st_dev != st.st_dev) {
        ::close(lock_);
        lock_ = -1;
        continue;
      }
      listener_ = listenAt(address);
      if (listener_ >= 0) return Outcome::Claimed;
    } else {
      held = ours && errno == EWOULDBLOCK;
    }
    ::close(lock_);
    lock_ = -1;
    if (!held) return Outcome::Unclaimed;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return Outcome::Unanswered;
    switch (ask(address, left)) {
      case Reply::Yes: return Outcome::Answered;
      case Reply::Silent: return Outcome::Unanswered;
      case Reply::Stranger: return Outcome::Unclaimed;
      case Reply::Closed: break;
    }
    // The holder is starting or ending: its socket or its lock is there in
    // a moment, or gone.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

bool DirectoryClaim::takeRequest(bool willShow) {
  if (listener_ < 0) return false;
  const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
  if (fd < 0) return false;
  const bool request = sameUser(fd);
  if (request && willShow) {
    // The asker may have given up and gone: no SIGPIPE for that.
    const char answer = Agreed;
    (void)!::send(fd, &answer, 1, MSG_NOSIGNAL);
  }
  ::close(fd);
  return request;
}

}  // namespace platform::linux_
