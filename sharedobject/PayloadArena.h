// Memory for the payloads of Variants that one decode makes. While a PayloadArena lives, the
// payloads made on its thread are cut from chunks of 64 KiB in the order they are made, instead
// of each being a heap block of its own: a decoded file of tens of thousands of small maps costs
// a few hundred heap blocks, lies in memory in the order it was decoded, and its release frees
// chunks rather than walking the heap's lists for every block. A chunk goes back to the heap when
// the last payload cut from it is freed (and the arena has moved on from it), so payloads outlive
// the arena; a payload kept alone keeps its chunk. Large payloads, and every payload made while
// no arena lives, are heap blocks. Arenas nest: one made while another lives takes over until it
// ends. Counted without atomic steps, like the payloads: the values of one decode belong to one
// thread at a time. Windows-free.
#pragma once

#include <cstddef>

class PayloadArena {
public:
  PayloadArena();
  ~PayloadArena();
  PayloadArena(const PayloadArena&) = delete;
  PayloadArena& operator=(const PayloadArena&) = delete;

  // A block of `bytes` (aligned for any payload): cut from the thread's arena when one lives
  // and the block is small, else from the heap. `fromChunk` tells Free which it was.
  static void* Allocate(size_t bytes, bool& fromChunk);
  static void Free(void* block, bool fromChunk);

private:
  struct Chunk;

  void* Cut(size_t bytes);
  void LetGoOfChunk();

  Chunk* m_chunk = nullptr;  // the chunk being filled, held by the arena as if by one payload
  size_t m_used = 0;         // bytes of it handed out, its header included
  PayloadArena* m_outer;     // the arena that was the thread's before this one
};
