// The command line of qxtxt-batch: what to run, on which files, with which
// settings of the main window's controls.
//
//   qxtxt-batch extract [OPTIONS] [FILE]
//   qxtxt-batch merge [OPTIONS] TEXT1 TEXT2
//
// Every setting left out keeps the window's initial state. HelpText gives
// the full description; ParseCommandLine checks everything it can without
// touching a file.
//
// Contract: pure functions, any thread. Separators are given in UTF-8 (the
// encoding of a Linux command line) and come out in code page 936.
#pragma once

#include <bitset>
#include <string>
#include <vector>

#include "app/text/text.h"

namespace batch {

enum class BatchJob { kExtract, kMerge };

struct BatchOptions {
  BatchJob job = BatchJob::kExtract;
  // Paths of the input files, "-" for standard input: one for the
  // extraction, text 1 and text 2 for the merge.
  std::vector<std::string> inputs;
  // Column n is kept when bit n is set (1 to 10): the extraction's columns,
  // or text 1's columns for the merge.
  std::bitset<11> columns;
  // Text 2's columns (2 to 10) for the merge.
  std::bitset<11> columns2;
  bool text1_first = false;  // "文本1在前"; else "文本2在前"
  text::Text old_separator = "----";
  text::Text new_separator = "----";
  std::string output = "-";  // a path, or "-" for standard output
  bool utf8 = false;
  bool lf = false;
};

struct CommandLine {
  enum Outcome { kRun, kHelp, kError } outcome;
  BatchOptions options;
  std::string error;  // for kError: what is wrong, in one line
};

// `args` without the program's name.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

const std::string& HelpText();

}  // namespace batch
