#include "directory_claim.h"

#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace platform::linux_ {
namespace {

using Clock = std::chrono::steady_clock;

constexpr char Agreed = 'y';
// Bells a copy may hang per directory: names another user took first are
// passed over, up to this many.
constexpr int Bells = 4;

int openDirectory(int at, const char* path) {
  const int fd = ::openat(at, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  // A directory the user may enter but not list still has an identity.
  return fd >= 0 ? fd : ::openat(at, path, O_PATH | O_DIRECTORY | O_CLOEXEC);
}

// The directory the settings file is written in: where a chain of symbolic
// links ends (the file need not exist yet), else the current directory.
// Each step is relative to the last, as the kernel follows links, so no
// path is ever longer than one link.
int openSettingsDirectory(std::string_view file) {
  int directory = openDirectory(AT_FDCWD, ".");
  std::string leaf(file);
  for (int hops = 0; directory >= 0 && hops < 40; ++hops) {
    char target[PATH_MAX];
    const ssize_t n = ::readlinkat(directory, leaf.c_str(), target, sizeof target);
    if (n <= 0 || static_cast<size_t>(n) == sizeof target) break;  // not a link, or nothing there yet
    const std::string link(target, static_cast<size_t>(n));
    const size_t slash = link.rfind('/');
    const std::string head = slash == std::string::npos ? "." : slash == 0 ? "/" : link.substr(0, slash);
    // A link into a directory that cannot be opened: the save fails there,
    // and the claim stays on the link's own directory.
    const int next = openDirectory(directory, head.c_str());
    if (next < 0) break;
    ::close(directory);
    directory = next;
    leaf = slash == std::string::npos ? link : link.substr(slash + 1);
  }
  return directory;
}

// Who holds the flock on the file `st` names, by the process /proc/locks
// lists for it: one this process may not signal is another user's, and
// one it may (root may signal anyone) is by the real user its status gives.
enum class Holder { Ours, Stranger, Unknown };

Holder userOf(long pid) {
  if (::kill(static_cast<pid_t>(pid), 0) != 0) return errno == EPERM ? Holder::Stranger : Holder::Unknown;
  const std::string path = "/proc/" + std::to_string(pid) + "/status";
  std::FILE* status = std::fopen(path.c_str(), "re");
  if (!status) return Holder::Ours;
  char line[128];
  unsigned user = ::getuid();
  while (std::fgets(line, sizeof line, status))
    if (std::sscanf(line, "Uid: %u", &user) == 1) break;
  std::fclose(status);
  return user == ::getuid() ? Holder::Ours : Holder::Stranger;
}

Holder lockHolder(const struct stat& st) {
  std::FILE* locks = std::fopen("/proc/locks", "re");
  if (!locks) return Holder::Unknown;
  // "1: FLOCK  ADVISORY  WRITE 4711 fd:01:1234567 0 EOF"; one waiting for
  // the lock reads "1: -> FLOCK ...". Some file systems (btrfs) show another
  // device there than stat does: the inode alone then decides.
  long pid = 0, inodeOnly = 0;
  char line[256];
  while (pid == 0 && std::fgets(line, sizeof line, locks)) {
    char kind[8] = {};
    long holder = 0;
    unsigned major = 0, minor = 0;
    unsigned long long inode = 0;
    if (std::sscanf(line, "%*d: %7s %*s %*s %ld %x:%x:%llu", kind, &holder, &major, &minor, &inode) != 5 ||
        std::strcmp(kind, "FLOCK") != 0 || inode != st.st_ino)
      continue;
    if (makedev(major, minor) == st.st_dev) pid = holder;
    else inodeOnly = holder;
  }
  std::fclose(locks);
  if (pid == 0) pid = inodeOnly;
  if (pid <= 0) return Holder::Unknown;  // gone meanwhile, or in a namespace out of sight
  return userOf(pid);
}

struct Bell {
  sockaddr_un address{};
  socklen_t length = 0;
};

// The name of bell `k` for the directory `st`, in the abstract namespace:
// no file, gone with the socket, the same for every start of this user.
Bell bellFor(const struct stat& st, int k) {
  Bell bell;
  bell.address.sun_family = AF_UNIX;
  const int n = std::snprintf(bell.address.sun_path + 1, sizeof bell.address.sun_path - 1, "pelmodesk/%u/%llx:%llx/%d",
                              static_cast<unsigned>(::getuid()), static_cast<unsigned long long>(st.st_dev),
                              static_cast<unsigned long long>(st.st_ino), k);
  bell.length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<size_t>(n));
  return bell;
}

int unixSocket(int flags = 0) { return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | flags, 0); }

