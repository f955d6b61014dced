#include "tools/vsthost/PluginModule.h"

#include <dlfcn.h>

#include "tools/vsthost/HostError.h"

namespace sorvano {

namespace {

// dlerror() text of the last failure, or a fallback when there is none.
std::string LastLoaderError(const char* fallback) {
  const char* text = dlerror();
  return text ? std::string(text) : std::string(fallback);
}

}  // namespace

PluginModule::PluginModule(const std::string& path) : mPath(path) {
  dlerror();
  mHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!mHandle) {
    throw HostError("cannot load " + path + ": " + LastLoaderError("unknown loader error"));
  }
  for (const char* name : {"VSTPluginMain", "main"}) {
    dlerror();
    void* symbol = dlsym(mHandle, name);
    if (symbol) {
      // The interface passes the entry point as a plain C function address.
      mEntry = reinterpret_cast<vst::EntryProc>(symbol);
      mEntryName = name;
      return;
    }
  }
  dlclose(mHandle);
  mHandle = nullptr;
  throw HostError(path + " exports neither VSTPluginMain nor main: not a VST 2.x plug-in");
}

PluginModule::~PluginModule() {
  if (mHandle) dlclose(mHandle);
}

vst::AEffect* PluginModule::CallEntry(vst::HostCallback callback) const {
  return mEntry(callback);
}

}  // namespace sorvano
