#include "tools/vsthost/GestureScript.h"

#include <cmath>
#include <fstream>
#include <sstream>

#include "tools/vsthost/HostError.h"

namespace sorvano {

namespace {

// Editor coordinates far outside any window are a typing mistake.
constexpr int kCoordinateLimit = 32767;
constexpr int kNotchLimit = 1000;
constexpr double kPlayLimitSeconds = 3600.0;

[[noreturn]] void Fail(int line, const std::string& what) {
  throw HostError("events line " + std::to_string(line) + ": " + what);
}

int Coordinate(std::istringstream& in, int line) {
  long value = 0;
  if (!(in >> value) || value < -kCoordinateLimit || value > kCoordinateLimit) Fail(line, "needs X Y in pixels");
  return static_cast<int>(value);
}

}  // namespace

std::vector<Gesture> GestureScript::Parse(const std::string& text) {
  std::vector<Gesture> gestures;
  std::istringstream lines(text);
  std::string raw;
  int number = 0;
  while (std::getline(lines, raw)) {
    ++number;
    std::istringstream in(raw);
    std::string word;
    if (!(in >> word) || word[0] == '#') continue;
    Gesture g;
    if (word == "press" || word == "drag" || word == "release" || word == "move" || word == "wheel" ||
        word == "dblclick") {
      g.kind = word == "press"     ? Gesture::Kind::kPress
               : word == "drag"    ? Gesture::Kind::kDrag
               : word == "release" ? Gesture::Kind::kRelease
               : word == "move"    ? Gesture::Kind::kMove
               : word == "wheel"   ? Gesture::Kind::kWheel
                                   : Gesture::Kind::kDoubleClick;
      g.x = Coordinate(in, number);
      g.y = Coordinate(in, number);
      if (g.kind == Gesture::Kind::kWheel) {
        if (!(in >> g.notches) || g.notches == 0 || std::abs(g.notches) > kNotchLimit) {
          Fail(number, "wheel needs a non-zero notch count");
        }
      }
      std::string flag;
      while (in >> flag) {
        if (g.kind == Gesture::Kind::kPress && flag == "right") {
          g.right = true;
        } else if (g.kind == Gesture::Kind::kPress && flag == "ctrl") {
          g.control = true;
        } else {
          Fail(number, "unexpected \"" + flag + "\"");
        }
      }
    } else if (word == "play") {
      g.kind = Gesture::Kind::kPlay;
      if (!(in >> g.seconds) || !(g.seconds >= 0.0 && g.seconds <= kPlayLimitSeconds)) {
        Fail(number, "play needs seconds from 0 to 3600");
      }
    } else if (word == "shot") {
      g.kind = Gesture::Kind::kShot;
      if (!(in >> g.file)) Fail(number, "shot needs a file name");
    } else {
      Fail(number, "unknown gesture \"" + word + "\"");
    }
    gestures.push_back(g);
  }
  return gestures;
}

std::vector<Gesture> GestureScript::Read(const std::string& path) {
  std::ifstream file(path);
  if (!file) throw HostError("cannot read the events file " + path);
  std::stringstream text;
  text << file.rdbuf();
  return Parse(text.str());
}

}  // namespace sorvano
