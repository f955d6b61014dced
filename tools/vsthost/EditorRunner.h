#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tools/vsthost/AudioData.h"
#include "tools/vsthost/CommandLine.h"
#include "tools/vsthost/GestureScript.h"

namespace sorvano {

class HostCallback;
class PluginInstance;

// `sorvano-host editor`: the plug-in's editor in a frame window of this host
// on the X server in DISPLAY, with audio playing through the plug-in in real
// time on an audio thread of its own, gestures replayed as real pointer
// events (XTEST), and screenshots.
//
// Threads, as in a real host:
//   - main thread: effEditGetRect (before and after effEditOpen, as some
//     hosts do), effEditOpen with the frame's window id, effEditIdle every
//     40 ms, the gestures, the screenshots, effEditClose;
//   - audio thread: effMainsChanged and the process calls, one block at a
//     time at the pace of the sample rate, with the timeline's position.
// The plug-in's configured and state loaded before Run.
class EditorRunner {
public:
  EditorRunner(PluginInstance& plugin, HostCallback& host, std::ostream& out)
      : mPlugin(plugin), mHost(host), mOut(out) {}

  // input may be empty (silence at the host's default rate). Throws
  // HostError when no X server answers, the plug-in has no editor or
  // refuses to open it.
  void Run(const AudioData& input, const HostOptions& options);

private:
  PluginInstance& mPlugin;
  HostCallback& mHost;
  std::ostream& mOut;
};

}  // namespace sorvano
