#include "platform/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace platform {
namespace {

constexpr char kCp936[] = "CP936";
constexpr char kUtf16[] = "UTF-16LE";
constexpr char kUtf8[] = "UTF-8";

// One converter per direction and thread: iconv_open is far too slow to call
// for every short text, and a converter may not be shared between threads.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `in`, writing `replacement` (already in the target encoding) for
  // every unit of `skip_unit` bytes that cannot be converted.
  std::string Run(const char* in, size_t in_left, std::string_view replacement, size_t skip_unit) {
    std::string out;
    out.resize(in_left * 2 + 16);
    size_t out_used = 0;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    while (in_left > 0) {
      char* in_ptr = const_cast<char*>(in);
      char* out_ptr = out.data() + out_used;
      size_t out_left = out.size() - out_used;
      size_t rc = iconv(cd_, &in_ptr, &in_left, &out_ptr, &out_left);
      out_used = out.size() - out_left;
      in = in_ptr;
      if (rc != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      // EILSEQ or EINVAL: replace one unit and go on after it.
      size_t skip = SkipLength(in, in_left, skip_unit);
      if (out.size() - out_used < replacement.size()) out.resize(out.size() * 2 + replacement.size());
      std::memcpy(out.data() + out_used, replacement.data(), replacement.size());
      out_used += replacement.size();
      in += skip;
      in_left -= skip;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(out_used);
    return out;
  }

 private:
  // A surrogate pair that failed counts as one character.
  static size_t SkipLength(const char* in, size_t in_left, size_t skip_unit) {
    if (skip_unit == 2 && in_left >= 4) {
      uint16_t first = static_cast<uint8_t>(in[0]) | static_cast<uint8_t>(in[1]) << 8;
      uint16_t second = static_cast<uint8_t>(in[2]) | static_cast<uint8_t>(in[3]) << 8;
      if (first >= 0xD800 && first < 0xDC00 && second >= 0xDC00 && second < 0xE000) return 4;
    }
    return in_left < skip_unit ? in_left : skip_unit;
  }

  iconv_t cd_;
};

bool IsAscii(std::string_view bytes) {
  for (unsigned char c : bytes) {
    if (c >= 0x80) return false;
  }
  return true;
}

bool IsAscii(std::u16string_view units) {
  for (char16_t u : units) {
    if (u >= 0x80) return false;
  }
  return true;
}

std::u16string Widen(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::string Narrow(std::u16string_view ascii) {
  std::string out(ascii.size(), '\0');
  for (size_t i = 0; i < ascii.size(); ++i) out[i] = static_cast<char>(ascii[i]);
  return out;
}

std::u16string ToUnits(const std::string& le_bytes) {
  std::u16string out(le_bytes.size() / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<char16_t>(static_cast<uint8_t>(le_bytes[2 * i]) |
                                   static_cast<uint8_t>(le_bytes[2 * i + 1]) << 8);
  }
  return out;
}

std::string ToLeBytes(std::u16string_view units) {
  std::string out(units.size() * 2, '\0');
  for (size_t i = 0; i < units.size(); ++i) {
    out[2 * i] = static_cast<char>(units[i] & 0xFF);
    out[2 * i + 1] = static_cast<char>(units[i] >> 8);
  }
  return out;
}

constexpr std::string_view kReplacementUtf16Le("\xFD\xFF", 2);
constexpr std::string_view kReplacementUtf8("\xEF\xBF\xBD", 3);
constexpr std::string_view kDefaultCharacter("?", 1);

}  // namespace

std::u16string Cp936ToUtf16(std::string_view gbk) {
  if (IsAscii(gbk)) return Widen(gbk);
  thread_local Converter converter(kUtf16, kCp936);
  return ToUnits(converter.Run(gbk.data(), gbk.size(), kReplacementUtf16Le, 1));
}

std::string Utf16ToCp936(std::u16string_view utf16) {
  if (IsAscii(utf16)) return Narrow(utf16);
  thread_local Converter converter(kCp936, kUtf16);
  std::u16string without_marks;
  if (utf16.find(u'\uFEFF') != std::u16string_view::npos) {
    for (char16_t unit : utf16) {
      if (unit != u'\uFEFF') without_marks.push_back(unit);
    }
    utf16 = without_marks;
  }
  std::string bytes = ToLeBytes(utf16);
  return converter.Run(bytes.data(), bytes.size(), kDefaultCharacter, 2);
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  if (IsAscii(utf8)) return Widen(utf8);
  thread_local Converter converter(kUtf16, kUtf8);
  return ToUnits(converter.Run(utf8.data(), utf8.size(), kReplacementUtf16Le, 1));
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  if (IsAscii(utf16)) return Narrow(utf16);
  thread_local Converter converter(kUtf8, kUtf16);
  std::string bytes = ToLeBytes(utf16);
  return converter.Run(bytes.data(), bytes.size(), kReplacementUtf8, 2);
}

std::string Cp936ToUtf8(std::string_view gbk) {
  if (IsAscii(gbk)) return std::string(gbk);
  return Utf16ToUtf8(Cp936ToUtf16(gbk));
}

namespace {

// Code page 936 bytes of every character of the basic plane, made once with
// the converter itself: a value below 0x100 is one byte, a larger one two
// (lead byte high), kUnmappable none at all.
constexpr uint16_t kUnmappable = 0xFFFF;
constexpr uint16_t kNothing = 0xFFFE;  // U+FEFF

const std::vector<uint16_t>& Cp936OfBasicPlane() {
  static const std::vector<uint16_t> table = [] {
    std::vector<uint16_t> bytes_of(0x10000, kUnmappable);
    Converter converter(kCp936, kUtf16);
    for (uint32_t unit = 0; unit < 0x10000; ++unit) {
      if (unit >= 0xD800 && unit < 0xE000) continue;
      char le[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
      std::string gbk = converter.Run(le, 2, std::string_view(), 2);
      if (gbk.size() == 1) bytes_of[unit] = static_cast<uint8_t>(gbk[0]);
      if (gbk.size() == 2) bytes_of[unit] = static_cast<uint16_t>(static_cast<uint8_t>(gbk[0]) << 8 | static_cast<uint8_t>(gbk[1]));
    }
    bytes_of[0xFEFF] = kNothing;
    return bytes_of;
  }();
  return table;
}

bool InRange(unsigned char c, unsigned char low, unsigned char high) { return c >= low && c <= high; }

// The length of the well-formed UTF-8 sequence at `i` and its code point, or
// 0 when the bytes there are not one (overlong forms, surrogates and values
// beyond U+10FFFF included), exactly as the converter judges them.
size_t DecodeUtf8(std::string_view utf8, size_t i, uint32_t* code_point) {
  auto at = [&](size_t k) -> unsigned char { return i + k < utf8.size() ? static_cast<unsigned char>(utf8[i + k]) : 0; };
  const unsigned char lead = at(0);
  auto continuation = [&](size_t k) { return InRange(at(k), 0x80, 0xBF); };
  if (InRange(lead, 0xC2, 0xDF) && continuation(1)) {
    *code_point = (lead & 0x1Fu) << 6 | (at(1) & 0x3Fu);
    return 2;
  }
  if (InRange(lead, 0xE0, 0xEF)) {
    const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
    if (!InRange(at(1), low, high) || !continuation(2)) return 0;
    *code_point = (lead & 0x0Fu) << 12 | (at(1) & 0x3Fu) << 6 | (at(2) & 0x3Fu);
    return 3;
  }
  if (InRange(lead, 0xF0, 0xF4)) {
    const unsigned char low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
    if (!InRange(at(1), low, high) || !continuation(2) || !continuation(3)) return 0;
    *code_point = (lead & 0x07u) << 18 | (at(1) & 0x3Fu) << 12 | (at(2) & 0x3Fu) << 6 | (at(3) & 0x3Fu);
    return 4;
  }
  return 0;
}

void AppendCp936(std::string& out, uint16_t bytes) {
  if (bytes == kNothing) return;
  if (bytes == kUnmappable) return out.push_back('?');
  if (bytes >= 0x100) out.push_back(static_cast<char>(bytes >> 8));
  out.push_back(static_cast<char>(bytes & 0xFF));
}

}  // namespace

// Straight from UTF-8 to code page 936 through the table: dropped files of a
// hundred megabytes are decoded at memory speed rather than through two
// converters and a UTF-16 copy. Results equal those of the two converters.
std::string Utf8ToCp936(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  const std::vector<uint16_t>& cp936 = Cp936OfBasicPlane();
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    size_t ascii_end = i;
    while (ascii_end < utf8.size() && static_cast<unsigned char>(utf8[ascii_end]) < 0x80) ++ascii_end;
    out.append(utf8, i, ascii_end - i);
    i = ascii_end;
    if (i == utf8.size()) break;
    uint32_t code_point = 0;
    size_t length = DecodeUtf8(utf8, i, &code_point);
    if (length == 0) {
      out.push_back('?');  // one replacement character per undecodable byte
      ++i;
      continue;
    }
    if (code_point < 0x10000) {
      AppendCp936(out, cp936[code_point]);
    } else {  // rare: the converter decides, some of these convert to nothing
      const char16_t pair[2] = {char16_t(0xD7C0 + (code_point >> 10)), char16_t(0xDC00 | (code_point & 0x3FF))};
      out += Utf16ToCp936(std::u16string_view(pair, 2));
    }
    i += length;
  }
  return out;
}

}  // namespace platform
