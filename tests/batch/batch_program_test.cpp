// qxtxt-batch as its users run it: a child process on files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "app/commands.h"
#include "app/jobs/extract_columns.h"
#include "app/jobs/merge_texts.h"
#include "app/toolkit/in_memory_toolkit.h"
#include "app/toolkit/main_window_controls.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "tests/batch/run_program.h"

namespace {

using namespace main_window;
using batch_test::ProgramRun;
using batch_test::RunProgram;

std::string Gbk(const char* utf8) { return platform::Utf8ToCp936(utf8); }

// The window's settings for one run, set by hand below (not through the
// program's own code), so that a wrong tag or radio button shows.
struct Settings {
  std::vector<int> ticks;  // check box tags, 1 to 30
  bool text1_first = false;
  std::string old_separator = "----", new_separator = "----";  // code page 936
};

void SetWindow(toolkit::InMemoryToolkit& tk, const Settings& s, toolkit::ControlId old_box, toolkit::ControlId new_box) {
  for (int tag = 1; tag <= 30; ++tag) {
    bool on = std::find(s.ticks.begin(), s.ticks.end(), tag) != s.ticks.end();
    tk.SetTicked(tk.FindControlByTag(toolkit::WindowId::kMainWindow, tag).control, on);
  }
  tk.SetTicked(s.text1_first ? 单选框1 : 单选框2, true);
  tk.WriteControlText(old_box, s.old_separator);
  tk.WriteControlText(new_box, s.new_separator);
}

// What the window's output box shows after the job ran with these inputs.
std::string WindowExtract(const std::string& input, const Settings& s) {
  toolkit::InMemoryToolkit tk;
  SetWindow(tk, s, 编辑框_提取_分隔符旧, 编辑框_提取_分隔符新);
  tk.WriteControlText(编辑框_提取_输入, input);
  jobs::ExtractColumns(tk);
  return tk.ReadControlText(编辑框_提取_输出);
}

std::string WindowMerge(const std::string& text1, const std::string& text2, const Settings& s) {
  toolkit::InMemoryToolkit tk;
  SetWindow(tk, s, 编辑框_提取_分隔符旧1, 编辑框_提取_分隔符新1);
  tk.WriteControlText(编辑框_合并_输入1, text1);
  tk.WriteControlText(编辑框_合并_输入2, text2);
  jobs::MergeTexts(tk);
  return tk.ReadControlText(编辑框_合并_输出1);
}

// A column list for the command line: the ticked tags from `first_tag` on.
std::string List(const Settings& s, int first_tag) {
  std::string list;
  for (int tag : s.ticks) {
    if (tag < first_tag || tag > first_tag + 9) continue;
    if (!list.empty()) list += ",";
    list += std::to_string(tag - first_tag + 1);
  }
  return list;
}

std::vector<std::string> SeparatorArgs(const Settings& s) {
  return {"--old-separator=" + platform::Cp936ToUtf8(s.old_separator),
          "--new-separator=" + platform::Cp936ToUtf8(s.new_separator)};
}

class BatchProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/qxtxt-batch-test-XXXXXX";
    dir_ = mkdtemp(pattern);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string File(const std::string& name, const std::string& bytes) {
    std::string path = Path(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  // Runs the program; the output goes to a file, which is returned in
  // `run.output` (standard output must then stay empty).
  ProgramRun Batch(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), QXTXT_BATCH_PROGRAM);
    std::string out = Path("out.txt");
    args.insert(args.begin() + 2, {"-o", out});
    ProgramRun run = RunProgram(args, input);
    EXPECT_EQ(run.output, "") << "standard output with -o";
    run.output = platform::ReadWholeFile(out).value_or("<no output file>");
    std::filesystem::remove(out);
    return run;
  }

  ProgramRun Extract(const std::string& input, const Settings& s, std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"extract", "--columns", List(s, 1)};
    for (auto& arg : SeparatorArgs(s)) args.push_back(arg);
    for (auto& arg : extra) args.push_back(arg);
    args.push_back(File("input.txt", input));
    return Batch(args);
  }

  ProgramRun Merge(const std::string& text1, const std::string& text2, const Settings& s) {
    std::vector<std::string> args = {"merge", "--columns1", List(s, 11), "--columns2", List(s, 21),
                                     s.text1_first ? "--text1-first" : "--text2-first"};
    for (auto& arg : SeparatorArgs(s)) args.push_back(arg);
    args.push_back(File("text1.txt", text1));
    args.push_back(File("text2.txt", text2));
    return Batch(args);
  }

  std::filesystem::path dir_;
};

// Records of `fields` GBK and ASCII fields, with empty lines, short lines
// and lines ended by CR LF, LF or CR, and keys from a small range so that
// some repeat.
std::string Generated(size_t lines, int fields, uint32_t seed) {
  const std::vector<std::string> words = {Gbk("人脸"), Gbk("违规业务"), "alpha", "13800138000", "", "\x80"};
  const char* line_ends[] = {"\r\n", "\r\n", "\r\n", "\n", "\r"};
  std::mt19937 random(seed);
  std::string out;
  for (size_t i = 0; i < lines; ++i) {
    if (random() % 17 == 0) {
      out += "\r\n";
      continue;
    }
    out += std::to_string(random() % (lines / 2 + 1));
    for (int f = int(random() % fields); f > 0; --f) out += "----" + words[random() % words.size()];
    out += line_ends[random() % 5];
  }
  return out;
}

