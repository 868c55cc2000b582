#include "json/json_writer.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "json/json_number.h"

namespace json {

TextBuilder::~TextBuilder() { std::free(buffer_); }

bool TextBuilder::Reserve(size_t units) {
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

void TextBuilder::Append(std::u16string_view units) {
  if (units.empty() || !Reserve(units.size())) return;
  std::memcpy(buffer_ + used_, units.data(), units.size() * sizeof(char16_t));
  used_ += units.size();
  buffer_[used_] = u'\0';
}

void TextBuilder::AppendRepeated(char16_t unit, size_t count) {
  if (!Reserve(count)) return;
  for (size_t k = 0; k < count; ++k) buffer_[used_++] = unit;
  buffer_[used_] = u'\0';
}

void EscapeText(std::u16string_view text, TextBuilder& builder) {
  size_t plain_from = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t escaped;
    switch (text[i]) {
      case u'"': escaped = u'"'; break;
      case u'\\': escaped = u'\\'; break;
      case u'\b': escaped = u'b'; break;
      case u'\t': escaped = u't'; break;
      case u'\n': escaped = u'n'; break;
      case u'\r': escaped = u'r'; break;
      case u'\f': escaped = u'f'; break;
      default: continue;
    }
    builder.Append(text.substr(plain_from, i - plain_from));
    const char16_t pair[2] = {u'\\', escaped};
    builder.Append(std::u16string_view(pair, 2));
    plain_from = i + 1;
  }
  builder.Append(text.substr(plain_from));
}

namespace {

class Writer {
 public:
  Writer(TextBuilder& builder, bool pretty, int depth, bool escape)
      : builder_(builder), pretty_(pretty), escape_(escape), depth_(depth) {}

  void Run(const JsonNode* node) {
    try {
      WriteValue(node);
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

  void WriteQuoted(std::u16string_view text) {
    builder_.Append(u'"');
    if (escape_) EscapeText(text, builder_);
    else builder_.Append(text);
    builder_.Append(u'"');
  }

  void LineBreak() {
    if (pretty_) builder_.Append(u"\r\n");
  }
  void Indent() {
    if (pretty_ && depth_ > 0) builder_.AppendRepeated(u'\t', static_cast<size_t>(depth_));
  }

  // Writes a scalar whole, or opens a container and leaves its children to
  // Continue.
  void WriteValue(const JsonNode* node) {
    JsonText::Scratch scratch;
    switch (node->kind) {
      case JsonKind::Null: builder_.Append(u"null"); break;
      case JsonKind::Bool: builder_.Append(node->payload.boolean != 0 ? u"true" : u"false"); break;
      case JsonKind::Real: builder_.Append(FormatReal(node->payload.real).View()); break;
      case JsonKind::Integer: builder_.Append(FormatInteger(node->payload.integer).View()); break;
      case JsonKind::Raw: builder_.Append(node->text.View(scratch)); break;
      case JsonKind::String: WriteQuoted(node->text.View(scratch)); break;
      case JsonKind::Array:
        builder_.Append(u'[');
        ++depth_;
        open_.push_back({node, 0});
        break;
      case JsonKind::Object:
        builder_.Append(u'{');
        LineBreak();
        ++depth_;
        open_.push_back({node, 0});
        break;
    }
  }

  // Writes the next child of the innermost open container, or closes it.
  void Continue() {
    Open& open = open_.back();
    const JsonNode* container = open.container;
    const uint32_t k = open.next++;
    if (container->kind == JsonKind::Array) {
      if (k < ElementCount(container)) {
        if (k > 0) builder_.Append(u',');
        return WriteValue(ElementAt(container, k));
      }
      --depth_;
      builder_.Append(u']');
    } else {
      const uint32_t count = MemberCount(container);
      // Each member is followed by "," unless it is the last, then a line break.
      if (k > 0) {
        if (k < count) builder_.Append(u',');
        LineBreak();
      }
      if (k < count) {
        const JsonNode* member = MemberAt(container, k);
        Indent();
        JsonText::Scratch scratch;
        WriteQuoted(member->key.View(scratch));
        builder_.Append(u':');
        return WriteValue(member);
      }
      --depth_;
      Indent();
      builder_.Append(u'}');
    }
    open_.pop_back();
  }

  TextBuilder& builder_;
  const bool pretty_;
  const bool escape_;
  int depth_;
  std::vector<Open> open_;
};

}  // namespace

void WriteNode(const JsonNode* node, TextBuilder& builder, bool pretty, int depth, bool escape) {
  Writer(builder, pretty, depth, escape).Run(node);
}

}  // namespace json
