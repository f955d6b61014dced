// sorvano-render IN.wav OUT.png [--block N] [--bright B] [--colormap NAME]
//               [--events FILE] [--loop START:END] [--print-regions]
//               [--load-program FILE] [--save-program FILE]:
// plays a WAV file through the plug-in (or the gestures of a script with the
// audio they play) and writes a picture of its editor; the plug-in's state
// can be loaded from a program chunk file first and saved to one at the end,
// in the files sorvano-host reads and writes.

#include <cstdio>
#include <exception>
#include <fstream>
#include <sstream>
#include <vector>
#include <string>

#include "tools/render/GestureScript.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/SonogramRender.h"
#include "tools/vsthost/ChunkFile.h"
#include "tools/vsthost/HostError.h"
#include "tools/vsthost/WavFile.h"

int main(int argc, char** argv) {
  using namespace sorvano;
  RenderOptions options;
  std::string error;
  if (!ParseRenderOptions(argc - 1, argv + 1, options, error)) {
    std::fprintf(stderr, "sorvano-render: %s\n%s", error.c_str(), RenderUsage().c_str());
    return kExitUsage;
  }

  AudioData audio;
  try {
    audio = WavFile::Read(options.input);
  } catch (const std::exception& e) {
    // The reader's message names the file and the reason.
    std::fprintf(stderr, "sorvano-render: %s\n", e.what());
    return kExitFailed;
  }

  SonogramRender render(audio.sampleRate, options.blockSize);
  if (!render.SetDisplay(options.bright, options.colorMap)) {
    std::fprintf(stderr, "sorvano-render: unknown colour map %s\n%s", options.colorMap.c_str(),
                 RenderUsage().c_str());
    return kExitUsage;
  }
  if (options.loopEnd > options.loopStart) render.SetLoop(options.loopStart, options.loopEnd);
  if (!options.loadProgram.empty()) {
    try {
      if (!render.LoadProgram(ChunkFile::Read(options.loadProgram))) {
        std::fprintf(stderr, "sorvano-render: the plug-in rejected the program chunk in %s\n",
                     options.loadProgram.c_str());
        return kExitFailed;
      }
    } catch (const HostError& e) {
      std::fprintf(stderr, "sorvano-render: %s\n", e.what());
      return kExitFailed;
    }
  }
  if (options.events.empty()) {
    render.Play(audio);
  } else {
    std::ifstream file(options.events);
    std::stringstream text;
    text << file.rdbuf();
    std::vector<Gesture> gestures;
    if (!file || !ParseGestures(text.str(), gestures, error)) {
      std::fprintf(stderr, "sorvano-render: %s: %s\n", options.events.c_str(),
                   error.empty() ? "cannot read" : error.c_str());
      return kExitUsage;
    }
    if (!RunGestures(gestures, render, audio, error)) {
      std::fprintf(stderr, "sorvano-render: %s\n", error.c_str());
      return kExitFailed;
    }
  }
  if (options.printRegions) std::fputs(RegionListing(render).c_str(), stdout);
  if (!options.saveProgram.empty()) {
    const std::vector<std::uint8_t> chunk = render.SaveProgram();
    try {
      if (chunk.empty()) throw HostError("the plug-in returned no program chunk");
      ChunkFile::Write(options.saveProgram, chunk);
    } catch (const HostError& e) {
      std::fprintf(stderr, "sorvano-render: %s\n", e.what());
      return kExitFailed;
    }
  }
  if (!render.WritePng(options.output)) {
    std::fprintf(stderr, "sorvano-render: cannot write %s\n", options.output.c_str());
    return kExitFailed;
  }
  return kExitOk;
}
