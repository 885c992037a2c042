#include "pictures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "art.h"
#include "bmp.h"

namespace gfx {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kScreenW = 1024, kScreenH = 768;
// The score line is drawn over rows 0..15, so those stay one calm colour.
constexpr double kCalmRows = 16;
constexpr std::uint32_t kSurface = 0xCDEFF8;

double SandTop(double x) { return 676 + 12 * std::sin(x / 150 + 0.6) + 6 * std::sin(x / 53); }

void Water(cairo_t* cr) {
  auto water = Linear(0, 0, 0, kScreenH);
  AddStop(water.get(), 0, kSurface);
  AddStop(water.get(), kCalmRows / kScreenH, kSurface);
  AddStop(water.get(), 44.0 / kScreenH, 0x6FCBEB);
  AddStop(water.get(), 0.4, 0x2A8AC6);
  AddStop(water.get(), 0.8, 0x11548F);
  AddStop(water.get(), 1, 0x0B3A70);
  cairo_set_source(cr, water.get());
  cairo_paint(cr);
  // The underside of the surface: a bright wavy seam just below the calm band.
  cairo_move_to(cr, 0, kCalmRows);
  for (int x = 0; x <= kScreenW; x += 8)
    cairo_line_to(cr, x, 21.5 + 3 * std::sin(x / 37.0) + 2 * std::sin(x / 11.0));
  cairo_line_to(cr, kScreenW, kCalmRows);
  cairo_close_path(cr);
  SetRgb(cr, 0xE4F7FC, 0.8);
  cairo_fill(cr);
}

void LightRays(cairo_t* cr) {
  cairo_save(cr);
  cairo_rectangle(cr, 0, kCalmRows, kScreenW, kScreenH);
  cairo_clip(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
  const double xs[] = {70, 210, 330, 500, 610, 760, 900};
  for (int i = 0; i < 7; ++i) {
    const double top = xs[i], half = 14 + 9 * (i % 3);
    const double drift = 140 + 40 * (i % 2);
    cairo_move_to(cr, top - half, kCalmRows);
    cairo_line_to(cr, top + half, kCalmRows);
    cairo_line_to(cr, top + drift + half * 3.5, 690);
    cairo_line_to(cr, top + drift - half * 1.5, 690);
    cairo_close_path(cr);
    auto ray = Linear(0, kCalmRows, 0, 690);
    AddStop(ray.get(), 0, 0x6A9098, 0.22);
    AddStop(ray.get(), 0.6, 0x6A9098, 0.06);
    AddStop(ray.get(), 1, 0x7FA8B0, 0);
    cairo_set_source(cr, ray.get());
    cairo_fill(cr);
  }
  cairo_restore(cr);
  // Caustic ripples near the top.
  Rng rng(7);
  cairo_set_line_width(cr, 1.5);
  for (int i = 0; i < 34; ++i) {
    const double x = rng.Uniform(0, kScreenW), y = rng.Uniform(30, 110), len = rng.Uniform(30, 80);
    cairo_move_to(cr, x, y);
    cairo_curve_to(cr, x + len / 3, y - 5, x + 2 * len / 3, y + 5, x + len, y);
    SetRgb(cr, 0xFFFFFF, 0.12 * (1 - (y - 30) / 90));
    cairo_stroke(cr);
  }
}

void FarReef(cairo_t* cr) {
  for (int layer = 0; layer < 2; ++layer) {
    const double base = 600 + layer * 40;
    cairo_move_to(cr, 0, kScreenH);
    for (int x = 0; x <= kScreenW; x += 16) {
      const double y = base - 40 * std::sin(x / (120.0 + layer * 50) + layer * 2) -
                       25 * std::sin(x / 47.0 + layer) -
                       30 * std::exp(-std::pow((x - 300 - layer * 400) / 80.0, 2)) * (1 + layer);
      cairo_line_to(cr, x, y);
    }
    cairo_line_to(cr, kScreenW, kScreenH);
    cairo_close_path(cr);
    SetRgb(cr, layer == 0 ? 0x24689E : 0x1A5A8C, 0.55);
    cairo_fill(cr);
  }
}

void Sand(cairo_t* cr) {
  cairo_move_to(cr, 0, kScreenH);
  for (int x = 0; x <= kScreenW; x += 8) cairo_line_to(cr, x, SandTop(x));
  cairo_line_to(cr, kScreenW, kScreenH);
  cairo_close_path(cr);
  auto sand = Linear(0, 660, 0, kScreenH);
  AddStop(sand.get(), 0, 0xF2DCA4);
  AddStop(sand.get(), 1, 0xC29C5A);
  FillStroke(cr, sand.get(), 0x9C7A3E, 1.5);
  // Ripples.
  SetRgb(cr, 0x9C7A3E, 0.35);
  cairo_set_line_width(cr, 1.4);
  for (int row = 0; row < 5; ++row) {
    const double y0 = 700 + row * 14;
    for (int x = (row % 2) * 40; x < kScreenW; x += 110) {
      cairo_move_to(cr, x, y0 + 3 * std::sin(x * 0.02));
      cairo_curve_to(cr, x + 25, y0 - 5, x + 50, y0 + 5, x + 78, y0 + 3 * std::sin(x * 0.02));
    }
  }
  cairo_stroke(cr);
  Rng rng(11);
  for (int i = 0; i < 700; ++i) {
    const double x = rng.Uniform(0, kScreenW);
    const double y = rng.Uniform(SandTop(x) + 4, kScreenH);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, rng.Uniform(0.5, 1.6), 0, 2 * kPi);
    SetRgb(cr, (i % 4) ? 0x8A6A34 : 0xFFF4D8, 0.55);
    cairo_fill(cr);
  }
}

void SeaGrass(cairo_t* cr, Rng& rng, double x, int blades, double height) {
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int i = 0; i < blades; ++i) {
    const double bx = x + rng.Uniform(-14, 14), base = SandTop(bx) + 6;
    const double h = height * rng.Uniform(0.6, 1.0), lean = rng.Uniform(-24, 24);
    cairo_move_to(cr, bx, base);
    cairo_curve_to(cr, bx, base - h * 0.5, bx + lean, base - h * 0.7, bx + lean * 1.5, base - h);
    SetRgb(cr, 0x1E5E2A);
    cairo_set_line_width(cr, 5);
    cairo_stroke_preserve(cr);
    SetRgb(cr, i % 2 ? 0x56B84A : 0x7ACC52);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
  }
}

