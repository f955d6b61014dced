#include "tools/render/GestureScript.h"

#include <cmath>
#include <cstdio>

#include "editor/SorvanoControl.h"
#include "engine/Sorvano.h"
#include "graphics/offscreen/OffscreenGraphics.h"
#include "tools/render/SonogramRender.h"
#include "tools/vsthost/AudioData.h"

namespace sorvano {

bool RunGestures(const std::vector<Gesture>& gestures, SonogramRender& render, const AudioData& audio,
                 std::string& error) {
  OffscreenGraphics& graphics = render.Graphics();
  graphics.HandleMouseOver(true);
  for (const Gesture& g : gestures) {
    IMouseState mouse;
    mouse.L = g.right ? 0 : 1;
    mouse.R = g.right ? 1 : 0;
    mouse.C = g.control ? 1 : 0;
    switch (g.kind) {
      case Gesture::Kind::kPress: graphics.OnMouseDown(g.x, g.y, mouse); break;
      case Gesture::Kind::kDrag: graphics.OnMouseDrag(g.x, g.y, mouse); break;
      case Gesture::Kind::kRelease: graphics.OnMouseUp(g.x, g.y); break;
      case Gesture::Kind::kMove: graphics.OnMouseOver(g.x, g.y, IMouseState()); break;
      case Gesture::Kind::kWheel: graphics.OnMouseWheel(g.x, g.y, IMouseState(), g.notches); break;
      case Gesture::Kind::kDoubleClick: graphics.OnMouseDoubleClick(g.x, g.y, mouse); break;
      case Gesture::Kind::kPlay:
        render.PlayFrames(audio, static_cast<std::size_t>(std::llround(g.seconds * render.Rate())));
        break;
      case Gesture::Kind::kShot:
        render.Tick();
        if (!render.WritePng(g.file)) {
          error = "cannot write " + g.file;
          return false;
        }
        break;
    }
    render.Tick();
  }
  return true;
}

std::string RegionListing(SonogramRender& render) {
  std::string out;
  char line[256];
  for (const EditorMod& m : render.View().InspectRegions().regions) {
    const ModRegion& r = m.mRegion;
    std::snprintf(line, sizeof line, "%d %d %d %d %d %d %.6g %.6g %d %d %d\n", r.mStart, r.mEnd, r.mLowHz,
                  r.mHighHz, r.mLowRow, r.mHighRow, m.mModAmp, m.mFade, m.mMute ? 1 : 0, m.mSolo ? 1 : 0,
                  m.mBypass ? 1 : 0);
    out += line;
  }
  int count = 0;
  {
    IEffectBase::ScopedLock lock(render.Plugin());
    count = render.Plugin().Mods().Count();
  }
  out += std::to_string(count) + "\n";
  return out;
}

}  // namespace sorvano
