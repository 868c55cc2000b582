#include "app/hashtable/arena.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace hashtable {

struct Arena::Chunk {
  Chunk* next;
};

struct Arena::LargeBlock {
  LargeBlock* previous;
  LargeBlock* next;
};

struct Arena::FreePiece {
  FreePiece* next;
};

namespace {

constexpr size_t kAlignment = 8;
constexpr size_t kFirstChunk = 4096;
constexpr size_t kLargestChunk = 1024 * 1024;
// Sizes up to this many bytes have a class every 8 bytes; above it, four
// classes per doubling, so rounding up wastes at most a quarter.
constexpr size_t kFineLimit = 256;

size_t RoundUp(size_t size, size_t step) { return (size + step - 1) / step * step; }

struct SizeClass {
  int index;
  size_t size;
};

// For 0 < size <= kLargePiece.
SizeClass ClassOf(size_t size) {
  if (size <= kFineLimit) {
    size_t rounded = RoundUp(size, kAlignment);
    return {static_cast<int>(rounded / kAlignment) - 1, rounded};
  }
  int exponent = std::bit_width(size - 1) - 1;  // 2^exponent < size <= 2^(exponent+1)
  size_t quarter = size_t{1} << (exponent - 2);
  size_t sub = ((size - 1) >> (exponent - 2)) & 3;
  int index = static_cast<int>(kFineLimit / kAlignment) + (exponent - 8) * 4 + static_cast<int>(sub);
  return {index, (4 + sub + 1) * quarter};
}

}  // namespace

Arena* Arena::Make() {
  void* memory = std::malloc(kFirstChunk);
  if (memory == nullptr) return nullptr;
  auto* chunk = static_cast<Chunk*>(memory);
  chunk->next = nullptr;
  char* after_chunk = static_cast<char*>(memory) + RoundUp(sizeof(Chunk), kAlignment);
  auto* arena = new (after_chunk) Arena();
  arena->chunks_ = chunk;
  arena->next_ = after_chunk + RoundUp(sizeof(Arena), kAlignment);
  arena->end_ = static_cast<char*>(memory) + kFirstChunk;
  arena->next_chunk_size_ = kFirstChunk * 2;
  return arena;
}

void Arena::Destroy(Arena* arena) {
  if (arena == nullptr) return;
  for (LargeBlock* block = arena->large_; block != nullptr;) {
    LargeBlock* next = block->next;
    std::free(block);
    block = next;
  }
  // The arena itself lives in the first chunk, the last of the list.
  Chunk* chunk = arena->chunks_;
  arena->~Arena();
  while (chunk != nullptr) {
    Chunk* next = chunk->next;
    std::free(chunk);
    chunk = next;
  }
}

void* Arena::Allocate(size_t size) {
  if (size == 0) size = 1;
  if (size > kLargePiece) return AllocateLarge(size, false);
  SizeClass size_class = ClassOf(size);
  if (FreePiece* piece = free_[size_class.index]) {
    free_[size_class.index] = piece->next;
    return piece;
  }
  return Bump(size_class.size);
}

void* Arena::AllocateZeroed(size_t size) {
  if (size > kLargePiece) return AllocateLarge(size, true);
  void* piece = Allocate(size);
  if (piece != nullptr) std::memset(piece, 0, size);
  return piece;
}

void Arena::Free(void* piece, size_t size) {
  if (piece == nullptr) return;
  if (size == 0) size = 1;
  if (size > kLargePiece) return FreeLarge(piece);
  int index = ClassOf(size).index;
  auto* freed = static_cast<FreePiece*>(piece);
  freed->next = free_[index];
  free_[index] = freed;
}

void* Arena::Bump(size_t size) {
  if (static_cast<size_t>(end_ - next_) < size) {
    size_t header = RoundUp(sizeof(Chunk), kAlignment);
    size_t chunk_size = std::max(next_chunk_size_, header + size);
    void* memory = std::malloc(chunk_size);
    if (memory == nullptr) return nullptr;
    auto* chunk = static_cast<Chunk*>(memory);
    chunk->next = chunks_;
    chunks_ = chunk;
    next_ = static_cast<char*>(memory) + header;
    end_ = static_cast<char*>(memory) + chunk_size;
    next_chunk_size_ = std::min(next_chunk_size_ * 2, kLargestChunk);
  }
  void* piece = next_;
  next_ += size;
  return piece;
}

void* Arena::AllocateLarge(size_t size, bool zeroed) {
  size_t header = RoundUp(sizeof(LargeBlock), kAlignment);
  if (size > SIZE_MAX - header) return nullptr;
  void* memory = zeroed ? std::calloc(1, header + size) : std::malloc(header + size);
  if (memory == nullptr) return nullptr;
  auto* block = static_cast<LargeBlock*>(memory);
  block->previous = nullptr;
  block->next = large_;
  if (large_ != nullptr) large_->previous = block;
  large_ = block;
  return static_cast<char*>(memory) + header;
}

void Arena::FreeLarge(void* piece) {
  auto* block = reinterpret_cast<LargeBlock*>(static_cast<char*>(piece) -
                                              RoundUp(sizeof(LargeBlock), kAlignment));
  if (block->previous != nullptr) block->previous->next = block->next;
  else large_ = block->next;
  if (block->next != nullptr) block->next->previous = block->previous;
  std::free(block);
}

}  // namespace hashtable
