#include "json/json_reader.h"

#include <array>
#include <new>
#include <vector>

#include "json/json_escapes.h"
#include "json/json_number.h"

namespace json {
namespace {

bool IsBlank(char16_t c) { return c == u'\r' || c == u'\n' || c == u'\t' || c == u' '; }

std::u16string_view Trim(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The units the scanner acts on; every other unit only advances it.
constexpr std::array<bool, 128> MarkUnits(std::u16string_view units) {
  std::array<bool, 128> marks{};
  for (char16_t unit : units) marks[unit] = true;
  return marks;
}
constexpr auto kActiveOutsideStrings = MarkUnits(u"{}[]:,\"'\\");
constexpr auto kActiveInsideStrings = MarkUnits(u"\"'\\");

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// One call of a reader: the scan state over one text.
class Scanner {
 public:
  Scanner(JsonNode* root, std::u16string_view text, bool decode_unicode, bool loose_keys)
      : root_(root), text_(text), decode_unicode_(decode_unicode), loose_keys_(loose_keys) {}

  ReadResult Run() {
    ReadResult result = kOk;
    try {
      result = Scan();
    } catch (const std::bad_alloc&) {
      result = kOutOfMemory;
    }
    if (result == kOk && !stack_.empty()) result = kUnbalanced;
    if (result != kOk) ClearNode(root_);
    return result;
  }

 private:
  static constexpr long kNone = -1;

  ReadResult Scan() {
    const size_t n = text_.size();
    size_t i = 0;
    while (true) {
      const auto& active = quote_ == 0 ? kActiveOutsideStrings : kActiveInsideStrings;
      while (i < n && (text_[i] >= 128 || !active[text_[i]])) ++i;
      // The terminating zero unit is an ordinary unit: nothing is left to do.
      if (i >= n) return kOk;
      char16_t c = text_[i];
      ReadResult result = kOk;
      switch (c) {
        case u'\\': {
          char16_t next = i + 1 < n ? text_[i + 1] : u'\0';
          if (next == u'"' || next == u'\'' || next == u'\\') ++i;
          break;
        }
        case u'"':
        case u'\'':
          result = OnQuote(i, c);
          break;
        case u'{':
          result = OnOpenContainer(i, JsonKind::Object);
          break;
        case u'[':
          result = OnOpenContainer(i, JsonKind::Array);
          break;
        case u':':
          result = OnColon(i);
          break;
        case u',':
          result = OnComma(i);
          break;
        case u']':
          result = OnClose(i, /*as_element=*/true);
          break;
        case u'}':
          result = OnClose(i, /*as_element=*/false);
          break;
      }
      if (result != kOk) return result;
      ++i;
    }
  }

  JsonNode* Top() const { return stack_.back(); }
  bool TopIsArray() const { return Top()->kind == JsonKind::Array; }

  std::u16string_view KeyText() const {
    std::u16string_view key = text_.substr(key_start_, key_length_);
    return loose_keys_ ? Trim(key) : key;
  }

  // The text itself when it holds no escape, else its unescaped copy in
  // `buffer`.
  std::u16string_view Unescaped(std::u16string_view text, std::u16string& buffer) {
    if (text.find(u'\\') == std::u16string_view::npos) return text;
    buffer.clear();
    UnescapeText(text, decode_unicode_, buffer);
    return buffer;
  }

  ReadResult OnOpenContainer(size_t i, JsonKind kind) {
    const bool is_array = kind == JsonKind::Array;
    after_colon_ = false;
    if (is_array) value_start_ = static_cast<long>(i + 1);
    if (stack_.empty()) {
      if (is_array) MakeArray(root_);
      else MakeObject(root_);
      stack_.push_back(root_);
    } else {
      if (!TopIsArray()) {
        bool missing = key_start_ == kNone || (loose_keys_ && !is_array && key_length_ == 0);
        if (missing) return kMissingKey;
      }
      JsonNode* container = NewNode(kind);
      if (container == nullptr) return kOutOfMemory;
      const bool as_member = !TopIsArray();
      bool added = as_member ? PutMember(Top(), Unescaped(KeyText(), key_buffer_), container)
                             : AppendElement(Top(), container);
      if (!added) {
        Release(container);
        return kAddFailed;
      }
      if (!is_array) {
        if (as_member) key_length_ = 0;
        key_start_ = kNone;
        value_start_ = kNone;
      }
      stack_.push_back(container);
    }
    quoted_value_ = false;
    if (loose_keys_) {
      value_length_ = 0;
      key_length_ = 0;
      value_start_ = is_array ? static_cast<long>(i + 1) : kNone;
      key_start_ = is_array ? kNone : static_cast<long>(i + 1);
    }
    return kOk;
  }

  ReadResult OnQuote(size_t i, char16_t c) {
    if (stack_.empty()) return kUnbalanced;
    const long at = static_cast<long>(i);
    if (!TopIsArray() && !after_colon_) {
      if (quote_ == 0) {
        quote_ = c;
        key_start_ = at + 1;
        if (loose_keys_) {
          key_length_ = 0;
          value_start_ = kNone;
          value_length_ = 0;
        }
      } else if (c == quote_) {
        key_length_ = at - key_start_;
        quote_ = 0;
      }
    } else {
      quoted_value_ = true;
      if (quote_ == 0) {
        quote_ = c;
        value_start_ = at + 1;
      } else if (c == quote_) {
        value_length_ = at - value_start_;
        quote_ = 0;
      }
    }
    return kOk;
  }

  ReadResult OnColon(size_t i) {
    if (loose_keys_ && key_start_ == kNone) return kMissingKey;
    if (stack_.empty()) return kUnbalanced;
    if (TopIsArray()) return kColonInArray;
    after_colon_ = true;
    value_start_ = static_cast<long>(i + 1);
    if (loose_keys_ && key_length_ == 0) key_length_ = static_cast<long>(i) - key_start_;
    return kOk;
  }

  ReadResult OnComma(size_t i) {
    if (stack_.empty()) return kUnbalanced;
    const long next = static_cast<long>(i + 1);
    if (value_start_ == kNone) {
      value_start_ = next;
      if (loose_keys_) {
        key_length_ = 0;
        key_start_ = Top()->kind == JsonKind::Object ? next : kNone;
      }
      return kOk;
    }
    if (ReadResult result = BuildValue(i, TopIsArray()); result != kOk) return result;
    after_colon_ = false;
    value_start_ = next;
    quoted_value_ = false;
    if (loose_keys_) {
      key_start_ = next;
      key_length_ = 0;
    }
    return kOk;
  }

  ReadResult OnClose(size_t i, bool as_element) {
    if (value_start_ == kNone) {
      Close();
      return kOk;
    }
    if (as_element && !quoted_value_ && IsEmptyElement(i)) return kEmptyElement;
    if (ReadResult result = BuildValue(i, as_element); result != kOk) return result;
    Close();
    after_colon_ = false;
    key_start_ = kNone;
    value_start_ = kNone;
    quoted_value_ = false;
    return kOk;
  }

  // Nothing but blanks since a "," (a "[" may be followed by blanks alone).
  bool IsEmptyElement(size_t i) const {
    for (size_t k = static_cast<size_t>(value_start_); k < i; ++k) {
      if (text_[k] > u' ') return false;
    }
    return text_[value_start_ - 1] != u'[';
  }

  void Close() {
    if (!stack_.empty()) stack_.pop_back();
  }

  // Turns the pending value ending at `i` into a node of the innermost
  // container.
  ReadResult BuildValue(size_t i, bool as_element) {
    if (!quoted_value_) value_length_ = static_cast<long>(i) - value_start_;
    std::u16string_view value = text_.substr(value_start_, value_length_);
    if (!quoted_value_) value = Trim(value);
    if (as_element && !quoted_value_ && value.empty()) return kOk;
    std::u16string_view key;
    if (!as_element) {
      if (key_start_ == kNone) return kMissingKey;
      key = Unescaped(Trim(text_.substr(key_start_, key_length_)), key_buffer_);
    }
    if (stack_.empty()) return kUnbalanced;
    JsonNode* node = MakeValue(value);
    if (node == nullptr) return kOutOfMemory;
    JsonNode* container = Top();
    bool added;
    if (as_element) {
      MakeArray(container);
      added = AppendElement(container, node);
    } else {
      MakeObject(container);
      added = PutMember(container, key, node);
    }
    if (!added) {
      Release(node);
      return kAddFailed;
    }
    return kOk;
  }

  JsonNode* MakeValue(std::u16string_view value) {
    JsonKind kind = quoted_value_ ? JsonKind::String : ClassifyLiteral(value);
    JsonNode* node = NewNode(kind);
    if (node == nullptr) return nullptr;
    switch (kind) {
      case JsonKind::Null:
        return node;
      case JsonKind::Bool:
        node->payload.boolean = value == u"true";
        break;
      case JsonKind::Real:
        node->payload.real = ReadReal(value);
        break;
      case JsonKind::Integer:
        node->payload.integer = ReadInteger(value);
        break;
      case JsonKind::String:
        value = Unescaped(value, value_buffer_);
        break;
      case JsonKind::Raw:
      case JsonKind::Array:
      case JsonKind::Object:
        break;
    }
    if (!node->text.Assign(value)) {
      Release(node);
      return nullptr;
    }
    return node;
  }

  JsonNode* root_;
  std::u16string_view text_;
  bool decode_unicode_;
  bool loose_keys_;
  std::vector<JsonNode*> stack_;  // open containers, innermost last
  std::u16string key_buffer_;     // unescaped keys
  std::u16string value_buffer_;   // unescaped strings
  char16_t quote_ = 0;
  bool after_colon_ = false;
  long key_start_ = kNone;
  long key_length_ = 0;
  long value_start_ = kNone;
  long value_length_ = 0;
  bool quoted_value_ = false;
};

ReadResult Read(JsonNode* root, std::u16string_view text, bool decode_unicode, bool loose_keys) {
  if (root == nullptr || text.data() == nullptr) return kNoInput;
  text = text.substr(0, text.find(u'\0'));
  if (text.empty()) return kOk;
  ClearNode(root);
  return Scanner(root, text, decode_unicode, loose_keys).Run();
}

}  // namespace

ReadResult ParseText(JsonNode* root, std::u16string_view text, bool decode_unicode) {
  return Read(root, text, decode_unicode, /*loose_keys=*/false);
}

ReadResult ParseTextLooseKeys(JsonNode* root, std::u16string_view text, bool decode_unicode) {
  return Read(root, text, decode_unicode, /*loose_keys=*/true);
}

JsonKind ClassifyLiteral(std::u16string_view value) {
  if (value == u"null") return JsonKind::Null;
  if (value == u"true" || value == u"false") return JsonKind::Bool;
  bool looks_real;
  if (IsNumberText(value, &looks_real)) return looks_real ? JsonKind::Real : JsonKind::Integer;
  return JsonKind::Raw;
}

void UnescapeText(std::u16string_view text, bool decode_unicode, std::u16string& out) {
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c != u'\\' || i + 1 >= text.size()) {
      out.push_back(c);
      continue;
    }
    char16_t next = text[i + 1];
    char16_t decoded = next == u'/' ? u'/' : UnitOfEscapeLetter(next);
    if (next == u'u' && decode_unicode && i + 5 < text.size()) {
      int unit = 0;
      for (size_t k = i + 2; k < i + 6 && unit >= 0; ++k) {
        int digit = HexValue(text[k]);
        unit = digit < 0 ? -1 : unit * 16 + digit;
      }
      if (unit >= 0) {
        out.push_back(static_cast<char16_t>(unit));
        i += 5;
        continue;
      }
    }
    if (decoded != 0) {
      out.push_back(decoded);
    } else {
      out.push_back(c);
      out.push_back(next);
    }
    ++i;
  }
}

}  // namespace json
