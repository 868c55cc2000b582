#include "app/jobs/merge_texts.h"

#include <gtest/gtest.h>

#include "app/toolkit/main_window_controls.h"
#include "platform/code_page.h"
#include "tests/app/jobs/recording_toolkit.h"

namespace jobs {
namespace {

using namespace main_window;

struct Settings {
  std::vector<int> columns1 = {1};        // text-1 columns ticked
  std::vector<int> columns2 = {2, 3, 4};  // text-2 columns ticked
  bool text1_first = false;
  std::string old_sep = "----", new_sep = "----";
};

std::string Merge(toolkit::InMemoryToolkit& tk, std::string text1, std::string text2, const Settings& s = {}) {
  for (int n = 1; n <= 10; ++n) {
    auto has = [n](const std::vector<int>& v) { return std::find(v.begin(), v.end(), n) != v.end(); };
    tk.SetTicked(tk.FindControlByTag(toolkit::WindowId::kMainWindow, 10 + n).control, has(s.columns1));
    tk.SetTicked(tk.FindControlByTag(toolkit::WindowId::kMainWindow, 20 + n).control, has(s.columns2));
  }
  tk.SetTicked(s.text1_first ? 单选框1 : 单选框2, true);
  tk.WriteControlText(编辑框_合并_输入1, text1);
  tk.WriteControlText(编辑框_合并_输入2, text2);
  tk.WriteControlText(编辑框_提取_分隔符旧1, s.old_sep);
  tk.WriteControlText(编辑框_提取_分隔符新1, s.new_sep);
  MergeTexts(tk);
  return tk.ReadControlText(编辑框_合并_输出1);
}

TEST(MergeTexts, Layouts) {
  const std::string t1 = "k----a2----a3\r\n";
  const std::string t2 = "k----b2----b3----b4\r\n";
  struct Case {
    Settings settings;
    std::string output;
  } cases[] = {
      {{{1, 2, 3}, {2, 4}, false}, "k----b2----b4----a2----a3\r\n"},
      {{{2, 3}, {2, 4}, false}, "----a2----a3\r\n"},  // no key written: no text-2 columns
      {{{1, 2, 3}, {2, 4}, true}, "k----a2----a3----b2----b4\r\n"},
      {{{2, 3}, {2, 4}, true}, "----a2----a3----b2----b4\r\n"},
      {{{1}, {1, 2}, false}, "k----b2\r\n"},          // 选择框21 adds nothing
      {{{1}, {5, 10}, false}, "k\r\n"},               // beyond the partner's fields
  };
  for (const auto& c : cases) {
    toolkit::InMemoryToolkit tk;
    EXPECT_EQ(Merge(tk, t1, t2, c.settings), c.output);
  }
}

TEST(MergeTexts, Keys) {
  struct Case {
    std::string text1, text2, output;
    Settings settings;
  } cases[] = {
      {"", "k----x", "", {}},
      {"k----1\r\nz----2\r\n", "k----old\r\nk----new\r\nq----x\r\n", "k----new\r\nz\r\n", {}},  // the later line wins
      {"----a\r\n", "----b\r\n", "\r\n", {}},        // empty keys never match
      {"k\r\n", "k\r\n", "k\r\n", {}},               // a text-2 line without separator has an empty key
      {"k\r\n", "k----b\r\n", "k----b\r\n", {}},     // a whole text-1 line is its key
      {"ABC\r\n", "abc----b\r\n", "ABC\r\n", {}},    // keys compare byte for byte
      {"\r\nk\r\n", "k----b\r\n", "\r\nk----b\r\n", {{1}, {2}, true}},  // an empty line in text 1
      {"k----a\r\n", "k----b\r\n", "k----a\r\n", {{1, 2}, {2}, false, "", "----"}},  // empty separator
      {"\xD6\xD0----1\r\n", "\xD6\xD0----\xCE\xC4\r\n", "\xD6\xD0|\xCE\xC4\r\n", {{1}, {2}, false, "----", "|"}},
  };
  for (const auto& c : cases) {
    toolkit::InMemoryToolkit tk;
    EXPECT_EQ(Merge(tk, c.text1, c.text2, c.settings), c.output) << c.text1 << " / " << c.text2;
  }
}

TEST(MergeTexts, DisablesItsFourControlsAndEndsWithStatus) {
  RecordingToolkit tk;
  Merge(tk, "k", "k----b");
  std::vector<std::pair<toolkit::ControlId, bool>> expected = {
      {按钮9, false}, {编辑框_合并_输入1, false}, {编辑框_合并_输入2, false}, {编辑框_合并_输出1, false},
      {按钮9, true},  {编辑框_合并_输入1, true},  {编辑框_合并_输入2, true},  {编辑框_合并_输出1, true}};
  EXPECT_EQ(tk.enabled_changes, expected);
  EXPECT_EQ(tk.ReadControlText(透明标签9), platform::Utf8ToCp936("处理完成"));
}

TEST(MergeTexts, ReadsTheRadioButtonsAgainForEveryLine) {
  RecordingToolkit tk;
  int old_separator_reads = 0;
  tk.on_read = [&](RecordingToolkit& self, toolkit::ControlId control) {
    // Reads: the text-2 line (1), text-1 line 1 (2), its partner (3), text-1 line 2 (4).
    if (control == 编辑框_提取_分隔符旧1 && ++old_separator_reads == 4) self.SetTicked(单选框1, true);
  };
  EXPECT_EQ(Merge(tk, "k----a\r\nk----a\r\n", "k----b\r\n", {{1, 2}, {2}, false}),
            "k----b----a\r\nk----a----b\r\n");
}

}  // namespace
}  // namespace jobs
