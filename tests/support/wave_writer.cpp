#include "tests/support/wave_writer.h"

namespace grumbol::testing {

Bytes Le(std::initializer_list<std::int64_t> values, int bytes) {
  Bytes out;
  for (std::int64_t v : values) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  return out;
}

Bytes Chunk(const char* id, const Bytes& data) {
  Bytes out(id, id + 4);
  const Bytes size = Le({std::int64_t(data.size())}, 4);
  out.insert(out.end(), size.begin(), size.end());
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

Bytes Riff(std::initializer_list<Bytes> chunks) {
  Bytes body{'W', 'A', 'V', 'E'};
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  return Chunk("RIFF", body);
}

Bytes MakeWave(const WaveShape& s) {
  Bytes format;
  for (const Bytes& part :
       {Le({s.tag, s.channels}, 2), Le({s.rate, s.rate * s.block_align}, 4),
        Le({s.block_align, s.bits}, 2),
        s.extra.empty() ? Bytes{} : Le({std::int64_t(s.extra.size())}, 2), s.extra}) {
    format.insert(format.end(), part.begin(), part.end());
  }
  return Riff({Chunk("fmt ", format), s.between, Chunk("data", s.samples)});
}

}  // namespace grumbol::testing
