#pragma once

// One connection to the X server, owned by one editor window (or by the
// command-line host's own window). It never touches a connection of the
// host's: it connects to the server named by DISPLAY itself. Errors of
// requests made on it arrive on this connection alone, as error events or
// failed replies; nothing here installs a process-wide handler.
//
// Threads: XCB connections are thread-safe, but each window keeps its
// connection on the thread that drives it after set-up (the host thread sets
// it up, then only the editor thread uses it until the host thread closes it
// after joining that thread).

#include <xcb/xcb.h>

#include <cstdint>
#include <string>

namespace sorvano::x11 {

class XcbConnection {
public:
  // Connects to DISPLAY. Check Ok() afterwards.
  XcbConnection();
  ~XcbConnection();

  XcbConnection(const XcbConnection&) = delete;
  XcbConnection& operator=(const XcbConnection&) = delete;

  // Connected and no error since.
  bool Ok() const;
  xcb_connection_t* Get() const { return mConnection; }
  // The screen whose root is `root`, or the default screen for XCB_NONE;
  // null when there is none.
  xcb_screen_t* ScreenOfRoot(xcb_window_t root) const;
  // The atom of a name (created when missing); XCB_ATOM_NONE on failure.
  xcb_atom_t Atom(const char* name) const;
  // Waits until the server has handled every request sent so far.
  void Sync() const;
  // Largest request in bytes the server accepts.
  std::uint32_t MaxRequestBytes() const;

private:
  xcb_connection_t* mConnection = nullptr;
  int mDefaultScreen = 0;
};

// Frees a reply or error that XCB allocated.
struct XcbFree {
  void operator()(void* p) const;
};

}  // namespace sorvano::x11
