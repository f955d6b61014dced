#include "graphics/IImageControl.h"

#include "graphics/IEditorGraphics.h"

namespace sorvano {

namespace {
IRect FrameRect(int x, int y, const IImage& image) {
  const int frames = image.N > 1 ? image.N : 1;
  return IRect(x, y, x + image.W, y + image.H / frames);
}
}  // namespace

IImageControl::IImageControl(IEffectBase* plug, int x, int y, int paramIdx, const IImage& image,
                             int blendMethod)
    : IEditorControl(plug, FrameRect(x, y, image), paramIdx, blendMethod, 1.0f), mImage(image) {}

int IImageControl::CurrentFrame() const {
  const int frames = Frames();
  if (frames <= 1) return 1;
  int i = static_cast<int>((frames - 1) * GetValue() + 0.5) + 1;
  if (i < 1) i = 1;
  if (i > frames) i = frames;
  return i;
}

bool IImageControl::Draw(IEditorGraphics& graphics) {
  return graphics.DrawImageFrame(mImage, mRect, CurrentFrame(), &mBlend);
}

}  // namespace sorvano