Image Background() {
  Canvas canvas(kScreenW, kScreenH);
  cairo_t* cr = canvas.cr();
  Water(cr);
  LightRays(cr);
  FarReef(cr);
  Rng rng(2024);
  // Tall kelp in the back.
  const double kelp_x[] = {40, 78, 118, 860, 905, 950, 990, 560};
  for (int i = 0; i < 8; ++i) {
    DrawKelp(cr, kelp_x[i], SandTop(kelp_x[i]) + 10, rng.Uniform(300, 470) * (i == 7 ? 0.55 : 1),
             30, 26, rng.Uniform(0, 6), i % 3 == 0 ? 0x2F8F3E : 0x3FA046);
  }
  Sand(cr);
  DrawRock(cr, rng, 170, SandTop(170) + 14, 95, 70, 0x6F7F8C);
  DrawRock(cr, rng, 260, SandTop(260) + 20, 55, 38, 0x7E8A78);
  DrawRock(cr, rng, 820, SandTop(820) + 16, 110, 62, 0x74808E);
  DrawRock(cr, rng, 700, SandTop(700) + 22, 40, 26, 0x8A8070);
  DrawCoral(cr, rng, 380, SandTop(380) + 10, 46, -kPi / 2, 4, 0xFF6F91);
  DrawCoral(cr, rng, 620, SandTop(620) + 10, 38, -kPi / 2 - 0.2, 3, 0xFF9A3C);
  DrawCoral(cr, rng, 965, SandTop(965) + 12, 40, -kPi / 2 + 0.15, 4, 0xB070E0);
  for (double x : {300.0, 470.0, 540.0, 720.0, 30.0}) SeaGrass(cr, rng, x, 9, 70);
  DrawStarfish(cr, 455, 728, 17, 0.3, 0xFF7A3A);
  DrawStarfish(cr, 905, 742, 13, -0.4, 0xF0B030);
  DrawShell(cr, 585, 748, 12, 0.2, 0xF6B2C0);
  DrawShell(cr, 226, 744, 10, -0.3, 0xFFE0B8);
  DrawShell(cr, 760, 736, 9, 0.5, 0xE8D0FF);
  // Bubble columns from the rocks.
  for (double x0 : {190.0, 836.0}) {
    double y = 600;
    for (int i = 0; i < 14; ++i) {
      DrawBubble(cr, x0 + 6 * std::sin(i * 1.3), y, 3 + (i % 4) * 1.6);
      y -= 26 + i * 4;
      if (y < 60) break;
    }
  }
  return canvas.Opaque();
}

