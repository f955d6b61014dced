// The editor factory of the headless programs: an editor that draws into
// memory and never opens a window.

#include "graphics/EditorGraphicsFactory.h"
#include "graphics/offscreen/OffscreenGraphics.h"

namespace sorvano {

IEditorGraphics* CreateEditorGraphics(IEffectBase* plug, int width, int height, int fps) {
  return new OffscreenGraphics(plug, width, height, fps);
}

}  // namespace sorvano
