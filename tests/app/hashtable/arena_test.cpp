#include "app/hashtable/arena.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace hashtable {
namespace {

struct Piece {
  uint8_t* bytes;
  size_t size;
  uint8_t mark;
};

bool Intact(const Piece& piece) {
  for (size_t i = 0; i < piece.size; ++i) {
    if (piece.bytes[i] != piece.mark) return false;
  }
  return true;
}

// Sizes around every class edge, a zero size and large pieces: filled
// pieces must never overlap, also after freed pieces are handed out again.
TEST(Arena, PiecesNeverOverlapAcrossReuse) {
  Arena* arena = Arena::Make();
  ASSERT_NE(arena, nullptr);
  std::vector<size_t> sizes = {0, 1, 7, 8, 9, 255, 256, 257, 320, 321, 511, 512, 513, 4095, 70000};
  sizes.push_back(Arena::kLargePiece);
  sizes.push_back(Arena::kLargePiece + 1);
  std::vector<Piece> pieces;
  uint8_t mark = 0;
  auto allocate_all = [&] {
    for (size_t size : sizes) {
      for (int copy = 0; copy < 3; ++copy) {
        auto* bytes = static_cast<uint8_t*>(arena->Allocate(size));
        ASSERT_NE(bytes, nullptr);
        ASSERT_EQ(reinterpret_cast<uintptr_t>(bytes) % 8, 0u);
        std::memset(bytes, ++mark, size);
        pieces.push_back({bytes, size, mark});
      }
    }
  };
  allocate_all();
  std::vector<Piece> kept;
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (i % 2 == 0) arena->Free(pieces[i].bytes, pieces[i].size);
    else kept.push_back(pieces[i]);
  }
  pieces = kept;
  allocate_all();
  for (const Piece& piece : pieces) EXPECT_TRUE(Intact(piece)) << piece.size;
  Arena::Destroy(arena);
}

TEST(Arena, ZeroedPiecesAreZeroEvenWhenReused) {
  Arena* arena = Arena::Make();
  ASSERT_NE(arena, nullptr);
  for (size_t size : {size_t{88}, Arena::kLargePiece + 8}) {
    void* dirty = arena->Allocate(size);
    std::memset(dirty, 0xAB, size);
    arena->Free(dirty, size);
    auto* zeroed = static_cast<uint8_t*>(arena->AllocateZeroed(size));
    ASSERT_NE(zeroed, nullptr);
    for (size_t i = 0; i < size; ++i) ASSERT_EQ(zeroed[i], 0) << size << " at " << i;
  }
  Arena::Destroy(arena);
}

}  // namespace
}  // namespace hashtable
