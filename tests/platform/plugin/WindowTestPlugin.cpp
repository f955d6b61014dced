// A small plug-in with an editor in a real window, for the window host's
// tests through the command-line host: one parameter "level" (0..10), a
// background that fills the editor and a knob for "level" at (100, 100,
// 160, 160). Its editor comes from the window host's CreateEditorGraphics,
// as Sorvano's does. Audio passes through (the base's default).

#include "framework/IEffectParam.h"
#include "framework/vst/IEffectVST.h"
#include "graphics/EditorGraphicsFactory.h"
#include "graphics/IEditorGraphics.h"
#include "graphics/ILineKnobControl.h"

namespace sorvano {

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kFps = 18;

class FillControl : public IEditorControl {
public:
  FillControl(IEffectBase* plug, const IRect& rect) : IEditorControl(plug, rect, -1) {}
  bool Draw(IEditorGraphics& graphics) override {
    return graphics.FillRect(IColor(255, 30, 70, 110), GetRect(), nullptr);
  }
};

class WindowTestPlugin : public IEffectVST {
public:
  explicit WindowTestPlugin(VstHostCallback host)
      : IEffectVST(host, 1, "2-2", 1, "Window test", "Window test", "Sorvano tests", 0x00010000, 0x57546573,
                   0x536f7276, 0, false, false, false) {
    GetParam(0)->SetupDouble("level", 5.0, 0.0, 10.0, 0.01, "");
    IEditorGraphics* editor = CreateEditorGraphics(this, kWidth, kHeight, kFps);
    editor->AttachControl(new FillControl(this, IRect(0, 0, kWidth, kHeight)));
    editor->AttachControl(new ILineKnobControl(this, IRect(100, 100, 160, 160), 0, IColor(255, 255, 255, 255), 0.0f,
                                               0.0f, -2.5f, 2.5f, ILineKnobControl::kVertical, 2.0));
    editor->HandleMouseOver(true);
    AttachEditor(editor);
  }
};

}  // namespace

IEffectVST* CreatePluginInstance(VstHostCallback hostCallback) { return new WindowTestPlugin(hostCallback); }

}  // namespace sorvano
