// The report of the main dialog's meter, made from what the workbench holds: the wiring tab's
// latest block and choices, the trend store, and the main dialog's line and link counters. The
// title fields the user typed last are remembered in the workbench's settings.
#pragma once

#include <optional>
#include <string>

#include "report/ReportData.h"
#include "workbench/SaveQuestions.h"
#include "workbench/WorkbenchModel.h"
#include "workbench/WorkbenchSettings.h"

namespace kt::ui {
class CMonitorDlg;
}

namespace kt::report {

// Shown instead of a report while the wiring tab has no block.
inline constexpr const char* kNoBlockForReport =
    "尚无测量数据，无法生成报告。请在主窗口开始轮询，收到测量数据后再试。";

// The title fields remembered, made now; and remembering those the user typed.
ReportTitle RememberedReportTitle(const workbench::WorkbenchSettings& settings);
void RememberReportTitle(workbench::WorkbenchSettings& settings, const ReportTitle& title);

// The one meter's report, or nothing when there is no block yet (then kNoBlockForReport). The
// report points into the workbench's trend store: write it before the next block comes.
std::optional<Report> MakeMeterReport(workbench::WorkbenchModel& workbench,
                                      const ui::CMonitorDlg& dialog, const ReportTitle& title);

// "生成报告…"'s save dialog: the default name DefaultReportFileName(title), an HTML file.
workbench::SaveQuestion ReportSaveQuestion(const ReportTitle& title);

}  // namespace kt::report
