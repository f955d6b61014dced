#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "graphics/EmbeddedResource.h"
#include "graphics/PngWriter.h"
#include "graphics/Surface.h"
#include "resources/artwork/ArtworkCanvas.h"
#include "resources/artwork/ArtworkLayout.h"
#include "resources/artwork/EditorArtwork.h"

namespace sorvano {
namespace {

std::vector<unsigned char> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>());
}

std::unique_ptr<PixelSurface> Decode(const unsigned char* data, std::size_t size) {
  return std::unique_ptr<PixelSurface>(DecodePng(data, size, nullptr));
}

std::unique_ptr<ArtworkCanvas> Draw(const ArtworkImage& image) {
  auto canvas = std::make_unique<ArtworkCanvas>(image.width, image.height);
  image.draw(*canvas);
  return canvas;
}

std::string Point(int x, int y) {
  char text[32];
  std::snprintf(text, sizeof text, "(%d, %d)", x, y);
  return text;
}

// Empty when the two surfaces hold the same pixels, else where they first differ.
std::string FirstDifference(const PixelSurface& expected, const PixelSurface& actual) {
  if (expected.Width() != actual.Width() || expected.Height() != actual.Height()) {
    char text[96];
    std::snprintf(text, sizeof text, "size %d x %d, expected %d x %d", actual.Width(),
                  actual.Height(), expected.Width(), expected.Height());
    return text;
  }
  for (int y = 0; y < expected.Height(); ++y) {
    for (int x = 0; x < expected.Width(); ++x) {
      const std::uint32_t e = SurfaceGetPixel(&expected, x, y);
      const std::uint32_t a = SurfaceGetPixel(&actual, x, y);
      if (e != a) {
        char text[96];
        std::snprintf(text, sizeof text, "pixel (%d, %d) is %08X, expected %08X", x, y, a, e);
        return text;
      }
    }
  }
  return "";
}

// The committed PNGs are exactly what the artwork program draws now, so the
// images in the repository can always be regenerated from its source. On a
// difference the drawn image is left in the build folder to look at.
TEST(ArtworkTest, CommittedImagesMatchTheDrawing) {
  for (const ArtworkImage& image : EditorArtwork()) {
    SCOPED_TRACE(image.fileName);
    const std::vector<unsigned char> bytes =
        ReadFile(std::string(SORVANO_SOURCE_DIR) + "/resources/img/" + image.fileName);
    ASSERT_FALSE(bytes.empty());
    const std::unique_ptr<PixelSurface> committed = Decode(bytes.data(), bytes.size());
    ASSERT_NE(committed, nullptr);
    const std::unique_ptr<ArtworkCanvas> drawn = Draw(image);
    const std::string difference = FirstDifference(*committed, drawn->Surface());
    if (!difference.empty()) {
      const std::string actual =
          std::string(SORVANO_BINARY_DIR) + "/artwork-actual-" + image.fileName;
      WritePng(drawn->Surface(), actual.c_str());
      ADD_FAILURE() << difference << "; the drawn image is " << actual
                    << "; regenerate with sorvano-artwork resources/img if the change is meant";
    }
  }
}

// The module embeds each image under the id the editor loads it by, in the
// size and frame layout the editor expects.
TEST(ArtworkTest, ModuleEmbedsEachImageUnderItsId) {
  struct Expected {
    int id, width, height;
    const char* fileName;
  };
  const Expected expected[] = {{100, 640, 540, "bg.png"},
                               {101, 27, 54, "sm_button.png"},
                               {102, 17, 61, "ear-L.png"},
                               {103, 17, 61, "ear-R.png"}};
  ASSERT_EQ(EditorArtwork().size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const ArtworkImage& image = EditorArtwork()[i];
    SCOPED_TRACE(image.fileName);
    EXPECT_EQ(image.id, expected[i].id);
    EXPECT_STREQ(image.fileName, expected[i].fileName);
    const EmbeddedResource* resource = FindEmbeddedResource(image.id);
    ASSERT_NE(resource, nullptr);
    const std::unique_ptr<PixelSurface> embedded = Decode(resource->data, resource->size);
    ASSERT_NE(embedded, nullptr);
    EXPECT_EQ(embedded->Width(), expected[i].width);
    EXPECT_EQ(embedded->Height(), expected[i].height);
    EXPECT_EQ(FirstDifference(Draw(image)->Surface(), *embedded), "");
  }
}

class BackgroundTest : public ::testing::Test {
protected:
  void SetUp() override {
    for (const ArtworkImage& image : EditorArtwork()) {
      if (image.id == 100) mBackground = Draw(image);
    }
    ASSERT_NE(mBackground, nullptr);
  }

  // The first pixel of the rectangle that differs from its top-left pixel.
  std::string NotPlain(const IRect& r) const {
    const PixelSurface& s = mBackground->Surface();
    const std::uint32_t first = SurfaceGetPixel(&s, r.L, r.T);
    for (int y = r.T; y < r.B; ++y) {
      for (int x = r.L; x < r.R; ++x) {
        if (SurfaceGetPixel(&s, x, y) != first) return Point(x, y);
      }
    }
    return "";
  }

  std::unique_ptr<ArtworkCanvas> mBackground;
};

// The panel draws its numbers, arrows, check box, knobs and texts into these
// areas; a caption or box edge inside one would collide with them.
TEST_F(BackgroundTest, PanelValueAreasArePlain) {
  for (const IRect& area : artwork::kPanelValueAreas) {
    SCOPED_TRACE(::testing::Message()
                 << area.L << ", " << area.T << ", " << area.R << ", " << area.B);
    EXPECT_EQ(NotPlain(area), "");
  }
}

// The sonogram area is black, so that blank history columns and the gaps
// between panes and labels match, and opaque, so nothing shows through;
// only the "Hz" caption is printed on it.
TEST_F(BackgroundTest, SonogramAreaIsOpaqueBlackBesideTheHzCaption) {
  const PixelSurface& s = mBackground->Surface();
  const IRect& a = artwork::kSonogramArea;
  int strays = 0;
  for (int y = a.T; y < a.B; ++y) {
    for (int x = a.L; x < a.R; ++x) {
      if (!artwork::kHzCaption.Contains(x, y) && SurfaceGetPixel(&s, x, y) != 0xFF000000u) ++strays;
    }
  }
  EXPECT_EQ(strays, 0);
  EXPECT_NE(NotPlain(artwork::kHzCaption), "") << "the Hz caption is missing";
}

}  // namespace
}  // namespace sorvano
