#pragma once

// A headless run of the plug-in with its sonogram view: audio is played
// through the plug-in block by block as a playing host would (the song
// position advancing with every block), and the editor is drawn every 55 ms
// of audio, as its timer would. Main thread only; the plug-in's audio and
// editor work both run on it, one after the other.

#include <memory>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/render/PlayingHost.h"

namespace sorvano {

class DrawSurface;
class OffscreenGraphics;
class Sorvano;
class SorvanoControl;
struct AudioData;

class SonogramRender {
public:
  // The editor timer's period: trunc(1000 / 18) ms.
  static constexpr int kTickMilliseconds = 55;

  // The plug-in opened at rate (a positive rate) with blocks of up to
  // blockSize frames, its view attached.
  SonogramRender(double rate, int blockSize);
  ~SonogramRender();
  SonogramRender(const SonogramRender&) = delete;
  SonogramRender& operator=(const SonogramRender&) = delete;

  // Sets "bright" and "colormap" (by display name) as the host would.
  // Answers false, changing nothing, for an unknown map name.
  bool SetDisplay(double bright, const std::string& colorMap);

  // Plays the audio: a mono file on both channels, of more channels the first
  // two. Draws at every tick the audio passes and once more at the end.
  void Play(const AudioData& audio);
  // Plays the next frames of the audio (silence past its end), going on from
  // where the last call stopped, and draws at every tick it passes.
  void PlayFrames(const AudioData& audio, std::size_t frames);
  // The host's loop, in samples of the song position.
  void SetLoop(std::int64_t start, std::int64_t end) { mHost.SetLoop(start, end); }
  double Rate() const { return mRate; }
  // The plug-in's state as its program chunk (what a host saves), and
  // restoring one. LoadProgram answers whether the plug-in accepted it.
  std::vector<std::uint8_t> SaveProgram() { return mHost.GetProgramChunk(); }
  bool LoadProgram(const std::vector<std::uint8_t>& bytes) { return mHost.SetProgramChunk(bytes); }
  // One timer tick: redraws what is dirty.
  void Tick();

  const DrawSurface* Surface() const;
  bool WritePng(const std::string& path) const;

  Sorvano& Plugin() { return *mPlug; }
  SorvanoControl& View() { return *mView; }
  OffscreenGraphics& Graphics() { return *mGraphics; }

private:
  PlayingHost mHost;
  std::unique_ptr<Sorvano> mPlug;
  // The plug-in's own editor, drawn offscreen (owned by the plug-in).
  OffscreenGraphics* mGraphics = nullptr;
  SorvanoControl* mView = nullptr;
  double mRate;
  int mBlockSize;
  std::size_t mAudioAt = 0;  // next frame of the audio to play
  double mNextTick = 0.0;    // in frames played
};

}  // namespace sorvano
