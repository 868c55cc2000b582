#include "batch/batch_options.h"

#include <optional>

#include "platform/code_page.h"

namespace batch {
namespace {

constexpr int kLastColumn = 10;

struct Option {
  std::string_view long_name;
  char short_name;
  bool takes_value;
};

constexpr Option kOptions[] = {
    {"columns", 'c', true},  {"columns1", '1', true},    {"columns2", '2', true},
    {"text1-first", 0, false}, {"text2-first", 0, false}, {"old-separator", 's', true},
    {"new-separator", 'n', true}, {"output", 'o', true}, {"utf8", 0, false},
    {"lf", 0, false},        {"help", 'h', false},
};

// The options each command accepts besides the common ones.
bool BelongsTo(std::string_view option, BatchJob job) {
  if (option == "columns") return job == BatchJob::kExtract;
  if (option == "columns1" || option == "columns2" || option == "text1-first" || option == "text2-first") {
    return job == BatchJob::kMerge;
  }
  return true;
}

const Option* FindLong(std::string_view name) {
  for (const Option& option : kOptions) {
    if (option.long_name == name) return &option;
  }
  return nullptr;
}

const Option* FindShort(char name) {
  for (const Option& option : kOptions) {
    if (option.short_name && option.short_name == name) return &option;
  }
  return nullptr;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::optional<int> ColumnNumber(std::string_view text) {
  text = Trimmed(text);
  if (text.empty() || text.size() > 3) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

class Parser {
 public:
  CommandLine Run(const std::vector<std::string>& args) {
    if (!args.empty() && args[0] == "help") return {CommandLine::kHelp, {}, {}};
    for (const std::string& arg : args) {
      if (arg == "--") break;
      if (arg == "-h" || arg == "--help") return {CommandLine::kHelp, {}, {}};
    }
    if (args.empty()) return Fail("no command given: use 'extract' or 'merge'");
    if (args[0] == "extract") {
      options_.job = BatchJob::kExtract;
      options_.columns.set(1);
    } else if (args[0] == "merge") {
      options_.job = BatchJob::kMerge;
      options_.columns.set(1);
      options_.columns2.set(2).set(3).set(4);
    } else {
      return Fail("unknown command '" + args[0] + "': use 'extract' or 'merge'");
    }
    command_ = args[0];
    bool options_ended = false;
    for (size_t i = 1; i < args.size() && error_.empty(); ++i) {
      const std::string& arg = args[i];
      if (options_ended || arg == "-" || arg.empty() || arg[0] != '-') {
        options_.inputs.push_back(arg);
      } else if (arg == "--") {
        options_ended = true;
      } else {
        TakeOption(args, i);
      }
    }
    if (error_.empty()) CheckInputs();
    if (!error_.empty()) return {CommandLine::kError, {}, error_};
    return {CommandLine::kRun, options_, {}};
  }

 private:
  CommandLine Fail(std::string error) { return {CommandLine::kError, {}, std::move(error)}; }

  // Reads the option at args[i] and its value, which may be attached
  // ("--output=x", "-ox") or the next argument.
  void TakeOption(const std::vector<std::string>& args, size_t& i) {
    const std::string& arg = args[i];
    const Option* option = nullptr;
    std::optional<std::string> value;
    if (arg.starts_with("--")) {
      size_t equals = arg.find('=');
      option = FindLong(std::string_view(arg).substr(2, equals == std::string::npos ? std::string::npos : equals - 2));
      if (equals != std::string::npos) value = arg.substr(equals + 1);
    } else {
      option = FindShort(arg[1]);
      if (arg.size() > 2) value = arg.substr(2);
    }
    // Bundled short options ("-hx") and values for flags ("--lf=1") are not taken.
    if (!option || !BelongsTo(option->long_name, options_.job) || (value && !option->takes_value)) {
      error_ = "unknown option '" + arg + "' for " + command_;
      return;
    }
    if (option->takes_value && !value) {
      if (i + 1 >= args.size()) {
        error_ = "option '--" + std::string(option->long_name) + "' needs a value";
        return;
      }
      value = args[++i];
    }
    Apply(option->long_name, value.value_or(""));
  }

  void Apply(std::string_view name, const std::string& value) {
    if (name == "columns" || name == "columns1") {
      options_.columns = Columns(name, value, 1);
    } else if (name == "columns2") {
      options_.columns2 = Columns(name, value, 2);
    } else if (name == "text1-first" || name == "text2-first") {
      options_.text1_first = name == "text1-first";
    } else if (name == "old-separator") {
      options_.old_separator = Separator(name, value);
    } else if (name == "new-separator") {
      options_.new_separator = Separator(name, value);
    } else if (name == "output") {
      options_.output = value;
    } else if (name == "utf8") {
      options_.utf8 = true;
    } else if (name == "lf") {
      options_.lf = true;
    }
  }

  // "1,5,7" or "2-4,9"; the empty list keeps no column.
  std::bitset<11> Columns(std::string_view option, std::string_view list, int first) {
    std::bitset<11> columns;
    if (Trimmed(list).empty()) return columns;
    size_t start = 0;
    while (error_.empty()) {
      size_t comma = list.find(',', start);
      std::string_view item = list.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
      size_t dash = item.find('-');
      std::optional<int> low = ColumnNumber(item.substr(0, dash));
      std::optional<int> high = dash == std::string_view::npos ? low : ColumnNumber(item.substr(dash + 1));
      if (!low || !high || *low > *high) {
        error_ = "'" + std::string(Trimmed(item)) + "' in --" + std::string(option) +
                 " is not a column number or a range such as 2-4";
      } else if (*low < first || *high > kLastColumn) {
        int outside = *low < first ? *low : *high;
        error_ = "column " + std::to_string(outside) + " is out of range: --" + std::string(option) +
                 " takes columns " + std::to_string(first) + " to " + std::to_string(kLastColumn);
      } else {
        for (int n = *low; n <= *high; ++n) columns.set(size_t(n));
      }
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
    return columns;
  }

  // The separator in code page 936; it must convert there and back unchanged.
  text::Text Separator(std::string_view option, const std::string& utf8) {
    text::Text separator = platform::Utf8ToCp936(utf8);
    if (platform::Cp936ToUtf8(separator) != utf8) {
      error_ = "the value of --" + std::string(option) + " is not UTF-8 text that code page 936 can hold";
    }
    return separator;
  }

  void CheckInputs() {
    size_t wanted = options_.job == BatchJob::kExtract ? 1 : 2;
    if (options_.job == BatchJob::kExtract && options_.inputs.empty()) options_.inputs.push_back("-");
    if (options_.inputs.size() != wanted) {
      error_ = options_.job == BatchJob::kExtract
                   ? "extract takes one input file (or '-' for standard input), got " +
                         std::to_string(options_.inputs.size())
                   : "merge takes two input files, TEXT1 and TEXT2, got " + std::to_string(options_.inputs.size());
    } else if (wanted == 2 && options_.inputs[0] == "-" && options_.inputs[1] == "-") {
      error_ = "standard input can be only one of the two texts";
    }
  }

  BatchOptions options_;
  std::string command_;
  std::string error_;
};

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) { return Parser().Run(args); }

const std::string& HelpText() {
  static const std::string help = R"(qxtxt-batch: the column extraction and keyed merge of 穹溪文本处理工具, on files

Usage:
  qxtxt-batch extract [OPTIONS] [FILE]
  qxtxt-batch merge [OPTIONS] TEXT1 TEXT2

Each input line is a record whose fields (columns) are joined by the old
separator. The output is byte for byte what the window's output box would
hold for the same input and settings; every setting left out keeps the
window's initial state.

extract (page 文本分隔): for every line of FILE, one line made of the kept
columns, in column order, joined by the new separator. A column missing
from a line is left out together with its separator; column 1 is written
without a separator in front, every other column with one.
  -c, --columns LIST      columns to keep, 1 to 10 (default: 1)

merge (page 文本合并): for every line of TEXT1, one line made of its kept
columns and the kept columns of the TEXT2 line with the same key. A TEXT1
line's key is its column 1, a TEXT2 line's key the text before its first
separator; of two TEXT2 lines with the same key the later one counts. TEXT2
lines without a partner do not appear.
  -1, --columns1 LIST     TEXT1 columns to keep, 1 to 10 (default: 1)
  -2, --columns2 LIST     TEXT2 columns to keep, 2 to 10 (default: 2,3,4);
                          TEXT2's column 1 is the key, which TEXT1 gives
      --text2-first       TEXT2's columns right after the key (default,
                          文本2在前); without TEXT1 column 1 they are left out
      --text1-first       TEXT2's columns after TEXT1's columns (文本1在前)

Common options:
  -s, --old-separator SEP   separator between the input's fields (default: ----)
  -n, --new-separator SEP   separator between the output's fields (default: ----)
  -o, --output FILE         write to FILE instead of standard output
      --utf8                write UTF-8 instead of code page 936 (GBK)
      --lf                  end lines with LF instead of CR LF
  -h, --help                show this text

LIST is a comma-separated list of columns and ranges, such as 1,5,7 or 2-4,9;
an empty LIST keeps no column. Separators may be empty. A FILE of '-' is
standard input; extract reads standard input when FILE is left out. Input
files may be UTF-8 (with or without byte-order mark), UTF-16 (with
byte-order mark, or recognised by its zero bytes) or code page 936; lines
may end with CR LF, LF or CR. The output is code page 936 with CR LF line
ends, as the window holds it, unless --utf8 or --lf say otherwise; it is
written while the job runs. Progress is shown on standard error when that is
a terminal and the output goes elsewhere.

Exit status: 0 when the job ran; 1 when an input could not be read or the
output could not be written; 2 for a wrong command line. Every input is
read and checked before the output is opened, so when the command line is
wrong or an input cannot be read, nothing is written (and no FILE of -o is
created or emptied).

Example:
  $ printf '1----a----x\n2----b----y\n' > records.txt
  $ qxtxt-batch extract --columns 1,3 --new-separator , --utf8 --lf records.txt
  1,x
  2,y
  $ printf '1----Tom\n2----Ann\n' > names.txt
  $ qxtxt-batch merge --columns2 2 --utf8 --lf records.txt names.txt
  1----Tom
  2----Ann
)";
  return help;
}

}  // namespace batch
