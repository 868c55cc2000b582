#include "app/commands.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/main_window.h"
#include "app/process_state.h"
#include "app/toolkit/in_memory_toolkit.h"
#include "app/toolkit/main_window_controls.h"
#include "platform/code_page.h"

namespace app {
namespace {

using namespace main_window;
using toolkit::ControlId;

std::string Gbk(const char* utf8) { return platform::Utf8ToCp936(utf8); }

// MainWindow after its created event, driven as a user would.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tk_.SetEventHandler([this](ControlId control, std::string_view argument) {
      HandleMainWindowEvent(tk_, control, argument);
    });
    OnMainWindowCreated(tk_);
  }
  void Click(ControlId control) {
    tk_.RaiseEvent(control);
    tk_.WaitForWorkers();
  }
  toolkit::InMemoryToolkit tk_;
};

TEST_F(MainWindowTest, CreatedEventSetsVersionKeyAndTitle) {
  EXPECT_EQ(Process().version, 1);
  EXPECT_EQ(Process().appKey, "qxtxt");
  EXPECT_EQ(tk_.ReadControlText(MainWindow), Gbk("穹溪文本处理工具 V1"));
}

TEST_F(MainWindowTest, ProcessButtonsRunTheJobs) {
  tk_.WriteControlText(编辑框_提取_输入, "a----b\r\n");
  Click(按钮4);
  EXPECT_EQ(tk_.ReadControlText(编辑框_提取_输出), "a\r\n");
  tk_.WriteControlText(编辑框_合并_输入1, "k\r\n");
  tk_.WriteControlText(编辑框_合并_输入2, "k----2----3----4----5\r\n");
  Click(按钮9);
  EXPECT_EQ(tk_.ReadControlText(编辑框_合并_输出1), "k----2----3----4\r\n");
}

TEST_F(MainWindowTest, ExtractionSample) {
  Click(按钮5);
  EXPECT_EQ(tk_.ReadControlText(编辑框_提取_输入), ExtractionSample());
  EXPECT_EQ(tk_.ReadControlText(编辑框_提取_输出), "1----5----7\r\n1----5----7\r\n");
  EXPECT_EQ(tk_.ReadControlText(透明标签2), Gbk("处理完成"));
  EXPECT_TRUE(tk_.IsTicked(选择框1));
}

TEST_F(MainWindowTest, MergeSample) {
  Click(按钮8);
  EXPECT_EQ(tk_.ReadControlText(编辑框_合并_输出1),
            "123456----v0fo7ne6----a896ea4e2073b86a221ea5bac69735d20fffd3b0731c748bd0ce6932b6a761b4----13510612151\r\n"
            "223456----nkptd9dr----2300e3d310d7d8839cd7e5371c0be140df6b48d1b14bd378c55af80dcc7674c2----17678367514\r\n");
  EXPECT_EQ(tk_.ReadControlText(透明标签9), Gbk("处理完成"));
}

TEST(Samples, MergeTextTwoHasTheAgreedShape) {
  text::Pieces lines = text::SplitLines(MergeSample2());
  ASSERT_EQ(lines.size(), 4u);
  const char* keys[] = {"123456", "223456", "323456", "423456"};
  for (size_t i = 0; i < 4; ++i) {
    text::Pieces fields = text::Split(lines[i], "----");
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields[0], keys[i]);
    EXPECT_EQ(fields[1].size(), 8u);
    EXPECT_EQ(fields[2].size(), 64u);
    EXPECT_EQ(fields[2].find_first_not_of("0123456789abcdef"), std::string_view::npos);
    EXPECT_EQ(fields[3].size(), 11u);
    EXPECT_EQ(fields[3].find_first_not_of("0123456789"), std::string_view::npos);
  }
  EXPECT_EQ(MergeSample1(), Gbk("123456----人脸----2020/01/24 21:45:27----违规业务\r\n"
                                "223456----人脸----2020/01/24 21:45:27----违规业务\r\n"));
}

