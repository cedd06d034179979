#include "win32_accessible.h"

#include <cstdlib>
#include <new>
#include <vector>

namespace platform::win32 {

namespace {

bool apartment = false;

void SetId(VARIANT* out, LONG id) {
  VariantInit(out);
  out->vt = VT_I4;
  out->lVal = id;
}

HRESULT Bstr(const std::wstring& text, BSTR* out) {
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

// A COM method's body. No C++ exception may leave it: COM cannot carry one
// back to the reader, and the program would end.
template <class Body>
HRESULT Answer(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

// The arrows move on the screen: to the nearest box wholly beyond `from`'s
// edge in that direction that lies level with it across the direction, the
// nearer across first when two are as far; -1 if there is none.
int Beside(const std::vector<RECT>& boxes, int from, LONG direction) {
  const RECT& a = boxes[static_cast<size_t>(from)];
  int best = -1;
  LONG bestGap = 0, bestAcross = 0;
  for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
    const RECT& b = boxes[static_cast<size_t>(i)];
    const bool vertical = direction == NAVDIR_UP || direction == NAVDIR_DOWN;
    const LONG gap = direction == NAVDIR_RIGHT  ? b.left - a.right
                     : direction == NAVDIR_LEFT ? a.left - b.right
                     : direction == NAVDIR_DOWN ? b.top - a.bottom
                                                : a.top - b.bottom;
    const bool level = vertical ? b.left < a.right && a.left < b.right : b.top < a.bottom && a.top < b.bottom;
    const LONG across = vertical ? std::labs((b.left + b.right) - (a.left + a.right))
                                 : std::labs((b.top + b.bottom) - (a.top + a.bottom));
    if (i == from || gap < 0 || !level) continue;
    if (best >= 0 && (gap > bestGap || (gap == bestGap && across >= bestAcross))) continue;
    best = i, bestGap = gap, bestAcross = across;
  }
  return best;
}

}  // namespace

ReaderApartment::ReaderApartment() { apartment = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
ReaderApartment::~ReaderApartment() {
  if (apartment) CoUninitialize();
  apartment = false;
}
bool ReaderApartment::joined() { return apartment; }

// Reference counted by COM; the window's WindowAccessible holds one
// reference and cuts `parts_` when the window goes, so a call from a reader
// that still holds the object never reaches a destroyed window. Every
// out-value is set, to empty, before anything can fail.
class WindowAccessible::Object final : public IAccessible {
 public:
  Object(HWND window, AccessibleParts& parts) : window_(window), parts_(&parts) {
    if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&standard_))))
      standard_ = nullptr;
  }

  void disconnect() {
    parts_ = nullptr;
    if (standard_) standard_->Release();
    standard_ = nullptr;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IAccessible) return E_NOINTERFACE;
    *out = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // Readers call the IAccessible methods directly, not through IDispatch.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** out) override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!parts_) return RPC_E_DISCONNECTED;
    return standard_ ? standard_->get_accParent(out) : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return Answer([&] {
      if (!parts_) return RPC_E_DISCONNECTED;
      *count = parts_->partCount();
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    return Answer([&] {
      int index;
      if (HRESULT failed = partOf(child, index); failed != S_OK) return failed;
      return index < 0 ? E_INVALIDARG : dispatchOf(index, out);
    });
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
    return text(child, out, [&](int index) { return index < 0 ? parts_->accessibleName() : parts_->part(index).name; });
  }
  // A link's value is its address, which is also its text.
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
    return text(child, out, [&](int index) {
      return index >= 0 && parts_->part(index).role == ROLE_SYSTEM_LINK ? parts_->part(index).name : std::wstring();
    });
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
    return text(child, out, [&](int index) { return index < 0 ? parts_->accessibleDescription() : std::wstring(); });
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
    if (!out) return E_POINTER;
    VariantInit(out);
    return Answer([&] {
      int index;
      if (HRESULT failed = partOf(child, index); failed != S_OK) return failed;
      SetId(out, index < 0 ? ROLE_SYSTEM_CLIENT : parts_->part(index).role);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
    if (!out) return E_POINTER;
    VariantInit(out);
    return Answer([&] {
      int index;
      if (HRESULT failed = partOf(child, index); failed != S_OK) return failed;
      if (index < 0) return standard_ ? standard_->get_accState(child, out) : E_FAIL;
      const AccessiblePart part = parts_->part(index);
      LONG state = part.focusable ? STATE_SYSTEM_FOCUSABLE : STATE_SYSTEM_READONLY;
      if (part.focused) state |= STATE_SYSTEM_FOCUSED;
      if (part.role == ROLE_SYSTEM_LINK) state |= STATE_SYSTEM_LINKED;
      if (!IsWindowVisible(window_)) state |= STATE_SYSTEM_INVISIBLE;
      SetId(out, state);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override { return none(child, out); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    if (!topic) return E_POINTER;
    *topic = 0;
    return none(child, file);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override { return none(child, out); }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
    if (!out) return E_POINTER;
    VariantInit(out);
    return Answer([&] {
      if (!parts_) return RPC_E_DISCONNECTED;
      for (int i = 0; i < parts_->partCount(); ++i)
        if (parts_->part(i).focused) return variantOf(i, out);
      if (GetFocus() != window_) return S_FALSE;
      SetId(out, CHILDID_SELF);
      return S_OK;
    });
  }
  // Nothing here is ever selected.
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
    if (!out) return E_POINTER;
    VariantInit(out);
    return parts_ ? S_FALSE : RPC_E_DISCONNECTED;
  }
  // What the reader's action does, in the words Windows' own links and
  // buttons use.
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
    return text(child, out, [&](int index) {
      const LONG role = index < 0 ? 0 : parts_->part(index).role;
      return std::wstring(role == ROLE_SYSTEM_LINK ? L"Jump" : role == ROLE_SYSTEM_PUSHBUTTON ? L"Press" : L"");
    });
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT child) override {
    int index;
    if (HRESULT failed = partOf(child, index); failed != S_OK) return failed;
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* width, LONG* height, VARIANT child) override {
    if (!x || !y || !width || !height) return E_POINTER;
    *x = *y = *width = *height = 0;
    return Answer([&] {
      int index;
      if (HRESULT failed = partOf(child, index); failed != S_OK) return failed;
      if (index < 0) return standard_ ? standard_->accLocation(x, y, width, height, child) : E_FAIL;
      const RECT box = screenBox(parts_->part(index));
      *x = box.left, *y = box.top, *width = box.right - box.left, *height = box.bottom - box.top;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* out) override {
    if (!out) return E_POINTER;
    VariantInit(out);
    if (direction < NAVDIR_UP || direction > NAVDIR_LASTCHILD) return E_INVALIDARG;
    return Answer([&] {
      int index;
      if (HRESULT failed = partOf(start, index); failed != S_OK) return failed;
      const int count = parts_->partCount();
      int to = -1;
      if (index < 0) {
        if (direction == NAVDIR_FIRSTCHILD) to = 0;
        else if (direction == NAVDIR_LASTCHILD) to = count - 1;
        else return standard_ ? standard_->accNavigate(direction, start, out) : S_FALSE;
      } else if (direction == NAVDIR_NEXT) {
        to = index + 1;
      } else if (direction == NAVDIR_PREVIOUS) {
        to = index - 1;
      } else if (direction != NAVDIR_FIRSTCHILD && direction != NAVDIR_LASTCHILD) {
        std::vector<RECT> boxes;
        for (int i = 0; i < count; ++i) boxes.push_back(screenBox(parts_->part(i)));
        to = Beside(boxes, index, direction);
      }
      if (to < 0 || to >= count) return S_FALSE;
      return variantOf(to, out);
    });
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* out) override {
    if (!out) return E_POINTER;
    VariantInit(out);
    return Answer([&] {
      if (!parts_) return RPC_E_DISCONNECTED;
      RECT client;
      GetClientRect(window_, &client);
      MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&client), 2);
      const POINT at{x, y};
      if (!PtInRect(&client, at)) return S_FALSE;
      // The last part drawn is the one on top.
      for (int i = parts_->partCount(); i-- > 0;) {
        const RECT box = screenBox(parts_->part(i));
        if (PtInRect(&box, at)) return variantOf(i, out);
      }
      SetId(out, CHILDID_SELF);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return Answer([&] {
      int index;
      if (HRESULT failed = partOf(child, index); failed != S_OK) return failed;
      if (index < 0) return DISP_E_MEMBERNOTFOUND;
      return parts_->activatePart(index) ? S_OK : DISP_E_MEMBERNOTFOUND;
    });
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  ~Object() { disconnect(); }

  // The part a child id names, or -1 for the client area itself.
  HRESULT partOf(const VARIANT& child, int& index) const {
    if (!parts_) return RPC_E_DISCONNECTED;
    if (child.vt != VT_I4 || child.lVal < 0 || child.lVal > parts_->partCount()) return E_INVALIDARG;
    index = static_cast<int>(child.lVal) - 1;
    return S_OK;
  }

  // A text of the window or one of its parts; an empty one is none (S_FALSE).
  template <class Of>
  HRESULT text(const VARIANT& child, BSTR* out, Of&& of) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    return Answer([&] {
      int index;
      if (HRESULT failed = partOf(child, index); failed != S_OK) return failed;
      const std::wstring found = of(index);
      return found.empty() ? S_FALSE : Bstr(found, out);
    });
  }
  HRESULT none(const VARIANT& child, BSTR* out) const {
    return text(child, out, [](int) { return std::wstring(); });
  }

  // A part with a window of its own is that window's standard object for
  // its client area (a button's says "push button" and its caption).
  HRESULT dispatchOf(int index, IDispatch** out) const {
    const HWND window = parts_->part(index).window;
    if (!window) return S_FALSE;
    return AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IDispatch,
                                      reinterpret_cast<void**>(out));
  }

  HRESULT variantOf(int index, VARIANT* out) const {
    IDispatch* dispatch = nullptr;
    if (dispatchOf(index, &dispatch) == S_OK && dispatch) {
      out->vt = VT_DISPATCH;
      out->pdispVal = dispatch;
    } else {
      SetId(out, index + 1);
    }
    return S_OK;
  }

  RECT screenBox(const AccessiblePart& part) const {
    RECT box = part.box;
    if (part.window) GetWindowRect(part.window, &box);
    else MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&box), 2);
    return box;
  }

  LONG references_ = 1;
  HWND window_;
  AccessibleParts* parts_;
  IAccessible* standard_ = nullptr;
};

WindowAccessible::WindowAccessible(HWND window, AccessibleParts& parts) : object_(new Object(window, parts)) {}

WindowAccessible::~WindowAccessible() {
  object_->disconnect();
  object_->Release();
}

LRESULT WindowAccessible::answer(WPARAM wParam) { return LresultFromObject(IID_IAccessible, wParam, object_); }

}  // namespace platform::win32
