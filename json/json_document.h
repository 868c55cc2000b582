// JsonDocument: the tool's JSON value, a counted reference to a tree of
// JsonNodes (or to none), with dotted-path addressing (see json_path.h).
//
// Copying a document shares its tree. Documents returned for a member, an
// element, a parent or a node (GetMember, GetElement, ParentAt, NodeAt,
// ChildrenAt) share nodes with the document they came from, so a change
// through either shows in both; SetMember shares the given document's root.
// Append, SetElement, CloneAt and MergeText copy deeply.
//
// Text forms: every operation with texts exists twice. The local form takes
// and returns code page 936 bytes (std::string), converted with code page 936
// whatever the process locale; a character that code page cannot hold comes
// out as "?". The wide form takes and returns UTF-16 (std::u16string). Texts
// given in either form are read up to their first zero.
//
// Paths are resolved with creation: reading a path that is not there adds
// Null members and elements on the way and turns nodes in the way into
// objects or arrays, and the document keeps these changes ({} read at
// params.a.ver becomes {"params":{"a":{"ver":null}}}). Exists only looks.
//
// Contract: nothing throws. A failure shows as false, 0, the empty text, an
// empty document or the kind -1 (a document without a root, a negative index
// on the way, a node of the wrong kind where no conversion is made, another
// document without a root, or memory running out). Reference counts change
// atomically; otherwise a document, and every document sharing nodes with
// it, is used by one thread at a time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "json/json_node.h"

namespace json {

class JsonDocument {
 public:
  JsonDocument() = default;  // no root
  ~JsonDocument();
  JsonDocument(const JsonDocument& other);
  JsonDocument& operator=(const JsonDocument& other);
  JsonDocument(JsonDocument&& other) noexcept;
  JsonDocument& operator=(JsonDocument&& other) noexcept;

  // Drops the root and makes a new empty Object root; with `read`, reads the
  // text into it (ParseText) and reports whether that succeeded.
  bool ResetAndParse(std::string_view text, bool read, bool decode_unicode = false);
  bool ResetAndParse(std::u16string_view text, bool read, bool decode_unicode = false);
  void DropRoot();
  // The root, no reference added; null when there is none.
  JsonNode* GetRootHandle() const { return root_; }
  // Makes `node` (a reference added) the root; null changes nothing.
  void SetRootHandle(JsonNode* node);

  // New documents whose root is a new unattached node.
  static JsonDocument NewObject();
  static JsonDocument NewArray();
  static JsonDocument NewNull();
  static JsonDocument NewBool(bool value);
  static JsonDocument NewString(std::u16string_view text);
  static JsonDocument NewString(std::string_view text);
  static JsonDocument NewReal(double value);
  static JsonDocument NewInteger(int64_t value);

  // Reads the text into the root (a new empty Object when there is none):
  // Parse with ParseText, ParseLooseKeys with ParseTextLooseKeys.
  bool Parse(std::u16string_view text, bool decode_unicode = false);
  bool ParseLooseKeys(std::string_view text, bool decode_unicode = false);

  // The node at `path` as JSON text (json_writer.h); "" when there is none.
  std::u16string ToText(std::u16string_view path, bool pretty = false, bool escape = true);
  std::string ToText(std::string_view path, bool pretty = false, bool escape = true);

  // The kind of the node; -1 (Raw's code) when there is no node.
  JsonKind KindAt(std::string_view path);
  JsonKind KindAt(std::u16string_view path);
  JsonDocument ParentAt(std::string_view path);
  JsonDocument ParentAt(std::u16string_view path);
  // Members of an Object, elements of an Array, else 0.
  int CountAt(std::string_view path);
  int CountAt(std::u16string_view path);
  // Takes the root out of the container holding it; the document keeps it.
  void DetachRoot();

  // The node must be an Object already.
  bool RemoveMember(std::u16string_view path, std::u16string_view key);
  bool RemoveMember(std::string_view path, std::string_view key);
  // The node must be an Array and 0 <= index < count; later elements move up.
  bool RemoveElement(std::string_view path, int index);
  bool RemoveElement(std::u16string_view path, int index);
  // Empties the node but keeps its kind: a scalar reads as zero, false or
  // "", with no literal.
  void ClearAt(std::string_view path);
  void ClearAt(std::u16string_view path);

