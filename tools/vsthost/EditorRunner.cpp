#include "tools/vsthost/EditorRunner.h"

#include <dirent.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "framework/vst/VstAbi.h"
#include "graphics/PngWriter.h"
#include "graphics/Surface.h"
#include "graphics/platform/HostFrameWindow.h"
#include "tools/vsthost/HostCallback.h"
#include "tools/vsthost/HostError.h"
#include "tools/vsthost/PluginInstance.h"
#include "tools/vsthost/Timeline.h"

namespace sorvano {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using Button = x11::HostFrameWindow::Button;

constexpr auto kIdlePeriod = 40ms;
// Time for the editor to handle an event, and for a redraw tick to follow.
constexpr auto kSettle = 15ms;
constexpr auto kShotSettle = 150ms;
constexpr auto kFirstPictureTimeout = 5s;
constexpr auto kFirstPicturePoll = 2ms;
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 540;
constexpr int kMaxEditorSide = 8192;
constexpr double kDefaultSeconds = 4.0;
constexpr std::uint32_t kOpaque = 0xff000000u;

pid_t ThreadId() { return static_cast<pid_t>(syscall(SYS_gettid)); }

// CPU seconds (user + system) that each thread of this process used so far.
std::map<pid_t, double> ThreadCpuSeconds() {
  std::map<pid_t, double> cpu;
  const double ticksPerSecond = static_cast<double>(sysconf(_SC_CLK_TCK));
  DIR* dir = opendir("/proc/self/task");
  if (!dir) return cpu;
  while (const dirent* entry = readdir(dir)) {
    const pid_t tid = static_cast<pid_t>(std::atol(entry->d_name));
    if (tid <= 0) continue;
    std::ifstream stat(std::string("/proc/self/task/") + entry->d_name + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // Fields after the command name, which is in parentheses and may hold spaces.
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    double utime = 0.0, stime = 0.0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
      if (i == 14) utime = std::atof(field.c_str());
      if (i == 15) stime = std::atof(field.c_str());
    }
    cpu[tid] = (utime + stime) / ticksPerSecond;
  }
  closedir(dir);
  return cpu;
}

// Plays the input through the plug-in in real time on a thread of its own.
// The input repeats; the timeline runs on (with its loop, if any).
class RealtimePlayer {
public:
  RealtimePlayer(PluginInstance& plugin, HostCallback& host, const AudioData& input, const HostOptions& options)
      : mPlugin(plugin), mHost(host), mInput(input), mBlock(options.blockSize), mTempo(options.tempo),
        mTimeline(options.start, options.loop, options.jumps) {}

  void Start() { mThread = std::thread([this] { Run(); }); }
  void Stop() {
    mStop.store(true);
    if (mThread.joinable()) mThread.join();
  }
  pid_t Tid() const { return mTid.load(); }
  std::int64_t Frames() const { return mFrames.load(); }

private:
  void Run() {
    mTid.store(ThreadId());
    const std::int32_t ins = mPlugin.NumInputs();
    const std::int32_t outs = mPlugin.NumOutputs();
    const std::size_t frames = mInput.Frames();
    std::vector<std::vector<float>> in(PluginInstance::kMaxChannels, std::vector<float>(mBlock));
    std::vector<std::vector<float>> out(PluginInstance::kMaxChannels, std::vector<float>(mBlock));
    std::vector<float*> inPtr, outPtr;
    for (auto& c : in) inPtr.push_back(c.data());
    for (auto& c : out) outPtr.push_back(c.data());
    const bool replacing = mPlugin.Effect().flags & vst::effFlagsCanReplacing;
    mPlugin.SetProcessPrecision(false);
    mPlugin.Resume();
    const auto start = Clock::now();
    std::size_t at = 0;
    std::int64_t played = 0;
    while (!mStop.load()) {
      const std::int32_t n = mTimeline.FramesBeforeDiscontinuity(mBlock);
      for (std::int32_t c = 0; c < ins; ++c) {
        const std::size_t channel = mInput.channels.empty() ? 0 : std::min<std::size_t>(c, mInput.channels.size() - 1);
        for (std::int32_t i = 0; i < n; ++i) {
          in[c][i] = frames ? static_cast<float>(mInput.channels[channel][(at + i) % frames]) : 0.0f;
        }
      }
      mHost.SetTransport(mInput.sampleRate, mBlock, &mTimeline, mTempo);
      if (replacing) {
        mPlugin.ProcessReplacing(inPtr.data(), outPtr.data(), n);
      } else {
        for (std::int32_t c = 0; c < outs; ++c) std::fill(out[c].begin(), out[c].end(), 0.0f);
        mPlugin.ProcessAccumulating(inPtr.data(), outPtr.data(), n);
      }
      mTimeline.Advance(n);
      at = frames ? (at + n) % frames : 0;
      played += n;
      mFrames.store(played);
      std::this_thread::sleep_until(start + std::chrono::microseconds(played * 1000000 / mInput.sampleRate));
    }
    mPlugin.Suspend();
  }

