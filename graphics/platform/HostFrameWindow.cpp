#include "graphics/platform/HostFrameWindow.h"

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <cstdlib>
#include <cstring>

#include "graphics/platform/XcbConnection.h"

namespace sorvano::x11 {

namespace {
constexpr xcb_keysym_t kKeyControlLeft = 0xffe3;
constexpr xcb_keysym_t kKeyShiftLeft = 0xffe1;
constexpr xcb_keysym_t kKeyReturn = 0xff0d;
constexpr xcb_keysym_t kKeyEscape = 0xff1b;
constexpr xcb_keysym_t kKeyPeriod = 0x2e;
constexpr xcb_keysym_t kKeyMinus = 0x2d;
constexpr std::uint32_t kPixelMask = 0x00ffffff;
}  // namespace

struct HostFrameWindow::Impl {
  XcbConnection connection;
  xcb_screen_t* screen = nullptr;
  xcb_key_symbols_t* keys = nullptr;
  bool xtest = false;

  ~Impl() {
    if (keys) xcb_key_symbols_free(keys);
  }

  void Fake(std::uint8_t type, std::uint8_t detail, std::int16_t x = 0, std::int16_t y = 0) {
    xcb_test_fake_input(connection.Get(), type, detail, XCB_CURRENT_TIME, screen->root, x, y, 0);
    connection.Sync();
  }

  // The key code and whether Shift is needed for a key symbol; 0 if none.
  xcb_keycode_t Code(xcb_keysym_t sym, bool* shifted) {
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(keys, sym);
    xcb_keycode_t code = codes ? codes[0] : 0;
    std::free(codes);
    *shifted = code && xcb_key_symbols_get_keysym(keys, code, 0) != sym;
    return code;
  }

  void Key(xcb_keysym_t sym) {
    bool shifted = false;
    const xcb_keycode_t code = Code(sym, &shifted);
    if (!code) return;
    bool unused = false;
    const xcb_keycode_t shift = Code(kKeyShiftLeft, &unused);
    if (shifted && shift) Fake(XCB_KEY_PRESS, shift);
    Fake(XCB_KEY_PRESS, code);
    Fake(XCB_KEY_RELEASE, code);
    if (shifted && shift) Fake(XCB_KEY_RELEASE, shift);
  }
};

HostFrameWindow::HostFrameWindow(int width, int height, const std::string& title) : mImpl(new Impl) {
  if (!mImpl->connection.Ok()) return;
  xcb_connection_t* c = mImpl->connection.Get();
  mImpl->screen = mImpl->connection.ScreenOfRoot(XCB_NONE);
  if (!mImpl->screen) return;
  const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(c, &xcb_test_id);
  mImpl->xtest = xtest && xtest->present;
  mImpl->keys = xcb_key_symbols_alloc(c);
  mWindow = xcb_generate_id(c);
  const std::uint32_t values[] = {mImpl->screen->black_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
  xcb_create_window(c, XCB_COPY_FROM_PARENT, mWindow, mImpl->screen->root, 0, 0, static_cast<std::uint16_t>(width),
                    static_cast<std::uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                    mImpl->screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, mWindow, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                      static_cast<std::uint32_t>(title.size()), title.data());
  Sync();
}

HostFrameWindow::~HostFrameWindow() { Destroy(); }

bool HostFrameWindow::Ok() const { return mImpl->connection.Ok() && mWindow != 0; }

bool HostFrameWindow::CanFakeInput() const { return Ok() && mImpl->xtest && mImpl->keys; }

void HostFrameWindow::Map() {
  if (!Ok()) return;
  xcb_map_window(mImpl->connection.Get(), mWindow);
  Sync();
}

void HostFrameWindow::Unmap() {
  if (!Ok()) return;
  xcb_unmap_window(mImpl->connection.Get(), mWindow);
  Sync();
}

void HostFrameWindow::Resize(int width, int height) {
  if (!Ok()) return;
  const std::uint32_t size[] = {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
  xcb_configure_window(mImpl->connection.Get(), mWindow, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
  Sync();
}

void HostFrameWindow::Destroy() {
  if (!Ok()) return;
  xcb_destroy_window(mImpl->connection.Get(), mWindow);
  Sync();
  mWindow = 0;
}

void HostFrameWindow::Sync() { mImpl->connection.Sync(); }

void HostFrameWindow::MovePointer(int x, int y) {
  if (!CanFakeInput()) return;
  xcb_connection_t* c = mImpl->connection.Get();
  std::unique_ptr<xcb_translate_coordinates_reply_t, XcbFree> at(xcb_translate_coordinates_reply(
      c,
      xcb_translate_coordinates(c, mWindow, mImpl->screen->root, static_cast<std::int16_t>(x),
                                static_cast<std::int16_t>(y)),
      nullptr));
  if (!at) return;
  mImpl->Fake(XCB_MOTION_NOTIFY, 0, at->dst_x, at->dst_y);
}

void HostFrameWindow::PressButton(Button button) {
  if (CanFakeInput()) mImpl->Fake(XCB_BUTTON_PRESS, static_cast<std::uint8_t>(button));
}

void HostFrameWindow::ReleaseButton(Button button) {
  if (CanFakeInput()) mImpl->Fake(XCB_BUTTON_RELEASE, static_cast<std::uint8_t>(button));
}

void HostFrameWindow::HoldControl(bool down) {
  if (!CanFakeInput()) return;
  bool unused = false;
  const xcb_keycode_t code = mImpl->Code(kKeyControlLeft, &unused);
  if (code) mImpl->Fake(down ? XCB_KEY_PRESS : XCB_KEY_RELEASE, code);
}

void HostFrameWindow::TypeText(const std::string& text) {
  if (!CanFakeInput()) return;
  for (const char ch : text) {
    const xcb_keysym_t sym = ch == '.' ? kKeyPeriod : ch == '-' ? kKeyMinus : static_cast<unsigned char>(ch);
    mImpl->Key(sym);
  }
}

void HostFrameWindow::PressEnter() {
  if (CanFakeInput()) mImpl->Key(kKeyReturn);
}

void HostFrameWindow::PressEscape() {
  if (CanFakeInput()) mImpl->Key(kKeyEscape);
}

std::vector<std::uint32_t> HostFrameWindow::Capture(int x, int y, int width, int height) {
  if (!Ok() || width <= 0 || height <= 0) return {};
  xcb_connection_t* c = mImpl->connection.Get();
  std::unique_ptr<xcb_get_image_reply_t, XcbFree> image(xcb_get_image_reply(
      c,
      xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, mWindow, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                    static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), ~0u),
      nullptr));
  if (!image) return {};
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  const int bytes = xcb_get_image_data_length(image.get());
  // Only 32-bit pixels are read (every TrueColor depth-24 server here).
  if (bytes < 0 || static_cast<std::size_t>(bytes) != count * 4) return {};
  std::vector<std::uint32_t> pixels(count);
  std::memcpy(pixels.data(), xcb_get_image_data(image.get()), count * 4);
  for (std::uint32_t& p : pixels) p &= kPixelMask;
  return pixels;
}

std::vector<std::uint32_t> HostFrameWindow::Children() {
  if (!Ok()) return {};
  xcb_connection_t* c = mImpl->connection.Get();
  std::unique_ptr<xcb_query_tree_reply_t, XcbFree> tree(xcb_query_tree_reply(c, xcb_query_tree(c, mWindow), nullptr));
  if (!tree) return {};
  const xcb_window_t* children = xcb_query_tree_children(tree.get());
  return std::vector<std::uint32_t>(children, children + xcb_query_tree_children_length(tree.get()));
}

}  // namespace sorvano::x11
