// What a screen reader in another process learns of pelmodesk's windows
// through oleacc, for the end-to-end test:
//   reader_probe monitor SCRIPT  the monitor window's readings; SCRIPT (the
//                                fake resinfo.dll's) is rewritten to change them
//   reader_probe about           the About window's texts and links, the web
//                                link opened as a reader does; the test
//                                presses Tab, then closes the window
//   reader_probe foreground      the program's shown window in front or not
// Prints what it finds; exits 0 when all is as a reader needs it.
// Cross-process accessibility under Wine sometimes hangs: each reading of
// the tree runs on a worker thread with a timeout and is tried twice.
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Part {
  bool object = false;  // a window of its own, not a simple child
  std::wstring name, action;  // action: the default action's name
  LONG role = 0, state = 0;
};
struct Tree {
  HRESULT result = E_PENDING;
  std::wstring name, description;
  LONG role = 0;
  std::vector<Part> parts;
  int misanswered = -1;  // misuses that did not fail as they should
};
struct Job {
  HWND window;
  IAccessible* held;  // read through this reference if set
  LONG act;           // a child whose default action runs first, or 0
  bool misuse;         // every method misused first (see Misuse)
  Tree tree;
};

// One of an object's texts, or "" where it has none.
std::wstring Said(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), VARIANT id) {
  BSTR text = nullptr;
  std::wstring said;
  if ((object->*get)(id, &text) == S_OK && text) said.assign(text, SysStringLen(text));
  SysFreeString(text);
  return said;
}

void Describe(IAccessible* object, VARIANT id, std::wstring& name, LONG& role, LONG* state) {
  name = Said(object, &IAccessible::get_accName, id);
  VARIANT value;
  VariantInit(&value);
  if (object->get_accRole(id, &value) == S_OK && value.vt == VT_I4) role = value.lVal;
  VariantInit(&value);
  if (state && object->get_accState(id, &value) == S_OK && value.vt == VT_I4) *state = value.lVal;
}

// Every method with a child id that names nothing or an unknown direction
// (E_INVALIDARG). A null out-pointer never reaches the object from here
// (COM's proxy refuses it first): the unit test calls the object itself.
int Misuse(IAccessible* a) {
  VARIANT self{}, bad{}, out{};
  self.vt = bad.vt = VT_I4, self.lVal = CHILDID_SELF, bad.lVal = 99;
  BSTR text = nullptr;
  IDispatch* dispatch = nullptr;
  LONG n = 0;
  const HRESULT invalid[] = {
      a->get_accChild(bad, &dispatch), a->get_accName(bad, &text), a->get_accValue(bad, &text),
      a->get_accDescription(bad, &text), a->get_accRole(bad, &out), a->get_accState(bad, &out),
      a->get_accHelp(bad, &text), a->get_accHelpTopic(&text, bad, &n), a->get_accKeyboardShortcut(bad, &text),
      a->get_accDefaultAction(bad, &text), a->accSelect(SELFLAG_TAKEFOCUS, bad), a->accLocation(&n, &n, &n, &n, bad),
      a->accNavigate(NAVDIR_NEXT, bad, &out), a->accDoDefaultAction(bad), a->accNavigate(99, self, &out)};
  int wrong = 0;
  for (const HRESULT r : invalid) wrong += r != E_INVALIDARG;
  return wrong;
}

DWORD WINAPI ReadTree(void* argument) {
  auto* job = static_cast<Job*>(argument);
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  IAccessible* object = job->held;
  Tree tree;
  tree.result = object ? S_OK
                       : AccessibleObjectFromWindow(job->window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                                    reinterpret_cast<void**>(&object));
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = job->act;
  if (SUCCEEDED(tree.result) && job->act) tree.result = object->accDoDefaultAction(self);
  if (SUCCEEDED(tree.result) && job->misuse) tree.misanswered = Misuse(object);
  self.lVal = CHILDID_SELF;
  if (SUCCEEDED(tree.result)) {
    LONG count = 0;
    tree.result = object->get_accChildCount(&count);
    if (SUCCEEDED(tree.result)) {
      Describe(object, self, tree.name, tree.role, nullptr);
      tree.description = Said(object, &IAccessible::get_accDescription, self);
      VARIANT children[16];
      LONG got = 0;
      tree.result = AccessibleChildren(object, 0, count < 16 ? count : 16, children, &got);
      for (LONG i = 0; i < got && SUCCEEDED(tree.result); ++i) {
        Part part;
        IAccessible* child = nullptr;
        if (children[i].vt == VT_DISPATCH && children[i].pdispVal &&
            SUCCEEDED(children[i].pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&child)))) {
          part.object = true;
          Describe(child, self, part.name, part.role, &part.state);
          child->Release();
        } else if (children[i].vt == VT_I4) {
          Describe(object, children[i], part.name, part.role, &part.state);
        }
        VariantClear(&children[i]);
        VARIANT id = self;
        id.lVal = i + 1;
        part.action = Said(object, &IAccessible::get_accDefaultAction, id);
        tree.parts.push_back(part);
      }
    }
    if (!job->held) job->held = object;
  }
  job->tree = tree;
  return 0;
}

