#include "art.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace gfx {
namespace {

constexpr double kPi = std::numbers::pi;

struct Point {
  double x, y;
};

// A smooth closed curve through the points (Catmull-Rom turned into Bézier segments).
void SmoothClosed(cairo_t* cr, const std::vector<Point>& p) {
  const std::size_t n = p.size();
  cairo_move_to(cr, p[0].x, p[0].y);
  for (std::size_t i = 0; i < n; ++i) {
    const Point& a = p[(i + n - 1) % n];
    const Point& b = p[i];
    const Point& c = p[(i + 1) % n];
    const Point& d = p[(i + 2) % n];
    cairo_curve_to(cr, b.x + (c.x - a.x) / 6, b.y + (c.y - a.y) / 6, c.x - (d.x - b.x) / 6,
                   c.y - (d.y - b.y) / 6, c.x, c.y);
  }
  cairo_close_path(cr);
}

void Circle(cairo_t* cr, double x, double y, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x, y, r, 0, 2 * kPi);
}

void Eye(cairo_t* cr, double x, double y, double r, double look_x, double look_y) {
  Circle(cr, x, y, r);
  FillStroke(cr, 0xFFFFFF, 0x202020, r * 0.18);
  Circle(cr, x + look_x * r * 0.3, y + look_y * r * 0.3, r * 0.55);
  SetRgb(cr, 0x151520);
  cairo_fill(cr);
  Circle(cr, x + look_x * r * 0.3 + r * 0.2, y + look_y * r * 0.3 - r * 0.22, r * 0.2);
  SetRgb(cr, 0xFFFFFF);
  cairo_fill(cr);
}

}  // namespace

