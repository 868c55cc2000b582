#include "batch/streamed_box.h"

#include <algorithm>

#include "app/toolkit/line_ends.h"
#include "platform/code_page.h"

namespace batch {

StreamedBox::StreamedBox(platform::OutputFile& file, OutputForm form, size_t buffer_bytes)
    : file_(file), form_(form), buffer_bytes_(buffer_bytes) {
  buffer_.reserve(buffer_bytes_ + buffer_bytes_ / 4);
}

void StreamedBox::Append(std::string_view piece) {
  toolkit::AppendLines(buffer_, piece, ends_with_lone_cr_);
  if (buffer_.size() >= buffer_bytes_) Write(CutPoint());
}

void StreamedBox::Replace(std::string_view text) {
  buffer_.clear();
  searched_ = 0;
  ends_with_lone_cr_ = false;
  Append(text);
}

void StreamedBox::Finish() { Write(buffer_.size()); }

// Where the buffer may be cut so that converting its two parts one after the
// other gives the same bytes as converting them together. The code page 936
// converter is at a character start after every byte below 0x40, as no
// second byte lies below 0x40 (a lead byte in front of one is undecodable on
// its own); LF is such a byte, so the cut usually falls at the very end. A
// CR is passed over so that no CR LF is cut. 0 when the buffer holds no such
// byte yet: it then waits for more, and only the bytes that come are looked
// at next time, so a long line without such a byte costs one pass.
size_t StreamedBox::CutPoint() {
  if (!form_.utf8 && !form_.lf) return buffer_.size();
  for (size_t i = buffer_.size(); i > searched_; --i) {
    unsigned char c = static_cast<unsigned char>(buffer_[i - 1]);
    if (c < 0x40 && c != '\r') return i;
  }
  searched_ = buffer_.size();
  return 0;
}

void StreamedBox::Write(size_t end) {
  if (end == 0) return;
  std::string_view part(buffer_.data(), end);
  if (listener_) lines_written_ += uint64_t(std::count(part.begin(), part.end(), '\n'));
  if (!form_.utf8 && !form_.lf) {
    file_.Write(part);
  } else {
    text::Text converted = form_.utf8 ? platform::Cp936ToUtf8(part) : text::Text(part);
    // Every CR of a box is the first half of a CR LF.
    if (form_.lf) converted.erase(std::remove(converted.begin(), converted.end(), '\r'), converted.end());
    file_.Write(converted);
  }
  buffer_.erase(0, end);
  searched_ = 0;
  if (listener_) listener_(lines_written_);
}

}  // namespace batch
