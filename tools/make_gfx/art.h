#pragma once

#include <cairo.h>

#include <cstdint>

#include "canvas.h"

// The drawn characters and props, shared by the pictures and the movie scenes. Each draws
// at the current origin in its own box (given below); callers place and scale it.
namespace gfx {

struct FishLook {
  std::uint32_t back, belly, fin, line, stripe;
  bool stripes;
};
inline constexpr FishLook kClownFish{0xFF7A1A, 0xFFD04A, 0xF0600E, 0x3C1604, 0xFFFFFF, true};

enum class FishEyes { kOpen, kClosed, kCrossed };

// A fish facing right in the box 0..96 × 0..31. `tail` bends the tail fin (-1..1).
void DrawFish(cairo_t* cr, const FishLook& look, FishEyes eyes, double tail = 0);

// A bubble of radius r; `solid` ones stay fully opaque (for colour-keyed sprites).
void DrawBubble(cairo_t* cr, double x, double y, double r, bool solid = false);
void DrawSparkle(cairo_t* cr, double x, double y, double r, std::uint32_t colour);

// A swaying ribbon of kelp growing up from (x, base).
void DrawKelp(cairo_t* cr, double x, double base, double height, double width, double sway,
              double phase, std::uint32_t colour);
void DrawRock(cairo_t* cr, Rng& rng, double cx, double base, double rx, double ry,
              std::uint32_t colour);
void DrawCoral(cairo_t* cr, Rng& rng, double x, double y, double length, double angle, int depth,
               std::uint32_t colour);
void DrawStarfish(cairo_t* cr, double x, double y, double r, double angle, std::uint32_t colour);
void DrawShell(cairo_t* cr, double x, double y, double r, double angle, std::uint32_t colour);

// A treasure chest in the box 0..200 × 0..170; `open` 0 (shut) .. 1 (wide open).
void DrawChest(cairo_t* cr, double open);
// A diver in a brass helmet swimming right, in the box 0..190 × 0..150; `kick` is the phase
// of the flippers and the waving arm.
void DrawDiver(cairo_t* cr, double kick);
// A friendly octopus in the box 0..250 × 0..176; `phase` moves the arms.
void DrawOctopus(cairo_t* cr, double phase);

// A little underwater scene filling w × h: water, rays, sand at `sand_top`, plants.
void DrawSeaScene(cairo_t* cr, double w, double h, double sand_top, double time,
                  std::uint32_t seed);

// Bold text with a dark outline, centred on (x, y).
void DrawTitleText(cairo_t* cr, const char* text, double x, double y, double size,
                   std::uint32_t top, std::uint32_t bottom, std::uint32_t line);

}  // namespace gfx
