#pragma once

// The host's side of an editor window, for the command-line host and the
// tests: a top-level window on a connection of its own (the frame a host
// hands to effEditOpen), real pointer and key events through the XTEST
// extension (as if a user moved the mouse), and screenshots of what the
// server shows. X-free header; main thread of its user.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sorvano::x11 {

class HostFrameWindow {
public:
  enum class Button : int { kLeft = 1, kRight = 3, kWheelUp = 4, kWheelDown = 5 };

  // Connects to DISPLAY and creates an unmapped top-level window of w x h.
  // Ok() tells whether that worked.
  HostFrameWindow(int width, int height, const std::string& title);
  ~HostFrameWindow();

  HostFrameWindow(const HostFrameWindow&) = delete;
  HostFrameWindow& operator=(const HostFrameWindow&) = delete;

  bool Ok() const;
  // Whether the server offers XTEST (needed for the pointer and keys).
  bool CanFakeInput() const;
  std::uint32_t Window() const { return mWindow; }

  void Map();
  void Unmap();
  void Resize(int width, int height);
  // Destroys the window (and every window inside it), as a host that goes
  // away before effEditClose does.
  void Destroy();
  // Waits until the server has handled every request of this connection.
  void Sync();

  // Pointer at (x, y) of the frame; buttons; modifier keys held or let go.
  void MovePointer(int x, int y);
  void PressButton(Button button);
  void ReleaseButton(Button button);
  void HoldControl(bool down);
  // Types the characters (letters, digits, '.', '-', ' '), then the key.
  void TypeText(const std::string& text);
  void PressEnter();
  void PressEscape();

  // The frame's pixels (0x00RRGGBB, rows of `width`) as the server shows
  // them now, inside the rectangle (x, y, w, h); empty on failure.
  std::vector<std::uint32_t> Capture(int x, int y, int width, int height);
  // The child windows of the frame (the plug-in's), bottom first.
  std::vector<std::uint32_t> Children();

private:
  struct Impl;
  std::unique_ptr<Impl> mImpl;
  std::uint32_t mWindow = 0;
};

}  // namespace sorvano::x11
