#include "video/bmp_loader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tests/support/bmp_writer.h"

namespace grumbol {
namespace {

using testing::BmpSpec;
using testing::MakeBmp;
using Bytes = std::vector<std::uint8_t>;
using Values = std::vector<std::uint32_t>;

struct Screen {
  int depth;
  PixelLayout layout;
};
constexpr Screen kNoScreen{0, PixelLayout::kNone};
constexpr Screen k32{32, PixelLayout::kX8R8G8B8};
constexpr Screen k32RedLow{32, PixelLayout::kX8B8G8R8};
constexpr Screen k24{24, PixelLayout::kRgb24RedHigh};
constexpr Screen k555{16, PixelLayout::kRgb555};
constexpr Screen k565{16, PixelLayout::kRgb565};
constexpr Screen k8{8, PixelLayout::kPalette8};

std::optional<SpritePicture> Load(const Bytes& file, Screen screen, int mode = 0) {
  return DecodeSpritePicture(file, screen.depth, screen.layout, mode);
}

Values PixelValues(const Surface& s) {
  Values values;
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) values.push_back(s.PixelAt(x, y));
  }
  return values;
}

// Stored rows are given bottom row first, as in the file.
BmpSpec Picture(int width, int bits, std::vector<Bytes> rows,
                std::vector<std::uint32_t> palette = {}, std::uint32_t compression = 0) {
  BmpSpec spec;
  spec.width = width;
  spec.height = static_cast<std::int32_t>(rows.size());
  spec.bits = static_cast<std::uint16_t>(bits);
  spec.compression = compression;
  spec.rows = std::move(rows);
  spec.palette = std::move(palette);
  return spec;
}

// A 4x3 RLE8 picture; colour i is 0x0A0000 + i, so that index 0 differs from a skipped pixel.
BmpSpec Rle8(Bytes stream, int colours = 8) {
  BmpSpec spec = Picture(4, 8, {}, {}, 1);
  spec.height = 3;
  for (int i = 0; i < colours; ++i) spec.palette.push_back(0x0A0000u + i);
  spec.raw_pixels = std::move(stream);
  return spec;
}

