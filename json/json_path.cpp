#include "json/json_path.h"

#include <climits>

namespace json {
namespace {

struct Segment {
  bool has_name = false;
  std::u16string name;
  bool has_index = false;
  int index = 0;
};

bool IsEscapable(char16_t c) { return c == u'.' || c == u'[' || c == u']' || c == u'\\'; }

// Optional sign, then digits; reading stops at the first other unit.
int ReadIndex(std::u16string_view text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  long long value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;  // saturates below
  }
  if (negative) value = -value;
  return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

// Reads path segments one after the other.
class SegmentReader {
 public:
  explicit SegmentReader(std::u16string_view path) : path_(path), done_(path.empty()) {}

  // Fills `segment` with the next segment; false when there is none left.
  bool Next(Segment& segment) {
    if (done_) return false;
    segment.name.clear();
    segment.has_name = at_ >= path_.size() || path_[at_] != u'[';
    segment.has_index = false;
    std::u16string index_text;
    enum { kName, kIndex, kIgnored } part = kName;
    bool ended_on_dot = false;
    while (at_ < path_.size()) {
      char16_t c = path_[at_++];
      bool escaped = false;
      if (c == u'\\' && at_ < path_.size() && IsEscapable(path_[at_])) {
        c = path_[at_++];
        escaped = true;
      }
      if (!escaped && c == u'.') {
        ended_on_dot = true;
        break;
      }
      if (part == kIgnored) continue;
      if (!escaped && part == kName && c == u'[') {
        part = kIndex;
        segment.has_index = true;
      } else if (!escaped && part == kIndex && c == u']') {
        part = kIgnored;
      } else if (part == kName) {
        segment.name.push_back(c);
      } else {
        index_text.push_back(c);
      }
    }
    if (!ended_on_dot) done_ = true;
    segment.index = ReadIndex(index_text);
    return true;
  }

 private:
  std::u16string_view path_;
  size_t at_ = 0;
  bool done_;
};

}  // namespace

JsonNode* ResolvePath(JsonNode* root, std::u16string_view path) {
  JsonNode* node = root;
  SegmentReader reader(path);
  Segment segment;
  while (node != nullptr && reader.Next(segment)) {
    if (segment.has_name) {
      MakeObject(node);
      node = GetOrAddMember(node, segment.name);
    }
    if (node != nullptr && segment.has_index) {
      if (segment.index < 0) return nullptr;
      MakeArray(node);
      node = GetOrExtendElement(node, static_cast<uint32_t>(segment.index));
    }
  }
  return node;
}

bool PathExists(const JsonNode* root, std::u16string_view path) {
  if (root == nullptr || path.empty()) return false;
  const JsonNode* node = root;
  SegmentReader reader(path);
  Segment segment;
  while (reader.Next(segment)) {
    if (segment.has_name) {
      if (node->kind != JsonKind::Object) return false;
      node = FindMember(node, segment.name);
      if (node == nullptr) return false;
    }
    if (segment.has_index) {
      if (node->kind != JsonKind::Array || segment.index < 0 ||
          static_cast<uint32_t>(segment.index) >= ElementCount(node)) {
        return false;
      }
      node = ElementAt(node, static_cast<uint32_t>(segment.index));
    }
  }
  return true;
}

}  // namespace json
