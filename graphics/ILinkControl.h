#pragma once

#include <cstddef>

#include "graphics/IEditorControl.h"

namespace sorvano {

// A clickable area that opens an address: the first one, and if that fails
// the second. It draws nothing; its look comes from the background picture.
class ILinkControl : public IEditorControl {
public:
  static constexpr std::size_t kAddressCapacity = 256;
  static constexpr std::size_t kTitleCapacity = 1024;

  // Constructing thread. Null texts are empty; longer texts are cut to fit.
  ILinkControl(IEffectBase* plug, const IRect& rect, const char* address, const char* fallbackAddress,
               const char* title);

  // Editor thread, any button.
  void OnMouseDown(int x, int y, const IMouseState& mouse) override;
  bool Draw(IEditorGraphics& graphics) override;

  const char* Address() const { return mAddress; }
  const char* FallbackAddress() const { return mFallbackAddress; }
  const char* Title() const { return mTitle; }

private:
  char mAddress[kAddressCapacity] = {};
  char mFallbackAddress[kAddressCapacity] = {};
  char mTitle[kTitleCapacity] = {};
};

}  // namespace sorvano
