#include "framework/vst/IEffectVST.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <type_traits>

#include "framework/BoundedString.h"
#include "framework/FourCharCode.h"
#include "framework/vst/VstAbi.h"

namespace sorvano {
namespace {

// Header of program and bank chunks: a magic number and the framework's
// chunk format version, each an int32.
constexpr std::int32_t kChunkMagic = FourCharCode('p', 'f', 'f', 't');  // 0x70666674
constexpr std::int32_t kChunkVersion = 0x00010000;
// Largest chunk accepted from a host. Sorvano's state is 72 bytes plus 75
// per region; anything near this size is garbage, not a project.
constexpr std::intptr_t kMaxChunkBytes = 64 * 1024 * 1024;

// Room for parameter names, labels and display texts in host buffers: our
// fields hold 31 characters; the interface's nominal 8 would cut "colormap"
// and every examined host gives 64 bytes or more.
constexpr std::size_t kHostParamTextCapacity = kParamTextCapacity;
// Product-string buffer handed to the host, which copies without a limit.
constexpr std::size_t kHostProductCapacity = 256;

constexpr std::intptr_t kVendorSpecificReply = 0xBEEF;
constexpr std::int32_t kVendorSpecificFormatValue = 7;

// Host ids whose channel handling needs RestrictToStereo.
constexpr int kStereoOnlyHosts[] = {kHostForte, kHostAudition, kHostOrion, kHostSawStudio};

struct HostTableEntry {
  const char* mText;
  int mId;
};

// Tested in this order on the lower-cased product string; the first hit wins.
constexpr HostTableEntry kHostTable[] = {
    {"cubase", kHostCubase},         {"reaper", kHostReaper},       {"nuendo", kHostNuendo},
    {"cakewalk", kHostCakewalk},     {"samplitude", kHostSamplitude}, {"fruity", kHostFruity},
    {"live", kHostLive},             {"melodyne", kHostMelodyne},   {"vstmanlib", kHostVstManLib},
    {"aulab", kHostAuLab},           {"forte", kHostForte},         {"chainer", kHostChainer},
    {"audition", kHostAudition},     {"orion", kHostOrion},         {"sawstudio", kHostSawStudio},
};

constexpr const char* kCanDoTimeInfo = "receiveVstTimeInfo";
constexpr const char* kCanDoMidi[] = {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents",
                                      "receiveVstMidiEvent"};

// A host's intptr argument as an int index; values outside the int range
// become -1, which every index check rejects.
int ToIndex(std::intptr_t value) {
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) return -1;
  return static_cast<int>(value);
}

// The host's decimal vendor version (major * 10000 + minor * 100 + revision)
// in packed form; answers outside the int32 range count as no version.
int PackHostVersion(std::intptr_t decimal) {
  if (decimal < 0 || decimal > std::numeric_limits<std::int32_t>::max()) return 0;
  const auto v = static_cast<std::uint32_t>(decimal);
  const std::uint32_t packed = ((v / 10000) << 16) | (((v / 100) % 100) << 8) | (v % 100);
  return static_cast<int>(packed);
}

// numChannels of a host's speaker arrangement. Hosts pass arrangements of
// any length, so nothing but this field is read; a negative count is 0.
int ArrangementChannels(const void* arrangement) {
  std::int32_t n = 0;
  std::memcpy(&n, static_cast<const char*>(arrangement) + offsetof(vst::VstSpeakerArrangement, numChannels),
              sizeof n);
  return std::max(n, 0);
}

// Our own arrangements declare eight speakers; a host reads numChannels of
// them, so the count handed out never exceeds what the record holds.
std::int32_t OwnArrangementChannels(int n) {
  constexpr int kSpeakers =
      static_cast<int>(sizeof(vst::VstSpeakerArrangement::speakers) / sizeof(vst::VstSpeakerProperties));
  return std::min(n, kSpeakers);
}

}  // namespace

