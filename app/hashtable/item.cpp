#include "app/hashtable/item.h"

namespace hashtable {

bool IsItemKind(int32_t code) {
  return code == static_cast<int32_t>(ItemKind::kInteger) || code == static_cast<int32_t>(ItemKind::kText) ||
         code == static_cast<int32_t>(ItemKind::kBytes);
}

ItemKind KindOf(const Item& item) {
  constexpr ItemKind kKinds[] = {ItemKind::kInteger, ItemKind::kText, ItemKind::kBytes};
  return kKinds[item.index()];
}

ItemView ItemView::ViewOf(const Item& item) {
  return std::visit([](const auto& alternative) { return ItemView(alternative); }, item);
}

bool SameItem(const ItemView& a, const ItemView& b) {
  if (a.kind() != b.kind()) return false;
  return a.kind() == ItemKind::kInteger ? a.integer() == b.integer() : a.bytes() == b.bytes();
}

Item CopyOf(const ItemView& view) {
  switch (view.kind()) {
    case ItemKind::kText: return text::Text(view.bytes());
    case ItemKind::kBytes: return text::ByteArray(view.bytes().begin(), view.bytes().end());
    case ItemKind::kInteger: break;
  }
  return view.integer();
}

Item EmptyItem(ItemKind kind) {
  switch (kind) {
    case ItemKind::kText: return text::Text();
    case ItemKind::kBytes: return text::ByteArray();
    case ItemKind::kInteger: break;
  }
  return int32_t{0};
}

}  // namespace hashtable
