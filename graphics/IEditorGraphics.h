#pragma once

// The editor's graphics object: owns the controls, decides what is redrawn,
// routes mouse events and connects controls to plug-in parameters both ways.
// Everything that needs pixels or a window is abstract here: the drawing
// surface class implements the drawing, the window host the window, its timer
// and the dialogs.
//
// Redraw cycle, on the editor thread at every timer tick:
//   1. IsDirty() from an empty rectangle collects the dirty controls; when
//      none is dirty nothing happens this tick.
//   2. The window host paints the collected rectangle at once and calls Draw()
//      with the platform's update rectangle (which contains it).
//   3. Draw() widens the rectangle to cover every visible control it
//      touches (the background aside), so that a control is never drawn
//      again over its own ink outside the part of the background that is
//      repainted; it draws every visible control in that rectangle, in
//      index order (the background first), and then marks every control clean,
//      drawn or not, so that a control asking for one more redraw during this
//      cycle (redraw pending) is collected again next tick.
//
// Threads: drawing and mouse routing run on the editor thread. Host threads
// call SetParameterFromPlugin (plug-in lock held); it only stores values and
// flags in the controls, which are atomics that the editor thread picks up at
// its next tick. The control list itself changes only on the constructing
// thread or the editor thread, under mControlsLock; SetParameterFromPlugin
// walks it under the same lock.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "framework/IEditor.h"
#include "graphics/GraphicsTypes.h"

namespace sorvano {

class IEffectBase;
class IEffectParam;
class IEditorControl;

class IEditorGraphics : public IEditor {
public:
  static constexpr int kDefaultFps = 24;

  // Constructing thread. A frame rate that is not positive becomes 24.
  IEditorGraphics(IEffectBase* plug, int width, int height, int fps);
  ~IEditorGraphics() override;

  IEditorGraphics(const IEditorGraphics&) = delete;
  IEditorGraphics& operator=(const IEditorGraphics&) = delete;

  // ---- Operations the drawing surface and the window host implement, in
  // slot order. Coordinates are editor pixels, x right, y down. A null blend
  // means the default method at weight 1.

  // Called once by the plug-in base's AttachEditor: creates the draw surface.
  void PrepareDraw() override = 0;
  // Editor thread: copies that part of the draw surface to the window.
  virtual bool PresentRect(const IRect& rect) = 0;
  // Editor thread: blits image pixels from (srcX, srcY) into dest, clipped to
  // the draw rectangle of the redraw in progress.
  virtual bool DrawImage(const IImage& image, const IRect& dest, int srcX, int srcY,
                         const IBlend* blend) = 0;
  virtual bool DrawRotatedImage(const IImage& image, int cx, int cy, double angle, int yOffset,
                                const IBlend* blend) = 0;
  virtual bool DrawRotatedMask(const IImage& base, const IImage& mask, const IImage& top, int x,
                               int y, double degrees, const IBlend* blend) = 0;
  virtual bool DrawPoint(const IColor& color, float x, float y, const IBlend* blend,
                         bool antialias) = 0;
  // Writes the colour word into one pixel, no blending.
  virtual bool ForcePixel(const IColor& color, int x, int y) = 0;
  virtual bool DrawLine(const IColor& color, float x1, float y1, float x2, float y2,
                        const IBlend* blend, bool antialias) = 0;
  // Angles in radians: 0 points straight up, angles grow clockwise.
  virtual bool DrawArc(const IColor& color, float cx, float cy, float r, float minAngle,
                       float maxAngle, const IBlend* blend, bool antialias) = 0;
  virtual bool DrawCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend,
                          bool antialias) = 0;
  virtual bool FillRect(const IColor& color, const IRect& rect, const IBlend* blend) = 0;
  // A null text draws nothing and answers true.
  virtual bool DrawText(const ITextStyle& style, const char* text, const IRect& rect) = 0;
  // The pixel at (x, y); 0 outside the surface.
  virtual IColor GetPoint(int x, int y) = 0;
  // Pixel (0, 0) of the draw surface; rows are Width() pixels apart.
  virtual std::uint32_t* GetBits() = 0;

