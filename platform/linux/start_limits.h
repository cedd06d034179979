// Whether the process may have what the program needs to run: open files,
// threads and memory. Under a very low limit Qt and its libraries fail at
// scattered places, some with abort() and one by waiting for ever for a
// thread that never started; the program checks first and says so instead.
#pragma once

#include <cstddef>

namespace platform::linux_ {

// How many more descriptors the process would need to have `count` free at
// once: 0 when it has them. It takes them for a moment, so descriptors
// inherited from the parent count as taken.
int DescriptorShortfall(int count);

// The process's limit on open descriptors (the soft one).
long DescriptorLimit();

// The limit that keeps the process from having `threads` more threads
// (with stacks of the default size) and `bytes` more memory besides, all at
// once; found by taking them for a moment.
enum class Shortage {
  None,
  Processes,     // ulimit -u: the user's processes and threads
  AddressSpace,  // ulimit -v
  Data,          // ulimit -d
  Unknown,       // none of those is set, and still there was no room
};
Shortage StartupShortage(int threads, std::size_t bytes);

}  // namespace platform::linux_
