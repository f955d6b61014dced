#pragma once

// The fixed coverage masks that SurfaceCircle stamps for the small radii the
// editor draws most (2, 2.5, 3, 3.5 and 4 pixels), where the general outline
// looks ragged. Internal to the drawing library.

#include <cstdint>

namespace sorvano::surface_ops {

// A size x size grid, row by row, of how much of each pixel a one-pixel-wide
// ring of the radius covers (0..255), for a circle centred on the grid's
// middle. Antialiased drawing weights each pixel by its coverage; plain
// drawing sets the pixels covered at least kPlainCoverage.
struct CircleMask {
  float radius;
  int size;
  const std::uint8_t* coverage;
};

constexpr int kPlainCoverage = 128;

// The mask for exactly this radius, or null.
const CircleMask* FindCircleMask(float radius);

}  // namespace sorvano::surface_ops