TEST(BmpLoader, ConvertsEveryVariantForEveryScreen) {
  // Red, blue, and a colour whose low bits tell the shifts apart.
  const BmpSpec rgb24 = Picture(3, 24, {{0, 0, 255, 255, 0, 0, 0x12, 0x34, 0x56}});
  // Green 31; and bit 15, red 31, blue 1.
  const BmpSpec rgb16 = Picture(2, 16, {{0xE0, 0x03, 0x01, 0xFC}});
  const BmpSpec rgb32 = Picture(1, 32, {{0x10, 0x20, 0x30, 0x40}});
  const BmpSpec pal8 = Picture(2, 8, {{2, 0}, {1, 2}}, {0x112233, 0x445566, 0x778899});
  std::vector<std::uint32_t> grey(16);
  for (std::uint32_t i = 0; i < 16; ++i) grey[i] = i * 0x010101;
  const BmpSpec pal4 = Picture(3, 4, {{0x1F, 0x2E}}, grey);
  const BmpSpec pal1 = Picture(3, 1, {{0b10111111}}, {0xFF0000, 0x00FF00});
  // Rows padded with 0xA5 by the writer: 1, 3 and 0 padding bytes.
  const BmpSpec wide1 = Picture(1, 24, {{1, 2, 3}, {4, 5, 6}});
  const BmpSpec wide3 = Picture(3, 24, {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {9, 8, 7, 6, 5, 4, 3, 2, 1}});
  const BmpSpec wide4 = Picture(
      4, 24,
      {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24}});
  const Values wide3_pixels = {0x070809, 0x040506, 0x010203, 0x030201, 0x060504, 0x090807};
  const Values wide4_pixels = {0x0F0E0D, 0x121110, 0x151413, 0x181716,
                               0x030201, 0x060504, 0x090807, 0x0C0B0A};
  // Pixels that are not defined; colour 0 is white, so nothing may go through the table.
  auto undefined = [](int bits, std::uint32_t compression) {
    return Picture(3, bits, {Bytes(4, 0x11), Bytes(4, 0x11)}, {0xFFFFFF, 0xFFFFFF}, compression);
  };
  const Bytes escapes = {2, 1,                 // run: 1 1 at the bottom row
                         0, 2, 1, 1,           // delta to (3, 1)
                         1, 2,                 // run of one
                         0, 0,                 // end of line
                         0, 3, 3, 0, 1, 0xEE,  // three literals and their padding byte
                         1, 2,                 // run of one
                         0, 1,                 // end of picture; what follows is not read
                         5, 5};
  const std::uint32_t c = 0x0A0000;
  const Values rle = {c + 3, c + 0, c + 1, c + 2, 0, 0, 0, c + 2, c + 1, c + 1, 0, 0};
  const Bytes without_end(escapes.begin(), escapes.end() - 4);
  const Bytes colour_in_stream = {1, 3, 0, 1, 0x44, 0x55, 0x66};
  const Values stream_colour = {0, 0, 0, 0, 0, 0, 0, 0, 0x665544, 0, 0, 0};
  struct {
    const char* name;
    BmpSpec picture;
    Screen screen;
    int mode;
    int bytes_per_pixel;
    int depth;
    Values expected;
    bool alpha = false;
  } cases[] = {
      {"24 red and blue",
       Picture(2, 24, {{0, 0, 255, 255, 0, 0}}),
       k32,
       0,
       4,
       24,
       {0xFF0000, 0xFF}},
      {"24 on 32", rgb24, k32, 0, 4, 24, {0xFF0000, 0xFF, 0x563412}},
      {"24 on 32 red low", rgb24, k32RedLow, 0, 4, 24, {0xFF0000, 0xFF, 0x563412}},
      {"24 on 32 mode 1", rgb24, k32, 1, 4, 24, {0xFF0000, 0xFF, 0x563412}},
      {"24 on 32 texture", rgb24, k32, 4, 4, 24, {0xFF0000, 0xFF, 0x563412}},
      {"24 on 24", rgb24, k24, 0, 3, 24, {0xFF0000, 0xFF, 0x563412}},
      {"24 on 555", rgb24, k555, 0, 2, 24, {0x7C00, 0x1F, 0x28C2}},
      {"24 on 565", rgb24, k565, 0, 2, 24, {0xF800, 0x1F, 0x51A2}},
      {"24 alpha bit dropped", rgb24, k32, 8, 4, 24, {0xFF0000, 0xFF, 0x563412}},
      {"24 width 1", wide1, k32, 0, 4, 24, {0x060504, 0x030201}},
      {"24 width 3", wide3, k32, 0, 4, 24, wide3_pixels},
      {"24 width 4", wide4, k32, 0, 4, 24, wide4_pixels},
      {"16 on 565", rgb16, k565, 0, 2, 16, {0x07C0, 0xF801}},
      {"16 on 555", rgb16, k555, 0, 2, 16, {0x03E0, 0xFC01}},
      {"16 on 32", rgb16, k32, 0, 4, 16, {0x00F800, 0xF80008}},
      {"16 on 24", rgb16, k24, 0, 3, 16, {0x00F800, 0xF80008}},
      {"32 on 32", rgb32, k32, 0, 4, 32, {0x302010}},
      {"32 alpha", rgb32, k32, 8, 4, 32, {0x40302010}, true},
      {"32 alpha on 565", rgb32, k565, 8, 4, 32, {0x40302010}, true},
      {"32 on 24", rgb32, k24, 0, 3, 32, {0x302010}},
      {"32 on 555", rgb32, k555, 0, 2, 32, {0x1882}},
      {"8 on 32", pal8, k32, 0, 4, 24, {0x445566, 0x778899, 0x778899, 0x112233}},
      {"8 on 565", pal8, k565, 0, 2, 24, {0x42AC, 0x7453, 0x7453, 0x1106}},
      {"8 on 8", pal8, k8, 0, 1, 8, {1, 2, 2, 0}},
      {"8 plain", pal8, k32, 2, 1, -2, {1, 2, 2, 0}},
      {"8 plain before a screen", pal8, kNoScreen, 2, 1, -2, {1, 2, 2, 0}},
      {"4 on 32", pal4, k32, 0, 4, 24, {0x010101, 0x0F0F0F, 0x020202}},
      {"1 ignores its table", pal1, k32, 0, 4, 24, {0xFFFFFF, 0, 0xFFFFFF}},
      {"2 bits", undefined(2, 0), k32, 0, 4, 24, Values(6, 0)},
      {"RLE4", undefined(4, 2), k565, 0, 2, 24, Values(6, 0)},
      {"0 bits", undefined(0, 0), k24, 0, 3, 24, Values(6, 0)},
      {"0 bits on 8", undefined(0, 0), k8, 0, 1, 0, Values(6, 0)},
      {"0 bits plain", undefined(0, 0), k32, 2, 1, -2, Values(6, 0)},
      {"RLE8 escapes", Rle8(escapes), k32, 0, 4, 24, rle},
      {"RLE8 whole without its end", Rle8(without_end), k32, 0, 4, 24, rle},
      // Entry 3 lies past the two-entry table, in the stream (its unused byte past the end).
      {"RLE8 colour from the stream", Rle8(colour_in_stream, 2), k32, 0, 4, 24, stream_colour},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.name);
    const auto picture = Load(MakeBmp(t.picture), t.screen, t.mode);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->pixels.bytes_per_pixel(), t.bytes_per_pixel);
    EXPECT_EQ(picture->depth, t.depth);
    EXPECT_EQ(picture->alpha, t.alpha);
    EXPECT_EQ(picture->plain, t.mode == kSpriteModePlainMemory);
    EXPECT_EQ(PixelValues(picture->pixels), t.expected);
  }
}

