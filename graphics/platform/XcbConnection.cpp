#include "graphics/platform/XcbConnection.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace sorvano::x11 {

void XcbFree::operator()(void* p) const { std::free(p); }

XcbConnection::XcbConnection() {
  xcb_connection_t* connection = xcb_connect(nullptr, &mDefaultScreen);
  if (xcb_connection_has_error(connection)) {
    // A failed connection is still an object that must be disconnected.
    xcb_disconnect(connection);
    return;
  }
  mConnection = connection;
}

XcbConnection::~XcbConnection() {
  if (mConnection) xcb_disconnect(mConnection);
}

bool XcbConnection::Ok() const { return mConnection && !xcb_connection_has_error(mConnection); }

xcb_screen_t* XcbConnection::ScreenOfRoot(xcb_window_t root) const {
  if (!mConnection) return nullptr;
  int index = 0;
  for (xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(mConnection)); it.rem;
       xcb_screen_next(&it), ++index) {
    if (root == xcb_window_t{XCB_NONE} ? index == mDefaultScreen : it.data->root == root) return it.data;
  }
  return nullptr;
}

xcb_atom_t XcbConnection::Atom(const char* name) const {
  if (!Ok()) return XCB_ATOM_NONE;
  const xcb_intern_atom_cookie_t cookie =
      xcb_intern_atom(mConnection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
  std::unique_ptr<xcb_intern_atom_reply_t, XcbFree> reply(xcb_intern_atom_reply(mConnection, cookie, nullptr));
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

void XcbConnection::Sync() const {
  if (!Ok()) return;
  std::unique_ptr<xcb_get_input_focus_reply_t, XcbFree> reply(
      xcb_get_input_focus_reply(mConnection, xcb_get_input_focus(mConnection), nullptr));
}

std::uint32_t XcbConnection::MaxRequestBytes() const {
  // The length is counted in four-byte units; the big-requests extension,
  // when present, raises it.
  return mConnection ? xcb_get_maximum_request_length(mConnection) * 4u : 0u;
}

}  // namespace sorvano::x11
