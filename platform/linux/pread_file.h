// A kernel file (procfs, sysfs) kept open for the whole run and read from
// its start with one pread per sample.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform::linux_ {

class PreadFile {
 public:
  // Text beyond `capacity` bytes is cut off: what the readers need stands
  // at the start of their files.
  explicit PreadFile(std::string path, size_t capacity = 4096) : path_(std::move(path)), buffer_(capacity) {}
  PreadFile(const PreadFile&) = delete;
  PreadFile& operator=(const PreadFile&) = delete;
  ~PreadFile();

  // The file's text, or an empty view when it cannot be read (or is no file
  // that can be read from its start). Valid until the next read. A file that
  // could not be opened is tried again.
  std::string_view read();
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::vector<char> buffer_;
  int fd_ = -1;
};

}  // namespace platform::linux_