  // The node becomes an Object if it is not one; `member`'s root is shared
  // under `key`, replacing a member there in its place. A root that is held
  // by a container already, or that holds the node, is copied instead, so a
  // node never has two places and a tree never contains itself.
  bool SetMember(std::string_view path, std::string_view key, const JsonDocument& member);
  bool SetMember(std::u16string_view path, std::u16string_view key, const JsonDocument& member);
  // The node becomes an Object if it is not one; a missing member is added
  // as Null. The result shares the member.
  JsonDocument GetMember(std::string_view path, std::string_view key);
  JsonDocument GetMember(std::u16string_view path, std::u16string_view key);
  // The node becomes an Array if it is not one; a copy of `element`'s root
  // is appended.
  bool Append(std::string_view path, const JsonDocument& element);
  bool Append(std::u16string_view path, const JsonDocument& element);
  // The node becomes an Array padded with Nulls up to the index; the result
  // shares the element. A negative index gives an empty document.
  JsonDocument GetElement(std::string_view path, int index);
  JsonDocument GetElement(std::u16string_view path, int index);
  // The node becomes an Array; a copy of `element`'s root replaces the
  // element at the index, or is appended after Null padding.
  bool SetElement(std::string_view path, int index, const JsonDocument& element);
  bool SetElement(std::u16string_view path, int index, const JsonDocument& element);
  bool Exists(std::u16string_view path) const;
  bool Exists(std::string_view path) const;
  JsonDocument NodeAt(std::string_view path);
  JsonDocument NodeAt(std::u16string_view path);

  // The setters change the node in place: it keeps its key, parent and
  // place, so documents sharing it see the new value. False only when the
  // path yields no node.
  bool SetStringAt(std::string_view path, std::string_view text);
  bool SetStringAt(std::u16string_view path, std::u16string_view text);
  bool SetNullAt(std::u16string_view path);
  bool SetNullAt(std::string_view path);
  bool SetBoolAt(std::u16string_view path, bool value);
  bool SetBoolAt(std::string_view path, bool value);
  bool SetRealAt(std::u16string_view path, double value);
  bool SetRealAt(std::string_view path, double value);
  bool SetIntegerAt(std::u16string_view path, int64_t value);
  bool SetIntegerAt(std::string_view path, int64_t value);

  // The literal text of a scalar: a number's source text as read (1.50), or
  // its value as the writer spells it when set or copied; null, true, false;
  // a Raw value's text. "" for strings, containers and no node.
  std::string LiteralAt(std::string_view path);
  std::u16string LiteralAt(std::u16string_view path);
  // A String's text; "" for every other kind (numbers are not turned into
  // text).
  std::string GetStringAt(std::string_view path);
  std::u16string GetStringAt(std::u16string_view path);
  bool GetBoolAt(std::u16string_view path);
  bool GetBoolAt(std::string_view path);
  // A Real, or an Integer converted; else 0.
  double GetRealAt(std::u16string_view path);
  double GetRealAt(std::string_view path);
  // An Integer, or a Real truncated toward zero (saturating; not-a-number
  // gives 0); else 0.
  int64_t GetIntegerAt(std::u16string_view path);
  int64_t GetIntegerAt(std::string_view path);

  // For an Object, `keys` is replaced by its keys in member order and their
  // count returned; otherwise 0 and `keys` is left as it was.
  int KeysAt(std::u16string_view path, std::vector<std::u16string>& keys);
  int KeysAt(std::string_view path, std::vector<std::string>& keys);
  // For an Object or Array, `children` is replaced by one document sharing
  // each member or element, in order; otherwise 0 and it is left as it was.
  int ChildrenAt(std::u16string_view path, std::vector<JsonDocument>& children);
  int ChildrenAt(std::string_view path, std::vector<JsonDocument>& children);
  // A new document holding a deep copy of the node.
  JsonDocument CloneAt(std::u16string_view path);
  JsonDocument CloneAt(std::string_view path);
  // The node must be an Object; its member order is sorted by key
  // (json_key_order.h). Lookups are unaffected.
  bool SortMembersAt(std::u16string_view path, bool descending);
  bool SortMembersAt(std::string_view path, bool descending);

  // Resolves `path`, reads `text` with ParseText into a new object and
  // merges that into the root (json_merge.h; the root, not the node at the
  // path). False when the path yields no node, the text does not read, or
  // the merge gives false.
  bool MergeText(std::u16string_view path, std::u16string_view text, bool decode_unicode, bool add_missing);
  bool MergeText(std::string_view path, std::string_view text, bool decode_unicode, bool add_missing);

 private:
  explicit JsonDocument(JsonNode* adopted) : root_(adopted) {}
  static JsonDocument Sharing(JsonNode* node);
  JsonNode* Resolve(std::u16string_view path);
  template <typename Result, typename Use>
  Result AtNode(std::u16string_view path, Result none, Use use);

  JsonNode* root_ = nullptr;
};

}  // namespace json
