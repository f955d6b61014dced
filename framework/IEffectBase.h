#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "framework/DataChunk.h"
#include "framework/IEditor.h"
#include "framework/IEffectParam.h"

namespace sorvano {

// Capacities of the name fields, terminator included.
constexpr std::size_t kEffectNameCapacity = 128;  // effect, product and vendor names
constexpr std::size_t kPresetNameCapacity = 256;

// Largest block size the scratch buffers are sized for. A host that announces
// more gets this many; longer processing calls are split into slices.
constexpr int kMaxBlockSize = 1 << 16;

// Host ids as found by the host identification (GetHost).
enum HostId : int {
  kHostNotAsked = -1,
  kHostUnknown = 0,
  kHostReaper = 1,
  kHostCubase = 3,
  kHostNuendo = 4,
  kHostCakewalk = 5,
  kHostFruity = 7,
  kHostSamplitude = 8,
  kHostLive = 9,
  kHostMelodyne = 12,
  kHostVstManLib = 13,
  kHostAuLab = 14,
  kHostForte = 15,
  kHostChainer = 16,
  kHostAudition = 17,
  kHostOrion = 18,
  kHostSawStudio = 20,
};

// One legal channel configuration.
struct ChannelIOConfig {
  int mIn = 0;
  int mOut = 0;
};

// One short MIDI message; mOffset is the sample frame within the block.
struct MidiMessage {
  int mOffset = 0;
  std::uint8_t mStatus = 0;
  std::uint8_t mData1 = 0;
  std::uint8_t mData2 = 0;
};

// The host-independent core of the plug-in object. The host binding derives
// from it, the plug-in class from the binding. It owns the parameters, the
// presets, the channel configurations and scratch buffers, the attached
// editor, and one re-entrant lock (the plug-in lock) that serialises host
// calls, audio processing and parameter changes made in the editor.
//
// Lifecycle:
//   1. Construction (base, binding, plug-in class). The plug-in class sets up
//      its parameters and attaches its editor with AttachEditor.
//   2. The entry point calls AddDefaultPresetIfNone.
//   3. The host's open call: AdjustForHost, then ApplyAllParams.
//   4. Processing, parameter and preset traffic, editor open and close.
//   5. Destruction: the attached editor first, then parameters, presets,
//      channels; the lock last.
//
// Threads: host threads call the binding, which takes the plug-in lock for
// every call; the audio thread runs the Process* paths with the lock held;
// the editor thread calls SetParameterFromGUI (which takes the lock) and the
// gesture operations. The lock is re-entrant, so the operations below that
// take it may also be called with it held.
class IEffectBase {
public:
  // channelIOStr lists the legal configurations as "in-out" tokens separated
  // by single spaces, e.g. "1-1 2-2". nPresets slots are created uninitialised
  // and named "- <index> -". doesMidi is kept by the binding.
  IEffectBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
              const char* productName, const char* vendorName, int version, int uniqueId,
              int vendorId, int latency, bool doesMidi, bool doesStateChunks, bool isInstrument);
  virtual ~IEffectBase();

  IEffectBase(const IEffectBase&) = delete;
  IEffectBase& operator=(const IEffectBase&) = delete;

  // ---- Virtual operations, in slot order ----