// The live fish and its eight frames of a hit or escape: 98 × 33, the fish in columns 1..96
// and rows 1..31, the hit box of the game.
constexpr int kFishW = 98, kFishH = 33;
constexpr FishLook kPaleFish{0xE0A080, 0xF0E0B0, 0xC88870, 0x3A2A2A, 0xF4F4F4, true};

Image FishBubbles(int frame) {
  Canvas canvas(kFishW, kFishH);
  const double rise = (frame - 5) * 4.0;
  // Rising, but never out of the fish's box.
  DrawBubble(canvas.cr(), 80 - rise * 0.5, 10.5 - rise * 0.25, 3.5 + frame * 0.1, true);
  DrawBubble(canvas.cr(), 66, 19 - rise * 0.7, 2.5 + frame * 0.2, true);
  DrawBubble(canvas.cr(), 50 + rise, 8 + rise * 0.2, 2.8, true);
  if (frame >= 8) DrawSparkle(canvas.cr(), 30, 16, 7, 0xFFF6A0);
  if (frame >= 9) DrawSparkle(canvas.cr(), 88, 22, 5, 0xFFFFFF);
  return canvas.Keyed();
}

Image FishFrame(int frame) {
  Canvas canvas(kFishW, kFishH);
  cairo_t* cr = canvas.cr();
  cairo_translate(cr, 1, 1);
  // Turning belly up: the body squeezes through a flat roll.
  const double roll[] = {1, 1, 1, 0.5, -0.5, -1, -1, -1, -1, -1};
  const FishEyes eyes = frame == 1 ? FishEyes::kOpen : FishEyes::kCrossed;
  cairo_translate(cr, 0, 15.5);
  cairo_scale(cr, 1, roll[frame]);
  cairo_translate(cr, 0, -15.5);
  DrawFish(cr, frame >= 5 ? kPaleFish : kClownFish, eyes);
  if (frame == 2) {
    // The hit flash: the fish lights up white where it is.
    cairo_set_operator(cr, CAIRO_OPERATOR_ATOP);
    SetRgb(cr, 0xFFFFE0, 0.7);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  }
  const double keep[] = {1, 1, 1, 1, 1, 1, 1, 0.75, 0.4, 0.12};
  Image fish = canvas.Keyed(keep[frame]);
  if (frame >= 6) DrawKeyed(fish, FishBubbles(frame), 0, 0);
  if (frame == 2) {
    Canvas burst(kFishW, kFishH);
    DrawSparkle(burst.cr(), 14, 10, 7, 0xFFE040);
    DrawSparkle(burst.cr(), 88, 24, 5, 0xFFE040);
    DrawKeyed(fish, burst.Keyed(), 0, 0);
  }
  return fish;
}

// The cross-hair: 33 × 33 with its centre on pixel (16, 16).
Image CrossHair() {
  Canvas canvas(33, 33);
  cairo_t* cr = canvas.cr();
  const double c = 16.5;
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int pass = 0; pass < 2; ++pass) {
    const std::uint32_t colour = pass == 0 ? 0x101010 : 0xFF3030;
    const double extra = pass == 0 ? 2.2 : 0;
    cairo_new_sub_path(cr);
    cairo_arc(cr, c, c, 10.5, 0, 2 * kPi);
    SetRgb(cr, colour);
    cairo_set_line_width(cr, 2.2 + extra);
    cairo_stroke(cr);
    for (int i = 0; i < 4; ++i) {
      const double dx = std::cos(i * kPi / 2), dy = std::sin(i * kPi / 2);
      cairo_move_to(cr, c + dx * 5, c + dy * 5);
      cairo_line_to(cr, c + dx * 14.5, c + dy * 14.5);
    }
    SetRgb(cr, pass == 0 ? colour : 0xFFFFFF);
    cairo_set_line_width(cr, 1.6 + extra);
    cairo_stroke(cr);
    cairo_new_sub_path(cr);
    cairo_arc(cr, c, c, 1.4 + extra / 2, 0, 2 * kPi);
    SetRgb(cr, colour);
    cairo_fill(cr);
  }
  return canvas.Keyed();
}

