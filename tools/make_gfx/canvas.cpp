#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace gfx {

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_.get())) {}

const unsigned char* Canvas::Data() const {
  cairo_surface_flush(surface_.get());
  return cairo_image_surface_get_data(surface_.get());
}

int Canvas::Stride() const { return cairo_image_surface_get_stride(surface_.get()); }

namespace {

std::uint32_t PixelAt(const unsigned char* data, int stride, int x, int y) {
  return reinterpret_cast<const std::uint32_t*>(data + static_cast<std::size_t>(y) * stride)[x];
}

// Premultiplied ARGB to straight 0xRRGGBB.
std::uint32_t Unpremultiply(std::uint32_t argb) {
  const std::uint32_t a = argb >> 24;
  if (a == 0) return 0;
  auto channel = [&](int shift) {
    return std::min<std::uint32_t>(255, (((argb >> shift) & 255) * 255 + a / 2) / a) << shift;
  };
  return channel(16) | channel(8) | channel(0);
}

}  // namespace

Image Canvas::Opaque() const {
  Image image{width_, height_,
              std::vector<std::uint32_t>(static_cast<std::size_t>(width_) * height_)};
  const unsigned char* data = Data();
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      image.rgb[static_cast<std::size_t>(y) * width_ + x] =
          PixelAt(data, Stride(), x, y) & 0xFFFFFF;
  return image;
}

Image Canvas::Keyed(double keep) const {
  static constexpr int kBayer[4][4] = {
      {0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  Image image{width_, height_,
              std::vector<std::uint32_t>(static_cast<std::size_t>(width_) * height_)};
  const unsigned char* data = Data();
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const std::uint32_t argb = PixelAt(data, Stride(), x, y);
      std::uint32_t out = kKey;
      if ((argb >> 24) >= 128 && kBayer[y & 3][x & 3] < keep * 16) {
        out = Unpremultiply(argb);
        if (out == kKey) out = 0xFE00FF;  // drawn magenta must not turn transparent
      }
      image.rgb[static_cast<std::size_t>(y) * width_ + x] = out;
    }
  }
  return image;
}

bool WritePng(const Image& image, const char* path) {
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.width, image.height));
  cairo_surface_flush(surface.get());
  unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  for (int y = 0; y < image.height; ++y)
    std::copy_n(&image.rgb[static_cast<std::size_t>(y) * image.width], image.width,
                reinterpret_cast<std::uint32_t*>(data + static_cast<std::size_t>(y) * stride));
  cairo_surface_mark_dirty(surface.get());
  return cairo_surface_write_to_png(surface.get(), path) == CAIRO_STATUS_SUCCESS;
}

void SetRgb(cairo_t* cr, std::uint32_t rgb, double alpha) {
  cairo_set_source_rgba(cr, ((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0,
                        (rgb & 255) / 255.0, alpha);
}

void AddStop(cairo_pattern_t* pattern, double offset, std::uint32_t rgb, double alpha) {
  cairo_pattern_add_color_stop_rgba(pattern, offset, ((rgb >> 16) & 255) / 255.0,
                                    ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0, alpha);
}

PatternPtr Linear(double x0, double y0, double x1, double y1) {
  return PatternPtr(cairo_pattern_create_linear(x0, y0, x1, y1));
}

PatternPtr Radial(double cx0, double cy0, double r0, double cx1, double cy1, double r1) {
  return PatternPtr(cairo_pattern_create_radial(cx0, cy0, r0, cx1, cy1, r1));
}

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, double t) {
  std::uint32_t out = 0;
  for (int shift : {16, 8, 0}) {
    const double v = ((a >> shift) & 255) * (1 - t) + ((b >> shift) & 255) * t;
    out |= static_cast<std::uint32_t>(std::clamp(std::lround(v), 0L, 255L)) << shift;
  }
  return out;
}

void FillStroke(cairo_t* cr, cairo_pattern_t* fill, std::uint32_t line, double width) {
  cairo_set_source(cr, fill);
  cairo_fill_preserve(cr);
  SetRgb(cr, line);
  cairo_set_line_width(cr, width);
  cairo_stroke(cr);
}

void FillStroke(cairo_t* cr, std::uint32_t fill, std::uint32_t line, double width) {
  SetRgb(cr, fill);
  cairo_fill_preserve(cr);
  SetRgb(cr, line);
  cairo_set_line_width(cr, width);
  cairo_stroke(cr);
}

void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
  cairo_restore(cr);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  const double pi = std::numbers::pi;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -pi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, pi / 2);
  cairo_arc(cr, x + r, y + h - r, r, pi / 2, pi);
  cairo_arc(cr, x + r, y + r, r, pi, 3 * pi / 2);
  cairo_close_path(cr);
}

}  // namespace gfx
