#include "graphics/platform/IEditorWindow.h"

#include "graphics/EmbeddedResource.h"
#include "graphics/Surface.h"
#include "graphics/platform/EditorWindowSession.h"
#include "graphics/platform/PlatformPaths.h"

namespace sorvano {

IEditorWindow::IEditorWindow(IEffectBase* plug, int width, int height, int fps)
    : ISoftGraphics(plug, width, height, fps) {}

IEditorWindow::~IEditorWindow() { CloseWindow(); }

bool IEditorWindow::PresentRect(const IRect& rect) {
  x11::EditorWindowSession* session = mActive.load(std::memory_order_acquire);
  return session && session->Present(rect);
}

void IEditorWindow::Resize(int w, int h) {
  ISoftGraphics::Resize(w, h);
  if (DrawSurface* surface = GetDrawSurface()) surface->Resize(w, h);
}

bool IEditorWindow::WindowIsOpen() { return GetWindow() != nullptr; }

void IEditorWindow::PromptParamInput(IEditorControl* control, IEffectParam* param) {
  x11::EditorWindowSession* session = mActive.load(std::memory_order_acquire);
  if (session && control && param) session->OpenPopup(control, param);
}

void IEditorWindow::HostPath(std::string& path) { path = platform::HostFolder(); }

void IEditorWindow::PluginPath(std::string& path) { path = platform::ModuleFolder(); }

void IEditorWindow::PromptForFile(std::string& path, int, const char*, const char*) { path.clear(); }

bool IEditorWindow::PromptForColor(IColor&, const char*) { return false; }

bool IEditorWindow::OpenLink(const char* address, const char*, const char* confirmation, const char*) {
  if (confirmation) return false;
  return platform::OpenWithDesktop(address);
}

void* IEditorWindow::OpenWindow(void* parent) {
  std::lock_guard<std::mutex> lock(mWindowLock);
  IRect place(0, 0, Width(), Height());
  if (mSession) {
    place = mSession->Placement();
    CloseLocked();
  }
  const auto parentId = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(parent));
  if (!GetDrawSurface()) return nullptr;
  auto session = x11::EditorWindowSession::Open(*this, parentId, place, TickMs(FPS()));
  if (!session) return nullptr;
  SetClosing(false);
  SetAllControlsDirty();
  mActive.store(session.get(), std::memory_order_release);
  mWindowId.store(session->Window(), std::memory_order_release);
  session->Start();
  mSession = std::move(session);
  return reinterpret_cast<void*>(static_cast<std::uintptr_t>(mSession->Window()));
}

void IEditorWindow::CloseWindow() {
  std::lock_guard<std::mutex> lock(mWindowLock);
  CloseLocked();
}

void IEditorWindow::CloseLocked() {
  if (!mSession) return;
  SetClosing(true);
  mSession->Stop();
  mActive.store(nullptr, std::memory_order_release);
  mWindowId.store(0, std::memory_order_release);
  mSession.reset();
}

void* IEditorWindow::GetWindow() {
  return reinterpret_cast<void*>(mWindowId.load(std::memory_order_acquire));
}

PixelSurface* IEditorWindow::LoadImageResource(int resourceId, const char*) {
  const EmbeddedResource* resource = FindEmbeddedResource(resourceId);
  if (!resource) return nullptr;
  return DecodePng(resource->data, resource->size, nullptr);
}

}  // namespace sorvano
