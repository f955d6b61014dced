#pragma once

#include <memory>
#include <span>

#include "framework/IEffectBase.h"

namespace sorvano {

// The host's callback as handed to the entry point. Its real signature is
// known only to the binding's sources; everyone else passes it on unchanged.
using VstHostCallback = void (*)();

// Binds the plug-in base to a VST 2.x host. The plug-in class derives from
// it. It fills the effect record that the entry point returns to the host,
// answers the host's dispatcher, parameter and processing callbacks (each of
// which takes the plug-in lock), provides the host services the base
// declares, and keeps the program and bank chunks it lends to the host.
//
// This header does not expose the binary interface: the effect record and
// everything else in VST terms live in the binding's sources.
//
// Closing: the host's close call releases the plug-in lock and then deletes
// the object. A close that arrives while the same thread is still inside
// another call of this object (a host calling back into the dispatcher from
// a host callback) is carried out when that outermost call returns.
class IEffectVST : public IEffectBase {
public:
  IEffectVST(VstHostCallback hostCallback, int nParams, const char* channelIOStr, int nPresets,
             const char* effectName, const char* productName, const char* vendorName, int version,
             int uniqueId, int vendorId, int latency, bool doesMidi, bool doesStateChunks,
             bool isInstrument);
  ~IEffectVST() override;

  // The effect record (an AEffect) for the entry point to hand to the host.
  void* EffectRecord();
  // Entry point, after construction: raises the record's program count to
  // at least 1.
  void EnsureProgramCount();

  bool DoesMidi() const { return mDoesMidi; }

  // Host services. The host is called with the lock held when the caller
  // holds it; none of these takes the lock itself.
  void BeginParamGesture(int paramIdx) override;
  void AutomateParam(int paramIdx, double normalizedValue) override;
  void EndParamGesture(int paramIdx) override;
  int HostSamplePosition() override;
  double HostTempo() override;
  void HostTimeSignature(int* num, int* denom) override;
  // Asks the host for its product string and vendor version on the first
  // call (from any thread) and answers the stored id afterwards.
  int GetHost() override;
  void RefreshEditorRect(int w, int h) override;
  void AdjustForHost() override;
  void AttachEditor(IEditor* editor) override;
  void SetLatency(int samples) override;
  bool SendMidiMessage(const MidiMessage& msg) override;
  bool SendMidiMessages(std::span<const MidiMessage> msgs) override;

  // The host id for a host product string: case-insensitive substring tests
  // against the host table, first hit wins; 0 for an empty or unknown name.
  static int LookUpHost(const char* productName);

private:
  friend class VstCallbacks;  // the static C callbacks of the effect record

  struct Record;  // effect record, editor rectangle, speaker arrangements

  const bool mDoesMidi;
  bool mHostSetUpDone = false;
  DataChunk mProgramChunk;
  DataChunk mBankChunk;
  std::unique_ptr<Record> mRecord;
};

// Defined by the plug-in class: constructs one plug-in object for the entry
// point. Called under the process-wide construction lock; must not call the
// host.
IEffectVST* CreatePluginInstance(VstHostCallback hostCallback);

}  // namespace sorvano