  // Host thread, plug-in lock held (taken again here).
  virtual void Reset();
  // Any thread, plug-in lock held (taken again here).
  virtual void OnParamChange(int paramIdx);
  // Audio thread, plug-in lock held. inputs has NInChannels() entries and
  // outputs NOutChannels() entries, each valid for nFrames samples
  // (1 <= nFrames <= BlockSize()). The default copies input i to output i for
  // i below min(NIn, NOut) and zero-fills the other outputs.
  virtual void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames);
  // Host thread, plug-in lock held: the editor window was opened / is closing.
  virtual void OnEditorOpen();
  virtual void OnEditorClose();
  // Host thread, plug-in lock held (taken again here).
  virtual void OnActivate(bool active);
  // Audio or host thread, plug-in lock held: one incoming MIDI message. The
  // default passes it on with SendMidiMessage.
  virtual void HandleMidiMessage(const MidiMessage& msg);
  // Host thread, plug-in lock held: writes the name of a MIDI note into name
  // (at most capacity - 1 characters) and returns whether there is one. The
  // default writes empty text and returns false.
  virtual bool NoteNameForKey(int note, char* name, std::size_t capacity);
  // Host thread, plug-in lock held: appends the plug-in's state to chunk and
  // returns success. The default writes the parameters (SerializeParams).
  virtual bool SerializeState(DataChunk* chunk);
  // Host thread, plug-in lock held: reads the state at pos and returns the
  // position after it, or a negative position on failure. The default reads
  // the parameters (UnserializeParams).
  virtual int UnserializeState(const DataChunk* chunk, int pos);
  // Whether the bank chunk carries the state (SerializeState) after the
  // presets, as well as the program chunk. Many hosts save a project through
  // the bank chunk only; a plug-in whose state is more than its parameters
  // answers true so that nothing is lost there.
  virtual bool BankChunkCarriesState() const { return false; }
  // Host services, implemented by the binding. Gestures and automation are
  // called on the editor thread or a host thread; indices outside the
  // parameter list are ignored.
  virtual void BeginParamGesture(int paramIdx) = 0;
  virtual void AutomateParam(int paramIdx, double normalizedValue) = 0;
  virtual void EndParamGesture(int paramIdx) = 0;
  // Audio thread, plug-in lock held: the host's song position in samples at
  // the start of the current processing slice (the host's position plus
  // SliceOffset), 0 when the host gives none or a negative one.
  virtual int HostSamplePosition() = 0;
  // Host tempo in beats per minute, 0.0 when unknown.
  virtual double HostTempo() = 0;
  // Host time signature; 0/0 when unknown.
  virtual void HostTimeSignature(int* num, int* denom) = 0;
  // Any thread: the host id (HostId). The base returns the stored id; the
  // binding identifies the host on the first call.
  virtual int GetHost();
  // Editor thread: the editor changed its size.
  virtual void RefreshEditorRect(int w, int h) = 0;
  // Host thread, plug-in lock held: host-specific set-up at the open call.
  virtual void AdjustForHost() = 0;
  // Plug-in class's constructor: hands the editor to the base, which owns it
  // from then on and deletes it in its destructor. Takes the plug-in lock,
  // pushes every parameter's normalised value to the editor and prepares its
  // drawing. A null editor is ignored. Attaching a second editor replaces
  // (and deletes) the first.
  virtual void AttachEditor(IEditor* editor);
  // Host thread, plug-in lock held: maximum frames per processing call.
  // Resizes and zero-fills every scratch buffer when the size changes; values
  // <= 0 are ignored, values above kMaxBlockSize are limited to it.
  virtual void SetBlockSize(int blockSize);
  // Stores the latency in samples; the binding also reports it to the host.
  virtual void SetLatency(int samples);
  // MIDI output through the host; true when the host took the message(s).
  virtual bool SendMidiMessage(const MidiMessage& msg) = 0;
  virtual bool SendMidiMessages(std::span<const MidiMessage> msgs) = 0;

  // ---- Parameters ----

  // The parameter, or null for an index outside 0 .. NParams() - 1.
  IEffectParam* GetParam(int i);
  const IEffectParam* GetParam(int i) const;
  int NParams() const { return static_cast<int>(mParams.size()); }
  // Editor thread: the editor's way of changing a parameter. Takes the lock;
  // tells the host (AutomateParam) before the value changes; then
  // SetNormalized and OnParamChange. Unknown indices are ignored.
  void SetParameterFromGUI(int paramIdx, double normalizedValue);
  // Plug-in lock held (taken again): OnParamChange for every parameter in
  // index order, then Reset.
  void ApplyAllParams();
  // Plug-in lock held: every parameter's real value to the attached editor.
  void PushParamsToEditor();
  // Appends every parameter's real value as a double; true when the chunk is
  // non-empty afterwards or there are no parameters. Takes the lock.
  bool SerializeParams(DataChunk* chunk);
  // Reads parameter values from pos on, each clamped to its range. When the
  // data runs out at parameter i, it is set from 0.0 clamped to its range
  // and the later ones keep their values. Then ApplyAllParams. Returns the
  // position after the values, -1 when the data ran out. Takes the lock.
  int UnserializeParams(const DataChunk* chunk, int pos);

  // ---- Presets (host thread, plug-in lock held) ----

  // Entry point after construction: with no presets, adds one named
  // "Default" holding the current values.
  void AddDefaultPresetIfNone();
  // n times: the first uninitialised preset takes the current values and the
  // name (or "Default" when name is null).
  void FillPresetsFromCurrent(const char* name, int n);
  // Loads preset i (an uninitialised one takes the current values and a
  // "user preset N" name instead) and makes it current. False for an invalid
  // index or unreadable preset data.
  bool SelectPreset(int i);
  // Stores the current values in the current preset; a non-empty name
  // renames it.
  void StoreCurrentPreset(const char* name);
  // The name of preset i, or empty text for an invalid index.
  const char* GetPresetName(int i) const;
  int NPresets() const { return static_cast<int>(mPresets.size()); }
  int CurrentPresetIndex() const { return mCurrentPresetIdx; }
  // Bank data: for every preset its name, initialised flag and values.
  bool SerializePresets(DataChunk* chunk);
  // Reads bank data into the existing presets, then re-selects the current
  // preset. Returns the position after the data, negative on failure.
  int UnserializePresets(const DataChunk* chunk, int pos);

  // ---- Channels ----

  int NInChannels() const { return static_cast<int>(mInChannels.size()); }
  int NOutChannels() const { return static_cast<int>(mOutChannels.size()); }
  // True if some configuration has nIn inputs and nOut outputs; a negative
  // argument matches any count.
  bool LegalIO(int nIn, int nOut) const;
  const std::vector<ChannelIOConfig>& ChannelConfigs() const { return mChannelConfigs; }
  // Host thread, plug-in lock held: marks channels first .. first + n - 1
  // (limited to the channel count) connected or not. An unconnected input
  // reads silence; an unconnected output is computed and dropped.
  void SetInputChannelConnections(int first, int n, bool connected);
  void SetOutputChannelConnections(int first, int n, bool connected);
  bool IsInputConnected(int i) const;
  bool IsOutputConnected(int i) const;
  // Inputs 2 and above become unconnected, outputs 2 and above connected.
  void RestrictToStereo();

  // ---- Audio paths (audio thread, plug-in lock held) ----
  //
  // The binding's three processing callbacks. Host buffers are taken in
  // order, one per connected channel. A null array, or a null buffer in it,
  // makes that channel unconnected for this call. Calls longer than the block
  // size run in slices; nFrames <= 0 does nothing. None of them allocates.

  // Float samples, outputs replaced.
  void ProcessReplacing(float** inputs, float** outputs, int nFrames);
  // Float samples, results added to the outputs.
  void ProcessAccumulating(float** inputs, float** outputs, int nFrames);
  // Double samples, host buffers used in place.
  void ProcessReplacing(double** inputs, double** outputs, int nFrames);

  // ---- Description and settings ----

  const char* GetEffectName() const { return mEffectName; }
  const char* GetProductName() const { return mProductName; }
  const char* GetVendorName() const { return mVendorName; }
  int GetUniqueId() const { return mUniqueId; }
  int GetVendorId() const { return mVendorId; }
  // The packed version, or with decimal = true major * 10000 + minor * 100 +
  // revision (1.1.4 gives 10104).
  int GetEffectVersion(bool decimal) const;
  bool DoesStateChunks() const { return mDoesStateChunks; }
  bool IsInstrument() const { return mIsInstrument; }
  // Host thread, plug-in lock held. Rates that are not finite and positive
  // (or above kMaxSampleRate) are ignored.
  static constexpr double kMaxSampleRate = 1.0e7;
  void SetSampleRate(double rate);
  double GetSampleRate() const { return mSampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  // Records the host id (HostId) and the host's packed version. Any thread.
  void SetHost(int hostId, int hostVersion);
  int GetHostVersion() const { return mHostVersion.load(std::memory_order_acquire); }

  // The attached editor, or null. Owned by the base.
  IEditor* GetEditor() const { return mEditor.get(); }

  // ---- The plug-in lock ----
  //
  // Re-entrant. Held by every host call, every processing call and
  // SetParameterFromGUI. The editor thread may wait for it with a timeout
  // (TryLockFor) so that closing the editor can never deadlock.
  void Lock();
  void Unlock();
  bool TryLockFor(std::chrono::milliseconds timeout);
  // How many times the calling thread holds the lock. Only the thread that
  // holds the lock may ask.
  int LockDepth() const { return mLockDepth; }

  // Holds the plug-in lock for a scope.
  class ScopedLock {
  public:
    explicit ScopedLock(IEffectBase& effect) : mEffect(effect) { mEffect.Lock(); }
    ~ScopedLock() { mEffect.Unlock(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

  private:
    IEffectBase& mEffect;
  };

protected:
  // Destroys the attached editor now instead of in the base's destructor. A
  // plug-in class whose editor controls refer to its own members calls this
  // first in its destructor, before those members go. Takes the lock.
  void DestroyEditor();
  // Answers the stored host id without asking the host.
  int StoredHostId() const { return mHostId.load(std::memory_order_acquire); }
  // Stores the latency without telling the host.
  void StoreLatency(int samples) { mLatency = samples; }
  // Audio thread, plug-in lock held: frames of the current host call that
  // earlier slices have processed (0 outside a call longer than the block
  // size). The binding adds it to the host's position, so that every slice
  // sees the position of its own first frame and not a transport jump.
  int SliceOffset() const { return mSliceOffset; }

private:
  struct Preset {
    bool mInitialized = false;
    char mName[kPresetNameCapacity] = {};
    DataChunk mChunk;
  };

  struct InputChannel {
    bool mConnected = false;
    double** mEntry = nullptr;  // own entry in the input pointer array
    std::vector<double> mScratch;
  };

  struct OutputChannel {
    bool mConnected = false;
    double** mEntry = nullptr;  // own entry in the output pointer array
    std::vector<double> mScratch;
  };

  void ParseChannelString(const char* channelIOStr);
  void NameUserPreset(Preset* preset) const;
  std::unique_ptr<Preset> MakeUninitializedPreset(int index) const;

  // The one conversion kernel behind the three audio paths.
  template <typename Sample, bool kAccumulate>
  void ProcessHostBuffers(Sample** inputs, Sample** outputs, int nFrames);
  template <typename Sample, bool kAccumulate>
  void ProcessSlice(Sample** inputs, Sample** outputs, int offset, int nFrames);

  // Declared first: constructed before and destroyed after everything else.
  std::recursive_timed_mutex mMutex;
  int mLockDepth = 0;  // touched only by the thread holding mMutex

  std::vector<ChannelIOConfig> mChannelConfigs;
  char mEffectName[kEffectNameCapacity] = {};
  char mProductName[kEffectNameCapacity] = {};
  char mVendorName[kEffectNameCapacity] = {};
  int mUniqueId;
  int mVendorId;
  int mVersion;
  std::atomic<int> mHostId{kHostNotAsked};
  std::atomic<int> mHostVersion{0};
  bool mDoesStateChunks;
  bool mIsInstrument;
  double mSampleRate = 44100.0;
  int mBlockSize = 0;
  int mSliceOffset = 0;
  int mLatency;
  std::vector<std::unique_ptr<IEffectParam>> mParams;
  std::unique_ptr<IEditor> mEditor;
  std::vector<std::unique_ptr<Preset>> mPresets;
  int mCurrentPresetIdx = 0;
  std::vector<double*> mInputPtrs;
  std::vector<double*> mOutputPtrs;
  std::vector<InputChannel> mInChannels;
  std::vector<OutputChannel> mOutChannels;
  // Host output buffers of the current processing call, one per output
  // channel (null for unconnected ones); sized at construction.
  std::vector<void*> mOutDestinations;
};

}  // namespace sorvano
