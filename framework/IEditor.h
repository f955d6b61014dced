#pragma once

namespace sorvano {

// What the plug-in base and the host binding need from an attached editor.
// The editor's graphics object (graphics/IEditorGraphics) implements it; the
// framework sees nothing else of the editor, so it builds and tests without
// the graphics library.
class IEditor {
public:
  virtual ~IEditor() = default;

  // Host thread or constructor, plug-in lock held: a parameter changed on the
  // plug-in side. Only stores values and flags that the editor thread reads.
  virtual void SetParameterFromPlugin(int paramIdx, double value, bool normalized) = 0;

  // Called once by AttachEditor: creates the draw surface.
  virtual void PrepareDraw() = 0;

  // Editor size in pixels.
  virtual int Width() const = 0;
  virtual int Height() const = 0;

  // Host thread, plug-in lock held: open the editor window inside the host's
  // parent window (an X11 window id on Linux). Returns the window or null.
  virtual void* OpenWindow(void* parent) = 0;
  virtual void CloseWindow() = 0;
};

}  // namespace sorvano