// Everything the host sees in VST terms.
struct IEffectVST::Record {
  vst::AEffect mEffect;
  vst::ERect mEditorRect;
  vst::HostCallback mHost = nullptr;
  vst::VstSpeakerArrangement mInputArrangement;
  vst::VstSpeakerArrangement mOutputArrangement;
  // The host's editor window is open (effEditOpen succeeded, no effEditClose
  // yet). Host thread, plug-in lock held.
  bool mEditorOpen = false;
  // The host asked to close while this thread was inside another call of
  // this object; the outermost call deletes it on its way out.
  bool mCloseRequested = false;
};

// The static C callbacks of the effect record. Each one recovers the object,
// holds the plug-in lock for the whole call through a CallFrame, and catches
// every exception: nothing may cross into the host.
class VstCallbacks {
public:
  static std::intptr_t Dispatcher(vst::AEffect* effect, std::int32_t opcode, std::int32_t index,
                                  std::intptr_t value, void* ptr, float opt);
  static float GetParameter(vst::AEffect* effect, std::int32_t index);
  static void SetParameter(vst::AEffect* effect, std::int32_t index, float value);
  static void Process(vst::AEffect* effect, float** inputs, float** outputs, std::int32_t sampleFrames);
  static void ProcessReplacing(vst::AEffect* effect, float** inputs, float** outputs, std::int32_t sampleFrames);
  static void ProcessDoubleReplacing(vst::AEffect* effect, double** inputs, double** outputs,
                                     std::int32_t sampleFrames);

  static std::intptr_t CallHost(IEffectVST& plug, std::int32_t opcode, std::int32_t index = 0,
                                std::intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f);
  // Copies the host's time info right away: some hosts reuse one record for
  // every caller. False when the host gives none.
  static bool GetTimeInfo(IEffectVST& plug, std::int32_t mask, vst::VstTimeInfo* info);
  static void SetEditorRect(IEffectVST& plug);

  // Leaving the outermost call of a thread: releases the lock and carries
  // out a requested close.
  static void Leave(IEffectVST* plug);

private:
  static IEffectVST* FromEffect(vst::AEffect* effect) {
    return effect ? static_cast<IEffectVST*>(effect->object) : nullptr;
  }
  template <typename Sample>
  static void RunAudio(vst::AEffect* effect, Sample** inputs, Sample** outputs, std::int32_t sampleFrames,
                       bool accumulate);
  static std::intptr_t Dispatch(IEffectVST& plug, std::int32_t opcode, std::int32_t index,
                                std::intptr_t value, void* ptr, float opt);
  static std::intptr_t GetChunk(IEffectVST& plug, std::int32_t index, void* ptr);
  static std::intptr_t SetChunk(IEffectVST& plug, std::int32_t index, std::intptr_t size, const void* ptr);
  static std::intptr_t ProcessEvents(IEffectVST& plug, const void* ptr);
  static std::intptr_t SetSpeakerArrangement(IEffectVST& plug, std::intptr_t inputs, void* outputs);
  static std::intptr_t PinProperties(void* ptr, int index, int count, const char* prefix);
  static std::intptr_t CanDo(const IEffectVST& plug, const char* text);
  static void CloseEditorWindow(IEffectVST& plug);
};

namespace {

// Holds the plug-in lock for one host call.
class CallFrame {
public:
  explicit CallFrame(IEffectVST* plug) : mPlug(plug) { mPlug->Lock(); }
  ~CallFrame() { VstCallbacks::Leave(mPlug); }
  CallFrame(const CallFrame&) = delete;
  CallFrame& operator=(const CallFrame&) = delete;

private:
  IEffectVST* mPlug;
};

}  // namespace

// ---- Construction ----

