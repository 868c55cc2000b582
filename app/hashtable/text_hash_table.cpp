#include "app/hashtable/text_hash_table.h"

#include <utility>

#include "app/hashtable/table_bytes.h"

namespace hashtable {
namespace {

constexpr int32_t kDefaultCapacity = 11;
constexpr float kDefaultLoadFactor = 0.75f;
constexpr float kSmallestLoadFactor = 0.0000001f;

}  // namespace

TextHashTable::~TextHashTable() { Free(); }

TextHashTable::TextHashTable(const TextHashTable& other) : storage_(other.storage_) {
  if (storage_ != nullptr) storage_->AddRef();
}

TextHashTable& TextHashTable::operator=(const TextHashTable& other) {
  if (other.storage_ != nullptr) other.storage_->AddRef();
  Install(other.storage_);
  return *this;
}

TextHashTable::TextHashTable(TextHashTable&& other) noexcept : storage_(std::exchange(other.storage_, nullptr)) {}

TextHashTable& TextHashTable::operator=(TextHashTable&& other) noexcept {
  if (this != &other) Install(std::exchange(other.storage_, nullptr));
  return *this;
}

void TextHashTable::Install(TableStorage* storage) {
  TableStorage* previous = std::exchange(storage_, storage);
  if (previous != nullptr) previous->Release();
}

bool TextHashTable::QueryInterface(const InterfaceId& id, TableStorage** out) const {
  *out = nullptr;
  return storage_ != nullptr && storage_->QueryInterface(id, out);
}

void TextHashTable::Free() { Install(nullptr); }

bool TextHashTable::Create(ItemKind key_kind, ItemKind value_kind, std::optional<int32_t> capacity,
                           std::optional<float> load_factor) {
  int32_t buckets = capacity.value_or(kDefaultCapacity);
  float factor = load_factor.value_or(kDefaultLoadFactor);
  if (buckets < 0 || !(factor > kSmallestLoadFactor)) return false;
  if (!IsItemKind(static_cast<int32_t>(key_kind)) || !IsItemKind(static_cast<int32_t>(value_kind))) return false;
  TableStorage* storage = TableStorage::Make(key_kind, value_kind, buckets, factor);
  if (storage == nullptr) return false;
  Install(storage);
  return true;
}

bool TextHashTable::LoadFromBytes(std::span<const uint8_t> data) {
  TableStorage* storage = DecodeTable(data);
  if (storage == nullptr) return false;
  Install(storage);
  return true;
}

int32_t TextHashTable::Count() const { return storage_ == nullptr ? 0 : storage_->Count(); }

int32_t TextHashTable::Capacity() const { return storage_ == nullptr ? 0 : storage_->Capacity(); }

int TextHashTable::Set(std::string_view key, std::string_view value) {
  return SetItem(ItemView(key), ItemView(value));
}

int TextHashTable::SetItem(const ItemView& key, const ItemView& value) {
  if (storage_ == nullptr || key.kind() != storage_->key_kind() || value.kind() != storage_->value_kind()) {
    return -1;
  }
  return storage_->Set(key, value);
}

Item TextHashTable::Get(const ItemView& key) const {
  if (storage_ == nullptr) return int32_t{0};
  ItemView value(0);
  if (key.kind() != storage_->key_kind() || !storage_->Find(key, &value)) return EmptyItem(storage_->value_kind());
  return CopyOf(value);
}

text::Text TextHashTable::GetText(std::string_view key) const {
  ItemView text_key(key);
  ItemView value(0);
  if (storage_ == nullptr || storage_->key_kind() != ItemKind::kText || storage_->value_kind() != ItemKind::kText ||
      !storage_->Find(text_key, &value)) {
    return text::Text();
  }
  return text::Text(value.bytes());
}

bool TextHashTable::ContainsValue(const ItemView& value) const {
  if (storage_ == nullptr || value.kind() != storage_->value_kind()) return false;
  bool found = false;
  storage_->ForEach([&](const ItemView&, const ItemView& stored) {
    found = SameItem(stored, value);
    return !found;
  });
  return found;
}

bool TextHashTable::ContainsKey(const ItemView& key) const {
  ItemView value(0);
  return storage_ != nullptr && key.kind() == storage_->key_kind() && storage_->Find(key, &value);
}

bool TextHashTable::Remove(const ItemView& key) {
  return storage_ != nullptr && key.kind() == storage_->key_kind() && storage_->Remove(key);
}

int32_t TextHashTable::Keys(std::vector<Item>* keys) const { return CopyEntries(keys, /*keys=*/true); }

int32_t TextHashTable::Values(std::vector<Item>* values) const { return CopyEntries(values, /*keys=*/false); }

int32_t TextHashTable::CopyEntries(std::vector<Item>* out, bool keys) const {
  if (storage_ == nullptr) return 0;
  out->clear();
  out->reserve(static_cast<size_t>(storage_->Count()));
  storage_->ForEach([&](const ItemView& key, const ItemView& value) {
    out->push_back(CopyOf(keys ? key : value));
    return true;
  });
  return storage_->Count();
}

void TextHashTable::Clear() {
  if (storage_ != nullptr) storage_->Clear();
}

text::ByteArray TextHashTable::ToBytes() const { return storage_ == nullptr ? text::ByteArray() : EncodeTable(*storage_); }

}  // namespace hashtable