  // Editor thread: stores the new size, forgets capture and mouse-over,
  // deletes every control and tells the plug-in (RefreshEditorRect). The
  // caller attaches its controls again. The window host extends it.
  virtual void Resize(int w, int h);
  // Whether GetWindow() is not null.
  virtual bool WindowIsOpen();
  // Any thread: the window is being closed, so editor-thread work that waits
  // for the plug-in lock gives up (PluginLockGate).
  bool IsClosing() const { return mClosing.load(std::memory_order_acquire); }

  // Editor thread: value-entry popup for a control's parameter. Either may be null.
  virtual void PromptParamInput(IEditorControl* control, IEffectParam* param) = 0;
  // Folder of the host program / of the plug-in module, with a trailing
  // separator; empty when unknown.
  virtual void HostPath(std::string& path) = 0;
  virtual void PluginPath(std::string& path) = 0;
  // action 1 asks for a file to save, anything else for a file to open.
  virtual void PromptForFile(std::string& path, int action, const char* directory,
                             const char* extensions) = 0;
  virtual bool PromptForColor(IColor& color, const char* prompt) = 0;
  // Opens an address with the system's handler; a confirmation text asks
  // first, an error text is shown on failure. Either may be null.
  virtual bool OpenLink(const char* address, const char* title, const char* confirmation,
                        const char* errorText) = 0;
  // A query slot without callers; answers 0.
  virtual int SpareQuery(int a, int b);

  // Host thread, plug-in lock held: parent is the host's window (an X11
  // window id cast to a pointer). Answers the editor window or null.
  void* OpenWindow(void* parent) override = 0;
  void CloseWindow() override = 0;
  virtual void* GetWindow() = 0;

  // Cached image loading. LoadImage answers the image of a resource id; an id
  // loaded before answers the first load (with its frame count).
  virtual IImage LoadImage(int resourceId, const char* fileName, int frames) = 0;
  virtual IImage ScaleImage(const IImage& image, int w, int h) = 0;
  virtual IImage CropImage(const IImage& image, const IRect& rect) = 0;
  // Constructing thread: loads the picture and inserts an overwriting image
  // control for it at index 0, below every other control.
  virtual void AttachBackground(int resourceId, const char* fileName);
  // Lines from y1 to y2 (x1 to x2) inclusive. Here through DrawLine with
  // overwrite blend and no antialias; the drawing surface writes pixels.
  virtual bool DrawVerticalLine(const IColor& color, int x, int y1, int y2);
  virtual bool DrawHorizontalLine(const IColor& color, int y, int x1, int x2);
  virtual void RetainImage(const IImage& image) = 0;
  virtual void ReleaseImage(const IImage& image) = 0;

  // ---- Size and pacing.

  // Any thread.
  int Width() const override { return mWidth.load(std::memory_order_relaxed); }
  int Height() const override { return mHeight.load(std::memory_order_relaxed); }
  int FPS() const { return mFps; }
  IEffectBase* GetPlug() const { return mPlug; }
  // The rectangle of the redraw in progress; DrawImage clips to it.
  const IRect& GetDrawRect() const { return mDrawRect; }

  // Constructing thread, before the window opens: whether movement without a
  // button reaches the control under the pointer.
  void HandleMouseOver(bool handle) { mHandleMouseOver = handle; }
  bool HandlesMouseOver() const { return mHandleMouseOver; }
  // Strict drawing (the default) draws every visible control the redraw
  // rectangle touches, which keeps overlapping controls layered correctly;
  // otherwise only the dirty ones among them are drawn.
  void SetStrictDrawing(bool strict) { mStrictDrawing = strict; }
  bool StrictDrawing() const { return mStrictDrawing; }

