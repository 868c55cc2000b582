#include "app/hashtable/table_storage.h"

#include <climits>
#include <cstring>
#include <new>

#include "app/hashtable/arena.h"

namespace hashtable {

// A text or byte-array copy: its length, its bytes and a zero byte (which
// ends a text; a byte array ignores it).
struct TableStorage::Blob {
  uint32_t length;
  char* bytes() { return reinterpret_cast<char*>(this + 1); }
};

namespace {

int32_t HashOf(const ItemView& item) {
  if (item.kind() == ItemKind::kInteger) return item.integer();
  uint32_t hash = 0;
  for (unsigned char byte : item.bytes()) hash = hash * 31 + byte;
  return static_cast<int32_t>(hash);
}

uint32_t BucketOf(int32_t hash, int32_t capacity) {
  return (static_cast<uint32_t>(hash) & 0x7fffffffu) % static_cast<uint32_t>(capacity);
}

int32_t ThresholdOf(int32_t capacity, float load_factor) {
  double threshold = static_cast<double>(capacity) * static_cast<double>(load_factor);
  return threshold >= static_cast<double>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(threshold);
}

size_t BucketBytes(int32_t capacity) { return static_cast<size_t>(capacity) * sizeof(void*); }

}  // namespace

TableStorage* TableStorage::Make(ItemKind key_kind, ItemKind value_kind, int32_t capacity, float load_factor) {
  Arena* arena = Arena::Make();
  if (arena == nullptr) return nullptr;
  auto* table = static_cast<TableBlock*>(arena->Allocate(sizeof(TableBlock)));
  auto* buckets = capacity == 0 ? nullptr : static_cast<Node**>(arena->AllocateZeroed(BucketBytes(capacity)));
  auto* storage = table == nullptr || (capacity != 0 && buckets == nullptr)
                      ? nullptr
                      : new (std::nothrow) TableStorage(table);
  if (storage == nullptr) {
    Arena::Destroy(arena);
    return nullptr;
  }
  *table = TableBlock{arena, buckets, capacity, 0, ThresholdOf(capacity, load_factor), load_factor,
                      key_kind, value_kind};
  return storage;
}

bool TableStorage::QueryInterface(const InterfaceId&, TableStorage** out) {
  *out = this;
  return true;
}

int32_t TableStorage::AddRef() { return references_.fetch_add(1, std::memory_order_relaxed) + 1; }

int32_t TableStorage::Release() {
  int32_t left = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (left == 0) {
    Arena::Destroy(table_->arena);
    delete this;
  }
  return left;
}

ItemView TableStorage::ViewOf(ItemKind kind, Slot slot) {
  if (kind == ItemKind::kInteger) return ItemView(slot.integer);
  return ItemView::OfBytes(kind, std::string_view(slot.blob->bytes(), slot.blob->length));
}

TableStorage::Node** TableStorage::ChainOf(int32_t hash) const {
  return &table_->buckets[BucketOf(hash, table_->capacity)];
}

TableStorage::Node** TableStorage::FindLink(const ItemView& key, int32_t hash) const {
  if (table_->capacity == 0) return nullptr;
  for (Node** link = ChainOf(hash); *link != nullptr; link = &(*link)->next) {
    const Node* node = *link;
    if (node->hash == hash && SameItem(ViewOf(table_->key_kind, node->key), key)) return link;
  }
  return nullptr;
}

bool TableStorage::CopyIn(const ItemView& item, Slot* slot) {
  if (item.kind() == ItemKind::kInteger) {
    slot->integer = item.integer();
    return true;
  }
  std::string_view bytes = item.bytes();
  if (bytes.size() > INT32_MAX) return false;
  auto* blob = static_cast<Blob*>(table_->arena->Allocate(sizeof(Blob) + bytes.size() + 1));
  if (blob == nullptr) return false;
  blob->length = static_cast<uint32_t>(bytes.size());
  std::memcpy(blob->bytes(), bytes.data(), bytes.size());
  blob->bytes()[bytes.size()] = '\0';
  slot->blob = blob;
  return true;
}

void TableStorage::ReleaseSlot(ItemKind kind, Slot slot) {
  if (kind != ItemKind::kInteger) table_->arena->Free(slot.blob, sizeof(Blob) + slot.blob->length + 1);
}

void TableStorage::ReleaseNode(Node* node) {
  ReleaseSlot(table_->key_kind, node->key);
  ReleaseSlot(table_->value_kind, node->value);
  table_->arena->Free(node, sizeof(Node));
}

bool TableStorage::Grow() {
  TableBlock& table = *table_;
  int64_t wanted = 2 * static_cast<int64_t>(table.capacity) + 1;
  if (wanted > INT32_MAX) {
    // No larger bucket count exists; the chains simply grow longer.
    table.threshold = INT32_MAX;
    return true;
  }
  auto capacity = static_cast<int32_t>(wanted);
  auto* buckets = static_cast<Node**>(table.arena->AllocateZeroed(BucketBytes(capacity)));
  if (buckets == nullptr) return false;
  for (int32_t b = 0; b < table.capacity; ++b) {
    for (Node* node = table.buckets[b]; node != nullptr;) {
      Node* next = node->next;
      Node*& head = buckets[BucketOf(node->hash, capacity)];
      node->next = head;
      head = node;
      node = next;
    }
  }
  if (table.buckets != nullptr) table.arena->Free(table.buckets, BucketBytes(table.capacity));
  table.buckets = buckets;
  table.capacity = capacity;
  table.threshold = ThresholdOf(capacity, table.load_factor);
  return true;
}

int TableStorage::Set(const ItemView& key, const ItemView& value) {
  TableBlock& table = *table_;
  int32_t hash = HashOf(key);
  if (Node** link = FindLink(key, hash)) {
    Node* node = *link;
    Slot copy;
    if (!CopyIn(value, &copy)) return -1;
    ReleaseSlot(table.value_kind, node->value);
    node->value = copy;
    return 1;
  }
  if (table.count == INT32_MAX) return -1;
  if (table.count >= table.threshold && !Grow()) return -1;
  auto* node = static_cast<Node*>(table.arena->Allocate(sizeof(Node)));
  if (node == nullptr) return -1;
  if (!CopyIn(key, &node->key)) {
    table.arena->Free(node, sizeof(Node));
    return -1;
  }
  if (!CopyIn(value, &node->value)) {
    ReleaseSlot(table.key_kind, node->key);
    table.arena->Free(node, sizeof(Node));
    return -1;
  }
  node->hash = hash;
  Node** chain = ChainOf(hash);
  node->next = *chain;
  *chain = node;
  ++table.count;
  return 0;
}

bool TableStorage::Find(const ItemView& key, ItemView* value) const {
  Node** link = FindLink(key, HashOf(key));
  if (link == nullptr) return false;
  *value = ViewOf(table_->value_kind, (*link)->value);
  return true;
}

bool TableStorage::Remove(const ItemView& key) {
  Node** link = FindLink(key, HashOf(key));
  if (link == nullptr) return false;
  Node* node = *link;
  *link = node->next;
  ReleaseNode(node);
  --table_->count;
  return true;
}

void TableStorage::Clear() {
  for (int32_t b = 0; b < table_->capacity; ++b) {
    for (Node* node = table_->buckets[b]; node != nullptr;) {
      Node* next = node->next;
      ReleaseNode(node);
      node = next;
    }
    table_->buckets[b] = nullptr;
  }
  table_->count = 0;
}

}  // namespace hashtable
