// Why a file could not be read or written, in kinds a user is told in
// Japanese; whatever else the system says is passed on in its own words.
// Each backend maps its own error codes to these kinds.
#pragma once

#include <string>

namespace platform {

struct FileProblem {
  enum class Kind {
    None,  // no problem: the operation succeeded
    NotFound,
    PermissionDenied,
    ReadOnlyFile,        // the file itself is marked read-only
    ReadOnlyFileSystem,
    NoSpace,
    IsADirectory,
    NotARegularFile,     // a FIFO, a socket, a device
    TooLarge,            // larger than any settings file can be
    LinkLoop,            // symbolic links that lead round in a circle
    Other,
  };
  Kind kind = Kind::None;
  std::string systemText;  // the system's own words, shown for Other

  bool failed() const { return kind != Kind::None; }
};

// The reason in Japanese for the common kinds, the system's words otherwise.
std::string ReasonText(const FileProblem& problem);

}  // namespace platform
