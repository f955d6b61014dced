#include "graphics/platform/EditorWindowSession.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "graphics/ISoftGraphics.h"
#include "graphics/Surface.h"

namespace sorvano::x11 {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kXembedVersion = 0;
constexpr std::uint32_t kXembedMapped = 1u << 0;
// The standard arrow of the X cursor font (XC_left_ptr) and its mask.
constexpr std::uint16_t kArrowGlyph = 68;
constexpr std::uint8_t kTrueColorDepth = 24;
constexpr std::uint8_t kEventTypeMask = 0x7f;

// Key symbols used by the popup.
constexpr xcb_keysym_t kKeyReturn = 0xff0d;
constexpr xcb_keysym_t kKeyPadEnter = 0xff8d;
constexpr xcb_keysym_t kKeyEscape = 0xff1b;
constexpr xcb_keysym_t kKeyBackSpace = 0xff08;
constexpr xcb_keysym_t kKeyPad0 = 0xffb0;
constexpr xcb_keysym_t kKeyPad9 = 0xffb9;
constexpr xcb_keysym_t kKeyPadDecimal = 0xffae;
constexpr xcb_keysym_t kKeyPadSubtract = 0xffad;

constexpr std::uint32_t kWindowEvents =
    XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
    XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_LEAVE_WINDOW | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
constexpr std::uint32_t kPopupEvents = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                                       XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_FOCUS_CHANGE;

const IColor kPopupBack(255, 255, 255, 255);
const IColor kPopupInk(255, 0, 0, 0);
const IColor kPopupSelection(255, 51, 102, 204);
const IColor kPopupSelectedInk(255, 255, 255, 255);

PointerModifiers Modifiers(std::uint16_t state) {
  PointerModifiers mods;
  mods.left = state & XCB_BUTTON_MASK_1;
  mods.right = state & XCB_BUTTON_MASK_3;
  mods.shift = state & XCB_MOD_MASK_SHIFT;
  mods.control = state & XCB_MOD_MASK_CONTROL;
  mods.alt = state & XCB_MOD_MASK_1;
  return mods;
}

// A depth-24 TrueColor visual of the screen, the root's when it is one.
xcb_visualid_t TrueColorVisual(const xcb_screen_t* screen) {
  xcb_visualid_t found = 0;
  for (xcb_depth_iterator_t d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d)) {
    if (d.data->depth != kTrueColorDepth) continue;
    for (xcb_visualtype_iterator_t v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
      if (v.data->_class != XCB_VISUAL_CLASS_TRUE_COLOR) continue;
      if (v.data->visual_id == screen->root_visual) return v.data->visual_id;
      if (!found) found = v.data->visual_id;
    }
  }
  return found;
}

bool ReadGeometry(const XcbConnection& connection, xcb_drawable_t drawable, xcb_get_geometry_reply_t* out) {
  std::unique_ptr<xcb_get_geometry_reply_t, XcbFree> reply(
      xcb_get_geometry_reply(connection.Get(), xcb_get_geometry(connection.Get(), drawable), nullptr));
  if (!reply) return false;
  *out = *reply;
  return true;
}

}  // namespace

std::unique_ptr<EditorWindowSession> EditorWindowSession::Open(ISoftGraphics& editor, std::uint32_t parent,
                                                               const IRect& place, int tickMs) {
  if (parent == XCB_NONE || place.W() <= 0 || place.H() <= 0) return nullptr;
  auto connection = std::make_unique<XcbConnection>();
  if (!connection->Ok()) return nullptr;
  std::unique_ptr<EditorWindowSession> session(new EditorWindowSession(editor, std::move(connection), tickMs));
  if (!session->Create(parent, place)) return nullptr;
  return session;
}

EditorWindowSession::EditorWindowSession(ISoftGraphics& editor, std::unique_ptr<XcbConnection> connection,
                                         int tickMs)
    : mEditor(editor), mConnection(std::move(connection)), mTickMs(std::max(tickMs, 1)), mPointer(editor) {}

