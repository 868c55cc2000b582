// The one-step commands of MainWindow: starting the jobs, the samples,
// clearing and copying boxes, the extraction status, and dropped files.
//
// Each runs on the user-interface thread, in its event, through the toolkit.
// None reports failure: the copy commands say "复制成功" whatever the
// clipboard did, and a file that cannot be read empties its box.
#pragma once

#include <string_view>

#include "app/text/text.h"
#include "app/toolkit/toolkit.h"

namespace app {

// The samples, code page 936, every line ended by CR LF.
const text::Text& ExtractionSample();
const text::Text& MergeSample1();
const text::Text& MergeSample2();

void StartExtraction(toolkit::Toolkit& toolkit);
void StartMerge(toolkit::Toolkit& toolkit);
void RunExtractionSample(toolkit::Toolkit& toolkit);
void RunMergeSample(toolkit::Toolkit& toolkit);
void ClearExtractInput(toolkit::Toolkit& toolkit);
void ClearExtractOutput(toolkit::Toolkit& toolkit);
void CopyExtractOutput(toolkit::Toolkit& toolkit);
void ClearMergeInput1(toolkit::Toolkit& toolkit);
void ClearMergeInput2(toolkit::Toolkit& toolkit);
void ClearMergeOutput(toolkit::Toolkit& toolkit);
void CopyMergeOutput(toolkit::Toolkit& toolkit);
void ClearExtractStatus(toolkit::Toolkit& toolkit);

// The three drop registrations that end the created event.
void RegisterFileDrops(toolkit::Toolkit& toolkit);
// The got-file event of a drop object: loads the file at `path` into the
// drop object's box. Does nothing for any other control.
void LoadDroppedFileFor(toolkit::Toolkit& toolkit, toolkit::ControlId drop_object, std::string_view path);
// Replaces the box's content by the decoded text of the file at `path` (the
// empty text when it cannot be read).
void LoadDroppedFile(toolkit::Toolkit& toolkit, std::string_view path, toolkit::ControlId target_box);

}  // namespace app
