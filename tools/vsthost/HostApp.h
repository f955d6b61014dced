#pragma once

#include <ostream>

#include "tools/vsthost/CommandLine.h"

namespace sorvano {

class PluginInstance;

// Carries out one parsed command: describe, process, state, signal or editor. Reports
// go to `out`. Throws HostError when the work fails. Main thread.
//
// A plug-in is driven in the order of a real host:
//  1. dlopen, entry point, magic check, effOpen;
//  2. effSetSampleRate, effSetBlockSize;
//  3. chunk loads, then parameter settings;
//  4. for process: effSetProcessPrecision, effMainsChanged(1), effStartProcess,
//     the process calls, effStopProcess, effMainsChanged(0);
//  5. chunk saves;
//  6. effClose, dlclose.
class HostApp {
 public:
  explicit HostApp(std::ostream& out) : mOut(out) {}

  void Run(const HostOptions& options);

 private:
  void Describe(const HostOptions& options);
  void Process(const HostOptions& options);
  void State(const HostOptions& options);
  void Signal(const HostOptions& options);
  void Editor(const HostOptions& options);

  void LoadState(PluginInstance& plugin, const HostOptions& options);
  void SaveState(PluginInstance& plugin, const HostOptions& options);

  std::ostream& mOut;
};

}  // namespace sorvano