void DrawFish(cairo_t* cr, const FishLook& look, FishEyes eyes, double tail) {
  cairo_save(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  const double tip = 2 + 3 * std::abs(tail);
  const double bend = 3 * tail;
  // Tail fin.
  cairo_move_to(cr, 25, 15.5);
  cairo_curve_to(cr, 17, 10, 9, 3 + bend, tip, 2.5 + bend);
  cairo_curve_to(cr, 6, 9, 8, 13, 7, 15.5 + bend * 0.5);
  cairo_curve_to(cr, 8, 18, 6, 22, tip, 28.5 + bend);
  cairo_curve_to(cr, 9, 28 + bend, 17, 21, 25, 15.5);
  auto fin = Linear(0, 0, 25, 0);
  AddStop(fin.get(), 0, Mix(look.fin, 0x000000, 0.25));
  AddStop(fin.get(), 1, look.fin);
  FillStroke(cr, fin.get(), look.line, 1.2);
  // Dorsal and belly fins.
  cairo_move_to(cr, 35, 8);
  cairo_curve_to(cr, 39, 1.5, 52, 0.6, 66, 4.5);
  cairo_curve_to(cr, 60, 5, 58, 7, 60, 9);
  cairo_close_path(cr);
  FillStroke(cr, look.fin, look.line, 1.1);
  cairo_move_to(cr, 47, 25);
  cairo_curve_to(cr, 49, 30.5, 57, 30.5, 63, 26.5);
  cairo_close_path(cr);
  FillStroke(cr, look.fin, look.line, 1.1);
  // Body.
  Ellipse(cr, 58, 15.5, 36, 12.5);
  auto body = Linear(0, 3, 0, 28);
  AddStop(body.get(), 0, Mix(look.back, 0x000000, 0.1));
  AddStop(body.get(), 0.45, look.back);
  AddStop(body.get(), 1, look.belly);
  cairo_set_source(cr, body.get());
  cairo_fill_preserve(cr);
  cairo_save(cr);
  cairo_clip(cr);
  if (look.stripes) {
    for (double x : {44.0, 75.0}) {
      const double half = x < 60 ? 4.5 : 3.5;
      cairo_move_to(cr, x - half + 1, 0);
      cairo_curve_to(cr, x - half - 4, 10, x - half - 4, 21, x - half + 1, 31);
      cairo_line_to(cr, x + half + 1, 31);
      cairo_curve_to(cr, x + half - 4, 21, x + half - 4, 10, x + half + 1, 0);
      cairo_close_path(cr);
      FillStroke(cr, look.stripe, look.line, 1.2);
    }
  } else {
    // Scales: a few soft arcs.
    SetRgb(cr, look.line, 0.25);
    cairo_set_line_width(cr, 0.8);
    for (double x = 40; x < 78; x += 7)
      for (double y = 9; y < 25; y += 6) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, x + (static_cast<int>(y) % 2) * 3, y, 3.2, -kPi / 2, kPi / 2);
        cairo_stroke(cr);
      }
  }
  Ellipse(cr, 62, 8, 22, 3);
  SetRgb(cr, 0xFFFFFF, 0.35);
  cairo_fill(cr);
  cairo_restore(cr);
  Ellipse(cr, 58, 15.5, 36, 12.5);
  SetRgb(cr, look.line);
  cairo_set_line_width(cr, 1.4);
  cairo_stroke(cr);
  // Side fin.
  cairo_move_to(cr, 63, 17);
  cairo_curve_to(cr, 67, 21 + tail, 65, 25, 56, 24.5);
  cairo_curve_to(cr, 58.5, 22, 59.5, 19, 63, 17);
  FillStroke(cr, look.fin, look.line, 0.9);
  // Face.
  if (eyes == FishEyes::kOpen) {
    Eye(cr, 84, 12, 4.7, 0.6, 0);
  } else if (eyes == FishEyes::kClosed) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, 84, 11, 3.5, 0.15 * kPi, 0.85 * kPi);
    SetRgb(cr, look.line);
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
  } else {
    Circle(cr, 84, 12, 4.7);
    FillStroke(cr, 0xFFFFFF, look.line, 0.9);
    SetRgb(cr, 0x151520);
    cairo_set_line_width(cr, 1.4);
    for (double s : {-1.0, 1.0}) {
      cairo_move_to(cr, 81.6, 12 - 2.4 * s);
      cairo_line_to(cr, 86.4, 12 + 2.4 * s);
    }
    cairo_stroke(cr);
  }
  cairo_move_to(cr, 88.5, 19);
  if (eyes != FishEyes::kCrossed)
    cairo_curve_to(cr, 90, 21, 92.5, 20.5, 93.5, 18.5);
  else
    cairo_curve_to(cr, 90, 17.5, 92.5, 17.5, 93.5, 19.5);
  SetRgb(cr, look.line);
  cairo_set_line_width(cr, 1.1);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void DrawBubble(cairo_t* cr, double x, double y, double r, bool solid) {
  Circle(cr, x, y, r);
  if (solid) {
    auto fill = Radial(x - r * 0.3, y - r * 0.3, 0, x, y, r);
    AddStop(fill.get(), 0, 0xF4FDFF);
    AddStop(fill.get(), 1, 0x9ADAF0);
    FillStroke(cr, fill.get(), 0x2F7FA8, std::max(0.8, r * 0.15));
  } else {
    auto fill = Radial(x, y, 0, x, y, r);
    AddStop(fill.get(), 0, 0xD8F6FF, 0.08);
    AddStop(fill.get(), 0.8, 0xD8F6FF, 0.25);
    AddStop(fill.get(), 1, 0xFFFFFF, 0.6);
    cairo_set_source(cr, fill.get());
    cairo_fill_preserve(cr);
    SetRgb(cr, 0xFFFFFF, 0.75);
    cairo_set_line_width(cr, std::max(0.7, r * 0.12));
    cairo_stroke(cr);
  }
  Circle(cr, x - r * 0.35, y - r * 0.35, r * 0.22);
  SetRgb(cr, 0xFFFFFF, solid ? 1.0 : 0.9);
  cairo_fill(cr);
}

void DrawSparkle(cairo_t* cr, double x, double y, double r, std::uint32_t colour) {
  cairo_move_to(cr, x, y - r);
  for (int i = 1; i <= 8; ++i) {
    const double a = -kPi / 2 + i * kPi / 4;
    const double d = i % 2 == 0 ? r : r * 0.28;
    cairo_line_to(cr, x + d * std::cos(a), y + d * std::sin(a));
  }
  cairo_close_path(cr);
  SetRgb(cr, colour);
  cairo_fill(cr);
}

