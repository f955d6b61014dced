#include "tools/render/PlayingHost.h"

namespace sorvano {

namespace {

// effGetChunk and effSetChunk: index 1 is the program chunk.
constexpr std::int32_t kProgramChunk = 1;

}  // namespace

VstHostCallback PlayingHost::Callback() {
  return reinterpret_cast<VstHostCallback>(&PlayingHost::HostCallback);
}

std::intptr_t PlayingHost::HostCallback(vst::AEffect* effect, std::int32_t opcode, std::int32_t,
                                        std::intptr_t, void*, float) {
  // The constructor's calls come before Open binds the record.
  if (!effect || !effect->resvd1) return 0;
  PlayingHost& host = *reinterpret_cast<PlayingHost*>(effect->resvd1);
  if (opcode != vst::audioMasterGetTime) return 0;
  return reinterpret_cast<std::intptr_t>(&host.mTime);
}

std::intptr_t PlayingHost::Dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value,
                                    float opt, void* ptr) {
  return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
}

void PlayingHost::Open(IEffectVST& plug, double rate, int blockSize) {
  mEffect = static_cast<vst::AEffect*>(plug.EffectRecord());
  mEffect->resvd1 = reinterpret_cast<std::intptr_t>(this);
  mTime.sampleRate = rate;
  mTime.flags = vst::kVstTransportPlaying;
  Dispatch(vst::effOpen);
  Dispatch(vst::effSetSampleRate, 0, 0, static_cast<float>(rate));
  Dispatch(vst::effSetBlockSize, 0, blockSize);
  Dispatch(vst::effMainsChanged, 0, 1);
}

void PlayingHost::SwitchOff() {
  if (mEffect) Dispatch(vst::effMainsChanged, 0, 0);
}

std::vector<std::uint8_t> PlayingHost::GetProgramChunk() {
  void* data = nullptr;
  const std::intptr_t size = Dispatch(vst::effGetChunk, kProgramChunk, 0, 0.0f, &data);
  if (size <= 0 || !data) return {};
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  return std::vector<std::uint8_t>(bytes, bytes + size);
}

bool PlayingHost::SetProgramChunk(const std::vector<std::uint8_t>& bytes) {
  // The plug-in may keep or alter what it is given while the call runs.
  std::vector<std::uint8_t> copy(bytes);
  return Dispatch(vst::effSetChunk, kProgramChunk, static_cast<std::intptr_t>(copy.size()), 0.0f,
                  copy.data()) != 0;
}

void PlayingHost::Process(double* left, double* right, int frames) {
  if (mLoopEnd > mLoopStart && mPosition >= mLoopEnd) mPosition = mLoopStart;
  mTime.samplePos = static_cast<double>(mPosition);
  double* channels[2] = {left, right};
  mEffect->processDoubleReplacing(mEffect, channels, channels, frames);
  mPosition += frames;
}

}  // namespace sorvano
