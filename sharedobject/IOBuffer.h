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
    m_consumed += size;
    if (m_consumed == m_published) {
      m_consumed = 0;
      m_published = 0;
    }
    return true;
  }

  size_t Available() const { return m_published - m_consumed; }
  // The first unread byte; valid for Available() bytes until the next Append or Skip.
  const uint8_t* Data() const { return m_block ? m_block.get() + m_consumed : nullptr; }

  size_t Capacity() const { return m_capacity; }
  size_t Published() const { return m_published; }
  size_t Consumed() const { return m_consumed; }

private:
  bool Grow(size_t size);

  std::unique_ptr<uint8_t[]> m_block;
  size_t m_capacity = 0;
  size_t m_published = 0;
  size_t m_consumed = 0;
};
