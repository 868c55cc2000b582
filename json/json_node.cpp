#include "json/json_node.h"

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

void ListReplace(JsonNodeList& list, const JsonNode* old, JsonNode* replacement) {
  for (uint32_t k = 0; k < list.count; ++k) {
    if (list.items[k] == old) {
      list.items[k] = replacement;
      return;
    }
  }
}

// Tables ---------------------------------------------------------------------

uint32_t BucketOf(uint32_t hash, uint32_t bucket_count) { return (hash & 0x7FFFFFFFu) % bucket_count; }

JsonNode** ChainSlotOf(JsonObjectTable& table, const JsonNode* member) {
  JsonNode** slot = &table.buckets[BucketOf(member->key_hash, table.bucket_count)];
  while (*slot != nullptr && *slot != member) slot = &(*slot)->next;
  return slot;
}

bool Rehash(JsonObjectTable& table, uint32_t bucket_count) {
  auto* buckets = static_cast<JsonNode**>(std::calloc(bucket_count, sizeof(JsonNode*)));
  if (buckets == nullptr) return false;
  // Old buckets in index order, each chain from its head.
  for (uint32_t b = 0; b < table.bucket_count; ++b) {
    for (JsonNode* member = table.buckets[b]; member != nullptr;) {
      JsonNode* next = member->next;
      JsonNode*& head = buckets[BucketOf(member->key_hash, bucket_count)];
      member->next = head;
      head = member;
      member = next;
    }
  }
  std::free(table.buckets);
  table.buckets = buckets;
  table.bucket_count = bucket_count;
  table.grow_threshold = static_cast<uint32_t>(bucket_count * table.load_factor);
  return true;
}

// Room for one more member: the table is made on first use and grows when
// the count has reached the threshold.
JsonObjectTable* TableWithRoom(JsonNode* object) {
  JsonObjectTable* table = object->payload.object;
  if (table == nullptr) {
    table = new (std::nothrow) JsonObjectTable;
    if (table == nullptr) return nullptr;
    if (!Rehash(*table, JsonObjectTable::kInitialBuckets)) {
      delete table;
      return nullptr;
    }
    object->payload.object = table;
  }
  if (table->count >= table->grow_threshold) {
    uint64_t bucket_count = uint64_t{table->bucket_count} * 2 + 1;
    if (bucket_count > UINT32_MAX || !Rehash(*table, static_cast<uint32_t>(bucket_count))) return nullptr;
  }
  if (!ReserveOneMore(table->order)) return nullptr;
  return table;
}

JsonNode* FindInTable(const JsonObjectTable* table, std::u16string_view key, uint32_t hash) {
  if (table == nullptr) return nullptr;
  for (JsonNode* member = table->buckets[BucketOf(hash, table->bucket_count)]; member != nullptr;
       member = member->next) {
    if (member->key_hash == hash && member->key.Equals(key)) return member;
  }
  return nullptr;
}

// Adds a member whose key is not present yet.
bool AddNewMember(JsonNode* object, std::u16string_view key, uint32_t hash, JsonNode* child) {
  JsonText key_text;
  if (!key_text.Assign(key)) return false;
  JsonObjectTable* table = TableWithRoom(object);
  if (table == nullptr) return false;
  child->key = std::move(key_text);
  child->key_hash = hash;
  JsonNode*& head = table->buckets[BucketOf(hash, table->bucket_count)];
  child->next = head;
  head = child;
  ListAppend(table->order, child);  // room reserved above
  ++table->count;
  child->parent = object;
  return true;
}

void UnlinkMember(JsonObjectTable& table, JsonNode* member) {
  JsonNode** slot = ChainSlotOf(table, member);
  if (*slot == nullptr) return;
  *slot = member->next;
  member->next = nullptr;
  ListRemove(table.order, member);
  member->key.Free();
  --table.count;
}

// Teardown -------------------------------------------------------------------

// Drops a container's reference to `child`. Children whose count reaches 0
// are chained through `next` onto `dead` instead of being freed right away,
// which keeps the teardown of deep trees iterative.
void DropChild(JsonNode* child, JsonNode** dead) {
  child->parent = nullptr;
  child->key.Free();
  if (child->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    child->next = *dead;
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
    for (uint32_t k = 0; k < table->order.count; ++k) DropChild(table->order.items[k], dead);
    std::free(table->order.items);
    std::free(table->buckets);
    delete table;
  }
  node->payload = {};
  node->text.Free();
}

void DestroyChain(JsonNode* dead) {
  while (dead != nullptr) {
    JsonNode* node = dead;
    dead = node->next;
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

void AddRef(JsonNode* node) { node->refs.fetch_add(1, std::memory_order_relaxed); }

void Release(JsonNode* node) {
  if (node->refs.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
  DetachFromParent(node);
  node->next = nullptr;
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
  return FindInTable(object->payload.object, key, KeyHash(key));
}

bool PutMember(JsonNode* object, std::u16string_view key, JsonNode* child) {
  uint32_t hash = KeyHash(key);
  JsonNode* old = FindInTable(object->payload.object, key, hash);
  if (old == nullptr) return AddNewMember(object, key, hash, child);
  if (old != child) ReplaceMember(object, old, child);
  else Release(child);  // the object already holds this node once
  return true;
}

JsonNode* GetOrAddMember(JsonNode* object, std::u16string_view key) {
  uint32_t hash = KeyHash(key);
  if (JsonNode* member = FindInTable(object->payload.object, key, hash)) return member;
  JsonNode* member = NewNode(JsonKind::Null);
  if (member == nullptr) return nullptr;
  if (!AddNewMember(object, key, hash, member)) {
    Release(member);
    return nullptr;
  }
  return member;
}

bool RemoveMember(JsonNode* object, std::u16string_view key) {
  JsonNode* member = FindMember(object, key);
  if (member == nullptr) return false;
  UnlinkMember(*object->payload.object, member);
  member->parent = nullptr;
  Release(member);
  return true;
}

void ReplaceMember(JsonNode* object, JsonNode* old, JsonNode* replacement) {
  JsonObjectTable& table = *object->payload.object;
  *ChainSlotOf(table, old) = replacement;
  replacement->next = old->next;
  replacement->key = std::move(old->key);
  replacement->key_hash = old->key_hash;
  replacement->parent = object;
  ListReplace(table.order, old, replacement);
  old->next = nullptr;
  old->parent = nullptr;
  Release(old);
}

uint32_t BucketCount(const JsonNode* object) {
  return object->payload.object == nullptr ? 0 : object->payload.object->bucket_count;
}

JsonNodeList* MemberOrder(JsonNode* object) {
  return object->payload.object == nullptr ? nullptr : &object->payload.object->order;
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
    UnlinkMember(*parent->payload.object, node);
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
