#pragma once

// The test card: one picture that shows every drawing operation of the
// software graphics (fills at each weight and blend, blits in each mode,
// lines in all octants, circles and arcs, direct lines and outlines, points,
// texts with their alignments and the first-font rule) and the four colour
// maps as ramps. The golden-image test compares it pixel for pixel with
// tests/graphics/golden/testcard.png; the sorvano-testcard tool writes it.

#include <memory>

#include "graphics/IEditorControl.h"
#include "graphics/offscreen/OffscreenGraphics.h"

namespace sorvano {

// The card as a control covering the whole editor, so that it is drawn
// through the ordinary redraw (which sets the draw rectangle images clip to).
class TestCard : public IEditorControl {
public:
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 540;

  TestCard();

  // Editor thread, during a redraw.
  bool Draw(IEditorGraphics& graphics) override;
};

// Renders the card into a new offscreen graphics object of kWidth x kHeight
// (its draw surface holds the picture). Any thread; the object is new.
std::unique_ptr<OffscreenGraphics> RenderTestCard();

}  // namespace sorvano
