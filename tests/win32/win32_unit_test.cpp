// A self-checking program (the win32 thread model's C++ library cannot
// build GoogleTest): prints "N passed, M failed", exits non-zero on any
// failure.
//
// The Windows backend's own pieces, under Wine: twips at real resolutions,
// the code page conversions, what the tray, the shell and a window ask of
// Windows and what comes back, the settings file's replacement step by
// step (through failing calls) and on the real file system, the statistics
// arithmetic, and the port calls on a refusing and on an emulated chip.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "about_design.h"
#include "ansi_text.h"
#include "fake_chip.h"
#include "file_names.h"
#include "guarded_ports.h"
#include "port_instruction.h"
#include "replace_file.h"
#include "shares.h"
#include "twips.h"
#include "win32_dpi.h"
#include "win32_loader.h"
#include "win32_paint.h"
#include "win32_shell.h"
#include "win32_tray.h"
#include "win32_window.h"

namespace {

using namespace platform::win32;

int passed = 0, failed = 0;
std::vector<std::pair<const char*, std::function<void()>>>& tests() {
  static std::vector<std::pair<const char*, std::function<void()>>> all;
  return all;
}
struct Register {
  Register(const char* name, std::function<void()> test) { tests().emplace_back(name, std::move(test)); }
};
#define TEST(group, name)                                  \
  void group##_##name();                                   \
  Register register_##group##_##name(#group "." #name, group##_##name); \
  void group##_##name()

// Failing checks say where; `<<` adds context.
struct Check {
  bool ok;
  int line;
  std::string note;
  template <class T>
  Check& operator<<(const T& value) {
    if constexpr (std::is_convertible_v<T, std::string>) note += value;
    return *this;
  }
  ~Check() {
    if (ok) {
      ++passed;
      return;
    }
    ++failed;
    std::printf("FAIL line %d %s\n", line, note.c_str());
  }
};
#define EXPECT_TRUE(c) Check{bool(c), __LINE__, #c " "}
#define EXPECT_FALSE(c) EXPECT_TRUE(!(c))
#define EXPECT_EQ(a, b) EXPECT_TRUE((a) == (b))
#define EXPECT_NE(a, b) EXPECT_TRUE((a) != (b))
#define ASSERT_EQ(a, b) \
  if (!((a) == (b))) return (void)(EXPECT_TRUE(false) << #a " == " #b)
#define FAIL() return (void)(EXPECT_TRUE(false))

TEST(Twips, FollowTheScreensResolution) {
  EXPECT_EQ(TwipsPerPixelAt(96), 15.0f);
  EXPECT_EQ(TwipsPerPixelAt(120), 12.0f);
  EXPECT_EQ(TwipsPerPixelAt(0), 15.0f);  // a display that reports nothing
  // The monitor window's client area.
  EXPECT_EQ(PixelsAt(3630, 96), 242);
  EXPECT_EQ(PixelsAt(585, 96), 39);
  EXPECT_EQ(PixelsAt(3630, 144), 363);
  EXPECT_EQ(PixelsAt(-1500, 96), -100);  // a screen left of the primary one
  EXPECT_EQ(TwipsAt(242, 96), 3630.0f);
  EXPECT_EQ(FontPixelsAt(9, 96), 12);
  EXPECT_EQ(FontPixelsAt(9.75, 96), 13);
  // At 96 dpi, and where none is reported, the designs' own conversion.
  std::string disagreeing;
  for (double twips = -3000; twips <= 3000; twips += 0.5)
    if (PixelsAt(twips, 96) != ui::PixelsFromTwips(twips) || PixelsAt(twips, 0) != ui::PixelsFromTwips(twips))
      disagreeing += std::to_string(twips) + " ";
  EXPECT_EQ(disagreeing, "") << disagreeing;
}

TEST(AnsiText, JapaneseTextsInCodePage932) {
  EXPECT_EQ(Utf8ToAnsi("ペルモ", 932), "\x83\x79\x83\x8B\x83\x82");
  EXPECT_EQ(Utf8ToAnsi("℃", 932), "\x81\x8E");
  EXPECT_EQ(Utf8ToAnsi("https://example.org/pelmodesk/", 932), "https://example.org/pelmodesk/");
  EXPECT_EQ(Utf8ToAnsi("", 932), "");
  // A Western code page has no katakana.
  EXPECT_EQ(Utf8ToAnsi("ペルモ", 1252), "???");
  EXPECT_TRUE(Widen("CPU使用率") == L"CPU使用率");
}

// A window with the program's icon and one label, hidden as it is made.
constexpr ui::ControlDesign TestControls[] = {
    {.name = "Label", .kind = ui::ControlKind::Label, .left = 150, .top = 150, .width = 900, .height = 255,
     .caption = "label"}};
const ui::WindowDesign TestDesign{.name = "Test", .caption = "test", .clientWidth = 3630, .clientHeight = 585,
                                  .left = 1500, .top = 1500, .icon = ui::Picture::MonitorIcon,
                                  .controls = TestControls};

struct Reports final : platform::ErrorReporter {
  std::vector<platform::ErrorNumber> numbers;
  void reportAndEnd(const platform::RuntimeError& error) noexcept override { numbers.push_back(error.number()); }
};

struct Heard final : ui::WindowEvents, platform::TrayEvents {
  std::vector<std::string> events;
  bool fail = false;
  void onPointerOver(int control) override { events.push_back("over " + std::to_string(control)); }
  void onTrayShowWindow() override {
    events.push_back("show");
    if (fail) throw platform::RuntimeError(platform::ErrorNumber::Overflow, {});
  }
  void onTrayMenu() override { events.push_back("menu"); }
  void onTrayGone() override { events.push_back("gone"); }
};

// What the shell is handed, as bytes.
std::vector<std::pair<DWORD, std::string>> notified;
BOOL WINAPI recordNotify(DWORD message, PNOTIFYICONDATAA data) {
#if defined(_WIN64)
  // The 64-bit layout: the fields as the 32-bit record holds them.
  const std::uint32_t fields[6] = {89, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(data->hWnd)),
                                   data->uID, data->uFlags, data->uCallbackMessage,
                                   static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(data->hIcon))};
  std::string bytes(reinterpret_cast<const char*>(fields), sizeof fields);
  bytes.append(data->szTip, 64).push_back('\0');
#else
  std::string bytes(reinterpret_cast<const char*>(data), 89);
#endif
  notified.emplace_back(message, bytes);
  return TRUE;
}

