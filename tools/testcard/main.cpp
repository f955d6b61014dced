// sorvano-testcard <output.png>: renders the test card and writes it as PNG.

#include <cstdio>

#include "graphics/PngWriter.h"
#include "tools/testcard/TestCard.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sorvano-testcard <output.png>\n");
    return 2;
  }
  const auto graphics = sorvano::RenderTestCard();
  const sorvano::DrawSurface* surface = graphics->GetDrawSurface();
  if (!surface || !sorvano::WritePng(*surface, argv[1])) {
    std::fprintf(stderr, "sorvano-testcard: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
