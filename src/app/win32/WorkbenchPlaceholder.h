// The button "诊断与记录…" on Windows until the workbench window exists there.
#pragma once

#include "ui/CMonitorDlg.h"

namespace kt::app::win32 {

inline constexpr const char* kWorkbenchUnavailable = "诊断与记录窗口尚不能在 Windows 上使用。";

// Sets the main dialog's workbench seam to a message box that says so.
void AttachWorkbenchPlaceholder(ui::CMonitorDlg& dialog);

}  // namespace kt::app::win32
