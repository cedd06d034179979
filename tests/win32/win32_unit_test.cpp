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
#include <oleacc.h>

#include <algorithm>
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

// Moved to a screen of another scale (WM_DPICHANGED): the design's size
// there, at the place Windows suggests; back, its place in twips of the
// primary screen's pixels. (Fonts and pictures at each scale: the Wine test.)
TEST(Window, FollowsTheScaleOfTheScreenItIsMovedTo) {
  Reports reports;
  platform::HandlerGuard guard(reports);
  Win32Window window(TestDesign, guard);
  const RECT to144{300, 200, 666, 261}, to96{300, 200, 544, 241};
  RECT client, outer;
  SendMessageW(window.handle(), DpiChangedMessage, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&to144));
  GetClientRect(window.handle(), &client);
  GetWindowRect(window.handle(), &outer);
  EXPECT_TRUE(client.right == 363 && client.bottom == 59 && outer.left == 300 && outer.top == 200);
  SendMessageW(window.handle(), DpiChangedMessage, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&to96));
  GetClientRect(window.handle(), &client);
  EXPECT_TRUE(client.right == 242 && client.bottom == 39 && window.left() == 301 * 15 && window.top() == 201 * 15);
}

// pelmodesk.exe's manifest (the test runs beside it) as Windows reads it:
// unreadable, the program would not start; unaware, it would be blurred.
TEST(Manifest, WindowsReadsTheProgramsOwn) {
  ACTCTXW request{sizeof request, ACTCTX_FLAG_RESOURCE_NAME_VALID, L"pelmodesk.exe"};
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

// In the window's own apartment a null pointer reaches the object itself
// (across processes COM's proxy refuses it first).
TEST(Accessible, NullPointersFailAsCOMSaysAndTheArrowsGoByTheScreen) {
  const ReaderApartment apartment;
  Reports reports;
  platform::HandlerGuard guard(reports);
  Win32Window window(about::Design, guard);
  window.show();
  IAccessible* a = nullptr;
  const LRESULT object = SendMessageW(window.handle(), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
  ASSERT_EQ(ObjectFromLresult(object, IID_IAccessible, 0, reinterpret_cast<void**>(&a)), S_OK);
  VARIANT self{};
  self.vt = VT_I4, self.lVal = CHILDID_SELF;
  LONG n = 0;
  EXPECT_EQ(a->get_accName(self, nullptr), E_POINTER);
  EXPECT_EQ(a->get_accChildCount(nullptr), E_POINTER);
  EXPECT_EQ(a->get_accParent(nullptr), E_POINTER);
  EXPECT_EQ(a->accLocation(&n, &n, nullptr, &n, self), E_POINTER);
  EXPECT_EQ(a->accNavigate(NAVDIR_NEXT, self, nullptr), E_POINTER);
  // From the author (4): right the mail link, down the web link, down again
  // OK (a window of its own, 7); nothing above the first line (-1).
  const LONG moves[][3] = {{NAVDIR_RIGHT, 4, 5}, {NAVDIR_DOWN, 4, 6}, {NAVDIR_DOWN, 6, 7}, {NAVDIR_LEFT, 5, 4},
                           {NAVDIR_UP, 1, -1}};
  for (const auto& [direction, from, to] : moves) {
    VARIANT start = self, out{};
    start.lVal = from;
    const bool moved = a->accNavigate(direction, start, &out) == S_OK;
    EXPECT_EQ(!moved ? -1 : out.vt == VT_DISPATCH ? 7 : out.vt == VT_I4 ? out.lVal : 0, to)
        << std::to_string(direction) + " from " + std::to_string(from);
    VariantClear(&out);
  }
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
