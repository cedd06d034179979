// Plays a restarted Explorer for the end-to-end test, in two steps:
//   shell_restarted.exe forget    the notification area forgets the
//                                 program's icon, as a new shell starts
//                                 empty (exits 1 when there was none)
//   shell_restarted.exe announce  "TaskbarCreated" is broadcast
#include <windows.h>
#include <shellapi.h>

namespace {

bool forgotten = false;

BOOL CALLBACK forgetIcon(HWND window, LPARAM) {
  wchar_t name[32];
  if (!GetClassNameW(window, name, 32) || lstrcmpW(name, L"PelmoForm") != 0) return TRUE;
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V1_SIZE;
  data.hWnd = window;
  data.uID = 1;  // the monitor's one icon
  if (Shell_NotifyIconW(NIM_DELETE, &data)) forgotten = true;
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  if (lstrcmpA(argv[1], "forget") == 0) {
    EnumWindows(forgetIcon, 0);
    return forgotten ? 0 : 1;
  }
  SendMessageTimeoutW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG, 2000,
                      nullptr);
  return 0;
}
