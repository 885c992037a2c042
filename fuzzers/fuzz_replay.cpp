// Replay files: the reader, on anything; and what it reads, written back, reads the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/replay_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using grumbol::game::ReadReplay;
  using grumbol::game::WriteReplay;
  const auto reading = ReadReplay({reinterpret_cast<const char*>(data), size});
  if (!reading.replay) {
    if (reading.error.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  const std::string text = WriteReplay(*reading.replay);
  const auto again = ReadReplay(text);
  if (!again.replay || WriteReplay(*again.replay) != text) std::abort();
  return 0;
}
