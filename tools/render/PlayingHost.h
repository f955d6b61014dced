#pragma once

// The host side of a headless run: answers the plug-in's time queries with a
// song position that advances with every block, as a host that is playing,
// and nothing else. Main thread; the plug-in calls back on it.

#include <cstdint>
#include <vector>

#include "framework/vst/IEffectVST.h"
#include "framework/vst/VstAbi.h"

namespace sorvano {

class PlayingHost {
public:
  PlayingHost() = default;
  PlayingHost(const PlayingHost&) = delete;
  PlayingHost& operator=(const PlayingHost&) = delete;

  // The callback to construct the plug-in with.
  static VstHostCallback Callback();

  // Binds the host to the plug-in's effect record; then opens the plug-in at
  // rate with blocks of up to blockSize frames and switches it on.
  void Open(IEffectVST& plug, double rate, int blockSize);
  // Switches the plug-in off. The owner destroys it (effClose would delete
  // the object under its owner).
  void SwitchOff();

  // One block of stereo audio at the current song position, which then
  // advances by frames. Buffers are processed in place.
  void Process(double* left, double* right, int frames);
  std::int64_t SongPosition() const { return mPosition; }
  // The plug-in's program chunk (effGetChunk index 1), copied; empty when it
  // hands out none.
  std::vector<std::uint8_t> GetProgramChunk();
  // Hands bytes to the plug-in as its program chunk (effSetChunk index 1).
  // Answers whether the plug-in accepted them.
  bool SetProgramChunk(const std::vector<std::uint8_t>& bytes);
  // A host loop: a block that would start at or beyond end starts at start
  // instead. end <= start switches it off.
  void SetLoop(std::int64_t start, std::int64_t end) {
    mLoopStart = start;
    mLoopEnd = end;
  }

private:
  static std::intptr_t HostCallback(vst::AEffect* effect, std::int32_t opcode, std::int32_t index,
                                    std::intptr_t value, void* ptr, float opt);
  std::intptr_t Dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                         float opt = 0.0f, void* ptr = nullptr);

  vst::AEffect* mEffect = nullptr;
  vst::VstTimeInfo mTime{};
  std::int64_t mPosition = 0;
  std::int64_t mLoopStart = 0;
  std::int64_t mLoopEnd = 0;
};

}  // namespace sorvano
