#pragma once

// The one place where a plug-in gets its editor's graphics object. Each
// program defines this function once: the module's window host
// (graphics/platform/) answers an editor that opens real windows, the
// headless tools and tests link sorvano_offscreen_editor, whose editor draws
// into memory only. The core libraries call it and never know which.

namespace sorvano {

class IEditorGraphics;
class IEffectBase;

// Plug-in constructor, under the process-wide construction lock: a new
// graphics object of this size and frame rate for plug, owned by the caller
// (normally handed to IEffectBase::AttachEditor). Never null.
IEditorGraphics* CreateEditorGraphics(IEffectBase* plug, int width, int height, int fps);

}  // namespace sorvano
