#include "app/jobs/extract_columns.h"

#include <gtest/gtest.h>

#include "tests/app/jobs/recording_toolkit.h"
#include "app/toolkit/main_window_controls.h"
#include "platform/code_page.h"

namespace jobs {
namespace {

using namespace main_window;

std::string Extract(toolkit::InMemoryToolkit& tk, std::string input, std::vector<int> ticked,
                    std::string old_sep = "----", std::string new_sep = "----") {
  for (int tag = 1; tag <= 10; ++tag) {
    bool on = std::find(ticked.begin(), ticked.end(), tag) != ticked.end();
    tk.SetTicked(tk.FindControlByTag(toolkit::WindowId::kMainWindow, tag).control, on);
  }
  tk.WriteControlText(编辑框_提取_输入, input);
  tk.WriteControlText(编辑框_提取_分隔符旧, old_sep);
  tk.WriteControlText(编辑框_提取_分隔符新, new_sep);
  ExtractColumns(tk);
  return tk.ReadControlText(编辑框_提取_输出);
}

TEST(ExtractColumns, Table) {
  const std::string twelve = "1----2----3----4----5----6----7----8----9----10----11----12";
  struct Case {
    std::string input;
    std::vector<int> ticked;
    std::string old_sep, new_sep, output;
  } cases[] = {
      {twelve + "\r\n" + twelve + "\r\n", {1, 5, 7}, "----", "----", "1----5----7\r\n1----5----7\r\n"},
      {"", {1}, "----", "----", ""},
      {"a----b\r\n", {1}, "----", "----", "a\r\n"},              // no extra line for the last CR LF
      {"a\r\n\r\nb", {1}, "----", "----", "a\r\n\r\nb\r\n"},      // an empty line stays
      {"whole line", {1}, "----", "----", "whole line\r\n"},
      {"whole line", {2}, "----", "----", "\r\n"},
      {"a----b----c", {2, 3}, "----", "----", "----b----c\r\n"},
      {"----b", {1, 2}, "----", "----", "----b\r\n"},
      {twelve, {10, 11, 12}, "----", "----", "----10\r\n"},      // fields 11 and 12 never appear
      {"a----b", {1, 2}, "", "----", "a----b\r\n"},              // empty old separator: one field
      {"a----b----c", {1, 3}, "----", "", "ac\r\n"},             // empty new separator
      {"a----b\r\nx", {1, 2}, "----", "|", "a|b\r\nx\r\n"},        // short lines lack the column
      {"c----a----b", {3, 1, 2}, "----", ",", "c,a,b\r\n"},      // column order, not tick order
      {"a\xB1|b|c", {1, 2}, "|", "#", "a\xB1|b#c\r\n"},          // no split inside a character
      {"a----b\xD6", {2}, "----", "----", "----b\xD6\r\n"},      // a lone lead byte at the end
  };
  for (const auto& c : cases) {
    toolkit::InMemoryToolkit tk;
    EXPECT_EQ(Extract(tk, c.input, c.ticked, c.old_sep, c.new_sep), c.output) << c.input;
  }
}

TEST(ExtractColumns, EndsWithStatusAndControlsEnabledAgain) {
  toolkit::InMemoryToolkit tk;
  tk.WriteControlText(透明标签2, "old");
  tk.WriteControlText(编辑框_提取_输出, "old output");
  Extract(tk, "", {1});
  EXPECT_EQ(tk.ReadControlText(透明标签2), platform::Utf8ToCp936("处理完成"));
  EXPECT_EQ(tk.ReadControlText(编辑框_提取_输出), "");
  for (auto control : {编辑框_提取_输入, 编辑框_提取_输出, 按钮4}) EXPECT_TRUE(tk.IsEnabled(control));
}

TEST(ExtractColumns, ReadsSeparatorsAndTicksAgainForEveryLine) {
  RecordingToolkit tk;
  int old_separator_reads = 0;
  tk.on_read = [&](RecordingToolkit& self, toolkit::ControlId control) {
    if (control == 编辑框_提取_分隔符旧 && ++old_separator_reads == 2) {
      self.WriteControlText(编辑框_提取_分隔符旧, "|");
      self.WriteControlText(编辑框_提取_分隔符新, "#");
      self.SetTicked(选择框2, true);
    }
  };
  EXPECT_EQ(Extract(tk, "a----b|c\r\na----b|c\r\n", {1}), "a\r\na----b#c\r\n");
  EXPECT_EQ(old_separator_reads, 2);
}

TEST(ExtractColumns, DisablesExactlyItsThreeControlsWhileRunning) {
  RecordingToolkit tk;
  Extract(tk, "a", {1});
  std::vector<std::pair<toolkit::ControlId, bool>> expected = {
      {编辑框_提取_输入, false}, {编辑框_提取_输出, false}, {按钮4, false},
      {编辑框_提取_输入, true},  {编辑框_提取_输出, true},  {按钮4, true}};
  EXPECT_EQ(tk.enabled_changes, expected);
}

}  // namespace
}  // namespace jobs
