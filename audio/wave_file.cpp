#include "audio/wave_file.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace grumbol {

namespace {

using platform::SampleEncoding;

constexpr std::uint16_t kTagPcm = 1;
constexpr std::uint16_t kTagMsAdpcm = 2;
constexpr std::uint16_t kTagFloat = 3;
constexpr std::uint16_t kTagAlaw = 6;
constexpr std::uint16_t kTagMulaw = 7;
constexpr std::uint16_t kTagImaAdpcm = 0x11;
constexpr std::uint16_t kTagExtensible = 0xFFFE;

// Rates above this are no sound effects; the bound keeps the arithmetic small.
constexpr std::uint32_t kMaxRate = 1'000'000;

std::uint16_t U16(std::span<const std::uint8_t> d, std::size_t at) {
  return static_cast<std::uint16_t>(d[at] | (d[at + 1] << 8));
}
std::int16_t S16(std::span<const std::uint8_t> d, std::size_t at) {
  return static_cast<std::int16_t>(U16(d, at));
}
std::uint32_t U32(std::span<const std::uint8_t> d, std::size_t at) {
  return static_cast<std::uint32_t>(U16(d, at)) |
         (static_cast<std::uint32_t>(U16(d, at + 2)) << 16);
}
bool IdAt(std::span<const std::uint8_t> d, std::size_t at, const char (&id)[5]) {
  return std::memcmp(d.data() + at, id, 4) == 0;
}

struct WaveParts {
  std::span<const std::uint8_t> format;
  std::span<const std::uint8_t> samples;
};

std::optional<WaveParts> WalkRiff(std::span<const std::uint8_t> data) {
  if (data.size() < 20 || !IdAt(data, 0, "RIFF") || !IdAt(data, 12, "fmt ")) return std::nullopt;
  const std::uint64_t size = data.size();
  const std::uint64_t format_size = U32(data, 16);
  // 64-bit positions: 32-bit chunk sizes cannot wrap them round to an earlier chunk.
  std::uint64_t at = 20 + format_size;
  if (at > size) return std::nullopt;
  WaveParts parts;
  parts.format = data.subspan(20, format_size);
  for (;;) {
    if (at + 8 > size) return std::nullopt;
    const std::uint64_t chunk_size = U32(data, at + 4);
    if (IdAt(data, at, "data")) {
      if (at + 8 + chunk_size > size) return std::nullopt;
      parts.samples = data.subspan(at + 8, chunk_size);
      return parts;
    }
    at += 8 + chunk_size;
  }
}

struct WaveFormat {
  std::uint16_t tag = 0;
  std::uint16_t channels = 0;
  std::uint32_t rate = 0;
  std::uint16_t block_align = 0;
  std::uint16_t bits = 0;
  std::span<const std::uint8_t> record;
};

std::optional<WaveFormat> ParseFormat(std::span<const std::uint8_t> record) {
  if (record.size() < 16) return std::nullopt;
  WaveFormat f{U16(record, 0),  U16(record, 2),  U32(record, 4),
               U16(record, 12), U16(record, 14), record};
  if (f.tag == kTagExtensible) {
    // The sub-format GUID is a plain format tag followed by this fixed tail.
    static constexpr std::uint8_t kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                   0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    if (record.size() < 40 || U16(record, 16) < 22 ||
        std::memcmp(record.data() + 26, kGuidTail, sizeof kGuidTail) != 0) {
      return std::nullopt;
    }
    f.tag = U16(record, 24);
    if (f.tag != kTagPcm && f.tag != kTagFloat) return std::nullopt;
  }
  if ((f.channels != 1 && f.channels != 2) || f.rate == 0 || f.rate > kMaxRate) {
    return std::nullopt;
  }
  return f;
}

// Interleaved samples of `unit` bytes each, cut to whole frames and made stereo.
std::optional<DeviceSound> Stereo(SampleEncoding encoding, int rate, int channels, std::size_t unit,
                                  std::span<const std::uint8_t> samples) {
  const std::size_t frame = unit * static_cast<std::size_t>(channels);
  const std::size_t frames = samples.size() / frame;
  if (frames == 0) return std::nullopt;
  DeviceSound sound{encoding, rate, 0, {}};
  if (channels == 2) {
    sound.bytes.assign(samples.begin(),
                       samples.begin() + static_cast<std::ptrdiff_t>(frames * frame));
    return sound;
  }
  sound.bytes.resize(frames * unit * 2);
  for (std::size_t i = 0; i < frames; ++i) {
    const std::uint8_t* sample = samples.data() + i * unit;
    std::memcpy(&sound.bytes[2 * i * unit], sample, unit);
    std::memcpy(&sound.bytes[(2 * i + 1) * unit], sample, unit);
  }
  return sound;
}

template <typename T>
std::span<const std::uint8_t> AsBytes(const std::vector<T>& values) {
  return {reinterpret_cast<const std::uint8_t*>(values.data()), values.size() * sizeof(T)};
}

// 24- and 32-bit integer samples as floats, which keep their resolution.
std::optional<DeviceSound> WideIntegerToFloat(const WaveFormat& f,
                                              std::span<const std::uint8_t> samples) {
  const std::size_t unit = f.bits / 8;
  std::vector<float> out(samples.size() / (unit * f.channels) * f.channels);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const std::size_t at = i * unit;
    std::uint32_t raw = static_cast<std::uint32_t>(samples[at + unit - 3]) << 8 |
                        static_cast<std::uint32_t>(samples[at + unit - 2]) << 16 |
                        static_cast<std::uint32_t>(samples[at + unit - 1]) << 24;
    if (unit == 4) raw |= samples[at];
    out[i] = static_cast<float>(static_cast<std::int32_t>(raw) / 2147483648.0);
  }
  return Stereo(SampleEncoding::kFloat32, static_cast<int>(f.rate), f.channels, sizeof(float),
                AsBytes(out));
}