std::string fields(HWND window, HICON icon) {
  const std::uint32_t values[6] = {89, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window)), 1,
                                   NIF_MESSAGE | NIF_ICON | NIF_TIP, WM_MOUSEMOVE,
                                   static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(icon))};
  return std::string(reinterpret_cast<const char*>(values), sizeof values);
}

TEST(Tray, TheShellGetsThe89ByteRecordWithTheTipInCodePage932) {
  EXPECT_EQ(GetACP(), 932u) << "the tests run in a Japanese locale";
  Reports reports;
  platform::HandlerGuard guard(reports);
  Win32Window window(TestDesign, guard);
  notified.clear();
  {
    Win32Tray tray(window, guard, recordNotify);
    tray.show("ペルモ");
    EXPECT_NE(window.icon(), nullptr);
    const std::string record = fields(window.handle(), window.icon()) + "\x83\x79\x83\x8B\x83\x82" +
                               std::string(59, '\0');
    ASSERT_EQ(notified.size(), 1u);
    EXPECT_TRUE((notified[0] == std::pair{DWORD(NIM_ADD), record}));
    // A restarted shell announces itself and gets the icon again.
    SendMessageW(window.handle(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ASSERT_EQ(notified.size(), 2u);
    EXPECT_TRUE((notified[1] == std::pair{DWORD(NIM_ADD), record}));
    tray.remove();
    ASSERT_EQ(notified.size(), 3u);
    EXPECT_TRUE((notified[2] == std::pair{DWORD(NIM_DELETE), record}));
    SendMessageW(window.handle(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    tray.show(std::string(65, 'x'));  // the whole tip, no NUL
    EXPECT_EQ(notified.back().second.substr(24), std::string(65, 'x'));
    EXPECT_EQ(notified.size(), 4u);
  }
  // Removed when the program ends any other way.
  ASSERT_EQ(notified.size(), 5u);
  EXPECT_EQ(notified[4].first, DWORD(NIM_DELETE));
  // One byte more is subscript out of range, and the shell is not asked.
  Win32Tray tray(window, guard, recordNotify);
  try {
    tray.show(std::string(66, 'x'));
    FAIL();
  } catch (const platform::RuntimeError& e) {
    EXPECT_TRUE(e.number() == platform::ErrorNumber::SubscriptOutOfRange);
  }
  EXPECT_EQ(notified.size(), 5u);
}

TEST(Tray, ThePressesComeAsMouseMovesWhoseXIsTheMessage) {
  Reports reports;
  platform::HandlerGuard guard(reports);
  Win32Window window(TestDesign, guard);
  Win32Tray tray(window, guard, recordNotify);
  Heard heard;
  window.attach(heard);
  tray.attach(heard);
  const auto move = [&](LPARAM lParam) { SendMessageW(window.handle(), WM_MOUSEMOVE, 1, lParam); };
  move(WM_LBUTTONDOWN);
  move(WM_RBUTTONDOWN);
  for (const UINT other : {WM_MOUSEMOVE, WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK, WM_MBUTTONDOWN}) move(other);
  EXPECT_TRUE(heard.events == (std::vector<std::string>{"show", "menu", "over -1", "over -1", "over -1", "over -1",
                                                       "over -1"}));
  // The pointer's own moves: over the label, over the window.
  heard.events.clear();
  move(MAKELPARAM(20, 15));
  move(MAKELPARAM(200, 30));
  EXPECT_TRUE(heard.events == (std::vector<std::string>{"over 0", "over -1"}));
  // An event's run-time error is reported, and no event runs after it.
  heard.fail = true;
  move(WM_LBUTTONDOWN);
  move(WM_RBUTTONDOWN);
  EXPECT_TRUE(reports.numbers == std::vector{platform::ErrorNumber::Overflow});
  EXPECT_EQ(heard.events.back(), "show");
}

TEST(Window, AlwaysOnTopKeepsThePlaceAndShowsTheWindow) {
  Reports reports;
  platform::HandlerGuard guard(reports);
  Win32Window window(TestDesign, guard);
  window.moveTo(3000, 2250);
  RECT before, after;
  GetWindowRect(window.handle(), &before);
  EXPECT_FALSE(window.visible());
  const auto topmost = [&] { return (GetWindowLongW(window.handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
  window.setAlwaysOnTop(true);
  GetWindowRect(window.handle(), &after);
  EXPECT_TRUE(window.visible());
  EXPECT_TRUE(topmost());
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_EQ(window.left(), 3000.0f);
  EXPECT_EQ(window.top(), 2250.0f);
  window.hide();
  window.setAlwaysOnTop(false);
  GetWindowRect(window.handle(), &after);
  EXPECT_TRUE(window.visible());
  EXPECT_FALSE(topmost());
  EXPECT_TRUE(EqualRect(&before, &after));
}

// A label with a tooltip and a button, as in the About window.
constexpr ui::ControlDesign ScaledControls[] = {
    {.name = "Label", .kind = ui::ControlKind::Label, .left = 150, .top = 150, .width = 900, .height = 255,
     .caption = "label", .tooltip = "tip", .autoSize = true},
    {.name = "Button", .kind = ui::ControlKind::Button, .left = 1800, .top = 120, .width = 1200, .height = 375,
     .caption = "OK", .takesFocus = true}};
const ui::WindowDesign ScaledDesign{.name = "Scaled", .caption = "scaled", .clientWidth = 3630, .clientHeight = 585,
                                    .left = 1500, .top = 1500, .controls = ScaledControls};

// What shows a window's scale: its client area, the button, and the label's
// box as its tooltip has it, as "left,top,right,bottom" each.
std::string boxesOf(HWND window) {
  RECT box[3] = {};
  GetClientRect(window, &box[0]);
  GetWindowRect(FindWindowExW(window, nullptr, L"BUTTON", nullptr), &box[1]);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box[1]), 2);
  TTTOOLINFOW tool{TTTOOLINFOW_V2_SIZE, 0, window, 1};
  for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr));)
    if (GetWindow(w, GW_OWNER) == window) SendMessageW(w, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool));
  box[2] = tool.rect;
  std::string text;
  for (const RECT& r : box)
    for (const LONG edge : {r.left, r.top, r.right, r.bottom}) text += std::to_string(edge) + " ";
  return text;
}

TEST(Window, FollowsTheScaleOfTheScreenItIsMovedTo) {
  Reports reports;
  platform::HandlerGuard guard(reports);
  Win32Window window(ScaledDesign, guard);
  const std::string at96 = boxesOf(window.handle());
  // Windows suggests the place; the size is the design's at the new scale,
  // the label's text one and a half times as high and wide.
  const RECT to144{300, 200, 666, 261}, to96{300, 200, 544, 241};
  SendMessageW(window.handle(), DpiChangedMessage, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&to144));
  const std::string at144 = boxesOf(window.handle());
  int label96[4], label144[4];
  std::sscanf(at96.c_str(), "%*d %*d %*d %*d %*d %*d %*d %*d %d %d %d %d", &label96[0], &label96[1], &label96[2],
              &label96[3]);
  std::sscanf(at144.c_str(), "%*d %*d %*d %*d %*d %*d %*d %*d %d %d %d %d", &label144[0], &label144[1],
              &label144[2], &label144[3]);
  EXPECT_EQ(at144.substr(0, at144.find(" 15 15 ")), "0 0 363 59 180 12 300 50") << at144;
  EXPECT_TRUE(std::abs(2 * (label144[2] - 15) - 3 * (label96[2] - 10)) <= 4) << at96 + "/ " + at144;
  EXPECT_TRUE(std::abs(2 * (label144[3] - 15) - 3 * (label96[3] - 10)) <= 2) << at96 + "/ " + at144;
  RECT outer;
  GetWindowRect(window.handle(), &outer);
  EXPECT_TRUE(outer.left == 300 && outer.top == 200);
  // And back, as it was.
  SendMessageW(window.handle(), DpiChangedMessage, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&to96));
  EXPECT_EQ(boxesOf(window.handle()), at96);
  EXPECT_EQ(at96.substr(0, 20), "0 0 242 39 120 8 200");
  EXPECT_TRUE(window.left() == 301 * 15 && window.top() == 201 * 15);
}