bool EditorWindowSession::Create(std::uint32_t parent, const IRect& place) {
  xcb_connection_t* c = mConnection->Get();
  xcb_get_geometry_reply_t parentGeometry;
  // The parent must exist on this server: an id that names nothing fails
  // here rather than as an error nobody reads.
  if (!ReadGeometry(*mConnection, parent, &parentGeometry)) return false;
  const xcb_screen_t* screen = mConnection->ScreenOfRoot(parentGeometry.root);
  if (!screen) return false;
  mVisual = TrueColorVisual(screen);
  if (!mVisual) return false;

  mColormap = xcb_generate_id(c);
  xcb_create_colormap(c, XCB_COLORMAP_ALLOC_NONE, mColormap, screen->root, mVisual);
  const xcb_font_t cursorFont = xcb_generate_id(c);
  xcb_open_font(c, cursorFont, 6, "cursor");
  mCursor = xcb_generate_id(c);
  xcb_create_glyph_cursor(c, mCursor, cursorFont, cursorFont, kArrowGlyph, kArrowGlyph + 1, 0, 0, 0, 0xffff,
                          0xffff, 0xffff);
  xcb_close_font(c, cursorFont);

  mWindow = xcb_generate_id(c);
  // No background: the editor paints every pixel, and the server clearing
  // exposed areas first would only flicker. Values in the order of their bits.
  const std::uint32_t values[] = {XCB_BACK_PIXMAP_NONE, 0, kWindowEvents, mColormap, mCursor};
  std::unique_ptr<xcb_generic_error_t, XcbFree> error(xcb_request_check(
      c, xcb_create_window_checked(c, kTrueColorDepth, mWindow, parent, static_cast<std::int16_t>(place.L),
                                   static_cast<std::int16_t>(place.T), static_cast<std::uint16_t>(place.W()),
                                   static_cast<std::uint16_t>(place.H()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, mVisual,
                                   XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK | XCB_CW_COLORMAP |
                                       XCB_CW_CURSOR,
                                   values)));
  if (error) {
    mWindow = XCB_NONE;
    return false;
  }
  mPlace = place;

  static constexpr char kTitle[] = "Sorvano";
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, mWindow, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, sizeof kTitle - 1,
                      kTitle);
  const xcb_atom_t xembedInfo = mConnection->Atom("_XEMBED_INFO");
  const std::uint32_t xembed[] = {kXembedVersion, kXembedMapped};
  if (xembedInfo != XCB_ATOM_NONE) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, mWindow, xembedInfo, xembedInfo, 32, 2, xembed);
  }
  xcb_map_window(c, mWindow);
  mPresenter = std::make_unique<ImagePresenter>(*mConnection, mWindow, kTrueColorDepth, place.W(), place.H(), true);
  mKeySymbols = xcb_key_symbols_alloc(c);
  mConnection->Sync();
  return mConnection->Ok();
}

EditorWindowSession::~EditorWindowSession() {
  Stop();
  xcb_connection_t* c = mConnection->Get();
  if (c) {
    mPopupPresenter.reset();
    mPresenter.reset();
    // A window the server destroyed with its parent is not destroyed again.
    if (mWindow != XCB_NONE && !mWindowGone) xcb_destroy_window(c, mWindow);
    if (mCursor != XCB_NONE) xcb_free_cursor(c, mCursor);
    if (mColormap != XCB_NONE) xcb_free_colormap(c, mColormap);
    xcb_flush(c);
  }
  if (mKeySymbols) xcb_key_symbols_free(mKeySymbols);
  if (mWakeFd >= 0) close(mWakeFd);
}

void EditorWindowSession::Start() {
  if (mThread.joinable()) return;
  mWakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  mThread = std::thread([this] { Run(); });
}

void EditorWindowSession::Stop() {
  if (!mThread.joinable()) return;
  mStopping.store(true, std::memory_order_release);
  const std::uint64_t one = 1;
  if (mWakeFd >= 0) [[maybe_unused]] const auto written = write(mWakeFd, &one, sizeof one);
  mThread.join();
}

IRect EditorWindowSession::Placement() const {
  xcb_get_geometry_reply_t geometry;
  if (mWindow == XCB_NONE || !ReadGeometry(*mConnection, mWindow, &geometry)) return mPlace;
  return IRect(geometry.x, geometry.y, geometry.x + geometry.width, geometry.y + geometry.height);
}

