#pragma once

#include <cstdint>

#include "tools/vsthost/AudioData.h"

namespace sorvano {

class HostCallback;
class PluginInstance;
class Timeline;

// Which audio callback renders: processReplacing (float), processDoubleReplacing
// (double) or the old accumulating process (float; outputs zeroed first).
enum class Precision { kFloat, kDouble, kAccumulate };

struct RenderSettings {
  std::int32_t blockSize = 1024;
  Precision precision = Precision::kFloat;
  double tempo = 120.0;
};

// What a render did.
struct RenderReport {
  std::int64_t frames = 0;
  std::int64_t calls = 0;  // process callbacks made; more than blocks when the timeline split them
  std::int32_t inputs = 0;
  std::int32_t outputs = 0;
};

// Runs a whole file through a configured plug-in the way a host's audio
// thread would: effSetProcessPrecision, effMainsChanged(1), effStartProcess,
// one process call per block, effStopProcess, effMainsChanged(0). Blocks are
// split where the timeline jumps, and the host reports the timeline's
// position before each call.
//
// Channels: input channel c of the plug-in gets channel c of the file; a mono
// file feeds every input; inputs beyond the file's channels get silence. The
// result has one channel per plug-in output and the input's length.
//
// The channel pointer arrays have room for PluginInstance::kMaxChannels
// entries, the ones beyond the plug-in's counts pointing to scratch buffers,
// so a plug-in that touches more channels than it declared does no harm.
// Main thread.
class OfflineRenderer {
 public:
  static constexpr std::int32_t kMaxBlockSize = 1 << 16;

  OfflineRenderer(PluginInstance& plugin, HostCallback& host) : mPlugin(plugin), mHost(host) {}

  // The plug-in must have been configured with the input's rate and the block
  // size. Throws HostError when the plug-in lacks the callback for the
  // precision, has no outputs, or changes its channel counts while rendering.
  AudioData Render(const AudioData& input, Timeline& timeline, const RenderSettings& settings,
                   RenderReport* report = nullptr);

 private:
  PluginInstance& mPlugin;
  HostCallback& mHost;
};

}  // namespace sorvano
