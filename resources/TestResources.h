#pragma once

// Ids of the images that only sorvano_test_resources carries (see
// resources/CMakeLists.txt, which lists the same ids).

namespace sorvano {

// test/test_image.png: 16 x 32 RGBA, two frames of 16 x 16 stacked. Frame 1:
// red = 17 x column, green = 17 x row, blue 128, alpha 255 in rows 0..7, 128 in
// rows 8..11, 0 in rows 12..15. Frame 2: an opaque white cross (columns and
// rows 7 and 8) on blue (0, 0, 255) of alpha 64.
constexpr int kTestImageId = 900;
constexpr int kTestImageFrames = 2;

}  // namespace sorvano
