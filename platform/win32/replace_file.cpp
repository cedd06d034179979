#include "replace_file.h"

#include <windows.h>

#include "file_names.h"

namespace platform::win32 {
namespace {

constexpr DWORD Largest = 1 << 20;

class Win32FileCalls final : public FileCalls {
 public:
  std::uint32_t attributes(const std::string& name) override { return GetFileAttributesA(name.c_str()); }
  std::uint32_t createNew(const std::string& name, Handle& file) override {
    file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? GetLastError() : 0;
  }
  std::uint32_t write(Handle file, std::string_view bytes) override {
    while (!bytes.empty()) {
      DWORD written = 0;
      if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) return GetLastError();
      if (written == 0) return ERROR_WRITE_FAULT;
      bytes.remove_prefix(written);
    }
    return 0;
  }
  std::uint32_t flush(Handle file) override { return FlushFileBuffers(file) ? 0 : GetLastError(); }
  std::uint32_t close(Handle file) override { return CloseHandle(file) ? 0 : GetLastError(); }
  std::uint32_t copyOver(const std::string& from, const std::string& to) override {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) ? 0 : GetLastError();
  }
  std::uint32_t moveOver(const std::string& from, const std::string& to) override {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 0
                                                                                                    : GetLastError();
  }
  void remove(const std::string& name) override { DeleteFileA(name.c_str()); }
  std::vector<std::string> namesStartingWith(const std::string& prefix) override {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((prefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    const std::string directory = prefix.substr(0, prefix.find_last_of("\\/:") + 1);
    do names.push_back(directory + found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
  }
};

// Six letters and digits from the seed, as mkstemp would pick them.
std::string randomPart(std::uint32_t seed) {
  static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string result;
  for (int i = 0; i < 6; ++i) {
    result += Letters[seed % 36];
    seed = seed / 36 + (seed % 36) * 2654435761u;
  }
  return result;
}

FileProblem failure(FileProblem::Kind kind) { return {kind, {}}; }

// What is at `name` that must not be replaced, if anything.
FileProblem refusal(std::uint32_t attributes) {
  if (attributes == INVALID_FILE_ATTRIBUTES) return {};
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return failure(FileProblem::Kind::IsADirectory);
  if (attributes & FILE_ATTRIBUTE_DEVICE) return failure(FileProblem::Kind::NotARegularFile);
  // A file its owner made read-only is not replaced behind their back
  // (MoveFileEx would).
  if (attributes & FILE_ATTRIBUTE_READONLY) return failure(FileProblem::Kind::ReadOnlyFile);
  return {};
}

}  // namespace

FileCalls& RealFileCalls() {
  static Win32FileCalls calls;
  return calls;
}

FileProblem ProblemOf(std::uint32_t error) {
  using Kind = FileProblem::Kind;
  switch (error) {
    case 0: return {};
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return failure(Kind::NotFound);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return failure(Kind::PermissionDenied);
    case ERROR_WRITE_PROTECT: return failure(Kind::ReadOnlyFileSystem);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return failure(Kind::NoSpace);
    case ERROR_DIRECTORY: return failure(Kind::IsADirectory);
    default: return {Kind::Other, ErrorText(error)};
  }
}

std::string ErrorText(std::uint32_t error) {
  char words[256] = "";
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, words,
                                 sizeof words, nullptr);
  std::string text(words, n);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  if (text.empty()) text = "Windows error " + std::to_string(error);
  return text;
}

FileProblem ReplaceWholeFile(FileCalls& calls, std::string_view name, std::string_view bytes, OldFile old,
                             std::uint32_t seed) {
  const std::string target(name);
  if (const FileProblem refused = refusal(calls.attributes(target)); refused.failed()) return refused;
  // No other copy saves in this directory now (one copy per directory), and
  // one that did would hold its temporary open, unshared, so that it could
  // not be removed.
  for (const std::string& stale : calls.namesStartingWith(TemporaryNameOf(name, "")))
    if (IsTemporaryOf(target, stale)) calls.remove(stale);
  std::string temporary;
  FileCalls::Handle file = nullptr;
  std::uint32_t error = ERROR_FILE_EXISTS;
  for (int attempt = 0; attempt < 100 && (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS); ++attempt) {
    temporary = TemporaryNameOf(name, randomPart(seed + static_cast<std::uint32_t>(attempt) * 7919u));
    error = calls.createNew(temporary, file);
  }
  if (error) return ProblemOf(error);
  error = calls.write(file, bytes);
  if (!error) error = calls.flush(file);
  const std::uint32_t closed = calls.close(file);
  if (!error) error = closed;
  if (!error && old == OldFile::KeepAsBackup) {
    // Copied, not moved: the file keeps its name until the new one takes
    // it, so a kill in between leaves the old content there.
    error = calls.copyOver(target, BackupNameOf(name));
    if (error == ERROR_FILE_NOT_FOUND) error = 0;
  }
  if (!error) error = calls.moveOver(temporary, target);
  if (error) {
    calls.remove(temporary);
    return ProblemOf(error);
  }
  return {};
}

FileRead ReadWholeFile(std::string_view name) {
  const std::string path(name);
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return {FileRead::Status::Failed, {}, failure(FileProblem::Kind::IsADirectory)};
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {FileRead::Status::Missing, {}, {}};
    if (error == ERROR_TOO_MANY_OPEN_FILES || error == ERROR_NOT_ENOUGH_MEMORY || error == ERROR_OUTOFMEMORY)
      return {attributes == INVALID_FILE_ATTRIBUTES ? FileRead::Status::Missing : FileRead::Status::Unavailable, {},
              ProblemOf(error)};
    return {FileRead::Status::Failed, {}, ProblemOf(error)};
  }
  FileRead result{FileRead::Status::Ok, {}, {}};
  // A device (CON, COM1, a pipe) is no settings file, and reading it could
  // hold the start up.
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return {FileRead::Status::Failed, {}, failure(FileProblem::Kind::NotARegularFile)};
  }
  char chunk[4096];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file, chunk, sizeof chunk, &n, nullptr)) {
      result = {FileRead::Status::Failed, {}, ProblemOf(GetLastError())};
      break;
    }
    if (n == 0) break;
    result.text.append(chunk, n);
    if (result.text.size() > Largest) {
      result = {FileRead::Status::Failed, {}, failure(FileProblem::Kind::TooLarge)};
      break;
    }
  }
  CloseHandle(file);
  return result;
}

}  // namespace platform::win32
