#include "directory_claim.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

namespace platform::linux_ {
namespace {

constexpr char Agreed = 'y';

struct Address {
  sockaddr_un un{};
  socklen_t length = 0;
};

// The abstract name (a leading NUL) of this user's claim on the directory
// the settings file is written in: where its link points, or here.
bool addressOfSettingsDirectory(std::string_view file, Address& address) {
  std::string directory = ".";
  if (char* target = ::realpath(std::string(file).c_str(), nullptr)) {
    directory = target;
    std::free(target);
    directory.erase(directory.rfind('/') + 1);
  }
  struct stat here {};
  if (::stat(directory.c_str(), &here) != 0) return false;
  const std::string name = "pelmodesk/" + std::to_string(::getuid()) + "/" + std::to_string(here.st_dev) + ":" +
                           std::to_string(here.st_ino);
  address.un.sun_family = AF_UNIX;
  std::memcpy(address.un.sun_path + 1, name.data(), name.size());
  address.length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  return true;
}

int unixSocket(int flags = 0) { return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | flags, 0); }

// What the holder of the name says to a request: Answered, Unanswered (no
// word within the time) or Unclaimed (the holder is no copy of this user).
// Closed without a word (a copy that is ending): retry.
enum class Reply { Yes, Silent, Stranger, Closed };

Reply ask(const Address& address, std::chrono::milliseconds patience) {
  // Non-blocking: a copy too busy to take connections (its backlog full)
  // is asked again rather than waited on past the patience.
  const int fd = unixSocket(SOCK_NONBLOCK);
  if (fd < 0) return Reply::Closed;
  Reply reply = Reply::Closed;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address.un), address.length) == 0) {
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != ::getuid()) {
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

}  // namespace

DirectoryClaim::~DirectoryClaim() {
  if (listener_ >= 0) ::close(listener_);
}

DirectoryClaim::Outcome DirectoryClaim::claim(std::string_view name, std::chrono::milliseconds patience) {
  Address address;
  if (!addressOfSettingsDirectory(name, address)) return Outcome::Unclaimed;
  const auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    // Non-blocking: a request that is gone again by the time it is taken
    // must not hold the program up.
    const int fd = unixSocket(SOCK_NONBLOCK);
    if (fd < 0) return Outcome::Unclaimed;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address.un), address.length) == 0 && ::listen(fd, 8) == 0) {
      listener_ = fd;
      return Outcome::Claimed;
    }
    const int error = errno;
    ::close(fd);
    if (error != EADDRINUSE) return Outcome::Unclaimed;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return Outcome::Unanswered;
    switch (ask(address, left)) {
      case Reply::Yes: return Outcome::Answered;
      case Reply::Silent: return Outcome::Unanswered;
      case Reply::Stranger: return Outcome::Unclaimed;
      case Reply::Closed: break;
    }
    // The holder is ending: its name is free in a moment.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

bool DirectoryClaim::takeRequest(bool willShow) {
  if (listener_ < 0) return false;
  const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
  if (fd < 0) return false;
  if (willShow) {
    // The asker may have given up and gone: no SIGPIPE for that.
    const char answer = Agreed;
    (void)!::send(fd, &answer, 1, MSG_NOSIGNAL);
  }
  ::close(fd);
  return true;
}

}  // namespace platform::linux_
