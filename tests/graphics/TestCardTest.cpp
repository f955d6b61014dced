// The golden-image test: the test card rendered in-process must equal
// tests/graphics/golden/testcard.png pixel for pixel. A difference leaves
// the actual picture in the build folder (testcard-actual.png) to look at;
// README.md says how to regenerate the golden image after a deliberate change.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "graphics/Surface.h"
#include "graphics/PngWriter.h"
#include "tools/testcard/TestCard.h"

namespace sorvano::test {
namespace {

std::vector<unsigned char> ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(TestCardTest, MatchesTheGoldenImage) {
  const auto graphics = RenderTestCard();
  const DrawSurface* actual = graphics->GetDrawSurface();
  ASSERT_NE(actual, nullptr);
  ASSERT_EQ(actual->Width(), TestCard::kWidth);
  ASSERT_EQ(actual->Height(), TestCard::kHeight);

  const std::vector<unsigned char> bytes = ReadFile(SORVANO_SOURCE_DIR "/tests/graphics/golden/testcard.png");
  ASSERT_FALSE(bytes.empty()) << "tests/graphics/golden/testcard.png is missing";
  const std::unique_ptr<PixelSurface> golden(DecodePng(bytes.data(), bytes.size(), nullptr));
  ASSERT_NE(golden, nullptr);
  ASSERT_EQ(golden->Width(), actual->Width());
  ASSERT_EQ(golden->Height(), actual->Height());

  int differing = 0;
  int firstX = -1, firstY = -1;
  std::uint32_t expected = 0, got = 0;
  for (int y = 0; y < actual->Height(); ++y) {
    for (int x = 0; x < actual->Width(); ++x) {
      const std::uint32_t a = SurfaceGetPixel(actual, x, y);
      const std::uint32_t e = SurfaceGetPixel(golden.get(), x, y);
      if (a == e) continue;
      if (differing++ == 0) {
        firstX = x;
        firstY = y;
        expected = e;
        got = a;
      }
    }
  }
  if (differing == 0) return;
  const char* path = SORVANO_BINARY_DIR "/testcard-actual.png";
  const bool written = WritePng(*actual, path);
  char message[160];
  std::snprintf(message, sizeof message, "first at (%d, %d): expected 0x%08X, got 0x%08X", firstX, firstY,
                static_cast<unsigned>(expected), static_cast<unsigned>(got));
  ADD_FAILURE() << differing << " pixels differ from the golden image; " << message << "; the actual card is "
                << (written ? path : "(could not be written)");
}

}  // namespace
}  // namespace sorvano::test
