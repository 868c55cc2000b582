// The description of a window as data: every control with its name, kind,
// parent, place, caption or initial text, initial state, tag and event.
//
// Both toolkits (the in-memory model and the Qt front end) are built from the
// same description, so a window is described once. Descriptions are constant
// tables with static storage; nothing here owns memory or has threads.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace toolkit {

enum class ControlKind : uint8_t {
  kWindow,
  kStatusBar,
  kTabControl,
  kTabPage,
  kGroupBox,
  kLabel,
  kButton,
  kCheckBox,
  kRadioButton,
  kEditBox,
  kDropObject,  // receives a box's dropped files; never visible
  kWebView,
};

// What a control reports to the window's event handler.
enum class ControlEvent : uint8_t {
  kNone,
  kClicked,
  kTextChanged,       // raised by user edits only, never by program writes
  kLeftMousePressed,
  kGotFile,           // argument: the dropped path(s), as the platform spells them
};

// Style and initial-state bits.
enum ControlStyle : uint16_t {
  kPlain = 0,
  kMultiLine = 1 << 0,  // multi-line edit box with both scroll bars
  kCentred = 1 << 1,    // single-line edit box, text centred
  kLink = 1 << 2,       // label drawn blue and underlined
  kStatus = 1 << 3,     // label drawn green
  kTicked = 1 << 4,     // check box ticked / radio button selected at start
};

struct Place {
  int left, top, width, height;
};

// Places are relative to the parent (a group box, a page, or the window).
// Page-relative places count from the tab control's top-left corner, tab
// headers included. Texts are UTF-8 here (source code) and become code page
// 936 texts in the toolkits.
struct ControlSpec {
  std::u8string_view name;
  ControlKind kind;
  int parent;  // index into the window's table; -1 for the window itself
  Place place;
  std::u8string_view text;
  uint16_t style;
  int tag;  // 0 when the control has no tag
  ControlEvent event;
};

enum class WindowId : uint16_t { kMainWindow = 0 };

struct WindowSpec {
  WindowId id;
  std::span<const ControlSpec> controls;  // index 0 is the window itself
};

// A control of a window. Cheap to copy; valid for the program's lifetime.
struct ControlId {
  WindowId window;
  uint16_t index;
  friend constexpr bool operator==(ControlId, ControlId) = default;
};

}  // namespace toolkit
