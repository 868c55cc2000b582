#include "app/toolkit/line_ends.h"

#include <gtest/gtest.h>

#include "app/toolkit/in_memory_toolkit.h"
#include "app/toolkit/main_window_controls.h"

namespace toolkit {
namespace {

TEST(WithCrLfLineEnds, HoldsWhatAMultiLineBoxHoldsAfterTheWrite) {
  for (const char* text : {"", "a\r\nb", "a\r\nb\r\n", "a\nb\n", "a\rb\r", "\r\n\r", "\n\r", "\r\r\n\n", "\xD6\r\n",
                           "\x81\n", "x\r\n\r\ny"}) {
    InMemoryToolkit window;
    window.WriteControlText(main_window::编辑框_提取_输入, text);
    EXPECT_EQ(WithCrLfLineEnds(text), window.ReadControlText(main_window::编辑框_提取_输入)) << text;
  }
}

TEST(WithCrLfLineEnds, KeepsTheStorageOfATextThatHasOnlyCrLf) {
  text::Text text(1000, 'x');
  text += "\r\n";
  const char* storage = text.data();
  text::Text same = WithCrLfLineEnds(std::move(text));
  EXPECT_EQ(same.data(), storage);
}

}  // namespace
}  // namespace toolkit
