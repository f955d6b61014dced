// sorvano-artwork OUTDIR: draws the editor's images and writes them as PNG
// files into OUTDIR (normally resources/img).

#include <cstdio>
#include <string>

#include "graphics/PngWriter.h"
#include "resources/artwork/ArtworkCanvas.h"
#include "resources/artwork/EditorArtwork.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sorvano-artwork OUTDIR\n");
    return 1;
  }
  for (const sorvano::ArtworkImage& image : sorvano::EditorArtwork()) {
    sorvano::ArtworkCanvas canvas(image.width, image.height);
    image.draw(canvas);
    const std::string path = std::string(argv[1]) + "/" + image.fileName;
    if (!sorvano::WritePng(canvas.Surface(), path.c_str())) {
      std::fprintf(stderr, "sorvano-artwork: cannot write %s\n", path.c_str());
      return 2;
    }
  }
  return 0;
}
