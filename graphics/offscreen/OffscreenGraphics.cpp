#include "graphics/offscreen/OffscreenGraphics.h"

#include "graphics/EmbeddedResource.h"
#include "graphics/Surface.h"

namespace sorvano {

OffscreenGraphics::OffscreenGraphics(int width, int height) : ISoftGraphics(nullptr, width, height, 0) {
  PrepareDraw();
}

OffscreenGraphics::OffscreenGraphics(IEffectBase* plug, int width, int height, int fps)
    : ISoftGraphics(plug, width, height, fps) {}

bool OffscreenGraphics::PresentRect(const IRect&) { return true; }

void OffscreenGraphics::PromptParamInput(IEditorControl*, IEffectParam*) {}

void OffscreenGraphics::HostPath(std::string& path) { path.clear(); }

void OffscreenGraphics::PluginPath(std::string& path) { path.clear(); }

void OffscreenGraphics::PromptForFile(std::string& path, int, const char*, const char*) { path.clear(); }

bool OffscreenGraphics::PromptForColor(IColor&, const char*) { return false; }

bool OffscreenGraphics::OpenLink(const char*, const char*, const char*, const char*) { return false; }

void* OffscreenGraphics::OpenWindow(void*) { return nullptr; }

void OffscreenGraphics::CloseWindow() {}

void* OffscreenGraphics::GetWindow() { return nullptr; }

PixelSurface* OffscreenGraphics::LoadImageResource(int resourceId, const char*) {
  const EmbeddedResource* resource = FindEmbeddedResource(resourceId);
  if (!resource) return nullptr;
  return DecodePng(resource->data, resource->size, nullptr);
}

}  // namespace sorvano
