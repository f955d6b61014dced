// A small VST 2.x plug-in that exists only to test the command-line host.
// It exports its entry point under the name `main` alone, so loading it also
// tests the host's fallback from VSTPluginMain. The environment chooses how
// it behaves (SORVANO_TEST_PLUGIN_MODE):
//
//   (unset)          2 in / 2 out, one parameter "gain" (0.5 = unity); output
//                    = input x gain, on every audio path; program and bank chunks
//   position         channel 0 carries the song position the host reported for
//                    each frame (samplePos + frame), channel 1 the time info flags
//   null-effect      the entry point returns null
//   bad-magic        the effect record carries a wrong magic number
//   unterminated     texts fill the whole host buffer without a terminator
//   absurd-chunk     effGetChunk claims 2^40 bytes
//   null-chunk       effGetChunk returns a size but no data
//   many-channels    the record claims 100000 inputs
//   extra-channels   reads and writes eight channels although it declares two
//   changes-io       grows its output count in the middle of processing
//
// With SORVANO_TEST_PLUGIN_LOG set, it appends the lifecycle calls it receives
// to that file, one per line ("open", "rate 48000", "block 256", "mains 1",
// "start", "process", "stop", "mains 0", "close"), "process" once per
// activation.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "framework/vst/VstAbi.h"

