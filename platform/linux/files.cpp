#include "files.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <string>

#include "file_names.h"

namespace platform::linux_ {
namespace {

constexpr size_t Largest = 1 << 20;

struct Fd {
  int fd = -1;
  explicit Fd(int opened) : fd(opened) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

FileProblem failure(FileProblem::Kind kind) { return {kind, {}}; }

// The file a chain of symbolic links ends at (which need not exist yet).
struct Resolved {
  std::string directory, base;
  int error = 0;
};

Resolved resolveLinks(std::string path) {
  for (int hops = 0;; ++hops) {
    char target[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
    if (n < 0 && errno != EINVAL && errno != ENOENT) return {{}, {}, errno};
    if (n < 0) break;  // not a link, or nothing there yet
    if (static_cast<size_t>(n) == sizeof target) return {{}, {}, ENAMETOOLONG};
    if (hops == 40) return {{}, {}, ELOOP};
    const std::string link(target, static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    path = link.starts_with('/') || slash == std::string::npos ? link : path.substr(0, slash + 1) + link;
  }
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path, 0};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1), 0};
}

std::string randomName() {
  static constexpr char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<size_t> pick(0, sizeof letters - 2);
  std::string name(6, ' ');
  for (char& c : name) c = letters[pick(generator)];
  return name;
}

// Temporary files of earlier saves that a kill left behind.
void removeStaleTemporaries(int directory, const std::string& base) {
  const int listing = ::openat(directory, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing < 0) return;
  DIR* entries = ::fdopendir(listing);
  if (!entries) {
    ::close(listing);
    return;
  }
  while (const dirent* entry = ::readdir(entries))
    if (IsTemporaryOf(base, entry->d_name)) ::unlinkat(directory, entry->d_name, 0);
  ::closedir(entries);
}

FileProblem writeAll(int fd, std::string_view bytes, mode_t mode) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ProblemOf(errno);
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0) return ProblemOf(errno);
  return {};
}

// The complete temporary file under a name of the program's own: an
// unnamed file linked in once it is on the disk, or a named one.
FileProblem writeTemporary(int directory, const std::string& base, std::string_view bytes, mode_t mode,
                           std::string& temporary) {
  Fd unnamed{::openat(directory, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600)};
  if (unnamed.fd >= 0) {
    if (const FileProblem p = writeAll(unnamed.fd, bytes, mode); p.failed()) return p;
    const std::string self = "/proc/self/fd/" + std::to_string(unnamed.fd);
    for (int attempt = 0; attempt < 10; ++attempt) {
      temporary = TemporaryNameOf(base, randomName());
      if (::linkat(AT_FDCWD, self.c_str(), directory, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0) return {};
      if (errno != EEXIST) break;
    }
    // No /proc: the named way below.
  }
  // Without unnamed files (or where they fail: some file systems say EPERM
  // in a deleted directory) a named one, whose failure is the one reported.
  for (int attempt = 0;; ++attempt) {
    temporary = TemporaryNameOf(base, randomName());
    Fd named{::openat(directory, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)};
    if (named.fd < 0 && errno == EEXIST && attempt < 10) continue;
    if (named.fd < 0) return ProblemOf(errno);
    FileProblem p = writeAll(named.fd, bytes, mode);
    if (!p.failed() && ::close(named.fd) != 0) p = ProblemOf(errno);
    named.fd = -1;
    if (p.failed()) ::unlinkat(directory, temporary.c_str(), 0);
    return p;
  }
}

// The old file under a second name of the program's own, the first step of
// keeping it as the backup: a hard link, or where the file system has none
// (FAT, some network file systems) a copy, complete on the disk. The file
// keeps its own name meanwhile: a kill at any step leaves it in place.
FileProblem secondName(int directory, const std::string& base, std::string& name) {
  for (int attempt = 0; attempt < 10; ++attempt) {
    name = TemporaryNameOf(base, randomName());
    if (::linkat(directory, base.c_str(), directory, name.c_str(), 0) == 0) return {};
    if (errno != EEXIST) break;
  }
  if (errno == ENOENT) return failure(FileProblem::Kind::NotFound);
  Fd old{::openat(directory, base.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC)};
  struct stat st {};
  if (old.fd < 0 || ::fstat(old.fd, &st) != 0) return ProblemOf(errno);
  name = TemporaryNameOf(base, randomName());
  Fd copy{::openat(directory, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)};
  if (copy.fd < 0) return ProblemOf(errno);
  ssize_t n = 0;
  while ((n = ::sendfile(copy.fd, old.fd, nullptr, 1 << 20)) > 0) {
  }
  if (n < 0 || ::fchmod(copy.fd, st.st_mode & 07777) != 0 || ::fsync(copy.fd) != 0) {
    const FileProblem p = ProblemOf(errno);
    ::unlinkat(directory, name.c_str(), 0);
    return p;
  }
  return {};
}

}  // namespace

