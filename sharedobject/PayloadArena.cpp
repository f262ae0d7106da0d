#include "sharedobject/PayloadArena.h"

#include <cstdint>
#include <new>

namespace {

constexpr size_t kChunkBytes = size_t{64} << 10;
// Larger blocks are heap blocks: a chunk would waste too much of itself on the cut before them.
constexpr size_t kLargestCut = kChunkBytes / 8;
constexpr size_t kBlockAlignment = 16;

thread_local PayloadArena* currentArena = nullptr;

size_t Aligned(size_t bytes) { return (bytes + kBlockAlignment - 1) & ~(kBlockAlignment - 1); }

}  // namespace

// Every chunk is aligned to its size, so that a block finds its chunk from its own address.
struct PayloadArena::Chunk {
  size_t holders = 1;  // the blocks cut from it and not freed yet, and the arena while it fills it

  static Chunk* Of(void* block) {
    return reinterpret_cast<Chunk*>(reinterpret_cast<uintptr_t>(block) & ~uintptr_t{kChunkBytes - 1});
  }
  void LetGo() {
    if (--holders == 0) {
      this->~Chunk();
      ::operator delete(this, std::align_val_t{kChunkBytes});
    }
  }
};

PayloadArena::PayloadArena() : m_outer(currentArena) { currentArena = this; }

PayloadArena::~PayloadArena() {
  LetGoOfChunk();
  currentArena = m_outer;
}

void* PayloadArena::Allocate(size_t bytes, bool& fromChunk) {
  fromChunk = currentArena && bytes <= kLargestCut;
  return fromChunk ? currentArena->Cut(bytes) : ::operator new(bytes);
}

void PayloadArena::Free(void* block, bool fromChunk) {
  if (fromChunk) {
    Chunk::Of(block)->LetGo();
  } else {
    ::operator delete(block);
  }
}

void* PayloadArena::Cut(size_t bytes) {
  bytes = Aligned(bytes);
  if (!m_chunk || kChunkBytes - m_used < bytes) {
    void* memory = ::operator new(kChunkBytes, std::align_val_t{kChunkBytes});
    LetGoOfChunk();
    m_chunk = new (memory) Chunk();
    m_used = Aligned(sizeof(Chunk));
  }
  void* block = reinterpret_cast<char*>(m_chunk) + m_used;
  m_used += bytes;
  ++m_chunk->holders;
  return block;
}

void PayloadArena::LetGoOfChunk() {
  if (m_chunk) {
    m_chunk->LetGo();
    m_chunk = nullptr;
  }
}