IEffectVST::IEffectVST(VstHostCallback hostCallback, int nParams, const char* channelIOStr, int nPresets,
                       const char* effectName, const char* productName, const char* vendorName, int version,
                       int uniqueId, int vendorId, int latency, bool doesMidi, bool doesStateChunks,
                       bool isInstrument)
    : IEffectBase(nParams, channelIOStr, nPresets, effectName, productName, vendorName, version, uniqueId,
                  vendorId, latency, doesMidi, doesStateChunks, isInstrument),
      mDoesMidi(doesMidi),
      mRecord(std::make_unique<Record>()) {
  Record& rec = *mRecord;
  rec.mHost = reinterpret_cast<vst::HostCallback>(hostCallback);

  // The whole record is zeroed once; resvd1, resvd2 and user belong to the
  // host and are never written again.
  vst::AEffect& e = rec.mEffect;
  std::memset(&e, 0, sizeof e);
  e.magic = vst::kEffectMagic;
  e.dispatcher = &VstCallbacks::Dispatcher;
  e.process = &VstCallbacks::Process;
  e.setParameter = &VstCallbacks::SetParameter;
  e.getParameter = &VstCallbacks::GetParameter;
  e.numPrograms = NPresets();
  e.numParams = NParams();
  e.numInputs = NInChannels();
  e.numOutputs = NOutChannels();
  e.flags = vst::effFlagsCanReplacing | vst::effFlagsCanDoubleReplacing;
  if (doesStateChunks) e.flags |= vst::effFlagsProgramChunks;
  if (LegalIO(1, -1)) e.flags |= vst::effFlagsCanMono;
  if (isInstrument) e.flags |= vst::effFlagsIsSynth;
  e.initialDelay = latency;
  e.ioRatio = 1.0f;
  e.object = static_cast<void*>(this);
  e.uniqueID = uniqueId;
  e.version = GetEffectVersion(true);
  e.processReplacing = &VstCallbacks::ProcessReplacing;
  e.processDoubleReplacing = &VstCallbacks::ProcessDoubleReplacing;

  std::memset(&rec.mEditorRect, 0, sizeof rec.mEditorRect);
  std::memset(&rec.mInputArrangement, 0, sizeof rec.mInputArrangement);
  std::memset(&rec.mOutputArrangement, 0, sizeof rec.mOutputArrangement);
  rec.mInputArrangement.numChannels = OwnArrangementChannels(NInChannels());
  rec.mOutputArrangement.numChannels = OwnArrangementChannels(NOutChannels());

  SetInputChannelConnections(0, NInChannels(), true);
  SetOutputChannelConnections(0, NOutChannels(), true);
  SetBlockSize(1024);
}

IEffectVST::~IEffectVST() = default;

void* IEffectVST::EffectRecord() { return &mRecord->mEffect; }

void IEffectVST::EnsureProgramCount() { mRecord->mEffect.numPrograms = std::max(mRecord->mEffect.numPrograms, 1); }

// ---- Host services ----

std::intptr_t VstCallbacks::CallHost(IEffectVST& plug, std::int32_t opcode, std::int32_t index,
                                     std::intptr_t value, void* ptr, float opt) {
  vst::HostCallback host = plug.mRecord->mHost;
  return host ? host(&plug.mRecord->mEffect, opcode, index, value, ptr, opt) : 0;
}

bool VstCallbacks::GetTimeInfo(IEffectVST& plug, std::int32_t mask, vst::VstTimeInfo* info) {
  const std::intptr_t answer = CallHost(plug, vst::audioMasterGetTime, 0, mask);
  if (!answer) return false;
  std::memcpy(info, reinterpret_cast<const void*>(answer), sizeof *info);
  return true;
}

void VstCallbacks::SetEditorRect(IEffectVST& plug) {
  const IEditor* editor = plug.GetEditor();
  if (!editor) return;
  auto toShort = [](int v) {
    return static_cast<std::int16_t>(std::clamp<int>(v, 0, std::numeric_limits<std::int16_t>::max()));
  };
  vst::ERect& r = plug.mRecord->mEditorRect;
  r.top = 0;
  r.left = 0;
  r.bottom = toShort(editor->Height());
  r.right = toShort(editor->Width());
}

