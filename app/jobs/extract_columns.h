// The column extraction job of the page "文本分隔".
//
// ExtractColumns writes, for every line of 编辑框_提取_输入, one line made of
// the ticked columns among the first ten, joined by the new separator, into
// 编辑框_提取_输出, and ends with "处理完成" in 透明标签2. It reads the
// separators and check boxes again for every line, so changes made while it
// runs take effect from the next line on.
//
// Threads: runs on a worker thread (any thread); talks to the window only
// through `toolkit`. It reports no errors.
#pragma once

#include "app/toolkit/toolkit.h"

namespace jobs {

void ExtractColumns(toolkit::Toolkit& toolkit);

}  // namespace jobs
