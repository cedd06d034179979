#include "start_limits.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace platform::linux_ {
namespace {

bool limited(int resource) {
  rlimit limit{};
  return ::getrlimit(resource, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY;
}

// Which limit a failure to map memory or start a thread ran into.
Shortage memoryShortage() {
  if (limited(RLIMIT_AS)) return Shortage::AddressSpace;
  return limited(RLIMIT_DATA) ? Shortage::Data : Shortage::Unknown;
}

extern "C" void* waitForRelease(void* release) {
  char byte;
  while (::read(*static_cast<int*>(release), &byte, 1) < 0 && errno == EINTR) {
  }
  return nullptr;
}

extern "C" void* endAtOnce(void*) { return nullptr; }

}  // namespace

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

Shortage StartupShortage(int threads, std::size_t bytes) {
  // Writable and private, as the heap and thread stacks are, so that it
  // counts against both memory limits; never touched, so it costs nothing.
  void* memory = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (memory == MAP_FAILED) return memoryShortage();
  int release[2];
  if (::pipe2(release, O_CLOEXEC) != 0) {
    ::munmap(memory, bytes);
    return Shortage::Unknown;
  }
  std::vector<pthread_t> started;
  int error = 0;
  while (static_cast<int>(started.size()) < threads) {
    pthread_t thread;
    error = ::pthread_create(&thread, nullptr, waitForRelease, &release[0]);
    if (error != 0) break;
    started.push_back(thread);
  }
  // Each thread's stack is memory too: where one with a small stack still
  // starts beside the others, memory was what ran out.
  bool smallStarts = false;
  if (error != 0) {
    pthread_attr_t small;
    pthread_t thread;
    ::pthread_attr_init(&small);
    ::pthread_attr_setstacksize(&small, 64 * 1024);
    smallStarts = ::pthread_create(&thread, &small, endAtOnce, nullptr) == 0;
    ::pthread_attr_destroy(&small);
    if (smallStarts) ::pthread_join(thread, nullptr);
  }
  ::close(release[1]);  // every thread's read ends
  for (const pthread_t thread : started) ::pthread_join(thread, nullptr);
  ::close(release[0]);
  ::munmap(memory, bytes);
  if (error == 0) return Shortage::None;
  if (smallStarts) return memoryShortage();
  return limited(RLIMIT_NPROC) ? Shortage::Processes : Shortage::Unknown;
}

}  // namespace platform::linux_
