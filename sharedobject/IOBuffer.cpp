#include "sharedobject/IOBuffer.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

bool IOBuffer::Append(const void* data, size_t size) {
  if (size == 0) {
    return true;
  }
  if (size > capacity_ - published_ && !Grow(size)) {
    return false;
  }
  std::memcpy(block_.get() + published_, data, size);
  published_ += size;
  return true;
}

bool IOBuffer::Grow(size_t size) {
  const size_t unread = Available();
  if (consumed_ != 0 && consumed_ >= unread) {
    // Most of the block is already read: reuse it by moving the unread bytes to the front.
    std::memmove(block_.get(), block_.get() + consumed_, unread);
    published_ = unread;
    consumed_ = 0;
    if (size <= capacity_ - published_) {
      return true;
    }
  }
  const size_t maximum = std::numeric_limits<size_t>::max();
  const size_t step = std::max(size, kMinGrowth);
  if (step > maximum - published_) {
    return false;
  }
  size_t newCapacity = published_ + step;
  const size_t shortfall = size - (capacity_ - published_);
  if (shortfall < capacity_ / 3 && capacity_ <= maximum / 4 * 3) {
    newCapacity = std::max(capacity_ / 3 * 4 + capacity_ % 3 * 4 / 3, published_ + kMinGrowth);
  }
  std::unique_ptr<uint8_t[]> grown(new (std::nothrow) uint8_t[newCapacity]);
  if (!grown) {
    return false;
  }
  if (published_ != 0) {
    std::memcpy(grown.get(), block_.get(), published_);
  }
  block_ = std::move(grown);
  capacity_ = newCapacity;
  return true;
}
