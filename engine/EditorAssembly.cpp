#include "engine/EditorAssembly.h"

#include <string>

#include "editor/SidePanel.h"
#include "editor/SorvanoControl.h"
#include "engine/Sorvano.h"
#include "graphics/EditorGraphicsFactory.h"
#include "graphics/IEditorGraphics.h"
#include "graphics/ILineKnobControl.h"
#include "graphics/ILinkControl.h"
#include "graphics/IMomentaryButton.h"

namespace sorvano {

namespace {

constexpr int kFps = 18;
constexpr int kBackgroundId = 100;
constexpr int kButtonId = 101;
constexpr int kButtonFrames = 2;

// The brightness knob: a dark line turning through three quarters of a turn
// either side of straight up, four times finer than the pointer's travel.
constexpr IRect kKnobRect{388, 480, 415, 507};
constexpr IColor kKnobLine{255, 64, 64, 64};
constexpr float kKnobInnerRadius = 2.0f;
constexpr float kKnobOuterRadius = 8.0f;
constexpr float kKnobMaxAngle = 2.356194490192345f;  // 3 pi / 4
constexpr int kKnobVerticalDrag = 0;
constexpr double kKnobGearing = 4.0;

constexpr int kButtonLeft = 430;
constexpr int kButtonTop = 481;
constexpr IRect kPanelRect{24, 450, 370, 515};

// The logo area opens the manual installed beside the module; its HTML copy
// when no PDF viewer takes the first.
constexpr IRect kLinkRect{460, 460, 630, 510};
constexpr const char* kManualPdf = "Sorvano_manual.pdf";
constexpr const char* kManualHtml = "Sorvano_manual.html";

}  // namespace

EditorControls AssembleEditor(Sorvano& plug) {
  IEditorGraphics* graphics =
      CreateEditorGraphics(&plug, Sorvano::kEditorWidth, Sorvano::kEditorHeight, kFps);
  graphics->HandleMouseOver(true);
  graphics->AttachBackground(kBackgroundId, "img/bg.png");
  const IImage button = graphics->LoadImage(kButtonId, "img/sm_button.png", kButtonFrames);

  graphics->AttachControl(new ILineKnobControl(&plug, kKnobRect, Sorvano::kParamBright, kKnobLine,
                                               kKnobInnerRadius, kKnobOuterRadius, -kKnobMaxAngle,
                                               kKnobMaxAngle, kKnobVerticalDrag, kKnobGearing));
  graphics->AttachControl(
      new IMomentaryButton(&plug, kButtonLeft, kButtonTop, Sorvano::kParamReset, button));
  auto* view = new SorvanoControl(&plug, graphics);
  graphics->AttachControl(view);
  auto* panel = new SidePanel(&plug, kPanelRect);
  graphics->AttachControl(panel);
  view->SetPanel(panel);
  panel->SetView(view);

  std::string folder;
  graphics->PluginPath(folder);
  const std::string manual = "file://" + folder + kManualPdf;
  const std::string fallback = "file://" + folder + kManualHtml;
  graphics->AttachControl(
      new ILinkControl(&plug, kLinkRect, manual.c_str(), fallback.c_str(), "Sorvano manual"));

  plug.AttachEditor(graphics);
  return {view, panel};
}

}  // namespace sorvano
