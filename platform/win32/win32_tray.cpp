#include "win32_tray.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "win32_form.h"

namespace platform::win32 {
namespace {

// The record byte for byte as the logic fills it: six 32-bit fields, then
// the tip; cbSize says how much of it there is.
#pragma pack(push, 1)
struct Record {
  std::uint32_t fields[6];
  std::uint8_t tip[65];
};
#pragma pack(pop)
static_assert(sizeof(Record) == 89);

BOOL notify(std::uint32_t message, const NotifyIconData& data) {
#if defined(_WIN64)
  // The record is 32-bit shaped; a 64-bit build hands its fields over in
  // the 64-bit layout.
  NOTIFYICONDATAA wide{};
  wide.cbSize = NOTIFYICONDATAA_V1_SIZE;
  wide.hWnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(data.hWnd));
  wide.uID = data.uID;
  wide.uFlags = data.uFlags;
  wide.uCallbackMessage = data.uCallbackMessage;
  wide.hIcon = reinterpret_cast<HICON>(static_cast<std::uintptr_t>(data.hIcon));
  std::memcpy(wide.szTip, data.szTip.data(), sizeof wide.szTip - 1);
  return ::Shell_NotifyIconA(message, &wide);
#else
  Record record;
  const std::uint32_t fields[6] = {data.cbSize, data.hWnd, data.uID, data.uFlags, data.uCallbackMessage, data.hIcon};
  std::memcpy(record.fields, fields, sizeof fields);
  std::memcpy(record.tip, data.szTip.data(), sizeof record.tip);
  return ::Shell_NotifyIconA(message, reinterpret_cast<NOTIFYICONDATAA*>(&record));
#endif
}

}  // namespace

Win32Tray::Win32Tray(Win32Form& form) {
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  form.onMessage(taskbarCreated, [this](WPARAM, LPARAM) -> LRESULT {
    if (added_) notify(NIM_ADD, *added_);
    return 0;
  });
}

Win32Tray::~Win32Tray() {
  if (added_) notify(NIM_DELETE, *added_);
}

std::int32_t Win32Tray::Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) {
  const BOOL result = notify(message, data);
  // Remembered even when the shell is not there yet: it announces itself
  // with TaskbarCreated, and the icon goes in then.
  if (message == NIM_ADD) added_ = data;
  if (message == NIM_DELETE) added_.reset();
  return result;
}

bool Win32Tray::available() const { return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr; }

}  // namespace platform::win32
