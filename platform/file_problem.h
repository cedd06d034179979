// Why a file could not be read or written, in kinds a user is told in
// Japanese; whatever else the system says is passed on in its own words.
// Each backend maps its own error codes to these kinds.
#pragma once

#include <string>
#include <string_view>

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
    Other,
  };
  Kind kind = Kind::None;
  std::string systemText;  // the system's own words, shown for Other

  bool failed() const { return kind != Kind::None; }
};

// The reason in Japanese for the common kinds, the system's words otherwise.
std::string ReasonText(const FileProblem& problem);

// Names beside a file that the program knows as its own: the temporary
// file a save writes first (`random` is made of letters and digits), and
// the copy kept of a file it could not read before replacing it.
std::string TemporaryNameOf(std::string_view name, std::string_view random);
bool IsTemporaryOf(std::string_view name, std::string_view entry);
std::string BackupNameOf(std::string_view name);

}  // namespace platform
