#include "json/json_merge.h"

#include <new>
#include <vector>

namespace json {
namespace {

bool IsObject(const JsonNode* node) { return node->kind == JsonKind::Object; }

bool IsMemberOfObject(const JsonNode* node) { return node->parent != nullptr && IsObject(node->parent); }

// One pair of objects being merged.
struct Step {
  JsonNode* target;
  const JsonNode* incoming;
  uint32_t next;  // the incoming member to merge next
  bool merged;    // some member has merged so far
};

// Merges member `member` of incoming into `step.target`; false when the
// merge must stop with false. May push a nested step.
bool MergeMember(std::vector<Step>& steps, Step& step, const JsonNode* member, bool add_missing) {
  JsonText::Scratch scratch;
  std::u16string_view key = member->key.View(scratch);
  JsonNode* stored = FindMember(step.target, key);
  if (stored != nullptr && IsObject(stored) && IsObject(member)) {
    steps.push_back({stored, member, 0, false});
    return true;
  }
  if (stored == nullptr && !add_missing) return true;
  JsonNode* copy = DeepCopy(member);
  if (copy == nullptr) return false;
  if (stored != nullptr) {
    ReplaceMember(step.target, stored, copy);
  } else if (!PutMember(step.target, key, copy)) {
    Release(copy);
    return false;
  }
  step.merged = true;
  return true;
}

}  // namespace

bool MergeNodes(JsonNode* target, JsonNode* incoming, bool add_missing) {
  if (!IsObject(target) || !IsObject(incoming)) {
    if (!IsMemberOfObject(target)) return false;
    AddRef(incoming);
    DetachFromParent(incoming);
    ReplaceMember(target->parent, target, incoming);
    return true;
  }
  try {
    std::vector<Step> steps{{target, incoming, 0, false}};
    while (true) {
      Step& step = steps.back();
      if (step.next < MemberCount(step.incoming)) {
        const JsonNode* member = MemberAt(step.incoming, step.next++);
        if (!MergeMember(steps, step, member, add_missing)) return false;
        continue;
      }
      bool merged = step.merged;
      steps.pop_back();
      if (steps.empty()) return merged;
      if (!merged) return false;
      steps.back().merged = true;
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace json