constexpr std::array<std::array<std::int16_t, 2>, 7> kMsAdpcmCoefficients = {
    {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}}};

// Handed to the device as it is, except that a mono block becomes a stereo block carrying
// the same samples on both channels.
std::optional<DeviceSound> MsAdpcm(const WaveFormat& f, std::span<const std::uint8_t> samples) {
  const auto& r = f.record;
  if (f.bits != 4 || r.size() < 22 + 4 * kMsAdpcmCoefficients.size() || U16(r, 16) < 32 ||
      U16(r, 20) != kMsAdpcmCoefficients.size()) {
    return std::nullopt;
  }
  // The device knows only the standard coefficients.
  for (std::size_t i = 0; i < kMsAdpcmCoefficients.size(); ++i) {
    if (S16(r, 22 + 4 * i) != kMsAdpcmCoefficients[i][0] ||
        S16(r, 24 + 4 * i) != kMsAdpcmCoefficients[i][1]) {
      return std::nullopt;
    }
  }
  // The device works out the block size from the frames per block, so the two must agree.
  const int per_block = U16(r, 18);
  if (per_block < 2 || per_block % 2 != 0 ||
      ((per_block - 2) / 2 + 7) * f.channels != f.block_align) {
    return std::nullopt;
  }
  const std::size_t block = f.block_align;
  const std::size_t blocks = samples.size() / block;
  if (blocks == 0) return std::nullopt;
  DeviceSound sound{SampleEncoding::kMsAdpcm, static_cast<int>(f.rate), per_block, {}};
  if (f.channels == 2) {
    sound.bytes.assign(samples.begin(),
                       samples.begin() + static_cast<std::ptrdiff_t>(blocks * block));
    return sound;
  }
  sound.bytes.reserve(blocks * block * 2);
  for (std::size_t b = 0; b < blocks; ++b) {
    const std::uint8_t* in = samples.data() + b * block;
    sound.bytes.insert(sound.bytes.end(), {in[0], in[0]});  // predictor
    for (int field = 0; field < 3; ++field) {               // delta, sample 1, sample 2
      const std::uint8_t* v = in + 1 + 2 * field;
      sound.bytes.insert(sound.bytes.end(), {v[0], v[1], v[0], v[1]});
    }
    // Two mono samples per byte, high nibble first; a stereo byte holds left high, right low.
    for (std::size_t i = 7; i < block; ++i) {
      const std::uint8_t high = in[i] >> 4;
      const std::uint8_t low = in[i] & 0x0F;
      sound.bytes.push_back(static_cast<std::uint8_t>(high << 4 | high));
      sound.bytes.push_back(static_cast<std::uint8_t>(low << 4 | low));
    }
  }
  return sound;
}

constexpr std::array<std::int16_t, 89> kImaSteps = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