bool sameUser(int fd) {
  ucred peer{};
  socklen_t size = sizeof peer;
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid();
}

// What ringing the bells below `upTo` brought: the first of this user's
// agreed, kept silent until the deadline, or closed without a word (a copy
// that is ending); or no bell of this user's hangs there.
enum class Reply { Yes, Silent, Closed, Nobody };

Reply ring(const struct stat& st, int upTo, Clock::time_point deadline) {
  for (int k = 0; k < upTo; ++k) {
    const Bell bell = bellFor(st, k);
    // Non-blocking: a bell whose queue is full (a copy too busy, or another
    // user's) is passed over rather than waited on past the deadline.
    const int fd = unixSocket(SOCK_NONBLOCK);
    if (fd < 0) return Reply::Nobody;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&bell.address), bell.length) != 0 || !sameUser(fd)) {
      ::close(fd);
      continue;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd p{fd, POLLIN, 0};
    char answer = 0;
    const int ready = ::poll(&p, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
    Reply reply = Reply::Closed;
    if (ready == 0) reply = Reply::Silent;
    else if (ready > 0 && ::read(fd, &answer, 1) == 1 && answer == Agreed) reply = Reply::Yes;
    ::close(fd);
    return reply;
  }
  return Reply::Nobody;
}

// Hangs the first bell nobody holds; sets `k` to its number.
int hang(const struct stat& st, int& k) {
  for (k = 0; k < Bells; ++k) {
    const Bell bell = bellFor(st, k);
    // Non-blocking: a request that is gone again by the time it is taken
    // must not hold the program up.
    const int fd = unixSocket(SOCK_NONBLOCK);
    if (fd < 0) return -1;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&bell.address), bell.length) == 0 &&
        ::listen(fd, SOMAXCONN) == 0)
      return fd;
    ::close(fd);
  }
  return -1;
}

}  // namespace

DirectoryClaim::~DirectoryClaim() {
  if (listener_ >= 0) ::close(listener_);
  if (directory_ >= 0) ::close(directory_);  // and the lock with it
}

DirectoryClaim::Outcome DirectoryClaim::claim(std::string_view name, std::chrono::milliseconds patience) {
  struct stat st {};
  directory_ = openSettingsDirectory(name);
  const auto end = [this](Outcome outcome) {
    if (outcome == Outcome::Claimed) return outcome;
    if (directory_ >= 0) ::close(directory_);
    directory_ = -1;
    return outcome;
  };
  if (directory_ < 0 || ::fstat(directory_, &st) != 0) return end(Outcome::Unclaimed);
  const auto deadline = Clock::now() + patience;
  for (;;) {
    const bool locked = ::flock(directory_, LOCK_EX | LOCK_NB) == 0;
    const int lockError = errno;
    // A copy of this user's that answers its bell runs here, whether it
    // holds the lock or, where there is none to be had, its bell alone.
    Reply reply = ring(st, Bells, deadline);
    if (reply == Reply::Nobody &&
        (locked || lockError != EWOULDBLOCK || lockHolder(st) == Holder::Stranger)) {
      int k = 0;
      listener_ = hang(st, k);
      if (listener_ < 0) return end(locked ? Outcome::Claimed : Outcome::Unclaimed);
      // Two starts at once: the one whose bell hangs lower runs.
      reply = ring(st, k, deadline);
      if (reply == Reply::Nobody) return end(Outcome::Claimed);
      ::close(listener_);
      listener_ = -1;
    }
    if (reply == Reply::Yes) return end(Outcome::Answered);
    if (reply == Reply::Silent) return end(Outcome::Unanswered);
    // The holder is starting or ending: its bell hangs in a moment, or the
    // lock is free.
    if (locked) ::flock(directory_, LOCK_UN);
    if (Clock::now() >= deadline) return end(Outcome::Unanswered);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

int DirectoryClaim::takeRequests(bool willShow) {
  int requests = 0;
  for (int taken = 0; listener_ >= 0 && taken < 64; ++taken) {
    const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) break;
    if (sameUser(fd)) {
      ++requests;
      // The asker may have given up and gone: no SIGPIPE for that.
      const char answer = Agreed;
      if (willShow) (void)!::send(fd, &answer, 1, MSG_NOSIGNAL);
    }
    ::close(fd);
  }
  return requests;
}

}  // namespace platform::linux_
