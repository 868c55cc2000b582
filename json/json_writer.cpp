#include "json/json_writer.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "json/json_escapes.h"
#include "json/json_number.h"

namespace json {

TextBuilder::~TextBuilder() { std::free(buffer_); }

bool TextBuilder::Grow(size_t units) {
  if (failed_) return false;
  if (units > SIZE_MAX / 8 - capacity_bytes_) {
    failed_ = true;
    return false;
  }
  size_t needed_bytes = (used_ + units + 1) * sizeof(char16_t);
  if (buffer_ != nullptr && needed_bytes <= capacity_bytes_) return true;
  size_t capacity = needed_bytes <= capacity_bytes_ ? capacity_bytes_
                                                    : 2 * capacity_bytes_ + (units + 1) * sizeof(char16_t);
  auto* buffer = static_cast<char16_t*>(std::realloc(buffer_, capacity));
  if (buffer == nullptr) {
    failed_ = true;
    return false;
  }
  buffer_ = buffer;
  capacity_bytes_ = capacity;
  return true;
}

namespace {

// Writes `text` escaped at `out`, which has room for twice its units.
char16_t* PutEscaped(char16_t* out, std::u16string_view text) {
  for (char16_t c : text) {
    // Units above the backslash never need escaping.
    char16_t escaped = c <= u'\\' ? EscapeLetterOf(c) : 0;
    if (escaped == 0) {
      *out++ = c;
    } else {
      *out++ = u'\\';
      *out++ = escaped;
    }
  }
  return out;
}

char16_t* PutUnits(char16_t* out, std::u16string_view units) {
  if (!units.empty()) std::memcpy(out, units.data(), units.size() * sizeof(char16_t));
  return out + units.size();
}

class Writer {
 public:
  Writer(TextBuilder& builder, bool pretty, int depth, bool escape)
      : builder_(builder), pretty_(pretty), escape_(escape), depth_(depth) {}

  void Run(const JsonNode* node) {
    try {
      WriteValue(node, /*comma=*/false);
      while (!open_.empty()) Continue();
    } catch (const std::bad_alloc&) {
      builder_.Fail();
    }
  }

 private:
  struct Open {
    const JsonNode* container;
    uint32_t next;  // the child to write next
  };

  size_t QuotedRoom(std::u16string_view text) const { return 2 + (escape_ ? 2 : 1) * text.size(); }
  char16_t* PutQuoted(char16_t* out, std::u16string_view text) const {
    *out++ = u'"';
    out = escape_ ? PutEscaped(out, text) : PutUnits(out, text);
    *out++ = u'"';
    return out;
  }

  size_t IndentRoom() const { return pretty_ && depth_ > 0 ? static_cast<size_t>(depth_) : 0; }
  char16_t* PutIndent(char16_t* out) const {
    for (size_t k = IndentRoom(); k > 0; --k) *out++ = u'\t';
    return out;
  }
  char16_t* PutLineBreak(char16_t* out) const {
    if (pretty_) {
      *out++ = u'\r';
      *out++ = u'\n';
    }
    return out;
  }

  // Writes a scalar whole (after a "," when `comma` is set), or opens a
  // container and leaves its children to Continue.
  void WriteValue(const JsonNode* node, bool comma) {
    JsonText::Scratch scratch;
    NumberText number;
    std::u16string_view text;
    switch (node->kind) {
      case JsonKind::Null: text = u"null"; break;
      case JsonKind::Bool: text = node->payload.boolean != 0 ? u"true" : u"false"; break;
      case JsonKind::Real: number = FormatReal(node->payload.real); text = number.View(); break;
      case JsonKind::Integer: number = FormatInteger(node->payload.integer); text = number.View(); break;
      case JsonKind::Raw:
      case JsonKind::String: text = node->text.View(scratch); break;
      case JsonKind::Array: text = u"["; break;
      case JsonKind::Object: text = u"{"; break;
    }
    const bool quoted = node->kind == JsonKind::String;
    char16_t* out = builder_.Claim(1 + (quoted ? QuotedRoom(text) : text.size()) + 2);
    if (out == nullptr) return open_.clear();  // out of memory: stop writing
    if (comma) *out++ = u',';
    out = quoted ? PutQuoted(out, text) : PutUnits(out, text);
    if (node->kind == JsonKind::Object) out = PutLineBreak(out);
    builder_.Commit(out);
    if (node->kind == JsonKind::Array || node->kind == JsonKind::Object) {
      ++depth_;
      open_.push_back({node, 0});
    }
  }

  // Writes the next child of the innermost open container, or closes it.
  void Continue() {
    Open& open = open_.back();
    const JsonNode* container = open.container;
    const uint32_t k = open.next++;
    if (container->kind == JsonKind::Array) {
      if (k < ElementCount(container)) return WriteValue(ElementAt(container, k), k > 0);
      --depth_;
      builder_.Append(u']');
      open_.pop_back();
      return;
    }
    // Each member is followed by "," unless it is the last, then a line
    // break; the member's key opens its line.
    const uint32_t count = MemberCount(container);
    const JsonNode* member = k < count ? MemberAt(container, k) : nullptr;
    if (member == nullptr) --depth_;
    JsonText::Scratch scratch;
    std::u16string_view key = member != nullptr ? member->key.View(scratch) : std::u16string_view();
    char16_t* out = builder_.Claim(3 + IndentRoom() + QuotedRoom(key) + 1);
    if (out == nullptr) return open_.clear();
    if (k > 0) {
      if (member != nullptr) *out++ = u',';
      out = PutLineBreak(out);
    }
    out = PutIndent(out);
    if (member == nullptr) {
      *out++ = u'}';
      builder_.Commit(out);
      open_.pop_back();
      return;
    }
    out = PutQuoted(out, key);
    *out++ = u':';
    builder_.Commit(out);
    WriteValue(member, /*comma=*/false);
  }

  TextBuilder& builder_;
  const bool pretty_;
  const bool escape_;
  int depth_;
  std::vector<Open> open_;
};

}  // namespace

void EscapeText(std::u16string_view text, TextBuilder& builder) {
  if (char16_t* out = builder.Claim(2 * text.size())) builder.Commit(PutEscaped(out, text));
}

void WriteNode(const JsonNode* node, TextBuilder& builder, bool pretty, int depth, bool escape) {
  Writer(builder, pretty, depth, escape).Run(node);
}

}  // namespace json
