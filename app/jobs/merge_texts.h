// The keyed merge job of the page "文本合并".
//
// MergeTexts writes, for every line of text 1 (编辑框_合并_输入1), one line
// into 编辑框_合并_输出1: its ticked columns joined with the ticked columns of
// the text-2 line (编辑框_合并_输入2) whose key equals its first field, the
// text-2 columns right after the key ("文本2在前") or after the text-1 columns
// ("文本1在前"). A text-2 line's key is its text before the first separator;
// a later line with the same key replaces an earlier one. Ends with "处理完成"
// in 透明标签9. Separators, check boxes and radio buttons are read again for
// every line, so changes made while it runs take effect from the next read.
//
// Threads: runs on a worker thread (any thread); talks to the window only
// through `toolkit`. It reports no errors.
#pragma once

#include "app/toolkit/toolkit.h"

namespace jobs {

void MergeTexts(toolkit::Toolkit& toolkit);

}  // namespace jobs
