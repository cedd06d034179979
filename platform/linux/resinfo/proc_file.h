// A kernel statistics file kept open for the whole run and read from its
// start with one pread per sample.
#pragma once

#include <string_view>

namespace resinfo {

class ProcFile {
 public:
  explicit ProcFile(const char* path) : path_(path) {}
  ProcFile(const ProcFile&) = delete;
  ProcFile& operator=(const ProcFile&) = delete;
  ~ProcFile();

  // The file's text, or an empty view when it cannot be read. Valid until
  // the next read.
  std::string_view read();

 private:
  const char* path_;
  int fd_ = -1;
  // /proc/stat grows with the number of CPUs and interrupts; what we need
  // stands at its start, so a longer file is simply cut here.
  char buffer_[16384];
};

}  // namespace resinfo