void IEffectVST::BeginParamGesture(int paramIdx) {
  if (GetParam(paramIdx)) VstCallbacks::CallHost(*this, vst::audioMasterBeginEdit, paramIdx);
}

void IEffectVST::AutomateParam(int paramIdx, double normalizedValue) {
  if (GetParam(paramIdx)) {
    VstCallbacks::CallHost(*this, vst::audioMasterAutomate, paramIdx, 0, nullptr,
                           static_cast<float>(normalizedValue));
  }
}

void IEffectVST::EndParamGesture(int paramIdx) {
  if (GetParam(paramIdx)) VstCallbacks::CallHost(*this, vst::audioMasterEndEdit, paramIdx);
}

int IEffectVST::HostSamplePosition() {
  vst::VstTimeInfo info;
  if (!VstCallbacks::GetTimeInfo(*this, 0, &info)) return 0;
  // NaN and negative positions fail this test.
  if (!(info.samplePos >= 0.0)) return 0;
  constexpr double kMax = std::numeric_limits<std::int32_t>::max();
  const double pos = info.samplePos + SliceOffset();
  return pos >= kMax ? std::numeric_limits<std::int32_t>::max() : static_cast<int>(pos);
}

double IEffectVST::HostTempo() {
  vst::VstTimeInfo info;
  if (!VstCallbacks::GetTimeInfo(*this, vst::kVstTempoValid, &info)) return 0.0;
  if (!(info.flags & vst::kVstTempoValid) || !std::isfinite(info.tempo) || info.tempo < 0.0) return 0.0;
  return info.tempo;
}

void IEffectVST::HostTimeSignature(int* num, int* denom) {
  if (num) *num = 0;
  if (denom) *denom = 0;
  vst::VstTimeInfo info;
  if (!VstCallbacks::GetTimeInfo(*this, vst::kVstTimeSigValid, &info)) return;
  if (!(info.flags & vst::kVstTimeSigValid)) return;
  // A zero numerator or denominator is no time signature; 0/0 tells the
  // caller so, and nobody divides by a host's zero.
  if (info.timeSigNumerator <= 0 || info.timeSigDenominator <= 0) return;
  if (num) *num = info.timeSigNumerator;
  if (denom) *denom = info.timeSigDenominator;
}

int IEffectVST::GetHost() {
  const int stored = StoredHostId();
  if (stored != kHostNotAsked) return stored;

  char product[kHostProductCapacity] = {};
  VstCallbacks::CallHost(*this, vst::audioMasterGetProductString, 0, 0, product);
  product[kHostProductCapacity - 1] = '\0';
  int version = 0;
  if (product[0] != '\0') version = PackHostVersion(VstCallbacks::CallHost(*this, vst::audioMasterGetVendorVersion));
  const int id = LookUpHost(product);
  SetHost(id, version);
  return id;
}

int IEffectVST::LookUpHost(const char* productName) {
  char lower[kHostProductCapacity] = {};
  CopyBounded(lower, productName);
  if (lower[0] == '\0') return kHostUnknown;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const HostTableEntry& entry : kHostTable) {
    if (std::strstr(lower, entry.mText)) return entry.mId;
  }
  return kHostUnknown;
}

void IEffectVST::RefreshEditorRect(int /*w*/, int /*h*/) { VstCallbacks::SetEditorRect(*this); }

void IEffectVST::AdjustForHost() {
  if (mHostSetUpDone) return;
  mHostSetUpDone = true;
  const int host = GetHost();
  if (std::find(std::begin(kStereoOnlyHosts), std::end(kStereoOnlyHosts), host) != std::end(kStereoOnlyHosts)) {
    RestrictToStereo();
  }
  Record& rec = *mRecord;
  rec.mEffect.numInputs = NInChannels();
  rec.mInputArrangement.numChannels = OwnArrangementChannels(NInChannels());
  rec.mEffect.numOutputs = NOutChannels();
  rec.mOutputArrangement.numChannels = OwnArrangementChannels(NOutChannels());
}