struct Event {
  DWORD event;
  HWND window;
  LONG object, child;
};
std::vector<Event> events;

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  events.push_back({event, window, object, child});
}

// Runs the message loop (the hook's events arrive through it) for `ms`, or
// until `handle` is signalled.
void Pump(DWORD ms, HANDLE handle = nullptr) {
  const DWORD end = GetTickCount() + ms;
  for (DWORD now = GetTickCount(); static_cast<LONG>(end - now) > 0; now = GetTickCount()) {
    const DWORD woke = MsgWaitForMultipleObjects(handle ? 1 : 0, &handle, FALSE, end - now, QS_ALLINPUT);
    if (handle && woke == WAIT_OBJECT_0) return;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
}

// The tree, tried twice with five seconds each. A job that hangs is left
// behind, never freed, since its thread may still write to it.
Tree Read(HWND window, IAccessible*& held, LONG act = 0, bool misuse = false) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    auto* job = new Job{window, held, act, misuse, {}};
    HANDLE thread = CreateThread(nullptr, 0, ReadTree, job, 0, nullptr);
    Pump(5000, thread);
    if (WaitForSingleObject(thread, 0) == WAIT_OBJECT_0) {
      CloseHandle(thread);
      held = job->held;
      Tree tree = job->tree;
      delete job;
      return tree;
    }
    std::printf("a reading of the tree hung; %s\n", attempt == 0 ? "trying again" : "giving up");
  }
  return Tree{};
}

void Print(const wchar_t* what, const std::wstring& name, LONG role, LONG state = 0) {
  char utf8[512];
  WideCharToMultiByte(CP_UTF8, 0, name.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
  std::printf("%ls \"%s\" role %ld state 0x%lx\n", what, utf8, role, state);
}

int failures = 0;
void Expect(bool ok, const char* what) {
  if (!ok) {
    std::printf("FAIL: %s\n", what);
    ++failures;
  }
}

HWND VisibleWindow() {
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"PelmoForm", nullptr));)
    if (IsWindowVisible(window)) return window;
  return nullptr;
}

std::size_t NameChanges(HWND window, LONG child) {
  std::size_t count = 0;
  for (const Event& e : events)
    count += e.event == EVENT_OBJECT_NAMECHANGE && e.window == window && e.object == OBJID_CLIENT &&
             (!child || e.child == child);
  return count;
}

void Script(const char* path, int cpu) {
  std::FILE* f = std::fopen(path, "w");
  if (!f) return;
  std::fprintf(f, "GetResInfo %d 0 0\nGetCpuUsage %d\nMemoryLoad %d\n", cpu / 2, cpu, 100 - cpu);
  std::fclose(f);
}

bool Starts(const std::wstring& name, const wchar_t* start) { return name.rfind(start, 0) == 0; }

int Monitor(const char* script) {
  HWND window = VisibleWindow();
  if (!window) return std::printf("FAIL: no monitor window\n"), 1;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, OnEvent, process, 0,
                  WINEVENT_OUTOFCONTEXT);
  // Two ticks of changed readings while no reader has asked for the window.
  Script(script, 37);
  Pump(1200);
  std::printf("name changes before any reader asked: %zu\n", NameChanges(window, 0));
  Expect(NameChanges(window, 0) == 0, "name changes announced before any reader asked");

  IAccessible* held = nullptr;
  Tree tree = Read(window, held);
  Print(L"window", tree.name, tree.role);
  Expect(SUCCEEDED(tree.result), "no accessible object for the window");
  Expect(tree.name == L"ペルモ" && tree.role == ROLE_SYSTEM_CLIENT, "the window's name or role");
  for (const Part& p : tree.parts) Print(L"  reading", p.name, p.role, p.state);
  const wchar_t* const starts[] = {L"CPU温度 ", L"物理メモリ使用率 ", L"システムリソース使用率 ", L"CPU使用率 "};
  Expect(tree.parts.size() == 4, "four readings");
  for (std::size_t i = 0; i < tree.parts.size() && i < 4; ++i) {
    const Part& p = tree.parts[i];
    Expect(!p.object && p.role == ROLE_SYSTEM_STATICTEXT && Starts(p.name, starts[i]), "a reading's name or role");
    // The temperature is said in words where there is no chip; the others
    // as a number and its unit.
    if (i == 0) Expect(p.name == L"CPU温度 は 測定できません", "the temperature without a chip");
    else Expect(p.name.size() > 2 && p.name.compare(p.name.size() - 2, 2, L" %") == 0, "a percentage's unit");
  }
  Expect(tree.parts.size() == 4 && tree.parts[3].name == L"CPU使用率 37 %", "the CPU reading as scripted");

  // One event per change, on the reading that changed; none for the ticks
  // that show the same again.
  events.clear();
  Script(script, 64);
  Pump(1200);
  std::printf("name changes in two ticks after one change: cpu %zu, all %zu\n", NameChanges(window, 4),
              NameChanges(window, 0));
  Expect(NameChanges(window, 4) == 1, "one name change for the CPU reading");
  Expect(NameChanges(window, 1) == 0, "a name change for the unchanged temperature");
  // Misused, the object fails each call as it should, and goes on answering.
  tree = Read(window, held, 0, true);
  Expect(tree.misanswered == 0, "a misused call's answer");
  Expect(tree.parts.size() == 4 && tree.parts[3].name == L"CPU使用率 64 %", "the CPU reading's new name");
  if (tree.parts.size() == 4) Print(L"  now", tree.parts[3].name, tree.parts[3].role);
  return failures ? 1 : 0;
}

