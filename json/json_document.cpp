#include "json/json_document.h"

#include <cmath>
#include <exception>
#include <limits>

#include "json/json_key_order.h"
#include "json/json_merge.h"
#include "json/json_number.h"
#include "json/json_path.h"
#include "json/json_reader.h"
#include "json/json_writer.h"
#include "platform/code_page.h"

namespace json {
namespace {

// Runs `op`, turning any exception (memory running out, mostly) into the
// operation's failure value: no operation raises.
template <typename Result, typename Op>
Result Guard(Result failure, Op&& op) noexcept {
  try {
    return op();
  } catch (const std::exception&) {
    return failure;
  }
}

template <typename Unit>
std::basic_string_view<Unit> UpToZero(std::basic_string_view<Unit> text) {
  return text.substr(0, text.find(Unit{0}));
}

std::u16string Wide(std::string_view local) { return platform::Cp936ToUtf16(UpToZero(local)); }
std::string Local(std::u16string_view wide) { return platform::Utf16ToCp936(wide); }

std::u16string Owned(const JsonText& text) {
  JsonText::Scratch scratch;
  return std::u16string(text.View(scratch));
}

bool IsContainer(const JsonNode* node) {
  return node->kind == JsonKind::Array || node->kind == JsonKind::Object;
}

// The scalar setters, shared by the New* constructors.
bool SetNull(JsonNode* node) { return SetScalar(node, JsonKind::Null, u"null"); }
bool SetBool(JsonNode* node, bool value) {
  if (!SetScalar(node, JsonKind::Bool, value ? u"true" : u"false")) return false;
  node->payload.boolean = value ? 1 : 0;
  return true;
}
bool SetString(JsonNode* node, std::u16string_view text) { return SetScalar(node, JsonKind::String, UpToZero(text)); }
bool SetReal(JsonNode* node, double value) {
  if (!SetScalar(node, JsonKind::Real, FormatReal(value).View())) return false;
  node->payload.real = value;
  return true;
}
bool SetInteger(JsonNode* node, int64_t value) {
  if (!SetScalar(node, JsonKind::Integer, FormatInteger(value).View())) return false;
  node->payload.integer = value;
  return true;
}

// A Real truncated toward zero, saturating at the integer range.
int64_t TruncatedReal(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kTwoTo63 = 9223372036854775808.0;
  if (value >= kTwoTo63) return std::numeric_limits<int64_t>::max();
  if (value < -kTwoTo63) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(value);
}

bool HoldsOrIs(const JsonNode* ancestor, const JsonNode* node) {
  for (; node != nullptr; node = node->parent) {
    if (node == ancestor) return true;
  }
  return false;
}

template <typename Make>
JsonDocument NewDocument(JsonKind kind, Make&& make) {
  JsonNode* node = NewNode(kind);
  JsonDocument document;
  if (node == nullptr) return document;
  if (make(node)) document.SetRootHandle(node);
  Release(node);
  return document;
}

}  // namespace

// Lifetime ---------------------------------------------------------------------

JsonDocument::~JsonDocument() { DropRoot(); }

JsonDocument::JsonDocument(const JsonDocument& other) : root_(other.root_) {
  if (root_ != nullptr) AddRef(root_);
}

JsonDocument& JsonDocument::operator=(const JsonDocument& other) {
  SetRootHandle(other.root_);
  if (other.root_ == nullptr) DropRoot();
  return *this;
}

JsonDocument::JsonDocument(JsonDocument&& other) noexcept : root_(other.root_) { other.root_ = nullptr; }

JsonDocument& JsonDocument::operator=(JsonDocument&& other) noexcept {
  if (this != &other) {
    DropRoot();
    root_ = other.root_;
    other.root_ = nullptr;
  }
  return *this;
}

JsonDocument JsonDocument::Sharing(JsonNode* node) {
  JsonDocument document;
  document.SetRootHandle(node);
  return document;
}

void JsonDocument::DropRoot() {
  if (root_ != nullptr) Release(root_);
  root_ = nullptr;
}

void JsonDocument::SetRootHandle(JsonNode* node) {
  if (node == nullptr) return;
  AddRef(node);
  if (root_ != nullptr) Release(root_);
  root_ = node;
}

JsonNode* JsonDocument::Resolve(std::u16string_view path) { return ResolvePath(root_, UpToZero(path)); }

// Reading ------------------------------------------------------------------------

bool JsonDocument::ResetAndParse(std::u16string_view text, bool read, bool decode_unicode) {
  DropRoot();
  root_ = NewNode(JsonKind::Object);
  if (root_ == nullptr) return false;
  return !read || ParseText(root_, text, decode_unicode) == kOk;
}

bool JsonDocument::ResetAndParse(std::string_view text, bool read, bool decode_unicode) {
  return Guard(false, [&] { return ResetAndParse(read ? Wide(text) : std::u16string(), read, decode_unicode); });
}

bool JsonDocument::Parse(std::u16string_view text, bool decode_unicode) {
  if (root_ == nullptr) root_ = NewNode(JsonKind::Object);
  return root_ != nullptr && ParseText(root_, text, decode_unicode) == kOk;
}

bool JsonDocument::ParseLooseKeys(std::string_view text, bool decode_unicode) {
  return Guard(false, [&] {
    std::u16string wide = Wide(text);
    if (root_ == nullptr) root_ = NewNode(JsonKind::Object);
    return root_ != nullptr && ParseTextLooseKeys(root_, wide, decode_unicode) == kOk;
  });
}

bool JsonDocument::MergeText(std::u16string_view path, std::u16string_view text, bool decode_unicode,
                             bool add_missing) {
  return Guard(false, [&] {
    if (Resolve(path) == nullptr) return false;
    JsonNode* incoming = NewNode(JsonKind::Object);
    if (incoming == nullptr) return false;
    bool merged = ParseText(incoming, text, decode_unicode) == kOk && MergeNodes(root_, incoming, add_missing);
    Release(incoming);
    return merged;
  });
}

bool JsonDocument::MergeText(std::string_view path, std::string_view text, bool decode_unicode, bool add_missing) {
  return Guard(false, [&] { return MergeText(Wide(path), Wide(text), decode_unicode, add_missing); });
}

// Constructors -------------------------------------------------------------------

JsonDocument JsonDocument::NewObject() { return NewDocument(JsonKind::Object, [](JsonNode*) { return true; }); }
JsonDocument JsonDocument::NewArray() { return NewDocument(JsonKind::Array, [](JsonNode*) { return true; }); }
JsonDocument JsonDocument::NewNull() { return NewDocument(JsonKind::Null, SetNull); }
JsonDocument JsonDocument::NewBool(bool value) {
  return NewDocument(JsonKind::Bool, [&](JsonNode* node) { return SetBool(node, value); });
}
JsonDocument JsonDocument::NewString(std::u16string_view text) {
  return NewDocument(JsonKind::String, [&](JsonNode* node) { return SetString(node, text); });
}
JsonDocument JsonDocument::NewString(std::string_view text) {
  return Guard(JsonDocument(), [&] { return NewString(Wide(text)); });
}
JsonDocument JsonDocument::NewReal(double value) {
  return NewDocument(JsonKind::Real, [&](JsonNode* node) { return SetReal(node, value); });
}
JsonDocument JsonDocument::NewInteger(int64_t value) {
  return NewDocument(JsonKind::Integer, [&](JsonNode* node) { return SetInteger(node, value); });
}

// The result of `use` on the node at `path`, or `none` when the path yields
// no node or anything fails on the way.
template <typename Result, typename Use>
Result JsonDocument::AtNode(std::u16string_view path, Result none, Use use) {
  return Guard(none, [&] {
    JsonNode* node = Resolve(path);
    return node == nullptr ? none : Result(use(node));
  });
}

// Writing ------------------------------------------------------------------------

std::u16string JsonDocument::ToText(std::u16string_view path, bool pretty, bool escape) {
  return Guard(std::u16string(), [&] {
    JsonNode* node = Resolve(path);
    if (node == nullptr) return std::u16string();
    TextBuilder builder;
    WriteNode(node, builder, pretty, 0, escape);
    return builder.Failed() ? std::u16string() : std::u16string(builder.View());
  });
}

std::string JsonDocument::ToText(std::string_view path, bool pretty, bool escape) {
  return Guard(std::string(), [&] { return Local(ToText(Wide(path), pretty, escape)); });
}

// Shape --------------------------------------------------------------------------

JsonKind JsonDocument::KindAt(std::u16string_view path) {
  return AtNode(path, JsonKind::Raw, [&](JsonNode* node) { return node->kind; });
}
JsonKind JsonDocument::KindAt(std::string_view path) {
  return Guard(JsonKind::Raw, [&] { return KindAt(Wide(path)); });
}

JsonDocument JsonDocument::ParentAt(std::u16string_view path) {
  return AtNode(path, JsonDocument(), [&](JsonNode* node) { return Sharing(node->parent); });
}
JsonDocument JsonDocument::ParentAt(std::string_view path) {
  return Guard(JsonDocument(), [&] { return ParentAt(Wide(path)); });
}

int JsonDocument::CountAt(std::u16string_view path) {
  return Guard(0, [&] {
    JsonNode* node = Resolve(path);
    if (node == nullptr) return 0;
    if (node->kind == JsonKind::Object) return static_cast<int>(MemberCount(node));
    if (node->kind == JsonKind::Array) return static_cast<int>(ElementCount(node));
    return 0;
  });
}
int JsonDocument::CountAt(std::string_view path) {
  return Guard(0, [&] { return CountAt(Wide(path)); });
}

void JsonDocument::DetachRoot() {
  if (root_ == nullptr || root_->parent == nullptr) return;
  DetachFromParent(root_);
  // The container no longer holds the node, so its reference goes too; the
  // document's own reference keeps the node alive.
  Release(root_);
}

bool JsonDocument::Exists(std::u16string_view path) const {
  return Guard(false, [&] { return PathExists(root_, UpToZero(path)); });
}
bool JsonDocument::Exists(std::string_view path) const {
  return Guard(false, [&] { return Exists(Wide(path)); });
}

JsonDocument JsonDocument::NodeAt(std::u16string_view path) {
  return Guard(JsonDocument(), [&] { return Sharing(Resolve(path)); });
}
JsonDocument JsonDocument::NodeAt(std::string_view path) {
  return Guard(JsonDocument(), [&] { return NodeAt(Wide(path)); });
}

JsonDocument JsonDocument::CloneAt(std::u16string_view path) {
  return AtNode(path, JsonDocument(), [&](JsonNode* node) { return JsonDocument(DeepCopy(node)); });
}
JsonDocument JsonDocument::CloneAt(std::string_view path) {
  return Guard(JsonDocument(), [&] { return CloneAt(Wide(path)); });
}

// Members --------------------------------------------------------------------------

bool JsonDocument::RemoveMember(std::u16string_view path, std::u16string_view key) {
  return AtNode(path, false, [&](JsonNode* node) {
    return node->kind == JsonKind::Object && json::RemoveMember(node, UpToZero(key));
  });
}
bool JsonDocument::RemoveMember(std::string_view path, std::string_view key) {
  return Guard(false, [&] { return RemoveMember(Wide(path), Wide(key)); });
}

bool JsonDocument::SetMember(std::u16string_view path, std::u16string_view key, const JsonDocument& member) {
  return Guard(false, [&] {
    JsonNode* child = member.root_;
    if (child == nullptr) return false;
    JsonNode* node = Resolve(path);
    if (node == nullptr) return false;
    MakeObject(node);
    if (child->parent != nullptr || HoldsOrIs(child, node)) {
      child = DeepCopy(child);
      if (child == nullptr) return false;
    } else {
      AddRef(child);
    }
    if (PutMember(node, UpToZero(key), child)) return true;
    Release(child);
    return false;
  });
}
bool JsonDocument::SetMember(std::string_view path, std::string_view key, const JsonDocument& member) {
  return Guard(false, [&] { return SetMember(Wide(path), Wide(key), member); });
}

JsonDocument JsonDocument::GetMember(std::u16string_view path, std::u16string_view key) {
  return Guard(JsonDocument(), [&] {
    JsonNode* node = Resolve(path);
    if (node == nullptr) return JsonDocument();
    MakeObject(node);
    return Sharing(GetOrAddMember(node, UpToZero(key)));
  });
}
JsonDocument JsonDocument::GetMember(std::string_view path, std::string_view key) {
  return Guard(JsonDocument(), [&] { return GetMember(Wide(path), Wide(key)); });
}

int JsonDocument::KeysAt(std::u16string_view path, std::vector<std::u16string>& keys) {
  return Guard(0, [&] {
    JsonNode* node = Resolve(path);
    if (node == nullptr || node->kind != JsonKind::Object) return 0;
    std::vector<std::u16string> found;
    for (uint32_t k = 0; k < MemberCount(node); ++k) found.push_back(Owned(MemberAt(node, k)->key));
    keys = std::move(found);
    return static_cast<int>(keys.size());
  });
}
int JsonDocument::KeysAt(std::string_view path, std::vector<std::string>& keys) {
  return Guard(0, [&] {
    std::vector<std::u16string> wide;
    if (KeysAt(Wide(path), wide) == 0) return 0;
    std::vector<std::string> found;
    for (const std::u16string& key : wide) found.push_back(Local(key));
    keys = std::move(found);
    return static_cast<int>(keys.size());
  });
}

bool JsonDocument::SortMembersAt(std::u16string_view path, bool descending) {
  return Guard(false, [&] {
    JsonNode* node = Resolve(path);
    if (node == nullptr || node->kind != JsonKind::Object) return false;
    SortMembers(node, [descending](const JsonNode* a, const JsonNode* b) {
      JsonText::Scratch scratch_a, scratch_b;
      int compared = CompareKeys(a->key.View(scratch_a), b->key.View(scratch_b));
      return descending ? compared > 0 : compared < 0;
    });
    return true;
  });
}
bool JsonDocument::SortMembersAt(std::string_view path, bool descending) {
  return Guard(false, [&] { return SortMembersAt(Wide(path), descending); });
}

// Elements --------------------------------------------------------------------------

bool JsonDocument::RemoveElement(std::u16string_view path, int index) {
  return Guard(false, [&] {
    JsonNode* node = Resolve(path);
    return node != nullptr && node->kind == JsonKind::Array && index >= 0 &&
           json::RemoveElement(node, static_cast<uint32_t>(index));
  });
}
bool JsonDocument::RemoveElement(std::string_view path, int index) {
  return Guard(false, [&] { return RemoveElement(Wide(path), index); });
}

bool JsonDocument::Append(std::u16string_view path, const JsonDocument& element) {
  return Guard(false, [&] {
    if (element.root_ == nullptr) return false;
    JsonNode* node = Resolve(path);
    if (node == nullptr) return false;
    MakeArray(node);
    JsonNode* copy = DeepCopy(element.root_);
    if (copy == nullptr) return false;
    if (AppendElement(node, copy)) return true;
    Release(copy);
    return false;
  });
}
bool JsonDocument::Append(std::string_view path, const JsonDocument& element) {
  return Guard(false, [&] { return Append(Wide(path), element); });
}

JsonDocument JsonDocument::GetElement(std::u16string_view path, int index) {
  return Guard(JsonDocument(), [&] {
    JsonNode* node = Resolve(path);
    if (node == nullptr || index < 0) return JsonDocument();
    MakeArray(node);
    return Sharing(GetOrExtendElement(node, static_cast<uint32_t>(index)));
  });
}
JsonDocument JsonDocument::GetElement(std::string_view path, int index) {
  return Guard(JsonDocument(), [&] { return GetElement(Wide(path), index); });
}

bool JsonDocument::SetElement(std::u16string_view path, int index, const JsonDocument& element) {
  return Guard(false, [&] {
    if (element.root_ == nullptr || index < 0) return false;
    JsonNode* node = Resolve(path);
    if (node == nullptr) return false;
    MakeArray(node);
    JsonNode* copy = DeepCopy(element.root_);
    if (copy == nullptr) return false;
    if (PutElement(node, static_cast<uint32_t>(index), copy)) return true;
    Release(copy);
    return false;
  });
}
bool JsonDocument::SetElement(std::string_view path, int index, const JsonDocument& element) {
  return Guard(false, [&] { return SetElement(Wide(path), index, element); });
}

int JsonDocument::ChildrenAt(std::u16string_view path, std::vector<JsonDocument>& children) {
  return Guard(0, [&] {
    JsonNode* node = Resolve(path);
    if (node == nullptr || !IsContainer(node)) return 0;
    const bool is_object = node->kind == JsonKind::Object;
    const uint32_t count = is_object ? MemberCount(node) : ElementCount(node);
    std::vector<JsonDocument> found;
    found.reserve(count);
    for (uint32_t k = 0; k < count; ++k) found.push_back(Sharing(is_object ? MemberAt(node, k) : ElementAt(node, k)));
    children = std::move(found);
    return static_cast<int>(children.size());
  });
}
int JsonDocument::ChildrenAt(std::string_view path, std::vector<JsonDocument>& children) {
  return Guard(0, [&] { return ChildrenAt(Wide(path), children); });
}

// Setters --------------------------------------------------------------------------

void JsonDocument::ClearAt(std::u16string_view path) {
  Guard(0, [&] {
    if (JsonNode* node = Resolve(path)) ClearNode(node);
    return 0;
  });
}
void JsonDocument::ClearAt(std::string_view path) {
  Guard(0, [&] {
    ClearAt(Wide(path));
    return 0;
  });
}

bool JsonDocument::SetStringAt(std::u16string_view path, std::u16string_view text) {
  return AtNode(path, false, [&](JsonNode* node) { return SetString(node, text); });
}
bool JsonDocument::SetStringAt(std::string_view path, std::string_view text) {
  return Guard(false, [&] { return SetStringAt(Wide(path), Wide(text)); });
}

bool JsonDocument::SetNullAt(std::u16string_view path) {
  return AtNode(path, false, [&](JsonNode* node) { return SetNull(node); });
}
bool JsonDocument::SetNullAt(std::string_view path) {
  return Guard(false, [&] { return SetNullAt(Wide(path)); });
}

bool JsonDocument::SetBoolAt(std::u16string_view path, bool value) {
  return AtNode(path, false, [&](JsonNode* node) { return SetBool(node, value); });
}
bool JsonDocument::SetBoolAt(std::string_view path, bool value) {
  return Guard(false, [&] { return SetBoolAt(Wide(path), value); });
}

bool JsonDocument::SetRealAt(std::u16string_view path, double value) {
  return AtNode(path, false, [&](JsonNode* node) { return SetReal(node, value); });
}
bool JsonDocument::SetRealAt(std::string_view path, double value) {
  return Guard(false, [&] { return SetRealAt(Wide(path), value); });
}

bool JsonDocument::SetIntegerAt(std::u16string_view path, int64_t value) {
  return AtNode(path, false, [&](JsonNode* node) { return SetInteger(node, value); });
}
bool JsonDocument::SetIntegerAt(std::string_view path, int64_t value) {
  return Guard(false, [&] { return SetIntegerAt(Wide(path), value); });
}

// Getters --------------------------------------------------------------------------

std::u16string JsonDocument::LiteralAt(std::u16string_view path) {
  return Guard(std::u16string(), [&] {
    JsonNode* node = Resolve(path);
    if (node == nullptr || node->kind == JsonKind::String || IsContainer(node)) return std::u16string();
    return Owned(node->text);
  });
}
std::string JsonDocument::LiteralAt(std::string_view path) {
  return Guard(std::string(), [&] { return Local(LiteralAt(Wide(path))); });
}

std::u16string JsonDocument::GetStringAt(std::u16string_view path) {
  return Guard(std::u16string(), [&] {
    JsonNode* node = Resolve(path);
    return node != nullptr && node->kind == JsonKind::String ? Owned(node->text) : std::u16string();
  });
}
std::string JsonDocument::GetStringAt(std::string_view path) {
  return Guard(std::string(), [&] { return Local(GetStringAt(Wide(path))); });
}

bool JsonDocument::GetBoolAt(std::u16string_view path) {
  return AtNode(path, false,
                [&](JsonNode* node) { return node->kind == JsonKind::Bool && node->payload.boolean != 0; });
}
bool JsonDocument::GetBoolAt(std::string_view path) {
  return Guard(false, [&] { return GetBoolAt(Wide(path)); });
}

double JsonDocument::GetRealAt(std::u16string_view path) {
  return Guard(0.0, [&] {
    JsonNode* node = Resolve(path);
    if (node == nullptr) return 0.0;
    if (node->kind == JsonKind::Real) return node->payload.real;
    if (node->kind == JsonKind::Integer) return static_cast<double>(node->payload.integer);
    return 0.0;
  });
}
double JsonDocument::GetRealAt(std::string_view path) {
  return Guard(0.0, [&] { return GetRealAt(Wide(path)); });
}

int64_t JsonDocument::GetIntegerAt(std::u16string_view path) {
  return Guard(int64_t{0}, [&] {
    JsonNode* node = Resolve(path);
    if (node == nullptr) return int64_t{0};
    if (node->kind == JsonKind::Integer) return node->payload.integer;
    if (node->kind == JsonKind::Real) return TruncatedReal(node->payload.real);
    return int64_t{0};
  });
}
int64_t JsonDocument::GetIntegerAt(std::string_view path) {
  return Guard(int64_t{0}, [&] { return GetIntegerAt(Wide(path)); });
}

}  // namespace json
