#pragma once

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace grumbol {

// A colour as red + green * 256 + blue * 65536 (red in the lowest byte).
using Colour = std::uint32_t;

// red + green * 256 + blue * 65536, modulo 2^32: components are added, so a component
// outside 0..255 carries into its neighbour.
Colour MakeColour(std::int32_t red, std::int32_t green, std::int32_t blue);

// Decimal text of a 32-bit value: leading "-" for negatives, no plus sign, no leading
// zeros, no grouping.
std::string IntToText(std::int32_t value);

// 1 when both texts hold the same bytes, 0 otherwise. Case-sensitive. A missing (null)
// text equals the empty text.
int TextEquals(std::string_view a, std::string_view b);
int TextEquals(const char* a, const char* b);

// The first line of `text`, without its '\n' (all of `text` when it has none), taken off
// `text` with its '\n'.
inline std::string_view TakeLine(std::string_view& text) {
  const std::size_t end = std::min(text.find('\n'), text.size());
  const std::string_view line = text.substr(0, end);
  text.remove_prefix(std::min(end + 1, text.size()));
  return line;
}

// A whole decimal number in [low, high], nothing before or after it.
template <typename Number>
std::optional<Number> ParseNumber(std::string_view text,
                                  Number low = std::numeric_limits<Number>::lowest(),
                                  Number high = std::numeric_limits<Number>::max()) {
  Number value{};
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || value < low || value > high)
    return std::nullopt;
  return value;
}

// One reusable buffer in which texts are joined, so that the texts built every frame cost
// no allocation once the buffer has grown. An Expression appends at the end and gives the
// space back when it ends, so nested and consecutive expressions share the buffer.
class ScratchText {
 public:
  class Expression {
   public:
    ~Expression() { scratch_.length_ = start_; }
    Expression(const Expression&) = delete;
    Expression& operator=(const Expression&) = delete;

    Expression& operator<<(std::string_view piece);
    Expression& operator<<(std::int32_t value);  // its IntToText

    // The text built so far; valid until the next append to the buffer.
    std::string_view View() const;
    // A copy of the text built so far, as assigned to a string variable.
    std::string Copy() const { return std::string(View()); }

   private:
    friend class ScratchText;
    explicit Expression(ScratchText& scratch) : scratch_(scratch), start_(scratch.length_) {}
    ScratchText& scratch_;
    std::size_t start_;
  };

  ScratchText();
  ScratchText(const ScratchText&) = delete;
  ScratchText& operator=(const ScratchText&) = delete;

  Expression Begin() { return Expression(*this); }

  std::size_t Length() const { return length_; }
  std::size_t Capacity() const { return capacity_; }

 private:
  void Append(std::string_view piece);

  std::vector<char> bytes_;
  std::size_t capacity_;
  std::size_t length_ = 0;
};

}  // namespace grumbol