void IEffectVST::AttachEditor(IEditor* editor) {
  if (!editor) return;
  IEffectBase::AttachEditor(editor);
  mRecord->mEffect.flags |= vst::effFlagsHasEditor;
  VstCallbacks::SetEditorRect(*this);
}

void IEffectVST::SetLatency(int samples) {
  mRecord->mEffect.initialDelay = samples;
  IEffectBase::SetLatency(samples);
}

bool IEffectVST::SendMidiMessage(const MidiMessage& msg) {
  vst::VstMidiEvent event;
  std::memset(&event, 0, sizeof event);
  event.type = vst::kVstMidiType;
  event.byteSize = sizeof event;
  event.deltaFrames = msg.mOffset;
  event.midiData[0] = msg.mStatus;
  event.midiData[1] = msg.mData1;
  event.midiData[2] = msg.mData2;
  vst::VstEvents events;
  std::memset(&events, 0, sizeof events);
  events.numEvents = 1;
  events.events[0] = reinterpret_cast<vst::VstEvent*>(&event);
  return VstCallbacks::CallHost(*this, vst::audioMasterProcessEvents, 0, 0, &events) == 1;
}

bool IEffectVST::SendMidiMessages(std::span<const MidiMessage> msgs) {
  bool all = true;
  for (const MidiMessage& msg : msgs) all = SendMidiMessage(msg) && all;
  return all;
}

// ---- Callbacks ----

void VstCallbacks::Leave(IEffectVST* plug) {
  const bool closeNow = plug->LockDepth() == 1 && plug->mRecord->mCloseRequested;
  plug->Unlock();
  if (closeNow) delete plug;
}

void VstCallbacks::CloseEditorWindow(IEffectVST& plug) {
  IEditor* editor = plug.GetEditor();
  if (!editor) return;
  plug.OnEditorClose();
  editor->CloseWindow();
  plug.mRecord->mEditorOpen = false;
}

std::intptr_t VstCallbacks::Dispatcher(vst::AEffect* effect, std::int32_t opcode, std::int32_t index,
                                       std::intptr_t value, void* ptr, float opt) {
  IEffectVST* plug = FromEffect(effect);
  if (!plug) return 0;
  try {
    CallFrame frame(plug);
    return Dispatch(*plug, opcode, index, value, ptr, opt);
  } catch (...) {
    return 0;
  }
}

float VstCallbacks::GetParameter(vst::AEffect* effect, std::int32_t index) {
  IEffectVST* plug = FromEffect(effect);
  if (!plug) return 0.0f;
  try {
    CallFrame frame(plug);
    const IEffectParam* param = plug->GetParam(index);
    return param ? static_cast<float>(param->GetNormalized()) : 0.0f;
  } catch (...) {
    return 0.0f;
  }
}

void VstCallbacks::SetParameter(vst::AEffect* effect, std::int32_t index, float value) {
  IEffectVST* plug = FromEffect(effect);
  if (!plug) return;
  try {
    CallFrame frame(plug);
    IEffectParam* param = plug->GetParam(index);
    if (!param) return;
    if (IEditor* editor = plug->GetEditor()) editor->SetParameterFromPlugin(index, value, true);
    param->SetNormalized(value);
    plug->OnParamChange(index);
  } catch (...) {
  }
}

template <typename Sample>
void VstCallbacks::RunAudio(vst::AEffect* effect, Sample** inputs, Sample** outputs, std::int32_t sampleFrames,
                            bool accumulate) {
  IEffectVST* plug = FromEffect(effect);
  if (!plug) return;
  try {
    CallFrame frame(plug);
    if (plug->DoesMidi()) CallHost(*plug, vst::audioMasterWantMidi);
    if constexpr (std::is_same_v<Sample, float>) {
      if (accumulate) {
        plug->ProcessAccumulating(inputs, outputs, sampleFrames);
      } else {
        plug->ProcessReplacing(inputs, outputs, sampleFrames);
      }
    } else {
      plug->ProcessReplacing(inputs, outputs, sampleFrames);
    }
  } catch (...) {
  }
}

