#pragma once

#include "framework/vst/IEffectVST.h"

namespace sorvano {

// A plug-in that passes its audio through unchanged, with Sorvano's identity
// and parameter table. It stands in for the plug-in class in the framework's
// tests, where only the framework is wanted.
class PassThroughEffect : public IEffectVST {
public:
  enum ParamIdx { kReset = 0, kBright, kColorMap, kNumParams };

  explicit PassThroughEffect(VstHostCallback hostCallback);
};

}  // namespace sorvano
