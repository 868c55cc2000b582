// A private memory arena: the home of one hash table and everything it stores.
//
// Memory comes in chunks from the system heap and is handed out by bumping a
// pointer; pieces given back with Free go to a free list of their size class
// and are reused by later requests of that class. Pieces above kLargePiece
// bytes get a heap block of their own, which Free returns to the heap.
// Destroy releases every chunk and large block at once, without visiting
// the pieces, so its cost grows with the memory held, not with the number of
// pieces.
//
// Contract: Make and Allocate return nullptr when the system cannot supply
// memory; the arena stays usable. Free takes a piece of this arena with the
// size it was asked for. All pieces are aligned to 8 bytes. Not thread-safe:
// one thread at a time.
#pragma once

#include <cstddef>

namespace hashtable {

class Arena {
 public:
  static constexpr size_t kLargePiece = 256 * 1024;

  static Arena* Make();
  static void Destroy(Arena* arena);

  void* Allocate(size_t size);
  // A piece whose bytes are all zero; large ones come from the system
  // already zeroed, so their pages are only touched when used.
  void* AllocateZeroed(size_t size);
  void Free(void* piece, size_t size);

  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;

 private:
  struct Chunk;
  struct LargeBlock;
  struct FreePiece;
  static constexpr int kSizeClasses = 72;

  Arena() = default;
  ~Arena() = default;
  void* AllocateLarge(size_t size, bool zeroed);
  void FreeLarge(void* piece);
  void* Bump(size_t size);

  Chunk* chunks_ = nullptr;
  LargeBlock* large_ = nullptr;
  char* next_ = nullptr;
  char* end_ = nullptr;
  size_t next_chunk_size_ = 0;
  FreePiece* free_[kSizeClasses] = {};
};

}  // namespace hashtable
