#include "tools/render/ViewAttachment.h"

#include "editor/SorvanoControl.h"
#include "engine/Sorvano.h"
#include "graphics/IEditorControl.h"
#include "graphics/OffscreenGraphics.h"

namespace sorvano {

namespace {

constexpr int kEditorWidth = 640;
constexpr int kEditorHeight = 540;
constexpr int kEditorFps = 18;

// Stands in for the editor's background picture: fills the editor black, so
// that every redraw starts from a clean surface. Editor thread.
class BlackBackground : public IEditorControl {
public:
  explicit BlackBackground(IEffectBase* plug)
      : IEditorControl(plug, IRect(0, 0, kEditorWidth, kEditorHeight), -1) {}
  bool Draw(IEditorGraphics& graphics) override {
    return graphics.FillRect(IColor(255, 0, 0, 0), GetRect(), nullptr);
  }
};

}  // namespace

AttachedView AttachSonogramView(Sorvano& plug) {
  auto* graphics = new OffscreenGraphics(&plug, kEditorWidth, kEditorHeight, kEditorFps);
  graphics->AttachControl(new BlackBackground(&plug));
  auto* view = new SorvanoControl(&plug, graphics);
  graphics->AttachControl(view);
  plug.AttachEditor(graphics);
  plug.ConnectEditorViews(view, nullptr);
  return AttachedView{graphics, view};
}

}  // namespace sorvano
