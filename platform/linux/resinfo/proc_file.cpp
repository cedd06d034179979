#include "proc_file.h"

#include <fcntl.h>
#include <unistd.h>

namespace resinfo {

ProcFile::~ProcFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::string_view ProcFile::read() {
  if (fd_ < 0) fd_ = ::open(path_, O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return {};
  const ssize_t n = ::pread(fd_, buffer_, sizeof buffer_, 0);
  if (n <= 0) return {};
  return {buffer_, static_cast<size_t>(n)};
}

}  // namespace resinfo