void VstCallbacks::Process(vst::AEffect* effect, float** inputs, float** outputs, std::int32_t sampleFrames) {
  RunAudio(effect, inputs, outputs, sampleFrames, true);
}

void VstCallbacks::ProcessReplacing(vst::AEffect* effect, float** inputs, float** outputs,
                                    std::int32_t sampleFrames) {
  RunAudio(effect, inputs, outputs, sampleFrames, false);
}

void VstCallbacks::ProcessDoubleReplacing(vst::AEffect* effect, double** inputs, double** outputs,
                                          std::int32_t sampleFrames) {
  RunAudio(effect, inputs, outputs, sampleFrames, false);
}

// ---- Dispatcher ----

std::intptr_t VstCallbacks::Dispatch(IEffectVST& plug, std::int32_t opcode, std::int32_t index,
                                     std::intptr_t value, void* ptr, float opt) {
  IEffectVST::Record& rec = *plug.mRecord;
  char* text = static_cast<char*>(ptr);

  switch (opcode) {
    case vst::effOpen:
      plug.AdjustForHost();
      plug.ApplyAllParams();
      return 0;

    case vst::effClose:
      // An open editor window is closed first, so that no editor thread runs
      // while the object is destroyed. The object itself is deleted by the
      // outermost call frame after it has released the lock.
      if (rec.mEditorOpen) CloseEditorWindow(plug);
      rec.mCloseRequested = true;
      return 0;

    case vst::effSetProgram:
      if (!plug.DoesStateChunks()) plug.StoreCurrentPreset(nullptr);
      plug.SelectPreset(ToIndex(value));
      return 0;

    case vst::effGetProgram:
      return plug.CurrentPresetIndex();

    case vst::effSetProgramName:
      if (text) {
        char name[kPresetNameCapacity];
        CopyBounded(name, text);
        plug.StoreCurrentPreset(name);
      }
      return 0;

    case vst::effGetProgramName:
      if (text) CopyBounded(text, vst::kVstMaxProgNameLen, plug.GetPresetName(plug.CurrentPresetIndex()));
      return 0;

    case vst::effGetParamLabel:
      if (const IEffectParam* param = plug.GetParam(index)) CopyBounded(text, kHostParamTextCapacity, param->Label());
      return 0;

    case vst::effGetParamDisplay:
      if (const IEffectParam* param = plug.GetParam(index); param && text) {
        param->FormatValue(text, kHostParamTextCapacity);
      }
      return 0;

    case vst::effGetParamName:
      if (const IEffectParam* param = plug.GetParam(index)) CopyBounded(text, kHostParamTextCapacity, param->Name());
      return 0;

    case vst::effSetSampleRate:
      plug.SetSampleRate(opt);
      plug.Reset();
      return 0;

    case vst::effSetBlockSize:
      plug.SetBlockSize(static_cast<int>(std::clamp<std::intptr_t>(value, 0, std::numeric_limits<int>::max())));
      plug.Reset();
      return 0;

    case vst::effMainsChanged:
      if (value) {
        plug.OnActivate(true);
      } else {
        plug.OnActivate(false);
        plug.Reset();
      }
      return 0;

    case vst::effEditGetRect:
      if (!plug.GetEditor() || !ptr) return 0;
      *static_cast<vst::ERect**>(ptr) = &rec.mEditorRect;
      return 1;

    case vst::effEditOpen:
      if (IEditor* editor = plug.GetEditor(); editor && editor->OpenWindow(ptr)) {
        rec.mEditorOpen = true;
        plug.OnEditorOpen();
        return 1;
      }
      return 0;

    case vst::effEditClose:
      if (!plug.GetEditor()) return 0;
      CloseEditorWindow(plug);
      return 1;

    case vst::effEditIdle:
    case vst::effIdle:
      return 0;

    case vst::effIdentify:
      return vst::kIdentifyReply;

    case vst::effGetChunk:
      return GetChunk(plug, index, ptr);

    case vst::effSetChunk:
      return SetChunk(plug, index, value, ptr);

    case vst::effProcessEvents:
      return ProcessEvents(plug, ptr);

    case vst::effCanBeAutomated:
      return 1;

    case vst::effGetProgramNameIndexed:
      if (!text) return 0;
      return CopyBounded(text, vst::kVstMaxProgNameLen, plug.GetPresetName(index)) > 0 ? 1 : 0;

    case vst::effGetInputProperties:
      return PinProperties(ptr, index, plug.NInChannels(), "Input");

    case vst::effGetOutputProperties:
      return PinProperties(ptr, index, plug.NOutChannels(), "Output");

    case vst::effGetPlugCategory:
      return vst::kPlugCategEffect;

    case vst::effProcessVarIo:
      return 0;

    case vst::effSetSpeakerArrangement:
      return SetSpeakerArrangement(plug, value, ptr);

    case vst::effGetEffectName:
      if (!text) return 0;
      CopyBounded(text, vst::kVstMaxEffectNameLen, plug.GetEffectName());
      return 1;

    case vst::effGetVendorString:
      if (!text) return 0;
      CopyBounded(text, vst::kVstMaxVendorStrLen, plug.GetVendorName());
      return 1;

    case vst::effGetProductString:
      if (!text) return 0;
      CopyBounded(text, vst::kVstMaxProductStrLen, plug.GetProductName());
      return 1;

    case vst::effVendorSpecific:
      if (index != kVendorSpecificFormatValue || !text) return 0;
      if (const IEffectParam* param = plug.GetParam(ToIndex(value))) {
        param->FormatValue(opt, true, text, kHostParamTextCapacity);
      }
      return kVendorSpecificReply;

    case vst::effCanDo:
      return CanDo(plug, text);

    case vst::effGetVstVersion:
      return vst::kVstVersion;

    case vst::effGetMidiKeyName: {
      if (!ptr) return 0;
      auto* key = static_cast<vst::MidiKeyName*>(ptr);
      key->keyName[0] = '\0';
      return plug.NoteNameForKey(key->thisKeyNumber, key->keyName, sizeof key->keyName) ? 1 : 0;
    }

    case vst::effGetSpeakerArrangement:
      if (value) *reinterpret_cast<vst::VstSpeakerArrangement**>(value) = &rec.mInputArrangement;
      if (ptr) *static_cast<vst::VstSpeakerArrangement**>(ptr) = &rec.mOutputArrangement;
      return 1;

    default:
      return 0;
  }
}

