// A growable byte block with a read cursor, fed at its write end and read at its cursor.
// Windows-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class IOBuffer {
public:
  static constexpr size_t kMinGrowth = 4096;

  IOBuffer() = default;
  IOBuffer(const IOBuffer&) = delete;
  IOBuffer& operator=(const IOBuffer&) = delete;

  // Appends `size` bytes at the write end, growing the block first when they do not fit.
  // False (and nothing appended) when the block cannot grow.
  bool Append(const void* data, size_t size);
  // Advances the cursor by `size` bytes; false (and nothing skipped) when fewer are available.
  // Reading up to the write end empties the buffer: both counts go back to 0. (Inline: the
  // decoders skip every byte they read.)
  bool Skip(size_t size) {
    if (size > Available()) {
      return false;
    }
    consumed_ += size;
    if (consumed_ == published_) {
      consumed_ = 0;
      published_ = 0;
    }
    return true;
  }

  size_t Available() const { return published_ - consumed_; }
  // The first unread byte; valid for Available() bytes until the next Append or Skip.
  const uint8_t* Data() const { return block_ ? block_.get() + consumed_ : nullptr; }

  size_t Capacity() const { return capacity_; }
  size_t Published() const { return published_; }
  size_t Consumed() const { return consumed_; }

private:
  bool Grow(size_t size);

  std::unique_ptr<uint8_t[]> block_;
  size_t capacity_ = 0;
  size_t published_ = 0;
  size_t consumed_ = 0;
};
