#pragma once

#include <cstdint>

namespace sorvano {

// A region as the editor hands it to the engine: a rectangle in host sample
// positions and Hz. The two display rows belong to the editor's frequency
// scale (editor/DisplayRows.h) and are not used by the engine.
struct ModRegion {
  int32_t mStart;
  int32_t mEnd;
  int32_t mLowHz;
  int32_t mHighHz;
  int32_t mLowRow;
  int32_t mHighRow;

  constexpr bool operator==(const ModRegion&) const = default;
};

}  // namespace sorvano
