#include "batch/batch_run.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <span>

#include "app/jobs/extract_columns.h"
#include "app/jobs/merge_texts.h"
#include "app/text/text_encoding.h"
#include "app/toolkit/line_ends.h"
#include "app/toolkit/main_window_controls.h"
#include "batch/batch_options.h"
#include "batch/batch_toolkit.h"
#include "platform/files.h"
#include "platform/terminal.h"

namespace batch {
namespace {

using namespace main_window;
using toolkit::ControlId;

enum ExitStatus { kDone = 0, kFailed = 1, kWrongCommandLine = 2 };

// The controls of one page of the window that a job reads and writes.
struct JobPage {
  std::span<const ControlId> inputs;  // in the order of the command line's files
  ControlId output;
  ControlId old_separator, new_separator;
  void (*run)(toolkit::Toolkit&);
};

constexpr ControlId kExtractInputs[] = {编辑框_提取_输入};
constexpr ControlId kMergeInputs[] = {编辑框_合并_输入1, 编辑框_合并_输入2};
constexpr JobPage kExtractPage{kExtractInputs, 编辑框_提取_输出, 编辑框_提取_分隔符旧, 编辑框_提取_分隔符新,
                               jobs::ExtractColumns};
constexpr JobPage kMergePage{kMergeInputs, 编辑框_合并_输出1, 编辑框_提取_分隔符旧1, 编辑框_提取_分隔符新1,
                             jobs::MergeTexts};

void Complain(const std::string& message) { std::fprintf(stderr, "qxtxt-batch: %s\n", message.c_str()); }

std::string Describe(const std::string& path) { return path == "-" ? "standard input" : "'" + path + "'"; }

// The text a dropped file would put into an input box.
std::optional<text::Text> LoadInput(const std::string& path) {
  int error = 0;
  std::optional<std::string> bytes =
      path == "-" ? platform::ReadStandardInput(&error) : platform::ReadWholeFile(path, &error);
  if (!bytes) {
    Complain("cannot read " + Describe(path) + ": " + std::strerror(error));
    return std::nullopt;
  }
  return toolkit::WithCrLfLineEnds(text::DecodeTextFile(std::move(*bytes)));
}

// Ticks the ten check boxes from tag `first_tag` on as `columns` says.
void TickRow(toolkit::Toolkit& toolkit, int first_tag, const std::bitset<11>& columns) {
  for (int n = 1; n <= 10; ++n) {
    toolkit::TaggedControl box = toolkit.FindControlByTag(toolkit::WindowId::kMainWindow, first_tag + n - 1);
    toolkit.SetTicked(box.control, columns[size_t(n)]);
  }
}

void SetControls(toolkit::Toolkit& toolkit, const BatchOptions& options, const JobPage& page) {
  toolkit.WriteControlText(page.old_separator, options.old_separator);
  toolkit.WriteControlText(page.new_separator, options.new_separator);
  if (options.job == BatchJob::kExtract) {
    TickRow(toolkit, 1, options.columns);
  } else {
    TickRow(toolkit, 11, options.columns);
    TickRow(toolkit, 21, options.columns2);
    toolkit.SetTicked(options.text1_first ? 单选框1 : 单选框2, true);
  }
}

// The lines the job will write: one for every line of its first input.
uint64_t CountLines(const text::Text& box_text) {
  uint64_t line_ends = 0;
  const char* end = box_text.data() + box_text.size();
  for (const char* p = box_text.data(); (p = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)))); ++p) {
    ++line_ends;
  }
  return line_ends + (!box_text.empty() && box_text.back() != '\n');
}

// "qxtxt-batch: 42% of 1000000 lines" on standard error, rewritten in place
// whenever the percentage changes; only for a person watching.
class Progress {
 public:
  explicit Progress(uint64_t total_lines) : total_(total_lines) {}

  void Show(uint64_t lines) {
    int percent = int(std::min<uint64_t>(100, lines * 100 / total_));
    if (percent == shown_) return;
    shown_ = percent;
    std::fprintf(stderr, "\rqxtxt-batch: %3d%% of %llu lines", percent, static_cast<unsigned long long>(total_));
  }
  // The job has ended: 100%, whatever the count of lines expected.
  void End() {
    Show(total_);
    std::fputc('\n', stderr);
  }

 private:
  const uint64_t total_;
  int shown_ = -1;
};

int Run(const BatchOptions& options) {
  const JobPage& page = options.job == BatchJob::kExtract ? kExtractPage : kMergePage;
  std::vector<text::Text> inputs;
  for (const std::string& path : options.inputs) {
    std::optional<text::Text> input = LoadInput(path);
    if (!input) return kFailed;
    inputs.push_back(std::move(*input));
  }

  int error = 0;
  std::optional<platform::OutputFile> file =
      options.output == "-" ? platform::OutputFile::StandardOutput() : platform::OutputFile::Create(options.output, &error);
  if (!file) {
    Complain("cannot create " + Describe(options.output) + ": " + std::strerror(error));
    return kFailed;
  }

  StreamedBox output(*file, {.utf8 = options.utf8, .lf = options.lf});
  // Progress is for a person watching, and would garble output shown on the
  // same terminal.
  std::optional<Progress> progress;
  const bool output_shown = options.output == "-" && platform::StandardOutputIsTerminal();
  if (platform::StandardErrorIsTerminal() && !output_shown) {
    if (uint64_t lines = CountLines(inputs[0]); lines > 0) {
      progress.emplace(lines);
      output.SetWriteListener([&progress](uint64_t written) { progress->Show(written); });
    }
  }
  BatchToolkit toolkit(page.output, output);
  SetControls(toolkit, options, page);
  for (size_t i = 0; i < inputs.size(); ++i) toolkit.HandOver(page.inputs[i], std::move(inputs[i]));
  page.run(toolkit);
  output.Finish();
  if (progress) progress->End();

  if (!file->Close(&error)) {
    Complain("cannot write " + (options.output == "-" ? "standard output" : Describe(options.output)) + ": " +
             std::strerror(error));
    return kFailed;
  }
  return kDone;
}

}  // namespace

int RunBatch(const std::vector<std::string>& args) {
  CommandLine command_line = ParseCommandLine(args);
  switch (command_line.outcome) {
    case CommandLine::kHelp:
      std::fputs(HelpText().c_str(), stdout);
      return kDone;
    case CommandLine::kError:
      Complain(command_line.error);
      std::fputs("Try 'qxtxt-batch --help'.\n", stderr);
      return kWrongCommandLine;
    case CommandLine::kRun:
      break;
  }
  return Run(command_line.options);
}

}  // namespace batch
