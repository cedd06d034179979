#include "descriptors.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <vector>

namespace platform::linux_ {

int DescriptorShortfall(int count) {
  std::vector<int> taken;
  if (const int first = ::open("/", O_PATH | O_CLOEXEC); first >= 0) taken.push_back(first);
  while (!taken.empty() && static_cast<int>(taken.size()) < count) {
    const int next = ::fcntl(taken.front(), F_DUPFD_CLOEXEC, 0);
    if (next < 0) break;
    taken.push_back(next);
  }
  for (const int fd : taken) ::close(fd);
  return count - static_cast<int>(taken.size());
}

long DescriptorLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return -1;
  return static_cast<long>(limit.rlim_cur);
}

}  // namespace platform::linux_
