#include "app/toolkit/main_window_controls.h"

namespace main_window {
namespace {

using toolkit::ControlEvent;
using toolkit::ControlKind;
using toolkit::ControlSpec;
using namespace toolkit;  // the style bits

#define QXTXT_ROW(name, kind, parent, left, top, width, height, text, style, tag, event)         \
  ControlSpec{u8"" #name, ControlKind::k##kind, row::parent == row::name ? -1 : int(row::parent), \
              {left, top, width, height}, u8"" text, static_cast<uint16_t>(style), tag,           \
              ControlEvent::k##event},
constexpr ControlSpec kControls[] = {QXTXT_MAIN_WINDOW_CONTROLS(QXTXT_ROW)};
#undef QXTXT_ROW

static_assert(std::size(kControls) == row::kCount);

constexpr bool ParentsPrecedeChildren() {
  for (int i = 1; i < int(std::size(kControls)); ++i) {
    if (kControls[i].parent < 0 || kControls[i].parent >= i) return false;
  }
  return kControls[0].parent == -1;
}
static_assert(ParentsPrecedeChildren());

constexpr toolkit::WindowSpec kSpec{toolkit::WindowId::kMainWindow, kControls};

}  // namespace

const toolkit::WindowSpec& Spec() { return kSpec; }

}  // namespace main_window
