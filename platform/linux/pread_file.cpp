#include "pread_file.h"

#include <fcntl.h>
#include <unistd.h>

namespace platform::linux_ {

PreadFile::~PreadFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::string_view PreadFile::read() {
  // Never held up: a FIFO in a kernel file's place (a bind mount over
  // /proc) reads as nothing instead of blocking the program in open.
  if (fd_ < 0) fd_ = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd_ < 0) return {};
  const ssize_t n = ::pread(fd_, buffer_.data(), buffer_.size(), 0);
  if (n <= 0) return {};
  return {buffer_.data(), static_cast<size_t>(n)};
}

}  // namespace platform::linux_