void DrawKelp(cairo_t* cr, double x, double base, double height, double width, double sway,
              double phase, std::uint32_t colour) {
  constexpr int kSteps = 28;
  std::vector<Point> left, right;
  for (int i = 0; i <= kSteps; ++i) {
    const double s = static_cast<double>(i) / kSteps;
    const double cx = x + sway * s * std::sin(s * kPi * 1.6 + phase);
    const double cy = base - s * height;
    const double dx =
        sway * (std::sin(s * kPi * 1.6 + phase) + s * kPi * 1.6 * std::cos(s * kPi * 1.6 + phase));
    const double len = std::hypot(dx, height);
    const double nx = height / len, ny = dx / len;  // normal of the centre line
    const double w = width * (1 - 0.75 * s) * (0.8 + 0.2 * std::sin(s * 9 + phase)) / 2;
    left.push_back({cx - nx * w, cy - ny * w});
    right.push_back({cx + nx * w, cy + ny * w});
  }
  cairo_move_to(cr, left[0].x, left[0].y);
  for (const Point& p : left) cairo_line_to(cr, p.x, p.y);
  for (auto it = right.rbegin(); it != right.rend(); ++it) cairo_line_to(cr, it->x, it->y);
  cairo_close_path(cr);
  auto fill = Linear(x, base, x, base - height);
  AddStop(fill.get(), 0, Mix(colour, 0x001008, 0.45));
  AddStop(fill.get(), 1, Mix(colour, 0xE8FFB0, 0.35));
  FillStroke(cr, fill.get(), Mix(colour, 0x000000, 0.55), 1.2);
  // Mid rib.
  cairo_move_to(cr, x, base);
  for (int i = 1; i <= kSteps - 4; ++i) {
    const double s = static_cast<double>(i) / kSteps;
    cairo_line_to(cr, x + sway * s * std::sin(s * kPi * 1.6 + phase), base - s * height);
  }
  SetRgb(cr, Mix(colour, 0x000000, 0.35), 0.7);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

void DrawRock(cairo_t* cr, Rng& rng, double cx, double base, double rx, double ry,
              std::uint32_t colour) {
  std::vector<Point> points;
  for (int i = 0; i < 11; ++i) {
    const double a = kPi + i * kPi / 10;  // the upper half, left to right
    const double k = rng.Uniform(0.82, 1.08);
    points.push_back({cx + std::cos(a) * rx * k, base + std::sin(a) * ry * k});
  }
  points.push_back({cx + rx * 0.7, base + 6});
  points.push_back({cx - rx * 0.7, base + 6});
  SmoothClosed(cr, points);
  auto fill = Radial(cx - rx * 0.35, base - ry * 0.75, ry * 0.1, cx, base - ry * 0.3, rx * 1.1);
  AddStop(fill.get(), 0, Mix(colour, 0xFFFFFF, 0.35));
  AddStop(fill.get(), 0.6, colour);
  AddStop(fill.get(), 1, Mix(colour, 0x000000, 0.5));
  FillStroke(cr, fill.get(), Mix(colour, 0x000000, 0.6), 1.5);
  // Moss and speckles.
  for (int i = 0; i < 9; ++i) {
    const double a = kPi + rng.Uniform(0.15, 0.85) * kPi;
    const double d = rng.Uniform(0.3, 0.85);
    Ellipse(cr, cx + std::cos(a) * rx * d, base + std::sin(a) * ry * d, rng.Uniform(2, 6),
            rng.Uniform(1, 3));
    SetRgb(cr, i % 3 == 0 ? 0x5C8A3A : Mix(colour, 0x000000, 0.3), 0.55);
    cairo_fill(cr);
  }
}

void DrawCoral(cairo_t* cr, Rng& rng, double x, double y, double length, double angle, int depth,
               std::uint32_t colour) {
  const double x2 = x + std::cos(angle) * length;
  const double y2 = y + std::sin(angle) * length;
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr, x, y);
  cairo_curve_to(cr, x + (x2 - x) * 0.3 + rng.Uniform(-4, 4), y + (y2 - y) * 0.3,
                 x2 - (x2 - x) * 0.3, y2, x2, y2);
  const double width = 2.2 + depth * 2.4;
  SetRgb(cr, Mix(colour, 0x000000, 0.45));
  cairo_set_line_width(cr, width + 2.4);
  cairo_stroke_preserve(cr);
  SetRgb(cr, Mix(colour, 0xFFFFFF, 0.25 - depth * 0.06));
  cairo_set_line_width(cr, width);
  cairo_stroke(cr);
  if (depth == 0) {
    Circle(cr, x2, y2, width * 0.9);
    SetRgb(cr, Mix(colour, 0xFFFFFF, 0.55));
    cairo_fill(cr);
    return;
  }
  for (double turn : {-0.45, 0.4}) {
    DrawCoral(cr, rng, x2, y2, length * rng.Uniform(0.62, 0.8),
              angle + turn + rng.Uniform(-0.15, 0.15), depth - 1, colour);
  }
}

