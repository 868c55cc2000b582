// The byte form of a hash table's storage, and reading it back.
//
// Layout, all numbers 32-bit little-endian, offsets from the first byte:
//   0   "hash"
//   4   key kind (3, 10 or 11)
//   8   value kind
//   12  entry count N
//   16  N entries in storage order, each a key field then a value field: the
//       integer itself for kind 3, else the offset of the item's data
//   16 + 8N  the data, entry by entry, key before value: a text as its bytes
//       and a zero byte; a byte array as 1, its length, its bytes.
//
// Contract: pure functions; the caller owns what they return. Both may be
// called from any thread for storage no other thread is changing.
#pragma once

#include <cstdint>
#include <span>

#include "app/hashtable/table_storage.h"
#include "app/text/text.h"

namespace hashtable {

// Empty when the data would not fit in 2^31 - 1 bytes.
text::ByteArray EncodeTable(const TableStorage& storage);

// New storage with one reference holding the entries of `data` (capacity
// N + 11, load factor 0.75), inserted in order so a repeated key keeps its
// last value. nullptr when the data is malformed (anything out of bounds,
// a missing terminator, a byte array not led by 1, an unknown kind, a
// negative count) or memory ran out. Never reads outside `data`.
TableStorage* DecodeTable(std::span<const uint8_t> data);

}  // namespace hashtable
