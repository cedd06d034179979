// A window's painted parts as screen readers see them: the client area's
// IAccessible, with one simple child per part the design says is spoken
// (child ids 1..n in design order). It is made only when a reader first
// asks (WM_GETOBJECT), so nothing is spent without one; a reader may hold
// it after the window is gone, and every call then fails cleanly.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <string>

namespace platform::win32 {

struct AccessiblePart {
  std::wstring name;
  LONG role = ROLE_SYSTEM_STATICTEXT;
  RECT box{};             // client pixels
  HWND window = nullptr;  // a part that is a window of its own (a button)
  bool focusable = false, focused = false;
};

// What the object asks of its window, on the window's thread.
class AccessibleParts {
 public:
  virtual std::wstring accessibleName() const = 0;
  // Its text labels' texts, said as the window opens.
  virtual std::wstring accessibleDescription() const = 0;
  virtual int partCount() const = 0;
  virtual AccessiblePart part(int index) const = 0;  // 0-based
  // The part's default action, as by a click; false if it has none.
  virtual bool activatePart(int index) = 0;

 protected:
  ~AccessibleParts() = default;
};

// The UI thread's single-threaded apartment, through which readers' calls
// to the windows' objects arrive, one at a time. Joined once at start,
// before any window is made. Where COM cannot start, windows leave readers'
// questions to the system (DefWindowProc): a reader then hears each window
// and its buttons by name, but none of the painted readings, texts or
// links.
class ReaderApartment {
 public:
  ReaderApartment();
  ~ReaderApartment();
  ReaderApartment(const ReaderApartment&) = delete;
  ReaderApartment& operator=(const ReaderApartment&) = delete;
  static bool joined();
};

class WindowAccessible {
 public:
  WindowAccessible(HWND window, AccessibleParts& parts);
  // Cuts the object off from the window; a reader's reference stays valid.
  ~WindowAccessible();
  WindowAccessible(const WindowAccessible&) = delete;
  WindowAccessible& operator=(const WindowAccessible&) = delete;

  // The answer to WM_GETOBJECT for the client area.
  LRESULT answer(WPARAM wParam);

 private:
  class Object;
  Object* object_;
};

}  // namespace platform::win32
