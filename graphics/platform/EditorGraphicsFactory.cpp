#include "graphics/EditorGraphicsFactory.h"

#include "graphics/platform/IEditorWindow.h"

namespace sorvano {

IEditorGraphics* CreateEditorGraphics(IEffectBase* plug, int width, int height, int fps) {
  return new IEditorWindow(plug, width, height, fps);
}

}  // namespace sorvano
