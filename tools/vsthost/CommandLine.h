#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/vsthost/HostError.h"
#include "tools/vsthost/OfflineRenderer.h"
#include "tools/vsthost/TestSignal.h"
#include "tools/vsthost/Timeline.h"
#include "tools/vsthost/WavFile.h"

namespace sorvano {

// A command line that does not say what to do; the host prints a hint to --help.
class UsageError : public HostError {
 public:
  explicit UsageError(const std::string& message) : HostError(message) {}
};

enum class Command { kHelp, kDescribe, kProcess, kState, kSignal, kEditor };

// `--set PARAMETER=VALUE`: a parameter by name or index, and a normalised value.
struct ParameterSetting {
  std::string parameter;
  float value = 0.0f;
};

// Everything one run of the host was asked to do.
struct HostOptions {
  Command command = Command::kHelp;
  std::string plugin;     // describe, process, state, editor
  std::string input;      // process --in
  std::string signalOut;  // process --signal, signal's file
  std::string output;     // process --out
  std::int32_t blockSize = 1024;
  Precision precision = Precision::kFloat;
  SampleFormat format = SampleFormat::kFloat32;
  std::optional<std::int32_t> sampleRate;  // --rate: describe, state, signal
  double seconds = TestSignal::kDefaultSeconds;
  bool secondsGiven = false;  // editor: --seconds was on the command line
  double tempo = 120.0;
  std::int64_t start = 0;
  std::optional<TimelineLoop> loop;
  std::vector<TimelineJump> jumps;
  std::vector<ParameterSetting> settings;
  std::string loadProgram;
  std::string loadBank;
  std::string saveProgram;
  std::string saveBank;
  std::string events;      // editor --events
  std::string screenshot;  // editor --screenshot
};

// Parses the host's command line (without the program name). Throws
// UsageError for unknown commands or options, options the command does not
// take, missing or malformed values. Main thread.
class CommandLine {
 public:
  static HostOptions Parse(const std::vector<std::string>& args);
  static const char* Usage();
};

}  // namespace sorvano
