// The state of one window's controls: texts, enabled and ticked states.
//
// ControlModel is the single source of truth that both toolkits read and
// write. Worker threads change it directly, so a change is visible to the
// next read at once, without a round trip to the user-interface thread. A
// front end that shows the controls (the Qt toolkit) attaches a ModelView: it
// hears which controls changed and copies their state into its widgets at its
// own pace, and it hands user edits back.
//
// Multi-line edit boxes present lines: every line end written or appended to
// them (CR LF, a lone LF or a lone CR) is stored as CR LF, so reading one
// gives its lines joined by CR LF.
//
// Threads: every public member may be called from any thread. Texts are
// copied in and out; nothing returned refers to the model's storage.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "app/text/text.h"
#include "app/toolkit/control_spec.h"

namespace toolkit {

// What a front end implements to mirror a model.
class ModelView {
 public:
  virtual ~ModelView() = default;
  // Called from any thread, at most once until the view calls TakeChanged.
  virtual void ControlChanged(ControlId control) = 0;
  // Called from any thread when the widget holds a user edit newer than the
  // model: the view must call ReplaceFromView with the widget's text before it
  // returns.
  virtual void SyncFromView(ControlId control) = 0;
};

// A piece of a control's text, for a view catching up with the model.
struct TextChunk {
  uint64_t generation;  // changes whenever the text is replaced
  size_t end;           // offset just past `bytes`
  size_t length;        // the text's whole length now
  size_t written;       // its length when it was last replaced: more means appends
  text::Text bytes;
};

class ControlModel {
 public:
  explicit ControlModel(const WindowSpec& spec);
  ~ControlModel();
  ControlModel(const ControlModel&) = delete;
  ControlModel& operator=(const ControlModel&) = delete;

  const WindowSpec& Spec() const { return spec_; }
  const ControlSpec& SpecOf(ControlId control) const { return spec_.controls[control.index]; }

  // Attaches the front end. Call before any other thread uses the model.
  void AttachView(ModelView* view) { view_ = view; }

  text::Text ReadText(ControlId control);
  void WriteText(ControlId control, std::string_view text);
  void AppendText(ControlId control, std::string_view text);

  bool IsEnabled(ControlId control) const;
  void SetEnabled(ControlId control, bool enabled);

  // Check boxes tick and untick; selecting a radio button clears the other
  // radio buttons of its group box, and a radio button cannot be unselected.
  bool IsTicked(ControlId control) const;
  void SetTicked(ControlId control, bool ticked);

  // The first control whose tag equals `tag`, or found = false.
  struct TagLookup {
    ControlId control;
    bool found;
  };
  TagLookup FindByTag(int tag) const;

  // For the view. TakeChanged clears the changed mark and tells whether it
  // was set; ReadChunk gives the text from `offset` on (the whole text when
  // `generation` is not the current one), at most about `max_bytes`, cut
  // between characters and never inside a CR LF.
  bool TakeChanged(ControlId control);
  TextChunk ReadChunk(ControlId control, uint64_t generation, size_t offset, size_t max_bytes);
  // A user edit in the widget: MarkEditedInView when it happens, then
  // ReplaceFromView with the widget's text when SyncFromView asks for it.
  // A program write since the edit wins over the edit. Returns the length of
  // the text now.
  void MarkEditedInView(ControlId control);
  size_t ReplaceFromView(ControlId control, std::string_view text);

 private:
  struct State;
  State& StateOf(ControlId control) const;
  void Changed(ControlId control);
  void StoreText(State& state, const ControlSpec& spec, std::string_view text, bool append);

  const WindowSpec& spec_;
  std::unique_ptr<State[]> states_;
  std::vector<int> index_by_tag_;  // -1 where no control carries the tag
  ModelView* view_ = nullptr;
};

}  // namespace toolkit
