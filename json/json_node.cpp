#include "json/json_node.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "json/json_number.h"

namespace json {
namespace {

// Lists ----------------------------------------------------------------------

bool ReserveOneMore(JsonNodeList& list) {
  if (list.count < list.capacity) return true;
  uint64_t capacity = list.capacity == 0 ? JsonNodeList::kInitialCapacity : uint64_t{list.capacity} * 2 + 1;
  if (capacity > UINT32_MAX) return false;
  auto* items = static_cast<JsonNode**>(std::realloc(list.items, capacity * sizeof(JsonNode*)));
  if (items == nullptr) return false;
  list.items = items;
  list.capacity = static_cast<uint32_t>(capacity);
  return true;
}

bool ListAppend(JsonNodeList& list, JsonNode* node) {
  if (!ReserveOneMore(list)) return false;
  list.items[list.count++] = node;
  return true;
}

void ListRemoveAt(JsonNodeList& list, uint32_t position) {
  std::memmove(list.items + position, list.items + position + 1, (list.count - position - 1) * sizeof(JsonNode*));
  --list.count;
}

void ListRemove(JsonNodeList& list, const JsonNode* node) {
  for (uint32_t k = 0; k < list.count; ++k) {
    if (list.items[k] == node) return ListRemoveAt(list, k);
  }
}

// Tables ---------------------------------------------------------------------

constexpr uint32_t kNoEntry = JsonMemberEntry::kNoEntry;

uint32_t BucketOf(uint32_t hash, uint32_t bucket_count) { return (hash & 0x7FFFFFFFu) % bucket_count; }

size_t TableBytes(uint32_t bucket_count, uint32_t capacity) {
  return sizeof(JsonObjectTable) + sizeof(uint32_t) * ((bucket_count + 1) & ~1u) + sizeof(JsonMemberEntry) * capacity;
}

// Links every entry, in member order, at the head of its bucket's chain.
void RelinkChains(JsonObjectTable& table) {
  uint32_t* buckets = table.Buckets();
  JsonMemberEntry* entries = table.Entries();
  for (uint32_t b = 0; b < table.bucket_count; ++b) buckets[b] = kNoEntry;
  for (uint32_t k = 0; k < table.count; ++k) {
    uint32_t& head = buckets[BucketOf(entries[k].hash, table.bucket_count)];
    entries[k].next = head;
    head = k;
  }
}

// A table of `bucket_count` buckets holding `old`'s entries; `old` is freed.
JsonObjectTable* RebuiltTable(JsonObjectTable* old, uint64_t bucket_count) {
  const float load_factor = old == nullptr ? JsonObjectTable::kLoadFactor : old->load_factor;
  const uint64_t threshold = static_cast<uint64_t>(bucket_count * static_cast<double>(load_factor));
  if (bucket_count > UINT32_MAX / 2 || threshold < (old == nullptr ? 0 : old->count)) return nullptr;
  void* block = std::malloc(TableBytes(static_cast<uint32_t>(bucket_count), static_cast<uint32_t>(threshold)));
  if (block == nullptr) return nullptr;
  auto* table = static_cast<JsonObjectTable*>(block);
  table->bucket_count = static_cast<uint32_t>(bucket_count);
  table->count = old == nullptr ? 0 : old->count;
  table->grow_threshold = static_cast<uint32_t>(threshold);
  table->load_factor = load_factor;
  table->capacity = static_cast<uint32_t>(threshold);
  table->padding = 0;
  if (old != nullptr) {
    std::memcpy(table->Entries(), old->Entries(), sizeof(JsonMemberEntry) * old->count);
    std::free(old);
  }
  RelinkChains(*table);
  return table;
}

// Room for one more member: the table is made on first use and grows when
// the count has reached the threshold.
JsonObjectTable* TableWithRoom(JsonNode* object) {
  JsonObjectTable* table = object->payload.object;
  if (table == nullptr) {
    table = RebuiltTable(nullptr, JsonObjectTable::kInitialBuckets);
  } else if (table->count >= table->grow_threshold || table->count >= table->capacity) {
    table = RebuiltTable(table, uint64_t{table->bucket_count} * 2 + 1);
  } else {
    return table;
  }
  if (table != nullptr) object->payload.object = table;
  return table;
}

// The entry index of the member with `key`, or kNoEntry.
uint32_t FindEntry(const JsonObjectTable* table, std::u16string_view key, uint32_t hash) {
  if (table == nullptr) return kNoEntry;
  const JsonMemberEntry* entries = table->Entries();
  uint32_t k = const_cast<JsonObjectTable*>(table)->Buckets()[BucketOf(hash, table->bucket_count)];
  while (k != kNoEntry && !(entries[k].hash == hash && entries[k].node->key.Equals(key))) k = entries[k].next;
  return k;
}

uint32_t EntryOf(const JsonObjectTable* table, const JsonNode* member) {
  JsonText::Scratch scratch;
  std::u16string_view key = member->key.View(scratch);
  uint32_t k = FindEntry(table, key, KeyHash(key));
  return k != kNoEntry && table->Entries()[k].node == member ? k : kNoEntry;
}

// Adds a member whose key is not present yet.
bool AddNewMember(JsonNode* object, std::u16string_view key, uint32_t hash, JsonNode* child) {
  JsonText key_text;
  if (!key_text.Assign(key)) return false;
  JsonObjectTable* table = TableWithRoom(object);
  if (table == nullptr) return false;
  child->key = std::move(key_text);
  uint32_t& head = table->Buckets()[BucketOf(hash, table->bucket_count)];
  table->Entries()[table->count] = {child, hash, head};
  head = table->count++;
  child->parent = object;
  return true;
}

// Takes entry `k` out of its chain and of the member order; later entries
// move up, and every index past `k` drops by one.
void RemoveEntry(JsonObjectTable& table, uint32_t k) {
  uint32_t* buckets = table.Buckets();
  JsonMemberEntry* entries = table.Entries();
  uint32_t* link = &buckets[BucketOf(entries[k].hash, table.bucket_count)];
  while (*link != k) link = &entries[*link].next;
  *link = entries[k].next;
  entries[k].node->key.Free();
  std::memmove(entries + k, entries + k + 1, sizeof(JsonMemberEntry) * (table.count - k - 1));
  --table.count;
  auto renumber = [k](uint32_t& index) {
    if (index != kNoEntry && index > k) --index;
  };
  for (uint32_t b = 0; b < table.bucket_count; ++b) renumber(buckets[b]);
  for (uint32_t e = 0; e < table.count; ++e) renumber(entries[e].next);
}

// Teardown -------------------------------------------------------------------

// Drops a container's reference to `child`. Children whose count reaches 0
// are chained through their parent links onto `dead` instead of being freed
// right away, which keeps the teardown of deep trees iterative.
void DropChild(JsonNode* child, JsonNode** dead) {
  child->parent = nullptr;
  child->key.Free();
  if (child->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    child->parent = *dead;
    *dead = child;
  }
}

void FreeContent(JsonNode* node, JsonNode** dead) {
  if (node->kind == JsonKind::Array && node->payload.array != nullptr) {
    JsonNodeList* list = node->payload.array;
    for (uint32_t k = 0; k < list->count; ++k) DropChild(list->items[k], dead);
    std::free(list->items);
    delete list;
  } else if (node->kind == JsonKind::Object && node->payload.object != nullptr) {
    JsonObjectTable* table = node->payload.object;
    for (uint32_t k = 0; k < table->count; ++k) DropChild(table->Entries()[k].node, dead);
    std::free(table);
  }
  node->payload = {};
  node->text.Free();
}

void DestroyChain(JsonNode* dead) {
  while (dead != nullptr) {
    JsonNode* node = dead;
    dead = node->parent;
    FreeContent(node, &dead);
    delete node;
  }
}

JsonNodeList* ListOf(JsonNode* array) {
  if (array->payload.array == nullptr) array->payload.array = new (std::nothrow) JsonNodeList;
  return array->payload.array;
}

// A copy of `node` without its children, numbers spelled from their values.
JsonNode* ShallowCopy(const JsonNode* node) {
  JsonNode* copy = NewNode(node->kind);
  if (copy == nullptr) return nullptr;
  JsonText::Scratch scratch;
  bool copied = true;
  switch (node->kind) {
    case JsonKind::Real:
      copy->payload.real = node->payload.real;
      copied = copy->text.Assign(FormatReal(node->payload.real).View());
      break;
    case JsonKind::Integer:
      copy->payload.integer = node->payload.integer;
      copied = copy->text.Assign(FormatInteger(node->payload.integer).View());
      break;
    case JsonKind::Bool:
      copy->payload.boolean = node->payload.boolean;
      [[fallthrough]];
    case JsonKind::Null:
    case JsonKind::String:
    case JsonKind::Raw:
      copied = copy->text.Assign(node->text.View(scratch));
      break;
    case JsonKind::Array:
    case JsonKind::Object:
      break;
  }
  if (!copied) {
    Release(copy);
    return nullptr;
  }
  return copy;
}

}  // namespace

// Nodes ----------------------------------------------------------------------

JsonNode* NewNode(JsonKind kind) {
  auto* node = new (std::nothrow) JsonNode;
  if (node == nullptr) return nullptr;
  node->kind = kind;
  // The words fit inside the text itself, so this cannot fail.
  if (kind == JsonKind::Null) node->text.Assign(u"null");
  if (kind == JsonKind::Bool) node->text.Assign(u"false");
  return node;
}

int32_t AddRef(JsonNode* node) { return node->refs.fetch_add(1, std::memory_order_relaxed) + 1; }

void Release(JsonNode* node) {
  if (node->refs.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
  DetachFromParent(node);
  DestroyChain(node);
}

void ClearNode(JsonNode* node) {
  JsonNode* dead = nullptr;
  FreeContent(node, &dead);
  DestroyChain(dead);
}

void MakeObject(JsonNode* node) {
  if (node->kind == JsonKind::Object) return;
  ClearNode(node);
  node->kind = JsonKind::Object;
}

void MakeArray(JsonNode* node) {
  if (node->kind == JsonKind::Array) return;
  ClearNode(node);
  node->kind = JsonKind::Array;
}

bool SetScalar(JsonNode* node, JsonKind kind, std::u16string_view literal) {
  ClearNode(node);
  node->kind = kind;
  return node->text.Assign(literal);
}

uint32_t KeyHash(std::u16string_view key) {
  uint32_t hash = 0;
  for (char16_t unit : key) hash = hash * 31 + unit;
  return hash * 31;  // the terminating zero unit
}

// Objects --------------------------------------------------------------------

JsonNode* FindMember(const JsonNode* object, std::u16string_view key) {
  const JsonObjectTable* table = object->payload.object;
  uint32_t k = FindEntry(table, key, KeyHash(key));
  return k == kNoEntry ? nullptr : table->Entries()[k].node;
}

bool PutMember(JsonNode* object, std::u16string_view key, JsonNode* child) {
  uint32_t hash = KeyHash(key);
  uint32_t k = FindEntry(object->payload.object, key, hash);
  if (k == kNoEntry) return AddNewMember(object, key, hash, child);
  JsonNode* old = object->payload.object->Entries()[k].node;
  if (old != child) ReplaceMember(object, old, child);
  else Release(child);  // the object already holds this node once
  return true;
}

JsonNode* GetOrAddMember(JsonNode* object, std::u16string_view key) {
  uint32_t hash = KeyHash(key);
  JsonObjectTable* table = object->payload.object;
  if (uint32_t k = FindEntry(table, key, hash); k != kNoEntry) return table->Entries()[k].node;
  JsonNode* member = NewNode(JsonKind::Null);
  if (member == nullptr) return nullptr;
  if (!AddNewMember(object, key, hash, member)) {
    Release(member);
    return nullptr;
  }
  return member;
}

bool RemoveMember(JsonNode* object, std::u16string_view key) {
  JsonObjectTable* table = object->payload.object;
  uint32_t k = FindEntry(table, key, KeyHash(key));
  if (k == kNoEntry) return false;
  JsonNode* member = table->Entries()[k].node;
  RemoveEntry(*table, k);
  member->parent = nullptr;
  Release(member);
  return true;
}

void ReplaceMember(JsonNode* object, JsonNode* old, JsonNode* replacement) {
  JsonObjectTable* table = object->payload.object;
  uint32_t k = EntryOf(table, old);
  if (k == kNoEntry) return;
  table->Entries()[k].node = replacement;
  replacement->key = std::move(old->key);
  replacement->parent = object;
  old->parent = nullptr;
  Release(old);
}

uint32_t BucketCount(const JsonNode* object) {
  return object->payload.object == nullptr ? 0 : object->payload.object->bucket_count;
}

void SortMembers(JsonNode* object, const std::function<bool(const JsonNode*, const JsonNode*)>& before) {
  JsonObjectTable* table = object->payload.object;
  if (table == nullptr) return;
  std::sort(table->Entries(), table->Entries() + table->count,
            [&](const JsonMemberEntry& a, const JsonMemberEntry& b) { return before(a.node, b.node); });
  RelinkChains(*table);
}

// Arrays ---------------------------------------------------------------------

bool AppendElement(JsonNode* array, JsonNode* child) {
  JsonNodeList* list = ListOf(array);
  if (list == nullptr || !ListAppend(*list, child)) return false;
  child->parent = array;
  return true;
}

JsonNode* GetOrExtendElement(JsonNode* array, uint32_t index) {
  while (ElementCount(array) <= index) {
    JsonNode* pad = NewNode(JsonKind::Null);
    if (pad == nullptr) return nullptr;
    if (!AppendElement(array, pad)) {
      Release(pad);
      return nullptr;
    }
  }
  return ElementAt(array, index);
}

bool PutElement(JsonNode* array, uint32_t index, JsonNode* child) {
  if (index < ElementCount(array)) {
    JsonNode*& slot = array->payload.array->items[index];
    JsonNode* old = slot;
    slot = child;
    child->parent = array;
    old->parent = nullptr;
    Release(old);
    return true;
  }
  if (index > 0 && GetOrExtendElement(array, index - 1) == nullptr) return false;
  return AppendElement(array, child);
}

bool RemoveElement(JsonNode* array, uint32_t index) {
  if (index >= ElementCount(array)) return false;
  JsonNode* element = ElementAt(array, index);
  ListRemoveAt(*array->payload.array, index);
  element->parent = nullptr;
  Release(element);
  return true;
}

void DetachFromParent(JsonNode* node) {
  JsonNode* parent = node->parent;
  if (parent == nullptr) return;
  if (parent->kind == JsonKind::Array && parent->payload.array != nullptr) {
    ListRemove(*parent->payload.array, node);
  } else if (parent->kind == JsonKind::Object && parent->payload.object != nullptr) {
    uint32_t k = EntryOf(parent->payload.object, node);
    if (k != kNoEntry) RemoveEntry(*parent->payload.object, k);
  }
  node->parent = nullptr;
}

JsonNode* DeepCopy(const JsonNode* node) {
  JsonNode* root = ShallowCopy(node);
  if (root == nullptr) return nullptr;
  // Containers whose children are still to copy, with their copies.
  std::vector<std::pair<const JsonNode*, JsonNode*>> pending;
  try {
    pending.emplace_back(node, root);
    while (!pending.empty()) {
      auto [source, copy] = pending.back();
      pending.pop_back();
      bool is_object = source->kind == JsonKind::Object;
      uint32_t count = is_object ? MemberCount(source) : source->kind == JsonKind::Array ? ElementCount(source) : 0;
      for (uint32_t k = 0; k < count; ++k) {
        const JsonNode* child = is_object ? MemberAt(source, k) : ElementAt(source, k);
        JsonNode* child_copy = ShallowCopy(child);
        JsonText::Scratch scratch;
        bool added = child_copy != nullptr &&
                     (is_object ? PutMember(copy, child->key.View(scratch), child_copy) : AppendElement(copy, child_copy));
        if (!added) {
          if (child_copy != nullptr) Release(child_copy);
          Release(root);
          return nullptr;
        }
        if (child->kind == JsonKind::Array || child->kind == JsonKind::Object) pending.emplace_back(child, child_copy);
      }
    }
  } catch (const std::bad_alloc&) {
    Release(root);
    return nullptr;
  }
  return root;
}

}  // namespace json
