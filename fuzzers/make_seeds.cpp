// make_seeds DIR: writes the seed corpora DIR/wav and DIR/lines: every WAV format the reader
// knows, with the project's own writer, and record files. (fuzz_bmp starts from the BMP suite.)
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

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

// Record files as the writers leave them (CR LF after each line; long lines and one across the
// 4096-byte block edge), and line ends the writers never make but players' editors do.
void MakeRecordFiles(const fs::path& dir) {
  for (const std::string& text :
       {"ALICE 1200\r\nBOB 900\r\nCAROL 15\r\n"s, "\r\nx\r\n\r\n"s,
        std::string(5000, 'L') + "\r\nafter the long line\r\n",
        std::string(4094, 'b') + "\r\nline across the block edge\r\n", "LF only\nsecond\n"s,
        "lone CR\rsecond\r"s, "zero\0byte\r\n"s, "no line end at the end"s, "CR LF\r\n\r\n\n\r"s})
    Save(dir, text);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  const fs::path dir = argv[1];
  for (const char* kind : {"wav", "lines"}) fs::create_directories(dir / kind);
  MakeWaves(dir / "wav");
  MakeRecordFiles(dir / "lines");
  return 0;
}
