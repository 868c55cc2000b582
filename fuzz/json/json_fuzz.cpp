// Feeds arbitrary input to both readers and to MergeText, then writes, copies
// and sorts what was read. The first byte picks what the rest is taken as.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "json/json_document.h"
#include "json/json_node.h"
#include "json/json_reader.h"

namespace {

enum Form : uint8_t {
  kBytesAsUnits,  // each byte one code unit: reaches the structure quickly
  kUnitPairs,     // byte pairs as code units: any unit at all
  kLocalText,     // code page 936 bytes through the local-text forms
};

std::u16string Units(std::string_view bytes, Form form) {
  std::u16string units;
  if (form == kUnitPairs) {
    units.resize(bytes.size() / 2);
    if (!units.empty()) std::memcpy(units.data(), bytes.data(), units.size() * 2);
  } else {
    for (unsigned char c : bytes) units.push_back(c);
  }
  return units;
}

// Writes, copies and sorts the tree, takes members out of it and merges its
// own text back in.
void Exercise(json::JsonDocument& document) {
  document.ToText(u"", /*pretty=*/true, /*escape=*/false);
  json::JsonDocument copy = document.CloneAt(u"");
  copy.SortMembersAt(u"", true);
  const std::u16string text = copy.ToText(u"");
  document.Exists(u"a.b[1]");
  std::vector<std::u16string> keys;
  document.KeysAt(u"", keys);
  for (size_t k = 0; k < keys.size(); k += 2) document.RemoveMember(u"", keys[k]);
  std::vector<json::JsonDocument> children;
  if (document.ChildrenAt(u"", children) > 0) children.back().DetachRoot();
  document.MergeText(u"", text, false, true);
  document.SetMember(u"self", u"", document);
  document.ToText(u"", true);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t mode = data[0];
  const Form form = static_cast<Form>((mode & 3) % 3);
  const bool loose = mode & 4;
  const bool merge = mode & 8;
  const bool decode_unicode = mode & 16;
  const bool add_missing = mode & 32;
  std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);

  // A merge reads the part before the first 0xFE byte as the document and
  // merges the rest into it.
  std::string_view merged;
  if (merge) {
    size_t split = input.find('\xFE');
    if (split != std::string_view::npos) {
      merged = input.substr(split + 1);
      input = input.substr(0, split);
    }
  }

  json::JsonDocument document;
  if (form == kLocalText) {
    if (loose) document.ParseLooseKeys(input, decode_unicode);
    else document.ResetAndParse(input, true, decode_unicode);
    if (merge) document.MergeText("", merged, decode_unicode, add_missing);
  } else {
    document.ResetAndParse(u"", false);
    std::u16string units = Units(input, form);
    if (loose) json::ParseTextLooseKeys(document.GetRootHandle(), units, decode_unicode);
    else json::ParseText(document.GetRootHandle(), units, decode_unicode);
    if (merge) document.MergeText(u"", Units(merged, form), decode_unicode, add_missing);
  }
  Exercise(document);
  return 0;
}