TEST_F(MainWindowTest, CopyAndClear) {
  Click(按钮2);  // copying an empty box still says so
  EXPECT_EQ(tk_.ClipboardText(), "");
  EXPECT_EQ(tk_.ReadControlText(透明标签2), Gbk("复制成功"));
  Click(按钮1);
  EXPECT_EQ(tk_.ReadControlText(透明标签2), "");

  tk_.WriteControlText(编辑框_合并_输出1, "merged\r\n");
  Click(按钮10);
  EXPECT_EQ(tk_.ClipboardText(), "merged\r\n");
  Click(按钮11);
  EXPECT_EQ(tk_.ReadControlText(编辑框_合并_输出1), "");
  EXPECT_EQ(tk_.ReadControlText(透明标签9), Gbk("复制成功"));  // the merge status stays

  for (ControlId box : {编辑框_提取_输入, 编辑框_合并_输入1, 编辑框_合并_输入2}) tk_.WriteControlText(box, "x");
  Click(按钮3);
  Click(按钮6);
  Click(按钮7);
  for (ControlId box : {编辑框_提取_输入, 编辑框_合并_输入1, 编辑框_合并_输入2}) EXPECT_EQ(tk_.ReadControlText(box), "");
}

TEST_F(MainWindowTest, EditingTheExtractionInputClearsOnlyItsStatus) {
  tk_.WriteControlText(透明标签2, "s2");
  tk_.WriteControlText(透明标签9, "s9");
  tk_.RaiseEvent(编辑框_提取_输入);  // the user typed
  EXPECT_EQ(tk_.ReadControlText(透明标签2), "");
  EXPECT_EQ(tk_.ReadControlText(透明标签9), "s9");
}

class DroppedFileTest : public MainWindowTest {
 protected:
  std::string WriteFile(const std::string& name, const std::string& bytes) {
    std::filesystem::path path = dir_ / std::filesystem::u8path(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }
  std::string Drop(ControlId drop_object, ControlId box, const std::string& paths) {
    tk_.WriteControlText(box, "previous");
    tk_.RaiseEvent(drop_object, paths);
    return tk_.ReadControlText(box);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_ = [] {
    auto dir = std::filesystem::temp_directory_path() / ("qxtxt-drop-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir;
  }();
};

TEST_F(DroppedFileTest, DecodesEachEncoding) {
  const std::string chinese = Gbk("中文----测试\r\n");
  struct Case {
    std::string bytes, text;
  } cases[] = {
      {"\xEF\xBB\xBF中文----测试\r\n", chinese},                 // UTF-8 with mark
      {"中文----测试\r\n", chinese},                             // UTF-8 without mark
      {"caf\xC3\xA9----1", "caf\xC3\xA9----1"},                  // two-byte UTF-8 only: local code page
      {chinese, chinese},                                        // code page 936
      {std::string("\xFF\xFE\x2D\x4E\x87\x65-\0", 8), Gbk("中文-")},  // UTF-16LE with mark
      {std::string("\xFE\xFF\x4E\x2D\x65\x87", 6), Gbk("中文")},      // UTF-16BE with mark
      {std::string("1\0-\0-\0\x2D\x4E", 8), Gbk("1--中")},            // UTF-16LE without mark
      {std::string("ab\0cd", 5), "ab"},                               // ends at a zero byte
      {"", ""},
  };
  int i = 0;
  for (const auto& c : cases) {
    std::string path = WriteFile("f" + std::to_string(i++), c.bytes);
    EXPECT_EQ(Drop(拖放对象1, 编辑框_提取_输入, path), c.text) << path;
  }
}

TEST_F(DroppedFileTest, EachDropObjectLoadsItsOwnBoxAndSeveralFilesEmptyIt) {
  std::string path = WriteFile("记录.txt", "k----v");  // a Chinese file name
  EXPECT_EQ(Drop(拖放对象2, 编辑框_合并_输入1, path), "k----v");
  EXPECT_EQ(Drop(拖放对象3, 编辑框_合并_输入2, path), "k----v");
  EXPECT_EQ(Drop(拖放对象1, 编辑框_提取_输入, path + "\r\n" + path + "\r\n"), "");
  EXPECT_EQ(Drop(拖放对象1, 编辑框_提取_输入, (dir_ / "missing").string()), "");
}

TEST(DropRegistration, DropsBeforeTheCreatedEventAreRefused) {
  toolkit::InMemoryToolkit tk;
  tk.SetEventHandler([&tk](ControlId control, std::string_view argument) {
    HandleMainWindowEvent(tk, control, argument);
  });
  tk.WriteControlText(编辑框_提取_输入, "kept");
  tk.RaiseEvent(拖放对象1, "/nonexistent");
  EXPECT_EQ(tk.ReadControlText(编辑框_提取_输入), "kept");
}

}  // namespace
}  // namespace app