void DrawStarfish(cairo_t* cr, double x, double y, double r, double angle, std::uint32_t colour) {
  std::vector<Point> points;
  for (int i = 0; i < 10; ++i) {
    const double a = angle - kPi / 2 + i * kPi / 5;
    const double d = i % 2 == 0 ? r : r * 0.42;
    points.push_back({x + d * std::cos(a), y + d * std::sin(a)});
  }
  SmoothClosed(cr, points);
  auto fill = Radial(x, y, 0, x, y, r);
  AddStop(fill.get(), 0, Mix(colour, 0xFFFFA0, 0.4));
  AddStop(fill.get(), 1, colour);
  FillStroke(cr, fill.get(), Mix(colour, 0x000000, 0.55), 1.2);
  for (int i = 0; i < 5; ++i) {
    const double a = angle - kPi / 2 + i * 2 * kPi / 5;
    for (double d : {0.3, 0.55}) {
      Circle(cr, x + r * d * std::cos(a), y + r * d * std::sin(a), r * 0.06 + 0.5);
      SetRgb(cr, 0xFFF2D0);
      cairo_fill(cr);
    }
  }
}

void DrawShell(cairo_t* cr, double x, double y, double r, double angle, std::uint32_t colour) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, angle);
  cairo_move_to(cr, 0, r * 0.15);
  cairo_arc(cr, 0, 0, r, kPi * 1.08, kPi * 1.92);
  cairo_close_path(cr);
  auto fill = Linear(0, -r, 0, 0);
  AddStop(fill.get(), 0, Mix(colour, 0xFFFFFF, 0.5));
  AddStop(fill.get(), 1, colour);
  FillStroke(cr, fill.get(), Mix(colour, 0x000000, 0.5), 1);
  SetRgb(cr, Mix(colour, 0x000000, 0.35));
  cairo_set_line_width(cr, 0.8);
  for (int i = 1; i < 6; ++i) {
    const double a = kPi * (1.08 + 0.84 * i / 6);
    cairo_move_to(cr, 0, r * 0.1);
    cairo_line_to(cr, r * 0.95 * std::cos(a), r * 0.95 * std::sin(a));
  }
  cairo_stroke(cr);
  cairo_restore(cr);
}

