#include "app/toolkit/control_model.h"

#include <algorithm>

#include "app/toolkit/line_ends.h"
#include "platform/code_page.h"

namespace toolkit {

struct ControlModel::State {
  std::mutex mutex;
  text::Text text;
  uint64_t generation = 0;
  size_t written_length = 0;  // the length right after the last replace
  // The text ends in a CR LF made from a lone CR that ended the last append;
  // an LF starting the next append belongs to it.
  bool ends_with_lone_cr = false;
  std::atomic<bool> enabled{true};
  std::atomic<bool> ticked{false};
  std::atomic<bool> changed{false};
  std::atomic<bool> edited_in_view{false};
};

namespace {

bool IsMultiLine(const ControlSpec& spec) {
  return spec.kind == ControlKind::kEditBox && (spec.style & kMultiLine);
}

std::string_view AsBytes(std::u8string_view utf8) {
  return {reinterpret_cast<const char*>(utf8.data()), utf8.size()};
}

// The largest cut in [from, limit] that falls between characters and not
// between the CR and LF of a line end. `from` is a character start.
size_t CutPoint(std::string_view text, size_t from, size_t limit) {
  if (limit >= text.size()) return text.size();
  size_t i = from;
  while (i < limit) {
    size_t width = text::IsLeadByte(text[i]) ? 2 : 1;
    if (i + width > limit) break;
    i += width;
  }
  if (i > from && text[i - 1] == '\r' && i < text.size() && text[i] == '\n') ++i;
  if (i == from) i = std::min(text.size(), from + 2);  // always make progress
  return i;
}

}  // namespace

ControlModel::ControlModel(const WindowSpec& spec) : spec_(spec), states_(new State[spec.controls.size()]) {
  const TaggedControl not_found{ControlId{spec.id, 0}, spec.controls[0].kind, false};
  by_tag_.assign(1, not_found);
  for (size_t i = 0; i < spec.controls.size(); ++i) {
    const ControlSpec& control = spec.controls[i];
    State& state = states_[i];
    text::Text text = platform::Utf8ToCp936(AsBytes(control.text));
    state.text = IsMultiLine(control) ? WithCrLfLineEnds(std::move(text)) : std::move(text);
    state.written_length = state.text.size();
    state.ticked = (control.style & kTicked) != 0;
    if (control.tag > 0) {
      if (by_tag_.size() <= size_t(control.tag)) by_tag_.resize(control.tag + 1, not_found);
      if (!by_tag_[control.tag].found) by_tag_[control.tag] = {ControlId{spec.id, uint16_t(i)}, control.kind, true};
    }
  }
}

ControlModel::~ControlModel() = default;

ControlModel::State& ControlModel::StateOf(ControlId control) const { return states_[control.index]; }

void ControlModel::Changed(ControlId control) {
  State& state = StateOf(control);
  // A load first: appending in a loop must not cost an atomic exchange each.
  if (state.changed.load(std::memory_order_relaxed)) return;
  if (!state.changed.exchange(true) && view_) view_->ControlChanged(control);
}

text::Text ControlModel::ReadText(ControlId control) {
  State& state = StateOf(control);
  if (view_ && state.edited_in_view.load(std::memory_order_acquire)) view_->SyncFromView(control);
  std::lock_guard lock(state.mutex);
  return state.text;
}

void ControlModel::StoreText(State& state, const ControlSpec& spec, std::string_view text, bool append) {
  if (!append) {
    state.text.clear();
    state.ends_with_lone_cr = false;
    ++state.generation;
    state.edited_in_view = false;
  }
  if (IsMultiLine(spec)) {
    AppendLines(state.text, text, state.ends_with_lone_cr);
  } else {
    state.text.append(text);
  }
  if (!append) state.written_length = state.text.size();
}

void ControlModel::WriteText(ControlId control, std::string_view text) {
  State& state = StateOf(control);
  {
    std::lock_guard lock(state.mutex);
    StoreText(state, SpecOf(control), text, false);
  }
  Changed(control);
}

void ControlModel::AppendText(ControlId control, std::string_view text) {
  if (SpecOf(control).kind != ControlKind::kEditBox) return;
  State& state = StateOf(control);
  {
    std::lock_guard lock(state.mutex);
    StoreText(state, SpecOf(control), text, true);
  }
  Changed(control);
}

bool ControlModel::IsEnabled(ControlId control) const {
  return StateOf(control).enabled.load(std::memory_order_acquire);
}

void ControlModel::SetEnabled(ControlId control, bool enabled) {
  StateOf(control).enabled.store(enabled, std::memory_order_release);
  Changed(control);
}

bool ControlModel::IsTicked(ControlId control) const {
  return StateOf(control).ticked.load(std::memory_order_acquire);
}

void ControlModel::SetTicked(ControlId control, bool ticked) {
  const ControlSpec& spec = SpecOf(control);
  if (spec.kind == ControlKind::kCheckBox) {
    StateOf(control).ticked.store(ticked, std::memory_order_release);
    Changed(control);
  } else if (spec.kind == ControlKind::kRadioButton && ticked) {
    for (size_t i = 0; i < spec_.controls.size(); ++i) {
      const ControlSpec& other = spec_.controls[i];
      if (other.kind != ControlKind::kRadioButton || other.parent != spec.parent) continue;
      ControlId id{control.window, uint16_t(i)};
      StateOf(id).ticked.store(i == control.index, std::memory_order_release);
      Changed(id);
    }
  }
}

bool ControlModel::TakeChanged(ControlId control) { return StateOf(control).changed.exchange(false); }

std::optional<TextChunk> ControlModel::ReadChunk(ControlId control, uint64_t generation, size_t offset,
                                                 size_t max_bytes) {
  State& state = StateOf(control);
  std::unique_lock lock(state.mutex, std::try_to_lock);
  if (!lock.owns_lock()) return std::nullopt;
  if (generation != state.generation || offset > state.text.size()) offset = 0;
  size_t end = CutPoint(state.text, offset, offset + max_bytes);
  return TextChunk{state.generation, end, state.text.size(), state.written_length,
                   state.text.substr(offset, end - offset)};
}

void ControlModel::MarkEditedInView(ControlId control) {
  StateOf(control).edited_in_view.store(true, std::memory_order_release);
}

size_t ControlModel::ReplaceFromView(ControlId control, std::string_view text) {
  State& state = StateOf(control);
  std::lock_guard lock(state.mutex);
  if (state.edited_in_view.exchange(false)) {
    state.text.clear();
    state.ends_with_lone_cr = false;
    // The widget already shows this text: keep the generation the view knows.
    StoreText(state, SpecOf(control), text, true);
    state.written_length = state.text.size();
  }
  return state.text.size();
}

}  // namespace toolkit
