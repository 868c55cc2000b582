#include "batch/batch_toolkit.h"

#include <utility>

#include "app/toolkit/line_ends.h"

namespace batch {

BatchToolkit::BatchToolkit(toolkit::ControlId output_box, StreamedBox& output)
    : output_box_(output_box), output_(output) {}

void BatchToolkit::HandOver(toolkit::ControlId box, text::Text text) {
  inputs_.push_back({box, toolkit::WithCrLfLineEnds(std::move(text))});
}

text::Text BatchToolkit::ReadControlText(toolkit::ControlId control) {
  if (control == output_box_) return {};
  for (HandedOver& input : inputs_) {
    if (input.box == control) return std::exchange(input.text, {});
  }
  return InMemoryToolkit::ReadControlText(control);
}

void BatchToolkit::WriteControlText(toolkit::ControlId control, std::string_view text) {
  if (control == output_box_) return output_.Replace(text);
  InMemoryToolkit::WriteControlText(control, text);
}

void BatchToolkit::AppendEditText(toolkit::ControlId control, std::string_view text) {
  if (control == output_box_) return output_.Append(text);
  InMemoryToolkit::AppendEditText(control, text);
}

}  // namespace batch
