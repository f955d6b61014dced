#pragma once

#include "framework/FourCharCode.h"
#include "framework/vst/IEffectVST.h"

namespace sorvano {

// A plug-in that passes its audio through unchanged, with Sorvano's identity
// and parameter table: the binding's tests use it where only the framework
// is wanted.
class PassThroughEffect : public IEffectVST {
public:
  enum ParamIdx { kReset = 0, kBright, kColorMap, kNumParams };

  explicit PassThroughEffect(VstHostCallback hostCallback)
      : IEffectVST(hostCallback, kNumParams, "1-1 2-2", 0, "Sorvano (No SSE2)", "", "Orvek", 0x00010104, 892680503,
                   FourCharCode('O', 'r', 'v', 'k'), 2048, false, true, false) {
    GetParam(kReset)->SetupBool("reset", false);
    GetParam(kBright)->SetupDouble("bright", 1.0, 0.1, 10.0, 0.1, "x");
    GetParam(kBright)->SetShapeExponent(2.0);
    IEffectParam* colorMap = GetParam(kColorMap);
    colorMap->SetupEnum("colormap", 0, 4);
    colorMap->AddDisplayText(1, "thermal");
    colorMap->AddDisplayText(2, "chlorine");
    colorMap->AddDisplayText(0, "pompeii");
    colorMap->AddDisplayText(3, "brrr");
  }
};

}  // namespace sorvano
