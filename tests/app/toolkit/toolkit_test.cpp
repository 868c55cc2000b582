#include <gtest/gtest.h>

#include <thread>

#include "app/toolkit/in_memory_toolkit.h"
#include "app/toolkit/main_window_controls.h"
#include "platform/code_page.h"

namespace toolkit {
namespace {

using namespace main_window;

TEST(MainWindowDescription, EveryTagFindsExactlyOneCheckBox) {
  InMemoryToolkit tk;
  for (int tag = 1; tag <= 30; ++tag) {
    TaggedControl found = tk.FindControlByTag(WindowId::kMainWindow, tag);
    ASSERT_TRUE(found.found) << tag;
    EXPECT_EQ(found.kind, ControlKind::kCheckBox);
    int carriers = 0;
    for (const ControlSpec& spec : Spec().controls) carriers += spec.tag == tag;
    EXPECT_EQ(carriers, 1) << tag;
    std::u8string_view caption = tk.Model(WindowId::kMainWindow).SpecOf(found.control).text;
    EXPECT_EQ(std::string(caption.begin(), caption.end()), "第" + std::to_string((tag - 1) % 10 + 1) + "列");
  }
  EXPECT_EQ(tk.FindControlByTag(WindowId::kMainWindow, 1).control, 选择框1);
  EXPECT_EQ(tk.FindControlByTag(WindowId::kMainWindow, 30).control, 选择框30);
  EXPECT_FALSE(tk.FindControlByTag(WindowId::kMainWindow, 31).found);
}

TEST(MainWindowDescription, InitialState) {
  InMemoryToolkit tk;
  for (ControlId ticked : {选择框1, 选择框11, 选择框22, 选择框23, 选择框24, 单选框2}) EXPECT_TRUE(tk.IsTicked(ticked));
  int ticked_count = 0;
  for (int tag = 1; tag <= 30; ++tag) ticked_count += tk.IsTicked(tk.FindControlByTag(WindowId::kMainWindow, tag).control);
  EXPECT_EQ(ticked_count, 5);
  EXPECT_FALSE(tk.IsTicked(单选框1));
  for (ControlId box : {编辑框_提取_分隔符旧, 编辑框_提取_分隔符新, 编辑框_提取_分隔符旧1, 编辑框_提取_分隔符新1}) {
    EXPECT_EQ(tk.ReadControlText(box), "----");
  }
  EXPECT_EQ(tk.ReadControlText(MainWindow), platform::Utf8ToCp936("穹溪文本处理工具"));
  EXPECT_EQ(tk.ReadControlText(编辑框_提取_输入), "");
}

TEST(ControlModel, MultiLineBoxesStoreEveryLineEndAsCrLf) {
  struct Case {
    std::vector<std::string> pieces;
    std::string stored;
  } cases[] = {
      {{"a\nb\n"}, "a\r\nb\r\n"},
      {{"a\rb"}, "a\r\nb"},
      {{"a\r\n\r\nb"}, "a\r\n\r\nb"},
      {{"a\r", "\nb"}, "a\r\nb"},    // a CR LF cut between two appends
      {{"a\r", "b"}, "a\r\nb"},
      {{"a\r", "\r\n"}, "a\r\n\r\n"},
      {{"a", "\r\n", "\n"}, "a\r\n\r\n"},
  };
  for (const auto& c : cases) {
    InMemoryToolkit tk;
    for (const auto& piece : c.pieces) tk.AppendEditText(编辑框_提取_输出, piece);
    EXPECT_EQ(tk.ReadControlText(编辑框_提取_输出), c.stored);
  }
  InMemoryToolkit tk;
  tk.WriteControlText(编辑框_提取_输入, "x\ny");
  EXPECT_EQ(tk.ReadControlText(编辑框_提取_输入), "x\r\ny");
  tk.WriteControlText(编辑框_提取_分隔符旧, "a\nb");  // single-line boxes keep what they get
  EXPECT_EQ(tk.ReadControlText(编辑框_提取_分隔符旧), "a\nb");
}

TEST(ControlModel, AWorkersWriteIsSeenByItsNextRead) {
  InMemoryToolkit tk;
  std::string seen_text;
  bool seen_tick = true, seen_enabled = true;
  std::thread worker([&] {
    tk.WriteControlText(透明标签2, "done");
    seen_text = tk.ReadControlText(透明标签2);
    tk.AppendEditText(编辑框_提取_输出, "piece");
    seen_text += tk.ReadControlText(编辑框_提取_输出);
    tk.SetTicked(选择框1, false);
    seen_tick = tk.IsTicked(选择框1);
    tk.SetControlEnabled(编辑框_提取_输出, false);
    seen_enabled = tk.IsEnabled(编辑框_提取_输出);
  });
  worker.join();
  EXPECT_EQ(seen_text, "donepiece");
  EXPECT_FALSE(seen_tick);
  EXPECT_FALSE(seen_enabled);
}

TEST(ControlModel, DisabledBoxesTakeProgramWrites) {
  InMemoryToolkit tk;
  tk.SetControlEnabled(编辑框_提取_输出, false);
  tk.WriteControlText(编辑框_提取_输出, "a");
  tk.AppendEditText(编辑框_提取_输出, "b");
  EXPECT_EQ(tk.ReadControlText(编辑框_提取_输出), "ab");
}

TEST(ControlModel, RadioButtonsFormOneGroup) {
  InMemoryToolkit tk;
  tk.SetTicked(单选框1, true);
  EXPECT_TRUE(tk.IsTicked(单选框1));
  EXPECT_FALSE(tk.IsTicked(单选框2));
  tk.SetTicked(单选框1, false);  // a radio button is unselected only by selecting another
  EXPECT_TRUE(tk.IsTicked(单选框1));
}

TEST(InMemoryToolkit, DropsReachOnlyRegisteredEnabledBoxes) {
  InMemoryToolkit tk;
  std::vector<std::string> got;
  tk.SetEventHandler([&](ControlId control, std::string_view argument) {
    if (control == 拖放对象1) got.emplace_back(argument);
  });
  tk.RaiseEvent(拖放对象1, "/tmp/before");
  EXPECT_TRUE(tk.RegisterFileDrop(拖放对象1, 编辑框_提取_输入));
  EXPECT_FALSE(tk.RegisterFileDrop(按钮1, 编辑框_提取_输入));
  tk.RaiseEvent(拖放对象1, "/tmp/after");
  tk.SetControlEnabled(编辑框_提取_输入, false);
  tk.RaiseEvent(拖放对象1, "/tmp/disabled");
  EXPECT_EQ(got, std::vector<std::string>{"/tmp/after"});
}

TEST(InMemoryToolkit, WorkersRunDetachedAndCanBeAwaited) {
  InMemoryToolkit tk;
  for (int i = 0; i < 4; ++i) tk.StartWorkerThread([&tk] { tk.AppendEditText(编辑框_提取_输出, "x"); });
  tk.WaitForWorkers();
  EXPECT_EQ(tk.ReadControlText(编辑框_提取_输出), "xxxx");
}

}  // namespace
}  // namespace toolkit
