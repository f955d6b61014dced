#include "framework/IEffectBase.h"

#include <stdio.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <thread>
#include <type_traits>

#include "framework/Assert.h"
#include "framework/BoundedString.h"

namespace sorvano {
namespace {

constexpr const char* kUserPresetName = "user preset";
constexpr const char* kDefaultPresetName = "Default";

// The channel range first .. first + n - 1, limited to 0 .. count - 1,
// without overflow for any first and n.
void ChannelRange(int first, int n, int count, int* begin, int* end) {
  const std::int64_t lo = std::max<std::int64_t>(first, 0);
  const std::int64_t hi = std::min<std::int64_t>(static_cast<std::int64_t>(first) + n, count);
  *begin = static_cast<int>(std::min<std::int64_t>(lo, count));
  *end = static_cast<int>(std::max<std::int64_t>(hi, *begin));
}

}  // namespace

IEffectBase::IEffectBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                         const char* productName, const char* vendorName, int version, int uniqueId,
                         int vendorId, int latency, bool /*doesMidi*/, bool doesStateChunks,
                         bool isInstrument)
    : mUniqueId(uniqueId),
      mVendorId(vendorId),
      mVersion(version),
      mDoesStateChunks(doesStateChunks),
      mIsInstrument(isInstrument),
      mLatency(latency) {
  for (int i = 0; i < nParams; ++i) mParams.push_back(std::make_unique<IEffectParam>());
  for (int i = 0; i < nPresets; ++i) mPresets.push_back(MakeUninitializedPreset(i));

  CopyBounded(mEffectName, effectName);
  CopyBounded(mProductName, productName);
  CopyBounded(mVendorName, vendorName);

  ParseChannelString(channelIOStr);
}

IEffectBase::~IEffectBase() {
  // The editor goes first: its controls refer to this object.
  mEditor.reset();
}

void IEffectBase::ParseChannelString(const char* channelIOStr) {
  int maxIn = 0;
  int maxOut = 0;
  while (channelIOStr) {
    int nIn = 0;
    int nOut = 0;
    SORVANO_ASSERT(sscanf(channelIOStr, "%d-%d", &nIn, &nOut) == 2);
    mChannelConfigs.push_back({nIn, nOut});
    maxIn = std::max(maxIn, nIn);
    maxOut = std::max(maxOut, nOut);
    channelIOStr = std::strchr(channelIOStr, ' ');
    if (channelIOStr) ++channelIOStr;
  }

  // Every channel is bound to its own entry of the pointer array, which is
  // never resized after this point.
  mInputPtrs.assign(static_cast<std::size_t>(maxIn), nullptr);
  mOutputPtrs.assign(static_cast<std::size_t>(maxOut), nullptr);
  mOutDestinations.assign(static_cast<std::size_t>(maxOut), nullptr);
  mInChannels.resize(static_cast<std::size_t>(maxIn));
  mOutChannels.resize(static_cast<std::size_t>(maxOut));
  for (int i = 0; i < maxIn; ++i) mInChannels[i].mEntry = &mInputPtrs[i];
  for (int i = 0; i < maxOut; ++i) mOutChannels[i].mEntry = &mOutputPtrs[i];
}

std::unique_ptr<IEffectBase::Preset> IEffectBase::MakeUninitializedPreset(int index) const {
  auto preset = std::make_unique<Preset>();
  snprintf(preset->mName, sizeof preset->mName, "- %d -", index);
  return preset;
}

// ---- Virtual operations ----

void IEffectBase::Reset() { ScopedLock lock(*this); }

void IEffectBase::OnParamChange(int /*paramIdx*/) { ScopedLock lock(*this); }

void IEffectBase::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
  if (nFrames <= 0) return;
  const std::size_t bytes = sizeof(double) * static_cast<std::size_t>(nFrames);
  const int nCopied = std::min(NInChannels(), NOutChannels());
  for (int i = 0; i < NOutChannels(); ++i) {
    // The host may hand the same buffer as input and output.
    if (i < nCopied) {
      std::memmove(outputs[i], inputs[i], bytes);
    } else {
      std::fill_n(outputs[i], nFrames, 0.0);
    }
  }
}

void IEffectBase::OnEditorOpen() {}

void IEffectBase::OnEditorClose() {}

void IEffectBase::OnActivate(bool /*active*/) { ScopedLock lock(*this); }

void IEffectBase::HandleMidiMessage(const MidiMessage& msg) { SendMidiMessage(msg); }

bool IEffectBase::NoteNameForKey(int /*note*/, char* name, std::size_t capacity) {
  CopyBounded(name, capacity, "");
  return false;
}

bool IEffectBase::SerializeState(DataChunk* chunk) { return SerializeParams(chunk); }

