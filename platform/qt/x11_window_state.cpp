#include "x11_window_state.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace platform::qt {
namespace {

xcb_connection_t* connection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
  const auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::char_traits<char>::length(name)), name);
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
  const xcb_atom_t result = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return result;
}

}  // namespace

void SkipTaskbar(QWidget& window) {
  xcb_connection_t* c = connection();
  if (!c) return;
  const auto id = static_cast<xcb_window_t>(window.winId());
  const xcb_atom_t state = atom(c, "_NET_WM_STATE");
  const xcb_atom_t wanted[] = {atom(c, "_NET_WM_STATE_SKIP_TASKBAR"), atom(c, "_NET_WM_STATE_SKIP_PAGER")};

  std::vector<xcb_atom_t> states;
  const auto cookie = xcb_get_property(c, 0, id, state, XCB_ATOM_ATOM, 0, 64);
  if (xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr)) {
    const auto* begin = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
    states.assign(begin, begin + xcb_get_property_value_length(reply) / 4);
    std::free(reply);
  }
  for (xcb_atom_t a : wanted)
    if (std::find(states.begin(), states.end(), a) == states.end()) states.push_back(a);
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32, static_cast<uint32_t>(states.size()),
                      states.data());
  xcb_flush(c);
}

void BorderOnly(QWidget& window) {
  xcb_connection_t* c = connection();
  if (!c) return;
  // _MOTIF_WM_HINTS: flags, functions, decorations, input mode, status.
  constexpr uint32_t FunctionsAndDecorations = 1 | 2, MoveAndClose = 4 | 32, Border = 2;
  const uint32_t hints[5] = {FunctionsAndDecorations, MoveAndClose, Border, 0, 0};
  const xcb_atom_t motif = atom(c, "_MOTIF_WM_HINTS");
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window.winId()), motif, motif, 32, 5,
                      hints);
  xcb_flush(c);
}

}  // namespace platform::qt
