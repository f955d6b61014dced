#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "framework/vst/VstAbi.h"
#include "tools/vsthost/PluginModule.h"

namespace sorvano {

class HostCallback;

// One parameter as the plug-in describes it.
struct ParameterInfo {
  std::int32_t index = 0;
  std::string name;
  std::string label;
  std::string display;
  float value = 0.0f;  // normalised 0..1
};

// Which state chunk: index 1 of effGetChunk/effSetChunk is the program, 0 the bank.
enum class ChunkKind { kProgram, kBank };

// One open plug-in instance, driven only through the VST 2.x binary interface.
// Construction loads the library, calls its entry point, checks the magic
// number and sends effOpen; destruction sends effClose, then unloads the
// library. Nothing the plug-in returns is trusted: counts are checked against
// this host's limits, texts are read from zeroed buffers larger than their
// nominal size, chunk sizes are checked before a byte is copied.
// Main thread (the host's only thread).
class PluginInstance {
 public:
  static constexpr std::int32_t kMaxChannels = 64;
  static constexpr std::int32_t kMaxParameters = 65536;
  static constexpr std::int32_t kMaxPrograms = 65536;
  static constexpr std::size_t kMaxChunkBytes = 256u << 20;
  // Room given to the plug-in for any text; far more than the nominal sizes.
  static constexpr std::size_t kTextBufferBytes = 1024;

  // Throws HostError when the library cannot be loaded, returns no effect or
  // one without the magic number.
  PluginInstance(const std::string& path, HostCallback& host);
  ~PluginInstance();

  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  const PluginModule& Module() const { return mModule; }
  // The plug-in's effect record; its contents are the plug-in's claims.
  const vst::AEffect& Effect() const { return *mEffect; }

  std::intptr_t Dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                         void* ptr = nullptr, float opt = 0.0f);
  // Calls an opcode that writes text into ptr and returns the text. `result`
  // receives the dispatcher's answer when given.
  std::string QueryText(std::int32_t opcode, std::int32_t index = 0, std::intptr_t* result = nullptr);
  // effCanDo with the given text: 1 yes, -1 no, 0 unknown (as answered).
  std::intptr_t CanDo(const std::string& text);

  // The record's counts, checked against the limits above (HostError if not).
  std::int32_t NumInputs() const;
  std::int32_t NumOutputs() const;
  std::int32_t NumParameters() const;
  std::int32_t NumPrograms() const;

  ParameterInfo Parameter(std::int32_t index);
  // Finds a parameter by its exact name, else by a name that differs only in
  // letter case, else by its decimal index.
  std::optional<std::int32_t> FindParameter(const std::string& nameOrIndex);
  // Throws HostError for an index out of range or a value outside 0..1.
  void SetParameter(std::int32_t index, float normalised);

  // Throws HostError when the plug-in hands out no chunk or an absurd size.
  std::vector<std::uint8_t> GetChunk(ChunkKind kind);
  // Returns the plug-in's answer (non-zero means accepted).
  std::intptr_t SetChunk(ChunkKind kind, const std::vector<std::uint8_t>& bytes);

  // The set-up and activation calls of a host's lifecycle.
  void Configure(double sampleRate, std::int32_t blockSize);
  // effSetProcessPrecision; the answer is informative only.
  void SetProcessPrecision(bool doublePrecision);
  // effMainsChanged(1), then effStartProcess.
  void Resume();
  // effStopProcess, then effMainsChanged(0).
  void Suspend();

  // The three audio callbacks. The caller checks first that the record has
  // the one it calls (Effect()).
  void ProcessReplacing(float** inputs, float** outputs, std::int32_t frames);
  void ProcessDoubleReplacing(double** inputs, double** outputs, std::int32_t frames);
  void ProcessAccumulating(float** inputs, float** outputs, std::int32_t frames);

 private:
  std::int32_t CheckedCount(std::int32_t value, std::int32_t limit, const char* what) const;

  PluginModule mModule;  // first member: unloaded after everything else
  HostCallback& mHost;
  vst::AEffect* mEffect = nullptr;
};

}  // namespace sorvano