namespace {

enum class Mode {
  kNormal,
  kPosition,
  kNullEffect,
  kBadMagic,
  kUnterminated,
  kAbsurdChunk,
  kNullChunk,
  kManyChannels,
  kExtraChannels,
  kChangesIo
};

// The host's text buffer size assumed by the unterminated mode: the host
// documents 1024 bytes.
constexpr std::size_t kHostTextBytes = 1024;
constexpr std::int32_t kExtraChannels = 8;
constexpr std::int32_t kChunkMagic = vst::FourCC('T', 'P', 'c', 'k');

Mode ModeFromEnvironment() {
  const char* text = std::getenv("SORVANO_TEST_PLUGIN_MODE");
  const std::string mode = text ? text : "";
  if (mode == "position") return Mode::kPosition;
  if (mode == "null-effect") return Mode::kNullEffect;
  if (mode == "bad-magic") return Mode::kBadMagic;
  if (mode == "unterminated") return Mode::kUnterminated;
  if (mode == "absurd-chunk") return Mode::kAbsurdChunk;
  if (mode == "null-chunk") return Mode::kNullChunk;
  if (mode == "many-channels") return Mode::kManyChannels;
  if (mode == "extra-channels") return Mode::kExtraChannels;
  if (mode == "changes-io") return Mode::kChangesIo;
  return Mode::kNormal;
}

struct TestPlugin {
  vst::AEffect effect{};
  vst::HostCallback host = nullptr;
  Mode mode = Mode::kNormal;
  float gain = 0.5f;
  bool processedSinceResume = false;
  int blocks = 0;
  unsigned char chunk[8] = {};
  std::FILE* log = nullptr;
};

TestPlugin* From(vst::AEffect* effect) { return static_cast<TestPlugin*>(effect->object); }

void Log(TestPlugin& plugin, const std::string& line) {
  if (!plugin.log) return;
  std::fprintf(plugin.log, "%s\n", line.c_str());
  std::fflush(plugin.log);
}

void WriteText(TestPlugin& plugin, void* ptr, const char* text) {
  if (!ptr) return;
  if (plugin.mode == Mode::kUnterminated) {
    std::memset(ptr, 'x', kHostTextBytes);
    return;
  }
  std::snprintf(static_cast<char*>(ptr), vst::kVstMaxEffectNameLen, "%s", text);
}

std::intptr_t Dispatcher(vst::AEffect* effect, std::int32_t opcode, std::int32_t index, std::intptr_t value,
                         void* ptr, float opt) {
  TestPlugin& plugin = *From(effect);
  switch (opcode) {
    case vst::effOpen:
      Log(plugin, "open");
      return 0;
    case vst::effClose:
      Log(plugin, "close");
      if (plugin.log) std::fclose(plugin.log);
      delete &plugin;
      return 0;
    case vst::effSetSampleRate:
      Log(plugin, "rate " + std::to_string(static_cast<long>(opt)));
      return 0;
    case vst::effSetBlockSize:
      Log(plugin, "block " + std::to_string(static_cast<long>(value)));
      return 0;
    case vst::effMainsChanged:
      plugin.processedSinceResume = false;
      Log(plugin, "mains " + std::to_string(static_cast<long>(value)));
      return 0;
    case vst::effStartProcess:
      Log(plugin, "start");
      return 0;
    case vst::effStopProcess:
      Log(plugin, "stop");
      return 0;
    case vst::effGetEffectName:
      WriteText(plugin, ptr, "Host Test");
      return 1;
    case vst::effGetVendorString:
      WriteText(plugin, ptr, "Orvek");
      return 1;
    case vst::effGetProductString:
      WriteText(plugin, ptr, "Host Test Plug-in");
      return 1;
    case vst::effGetParamName:
      if (index == 0) WriteText(plugin, ptr, "gain");
      return 0;
    case vst::effGetParamLabel:
      if (index == 0) WriteText(plugin, ptr, "x");
      return 0;
    case vst::effGetParamDisplay:
      if (index == 0) {
        char text[16];
        std::snprintf(text, sizeof text, "%.2f", 2.0 * plugin.gain);
        WriteText(plugin, ptr, text);
      }
      return 0;
    case vst::effGetChunk: {
      if (!ptr) return 0;
      if (plugin.mode == Mode::kAbsurdChunk) {
        *static_cast<void**>(ptr) = plugin.chunk;
        return std::intptr_t{1} << 40;
      }
      if (plugin.mode == Mode::kNullChunk) return 100;
      std::memcpy(plugin.chunk, &kChunkMagic, 4);
      std::memcpy(plugin.chunk + 4, &plugin.gain, 4);
      *static_cast<void**>(ptr) = plugin.chunk;
      return sizeof plugin.chunk;
    }
    case vst::effSetChunk: {
      if (!ptr || value != sizeof plugin.chunk) return 0;
      std::int32_t magic = 0;
      std::memcpy(&magic, ptr, 4);
      if (magic != kChunkMagic) return 0;
      std::memcpy(&plugin.gain, static_cast<const unsigned char*>(ptr) + 4, 4);
      return 1;
    }
    case vst::effGetVstVersion:
      return vst::kVstVersion;
    case vst::effGetPlugCategory:
      return vst::kPlugCategEffect;
    default:
      return 0;
  }
}

void SetParameter(vst::AEffect* effect, std::int32_t index, float value) {
  if (index == 0) From(effect)->gain = value;
}

float GetParameter(vst::AEffect* effect, std::int32_t index) { return index == 0 ? From(effect)->gain : 0.0f; }

// The song position and time flags as the host reports them for this block.
const vst::VstTimeInfo* HostTime(TestPlugin& plugin) {
  const std::intptr_t answer = plugin.host(&plugin.effect, vst::audioMasterGetTime, 0,
                                           vst::kVstPpqPosValid | vst::kVstTempoValid, nullptr, 0.0f);
  return reinterpret_cast<const vst::VstTimeInfo*>(answer);
}

template <typename Sample>
void Render(vst::AEffect* effect, Sample** inputs, Sample** outputs, std::int32_t frames, bool accumulate) {
  TestPlugin& plugin = *From(effect);
  if (!plugin.processedSinceResume) {
    plugin.processedSinceResume = true;
    Log(plugin, "process");
  }
  if (plugin.mode == Mode::kChangesIo && ++plugin.blocks == 3) {
    plugin.effect.numOutputs = 4;
    plugin.host(&plugin.effect, vst::audioMasterIOChanged, 0, 0, nullptr, 0.0f);
  }
  const vst::VstTimeInfo* time = HostTime(plugin);
  const std::int32_t channels = plugin.mode == Mode::kExtraChannels ? kExtraChannels : 2;
  for (std::int32_t c = 0; c < channels; ++c) {
    for (std::int32_t i = 0; i < frames; ++i) {
      Sample result = inputs[c][i] * static_cast<Sample>(2.0f * plugin.gain);
      if (plugin.mode == Mode::kPosition) {
        const double position = time ? time->samplePos + i : -1.0;
        result = static_cast<Sample>(c == 0 ? position : (time ? time->flags : -1.0));
      }
      outputs[c][i] = accumulate ? outputs[c][i] + result : result;
    }
  }
}

void ProcessReplacing(vst::AEffect* effect, float** inputs, float** outputs, std::int32_t frames) {
  Render(effect, inputs, outputs, frames, false);
}

void ProcessAccumulating(vst::AEffect* effect, float** inputs, float** outputs, std::int32_t frames) {
  Render(effect, inputs, outputs, frames, true);
}

void ProcessDoubleReplacing(vst::AEffect* effect, double** inputs, double** outputs, std::int32_t frames) {
  Render(effect, inputs, outputs, frames, false);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) vst::AEffect* TestPluginMain(vst::HostCallback host) __asm__("main");

extern "C" vst::AEffect* TestPluginMain(vst::HostCallback host) {
  const Mode mode = ModeFromEnvironment();
  if (mode == Mode::kNullEffect || !host) return nullptr;
  // A host never closes a record with the wrong magic, so that one is not
  // allocated (and not reported as a leak).
  static TestPlugin rejected;
  auto* plugin = mode == Mode::kBadMagic ? &rejected : new TestPlugin;
  plugin->host = host;
  plugin->mode = mode;
  if (const char* path = std::getenv("SORVANO_TEST_PLUGIN_LOG")) plugin->log = std::fopen(path, "a");
  vst::AEffect& effect = plugin->effect;
  effect.magic = mode == Mode::kBadMagic ? vst::FourCC('B', 'a', 'd', '!') : vst::kEffectMagic;
  effect.dispatcher = Dispatcher;
  effect.process = ProcessAccumulating;
  effect.setParameter = SetParameter;
  effect.getParameter = GetParameter;
  effect.numPrograms = 1;
  effect.numParams = 1;
  effect.numInputs = mode == Mode::kManyChannels ? 100000 : 2;
  effect.numOutputs = 2;
  effect.flags = vst::effFlagsCanReplacing | vst::effFlagsCanDoubleReplacing | vst::effFlagsProgramChunks;
  effect.ioRatio = 1.0f;
  effect.object = plugin;
  effect.uniqueID = vst::FourCC('T', 's', 't', 'H');
  effect.version = 1;
  effect.processReplacing = ProcessReplacing;
  effect.processDoubleReplacing = ProcessDoubleReplacing;
  return &effect;
}