TEST(BmpLoader, AcceptsOnlyDepthsItCanConvert) {
  const struct {
    int bits;
    Screen screen;
    int mode;
    bool loads;
  } cases[] = {
      {8, kNoScreen, 0, false},
      {24, kNoScreen, 0, false},
      {24, k32, 2, false},
      {16, kNoScreen, 2, false},
      {4, kNoScreen, 2, false},
      {24, k8, 0, false},
      {16, k8, 0, false},
      {4, k8, 0, false},
      {1, k8, 0, false},
      {32, k8, 8, false},
      {64, k32, 0, false},
      {8, k555, 0, true},
      {24, {15, PixelLayout::kRgb555}, 0, false},
      {24, {16, PixelLayout::kX8R8G8B8}, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.bits << " bits on " << c.screen.depth << "/"
                                      << static_cast<int>(c.screen.layout) << " mode " << c.mode);
    const BmpSpec spec = Picture(1, c.bits, {Bytes(8, 1)}, {0xFFFFFF, 0x808080});
    EXPECT_EQ(Load(MakeBmp(spec), c.screen, c.mode).has_value(), c.loads);
  }
  Bytes not_a_bitmap = MakeBmp(Picture(1, 24, {{1, 2, 3}}));
  not_a_bitmap[1] = 'A';
  EXPECT_FALSE(Load(not_a_bitmap, k32).has_value());
}

TEST(BmpLoader, RefusesMalformedFiles) {
  auto with = [](auto change) {
    BmpSpec spec = Picture(2, 8, {{0, 1}}, {0xFFFFFF, 0x808080});
    change(spec);
    return MakeBmp(spec);
  };
  const struct {
    const char* name;
    Bytes file;
  } cases[] = {
      {"top-down", with([](BmpSpec& s) { s.height = -1; })},
      {"no rows", with([](BmpSpec& s) { s.height = 0; })},
      {"no columns", with([](BmpSpec& s) { s.width = 0; })},
      {"negative width", with([](BmpSpec& s) { s.width = -2; })},
      {"huge width", with([](BmpSpec& s) { s.width = 0x7FFFFFFF; })},
      {"huge height", with([](BmpSpec& s) { s.height = 0x7FFFFFFF; })},
      {"too many bytes", with([](BmpSpec& s) { s.width = s.height = 32767; })},
      {"offset past the end", with([](BmpSpec& s) { s.pixel_offset = 0xFFFFFFF0; })},
      {"offset at the end", with([](BmpSpec& s) { s.pixel_offset = 64; })},
      {"table past the end", with([](BmpSpec& s) { s.declared_info_size = 0xFFFFFFF0; })},
      {"RLE8 run past the row", MakeBmp(Rle8({3, 1, 2, 1, 0, 1}))},
      {"RLE8 literal past the row", MakeBmp(Rle8({0, 5, 1, 1, 1, 1, 1, 0, 0, 1}))},
      {"RLE8 delta past the row", MakeBmp(Rle8({0, 2, 5, 0, 0, 1}))},
      {"RLE8 delta past the picture", MakeBmp(Rle8({0, 2, 0, 3, 0, 1}))},
      {"RLE8 run above the top row", MakeBmp(Rle8({0, 0, 0, 0, 0, 0, 1, 1, 0, 1}))},
      {"RLE8 cut in a run", MakeBmp(Rle8({4, 1, 0, 0, 4}))},
      {"RLE8 cut in a delta", MakeBmp(Rle8({0, 2, 1}))},
      {"RLE8 cut in a literal", MakeBmp(Rle8({0, 4, 1, 2}))},
      {"RLE8 ends before the picture is whole", MakeBmp(Rle8({4, 1, 0, 0, 4, 1}))},
      {"RLE8 colour past the data", MakeBmp(Rle8({1, 255, 0, 1}))},
  };
  for (const auto& c : cases) EXPECT_FALSE(Load(c.file, k32).has_value()) << c.name;
  // A 1-bit picture never needs its table.
  BmpSpec spec = Picture(2, 1, {{0x80}});
  spec.declared_info_size = 0xFFFFFFF0;
  EXPECT_TRUE(Load(MakeBmp(spec), k32).has_value());
}