int About() {
  HWND window = nullptr;
  IAccessible* held = nullptr;
  Tree tree;
  for (HWND each = nullptr; !window && (each = FindWindowExW(nullptr, each, L"PelmoForm", nullptr));) {
    if (!IsWindowVisible(each)) continue;
    IAccessible* object = nullptr;
    Tree read = Read(each, object);
    if (read.name != L"ペルモについて") continue;
    window = each, held = object, tree = read;
  }
  if (!window) return std::printf("FAIL: no window named ペルモについて\n"), 1;
  for (const Part& p : tree.parts) Print(p.object ? L"  object" : L"  part", p.name, p.role, p.state);
  Expect(tree.parts.size() == 7, "seven parts: four texts, two links, OK");
  if (tree.parts.size() != 7) return 1;
  for (int i = 0; i < 4; ++i)
    Expect(tree.parts[i].role == ROLE_SYSTEM_STATICTEXT && !tree.parts[i].name.empty(), "a text's role or name");
  Expect(tree.parts[3].name == L"作者\u3000pd", "the author");
  Expect(tree.parts[4].role == ROLE_SYSTEM_LINK && tree.parts[4].name == L"mailto:pmd@example.org", "the mail link");
  Expect(tree.parts[5].role == ROLE_SYSTEM_LINK && tree.parts[5].name == L"https://example.org/pelmodesk/",
         "the web link");
  Expect((tree.parts[4].state & (STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED)) == STATE_SYSTEM_FOCUSABLE,
         "the mail link focusable, not yet focused");
  // The button is its own window's object; Wine's standard object for it
  // says role client where Windows says push button, so only its name is
  // checked.
  Expect(tree.parts[6].object && tree.parts[6].name == L"OK", "the OK button as its own object");
  Expect(tree.parts[4].action == L"Jump" && tree.parts[6].action == L"Press" && tree.parts[0].action.empty(),
         "the default actions' names");
  // Said as the window opens: its texts.
  Expect(tree.description == tree.parts[0].name + L' ' + tree.parts[1].name + L' ' + tree.parts[2].name + L' ' +
                                 tree.parts[3].name, "the window's description");

  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, OnEvent, process, 0, WINEVENT_OUTOFCONTEXT);
  std::printf("listening\n");
  std::fflush(stdout);
  // The test presses Tab: from OK to the mail link.
  bool focused = false;
  for (int i = 0; i < 50 && !focused; ++i) {
    Pump(100);
    for (const Event& e : events) focused |= e.window == window && e.object == OBJID_CLIENT && e.child == 5;
  }
  Expect(focused, "no focus event for the mail link");
  // A reader opens the web link as a click would (the test sees it opened).
  tree = Read(window, held, 6);
  Expect(tree.result == S_OK, "the web link's default action");
  Expect(tree.parts.size() == 7 && (tree.parts[4].state & STATE_SYSTEM_FOCUSED), "the mail link's state focused");
  std::printf("focused\n");
  std::fflush(stdout);

  // The test closes the window; a reader still holding its object gets a
  // failure, and the program goes on.
  for (int i = 0; i < 100 && IsWindow(window); ++i) Pump(100);
  Expect(!IsWindow(window), "the About window was not closed");
  tree = Read(window, held);
  std::printf("held object after the window closed: 0x%08lx\n", static_cast<unsigned long>(tree.result));
  Expect(tree.result == RPC_E_DISCONNECTED, "the held object did not answer as disconnected");
  return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  // The workers' apartment, kept for the whole run: the object a worker
  // got stays usable by the next.
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  const std::string mode = argc > 1 ? argv[1] : "";
  int status = 2;
  if (mode == "monitor" && argc > 2) status = Monitor(argv[2]);
  if (mode == "about") status = About();
  if (mode == "foreground") status = VisibleWindow() && GetForegroundWindow() == VisibleWindow() ? 0 : 1;
  std::fflush(stdout);
  // A worker that hung may keep the process alive: end it all here.
  ExitProcess(static_cast<UINT>(status));
}