TEST_F(BatchProgram, ExtractGivesWhatTheWindowShows) {
  const std::string big = Generated(60000, 12, 3);  // over a megabyte: written in several pieces
  struct Case {
    std::string input;
    Settings settings;
  } cases[] = {
      {app::ExtractionSample(), {{1, 5, 7}}},
      {app::ExtractionSample(), {{}}},
      {Generated(500, 12, 1), {{1}}},
      {Generated(500, 12, 2), {{2, 3, 10}}},
      {Generated(500, 4, 4), {{1, 2, 3}, false, "----", Gbk("，")}},
      {"a|b|c\nd||f\r\n\r\n|x", {{1, 3}, false, "|", ""}},
      {"a----b", {{1, 2}, false, "", "----"}},
      {"", {{1}}},
      {big, {{1, 4, 6}}},
  };
  for (const Case& c : cases) {
    ProgramRun run = Extract(c.input, c.settings);
    EXPECT_EQ(run.exit_code, 0) << run.error;
    EXPECT_EQ(run.error, "");
    EXPECT_TRUE(run.output == WindowExtract(c.input, c.settings)) << c.input.substr(0, 60);
  }
}

TEST_F(BatchProgram, MergeGivesWhatTheWindowShows) {
  struct Case {
    std::string text1, text2;
    Settings settings;
  } cases[] = {
      {app::MergeSample1(), app::MergeSample2(), {{11, 22, 23, 24}}},
      {app::MergeSample1(), app::MergeSample2(), {{11, 12, 14, 24}, true}},
      {app::MergeSample1(), app::MergeSample2(), {{12, 13, 22}, false}},  // no text-1 key: no text-2 columns
      {app::MergeSample1(), app::MergeSample2(), {{12, 13, 22}, true}},
      {Generated(800, 6, 5), Generated(800, 6, 6), {{11, 13, 22, 23, 24}}},  // duplicate keys: the later wins
      {Generated(800, 6, 7), Generated(800, 6, 8), {{11, 12, 25, 30}, true, "----", "\t"}},
      {"k\r\n\r\n----k\r\nk----1", "k----a----b\r\nk\r\n----z", {{11, 12, 22, 23}, true}},  // empty keys
      {"", app::MergeSample2(), {{11, 22}}},
      {"a|1\r\nb|2", "a|x|y\r\nb|z", {{11, 12, 22, 23}, false, "|", "|"}},
  };
  for (const Case& c : cases) {
    ProgramRun run = Merge(c.text1, c.text2, c.settings);
    EXPECT_EQ(run.exit_code, 0) << run.error;
    EXPECT_TRUE(run.output == WindowMerge(c.text1, c.text2, c.settings)) << c.text1.substr(0, 60);
  }
}

TEST_F(BatchProgram, Utf8AndLfFormsOfTheWindowsText) {
  const std::string input = Generated(20000, 8, 9);  // several write pieces
  const Settings settings{{1, 2, 3}};
  const std::string window = WindowExtract(input, settings);
  std::string lf = window;
  for (size_t at = 0; (at = lf.find("\r\n", at)) != std::string::npos; ++at) lf.erase(at, 1);
  EXPECT_TRUE(Extract(input, settings, {"--utf8"}).output == platform::Cp936ToUtf8(window));
  EXPECT_TRUE(Extract(input, settings, {"--lf"}).output == lf);
  EXPECT_TRUE(Extract(input, settings, {"--utf8", "--lf"}).output == platform::Cp936ToUtf8(lf));
}

TEST_F(BatchProgram, InputFilesAreDecodedAsDroppedFiles) {
  const std::string utf8 = "一----1----甲\r\n二----2----乙\r\n";
  const std::string gbk = Gbk(utf8.c_str());
  std::u16string units = platform::Cp936ToUtf16(gbk);
  std::string le, be;
  for (char16_t unit : units) {
    le += {char(unit & 0xFF), char(unit >> 8)};
    be += {char(unit >> 8), char(unit & 0xFF)};
  }
  const std::string expected = Gbk("一----甲\r\n二----乙\r\n");
  const std::string after_zero("\0zz----zz\r\n", 11);  // a zero byte ends the text, as in the window
  for (const std::string& bytes :
       {gbk, gbk + after_zero, utf8, "\xEF\xBB\xBF" + utf8, "\xFF\xFE" + le, "\xFE\xFF" + be, le}) {
    ProgramRun run = Batch({"extract", "-c", "1,3", File("input.txt", bytes)});
    EXPECT_EQ(run.exit_code, 0) << run.error;
    EXPECT_EQ(run.output, expected) << bytes;
    ProgramRun piped = Batch({"extract", "-c", "1,3", "-"}, bytes);
    EXPECT_EQ(piped.output, expected) << bytes;
  }
  // Standard input as either text of a merge.
  EXPECT_EQ(Batch({"merge", "-", File("text2.txt", "1----x----y\r\n")}, "1\r\n2\r\n").output, "1----x----y\r\n2\r\n");
  EXPECT_EQ(Batch({"merge", File("text1.txt", "1\r\n"), "-"}, "1----x\r\n").output, "1----x\r\n");
}

