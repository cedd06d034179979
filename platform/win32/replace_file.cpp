#include "replace_file.h"

#include <windows.h>

namespace platform::win32 {
namespace {

constexpr DWORD Largest = 1 << 20;

class Win32FileCalls final : public FileCalls {
 public:
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
  std::uint32_t moveOver(const std::string& from, const std::string& to) override {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 0
                                                                                                    : GetLastError();
  }
  void remove(const std::string& name) override { DeleteFileA(name.c_str()); }
};

// Six characters from the seed, as mkstemp would pick them.
std::string temporaryName(std::string_view name, std::uint32_t seed) {
  static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string result = std::string(name) + ".";
  for (int i = 0; i < 6; ++i) {
    result += Letters[seed % 36];
    seed = seed / 36 + (seed % 36) * 2654435761u;
  }
  return result;
}

}  // namespace

FileCalls& RealFileCalls() {
  static Win32FileCalls calls;
  return calls;
}

std::string ErrorText(std::uint32_t error) {
  switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return "Permission denied";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "No space left on device";
    case ERROR_WRITE_PROTECT: return "Read-only file system";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return "No such file or directory";
    default: return "Windows error " + std::to_string(error);
  }
}

std::string ReplaceWholeFile(FileCalls& calls, std::string_view name, std::string_view bytes, std::uint32_t seed) {
  std::string temporary;
  FileCalls::Handle file = nullptr;
  std::uint32_t error = ERROR_FILE_EXISTS;
  for (int attempt = 0; attempt < 100 && (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS); ++attempt) {
    temporary = temporaryName(name, seed + static_cast<std::uint32_t>(attempt) * 7919u);
    error = calls.createNew(temporary, file);
  }
  if (error) return ErrorText(error);
  error = calls.write(file, bytes);
  if (!error) error = calls.flush(file);
  const std::uint32_t closed = calls.close(file);
  if (!error) error = closed;
  if (!error) error = calls.moveOver(temporary, std::string(name));
  if (error) {
    calls.remove(temporary);
    return ErrorText(error);
  }
  return {};
}

FileRead ReadWholeFile(std::string_view name) {
  const HANDLE file = CreateFileA(std::string(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {FileRead::Status::Missing, {}, {}};
    return {FileRead::Status::Failed, {}, ErrorText(error)};
  }
  FileRead result{FileRead::Status::Ok, {}, {}};
  char chunk[4096];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file, chunk, sizeof chunk, &n, nullptr)) {
      result = {FileRead::Status::Failed, {}, ErrorText(GetLastError())};
      break;
    }
    if (n == 0) break;
    result.text.append(chunk, n);
    if (result.text.size() > Largest) {
      result = {FileRead::Status::Failed, {}, "larger than 1 MiB"};
      break;
    }
  }
  CloseHandle(file);
  return result;
}

}  // namespace platform::win32
