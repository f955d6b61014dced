#pragma once

// The editor's graphics object inside a window of the host: the software
// drawing of ISoftGraphics, shown in an X11 child window of the host's
// editor frame (see EditorWindowSession.h for the window's life and its
// editor thread), with the value-entry popup, the link opener, the folder
// paths and the embedded PNG images.
//
// Threads: OpenWindow, CloseWindow and GetWindow come from host threads
// (with the plug-in lock held); hosts differ in which thread, and may call
// from two at once, so they are serialised by the window lock here. Drawing,
// PresentRect, the popup and the dialogs run on the editor thread.
// Lock order: plug-in lock, then the window lock.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "graphics/ISoftGraphics.h"

namespace sorvano {

namespace x11 {
class EditorWindowSession;
}

class IEditorWindow : public ISoftGraphics {
public:
  // Constructing thread. No window until OpenWindow.
  IEditorWindow(IEffectBase* plug, int width, int height, int fps);
  // Closes the window (and joins the editor thread) if one is open.
  ~IEditorWindow() override;

  // The redraw timer's period: trunc(1000 / frames per second) ms.
  static int TickMs(int fps) { return 1000 / (fps > 0 ? fps : kDefaultFps); }

  // Editor thread.
  bool PresentRect(const IRect& rect) override;
  // Editor thread: the graphics object's resize, the draw surface and the
  // window follow. The host's own windows are left to the host.
  void Resize(int w, int h) override;
  bool WindowIsOpen() override;
  void PromptParamInput(IEditorControl* control, IEffectParam* param) override;
  void HostPath(std::string& path) override;
  void PluginPath(std::string& path) override;
  // There are no file or colour dialogs inside a host's window here: the
  // name stays empty, the colour unchanged and the answer false. No control
  // of this editor asks for them.
  void PromptForFile(std::string& path, int action, const char* directory, const char* extensions) override;
  bool PromptForColor(IColor& color, const char* prompt) override;
  // Starts `xdg-open address` (no shell); true when it started. With a confirmation text, which
  // this window host cannot ask, the answer is false and nothing opens.
  bool OpenLink(const char* address, const char* title, const char* confirmation, const char* errorText) override;

  // Host thread, plug-in lock held. parent is the host's X window id. A
  // window already open is closed first and the new one takes its place and
  // size. Every control is marked dirty. Answers the window id or null.
  void* OpenWindow(void* parent) override;
  // Host thread, plug-in lock held: marks the editor closing (so the editor
  // thread gives up waiting for the plug-in lock), stops and joins the
  // editor thread, destroys the window and its connection.
  void CloseWindow() override;
  // Any thread: the window id as a pointer, or null.
  void* GetWindow() override;

  // Load cache lock held: the embedded PNG of this id, decoded.
  PixelSurface* LoadImageResource(int resourceId, const char* fileName) override;

private:
  void CloseLocked();

  std::mutex mWindowLock;
  std::unique_ptr<x11::EditorWindowSession> mSession;
  // The session the editor thread presents to; set before its thread starts
  // and cleared after it was joined.
  std::atomic<x11::EditorWindowSession*> mActive{nullptr};
  std::atomic<std::uintptr_t> mWindowId{0};
};

}  // namespace sorvano
