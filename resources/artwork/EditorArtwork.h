#pragma once

// The editor's four images, drawn by program: the 640 x 540 background, the
// two-frame "reset" button and the two ear columns that stand behind the
// selected region's buttons and knobs. sorvano-artwork writes them as the
// PNGs in resources/img/, which the module embeds; the resources test draws
// them again and compares the pixels with those files.
//
// Any thread; each call draws into a canvas of its own.

#include <span>

namespace sorvano {

class ArtworkCanvas;

struct ArtworkImage {
  int id;                // resource id in the module
  const char* fileName;  // file in resources/img/
  int width, height;     // pixels; frames are stacked vertically
  void (*draw)(ArtworkCanvas& canvas);
};

// Background (100), button (101), left ear (102), right ear (103).
std::span<const ArtworkImage> EditorArtwork();

}  // namespace sorvano
