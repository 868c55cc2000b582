// The nodes of a JSON tree and the containers that hold them.
//
// A JsonNode is reference-counted: it starts with a count of 1, which the
// container or document that receives it takes over. A container (an Array's
// JsonNodeList, an Object's JsonObjectTable) holds one counted reference to
// each child; a child's parent link is not counted. When the count reaches 0
// the node leaves its parent's container, its children are released and it
// is freed. Trees of any depth are released, cleared and copied without
// recursion.
//
// Object members are found through a table of chained buckets: 11 buckets at
// first, growing to 2n + 1 once the member count reaches 0.75 of them. The
// members are kept in member order beside the buckets, so lookups never scan
// them. Member and element lists start with room for 8 and grow to twice
// their capacity plus one. A node keeps its key; its key's hash and its link
// to the next member of its bucket live in the object's table.
//
// Contract: counts change atomically, so documents sharing nodes may release
// them on different threads; everything else about a tree is used by one
// thread at a time. No function throws. Functions that allocate report
// failure by returning false or null and leave the tree as it was.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string_view>

#include "json/json_text.h"

namespace json {

enum class JsonKind : int32_t {
  Raw = -1,  // a value text that is neither a known word nor a number
  Null = 0,
  Real = 1,
  Integer = 2,
  Bool = 3,
  String = 4,
  Array = 5,
  Object = 6,
};

struct JsonNode;

struct JsonNodeList {
  static constexpr uint32_t kInitialCapacity = 8;
  JsonNode** items = nullptr;
  uint32_t count = 0;
  uint32_t capacity = 0;
};

// One member of an object: its node, its key's hash and the next member in
// the same bucket (an entry index, kNoEntry ending the chain).
struct JsonMemberEntry {
  static constexpr uint32_t kNoEntry = UINT32_MAX;
  JsonNode* node;
  uint32_t hash;
  uint32_t next;
};

// An object's members in one block: this header, the bucket heads (entry
// indexes), then the entries in member order. Bucket count and entry room
// grow together: the threshold of 2n + 1 buckets at 0.75 is always the
// list's next capacity (11 and 8, 23 and 17, 47 and 35, ...).
struct JsonObjectTable {
  static constexpr uint32_t kInitialBuckets = 11;
  static constexpr float kLoadFactor = 0.75f;
  uint32_t bucket_count;
  uint32_t count;
  uint32_t grow_threshold;
  float load_factor;
  uint32_t capacity;  // room for entries
  uint32_t padding;   // keeps the entries 8-byte aligned

  uint32_t* Buckets() { return reinterpret_cast<uint32_t*>(this + 1); }
  JsonMemberEntry* Entries() { return reinterpret_cast<JsonMemberEntry*>(Buckets() + ((bucket_count + 1) & ~1u)); }
  const JsonMemberEntry* Entries() const { return const_cast<JsonObjectTable*>(this)->Entries(); }
};

static_assert(sizeof(JsonObjectTable) % 8 == 0);

struct JsonNode {
  std::atomic<int32_t> refs{1};
  JsonKind kind = JsonKind::Null;
  JsonText key;  // set while the node is a member of an object
  union Payload {
    double real;
    int64_t integer;
    int32_t boolean;
    JsonNodeList* array;      // absent while the array is empty
    JsonObjectTable* object;  // absent while the object has no members yet
  } payload{};
  JsonNode* parent = nullptr;  // the Array or Object holding this node
  // A String's text; for every other kind the literal text.
  JsonText text;
};

// A new unattached node of `kind` with count 1 and an empty payload; a Null
// or Bool gets its word as literal. Null when memory runs out.
JsonNode* NewNode(JsonKind kind);
// Atomic increment; the new count.
int32_t AddRef(JsonNode* node);
// Atomic decrement; at 0 the node leaves its parent and is freed.
void Release(JsonNode* node);

// Frees the node's content but keeps its kind: children released, text,
// literal and payload gone.
void ClearNode(JsonNode* node);
// A node of another kind is cleared and becomes an empty Object (Array).
void MakeObject(JsonNode* node);
void MakeArray(JsonNode* node);
// The node becomes `kind` with `literal`, after being cleared.
bool SetScalar(JsonNode* node, JsonKind kind, std::u16string_view literal);

// The hash of a key: h := h * 31 + unit over the units and a final zero.
uint32_t KeyHash(std::u16string_view key);

// Object members; `object` must be an Object.
inline uint32_t MemberCount(const JsonNode* object) {
  return object->payload.object == nullptr ? 0 : object->payload.object->count;
}
// In member order; `position` below MemberCount.
inline JsonNode* MemberAt(const JsonNode* object, uint32_t position) {
  return object->payload.object->Entries()[position].node;
}
JsonNode* FindMember(const JsonNode* object, std::u16string_view key);
// The functions below that are given a `child` or `replacement` take over
// its reference when they succeed; on failure the caller keeps it. Such a
// node must not be held by another container.
//
// Sets `child` under `key`: an existing member keeps its place and is
// released, a new one goes last.
bool PutMember(JsonNode* object, std::u16string_view key, JsonNode* child);
// The member under `key`, added as Null when missing; null when that fails.
JsonNode* GetOrAddMember(JsonNode* object, std::u16string_view key);
bool RemoveMember(JsonNode* object, std::u16string_view key);
// Puts `replacement` where member `old` stands, under its key; `old` is
// released.
void ReplaceMember(JsonNode* object, JsonNode* old, JsonNode* replacement);
uint32_t BucketCount(const JsonNode* object);
// Reorders the members by `before`, a strict total order on members.
void SortMembers(JsonNode* object, const std::function<bool(const JsonNode*, const JsonNode*)>& before);

// Array elements; `array` must be an Array.
inline uint32_t ElementCount(const JsonNode* array) {
  return array->payload.array == nullptr ? 0 : array->payload.array->count;
}
// `index` below ElementCount.
inline JsonNode* ElementAt(const JsonNode* array, uint32_t index) { return array->payload.array->items[index]; }
bool AppendElement(JsonNode* array, JsonNode* child);
// The element at `index`, the array padded with Nulls up to it.
JsonNode* GetOrExtendElement(JsonNode* array, uint32_t index);
// Puts `child` at `index`, replacing and releasing an
// element there, or padding with Nulls and appending past the end.
bool PutElement(JsonNode* array, uint32_t index, JsonNode* child);
bool RemoveElement(JsonNode* array, uint32_t index);

// Takes the node out of its parent's container, without releasing the
// container's reference, and clears the parent link.
void DetachFromParent(JsonNode* node);

// A new tree equal to `node`'s, numbers given literals made from their
// values; null when memory runs out.
JsonNode* DeepCopy(const JsonNode* node);

}  // namespace json
