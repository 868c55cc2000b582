#include "app/hashtable/table_bytes.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace hashtable {
namespace {

constexpr char kMagic[4] = {'h', 'a', 's', 'h'};
constexpr size_t kHeaderBytes = 16;
constexpr size_t kEntryBytes = 8;
constexpr size_t kBytesPrefix = 8;  // the leading 1 and the length of a byte array
constexpr int32_t kExtraCapacity = 11;
constexpr float kLoadFactor = 0.75f;

uint32_t WordAt(std::span<const uint8_t> data, size_t at) {
  return static_cast<uint32_t>(data[at]) | static_cast<uint32_t>(data[at + 1]) << 8 |
         static_cast<uint32_t>(data[at + 2]) << 16 | static_cast<uint32_t>(data[at + 3]) << 24;
}

void PutWord(uint8_t* at, uint32_t word) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(word >> (8 * i));
}

size_t DataBytes(const ItemView& item) {
  switch (item.kind()) {
    case ItemKind::kText: return item.bytes().size() + 1;
    case ItemKind::kBytes: return item.bytes().size() + kBytesPrefix;
    case ItemKind::kInteger: break;
  }
  return 0;
}

// Writes the item's data at `data` (when it has any) and returns its field.
uint32_t PutItem(const ItemView& item, uint8_t* block, size_t* data) {
  if (item.kind() == ItemKind::kInteger) return static_cast<uint32_t>(item.integer());
  auto offset = static_cast<uint32_t>(*data);
  uint8_t* at = block + *data;
  if (item.kind() == ItemKind::kBytes) {
    PutWord(at, 1);
    PutWord(at + 4, static_cast<uint32_t>(item.bytes().size()));
    at += kBytesPrefix;
  }
  std::memcpy(at, item.bytes().data(), item.bytes().size());
  if (item.kind() == ItemKind::kText) at[item.bytes().size()] = 0;
  *data += DataBytes(item);
  return offset;
}

// Reads the item a field stands for; false when its data does not lie wholly
// inside the data area.
bool ReadItem(std::span<const uint8_t> data, size_t data_start, ItemKind kind, uint32_t field,
              ItemView* item) {
  if (kind == ItemKind::kInteger) {
    *item = ItemView(static_cast<int32_t>(field));
    return true;
  }
  size_t offset = field;
  if (offset < data_start || offset >= data.size()) return false;
  const auto* start = reinterpret_cast<const char*>(data.data()) + offset;
  size_t room = data.size() - offset;
  if (kind == ItemKind::kText) {
    const void* end = std::memchr(start, 0, room);
    if (end == nullptr) return false;
    *item = ItemView::OfBytes(kind, std::string_view(start, static_cast<const char*>(end) - start));
    return true;
  }
  if (room < kBytesPrefix || WordAt(data, offset) != 1) return false;
  size_t length = WordAt(data, offset + 4);
  if (length > room - kBytesPrefix) return false;
  *item = ItemView::OfBytes(kind, std::string_view(start + kBytesPrefix, length));
  return true;
}

}  // namespace

text::ByteArray EncodeTable(const TableStorage& storage) {
  size_t entries = static_cast<size_t>(storage.Count());
  size_t total = kHeaderBytes + kEntryBytes * entries;
  storage.ForEach([&](const ItemView& key, const ItemView& value) {
    total += DataBytes(key) + DataBytes(value);
    return total <= INT32_MAX;
  });
  if (total > INT32_MAX) return {};

  text::ByteArray block(total);
  std::memcpy(block.data(), kMagic, sizeof kMagic);
  PutWord(&block[4], static_cast<uint32_t>(storage.key_kind()));
  PutWord(&block[8], static_cast<uint32_t>(storage.value_kind()));
  PutWord(&block[12], static_cast<uint32_t>(entries));
  size_t entry = kHeaderBytes;
  size_t data = kHeaderBytes + kEntryBytes * entries;
  storage.ForEach([&](const ItemView& key, const ItemView& value) {
    PutWord(&block[entry], PutItem(key, block.data(), &data));
    PutWord(&block[entry + 4], PutItem(value, block.data(), &data));
    entry += kEntryBytes;
    return true;
  });
  return block;
}

TableStorage* DecodeTable(std::span<const uint8_t> data) {
  if (data.size() < kHeaderBytes || std::memcmp(data.data(), kMagic, sizeof kMagic) != 0) return nullptr;
  auto key_code = static_cast<int32_t>(WordAt(data, 4));
  auto value_code = static_cast<int32_t>(WordAt(data, 8));
  auto count = static_cast<int32_t>(WordAt(data, 12));
  if (!IsItemKind(key_code) || !IsItemKind(value_code) || count < 0) return nullptr;
  if (static_cast<size_t>(count) > (data.size() - kHeaderBytes) / kEntryBytes) return nullptr;

  auto key_kind = static_cast<ItemKind>(key_code);
  auto value_kind = static_cast<ItemKind>(value_code);
  auto capacity = static_cast<int32_t>(std::min<int64_t>(int64_t{count} + kExtraCapacity, INT32_MAX));
  TableStorage* storage = TableStorage::Make(key_kind, value_kind, capacity, kLoadFactor);
  if (storage == nullptr) return nullptr;
  size_t data_start = kHeaderBytes + kEntryBytes * static_cast<size_t>(count);
  for (size_t entry = kHeaderBytes; entry < data_start; entry += kEntryBytes) {
    ItemView key(0), value(0);
    if (!ReadItem(data, data_start, key_kind, WordAt(data, entry), &key) ||
        !ReadItem(data, data_start, value_kind, WordAt(data, entry + 4), &value) ||
        storage->Set(key, value) < 0) {
      storage->Release();
      return nullptr;
    }
  }
  return storage;
}

}  // namespace hashtable