// At each size the shell asks for (SM_CXSMICON at 100 to 200 %) the icon
// has a picture of its own, and drawing it leaves the background as it was
// wherever the mask is set: nothing is XOR-ed into it (a magenta there once
// turned the panel behind Wine's tray icon green).
TEST(Icon, EachSizeLeavesTheBackgroundWhereItsMaskIsSet) {
  const COLORREF panel = RGB(220, 218, 213);
  HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
  SelectObject(dc, GetStockObject(DC_BRUSH));
  SetDCBrushColor(dc, panel);
  for (const int size : {16, 20, 24, 32}) {
    const HICON icon = PictureIcon(ui::Picture::MonitorIcon, size);
    ICONINFO info{};
    GetIconInfo(icon, &info);
    struct {
      BITMAPINFOHEADER header;
      RGBQUAD colours[2];
    } format{{sizeof(BITMAPINFOHEADER), size, -size, 1, 1}, {}};
    BYTE mask[32 * 4] = {};  // rows of 32 bits
    EXPECT_EQ(GetDIBits(screen, info.hbmMask, 0, 32, mask, reinterpret_cast<BITMAPINFO*>(&format), 0), size);
    const HGDIOBJ canvas = SelectObject(dc, CreateCompatibleBitmap(screen, size, size));
    PatBlt(dc, 0, 0, size, size, PATCOPY);
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    int tinted = 0, clear = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x)
        if (mask[y * 4 + x / 8] & (0x80 >> (x % 8))) ++clear, tinted += GetPixel(dc, x, y) != panel;
    EXPECT_TRUE(tinted == 0 && clear > 0 && clear < size * size * 2 / 3) << std::to_string(size) + " pixels";
    DeleteObject(SelectObject(dc, canvas));
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
  }
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

