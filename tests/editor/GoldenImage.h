#pragma once

// Pixel-for-pixel comparison of an editor picture with a committed golden
// image in tests/editor/golden/. A missing golden image or any difference
// fails the test, names the first differing pixel and leaves the actual
// picture in the build folder as NAME-actual.png, ready to be looked at and,
// after a deliberate change, copied over the golden image (README.md); a
// match removes an earlier NAME-actual.png.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "graphics/DrawSurface.h"
#include "graphics/PngWriter.h"
#include "graphics/Surface.h"

namespace sorvano::test {

inline std::vector<unsigned char> ReadGoldenFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>());
}

// name: the golden image's file name without ".png".
inline void ExpectMatchesGolden(const DrawSurface& actual, const std::string& name) {
  const std::string goldenName = "tests/editor/golden/" + name + ".png";
  const std::string actualPath = std::string(SORVANO_BINARY_DIR) + "/" + name + "-actual.png";
  const auto keepActual = [&] {
    return WritePng(actual, actualPath.c_str()) ? actualPath
                                                : std::string("(could not be written)");
  };
  const std::vector<unsigned char> bytes =
      ReadGoldenFile(std::string(SORVANO_SOURCE_DIR) + "/" + goldenName);
  if (bytes.empty()) {
    ADD_FAILURE() << goldenName << " is missing; the actual picture is " << keepActual();
    return;
  }
  const std::unique_ptr<PixelSurface> golden(DecodePng(bytes.data(), bytes.size(), nullptr));
  ASSERT_NE(golden, nullptr) << goldenName << " is not a readable PNG";
  if (golden->Width() != actual.Width() || golden->Height() != actual.Height()) {
    ADD_FAILURE() << goldenName << " is " << golden->Width() << " x " << golden->Height()
                  << ", the picture " << actual.Width() << " x " << actual.Height()
                  << "; the actual picture is " << keepActual();
    return;
  }
  int differing = 0;
  int firstX = -1, firstY = -1;
  for (int y = 0; y < actual.Height(); ++y) {
    for (int x = 0; x < actual.Width(); ++x) {
      if (SurfaceGetPixel(&actual, x, y) == SurfaceGetPixel(golden.get(), x, y)) continue;
      if (differing++ == 0) {
        firstX = x;
        firstY = y;
      }
    }
  }
  if (differing == 0) {
    // A picture left from an earlier difference is out of date now.
    std::remove(actualPath.c_str());
    return;
  }
  ADD_FAILURE() << differing << " pixels differ from " << goldenName << ", the first at (" << firstX
                << ", " << firstY << "); the actual picture is " << keepActual();
}

}  // namespace sorvano::test
