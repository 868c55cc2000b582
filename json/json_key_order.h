// The order in which SortMembersAt puts member keys.
//
// A word-sort comparison in the manner of the desktop platform's locale-aware,
// case-sensitive string comparison, for the keys a program is likely to use:
//  1. Keys compare first with "-" and "'" left out and ASCII letters folded
//     to one case; symbols sort before digits and digits before letters, and
//     units beyond ASCII follow all of them in code unit order.
//  2. Keys equal so far: at the first letter that differs only in case, the
//     lowercase letter comes first ("a" < "A" < "b").
//  3. Still equal: code unit order, so distinct keys never compare equal and
//     the order is total.
// Collation rules of particular languages (for example ordering Chinese keys
// by their reading) are not applied.
//
// Contract: a pure function, callable from any thread.
#pragma once

#include <string_view>

namespace json {

// Negative, zero or positive as `a` sorts before, with or after `b`.
int CompareKeys(std::u16string_view a, std::u16string_view b);

}  // namespace json