Image Pause() {
  Canvas canvas(360, 170);
  cairo_t* cr = canvas.cr();
  RoundedRect(cr, 4, 4, 352, 162, 26);
  auto panel = Linear(0, 4, 0, 166);
  AddStop(panel.get(), 0, 0x3C8AD0);
  AddStop(panel.get(), 1, 0x143C78);
  FillStroke(cr, panel.get(), 0xFFFFFF, 5);
  DrawTitleText(cr, "PAUSE", 180, 46, 54, 0xFFF6A0, 0xFFB020, 0x3A1A00);
  cairo_save(cr);
  cairo_translate(cr, 80, 98);
  cairo_scale(cr, 1.3, 1.3);
  DrawFish(cr, kClownFish, FishEyes::kClosed);
  cairo_restore(cr);
  for (int i = 0; i < 3; ++i)
    DrawTitleText(cr, "z", 232 + i * 24, 132 - i * 14, 14 + i * 6, 0xFFFFFF, 0xC8E8FF, 0x143C78);
  return canvas.Keyed();
}

// Hot key 1, at the four corners: at most 264 × 180.
Image Octopus() {
  Canvas canvas(258, 180);
  cairo_t* cr = canvas.cr();
  cairo_translate(cr, 4, 2);
  DrawOctopus(cr, 0.6);
  for (int i = 0; i < 3; ++i) DrawBubble(cr, 210 + i * 9, 60 - i * 22, 5 + i * 2, true);
  return canvas.Keyed();
}

// Hot key 2, centred: 404 × 404.
Image Treasure() {
  Canvas canvas(404, 404);
  cairo_t* cr = canvas.cr();
  const double c = 202;
  // A sunburst medallion with a scalloped rim.
  cairo_move_to(cr, c + 196, c);
  for (int i = 1; i <= 48; ++i) {
    const double a = i * 2 * kPi / 48;
    const double r = i % 2 ? 186 : 198;
    cairo_line_to(cr, c + r * std::cos(a), c + r * std::sin(a));
  }
  cairo_close_path(cr);
  FillStroke(cr, 0x1C5C9C, 0xFFFFFF, 4);
  for (int i = 0; i < 24; ++i) {
    const double a = i * 2 * kPi / 24;
    cairo_move_to(cr, c, c);
    cairo_arc(cr, c, c, 176, a, a + kPi / 24);
    cairo_close_path(cr);
  }
  SetRgb(cr, 0x2C7CC0);
  cairo_fill(cr);
  auto glow = Radial(c, c + 20, 10, c, c, 176);
  AddStop(glow.get(), 0, 0xFFF2A8, 0.95);
  AddStop(glow.get(), 0.55, 0xFFD860, 0.35);
  AddStop(glow.get(), 1, 0xFFD860, 0);
  cairo_set_source(cr, glow.get());
  cairo_arc(cr, c, c, 176, 0, 2 * kPi);
  cairo_fill(cr);
  // Sand mound with the chest on it.
  cairo_move_to(cr, 40, 300);
  cairo_curve_to(cr, 120, 250, 290, 250, 364, 300);
  cairo_curve_to(cr, 330, 350, 80, 350, 40, 300);
  auto sand = Linear(0, 260, 0, 340);
  AddStop(sand.get(), 0, 0xF4DEA6);
  AddStop(sand.get(), 1, 0xC8A460);
  FillStroke(cr, sand.get(), 0x8A6A30, 2);
  cairo_save(cr);
  cairo_translate(cr, 62, 52);
  cairo_scale(cr, 1.4, 1.4);
  DrawChest(cr, 1);
  cairo_restore(cr);
  Rng rng(5);
  for (int i = 0; i < 9; ++i) {
    const double x = rng.Uniform(70, 330), y = rng.Uniform(282, 318);
    Ellipse(cr, x, y, 9, 5);
    FillStroke(cr, 0xF2C230, 0x8A5A00, 1.2);
  }
  DrawStarfish(cr, 330, 292, 20, 0.2, 0xFF6A3A);
  for (int i = 0; i < 6; ++i)
    DrawSparkle(cr, rng.Uniform(90, 310), rng.Uniform(60, 170), rng.Uniform(6, 12), 0xFFFBD0);
  for (int i = 0; i < 5; ++i) DrawBubble(cr, 300 + i * 8 * std::sin(i), 150 - i * 24, 4 + i, true);
  DrawTitleText(cr, "SCHATZ!", c, 360, 36, 0xFFF6A0, 0xFFA020, 0x3A1A00);
  return canvas.Keyed();
}

