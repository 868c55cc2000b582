#include "batch/batch_options.h"

#include <gtest/gtest.h>

#include "app/toolkit/in_memory_toolkit.h"
#include "app/toolkit/main_window_controls.h"
#include "platform/code_page.h"

namespace batch {
namespace {

using namespace main_window;

std::bitset<11> Bits(std::initializer_list<int> columns) {
  std::bitset<11> bits;
  for (int n : columns) bits.set(size_t(n));
  return bits;
}

// The ten check boxes from `first_tag` on, as a fresh window has them.
std::bitset<11> InitialTicks(toolkit::InMemoryToolkit& tk, int first_tag) {
  std::bitset<11> bits;
  for (int n = 1; n <= 10; ++n) {
    bits[size_t(n)] = tk.IsTicked(tk.FindControlByTag(toolkit::WindowId::kMainWindow, first_tag + n - 1).control);
  }
  return bits;
}

TEST(ParseCommandLine, DefaultsAreTheWindowsInitialState) {
  toolkit::InMemoryToolkit window;
  BatchOptions extract = ParseCommandLine({"extract"}).options;
  EXPECT_EQ(extract.inputs, std::vector<std::string>{"-"});
  EXPECT_EQ(extract.columns, InitialTicks(window, 1));
  EXPECT_EQ(extract.old_separator, window.ReadControlText(编辑框_提取_分隔符旧));
  EXPECT_EQ(extract.new_separator, window.ReadControlText(编辑框_提取_分隔符新));

  BatchOptions merge = ParseCommandLine({"merge", "a", "b"}).options;
  EXPECT_EQ(merge.columns, InitialTicks(window, 11));
  EXPECT_EQ(merge.columns2, InitialTicks(window, 21));
  EXPECT_EQ(merge.text1_first, window.IsTicked(单选框1));
  EXPECT_EQ(merge.old_separator, window.ReadControlText(编辑框_提取_分隔符旧1));
  EXPECT_EQ(merge.new_separator, window.ReadControlText(编辑框_提取_分隔符新1));
  EXPECT_EQ(merge.output, "-");
  EXPECT_FALSE(merge.utf8 || merge.lf);
}

TEST(ParseCommandLine, AcceptedForms) {
  struct Case {
    std::vector<std::string> args;
    std::bitset<11> columns, columns2;
    std::vector<std::string> inputs;
  } cases[] = {
      {{"extract", "-c", "1,5,7", "f"}, Bits({1, 5, 7}), {}, {"f"}},
      {{"extract", "--columns=2-4,9", "f"}, Bits({2, 3, 4, 9}), {}, {"f"}},
      {{"extract", "-c10", "-"}, Bits({10}), {}, {"-"}},
      {{"extract", "--columns", "", "f"}, Bits({}), {}, {"f"}},
      {{"extract", "--columns", " 3 , 1 ", "--", "-c"}, Bits({1, 3}), {}, {"-c"}},
      {{"merge", "-1", "1,2", "--columns2=5-10", "a", "b"}, Bits({1, 2}), Bits({5, 6, 7, 8, 9, 10}), {"a", "b"}},
      {{"merge", "a", "-2", "", "-"}, Bits({1}), Bits({}), {"a", "-"}},
  };
  for (const Case& c : cases) {
    CommandLine line = ParseCommandLine(c.args);
    ASSERT_EQ(line.outcome, CommandLine::kRun) << line.error;
    EXPECT_EQ(line.options.columns, c.columns) << c.args[1];
    if (line.options.job == BatchJob::kMerge) {
      EXPECT_EQ(line.options.columns2, c.columns2) << c.args[1];
    }
    EXPECT_EQ(line.options.inputs, c.inputs) << c.args[1];
  }
}

TEST(ParseCommandLine, FlagsAndSeparators) {
  BatchOptions options = ParseCommandLine({"merge", "--text1-first", "-s", "｜", "--new-separator=", "--utf8", "--lf",
                                           "-o", "out", "a", "b"})
                             .options;
  EXPECT_TRUE(options.text1_first && options.utf8 && options.lf);
  EXPECT_EQ(options.old_separator, platform::Utf8ToCp936("｜"));  // code page 936, like the texts
  EXPECT_EQ(options.new_separator, "");
  EXPECT_EQ(options.output, "out");
  EXPECT_FALSE(ParseCommandLine({"merge", "--text1-first", "--text2-first", "a", "b"}).options.text1_first);
}

TEST(ParseCommandLine, Errors) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{}, "no command given"},
      {{"split", "f"}, "unknown command 'split'"},
      {{"extract", "--colums=1", "f"}, "unknown option '--colums=1' for extract"},
      {{"extract", "-x", "f"}, "unknown option '-x'"},
      {{"extract", "--columns1", "1", "f"}, "unknown option '--columns1' for extract"},
      {{"merge", "-c", "1", "a", "b"}, "unknown option '-c' for merge"},
      {{"extract", "--utf8=yes", "f"}, "unknown option '--utf8=yes'"},
      {{"extract", "f", "-c"}, "option '--columns' needs a value"},
      {{"extract", "-c", "0", "f"}, "column 0 is out of range: --columns takes columns 1 to 10"},
      {{"extract", "-c", "1,11", "f"}, "column 11 is out of range: --columns takes columns 1 to 10"},
      {{"extract", "-c", "9-12", "f"}, "column 12 is out of range"},
      {{"merge", "-1", "11", "a", "b"}, "column 11 is out of range: --columns1 takes columns 1 to 10"},
      {{"merge", "-2", "1,2", "a", "b"}, "column 1 is out of range: --columns2 takes columns 2 to 10"},
      {{"merge", "-2", "2,11", "a", "b"}, "column 11 is out of range: --columns2 takes columns 2 to 10"},
      {{"extract", "-c", "1,x", "f"}, "'x' in --columns is not a column number"},
      {{"extract", "-c", "4-2", "f"}, "'4-2' in --columns is not a column number"},
      {{"extract", "-c", "1,,2", "f"}, "'' in --columns is not a column number"},
      {{"extract", "-s", "\xD6\xD0", "f"}, "--old-separator is not UTF-8 text"},  // GBK bytes, not UTF-8
      {{"extract", "-n", "\xC3\x85", "f"}, "--new-separator is not UTF-8 text that code page 936 can hold"},  // Å
      {{"extract", "a", "b"}, "extract takes one input file"},
      {{"merge", "a"}, "merge takes two input files, TEXT1 and TEXT2, got 1"},
      {{"merge", "a", "b", "c"}, "got 3"},
      {{"merge", "-", "-"}, "standard input can be only one of the two texts"},
  };
  for (const Case& c : cases) {
    CommandLine line = ParseCommandLine(c.args);
    EXPECT_EQ(line.outcome, CommandLine::kError) << c.message;
    EXPECT_NE(line.error.find(c.message), std::string::npos) << line.error;
  }
}

TEST(ParseCommandLine, HelpWinsAndDescribesEveryOption) {
  for (std::vector<std::string> args : {std::vector<std::string>{"--help"}, {"help"}, {"extract", "-c", "99", "-h"},
                                        {"merge", "--help"}}) {
    EXPECT_EQ(ParseCommandLine(args).outcome, CommandLine::kHelp) << args[0];
  }
  EXPECT_EQ(ParseCommandLine({"extract", "--", "--help"}).options.inputs, std::vector<std::string>{"--help"});
  for (const char* option : {"--columns ", "--columns1 ", "--columns2 ", "--text1-first", "--text2-first",
                             "--old-separator ", "--new-separator ", "--output ", "--utf8", "--lf", "--help",
                             "Example"}) {
    EXPECT_NE(HelpText().find(option), std::string::npos) << option;
  }
}

}  // namespace
}  // namespace batch
