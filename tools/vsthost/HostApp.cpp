#include "tools/vsthost/HostApp.h"

#include "tools/vsthost/ChunkFile.h"
#include "tools/vsthost/EditorRunner.h"
#include "tools/vsthost/HostCallback.h"
#include "tools/vsthost/PluginDescriber.h"
#include "tools/vsthost/PluginInstance.h"
#include "tools/vsthost/WavFile.h"

namespace sorvano {

namespace {

// Rate and block size for the commands that process no audio.
constexpr std::int32_t kIdleSampleRate = 44100;
constexpr std::int32_t kIdleBlockSize = 1024;

const char* PrecisionName(Precision precision) {
  switch (precision) {
    case Precision::kDouble:
      return "double";
    case Precision::kAccumulate:
      return "accumulate";
    case Precision::kFloat:
      break;
  }
  return "float";
}

}  // namespace

void HostApp::Run(const HostOptions& options) {
  switch (options.command) {
    case Command::kHelp:
      mOut << CommandLine::Usage();
      return;
    case Command::kDescribe:
      Describe(options);
      return;
    case Command::kProcess:
      Process(options);
      return;
    case Command::kState:
      State(options);
      return;
    case Command::kEditor:
      Editor(options);
      return;
    case Command::kSignal:
      Signal(options);
      return;
  }
}

void HostApp::Describe(const HostOptions& options) {
  HostCallback host;
  PluginInstance plugin(options.plugin, host);
  const std::int32_t rate = options.sampleRate.value_or(kIdleSampleRate);
  host.SetTransport(rate, kIdleBlockSize, nullptr, HostCallback::kDefaultTempo);
  plugin.Configure(rate, kIdleBlockSize);
  PluginDescriber::Describe(plugin, mOut);
}

void HostApp::State(const HostOptions& options) {
  HostCallback host;
  PluginInstance plugin(options.plugin, host);
  const std::int32_t rate = options.sampleRate.value_or(kIdleSampleRate);
  host.SetTransport(rate, kIdleBlockSize, nullptr, HostCallback::kDefaultTempo);
  plugin.Configure(rate, kIdleBlockSize);
  LoadState(plugin, options);
  const std::int32_t parameters = plugin.NumParameters();
  mOut << "parameters: " << parameters << "\n";
  for (std::int32_t i = 0; i < parameters; ++i) PluginDescriber::WriteParameter(plugin.Parameter(i), mOut);
  SaveState(plugin, options);
}

void HostApp::Signal(const HostOptions& options) {
  const AudioData signal =
      TestSignal::Generate(options.sampleRate.value_or(TestSignal::kDefaultSampleRate), options.seconds);
  WavFile::Write(options.signalOut, signal, options.format);
  mOut << "test signal: " << options.signalOut << " (" << signal.Frames() << " frames, 2 channels, "
       << signal.sampleRate << " Hz)\n";
}

void HostApp::Editor(const HostOptions& options) {
  AudioData input;
  if (!options.input.empty()) {
    input = WavFile::Read(options.input);
    mOut << "input: " << options.input << "\n";
  } else if (!options.signalOut.empty()) {
    input = TestSignal::Generate(options.sampleRate.value_or(TestSignal::kDefaultSampleRate), TestSignal::kDefaultSeconds);
    WavFile::Write(options.signalOut, input, SampleFormat::kFloat32);
    mOut << "input: " << options.signalOut << " (built-in test signal)\n";
  } else {
    input.sampleRate = options.sampleRate.value_or(TestSignal::kDefaultSampleRate);
  }
  HostCallback host;
  PluginInstance plugin(options.plugin, host);
  host.SetTransport(input.sampleRate, options.blockSize, nullptr, options.tempo);
  plugin.Configure(input.sampleRate, options.blockSize);
  LoadState(plugin, options);
  EditorRunner(plugin, host, mOut).Run(input, options);
}

void HostApp::Process(const HostOptions& options) {
  AudioData input;
  if (!options.input.empty()) {
    input = WavFile::Read(options.input);
    mOut << "input: " << options.input << "\n";
  } else {
    input = TestSignal::Generate(options.sampleRate.value_or(TestSignal::kDefaultSampleRate), options.seconds);
    WavFile::Write(options.signalOut, input, SampleFormat::kFloat32);
    mOut << "input: " << options.signalOut << " (built-in test signal)\n";
  }
  mOut << "input frames: " << input.Frames() << ", channels: " << input.channels.size()
       << ", sample rate: " << input.sampleRate << "\n";

  HostCallback host;
  PluginInstance plugin(options.plugin, host);
  host.SetTransport(input.sampleRate, options.blockSize, nullptr, options.tempo);
  plugin.Configure(input.sampleRate, options.blockSize);
  LoadState(plugin, options);

  Timeline timeline(options.start, options.loop, options.jumps);
  RenderSettings settings;
  settings.blockSize = options.blockSize;
  settings.precision = options.precision;
  settings.tempo = options.tempo;
  RenderReport report;
  const AudioData output = OfflineRenderer(plugin, host).Render(input, timeline, settings, &report);

  const HostCallCounts counts = host.Counts();
  mOut << "processed: " << report.frames << " frames in " << report.calls << " process calls of at most "
       << options.blockSize << " (" << PrecisionName(options.precision) << "), plug-in " << report.inputs
       << " in / " << report.outputs << " out\n";
  mOut << "timeline: started at " << options.start << ", ended at " << timeline.Position() << "\n";
  mOut << "host calls from the plug-in: " << counts.timeQueries << " time queries, " << host.Edits().size()
       << " edits, " << counts.ioChanges << " I/O changes, " << counts.displayUpdates << " display updates, "
       << counts.eventsReceived << " event lists\n";

  SaveState(plugin, options);
  WavFile::Write(options.output, output, options.format);
  mOut << "output: " << options.output << " (" << output.Frames() << " frames, " << output.channels.size()
       << " channels)\n";
}

void HostApp::LoadState(PluginInstance& plugin, const HostOptions& options) {
  const struct {
    const std::string& path;
    ChunkKind kind;
    const char* what;
  } loads[] = {{options.loadBank, ChunkKind::kBank, "bank"}, {options.loadProgram, ChunkKind::kProgram, "program"}};
  for (const auto& load : loads) {
    if (load.path.empty()) continue;
    const auto bytes = ChunkFile::Read(load.path);
    if (plugin.SetChunk(load.kind, bytes) == 0) {
      throw HostError(std::string("the plug-in rejected the ") + load.what + " chunk in " + load.path);
    }
    mOut << "loaded " << load.what << " chunk: " << load.path << " (" << bytes.size() << " bytes)\n";
  }
  for (const ParameterSetting& setting : options.settings) {
    const auto index = plugin.FindParameter(setting.parameter);
    if (!index) throw HostError("the plug-in has no parameter \"" + setting.parameter + "\"");
    plugin.SetParameter(*index, setting.value);
    mOut << "set ";
    PluginDescriber::WriteParameter(plugin.Parameter(*index), mOut);
  }
}

void HostApp::SaveState(PluginInstance& plugin, const HostOptions& options) {
  const struct {
    const std::string& path;
    ChunkKind kind;
    const char* what;
  } saves[] = {{options.saveBank, ChunkKind::kBank, "bank"}, {options.saveProgram, ChunkKind::kProgram, "program"}};
  for (const auto& save : saves) {
    if (save.path.empty()) continue;
    const auto bytes = plugin.GetChunk(save.kind);
    ChunkFile::Write(save.path, bytes);
    mOut << "saved " << save.what << " chunk: " << save.path << " (" << bytes.size() << " bytes)\n";
  }
}

}  // namespace sorvano