// Hot key 3, on the four edges: at most 192 × 158.
Image Diver() {
  Canvas canvas(192, 158);
  cairo_t* cr = canvas.cr();
  cairo_translate(cr, 1, 8);
  DrawDiver(cr, 0.9);
  for (int i = 0; i < 4; ++i) DrawBubble(cr, 170 - i * 6, 44 - i * 14, 3 + i * 1.3, true);
  return canvas.Keyed();
}

}  // namespace

void DrawKeyed(Image& target, const Image& sprite, int x, int y) {
  for (int sy = 0; sy < sprite.height; ++sy) {
    for (int sx = 0; sx < sprite.width; ++sx) {
      const int tx = x + sx, ty = y + sy;
      const std::uint32_t pixel = sprite.At(sx, sy);
      if (pixel == kKey || tx < 0 || ty < 0 || tx >= target.width || ty >= target.height) continue;
      target.rgb[static_cast<std::size_t>(ty) * target.width + tx] = pixel;
    }
  }
}

void DrawScoreLine(Image& screen, int score, int misses) {
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, screen.width, screen.height));
  const int stride = cairo_image_surface_get_stride(surface.get());
  auto row = [&](int y) {
    return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface.get()) +
                                            static_cast<std::size_t>(y) * stride);
  };
  cairo_surface_flush(surface.get());
  for (int y = 0; y < screen.height; ++y)
    std::copy_n(&screen.rgb[static_cast<std::size_t>(y) * screen.width], screen.width, row(y));
  cairo_surface_mark_dirty(surface.get());
  {
    ContextPtr cr(cairo_create(surface.get()));
    cairo_select_font_face(cr.get(), "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr.get(), 13);
    cairo_font_extents_t font;
    cairo_font_extents(cr.get(), &font);
    const std::string texts[] = {"Punkte:" + std::to_string(score),
                                 "Durchgefallen:" + std::to_string(misses)};
    const int xs[] = {0, 890};
    const std::uint32_t inks[] = {0x0279EA, 0xDF5220};
    for (int i = 0; i < 2; ++i) {
      SetRgb(cr.get(), inks[i]);
      cairo_move_to(cr.get(), xs[i], font.ascent);
      cairo_show_text(cr.get(), texts[i].c_str());
    }
  }
  cairo_surface_flush(surface.get());
  for (int y = 0; y < screen.height; ++y)
    std::copy_n(row(y), screen.width, &screen.rgb[static_cast<std::size_t>(y) * screen.width]);
  for (auto& pixel : screen.rgb) pixel &= 0xFFFFFF;
}

namespace {

struct Recipe {
  const char* name;
  Image (*draw)();
  bool palette8;
};

// The cross-hair, drawn every frame, goes through the 8-bit colour table path.
constexpr Recipe kRecipes[] = {
    {"Kreuz.qz", CrossHair, true},
    {"Back.qz", Background, false},
    {"Pause.qz", Pause, true},
    {"Vusk1.qz", [] { return FishFrame(1); }, false},
    {"Vusk2.qz", [] { return FishFrame(2); }, false},
    {"Vusk3.qz", [] { return FishFrame(3); }, false},
    {"Vusk4.qz", [] { return FishFrame(4); }, false},
    {"Vusk5.qz", [] { return FishFrame(5); }, false},
    {"Vusk6.qz", [] { return FishFrame(6); }, false},
    {"Vusk7.qz", [] { return FishFrame(7); }, false},
    {"Vusk8.qz", [] { return FishFrame(8); }, false},
    {"Vusk9.qz", [] { return FishFrame(9); }, false},
    {"Gay1.qz", Octopus, false},
    {"Gay2.qz", Treasure, false},
    {"Gay3.qz", Diver, false},
};

}  // namespace

std::vector<std::string> PictureNames() {
  std::vector<std::string> names;
  for (const Recipe& recipe : kRecipes) names.push_back(recipe.name);
  return names;
}

std::vector<Picture> MakePictures() {
  std::vector<Picture> pictures;
  for (const Recipe& recipe : kRecipes) {
    Image image = recipe.draw();
    if (recipe.palette8) image = FromPalette(ToPalette(image), image.width, image.height);
    pictures.push_back({recipe.name, std::move(image), recipe.palette8});
  }
  return pictures;
}

}  // namespace gfx
