// sorvano-render IN.wav OUT.png [--block N] [--bright B] [--colormap NAME]:
// plays a WAV file through the plug-in and writes a picture of its editor.

#include <cstdio>
#include <exception>
#include <string>

#include "tools/render/RenderOptions.h"
#include "tools/render/SonogramRender.h"
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
    std::fprintf(stderr, "sorvano-render: cannot read %s: %s\n", options.input.c_str(), e.what());
    return kExitUnreadableInput;
  }

  SonogramRender render(audio.sampleRate, options.blockSize);
  if (!render.SetDisplay(options.bright, options.colorMap)) {
    std::fprintf(stderr, "sorvano-render: unknown colour map %s\n%s", options.colorMap.c_str(),
                 RenderUsage().c_str());
    return kExitUsage;
  }
  render.Play(audio);
  if (!render.WritePng(options.output)) {
    std::fprintf(stderr, "sorvano-render: cannot write %s\n", options.output.c_str());
    return kExitWriteFailed;
  }
  return kExitOk;
}
