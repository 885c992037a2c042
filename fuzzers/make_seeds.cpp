// make_seeds DIR: writes the seed corpora DIR/bmp, DIR/wav and DIR/lines with the project's
// own writers: every BMP variant the loader knows, every WAV format it reads, and record files.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/posix/posix_file_system.h"
#include "runtime/data_files.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/wave_writer.h"

namespace {

namespace fs = std::filesystem;
using grumbol::testing::Bytes;
using grumbol::testing::Chunk;
using grumbol::testing::Le;

void Save(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// A picture of `width` x 3 pixels of `bits` bits with a table of `colours` entries.
grumbol::testing::BmpSpec Picture(int width, std::uint16_t bits, std::uint32_t compression = 0,
                                  int colours = 0) {
  grumbol::testing::BmpSpec spec;
  spec.width = width;
  spec.height = 3;
  spec.bits = bits;
  spec.compression = compression;
  for (int i = 0; i < colours; ++i)
    spec.palette.push_back(0x010203u * static_cast<std::uint32_t>(i));
  const std::size_t row_bytes = (static_cast<std::size_t>(width) * bits + 7) / 8;
  for (int y = 0; y < spec.height; ++y) {
    Bytes row(row_bytes);
    for (std::size_t x = 0; x < row_bytes; ++x) row[x] = static_cast<std::uint8_t>(x * 37 + y * 11);
    spec.rows.push_back(row);
  }
  return spec;
}

void MakeBmps(const fs::path& dir) {
  int n = 0;
  auto save = [&](const grumbol::testing::BmpSpec& spec) {
    Save(dir / ("seed" + std::to_string(n++) + ".bmp"), grumbol::testing::MakeBmp(spec));
  };
  for (int width : {1, 3, 4, 5, 9}) {
    save(Picture(width, 1, 0, 2));
    save(Picture(width, 4, 0, 16));
    save(Picture(width, 8, 0, 256));
    save(Picture(width, 8, 0, 3));
    save(Picture(width, 16));
    save(Picture(width, 24));
    save(Picture(width, 32));
  }
  // Pictures that define no pixels, odd depths and a lying info header.
  save(Picture(3, 2, 0, 4));
  save(Picture(3, 0));
  save(Picture(3, 64));
  auto lying = Picture(3, 8, 0, 4);
  lying.info_size = 0xFFFFFFF0;
  save(lying);
  // RLE4 and RLE8: runs, end of line, delta, literals with padding, end of picture.
  auto rle4 = Picture(4, 4, 2, 16);
  rle4.rows.clear();
  rle4.raw_pixels = {4, 0x12, 0, 0, 4, 0x34, 0, 1};
  save(rle4);
  const Bytes rle8_streams[] = {
      {2, 1, 0, 2, 1, 1, 1, 2, 0, 0, 0, 3, 3, 0, 1, 0xEE, 1, 2, 0, 1},
      {4, 7, 0, 0, 0, 4, 1, 2, 3, 4, 0, 0, 4, 9},
      {1, 3, 0, 1},
  };
  for (const Bytes& stream : rle8_streams) {
    auto rle8 = Picture(4, 8, 1, 8);
    rle8.rows.clear();
    rle8.raw_pixels = stream;
    save(rle8);
  }
}

void MakeWaves(const fs::path& dir) {
  using grumbol::testing::WaveSpec;
  const Bytes ms_coefficients =
      Le({256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232}, 2);
  auto ms_extra = [&](int per_block) {
    Bytes extra = Le({per_block, 7}, 2);
    extra.insert(extra.end(), ms_coefficients.begin(), ms_coefficients.end());
    return extra;
  };
  auto extensible = [](std::uint16_t sub_tag, std::uint16_t bits) {
    Bytes extra = Le({bits}, 2);
    for (auto part : {Le({3}, 4), Le({sub_tag}, 2),
                      Bytes{0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38,
                            0x9B, 0x71}}) {
      extra.insert(extra.end(), part.begin(), part.end());
    }
    return extra;
  };
  Bytes ramp(72);
  for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::uint8_t>(i * 29 + 3);
  const WaveSpec specs[] = {
      {.tag = 1, .channels = 1, .block_align = 1, .bits = 8, .samples = ramp},
      {.tag = 1, .channels = 2, .block_align = 2, .bits = 8, .samples = ramp},
      {.tag = 1, .channels = 1, .block_align = 2, .bits = 16, .samples = ramp},
      {.tag = 1,
       .channels = 2,
       .block_align = 4,
       .bits = 16,
       .between = Chunk("LIST", Bytes(10)),
       .samples = ramp},
      {.tag = 1, .channels = 1, .block_align = 3, .bits = 24, .samples = ramp},
      {.tag = 1, .channels = 2, .block_align = 6, .bits = 24, .samples = ramp},
      {.tag = 1, .channels = 1, .block_align = 4, .bits = 32, .samples = ramp},
      {.tag = 1, .channels = 2, .block_align = 8, .bits = 32, .samples = ramp},
      {.tag = 3,
       .channels = 1,
       .block_align = 4,
       .bits = 32,
       .samples = Le({0x3E800000, 0xBF000000}, 4)},
      {.tag = 3,
       .channels = 2,
       .block_align = 8,
       .bits = 32,
       .samples = Le({0x3E800000, 0xBF000000}, 4)},
      {.tag = 6, .channels = 1, .block_align = 1, .bits = 8, .samples = ramp},
      {.tag = 6, .channels = 2, .block_align = 2, .bits = 8, .samples = ramp},
      {.tag = 7, .channels = 1, .block_align = 1, .bits = 8, .samples = ramp},
      {.tag = 7, .channels = 2, .block_align = 2, .bits = 8, .samples = ramp},
      {.tag = 2, .channels = 1, .block_align = 9, .bits = 4, .extra = ms_extra(6), .samples = ramp},
      {.tag = 2,
       .channels = 2,
       .block_align = 18,
       .bits = 4,
       .extra = ms_extra(6),
       .samples = ramp},
      {.tag = 0x11,
       .channels = 1,
       .block_align = 36,
       .bits = 4,
       .extra = Le({65}, 2),
       .samples = ramp},
      {.tag = 0x11,
       .channels = 2,
       .block_align = 16,
       .bits = 4,
       .extra = Le({9}, 2),
       .samples = ramp},
      {.tag = 0xFFFE,
       .channels = 2,
       .block_align = 4,
       .bits = 16,
       .extra = extensible(1, 16),
       .samples = ramp},
      {.tag = 0xFFFE,
       .channels = 1,
       .block_align = 4,
       .bits = 32,
       .extra = extensible(3, 32),
       .samples = ramp},
  };
  int n = 0;
  for (const WaveSpec& spec : specs) {
    Save(dir / ("seed" + std::to_string(n++) + ".wav"), grumbol::testing::MakeWave(spec));
  }
}

void MakeRecordFiles(const fs::path& dir) {
  grumbol::platform::PosixFileSystem file_system;
  const std::vector<std::vector<std::string>> files = {
      {"ALICE 1200", "BOB 900", "CAROL 15"},
      {"", "x", ""},
      {std::string(5000, 'L'), "after the long line"},
      {std::string(4094, 'b'), "line across the block edge"},
  };
  int n = 0;
  for (const auto& lines : files) {
    for (bool append : {false, true}) {
      const std::string path = (dir / ("seed" + std::to_string(n++) + ".txt")).string();
      std::remove(path.c_str());
      grumbol::DataFiles data_files(file_system);
      data_files.OpenRecordFile(1, path);
      for (const std::string& line : lines) {
        if (append) {
          data_files.AppendLine(1, line);
        } else {
          data_files.WriteLine(1, line);
        }
      }
      data_files.CloseRecordFile(1);
    }
  }
  // Line ends the writers never make but players' editors do.
  const std::string odd[] = {"LF only\nsecond\n", "lone CR\rsecond\r",
                             std::string("zero\0byte\r\n", 11), "no line end at the end",
                             "CR LF\r\n\r\n\n\r"};
  for (const std::string& text : odd) {
    Save(dir / ("seed" + std::to_string(n++) + ".txt"), Bytes(text.begin(), text.end()));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  const fs::path dir = argv[1];
  for (const char* kind : {"bmp", "wav", "lines"}) fs::create_directories(dir / kind);
  MakeBmps(dir / "bmp");
  MakeWaves(dir / "wav");
  MakeRecordFiles(dir / "lines");
  return 0;
}
