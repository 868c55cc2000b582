#include "app/jobs/merge_texts.h"

#include "app/hashtable/text_hash_table.h"
#include "app/jobs/job_status.h"
#include "app/toolkit/main_window_controls.h"

namespace jobs {
namespace {

using namespace main_window;
using toolkit::WindowId;

// The text in front of the first separator; empty when there is none.
std::string_view TextBeforeSeparator(std::string_view line, std::string_view separator) {
  int position = separator.empty() ? -1 : text::Find(line, separator, 1);
  return position < 0 ? std::string_view() : line.substr(0, size_t(position - 1));
}

class Merge {
 public:
  explicit Merge(toolkit::Toolkit& toolkit) : toolkit_(toolkit) {}

  void Run() {
    const auto own_controls = {按钮9, 编辑框_合并_输入1, 编辑框_合并_输入2, 编辑框_合并_输出1};
    SetControlsEnabled(toolkit_, own_controls, false);
    toolkit_.WriteControlText(编辑框_合并_输出1, "");
    toolkit_.WriteControlText(透明标签9, "");

    const text::Text text1 = toolkit_.ReadControlText(编辑框_合并_输入1);
    const text::Pieces lines1 = text::SplitLines(text1);
    const text::Text text2 = toolkit_.ReadControlText(编辑框_合并_输入2);
    const text::Pieces lines2 = text::SplitLines(text2);

    table_.Create(hashtable::ItemKind::kText, hashtable::ItemKind::kText, int32_t(lines2.size() + 100));
    for (std::string_view line : lines2) {
      table_.Set(TextBeforeSeparator(line, toolkit_.ReadControlText(编辑框_提取_分隔符旧1)), line);
    }
    for (std::string_view line : lines1) WriteLine(line);

    SetControlsEnabled(toolkit_, own_controls, true);
    toolkit_.WriteControlText(透明标签9, DoneText());
    table_.Free();
  }

 private:
  void WriteLine(std::string_view line) {
    text::SplitInto(line, toolkit_.ReadControlText(编辑框_提取_分隔符旧1), fields1_);
    for (size_t n = 1; n <= 10; ++n) {
      toolkit::TaggedControl box = toolkit_.FindControlByTag(WindowId::kMainWindow, int(10 + n));
      if (fields1_.size() < n || !toolkit_.IsTicked(box.control)) continue;
      if (n == 1) {
        toolkit_.AppendEditText(编辑框_合并_输出1, fields1_[0]);
        if (toolkit_.IsTicked(单选框2)) AppendPartnerColumns(fields1_[0]);
      } else {
        AppendWithSeparator(fields1_[n - 1]);
      }
    }
    if (toolkit_.IsTicked(单选框1) && !fields1_.empty()) AppendPartnerColumns(fields1_[0]);
    toolkit_.AppendEditText(编辑框_合并_输出1, text::kLineEnd);
  }

  void AppendPartnerColumns(std::string_view key) {
    if (key.empty()) return;
    const text::Text partner = table_.GetText(key);
    if (partner.empty()) return;
    text::SplitInto(partner, toolkit_.ReadControlText(编辑框_提取_分隔符旧1), fields2_);
    for (size_t m = 1; m <= 10; ++m) {
      toolkit::TaggedControl box = toolkit_.FindControlByTag(WindowId::kMainWindow, int(20 + m));
      if (m >= 2 && fields2_.size() >= m && toolkit_.IsTicked(box.control)) AppendWithSeparator(fields2_[m - 1]);
    }
  }

  void AppendWithSeparator(std::string_view field) {
    piece_ = toolkit_.ReadControlText(编辑框_提取_分隔符新1);
    piece_.append(field);
    toolkit_.AppendEditText(编辑框_合并_输出1, piece_);
  }

  toolkit::Toolkit& toolkit_;
  hashtable::TextHashTable table_;
  text::Pieces fields1_, fields2_;
  text::Text piece_;
};

}  // namespace

void MergeTexts(toolkit::Toolkit& toolkit) { Merge(toolkit).Run(); }

}  // namespace jobs
