#pragma once

// A drawing surface without a window, for the headless tools (test card,
// renderer) and for tests: the window operations do nothing, and images come
// from the PNG resources embedded in the program (FindEmbeddedResource, from
// the resources library it links).

#include <string>

#include "graphics/ISoftGraphics.h"

namespace sorvano {

class OffscreenGraphics : public ISoftGraphics {
public:
  // Constructing thread: an editor of this size without a plug-in; the draw
  // surface exists at once.
  OffscreenGraphics(int width, int height);
  // Constructing thread: a plug-in's editor. The plug-in base prepares the
  // draw surface when the editor is attached (AttachEditor).
  OffscreenGraphics(IEffectBase* plug, int width, int height, int fps);

  // Nothing to present to; answers true.
  bool PresentRect(const IRect& rect) override;
  void PromptParamInput(IEditorControl* control, IEffectParam* param) override;
  void HostPath(std::string& path) override;
  void PluginPath(std::string& path) override;
  void PromptForFile(std::string& path, int action, const char* directory, const char* extensions) override;
  bool PromptForColor(IColor& color, const char* prompt) override;
  bool OpenLink(const char* address, const char* title, const char* confirmation, const char* errorText) override;
  void* OpenWindow(void* parent) override;
  void CloseWindow() override;
  void* GetWindow() override;

  // Load cache lock held: the embedded PNG of this id decoded into a new
  // MemorySurface, or null when there is none or it does not decode.
  PixelSurface* LoadImageResource(int resourceId, const char* fileName) override;
};

}  // namespace sorvano