void EditorWindowSession::Run() {
  xcb_connection_t* c = mConnection->Get();
  const auto tick = std::chrono::milliseconds(mTickMs);
  Tick();
  auto deadline = Clock::now() + tick;
  while (!mStopping.load(std::memory_order_acquire)) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
      HandleEvent(event);
      std::free(event);
    }
    if (xcb_connection_has_error(c) || mWindowGone) return;
    PaintExposed();
    const auto now = Clock::now();
    if (now >= deadline) {
      Tick();
      deadline += tick;
      // After a stall, the next tick is one period away, not a burst.
      if (deadline <= now) deadline = now + tick;
      continue;
    }
    pollfd fds[2] = {{xcb_get_file_descriptor(c), POLLIN, 0}, {mWakeFd, POLLIN, 0}};
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count() + 1;
    poll(fds, 2, static_cast<int>(wait));
  }
}

bool EditorWindowSession::Viewable() {
  xcb_connection_t* c = mConnection->Get();
  std::unique_ptr<xcb_get_window_attributes_reply_t, XcbFree> reply(
      xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, mWindow), nullptr));
  return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

void EditorWindowSession::Tick() {
  if (mPopup) {
    switch (mPopup->State()) {
      case EntryState::kFocused:
        return;
      case EntryState::kRefresh:
        mPopup->Refresh();
        mPopup->SetState(EntryState::kOpen);
        PaintPopup();
        return;
      case EntryState::kCancel:
        ClosePopup();
        return;
      case EntryState::kCommit:
        mPopup->Commit();
        ClosePopup();
        return;
      case EntryState::kOpen:
        break;
    }
  }
  IRect dirty;
  if (!mEditor.IsDirty(dirty)) return;
  // A hidden window costs one query per tick with something to draw; what
  // is dirty stays dirty until the window is shown and exposed again.
  if (!Viewable()) return;
  mEditor.Draw(dirty);
  if (mPopup) mPopup->SetState(EntryState::kRefresh);
}

void EditorWindowSession::PaintExposed() {
  if (mExposed.Empty()) return;
  const IRect exposed = mExposed;
  mExposed = IRect();
  if (mPopup && mPopup->State() == EntryState::kFocused) return;
  IRect dirty = exposed;
  // Controls not drawn yet (a window shown for the first time, or again
  // after it was hidden) are drawn now rather than at the next tick.
  if (mEditor.IsDirty(dirty)) {
    mEditor.Draw(dirty);
  } else {
    Present(exposed);
  }
}

bool EditorWindowSession::Present(const IRect& rect) {
  DrawSurface* surface = mEditor.GetDrawSurface();
  if (!surface || !mPresenter || mWindowGone) return false;
  return mPresenter->Present(surface->Bits(), surface->RowSpan(), surface->Width(), surface->Height(), rect);
}

void EditorWindowSession::HandleEvent(const xcb_generic_event_t* event) {
  const std::uint8_t type = event->response_type & kEventTypeMask;
  // Errors of our own requests (a parent destroyed under us, a focus change
  // that came too late) are ours alone to ignore.
  if (type == 0) return;
  if (mPopup && mPopupWindow != XCB_NONE) {
    const xcb_window_t target = type == XCB_EXPOSE ? reinterpret_cast<const xcb_expose_event_t*>(event)->window
                                : type == XCB_BUTTON_PRESS
                                    ? reinterpret_cast<const xcb_button_press_event_t*>(event)->event
                                : type == XCB_KEY_PRESS ? reinterpret_cast<const xcb_key_press_event_t*>(event)->event
                                : (type == XCB_FOCUS_IN || type == XCB_FOCUS_OUT)
                                    ? reinterpret_cast<const xcb_focus_in_event_t*>(event)->event
                                    : XCB_NONE;
    if (target == mPopupWindow) {
      HandlePopupEvent(event);
      return;
    }
    // While the popup has the focus, the editor handles nothing but a right
    // press, which cancels the entry.
    if (type == XCB_BUTTON_PRESS) {
      const auto* press = reinterpret_cast<const xcb_button_press_event_t*>(event);
      if (press->detail == static_cast<int>(PointerButton::kRight)) {
        mPopup->SetState(EntryState::kCancel);
        return;
      }
    }
    if (mPopup->State() == EntryState::kFocused && type != XCB_DESTROY_NOTIFY) return;
  }
  switch (type) {
    case XCB_EXPOSE: {
      const auto* expose = reinterpret_cast<const xcb_expose_event_t*>(event);
      mExposed = mExposed.Union(IRect(expose->x, expose->y, expose->x + expose->width, expose->y + expose->height));
      break;
    }
    case XCB_BUTTON_PRESS: {
      const auto* press = reinterpret_cast<const xcb_button_press_event_t*>(event);
      mPointer.Press(static_cast<PointerButton>(press->detail), press->event_x, press->event_y,
                     Modifiers(press->state), press->time);
      break;
    }
    case XCB_BUTTON_RELEASE: {
      const auto* release = reinterpret_cast<const xcb_button_release_event_t*>(event);
      mPointer.Release(static_cast<PointerButton>(release->detail), release->event_x, release->event_y,
                       Modifiers(release->state));
      break;
    }
    case XCB_MOTION_NOTIFY: {
      const auto* motion = reinterpret_cast<const xcb_motion_notify_event_t*>(event);
      mPointer.Motion(motion->event_x, motion->event_y, Modifiers(motion->state));
      break;
    }
    case XCB_LEAVE_NOTIFY: {
      const auto* leave = reinterpret_cast<const xcb_leave_notify_event_t*>(event);
      if (leave->mode == XCB_NOTIFY_MODE_NORMAL) mPointer.Leave(Modifiers(leave->state));
      break;
    }
    case XCB_DESTROY_NOTIFY:
      if (reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window == mWindow) mWindowGone = true;
      break;
    default:
      break;
  }
}

