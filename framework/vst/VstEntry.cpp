// The module's exported entry points, VSTPluginMain and main. Nothing else
// of the module is visible to the host.

#include <memory>
#include <mutex>

#include "framework/vst/IEffectVST.h"
#include "framework/vst/VstAbi.h"

namespace {

// Constructs one plug-in object under the process-wide construction lock and
// returns its effect record, or null. Calls nothing in the host: some hosts
// have not registered the instance yet. Nothing may be thrown to the host.
vst::AEffect* CreateEffect(vst::HostCallback host) noexcept {
  static std::mutex constructionLock;
  try {
    std::lock_guard<std::mutex> guard(constructionLock);
    std::unique_ptr<sorvano::IEffectVST> plug(
        sorvano::CreatePluginInstance(reinterpret_cast<sorvano::VstHostCallback>(host)));
    if (!plug) return nullptr;
    plug->AddDefaultPresetIfNone();
    plug->EnsureProgramCount();
    return static_cast<vst::AEffect*>(plug.release()->EffectRecord());
  } catch (...) {
    return nullptr;
  }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) vst::AEffect* VSTPluginMain(vst::HostCallback host) {
  return CreateEffect(host);
}

// C++ does not allow a function called main with this signature, so the
// second entry point gets the symbol name "main" at assembler level.
extern "C" __attribute__((visibility("default"))) vst::AEffect* SorvanoEntryMain(vst::HostCallback host) __asm__(
    "main");

extern "C" vst::AEffect* SorvanoEntryMain(vst::HostCallback host) { return CreateEffect(host); }
