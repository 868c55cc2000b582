// Text primitives of the tool.
//
// A text is a run of code page 936 (GBK) bytes without zero bytes; "no text"
// and the empty text are the same value. A byte of 0x80 or above starts a
// double-byte character whose second byte is the next byte, whatever its
// value; a match never starts on a second byte. Lengths and positions count
// bytes and positions start at 1. Not-found is -1.
//
// A byte array is a counted run of bytes that may hold zero bytes.
//
// Contract: every routine is a pure function of its arguments, callable from
// any thread. Routines returning Text or ByteArray return a new value owned by
// the caller. Split returns views into its `text` argument, which the caller
// keeps alive while it uses them.
#pragma once

#include <climits>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace text {

using Text = std::string;
using ByteArray = std::vector<std::uint8_t>;
using Pieces = std::vector<std::string_view>;

inline constexpr std::string_view kLineEnd = "\r\n";

inline bool IsLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

int Length(std::string_view text);
bool IsEmpty(std::string_view text);
Text Join(std::initializer_list<std::string_view> parts);

// The pieces of `text` between occurrences of `separator`, in order. Empty
// text gives no pieces; an empty separator gives the whole text; the rest
// after the last separator is a piece only if it is not empty.
Pieces Split(std::string_view text, std::string_view separator);
// Split into `pieces`, reusing its storage (for loops over many lines).
void SplitInto(std::string_view text, std::string_view separator, Pieces& pieces);
// The lines of a text: Split on CR LF.
Pieces SplitLines(std::string_view text);

// The pieces Split would give, found one at a time as the loop goes, so that
// a text of a million lines needs no array of them. Views into `text`.
class PieceRange {
 public:
  class Iterator {
   public:
    using value_type = std::string_view;
    using difference_type = std::ptrdiff_t;
    std::string_view operator*() const { return piece_; }
    Iterator& operator++();
    // Only the end is ever compared with.
    bool operator==(const Iterator& other) const { return done_ == other.done_; }

   private:
    friend class PieceRange;
    Iterator(std::string_view text, std::string_view separator, bool done);
    std::string_view rest_, separator_, piece_;
    bool done_, last_ = false;
  };
  PieceRange(std::string_view text, std::string_view separator) : text_(text), separator_(separator) {}
  Iterator begin() const { return Iterator(text_, separator_, false); }
  Iterator end() const { return Iterator({}, separator_, true); }
  // The number of pieces; a scan of the whole text.
  size_t Count() const;

 private:
  std::string_view text_, separator_;
};
inline PieceRange LinesOf(std::string_view text) { return PieceRange(text, kLineEnd); }

int Find(std::string_view text, std::string_view search, int start = 1);
int FindCaseInsensitive(std::string_view text, std::string_view search, int start = 1);
// Searches the first start-1 bytes (none when start <= 1); a start beyond the
// end, and the default, search the whole text.
inline constexpr int kWholeText = INT_MAX;
int FindLast(std::string_view text, std::string_view search, int start = kWholeText,
             bool case_insensitive = false);

Text Left(std::string_view text, int n);
Text Right(std::string_view text, int n);
Text Middle(std::string_view text, int start, int n);

Text Decimal(long long value);
// The decimal integer that the text begins with, after leading white space and
// an optional sign; 0 when there is none. Saturates at the int range.
int IntegerOfText(std::string_view text);

Text TrimStart(std::string_view text);
Text TrimEnd(std::string_view text);
Text TrimBoth(std::string_view text);
Text UpperCase(std::string_view text);
Text LowerCase(std::string_view text);
Text Spaces(int n);

// `text` with the n bytes from `start` replaced by `replacement`. A start
// below 1 counts as 1, one beyond the end appends; n is cut to what remains.
Text ReplaceAt(std::string_view text, int start, int n, std::string_view replacement);

Text TextOfBytes(const ByteArray& bytes);
bool BytesEqual(const ByteArray& a, const ByteArray& b);
ByteArray MiddleBytes(const ByteArray& bytes, int start, int count);

}  // namespace text