std::intptr_t VstCallbacks::GetChunk(IEffectVST& plug, std::int32_t index, void* ptr) {
  if (!ptr) return 0;
  const bool bank = index == 0;
  DataChunk& chunk = bank ? plug.mBankChunk : plug.mProgramChunk;
  chunk.Clear();
  chunk.Put(kChunkMagic);
  chunk.Put(kChunkVersion);
  bool ok = false;
  if (bank) {
    plug.StoreCurrentPreset(nullptr);
    ok = plug.SerializePresets(&chunk);
    if (ok && plug.BankChunkCarriesState()) ok = plug.SerializeState(&chunk);
  } else {
    ok = plug.SerializeState(&chunk);
  }
  if (!ok || chunk.Size() == 0) return 0;
  // Lent to the host until the next chunk call of the same kind.
  *static_cast<void**>(ptr) = chunk.Data();
  return chunk.Size();
}

std::intptr_t VstCallbacks::SetChunk(IEffectVST& plug, std::int32_t index, std::intptr_t size, const void* ptr) {
  if (!ptr || size < 0 || size > kMaxChunkBytes) return 0;
  const bool bank = index == 0;
  // Copied into fresh storage: the host may hand back the very bytes we lent
  // it, which must stay valid while they are copied.
  DataChunk incoming;
  incoming.PutBytes(ptr, static_cast<int>(size));
  DataChunk& chunk = bank ? plug.mBankChunk : plug.mProgramChunk;
  chunk = std::move(incoming);

  std::int32_t version = 0;
  int pos = 0;
  std::int32_t magic = 0;
  const int afterMagic = chunk.Get(&magic, 0);
  if (afterMagic >= 0 && magic == kChunkMagic) {
    pos = chunk.Get(&version, afterMagic);
    if (pos < 0) version = 0;
  }

  if (bank && version >= kChunkVersion) {
    pos = plug.UnserializePresets(&chunk, pos);
    // A bank of presets alone (the layout of earlier versions) is complete
    // without the state.
    if (pos >= 0 && pos < chunk.Size() && plug.BankChunkCarriesState()) {
      pos = plug.UnserializeState(&chunk, pos);
    }
  } else {
    pos = plug.UnserializeState(&chunk, pos);
    plug.StoreCurrentPreset(nullptr);
  }
  if (pos < 0) return 0;
  plug.PushParamsToEditor();
  return 1;
}

