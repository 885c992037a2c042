#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/unique_handle.h"

namespace gfx {

// A finished picture: 0x00RRGGBB per pixel, top row first.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> rgb;

  std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};

inline constexpr std::uint32_t kKey = 0xFF00FF;

using SurfacePtr = grumbol::platform::UniqueHandle<cairo_surface_t, cairo_surface_destroy>;
using ContextPtr = grumbol::platform::UniqueHandle<cairo_t, cairo_destroy>;
using PatternPtr = grumbol::platform::UniqueHandle<cairo_pattern_t, cairo_pattern_destroy>;

// An ARGB drawing surface with its context, cleared to transparent.
class Canvas {
 public:
  Canvas(int width, int height);
  cairo_t* cr() const { return cr_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }

  // Opaque pixels; transparent parts come out black.
  Image Opaque() const;
  // For colour-keyed sprites: pixels less than half covered become the key, the rest keep
  // their own colour at full strength, so no pink fringe shows against the key. With
  // `keep` below 1 an ordered dither drops that share of the pixels (a fade-out).
  Image Keyed(double keep = 1.0) const;

  // The raw B,G,R,A bytes (premultiplied), for handing to an encoder.
  const unsigned char* Data() const;
  int Stride() const;

 private:
  int width_;
  int height_;
  SurfacePtr surface_;
  ContextPtr cr_;
};

// Writes an Image as PNG (previews only).
bool WritePng(const Image& image, const char* path);

// A small fixed-seed random source: the same numbers on every run.
class Rng {
 public:
  explicit Rng(std::uint32_t seed) : state_(seed * 2654435761u + 1u) {}
  std::uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  // Uniform in [low, high).
  double Uniform(double low, double high) {
    return low + (high - low) * (Next() >> 8) / 16777216.0;
  }

 private:
  std::uint32_t state_;
};

// Colour helpers taking 0xRRGGBB.
void SetRgb(cairo_t* cr, std::uint32_t rgb, double alpha = 1.0);
void AddStop(cairo_pattern_t* pattern, double offset, std::uint32_t rgb, double alpha = 1.0);
PatternPtr Linear(double x0, double y0, double x1, double y1);
PatternPtr Radial(double cx0, double cy0, double r0, double cx1, double cy1, double r1);
std::uint32_t Mix(std::uint32_t a, std::uint32_t b, double t);

// Fills and then strokes the current path.
void FillStroke(cairo_t* cr, cairo_pattern_t* fill, std::uint32_t line, double width);
void FillStroke(cairo_t* cr, std::uint32_t fill, std::uint32_t line, double width);
void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry);
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);

}  // namespace gfx
