#include "tools/render/SonogramRender.h"

#include <algorithm>
#include <vector>

#include "engine/Sorvano.h"
#include "graphics/OffscreenGraphics.h"
#include "graphics/PngWriter.h"
#include "tools/vsthost/AudioData.h"

namespace sorvano {

SonogramRender::SonogramRender(double rate, int blockSize)
    : mPlug(std::make_unique<Sorvano>(PlayingHost::Callback())),
      mAttached(AttachSonogramView(*mPlug)),
      mRate(rate),
      mBlockSize(std::max(blockSize, 1)) {
  mHost.Open(*mPlug, rate, mBlockSize);
}

SonogramRender::~SonogramRender() { mHost.SwitchOff(); }

bool SonogramRender::SetDisplay(double bright, const std::string& colorMap) {
  IEffectBase::ScopedLock lock(*mPlug);
  int map = 0;
  if (!mPlug->GetParam(Sorvano::kParamColorMap)->FindValueForText(colorMap.c_str(), &map)) return false;
  mPlug->GetParam(Sorvano::kParamBright)->Set(bright);
  mPlug->GetParam(Sorvano::kParamColorMap)->Set(map);
  mPlug->OnParamChange(Sorvano::kParamColorMap);
  return true;
}

void SonogramRender::Tick() {
  IRect dirty;
  if (mAttached.graphics->IsDirty(dirty)) mAttached.graphics->Draw(dirty);
}

void SonogramRender::Play(const AudioData& audio) {
  if (audio.channels.empty()) return;
  const std::vector<double>& sourceLeft = audio.channels[0];
  const std::vector<double>& sourceRight = audio.channels.size() > 1 ? audio.channels[1] : audio.channels[0];
  std::vector<double> left(static_cast<std::size_t>(mBlockSize));
  std::vector<double> right(static_cast<std::size_t>(mBlockSize));

  const double tick = mRate * kTickMilliseconds / 1000.0;
  double nextTick = tick;
  const std::size_t frames = audio.Frames();
  for (std::size_t at = 0; at < frames;) {
    const std::size_t n = std::min(frames - at, left.size());
    std::copy_n(sourceLeft.begin() + static_cast<std::ptrdiff_t>(at), n, left.begin());
    std::copy_n(sourceRight.begin() + static_cast<std::ptrdiff_t>(at), n, right.begin());
    mHost.Process(left.data(), right.data(), static_cast<int>(n));
    at += n;
    for (; static_cast<double>(at) >= nextTick; nextTick += tick) Tick();
  }
  // The frames of the last block are published at the start of the next one.
  std::fill(left.begin(), left.end(), 0.0);
  std::fill(right.begin(), right.end(), 0.0);
  mHost.Process(left.data(), right.data(), 0);
  Tick();
}

const DrawSurface* SonogramRender::Surface() const { return mAttached.graphics->GetDrawSurface(); }

bool SonogramRender::WritePng(const std::string& path) const {
  const DrawSurface* surface = Surface();
  return surface && sorvano::WritePng(*surface, path.c_str());
}

}  // namespace sorvano
