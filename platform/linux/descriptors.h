// Whether the process can open as many files at once as the program needs.
// Under a very low limit (ulimit -n) Qt and its libraries fail at scattered
// places, some with abort(); the program checks first and says so instead.
#pragma once

namespace platform::linux_ {

// How many more descriptors the process would need to have `count` free at
// once: 0 when it has them. It takes them for a moment, so descriptors
// inherited from the parent count as taken.
int DescriptorShortfall(int count);

// The process's limit on open descriptors (the soft one).
long DescriptorLimit();

}  // namespace platform::linux_