TEST_F(BatchProgram, WritesToStandardOutputWithoutOutputFile) {
  ProgramRun run = RunProgram({QXTXT_BATCH_PROGRAM, "extract", "-c", "1,5,7"}, app::ExtractionSample());
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, "1----5----7\r\n1----5----7\r\n");
  EXPECT_EQ(run.error, "");
}

TEST_F(BatchProgram, ErrorsSayWhatIsWrongAndWriteNothing) {
  const std::string good = File("good.txt", app::ExtractionSample());
  std::filesystem::create_directory(Path("folder"));
  struct Case {
    std::vector<std::string> args;
    int exit_code;
    std::string message;
  } cases[] = {
      {{"extract", Path("missing.txt")}, 1, "cannot read '" + Path("missing.txt") + "': No such file or directory"},
      {{"extract", Path("folder")}, 1, "cannot read '" + Path("folder") + "': Is a directory"},
      {{"merge", good, Path("missing.txt")}, 1, "cannot read '" + Path("missing.txt") + "'"},
      {{"extract", "--colums", "1", good}, 2, "unknown option '--colums' for extract"},
      {{"extract", "-c", "11", good}, 2, "column 11 is out of range: --columns takes columns 1 to 10"},
      {{"merge", "-1", "0", good, good}, 2, "column 0 is out of range: --columns1 takes columns 1 to 10"},
      {{"merge", "-2", "1", good, good}, 2, "column 1 is out of range: --columns2 takes columns 2 to 10"},
      {{"merge", good}, 2, "merge takes two input files"},
      {{"sort", good}, 2, "unknown command 'sort'"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {QXTXT_BATCH_PROGRAM};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ProgramRun to_stdout = RunProgram(args);
    EXPECT_EQ(to_stdout.exit_code, c.exit_code) << c.message;
    EXPECT_EQ(to_stdout.output, "") << c.message;
    EXPECT_NE(to_stdout.error.find("qxtxt-batch: " + c.message), std::string::npos) << to_stdout.error;

    const std::string kept = File("kept.txt", "earlier output");
    args.insert(args.begin() + 2, {"-o", kept});
    ProgramRun to_file = RunProgram(args);
    EXPECT_EQ(to_file.exit_code, c.exit_code) << c.message;
    EXPECT_EQ(platform::ReadWholeFile(kept), "earlier output") << c.message;
  }
  ProgramRun no_command = RunProgram({QXTXT_BATCH_PROGRAM});
  EXPECT_EQ(no_command.exit_code, 2);
  EXPECT_NE(no_command.error.find("Try 'qxtxt-batch --help'"), std::string::npos);
}

TEST_F(BatchProgram, OutputThatCannotBeWrittenIsAnError) {
  const std::string good = File("good.txt", app::ExtractionSample());
  ProgramRun no_folder = RunProgram({QXTXT_BATCH_PROGRAM, "extract", "-o", Path("no/such/folder.txt"), good});
  EXPECT_EQ(no_folder.exit_code, 1);
  EXPECT_NE(no_folder.error.find("cannot create '" + Path("no/such/folder.txt") + "': No such file or directory"),
            std::string::npos)
      << no_folder.error;
  ProgramRun full = RunProgram({QXTXT_BATCH_PROGRAM, "extract", "-o", "/dev/full", good});
  EXPECT_EQ(full.exit_code, 1);
  EXPECT_NE(full.error.find("cannot write '/dev/full': No space left on device"), std::string::npos) << full.error;
}

TEST_F(BatchProgram, HelpGoesToStandardOutput) {
  ProgramRun run = RunProgram({QXTXT_BATCH_PROGRAM, "--help"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_NE(run.output.find("qxtxt-batch extract [OPTIONS] [FILE]"), std::string::npos);
  EXPECT_EQ(run.error, "");
}

TEST_F(BatchProgram, ProgressOnlyWhenStandardErrorIsATerminal) {
  const std::string input = File("input.txt", Generated(100000, 12, 10));
  ProgramRun watched = RunProgram({QXTXT_BATCH_PROGRAM, "extract", "-o", Path("out.txt"), input}, "", true);
  EXPECT_EQ(watched.exit_code, 0);
  EXPECT_NE(watched.error.find("100% of "), std::string::npos) << watched.error;
  ProgramRun unwatched = RunProgram({QXTXT_BATCH_PROGRAM, "extract", "-o", Path("out.txt"), input});
  EXPECT_EQ(unwatched.error, "");
}

}  // namespace
