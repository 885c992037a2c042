#include "icons.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "canvas.h"
#include "platform/fish_icon.h"

namespace gfx {

namespace {

constexpr const char* kAppId = "io.github.grumbol.Grumbol";
// Samples per pixel along each axis: the art is hard-edged, so the edges are smoothed by
// averaging a grid of points inside each pixel.
constexpr int kSamples = 8;

// The art scaled to size x size, premultiplied ARGB as cairo keeps it.
SurfacePtr DrawIcon(int size) {
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size));
  cairo_surface_flush(surface.get());
  unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  const double unit = static_cast<double>(grumbol::platform::kFishIconUnits) / size;
  for (int y = 0; y < size; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
    for (int x = 0; x < size; ++x) {
      std::uint32_t sum[4] = {};  // alpha, and red, green, blue weighted by alpha
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const std::uint32_t argb = grumbol::platform::FishIconColour(
              (x + (sx + 0.5) / kSamples) * unit, (y + (sy + 0.5) / kSamples) * unit);
          const std::uint32_t alpha = argb >> 24;
          sum[0] += alpha;
          for (int c = 1; c < 4; ++c) sum[c] += ((argb >> (24 - 8 * c)) & 255) * alpha / 255;
        }
      }
      constexpr std::uint32_t n = kSamples * kSamples;
      row[x] = (sum[0] + n / 2) / n << 24 | (sum[1] + n / 2) / n << 16 | (sum[2] + n / 2) / n << 8 |
               (sum[3] + n / 2) / n;
    }
  }
  cairo_surface_mark_dirty(surface.get());
  return surface;
}

}  // namespace

bool WriteIcons(const std::filesystem::path& dir) {
  for (int size : {48, 128, 256}) {
    const std::string sized = std::to_string(size) + "x" + std::to_string(size);
    const std::filesystem::path apps = dir / sized / "apps";
    std::error_code error;
    std::filesystem::create_directories(apps, error);
    const std::string png = (apps / (std::string(kAppId) + ".png")).string();
    if (error ||
        cairo_surface_write_to_png(DrawIcon(size).get(), png.c_str()) != CAIRO_STATUS_SUCCESS) {
      std::fprintf(stderr, "make-gfx: cannot write %s\n", png.c_str());
      return false;
    }
  }
  return true;
}

}  // namespace gfx
