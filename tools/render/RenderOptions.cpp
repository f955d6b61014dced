#include "tools/render/RenderOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace sorvano {

namespace {

constexpr int kMaxBlockSize = 8192;

bool ParseInt(const char* text, int low, int high, int& out) {
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || v < low || v > high) return false;
  out = static_cast<int>(v);
  return true;
}

bool ParseDouble(const char* text, double low, double high, double& out) {
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(text, &end);
  if (errno != 0 || end == text || *end != '\0' || !std::isfinite(v) || v < low || v > high)
    return false;
  out = v;
  return true;
}

// "START:END" with 0 <= START < END.
bool ParseLoop(const char* text, int64_t& start, int64_t& end) {
  errno = 0;
  char* colon = nullptr;
  const long long s = std::strtoll(text, &colon, 10);
  if (errno != 0 || colon == text || *colon != ':') return false;
  char* stop = nullptr;
  const long long e = std::strtoll(colon + 1, &stop, 10);
  if (errno != 0 || stop == colon + 1 || *stop != '\0' || s < 0 || e <= s) return false;
  start = s;
  end = e;
  return true;
}

// One option: its name, the name of its value in the usage, what it does,
// and how it stores its value (answering false for a bad one). A flag has no
// value.
struct OptionRow {
  const char* name;
  const char* value;
  const char* help;
  bool (*apply)(RenderOptions& options, const char* value);
};

const OptionRow kOptions[] = {
    {"--block", "N", "frames per processing call, 1..8192 (default 512)",
     [](RenderOptions& o, const char* v) { return ParseInt(v, 1, kMaxBlockSize, o.blockSize); }},
    {"--bright", "B", "display brightness, 0.1..10 (default 1)",
     [](RenderOptions& o, const char* v) { return ParseDouble(v, 0.1, 10.0, o.bright); }},
    {"--colormap", "NAME", "pompeii, thermal, chlorine or brrr (default pompeii)",
     [](RenderOptions& o, const char* v) {
       o.colorMap = v;
       return true;
     }},
    {"--events", "FILE", "gestures to play on the editor, one a line (press, drag, release, move, wheel, "
                         "dblclick, play, shot)",
     [](RenderOptions& o, const char* v) {
       o.events = v;
       return true;
     }},
    {"--loop", "START:END", "the host loops the song position from END back to START (samples)",
     [](RenderOptions& o, const char* v) { return ParseLoop(v, o.loopStart, o.loopEnd); }},
    {"--load-program", "FILE",
     "hand FILE to the plug-in as its program chunk before playing (its brightness and colour map "
     "replace --bright and --colormap)",
     [](RenderOptions& o, const char* v) {
       o.loadProgram = v;
       return *v != '\0';
     }},
    {"--save-program", "FILE", "save the plug-in's program chunk to FILE after the run",
     [](RenderOptions& o, const char* v) {
       o.saveProgram = v;
       return *v != '\0';
     }},
    {"--print-regions", nullptr, "print the view's regions and the engine's record count at the end",
     [](RenderOptions& o, const char*) {
       o.printRegions = true;
       return true;
     }},
};

const OptionRow* FindOption(const char* name) {
  for (const OptionRow& row : kOptions) {
    if (std::strcmp(row.name, name) == 0) return &row;
  }
  return nullptr;
}

}  // namespace

bool ParseRenderOptions(int argc, const char* const* argv, RenderOptions& options,
                        std::string& error) {
  std::vector<const char*> files;
  for (int i = 0; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strncmp(arg, "--", 2) != 0) {
      files.push_back(arg);
      continue;
    }
    const OptionRow* row = FindOption(arg);
    if (!row) {
      error = std::string("unknown option ") + arg;
      return false;
    }
    if (!row->value) {
      row->apply(options, nullptr);
      continue;
    }
    if (i + 1 >= argc) {
      error = std::string(arg) + " needs a value (" + row->value + ")";
      return false;
    }
    const char* value = argv[++i];
    if (!row->apply(options, value)) {
      error = std::string("bad value for ") + arg + ": " + value + " (" + row->help + ")";
      return false;
    }
  }
  if (files.size() != 2) {
    error = "expected an input WAV file and an output PNG file";
    return false;
  }
  options.input = files[0];
  options.output = files[1];
  return true;
}

std::string RenderUsage() {
  std::string text = "usage: sorvano-render IN.wav OUT.png [options]\n";
  for (const OptionRow& row : kOptions) {
    text += std::string("  ") + row.name + (row.value ? std::string(" ") + row.value : "") + "  " + row.help + "\n";
  }
  return text;
}

}  // namespace sorvano
