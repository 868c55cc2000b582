#include "http/private_cookie_jar.h"

#include "http/response_headers.h"

namespace http {
namespace {

// The name of a "name=value" pair; false when it has no "=".
bool NameOfPair(std::string_view pair, std::string_view& name) {
  size_t equals = pair.find('=');
  if (equals == std::string_view::npos) return false;
  name = pair.substr(0, equals);
  return true;
}

}  // namespace

int PrivateCookieJar::EntryStart(std::string_view name) const {
  return text::Find(jar_, text::Join({kSeparator, name, "="}));
}

int PrivateCookieJar::EntryEnd(int start, std::string_view name) const {
  int value_start = start + text::Length(kSeparator) + text::Length(name) + 1;
  int end = text::Find(jar_, kSeparator, value_start);
  return end < 1 ? text::Length(jar_) + 1 : end;
}

void PrivateCookieJar::Store(std::string_view name, std::string_view pair) {
  int start = EntryStart(name);
  if (start < 1) {
    jar_ = text::Join({jar_, pair, kSeparator});
    return;
  }
  int entry = start + text::Length(kSeparator);
  jar_ = text::ReplaceAt(jar_, entry, EntryEnd(start, name) - entry, pair);
}

// Removes "; " + name=value; the "; " that followed the entry stays and now
// ends the entry before it (or the jar's head).
void PrivateCookieJar::Erase(std::string_view name) {
  int start = EntryStart(name);
  jar_ = text::ReplaceAt(jar_, start, EntryEnd(start, name) - start, "");
}

bool PrivateCookieJar::TakeResponsePair(std::string_view pair, bool keep_on_delete) {
  std::string_view name;
  if (!NameOfPair(pair, name)) return false;
  const text::Text before = jar_;
  bool held = EntryStart(name) >= 1;
  if (IsDeletionMarker(pair)) {
    if (held && !keep_on_delete) Erase(name);
  } else if (!held || !keep_on_delete || !pair.ends_with('=')) {
    Store(name, pair);
  }
  return jar_ != before;
}

bool PrivateCookieJar::TakePairs(std::string_view pairs) {
  const text::Text before = jar_;
  for (std::string_view piece : text::Split(pairs, ";")) {
    text::Text item = text::TrimStart(piece);
    std::string_view name;
    if (NameOfPair(item, name)) Store(name, item);
  }
  return jar_ != before;
}

bool PrivateCookieJar::Remove(std::string_view names) {
  const text::Text before = jar_;
  for (std::string_view piece : text::Split(names, ";")) {
    text::Text item = text::TrimStart(piece);
    std::string_view name = std::string_view(item).substr(0, item.find('='));
    int start = EntryStart(name);
    if (start >= 1 && EntryEnd(start, name) <= text::Length(jar_)) Erase(name);
  }
  return jar_ != before;
}

text::Text PrivateCookieJar::Entries() const {
  std::string_view entries = jar_;
  if (entries.starts_with(kSeparator)) entries.remove_prefix(kSeparator.size());
  if (entries.ends_with(kSeparator)) entries.remove_suffix(kSeparator.size());
  return text::Text(entries);
}

// Every entry must end with "; " for the next one to be found, so a
// replacement that ends in a space still gets its closing "; ".
void PrivateCookieJar::Replace(std::string_view replacement) {
  text::Text jar(replacement);
  if (!jar.starts_with(kSeparator)) jar = text::Join({kSeparator, jar});
  if (!jar.ends_with(kSeparator)) jar += jar.ends_with(';') ? " " : "; ";
  jar_ = std::move(jar);
}

text::Text PrivateCookieJar::Value(std::string_view name, bool with_name) const {
  if (name.empty()) return {};
  int start = EntryStart(name);
  if (start < 1) return {};
  int value_start = start + text::Length(kSeparator) + text::Length(name) + 1;
  int end = text::Find(jar_, ";", value_start);
  if (end < 1) return {};
  text::Text value = text::Middle(jar_, value_start, end - value_start);
  return with_name ? text::Join({name, "=", value}) : value;
}

}  // namespace http
