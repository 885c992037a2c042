#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>

namespace grumbol {

// A zero-filled array with the indices 0..max, as the game keeps its fish field in.
// An index outside 0..max reads 0 and writes nowhere, so a slip cannot corrupt memory.
template <typename T>
requires std::is_arithmetic_v<T>
class Array {
 public:
  // Releases what the array held and gives it max + 1 zeroed elements. With a negative max,
  // or when the memory cannot be had, the array holds nothing and false is returned.
  bool Allocate(std::int32_t max) {
    Release();
    if (max < 0) return false;
    elements_.reset(new (std::nothrow) T[static_cast<std::size_t>(max) + 1]());
    if (!elements_) return false;
    max_ = max;
    return true;
  }

  void Release() {
    elements_.reset();
    max_ = -1;
  }

  bool Holds() const { return elements_ != nullptr; }
  // The largest index, or -1 while the array holds nothing.
  std::int32_t Max() const { return max_; }

  T& operator[](std::int32_t index) {
    if (index < 0 || index > max_) {
      outside_ = T{};
      return outside_;
    }
    return elements_[index];
  }
  T operator[](std::int32_t index) const {
    return index < 0 || index > max_ ? T{} : elements_[index];
  }

 private:
  std::unique_ptr<T[]> elements_;
  std::int32_t max_ = -1;
  T outside_{};  // target of accesses outside 0..max; reset before each such access
};

}  // namespace grumbol
