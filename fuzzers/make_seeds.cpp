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
using namespace grumbol::testing;
using namespace std::string_literals;

// The next seed file's name in `dir`: seedN.KIND, where KIND is the folder's name.
std::string Next(const fs::path& dir) {
  static int n = 0;
  return (dir / ("seed" + std::to_string(n++) + "." + dir.filename().string())).string();
}
template <typename Content>  // a string or Bytes
void Save(const fs::path& dir, const Content& bytes) {
  std::ofstream(Next(dir), std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// A picture of `width` x 3 pixels of `bits` bits with a table of `colours` entries; an RLE
// picture gets `stream` as its pixels instead of rows.
BmpShape Picture(int width, std::uint16_t bits, std::uint32_t compression = 0, int colours = 0,
                 const Bytes& stream = {}) {
  BmpShape shape{.width = width, .height = 3, .bits = bits, .compression = compression};
  for (int i = 0; i < colours; ++i)
    shape.palette.push_back(0x010203u * static_cast<std::uint32_t>(i));
  const std::size_t row_bytes = (static_cast<std::size_t>(width) * bits + 7) / 8;
  for (int y = 0; y < shape.height && compression == 0; ++y) {
    Bytes row(row_bytes);
    for (std::size_t x = 0; x < row_bytes; ++x) row[x] = static_cast<std::uint8_t>(x * 37 + y * 11);
    shape.rows.push_back(row);
  }
  shape.raw_pixels = stream;
  return shape;
}

void MakeBmps(const fs::path& dir) {
  for (int width : {1, 3, 4, 5, 9})
    for (auto [bits, colours] :
         {std::pair{1, 2}, {4, 16}, {8, 256}, {8, 3}, {16, 0}, {24, 0}, {32, 0}})
      Save(dir, MakeBmp(Picture(width, static_cast<std::uint16_t>(bits), 0, colours)));
  // Pictures that define no pixels, odd depths and a lying info header.
  BmpShape lying = Picture(3, 8, 0, 4);
  lying.info_size = 0xFFFFFFF0;
  for (const BmpShape& shape : {Picture(3, 2, 0, 4), Picture(3, 0), Picture(3, 64), lying})
    Save(dir, MakeBmp(shape));
  // RLE4 and RLE8: runs, end of line, delta, literals with padding, end of picture.
  Save(dir, MakeBmp(Picture(4, 4, 2, 16, {4, 0x12, 0, 0, 4, 0x34, 0, 1})));
  for (const Bytes& stream : {Bytes{2, 1, 0, 2, 1, 1, 1, 2, 0, 0, 0, 3, 3, 0, 1, 0xEE, 1, 2, 0, 1},
                              Bytes{4, 7, 0, 0, 0, 4, 1, 2, 3, 4, 0, 0, 4, 9}, Bytes{1, 3, 0, 1}})
    Save(dir, MakeBmp(Picture(4, 8, 1, 8, stream)));
}

void MakeWaves(const fs::path& dir) {
  const Bytes ms_extra =  // samples per block, then the seven coefficient pairs
      Le({6, 7, 256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232}, 2);
  // Valid bits, channel mask, then the sub-format's GUID.
  auto extensible = [](int sub_tag, int bits) {
    return Le({bits, 3, 0, sub_tag, 0, 0, 0x10, 0x80, 0xAA00, 0x3800, 0x719B}, 2);
  };
  Bytes ramp(72);
  for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::uint8_t>(i * 29 + 3);
  const Bytes floats = Le({0x3E800000, 0xBF000000}, 4);
  auto wave = [&](int tag, int channels, int block_align, int bits, const Bytes& extra = {},
                  const Bytes& between = {}) {
    const auto u16 = [](int v) { return static_cast<std::uint16_t>(v); };
    Save(dir, MakeWave({u16(tag), u16(channels), 22050, u16(block_align), u16(bits), extra, between,
                        tag == 3 ? floats : ramp}));
  };
  // Plain samples in every depth, mono and stereo; one with a chunk before the data.
  for (auto [tag, bits] : {std::pair{1, 8}, {1, 16}, {1, 24}, {1, 32}, {3, 32}, {6, 8}, {7, 8}})
    for (int channels : {1, 2}) wave(tag, channels, channels * bits / 8, bits);
  wave(1, 2, 4, 16, {}, Chunk("LIST", Bytes(10)));
  // Compressed: MS ADPCM, IMA ADPCM; and the extensible format's PCM and float.
  wave(2, 1, 9, 4, ms_extra);
  wave(2, 2, 18, 4, ms_extra);
  wave(0x11, 1, 36, 4, Le({65}, 2));
  wave(0x11, 2, 16, 4, Le({9}, 2));
  wave(0xFFFE, 2, 4, 16, extensible(1, 16));
  wave(0xFFFE, 1, 4, 32, extensible(3, 32));
}

void MakeRecordFiles(const fs::path& dir) {
  grumbol::platform::PosixFileSystem file_system;
  for (const std::vector<std::string>& lines :
       {std::vector<std::string>{"ALICE 1200", "BOB 900", "CAROL 15"},
        {"", "x", ""},
        {std::string(5000, 'L'), "after the long line"},
        {std::string(4094, 'b'), "line across the block edge"}}) {
    for (bool append : {false, true}) {
      grumbol::DataFiles data_files(file_system);
      data_files.OpenRecordFile(1, Next(dir));
      for (const std::string& line : lines)
        append ? data_files.AppendLine(1, line) : data_files.WriteLine(1, line);
      data_files.EndFiles();
    }
  }
  // Line ends the writers never make but players' editors do.
  for (const std::string& text : {"LF only\nsecond\n"s, "lone CR\rsecond\r"s, "zero\0byte\r\n"s,
                                  "no line end at the end"s, "CR LF\r\n\r\n\n\r"s})
    Save(dir, text);
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