std::intptr_t VstCallbacks::ProcessEvents(IEffectVST& plug, const void* ptr) {
  if (!ptr) return 0;
  const auto* events = static_cast<const vst::VstEvents*>(ptr);
  // The pointer list really holds numEvents entries, whatever its declared
  // length; it is addressed from its offset, never through the declared
  // array.
  vst::VstEvent* const* list = reinterpret_cast<vst::VstEvent* const*>(
      static_cast<const char*>(ptr) + offsetof(vst::VstEvents, events));
  for (std::int32_t i = 0; i < events->numEvents; ++i) {
    vst::VstEvent* event = list[i];
    if (!event) continue;
    if (event->type == vst::kVstMidiType) {
      const auto* midi = reinterpret_cast<const vst::VstMidiEvent*>(event);
      MidiMessage msg;
      msg.mOffset = midi->deltaFrames;
      msg.mStatus = midi->midiData[0];
      msg.mData1 = midi->midiData[1];
      msg.mData2 = midi->midiData[2];
      plug.HandleMidiMessage(msg);
    } else {
      vst::VstEvents single;
      std::memset(&single, 0, sizeof single);
      single.numEvents = 1;
      single.events[0] = event;
      CallHost(plug, vst::audioMasterProcessEvents, 0, 0, &single);
    }
  }
  return 1;
}

std::intptr_t VstCallbacks::SetSpeakerArrangement(IEffectVST& plug, std::intptr_t inputs, void* outputs) {
  if (inputs) {
    const int n = ArrangementChannels(reinterpret_cast<const void*>(inputs));
    plug.SetInputChannelConnections(0, n, true);
    plug.SetInputChannelConnections(n, plug.NInChannels() - n, false);
  }
  if (outputs) {
    const int n = ArrangementChannels(outputs);
    plug.SetOutputChannelConnections(0, n, true);
    plug.SetOutputChannelConnections(n, plug.NOutChannels() - n, false);
  }
  return 1;
}

std::intptr_t VstCallbacks::PinProperties(void* ptr, int index, int count, const char* prefix) {
  if (!ptr || index < 0 || index >= count) return 0;
  auto* pin = static_cast<vst::VstPinProperties*>(ptr);
  std::snprintf(pin->label, sizeof pin->label, "%s %d", prefix, index + 1);
  pin->flags = vst::kVstPinIsActive;
  if (index % 2 == 0) pin->flags |= vst::kVstPinIsStereo;
  return 1;
}

std::intptr_t VstCallbacks::CanDo(const IEffectVST& plug, const char* text) {
  if (!text) return 0;
  if (std::strcmp(text, kCanDoTimeInfo) == 0) return 1;
  for (const char* midi : kCanDoMidi) {
    if (std::strcmp(text, midi) == 0) return plug.DoesMidi() ? 1 : 0;
  }
  return 0;
}

}  // namespace sorvano
