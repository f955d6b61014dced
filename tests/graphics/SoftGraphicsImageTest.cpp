// Image loading through the process-wide load cache and retained set, the
// missing-resource assertion, and the embedded test resource. The cache is
// shared by the whole test program, so every test uses ids of its own.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "framework/Assert.h"
#include "graphics/EmbeddedResource.h"
#include "resources/TestResources.h"
#include "tests/graphics/SoftGraphicsProbe.h"

namespace sorvano::test {
namespace {

constexpr int kId = ProbeGraphics::kFakeIdBase;

TEST(SoftGraphicsLoadImageTest, SameIdAnswersTheFirstLoadWithItsFrameCount) {
  ProbeGraphics g(8, 8);
  const IImage first = g.LoadImage(kId + 1, "a.png", 2);
  ASSERT_NE(first.surface, nullptr);
  EXPECT_EQ(first.W, ProbeGraphics::kFakeWidth);
  EXPECT_EQ(first.H, ProbeGraphics::kFakeHeight);
  EXPECT_EQ(first.N, 2);
  const IImage again = g.LoadImage(kId + 1, "other.png", 5);
  EXPECT_EQ(again.surface, first.surface);
  EXPECT_EQ(again.N, 2);
  EXPECT_EQ(g.loads.load(), 1);

  // Shared by every editor of the process.
  ProbeGraphics other(8, 8);
  EXPECT_EQ(other.LoadImage(kId + 1, "a.png", 1).surface, first.surface);
  EXPECT_EQ(other.loads.load(), 0);
}

TEST(SoftGraphicsLoadImageTest, AReleasedImageIsLoadedAgain) {
  ProbeGraphics g(8, 8);
  const IImage first = g.LoadImage(kId + 2, "b.png", 1);
  ASSERT_NE(first.surface, nullptr);
  g.ReleaseImage(first);
  const IImage reloaded = g.LoadImage(kId + 2, "b.png", 3);
  ASSERT_NE(reloaded.surface, nullptr);
  EXPECT_EQ(g.loads.load(), 2);
  EXPECT_EQ(reloaded.N, 3);  // the entry is refilled with this load's frames
  EXPECT_EQ(SurfaceGetPixel(reloaded.surface, 0, 0), static_cast<std::uint32_t>(kId + 2));
  EXPECT_EQ(g.LoadImage(kId + 2, "b.png", 1).surface, reloaded.surface);
  EXPECT_EQ(g.loads.load(), 2);
}

TEST(SoftGraphicsLoadImageTest, ReleasingOneImageLeavesTheOthersCached) {
  ProbeGraphics g(8, 8);
  const IImage a = g.LoadImage(kId + 3, "a.png", 1);
  const IImage b = g.LoadImage(kId + 4, "b.png", 1);
  g.ReleaseImage(a);
  // A new surface may reuse the address of the released one; it must never
  // be taken for the released image's.
  const IImage c = g.LoadImage(kId + 5, "c.png", 1);
  EXPECT_EQ(g.LoadImage(kId + 4, "b.png", 1).surface, b.surface);
  const IImage a2 = g.LoadImage(kId + 3, "a.png", 1);
  EXPECT_NE(a2.surface, c.surface);
  EXPECT_EQ(SurfaceGetPixel(a2.surface, 0, 0), static_cast<std::uint32_t>(kId + 3));
  EXPECT_EQ(g.loads.load(), 4);
}

TEST(SoftGraphicsLoadImageTest, RetainIsIdempotentAndReleaseOnlyFreesRetainedSurfaces) {
  ProbeGraphics g(8, 8);
  auto* owned = new MemorySurface(2, 2);
  const IImage image{owned, 2, 2, 1};
  g.RetainImage(image);
  g.RetainImage(image);  // held once: a single release frees it exactly once
  g.ReleaseImage(image);
  g.ReleaseImage(image);  // no longer held: nothing (a double free would trip the sanitizer)

  MemorySurface local(2, 2);
  g.ReleaseImage(IImage{&local, 2, 2, 1});  // never retained: left alone
  EXPECT_EQ(local.Width(), 2);
  g.RetainImage(IImage{});
  g.ReleaseImage(IImage{});
}

int gAssertions = 0;
std::string gAssertedExpression;

void RecordAssertion(const char* expression, const char*, int) {
  ++gAssertions;
  gAssertedExpression = expression;
}

TEST(SoftGraphicsLoadImageTest, AMissingResourceFailsTheAssertionAndIsTriedAgain) {
  gAssertions = 0;
  const AssertionHandler previous = SetAssertionHandler(&RecordAssertion);
  ProbeGraphics g(8, 8);
  const IImage image = g.LoadImage(ProbeGraphics::kMissingId, "missing.png", 1);
  EXPECT_EQ(gAssertions, 1);
  EXPECT_EQ(gAssertedExpression, "imgResourceFound");
  EXPECT_EQ(image.surface, nullptr);
  EXPECT_EQ(image.W, 0);
  EXPECT_EQ(image.H, 0);
  g.LoadImage(ProbeGraphics::kMissingId, "missing.png", 1);
  EXPECT_EQ(gAssertions, 2);
  EXPECT_EQ(g.loads.load(), 2);
  SetAssertionHandler(previous);
  // An image without surface draws nothing.
  g.Clear(0);
  DrawInRedraw(g, IRect(0, 0, 8, 8),
               [&](IEditorGraphics& graphics) { graphics.DrawImage(image, IRect(0, 0, 8, 8), 0, 0, nullptr); });
  EXPECT_EQ(g.CountNot(0), 0);
}

TEST(SoftGraphicsLoadImageTest, ConcurrentLoadsOfOneIdDecodeOnce) {
  ProbeGraphics a(8, 8);
  ProbeGraphics b(8, 8);
  IImage fromA, fromB;
  std::thread ta([&] { fromA = a.LoadImage(kId + 6, "c.png", 1); });
  std::thread tb([&] { fromB = b.LoadImage(kId + 6, "c.png", 1); });
  ta.join();
  tb.join();
  EXPECT_EQ(a.loads.load() + b.loads.load(), 1);
  ASSERT_NE(fromA.surface, nullptr);
  EXPECT_EQ(fromA.surface, fromB.surface);
}

TEST(EmbeddedResourceTest, TheTestImageDecodesToItsDocumentedPixels) {
  const EmbeddedResource* resource = FindEmbeddedResource(kTestImageId);
  ASSERT_NE(resource, nullptr);
  EXPECT_EQ(resource->id, kTestImageId);
  ASSERT_GT(resource->size, 8u);
  EXPECT_EQ(std::memcmp(resource->data, "\x89PNG\r\n\x1a\n", 8), 0);
  EXPECT_EQ(FindEmbeddedResource(12345), nullptr);
  EXPECT_EQ(FindEmbeddedResource(-1), nullptr);

  ProbeGraphics g(8, 8);
  const IImage image = g.LoadImage(kTestImageId, "test/test_image.png", kTestImageFrames);
  ASSERT_NE(image.surface, nullptr);
  EXPECT_EQ(image.W, 16);
  EXPECT_EQ(image.H, 32);
  EXPECT_EQ(image.N, kTestImageFrames);
  EXPECT_EQ(SurfaceGetPixel(image.surface, 3, 2), 0xFF332280u);   // frame 1, opaque band
  EXPECT_EQ(SurfaceGetPixel(image.surface, 15, 9), 0x80FF9980u);  // half-transparent band
  EXPECT_EQ(SurfaceGetPixel(image.surface, 0, 15) >> 24, 0u);     // transparent band
  EXPECT_EQ(SurfaceGetPixel(image.surface, 7, 20), 0xFFFFFFFFu);  // frame 2, cross
  EXPECT_EQ(SurfaceGetPixel(image.surface, 0, 16), 0x400000FFu);
}

}  // namespace
}  // namespace sorvano::test
