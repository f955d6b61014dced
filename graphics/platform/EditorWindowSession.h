#pragma once

// One open editor window: its own X connection, the child window inside the
// host's parent, the presenter, the value-entry popup, and the editor thread
// that drives them. Created by effEditOpen, destroyed by effEditClose.
//
// Lifecycle (the host thread holds the plug-in lock throughout 1, 2 and 4):
//   1. Open (host thread): connect to DISPLAY, check that the parent exists,
//      create the child window at the given place with the arrow cursor and
//      _XEMBED_INFO = {0, XEMBED_MAPPED}, map it. Any failure answers null.
//   2. Start (host thread): the editor thread starts and paints at once
//      (every control was marked dirty), so the first picture does not wait
//      for the first tick.
//   3. The editor thread waits on the X connection and a wake-up descriptor
//      until the next tick (every tickMs, absolute deadlines), routes pointer
//      events, presents exposed areas, and at each tick runs the popup's work
//      and the redraw cycle of IEditorGraphics. While the window is not
//      viewable (a host hid it without closing) nothing is drawn; what is
//      dirty stays dirty until the window is shown again. When the window or
//      the connection goes away (the host destroyed its parent, the server
//      ended), the thread ends quietly and waits to be joined.
//   4. Stop (host thread): an atomic flag, a wake-up, a join. The destructor
//      then destroys the window and closes the connection.
//
// The editor thread reaches the plug-in lock only through PluginLockGate
// (in the controls and the mouse routing), which gives up once the editor
// is closing, so step 4 never waits for a thread that waits for the host.

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <thread>

#include "graphics/DrawSurface.h"
#include "graphics/GraphicsTypes.h"
#include "graphics/TextRenderer.h"
#include "graphics/platform/EntryPopup.h"
#include "graphics/platform/ImagePresenter.h"
#include "graphics/platform/PointerRouter.h"
#include "graphics/platform/XcbConnection.h"

namespace sorvano {

class ISoftGraphics;
class IEditorControl;
class IEffectParam;

namespace x11 {

class EditorWindowSession {
public:
  // Host thread: step 1. parent is the host's window id; place is in the
  // parent's coordinates. Null when no window could be made.
  static std::unique_ptr<EditorWindowSession> Open(ISoftGraphics& editor, std::uint32_t parent, const IRect& place,
                                                   int tickMs);
  // Host thread: Stop, then the window and the connection go.
  ~EditorWindowSession();

  EditorWindowSession(const EditorWindowSession&) = delete;
  EditorWindowSession& operator=(const EditorWindowSession&) = delete;

  // Host thread: steps 2 and 4. Stop may be called more than once.
  void Start();
  void Stop();

  std::uint32_t Window() const { return mWindow; }
  // Host thread: the window's place in its parent now (where the host moved
  // it), or the place it was opened at when that cannot be read.
  IRect Placement() const;

  // Editor thread: copies rect of the draw surface to the window.
  bool Present(const IRect& rect);
  // Editor thread: opens the value-entry popup (both non-null) and gives it
  // the keyboard focus. Nothing when one is open already.
  void OpenPopup(IEditorControl* control, IEffectParam* param);
  // Editor thread: the popup's entry state, kOpen without a popup.
  EntryState PopupState() const;
  bool PopupOpen() const { return mPopup.has_value(); }

private:
  EditorWindowSession(ISoftGraphics& editor, std::unique_ptr<XcbConnection> connection, int tickMs);
  bool Create(std::uint32_t parent, const IRect& place);

  void Run();
  void HandleEvent(const xcb_generic_event_t* event);
  void HandlePopupEvent(const xcb_generic_event_t* event);
  void Tick();
  void PaintExposed();
  bool Viewable();

  void PaintPopup();
  void ClosePopup();
  void PopupKey(xcb_keycode_t key, std::uint16_t state);

  ISoftGraphics& mEditor;
  std::unique_ptr<XcbConnection> mConnection;
  const int mTickMs;
  xcb_window_t mWindow = XCB_NONE;
  xcb_colormap_t mColormap = XCB_NONE;
  xcb_cursor_t mCursor = XCB_NONE;
  xcb_visualid_t mVisual = 0;
  IRect mPlace;
  std::unique_ptr<ImagePresenter> mPresenter;
  PointerRouter mPointer;

  std::thread mThread;
  std::atomic<bool> mStopping{false};
  int mWakeFd = -1;

  // Editor thread only, from here on.
  bool mWindowGone = false;
  IRect mExposed;
  std::optional<EntryPopup> mPopup;
  xcb_window_t mPopupWindow = XCB_NONE;
  std::unique_ptr<ImagePresenter> mPopupPresenter;
  DrawSurface mPopupSurface;
  TextRenderer mPopupText;
  xcb_window_t mFocusBeforePopup = XCB_NONE;
  xcb_key_symbols_t* mKeySymbols = nullptr;
};

}  // namespace x11
}  // namespace sorvano
