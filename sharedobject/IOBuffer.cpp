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
  if (size > m_capacity - m_published && !Grow(size)) {
    return false;
  }
  std::memcpy(m_block.get() + m_published, data, size);
  m_published += size;
  return true;
}

bool IOBuffer::Grow(size_t size) {
  const size_t unread = Available();
  if (m_consumed != 0 && m_consumed >= unread) {
    // Most of the block is already read: reuse it by moving the unread bytes to the front.
    std::memmove(m_block.get(), m_block.get() + m_consumed, unread);
    m_published = unread;
    m_consumed = 0;
    if (size <= m_capacity - m_published) {
      return true;
    }
  }
  const size_t maximum = std::numeric_limits<size_t>::max();
  const size_t step = std::max(size, kMinGrowth);
  if (step > maximum - m_published) {
    return false;
  }
  size_t newCapacity = m_published + step;
  const size_t shortfall = size - (m_capacity - m_published);
  if (shortfall < m_capacity / 3 && m_capacity <= maximum / 4 * 3) {
    newCapacity = std::max(m_capacity / 3 * 4 + m_capacity % 3 * 4 / 3, m_published + kMinGrowth);
  }
  std::unique_ptr<uint8_t[]> grown(new (std::nothrow) uint8_t[newCapacity]);
  if (!grown) {
    return false;
  }
  if (m_published != 0) {
    std::memcpy(grown.get(), m_block.get(), m_published);
  }
  m_block = std::move(grown);
  m_capacity = newCapacity;
  return true;
}