int IEffectBase::UnserializeState(const DataChunk* chunk, int pos) { return UnserializeParams(chunk, pos); }

int IEffectBase::GetHost() { return StoredHostId(); }

void IEffectBase::AttachEditor(IEditor* editor) {
  if (!editor) return;
  ScopedLock lock(*this);
  for (int i = 0; i < NParams(); ++i) editor->SetParameterFromPlugin(i, mParams[i]->GetNormalized(), true);
  editor->PrepareDraw();
  mEditor.reset(editor);
}

void IEffectBase::DestroyEditor() {
  ScopedLock lock(*this);
  mEditor.reset();
}

void IEffectBase::SetBlockSize(int blockSize) {
  if (blockSize <= 0) return;
  blockSize = std::min(blockSize, kMaxBlockSize);
  if (blockSize == mBlockSize) return;

  // Allocate every buffer before swapping any in, so that a failed allocation
  // leaves all of them at the old size.
  std::vector<std::vector<double>> fresh(mInChannels.size() + mOutChannels.size());
  for (std::vector<double>& buffer : fresh) buffer.assign(static_cast<std::size_t>(blockSize), 0.0);
  std::size_t next = 0;
  for (InputChannel& ch : mInChannels) {
    ch.mScratch.swap(fresh[next++]);
    if (!ch.mConnected) *ch.mEntry = ch.mScratch.data();
  }
  for (OutputChannel& ch : mOutChannels) {
    ch.mScratch.swap(fresh[next++]);
    if (!ch.mConnected) *ch.mEntry = ch.mScratch.data();
  }
  mBlockSize = blockSize;
}

void IEffectBase::SetLatency(int samples) { mLatency = samples; }

// ---- Parameters ----

IEffectParam* IEffectBase::GetParam(int i) {
  return i >= 0 && i < NParams() ? mParams[static_cast<std::size_t>(i)].get() : nullptr;
}

const IEffectParam* IEffectBase::GetParam(int i) const {
  return i >= 0 && i < NParams() ? mParams[static_cast<std::size_t>(i)].get() : nullptr;
}

void IEffectBase::SetParameterFromGUI(int paramIdx, double normalizedValue) {
  ScopedLock lock(*this);
  IEffectParam* param = GetParam(paramIdx);
  if (!param) return;
  AutomateParam(paramIdx, normalizedValue);
  param->SetNormalized(normalizedValue);
  OnParamChange(paramIdx);
}

void IEffectBase::ApplyAllParams() {
  ScopedLock lock(*this);
  for (int i = 0; i < NParams(); ++i) OnParamChange(i);
  Reset();
}

void IEffectBase::PushParamsToEditor() {
  if (!mEditor) return;
  for (int i = 0; i < NParams(); ++i) mEditor->SetParameterFromPlugin(i, mParams[i]->Value(), false);
}

bool IEffectBase::SerializeParams(DataChunk* chunk) {
  if (!chunk) return false;
  ScopedLock lock(*this);
  for (const auto& param : mParams) chunk->Put(param->Value());
  return chunk->Size() > 0 || mParams.empty();
}

int IEffectBase::UnserializeParams(const DataChunk* chunk, int pos) {
  ScopedLock lock(*this);
  if (!chunk) pos = -1;
  for (int i = 0; i < NParams() && pos >= 0; ++i) {
    double v = 0.0;
    pos = chunk->Get(&v, pos);
    mParams[i]->Set(v);
  }
  ApplyAllParams();
  return pos;
}

// ---- Presets ----

void IEffectBase::AddDefaultPresetIfNone() {
  if (!mPresets.empty()) return;
  mPresets.push_back(MakeUninitializedPreset(0));
  FillPresetsFromCurrent(nullptr, 1);
}

void IEffectBase::FillPresetsFromCurrent(const char* name, int n) {
  for (int k = 0; k < n; ++k) {
    const auto it = std::find_if(mPresets.begin(), mPresets.end(),
                                 [](const std::unique_ptr<Preset>& p) { return !p->mInitialized; });
    if (it == mPresets.end()) return;
    Preset& preset = **it;
    preset.mInitialized = true;
    CopyBounded(preset.mName, name ? name : kDefaultPresetName);
    preset.mChunk.Clear();
    SerializeParams(&preset.mChunk);
  }
}

void IEffectBase::NameUserPreset(Preset* preset) const {
  int count = 0;
  for (const auto& p : mPresets) {
    if (std::strstr(p->mName, kUserPresetName)) ++count;
  }
  snprintf(preset->mName, sizeof preset->mName, "%s %d", kUserPresetName, count + 1);
}

