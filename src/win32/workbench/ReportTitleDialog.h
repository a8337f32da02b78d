// The report's title fields (site, panel, engineer) in a small modal dialog.
#pragma once

#include "report/ReportData.h"
#include "win32/WindowsApi.h"

namespace kt::ui::win32 {

// Shows `title`'s fields for editing; false when cancelled (the title unchanged).
bool AskReportTitle(HWND owner, report::ReportTitle& title);

}  // namespace kt::ui::win32
