// The system's save dialog, for "保存…", "开始记录…" and "导出图片…", asking the core's question.
#pragma once

#include <string>

#include "win32/WindowsApi.h"
#include "workbench/SaveQuestions.h"

namespace kt::ui::win32 {

// The path the user chose (UTF-8) with the question's extension, "" when cancelled; a file that
// only the added extension names is replaced only when the user says so. The dialog starts in
// `folder` (UTF-8), the user's own folder when it is "".
std::string AskSavePath(HWND owner, const workbench::SaveQuestion& question,
                        const std::string& folder = "");

}  // namespace kt::ui::win32
