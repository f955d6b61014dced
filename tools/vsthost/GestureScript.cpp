#include "tools/vsthost/GestureScript.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tools/vsthost/HostError.h"

namespace sorvano {

namespace {

// Editor coordinates far outside any window are a typing mistake.
constexpr int kCoordinateLimit = 32767;
constexpr int kNotchLimit = 1000;
constexpr double kPlayLimitSeconds = 3600.0;

bool ReadPoint(std::istringstream& in, const std::string& word, Gesture& g, std::string& why) {
  long x = 0, y = 0;
  if (in >> x >> y && std::abs(x) <= kCoordinateLimit && std::abs(y) <= kCoordinateLimit) {
    g.x = static_cast<int>(x);
    g.y = static_cast<int>(y);
    return true;
  }
  why = word + " needs X Y";
  return false;
}

// One line that is neither blank nor a comment.
bool ParseLine(const std::string& line, Gesture& g, std::string& why) {
  std::istringstream in(line);
  std::string word;
  in >> word;
  const struct {
    const char* name;
    Gesture::Kind kind;
  } pointed[] = {{"press", Gesture::Kind::kPress},    {"drag", Gesture::Kind::kDrag},
                 {"release", Gesture::Kind::kRelease}, {"move", Gesture::Kind::kMove},
                 {"wheel", Gesture::Kind::kWheel},     {"dblclick", Gesture::Kind::kDoubleClick}};
  for (const auto& p : pointed) {
    if (word != p.name) continue;
    g.kind = p.kind;
    if (!ReadPoint(in, word, g, why)) return false;
    if (g.kind == Gesture::Kind::kWheel &&
        (!(in >> g.notches) || g.notches == 0 || std::abs(g.notches) > kNotchLimit)) {
      why = "wheel needs X Y and a non-zero notch count N";
      return false;
    }
    for (std::string flag; in >> flag;) {
      if (g.kind == Gesture::Kind::kPress && flag == "right") {
        g.right = true;
      } else if (g.kind == Gesture::Kind::kPress && flag == "ctrl") {
        g.control = true;
      } else {
        why = "unexpected " + flag + " after " + word;
        return false;
      }
    }
    return true;
  }
  if (word == "play") {
    g.kind = Gesture::Kind::kPlay;
    if (in >> g.seconds && g.seconds >= 0.0 && g.seconds <= kPlayLimitSeconds) return true;
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
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
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

std::vector<Gesture> GestureScript::Parse(const std::string& text) {
  std::vector<Gesture> gestures;
  std::string error;
  if (!ParseGestures(text, gestures, error)) throw HostError("events " + error);
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
