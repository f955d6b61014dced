#include "tools/vsthost/CommandLine.h"

#include <charconv>
#include <cmath>
#include <initializer_list>

namespace sorvano {

namespace {

// Timeline positions must stay exact in the double of the time info.
constexpr std::int64_t kMaxPosition = std::int64_t{1} << 53;
constexpr double kMinTempo = 1.0;
constexpr double kMaxTempo = 999.0;
constexpr std::int32_t kMaxRate = 384000;

template <typename Number>
bool ParseNumber(const std::string& text, Number& value) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

template <typename Number>
Number NumberOption(const std::string& option, const std::string& text) {
  Number value{};
  if (!ParseNumber(text, value)) throw UsageError(option + " needs a number, not \"" + text + "\"");
  return value;
}

std::int64_t Position(const std::string& option, const std::string& text) {
  const auto value = NumberOption<std::int64_t>(option, text);
  if (value < -kMaxPosition || value > kMaxPosition) throw UsageError(option + ": position out of range");
  return value;
}

// Splits "A:B" (or "A=B") at the first separator.
std::pair<std::string, std::string> SplitPair(const std::string& option, const std::string& text, char separator) {
  const auto at = text.find(separator);
  if (at == std::string::npos || at == 0 || at + 1 == text.size()) {
    throw UsageError(option + " needs a value of the form A" + std::string(1, separator) + "B, not \"" + text +
                     "\"");
  }
  return {text.substr(0, at), text.substr(at + 1)};
}

Command ParseCommand(const std::string& word) {
  if (word == "describe") return Command::kDescribe;
  if (word == "process") return Command::kProcess;
  if (word == "state") return Command::kState;
  if (word == "signal") return Command::kSignal;
  if (word == "editor") return Command::kEditor;
  if (word == "help" || word == "--help" || word == "-h") return Command::kHelp;
  throw UsageError("unknown command \"" + word + "\"");
}

const char* CommandName(Command command) {
  switch (command) {
    case Command::kDescribe:
      return "describe";
    case Command::kProcess:
      return "process";
    case Command::kState:
      return "state";
    case Command::kSignal:
      return "signal";
    case Command::kEditor:
      return "editor";
    case Command::kHelp:
      break;
  }
  return "help";
}

// Reads the options of one command, one at a time.
class OptionReader {
 public:
  OptionReader(const std::vector<std::string>& args, HostOptions& options) : mArgs(args), mOptions(options) {}

  void Run() {
    std::vector<std::string> positional;
    for (mAt = 1; mAt < mArgs.size(); ++mAt) {
      const std::string& arg = mArgs[mAt];
      if (arg == "--help" || arg == "-h") {
        mOptions = HostOptions{};
        return;
      }
      if (arg.rfind("--", 0) == 0) {
        Option(arg);
      } else {
        positional.push_back(arg);
      }
    }
    if (positional.size() != 1) {
      throw UsageError(std::string(CommandName(mOptions.command)) + " takes exactly one " +
                       (mOptions.command == Command::kSignal ? "output file" : "plug-in file"));
    }
    if (mOptions.command == Command::kSignal) {
      mOptions.signalOut = positional.front();
    } else {
      mOptions.plugin = positional.front();
    }
    CheckCombination();
  }

 private:
  void Allow(const std::string& option, std::initializer_list<Command> commands) const {
    for (Command command : commands) {
      if (command == mOptions.command) return;
    }
    throw UsageError(option + " does not apply to " + CommandName(mOptions.command));
  }

  const std::string& Value(const std::string& option) {
    if (mAt + 1 >= mArgs.size()) throw UsageError(option + " needs a value");
    return mArgs[++mAt];
  }

