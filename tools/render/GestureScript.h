#pragma once

// A user's session on the editor as a text file, one gesture a line, in
// editor pixels:
//   press X Y [right] [ctrl]   a button goes down
//   drag X Y                   the pointer moves with the button held
//   release X Y                the button goes up
//   move X Y                   the pointer moves with no button (hover)
//   wheel X Y N                N notches of the wheel
//   dblclick X Y               a double click
//   play SECONDS               audio goes on playing
//   shot FILE.png              the editor's picture is written
// Empty lines and lines starting with '#' are skipped. The gestures reach the
// editor through the graphics object's mouse routing, as the window host
// delivers them, and the editor is redrawn after each, as its timer would.
// Main thread.

#include <string>
#include <vector>

namespace sorvano {

struct AudioData;
class SonogramRender;

struct Gesture {
  enum class Kind { kPress, kDrag, kRelease, kMove, kWheel, kDoubleClick, kPlay, kShot };
  Kind kind = Kind::kMove;
  int x = 0, y = 0;
  int notches = 0;
  bool right = false, control = false;
  double seconds = 0.0;
  std::string file;
};

// Parses a script. Answers false with the line number and reason in error
// for a line it does not understand.
bool ParseGestures(const std::string& text, std::vector<Gesture>& gestures, std::string& error);

// Runs the gestures on the render's editor, playing audio for "play".
// Answers false with a message in error when a picture cannot be written.
bool RunGestures(const std::vector<Gesture>& gestures, SonogramRender& render, const AudioData& audio,
                 std::string& error);

// The view's regions in list order, one a line: start end lowHz highHz
// lowRow highRow gain fade mute solo bypass; then the engine's record count.
std::string RegionListing(SonogramRender& render);

}  // namespace sorvano
