#include "runtime/text.h"

#include <cstring>

namespace grumbol {

namespace {

constexpr std::size_t kInitialCapacity = 16;
constexpr std::size_t kGrowthHeadroom = 16384;
constexpr std::size_t kSpareBytes = 5;
constexpr std::size_t kMaxIntTextLength = 11;  // "-2147483648"

// Writes the decimal text of value into out; returns its length.
std::size_t FormatInt(std::int32_t value, char (&out)[kMaxIntTextLength]) {
  // Work on the magnitude as unsigned, so -2147483648 needs no special negation.
  std::uint32_t magnitude =
      value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  char digits[10];
  std::size_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  std::size_t length = 0;
  if (value < 0) out[length++] = '-';
  while (count > 0) out[length++] = digits[--count];
  return length;
}

}  // namespace

Colour MakeColour(std::int32_t red, std::int32_t green, std::int32_t blue) {
  return static_cast<std::uint32_t>(red) + static_cast<std::uint32_t>(green) * 256u +
         static_cast<std::uint32_t>(blue) * 65536u;
}

std::string IntToText(std::int32_t value) {
  char text[kMaxIntTextLength];
  return std::string(text, FormatInt(value, text));
}

int TextEquals(std::string_view a, std::string_view b) { return a == b ? 1 : 0; }

int TextEquals(const char* a, const char* b) {
  return TextEquals(std::string_view(a ? a : ""), std::string_view(b ? b : ""));
}

ScratchText::ScratchText() : bytes_(kInitialCapacity), capacity_(kInitialCapacity) {}

void ScratchText::Append(std::string_view piece) {
  const std::size_t new_length = length_ + piece.size();
  if (new_length + 4 >= capacity_) {
    // The piece may be a view into this very buffer (a text built earlier): keep its place.
    const char* base = bytes_.data();
    const bool inside = piece.data() >= base && piece.data() < base + bytes_.size();
    const std::size_t offset = inside ? static_cast<std::size_t>(piece.data() - base) : 0;
    capacity_ = new_length + kGrowthHeadroom;
    bytes_.resize(capacity_ + kSpareBytes);
    if (inside) piece = std::string_view(bytes_.data() + offset, piece.size());
  }
  if (!piece.empty()) std::memcpy(bytes_.data() + length_, piece.data(), piece.size());
  length_ = new_length;
}

ScratchText::Expression& ScratchText::Expression::operator<<(std::string_view piece) {
  scratch_.Append(piece);
  return *this;
}

ScratchText::Expression& ScratchText::Expression::operator<<(std::int32_t value) {
  char text[kMaxIntTextLength];
  scratch_.Append(std::string_view(text, FormatInt(value, text)));
  return *this;
}

std::string_view ScratchText::Expression::View() const {
  return std::string_view(scratch_.bytes_.data() + start_, scratch_.length_ - start_);
}

}  // namespace grumbol