bool IEffectBase::SelectPreset(int i) {
  if (i < 0 || i >= NPresets()) return false;
  Preset& preset = *mPresets[static_cast<std::size_t>(i)];
  if (preset.mInitialized) {
    if (UnserializeParams(&preset.mChunk, 0) <= 0) return false;
  } else {
    preset.mInitialized = true;
    NameUserPreset(&preset);
    preset.mChunk.Clear();
    SerializeParams(&preset.mChunk);
  }
  mCurrentPresetIdx = i;
  PushParamsToEditor();
  return true;
}

void IEffectBase::StoreCurrentPreset(const char* name) {
  if (mCurrentPresetIdx < 0 || mCurrentPresetIdx >= NPresets()) return;
  Preset& preset = *mPresets[static_cast<std::size_t>(mCurrentPresetIdx)];
  preset.mChunk.Clear();
  SerializeParams(&preset.mChunk);
  if (name && name[0] != '\0') CopyBounded(preset.mName, name);
}

const char* IEffectBase::GetPresetName(int i) const {
  return i >= 0 && i < NPresets() ? mPresets[static_cast<std::size_t>(i)]->mName : "";
}

bool IEffectBase::SerializePresets(DataChunk* chunk) {
  if (!chunk) return false;
  bool ok = true;
  for (const auto& preset : mPresets) {
    chunk->PutStr(preset->mName);
    chunk->Put(preset->mInitialized);
    if (preset->mInitialized) chunk->PutBytes(preset->mChunk.Data(), preset->mChunk.Size());
    ok = chunk->Size() > 0;
    if (!ok) break;
  }
  return ok;
}

int IEffectBase::UnserializePresets(const DataChunk* chunk, int pos) {
  if (!chunk) return -1;
  // Lives across the loop: a zero-length stored name repeats the name read
  // before it.
  char name[kPresetNameCapacity] = {};
  for (auto& preset : mPresets) {
    if (pos < 0) break;
    pos = chunk->GetStr(name, sizeof name, pos);
    // Data that ends here leaves this preset as it was.
    if (pos < 0) break;
    CopyBounded(preset->mName, name);
    pos = chunk->Get(&preset->mInitialized, pos);
    if (pos >= 0 && preset->mInitialized) {
      pos = UnserializeParams(chunk, pos);
      if (pos > 0) {
        preset->mChunk.Clear();
        SerializeParams(&preset->mChunk);
      }
    }
  }
  SelectPreset(mCurrentPresetIdx);
  return pos;
}

// ---- Channels ----

bool IEffectBase::LegalIO(int nIn, int nOut) const {
  return std::any_of(mChannelConfigs.begin(), mChannelConfigs.end(), [nIn, nOut](const ChannelIOConfig& c) {
    return (nIn < 0 || c.mIn == nIn) && (nOut < 0 || c.mOut == nOut);
  });
}

void IEffectBase::SetInputChannelConnections(int first, int n, bool connected) {
  int begin = 0;
  int end = 0;
  ChannelRange(first, n, NInChannels(), &begin, &end);
  for (int i = begin; i < end; ++i) {
    InputChannel& ch = mInChannels[static_cast<std::size_t>(i)];
    ch.mConnected = connected;
    if (!connected) {
      // The scratch buffer may still hold converted host audio; an
      // unconnected input must read silence.
      std::fill(ch.mScratch.begin(), ch.mScratch.end(), 0.0);
      *ch.mEntry = ch.mScratch.data();
    }
  }
}

void IEffectBase::SetOutputChannelConnections(int first, int n, bool connected) {
  int begin = 0;
  int end = 0;
  ChannelRange(first, n, NOutChannels(), &begin, &end);
  for (int i = begin; i < end; ++i) {
    OutputChannel& ch = mOutChannels[static_cast<std::size_t>(i)];
    ch.mConnected = connected;
    if (!connected) *ch.mEntry = ch.mScratch.data();
  }
}

bool IEffectBase::IsInputConnected(int i) const {
  return i >= 0 && i < NInChannels() && mInChannels[static_cast<std::size_t>(i)].mConnected;
}

bool IEffectBase::IsOutputConnected(int i) const {
  return i >= 0 && i < NOutChannels() && mOutChannels[static_cast<std::size_t>(i)].mConnected;
}

void IEffectBase::RestrictToStereo() {
  if (NInChannels() > 2) SetInputChannelConnections(2, NInChannels() - 2, false);
  if (NOutChannels() > 2) SetOutputChannelConnections(2, NOutChannels() - 2, true);
}

// ---- Audio paths ----

void IEffectBase::ProcessReplacing(float** inputs, float** outputs, int nFrames) {
  ProcessHostBuffers<float, false>(inputs, outputs, nFrames);
}

