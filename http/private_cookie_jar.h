// The private cookie jar of an HTTP request object: its cookies as one text.
//
// The text is "; " followed by entries name=value, each ended by "; ", so the
// entry of a cookie is found by searching, case-sensitively, for
// "; " + name + "=". An empty jar is "; ". Entries keep the order in which
// the cookies first arrived.
//
// A jar is a plain value: copies are independent. It belongs to the thread
// of the request object that holds it.
#pragma once

#include <string_view>

#include "app/text/text.h"

namespace http {

class PrivateCookieJar {
 public:
  const text::Text& Text() const { return jar_; }
  int Length() const { return text::Length(jar_); }
  void Clear() { jar_ = kEmpty; }

  // Takes in one cookie pair of a response. A pair without "=" changes
  // nothing. With `keep_on_delete` a deletion marker or an empty value for a
  // held cookie leaves it unchanged; without it the marker removes the cookie
  // and the empty value is stored. A marker for a cookie not held is ignored.
  // True when the jar changed.
  bool TakeResponsePair(std::string_view pair, bool keep_on_delete);
  // Takes in "name=value" items separated by ";" (leading spaces of an item
  // dropped, items without "=" skipped): each replaces the held value or is
  // appended. True when the jar changed.
  bool TakePairs(std::string_view pairs);
  // Removes the cookies named by ";"-separated items (an item's "=" and what
  // follows are ignored). True when anything was removed.
  bool Remove(std::string_view names);

  // The entries joined by "; ", without the jar's leading and trailing "; ".
  text::Text Entries() const;
  // Makes the jar hold `replacement`, given the leading "; " and a closing
  // "; " when it lacks them.
  void Replace(std::string_view replacement);
  // The value of cookie `name`, or name=value when `with_name`; "" when the
  // cookie is not held or `name` is empty.
  text::Text Value(std::string_view name, bool with_name) const;

 private:
  static constexpr std::string_view kEmpty = "; ";
  static constexpr std::string_view kSeparator = "; ";

  // Position of the "; " that opens the entry of `name`, or -1.
  int EntryStart(std::string_view name) const;
  // Position just after the value of the entry opened at `start`: the next
  // "; " after its "=", or the end of the jar.
  int EntryEnd(int start, std::string_view name) const;
  // Puts `pair` in place of the entry of its name, or appends it.
  void Store(std::string_view name, std::string_view pair);
  void Erase(std::string_view name);

  text::Text jar_{kEmpty};
};

}  // namespace http