  void Option(const std::string& option) {
    constexpr auto kProcess = Command::kProcess;
    constexpr auto kState = Command::kState;
    constexpr auto kEditor = Command::kEditor;
    if (option == "--in") {
      Allow(option, {kProcess, kEditor});
      mOptions.input = Value(option);
    } else if (option == "--signal") {
      Allow(option, {kProcess, kEditor});
      mOptions.signalOut = Value(option);
    } else if (option == "--out") {
      Allow(option, {kProcess});
      mOptions.output = Value(option);
    } else if (option == "--block") {
      Allow(option, {kProcess, kEditor});
      mOptions.blockSize = NumberOption<std::int32_t>(option, Value(option));
      if (mOptions.blockSize < 1 || mOptions.blockSize > OfflineRenderer::kMaxBlockSize) {
        throw UsageError("--block must be 1.." + std::to_string(OfflineRenderer::kMaxBlockSize));
      }
    } else if (option == "--precision") {
      Allow(option, {kProcess});
      mOptions.precision = ParsePrecision(Value(option));
    } else if (option == "--format") {
      Allow(option, {kProcess, Command::kSignal});
      mOptions.format = ParseFormat(Value(option));
    } else if (option == "--rate") {
      Allow(option, {Command::kDescribe, kProcess, kState, Command::kSignal, kEditor});
      const auto rate = NumberOption<std::int32_t>(option, Value(option));
      if (rate < 1 || rate > kMaxRate) throw UsageError("--rate must be 1.." + std::to_string(kMaxRate));
      mOptions.sampleRate = rate;
    } else if (option == "--seconds") {
      Allow(option, {kProcess, Command::kSignal, kEditor});
      mOptions.seconds = NumberOption<double>(option, Value(option));
      mOptions.secondsGiven = true;
    } else if (option == "--tempo") {
      Allow(option, {kProcess, kEditor});
      mOptions.tempo = NumberOption<double>(option, Value(option));
      if (!(mOptions.tempo >= kMinTempo && mOptions.tempo <= kMaxTempo)) {
        throw UsageError("--tempo must be 1..999 beats per minute");
      }
    } else if (option == "--start") {
      Allow(option, {kProcess, kEditor});
      mOptions.start = Position(option, Value(option));
    } else if (option == "--loop") {
      Allow(option, {kProcess, kEditor});
      const auto [start, end] = SplitPair(option, Value(option), ':');
      TimelineLoop loop{Position(option, start), Position(option, end)};
      if (loop.start >= loop.end) throw UsageError("--loop needs START < END");
      mOptions.loop = loop;
    } else if (option == "--jump-at") {
      Allow(option, {kProcess});
      const auto [frame, to] = SplitPair(option, Value(option), ':');
      const std::int64_t atFrame = Position(option, frame);
      if (atFrame < 0) throw UsageError("--jump-at needs a frame count of 0 or more");
      mOptions.jumps.push_back(TimelineJump{atFrame, Position(option, to)});
    } else if (option == "--set") {
      Allow(option, {kProcess, kState, kEditor});
      const auto [parameter, value] = SplitPair(option, Value(option), '=');
      const auto normalised = NumberOption<float>(option, value);
      if (!(normalised >= 0.0f && normalised <= 1.0f)) {
        throw UsageError("--set needs a normalised value from 0 to 1, not " + value);
      }
      mOptions.settings.push_back(ParameterSetting{parameter, normalised});
    } else if (option == "--load-program") {
      Allow(option, {kProcess, kState, kEditor});
      mOptions.loadProgram = Value(option);
    } else if (option == "--load-bank") {
      Allow(option, {kProcess, kState, kEditor});
      mOptions.loadBank = Value(option);
    } else if (option == "--save-program") {
      Allow(option, {kProcess, kState});
      mOptions.saveProgram = Value(option);
    } else if (option == "--save-bank") {
      Allow(option, {kProcess, kState});
      mOptions.saveBank = Value(option);
    } else if (option == "--events") {
      Allow(option, {kEditor});
      mOptions.events = Value(option);
    } else if (option == "--screenshot") {
      Allow(option, {kEditor});
      mOptions.screenshot = Value(option);
    } else {
      throw UsageError("unknown option " + option);
    }
  }

  static Precision ParsePrecision(const std::string& text) {
    if (text == "float") return Precision::kFloat;
    if (text == "double") return Precision::kDouble;
    if (text == "accumulate") return Precision::kAccumulate;
    throw UsageError("--precision is float, double or accumulate, not \"" + text + "\"");
  }

  static SampleFormat ParseFormat(const std::string& text) {
    if (text == "float") return SampleFormat::kFloat32;
    if (text == "double") return SampleFormat::kFloat64;
    if (text == "pcm16") return SampleFormat::kPcm16;
    if (text == "pcm24") return SampleFormat::kPcm24;
    throw UsageError("--format is float, double, pcm16 or pcm24, not \"" + text + "\"");
  }

