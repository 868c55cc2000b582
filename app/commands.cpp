#include "app/commands.h"

#include "app/jobs/extract_columns.h"
#include "app/jobs/merge_texts.h"
#include "app/text/text_encoding.h"
#include "app/toolkit/main_window_controls.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace app {

using namespace main_window;
using toolkit::ControlId;
using toolkit::Toolkit;

namespace {

struct DropWiring {
  ControlId drop_object;
  ControlId box;
};
constexpr DropWiring kDrops[] = {
    {拖放对象1, 编辑框_提取_输入},
    {拖放对象2, 编辑框_合并_输入1},
    {拖放对象3, 编辑框_合并_输入2},
};

const text::Text& CopiedText() {
  static const text::Text copied = platform::Utf8ToCp936("复制成功");
  return copied;
}

void CopyToClipboard(Toolkit& toolkit, ControlId box, ControlId status) {
  toolkit.SetClipboardText(toolkit.ReadControlText(box));
  toolkit.WriteControlText(status, CopiedText());
}

}  // namespace

const text::Text& ExtractionSample() {
  static const text::Text sample =
      "1----2----3----4----5----6----7----8----9----10----11----12\r\n"
      "1----2----3----4----5----6----7----8----9----10----11----12\r\n";
  return sample;
}

const text::Text& MergeSample1() {
  static const text::Text sample = platform::Utf8ToCp936(
      "123456----人脸----2020/01/24 21:45:27----违规业务\r\n"
      "223456----人脸----2020/01/24 21:45:27----违规业务\r\n");
  return sample;
}

const text::Text& MergeSample2() {
  static const text::Text sample =
      "123456----v0fo7ne6----a896ea4e2073b86a221ea5bac69735d20fffd3b0731c748bd0ce6932b6a761b4----13510612151\r\n"
      "223456----nkptd9dr----2300e3d310d7d8839cd7e5371c0be140df6b48d1b14bd378c55af80dcc7674c2----17678367514\r\n"
      "323456----5k7pxpvd----f822fdea31c579715dfaa079a4e211dbca6f59869f3bf15eb5d73cd23da4600e----18224026694\r\n"
      "423456----qd5x05m8----e4c06bd42a267ba88beffb06dfc0fbe41617727cf01c402577b3768162275328----13799509498\r\n";
  return sample;
}

void StartExtraction(Toolkit& toolkit) {
  toolkit.StartWorkerThread([&toolkit] { jobs::ExtractColumns(toolkit); });
}

void StartMerge(Toolkit& toolkit) {
  toolkit.StartWorkerThread([&toolkit] { jobs::MergeTexts(toolkit); });
}

void RunExtractionSample(Toolkit& toolkit) {
  toolkit.WriteControlText(编辑框_提取_输入, ExtractionSample());
  toolkit.SetTicked(选择框5, true);
  toolkit.SetTicked(选择框7, true);
  StartExtraction(toolkit);
}

void RunMergeSample(Toolkit& toolkit) {
  toolkit.WriteControlText(编辑框_合并_输入1, MergeSample1());
  toolkit.WriteControlText(编辑框_合并_输入2, MergeSample2());
  StartMerge(toolkit);
}

void ClearExtractInput(Toolkit& toolkit) { toolkit.WriteControlText(编辑框_提取_输入, ""); }

void ClearExtractOutput(Toolkit& toolkit) {
  toolkit.WriteControlText(编辑框_提取_输出, "");
  toolkit.WriteControlText(透明标签2, "");
}

void CopyExtractOutput(Toolkit& toolkit) { CopyToClipboard(toolkit, 编辑框_提取_输出, 透明标签2); }

void ClearMergeInput1(Toolkit& toolkit) { toolkit.WriteControlText(编辑框_合并_输入1, ""); }

void ClearMergeInput2(Toolkit& toolkit) { toolkit.WriteControlText(编辑框_合并_输入2, ""); }

void ClearMergeOutput(Toolkit& toolkit) { toolkit.WriteControlText(编辑框_合并_输出1, ""); }

void CopyMergeOutput(Toolkit& toolkit) { CopyToClipboard(toolkit, 编辑框_合并_输出1, 透明标签9); }

void ClearExtractStatus(Toolkit& toolkit) { toolkit.WriteControlText(透明标签2, ""); }

void RegisterFileDrops(Toolkit& toolkit) {
  for (const DropWiring& drop : kDrops) toolkit.RegisterFileDrop(drop.drop_object, drop.box);
}

void LoadDroppedFileFor(Toolkit& toolkit, ControlId drop_object, std::string_view path) {
  for (const DropWiring& drop : kDrops) {
    if (drop.drop_object == drop_object) return LoadDroppedFile(toolkit, path, drop.box);
  }
}

void LoadDroppedFile(Toolkit& toolkit, std::string_view path, ControlId target_box) {
  std::string bytes = platform::ReadWholeFile(std::string(path)).value_or(std::string());
  toolkit.WriteControlText(target_box, text::DecodeTextFile(bytes));
}

}  // namespace app