  // ---- Controls.

  // Constructing thread: appends the control, takes ownership and answers its
  // index. Null is ignored and answers -1.
  int AttachControl(IEditorControl* control);
  // Editor thread.
  int NControls() const { return static_cast<int>(mControls.size()); }
  IEditorControl* GetControl(int idx) const;

  // Host thread (plug-in lock held) or constructing thread: hands a parameter
  // value to every control bound to paramIdx. A real value (normalized false)
  // is normalised through the plug-in's parameter first; an index naming no
  // parameter is then ignored.
  void SetParameterFromPlugin(int paramIdx, double value, bool normalized) override;

  // Editor thread: marks every control dirty (after a window opens).
  void SetAllControlsDirty();
  // Editor thread: rect := rect united with the rectangles of the dirty
  // controls; answers whether any was dirty.
  bool IsDirty(IRect& rect);
  // Editor thread: one redraw of rect, widened as the cycle above says, then
  // PresentRect of the widened rectangle.
  bool Draw(const IRect& rect);

  // ---- Mouse routing, editor thread, called by the window host.

  void OnMouseDown(int x, int y, const IMouseState& mouse);
  void OnMouseUp(int x, int y);
  // Answers whether the window host should ask for a leave notification.
  bool OnMouseOver(int x, int y, const IMouseState& mouse);
  void OnMouseDrag(int x, int y, const IMouseState& mouse);
  // Answers true when the click was delivered as a press, so the host captures the mouse.
  bool OnMouseDoubleClick(int x, int y, const IMouseState& mouse);
  // d in notches, positive away from the user.
  void OnMouseWheel(int x, int y, const IMouseState& mouse, int d);
  void OnMouseOut();
  // The capturing control if there is one, else the topmost control that is
  // neither hidden nor grayed and is hit at (x, y); -1 for none.
  int FindControlAt(int x, int y) const;

  // ---- Drawing helpers, editor thread.

  // Frame (1-based) of a multi-frame image, frames stacked vertically.
  bool DrawImageFrame(const IImage& image, const IRect& rect, int frame, const IBlend* blend);
  // Outline including row B and column R.
  bool DrawRect(const IColor& color, const IRect& rect);
  // A vertical line at fraction f (clamped to 0..1) of the width from the left.
  bool DrawVerticalLineAt(const IColor& color, const IRect& rect, float f);
  // A horizontal line at fraction f (clamped to 0..1) of the height from the bottom.
  bool DrawHorizontalLineAt(const IColor& color, const IRect& rect, float f);

protected:
  // The window host: true before it stops the editor thread, false when a
  // window opens again. Any thread.
  void SetClosing(bool closing) { mClosing.store(closing, std::memory_order_release); }
  // Editor thread, for the window host and tests.
  int CaptureIndex() const { return mCapture; }
  int MouseOverIndex() const { return mMouseOver; }

private:
  // rect united with the rectangle of every visible control it touches, but
  // the background's, until it touches no control beyond itself.
  IRect CoveringRect(IRect rect) const;
  void ReleaseCapture();
  void EndGesture();

  std::vector<std::unique_ptr<IEditorControl>> mControls;
  IEffectBase* mPlug;
  IRect mDrawRect;
  // Guards changes of mControls against SetParameterFromPlugin on host threads.
  mutable std::mutex mControlsLock;
  std::atomic<int> mWidth;
  std::atomic<int> mHeight;
  int mFps;
  int mCapture = -1;
  int mMouseOver = -1;
  int mMouseX = 0;
  int mMouseY = 0;
  // Parameter whose gesture a press began and its release has not ended; -1 for none.
  int mGestureParam = -1;
  bool mHandleMouseOver = false;
  bool mStrictDrawing = true;
  std::atomic<bool> mClosing{false};
  // Control 0 is the background picture (AttachBackground).
  bool mHasBackground = false;
};

}  // namespace sorvano
