#pragma once

#include "graphics/IEditorControl.h"

namespace sorvano {

// Shows one frame of an image: with several frames stacked vertically, the
// frame follows the value (the first at 0, the last at 1). The editor's
// background is one of these, single-frame and overwriting.
class IImageControl : public IEditorControl {
public:
  // Constructing thread. The rectangle is the size of one frame at (x, y); a
  // frame count below 1 counts as 1. The blend weight is 1.
  IImageControl(IEffectBase* plug, int x, int y, int paramIdx, const IImage& image,
                int blendMethod = IBlend::kDefault);

  // Editor thread, redraw cycle.
  bool Draw(IEditorGraphics& graphics) override;

  // The 1-based frame shown for the current value.
  int CurrentFrame() const;
  const IImage& GetImage() const { return mImage; }

protected:
  // Frame count, at least 1.
  int Frames() const { return mImage.N > 1 ? mImage.N : 1; }

  IImage mImage;
};

}  // namespace sorvano