void IEffectBase::ProcessAccumulating(float** inputs, float** outputs, int nFrames) {
  ProcessHostBuffers<float, true>(inputs, outputs, nFrames);
}

void IEffectBase::ProcessReplacing(double** inputs, double** outputs, int nFrames) {
  ProcessHostBuffers<double, false>(inputs, outputs, nFrames);
}

template <typename Sample, bool kAccumulate>
void IEffectBase::ProcessHostBuffers(Sample** inputs, Sample** outputs, int nFrames) {
  if (mBlockSize <= 0) return;
  // The scratch buffers hold one block: longer calls run in slices.
  for (int offset = 0; offset < nFrames;) {
    const int slice = std::min(nFrames - offset, mBlockSize);
    mSliceOffset = offset;
    ProcessSlice<Sample, kAccumulate>(inputs, outputs, offset, slice);
    offset += slice;
  }
  mSliceOffset = 0;
}

template <typename Sample, bool kAccumulate>
void IEffectBase::ProcessSlice(Sample** inputs, Sample** outputs, int offset, int nFrames) {
  // Double host buffers are handed on in place; float ones are converted
  // through the scratch buffers.
  constexpr bool kInPlace = std::is_same_v<Sample, double> && !kAccumulate;

  int hostChannel = 0;
  for (InputChannel& ch : mInChannels) {
    if (!ch.mConnected) continue;  // its entry points at its silent scratch buffer
    Sample* src = inputs ? inputs[hostChannel] : nullptr;
    ++hostChannel;
    double* scratch = ch.mScratch.data();
    if (!src) {
      std::fill_n(scratch, nFrames, 0.0);
      *ch.mEntry = scratch;
    } else if constexpr (kInPlace) {
      *ch.mEntry = src + offset;
    } else {
      std::copy_n(src + offset, nFrames, scratch);
      *ch.mEntry = scratch;
    }
  }

  hostChannel = 0;
  for (std::size_t i = 0; i < mOutChannels.size(); ++i) {
    OutputChannel& ch = mOutChannels[i];
    mOutDestinations[i] = nullptr;
    *ch.mEntry = ch.mScratch.data();
    if (!ch.mConnected) continue;
    Sample* dst = outputs ? outputs[hostChannel] : nullptr;
    ++hostChannel;
    if (!dst) continue;  // computed into the scratch buffer and dropped
    if constexpr (kInPlace) {
      *ch.mEntry = dst + offset;
    } else {
      mOutDestinations[i] = dst + offset;
    }
  }

  ProcessDoubleReplacing(mInputPtrs.data(), mOutputPtrs.data(), nFrames);

  if constexpr (!kInPlace) {
    for (std::size_t i = 0; i < mOutChannels.size(); ++i) {
      Sample* dst = static_cast<Sample*>(mOutDestinations[i]);
      if (!dst) continue;
      const double* result = mOutChannels[i].mScratch.data();
      for (int k = 0; k < nFrames; ++k) {
        if constexpr (kAccumulate) {
          dst[k] = static_cast<Sample>(result[k] + dst[k]);
        } else {
          dst[k] = static_cast<Sample>(result[k]);
        }
      }
    }
  }
}

// ---- Description and settings ----

int IEffectBase::GetEffectVersion(bool decimal) const {
  if (!decimal) return mVersion;
  const auto packed = static_cast<std::uint32_t>(mVersion);
  const int major = static_cast<int>(packed >> 16);
  const int minor = static_cast<int>((packed >> 8) & 0xFF);
  const int revision = static_cast<int>(packed & 0xFF);
  return major * 10000 + minor * 100 + revision;
}

void IEffectBase::SetSampleRate(double rate) {
  if (std::isfinite(rate) && rate > 0.0 && rate <= kMaxSampleRate) mSampleRate = rate;
}

void IEffectBase::SetHost(int hostId, int hostVersion) {
  mHostVersion.store(hostVersion, std::memory_order_release);
  mHostId.store(hostId, std::memory_order_release);
}

// ---- The plug-in lock ----

void IEffectBase::Lock() {
  mMutex.lock();
  ++mLockDepth;
}

void IEffectBase::Unlock() {
  --mLockDepth;
  mMutex.unlock();
}

bool IEffectBase::TryLockFor(std::chrono::milliseconds timeout) {
  // Polled with try_lock instead of try_lock_for: ThreadSanitizer does not
  // see the timed lock call this C++ library makes, and would report every
  // later unlock as wrong. The holders of the lock keep it for a block or a
  // host call, so a short poll period costs nothing noticeable.
  constexpr auto kPollPeriod = std::chrono::microseconds(200);
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!mMutex.try_lock()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPollPeriod);
  }
  ++mLockDepth;
  return true;
}

}  // namespace sorvano
