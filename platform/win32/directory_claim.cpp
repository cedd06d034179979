#include "directory_claim.h"

#include <cstdio>
#include <vector>

#include "win32_window.h"

namespace platform::win32 {
namespace {

// FNV-1a over the upper-cased full path: the same directory however it was
// spelt.
std::uint32_t directoryKey() {
  const DWORD length = GetCurrentDirectoryW(0, nullptr);
  std::vector<wchar_t> path(length + 1);
  GetFullPathNameW(GetCurrentDirectoryW(length + 1, path.data()) ? path.data() : L".", length + 1, path.data(),
                   nullptr);
  CharUpperW(path.data());
  std::uint32_t key = 2166136261u;
  for (const wchar_t* c = path.data(); *c; ++c) key = (key ^ static_cast<std::uint16_t>(*c)) * 16777619u;
  return key;
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
  if (!mutex_) return;
  ReleaseMutex(mutex_);
  CloseHandle(mutex_);
}

DirectoryClaim::Outcome DirectoryClaim::claim(DWORD patience) {
  key_ = directoryKey();
  wchar_t name[64];
  std::swprintf(name, 64, L"Local\\pelmodesk-%08x", static_cast<unsigned>(key_));
  mutex_ = CreateMutexW(nullptr, TRUE, name);
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