// pelmodesk.exe's manifest (beside this program) as Windows reads it: the
// activation context made from it (one Windows cannot read keeps the program
// from starting) and what it asks for.
TEST(Manifest, WindowsReadsTheProgramsOwn) {
  wchar_t path[MAX_PATH];
  std::wstring program(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  program = program.substr(0, program.find_last_of(L'\\') + 1) + L"pelmodesk.exe";
  ACTCTXW request{sizeof request, ACTCTX_FLAG_RESOURCE_NAME_VALID, program.c_str()};
  request.lpResourceName = MAKEINTRESOURCEW(1);
  const HANDLE context = CreateActCtxW(&request);
  ASSERT_EQ(context != INVALID_HANDLE_VALUE, true);
  using Settings = BOOL(WINAPI*)(DWORD, HANDLE, PCWSTR, PCWSTR, PWSTR, SIZE_T, SIZE_T*);  // Windows 7's
  const auto settings = reinterpret_cast<Settings>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "QueryActCtxSettingsW")));
  wchar_t aware[64] = {}, awareness[64] = {};
  settings(0, context, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware", aware, 64, nullptr);
  settings(0, context, L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness", awareness, 64,
           nullptr);
  EXPECT_TRUE(std::wstring(aware) == L"true" && std::wstring(awareness) == L"PerMonitorV2, System");
  ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level{};
  QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &level, sizeof level, nullptr);
  EXPECT_TRUE(level.RunLevel == ACTCTX_RUN_LEVEL_AS_INVOKER);
  DWORD systems[64] = {};  // Vista, 7, 8, 8.1, and 10 and 11
  QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext, systems, sizeof systems, nullptr);
  EXPECT_EQ(systems[0], 5u);
  ACTIVATION_CONTEXT_QUERY_INDEX second{2, 0};  // after the program's own
  alignas(8) char detail[2048] = {};
  QueryActCtxW(0, context, &second, AssemblyDetailedInformationInActivationContext, detail, sizeof detail, nullptr);
  const wchar_t* identity =
      reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(detail)->lpAssemblyEncodedAssemblyIdentity;
  EXPECT_TRUE(identity && std::wstring(identity).find(L"Microsoft.Windows.Common-Controls") != std::wstring::npos &&
              std::wstring(identity).find(L"6.0.") != std::wstring::npos);
  ReleaseActCtx(context);
}

