#pragma once

// The renderer's command line:
//   sorvano-render IN.wav OUT.png [--block N] [--bright B] [--colormap NAME]
//                  [--events FILE] [--loop START:END] [--print-regions]
//                  [--load-program FILE] [--save-program FILE]
// Options are rows of one table (RenderOptions.cpp): a new option is a new
// row and a new field here. Main thread.

#include <cstdint>
#include <string>

namespace sorvano {

struct RenderOptions {
  std::string input;
  std::string output;
  int blockSize = 512;
  double bright = 1.0;
  std::string colorMap = "pompeii";
  std::string events;        // a gesture script (GestureScript.h); empty: none
  int64_t loopStart = 0;     // the host's loop in samples; loopEnd <= loopStart: none
  int64_t loopEnd = 0;
  bool printRegions = false;
  // Program chunk files (tools/vsthost/ChunkFile.h): loaded before playing,
  // saved after the run; empty: none.
  std::string loadProgram;
  std::string saveProgram;
};

// Exit statuses, as the command-line host's: 2 when the work failed (an
// input that cannot be read, an output that cannot be written).
enum ExitStatus : int { kExitOk = 0, kExitUsage = 1, kExitFailed = 2 };

// Parses the arguments after the program name into options. Answers false
// with a message in error for an unknown option, a missing or malformed
// value, or a wrong number of files.
bool ParseRenderOptions(int argc, const char* const* argv, RenderOptions& options,
                        std::string& error);

// The usage text, one option a line.
std::string RenderUsage();

}  // namespace sorvano