// ---- Value-entry popup. No native edit control exists inside a host's
// window on X11, so the popup is a child window that this editor draws and
// whose keys it reads itself.

void EditorWindowSession::OpenPopup(IEditorControl* control, IEffectParam* param) {
  if (mPopup || !control || !param || mWindowGone) return;
  mPopup.emplace(control, param);
  const IRect r = mPopup->Rect();
  xcb_connection_t* c = mConnection->Get();
  {
    std::unique_ptr<xcb_get_input_focus_reply_t, XcbFree> focus(
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    mFocusBeforePopup = focus ? focus->focus : XCB_NONE;
  }
  mPopupWindow = xcb_generate_id(c);
  const std::uint32_t values[] = {0, 0, kPopupEvents, mColormap, mCursor};
  xcb_create_window(c, kTrueColorDepth, mPopupWindow, mWindow, static_cast<std::int16_t>(r.L),
                    static_cast<std::int16_t>(r.T), static_cast<std::uint16_t>(r.W()),
                    static_cast<std::uint16_t>(r.H()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, mVisual,
                    XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK | XCB_CW_COLORMAP | XCB_CW_CURSOR,
                    values);
  xcb_map_window(c, mPopupWindow);
  mPopupSurface.Resize(r.W(), r.H());
  mPopupPresenter = std::make_unique<ImagePresenter>(*mConnection, mPopupWindow, kTrueColorDepth, r.W(), r.H(), false);
  // Focus goes to the popup once it is viewable; a window that is not yet
  // gives an error event, which is ignored, and the popup stays unfocused.
  xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, mPopupWindow, XCB_CURRENT_TIME);
  PaintPopup();
}

EntryState EditorWindowSession::PopupState() const { return mPopup ? mPopup->State() : EntryState::kOpen; }

void EditorWindowSession::ClosePopup() {
  if (!mPopup) return;
  xcb_connection_t* c = mConnection->Get();
  mPopupPresenter.reset();
  xcb_destroy_window(c, mPopupWindow);
  // The keyboard goes back to whoever had it before, normally the host.
  const xcb_window_t back =
      mFocusBeforePopup == xcb_window_t{XCB_NONE} ? xcb_window_t{XCB_INPUT_FOCUS_POINTER_ROOT} : mFocusBeforePopup;
  xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, back, XCB_CURRENT_TIME);
  xcb_flush(c);
  mPopupWindow = XCB_NONE;
  mPopup.reset();
}

