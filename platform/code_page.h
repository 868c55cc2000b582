// Code page conversions at the edges of the system.
//
// Every text inside the tool is code page 936 (GBK) bytes. These routines
// convert such text to and from UTF-16 and UTF-8, always naming code page 936
// explicitly and never consulting the process locale.
//
// Contract:
//  - All routines are pure functions of their arguments; any thread may call
//    them at any time. Each returns a new value owned by the caller.
//  - They never fail as a whole. Input that cannot be decoded becomes U+FFFD
//    (one per undecodable byte or cut-off sequence); a character that code
//    page 936 cannot hold becomes '?', the code page's default character.
//  - Zero bytes and zero units pass through like any other character.
//  - U+FEFF (a byte-order mark, or a zero-width no-break space) has no
//    place in code page 936 and converts to nothing.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::u16string Cp936ToUtf16(std::string_view gbk);
std::string Utf16ToCp936(std::u16string_view utf16);

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

std::string Cp936ToUtf8(std::string_view gbk);
std::string Utf8ToCp936(std::string_view utf8);

}  // namespace platform
