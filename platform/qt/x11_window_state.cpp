#include "x11_window_state.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QPoint>
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

void setPresent(std::vector<xcb_atom_t>& states, xcb_atom_t state, bool present) {
  const auto at = std::find(states.begin(), states.end(), state);
  if (present && at == states.end()) states.push_back(state);
  if (!present && at != states.end()) states.erase(at);
}

}  // namespace

void WriteStatesBeforeShow(QWidget& window, bool skipTaskbar, bool above) {
  xcb_connection_t* c = connection();
  if (!c) return;
  const auto id = static_cast<xcb_window_t>(window.winId());
  const xcb_atom_t netWmState = atom(c, "_NET_WM_STATE");

  std::vector<xcb_atom_t> states;
  const auto cookie = xcb_get_property(c, 0, id, netWmState, XCB_ATOM_ATOM, 0, 64);
  if (xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr)) {
    const auto* begin = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
    states.assign(begin, begin + xcb_get_property_value_length(reply) / 4);
    std::free(reply);
  }
  setPresent(states, atom(c, "_NET_WM_STATE_SKIP_TASKBAR"), skipTaskbar);
  setPresent(states, atom(c, "_NET_WM_STATE_SKIP_PAGER"), skipTaskbar);
  setPresent(states, atom(c, "_NET_WM_STATE_ABOVE"), above);
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, netWmState, XCB_ATOM_ATOM, 32, static_cast<uint32_t>(states.size()),
                      states.data());
  xcb_flush(c);
}

void SetAboveWhileShown(QWidget& window, bool above) {
  xcb_connection_t* c = connection();
  if (!c) return;
  constexpr uint32_t Remove = 0, Add = 1, FromApplication = 1;
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = static_cast<xcb_window_t>(window.winId());
  message.type = atom(c, "_NET_WM_STATE");
  message.data.data32[0] = above ? Add : Remove;
  message.data.data32[1] = atom(c, "_NET_WM_STATE_ABOVE");
  message.data.data32[3] = FromApplication;
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&message));
  xcb_flush(c);
}

bool StartWindowManagerMove(QWidget& window, QPoint pressedAt) {
  xcb_connection_t* c = connection();
  if (!c) return false;
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  const xcb_atom_t moveResize = atom(c, "_NET_WM_MOVERESIZE");
  bool supported = false;
  const auto cookie = xcb_get_property(c, 0, root, atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 0, 1024);
  if (xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr)) {
    const auto* begin = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
    const auto* end = begin + xcb_get_property_value_length(reply) / 4;
    supported = std::find(begin, end, moveResize) != end;
    std::free(reply);
  }
  if (!supported) return false;
  // The press's implicit grab is ours; the window manager needs the pointer.
  xcb_ungrab_pointer(c, XCB_CURRENT_TIME);
  constexpr uint32_t Move = 8, LeftButton = 1, FromApplication = 1;
  const qreal ratio = window.devicePixelRatioF();
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = static_cast<xcb_window_t>(window.winId());
  message.type = moveResize;
  message.data.data32[0] = static_cast<uint32_t>(qRound(pressedAt.x() * ratio));
  message.data.data32[1] = static_cast<uint32_t>(qRound(pressedAt.y() * ratio));
  message.data.data32[2] = Move;
  message.data.data32[3] = LeftButton;
  message.data.data32[4] = FromApplication;
  xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&message));
  xcb_flush(c);
  return true;
}

std::optional<QPoint> PlaceOnScreen(QWidget& window) {
  xcb_connection_t* c = connection();
  if (!c || !window.isVisible()) return std::nullopt;
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  const auto cookie = xcb_translate_coordinates(c, static_cast<xcb_window_t>(window.winId()), root, 0, 0);
  xcb_translate_coordinates_reply_t* reply = xcb_translate_coordinates_reply(c, cookie, nullptr);
  if (!reply) return std::nullopt;
  const qreal ratio = window.devicePixelRatioF();
  const QPoint place(qRound(reply->dst_x / ratio), qRound(reply->dst_y / ratio));
  std::free(reply);
  return place;
}

void DecorateWithoutTitle(QWidget& window, bool sizable) {
  xcb_connection_t* c = connection();
  if (!c) return;
  // _MOTIF_WM_HINTS: flags, functions, decorations, input mode, status.
  constexpr uint32_t FunctionsAndDecorations = 1 | 2, Resize = 2, Move = 4, Close = 32, NoDecoration = 0;
  const uint32_t hints[5] = {FunctionsAndDecorations, Move | Close | (sizable ? Resize : 0u), NoDecoration, 0, 0};
  const xcb_atom_t motif = atom(c, "_MOTIF_WM_HINTS");
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window.winId()), motif, motif, 32, 5,
                      hints);
  xcb_flush(c);
}

bool HasKeyboardFocus(QWidget& window) {
  xcb_connection_t* c = connection();
  if (!c) return window.isActiveWindow();
  xcb_get_input_focus_reply_t* reply = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
  const bool focused = reply && reply->focus == static_cast<xcb_window_t>(window.winId());
  std::free(reply);
  return focused;
}

void TakeKeyboardFocus(QWidget& window) {
  xcb_connection_t* c = connection();
  if (!c || !window.isVisible()) return;
  // The current time: a focus change the window manager made after the
  // time of the user's last input would make an earlier time void.
  xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, static_cast<xcb_window_t>(window.winId()), XCB_CURRENT_TIME);
  xcb_flush(c);
}

}  // namespace platform::qt
