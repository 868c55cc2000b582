#include "batch/streamed_box.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "app/toolkit/in_memory_toolkit.h"
#include "app/toolkit/main_window_controls.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace batch {
namespace {

using main_window::编辑框_提取_输出;

// What the window's output box holds after the job appended `pieces`.
std::string InWindow(const std::vector<std::string>& pieces) {
  toolkit::InMemoryToolkit tk;
  tk.WriteControlText(编辑框_提取_输出, "");
  for (const std::string& piece : pieces) tk.AppendEditText(编辑框_提取_输出, piece);
  return tk.ReadControlText(编辑框_提取_输出);
}

std::string InForm(std::string box, OutputForm form) {
  if (form.utf8) box = platform::Cp936ToUtf8(box);
  if (form.lf) {
    for (size_t at = 0; (at = box.find("\r\n", at)) != std::string::npos; ++at) box.erase(at, 1);
  }
  return box;
}

struct Streamed {
  std::string bytes;
  uint64_t lines_reported = 0;
};

Streamed Stream(const std::vector<std::string>& pieces, OutputForm form, size_t buffer_bytes) {
  const std::string path = (std::filesystem::temp_directory_path() / "qxtxt-streamed-box-test").string();
  int error = 0;
  std::optional<platform::OutputFile> file = platform::OutputFile::Create(path, &error);
  Streamed streamed;
  {
    StreamedBox box(*file, form, buffer_bytes);
    box.SetWriteListener([&](uint64_t lines) { streamed.lines_reported = lines; });
    box.Replace("");
    for (const std::string& piece : pieces) box.Append(piece);
    box.Finish();
  }
  EXPECT_TRUE(file->Close(&error));
  streamed.bytes = platform::ReadWholeFile(path).value_or("");
  std::filesystem::remove(path);
  return streamed;
}

// Pieces with every kind of line end, CR LF cut between pieces, Chinese
// characters, and bytes the converter cannot decode (a lone lead byte, a
// lead byte before a CR, 0xFF) or decodes as one byte (0x80).
std::vector<std::string> MixedPieces(size_t count) {
  const std::vector<std::string> tokens = {
      "a", "----", "12", "\r\n", "\r", "\n", "\xD6\xD0", "\xCE\xC4\xB1\xBE", "\x81", "\x81\r", "\x80", "\xFF", "\xA1\x7F", "x\r",
  };
  std::mt19937 random(7);
  std::vector<std::string> pieces(count);
  for (std::string& piece : pieces) {
    for (int n = int(random() % 4); n >= 0; --n) piece += tokens[random() % tokens.size()];
  }
  return pieces;
}

TEST(StreamedBox, WritesWhatTheWindowsBoxHoldsWhereverTheBufferIsCut) {
  // A long run of Chinese characters has no place to cut until its line ends.
  std::vector<std::string> long_line(2000, "\xD6\xD0\xCE");
  long_line.push_back("\xC4\r\n\xD6\xD0");
  for (const std::vector<std::string>& pieces : {MixedPieces(3000), long_line}) {
    const std::string box = InWindow(pieces);
    const uint64_t lines = uint64_t(std::count(box.begin(), box.end(), '\n'));
    for (OutputForm form : {OutputForm{false, false}, OutputForm{true, false}, OutputForm{false, true},
                            OutputForm{true, true}}) {
      for (size_t buffer_bytes : {1, 2, 3, 7, 64, 1 << 20}) {
        Streamed streamed = Stream(pieces, form, buffer_bytes);
        EXPECT_EQ(streamed.bytes, InForm(box, form)) << "utf8 " << form.utf8 << " lf " << form.lf << " buffer "
                                                     << buffer_bytes;
        EXPECT_EQ(streamed.lines_reported, lines);
      }
    }
  }
}

TEST(StreamedBox, WritesWhileTheJobAppendsNotOnlyAtTheEnd) {
  const std::string path = (std::filesystem::temp_directory_path() / "qxtxt-streamed-box-early").string();
  int error = 0;
  std::optional<platform::OutputFile> file = platform::OutputFile::Create(path, &error);
  StreamedBox box(*file, {.utf8 = true}, 16);
  std::vector<uint64_t> writes;
  box.SetWriteListener([&](uint64_t lines) { writes.push_back(lines); });
  for (int i = 0; i < 100; ++i) box.Append("line\r\n");
  EXPECT_GT(writes.size(), 10u);  // before Finish
  box.Finish();
  EXPECT_TRUE(file->Close(&error));
  EXPECT_EQ(writes.back(), 100u);
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace batch
