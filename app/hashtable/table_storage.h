// The shared storage of a TextHashTable.
//
// A handle outside the arena carries the reference count and points to the
// table block, which lives in the table's private arena together with the
// bucket array, every node and every stored key and value copy. The table
// chains its entries: each bucket holds a singly linked list, new entries go
// to the head, and the bucket of a hash is the hash with its sign bit cleared,
// modulo the capacity. When an insertion finds count >= threshold the table
// first grows to 2 x capacity + 1 buckets.
//
// Contract: Make gives a handle with one reference, or nullptr when memory
// cannot be had. Release drops a reference; the last one releases the arena
// with everything in it in one step, and the handle. Reference counts change
// atomically, so references may be dropped on any thread; everything else
// must be used by one thread at a time. Views handed out by Find and ForEach
// point into the arena and are valid until the next change or release.
// Items passed in must be of the table's kinds.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "app/hashtable/item.h"

namespace hashtable {

class Arena;

struct InterfaceId {
  std::array<uint8_t, 16> bytes{};
};

class TableStorage {
 public:
  // capacity >= 0; load_factor > 0.
  static TableStorage* Make(ItemKind key_kind, ItemKind value_kind, int32_t capacity, float load_factor);

  // Answers with this handle, for any interface id; adds no reference.
  bool QueryInterface(const InterfaceId& id, TableStorage** out);
  // Both return the new reference count.
  int32_t AddRef();
  int32_t Release();

  ItemKind key_kind() const { return table_->key_kind; }
  ItemKind value_kind() const { return table_->value_kind; }
  int32_t Count() const { return table_->count; }
  int32_t Capacity() const { return table_->capacity; }

  // 1 when an entry with an equal key had its value replaced, 0 when one was
  // added, -1 when memory ran out (the table is then unchanged).
  int Set(const ItemView& key, const ItemView& value);
  // Sets *value to the value stored under the key; false when there is none.
  bool Find(const ItemView& key, ItemView* value) const;
  bool Remove(const ItemView& key);
  void Clear();

  // Calls visit(key, value) for every entry in storage order: buckets from
  // 0 upwards, each chain from its head. Stops early when visit returns false.
  template <class Visit>
  void ForEach(Visit visit) const {
    for (int32_t b = 0; b < table_->capacity; ++b) {
      for (const Node* node = table_->buckets[b]; node != nullptr; node = node->next) {
        if (!visit(ViewOf(table_->key_kind, node->key), ViewOf(table_->value_kind, node->value))) return;
      }
    }
  }

  TableStorage(const TableStorage&) = delete;
  TableStorage& operator=(const TableStorage&) = delete;

 private:
  struct Blob;
  union Slot {
    int32_t integer;
    Blob* blob;
  };
  struct Node {
    int32_t hash;
    Slot key;
    Slot value;
    Node* next;
  };
  struct TableBlock {
    Arena* arena;
    Node** buckets;
    int32_t capacity;
    int32_t count;
    int32_t threshold;
    float load_factor;
    ItemKind key_kind;
    ItemKind value_kind;
  };

  explicit TableStorage(TableBlock* table) : table_(table) {}
  ~TableStorage() = default;

  static ItemView ViewOf(ItemKind kind, Slot slot);
  Node** ChainOf(int32_t hash) const;
  // The link that points to the node with this key, or nullptr.
  Node** FindLink(const ItemView& key, int32_t hash) const;
  bool Grow();
  bool CopyIn(const ItemView& item, Slot* slot);
  void ReleaseSlot(ItemKind kind, Slot slot);
  void ReleaseNode(Node* node);

  std::atomic<int32_t> references_{1};
  TableBlock* table_;
};

}  // namespace hashtable
