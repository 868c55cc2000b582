// TextHashTable: a map from keys to values with separate chaining, kept in a
// private memory arena per table and shared between copies.
//
// Keys and values are each of one kind (integer, text or byte array) fixed by
// Create or LoadFromBytes. A table object holds a reference to shared storage,
// or nothing (before Create, after Free). Copies share the storage: a change
// through one is seen through all, and the last reference to go releases the
// arena with every entry in it in one step, without visiting the entries.
//
// Contract:
// - Nothing throws except std::bad_alloc from the copies handed out. Failures
//   are results: false, -1, 0, the empty text or the empty byte array.
// - An object without storage does nothing: Count 0, Set -1, Get the empty
//   value, ContainsKey/ContainsValue/Remove false, ToBytes empty.
// - Create and LoadFromBytes that fail leave the object's storage as it was.
// - When the arena cannot supply memory, the operation that needed it fails
//   (Create/LoadFromBytes false, Set -1) and the table is unchanged.
// - A key or value of a kind other than the table's is refused like a
//   missing one: Set -1, Get the empty value, the others false.
// - A text ends at its first zero byte; the bytes after it are not stored.
// - Everything handed out (Get, GetText, Keys, Values, ToBytes) is a fresh
//   copy owned by the caller, valid after the table is gone.
// - Threads: copies may be destroyed on different threads (the reference
//   count is atomic); otherwise one storage must not be used by two threads
//   at once.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <concepts>
#include <vector>

#include "app/hashtable/item.h"
#include "app/hashtable/table_storage.h"
#include "app/text/text.h"

namespace hashtable {

template <class T>
concept TextLike = std::convertible_to<const T&, std::string_view>;

class TextHashTable {
 public:
  TextHashTable() = default;
  // Drops this object's reference to its storage.
  ~TextHashTable();
  // The copy shares the storage.
  TextHashTable(const TextHashTable& other);
  TextHashTable& operator=(const TextHashTable& other);
  TextHashTable(TextHashTable&& other) noexcept;
  TextHashTable& operator=(TextHashTable&& other) noexcept;

  // Sets *out to the storage handle, for any interface id, and returns true;
  // adds no reference (call AddRef on the handle to keep it). Without storage
  // sets *out to nullptr and returns false.
  bool QueryInterface(const InterfaceId& id, TableStorage** out) const;

  // Drops this object's reference; the object then has no storage.
  void Free();

  // Gives the object new empty storage: capacity 11 and load factor 0.75
  // unless given. The table grows once its count reaches capacity x load
  // factor. False (storage unchanged) for a negative capacity, a load factor
  // not above 0.0000001, a kind other than the three, or no memory.
  // Capacity 0 is allowed: lookups find nothing and the first insertion
  // grows the table to one bucket.
  bool Create(ItemKind key_kind, ItemKind value_kind, std::optional<int32_t> capacity = std::nullopt,
              std::optional<float> load_factor = std::nullopt);

  // Replaces the storage by a table read from the byte form ToBytes writes.
  // Every count, offset, length and terminator is checked against the data
  // first; malformed data gives false and leaves the object as it was. A key
  // that repeats an earlier entry's key replaces that entry's value.
  bool LoadFromBytes(std::span<const uint8_t> data);

  int32_t Count() const;
  // Number of buckets; 0 without storage.
  int32_t Capacity() const;

  // 1 when an entry with an equal key existed and its value was replaced;
  // 0 when a new entry was added; -1 when nothing was stored.
  int Set(std::string_view key, std::string_view value);
  // Any other pair of items. (Being a template keeps an integer 0 from
  // being taken for a null text by the overload above.)
  template <class Key, class Value>
    requires(!TextLike<Key> || !TextLike<Value>)
  int Set(const Key& key, const Value& value) {
    return SetItem(ItemView(key), ItemView(value));
  }

  // A copy of the value stored under the key, or the empty value of the
  // value kind (0 without storage).
  Item Get(const ItemView& key) const;
  // The text stored under a text key; "" when there is none or the values
  // are not texts.
  text::Text GetText(std::string_view key) const;

  // True when some entry's value equals the given one; scans every entry.
  bool ContainsValue(const ItemView& value) const;
  bool ContainsKey(const ItemView& key) const;
  // Removes the entry and releases its copies; the capacity stays.
  bool Remove(const ItemView& key);

  // Replace *keys (*values) by copies of all keys (values) in storage order:
  // buckets from 0 upwards, each chain from its head (the latest insertion
  // first). Return the count; without storage return 0 and leave the array.
  int32_t Keys(std::vector<Item>* keys) const;
  int32_t Values(std::vector<Item>* values) const;

  // Removes every entry; capacity and threshold stay.
  void Clear();

  // The table in its byte form (32-bit little-endian numbers): "hash", key
  // kind, value kind, entry count N; N pairs of key and value fields in
  // storage order, each the integer itself or the offset of the item's data;
  // then the data, key before value: a text as its bytes and a zero byte, a
  // byte array as 1, its length and its bytes. Empty without storage, or when
  // the data would pass the reach of 32-bit offsets.
  text::ByteArray ToBytes() const;

 private:
  int SetItem(const ItemView& key, const ItemView& value);
  void Install(TableStorage* storage);
  int32_t CopyEntries(std::vector<Item>* out, bool keys) const;

  TableStorage* storage_ = nullptr;
};

}  // namespace hashtable
