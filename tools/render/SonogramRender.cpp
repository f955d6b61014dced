#include "tools/render/SonogramRender.h"

#include <algorithm>
#include <vector>

#include "engine/Sorvano.h"
#include "graphics/offscreen/OffscreenGraphics.h"
#include "graphics/PngWriter.h"
#include "tools/vsthost/AudioData.h"

namespace sorvano {

SonogramRender::SonogramRender(double rate, int blockSize)
    : mPlug(std::make_unique<Sorvano>(PlayingHost::Callback())),
      mGraphics(static_cast<OffscreenGraphics*>(mPlug->GetEditor())),
      mView(mPlug->EditorView()),
      mRate(rate),
      mBlockSize(std::max(blockSize, 1)) {
  mHost.Open(*mPlug, rate, mBlockSize);
}

SonogramRender::~SonogramRender() {
  mHost.SwitchOff();
}

bool SonogramRender::SetDisplay(double bright, const std::string& colorMap) {
  IEffectBase::ScopedLock lock(*mPlug);
  int map = 0;
  if (!mPlug->GetParam(Sorvano::kParamColorMap)->FindValueForText(colorMap.c_str(), &map))
    return false;
  mPlug->GetParam(Sorvano::kParamBright)->Set(bright);
  mPlug->GetParam(Sorvano::kParamColorMap)->Set(map);
  mPlug->OnParamChange(Sorvano::kParamColorMap);
  return true;
}

void SonogramRender::Tick() {
  IRect dirty;
  if (mGraphics->IsDirty(dirty)) mGraphics->Draw(dirty);
}

void SonogramRender::Play(const AudioData& audio) {
  PlayFrames(audio, audio.Frames() > mAudioAt ? audio.Frames() - mAudioAt : 0);
  // The frames of the last block are published at the start of the next one.
  std::vector<double> silence(1, 0.0);
  mHost.Process(silence.data(), silence.data(), 0);
  Tick();
}

void SonogramRender::PlayFrames(const AudioData& audio, std::size_t frames) {
  const std::vector<double>* sourceLeft = audio.channels.empty() ? nullptr : &audio.channels[0];
  const std::vector<double>* sourceRight = audio.channels.size() > 1 ? &audio.channels[1] : sourceLeft;
  std::vector<double> left(static_cast<std::size_t>(mBlockSize));
  std::vector<double> right(static_cast<std::size_t>(mBlockSize));
  const double tick = mRate * kTickMilliseconds / 1000.0;
  if (mNextTick <= 0.0) mNextTick = tick;
  const std::size_t available = sourceLeft ? audio.Frames() : 0;
  for (std::size_t done = 0; done < frames;) {
    const std::size_t n = std::min(frames - done, left.size());
    for (std::size_t i = 0; i < n; ++i) {
      const std::size_t at = mAudioAt + i;
      left[i] = at < available ? (*sourceLeft)[at] : 0.0;
      right[i] = at < available ? (*sourceRight)[at] : 0.0;
    }
    mHost.Process(left.data(), right.data(), static_cast<int>(n));
    done += n;
    mAudioAt += n;
    for (; static_cast<double>(mAudioAt) >= mNextTick; mNextTick += tick) Tick();
  }
}

const DrawSurface* SonogramRender::Surface() const {
  return mGraphics->GetDrawSurface();
}

bool SonogramRender::WritePng(const std::string& path) const {
  const DrawSurface* surface = Surface();
  return surface && sorvano::WritePng(*surface, path.c_str());
}

}  // namespace sorvano
