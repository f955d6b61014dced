#include "tools/vsthost/PluginInstance.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "tools/vsthost/HostCallback.h"
#include "tools/vsthost/HostError.h"
#include "tools/vsthost/PluginDescriber.h"

namespace sorvano {

namespace {

constexpr std::int32_t kChunkIndexBank = 0;
constexpr std::int32_t kChunkIndexProgram = 1;

std::int32_t ChunkIndex(ChunkKind kind) { return kind == ChunkKind::kBank ? kChunkIndexBank : kChunkIndexProgram; }

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

}  // namespace

PluginInstance::PluginInstance(const std::string& path, HostCallback& host) : mModule(path), mHost(host) {
  {
    HostCallback::ConstructionScope scope(host);
    mEffect = mModule.CallEntry(&HostCallback::Entry);
  }
  if (!mEffect) throw HostError(path + ": the entry point returned no effect");
  if (mEffect->magic != vst::kEffectMagic) {
    const std::string magic = PluginDescriber::Hex(mEffect->magic);
    mEffect = nullptr;
    throw HostError(path + ": the effect record has magic " + magic + " instead of 'VstP'");
  }
  mHost.Attach(mEffect);
  Dispatch(vst::effOpen);
}

PluginInstance::~PluginInstance() {
  if (mEffect) {
    Dispatch(vst::effClose);
    mEffect = nullptr;
  }
  mHost.Attach(nullptr);
}

std::intptr_t PluginInstance::Dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                                       float opt) {
  if (!mEffect->dispatcher) return 0;
  return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
}

std::string PluginInstance::QueryText(std::int32_t opcode, std::int32_t index, std::intptr_t* result) {
  char buffer[kTextBufferBytes] = {};
  const std::intptr_t answer = Dispatch(opcode, index, 0, buffer);
  if (result) *result = answer;
  buffer[kTextBufferBytes - 1] = '\0';
  return std::string(buffer);
}

std::intptr_t PluginInstance::CanDo(const std::string& text) {
  std::vector<char> copy(text.begin(), text.end());
  copy.push_back('\0');
  return Dispatch(vst::effCanDo, 0, 0, copy.data());
}

std::int32_t PluginInstance::CheckedCount(std::int32_t value, std::int32_t limit, const char* what) const {
  if (value < 0 || value > limit) {
    throw HostError("the plug-in reports " + std::to_string(value) + " " + what + "; this host accepts 0.." +
                    std::to_string(limit));
  }
  return value;
}

std::int32_t PluginInstance::NumInputs() const { return CheckedCount(mEffect->numInputs, kMaxChannels, "inputs"); }
std::int32_t PluginInstance::NumOutputs() const {
  return CheckedCount(mEffect->numOutputs, kMaxChannels, "outputs");
}
std::int32_t PluginInstance::NumParameters() const {
  return CheckedCount(mEffect->numParams, kMaxParameters, "parameters");
}
std::int32_t PluginInstance::NumPrograms() const {
  return CheckedCount(mEffect->numPrograms, kMaxPrograms, "programs");
}

ParameterInfo PluginInstance::Parameter(std::int32_t index) {
  ParameterInfo info;
  info.index = index;
  info.name = QueryText(vst::effGetParamName, index);
  info.label = QueryText(vst::effGetParamLabel, index);
  info.display = QueryText(vst::effGetParamDisplay, index);
  info.value = mEffect->getParameter ? mEffect->getParameter(mEffect, index) : 0.0f;
  return info;
}

std::optional<std::int32_t> PluginInstance::FindParameter(const std::string& nameOrIndex) {
  const std::int32_t count = NumParameters();
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) names.push_back(QueryText(vst::effGetParamName, i));
  for (std::int32_t i = 0; i < count; ++i) {
    if (names[static_cast<std::size_t>(i)] == nameOrIndex) return i;
  }
  for (std::int32_t i = 0; i < count; ++i) {
    if (EqualIgnoringCase(names[static_cast<std::size_t>(i)], nameOrIndex)) return i;
  }
  std::int32_t index = -1;
  const char* end = nameOrIndex.data() + nameOrIndex.size();
  const auto parsed = std::from_chars(nameOrIndex.data(), end, index);
  if (!nameOrIndex.empty() && parsed.ec == std::errc() && parsed.ptr == end && index >= 0 && index < count) {
    return index;
  }
  return std::nullopt;
}

void PluginInstance::SetParameter(std::int32_t index, float normalised) {
  if (index < 0 || index >= NumParameters()) {
    throw HostError("parameter index " + std::to_string(index) + " is out of range");
  }
  if (!std::isfinite(normalised) || normalised < 0.0f || normalised > 1.0f) {
    throw HostError("a parameter value must be a normalised number from 0 to 1");
  }
  if (!mEffect->setParameter) throw HostError("the plug-in has no setParameter callback");
  mEffect->setParameter(mEffect, index, normalised);
}

std::vector<std::uint8_t> PluginInstance::GetChunk(ChunkKind kind) {
  const char* what = kind == ChunkKind::kBank ? "bank" : "program";
  void* data = nullptr;
  const std::intptr_t size = Dispatch(vst::effGetChunk, ChunkIndex(kind), 0, &data);
  if (size <= 0 || !data) throw HostError(std::string("the plug-in returned no ") + what + " chunk");
  if (static_cast<std::uintmax_t>(size) > kMaxChunkBytes) {
    throw HostError(std::string("the plug-in claims a ") + what + " chunk of " + std::to_string(size) +
                    " bytes, more than this host accepts");
  }
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  return std::vector<std::uint8_t>(bytes, bytes + size);
}

std::intptr_t PluginInstance::SetChunk(ChunkKind kind, const std::vector<std::uint8_t>& bytes) {
  // The plug-in receives a private copy: it may keep or alter what it is given
  // until the call returns.
  std::vector<std::uint8_t> copy(bytes);
  return Dispatch(vst::effSetChunk, ChunkIndex(kind), static_cast<std::intptr_t>(copy.size()), copy.data());
}

void PluginInstance::Configure(double sampleRate, std::int32_t blockSize) {
  Dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
  Dispatch(vst::effSetBlockSize, 0, blockSize);
}

void PluginInstance::SetProcessPrecision(bool doublePrecision) {
  Dispatch(vst::effSetProcessPrecision, 0,
           doublePrecision ? vst::kVstProcessPrecision64 : vst::kVstProcessPrecision32);
}

void PluginInstance::Resume() {
  Dispatch(vst::effMainsChanged, 0, 1);
  Dispatch(vst::effStartProcess);
}

void PluginInstance::Suspend() {
  Dispatch(vst::effStopProcess);
  Dispatch(vst::effMainsChanged, 0, 0);
}

void PluginInstance::ProcessReplacing(float** inputs, float** outputs, std::int32_t frames) {
  mEffect->processReplacing(mEffect, inputs, outputs, frames);
}

void PluginInstance::ProcessDoubleReplacing(double** inputs, double** outputs, std::int32_t frames) {
  mEffect->processDoubleReplacing(mEffect, inputs, outputs, frames);
}

void PluginInstance::ProcessAccumulating(float** inputs, float** outputs, std::int32_t frames) {
  mEffect->process(mEffect, inputs, outputs, frames);
}

}  // namespace sorvano
