#pragma once

// A user's session on the editor, in the gesture format of
// tools/vsthost/GestureScript.h (which parses it). The gestures reach the
// editor through the graphics object's mouse routing, as the window host
// delivers them, and the editor is redrawn after each, as its timer would.
// Main thread.

#include <string>
#include <vector>

#include "tools/vsthost/GestureScript.h"

namespace sorvano {

struct AudioData;
class SonogramRender;

// Runs the gestures on the render's editor, playing audio for "play".
// Answers false with a message in error when a picture cannot be written.
bool RunGestures(const std::vector<Gesture>& gestures, SonogramRender& render, const AudioData& audio,
                 std::string& error);

// The view's regions in list order, one a line: start end lowHz highHz
// lowRow highRow gain fade mute solo bypass; then the engine's record count.
std::string RegionListing(SonogramRender& render);

}  // namespace sorvano
