#include "tools/render/GestureScript.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include "editor/SorvanoControl.h"
#include "engine/Sorvano.h"
#include "graphics/offscreen/OffscreenGraphics.h"
#include "tools/render/SonogramRender.h"
#include "tools/vsthost/AudioData.h"

namespace sorvano {

namespace {

// Seconds a single "play" may ask for: an hour at any rate stays far below
// the int64 frame count.
constexpr double kMaxPlaySeconds = 3600.0;

bool ParseLine(const std::string& line, Gesture& g, std::string& why) {
  std::istringstream in(line);
  std::string word;
  in >> word;
  const auto point = [&] {
    if (in >> g.x >> g.y) return true;
    why = word + " needs X Y";
    return false;
  };
  if (word == "press") {
    g.kind = Gesture::Kind::kPress;
    if (!point()) return false;
    for (std::string flag; in >> flag;) {
      if (flag == "right") {
        g.right = true;
      } else if (flag == "ctrl") {
        g.control = true;
      } else {
        why = "unknown press flag " + flag;
        return false;
      }
    }
    return true;
  }
  const struct {
    const char* name;
    Gesture::Kind kind;
  } pointed[] = {{"drag", Gesture::Kind::kDrag},
                 {"release", Gesture::Kind::kRelease},
                 {"move", Gesture::Kind::kMove},
                 {"dblclick", Gesture::Kind::kDoubleClick}};
  for (const auto& p : pointed) {
    if (word == p.name) {
      g.kind = p.kind;
      return point();
    }
  }
  if (word == "wheel") {
    g.kind = Gesture::Kind::kWheel;
    if (point() && in >> g.notches) return true;
    why = "wheel needs X Y N";
    return false;
  }
  if (word == "play") {
    g.kind = Gesture::Kind::kPlay;
    if (in >> g.seconds && std::isfinite(g.seconds) && g.seconds >= 0.0 && g.seconds <= kMaxPlaySeconds) {
      return true;
    }
    why = "play needs SECONDS from 0 to 3600";
    return false;
  }
  if (word == "shot") {
    g.kind = Gesture::Kind::kShot;
    if (in >> g.file) return true;
    why = "shot needs FILE.png";
    return false;
  }
  why = "unknown gesture " + word;
  return false;
}

}  // namespace

bool ParseGestures(const std::string& text, std::vector<Gesture>& gestures, std::string& error) {
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line[first] == '#') continue;
    Gesture g;
    std::string why;
    if (!ParseLine(line, g, why)) {
      error = "line " + std::to_string(number) + ": " + why;
      return false;
    }
    gestures.push_back(g);
  }
  return true;
}

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