TEST(Window, BringToFrontRunsWhatIsPendingBeforeReturning) {
  Reports reports;
  platform::HandlerGuard guard(reports);
  Win32Window window(TestDesign, guard);
  window.show();
  const UINT pending = RegisterWindowMessageW(L"pelmodesk test: pending");
  bool ran = false;
  window.onMessage(pending, [&](WPARAM, LPARAM) -> std::optional<LRESULT> { return ran = true, 0; });
  PostMessageW(window.handle(), pending, 0, 0);
  window.bringToFront();
  EXPECT_TRUE(ran);
  EXPECT_EQ(GetForegroundWindow(), window.handle());
}

VARIANT Child(LONG id) {
  VARIANT child;
  VariantInit(&child);
  child.vt = VT_I4, child.lVal = id;
  return child;
}

// In the window's own apartment a null pointer reaches the object itself
// (across processes COM's proxy may refuse it first).
TEST(Accessible, NullPointersFailAsCOMSaysAndTheArrowsGoByTheScreen) {
  const ReaderApartment apartment;
  Reports reports;
  platform::HandlerGuard guard(reports);
  Win32Window window(about::Design, guard);
  window.show();
  IAccessible* a = nullptr;
  const LRESULT object = SendMessageW(window.handle(), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
  ASSERT_EQ(ObjectFromLresult(object, IID_IAccessible, 0, reinterpret_cast<void**>(&a)), S_OK);
  const VARIANT self = Child(CHILDID_SELF), author = Child(4);
  LONG n = 0;
  EXPECT_EQ(a->get_accName(self, nullptr), E_POINTER);
  EXPECT_EQ(a->get_accChildCount(nullptr), E_POINTER);
  EXPECT_EQ(a->get_accParent(nullptr), E_POINTER);
  EXPECT_EQ(a->accLocation(&n, &n, nullptr, &n, self), E_POINTER);
  EXPECT_EQ(a->accNavigate(NAVDIR_NEXT, self, nullptr), E_POINTER);
  // Right of the author the mail link, below it the web link, below that
  // OK (a window of its own); nothing above the first line.
  const auto to = [&](LONG direction, const VARIANT& from) {
    VARIANT out;
    const HRESULT result = a->accNavigate(direction, from, &out);
    const LONG reached = out.vt == VT_I4 ? out.lVal : out.vt == VT_DISPATCH ? 7 : 0;
    VariantClear(&out);
    return result == S_OK ? reached : -1;
  };
  EXPECT_EQ(to(NAVDIR_RIGHT, author), 5);
  EXPECT_EQ(to(NAVDIR_DOWN, author), 6);
  EXPECT_EQ(to(NAVDIR_DOWN, Child(6)), 7);
  EXPECT_EQ(to(NAVDIR_LEFT, Child(5)), 4);
  EXPECT_EQ(to(NAVDIR_UP, Child(1)), -1);
  a->Release();
}

struct Execution {
  HWND owner;
  std::string operation, file, directory;
  bool noParameters;
  INT show;
};
std::vector<Execution> executed;
HINSTANCE WINAPI recordExecute(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                               INT show) {
  executed.push_back({owner, operation ? operation : "", file ? file : "", directory ? directory : "(none)",
                      parameters == nullptr, show});
  return reinterpret_cast<HINSTANCE>(42);
}

TEST(Shell, OpensTheLinkOwnedByTheDesktopInCodePage932) {
  Win32Shell shell(recordExecute);
  shell.openUrl("https://example.org/ペルモ");
  ASSERT_EQ(executed.size(), 1u);
  const Execution& e = executed[0];
  EXPECT_EQ(e.owner, GetDesktopWindow());
  EXPECT_EQ(e.operation, "open");
  EXPECT_EQ(e.file, "https://example.org/\x83\x79\x83\x8B\x83\x82");
  EXPECT_TRUE(e.noParameters);
  EXPECT_EQ(e.directory, "");
  EXPECT_EQ(e.show, SW_SHOW);
}

// Records the calls and fails the one named.
class ScriptedCalls final : public FileCalls {
 public:
  std::string failAt;
  std::uint32_t error = ERROR_DISK_FULL;
  std::uint32_t targetAttributes = FILE_ATTRIBUTE_NORMAL;
  int existing = 0;  // temporary names already taken
  std::vector<std::string> calls;

  std::uint32_t attributes(const std::string&) override { return targetAttributes; }
  std::uint32_t createNew(const std::string& name, Handle& file) override {
    calls.push_back("create " + name);
    file = reinterpret_cast<Handle>(1);
    if (existing > 0) return existing--, ERROR_FILE_EXISTS;
    return failing("create");
  }
  std::uint32_t write(Handle, std::string_view bytes) override {
    calls.push_back("write " + std::string(bytes));
    return failing("write");
  }
  std::uint32_t flush(Handle) override { return calls.push_back("flush"), failing("flush"); }
  std::uint32_t close(Handle) override { return calls.push_back("close"), failing("close"); }
  std::uint32_t copyOver(const std::string& from, const std::string& to) override {
    calls.push_back("copy " + from + " " + to);
    return failing("copy");
  }
  std::uint32_t moveOver(const std::string& from, const std::string& to) override {
    calls.push_back("move " + from + " " + to);
    return failing("move");
  }
  void remove(const std::string& name) override { calls.push_back("remove " + name); }
  std::vector<std::string> namesStartingWith(const std::string&) override { return {}; }

 private:
  std::uint32_t failing(const char* step) const { return failAt == step ? error : 0; }
};

using Kind = platform::FileProblem::Kind;
constexpr auto Replace = platform::OldFile::Replace;

TEST(ReplaceFile, WritesFlushesAndMovesATemporaryFileOverTheTarget) {
  ScriptedCalls calls;
  EXPECT_FALSE(ReplaceWholeFile(calls, "pelmo.ini", "1\r\n", Replace, 42).failed());
  ASSERT_EQ(calls.calls.size(), 5u);
  const std::string temporary = calls.calls[0].substr(7);
  EXPECT_TRUE(platform::IsTemporaryOf("pelmo.ini", temporary)) << temporary;
  EXPECT_EQ(calls.calls[1], "write 1\r\n");
  EXPECT_EQ(calls.calls[2], "flush");
  EXPECT_EQ(calls.calls[3], "close");
  EXPECT_EQ(calls.calls[4], "move " + temporary + " pelmo.ini");
  // A rejected file is kept beside the new one.
  ScriptedCalls keeping;
  EXPECT_FALSE(ReplaceWholeFile(keeping, "pelmo.ini", "x", platform::OldFile::KeepAsBackup, 42).failed());
  ASSERT_EQ(keeping.calls.size(), 6u);
  EXPECT_EQ(keeping.calls[4], "copy pelmo.ini pelmo.ini.bak");
  EXPECT_EQ(keeping.calls[5], "move " + temporary + " pelmo.ini");
}

TEST(ReplaceFile, AFailedStepLeavesTheTargetAloneAndRemovesTheTemporaryFile) {
  for (const char* step : {"write", "flush", "close", "move"}) {
    ScriptedCalls calls;
    calls.failAt = step;
    EXPECT_TRUE(ReplaceWholeFile(calls, "pelmo.ini", "x", Replace, 1).kind == Kind::NoSpace) << step;
    const std::string temporary = calls.calls[0].substr(7);
    EXPECT_EQ(calls.calls.back(), "remove " + temporary) << step;
    // The target is never touched except by the move.
    for (const std::string& call : calls.calls) {
      if (call.rfind("move", 0) != 0) EXPECT_FALSE(call.ends_with(" pelmo.ini")) << call;
    }
    // The file is closed even when writing failed.
    EXPECT_NE(std::find(calls.calls.begin(), calls.calls.end(), "close"), calls.calls.end()) << step;
  }
  // Keeping the old file: a copy that fails stops the save before the target is touched.
  ScriptedCalls uncopied;
  uncopied.failAt = "copy";
  EXPECT_TRUE(ReplaceWholeFile(uncopied, "pelmo.ini", "x", platform::OldFile::KeepAsBackup, 1).kind == Kind::NoSpace);
  EXPECT_EQ(uncopied.calls.back(), "remove " + uncopied.calls[0].substr(7));
  ScriptedCalls denied;
  denied.failAt = "create";
  denied.error = ERROR_ACCESS_DENIED;
  EXPECT_TRUE(ReplaceWholeFile(denied, "pelmo.ini", "x", Replace, 1).kind == Kind::PermissionDenied);
  EXPECT_EQ(denied.calls.size(), 1u);  // nothing to remove
  // A read-only file or a directory in its place is refused before anything is written.
  for (const auto& [attributes, kind] : {std::pair{DWORD(FILE_ATTRIBUTE_READONLY), Kind::ReadOnlyFile},
                                         std::pair{DWORD(FILE_ATTRIBUTE_DIRECTORY), Kind::IsADirectory}}) {
    ScriptedCalls refused;
    refused.targetAttributes = attributes;
    EXPECT_TRUE(ReplaceWholeFile(refused, "pelmo.ini", "x", Replace, 1).kind == kind);
    EXPECT_TRUE(refused.calls.empty());
  }
}

TEST(ReplaceFile, ATakenTemporaryNameIsNotReused) {
  ScriptedCalls calls;
  calls.existing = 2;
  EXPECT_FALSE(ReplaceWholeFile(calls, "pelmo.ini", "x", Replace, 7).failed());
  EXPECT_NE(calls.calls[0], calls.calls[1]);
  EXPECT_NE(calls.calls[1], calls.calls[2]);
  EXPECT_EQ(calls.calls[3], "write x");
}

TEST(ReplaceFile, OnTheRealFileSystem) {
  char directory[MAX_PATH];
  GetTempPathA(MAX_PATH, directory);
  const std::string name = std::string(directory) + "pelmo-test-" + std::to_string(GetCurrentProcessId()) + ".ini";
  DeleteFileA(name.c_str());
  EXPECT_TRUE(ReadWholeFile(name).status == platform::FileRead::Status::Missing);
  ASSERT_EQ(ReplaceWholeFile(RealFileCalls(), name, "1635\r\n1260\r\n1\r\n", Replace, 1).failed(), false);
  // over an existing file, beside the temporary of a save a kill cut short
  CloseHandle(CreateFileA((name + ".pelmo-tmp-k1lled").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  ASSERT_EQ(ReplaceWholeFile(RealFileCalls(), name, "15\r\n30\r\n0\r\n", Replace, 2).failed(), false);
  const platform::FileRead read = ReadWholeFile(name);
  EXPECT_TRUE(read.status == platform::FileRead::Status::Ok);
  EXPECT_EQ(read.text, "15\r\n30\r\n0\r\n");
  // No temporary file is left behind, nor the killed save's: the file alone matches its name.
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((name + "*").c_str(), &found);
  int files = 0;
  if (search != INVALID_HANDLE_VALUE) {
    do ++files;
    while (FindNextFileA(search, &found));
    FindClose(search);
  }
  EXPECT_EQ(files, 1);
  // A rejected file is kept beside the new one.
  ASSERT_EQ(ReplaceWholeFile(RealFileCalls(), name, "1\r\n2\r\n1\r\n", platform::OldFile::KeepAsBackup, 4).failed(), false);
  EXPECT_EQ(ReadWholeFile(name + ".bak").text, "15\r\n30\r\n0\r\n");
  EXPECT_EQ(ReadWholeFile(name).text, "1\r\n2\r\n1\r\n");
  DeleteFileA((name + ".bak").c_str());
  ASSERT_EQ(ReplaceWholeFile(RealFileCalls(), name, "15\r\n30\r\n0\r\n", Replace, 5).failed(), false);
  // Marked read-only by its owner: left as it is.
  SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(ReplaceWholeFile(RealFileCalls(), name, "x", Replace, 3).kind == Kind::ReadOnlyFile);
  EXPECT_EQ(ReadWholeFile(name).text, "15\r\n30\r\n0\r\n");
  SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(name.c_str());
  EXPECT_TRUE(ReadWholeFile(directory).problem.kind == Kind::IsADirectory);
}

TEST(Statistics, SharesAndBusyTime) {
  EXPECT_EQ(resinfo::Percent(1, 3), 33);
  EXPECT_EQ(resinfo::Percent(2, 3), 67);
  EXPECT_EQ(resinfo::Percent(5, 0), 100);
  EXPECT_EQ(resinfo::Percent(7, 5), 100);
  // Kernel time includes idle time: 400 of 1000 ticks busy.
  using resinfo::SystemCpuTimes;
  EXPECT_EQ(resinfo::BusyPercent(SystemCpuTimes(100, 500, 200), SystemCpuTimes(700, 1200, 500), 9), 40);
  EXPECT_EQ(resinfo::BusyPercent(SystemCpuTimes(100, 500, 200), SystemCpuTimes(700, 1100, 200), 9), 0);  // all idle
}

TEST(PortInstructions, DecodedByLength) {
  const std::uint8_t inDx[] = {0xEC}, outImm[] = {0xE6, 0x80}, in16[] = {0x66, 0xED}, other[] = {0x90};
  EXPECT_EQ(DecodePortInstruction(inDx).length, 1u);
  EXPECT_TRUE(DecodePortInstruction(inDx).reads);
  EXPECT_EQ(DecodePortInstruction(outImm).length, 2u);
  EXPECT_FALSE(DecodePortInstruction(outImm).reads);
  EXPECT_EQ(DecodePortInstruction(in16).length, 2u);
  EXPECT_EQ(DecodePortInstruction(in16).width, 2u);
  EXPECT_EQ(DecodePortInstruction(other).length, 0u);
}

TEST(GuardedPorts, ARefusedPortInstructionShowsNoReadingAndTheProgramGoesOn) {
  Win32Loader loader;
  platform::BoundPortLibrary library(loader);
  GuardedPorts ports(library);
  EXPECT_EQ(ports.writePort(0x295, 0x27), 0x27);
  ports.readPort(0x296);
  EXPECT_FALSE(ports.chipAnswers());
  // Not asked again, and no harm done to the caller's stack or registers.
  volatile int canary = 1234;
  EXPECT_EQ(ports.readPort(0x296), -1);
  EXPECT_EQ(canary, 1234);
}

TEST(GuardedPorts, AChipThatAnswersIsRead) {
  void* emulator = EmulateChip(0xF6);  // -10 degrees
  Win32Loader loader;
  platform::BoundPortLibrary library(loader);
  GuardedPorts ports(library);
  for (int tick = 0; tick < 3; ++tick) {
    ports.writePort(0x295, 0x27);
    EXPECT_EQ(ports.readPort(0x296), -10);
  }
  EXPECT_TRUE(ports.chipAnswers());
  RemoveVectoredExceptionHandler(emulator);
}

TEST(GuardedPorts, AMissingLibraryIsStillARunTimeError) {
  Win32Loader loader;
  platform::BoundPortLibrary library(loader, "no-such-pinlatch.dll");
  GuardedPorts ports(library);
  try {
    ports.writePort(0x295, 0x27);
    FAIL();  // no error
  } catch (const platform::RuntimeError& e) {
    EXPECT_TRUE(e.number() == platform::ErrorNumber::FileNotFound);
  }
}

}  // namespace

int main() {
  for (const auto& [name, test] : tests()) {
    const int before = failed;
    test();
    if (failed != before) std::printf("  in %s\n", name);
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed ? 1 : 0;
}
