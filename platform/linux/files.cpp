#include "files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform::linux_ {
namespace {

constexpr size_t Largest = 1 << 20;

struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

FileRead ReadWholeFile(std::string_view name) {
  Fd file{::open(std::string(name).c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) {
    if (errno == ENOENT) return {FileRead::Status::Missing, {}, {}};
    return {FileRead::Status::Failed, {}, std::strerror(errno)};
  }
  std::string text;
  char chunk[4096];
  for (;;) {
    const ssize_t n = ::read(file.fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return {FileRead::Status::Failed, {}, std::strerror(errno)};
    if (n == 0) break;
    text.append(chunk, static_cast<size_t>(n));
    if (text.size() > Largest) return {FileRead::Status::Failed, {}, "larger than 1 MiB"};
  }
  return {FileRead::Status::Ok, std::move(text), {}};
}

std::string ReplaceWholeFile(std::string_view name, std::string_view bytes) {
  std::string temporary = std::string(name) + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return std::strerror(errno);
  Fd file{fd};
  const char* at = bytes.data();
  size_t left = bytes.size();
  std::string failure;
  while (left > 0 && failure.empty()) {
    const ssize_t n = ::write(fd, at, left);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) failure = std::strerror(errno);
    at += n > 0 ? n : 0;
    left -= n > 0 ? static_cast<size_t>(n) : 0;
  }
  // The file keeps the permissions a new file would get, not mkstemp's 0600.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  if (failure.empty() && ::fchmod(fd, 0666 & ~mask) != 0) failure = std::strerror(errno);
  if (failure.empty() && ::fsync(fd) != 0) failure = std::strerror(errno);
  if (::close(file.fd) != 0 && failure.empty()) failure = std::strerror(errno);
  file.fd = -1;
  if (failure.empty() && ::rename(temporary.c_str(), std::string(name).c_str()) != 0) failure = std::strerror(errno);
  if (!failure.empty()) {
    ::unlink(temporary.c_str());
    return failure;
  }
  // The rename itself reaches the disk with the directory.
  Fd directory{::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (directory.fd >= 0) ::fsync(directory.fd);
  return {};
}

}  // namespace platform::linux_