void EditorWindowSession::HandlePopupEvent(const xcb_generic_event_t* event) {
  switch (event->response_type & kEventTypeMask) {
    case XCB_EXPOSE:
      PaintPopup();
      break;
    case XCB_FOCUS_IN: {
      const auto* focus = reinterpret_cast<const xcb_focus_in_event_t*>(event);
      if (focus->detail != XCB_NOTIFY_DETAIL_POINTER &&
          (mPopup->State() == EntryState::kOpen || mPopup->State() == EntryState::kRefresh)) {
        mPopup->SetState(EntryState::kFocused);
      }
      break;
    }
    case XCB_FOCUS_OUT: {
      const auto* focus = reinterpret_cast<const xcb_focus_out_event_t*>(event);
      if (focus->detail != XCB_NOTIFY_DETAIL_POINTER && mPopup->State() == EntryState::kFocused) {
        mPopup->SetState(EntryState::kOpen);
      }
      break;
    }
    case XCB_KEY_PRESS: {
      const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
      PopupKey(key->detail, key->state);
      break;
    }
    case XCB_BUTTON_PRESS: {
      const auto* press = reinterpret_cast<const xcb_button_press_event_t*>(event);
      if (press->detail == static_cast<int>(PointerButton::kRight)) {
        mPopup->SetState(EntryState::kCancel);
      } else if (press->detail == static_cast<int>(PointerButton::kLeft) && mPopup->IsList()) {
        // Row 0 shows the current choice, rows 1..n the texts.
        mPopup->Choose(press->event_y / EntryPopup::kListRowHeight - 1);
        PaintPopup();
      }
      break;
    }
    default:
      break;
  }
}

void EditorWindowSession::PopupKey(xcb_keycode_t key, std::uint16_t state) {
  if (!mKeySymbols) return;
  xcb_keysym_t sym = xcb_key_symbols_get_keysym(mKeySymbols, key, (state & XCB_MOD_MASK_SHIFT) ? 1 : 0);
  // With Num Lock on, the keypad's second column holds its digits.
  const xcb_keysym_t keypad = xcb_key_symbols_get_keysym(mKeySymbols, key, 1);
  if ((state & XCB_MOD_MASK_2) && ((keypad >= kKeyPad0 && keypad <= kKeyPad9) || keypad == kKeyPadDecimal)) {
    sym = keypad;
  }
  if (sym == kKeyReturn || sym == kKeyPadEnter) {
    mPopup->SetState(EntryState::kCommit);
  } else if (sym == kKeyEscape) {
    mPopup->SetState(EntryState::kCancel);
  } else if (sym == kKeyBackSpace) {
    mPopup->Backspace();
  } else if (sym >= kKeyPad0 && sym <= kKeyPad9) {
    mPopup->Type(static_cast<char>('0' + (sym - kKeyPad0)));
  } else if (sym == kKeyPadDecimal) {
    mPopup->Type('.');
  } else if (sym == kKeyPadSubtract) {
    mPopup->Type('-');
  } else if (sym >= 0x20 && sym <= 0x7e) {
    // Latin-1 key symbols are their characters.
    mPopup->Type(static_cast<char>(sym));
  }
  PaintPopup();
}

void EditorWindowSession::PaintPopup() {
  if (!mPopup || !mPopupPresenter || !mPopupSurface.Bits()) return;
  const int w = mPopupSurface.Width();
  const int h = mPopupSurface.Height();
  SurfaceFillRect(&mPopupSurface, 0, 0, w, h, kPopupBack.ToPixel(), 1.0f, SurfaceMode::kCopy);
  mPopupText.SelectFont(EntryPopup::kFontSize, ITextStyle::kNormal);
  const int cell = mPopupText.CellHeight();
  if (mPopup->IsList()) {
    const int rows = mPopup->ItemCount() + 1;
    for (int row = 0; row < rows; ++row) {
      const int top = row * EntryPopup::kListRowHeight;
      const bool selected = row > 0 && row - 1 == mPopup->Selected();
      if (selected) {
        SurfaceFillRect(&mPopupSurface, 0, top, w, EntryPopup::kListRowHeight, kPopupSelection.ToPixel(), 1.0f,
                        SurfaceMode::kCopy);
      }
      const char* text = row == 0 ? mPopup->Text().c_str() : mPopup->ItemText(row - 1);
      const int y = top + (EntryPopup::kListRowHeight - cell) / 2;
      mPopupText.Draw(&mPopupSurface, text, IRect(0, y, w, y + cell), ITextStyle::kCenter,
                      selected ? kPopupSelectedInk : kPopupInk);
    }
  } else {
    const int y = (h - cell) / 2;
    mPopupText.Draw(&mPopupSurface, mPopup->Text().c_str(), IRect(0, y, w, y + cell), ITextStyle::kCenter, kPopupInk);
  }
  mPopupPresenter->Present(mPopupSurface.Bits(), mPopupSurface.RowSpan(), w, h, IRect(0, 0, w, h));
}

}  // namespace sorvano::x11
