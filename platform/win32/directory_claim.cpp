#include "directory_claim.h"

#include <cstdio>
#include <string>
#include <vector>

#include "note.h"
#include "texts.h"
#include "win32_window.h"

namespace platform::win32 {
namespace {

// FNV-1a, 64 bits, over the upper-cased text.
std::uint64_t folded(std::vector<wchar_t> text) {
  CharUpperW(text.data());
  std::uint64_t key = 14695981039346656037u;
  for (const wchar_t* c = text.data(); *c; ++c) key = (key ^ static_cast<std::uint16_t>(*c)) * 1099511628211u;
  return key;
}

// The final path of an open directory (links and short names resolved),
// folded; 0 before Windows Vista.
std::uint64_t finalPathKey(HANDLE directory) {
  using FinalPath = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
  const auto finalPath = reinterpret_cast<FinalPath>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetFinalPathNameByHandleW")));
  const DWORD length = finalPath ? finalPath(directory, nullptr, 0, 0) : 0;
  std::vector<wchar_t> path(length + 1);
  return length && finalPath(directory, path.data(), length + 1, 0) ? folded(std::move(path)) : 0;
}

// The claim's name: the current directory's identity, its volume's serial
// number and its file index, the same however the directory was reached
// (other case, a short 8.3 name, a link or junction, a \\?\ path) and
// never another directory's. Wine gives serial 0 to every file system that
// no drive letter stands for, where the index alone would join two: there
// the folded final path is added. Where the file system gives no identity
// the folded long path stands in, and the start says so.
std::wstring directoryName() {
  const HANDLE directory = CreateFileW(L".", 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  BY_HANDLE_FILE_INFORMATION info{};
  const bool identified = directory != INVALID_HANDLE_VALUE && GetFileInformationByHandle(directory, &info) &&
                          (info.nFileIndexHigh | info.nFileIndexLow) != 0;
  wchar_t name[80];
  if (identified)
    std::swprintf(name, 80, L"pelmodesk-%08lx-%08lx%08lx-%016llx", info.dwVolumeSerialNumber,
                  info.nFileIndexHigh, info.nFileIndexLow,
                  info.dwVolumeSerialNumber ? 0ull : static_cast<unsigned long long>(finalPathKey(directory)));
  if (directory != INVALID_HANDLE_VALUE) CloseHandle(directory);
  if (identified) return name;
  WriteNote(texts::DirectoryUnidentified);
  const DWORD length = GetCurrentDirectoryW(0, nullptr);
  std::vector<wchar_t> path(length + 1);
  if (!GetCurrentDirectoryW(length + 1, path.data())) path = {L'.', 0};
  std::vector<wchar_t> longPath(GetLongPathNameW(path.data(), nullptr, 0) + 1);
  if (GetLongPathNameW(path.data(), longPath.data(), static_cast<DWORD>(longPath.size())) == 0) longPath = path;
  std::swprintf(name, 80, L"pelmodesk-path-%016llx", static_cast<unsigned long long>(folded(longPath)));
  return name;
}

struct Asking {
  std::uint32_t key;
  bool answered = false;
};

BOOL CALLBACK ask(HWND window, LPARAM state) {
  auto& asking = *reinterpret_cast<Asking*>(state);
  wchar_t name[32];
  if (!GetClassNameW(window, name, 32) || lstrcmpW(name, WindowClassName) != 0) return TRUE;
  // The running copy brings its window to the front while it answers; only
  // the program the user just started may let it take the foreground.
  DWORD running = 0;
  if (GetWindowThreadProcessId(window, &running)) AllowSetForegroundWindow(running);
  DWORD_PTR answer = 0;
  if (SendMessageTimeoutW(window, DirectoryClaim::RequestMessage(), 0, static_cast<LPARAM>(asking.key),
                          SMTO_ABORTIFHUNG, 1000, &answer) &&
      answer == 1)
    asking.answered = true;
  return !asking.answered;
}

}  // namespace

UINT DirectoryClaim::RequestMessage() {
  static const UINT message = RegisterWindowMessageW(L"pelmodesk: started again here");
  return message;
}

DirectoryClaim::~DirectoryClaim() {
  if (key_) GlobalDeleteAtom(static_cast<ATOM>(key_));
  if (!mutex_) return;
  ReleaseMutex(mutex_);
  CloseHandle(mutex_);
}

DirectoryClaim::Outcome DirectoryClaim::claim(DWORD patience) {
  const std::wstring name = directoryName();
  // Requests name the directory by the atom of the same name: one number
  // for one name, for as long as someone holds it.
  key_ = GlobalAddAtomW(name.c_str());
  mutex_ = CreateMutexW(nullptr, TRUE, (L"Local\\" + name).c_str());
  // No mutex at all: run regardless, as without a claim.
  if (!mutex_ || GetLastError() != ERROR_ALREADY_EXISTS) return Outcome::Claimed;
  const DWORD start = GetTickCount();
  for (;;) {
    Asking asking{key_};
    EnumWindows(ask, reinterpret_cast<LPARAM>(&asking));
    if (asking.answered) return Outcome::Answered;
    const DWORD waited = WaitForSingleObject(mutex_, 200);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) return Outcome::Claimed;
    if (GetTickCount() - start >= patience) return Outcome::Unanswered;
  }
}

}  // namespace platform::win32
