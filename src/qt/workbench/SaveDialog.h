// Qt's save dialog, for "保存…", "开始记录…", "导出图片…" and "生成报告…", asking the core's
// question.
#pragma once

#include <string>

#include "workbench/SaveQuestions.h"

class QWidget;

namespace kt::ui::qt {

// The path the user chose (UTF-8) with the question's extension, "" when cancelled; a file that
// only the added extension names is replaced only when the user says so. The dialog starts in
// `folder` (UTF-8), the user's home when it is "".
std::string AskSavePath(QWidget* parent, const workbench::SaveQuestion& question,
                        const std::string& folder = "");

}  // namespace kt::ui::qt