struct ImaChannel {
  int predictor;
  int index;
  std::int16_t Next(int nibble) {
    const int step = kImaSteps[static_cast<std::size_t>(index)];
    int diff = step >> 3;
    if (nibble & 4) diff += step;
    if (nibble & 2) diff += step >> 1;
    if (nibble & 1) diff += step >> 2;
    predictor = std::clamp(nibble & 8 ? predictor - diff : predictor + diff, -32768, 32767);
    static constexpr int kIndexMoves[8] = {-1, -1, -1, -1, 2, 4, 6, 8};
    index = std::clamp(index + kIndexMoves[nibble & 7], 0, 88);
    return static_cast<std::int16_t>(predictor);
  }
};

// Decoded here: the device's own IMA decoder gets these blocks wrong.
std::optional<DeviceSound> ImaAdpcm(const WaveFormat& f, std::span<const std::uint8_t> samples) {
  const std::size_t channels = f.channels;
  const std::size_t block = f.block_align;
  if (f.bits != 4 || f.record.size() < 20 || block <= 4 * channels || block % (4 * channels) != 0) {
    return std::nullopt;
  }
  // Each channel: a 4-byte header holding the first sample, then 8 samples per 4 bytes.
  const std::size_t most_per_block = (block - 4 * channels) * 2 / channels + 1;
  const std::size_t per_block = U16(f.record, 18);
  if (per_block == 0 || per_block > most_per_block) return std::nullopt;
  const std::size_t blocks = samples.size() / block;
  std::vector<std::int16_t> out(blocks * per_block * channels);
  for (std::size_t b = 0; b < blocks; ++b) {
    const auto in = samples.subspan(b * block, block);
    std::int16_t* frames = out.data() + b * per_block * channels;
    for (std::size_t c = 0; c < channels; ++c) {
      ImaChannel state{S16(in, 4 * c), std::min<int>(in[4 * c + 2], 88)};
      frames[c] = static_cast<std::int16_t>(state.predictor);
      for (std::size_t n = 1; n < per_block; ++n) {
        // Sample n of this channel: its 4-byte words alternate between channels.
        const std::size_t k = n - 1;
        const std::size_t at = 4 * channels + (k / 8) * 4 * channels + 4 * c + (k % 8) / 2;
        const int nibble = k % 2 == 0 ? in[at] & 0x0F : in[at] >> 4;
        frames[n * channels + c] = state.Next(nibble);
      }
    }
  }
  if (out.empty()) return std::nullopt;
  const std::span<const std::uint8_t> bytes{reinterpret_cast<const std::uint8_t*>(out.data()),
                                            out.size() * sizeof out[0]};
  return Stereo(SampleEncoding::kSigned16, static_cast<int>(f.rate), f.channels, 2, bytes);
}

}  // namespace

bool HasRiffSignature(std::span<const std::uint8_t> data) {
  return data.size() >= 4 && IdAt(data, 0, "RIFF");
}

std::optional<DeviceSound> ReadWaveSound(std::span<const std::uint8_t> data) {
  const auto parts = WalkRiff(data);
  if (!parts) return std::nullopt;
  const auto f = ParseFormat(parts->format);
  if (!f) return std::nullopt;
  const auto rate = static_cast<int>(f->rate);
  const auto plain = [&](SampleEncoding encoding,
                         std::uint16_t bits) -> std::optional<DeviceSound> {
    if (f->bits != bits || f->block_align != f->channels * bits / 8) return std::nullopt;
    return Stereo(encoding, rate, f->channels, bits / 8, parts->samples);
  };
  switch (f->tag) {
    case kTagPcm:
      if (f->bits == 8) return plain(SampleEncoding::kUnsigned8, 8);
      if (f->bits == 16) return plain(SampleEncoding::kSigned16, 16);
      if ((f->bits == 24 || f->bits == 32) && f->block_align == f->channels * f->bits / 8) {
        return WideIntegerToFloat(*f, parts->samples);
      }
      return std::nullopt;
    case kTagFloat: return plain(SampleEncoding::kFloat32, 32);
    case kTagMulaw: return plain(SampleEncoding::kMulaw, 8);
    case kTagAlaw: return plain(SampleEncoding::kAlaw, 8);
    case kTagMsAdpcm: return MsAdpcm(*f, parts->samples);
    case kTagImaAdpcm: return ImaAdpcm(*f, parts->samples);
    default: return std::nullopt;
  }
}

}  // namespace grumbol
