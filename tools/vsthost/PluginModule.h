#pragma once

#include <string>

#include "framework/vst/VstAbi.h"

namespace sorvano {

// One loaded plug-in library: opens it with dlopen (RTLD_NOW | RTLD_LOCAL),
// finds its entry point (VSTPluginMain, else main) and closes the library when
// destroyed. Every instance made from it must be closed before that.
// Main thread.
class PluginModule {
 public:
  // Throws HostError when the library cannot be opened or exports neither
  // entry point.
  explicit PluginModule(const std::string& path);
  ~PluginModule();

  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  // Calls the entry point with the host callback. Returns what the plug-in
  // returned: possibly null, and not yet checked for the magic number.
  vst::AEffect* CallEntry(vst::HostCallback callback) const;

  const std::string& Path() const { return mPath; }
  // "VSTPluginMain" or "main".
  const std::string& EntryName() const { return mEntryName; }

 private:
  std::string mPath;
  void* mHandle = nullptr;
  vst::EntryProc mEntry = nullptr;
  std::string mEntryName;
};

}  // namespace sorvano
