#include "win32_tray.h"

#include <cstring>

#include "ansi_text.h"
#include "win32_window.h"

namespace platform::win32 {
namespace {

constexpr std::size_t TipOffset = 6 * sizeof(std::uint32_t);
constexpr std::size_t TipBytes = std::tuple_size_v<TrayRecord> - TipOffset;

}  // namespace

TrayRecord MakeTrayRecord(std::uint32_t window, std::uint32_t icon, std::string_view ansiTip) {
  if (ansiTip.size() > TipBytes) throw RuntimeError(ErrorNumber::SubscriptOutOfRange, {});
  const std::uint32_t fields[6] = {sizeof(TrayRecord), window, 1, NIF_MESSAGE | NIF_ICON | NIF_TIP, WM_MOUSEMOVE,
                                   icon};
  TrayRecord record{};
  std::memcpy(record.data(), fields, sizeof fields);
  std::memcpy(record.data() + TipOffset, ansiTip.data(), ansiTip.size());
  return record;
}

TrayPress TrayPressOf(LPARAM lParam) {
  switch (LOWORD(lParam)) {
    case WM_LBUTTONDOWN: return TrayPress::Primary;
    case WM_RBUTTONDOWN: return TrayPress::Secondary;
    default: return TrayPress::None;
  }
}

Win32Tray::Win32Tray(Win32Window& window, HandlerGuard& guard, NotifyCall shellCall)
    : window_(window), guard_(guard), notify_(shellCall) {
  window.onMessage(WM_MOUSEMOVE, [this](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
    const TrayPress press = TrayPressOf(lParam);
    if (press == TrayPress::None || !events_) return std::nullopt;
    guard_.run([&] {
      if (press == TrayPress::Primary)
        events_->onTrayShowWindow();
      else
        events_->onTrayMenu();
    });
    return 0;
  });
  window.onMessage(RegisterWindowMessageW(L"TaskbarCreated"), [this](WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (shown_) notify(NIM_ADD, *shown_);
    return 0;
  });
}

Win32Tray::~Win32Tray() { remove(); }

void Win32Tray::show(std::string_view tooltip) {
  const auto handle = [](auto h) { return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(h)); };
  const TrayRecord record = MakeTrayRecord(handle(window_.handle()), handle(window_.icon()), Utf8ToAnsi(tooltip));
  notify(NIM_ADD, record);
  // Remembered even when the shell is not there yet: it announces itself
  // with TaskbarCreated, and the icon goes in then.
  shown_ = record;
}

void Win32Tray::remove() {
  if (!shown_) return;
  notify(NIM_DELETE, *shown_);
  shown_.reset();
}

bool Win32Tray::available() const { return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr; }

BOOL Win32Tray::notify(DWORD message, const TrayRecord& record) const {
#if defined(_WIN64)
  // A 64-bit build hands the same fields over in the 64-bit layout.
  std::uint32_t fields[6];
  std::memcpy(fields, record.data(), sizeof fields);
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(fields[1]));
  data.uID = fields[2];
  data.uFlags = fields[3];
  data.uCallbackMessage = fields[4];
  data.hIcon = reinterpret_cast<HICON>(static_cast<std::uintptr_t>(fields[5]));
  std::memcpy(data.szTip, record.data() + TipOffset, sizeof data.szTip - 1);
  return notify_(message, &data);
#else
  // The shell reads only as much as cbSize says.
  TrayRecord copy = record;
  return notify_(message, reinterpret_cast<NOTIFYICONDATAA*>(copy.data()));
#endif
}

}  // namespace platform::win32
