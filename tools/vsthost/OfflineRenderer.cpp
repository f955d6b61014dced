#include "tools/vsthost/OfflineRenderer.h"

#include <algorithm>
#include <vector>

#include "tools/vsthost/HostCallback.h"
#include "tools/vsthost/HostError.h"
#include "tools/vsthost/PluginInstance.h"
#include "tools/vsthost/Timeline.h"

namespace sorvano {

namespace {

// The buffers of one side (inputs or outputs) of the process call, in the
// callback's sample type.
template <typename Sample>
class ChannelBuffers {
 public:
  ChannelBuffers(std::int32_t channels, std::int32_t blockSize)
      : mStorage(static_cast<std::size_t>(channels) + 1, std::vector<Sample>(static_cast<std::size_t>(blockSize))),
        mPointers(PluginInstance::kMaxChannels) {
    const auto scratch = static_cast<std::size_t>(channels);
    for (std::size_t c = 0; c < mPointers.size(); ++c) mPointers[c] = mStorage[std::min(c, scratch)].data();
  }

  Sample** Pointers() { return mPointers.data(); }
  std::vector<Sample>& Channel(std::size_t c) { return mStorage[c]; }

  // Zeroes `frames` samples of every buffer, scratch included.
  void Clear(std::int32_t frames) {
    for (auto& channel : mStorage) std::fill_n(channel.begin(), frames, Sample{0});
  }

 private:
  std::vector<std::vector<Sample>> mStorage;  // the channels, then one scratch buffer
  std::vector<Sample*> mPointers;
};

// What every block of one render shares.
struct RenderJob {
  const AudioData& input;
  AudioData& output;
  Timeline& timeline;
  HostCallback& host;
  const PluginInstance& plugin;
  const RenderSettings& settings;
  std::int32_t inputs;
  std::int32_t outputs;
  RenderReport& report;
};

// Renders with one sample type; `call` invokes the matching callback.
template <typename Sample, typename Call>
void RenderBlocks(RenderJob& job, Call call) {
  ChannelBuffers<Sample> in(job.inputs, job.settings.blockSize);
  ChannelBuffers<Sample> out(job.outputs, job.settings.blockSize);
  const std::size_t fileChannels = job.input.channels.size();
  const std::size_t total = job.input.Frames();

  std::size_t done = 0;
  while (done < total) {
    const auto wanted = static_cast<std::int32_t>(std::min<std::size_t>(total - done, job.settings.blockSize));
    const std::int32_t frames = job.timeline.FramesBeforeDiscontinuity(wanted);

    in.Clear(frames);
    for (std::int32_t c = 0; c < job.inputs; ++c) {
      const auto channel = static_cast<std::size_t>(c);
      if (fileChannels != 1 && channel >= fileChannels) continue;
      const auto& source = job.input.channels[fileChannels == 1 ? 0 : channel];
      std::copy_n(source.begin() + static_cast<std::ptrdiff_t>(done), frames, in.Channel(channel).begin());
    }
    out.Clear(frames);

    job.host.SetTransport(job.input.sampleRate, job.settings.blockSize, &job.timeline, job.settings.tempo);
    call(in.Pointers(), out.Pointers(), frames);
    ++job.report.calls;

    if (job.plugin.Effect().numInputs != job.inputs || job.plugin.Effect().numOutputs != job.outputs) {
      throw HostError("the plug-in changed its channel counts while processing");
    }
    for (std::int32_t c = 0; c < job.outputs; ++c) {
      const auto& result = out.Channel(static_cast<std::size_t>(c));
      auto& target = job.output.channels[static_cast<std::size_t>(c)];
      std::copy_n(result.begin(), frames, target.begin() + static_cast<std::ptrdiff_t>(done));
    }
    done += static_cast<std::size_t>(frames);
    job.timeline.Advance(frames);
  }
  job.report.frames = static_cast<std::int64_t>(done);
}

// Keeps the plug-in resumed for the length of a render, also when it fails.
class ActiveScope {
 public:
  explicit ActiveScope(PluginInstance& plugin) : mPlugin(plugin) { mPlugin.Resume(); }
  ~ActiveScope() { mPlugin.Suspend(); }
  ActiveScope(const ActiveScope&) = delete;
  ActiveScope& operator=(const ActiveScope&) = delete;

 private:
  PluginInstance& mPlugin;
};

}  // namespace

AudioData OfflineRenderer::Render(const AudioData& input, Timeline& timeline, const RenderSettings& settings,
                                  RenderReport* report) {
  if (settings.blockSize < 1 || settings.blockSize > kMaxBlockSize) {
    throw HostError("the block size must be 1.." + std::to_string(kMaxBlockSize));
  }
  if (input.channels.empty() || input.sampleRate <= 0) throw HostError("the input has no audio");
  const vst::AEffect& effect = mPlugin.Effect();
  switch (settings.precision) {
    case Precision::kFloat:
      if (!effect.processReplacing) throw HostError("the plug-in has no processReplacing callback");
      break;
    case Precision::kDouble:
      if (!(effect.flags & vst::effFlagsCanDoubleReplacing) || !effect.processDoubleReplacing) {
        throw HostError("the plug-in does not process doubles");
      }
      break;
    case Precision::kAccumulate:
      if (!effect.process) throw HostError("the plug-in has no accumulating process callback");
      break;
  }
  const std::int32_t inputs = mPlugin.NumInputs();
  const std::int32_t outputs = mPlugin.NumOutputs();
  if (outputs < 1) throw HostError("the plug-in has no outputs");

  AudioData output;
  output.sampleRate = input.sampleRate;
  output.channels.assign(static_cast<std::size_t>(outputs), std::vector<double>(input.Frames()));
  RenderReport local;
  local.inputs = inputs;
  local.outputs = outputs;

  RenderJob job{input, output, timeline, mHost, mPlugin, settings, inputs, outputs, local};
  PluginInstance& plugin = mPlugin;
  mPlugin.SetProcessPrecision(settings.precision == Precision::kDouble);
  ActiveScope active(mPlugin);
  switch (settings.precision) {
    case Precision::kFloat:
      RenderBlocks<float>(job, [&plugin](float** in, float** out, std::int32_t n) {
        plugin.ProcessReplacing(in, out, n);
      });
      break;
    case Precision::kDouble:
      RenderBlocks<double>(job, [&plugin](double** in, double** out, std::int32_t n) {
        plugin.ProcessDoubleReplacing(in, out, n);
      });
      break;
    case Precision::kAccumulate:
      RenderBlocks<float>(job, [&plugin](float** in, float** out, std::int32_t n) {
        plugin.ProcessAccumulating(in, out, n);
      });
      break;
  }
  if (report) *report = local;
  return output;
}

}  // namespace sorvano