  void CheckCombination() const {
    if (mOptions.command == Command::kEditor && !mOptions.input.empty() && !mOptions.signalOut.empty()) {
      throw UsageError("editor takes --in FILE or --signal FILE, not both");
    }
    if (mOptions.command != Command::kProcess) return;
    if (mOptions.input.empty() == mOptions.signalOut.empty()) {
      throw UsageError("process needs either --in FILE or --signal FILE");
    }
    if (mOptions.output.empty()) throw UsageError("process needs --out FILE");
    if (!mOptions.input.empty()) {
      for (const char* option : {"--rate", "--seconds"}) {
        for (std::size_t i = 1; i < mArgs.size(); ++i) {
          if (mArgs[i] == option) throw UsageError(std::string(option) + " applies to --signal only: the file has its own");
        }
      }
    }
  }

  const std::vector<std::string>& mArgs;
  HostOptions& mOptions;
  std::size_t mAt = 1;
};

}  // namespace

HostOptions CommandLine::Parse(const std::vector<std::string>& args) {
  HostOptions options;
  if (args.empty()) return options;
  options.command = ParseCommand(args.front());
  if (options.command == Command::kHelp) return options;
  OptionReader(args, options).Run();
  return options;
}

const char* CommandLine::Usage() {
  return R"(Usage: sorvano-host COMMAND [OPTIONS]

A command-line host for Linux VST 2.x plug-ins (.so). It loads a plug-in
through the binary interface alone and drives it like a host would.

Commands:
  describe PLUGIN.so [--rate HZ]
      Print the plug-in's names, vendor version, version, unique id, channel
      counts, flags, initial delay, programs, every parameter (name, label,
      display text, normalised value) and its answers to common canDo texts.

  process PLUGIN.so (--in IN.wav | --signal SIGNAL.wav) --out OUT.wav [OPTIONS]
      Run a WAV file through the plug-in and write the result. The sample rate
      is the file's. A mono file feeds every plug-in input; the output has one
      channel per plug-in output and the input's length.
      --signal SIGNAL.wav     generate the built-in test signal, write it to
                              SIGNAL.wav and process it (with --rate, --seconds)
      --block N               frames per process call (default 1024)
      --precision P           float (processReplacing, default), double
                              (processDoubleReplacing) or accumulate (process)
      --format F              output samples: float (default), double, pcm16, pcm24
      --tempo BPM             tempo reported to the plug-in (default 120)
      --start POS             song position of the first frame (default 0)
      --loop START:END        the song position wraps from END back to START
      --jump-at FRAME:POS     after FRAME processed frames the song position
                              continues at POS (repeatable)
      and the state options below, applied before processing (loads, then
      --set) and after it (saves).

  state PLUGIN.so [--rate HZ] [STATE OPTIONS]
      Load chunks, set parameters, print every parameter, save chunks,
      without processing audio.

  signal OUT.wav [--rate HZ] [--seconds S] [--format F]
      Write the built-in stereo test signal (default 4 s at 48000 Hz): a sine
      sweep on the left, a sequence of tones over soft noise on the right.

  editor PLUGIN.so [--in IN.wav | --signal SIGNAL.wav] [--loop START:END]
         [--events FILE] [--screenshot OUT.png] [--seconds S] [--block N]
         [--set PARAM=VALUE] [--load-program FILE] [--load-bank FILE]
      Open the plug-in's editor in a window of its own on the X server in
      DISPLAY and play audio through the plug-in in real time (the input
      repeats; silence without one) with a playing timeline, for S seconds
      after the events (default 4 without events, 0 with them). --events replays gestures as real
      pointer events, one a line, in editor pixels: "press X Y [right]
      [ctrl]", "drag X Y", "release X Y", "move X Y", "wheel X Y N",
      "dblclick X Y", "play SECONDS", "shot FILE.png". --screenshot saves the
      editor window at the end. Reports the time from effEditOpen to the
      first picture and the CPU of the audio thread and of the plug-in's
      own threads.

  help
      Print this text.

State options (process, state):
  --set PARAM=VALUE       set a parameter, by name or index, to a normalised
                          value 0..1 and print its display text (repeatable)
  --load-program FILE     hand FILE to the plug-in as its program chunk
  --load-bank FILE        hand FILE to the plug-in as its bank chunk
  --save-program FILE     save the plug-in's program chunk to FILE
  --save-bank FILE        save the plug-in's bank chunk to FILE

Exit status: 0 on success, 1 for a wrong command line, 2 when the work failed.
)";
}

}  // namespace sorvano
