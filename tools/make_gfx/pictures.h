#pragma once

#include <string>
#include <vector>

#include "canvas.h"

namespace gfx {

struct Picture {
  std::string name;  // file name under GFX
  Image image;       // as stored: after the colour table for 8-bit ones
  bool palette8 = false;
};

// Every picture of the set, in the order the game loads them.
std::vector<Picture> MakePictures();
std::vector<std::string> PictureNames();

// The game's score line over a screen picture, for previews.
void DrawScoreLine(Image& screen, int score, int misses);

// A picture laid over another with its key colour transparent, clipped at the edges.
void DrawKeyed(Image& target, const Image& sprite, int x, int y);

}  // namespace gfx