void DrawChest(cairo_t* cr, double open) {
  cairo_save(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  constexpr std::uint32_t kWood = 0x8A4B1E, kDark = 0x3A1A06, kGold = 0xF2C230;
  // Glow and treasure inside, seen once the lid lifts.
  if (open > 0.05) {
    RoundedRect(cr, 24, 80 - open * 46, 152, open * 46 + 8, 4);
    SetRgb(cr, 0x2A1004);
    cairo_fill(cr);
    auto glow = Radial(100, 78, 5, 100, 78, 95);
    AddStop(glow.get(), 0, 0xFFF4B0, 0.9 * open);
    AddStop(glow.get(), 1, 0xFFE070, 0);
    cairo_set_source(cr, glow.get());
    cairo_rectangle(cr, 0, 0, 200, 120);
    cairo_fill(cr);
    for (int i = 0; i < 14; ++i) {
      const double cx = 40 + (i * 37) % 120;
      const double cy = 84 - 10 * open - (i % 3) * 5 * open;
      Ellipse(cr, cx, cy, 9, 5);
      FillStroke(cr, kGold, 0x8A5A00, 1);
    }
    struct Gem {
      double x, y;
      std::uint32_t colour;
    };
    for (Gem gem : {Gem{70, 72, 0xE8203A}, Gem{112, 70, 0x2AD46A}, Gem{138, 76, 0x3A7CFF}}) {
      const double y = gem.y + (1 - open) * 12;
      cairo_move_to(cr, gem.x, y - 8);
      cairo_line_to(cr, gem.x + 7, y);
      cairo_line_to(cr, gem.x, y + 8);
      cairo_line_to(cr, gem.x - 7, y);
      cairo_close_path(cr);
      FillStroke(cr, gem.colour, Mix(gem.colour, 0x000000, 0.6), 1);
      DrawSparkle(cr, gem.x - 2, y - 3, 3, 0xFFFFFF);
    }
  }
  // Box.
  RoundedRect(cr, 20, 84, 160, 76, 6);
  auto wood = Linear(0, 84, 0, 160);
  AddStop(wood.get(), 0, Mix(kWood, 0xFFFFFF, 0.15));
  AddStop(wood.get(), 1, Mix(kWood, 0x000000, 0.35));
  FillStroke(cr, wood.get(), kDark, 2.5);
  SetRgb(cr, kDark, 0.6);
  cairo_set_line_width(cr, 1.2);
  for (double y : {103.0, 122.0, 141.0}) {
    cairo_move_to(cr, 22, y);
    cairo_line_to(cr, 178, y);
  }
  cairo_stroke(cr);
  for (double x : {36.0, 152.0}) {
    cairo_rectangle(cr, x, 84, 12, 76);
    FillStroke(cr, kGold, 0x7A5200, 1.5);
  }
  // Lid: it rises off the box.
  const double lift = open * 46;
  cairo_save(cr);
  cairo_translate(cr, 0, -lift);
  cairo_move_to(cr, 20, 86);
  cairo_curve_to(cr, 20, 42, 180, 42, 180, 86);
  cairo_close_path(cr);
  auto lid = Linear(0, 44, 0, 86);
  AddStop(lid.get(), 0, Mix(kWood, 0xFFFFFF, 0.3));
  AddStop(lid.get(), 1, Mix(kWood, 0x000000, 0.2));
  cairo_set_source(cr, lid.get());
  cairo_fill_preserve(cr);
  cairo_save(cr);
  cairo_clip(cr);
  for (double x : {36.0, 152.0}) {
    cairo_rectangle(cr, x, 40, 12, 46);
    FillStroke(cr, kGold, 0x7A5200, 1.5);
  }
  cairo_restore(cr);
  cairo_move_to(cr, 20, 86);
  cairo_curve_to(cr, 20, 42, 180, 42, 180, 86);
  cairo_close_path(cr);
  SetRgb(cr, kDark);
  cairo_set_line_width(cr, 2.5);
  cairo_stroke(cr);
  cairo_restore(cr);
  // Lock.
  RoundedRect(cr, 90, 86, 20, 24, 4);
  FillStroke(cr, kGold, 0x7A5200, 1.5);
  Circle(cr, 100, 96, 3);
  SetRgb(cr, kDark);
  cairo_fill(cr);
  cairo_restore(cr);
}

void DrawDiver(cairo_t* cr, double kick) {
  cairo_save(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  constexpr std::uint32_t kSuit = 0x2D6FD8, kLine = 0x10203A, kBrass = 0xE0A43A, kFin = 0xFFD21E;
  const double k = std::sin(kick);
  // Air tank on the back.
  RoundedRect(cr, 48, 46, 70, 20, 9);
  auto tank = Linear(0, 46, 0, 66);
  AddStop(tank.get(), 0, 0xFFE45C);
  AddStop(tank.get(), 1, 0xD08A00);
  FillStroke(cr, tank.get(), kLine, 1.8);
  // Legs with flippers, kicking up and down in turn.
  for (int side = 0; side < 2; ++side) {
    const double s = side == 0 ? k : -k;
    cairo_move_to(cr, 62, 82 + side * 8);
    cairo_line_to(cr, 36, 82 + side * 8 + s * 8);
    SetRgb(cr, kLine);
    cairo_set_line_width(cr, 15);
    cairo_stroke_preserve(cr);
    SetRgb(cr, Mix(kSuit, 0x000000, side * 0.2));
    cairo_set_line_width(cr, 12);
    cairo_stroke(cr);
    const double fy = 82 + side * 8 + s * 8;
    cairo_move_to(cr, 36, fy - 6);
    cairo_curve_to(cr, 22, fy - 10 + s * 6, 6, fy - 12 + s * 12, 2, fy - 6 + s * 14);
    cairo_curve_to(cr, 8, fy + 2 + s * 12, 22, fy + 8 + s * 6, 36, fy + 6);
    cairo_close_path(cr);
    FillStroke(cr, Mix(kFin, 0x000000, side * 0.15), kLine, 1.6);
  }
  // Body.
  Ellipse(cr, 92, 82, 40, 20);
  auto suit = Linear(0, 62, 0, 102);
  AddStop(suit.get(), 0, Mix(kSuit, 0xFFFFFF, 0.3));
  AddStop(suit.get(), 1, Mix(kSuit, 0x000000, 0.25));
  FillStroke(cr, suit.get(), kLine, 2);
  cairo_rectangle(cr, 80, 64, 8, 37);
  SetRgb(cr, 0xFFD21E);
  cairo_fill(cr);
  // Helmet with its round window.
  Circle(cr, 140, 80, 27);
  auto brass = Radial(130, 68, 3, 140, 80, 28);
  AddStop(brass.get(), 0, 0xFFF0B0);
  AddStop(brass.get(), 0.5, kBrass);
  AddStop(brass.get(), 1, 0x8A5A10);
  FillStroke(cr, brass.get(), 0x4A3008, 2);
  Circle(cr, 146, 80, 16);
  FillStroke(cr, 0xB8E8F8, 0x4A3008, 3.5);
  // Face behind the glass.
  Circle(cr, 146, 82, 12);
  SetRgb(cr, 0xFFD0A8);
  cairo_fill(cr);
  for (double x : {141.0, 151.0}) {
    Circle(cr, x, 79, 2);
    SetRgb(cr, 0x202020);
    cairo_fill(cr);
  }
  cairo_move_to(cr, 140, 86);
  cairo_curve_to(cr, 143, 90, 149, 90, 152, 86);
  SetRgb(cr, 0x802020);
  cairo_set_line_width(cr, 1.6);
  cairo_stroke(cr);
  Ellipse(cr, 140, 72, 7, 3.5);
  SetRgb(cr, 0xFFFFFF, 0.7);
  cairo_fill(cr);
  for (double a : {-0.5, 0.9, 2.3}) {
    Circle(cr, 140 + 24 * std::cos(a), 80 + 24 * std::sin(a), 2.6);
    FillStroke(cr, 0xFFE7A0, 0x4A3008, 1);
  }
  // The waving arm, reaching forward under the helmet.
  const double wave = std::sin(kick * 2);
  cairo_move_to(cr, 112, 92);
  cairo_curve_to(cr, 135, 116, 162, 118, 174, 100 - wave * 5);
  SetRgb(cr, kLine);
  cairo_set_line_width(cr, 12);
  cairo_stroke_preserve(cr);
  SetRgb(cr, Mix(kSuit, 0xFFFFFF, 0.15));
  cairo_set_line_width(cr, 9);
  cairo_stroke(cr);
  Circle(cr, 176, 97 - wave * 5, 7);
  FillStroke(cr, 0xFFD21E, kLine, 1.6);
  cairo_restore(cr);
}

void DrawOctopus(cairo_t* cr, double phase) {
  cairo_save(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  constexpr std::uint32_t kSkin = 0xC04CC8, kLine = 0x3A0A40;
  // Arms: tapering curls, drawn as stacked round dabs so they stay smooth at every width.
  for (int arm = 0; arm < 8; ++arm) {
    const double spread = (arm - 3.5) / 3.5;  // -1 .. 1
    const double sway = std::sin(phase + arm * 0.9);
    double x = 125 + spread * 40, y = 100;
    double angle = kPi / 2 - spread * 1.15;
    const double curl = (spread < 0 ? -1 : 1) * (0.05 + 0.03 * sway);
    std::vector<Point> path;
    for (int i = 0; i < 26; ++i) {
      path.push_back({x, y});
      x += std::cos(angle) * 3.2;
      y += std::sin(angle) * 3.2;
      angle -= curl * (1 + i * 0.12) + 0.02 * sway;
    }
    for (int layer = 0; layer < 2; ++layer) {
      for (std::size_t i = 0; i < path.size(); ++i) {
        const double r = 9.5 * (1 - i / 30.0) + (layer == 0 ? 1.6 : 0);
        Circle(cr, path[i].x, path[i].y, r);
      }
      SetRgb(cr, layer == 0 ? kLine : Mix(kSkin, 0x000000, 0.1 + 0.02 * (arm % 3)));
      cairo_fill(cr);
    }
    for (std::size_t i = 3; i < path.size(); i += 4) {
      Circle(cr, path[i].x, path[i].y + 1, 2.4 * (1 - i / 30.0) + 0.6);
      SetRgb(cr, 0xF8C8F0);
      cairo_fill(cr);
    }
  }
  // Head.
  cairo_move_to(cr, 70, 104);
  cairo_curve_to(cr, 55, 10, 195, 10, 180, 104);
  cairo_curve_to(cr, 160, 116, 90, 116, 70, 104);
  auto skin = Radial(105, 40, 8, 125, 70, 70);
  AddStop(skin.get(), 0, Mix(kSkin, 0xFFFFFF, 0.45));
  AddStop(skin.get(), 0.7, kSkin);
  AddStop(skin.get(), 1, Mix(kSkin, 0x000000, 0.25));
  FillStroke(cr, skin.get(), kLine, 2.5);
  for (double x : {96.0, 150.0}) {
    Circle(cr, x, 46 + (x - 120) * 0.05, 5);
    SetRgb(cr, Mix(kSkin, 0x000000, 0.25));
    cairo_fill(cr);
  }
  Eye(cr, 106, 76, 12, 0.3, 0.2);
  Eye(cr, 144, 76, 12, 0.3, 0.2);
  for (double x : {90.0, 160.0}) {
    Ellipse(cr, x, 94, 8, 4.5);
    SetRgb(cr, 0xFF7AAA, 0.8);
    cairo_fill(cr);
  }
  cairo_move_to(cr, 116, 95);
  cairo_curve_to(cr, 120, 102, 130, 102, 134, 95);
  SetRgb(cr, kLine);
  cairo_set_line_width(cr, 2.5);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void DrawSeaScene(cairo_t* cr, double w, double h, double sand_top, double time,
                  std::uint32_t seed) {
  Rng rng(seed);
  auto water = Linear(0, 0, 0, h);
  AddStop(water.get(), 0, 0x5EC8EA);
  AddStop(water.get(), 0.55, 0x1E78B8);
  AddStop(water.get(), 1, 0x0C3A72);
  cairo_set_source(cr, water.get());
  cairo_paint(cr);
  // Light rays, slowly swinging.
  for (int i = 0; i < 5; ++i) {
    const double x = w * (0.1 + 0.2 * i) + 10 * std::sin(time * 0.7 + i);
    cairo_move_to(cr, x - w * 0.03, 0);
    cairo_line_to(cr, x + w * 0.03, 0);
    cairo_line_to(cr, x + w * 0.14, sand_top);
    cairo_line_to(cr, x + w * 0.02, sand_top);
    cairo_close_path(cr);
    auto ray = Linear(0, 0, 0, sand_top);
    AddStop(ray.get(), 0, 0xFFFFFF, 0.22);
    AddStop(ray.get(), 1, 0xFFFFFF, 0);
    cairo_set_source(cr, ray.get());
    cairo_fill(cr);
  }
  // Sand.
  cairo_move_to(cr, 0, h);
  for (double x = 0; x <= w; x += w / 16)
    cairo_line_to(cr, x, sand_top + 5 * std::sin(x / w * 7 + seed));
  cairo_line_to(cr, w, h);
  cairo_close_path(cr);
  auto sand = Linear(0, sand_top, 0, h);
  AddStop(sand.get(), 0, 0xF0D69A);
  AddStop(sand.get(), 1, 0xB8924E);
  FillStroke(cr, sand.get(), 0x8A6A30, 1);
  for (int i = 0; i < 40; ++i) {
    Circle(cr, rng.Uniform(0, w), rng.Uniform(sand_top + 6, h), rng.Uniform(0.6, 1.5));
    SetRgb(cr, 0x7A5A28, 0.5);
    cairo_fill(cr);
  }
  for (int i = 0; i < 4; ++i) {
    const double x = rng.Uniform(0, w);
    DrawKelp(cr, x, sand_top + 8, rng.Uniform(0.35, 0.6) * sand_top, 10, 10, time * 1.5 + i,
             i % 2 ? 0x2E9A48 : 0x4AAE3A);
  }
}

void DrawTitleText(cairo_t* cr, const char* text, double x, double y, double size,
                   std::uint32_t top, std::uint32_t bottom, std::uint32_t line) {
  cairo_save(cr);
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, size);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text, &extents);
  const double left = x - extents.width / 2 - extents.x_bearing;
  const double base = y - extents.height / 2 - extents.y_bearing;
  cairo_move_to(cr, left, base);
  cairo_text_path(cr, text);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  SetRgb(cr, line);
  cairo_set_line_width(cr, size * 0.16);
  cairo_stroke_preserve(cr);
  auto fill = Linear(0, y - extents.height / 2, 0, y + extents.height / 2);
  AddStop(fill.get(), 0, top);
  AddStop(fill.get(), 1, bottom);
  cairo_set_source(cr, fill.get());
  cairo_fill(cr);
  cairo_restore(cr);
}

}  // namespace gfx