  PluginInstance& mPlugin;
  HostCallback& mHost;
  const AudioData& mInput;
  const std::int32_t mBlock;
  const double mTempo;
  Timeline mTimeline;
  std::thread mThread;
  std::atomic<bool> mStop{false};
  std::atomic<pid_t> mTid{0};
  std::atomic<std::int64_t> mFrames{0};
};

void WriteScreenshot(x11::HostFrameWindow& frame, int w, int h, const std::string& path) {
  const std::vector<std::uint32_t> pixels = frame.Capture(0, 0, w, h);
  if (pixels.empty()) throw HostError("could not read the editor window for " + path);
  MemorySurface surface(w, h);
  for (std::size_t i = 0; i < pixels.size(); ++i) surface.Bits()[i] = pixels[i] | kOpaque;
  if (!WritePng(surface, path.c_str())) throw HostError("could not write " + path);
}

}  // namespace

void EditorRunner::Run(const AudioData& given, const HostOptions& options) {
  if (!(mPlugin.Effect().flags & vst::effFlagsHasEditor)) throw HostError("the plug-in has no editor");
  AudioData input = given;
  if (input.sampleRate <= 0) input.sampleRate = static_cast<std::int32_t>(HostCallback::kDefaultSampleRate);

  // Before effEditOpen, as some hosts ask; a plug-in must answer it then.
  vst::ERect* rect = nullptr;
  mPlugin.Dispatch(vst::effEditGetRect, 0, 0, &rect);
  int w = rect ? rect->right - rect->left : 0;
  int h = rect ? rect->bottom - rect->top : 0;
  if (w <= 0 || h <= 0 || w > kMaxEditorSide || h > kMaxEditorSide) {
    w = kDefaultWidth;
    h = kDefaultHeight;
  }
  x11::HostFrameWindow frame(w, h, "sorvano-host editor");
  if (!frame.Ok()) throw HostError("no X server answers on DISPLAY (start Xvfb, or set DISPLAY)");
  const std::vector<Gesture> gestures = options.events.empty() ? std::vector<Gesture>{} : GestureScript::Read(options.events);
  if (!gestures.empty() && !frame.CanFakeInput()) throw HostError("the X server has no XTEST extension for --events");
  frame.Map();

  RealtimePlayer player(mPlugin, mHost, input, options);
  player.Start();
  const std::map<pid_t, double> cpuBefore = ThreadCpuSeconds();
  const auto opened = Clock::now();
  if (!mPlugin.Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<std::uintptr_t>(frame.Window())))) {
    player.Stop();
    throw HostError("the plug-in did not open its editor");
  }
  // The first picture: the frame's background is black until the plug-in paints.
  double firstPictureMs = -1.0;
  while (Clock::now() - opened < kFirstPictureTimeout) {
    const std::vector<std::uint32_t> shot = frame.Capture(0, 0, w, h);
    if (std::any_of(shot.begin(), shot.end(), [](std::uint32_t p) { return p != 0; })) {
      firstPictureMs = std::chrono::duration<double, std::milli>(Clock::now() - opened).count();
      break;
    }
    std::this_thread::sleep_for(kFirstPicturePoll);
  }
  // Sized again after the open, as hosts do: some plug-ins know their size
  // only once their editor exists.
  rect = nullptr;
  mPlugin.Dispatch(vst::effEditGetRect, 0, 0, &rect);
  if (rect && rect->right - rect->left > 0 && rect->bottom - rect->top > 0 && rect->right - rect->left <= kMaxEditorSide &&
      rect->bottom - rect->top <= kMaxEditorSide && (rect->right - rect->left != w || rect->bottom - rect->top != h)) {
    w = rect->right - rect->left;
    h = rect->bottom - rect->top;
    frame.Resize(w, h);
  }
  mOut << "editor: " << w << " x " << h << ", first picture ";
  if (firstPictureMs >= 0.0) {
    mOut << "after " << static_cast<int>(firstPictureMs + 0.5) << " ms\n";
  } else {
    mOut << "not seen\n";
  }

  auto idleFor = [&](Clock::duration length) {
    const auto end = Clock::now() + length;
    while (Clock::now() < end) {
      mPlugin.Dispatch(vst::effEditIdle);
      std::this_thread::sleep_for(std::min<Clock::duration>(kIdlePeriod, std::max<Clock::duration>(end - Clock::now(), 0ms)));
    }
  };
  bool controlHeld = false;
  Button held = Button::kLeft;
  for (const Gesture& g : gestures) {
    switch (g.kind) {
      case Gesture::Kind::kPress:
        frame.MovePointer(g.x, g.y);
        if (g.control) frame.HoldControl(controlHeld = true);
        held = g.right ? Button::kRight : Button::kLeft;
        frame.PressButton(held);
        break;
      case Gesture::Kind::kDrag:
      case Gesture::Kind::kMove:
        frame.MovePointer(g.x, g.y);
        break;
      case Gesture::Kind::kRelease:
        frame.MovePointer(g.x, g.y);
        frame.ReleaseButton(held);
        if (controlHeld) frame.HoldControl(controlHeld = false);
        break;
      case Gesture::Kind::kWheel:
        frame.MovePointer(g.x, g.y);
        for (int i = 0; i < std::abs(g.notches); ++i) {
          const Button notch = g.notches > 0 ? Button::kWheelUp : Button::kWheelDown;
          frame.PressButton(notch);
          frame.ReleaseButton(notch);
        }
        break;
      case Gesture::Kind::kDoubleClick:
        frame.MovePointer(g.x, g.y);
        for (int i = 0; i < 2; ++i) {
          frame.PressButton(Button::kLeft);
          frame.ReleaseButton(Button::kLeft);
        }
        break;
      case Gesture::Kind::kPlay:
        idleFor(std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(g.seconds)));
        break;
      case Gesture::Kind::kShot:
        idleFor(kShotSettle);
        WriteScreenshot(frame, w, h, g.file);
        mOut << "shot: " << g.file << "\n";
        break;
    }
    idleFor(kSettle);
  }
  const double seconds = options.secondsGiven ? std::max(options.seconds, 0.0) : (gestures.empty() ? kDefaultSeconds : 0.0);
  idleFor(std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds)));
  if (!options.screenshot.empty()) {
    idleFor(kShotSettle);
    WriteScreenshot(frame, w, h, options.screenshot);
    mOut << "screenshot: " << options.screenshot << "\n";
  }

  // CPU while the editor was open: the audio thread, and every thread that
  // is neither it nor this one (the plug-in's editor threads).
  const std::map<pid_t, double> cpuAfter = ThreadCpuSeconds();
  const double wall = std::chrono::duration<double>(Clock::now() - opened).count();
  double audio = 0.0, editor = 0.0;
  for (const auto& [tid, after] : cpuAfter) {
    const auto before = cpuBefore.find(tid);
    const double used = after - (before == cpuBefore.end() ? 0.0 : before->second);
    if (tid == player.Tid()) {
      audio += used;
    } else if (tid != ThreadId()) {
      editor += used;
    }
  }
  mPlugin.Dispatch(vst::effEditClose);
  player.Stop();
  char line[160];
  std::snprintf(line, sizeof line, "cpu over %.1f s: audio thread %.2f %%, plug-in threads %.2f %% of one core\n", wall,
                100.0 * audio / wall, 100.0 * editor / wall);
  mOut << line << "played: " << player.Frames() << " frames at " << input.sampleRate << " Hz\n";
}

}  // namespace sorvano