TEST(BmpLoader, RefusesEveryTruncation) {
  // Widths whose last row has no padding, so that every byte is needed.
  const BmpSpec files[] = {
      Picture(32, 1, {Bytes(4, 0x5A), Bytes(4, 0xA5)}),
      Picture(8, 4, {Bytes(4, 0x12), Bytes(4, 0x01)}, {0xFF, 0xFF00, 0xFF0000}),
      Picture(4, 8, {{0, 1, 1, 0}, {1, 1, 0, 0}}, {0xFF, 0xFF00}),
      Picture(2, 16, {Bytes(4, 1), Bytes(4, 2)}),
      Picture(4, 24, {Bytes(12, 1), Bytes(12, 2)}),
      Picture(3, 32, {Bytes(12, 1), Bytes(12, 2)}),
      Rle8({4, 1, 0, 0, 4, 2, 0, 0, 2, 3, 0, 1}, 4),
  };
  for (const BmpSpec& spec : files) {
    const Bytes file = MakeBmp(spec);
    ASSERT_TRUE(Load(file, k32).has_value()) << spec.bits;
    for (std::size_t size = 0; size < file.size(); ++size) {
      const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
      EXPECT_FALSE(Load(cut, k32).has_value()) << spec.bits << " bits, " << size;
      EXPECT_FALSE(Load(cut, k8).has_value()) << spec.bits << " bits, " << size;
      EXPECT_FALSE(Load(cut, kNoScreen, kSpriteModePlainMemory).has_value()) << size;
    }
  }
}

// The loading rules written out pixel by pixel for a 32-bit screen, with no fast paths:
// pictures of 8 bits or fewer are expanded into a 24-bit bottom-up buffer, then every pixel is
// converted. Reads go through at(), so a fault here throws instead of reading wildly. Only for
// well-formed files.
std::optional<Surface> Reference32(const Bytes& f, int mode) {
  auto u32 = [&](std::size_t at) {
    return std::uint32_t{f.at(at)} | std::uint32_t{f.at(at + 1)} << 8 |
           std::uint32_t{f.at(at + 2)} << 16 | std::uint32_t{f.at(at + 3)} << 24;
  };
  const int width = static_cast<std::int32_t>(u32(18));
  const int height = static_cast<std::int32_t>(u32(22));
  int bits = f.at(28) | f.at(29) << 8;
  const std::uint32_t compression = u32(30);
  const bool alpha = (mode & 8) != 0 && bits == 32;
  if (height <= 0 || !Surface::SizeIsValid(width, height, 4)) return std::nullopt;
  const std::size_t table = 14 + u32(14);
  std::size_t start = u32(10);
  auto stride = [&] { return static_cast<std::size_t>((width * bits + 31) / 32 * 4); };
  const Bytes* src = &f;
  Bytes expanded;
  if (bits <= 8) {
    const std::size_t row = static_cast<std::size_t>((3 * width + 3) / 4 * 4);
    expanded.assign(row * height, 0);
    auto put = [&](int x, int y, int index) {
      for (int c = 0; c < 3; ++c) {
        expanded.at(y * row + 3 * x + c) =
            bits == 1 ? (index ? 255 : 0) : f.at(table + 4 * index + c);
      }
    };
    if (bits == 8 && compression == 1) {
      std::size_t at = start;
      for (int x = 0, y = 0;;) {
        const int n = f.at(at), c = f.at(at + 1);
        at += 2;
        if (n > 0) {
          for (int i = 0; i < n; ++i) put(x++, y, c);
        } else if (c == 0) {
          x = 0, ++y;
        } else if (c == 1) {
          break;
        } else if (c == 2) {
          x += f.at(at), y += f.at(at + 1), at += 2;
        } else {
          for (int i = 0; i < c; ++i) put(x++, y, f.at(at + i));
          at += c + c % 2;
        }
      }
    } else if (bits == 1 || bits == 8 || (bits == 4 && compression != 2)) {
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
          const int bit = x * bits;
          const int byte = f.at(start + y * stride() + bit / 8);
          put(x, y, (byte >> (8 - bits - bit % 8)) & ((1 << bits) - 1));
        }
      }
    }
    src = &expanded, start = 0, bits = 24;
  }
  Surface out(width, height, 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::size_t at = start + y * stride() + x * bits / 8;
      std::uint32_t b, g, r, a = 0;
      if (bits == 16) {
        const std::uint32_t v = src->at(at) | src->at(at + 1) << 8;
        b = (v & 31) << 3, g = ((v >> 5) & 31) << 3, r = ((v >> 10) & 31) << 3;
      } else {
        b = src->at(at), g = src->at(at + 1), r = src->at(at + 2);
        if (alpha) a = src->at(at + 3);
      }
      out.SetPixel(x, height - 1 - y, b | g << 8 | r << 16 | a << 24);
    }
  }
  return out;
}

