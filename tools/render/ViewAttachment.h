#pragma once

// Gives a plug-in an offscreen editor with the sonogram view on a black
// background, for the headless renderer and the tests, until the plug-in
// assembles its own editor. The one place that attaches the view by hand.

namespace sorvano {

class OffscreenGraphics;
class Sorvano;
class SorvanoControl;

struct AttachedView {
  OffscreenGraphics* graphics = nullptr;  // owned by the plug-in
  SorvanoControl* view = nullptr;         // owned by graphics
};

// Constructing thread, before the host's open call: a 640 x 540 offscreen
// editor at 18 frames per second with a black background and the view,
// attached to plug and connected to it (so that the open call hands the view
// the parameters and the sample rate).
AttachedView AttachSonogramView(Sorvano& plug);

}  // namespace sorvano
