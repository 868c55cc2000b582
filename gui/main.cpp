// 穹溪文本处理工具: the window program.
#include "gui/tool_main.h"

int main(int argc, char** argv) { gui::RunTool(argc, argv); }
