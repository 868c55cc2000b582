#include "http/header_block.h"

namespace http {

std::vector<HeaderLine> SplitHeaderBlock(std::string_view block) {
  std::vector<HeaderLine> lines;
  int line_start = 1;
  while (true) {
    int colon = text::Find(block, ":", line_start);
    if (colon < 1) break;
    int line_end = text::Find(block, text::kLineEnd, colon + 1);
    int value_end = line_end < 1 ? text::Length(block) + 1 : line_end;
    lines.push_back({text::Middle(block, line_start, colon - line_start),
                     text::TrimStart(text::Middle(block, colon + 1, value_end - colon - 1))});
    if (line_end < 1) break;
    line_start = line_end + text::Length(text::kLineEnd);
  }
  return lines;
}

}  // namespace http
