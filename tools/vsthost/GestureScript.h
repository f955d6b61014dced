#pragma once

// The gestures of an --events file, one a line, in editor pixels:
//   press X Y [right] [ctrl]   button down (left unless "right")
//   drag X Y                   pointer moved with the button held
//   release X Y                button up
//   move X Y                   pointer moved without a button (hover)
//   wheel X Y N                N wheel notches, positive away from the user
//   dblclick X Y               two quick left clicks
//   play SECONDS               keep playing audio for that long
//   shot FILE.png              screenshot of the editor
// Blank lines and lines starting with '#' are skipped. Main thread.

#include <string>
#include <vector>

namespace sorvano {

struct Gesture {
  enum class Kind { kPress, kDrag, kRelease, kMove, kWheel, kDoubleClick, kPlay, kShot };
  Kind kind = Kind::kMove;
  int x = 0;
  int y = 0;
  bool right = false;
  bool control = false;
  int notches = 0;
  double seconds = 0.0;
  std::string file;
};

// Parses a script. Answers false with "line N: reason" in error for a line
// it does not understand; gestures then holds the lines before it.
bool ParseGestures(const std::string& text, std::vector<Gesture>& gestures, std::string& error);

class GestureScript {
public:
  // Throws HostError naming the line ("events line N: ...") for anything it
  // cannot read.
  static std::vector<Gesture> Parse(const std::string& text);
  static std::vector<Gesture> Read(const std::string& path);
};

}  // namespace sorvano
