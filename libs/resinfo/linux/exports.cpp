// libresinfo.so: the statistics library, measured from /proc. Each call
// reads each file it needs once; the library is used from one thread.
#include <chrono>
#include <optional>

#include "pread_file.h"
#include "proc_parse.h"
#include "resinfo.h"

namespace {

using namespace resinfo;
using platform::linux_::PreadFile;

// /proc/stat grows with the number of CPUs and interrupts; the all-CPU line
// stands first, and the per-CPU lines fit in the first 16 KiB even on large
// machines.
PreadFile statFile{"/proc/stat", 16384};
PreadFile meminfoFile{"/proc/meminfo"};
PreadFile loadavgFile{"/proc/loadavg"};
PreadFile fileNrFile{"/proc/sys/fs/file-nr"};
PreadFile threadsMaxFile{"/proc/sys/kernel/threads-max"};
PreadFile pidMaxFile{"/proc/sys/kernel/pid_max"};

// The two latest CPU snapshots. Before the first, the counters stand at
// zero, so the first usage is the average since boot.
CpuTimes previousCpu, latestCpu;
std::uint8_t cpuBusy = 0;

// The last good readings: a file that cannot be read repeats them, and
// before any good reading the system counts as idle and free, and the
// reading as not known (a /proc that hides the kernel's files, as one
// mounted with subset=pid, never gives one).
std::uint8_t memoryFree = 100;
ResourceLevels resourcesFree{100, 100, 100};
std::uint8_t known = 0;

using Clock = std::chrono::steady_clock;

// The task limits are sysctl settings that hardly ever change: they are
// read again every ten seconds, not at every sample.
constexpr auto LimitsReuse = std::chrono::seconds(10);
Clock::time_point limitsReadAt;
bool limitsRead = false;
std::optional<std::uint64_t> threadsMax, pidMax;

// The task and open-file tables fill over minutes, not half seconds, and
// each read of a kernel file costs the whole system a little: each count is
// taken again every five seconds, the two half a period apart, so that no
// sample reads more than the CPU and memory files and one of these.
constexpr auto TableReuse = std::chrono::seconds(5);
std::optional<Clock::time_point> tasksDue, filesDue;  // none yet: due now
std::optional<std::uint64_t> tasks;
std::optional<FileTable> files;

}  // namespace

extern "C" {

void GetResInfo(uint8_t* level, uint8_t* tasksFree, uint8_t* filesFree) {
  const Clock::time_point now = Clock::now();
  if (!limitsRead || now - limitsReadAt >= LimitsReuse) {
    threadsMax = ParseNumber(threadsMaxFile.read());
    pidMax = ParseNumber(pidMaxFile.read());
    limitsRead = true;
    limitsReadAt = now;
  }
  if (!tasksDue || now >= *tasksDue) {
    tasks = ParseTaskCount(loadavgFile.read());
    tasksDue = now + TableReuse;
  }
  if (!filesDue || now >= *filesDue) {
    files = ParseFileNr(fileNrFile.read());
    filesDue = now + (filesDue ? TableReuse : TableReuse / 2);
  }
  const auto levels = ResourceFreeLevels(tasks, threadsMax, pidMax, files);
  if (levels) {
    resourcesFree = *levels;
    known |= RESINFO_RESOURCES;
  }
  *level = resourcesFree.overall;
  *tasksFree = resourcesFree.tasks;
  *filesFree = resourcesFree.files;
}

void GetCpuStart(void) {
  if (const auto now = ParseCpuTimes(statFile.read())) {
    previousCpu = latestCpu;
    latestCpu = *now;
    known |= RESINFO_CPU;
  }
}

uint8_t GetCpuUsage(void) {
  cpuBusy = BusyPercent(previousCpu, latestCpu, cpuBusy);
  return cpuBusy;
}

uint8_t MemoryLoad(void) {
  if (const auto free = MemoryFreePercent(ParseMemInfo(meminfoFile.read()))) {
    memoryFree = *free;
    known |= RESINFO_MEMORY;
  }
  return memoryFree;
}

uint8_t ReadingsKnown(void) { return known; }

}  // extern "C"
