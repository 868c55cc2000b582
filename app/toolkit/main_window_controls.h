// MainWindow, the tool's only main window, described as data.
//
// Every control is named as the window's users and developers know it
// (`编辑框_提取_输入`, `按钮4`, ...), and each name is a ControlId constant in
// namespace main_window. The table is constant; any thread may read it.
#pragma once

#include "app/toolkit/control_spec.h"

// X(name, kind, parent, left, top, width, height, text, style, tag, event)
// One row per control; a parent precedes its children. The window's own row
// names itself as its parent.
// clang-format off
#define QXTXT_MAIN_WINDOW_CONTROLS(X) \
  X(MainWindow, Window, MainWindow, 50, 50, 800, 586, "穹溪文本处理工具", kPlain, 0, None) \
  X(状态条1, StatusBar, MainWindow, 0, 537, 794, 20, "", kPlain, 0, None) \
  X(选择夹1, TabControl, MainWindow, -2, 1, 946, 593, "", kPlain, 0, None) \
  X(文本分隔页, TabPage, 选择夹1, 0, 0, 946, 593, "文本分隔", kPlain, 0, None) \
  X(文本合并页, TabPage, 选择夹1, 0, 0, 946, 593, "文本合并", kPlain, 0, None) \
  X(帮助反馈页, TabPage, 选择夹1, 0, 0, 946, 593, "帮助反馈", kPlain, 0, None) \
  /* page 文本分隔: column extraction */ \
  X(分组框2, GroupBox, 文本分隔页, 7, 26, 784, 224, "待处理文本-可以直接拖文件到下面的编辑框中", kPlain, 0, None) \
  X(透明标签1, Label, 分组框2, 15, 20, 84, 20, "需要保留的列", kPlain, 0, None) \
  X(选择框1, CheckBox, 分组框2, 100, 20, 56, 20, "第1列", kTicked, 1, None) \
  X(选择框2, CheckBox, 分组框2, 159, 20, 56, 20, "第2列", kPlain, 2, None) \
  X(选择框3, CheckBox, 分组框2, 218, 20, 56, 20, "第3列", kPlain, 3, None) \
  X(选择框4, CheckBox, 分组框2, 277, 20, 56, 20, "第4列", kPlain, 4, None) \
  X(选择框5, CheckBox, 分组框2, 336, 20, 56, 20, "第5列", kPlain, 5, None) \
  X(选择框6, CheckBox, 分组框2, 395, 20, 56, 20, "第6列", kPlain, 6, None) \
  X(选择框7, CheckBox, 分组框2, 454, 20, 56, 20, "第7列", kPlain, 7, None) \
  X(选择框8, CheckBox, 分组框2, 513, 20, 56, 20, "第8列", kPlain, 8, None) \
  X(选择框9, CheckBox, 分组框2, 572, 20, 56, 20, "第9列", kPlain, 9, None) \
  X(选择框10, CheckBox, 分组框2, 636, 20, 56, 20, "第10列", kPlain, 10, None) \
  X(按钮3, Button, 分组框2, 725, 20, 48, 20, "清空", kPlain, 0, Clicked) \
  X(编辑框_提取_输入, EditBox, 分组框2, 11, 49, 762, 160, "", kMultiLine, 0, TextChanged) \
  X(分组框3, GroupBox, 文本分隔页, 7, 254, 784, 48, "", kPlain, 0, None) \
  X(按钮5, Button, 分组框3, 8, 17, 48, 20, "示例", kPlain, 0, Clicked) \
  X(透明标签10, Label, 分组框3, 75, 17, 408, 20, "", kLink, 0, LeftMousePressed) \
  X(拖放对象1, DropObject, 分组框3, 131, 17, 26, 26, "", kPlain, 0, GotFile) \
  X(透明标签3, Label, 分组框3, 496, 17, 48, 20, "原分隔符", kPlain, 0, None) \
  X(编辑框_提取_分隔符旧, EditBox, 分组框3, 552, 17, 40, 20, "----", kCentred, 0, None) \
  X(透明标签4, Label, 分组框3, 617, 17, 48, 20, "新分隔符", kPlain, 0, None) \
  X(编辑框_提取_分隔符新, EditBox, 分组框3, 673, 17, 40, 20, "----", kCentred, 0, None) \
  X(按钮4, Button, 分组框3, 728, 17, 48, 20, "处理", kPlain, 0, Clicked) \
  X(分组框1, GroupBox, 文本分隔页, 8, 308, 784, 224, "已处理文本", kPlain, 0, None) \
  X(按钮2, Button, 分组框1, 8, 19, 48, 20, "复制", kPlain, 0, Clicked) \
  X(透明标签2, Label, 分组框1, 74, 19, 100, 20, "", kStatus, 0, None) \
  X(按钮1, Button, 分组框1, 725, 19, 48, 20, "清空", kPlain, 0, Clicked) \
  X(编辑框_提取_输出, EditBox, 分组框1, 8, 49, 762, 160, "", kMultiLine, 0, None) \
  /* page 文本合并: keyed merge */ \
  X(分组框4, GroupBox, 文本合并页, 7, 26, 784, 133, "待处理文本1-可以直接拖文件到下面的编辑框中", kPlain, 0, None) \
  X(透明标签5, Label, 分组框4, 15, 20, 84, 20, "需要保留的列", kPlain, 0, None) \
  X(选择框11, CheckBox, 分组框4, 100, 20, 56, 20, "第1列", kTicked, 11, None) \
  X(选择框12, CheckBox, 分组框4, 159, 20, 56, 20, "第2列", kPlain, 12, None) \
  X(选择框13, CheckBox, 分组框4, 218, 20, 56, 20, "第3列", kPlain, 13, None) \
  X(选择框14, CheckBox, 分组框4, 277, 20, 56, 20, "第4列", kPlain, 14, None) \
  X(选择框15, CheckBox, 分组框4, 336, 20, 56, 20, "第5列", kPlain, 15, None) \
  X(选择框16, CheckBox, 分组框4, 395, 20, 56, 20, "第6列", kPlain, 16, None) \
  X(选择框17, CheckBox, 分组框4, 454, 20, 56, 20, "第7列", kPlain, 17, None) \
  X(选择框18, CheckBox, 分组框4, 513, 20, 56, 20, "第8列", kPlain, 18, None) \
  X(选择框19, CheckBox, 分组框4, 572, 20, 56, 20, "第9列", kPlain, 19, None) \
  X(选择框20, CheckBox, 分组框4, 636, 20, 56, 20, "第10列", kPlain, 20, None) \
  X(按钮6, Button, 分组框4, 725, 20, 48, 20, "清空", kPlain, 0, Clicked) \
  X(编辑框_合并_输入1, EditBox, 分组框4, 11, 49, 762, 70, "", kMultiLine, 0, None) \
  X(分组框5, GroupBox, 文本合并页, 8, 166, 784, 137, "待处理文本2-可以直接拖文件到下面的编辑框中", kPlain, 0, None) \
  X(透明标签6, Label, 分组框5, 15, 20, 84, 20, "需要保留的列", kPlain, 0, None) \
  X(选择框21, CheckBox, 分组框5, 100, 20, 56, 20, "第1列", kPlain, 21, None) \
  X(选择框22, CheckBox, 分组框5, 159, 20, 56, 20, "第2列", kTicked, 22, None) \
  X(选择框23, CheckBox, 分组框5, 218, 20, 56, 20, "第3列", kTicked, 23, None) \
  X(选择框24, CheckBox, 分组框5, 277, 20, 56, 20, "第4列", kTicked, 24, None) \
  X(选择框25, CheckBox, 分组框5, 336, 20, 56, 20, "第5列", kPlain, 25, None) \
  X(选择框26, CheckBox, 分组框5, 395, 20, 56, 20, "第6列", kPlain, 26, None) \
  X(选择框27, CheckBox, 分组框5, 454, 20, 56, 20, "第7列", kPlain, 27, None) \
  X(选择框28, CheckBox, 分组框5, 513, 20, 56, 20, "第8列", kPlain, 28, None) \
  X(选择框29, CheckBox, 分组框5, 572, 20, 56, 20, "第9列", kPlain, 29, None) \
  X(选择框30, CheckBox, 分组框5, 636, 20, 56, 20, "第10列", kPlain, 30, None) \
  X(按钮7, Button, 分组框5, 725, 20, 48, 20, "清空", kPlain, 0, Clicked) \
  X(编辑框_合并_输入2, EditBox, 分组框5, 11, 49, 762, 70, "", kMultiLine, 0, None) \
  X(分组框6, GroupBox, 文本合并页, 8, 311, 784, 48, "", kPlain, 0, None) \
  X(按钮8, Button, 分组框6, 8, 17, 48, 20, "示例", kPlain, 0, Clicked) \
  X(透明标签11, Label, 分组框6, 75, 17, 247, 24, "", kLink, 0, LeftMousePressed) \
  X(拖放对象2, DropObject, 分组框6, 82, 16, 26, 26, "", kPlain, 0, GotFile) \
  X(拖放对象3, DropObject, 分组框6, 138, 16, 26, 26, "", kPlain, 0, GotFile) \
  X(单选框1, RadioButton, 分组框6, 327, 16, 75, 24, "文本1在前", kPlain, 0, None) \
  X(单选框2, RadioButton, 分组框6, 409, 16, 80, 24, "文本2在前", kTicked, 0, None) \
  X(透明标签7, Label, 分组框6, 496, 17, 48, 20, "原分隔符", kPlain, 0, None) \
  X(编辑框_提取_分隔符旧1, EditBox, 分组框6, 552, 17, 40, 20, "----", kCentred, 0, None) \
  X(透明标签8, Label, 分组框6, 617, 17, 48, 20, "新分隔符", kPlain, 0, None) \
  X(编辑框_提取_分隔符新1, EditBox, 分组框6, 673, 17, 40, 20, "----", kCentred, 0, None) \
  X(按钮9, Button, 分组框6, 728, 17, 48, 20, "处理", kPlain, 0, Clicked) \
  X(分组框7, GroupBox, 文本合并页, 8, 376, 784, 151, "已处理文本", kPlain, 0, None) \
  X(按钮10, Button, 分组框7, 8, 19, 48, 20, "复制", kPlain, 0, Clicked) \
  X(透明标签9, Label, 分组框7, 74, 19, 100, 20, "", kStatus, 0, None) \
  X(按钮11, Button, 分组框7, 725, 19, 48, 20, "清空", kPlain, 0, Clicked) \
  X(编辑框_合并_输出1, EditBox, 分组框7, 8, 49, 762, 86, "", kMultiLine, 0, None) \
  /* page 帮助反馈: the feedback page */ \
  X(超文本浏览框1, WebView, 帮助反馈页, 10, 31, 776, 496, "", kPlain, 0, None)
// clang-format on

namespace main_window {

namespace row {
#define QXTXT_ROW_INDEX(name, ...) name,
enum Index : uint16_t { QXTXT_MAIN_WINDOW_CONTROLS(QXTXT_ROW_INDEX) kCount };
#undef QXTXT_ROW_INDEX
}  // namespace row

#define QXTXT_CONTROL_ID(name, ...) \
  inline constexpr toolkit::ControlId name{toolkit::WindowId::kMainWindow, row::name};
QXTXT_MAIN_WINDOW_CONTROLS(QXTXT_CONTROL_ID)
#undef QXTXT_CONTROL_ID

const toolkit::WindowSpec& Spec();

}  // namespace main_window