std::vector<std::pair<std::string, Bytes>> SuiteFiles(const std::string& folder) {
  std::vector<std::pair<std::string, Bytes>> files;
  const std::filesystem::path dir =
      std::filesystem::path(GRUMBOL_TESTDATA_DIR) / "bmpsuite" / folder;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    files.emplace_back(folder + "/" + entry.path().filename().string(),
                       Bytes(std::istreambuf_iterator<char>(in), {}));
  }
  return files;
}

TEST(BmpLoader, SuitePicturesLoadAsTheRulesSay) {
  int loaded = 0;
  for (const auto& [name, file] : SuiteFiles("g")) {
    for (int mode : {0, kSpriteModeAlphaBit}) {
      SCOPED_TRACE(::testing::Message() << name << " mode " << mode);
      const auto expected = Reference32(file, mode);
      const auto picture = Load(file, k32, mode);
      ASSERT_EQ(picture.has_value(), expected.has_value());
      if (!picture) continue;
      ++loaded;
      const Surface& got = picture->pixels;
      EXPECT_TRUE(std::equal(got.data(), got.data() + got.size_bytes(), expected->data(),
                             expected->data() + expected->size_bytes()));
    }
  }
  EXPECT_GE(loaded, 2 * 20);
}

// Run under the sanitizers, this is what shows that no file reads or writes out of bounds.
// On the game's screen files fail only for top-down rows, sizes beyond a surface's, bit counts
// with no conversion, and rows or RLE8 instructions past the data or the picture.
TEST(BmpLoader, EverySuiteFileLoadsOrFailsCleanly) {
  const std::set<std::string> failing = {
      "g/pal8os2.bmp",   "g/pal8topdown.bmp", "q/pal8os2-hs.bmp", "q/pal8os2-sz.bmp",
      "q/pal8os2sp.bmp", "q/rgb24rle24.bmp",  "q/rgba64.bmp",     "b/badbitcount.bmp",
      "b/badrle.bmp",    "b/badrlebis.bmp",   "b/badrleter.bmp",  "b/badwidth.bmp",
      "b/reallybig.bmp", "b/rletopdown.bmp",  "b/shortfile.bmp"};
  for (const char* folder : {"g", "q", "b"}) {
    for (const auto& [name, file] : SuiteFiles(folder)) {
      EXPECT_EQ(Load(file, k32).has_value(), !failing.contains(name)) << name;
      for (Screen screen : {kNoScreen, k8, k555, k565, k24}) {
        for (int mode : {0, kSpriteModePlainMemory, kSpriteModeAlphaBit}) Load(file, screen, mode);
      }
    }
  }
}

}  // namespace
}  // namespace grumbol
