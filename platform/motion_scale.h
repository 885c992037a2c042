#pragma once

#include <cstdint>

namespace grumbol::platform {

// Scales mouse counts by a percentage along one axis, carrying what is left of a whole count
// over to the next movement, so that slow movements are not lost.
class MotionScale {
 public:
  explicit MotionScale(int percent = 100) : percent_(percent) {}

  int Scale(int counts) {
    const std::int64_t total = carry_ + std::int64_t{counts} * percent_;
    const std::int64_t whole = total / 100;  // toward zero: the rest keeps its sign
    carry_ = total - whole * 100;
    return static_cast<int>(whole);
  }

 private:
  std::int64_t percent_;
  std::int64_t carry_ = 0;
};

}  // namespace grumbol::platform
