// The output box of a batch job, streamed to a file instead of kept.
//
// A StreamedBox stores what is appended to it exactly as the window's
// multi-line box would (every line end as CR LF, also across appends), but
// only until about `buffer_bytes` have gathered; then it converts them to
// the output form and writes them, so the output never accumulates in
// memory. The bytes written are, in the default form, byte for byte the
// text the window's box would hold at the end of the job; with `utf8` they
// are that text converted from code page 936 to UTF-8, and with `lf` every
// CR LF is written as LF.
//
// Contract: one thread at a time. The file must outlive the StreamedBox;
// write failures are the file's to report (OutputFile::Close). Replace drops
// only what has not been written yet: a box is replaced before its first
// append (as the jobs clear their output box), never after.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "app/text/text.h"
#include "platform/files.h"

namespace batch {

struct OutputForm {
  bool utf8 = false;  // UTF-8 instead of code page 936
  bool lf = false;    // LF line ends instead of CR LF
};

class StreamedBox {
 public:
  // Called after every write with the number of lines written so far;
  // set it before the first append.
  using WriteListener = std::function<void(uint64_t lines_written)>;

  StreamedBox(platform::OutputFile& file, OutputForm form, size_t buffer_bytes = size_t(1) << 20);

  void Append(std::string_view piece);
  void Replace(std::string_view text);
  // Writes what is still buffered. Call once, when the job has ended.
  void Finish();

  void SetWriteListener(WriteListener listener) { listener_ = std::move(listener); }

 private:
  size_t CutPoint();
  void Write(size_t end);

  platform::OutputFile& file_;
  const OutputForm form_;
  const size_t buffer_bytes_;
  text::Text buffer_;
  bool ends_with_lone_cr_ = false;
  size_t searched_ = 0;  // the buffer's first bytes that hold no place to cut
  uint64_t lines_written_ = 0;
  WriteListener listener_;
};

}  // namespace batch
