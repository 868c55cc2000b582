// The toolkit of the batch front end: the in-memory main window, with the
// input boxes handed over to the job and the job's output box streamed out.
//
// The jobs run through it unchanged, so they produce exactly what the window
// would show. Two departures from the window keep memory near the size of
// the input:
//  - An input box's text is handed over to the job when the job reads it:
//    the first ReadControlText of a box given by HandOver moves the text out
//    and leaves the box empty, instead of keeping a second copy. The jobs
//    read each input box exactly once.
//  - Whatever is written or appended to the output box goes to a StreamedBox
//    (which keeps it only until it is written out); reading that box gives
//    the empty text.
// Every other control behaves as in InMemoryToolkit.
//
// Threads: as InMemoryToolkit; HandOver before the job starts, and the
// output box from one thread at a time (the job's).
#pragma once

#include <vector>

#include "app/toolkit/in_memory_toolkit.h"
#include "batch/streamed_box.h"

namespace batch {

class BatchToolkit : public toolkit::InMemoryToolkit {
 public:
  // `output` must outlive the toolkit.
  BatchToolkit(toolkit::ControlId output_box, StreamedBox& output);

  // Gives the multi-line box `box` the text it would hold after `text` was
  // written into it, for the job's first read of the box.
  void HandOver(toolkit::ControlId box, text::Text text);

  text::Text ReadControlText(toolkit::ControlId control) override;
  void WriteControlText(toolkit::ControlId control, std::string_view text) override;
  void AppendEditText(toolkit::ControlId control, std::string_view text) override;

 private:
  struct HandedOver {
    toolkit::ControlId box;
    text::Text text;
  };

  const toolkit::ControlId output_box_;
  StreamedBox& output_;
  std::vector<HandedOver> inputs_;
};

}  // namespace batch
