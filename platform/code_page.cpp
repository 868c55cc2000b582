#include "platform/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>

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

std::string Utf8ToCp936(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  return Utf16ToCp936(Utf8ToUtf16(utf8));
}

}  // namespace platform
