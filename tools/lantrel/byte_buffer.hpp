// A growable byte buffer whose new bytes are left unset. The line reader and the output sink
// fill what they use, so a short job touches (and the kernel zeroes) only the pages it needs
// of their large buffers, not all of them up front.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>

namespace lantrel::cli {

class ByteBuffer {
 public:
  char* data() { return bytes_.get(); }
  const char* data() const { return bytes_.get(); }
  std::size_t size() const { return size_; }
  char& operator[](std::size_t i) { return bytes_[i]; }
  char operator[](std::size_t i) const { return bytes_[i]; }

  /// Makes the buffer n bytes long; the first min(n, size()) bytes are kept, the rest unset.
  void resize(std::size_t n) {
    if (n > capacity_) {
      auto grown = std::make_unique_for_overwrite<char[]>(n);
      if (size_ > 0) std::memcpy(grown.get(), bytes_.get(), size_);
      bytes_ = std::move(grown);
      capacity_ = n;
    }
    size_ = n;
  }

 private:
  std::unique_ptr<char[]> bytes_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace lantrel::cli