FileProblem ProblemOf(int error) {
  using Kind = FileProblem::Kind;
  switch (error) {
    case ENOENT: return failure(Kind::NotFound);
    case EACCES:
    case EPERM: return failure(Kind::PermissionDenied);
    case EROFS: return failure(Kind::ReadOnlyFileSystem);
    case ENOSPC:
    case EDQUOT: return failure(Kind::NoSpace);
    case EISDIR: return failure(Kind::IsADirectory);
    case ENXIO: return failure(Kind::NotARegularFile);  // a socket, or a device without its driver
    case ELOOP: return failure(Kind::LinkLoop);
    case EFBIG: return failure(Kind::TooLarge);
    default: return {Kind::Other, std::strerror(error)};
  }
}

FileRead ReadWholeFile(std::string_view name) {
  // Without O_NONBLOCK a FIFO would hold the start up until a writer came.
  Fd file{::open(std::string(name).c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
  if (file.fd < 0) {
    const int error = errno;
    if (error == ENOENT) return {FileRead::Status::Missing, {}, {}};
    if (error == EMFILE || error == ENFILE || error == ENOMEM) {
      // Whether anything is there at all, stat can say without a descriptor.
      struct stat st {};
      if (::stat(std::string(name).c_str(), &st) != 0 && errno == ENOENT) return {FileRead::Status::Missing, {}, {}};
      return {FileRead::Status::Unavailable, {}, ProblemOf(error)};
    }
    return {FileRead::Status::Failed, {}, ProblemOf(error)};
  }
  struct stat st {};
  if (::fstat(file.fd, &st) != 0) return {FileRead::Status::Failed, {}, ProblemOf(errno)};
  if (S_ISDIR(st.st_mode)) return {FileRead::Status::Failed, {}, failure(FileProblem::Kind::IsADirectory)};
  if (!S_ISREG(st.st_mode)) return {FileRead::Status::Failed, {}, failure(FileProblem::Kind::NotARegularFile)};
  std::string text;
  char chunk[4096];
  for (;;) {
    const ssize_t n = ::read(file.fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return {FileRead::Status::Failed, {}, ProblemOf(errno)};
    if (n == 0) break;
    text.append(chunk, static_cast<size_t>(n));
    if (text.size() > Largest) return {FileRead::Status::Failed, {}, failure(FileProblem::Kind::TooLarge)};
  }
  return {FileRead::Status::Ok, std::move(text), {}};
}

FileProblem ReplaceWholeFile(std::string_view name, std::string_view bytes, OldFile old) {
  // A link stays a link: the file it points to is the one replaced.
  const Resolved target = resolveLinks(std::string(name));
  if (target.error) return ProblemOf(target.error);
  Fd directory{::open(target.directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (directory.fd < 0) directory.fd = ::open(target.directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (directory.fd < 0) return ProblemOf(errno);
  const char* base = target.base.c_str();

  const mode_t mask = ::umask(0);
  ::umask(mask);
  mode_t mode = 0666 & ~mask;
  struct stat st {};
  if (::fstatat(directory.fd, base, &st, AT_SYMLINK_NOFOLLOW) == 0) {
    if (S_ISDIR(st.st_mode)) return failure(FileProblem::Kind::IsADirectory);
    if (!S_ISREG(st.st_mode)) return failure(FileProblem::Kind::NotARegularFile);
    // A file its owner made read-only is not replaced behind their back,
    // not even by root, who could.
    if ((st.st_mode & 0222) == 0) return failure(FileProblem::Kind::ReadOnlyFile);
    if (::faccessat(directory.fd, base, W_OK, AT_EACCESS) != 0)
      return errno == EACCES ? failure(FileProblem::Kind::ReadOnlyFile) : ProblemOf(errno);
    mode = st.st_mode & 07777;  // a private file stays private
  } else if (errno != ENOENT) {
    return ProblemOf(errno);
  }

  removeStaleTemporaries(directory.fd, target.base);
  std::string temporary;
  if (const FileProblem p = writeTemporary(directory.fd, target.base, bytes, mode, temporary); p.failed()) return p;
  if (old == OldFile::KeepAsBackup) {
    // The backup takes its name (over any older one) while the file still
    // has its own: at every moment the file holds the old content or the
    // new one.
    std::string kept;
    FileProblem p = secondName(directory.fd, target.base, kept);
    if (!p.failed()) {
      if (::renameat(directory.fd, kept.c_str(), directory.fd, BackupNameOf(target.base).c_str()) != 0)
        p = ProblemOf(errno);
      // Gone once renamed; but a rename between two names of one file (the
      // backup of a save a kill cut short) leaves both.
      ::unlinkat(directory.fd, kept.c_str(), 0);
    }
    if (p.failed() && p.kind != FileProblem::Kind::NotFound) {  // nothing there any more: nothing to keep
      ::unlinkat(directory.fd, temporary.c_str(), 0);
      return p;
    }
  }
  if (::renameat(directory.fd, temporary.c_str(), directory.fd, base) != 0) {
    const FileProblem p = ProblemOf(errno);
    ::unlinkat(directory.fd, temporary.c_str(), 0);
    return p;
  }
  // The rename itself reaches the disk with the directory.
  ::fsync(directory.fd);
  return {};
}

}  // namespace platform::linux_
